// Which pictures glimmet.bin hands on, and the options that ask it so, the
// same for a job and for a listing of what the job would write.
#pragma once

#include <string>
#include <vector>

namespace extract {

// The pictures left out: repeats of one written, and those smaller than
// the minimum (0 for none).
struct PictureChoice {
    bool unique = false;
    int minWidth = 0;
    int minHeight = 0;

    bool HasMinimum() const { return minWidth > 0 || minHeight > 0; }
    // The minimum as the options write it: "WxH".
    std::string MinimumText() const {
        return std::to_string(minWidth) + "x" + std::to_string(minHeight);
    }
};

// Appends the options for a document opened with `password` (none when
// empty), whose pictures go to `formatText`, chosen by `choice`.
void AddPictureOptions(const std::string& password, const std::string& formatText,
                       const PictureChoice& choice, std::vector<std::string>& args);

} // namespace extract
