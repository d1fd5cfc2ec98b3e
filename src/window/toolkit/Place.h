// Windows laid out by hand place each control at its own spot; this sets
// the spot and hands the control back, so that it can be made in one line.
#pragma once

namespace toolkit {

template <class W> W* Place(W* widget, int left, int top, int width, int height) {
    widget->setGeometry(left, top, width, height);
    return widget;
}

} // namespace toolkit
