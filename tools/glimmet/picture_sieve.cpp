#include "picture_sieve.h"

#include "ToolContract.h"
#include "pixel_digest.h"

#include <charconv>

namespace glimmet {

namespace {

std::optional<int> count(std::string_view text) {
    int value = 0;
    auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || ptr != text.data() + text.size() || value < 0)
        return std::nullopt;
    return value;
}

} // namespace

std::optional<std::pair<int, int>> readSize(const std::string& text) {
    const std::size_t x = text.find('x');
    if (x == std::string::npos) {
        const auto n = count(text);
        return n ? std::optional(std::pair(*n, *n)) : std::nullopt;
    }
    const auto w = count(std::string_view(text).substr(0, x));
    const auto h = count(std::string_view(text).substr(x + 1));
    return w && h ? std::optional(std::pair(*w, *h)) : std::nullopt;
}

PictureSieve::PictureSieve(bool unique, int minWidth, int minHeight)
    : unique_(unique), minWidth_(minWidth), minHeight_(minHeight) {}

void PictureSieve::remember(const std::string& kind, const std::string& key, int file) {
    if (kind == contract::kSeenObject) {
        if (const auto n = count(key))
            objects_.emplace(*n, file);
    } else if (kind == contract::kSeenPixels) {
        digests_.emplace(key, file);
    }
}

std::optional<LeftOut> PictureSieve::beforeDecoding(int objectNumber, int width, int height) const {
    if (width < minWidth_ || height < minHeight_)
        return LeftOut{true, 0};
    if (!unique_ || objectNumber <= 0)
        return std::nullopt;
    const auto seen = objects_.find(objectNumber);
    if (seen == objects_.end())
        return std::nullopt;
    return LeftOut{false, seen->second};
}

std::optional<LeftOut> PictureSieve::byContent(tools::Context& ctx, fz_image* image,
                                               const KeptPicture& kept) {
    digest_.clear();
    if (!unique_)
        return std::nullopt;
    digest_ = pixelDigest(ctx, image, kept);
    const auto seen = digests_.find(digest_);
    if (seen == digests_.end())
        return std::nullopt;
    return LeftOut{false, seen->second};
}

std::vector<Seen> PictureSieve::take(int objectNumber, int firstFile) {
    std::vector<Seen> seen;
    if (!unique_)
        return seen;
    if (objectNumber > 0 && objects_.emplace(objectNumber, firstFile).second)
        seen.push_back({contract::kSeenObject, std::to_string(objectNumber), firstFile});
    if (!digest_.empty() && digests_.emplace(digest_, firstFile).second)
        seen.push_back({contract::kSeenPixels, digest_, firstFile});
    digest_.clear();
    return seen;
}

} // namespace glimmet
