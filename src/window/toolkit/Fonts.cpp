#include "toolkit/Fonts.h"

#include <QApplication>

namespace toolkit {

QFont WindowFont() {
    QFont font = QApplication::font();
    font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                      QStringLiteral("Nimbus Sans"), QStringLiteral("Tahoma"), font.family()});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(8);
    font.setBold(false); // marked as set, so group boxes' bold does not reach their children
    return font;
}

QFont PointFont(const QFont& base, int points, bool bold) {
    QFont font = base;
    font.setPointSize(points);
    font.setBold(bold);
    return font;
}

QList<QFont> NarrowingFaces(const QFont& base) {
    QList<QFont> faces{base};
    QFont face = base;
    for (const int stretch : {95, 90}) {
        face.setStretch(stretch);
        faces.append(face);
    }
    face = base;
    face.setFamilies({QStringLiteral("Liberation Sans Narrow"), QStringLiteral("Arial Narrow"),
                      QStringLiteral("Nimbus Sans Narrow"),
                      QStringLiteral("DejaVu Sans Condensed")});
    faces.append(face);
    // Narrower than the narrow face itself: drawn condensed.
    for (const int stretch : {70, 65, 60}) {
        face.setStretch(stretch);
        faces.append(face);
    }
    return faces;
}

} // namespace toolkit
