// vellam.bin: prints what the program needs to know about a PDF before it
// extracts anything, one "Label: value" field a line.

#include "ToolContract.h"
#include "pdf_open.h"
#include "run_limits.h"
#include "standard_streams.h"
#include "tool_run.h"

#include <climits>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace {

int usage() {
    std::fprintf(stderr, "Usage: %s [%s PASSWORD] FILE\n", contract::kInformationTool,
                 contract::kPasswordOption);
    return tools::kExitUsage;
}

std::optional<std::string> metadata(tools::Context& ctx, pdf_document* doc, const char* key) {
    fz_context* c = ctx.get();
    int size = tools::guarded(c, [&] { return pdf_lookup_metadata(c, doc, key, nullptr, 0); });
    if (size <= 0)
        return std::nullopt;
    std::vector<char> buf(static_cast<size_t>(size) + 1, '\0');
    char* out = buf.data();
    int len = static_cast<int>(buf.size());
    tools::guarded(c, [&] { return pdf_lookup_metadata(c, doc, key, out, len); });
    std::string value(out);
    return value;
}

// A title on lines of its own could forge a page count.
void field(const char* label, const std::string& value) {
    std::printf("%-16s%s\n", label, tools::oneLine(value).c_str());
}

void printInfo(tools::Context& ctx, pdf_document* doc, int pages) {
    if (auto format = metadata(ctx, doc, FZ_META_FORMAT)) {
        std::string version = *format;
        if (version.rfind("PDF ", 0) == 0)
            version.erase(0, 4);
        field("PDF version:", version);
    }
    // The page count comes before any free text, so that nothing a document
    // author wrote can stand between the program and this line.
    field(contract::kPagesLabel, std::to_string(pages));
    auto encryption = metadata(ctx, doc, FZ_META_ENCRYPTION);
    if (!encryption || *encryption == "None")
        field("Encrypted:", "no");
    else
        field("Encrypted:", "yes (" + *encryption + ")");

    static const struct {
        const char* label;
        const char* key;
    } infoFields[] = {
        {"Title:", FZ_META_INFO_TITLE},
        {"Author:", FZ_META_INFO_AUTHOR},
        {"Subject:", FZ_META_INFO_SUBJECT},
        {"Keywords:", FZ_META_INFO_KEYWORDS},
        {"Creator:", FZ_META_INFO_CREATOR},
        {"Producer:", FZ_META_INFO_PRODUCER},
        {"CreationDate:", FZ_META_INFO_CREATIONDATE},
        {"ModDate:", FZ_META_INFO_MODIFICATIONDATE},
    };
    for (const auto& f : infoFields) {
        if (auto value = metadata(ctx, doc, f.key))
            field(f.label, *value);
    }
}

} // namespace

int main(int argc, char** argv) {
    tools::openClosedStandardStreams();
    std::optional<std::string> password;
    std::optional<std::string> file;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == contract::kPasswordOption) {
            if (++i == argc)
                return usage();
            password = argv[i];
        } else if (arg.size() > 1 && arg[0] == '-') {
            return usage();
        } else if (!file) {
            file = arg;
        } else {
            return usage();
        }
    }
    if (!file)
        return usage();

    tools::startProcessorBudget(*file);
    return tools::runNamingFile(*file, [&] {
        tools::Context ctx;
        tools::Document doc;
        if (auto code = tools::openOrExitCode(ctx, *file, password, doc))
            return *code;
        // The tree's /Count when it holds up, else the pages walked: a
        // document can claim a million pages and hold one, and walking
        // every page of a long one costs seconds.
        int total = tools::believedPageCount(ctx, doc.get());
        if (total == 0) {
            std::vector<tools::Object> pages;
            if (!tools::readPages(ctx, doc.get(), *file, 1, INT_MAX, pages, total))
                return int(tools::kExitFailed);
        }
        printInfo(ctx, doc.get(), total);
        if (std::fflush(stdout) != 0 || std::ferror(stdout))
            return int(tools::kExitFailed);
        return int(tools::kExitOk);
    });
}
