#include "cli/CommandLine.h"

#include "text/TextRules.h"

#include <algorithm>
#include <tuple>

namespace cli {

namespace {

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

// The window's name for a format name given in any case or by an alias.
std::optional<std::string> ReadFormatName(const std::string& name) {
    const std::string wanted = text::LowerCase(text::Trim(name));
    for (const FormatName& f : kFormatNames)
        if (wanted == f.name)
            return std::string(f.windowName);
    return std::nullopt;
}

std::optional<int> ReadNumber(const std::string& text, int low, int high) {
    const std::optional<long long> n = ReadWholeNumber(text);
    if (!n || *n < low || *n > high)
        return std::nullopt;
    return static_cast<int>(*n);
}

// Any number of jobs is taken; more than 64 run as 64.
std::optional<int> ReadJobs(const std::string& text) {
    const std::optional<long long> n = ReadWholeNumber(text);
    if (!n || *n < 1)
        return std::nullopt;
    return static_cast<int>(std::min<long long>(*n, 64));
}

// "WxH" or "N" (N by N).
std::optional<std::pair<int, int>> ReadMinimumSize(const std::string& text) {
    const std::size_t x = text.find_first_of("xX");
    const std::optional<int> w = ReadNumber(text.substr(0, x), 0, 1000000);
    const std::optional<int> h =
        x == std::string::npos ? w : ReadNumber(text.substr(x + 1), 0, 1000000);
    if (!w || !h)
        return std::nullopt;
    return std::pair<int, int>{*w, *h};
}

bool Fail(std::string& error, const std::string& why) {
    error = why;
    return false;
}

// Keeps what was read in `target`, or says why nothing was.
template <typename Target, typename Value>
bool Keep(Target&& target, const std::optional<Value>& read, std::string& error,
          const std::string& why) {
    if (!read)
        return Fail(error, why);
    target = *read;
    return true;
}

// Sets what an option says; false with `error` saying why its value is wrong.
using Setter = bool (*)(ExtractOptions& options, const std::string& value, std::string& error);

template <bool ExtractOptions::*flag>
bool Flag(ExtractOptions& options, const std::string&, std::string&) {
    options.*flag = true;
    return true;
}

template <auto text> bool Text(ExtractOptions& options, const std::string& value, std::string&) {
    options.*text = value;
    return true;
}

// How an option takes its value: none, the next argument or the rest of its
// own, or only as --name=VALUE and then never empty.
enum class Takes { Nothing, Value, AttachedValue };

struct Option {
    char shortName; // 0: long only
    const char* longName;
    Takes takes;
    Setter set;
};

constexpr Option kOptions[] = {
    {'r', "range", Takes::Value,
     [](auto& o, auto& v, auto& e) {
         return Keep(o.pages, ReadPageRange(v), e,
                     "invalid page range '" + v + "': use N, N-M, N- or -M");
     }},
    {'f', "format", Takes::Value,
     [](auto& o, auto& v, auto& e) {
         return Keep(o.format, ReadFormatName(v), e,
                     "unknown format '" + v + "': use " + kFormatList);
     }},
    {0, "quality", Takes::Value,
     [](auto& o, auto& v, auto& e) {
         return Keep(o.quality, ReadNumber(v, 1, 100), e,
                     "invalid JPEG quality '" + v + "': use 1 to 100");
     }},
    {'p', "prefix", Takes::Value, Text<&ExtractOptions::prefix>},
    {0, "name", Takes::Value,
     [](auto& o, auto& v, auto& e) {
         const std::optional<extract::NamePattern> naming = extract::NamePattern::Read(v, e);
         o.name = v;
         o.naming = naming.value_or(extract::NamePattern());
         return naming.has_value();
     }},
    {'P', "password", Takes::Value, Text<&ExtractOptions::password>},
    {0, "password-file", Takes::Value, Text<&ExtractOptions::passwordFile>},
    {'n', "no-clobber", Takes::Nothing, Flag<&ExtractOptions::noClobber>},
    {0, "unique", Takes::Nothing, [](auto& o, auto&, auto&) { return o.pictures.unique = true; }},
    {0, "min-size", Takes::Value,
     [](auto& o, auto& v, auto& e) {
         return Keep(std::tie(o.pictures.minWidth, o.pictures.minHeight), ReadMinimumSize(v), e,
                     "invalid minimum size '" + v + "': use WxH or N");
     }},
    {0, "only", Takes::Value,
     [](auto& o, auto& v, auto& e) {
         return Keep(o.pictures.only, extract::ReadPictures(v), e,
                     "invalid list of pictures '" + v +
                         "': use PAGE.N[,PAGE.N...], such as 3.2,5.1");
     }},
    {0, "from", Takes::Value,
     [](auto& o, auto& v, auto& e) {
         return o.from ? Fail(e, "--from given twice: give one list of documents")
                       : Text<&ExtractOptions::from>(o, v, e);
     }},
    {'0', "null", Takes::Nothing, Flag<&ExtractOptions::nulSeparated>},
    {0, "manifest", Takes::AttachedValue, Text<&ExtractOptions::manifest>},
    {0, "resume", Takes::Nothing, Flag<&ExtractOptions::resume>},
    {'j', "jobs", Takes::Value,
     [](auto& o, auto& v, auto& e) {
         return Keep(o.jobs, ReadJobs(v), e, "invalid number of jobs '" + v + "': use 1 or more");
     }},
    {'q', "quiet", Takes::Nothing, Flag<&ExtractOptions::quiet>},
    {0, "list", Takes::Nothing, Flag<&ExtractOptions::list>},
    {0, "json", Takes::Nothing, [](auto& o, auto&, auto&) { return o.list = o.json = true; }},
    {'h', "help", Takes::Nothing, Flag<&ExtractOptions::help>},
    {'V', "version", Takes::Nothing, Flag<&ExtractOptions::version>},
};

const Option* Find(const std::string& longName, char shortName = 0) {
    const auto o = std::find_if(std::begin(kOptions), std::end(kOptions), [&](const Option& o) {
        return shortName ? o.shortName == shortName : longName == o.longName;
    });
    return o == std::end(kOptions) ? nullptr : o;
}

// "--name", "--name=VALUE" or "--name VALUE" at args[i], which then moves
// past the value it took.
bool TakeLong(const std::vector<std::string>& args, std::size_t& i, ExtractOptions& options,
              std::string& error) {
    const std::string& a = args[i];
    const std::size_t eq = a.find('=');
    const bool attached = eq != std::string::npos;
    const std::string name = a.substr(2, attached ? eq - 2 : std::string::npos);
    const Option* o = Find(name);
    if (!o)
        return Fail(error, "unknown option --" + name);
    std::string value = attached ? a.substr(eq + 1) : std::string();
    if (o->takes == Takes::Nothing && attached)
        return Fail(error, "option --" + name + " takes no value");
    if (o->takes == Takes::AttachedValue && attached && value.empty())
        return Fail(error, "option --" + name + "= needs a value");
    if (o->takes == Takes::Value && !attached) {
        if (i + 1 == args.size())
            return Fail(error, "option --" + name + " needs a value");
        value = args[++i];
    }
    return o->set(options, value, error);
}

// Flags sharing one dash ("-qn") at args[i]; a value follows its letter at
// once ("-r3-5") or as the next argument.
bool TakeShort(const std::vector<std::string>& args, std::size_t& i, ExtractOptions& options,
               std::string& error) {
    const std::string& a = args[i];
    for (std::size_t k = 1; k < a.size(); ++k) {
        const Option* o = Find({}, a[k]);
        if (!o)
            return Fail(error, std::string("unknown option -") + a[k]);
        if (o->takes == Takes::Nothing) {
            o->set(options, {}, error);
            continue;
        }
        if (k + 1 == a.size() && i + 1 == args.size())
            return Fail(error, std::string("option -") + a[k] + " needs a value");
        return o->set(options, k + 1 < a.size() ? a.substr(k + 1) : args[++i], error);
    }
    return true;
}

// The documents, and the output folder after them unless listing.
bool TakePositional(ExtractOptions& options, std::vector<std::string> positional,
                    std::string& error) {
    if (options.list) {
        options.inputs = std::move(positional);
        return !options.inputs.empty() || options.from || Fail(error, "expected INPUT.pdf");
    }
    if (positional.size() < (options.from ? 1u : 2u))
        return Fail(error, options.from ? "expected OUTPUT_FOLDER"
                                        : "expected INPUT.pdf and OUTPUT_FOLDER");
    options.outputFolder = positional.back();
    positional.pop_back();
    options.inputs = std::move(positional);
    return true;
}

} // namespace

std::vector<std::string> RunOptions(const ExtractOptions& o) {
    std::vector<std::string> args{"--format=" + o.format, "--quality=" + std::to_string(o.quality),
                                  o.name ? "--name=" + *o.name : "--prefix=" + o.prefix};
    if (!o.pages.text.empty())
        args.push_back("--range=" + o.pages.text);
    if (o.noClobber)
        args.push_back("--no-clobber");
    if (o.pictures.unique)
        args.push_back("--unique");
    if (o.pictures.HasMinimum())
        args.push_back("--min-size=" + o.pictures.MinimumText());
    if (!o.pictures.only.empty())
        args.push_back("--only=" + extract::PicturesText(o.pictures.only));
    return args;
}

std::string RunOptionsText(const ExtractOptions& options) {
    std::string text;
    for (const std::string& arg : RunOptions(options))
        text += (text.empty() ? "" : " ") + arg;
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
           "      --only=PAGE.N,...     only these pictures, each by its page and its\n"
           "                            number on the page (image_on_page in --json),\n"
           "                            such as 3.2,5.1\n"
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

std::optional<ExtractOptions> ParseCommandLine(const std::vector<std::string>& args,
                                               std::string& error) {
    ExtractOptions options;
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--") {
            positional.insert(positional.end(), args.begin() + static_cast<long>(i) + 1,
                              args.end());
            break;
        }
        bool taken = true;
        if (a.rfind("--", 0) == 0)
            taken = TakeLong(args, i, options, error);
        else if (a.size() > 1 && a[0] == '-')
            taken = TakeShort(args, i, options, error);
        else
            positional.push_back(a);
        if (!taken)
            return std::nullopt;
    }
    if (options.help || options.version)
        return options;
    if (options.resume && !options.manifest)
        options.manifest = "";
    if (options.name && !options.prefix.empty()) {
        error = "give --prefix or --name, not both: --prefix=P is --name=P{n}";
        return std::nullopt;
    }
    if (!TakePositional(options, std::move(positional), error))
        return std::nullopt;
    return options;
}

} // namespace cli
