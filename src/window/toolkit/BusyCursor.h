// The busy cursor over every window of the program for as long as the object
// lives: the wait that follows gives the window no chance to repaint.
#pragma once

#include <QtGlobal>

namespace toolkit {

class BusyCursor {
public:
    BusyCursor();
    ~BusyCursor();
    Q_DISABLE_COPY_MOVE(BusyCursor)
};

} // namespace toolkit
