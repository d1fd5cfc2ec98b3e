// glimmet.bin at work on a job's range over its one channel: the records of
// each page gathered, the tool let on a page at a time, and a tool that
// ended before its range replaced by one that takes over from the next page,
// knowing what the first one wrote.
#pragma once

#include "extract/ToolRecords.h"
#include "platform/ConsoleTool.h"

#include <memory>
#include <string>
#include <vector>

namespace extract {

// What the tool said of one page.
struct PageReport {
    std::vector<ListedImage> pictures; // facts of every file, left out ones included
    std::vector<MadeFile> files;       // made whole, in order
    std::vector<std::string> problems; // the tool's lines, and how it ended on the page
    bool done = false;                 // the tool said the page was done
};

class PageTool {
public:
    // `arguments` are the options and the two paths, the scratch root last;
    // the pages and the channel's own options are added here.
    PageTool(std::string program, std::string workingFolder, std::vector<std::string> arguments,
             int lastPage);

    // Lets the tool on to page `page` and gathers what it says of it.
    // `giveUp` answering true ends the tool.
    PageReport AwaitPage(int page, const platform::GiveUp& giveUp);
    // Lets the tool go on to `page` while the caller works on the pages
    // before it.
    void LetOn(int page);
    // Ends the tool, if one runs.
    void Stop() { session_.reset(); }

private:
    void Start(int page);

    std::string program_;
    std::string workingFolder_;
    std::vector<std::string> arguments_;
    int lastPage_;
    std::unique_ptr<platform::ToolSession> session_;
    RecordReader reader_;
    int granted_ = 0;
    int nextFile_ = 1;
    bool started_ = false; // a tool was started before: the next takes over
    std::string seen_;     // the records of pictures written, for a tool that takes over
};

} // namespace extract
