#include "cli/ImageListing.h"

#include "ToolContract.h"
#include "cli/ExitCodes.h"
#include "cli/Json.h"
#include "cli/PictureFacts.h"
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

// The profile's description, and where the file will not hold it, why.
std::string ProfileText(const ListedImage& i) {
    if (i.profileSha256.empty())
        return "-";
    const std::string name = i.profileName.empty() ? "ICC" : i.profileName;
    if (!i.profileCarried)
        return name + (i.kept ? " (not in the kept bytes)" : " (converted to RGB)");
    return name + (i.profileFits ? "" : " (the format holds none)");
}

// A decimal as the tool gave it ("72.0"), written as that number.
Json Decimal(const std::string& text) {
    Json number = Json::parse(text, nullptr, false);
    return number.is_number() ? number : Json(text);
}

void PrintJson(const ListedImage& i, std::ostream& out) {
    Json row;
    row["page"] = i.page;
    row["image"] = i.LeftOut() ? Json() : Json(i.number);
    row["image_on_page"] = i.onPage;
    row["object"] = i.objectNumber;
    row["width"] = i.width;
    row["height"] = i.height;
    row["colour_space"] = i.colourSpace;
    row["components"] = i.components;
    row["bits_per_component"] = i.bitsPerComponent;
    row["encoding"] = i.encoding;
    row["mask"] = i.mask;
    row["x_ppi"] = Decimal(i.xResolution);
    row["y_ppi"] = Decimal(i.yResolution);
    row["bytes"] = i.bytes;
    row["output"] = i.kept ? contract::kOutputKept : contract::kOutputEncoded;
    row["profile"] = ProfileJson(i);
    row["placements"] = PlacementsJson(i);
    if (i.small) {
        row["left_out"] = "small";
    } else if (i.repeatOf > 0) {
        row["left_out"] = "repeat";
        row["repeat_of"] = i.repeatOf;
    }
    out << JsonLine(row) << '\n';
}

void PrintTable(const std::vector<ListedImage>& images, std::ostream& out) {
    struct Column {
        const char* title;
        bool number;
    };
    static const Column columns[] = {
        {"page", true},          {"image", true},    {"width", true},     {"height", true},
        {"colour space", false}, {"comp", true},     {"bpc", true},       {"encoding", false},
        {"mask", false},         {"x ppi", true},    {"y ppi", true},     {"bytes", true},
        {"output", false},       {"profile", false}, {"left out", false},
    };
    // The profile's column only when a picture names one, the last only when
    // something is left out.
    const bool profiles = std::any_of(images.begin(), images.end(), [](const ListedImage& i) {
        return !i.profileSha256.empty();
    });
    const bool leftOut =
        std::any_of(images.begin(), images.end(), [](const ListedImage& i) { return i.LeftOut(); });
    std::vector<std::vector<std::string>> rows;
    for (const ListedImage& i : images)
        rows.push_back({std::to_string(i.page), i.LeftOut() ? "-" : std::to_string(i.number),
                        std::to_string(i.width), std::to_string(i.height), i.colourSpace,
                        std::to_string(i.components), std::to_string(i.bitsPerComponent),
                        i.encoding, i.mask, i.xResolution, i.yResolution, std::to_string(i.bytes),
                        i.kept ? contract::kOutputKept : contract::kOutputEncoded, ProfileText(i),
                        LeftOutText(i)});
    // Only the columns shown, in their order.
    std::vector<Column> shown;
    for (std::size_t c = std::size(columns); c-- > 0;) {
        const bool hidden = (c + 1 == std::size(columns) && !leftOut) ||
                            (std::string(columns[c].title) == "profile" && !profiles);
        if (!hidden)
            shown.insert(shown.begin(), columns[c]);
        else
            for (auto& row : rows)
                row.erase(row.begin() + static_cast<std::ptrdiff_t>(c));
    }
    const std::size_t count = shown.size();
    std::vector<std::size_t> widths(count);
    for (std::size_t c = 0; c < count; ++c) {
        widths[c] = std::string(shown[c].title).size();
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
            text += shown[c].number ? pad + value : value + (c + 1 < count ? pad : "");
        }
        text.erase(text.find_last_not_of(' ') + 1);
        out << text << '\n';
    };
    line([&](std::size_t c) { return std::string(shown[c].title); });
    for (const auto& row : rows)
        line([&](std::size_t c) { return row[c]; });
}

// A tool's problem as the command says it.
std::string Problem(const std::string& line) {
    const std::string own = "Error: ";
    return kName + (line.compare(0, own.size(), own) == 0 ? line.substr(own.size()) : line);
}

} // namespace

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
    ToolListing listing = ListImages(whole, toolFolder);
    KnowWhatFilesHold(listing.images, request.format);

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
