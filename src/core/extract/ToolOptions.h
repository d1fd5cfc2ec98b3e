// Which pictures glimmet.bin hands on, and the options that ask it so, the
// same for a job and for a listing of what the job would write.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace extract {

// A picture by its page and its number on the page, from 1, as a listing
// numbers it.
struct PicturePlace {
    int page = 0;
    int onPage = 0;
    bool operator==(const PicturePlace&) const = default;
    auto operator<=>(const PicturePlace&) const = default;
};

// The pictures left out: repeats of one written, and those smaller than
// the minimum (0 for none).
struct PictureChoice {
    bool unique = false;
    int minWidth = 0;
    int minHeight = 0;
    // Only these pictures, when any are named.
    std::vector<PicturePlace> only = {};

    bool HasMinimum() const { return minWidth > 0 || minHeight > 0; }
    // The minimum as the options write it: "WxH".
    std::string MinimumText() const {
        return std::to_string(minWidth) + "x" + std::to_string(minHeight);
    }
};

// The pictures in the order of the document, each once.
std::vector<PicturePlace> InDocumentOrder(std::vector<PicturePlace> pictures);
// "3.2,5.1": the pictures as the tool and arvenzo-extract's --only write
// them, in the order given.
std::string PicturesText(const std::vector<PicturePlace>& pictures);
// The pictures of such a text, in document order, each once; nothing when a
// part is not PAGE.N with both numbers from 1.
std::optional<std::vector<PicturePlace>> ReadPictures(const std::string& text);

// Appends the options for a document opened with `password` (none when
// empty), whose pictures go to `formatText`, chosen by `choice`.
void AddPictureOptions(const std::string& password, const std::string& formatText,
                       const PictureChoice& choice, std::vector<std::string>& args);

} // namespace extract
