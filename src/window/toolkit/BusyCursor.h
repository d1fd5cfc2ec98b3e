// The busy cursor over every window of the program for as long as the object
// lives: the wait that follows gives the window no chance to repaint.
#pragma once

namespace toolkit {

class BusyCursor {
public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

} // namespace toolkit
