#include "cli/CommandLine.h"

#include "extract/NamePattern.h"
#include "text/TextRules.h"

#include <algorithm>
#include <cstdlib>
#include <tuple>

namespace cli {

namespace {

struct Option {
    char shortName; // 0: long only
    const char* longName;
    bool takesValue;
    // Given as --name=VALUE or alone, never with the next argument.
    bool valueOptional = false;
};

constexpr Option kOptions[] = {
    {'r', "range", true},    {'f', "format", true},      {'p', "prefix", true},
    {'P', "password", true}, {0, "password-file", true}, {'n', "no-clobber", false},
    {'j', "jobs", true},     {'q', "quiet", false},      {'h', "help", false},
    {'V', "version", false}, {0, "list", false},         {0, "json", false},
    {0, "quality", true},    {0, "unique", false},       {0, "min-size", true},
    {0, "from", true},       {'0', "null", false},       {0, "manifest", false, true},
    {0, "name", true},       {0, "resume", false},
};

const Option* ByShort(char c) {
    for (const Option& o : kOptions)
        if (o.shortName != 0 && o.shortName == c)
            return &o;
    return nullptr;
}

const Option* ByLong(const std::string& name) {
    for (const Option& o : kOptions)
        if (name == o.longName)
            return &o;
    return nullptr;
}

struct FormatName {
    const char* name;
    const char* windowName;
};

constexpr FormatName kFormatNames[] = {
    {"original", "Original"},   {"bmp", "BMP"},       {"jpeg", "JPEG"},          {"jpg", "JPEG"},
    {"jpeg-2000", "JPEG-2000"}, {"jp2", "JPEG-2000"}, {"jpeg2000", "JPEG-2000"}, {"png", "PNG"},
    {"tiff", "TIFF"},           {"tif", "TIFF"},
};

constexpr const char* kFormatList =
    "original, bmp, jpeg (jpg), jpeg-2000 (jp2, jpeg2000), png or tiff (tif)";

// A page number; very long ones are kept large rather than wrapped, so they
// are still outside every document.
std::optional<long long> ReadPage(const std::string& digits) {
    if (digits.empty() ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    if (digits.size() > 12)
        return 999999999999LL;
    return std::stoll(digits);
}

bool ReadQuality(const std::string& text, int& quality) {
    const std::optional<long long> n = ReadPage(text);
    if (!n || *n < 1 || *n > 100)
        return false;
    quality = static_cast<int>(*n);
    return true;
}

bool ReadJobs(const std::string& text, int& jobs) {
    const std::optional<long long> n = ReadPage(text);
    if (!n || *n < 1)
        return false;
    jobs = static_cast<int>(std::min<long long>(*n, 64));
    return true;
}

} // namespace

std::optional<std::pair<int, int>> ReadMinimumSize(const std::string& text) {
    const std::size_t x = text.find_first_of("xX");
    const auto side = [](const std::string& digits) -> std::optional<int> {
        const std::optional<long long> n = ReadPage(digits);
        if (!n || *n > 1000000)
            return std::nullopt;
        return static_cast<int>(*n);
    };
    const std::optional<int> w = side(text.substr(0, x));
    const std::optional<int> h = x == std::string::npos ? w : side(text.substr(x + 1));
    if (!w || !h)
        return std::nullopt;
    return std::pair<int, int>{*w, *h};
}

std::string RunOptionsText(const ExtractOptions& o) {
    std::string text = "--format=" + o.format + " --quality=" + std::to_string(o.quality) +
                       (o.name ? " --name=" + *o.name : " --prefix=" + o.prefix);
    if (!o.pages.text.empty())
        text += " --range=" + o.pages.text;
    if (o.noClobber)
        text += " --no-clobber";
    if (o.unique)
        text += " --unique";
    if (o.minWidth > 0 || o.minHeight > 0)
        text += " --min-size=" + std::to_string(o.minWidth) + "x" + std::to_string(o.minHeight);
    return text;
}

std::string HelpText() {
    return "usage: arvenzo-extract [OPTIONS] INPUT.pdf... OUTPUT_FOLDER\n"
           "       arvenzo-extract [OPTIONS] --from=FILE [INPUT.pdf...] OUTPUT_FOLDER\n"
           "       arvenzo-extract --list [--json] [-r PAGES] [-f FORMAT] [-P PASSWORD]\n"
           "                       INPUT.pdf...\n"
           "\n"
           "Writes the images of PDF documents into OUTPUT_FOLDER, which is made when\n"
           "missing. With more than one document, each document's images go into a\n"
           "folder of their own there, named after the document's file.\n"
           "\n"
           "original, jpeg and jpeg-2000 keep a picture stored as JPEG (JPEG-2000 for\n"
           "jpeg-2000) as the document's own bytes whenever those show on their own\n"
           "what the page shows; every other picture is encoded in the format.\n"
           "\n"
           "  -r, --range=PAGES         pages N, N-M, N- or -M (default: every page)\n"
           "  -f, --format=FORMAT       original, bmp, jpeg, jpeg-2000, png or tiff, in any\n"
           "                            case; jpg, jp2, jpeg2000 and tif too\n"
           "                            (default: original)\n"
           "      --quality=N           quality of the JPEG files it encodes, 1 to 100\n"
           "                            (default: 80); a picture kept as the document's\n"
           "                            own bytes is untouched by it\n"
           "  -p, --prefix=PREFIX       file-name prefix of the images (default: none)\n"
           "      --name=PATTERN        file names of the images: {n} running number,\n"
           "                            {page}, {i} the file's number among its page's,\n"
           "                            {doc} the document's name, {obj} object number;\n"
           "                            a number zero-padded to a width: {page:03}; it\n"
           "                            needs {n}, or both {page} and {i}, and never two\n"
           "                            numbers side by side ({page}{i})\n"
           "  -P, --password=PASSWORD   the documents' user password\n"
           "      --password-file=FILE  the password, from the first line of FILE\n"
           "  -n, --no-clobber          never replace a file; an image whose name is\n"
           "                            taken is not written\n"
           "      --unique              write each picture once: one drawn again, or\n"
           "                            with the same pixels as one written, is left out\n"
           "      --min-size=WxH        leave out pictures narrower than W or lower than\n"
           "                            H pixels (N for NxN); the summary counts them\n"
           "      --from=FILE           also extract the documents named in FILE, one a\n"
           "                            line (- for standard input)\n"
           "  -0, --null                names in FILE end with a NUL, as find -print0\n"
           "                            writes them\n"
           "      --manifest[=FILE]     also write FILE (default: manifest.jsonl in the\n"
           "                            output folder, or in each document's folder):\n"
           "                            a JSON line for every picture, with the file it\n"
           "                            became or why none, and the file's SHA-256\n"
           "      --resume              skip a document whose manifest shows it done with\n"
           "                            the same options, from the same document, its\n"
           "                            files as it lists them; any other is done again\n"
           "                            (said why), and one whose run ended before\n"
           "                            its manifest is done again, the files that run\n"
           "                            wrote removed first (implies --manifest)\n"
           "  -j, --jobs=N              extract up to N documents at once (default: 1)\n"
           "  -q, --quiet               no progress bar\n"
           "      --list                list the images a run in FORMAT would write, one\n"
           "                            row each (page, number, size, colours, encoding,\n"
           "                            mask, resolution, bytes, kept or encoded),\n"
           "                            writing none\n"
           "      --json                the same list, one JSON object a line\n"
           "  -h, --help                show this help and exit\n"
           "  -V, --version             show the version and exit\n"
           "\n"
           "Without a password option it asks on the terminal when a document needs one.\n"
           "Exit status: 0 every image written, 1 some not written, 2 bad usage or\n"
           "input, 130 stopped by Ctrl+C; with several documents, the worst of theirs.\n"
           "\n"
           "Examples:\n"
           "  arvenzo-extract report.pdf images\n"
           "  arvenzo-extract -r 3-7 -f png -p fig- report.pdf images\n"
           "  arvenzo-extract --password-file ~/.pdfpass -j 2 scans/*.pdf images\n"
           "  arvenzo-extract --unique --min-size=32 report.pdf images\n"
           "  find archive -name '*.pdf' -print0 | arvenzo-extract -0 --from=- images\n"
           "  arvenzo-extract --resume archive/*.pdf images\n"
           "  arvenzo-extract --name='{doc}-p{page:03}-{i}' report.pdf images\n"
           "  arvenzo-extract --list -r 2-4 report.pdf\n";
}

std::optional<PageRequest> ReadPageRange(const std::string& text) {
    PageRequest request;
    request.text = text;
    const std::string r = text::Trim(text);
    if (r.empty())
        return request;
    const std::size_t dash = r.find('-');
    if (dash == std::string::npos) {
        request.first = ReadPage(r);
        request.last = request.first;
        return request.first ? std::optional<PageRequest>(request) : std::nullopt;
    }
    const std::string from = r.substr(0, dash);
    const std::string to = r.substr(dash + 1);
    if (from.empty() && to.empty())
        return std::nullopt;
    if (!from.empty() && !(request.first = ReadPage(from)))
        return std::nullopt;
    if (!to.empty() && !(request.last = ReadPage(to)))
        return std::nullopt;
    return request;
}

std::optional<std::string> ReadFormatName(const std::string& name) {
    const std::string wanted = text::LowerCase(text::Trim(name));
    for (const FormatName& f : kFormatNames)
        if (wanted == f.name)
            return std::string(f.windowName);
    return std::nullopt;
}

std::optional<ExtractOptions> ParseCommandLine(const std::vector<std::string>& args,
                                               std::string& error) {
    ExtractOptions options;
    std::vector<std::string> positional;
    // Takes one option's value; false with `error` set when it is wrong.
    const auto take = [&](const Option& o, const std::string& value) {
        const std::string name = o.longName;
        if (name == "range") {
            std::optional<PageRequest> pages = ReadPageRange(value);
            if (!pages)
                error = "invalid page range '" + value + "': use N, N-M, N- or -M";
            else
                options.pages = *pages;
            return pages.has_value();
        }
        if (name == "format") {
            std::optional<std::string> format = ReadFormatName(value);
            if (!format)
                error = "unknown format '" + value + "': use " + kFormatList;
            else
                options.format = *format;
            return format.has_value();
        }
        if (name == "quality") {
            const bool ok = ReadQuality(value, options.quality);
            if (!ok)
                error = "invalid JPEG quality '" + value + "': use 1 to 100";
            return ok;
        }
        if (name == "min-size") {
            const std::optional<std::pair<int, int>> size = ReadMinimumSize(value);
            if (!size)
                error = "invalid minimum size '" + value + "': use WxH or N";
            else
                std::tie(options.minWidth, options.minHeight) = *size;
            return size.has_value();
        }
        if (name == "name") {
            const bool ok = extract::NamePattern::Read(value, error).has_value();
            if (ok)
                options.name = value;
            return ok;
        }
        if (name == "jobs") {
            const bool ok = ReadJobs(value, options.jobs);
            if (!ok)
                error = "invalid number of jobs '" + value + "': use 1 or more";
            return ok;
        }
        if (name == "from" && options.from) {
            error = "--from given twice: give one list of documents";
            return false;
        }
        if (name == "prefix")
            options.prefix = value;
        else if (name == "password")
            options.password = value;
        else if (name == "password-file")
            options.passwordFile = value;
        else if (name == "quiet")
            options.quiet = true;
        else if (name == "no-clobber")
            options.noClobber = true;
        else if (name == "unique")
            options.unique = true;
        else if (name == "from")
            options.from = value;
        else if (name == "null")
            options.nulSeparated = true;
        else if (name == "manifest")
            options.manifest = value;
        else if (name == "resume")
            options.resume = true;
        else if (name == "list")
            options.list = true;
        else if (name == "json")
            options.list = options.json = true;
        else if (name == "help")
            options.help = true;
        else if (name == "version")
            options.version = true;
        return true;
    };

    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--") {
            positional.insert(positional.end(), args.begin() + static_cast<long>(i) + 1,
                              args.end());
            break;
        }
        if (a.rfind("--", 0) == 0) {
            const std::size_t eq = a.find('=');
            const std::string name = a.substr(2, eq == std::string::npos ? eq : eq - 2);
            const Option* o = ByLong(name);
            if (!o) {
                error = "unknown option --" + name;
                return std::nullopt;
            }
            std::string value;
            if (o->valueOptional) {
                if (eq != std::string::npos && eq + 1 == a.size()) {
                    error = "option --" + name + "= needs a value";
                    return std::nullopt;
                }
                if (eq != std::string::npos)
                    value = a.substr(eq + 1);
            } else if (!o->takesValue) {
                if (eq != std::string::npos) {
                    error = "option --" + name + " takes no value";
                    return std::nullopt;
                }
            } else if (eq != std::string::npos) {
                value = a.substr(eq + 1);
            } else if (i + 1 < args.size()) {
                value = args[++i];
            } else {
                error = "option --" + name + " needs a value";
                return std::nullopt;
            }
            if (!take(*o, value))
                return std::nullopt;
            continue;
        }
        if (a.size() > 1 && a[0] == '-') {
            // Flags may share one dash ("-qn"); a value follows its letter
            // at once ("-r3-5") or as the next argument.
            for (std::size_t k = 1; k < a.size(); ++k) {
                const Option* o = ByShort(a[k]);
                if (!o) {
                    error = std::string("unknown option -") + a[k];
                    return std::nullopt;
                }
                if (!o->takesValue) {
                    take(*o, {});
                    continue;
                }
                std::string value;
                if (k + 1 < a.size()) {
                    value = a.substr(k + 1);
                } else if (i + 1 < args.size()) {
                    value = args[++i];
                } else {
                    error = std::string("option -") + a[k] + " needs a value";
                    return std::nullopt;
                }
                if (!take(*o, value))
                    return std::nullopt;
                break;
            }
            continue;
        }
        positional.push_back(a);
    }
    if (options.help || options.version)
        return options;
    if (options.resume && !options.manifest)
        options.manifest = "";
    if (options.name && !options.prefix.empty()) {
        error = "give --prefix or --name, not both: --prefix=P is --name=P{n}";
        return std::nullopt;
    }
    if (options.list) {
        if (positional.empty() && !options.from) {
            error = "expected INPUT.pdf";
            return std::nullopt;
        }
        options.inputs = positional;
        return options;
    }
    if (positional.size() < (options.from ? 1u : 2u)) {
        error = options.from ? "expected OUTPUT_FOLDER" : "expected INPUT.pdf and OUTPUT_FOLDER";
        return std::nullopt;
    }
    options.outputFolder = positional.back();
    positional.pop_back();
    options.inputs = positional;
    return options;
}

} // namespace cli
