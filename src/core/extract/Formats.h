// What the format choice means: FreeImage format, file extension, save
// flags, the output name and the hint of the format box.
#pragma once

#include <string>

namespace extract {

// FreeImage's format numbers, as its format list gives them.
enum class ImageFormat : int { Bmp = 0, Jpeg = 2, Png = 13, Tiff = 18, Jpeg2000 = 31 };

struct OutputFormat {
    ImageFormat format;
    std::string extension; // as the name gets it, before lowercasing
    int flags;
    bool copied = false; // the scratch file holds the output's bytes already
};

inline constexpr int kDefaultJpegQuality = 80;

// The format for `formatText` (compared exactly as typed) and a scratch
// file with the lowercased extension `scratchExtension`; JPEG files are
// encoded at `jpegQuality` (1 to 100).
OutputFormat ChooseFormat(const std::string& formatText, const std::string& scratchExtension,
                          int jpegQuality = kDefaultJpegQuality);

// Which of the document's own encodings `formatText` keeps as they are, as
// the image tool's kKeepOption names it; nothing for a format that keeps
// none.
const char* KeptEncoding(const std::string& formatText);
// Whether a picture encoded in `formatText` can hold its colour profile;
// `jpeg` when the document stores it as a JPEG.
bool HoldsProfile(const std::string& formatText, bool jpeg);

// folder + separator + trimmed prefix + number + "." + lowercased extension.
// The prefix, trimmed, and the number: a file's name without extension.
std::string NumberedName(const std::string& prefix, int number);
// The file of that name in `folder`, with the extension in lower case.
std::string NamedFile(const std::string& folder, const std::string& name,
                      const std::string& extension);
std::string OutputFileName(const std::string& folder, const std::string& prefix, int number,
                           const std::string& extension);

struct FormatHint {
    bool shown;
    std::string text; // meaningful only when shown
};
FormatHint HintForFormat(const std::string& formatText);

} // namespace extract
