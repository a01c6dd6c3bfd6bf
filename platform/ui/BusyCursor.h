// The hourglass a long transfer shows, and the process priority it settles at its end. The
// program installs the toolkit's version; without one, nothing is shown.
#pragma once

namespace platform::ui {

class BusyIndicator {
public:
    virtual ~BusyIndicator() = default;
    virtual void showBusy() = 0;
    virtual void restore() = 0;
};

BusyIndicator* busyIndicator();
void setBusyIndicator(BusyIndicator* indicator);

// Shows the hourglass for its lifetime; restores the previous cursor on every way out.
class BusyCursor {
public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

// Puts the process back at normal scheduling priority (nothing happens when it already is, or when
// the system does not allow it).
void setNormalProcessPriority();

} // namespace platform::ui
