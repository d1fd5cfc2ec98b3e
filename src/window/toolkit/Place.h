// Windows laid out by hand place each control at its own spot; these set the
// spot (and the name tests and screen readers find it by) and hand the
// control back, so that it can be made in one line.
#pragma once

#include <QString>

namespace toolkit {

template <class W> W* Place(W* widget, int left, int top, int width, int height) {
    widget->setGeometry(left, top, width, height);
    return widget;
}

template <class W> W* Place(W* widget, const char* name, int left, int top, int width, int height) {
    widget->setObjectName(QLatin1String(name));
    return Place(widget, left, top, width, height);
}

} // namespace toolkit
