#include "platform/ui/QtBusyIndicator.h"

#include <QApplication>
#include <QCursor>

#include <gtest/gtest.h>

using namespace platform::ui;

namespace {

struct InstalledIndicator {
    explicit InstalledIndicator(BusyIndicator* i) : previous(busyIndicator()) {
        setBusyIndicator(i);
    }
    ~InstalledIndicator() { setBusyIndicator(previous); }
    BusyIndicator* previous;
};

Qt::CursorShape overrideShape() {
    const QCursor* c = QApplication::overrideCursor();
    return c ? c->shape() : Qt::BitmapCursor; // no override: a shape the tests never set
}

} // namespace

TEST(QtBusyIndicator, BusyCursorsNestAndRestoreBalanced) {
    ASSERT_EQ(QApplication::overrideCursor(), nullptr);
    QtBusyIndicator indicator;
    InstalledIndicator installed(&indicator);
    {
        BusyCursor outer;
        EXPECT_EQ(overrideShape(), Qt::WaitCursor);
        {
            BusyCursor inner;
            EXPECT_EQ(indicator.depth(), 2);
        }
        EXPECT_EQ(overrideShape(), Qt::WaitCursor) << "the outer hourglass stays";
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(QtBusyIndicator, NeverTakesBackAnotherPartsCursor) {
    QApplication::setOverrideCursor(QCursor(Qt::CrossCursor));
    {
        QtBusyIndicator indicator;
        indicator.restore(); // unmatched
        EXPECT_EQ(overrideShape(), Qt::CrossCursor);
        indicator.showBusy();
        indicator.showBusy();
        EXPECT_EQ(overrideShape(), Qt::WaitCursor);
        // Destroyed while busy: its own two hourglasses go, the other cursor stays.
    }
    EXPECT_EQ(overrideShape(), Qt::CrossCursor);
    QApplication::restoreOverrideCursor();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}
