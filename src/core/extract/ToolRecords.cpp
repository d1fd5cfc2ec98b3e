#include "extract/ToolRecords.h"

#include "ToolContract.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <optional>
#include <vector>

namespace extract {

namespace {

template <class T> std::optional<T> Number(const std::string& text) {
    T value{};
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end)
        return std::nullopt;
    return value;
}

// A page's number; 0 only where `none` allows it (a run over no pages).
std::optional<int> Page(const std::vector<std::string>& fields, bool none = false) {
    const auto page = fields.size() == 1 ? Number<int>(fields[0]) : std::nullopt;
    return page && (*page > 0 || (none && *page == 0)) ? page : std::nullopt;
}

// Digits with a decimal point between digits, as JSON takes a number.
bool IsDecimal(const std::string& text) {
    const std::size_t point = text.find('.');
    const auto digits = [&](std::size_t from, std::size_t to) {
        return from < to && std::all_of(text.begin() + static_cast<long>(from),
                                        text.begin() + static_cast<long>(to),
                                        [](char c) { return c >= '0' && c <= '9'; });
    };
    return point == std::string::npos ? digits(0, text.size())
                                      : digits(0, point) && digits(point + 1, text.size());
}

// What the last field of a picture left out, or failed, says of it; false
// for other text.
bool ReadMark(const std::string& text, ListedImage& image) {
    const std::string repeat = std::string(contract::kListedRepeat) + ' ';
    if (text == contract::kListedSmall || text == contract::kListedFailed) {
        (text == contract::kListedSmall ? image.small : image.failed) = true;
        return true;
    }
    if (text.compare(0, repeat.size(), repeat) != 0)
        return false;
    const auto of = Number<int>(text.substr(repeat.size()));
    if (!of || *of < 1)
        return false;
    image.repeatOf = *of;
    return true;
}

// The uses of a picture, "a b c d e f" each; nothing when one is not that.
std::optional<std::vector<Placement>> Uses(const std::string& text) {
    std::vector<Placement> uses;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(contract::kUseSeparator, start);
        if (end == std::string::npos)
            end = text.size();
        const std::string use = text.substr(start, end - start);
        Placement m{};
        int read = 0;
        char rest = 0;
        if (std::sscanf(use.c_str(), "%lf %lf %lf %lf %lf %lf%c%n", &m[0], &m[1], &m[2], &m[3],
                        &m[4], &m[5], &rest, &read) != 6 ||
            !std::all_of(m.begin(), m.end(), [](double v) { return std::isfinite(v); }))
            return std::nullopt;
        uses.push_back(m);
        start = end + 1;
    }
    return uses;
}

// A name in the scratch folder, and nowhere else.
bool IsPlainName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of("/\\") == std::string::npos;
}

bool IsDigest(const std::string& text) {
    return text.size() == 64 && text.find_first_not_of("0123456789abcdef") == std::string::npos;
}

// The profile's fields: none, or a digest and whether the file carries it.
bool ReadProfile(const std::vector<std::string>& f, ListedImage& image) {
    using namespace contract;
    const std::string& digest = f[kListedProfile];
    const std::string& carried = f[kListedProfileCarried];
    if (digest == kNoDigest)
        return carried == kNoDigest;
    if (!IsDigest(digest) || (carried != kProfileCarried && carried != kProfileDropped))
        return false;
    image.profileSha256 = digest;
    image.profileCarried = carried == kProfileCarried;
    image.profileName = f[kListedProfileName];
    return true;
}

std::optional<ListedImage> Picture(const std::vector<std::string>& f) {
    using namespace contract;
    if (f.size() != kListedFieldCount && f.size() != kListedFieldCount + 1)
        return std::nullopt;
    const auto at = [&](ListedField field) -> const std::string& { return f[field]; };
    ListedImage image;
    const auto page = Number<int>(at(kListedPageNumber));
    const auto width = Number<int>(at(kListedWidth));
    const auto height = Number<int>(at(kListedHeight));
    const auto components = Number<int>(at(kListedComponents));
    const auto bits = Number<int>(at(kListedBits));
    const auto bytes = Number<long long>(at(kListedBytes));
    const auto object = Number<int>(at(kListedObject));
    const auto onPage = Number<int>(at(kListedOnPage));
    const std::string& output = at(kListedOutput);
    std::optional<std::vector<Placement>> uses = Uses(at(kListedUses));
    if (!page || !width || !height || !components || !bits || !bytes || !object || !onPage ||
        !IsDecimal(at(kListedXResolution)) || !IsDecimal(at(kListedYResolution)) ||
        (output != kOutputKept && output != kOutputEncoded) || !uses || !ReadProfile(f, image))
        return std::nullopt;
    image.uses = std::move(*uses);
    image.kept = output == kOutputKept;
    image.page = *page;
    image.width = *width;
    image.height = *height;
    image.colourSpace = at(kListedColourSpace);
    image.components = *components;
    image.bitsPerComponent = *bits;
    image.encoding = at(kListedEncoding);
    image.mask = at(kListedMask);
    image.xResolution = at(kListedXResolution);
    image.yResolution = at(kListedYResolution);
    image.bytes = *bytes;
    image.objectNumber = *object;
    image.onPage = *onPage;
    if (f.size() == kListedFieldCount + 1 && !ReadMark(f.back(), image))
        return std::nullopt;
    return image;
}

// A file's record: its number, a plain name, its size and its digest.
std::optional<MadeFile> File(const std::vector<std::string>& f) {
    if (f.size() != 4)
        return std::nullopt;
    const auto number = Number<int>(f[0]);
    const auto bytes = Number<std::uint64_t>(f[2]);
    const std::string& name = f[1];
    const bool plainName = IsPlainName(name);
    const bool digest = f[3] == contract::kNoDigest || IsDigest(f[3]);
    if (!number || *number < 1 || !bytes || !plainName || !digest)
        return std::nullopt;
    return MadeFile{.number = *number,
                    .name = name,
                    .bytes = *bytes,
                    .sha256 = f[3] == contract::kNoDigest ? std::string() : f[3]};
}

} // namespace

ToolRecord RecordReader::Read(const std::string& line) {
    const contract::Record r = contract::ParseRecord(line);
    if (r.label == contract::kListedPage) {
        if (const auto page = Page(r.fields))
            return PageBegins{*page};
    } else if (r.label == contract::kListedImage) {
        if (std::optional<ListedImage> image = Picture(r.fields)) {
            image->number = image->LeftOut() || image->failed ? 0 : next_++;
            // A picture's files follow its facts; another picture's facts
            // mean the files of the one before never came.
            if (!pending_.empty() &&
                (pending_.front().page != image->page || pending_.front().onPage != image->onPage))
                pending_.clear();
            if (!image->LeftOut() && !image->failed)
                pending_.push_back(*image);
            return *image;
        }
    } else if (r.label == contract::kFileMade) {
        if (std::optional<MadeFile> file = File(r.fields)) {
            if (!pending_.empty()) {
                file->facts = pending_.front();
                pending_.pop_front();
            }
            file->page = file->facts.page;
            file->onPage = file->facts.onPage;
            file->objectNumber = file->facts.objectNumber;
            // A picture that failed took no number: the files say which.
            next_ = file->number + 1;
            return *file;
        }
    } else if (r.label == contract::kProfileMade) {
        if (r.fields.size() == 1 && IsPlainName(r.fields[0]))
            return ProfileMade{r.fields[0]};
    } else if (r.label == contract::kThumb) {
        const auto w = r.fields.size() == 3 ? Number<int>(r.fields[1]) : std::nullopt;
        const auto h = r.fields.size() == 3 ? Number<int>(r.fields[2]) : std::nullopt;
        if (w && h && *w > 0 && *h > 0 && IsPlainName(r.fields[0]))
            return MadeThumbnail{r.fields[0], *w, *h};
    } else if (r.label == contract::kSeen) {
        if (r.fields.size() == 3)
            return SeenPicture{line};
    } else if (r.label == contract::kPageDone) {
        if (const auto page = Page(r.fields))
            return PageEnds{*page};
    } else if (r.label == contract::kListedEnd) {
        if (const auto page = Page(r.fields, true))
            return RunEnds{*page};
    }
    return ToolProblem{line};
}

} // namespace extract
