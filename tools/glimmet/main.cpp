// glimmet.bin: writes every image of a range of pages as scratch files for
// the program to convert. Silent on success; one line per problem otherwise.
// Asked to list, it says what it would write instead, and writes nothing.

#include "ToolContract.h"
#include "image_bound.h"
#include "page_images.h"
#include "pdf_open.h"
#include "record_channel.h"
#include "run_limits.h"
#include "run_sinks.h"
#include "standard_streams.h"
#include "tool_run.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>

namespace {

// What decoding one image may take beyond twice its pixels: its compressed
// data, colour conversion, the decoder's own tables.
constexpr std::uint64_t kDecodingRoom = std::uint64_t(128) << 20;

int usage(const char* why = nullptr) {
    if (why)
        std::fprintf(stderr, "Error: %s\n", why);
    std::fprintf(stderr, "Usage: %s %s FIRST %s LAST [%s PASSWORD] [%s %s|%s] FILE ROOT\n",
                 contract::kExtractionTool, contract::kFirstPageOption, contract::kLastPageOption,
                 contract::kPasswordOption, contract::kKeepOption, contract::kKeepJpeg,
                 contract::kKeepJpx);
    std::fprintf(stderr, "       (with [%s] [%s WxH]; the first with [%s [%s] [%s N]])\n",
                 contract::kUniqueOption, contract::kMinSizeOption, contract::kRecordsOption,
                 contract::kHashOption, contract::kFromFileOption);
    std::fprintf(stderr, "       %s %s [%s FIRST] [%s LAST] [%s PASSWORD] [%s %s|%s] FILE\n",
                 contract::kExtractionTool, contract::kListOption, contract::kFirstPageOption,
                 contract::kLastPageOption, contract::kPasswordOption, contract::kKeepOption,
                 contract::kKeepJpeg, contract::kKeepJpx);
    std::fprintf(stderr, "       (or with %s SIZE, FILE ROOT; either with [%s PAGE.N,...])\n",
                 contract::kThumbsOption, contract::kOnlyOption);
    return tools::kExitUsage;
}

std::optional<int> pageNumber(const std::string& text) {
    int value = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end)
        return std::nullopt;
    return value;
}

struct Options {
    std::optional<int> first;
    std::optional<int> last;
    std::optional<std::string> password;
    std::string file;
    std::string root;
    bool list = false;
    glimmet::KeepKind keep = glimmet::KeepKind::None;
    bool unique = false;
    std::pair<int, int> minSize{0, 0};
    bool records = false;
    bool hash = false;
    int fromFile = 1;
    int thumbs = 0; // the longest side of a listing's thumbnails; 0 for none
    // Only these pictures, by page and number on the page; all when empty.
    std::set<std::pair<int, int>> only;
};

// Returns an exit code when the command line is unusable.
std::optional<int> parse(int argc, char** argv, Options& opt) {
    int positional = 0;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == contract::kFirstPageOption || arg == contract::kLastPageOption ||
            arg == contract::kPasswordOption || arg == contract::kKeepOption ||
            arg == contract::kMinSizeOption || arg == contract::kFromFileOption ||
            arg == contract::kThumbsOption || arg == contract::kOnlyOption) {
            if (++i == argc)
                return usage((arg + " needs a value").c_str());
            std::string value = argv[i];
            if (arg == contract::kKeepOption) {
                if (value == contract::kKeepJpeg)
                    opt.keep = glimmet::KeepKind::Jpeg;
                else if (value == contract::kKeepJpx)
                    opt.keep = glimmet::KeepKind::Jpx;
                else
                    return usage(("nothing to keep called '" + value + "'").c_str());
                continue;
            }
            if (arg == contract::kMinSizeOption) {
                const auto size = glimmet::readSize(value);
                if (!size)
                    return usage(("not a size: '" + value + "'").c_str());
                opt.minSize = *size;
                continue;
            }
            if (arg == contract::kPasswordOption) {
                opt.password = value;
                continue;
            }
            if (arg == contract::kOnlyOption) {
                const auto pictures = contract::ReadPictureList(value);
                if (!pictures)
                    return usage(("not a list of pictures: '" + value + "'").c_str());
                opt.only.insert(pictures->begin(), pictures->end());
                continue;
            }
            auto number = pageNumber(value);
            if (!number)
                return usage(("not a number: '" + value + "'").c_str());
            if (arg == contract::kFromFileOption || arg == contract::kThumbsOption) {
                if (*number < 1)
                    return usage(("not a positive number: '" + value + "'").c_str());
                (arg == contract::kThumbsOption ? opt.thumbs : opt.fromFile) = *number;
                continue;
            }
            (arg == contract::kFirstPageOption ? opt.first : opt.last) = number;
        } else if (arg == contract::kListOption) {
            opt.list = true;
        } else if (arg == contract::kUniqueOption) {
            opt.unique = true;
        } else if (arg == contract::kRecordsOption) {
            opt.records = true;
        } else if (arg == contract::kHashOption) {
            opt.hash = true;
        } else if (arg.size() > 1 && arg[0] == '-') {
            return usage(("unknown option " + arg).c_str());
        } else if (positional == 0) {
            opt.file = arg;
            ++positional;
        } else if (positional == 1) {
            opt.root = arg;
            ++positional;
        } else {
            return usage();
        }
    }
    const bool root = !opt.list || opt.thumbs > 0;
    if (positional != (root ? 2 : 1) || (opt.list && opt.records) || (opt.thumbs && !opt.list))
        return usage();
    return std::nullopt;
}

void sayImageFailed(int page, size_t index, const glimmet::PageImage& image,
                    const std::exception& e) {
    std::string where = "page " + std::to_string(page) + ", image " + std::to_string(index + 1);
    if (image.objectNumber > 0)
        where += " (object " + std::to_string(image.objectNumber) + ")";
    // A listing's lines go before the failure, as they came.
    std::fflush(stdout);
    if (dynamic_cast<const tools::MuError*>(&e))
        std::fprintf(stderr, "Error: %s: cannot decode it: %s\n", where.c_str(), e.what());
    else
        std::fprintf(stderr, "Error: %s: %s\n", where.c_str(), e.what());
}

// One picture of the page: bounded, loaded, sieved, planned, and handed to
// the sink. Throws for the picture.
void takePicture(tools::Context& ctx, pdf_document* doc, const Options& opt, int page,
                 const glimmet::PageImage& found, glimmet::PictureSieve& sieve,
                 glimmet::RunSink& sink) {
    if (!found.failure.empty())
        throw tools::MuError(found.failure);
    const double bytes = glimmet::checkImageBound(ctx, doc, found);
    tools::MemoryLimit limit(ctx, static_cast<std::uint64_t>(bytes) * 2 + kDecodingRoom);
    tools::Image image = glimmet::loadImage(ctx, doc, found);
    std::optional<glimmet::LeftOut> leftOut;
    if (sieve.active())
        leftOut = sieve.beforeDecoding(found.objectNumber, image->w, image->h);
    if (leftOut && !sink.takesLeftOut())
        return;
    const glimmet::KeptPicture kept = glimmet::keptPicture(ctx, doc, found, image.get(), opt.keep);
    if (sieve.active() && !leftOut)
        leftOut = sieve.byContent(ctx, image.get(), kept);
    const int firstFile = sink.nextFile();
    sink.picture(page, found, glimmet::planExport(ctx, image.get(), kept), kept, leftOut);
    if (!leftOut)
        sink.seen(sieve.take(found.objectNumber, firstFile));
}

int run(const Options& opt) {
    tools::Context ctx;
    fz_context* c = ctx.get();
    tools::Document doc;
    if (auto code = tools::openOrExitCode(ctx, opt.file, opt.password, doc))
        return *code;
    const int first = opt.first.value_or(1);
    const int last = opt.last.value_or(INT_MAX);
    // Over the channel, each page of the range is a unit of its own, and
    // one the document lacks is a failure of its own.
    const bool byPage = opt.records && last < INT_MAX;
    std::vector<tools::Object> pageObjects;
    int pages = 0;
    if (first >= 1 && first <= last) {
        if (!tools::readPages(ctx, doc.get(), opt.file, first, last, pageObjects, pages))
            return tools::kExitFailed;
        if (byPage && pageObjects.empty() && pages >= first &&
            !tools::readPages(ctx, doc.get(), opt.file, first, pages, pageObjects, pages))
            return tools::kExitFailed;
    }
    const auto sayMissing = [&](int from, int to) {
        const std::string missing =
            from == to ? "page " + std::to_string(from) + " is"
                       : "pages " + std::to_string(from) + " to " + std::to_string(to) + " are";
        const std::string has = pages > 0 ? ", which has " + tools::counted(pages, "page") : "";
        std::fflush(stdout);
        std::fprintf(stderr, "Error: %s not in %s%s\n", missing.c_str(), opt.file.c_str(),
                     has.c_str());
    };
    if (pageObjects.empty() && !byPage) {
        sayMissing(first, last);
        return tools::kExitFailed;
    }

    glimmet::ScratchNames names(opt.root, opt.fromFile, opt.hash);
    glimmet::PictureSieve sieve(opt.unique, opt.minSize.first, opt.minSize.second);
    std::optional<glimmet::RecordChannel> channel;
    if (opt.records)
        channel.emplace(sieve);
    std::unique_ptr<glimmet::RunSink> sink;
    if (opt.list)
        sink = std::make_unique<glimmet::ListingSink>(ctx, doc.get(), opt.thumbs ? &names : nullptr,
                                                      opt.thumbs);
    else
        sink = std::make_unique<glimmet::ExportSink>(ctx, doc.get(), names,
                                                     channel ? &*channel : nullptr);
    bool failed = false;
    const int end = byPage ? last + 1 : first + static_cast<int>(pageObjects.size());
    for (int page = first; page < end; ++page) {
        if (!sink->beginPage(page))
            return tools::kExitOk;
        tools::budgetPage(page);
        std::vector<glimmet::PageImage> images;
        if (page - first >= static_cast<int>(pageObjects.size())) {
            sayMissing(page, page);
            failed = true;
        } else if (!opt.only.empty() &&
                   opt.only.lower_bound({page, 0}) == opt.only.lower_bound({page + 1, 0})) {
            // No picture asked for on the page: it is not even walked.
        } else
            try {
                images = glimmet::findPageImages(ctx, doc.get(), pageObjects[page - first].get());
            } catch (const tools::MuError& e) {
                std::fflush(stdout);
                std::fprintf(stderr, "Error: page %d: cannot read the page or an image on it: %s\n",
                             page, e.what());
                failed = true;
            }
        for (size_t i = 0; i < images.size(); ++i) {
            // Pictures not asked for are passed over undecoded.
            if (!opt.only.empty() && !opt.only.count({page, images[i].numberOnPage}))
                continue;
            try {
                takePicture(ctx, doc.get(), opt, page, images[i], sieve, *sink);
            } catch (const glimmet::ScratchFull&) {
                throw;
            } catch (const std::exception& e) {
                sayImageFailed(page, i, images[i], e);
                sink->pictureFailed(page, images[i]);
                failed = true;
            }
            images[i].image.reset();
            // Decoded pixels are of no use once written; keep memory to one image.
            fz_empty_store(c);
        }
        sink->endPage(page);
    }
    sink->endRun(end - 1);
    return failed ? tools::kExitFailed : tools::kExitOk;
}

} // namespace

int main(int argc, char** argv) {
    tools::openClosedStandardStreams();
    Options opt;
    if (auto code = parse(argc, argv, opt))
        return *code;
    const long long pages =
        opt.last ? static_cast<long long>(*opt.last) - opt.first.value_or(1) + 1 : INT_MAX;
    tools::startProcessorBudget("", pages);
    tools::budgetPage(opt.first.value_or(1));
    return tools::runNamingFile(opt.file, [&] {
        try {
            return run(opt);
        } catch (const glimmet::ScratchFull& e) {
            std::fflush(stdout);
            std::fprintf(stderr, "%s %s\n", contract::kScratchFull, e.reason().c_str());
            return static_cast<int>(tools::kExitFailed);
        }
    });
}
