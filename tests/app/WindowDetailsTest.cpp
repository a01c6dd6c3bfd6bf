// What the user meets around the pages' commands: the window's keys whichever control holds the
// focus, the tabs' marks, the hints, the unit labels and the empty measurement pages.
#include "MainWindowHarness.h"

#include "app/Keys.h"
#include "app/pages/BandsPage.h"
#include "app/pages/ConfigurationsPage.h"
#include "app/pages/MapsPage.h"
#include "app/pages/ParamGrid.h"
#include "surfaces/ButtonImages.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTabWidget>
#include <QToolBar>

#include <set>

namespace {

class WindowDetailsTest : public MainWindowTest {
protected:
    // The controls of the page in front that can take the keyboard focus.
    std::vector<QWidget*> focusableControls() {
        auto* tabs = form().findChild<QTabWidget*>("MainPageControl");
        std::vector<QWidget*> out;
        for (QWidget* w : tabs->currentWidget()->findChildren<QWidget*>()) {
            if (w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus) != 0) {
                out.push_back(w);
            }
        }
        return out;
    }
    // Where a key of the keyboard goes: the window that has the focus, or the main window.
    void typed(Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QWindow* target = QGuiApplication::focusWindow();
        if (QWidget* popup = QApplication::activePopupWidget()) {
            target = popup->windowHandle();
        }
        if (target == nullptr) {
            target = form().windowHandle();
            QApplication::setActiveWindow(&form());
        }
        QTest::keyClick(target, k, mods);
        QApplication::processEvents();
    }
};

// A key the window acts on is the window's: no control behind it acts on it as well (a drop-down
// list opening, a cell starting its editor), so the keys after it still reach the window.
TEST_F(WindowDetailsTest, SaveThenCancelLeavesTheRecordPagesAnsweringKeys) {
    start();
    struct Case {
        int page;
        const char* selector;
        std::function<int()> current;
    };
    const Case cases[] = {
        {2, "BandsSelectorComboBox", [this] { return int(form().Bands.Current); }},
        {3, "MapsSelectorComboBox", [this] { return int(form().Maps.Current); }},
    };
    for (const Case& c : cases) {
        form().SetActivePage(c.page);
        key(Qt::Key_F1);
        auto* selector = form().findChild<QComboBox*>(c.selector);
        ASSERT_NE(selector, nullptr);
        selector->setFocus();
        QApplication::processEvents();
        // F4 saves; the choice of records is cancelled.
        dialogsSeen.clear();
        typed(Qt::Key_F4);
        EXPECT_EQ(dialogsSeen.size(), 1u) << c.selector;
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr) << c.selector;
        EXPECT_FALSE(selector->view()->isVisible()) << c.selector;
        typed(Qt::Key_F8);
        EXPECT_EQ(c.current(), 1) << c.selector;
        typed(Qt::Key_F1, Qt::ShiftModifier);
        EXPECT_EQ(form().ActivePage(), 0) << c.selector;
    }
}

// A value typed into a parameter editor belongs to the configuration it was opened for, also
// when a key or a tool button (neither takes the focus from the editor) shows another one.
TEST_F(WindowDetailsTest, ATypedParameterStaysWithItsConfiguration) {
    start();
    key(Qt::Key_F1);
    ASSERT_EQ(form().Configs.Count, 20);
    app::TConfigurationsPage& page = *form().ConfigurationsPage();
    const std::pair<const char*, std::function<void()>> moves[] = {
        {"F8", [this] { typed(Qt::Key_F8); }},
        {"next button",
         [this] {
             auto* bar = form().findChild<QToolBar*>("ConfigsToolBar");
             ASSERT_NE(bar, nullptr);
             QTest::mouseClick(bar->widgetForAction(action("NextConfigAction")), Qt::LeftButton);
             QApplication::processEvents();
         }},
    };
    for (const auto& [how, move] : moves) {
        const int shown = form().Configs.Current;
        const int next = shown + 1;
        const int velocityOfNext = form().Configs.Records[next]->Velocity;
        TParamGrid* grid = page.Grid(app::ParamGrid::First);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier,
                          grid->visualRect(grid->model()->index(3, 1)).center());
        QLineEdit* edit = page.MaskEdit(app::ParamGrid::First);
        ASSERT_TRUE(edit->isVisible()) << how;
        edit->selectAll();
        QTest::keyClicks(edit, "5555");
        move();
        EXPECT_EQ(form().Configs.Current, next) << how;
        EXPECT_FALSE(edit->isVisible()) << how;
        EXPECT_EQ(form().Configs.Records[shown]->Velocity, 5555) << how;
        EXPECT_EQ(form().Configs.Records[next]->Velocity, velocityOfNext) << how;
    }
}

// Notes which keys a control (not a window) received.
class ControlKeySpy : public QObject {
public:
    ControlKeySpy() { qApp->installEventFilter(this); }
    ~ControlKeySpy() override { qApp->removeEventFilter(this); }
    std::set<int> keys;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress && !watched->isWindowType() &&
            watched->isWidgetType()) {
            keys.insert(static_cast<QKeyEvent*>(event)->key());
        }
        return false;
    }
};

// Every key of every page's table, with the focus on every control of that page: the keys the
// window has a command for stop at the window (also while the command is disabled), the others
// reach the control.
TEST_F(WindowDetailsTest, TheWindowsKeysNeverReachTheFocusedControl) {
    start();
    for (int page = 0; page < 4; ++page) {
        form().SetActivePage(page);
        key(Qt::Key_F1);
    }
    // Nothing runs: only where the keys go is looked at.
    for (QAction* a : form().findChildren<QAction*>()) {
        a->setEnabled(false);
    }
    for (int page = 0; page < app::MainPageCount; ++page) {
        form().SetActivePage(page);
        QApplication::processEvents();
        const auto controls = focusableControls();
        // The memory page has no control that takes the focus.
        EXPECT_EQ(controls.empty(), page == static_cast<int>(app::MainPage::Flash)) << page;
        for (QWidget* control : controls) {
            const std::string where = "page " + std::to_string(page) + " " +
                                      control->objectName().toStdString() + " (" +
                                      control->metaObject()->className() + ")";
            for (int fn = 1; fn <= 12; ++fn) {
                control->setFocus();
                QApplication::processEvents();
                ControlKeySpy spy;
                const auto k = static_cast<Qt::Key>(Qt::Key_F1 + fn - 1);
                typed(k);
                const bool windowsKey = !app::PlainKeyCommand(page, fn).empty();
                EXPECT_EQ(spy.keys.count(k), windowsKey ? 0u : 1u) << where << " F" << fn;
                EXPECT_EQ(QApplication::activePopupWidget(), nullptr) << where << " F" << fn;
                if (windowsKey) {
                    // No cell editor took the focus either.
                    EXPECT_EQ(QApplication::focusWidget(), control) << where << " F" << fn;
                }
            }
            // The page's own Shift key selects nothing new, and is still the window's.
            control->setFocus();
            ControlKeySpy spy;
            const auto own = static_cast<Qt::Key>(Qt::Key_F1 + page);
            typed(own, Qt::ShiftModifier);
            EXPECT_EQ(spy.keys.count(own), 0u) << where;
            EXPECT_EQ(form().ActivePage(), page) << where;
        }
    }
}

} // namespace

namespace {

// Each tab shows the mark of the page in front or of a page behind, the memory tab as well.
TEST_F(WindowDetailsTest, EveryTabMarksWhetherItsPageIsInFront) {
    start();
    auto* tabs = form().findChild<QTabWidget*>("MainPageControl");
    const QImage front = surfaces::ControlButtonImage(0).toImage();
    const QImage behind = surfaces::ControlButtonImage(1).toImage();
    ASSERT_NE(front, behind);
    for (int page : {4, 0, 1, 2, 3, 4, 2}) {
        key(static_cast<Qt::Key>(Qt::Key_F1 + page), Qt::ShiftModifier);
        ASSERT_EQ(form().ActivePage(), page);
        for (int tab = 0; tab < app::MainPageCount; ++tab) {
            const QImage shown = tabs->tabIcon(tab).pixmap(front.size()).toImage();
            EXPECT_EQ(shown.convertToFormat(front.format()), tab == page ? front : behind)
                << "page " << page << " tab " << tab;
        }
    }
}

} // namespace
