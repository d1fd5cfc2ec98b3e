#include "cli/ImageListing.h"

#include "ToolContract.h"
#include "cli/ExitCodes.h"
#include "inspect/ExecuteCMD.h"
#include "platform/Environment.h"
#include "platform/Files.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <type_traits>
#include <variant>

namespace cli {

namespace {

constexpr const char* kName = "arvenzo-extract: ";

// "small", "repeat of 3", or nothing for an image that is written.
std::string LeftOutText(const ListedImage& i) {
    if (i.small)
        return "small";
    return i.repeatOf > 0 ? "repeat of " + std::to_string(i.repeatOf) : std::string{};
}

void PrintJson(const ListedImage& i, std::ostream& out) {
    out << "{\"page\":" << i.page
        << ",\"image\":" << (i.LeftOut() ? std::string("null") : std::to_string(i.number))
        << ",\"image_on_page\":" << i.onPage << ",\"object\":" << i.objectNumber
        << ",\"width\":" << i.width << ",\"height\":" << i.height
        << ",\"colour_space\":" << JsonString(i.colourSpace) << ",\"components\":" << i.components
        << ",\"bits_per_component\":" << i.bitsPerComponent
        << ",\"encoding\":" << JsonString(i.encoding) << ",\"mask\":" << JsonString(i.mask)
        << ",\"x_ppi\":" << i.xResolution << ",\"y_ppi\":" << i.yResolution
        << ",\"bytes\":" << i.bytes << ",\"output\":\""
        << (i.kept ? contract::kOutputKept : contract::kOutputEncoded) << '"';
    if (i.small)
        out << ",\"left_out\":\"small\"";
    else if (i.repeatOf > 0)
        out << ",\"left_out\":\"repeat\",\"repeat_of\":" << i.repeatOf;
    out << "}\n";
}

void PrintTable(const std::vector<ListedImage>& images, std::ostream& out) {
    struct Column {
        const char* title;
        bool number;
    };
    static const Column columns[] = {
        {"page", true},          {"image", true},     {"width", true}, {"height", true},
        {"colour space", false}, {"comp", true},      {"bpc", true},   {"encoding", false},
        {"mask", false},         {"x ppi", true},     {"y ppi", true}, {"bytes", true},
        {"output", false},       {"left out", false},
    };
    // The last column only when something is left out.
    const bool leftOut =
        std::any_of(images.begin(), images.end(), [](const ListedImage& i) { return i.LeftOut(); });
    std::vector<std::vector<std::string>> rows;
    for (const ListedImage& i : images)
        rows.push_back({std::to_string(i.page), i.LeftOut() ? "-" : std::to_string(i.number),
                        std::to_string(i.width), std::to_string(i.height), i.colourSpace,
                        std::to_string(i.components), std::to_string(i.bitsPerComponent),
                        i.encoding, i.mask, i.xResolution, i.yResolution, std::to_string(i.bytes),
                        i.kept ? contract::kOutputKept : contract::kOutputEncoded, LeftOutText(i)});
    const std::size_t count = std::size(columns) - (leftOut ? 0 : 1);
    std::vector<std::size_t> widths(count);
    for (std::size_t c = 0; c < count; ++c) {
        widths[c] = std::string(columns[c].title).size();
        for (const auto& row : rows)
            widths[c] = std::max(widths[c], row[c].size());
    }
    const auto line = [&](const auto& cell) {
        std::string text;
        for (std::size_t c = 0; c < count; ++c) {
            const std::string value = cell(c);
            const std::string pad(widths[c] - value.size(), ' ');
            if (c > 0)
                text += "  ";
            text += columns[c].number ? pad + value : value + (c + 1 < count ? pad : "");
        }
        text.erase(text.find_last_not_of(' ') + 1);
        out << text << '\n';
    };
    line([&](std::size_t c) { return std::string(columns[c].title); });
    for (const auto& row : rows)
        line([&](std::size_t c) { return row[c]; });
}

// A tool's problem as the command says it.
std::string Problem(const std::string& line) {
    const std::string own = "Error: ";
    return kName + (line.compare(0, own.size(), own) == 0 ? line.substr(own.size()) : line);
}

// The length of the UTF-8 sequence that begins at `i`, 0 when none does:
// no overlong forms, no surrogates, nothing past U+10FFFF.
std::size_t SequenceAt(const std::string& text, std::size_t i) {
    const auto at = [&](std::size_t k) {
        return i + k < text.size() ? static_cast<unsigned char>(text[i + k]) : 0u;
    };
    const unsigned c = at(0);
    const std::size_t length = c >= 0xc2 && c < 0xe0   ? 2
                               : c >= 0xe0 && c < 0xf0 ? 3
                               : c >= 0xf0 && c < 0xf5 ? 4
                                                       : 0;
    if (length == 0)
        return 0;
    // The second byte's range narrows where a shorter form or a surrogate
    // would begin.
    const unsigned low = c == 0xe0 ? 0xa0 : c == 0xf0 ? 0x90 : 0x80;
    const unsigned high = c == 0xed ? 0x9f : c == 0xf4 ? 0x8f : 0xbf;
    if (at(1) < low || at(1) > high)
        return 0;
    for (std::size_t k = 2; k < length; ++k)
        if ((at(k) & 0xc0) != 0x80)
            return 0;
    return length;
}

} // namespace

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c == 0x7f) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (const std::size_t length = SequenceAt(text, i)) {
            out.append(text, i, length);
            i += length - 1;
        } else {
            out += "\\ufffd";
        }
    }
    return out + '"';
}

ToolListing ParseToolListing(const std::string& output, int firstNumber) {
    ToolListing listing;
    extract::RecordReader reader(firstNumber);
    for (const std::string& line : inspect::OutputLines(output)) {
        if (line == contract::kIncorrectPassword) {
            listing.passwordRefused = true;
            continue;
        }
        std::visit(
            [&](auto&& record) {
                using R = std::decay_t<decltype(record)>;
                if constexpr (std::is_same_v<R, extract::PageBegins>)
                    ++listing.pagesBegun;
                else if constexpr (std::is_same_v<R, extract::RunEnds>)
                    listing.finished = true;
                else if constexpr (std::is_same_v<R, ListedImage>)
                    listing.images.push_back(std::move(record));
                else if constexpr (std::is_same_v<R, extract::ToolProblem>)
                    listing.problems.push_back(std::move(record.line));
            },
            reader.Read(line));
    }
    return listing;
}

void PrintListing(const std::vector<ListedImage>& images, bool json, std::ostream& out) {
    if (!json) {
        PrintTable(images, out);
        return;
    }
    for (const ListedImage& image : images)
        PrintJson(image, out);
}

ToolListing ListImages(const ListingRequest& request, const std::string& toolFolder,
                       const std::function<bool()>& giveUp) {
    std::vector<std::string> arguments{contract::kListOption, contract::kFirstPageOption,
                                       std::to_string(request.firstPage), contract::kLastPageOption,
                                       std::to_string(request.lastPage)};
    // Asked as the job asks: the same question to the same tool.
    extract::AddPictureOptions(request.password, request.format, request.pictures, arguments);
    arguments.push_back(request.document);
    return ParseToolListing(inspect::RunConsoleTool(
        contract::kExtractionTool, arguments, toolFolder, std::chrono::milliseconds{0}, giveUp));
}

int RunListing(const ListingRequest& request, std::ostream& out, std::ostream& err,
               const std::string& toolFolder) {
    // The tool runs in its own folder, so the path it gets is whole.
    const std::string document = platform::AbsolutePath(request.document);
    if (!platform::FileExists(document)) {
        err << kName << document << " does not exist\n";
        return kBadInput;
    }
    if (request.firstPage < 1 || request.lastPage < request.firstPage) {
        err << kName << "no pages " << request.firstPage << " to " << request.lastPage << '\n';
        return kBadInput;
    }
    ListingRequest whole = request;
    whole.document = document;
    const ToolListing listing = ListImages(whole, toolFolder);

    if (listing.pagesBegun > 0 && !listing.passwordRefused) {
        PrintListing(listing.images, request.json, out);
        out.flush();
    }
    if (listing.passwordRefused) {
        err << kName
            << (request.password.empty() ? "the document needs a password\n"
                                         : "the password does not open the document\n");
        return kBadInput;
    }
    for (const std::string& problem : listing.problems)
        err << Problem(problem) << '\n';
    // Nothing begun: the document itself, or the pages asked, are at fault.
    if (listing.pagesBegun == 0)
        return kBadInput;
    return listing.finished && listing.problems.empty() ? kAllWritten : kSomeFailed;
}

} // namespace cli
