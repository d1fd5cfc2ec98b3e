// The online windows' message boxes: centred over the main window, some with
// buttons that the Tab key passes by.
#pragma once

#include "toolkit/MessageBoxes.h"

namespace online {

toolkit::Answer ShowBox(QWidget* owner, toolkit::BoxType type, const QString& text,
                        toolkit::ButtonSet buttons, bool tabStops = true);

} // namespace online
