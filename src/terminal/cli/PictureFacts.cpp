#include "cli/PictureFacts.h"

#include "ToolContract.h"
#include "extract/Formats.h"

#include <algorithm>
#include <cmath>

namespace cli {

namespace {

// Rounded where the tool's own figures stop, so that a turn of a quarter
// reads 90 and not 89.99999.
double Rounded(double value, double step) {
    const double rounded = std::round(value / step) * step;
    return rounded == 0 ? 0.0 : rounded;
}

} // namespace

Standing StandingOf(const extract::Placement& m) {
    const auto [a, b, c, d, e, f] = m;
    // The picture is the unit square; its corners where the matrix takes them.
    const double xs[] = {e, e + a, e + c, e + a + c};
    const double ys[] = {f, f + b, f + d, f + b + d};
    Standing s{};
    s.box = {*std::min_element(std::begin(xs), std::end(xs)),
             *std::min_element(std::begin(ys), std::end(ys)),
             *std::max_element(std::begin(xs), std::end(xs)),
             *std::max_element(std::begin(ys), std::end(ys))};
    double degrees = std::atan2(b, a) * 180.0 / M_PI;
    if (degrees < 0)
        degrees += 360.0;
    s.rotation = std::fmod(Rounded(degrees, 0.001), 360.0);
    s.flipped = a * d - b * c < 0;
    return s;
}

void KnowWhatFilesHold(std::vector<extract::ListedImage>& images, const std::string& format) {
    for (extract::ListedImage& i : images)
        i.profileFits = i.kept || extract::HoldsProfile(format, i.encoding == contract::kKeepJpeg);
}

Json PlacementsJson(const extract::ListedImage& image) {
    Json uses = Json::array();
    for (const extract::Placement& m : image.uses) {
        const Standing s = StandingOf(m);
        Json box = Json::array();
        for (double v : s.box)
            box.push_back(Rounded(v, 0.001));
        Json matrix = Json::array();
        for (double v : m)
            matrix.push_back(Rounded(v, 0.0001));
        uses.push_back(
            {{"box", box}, {"rotation", s.rotation}, {"flipped", s.flipped}, {"matrix", matrix}});
    }
    return uses;
}

Json ProfileJson(const extract::ListedImage& image) {
    if (image.profileSha256.empty())
        return Json();
    return {{"description", image.profileName},
            {"sha256", image.profileSha256},
            {"carried", image.ProfileInFile()}};
}

} // namespace cli
