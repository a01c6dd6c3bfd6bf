// The hourglass over the whole application while a long transfer runs.
#pragma once

#include "platform/ui/BusyCursor.h"

namespace platform::ui {

// Sets and takes back the application's override cursor. Balanced: it only ever takes back the
// cursors it set itself, so an unmatched restore cannot remove another part's override.
class QtBusyIndicator : public BusyIndicator {
public:
    ~QtBusyIndicator() override;
    void showBusy() override;
    void restore() override;

    int depth() const { return depth_; }

private:
    int depth_ = 0;
};

} // namespace platform::ui
