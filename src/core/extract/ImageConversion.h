// Turns one scratch image into an output file.
#pragma once

#include "extract/Formats.h"
#include "platform/WorkingFile.h"

#include <cstdint>
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
    // For a manifest: each file's SHA-256 is taken as it is written.
    bool hashFiles = false;
};

enum class Converted { Written, Failed, Kept };

// What was written: the size, and the SHA-256 when it was taken.
struct WrittenFile {
    std::uint64_t size = 0;
    std::string sha256;
};

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

// The output file a scratch file becomes under `name` (without extension):
// the extension is the one the format gives that picture.
std::string OutputTarget(const std::string& scratchPath, const std::string& name,
                         const ConversionSettings& settings);

// What an encoded file carries besides its pixels: the resolution the
// picture is drawn at, and the ICC profile its samples are in.
struct FileExtras {
    // Pixels per inch; the format's default unless finite and positive.
    double xResolution = 0;
    double yResolution = 0;
    // A file holding the profile, which goes with the scratch file; none
    // when empty.
    std::string profilePath;
};

// The same into the file `name` (without extension), telling a failure
// from a name kept by `keepExisting`; `target`
// receives the output file's path either way, and `problem` what the file
// system said when the file could not be written (no reason when the
// picture could not be converted), and `written` what was written.
Converted ConvertImage(const std::string& scratchPath, const std::string& name,
                       const ConversionSettings& settings, std::string& target,
                       OutputProblem* problem = nullptr, WrittenFile* written = nullptr,
                       const FileExtras& extras = {});

// Writes the output file `target` through `write` into a new working file
// beside it, which takes the name only once it is whole: a failed write
// never costs the file that had the name. With `keepExisting` a name taken
// meanwhile is kept. `problem` receives what the file system said, and
// `written`, when given, the file's size, with its SHA-256 when `hash`
// and it was written in order.
Converted WriteOutputFile(const std::string& target, bool keepExisting,
                          const std::function<bool(platform::WorkingFile&)>& write,
                          OutputProblem& problem, WrittenFile* written = nullptr,
                          bool hash = false);

} // namespace extract
