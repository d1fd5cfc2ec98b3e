#include "extract/PageTool.h"

#include "ToolContract.h"
#include "platform/Files.h"
#include "text/TextRules.h"

#include <type_traits>

namespace extract {

namespace {

std::string Go(int page) {
    return contract::FormatRecord(contract::kGo, {std::to_string(page)});
}

// A picture's files carry the numbers the files took: one that failed
// before it was written took none.
void NumberPictures(PageReport& report) {
    std::size_t next = 0;
    for (ListedImage& picture : report.pictures) {
        if (picture.LeftOut())
            continue;
        picture.number = 0;
        for (std::size_t i = next; i < report.files.size(); ++i)
            if (report.files[i].onPage == picture.onPage) {
                picture.number = report.files[i].number;
                next = i + 1;
                break;
            }
    }
}

// What a tool that was ended had made of the pages after the last one it
// finished: files under the names the tool that takes over will give its
// own, which it would refuse to write over. By then every file it told of
// has been converted and is gone.
void RemoveUntold(const std::string& root) {
    const std::string folder = text::ExtractFilePath(root);
    const std::string name = root.substr(folder.size());
    for (const std::string& pattern :
         {name + contract::kNumberSeparator + "*", std::string(contract::kWorkingPrefix) + "*" +
                                                       contract::kNumberSeparator + name +
                                                       contract::kNumberSeparator + "*"})
        for (const std::string& file : platform::ListFiles(folder, pattern))
            platform::RemoveFile(folder + file);
}

} // namespace

PageTool::PageTool(std::string program, std::string workingFolder,
                   std::vector<std::string> arguments, int lastPage)
    : program_(std::move(program)), workingFolder_(std::move(workingFolder)),
      arguments_(std::move(arguments)), lastPage_(lastPage) {}

void PageTool::Start(int page) {
    if (started_)
        RemoveUntold(arguments_.back());
    started_ = true;
    std::vector<std::string> args{contract::kFirstPageOption, std::to_string(page),
                                  contract::kLastPageOption,  std::to_string(lastPage_),
                                  contract::kRecordsOption,   contract::kFromFileOption,
                                  std::to_string(nextFile_)};
    args.insert(args.end(), arguments_.begin(), arguments_.end());
    session_ = std::make_unique<platform::ToolSession>(program_, args, workingFolder_);
    reader_ = RecordReader(nextFile_);
    granted_ = page - 1;
    session_->Send(seen_);
}

void PageTool::LetOn(int page) {
    if (session_ && page > granted_ && page <= lastPage_) {
        granted_ = page;
        session_->Send(Go(page));
    }
}

PageReport PageTool::AwaitPage(int page, const platform::GiveUp& giveUp) {
    const bool fresh = !session_;
    if (fresh)
        Start(page);
    LetOn(page);
    PageReport report;
    bool heard = false;
    bool gaveUp = false;
    const platform::GiveUp asked = [&] { return gaveUp = giveUp && giveUp(); };
    std::string line;
    while (!report.done && session_->NextLine(line, asked)) {
        ToolRecord record = reader_.Read(line);
        heard = heard || !std::holds_alternative<RunEnds>(record);
        std::visit(
            [&](auto&& said) {
                using R = std::decay_t<decltype(said)>;
                if constexpr (std::is_same_v<R, ListedImage>) {
                    report.pictures.push_back(std::move(said));
                } else if constexpr (std::is_same_v<R, MadeFile>) {
                    nextFile_ = said.number + 1;
                    report.files.push_back(std::move(said));
                } else if constexpr (std::is_same_v<R, ProfileMade>) {
                    if (!report.files.empty())
                        report.files.back().profile = std::move(said.name);
                } else if constexpr (std::is_same_v<R, SeenPicture>) {
                    seen_ += said.line + '\n';
                } else if constexpr (std::is_same_v<R, PageEnds>) {
                    report.done = said.page == page;
                } else if constexpr (std::is_same_v<R, ToolProblem>) {
                    if (!said.line.empty())
                        report.problems.push_back(std::move(said.line));
                }
            },
            record);
    }
    // A tool that ended after the page before, and had said nothing of this
    // one, cost it nothing: a new one does it, as with one run a page.
    if (!report.done && !fresh && !heard && !gaveUp) {
        session_.reset();
        return AwaitPage(page, giveUp);
    }
    if (!report.done) {
        // It ended on this page: a new one takes over from the next.
        std::string note = session_->EndNote();
        note.erase(note.find_last_not_of('\n') + 1);
        if (!note.empty())
            report.problems.push_back(note);
        else if (report.problems.empty())
            report.problems.push_back("'" + program_ + "' ended before the page was done");
        session_.reset();
    }
    NumberPictures(report);
    return report;
}

} // namespace extract
