// What the picker shows and saves, as plain rules: which pictures a filter
// hides, what is counted, what a picture is called and marked with, and
// which pictures "Save selected" hands to the job.
#pragma once

#include "extract/PictureReader.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <string>
#include <vector>

namespace picker {

// The context the picker's rules are translated in.
class PickerTexts {
    Q_DECLARE_TR_FUNCTIONS(picker::PickerTexts)
};

struct PictureFilter {
    // Repeats of a picture shown earlier are hidden.
    bool eachOnce = false;
    // Pictures smaller than the minimum are hidden.
    bool hideSmall = false;
    int minWidth = 0;
    int minHeight = 0;
};

// Narrower or lower than the minimum: the rule the terminal's --min-size
// leaves pictures out by.
bool Smaller(const extract::ListedImage& facts, int minWidth, int minHeight);

bool Shown(const extract::PickedPicture& picture, const PictureFilter& filter);

struct ShownCount {
    int shown = 0;
    int hidden = 0;
    bool operator==(const ShownCount&) const = default;
};
ShownCount CountShown(const std::vector<extract::PickedPicture>& pictures,
                      const PictureFilter& filter);

// The pictures ticked and shown, in the order they were listed: what is
// saved. A hidden picture is not saved, ticked or not.
std::vector<extract::PicturePlace> ChosenPlaces(const std::vector<extract::PickedPicture>& pictures,
                                                const std::vector<bool>& ticked,
                                                const PictureFilter& filter);

// How the document stores the picture, as people call it.
QString EncodingName(const std::string& encoding);

// Its colours as people call them: the colour space, or a stencil mask,
// which has none.
QString ColoursName(const extract::ListedImage& facts);

// What a screen reader says of a thumbnail: "Page 3, picture 2, 640 × 480,
// JPEG".
QString SpokenName(const extract::ListedImage& facts);

// The marks under a thumbnail: saved as the document's own bytes, a repeat
// (of which picture), smaller than the minimum, failed.
QStringList Marks(const extract::PickedPicture& picture, int minWidth, int minHeight);

// Everything the picker knows of a picture, a fact a line, with the tool's
// line when it failed.
QString FactsText(const extract::PickedPicture& picture, int minWidth, int minHeight);

// The name, without extension, of the file a dragged picture becomes: the
// prefix, then its page and its number on the page, so that two pictures
// dragged out never take one name.
std::string DraggedName(const std::string& prefix, extract::PicturePlace place);

} // namespace picker
