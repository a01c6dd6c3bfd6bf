// The bands page against the simulated instrument's three bands: what a received band shows,
// the mouse on the band picture, the A-scan and the gradator, palettes, line width and the shift
// bar, the keys, and the line width kept through a file.
#include "ScanPageHarness.h"

#include "app/pages/BandsPage.h"
#include "surfaces/SegLcd.h"

#include <QComboBox>
#include <QScrollBar>
#include <QTableWidget>
#include <QToolButton>

#include <unistd.h>

namespace {

using platform::ui::FileDialogAnswer;
using platform::ui::MessageResult;

class BandsPageTest : public ScanPageTest {
protected:
    void receive() {
        start();
        form().SetActivePage(2);
        key(Qt::Key_F1);
        ASSERT_EQ(form().Bands.Count, 3);
    }
    app::TBandsPage& page() { return *form().BandsPage(); }
    TBaseBandCell& band() { return *form().Bands.current(); }
    TBaseConfigCell& config() { return *band().Config; }
    TSurfaceView* image() { return page().ui.BandBScanSurfaceView; }
    TSurfaceView* aScan() { return page().ui.BandCurrentAScanSurfaceView; }
    TSurfaceView* gradator() { return page().ui.BandColorGradatorSurfaceView; }
    QScrollBar* bar() { return page().ui.BandShiftTrackBar; }
    std::vector<std::string> readouts() {
        auto& u = page().ui;
        std::vector<std::string> out;
        for (TSegLCD* l :
             {u.BScanDalnostSegLCD, u.BandOveralLengthSegLCD, u.BandOveralLengthStepLCD,
              u.BandOveralLengthScansLCD, u.BScanDepthSegLCD, u.BScanSignalLevelSegLCD}) {
            out.push_back(l->Value());
        }
        return out;
    }
};

TEST_F(BandsPageTest, AReceivedBandIsShownWithItsReadouts) {
    receive();
    QComboBox* combo = page().ui.BandsSelectorComboBox;
    ASSERT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->itemText(0), "No.1 Band  TITANIUM BAND 1");
    EXPECT_EQ(combo->itemText(1), "No.2 Band  STAINLESS BAND 2");
    EXPECT_EQ(combo->itemText(2), "No.3 Band  STEEL BAND 3");
    EXPECT_EQ(combo->currentIndex(), 0);
    EXPECT_EQ(page().ui.BandsPageCaptionLabel->text(), "Bands received from the instrument");
    EXPECT_EQ(readouts(), (std::vector<std::string>{"3.0", "0.05", "0.05", "1", "306.2", "124.2"}));
    EXPECT_EQ(status(1).toStdString(), "Band A-scans: 60      Band step: 50");
    QTableWidget* grid = page().ui.ParamsinsteadAScaninBandStringGrid;
    ASSERT_EQ(grid->rowCount(), 11);
    for (int r = 0; r < 11; ++r) {
        EXPECT_FALSE(grid->item(r, 0)->text().isEmpty()) << r;
        EXPECT_FALSE(grid->item(r, 1)->text().isEmpty()) << r;
    }
    EXPECT_TRUE(page().PaletteButton(PaletteBinary)->isChecked());
    for (QToolButton* b : {page().LineWidthButton(), page().PaletteButton(PaletteThermal)}) {
        EXPECT_TRUE(b->isVisible());
        EXPECT_EQ(b->parentWidget(), page().ui.BandsToolBar);
    }
    // The selector's menu offers the shown band's own commands.
    EXPECT_EQ(combo->actions(), (QList<QAction*>{action("SaveSelectedBandAction"),
                                                 action("EraseSelectedBandAction")}));
    EXPECT_EQ(
        page().ui.BandsToolBar->findChild<QToolButton*>("CGTBrennThermoToolButton")->toolTip(),
        "Thermal palette");
    // The picture, its rulers, the upright A-scan and the gradator are drawn, not blank.
    for (TSurfaceView* v : {image(), aScan(), gradator(), page().ui.BandUpperMarkupSurfaceView,
                            page().ui.BandInDepthMarkupSurfaceView}) {
        EXPECT_GT(colours(v), 1u) << v->objectName().toStdString();
    }
}

TEST_F(BandsPageTest, TheMouseOnTheBandPictureAndTheAScanMovesTheCursors) {
    receive();
    const double samples = config().AScanRange;
    struct Step {
        Qt::MouseButton button;
        int x, y;
        int scan;      // BAND_CURRENT_ASCAN after the press
        double marker; // cursor 1's time after it
        const char* scans;
    };
    const Step steps[] = {
        {Qt::LeftButton, 100, 200, 50, 200 / 440.0 * samples, "51"},
        {Qt::LeftButton, 100, 200, 50, 200 / 440.0 * samples, "51"}, // the same point: nothing
        {Qt::LeftButton, 100, 250, 50, 250 / 440.0 * samples, "51"}, // marker only
        {Qt::LeftButton, 110, 250, 55, 250 / 440.0 * samples, "56"}, // column only
        {Qt::LeftButton, 300, 250, 59, 250 / 440.0 * samples, "60"}, // past the last A-scan
        {Qt::RightButton, 20, 20, 59, 250 / 440.0 * samples, "60"},  // not the left button
    };
    for (const Step& s : steps) {
        press(image(), s.x, s.y, s.button);
        release(image(), s.x, s.y, s.button);
        EXPECT_EQ(config().BandCurrentAScan, s.scan) << s.x << "," << s.y;
        EXPECT_DOUBLE_EQ(config().CursorTime[0], s.marker) << s.x << "," << s.y;
        EXPECT_EQ(page().ui.BandOveralLengthScansLCD->Value(), s.scans);
    }
    press(image(), 100, 200);
    EXPECT_EQ(page().ui.BandOveralLengthSegLCD->Value(), "2.55");
    // A drag beyond the view keeps both cursors inside it.
    move(image(), -40, 900);
    EXPECT_EQ(config().BandCurrentAScan, 0);
    EXPECT_DOUBLE_EQ(config().CursorTime[0], 439 / 440.0 * samples);
    release(image(), -40, 900);
    const auto after = picture(image());
    move(image(), 50, 50, Qt::NoButton);
    EXPECT_EQ(config().BandCurrentAScan, 0) << "no drag after the release";
    EXPECT_EQ(picture(image()), after);

    // The upright A-scan moves the marker only.
    const auto before = picture(image());
    press(aScan(), 30, 110);
    EXPECT_DOUBLE_EQ(config().CursorTime[0], 110 / 440.0 * config().AScanRange);
    EXPECT_NE(picture(image()), before) << "the marker line moved on the band picture";
    move(aScan(), 200, 2000);
    EXPECT_DOUBLE_EQ(config().CursorTime[0], 439 / 440.0 * config().AScanRange);
    release(aScan(), 200, 2000);
    EXPECT_EQ(config().BandCurrentAScan, 0);

    // A signal-type change redraws the A-scan alone.
    const auto band0 = picture(image());
    const auto aScan0 = picture(aScan());
    config().SignalType = 2;
    page().SignalTypeChanged();
    EXPECT_NE(picture(aScan()), aScan0);
    EXPECT_EQ(picture(image()), band0);
}

TEST_F(BandsPageTest, LineWidthAndShiftRange) {
    receive();
    key(Qt::Key_F9);
    ASSERT_EQ(config().BandLastAScan, 99);
    struct Width {
        int index;
        bool enabled;
        int maximum, page;
    };
    // 100 A-scans in 592 pixels: 296, 148 fit; 74 and 37 need a bar.
    const Width widths[] = {
        {1, false, 1, 1}, {2, true, 27, 74}, {3, true, 64, 37}, {0, false, 1, 1}};
    for (const Width& w : widths) {
        page().LineWidthButton()->click();
        EXPECT_EQ(config().BandElementWidthIndex, w.index);
        EXPECT_EQ(bar()->isEnabled(), w.enabled) << w.index;
        EXPECT_EQ(bar()->minimum(), 1);
        EXPECT_EQ(bar()->maximum(), w.maximum) << w.index;
        EXPECT_EQ(bar()->pageStep(), w.page) << w.index;
        EXPECT_EQ(config().BandShift, 0);
    }
    // 592 pixels at 2 per A-scan: 296 fit; one more gives one position to shift.
    for (const auto& [last, wider] : {std::pair{295, false}, {296, true}}) {
        band().SetScanCount(static_cast<std::uint16_t>(last + 1));
        config().BandShift = 7;
        page().UpdateBandShiftBar(form().Bands.Current);
        EXPECT_EQ(bar()->isEnabled(), wider) << last;
        EXPECT_EQ(bar()->maximum(), wider ? 2 : 1) << last;
        EXPECT_EQ(config().BandShift, wider ? 1 : 0) << "clamped to the largest shift";
    }
    // The bar shifts the picture.
    band().SetScanCount(100);
    page().LineWidthButton()->click();
    page().LineWidthButton()->click();
    ASSERT_EQ(bar()->maximum(), 27);
    const auto before = picture(image());
    bar()->setValue(10);
    EXPECT_EQ(config().BandShift, 9);
    EXPECT_NE(picture(image()), before);
    // The page setting the bar itself writes nothing back.
    config().BandShift = 3;
    page().UpdateBandShiftBar(form().Bands.Current);
    EXPECT_EQ(config().BandShift, 3);
    EXPECT_EQ(bar()->value(), 4);
}

TEST_F(BandsPageTest, PaletteButtons) {
    receive();
    QToolButton* thermo = page().PaletteButton(PaletteThermal);
    const auto binary = picture(image());
    thermo->click();
    EXPECT_EQ(band().PaletteKind, PaletteThermal);
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(page().PaletteButton(k)->isChecked(), k == PaletteThermal) << k;
    }
    const auto thermal = picture(image());
    EXPECT_NE(thermal, binary);
    thermo->click();
    EXPECT_TRUE(thermo->isChecked()) << "the palette in use stays pressed";
    EXPECT_EQ(band().PaletteKind, PaletteThermal);
    EXPECT_EQ(picture(image()), thermal);
}

TEST_F(BandsPageTest, TheGradatorHandleFollowsTheMouse) {
    receive();
    page().PaletteButton(PaletteThermal)->click();
    band().HueLow = 0;
    band().HueHigh = 359;
    band().BuildPalette(KeepPalette, KeepBound, KeepBound);
    page().DrawBand(0, app::BandImageView | app::BandGradatorView);
    const int w = gradator()->width();
    const int low = static_cast<int>(band().HueLow * (w - 2.0) / 359 + 1);
    move(gradator(), low, 10, Qt::NoButton);
    EXPECT_EQ(gradator()->cursor().shape(), Qt::SplitHCursor);
    move(gradator(), low + 40, 10, Qt::NoButton);
    EXPECT_EQ(gradator()->cursor().shape(), Qt::ArrowCursor);

    const auto picture0 = picture(image());
    const auto strip0 = picture(gradator());
    press(gradator(), low, 10);
    for (int x : {low + 30, 200, 300, 150}) {
        move(gradator(), x, 10);
        // The handle is drawn where the mouse is, within the hue's rounding.
        EXPECT_NEAR(band().HueLow * (w - 2.0) / 359 + 1, x, 0.5) << x;
    }
    EXPECT_NE(picture(gradator()), strip0);
    EXPECT_EQ(picture(image()), picture0) << "only the gradator is drawn during the drag";
    release(gradator(), 150, 10);
    EXPECT_NE(picture(image()), picture0);
    // The handles never come closer than 20 hues.
    press(gradator(), 150, 10);
    move(gradator(), w - 1, 10);
    release(gradator(), w - 1, 10);
    EXPECT_GT(band().HueHigh - band().HueLow, 20);
}

TEST_F(BandsPageTest, ParametersInsteadOfTheAScan) {
    receive();
    QAction* sw = action("SwitchAScanParamsinBandAction");
    for (bool shown : {true, false}) {
        sw->trigger();
        EXPECT_EQ(page().ShowingParams(), shown);
        EXPECT_EQ(page().ui.ParamsinsteadAScaninBandPanel->isVisibleTo(&page()), shown);
        EXPECT_EQ(aScan()->isVisibleTo(&page()), !shown);
        EXPECT_EQ(gradator()->isVisibleTo(&page()), !shown);
        EXPECT_EQ(page().ui.BandColorGradator2SurfaceView->isVisibleTo(&page()), !shown);
        EXPECT_EQ(sw->isChecked(), shown);
    }
}

TEST_F(BandsPageTest, WithoutBandsNothingAnswers) {
    start();
    form().SetActivePage(2);
    ASSERT_TRUE(form().Bands.empty());
    EXPECT_EQ(readouts(), (std::vector<std::string>{"---", "----", "---", "---", "---", "---"}));
    page().PaletteButton(PaletteThermal)->click();
    EXPECT_FALSE(page().PaletteButton(PaletteThermal)->isChecked());
    const auto blank = picture(image());
    press(image(), 100, 100);
    press(aScan(), 10, 10);
    press(gradator(), 10, 10);
    page().LineWidthButton()->click();
    EXPECT_EQ(picture(image()), blank);
    EXPECT_FALSE(bar()->isEnabled());
    EXPECT_FALSE(page().LineWidthButton()->isEnabled());
    EXPECT_FALSE(page().PaletteButton(PaletteBinary)->isEnabled());
    EXPECT_EQ(page().ui.BandsPageCaptionLabel->text(), "No bands");
}

TEST_F(BandsPageTest, NavigationKeysRunEnabledActionsOnly) {
    receive();
    struct Key {
        Qt::Key key;
        int current;
    };
    // F7 at the first band is disabled and does nothing.
    const Key keys[] = {{Qt::Key_F7, 0}, {Qt::Key_F8, 1}, {Qt::Key_F9, 2},
                        {Qt::Key_F8, 2}, {Qt::Key_F7, 1}, {Qt::Key_F6, 0}};
    for (const Key& k : keys) {
        key(k.key);
        EXPECT_EQ(form().Bands.Current, k.current);
        EXPECT_EQ(page().ui.BandsSelectorComboBox->currentIndex(), k.current);
    }
    EXPECT_FALSE(action("ShowPrevBandAction")->isEnabled());
    // The selector shows the band chosen, with its status.
    page().ui.BandsSelectorComboBox->setCurrentIndex(2);
    emit page().ui.BandsSelectorComboBox->activated(2);
    EXPECT_EQ(form().Bands.Current, 2);
    EXPECT_EQ(status(1).toStdString(), "Band A-scans: 100      Band step: 25");
    EXPECT_TRUE(action("ShowPrevBandAction")->isEnabled());
    EXPECT_FALSE(action("ShowNextBandAction")->isEnabled());
    // Ctrl only reaches a shown report dialog: no navigation.
    key(Qt::Key_F6, Qt::ControlModifier);
    EXPECT_EQ(form().Bands.Current, 2);
    key(Qt::Key_F4, Qt::ShiftModifier);
    EXPECT_EQ(form().ActivePage(), 3);
    key(Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(form().ActivePage(), 2);
}

TEST_F(BandsPageTest, SixteenPixelsPerAScanSurviveSavingAndLoading) {
    receive();
    for (int i = 0; i < 3; ++i) {
        page().LineWidthButton()->click();
    }
    ASSERT_EQ(config().BandElementWidthIndex, 3);
    const auto file = std::filesystem::temp_directory_path() /
                      ("tb_bands_" + std::to_string(::getpid()) + ".btf");
    dialogScript.push_back([](QDialog* d) { d->accept(); });
    files.answers.push_back(FileDialogAnswer{true, file, 1});
    key(Qt::Key_F4);
    ASSERT_TRUE(std::filesystem::exists(file));
    ASSERT_FALSE(form().Bands.Unsaved);
    files.answers.push_back(FileDialogAnswer{true, file, 1});
    key(Qt::Key_F3);
    std::filesystem::remove(file);
    EXPECT_TRUE(boxes.shown.empty());
    ASSERT_EQ(form().Bands.Count, 3);
    EXPECT_EQ(form().Bands.Origin, app::OriginKind::File);
    EXPECT_EQ(form().Bands.Records[0]->Config->BandElementWidthIndex, 3);
    EXPECT_EQ(page().ui.BandsSelectorComboBox->count(), 3);
}

} // namespace
