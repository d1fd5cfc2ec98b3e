#include "picture_sieve.h"

#include "ToolContract.h"
#include "pixel_digest.h"
#include "scratch_output.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <memory>

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

PictureSieve::PictureSieve(bool unique, int minWidth, int minHeight, std::string tally)
    : unique_(unique), minWidth_(minWidth), minHeight_(minHeight), tally_(std::move(tally)) {
    if (tally_.empty())
        return;
    std::ifstream in(tally_);
    for (std::string line; std::getline(in, line);) {
        const std::size_t blank = line.find(' ');
        if (blank == std::string::npos)
            continue;
        // The file number after the key is the picture's first file, when
        // the run that wrote it knew it.
        const std::string kind = line.substr(0, blank);
        std::string value = line.substr(blank + 1);
        int file = 0;
        if (const std::size_t second = value.find(' '); second != std::string::npos) {
            file = count(std::string_view(value).substr(second + 1)).value_or(0);
            value.resize(second);
        }
        if (kind == contract::kTallyObject) {
            if (const auto n = count(value))
                objects_.emplace(*n, file);
        } else if (kind == contract::kTallyPixels) {
            digests_.emplace(value, file);
        }
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

void PictureSieve::take(int objectNumber, int firstFile) {
    if (!unique_)
        return;
    if (objectNumber > 0 && objects_.emplace(objectNumber, firstFile).second)
        learnt_ += std::string(contract::kTallyObject) + ' ' + std::to_string(objectNumber) + ' ' +
                   std::to_string(firstFile) + '\n';
    if (!digest_.empty() && digests_.emplace(digest_, firstFile).second)
        learnt_ += std::string(contract::kTallyPixels) + ' ' + digest_ + ' ' +
                   std::to_string(firstFile) + '\n';
    digest_.clear();
}

void PictureSieve::leaveOut(const LeftOut& why) {
    learnt_ += std::string(why.small ? contract::kTallySmall : contract::kTallyRepeat) + " 1\n";
}

void PictureSieve::save() {
    if (tally_.empty() || learnt_.empty())
        return;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(tally_.c_str(), "ab"),
                                                         &std::fclose);
    if (!file || std::fwrite(learnt_.data(), 1, learnt_.size(), file.get()) != learnt_.size() ||
        std::fflush(file.get()) != 0)
        failWriting(tally_, errno);
    learnt_.clear();
}

} // namespace glimmet
