#include "extract/PictureReader.h"

#include "ToolContract.h"
#include "platform/Files.h"

#include <deque>
#include <map>
#include <type_traits>

namespace extract {

namespace {

// The scratch root of the thumbnails, beside the job's own files.
constexpr const char* kThumbnailRoot = "thumb";

std::vector<std::string> ListingArguments(const std::string& scratchFolder,
                                          const PickerRequest& request) {
    std::vector<std::string> args{contract::kListOption, contract::kFirstPageOption,
                                  std::to_string(request.firstPage), contract::kLastPageOption,
                                  std::to_string(request.lastPage)};
    if (request.thumbnailSize > 0) {
        args.push_back(contract::kThumbsOption);
        args.push_back(std::to_string(request.thumbnailSize));
    }
    AddPictureOptions(request.password, request.formatText,
                      PictureChoice{.unique = request.findRepeats}, args);
    args.push_back(request.inputPath);
    if (request.thumbnailSize > 0)
        args.push_back(scratchFolder + kThumbnailRoot);
    return args;
}

} // namespace

struct PictureReader::Impl {
    std::string scratchFolder;
    std::unique_ptr<platform::ToolSession> tool;
    RecordReader reader;
    // The picture listed last, until its thumbnail or its failure comes.
    std::optional<PickedPicture> listed;
    std::deque<PickedPicture> ready;
    // A problem said before the facts of the picture it is about.
    std::string lastProblem;
    // Each listed picture's place, by the number of its first file.
    std::map<int, PicturePlace> places;
    std::vector<std::string> problems;
    bool thumbnails = true;
    bool finished = false;

    ~Impl() {
        tool.reset();
        if (listed)
            ready.push_back(std::move(*listed));
        for (const PickedPicture& picture : ready)
            if (!picture.thumbnail.empty())
                platform::RemoveFile(picture.thumbnail);
    }

    void Release() {
        if (listed)
            ready.push_back(std::move(*listed));
        listed.reset();
    }

    void Take(ListedImage image) {
        if (listed && listed->facts.page == image.page && listed->facts.onPage == image.onPage)
            return; // the second file of a picture, its mask
        Release();
        PickedPicture picture;
        if (image.repeatOf > 0)
            if (const auto first = places.find(image.repeatOf); first != places.end())
                picture.repeatOf = first->second;
        if (image.number > 0)
            places.emplace(image.number, PicturePlace{image.page, image.onPage});
        picture.facts = std::move(image);
        if (picture.facts.failed || !thumbnails) {
            if (picture.facts.failed)
                picture.failure = lastProblem;
            ready.push_back(std::move(picture));
        } else {
            listed = std::move(picture);
        }
        lastProblem.clear();
    }

    void Problem(std::string line) {
        if (line.empty())
            return;
        if (listed) {
            listed->failure = std::move(line);
            Release();
        } else {
            if (!lastProblem.empty())
                problems.push_back(lastProblem);
            lastProblem = std::move(line);
        }
    }

    void EndPage() {
        Release();
        if (!lastProblem.empty())
            problems.push_back(std::move(lastProblem));
        lastProblem.clear();
    }

    void Hear(const std::string& line) {
        std::visit(
            [&](auto&& said) {
                using R = std::decay_t<decltype(said)>;
                if constexpr (std::is_same_v<R, ListedImage>) {
                    Take(std::move(said));
                } else if constexpr (std::is_same_v<R, MadeThumbnail>) {
                    if (listed) {
                        listed->thumbnail = scratchFolder + said.name;
                        listed->thumbnailWidth = said.width;
                        listed->thumbnailHeight = said.height;
                        Release();
                    } else {
                        platform::RemoveFile(scratchFolder + said.name);
                    }
                } else if constexpr (std::is_same_v<R, ToolProblem>) {
                    Problem(std::move(said.line));
                } else if constexpr (std::is_same_v<R, PageEnds>) {
                    EndPage();
                } else if constexpr (std::is_same_v<R, RunEnds>) {
                    EndPage();
                    finished = true;
                }
            },
            reader.Read(line));
    }

    void End() {
        EndPage();
        std::string note = tool->EndNote();
        note.erase(note.find_last_not_of('\n') + 1);
        if (!note.empty())
            problems.push_back(note);
        else if (!finished)
            problems.push_back(std::string("'") + contract::kExtractionTool +
                               "' ended before the pages were read");
        tool.reset();
    }
};

PictureReader::PictureReader(std::string toolFolder, std::string scratchFolder,
                             PickerRequest request)
    : impl_(std::make_unique<Impl>()) {
    impl_->scratchFolder = std::move(scratchFolder);
    impl_->thumbnails = request.thumbnailSize > 0;
    impl_->tool = std::make_unique<platform::ToolSession>(
        toolFolder + contract::kExtractionTool, ListingArguments(impl_->scratchFolder, request),
        toolFolder);
    impl_->tool->EndInput();
}

PictureReader::~PictureReader() = default;

std::optional<PickedPicture> PictureReader::Next(const platform::GiveUp& giveUp) {
    std::string line;
    while (impl_->ready.empty() && impl_->tool) {
        if (impl_->tool->NextLine(line, giveUp))
            impl_->Hear(line);
        else
            impl_->End();
    }
    if (impl_->ready.empty())
        return std::nullopt;
    PickedPicture picture = std::move(impl_->ready.front());
    impl_->ready.pop_front();
    return picture;
}

const std::vector<std::string>& PictureReader::Problems() const {
    return impl_->problems;
}

bool PictureReader::Finished() const {
    return impl_->finished;
}

} // namespace extract
