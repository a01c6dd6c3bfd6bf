#include "platform/ui/BusyCursor.h"

#include <sys/resource.h>

namespace platform::ui {

namespace {
BusyIndicator*& installed() {
    static BusyIndicator* indicator = nullptr;
    return indicator;
}
} // namespace

BusyIndicator* busyIndicator() {
    return installed();
}

void setBusyIndicator(BusyIndicator* indicator) {
    installed() = indicator;
}

BusyCursor::BusyCursor() {
    if (BusyIndicator* i = installed()) {
        i->showBusy();
    }
}

BusyCursor::~BusyCursor() {
    if (BusyIndicator* i = installed()) {
        i->restore();
    }
}

void setNormalProcessPriority() {
    // Only ever lowers a raised priority back to normal; a failure changes nothing.
    if (getpriority(PRIO_PROCESS, 0) < 0) {
        (void)setpriority(PRIO_PROCESS, 0, 0);
    }
}

} // namespace platform::ui
