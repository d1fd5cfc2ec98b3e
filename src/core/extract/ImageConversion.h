// Turns one scratch image into an output file.
#pragma once

#include "extract/Formats.h"
#include "platform/WorkingFile.h"

#include <functional>
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
    // Each file's SHA-256 is taken as it is written, for a manifest.
    bool hashFiles = false;
};

enum class Converted { Written, Failed, Kept };

// Why an output file was not written, when the file system said why.
struct OutputProblem {
    std::string reason; // the system's ("No space left on device")
    // The folder takes no new file at all (full, gone, closed): every later
    // image would fail the same way.
    bool everyFile = false;
};

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

// The same into the file `name` (without extension), telling a failure
// from a name kept by `keepExisting`; `target`
// receives the output file's path either way, and `problem` what the file
// system said when the file could not be written (no reason when the
// picture could not be converted), and `digest` the SHA-256 of a file
// written, when the settings ask for it and it was written in order.
Converted ConvertImage(const std::string& scratchPath, const std::string& name,
                       const ConversionSettings& settings, std::string& target,
                       OutputProblem* problem = nullptr, std::string* digest = nullptr);

// Writes the output file `target` through `write` into a new working file
// beside it, which takes the name only once it is whole: a failed write
// never costs the file that had the name. With `keepExisting` a name taken
// meanwhile is kept. `problem` receives what the file system said, and
// `digest`, when given, the SHA-256 of the file written in order.
Converted WriteOutputFile(const std::string& target, bool keepExisting,
                          const std::function<bool(platform::WorkingFile&)>& write,
                          OutputProblem& problem, std::string* digest = nullptr);

} // namespace extract
