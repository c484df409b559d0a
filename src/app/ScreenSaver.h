#pragma once
// The screen saver is held off while a workbook is open, through the
// desktop's inhibition service (org.freedesktop.ScreenSaver on the session
// bus). Where the session has no such service nothing happens.
#include <QString>

namespace tabulon::app {

class ScreenSaver {
public:
    ~ScreenSaver() { setActive(true); }
    // false: inhibit (at intake); true: release (at exit).
    void setActive(bool active);
    bool inhibited() const { return cookie_ != 0; }

private:
    unsigned cookie_ = 0;
};

}  // namespace tabulon::app
