#include "picker/PickerRules.h"

#include "ToolContract.h"
#include "text/TextRules.h"
#include "toolkit/MessageBoxes.h"

#include <QLocale>

namespace picker {

namespace {

// "640 × 480": the multiplication sign, thin as people write it.
QString SizeText(int width, int height) {
    return QStringLiteral("%1 × %2").arg(width).arg(height);
}

QString PlaceText(extract::PicturePlace place) {
    return QString::fromStdString(extract::PicturesText({place}));
}

} // namespace

bool Smaller(const extract::ListedImage& facts, int minWidth, int minHeight) {
    return facts.width < minWidth || facts.height < minHeight;
}

bool Shown(const extract::PickedPicture& picture, const PictureFilter& filter) {
    if (filter.eachOnce && picture.repeatOf)
        return false;
    return !(filter.hideSmall && Smaller(picture.facts, filter.minWidth, filter.minHeight));
}

ShownCount CountShown(const std::vector<extract::PickedPicture>& pictures,
                      const PictureFilter& filter) {
    ShownCount count;
    for (const extract::PickedPicture& picture : pictures)
        ++(Shown(picture, filter) ? count.shown : count.hidden);
    return count;
}

std::vector<extract::PicturePlace> ChosenPlaces(const std::vector<extract::PickedPicture>& pictures,
                                                const std::vector<bool>& ticked,
                                                const PictureFilter& filter) {
    std::vector<extract::PicturePlace> chosen;
    for (std::size_t i = 0; i < pictures.size() && i < ticked.size(); ++i)
        if (ticked[i] && Shown(pictures[i], filter))
            chosen.push_back({pictures[i].facts.page, pictures[i].facts.onPage});
    return chosen;
}

QString EncodingName(const std::string& encoding) {
    static const struct {
        const char* tool;
        const char* shown;
    } names[] = {{"jpeg", "JPEG"},   {"jpx", "JPEG 2000"}, {"jbig2", "JBIG2"},  {"ccitt", "CCITT"},
                 {"flate", "Flate"}, {"lzw", "LZW"},       {"rle", "RunLength"}};
    for (const auto& name : names)
        if (encoding == name.tool)
            return QString::fromLatin1(name.shown);
    if (encoding == "raw")
        return PickerTexts::tr("uncompressed");
    return toolkit::FromProgramText(encoding);
}

QString ColoursName(const extract::ListedImage& facts) {
    if (facts.mask == contract::kMaskStencil)
        return PickerTexts::tr("stencil mask");
    return toolkit::FromProgramText(facts.colourSpace);
}

QString SpokenName(const extract::ListedImage& facts) {
    return PickerTexts::tr("Page %1, picture %2, %3, %4")
        .arg(facts.page)
        .arg(facts.onPage)
        .arg(SizeText(facts.width, facts.height), EncodingName(facts.encoding));
}

QStringList Marks(const extract::PickedPicture& picture, int minWidth, int minHeight) {
    QStringList marks;
    if (!picture.failure.empty() || picture.facts.failed)
        marks << PickerTexts::tr("failed");
    if (picture.facts.kept)
        marks << PickerTexts::tr("own bytes");
    if (picture.repeatOf)
        marks << PickerTexts::tr("repeat of %1").arg(PlaceText(*picture.repeatOf));
    if (Smaller(picture.facts, minWidth, minHeight))
        marks << PickerTexts::tr("small");
    return marks;
}

QString FactsText(const extract::PickedPicture& picture, int minWidth, int minHeight) {
    const extract::ListedImage& f = picture.facts;
    QStringList lines;
    lines << PickerTexts::tr("Page %1, picture %2").arg(f.page).arg(f.onPage);
    lines << PickerTexts::tr("%1 pixels").arg(SizeText(f.width, f.height));
    lines << PickerTexts::tr("Colours: %1, %2 × %3 bits")
                 .arg(ColoursName(f))
                 .arg(f.components)
                 .arg(f.bitsPerComponent);
    lines << PickerTexts::tr("Stored as %1, %2 bytes")
                 .arg(EncodingName(f.encoding), QLocale().toString(f.bytes));
    if (f.kept)
        lines << PickerTexts::tr("Saved as the document's own bytes");
    if (picture.repeatOf)
        lines << PickerTexts::tr("Repeats picture %1").arg(PlaceText(*picture.repeatOf));
    if (Smaller(f, minWidth, minHeight))
        lines << PickerTexts::tr("Smaller than %1").arg(SizeText(minWidth, minHeight));
    if (!picture.failure.empty())
        lines << toolkit::FromProgramText(picture.failure);
    else if (f.failed)
        lines << PickerTexts::tr("The picture could not be read");
    return lines.join(QLatin1Char('\n'));
}

std::string DraggedName(const std::string& prefix, extract::PicturePlace place) {
    return text::Trim(prefix) + std::to_string(place.page) + "-" + std::to_string(place.onPage);
}

} // namespace picker
