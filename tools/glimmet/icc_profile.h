#pragma once

#include "mupdf_context.h"

#include <map>
#include <optional>
#include <string>

namespace glimmet {

// An ICC profile a picture's colour space names, as the document holds it.
struct IccProfile {
    std::string bytes;
    std::string sha256;      // of `bytes`, in lower-case hex
    std::string description; // its 'desc' tag, on one line; empty when it has none
    int components = 0;      // of the colours it describes
};

// The profiles of a run's pictures, each read once however many pictures
// share it.
class IccProfiles {
public:
    // The profile of image object `objectNumber`'s ICC-based colour space,
    // or of the ICC-based base of its palette. Null for other colour spaces,
    // and for inline images, whose colour spaces name no stream of their own.
    const IccProfile* of(tools::Context& ctx, pdf_document* doc, int objectNumber);

private:
    std::map<int, std::optional<IccProfile>> byStream_;
};

// The description an ICC profile gives itself: a version 2 'desc' text or
// the first record of a version 4 'mluc'. Empty when it has none.
std::string iccDescription(const std::string& profile);

// Whether JPEG data carries an ICC profile of its own (an APP2 segment
// named ICC_PROFILE before its image data).
bool jpegCarriesProfile(const unsigned char* data, std::size_t size);

// Whether a JP2 file carries an ICC profile of its own (a colour box of its
// header that holds one).
bool jp2CarriesProfile(const unsigned char* data, std::size_t size);

} // namespace glimmet
