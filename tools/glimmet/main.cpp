// glimmet.bin: writes every image of a range of pages as scratch files for
// the program to convert. Silent on success; one line per problem otherwise.
// Asked to list, it says what it would write instead, and writes nothing.

#include "ToolContract.h"
#include "image_bound.h"
#include "image_export.h"
#include "image_listing.h"
#include "kept_picture.h"
#include "page_images.h"
#include "pdf_open.h"
#include "picture_sieve.h"
#include "run_limits.h"
#include "scratch_file.h"
#include "standard_streams.h"

#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <poll.h>
#include <string>
#include <unistd.h>
#include <utility>

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kExitPassword = 3;

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
    std::fprintf(stderr, "       (either with [%s] [%s WxH] [%s FILE])\n", contract::kUniqueOption,
                 contract::kMinSizeOption, contract::kTallyOption);
    std::fprintf(stderr, "       %s %s [%s FIRST] [%s LAST] [%s PASSWORD] [%s %s|%s] FILE\n",
                 contract::kExtractionTool, contract::kListOption, contract::kFirstPageOption,
                 contract::kLastPageOption, contract::kPasswordOption, contract::kKeepOption,
                 contract::kKeepJpeg, contract::kKeepJpx);
    return kExitUsage;
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
    std::string tally;
};

// Returns an exit code when the command line is unusable.
std::optional<int> parse(int argc, char** argv, Options& opt) {
    int positional = 0;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == contract::kFirstPageOption || arg == contract::kLastPageOption ||
            arg == contract::kPasswordOption || arg == contract::kKeepOption ||
            arg == contract::kMinSizeOption || arg == contract::kTallyOption) {
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
            if (arg == contract::kTallyOption) {
                opt.tally = value;
                continue;
            }
            if (arg == contract::kPasswordOption) {
                opt.password = value;
                continue;
            }
            auto number = pageNumber(value);
            if (!number)
                return usage(("not a page number: '" + value + "'").c_str());
            (arg == contract::kFirstPageOption ? opt.first : opt.last) = number;
        } else if (arg == contract::kListOption) {
            opt.list = true;
        } else if (arg == contract::kUniqueOption) {
            opt.unique = true;
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
    if (positional != (opt.list ? 1 : 2))
        return usage();
    return std::nullopt;
}

// Started ahead of its turn, the tool is handed a descriptor in
// contract::kGoVariable. It does its page then, but its files keep their
// working names until the program closes that descriptor: the previous
// page's images are still being converted, under the same names. None when
// the tool runs in its turn. contract::kPageVariable likewise names where a
// run that goes page by page says each page is done.
std::optional<int> descriptorIn(const char* variable) {
    const char* named = std::getenv(variable);
    if (!named)
        return std::nullopt;
    int fd = -1;
    const char* end = named + std::strlen(named);
    auto [ptr, ec] = std::from_chars(named, end, fd);
    if (ec != std::errc() || ptr != end || fd < 0)
        return std::nullopt;
    return fd;
}

void awaitGo(int fd) {
    char ignored[64];
    for (;;) {
        const ssize_t n = read(fd, ignored, sizeof ignored);
        if (n == 0 || (n < 0 && errno != EINTR))
            break;
    }
    close(fd);
}

void saveTally(glimmet::PictureSieve& sieve, bool& failed) {
    try {
        sieve.save();
    } catch (const glimmet::WriteError& e) {
        std::fprintf(stderr, "Error: %s\n", e.what());
        failed = true;
    }
}

// Hands the pages of a run over one by one. A page's files wait for the
// page's go unless it came before the page began; a page without files
// owes its go, which is taken before any later page's files are named. A
// page is said done once its files have their names, with how many there
// are and how many bytes the run has printed so far, so that the program
// knows which lines are the page's. The end of the go descriptor means the
// program wants no more pages.
class PageHandover {
public:
    PageHandover(int go, int done) : go_(go), done_(done) {
        out_ = std::exchange(stdout, counted(STDOUT_FILENO));
        err_ = std::exchange(stderr, counted(STDERR_FILENO));
        std::setvbuf(stderr, nullptr, _IONBF, 0);
    }
    ~PageHandover() {
        std::fclose(std::exchange(stdout, out_));
        std::fclose(std::exchange(stderr, err_));
        close(go_);
        close(done_);
    }
    PageHandover(const PageHandover&) = delete;
    PageHandover& operator=(const PageHandover&) = delete;

    bool begin(glimmet::ScratchNames& names) {
        ++owed_;
        named_ = names.count();
        pollfd ready{go_, POLLIN, 0};
        while (owed_ > 0 && poll(&ready, 1, 0) > 0)
            if (!takeGo())
                return false;
        if (owed_ > 0)
            names.holdBack();
        return true;
    }

    // The page's files take their names once the program has said go.
    bool release(glimmet::ScratchNames& names, bool& failed) {
        while (names.holding() && owed_ > 0)
            if (!takeGo())
                return false;
        try {
            names.release();
        } catch (const glimmet::WriteError& e) {
            std::fprintf(stderr, "Error: %s\n", e.what());
            failed = true;
        }
        return true;
    }

    bool report(const glimmet::ScratchNames& names, int page) {
        std::fflush(stdout);
        const std::string line = std::to_string(page) + " " +
                                 std::to_string(names.count() - named_) + " " +
                                 std::to_string(printed_) + "\n";
        return write(done_, line.data(), line.size()) == static_cast<ssize_t>(line.size());
    }

private:
    bool takeGo() {
        char byte = 0;
        ssize_t n = 0;
        while ((n = read(go_, &byte, 1)) < 0 && errno == EINTR) {
        }
        if (n == 1)
            --owed_;
        return n == 1;
    }

    // A stream on `fd` that counts what goes through it.
    FILE* counted(int fd) {
        cookie_io_functions_t io{};
        io.write = [](void* self, const char* data, size_t size) -> ssize_t {
            auto& counter = *static_cast<Output*>(self);
            for (size_t done = 0; done < size;) {
                const ssize_t n = write(counter.fd, data + done, size - done);
                if (n < 0 && errno == EINTR)
                    continue;
                if (n <= 0)
                    return done > 0 ? static_cast<ssize_t>(done) : -1;
                done += static_cast<size_t>(n);
                *counter.printed += static_cast<unsigned long long>(n);
            }
            return static_cast<ssize_t>(size);
        };
        Output& output = fd == STDOUT_FILENO ? stdout_ : stderr_;
        output = {fd, &printed_};
        return fopencookie(&output, "w", io);
    }

    struct Output {
        int fd = -1;
        unsigned long long* printed = nullptr;
    };
    int go_;
    int done_;
    int owed_ = 0;
    int named_ = 0;
    unsigned long long printed_ = 0;
    Output stdout_;
    Output stderr_;
    FILE* out_ = nullptr;
    FILE* err_ = nullptr;
};

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

void sayListed(const char* label, int page) {
    std::printf("%s%c%d\n", label, contract::kListSeparator, page);
}

int run(const Options& opt) {
    tools::Context ctx;
    fz_context* c = ctx.get();
    tools::Document doc;
    switch (tools::openForReading(ctx, opt.file, opt.password, doc)) {
    case tools::OpenResult::Failed:
        return kExitFailed;
    case tools::OpenResult::Locked:
        return kExitPassword;
    case tools::OpenResult::Ready:
        break;
    }
    const int first = opt.first.value_or(1);
    const int last = opt.last.value_or(INT_MAX);
    std::optional<int> go;
    if (!opt.list)
        go = descriptorIn(contract::kGoVariable);
    std::optional<int> done;
    if (go && last < INT_MAX)
        done = descriptorIn(contract::kPageVariable);
    std::vector<tools::Object> pageObjects;
    int pages = 0;
    if (first >= 1 && first <= last) {
        if (!tools::readPages(ctx, doc.get(), opt.file, first, last, pageObjects, pages))
            return kExitFailed;
        // Page by page, the pages the document has are done and each one
        // it lacks is a failure of its own.
        if (done && pageObjects.empty() && pages >= first &&
            !tools::readPages(ctx, doc.get(), opt.file, first, pages, pageObjects, pages))
            return kExitFailed;
    }
    const auto sayMissing = [&](int from, int to) {
        std::string has =
            pages > 0 ? ", which has " + std::to_string(pages) + (pages == 1 ? " page" : " pages")
                      : "";
        std::fprintf(stderr, "Error: pages %d to %d are not in %s%s\n", from, to, opt.file.c_str(),
                     has.c_str());
    };
    if (pageObjects.empty() && !done) {
        sayMissing(first, last);
        return kExitFailed;
    }

    std::optional<PageHandover> handover;
    if (done)
        handover.emplace(*go, *done);
    glimmet::ScratchNames names(opt.root);
    if (go && !done)
        names.holdBack();
    glimmet::PictureSieve sieve(opt.unique, opt.minSize.first, opt.minSize.second, opt.tally);
    int filesListed = 0;
    bool failed = false;
    const int end = done ? last + 1 : first + static_cast<int>(pageObjects.size());
    for (int page = first; page < end; ++page) {
        if (handover && !handover->begin(names))
            return kExitOk;
        tools::budgetPage(page);
        if (opt.list)
            sayListed(contract::kListedPage, page);
        std::vector<glimmet::PageImage> images;
        if (page - first >= static_cast<int>(pageObjects.size())) {
            sayMissing(page, page);
            failed = true;
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
            try {
                if (!images[i].failure.empty())
                    throw tools::MuError(images[i].failure);
                const double bytes = glimmet::checkImageBound(ctx, doc.get(), images[i]);
                tools::MemoryLimit limit(ctx,
                                         static_cast<std::uint64_t>(bytes) * 2 + kDecodingRoom);
                tools::Image image = glimmet::loadImage(ctx, doc.get(), images[i]);
                std::optional<glimmet::LeftOut> leftOut;
                if (sieve.active()) {
                    leftOut = sieve.beforeDecoding(images[i].objectNumber, image->w, image->h);
                    if (!leftOut)
                        leftOut = sieve.byContent(ctx, image.get());
                }
                if (leftOut)
                    sieve.leaveOut(*leftOut);
                else
                    sieve.take(images[i].objectNumber, filesListed + 1);
                // What is left out is never exported, only listed.
                if (opt.list || !leftOut) {
                    const glimmet::KeptPicture kept =
                        glimmet::keptPicture(ctx, doc.get(), images[i], image.get(), opt.keep);
                    if (opt.list)
                        filesListed += glimmet::listImage(ctx, doc.get(), page, images[i],
                                                          image.get(), kept, leftOut);
                    else
                        glimmet::exportImage(ctx, image.get(), names, kept);
                }
            } catch (const std::exception& e) {
                sayImageFailed(page, i, images[i], e);
                failed = true;
            }
            images[i].image.reset();
            // Decoded pixels are of no use once written; keep memory to one image.
            fz_empty_store(c);
        }
        // What is listed stays listed should the processor budget end the run.
        if (opt.list)
            std::fflush(stdout);
        if (handover) {
            if (!handover->release(names, failed))
                return kExitOk;
            // The tally holds the page before the program hears of it, so a
            // run started after a crash leaves out what this one wrote.
            saveTally(sieve, failed);
            if (!handover->report(names, page))
                return kExitOk;
        }
    }
    if (opt.list)
        sayListed(contract::kListedEnd, end - 1);
    if (go && !done) {
        awaitGo(*go);
        try {
            names.release();
        } catch (const glimmet::WriteError& e) {
            std::fprintf(stderr, "Error: %s\n", e.what());
            failed = true;
        }
    }
    // Only once its files are the program's does the run count for the next.
    saveTally(sieve, failed);
    return failed ? kExitFailed : kExitOk;
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
    try {
        return run(opt);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "Error: %s: %s\n", opt.file.c_str(), e.what());
        return kExitFailed;
    }
}
