#pragma once

#include "mupdf_context.h"
#include "page_image.h"
#include "scratch_output.h"

namespace glimmet {

// The document's own encoding the program wants kept as it is.
enum class KeepKind { None, Jpeg, Jpx };

using Buffer = tools::Ref<fz_buffer, fz_drop_buffer>;

// A picture whose stored bytes, opened on their own by an ordinary viewer,
// show what the page shows. It is written as those bytes, never decoded.
struct KeptPicture {
    const char* extension = nullptr; // none: the picture goes the decoding way
    int components = 0;
    Buffer bytes;
    bool bareCodestream = false; // JPEG-2000 without the boxes of a JP2 file

    explicit operator bool() const { return extension != nullptr; }
};

// Decides whether `image` is kept as its bytes when the program asks for
// `kind`. Listing and extracting both go by this one answer. Decodes
// nothing; throws MuError when the stream cannot be read.
KeptPicture keptPicture(tools::Context& ctx, pdf_document* doc, const PageImage& found,
                        fz_image* image, KeepKind kind);

// Writes the picture's bytes; a bare codestream gets the boxes of a JP2
// file around it, the codestream itself untouched.
void writeKeptPicture(fz_context* ctx, const KeptPicture& kept, ScratchOutput& out);

} // namespace glimmet
