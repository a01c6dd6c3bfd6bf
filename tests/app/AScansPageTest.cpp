// The A-scans page in the real window with the simulated instrument: the selector and its bar,
// the read-outs and mode pictures, the view layout of the screen types, the marker under the
// mouse, the signal-type menu of every page, and the selector's keys.
#include "MainWindowHarness.h"

#include "app/Texts.h"
#include "app/pages/AScansPage.h"
#include "app/pages/BandsPage.h"
#include "app/pages/MapsPage.h"
#include "config/AuxilaryFunctionsUnit.h"
#include "surfaces/SegLcd.h"
#include "surfaces/SurfaceViews.h"

#include <QMenu>
#include <QScrollBar>
#include <QTableWidget>
#include <QWheelEvent>

namespace {

using platform::ui::FileDialogAnswer;

class AScansPageTest : public MainWindowTest {
protected:
    Ui::TAScansPage& page() { return form().AScansPage()->ui; }
    void receive(int page = 1) {
        form().SetActivePage(page);
        key(Qt::Key_F1);
    }
    std::string row(int r) {
        QTableWidget* grid = page().AScanFramwSelectorStringGrid;
        std::string out;
        for (int c = 0; c < 3; ++c) {
            const QTableWidgetItem* item = grid->item(r, c);
            out += (c ? "|" : "") + (item ? item->text().toStdString() : std::string());
        }
        return out;
    }
    std::array<std::string, 3> readouts() {
        return {page().TimeAScanSegLCD->Value(), page().PathAScanSegLCD->Value(),
                page().LevelAScanSegLCD->Value()};
    }
    TBaseConfigCell& config(int n) { return *form().AScans.Records[n]->Config; }
    void press(TSurfaceView* v, int x, Qt::MouseButton b = Qt::LeftButton) {
        QTest::mousePress(v, b, Qt::NoModifier, QPoint(x, 10));
    }
};

TEST_F(AScansPageTest, ReceivedListShowsItsFirstRecord) {
    start();
    receive();
    ASSERT_EQ(form().AScans.Count, 5);
    const char* rows[] = {"1|COPPER ASCAN 1|1", "2|STEEL ASCAN 2|2", "3|ALUMINIUM ASCAN 3|3",
                          "4|COPPER ASCAN 4|4", "5|COPPER ASCAN 5|5"};
    EXPECT_EQ(page().AScanFramwSelectorStringGrid->rowCount(), 5);
    for (int r = 0; r < 5; ++r) {
        EXPECT_EQ(row(r), rows[r]);
    }
    EXPECT_EQ(page().AScanFramwSelectorStringGrid->currentRow(), 0);
    EXPECT_FALSE(page().AScanSelectorScrollBar->isEnabled());
    EXPECT_EQ(readouts(), (std::array<std::string, 3>{"838.4", "1953.5", "118.0"}));
    EXPECT_EQ(form().AScansPage()->ModePictureIndexes(),
              (std::array<int, 6>{6, 18, 12, 20, 3, 14}));
    EXPECT_EQ(page().AScansPageCaptionLabel->text(), "A-scans received from the instrument");
    EXPECT_FALSE(page().AScanBckGrndPanel->isVisible());
    // Measure conditions: names from the language files, values of the shown record.
    QTableWidget* conditions = page().AScanMeasureConditionsStringGrid;
    EXPECT_EQ(conditions->item(0, 0)->text(), "Strobe 1 begin, µs");
    EXPECT_EQ(conditions->item(15, 0)->text(), "Filter");
    EXPECT_EQ(conditions->item(0, 1)->text(), app::toQt(config(0).GetParamDisplayString(72)));
    EXPECT_EQ(conditions->item(10, 1)->text(), app::toQt(config(0).GetParamDisplayString(35)));
}

TEST_F(AScansPageTest, EmptyPage) {
    start();
    form().SetActivePage(1);
    EXPECT_EQ(readouts(), (std::array<std::string, 3>{"----", "---", "--"}));
    EXPECT_EQ(page().AScansPageCaptionLabel->text(), "No A-scans");
    EXPECT_EQ(form().AScansPage()->ModePictureIndexes(),
              (std::array<int, 6>{22, 22, 22, 22, 22, 22}));
    EXPECT_TRUE(page().AScanBckGrndPanel->isVisible());
    EXPECT_EQ(page().AScanMeasureConditionsStringGrid->item(0, 1)->text(), "");
    // Texts and hints of the page.
    const std::pair<QWidget*, const char*> hints[] = {
        {page().LevelAScanSegLCD, "Signal level at the cursor, dB"},
        {page().PathAScanSegLCD, "Distance between the cursors in path"},
        {page().TimeAScanSegLCD, "Distance between the cursors in time"},
        {page().AScanFramwSelectorPanel, "A-scan list"},
        {page().AScanMeasureConditionsPanel, "Measure conditions of the A-scan"},
        {page().TGVStatePanel, "TVG state"},
        {page().AScansScreenModePanel, "Screen mode"}};
    for (const auto& [w, hint] : hints) {
        EXPECT_EQ(w->toolTip(), hint) << w->objectName().toStdString();
    }
    EXPECT_EQ(page().AScanSignalImage->Hint(), "A-scan");
    EXPECT_EQ(page().AScanHeaderControl1->text(), "Measure conditions");
    EXPECT_EQ(page().TimeAScanCaptionLabel->text(), "Time");
    EXPECT_EQ(page().AScanFramwSelectorStringGrid->horizontalHeaderItem(1)->text(),
              "Configuration");
    // Nothing to act on: the mouse and the menu items change nothing.
    press(page().AScanSignalImage, 100);
    form().AScansPage()->SetSignalTypeOfPageInFront(2);
    EXPECT_EQ(form().AScans.Count, 0);
}

TEST_F(AScansPageTest, TheBarScrollsTheSelectorFromTwentySixRecords) {
    struct Case {
        unsigned records;
        bool enabled;
        int maximum;
        int pageStep;
    };
    for (const Case c : {Case{25, false, 1, 1}, Case{26, true, 2, 26}, Case{30, true, 6, 26}}) {
        SCOPED_TRACE(c.records);
        sim.setRecordCounts(c.records, 3, 2);
        start();
        receive();
        ASSERT_EQ(form().AScans.Count, c.records);
        QScrollBar* bar = page().AScanSelectorScrollBar;
        QTableWidget* grid = page().AScanFramwSelectorStringGrid;
        EXPECT_EQ(bar->isEnabled(), c.enabled);
        EXPECT_EQ(bar->minimum(), 1);
        EXPECT_EQ(bar->maximum(), c.maximum);
        EXPECT_EQ(bar->pageStep(), c.pageStep);
        EXPECT_EQ(bar->value(), 1);
        // The last record chosen: the selector shows it on its last row, the bar follows.
        const int last = static_cast<int>(c.records) - 1;
        grid->setCurrentCell(last, 0);
        EXPECT_EQ(form().AScans.Current, last);
        EXPECT_EQ(grid->verticalScrollBar()->value(), c.enabled ? last - 24 : 0);
        EXPECT_EQ(bar->value(), c.enabled ? last - 23 : 1);
        if (c.enabled) {
            // The bar moved by the user scrolls the selector, not the shown record.
            bar->setValue(1);
            EXPECT_EQ(grid->verticalScrollBar()->value(), 0);
            EXPECT_EQ(form().AScans.Current, last);
            // The wheel scrolls the selector and the bar goes with it.
            const QPoint at = grid->viewport()->rect().center();
            QWheelEvent wheel(at, grid->viewport()->mapToGlobal(at), QPoint(), QPoint(0, -120),
                              Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(grid->viewport(), &wheel);
            EXPECT_GT(grid->verticalScrollBar()->value(), 0);
            EXPECT_EQ(bar->value(), grid->verticalScrollBar()->value() + 1);
        }
        program.reset();
    }
}

TEST_F(AScansPageTest, ViewHeightsFollowTheScreenType) {
    start();
    receive();
    config(0).ScreenType = 130;
    form().AScansPage()->ShowAScan(0);
    const std::array<TSurfaceView*, 4> views = {
        page().AScanSignalImage, page().AScanDimensionSurfaceView,
        page().AScanZoomSignalSurfaceView, page().AScanZoomDimensionSurfaceView};
    struct Case {
        int record;
        std::array<int, 4> heights;
    };
    for (const Case c : {Case{0, {206, 36, 206, 36}}, Case{1, {448, 36, 0, 0}}}) {
        form().AScansPage()->ShowAScan(c.record);
        int y = views[0]->y();
        for (std::size_t i = 0; i < views.size(); ++i) {
            EXPECT_EQ(views[i]->height(), c.heights[i]) << c.record << " view " << i;
            EXPECT_EQ(views[i]->y(), y) << c.record << " view " << i;
            y += c.heights[i];
        }
    }
}

TEST_F(AScansPageTest, MarkerFollowsTheMouseWithinTheView) {
    start();
    receive();
    TSurfaceView* view = page().AScanSignalImage;
    const int w = view->width();
    TBaseConfigCell& c = config(0);
    const double n = form().AScans.Records[0]->SampleCount();
    const std::string before = page().TimeAScanSegLCD->Value();

    press(view, 100);
    EXPECT_DOUBLE_EQ(c.AuxTime, 100.0 / w * n);
    EXPECT_NE(page().TimeAScanSegLCD->Value(), before);
    // The same column again does nothing.
    c.AuxTime = 1.0;
    press(view, 100);
    EXPECT_DOUBLE_EQ(c.AuxTime, 1.0);
    // A drag past the right edge stops at the last column, never past the record.
    QTest::mouseMove(view, QPoint(w + 50, 10));
    EXPECT_DOUBLE_EQ(c.AuxTime, (w - 1.0) / w * n);
    EXPECT_LT(c.AuxTime, n);
    QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, QPoint(w + 50, 10));
    // After the release moving does not drag; other buttons and positions left of the view do
    // not act.
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
    EXPECT_DOUBLE_EQ(c.AuxTime, 50.0 / zoom->width() * c.StrobeLengthTime[0] +
                                    c.StrobeBeginTime[0]);
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
    EXPECT_EQ(page().AScanSignalImage->PopupMenu, menu);
    EXPECT_EQ(page().AScanZoomSignalSurfaceView->PopupMenu, menu);
    EXPECT_EQ(form().BandsPage()->ui.BandCurrentAScanSurfaceView->PopupMenu, menu);
    EXPECT_EQ(form().MapsPage()->ui.MapsAScanSurfaceView->PopupMenu, menu);

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
        c.record->Config->SignalType = 0;
        ascans.PopupMenu_AScanTypePopup();
        EXPECT_EQ(detected->text(), "Detected");
        EXPECT_EQ(radio->text(), "Radio");
        EXPECT_TRUE(detected->isChecked());
        radio->trigger();
        EXPECT_EQ(c.record->Config->SignalType, 2);
        EXPECT_EQ(c.record->Config->Modified, 0);
        EXPECT_FALSE(*c.unsaved);
        ascans.PopupMenu_AScanTypePopup();
        EXPECT_TRUE(radio->isChecked());
        detected->trigger();
        EXPECT_EQ(c.record->Config->SignalType, 0);
    }
    // The picture of the A-scans page shows the type it was switched to.
    form().SetActivePage(1);
    radio->trigger();
    EXPECT_EQ(ascans.ModePictureIndexes()[4], 5);
    // Any other page: "Radio" is checked, nothing is changed.
    form().SetActivePage(0);
    ascans.PopupMenu_AScanTypePopup();
    EXPECT_TRUE(radio->isChecked());
}

TEST_F(AScansPageTest, SelectorKeysAndNavigation) {
    start();
    receive();
    QTableWidget* grid = page().AScanFramwSelectorStringGrid;
    grid->setFocus();
    struct Step {
        Qt::Key key;
        int current;
    };
    // Down and Up show the row's record; sideways keys never change it; F6..F9 go to the first,
    // previous, next and last record.
    for (const Step s : {Step{Qt::Key_Down, 1}, Step{Qt::Key_Down, 2}, Step{Qt::Key_Right, 2},
                         Step{Qt::Key_Left, 2}, Step{Qt::Key_Up, 1}, Step{Qt::Key_F9, 4},
                         Step{Qt::Key_F7, 3}, Step{Qt::Key_F6, 0}, Step{Qt::Key_F8, 1}}) {
        key(s.key);
        EXPECT_EQ(form().AScans.Current, s.current) << QTest::toString(s.key);
        EXPECT_EQ(grid->currentRow(), s.current) << QTest::toString(s.key);
    }
    EXPECT_EQ(row(1), "2|STEEL ASCAN 2|2");
    EXPECT_EQ(readouts()[0], FloatToDotStr(1, config(1).GetCursorDistance(false)));
    // Down pressed in the selector and released elsewhere: the row's record is shown all the
    // same, and later clicks are not held back.
    QTest::keyPress(grid, Qt::Key_Down);
    EXPECT_EQ(form().AScans.Current, 1);
    page().AScanMeasureConditionsStringGrid->setFocusPolicy(Qt::StrongFocus);
    page().AScanMeasureConditionsStringGrid->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(form().AScans.Current, 2);
    grid->setFocus();
    // A click after a sideways key is not swallowed.
    key(Qt::Key_Right);
    const QRect r = grid->visualItemRect(grid->item(3, 1));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
    EXPECT_EQ(form().AScans.Current, 3);
    EXPECT_TRUE(action("NextAScanAction")->isEnabled());
    EXPECT_TRUE(action("PrevAScanAction")->isEnabled());
}

TEST_F(AScansPageTest, LoadedFileNamesThePage) {
    start();
    form().SetActivePage(1);
    files.answers.push_back(
        FileDialogAnswer{true, std::filesystem::path(TB_SOURCE_DIR) / "examples/AScans.dtf", 1});
    key(Qt::Key_F3);
    ASSERT_GT(form().AScans.Count, 0);
    EXPECT_EQ(page().AScansPageCaptionLabel->text(), "A-scans from file:  AScans.dtf");
    EXPECT_EQ(files.requests.back().filter, "A-scan files(*.dtf) |*.dtf");
}

} // namespace
