// What --json and the manifest say of a picture beyond its pixels: where
// each use stands on its page, and the colour profile it names.
#pragma once

#include "cli/Json.h"
#include "extract/ToolRecords.h"

#include <array>
#include <string>
#include <vector>

namespace cli {

// One use of a picture as a script wants it: the box it covers in the
// page's own units (x0, y0, x1, y1, y upwards, before the page's /Rotate),
// the turn of its rows counter-clockwise in degrees (0 up to 360), and
// whether it is drawn mirrored.
struct Standing {
    std::array<double, 4> box;
    double rotation;
    bool flipped;
};
Standing StandingOf(const extract::Placement& matrix);

// Marks which pictures' files, written in `format`, can hold a profile:
// kept bytes as the tool found them, encoded files as their format can.
void KnowWhatFilesHold(std::vector<extract::ListedImage>& images, const std::string& format);

// Each use, first use first: its matrix, box, rotation and flip.
Json PlacementsJson(const extract::ListedImage& image);
// The profile's description, the SHA-256 of its bytes and whether the file
// carries it; null when the picture names none.
Json ProfileJson(const extract::ListedImage& image);

} // namespace cli
