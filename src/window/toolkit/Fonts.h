// The faces the windows were laid out for.
#pragma once

#include <QFont>
#include <QList>

namespace toolkit {

// The windows' 8-point face: narrow, with the widths the layout was drawn
// for, the system's sans-serif when none of those is installed.
QFont WindowFont();

// `base` at another size and weight.
QFont PointFont(const QFont& base, int points, bool bold);

// `base` and ever narrower forms of it, for a text that must keep to a
// narrow place, down to the narrowest that still reads well.
QList<QFont> NarrowingFaces(const QFont& base);

} // namespace toolkit
