// What the user meets around the pages' commands: the window's keys whichever control holds the
// focus, the tabs' marks, the hints, the unit labels and the empty measurement pages.
#include "MainWindowHarness.h"

#include "app/Keys.h"
#include "app/pages/BandsPage.h"
#include "app/pages/ConfigurationsPage.h"
#include "app/pages/MapsPage.h"
#include "app/pages/ParamGrid.h"
#include "surfaces/ButtonImages.h"
#include "surfaces/MarkupHint.h"
#include "surfaces/SurfaceViews.h"

#include <QComboBox>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolTip>

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
    // Where a key of the keyboard goes: an open drop-down list holds the keyboard; otherwise
    // the main window.
    void typed(Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        if (QWidget* popup = QApplication::activePopupWidget()) {
            QTest::keyClick(popup->windowHandle(), k, mods);
            QApplication::processEvents();
            return;
        }
        key(k, mods);
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
        // Without a window manager nothing gives the window its activation back after the
        // dialog; the keys typed at it are still its own.
        QApplication::setActiveWindow(nullptr);
        QTest::keyClick(form().windowHandle(), Qt::Key_F8);
        QApplication::processEvents();
        EXPECT_EQ(c.current(), 1) << c.selector;
        // The list opened by the user holds the keyboard; the window's key closes it and runs.
        selector->showPopup();
        QApplication::setActiveWindow(&form());
        ASSERT_NE(QApplication::activePopupWidget(), nullptr) << c.selector;
        typed(Qt::Key_F6);
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr) << c.selector;
        EXPECT_EQ(c.current(), 0) << c.selector;
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

namespace {

// The hints of the tabs and of the drawing surfaces come up in the program's hint window, with
// their markup, like every other hint; moving to another tab while a hint shows brings its hint.
TEST_F(WindowDetailsTest, TabsAndSurfacesShowTheirHintsInTheHintWindow) {
    start();
    TMarkupHint& hint = InstallMarkupHint(*qApp, form());
    QTabBar* tabs = form().findChild<QTabWidget*>("MainPageControl")->tabBar();
    auto surface = [this](const char* name) { return form().findChild<TSurfaceView*>(name); };
    struct Case {
        int page;
        QWidget* control;
        QPoint at;
        std::string text;
    };
    auto tab = [tabs](int i) { return tabs->tabRect(i).center(); };
    std::vector<Case> cases = {
        {0, tabs, tab(0), "<B>Shift + F1</B> Configurations"},
        {0, tabs, tab(1), "<B>Shift + F2</B> A-scans"},
        {0, tabs, tab(3), "<B>Shift + F4</B> Maps"},
        {0, tabs, tab(4), "<B>Shift + F5</B> Instrument memory"},
        {2, tabs, tab(2), "<B>Shift + F3</B> Bands"},
    };
    for (const char* name : {"AScanDimensionSurfaceView", "AScanSignalImage",
                             "AScanZoomSignalSurfaceView", "AScanZoomDimensionSurfaceView"}) {
        cases.push_back({1, surface(name), {5, 5}, "A-scan"});
    }
    const std::pair<const char*, const char*> bandsAndMaps[] = {
        {"BandColorGradatorSurfaceView", "Colour scale"},
        {"BandCurrentAScanSurfaceView", "Current A-scan"},
        {"BandBScanSurfaceView", "B-scan"},
        {"MapsColorGradatorSurfaceView", "Colour scale"},
        {"MapsAScanSurfaceView", "A-scan at the cursor"},
        {"MapsDScanSurfaceView", "D-scan"},
        {"MapsCScanSurfaceView", "C-scan"},
        {"MapsBScanSurfaceView", "B-scan"},
    };
    for (const auto& [name, text] : bandsAndMaps) {
        cases.push_back({name[0] == 'B' ? 2 : 3, surface(name), {5, 5}, text});
    }
    cases.push_back({4,
                     surface("FlashMarkupSurfaceImage"),
                     {5, 5},
                     "Drag the boundary to divide the memory between bands and maps"});
    for (const Case& c : cases) {
        ASSERT_NE(c.control, nullptr) << c.text;
        const std::string where = c.control->objectName().toStdString() + " " + c.text;
        form().SetActivePage(c.page);
        QApplication::processEvents();
        hint.HideHint();
        QHelpEvent over(QEvent::ToolTip, c.at, c.control->mapToGlobal(c.at));
        QApplication::sendEvent(c.control, &over);
        EXPECT_FALSE(QToolTip::isVisible()) << where;
        ASSERT_NE(hint.HintWindow(), nullptr) << where;
        EXPECT_TRUE(hint.HintWindow()->isVisible()) << where;
        EXPECT_EQ(hint.HintWindow()->Text(), c.text) << where;
        EXPECT_EQ(hint.HintInfo().HintControl, c.control) << where;
        QToolTip::hideText();
    }
    // From tab 2 to tab 3 with the hint up: the new tab's hint at once; off the tabs: none.
    form().SetActivePage(0);
    QHelpEvent over(QEvent::ToolTip, tab(2), tabs->mapToGlobal(tab(2)));
    QApplication::sendEvent(tabs, &over);
    ASSERT_EQ(hint.HintWindow()->Text(), "<B>Shift + F3</B> Bands");
    QTest::mouseMove(tabs, tab(3));
    EXPECT_TRUE(hint.HintWindow()->isVisible());
    EXPECT_EQ(hint.HintWindow()->Text(), "<B>Shift + F4</B> Maps");
    const QPoint beyond(tab(3).x(), tabs->height() + 4);
    ASSERT_EQ(tabs->tabAt(beyond), -1);
    QMouseEvent off(QEvent::MouseMove, beyond, tabs->mapToGlobal(beyond), Qt::NoButton,
                    Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(tabs, &off);
    EXPECT_FALSE(hint.HintWindow()->isVisible());
}

} // namespace

namespace {

// The read-outs of a step name their unit; the bands page without bands shows its plain
// background instead of its views, and the maps page without maps is blank throughout its
// views' area.
TEST_F(WindowDetailsTest, EmptyAndFilledPagesLookAsTheyShould) {
    start();
    for (const char* name :
         {"BandStepDImensionLabel", "MapHStepDImensionLabel", "MapVStepDImensionLabel"}) {
        auto* label = form().findChild<QLabel*>(name);
        ASSERT_NE(label, nullptr) << name;
        form().SetActivePage(name[0] == 'B' ? 2 : 3);
        EXPECT_EQ(label->text(), "m") << name;
        EXPECT_TRUE(label->isVisible()) << name;
    }

    app::TBandsPage& bands = *form().BandsPage();
    app::TMapsPage& maps = *form().MapsPage();
    const QRect viewsArea(0, 120, 983, 519);
    auto shot = [this](QWidget& page) {
        QApplication::processEvents();
        return page.grab().toImage().convertToFormat(QImage::Format_RGB32);
    };
    const QRgb pageColour = bands.palette().color(QPalette::Window).rgb();
    const QPoint bandCentre = bands.ui.BandBScanSurfaceView->geometry().center();
    for (bool filled : {false, true}) {
        form().SetActivePage(2);
        if (filled) {
            key(Qt::Key_F1);
            ASSERT_EQ(form().Bands.Count, 3);
        }
        QWidget* atCentre = bands.childAt(bandCentre);
        EXPECT_EQ(atCentre == bands.ui.BandBScanSurfaceView, filled);
        const QImage page = shot(bands);
        int background = 0;
        for (int y = viewsArea.top(); y <= viewsArea.bottom(); ++y) {
            for (int x = viewsArea.left(); x <= viewsArea.right(); ++x) {
                background += page.pixel(x, y) == pageColour;
            }
        }
        if (filled) {
            EXPECT_LT(background, viewsArea.width() * viewsArea.height() / 20) << "bands shown";
        } else {
            EXPECT_EQ(background, viewsArea.width() * viewsArea.height()) << "no bands";
        }

        form().SetActivePage(3);
        if (filled) {
            key(Qt::Key_F1);
            ASSERT_EQ(form().Maps.Count, 2);
        }
        const QImage mapPage = shot(maps);
        int notBlank = 0;
        for (int y = viewsArea.top(); y <= viewsArea.bottom(); ++y) {
            for (int x = viewsArea.left(); x <= viewsArea.right(); ++x) {
                notBlank += mapPage.pixel(x, y) != qRgb(0, 0, 0);
            }
        }
        if (filled) {
            EXPECT_GT(notBlank, viewsArea.width() * viewsArea.height() / 4) << "maps shown";
            // Between the views the page's own colour, as before there were no maps.
            EXPECT_EQ(mapPage.pixel(700, 392), pageColour);
        } else {
            EXPECT_EQ(notBlank, 0) << "no maps";
        }
    }
}

} // namespace
