// The A-scans page in the real window with the simulated instrument: what it shows of its list,
// the selector's bar and keys, the views per screen type, the marker under the mouse and the
// signal-type menu of every page.
#include "MainWindowHarness.h"

#include "app/Texts.h"
#include "app/pages/AScansPage.h"
#include "app/pages/BandsPage.h"
#include "app/pages/MapsPage.h"
#include "config/AuxilaryFunctionsUnit.h"
#include "surfaces/SegLcd.h"
#include "surfaces/SurfaceViews.h"

#include <QClipboard>
#include <QMenu>
#include <QScrollBar>
#include <QTableWidget>
#include <QWheelEvent>

namespace {

using Strings = std::vector<std::string>;

class AScansPageTest : public MainWindowTest {
protected:
    Ui::TAScansPage& page() { return form().AScansPage()->ui; }
    void receive(int page = 1) {
        form().SetActivePage(page);
        key(Qt::Key_F1);
    }
    // The selector's rows and the read-outs as the user reads them.
    Strings rows() {
        QTableWidget* grid = page().AScanFramwSelectorStringGrid;
        Strings out;
        for (int r = 0; r < grid->rowCount() && grid->item(r, 0); ++r) {
            out.push_back((grid->item(r, 0)->text() + "|" + grid->item(r, 1)->text() + "|" +
                           grid->item(r, 2)->text())
                              .toStdString());
        }
        return out;
    }
    Strings readouts() {
        return {page().TimeAScanSegLCD->Value(), page().PathAScanSegLCD->Value(),
                page().LevelAScanSegLCD->Value()};
    }
    TBaseConfigCell& config(int n) { return *form().AScans.Records[n]->Config; }
};

TEST_F(AScansPageTest, ShowsWhatTheListHolds) {
    start();
    form().SetActivePage(1);
    app::TAScansPage& p = *form().AScansPage();
    EXPECT_EQ(readouts(), (Strings{"----", "---", "--"}));
    EXPECT_EQ(page().AScansPageCaptionLabel->text(), "No A-scans");
    EXPECT_EQ(p.ModePictureIndexes(), (std::array<int, 6>{22, 22, 22, 22, 22, 22}));
    EXPECT_TRUE(page().AScanBckGrndPanel->isVisible());
    const std::pair<QWidget*, const char*> hints[] = {
        {page().LevelAScanSegLCD, "Signal level at the cursor, dB"},
        {page().TimeAScanSegLCD, "Distance between the cursors in time"},
        {page().AScanFramwSelectorPanel, "A-scan list"},
        {page().TGVStatePanel, "TVG state"}};
    for (const auto& [w, hint] : hints) {
        EXPECT_EQ(w->toolTip(), hint) << w->objectName().toStdString();
    }

    key(Qt::Key_F1);
    EXPECT_EQ(rows(), (Strings{"1|COPPER ASCAN 1|1", "2|STEEL ASCAN 2|2", "3|ALUMINIUM ASCAN 3|3",
                               "4|COPPER ASCAN 4|4", "5|COPPER ASCAN 5|5"}));
    EXPECT_EQ(page().AScanFramwSelectorStringGrid->currentRow(), 0);
    EXPECT_EQ(readouts(), (Strings{"838.4", "1953.5", "118.0"}));
    EXPECT_EQ(p.ModePictureIndexes(), (std::array<int, 6>{6, 18, 12, 20, 3, 14}));
    EXPECT_EQ(page().AScansPageCaptionLabel->text(), "A-scans received from the instrument");
    EXPECT_FALSE(page().AScanBckGrndPanel->isVisible());
    QTableWidget* conditions = page().AScanMeasureConditionsStringGrid;
    EXPECT_EQ(conditions->item(0, 0)->text(), "Strobe 1 begin, µs");
    EXPECT_EQ(conditions->item(15, 0)->text(), "Filter");
    EXPECT_EQ(conditions->item(10, 1)->text(), app::toQt(config(0).GetParamDisplayString(35)));

    files.answers.push_back(
        {true, std::filesystem::path(TB_SOURCE_DIR) / "examples/AScans.dtf", 1});
    form().AScans.Unsaved = false;
    key(Qt::Key_F3);
    EXPECT_EQ(page().AScansPageCaptionLabel->text(), "A-scans from file:  AScans.dtf");
}

TEST_F(AScansPageTest, TheBarScrollsTheSelectorFromTwentySixRecords) {
    struct Case {
        unsigned records;
        int maximum;
        int pageStep;
    };
    for (const Case c : {Case{25, 1, 1}, Case{26, 2, 26}, Case{30, 6, 26}}) {
        SCOPED_TRACE(c.records);
        sim.setRecordCounts(c.records, 3, 2);
        start();
        receive();
        QScrollBar* bar = page().AScanSelectorScrollBar;
        QScrollBar* gridBar = page().AScanFramwSelectorStringGrid->verticalScrollBar();
        const bool active = c.records >= 26;
        EXPECT_EQ(bar->isEnabled(), active);
        EXPECT_EQ(std::make_tuple(bar->minimum(), bar->maximum(), bar->pageStep(), bar->value()),
                  std::make_tuple(1, c.maximum, c.pageStep, 1));
        // The last record chosen: the selector shows it on its last row and the bar follows.
        const int last = static_cast<int>(c.records) - 1;
        page().AScanFramwSelectorStringGrid->setCurrentCell(last, 0);
        EXPECT_EQ(form().AScans.Current, last);
        EXPECT_EQ(bar->value(), active ? last - 23 : 1);
        if (active) {
            // The user's bar scrolls the selector, not the record; the wheel moves both.
            bar->setValue(1);
            EXPECT_EQ(gridBar->value(), 0);
            EXPECT_EQ(form().AScans.Current, last);
            QWidget* viewport = page().AScanFramwSelectorStringGrid->viewport();
            QWheelEvent wheel(QPointF(20, 20), viewport->mapToGlobal(QPointF(20, 20)), {},
                              {0, -120}, Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(viewport, &wheel);
            EXPECT_GT(gridBar->value(), 0);
            EXPECT_EQ(bar->value(), gridBar->value() + 1);
        }
        program.reset();
    }
}

TEST_F(AScansPageTest, ViewsAndTheirCopyFollowTheScreenType) {
    start();
    receive();
    config(0).ScreenType = 130;
    const std::array<TSurfaceView*, 4> views = {
        page().AScanSignalImage, page().AScanDimensionSurfaceView,
        page().AScanZoomSignalSurfaceView, page().AScanZoomDimensionSurfaceView};
    struct Case {
        Qt::Key key; // F8 the second record, F6 back to the first (split screen)
        std::array<int, 4> heights;
    };
    for (const Case c : {Case{Qt::Key_F8, {448, 36, 0, 0}}, Case{Qt::Key_F6, {206, 36, 206, 36}}}) {
        key(c.key);
        int y = views[0]->y();
        for (std::size_t i = 0; i < views.size(); ++i) {
            EXPECT_EQ(views[i]->height(), c.heights[i]) << i;
            EXPECT_EQ(views[i]->y(), y) << i;
            y += c.heights[i];
        }
        key(Qt::Key_F5);
        EXPECT_EQ(QGuiApplication::clipboard()->image().size(), QSize(views[0]->width(), 484));
    }
}

TEST_F(AScansPageTest, MarkerFollowsTheMouseWithinTheView) {
    start();
    receive();
    TSurfaceView* view = page().AScanSignalImage;
    const int w = view->width();
    TBaseConfigCell& c = config(0);
    const double n = form().AScans.Records[0]->SampleCount();
    auto press = [](TSurfaceView* v, int x, Qt::MouseButton b = Qt::LeftButton) {
        QTest::mousePress(v, b, Qt::NoModifier, QPoint(x, 10));
    };
    const std::string before = page().TimeAScanSegLCD->Value();
    press(view, 100);
    EXPECT_DOUBLE_EQ(c.AuxTime, 100.0 / w * n);
    EXPECT_NE(page().TimeAScanSegLCD->Value(), before);
    // The same column again does nothing.
    c.AuxTime = 1.0;
    press(view, 100);
    EXPECT_DOUBLE_EQ(c.AuxTime, 1.0);
    // A drag past the right edge stops at the last column, inside the record.
    QTest::mouseMove(view, QPoint(w + 50, 10));
    EXPECT_DOUBLE_EQ(c.AuxTime, (w - 1.0) / w * n);
    QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, QPoint(w + 50, 10));
    // No drag after the release; the right button and positions left of the view do nothing.
    c.AuxTime = 1.0;
    QTest::mouseMove(view, QPoint(30, 10));
    press(view, 30, Qt::RightButton);
    press(view, -5);
    EXPECT_DOUBLE_EQ(c.AuxTime, 1.0);
    // The zoom view of the split screen places the marker inside strobe 1.
    c.ScreenType = 130;
    form().AScansPage()->ShowAScan(0);
    TSurfaceView* zoom = page().AScanZoomSignalSurfaceView;
    press(zoom, 50);
    EXPECT_DOUBLE_EQ(c.AuxTime,
                     50.0 / zoom->width() * c.StrobeLengthTime[0] + c.StrobeBeginTime[0]);
}

TEST_F(AScansPageTest, SignalTypeMenuActsOnThePageInFront) {
    start();
    for (int p = 1; p <= 3; ++p) {
        receive(p);
    }
    app::TAScansPage& ascans = *form().AScansPage();
    QMenu* menu = ascans.SignalTypeMenu();
    QAction* detected = menu->findChild<QAction*>("Detected");
    QAction* radio = menu->findChild<QAction*>("Radio");
    ASSERT_TRUE(detected && radio);
    for (TSurfaceView* v : {page().AScanSignalImage, page().AScanZoomSignalSurfaceView,
                            form().BandsPage()->ui.BandCurrentAScanSurfaceView,
                            form().MapsPage()->ui.MapsAScanSurfaceView}) {
        EXPECT_EQ(v->PopupMenu, menu) << v->objectName().toStdString();
    }
    struct Case {
        int page;
        TBaseAScanCell* record;
        bool* unsaved;
    };
    const Case cases[] = {{1, form().AScans.current(), &form().AScans.Unsaved},
                          {2, form().Bands.current(), &form().Bands.Unsaved},
                          {3, form().Maps.current(), &form().Maps.Unsaved}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.page);
        form().SetActivePage(c.page);
        *c.unsaved = false;
        ascans.PopupMenu_AScanTypePopup();
        EXPECT_EQ(detected->text(), "Detected");
        EXPECT_TRUE(detected->isChecked());
        radio->trigger();
        EXPECT_EQ(c.record->Config->SignalType, 2);
        EXPECT_EQ(c.record->Config->Modified, 0);
        EXPECT_FALSE(*c.unsaved);
        ascans.PopupMenu_AScanTypePopup();
        EXPECT_TRUE(radio->isChecked());
    }
    // The A-scans page's picture shows the type the trace now has.
    EXPECT_EQ(ascans.ModePictureIndexes()[4], 5);
    // Any other page: "Radio" is checked.
    form().SetActivePage(0);
    detected->setChecked(true);
    ascans.PopupMenu_AScanTypePopup();
    EXPECT_TRUE(radio->isChecked());
}

TEST_F(AScansPageTest, SelectorKeysAndNavigation) {
    start();
    receive();
    QTableWidget* grid = page().AScanFramwSelectorStringGrid;
    grid->setFocus();
    // Down and Up show the row's record; sideways keys never change it; F6..F9 go to the first,
    // previous, next and last record.
    const std::pair<Qt::Key, int> steps[] = {
        {Qt::Key_Down, 1}, {Qt::Key_Down, 2}, {Qt::Key_Right, 2}, {Qt::Key_Left, 2},
        {Qt::Key_Up, 1},   {Qt::Key_F9, 4},   {Qt::Key_F7, 3},    {Qt::Key_F6, 0},
        {Qt::Key_F8, 1}};
    for (const auto& [k, current] : steps) {
        key(k);
        EXPECT_EQ(form().AScans.Current, current) << QTest::toString(k);
        EXPECT_EQ(grid->currentRow(), current) << QTest::toString(k);
    }
    EXPECT_EQ(readouts()[1], FloatToDotStr(1, config(1).GetCursorDistance(true)));
    // Down released elsewhere: the row's record is shown when the selector loses the focus.
    QTest::keyPress(grid, Qt::Key_Down);
    EXPECT_EQ(form().AScans.Current, 1);
    page().AScanMeasureConditionsStringGrid->setFocusPolicy(Qt::StrongFocus);
    page().AScanMeasureConditionsStringGrid->setFocus();
    EXPECT_EQ(form().AScans.Current, 2);
    // A click after a sideways key is not swallowed.
    grid->setFocus();
    key(Qt::Key_Right);
    const QRect r = grid->visualItemRect(grid->item(3, 1));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
    EXPECT_EQ(form().AScans.Current, 3);
    EXPECT_TRUE(action("NextAScanAction")->isEnabled());
}

} // namespace
