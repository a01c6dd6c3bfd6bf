#include "platform/ui/QtBusyIndicator.h"

#include <QApplication>
#include <QCursor>

namespace platform::ui {

QtBusyIndicator::~QtBusyIndicator() {
    while (depth_ > 0) {
        restore();
    }
}

void QtBusyIndicator::showBusy() {
    QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    ++depth_;
}

void QtBusyIndicator::restore() {
    if (depth_ == 0) {
        return;
    }
    --depth_;
    // Nothing to take back once the application is gone (an indicator outliving it at exit).
    if (QApplication::instance()) {
        QApplication::restoreOverrideCursor();
    }
}

} // namespace platform::ui
