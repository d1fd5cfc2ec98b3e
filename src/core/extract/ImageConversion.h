// Turns one scratch image into an output file.
#pragma once

#include "extract/Formats.h"

#include <string>

namespace extract {

// What the conversion reads of the job's settings.
struct ConversionSettings {
    std::string formatText;
    std::string outputFolder;
    std::string prefix;
    // An output name already taken is left alone instead of replaced.
    bool keepExisting = false;
    int jpegQuality = kDefaultJpegQuality; // of the JPEG files encoded; kept ones stay as they are
};

enum class Converted { Written, Failed, Kept };

// Keeps FreeImage initialised for as long as it lives: one job.
class FreeImageSession {
public:
    FreeImageSession();
    ~FreeImageSession();
    FreeImageSession(const FreeImageSession&) = delete;
    FreeImageSession& operator=(const FreeImageSession&) = delete;
};

// Converts the scratch file into the output file numbered `imageNumber`,
// replacing any file of that name. A scratch file that holds the
// document's own bytes in the format asked for is copied as it is. A writer that does not take the
// image's pixel layout gets it converted to one it takes. True when the output was written; a
// failed save leaves no partial file and keeps what was there. The scratch file is deleted in every
// case.
bool ConvertExtractedImage(const std::string& scratchPath, int imageNumber,
                           const ConversionSettings& settings);

// The same, telling a failure from a name kept by `keepExisting`; `target`
// receives the output file's path either way.
Converted ConvertImage(const std::string& scratchPath, int imageNumber,
                       const ConversionSettings& settings, std::string& target);

} // namespace extract
