// The pictures of a document as the picker shows them: glimmet.bin lists
// them with a small thumbnail of each, and they are handed out one by one as
// the tool comes to them, so that a window can show the first while the tool
// reads on.
#pragma once

#include "extract/Failures.h"
#include "extract/ToolOptions.h"
#include "extract/ToolRecords.h"
#include "platform/ConsoleTool.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace extract {

struct PickerRequest {
    std::string inputPath = {};
    // 1-based and inclusive.
    int firstPage = 1;
    int lastPage = 0;
    // The password, and the output format, which decides which pictures are
    // kept as the document's own bytes.
    std::string password = {};
    std::string formatText = {};
    // No side of a thumbnail is longer; 0 for no thumbnails.
    int thumbnailSize = 160;
    // Which pictures repeat an earlier one, by the rules of each picture
    // once. Telling them needs every picture decoded whole, so a picker
    // reads its thumbnails first and the repeats in a second reading.
    bool findRepeats = false;
};

// One picture the job would save, in the job's order.
struct PickedPicture {
    // What the document holds of it (of its first file, when a mask of
    // another size makes a second). `facts.page` and `facts.onPage` are its
    // place for PictureChoice::only; `facts.kept` says it is saved as the
    // document's own bytes.
    ListedImage facts;
    // Its thumbnail in the scratch folder (a PGM or PPM file), which the
    // caller takes over and deletes; empty when the picture could not be
    // decoded.
    std::string thumbnail;
    int thumbnailWidth = 0;
    int thumbnailHeight = 0;
    // The tool's line, when the picture failed.
    std::string failure;
    // The earlier picture it repeats, when the request finds repeats.
    std::optional<PicturePlace> repeatOf;
};

class PictureReader {
public:
    // `toolFolder` (ending in a separator) holds glimmet.bin;
    // `scratchFolder` (ending in a separator, a folder of the reader's own)
    // receives the thumbnails. The tool starts at once.
    PictureReader(std::string toolFolder, std::string scratchFolder, PickerRequest request);
    ~PictureReader();

    // The next picture, waiting for the tool; nothing once the range is
    // walked or the tool ended. `giveUp` answering true ends the tool.
    std::optional<PickedPicture> Next(const platform::GiveUp& giveUp = {});
    // What failed and names no picture (a page that could not be read, a
    // tool that ended early), so far.
    const std::vector<std::string>& Problems() const;
    // The whole range was walked.
    bool Finished() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace extract
