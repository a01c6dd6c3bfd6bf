// The maps page against the simulated instrument's two maps: what a received map shows, the
// mouse on its four views and which pictures change, the gradator, palettes and the keys.
#include "ScanPageHarness.h"

#include "app/pages/MapsPage.h"
#include "surfaces/SegLcd.h"

#include <QComboBox>
#include <QTableWidget>
#include <QToolButton>

#include <unistd.h>

#include <map>

namespace {

class MapsPageTest : public ScanPageTest {
protected:
    void receive() {
        start();
        form().SetActivePage(3);
        key(Qt::Key_F1);
        ASSERT_EQ(form().Maps.Count, 2);
    }
    app::TMapsPage& page() { return *form().MapsPage(); }
    TBaseMapCell& map() { return *form().Maps.current(); }
    TBaseConfigCell& config() { return *map().Config; }
    TSurfaceView* cScan() { return page().ui.MapsCScanSurfaceView; }
    TSurfaceView* dScan() { return page().ui.MapsDScanSurfaceView; }
    TSurfaceView* bScan() { return page().ui.MapsBScanSurfaceView; }
    TSurfaceView* aScan() { return page().ui.MapsAScanSurfaceView; }
    TSurfaceView* gradator() { return page().ui.MapsColorGradatorSurfaceView; }
    std::vector<std::string> readouts() {
        auto& u = page().ui;
        std::vector<std::string> out;
        for (TSegLCD* l :
             {u.MapHorizSegLCD, u.MapHorizStepLCD, u.MapHorizScansLCD, u.MapVerticalSegLCD,
              u.MapVerticalStepLCD, u.MapVerticalScansLCD, u.MapDepthSegLCD, u.MapLevelSegLCD}) {
            out.push_back(l->Value());
        }
        return out;
    }
    // The pictures of the C-, D-, B-scan, the A-scan and the gradator, in that order.
    std::vector<std::vector<std::uint32_t>> pictures() {
        return {picture(cScan()), picture(dScan()), picture(bScan()), picture(aScan()),
                picture(gradator())};
    }
    // Which of those changed: a string of "CDBAG" letters.
    static std::string changed(const std::vector<std::vector<std::uint32_t>>& before,
                               const std::vector<std::vector<std::uint32_t>>& after) {
        std::string out;
        for (std::size_t i = 0; i < before.size(); ++i) {
            if (before[i] != after[i]) {
                out += "CDBAG"[i];
            }
        }
        return out;
    }
};

TEST_F(MapsPageTest, AReceivedMapIsShownWithItsReadouts) {
    receive();
    QComboBox* combo = page().ui.MapsSelectorComboBox;
    ASSERT_EQ(combo->count(), 2);
    EXPECT_EQ(combo->itemText(0), "No.1 Map  STAINLESS MAP 1");
    EXPECT_EQ(combo->itemText(1), "No.2 Map  TITANIUM MAP 2");
    EXPECT_EQ(page().ui.MapsPageCaptionLabel->text(), "Maps received from the instrument");
    EXPECT_EQ(readouts(), (std::vector<std::string>{"0.15", "0.03", "6", "0.17", "0.03", "7",
                                                    "369.7", "124.2"}));
    EXPECT_EQ(map().CellSize, 22);
    EXPECT_EQ(page().ui.ParamsinsteadAScaninMapStringGrid->rowCount(), 10);
    EXPECT_FALSE(status(1).isEmpty());
    EXPECT_TRUE(page().PaletteButton(PaletteBinary)->isChecked());
    for (TSurfaceView* v :
         {cScan(), dScan(), bScan(), aScan(), gradator(), page().ui.MapsCDVerticMarkupSurfaceView,
          page().ui.MapsCBHorizMarkupSurfaceView, page().ui.MapsBAVerticMarkupSurfaceView}) {
        EXPECT_GT(colours(v), 1u) << v->objectName().toStdString();
    }
}

TEST_F(MapsPageTest, APressOnTheCScanMovesTheMapCursor) {
    receive();
    press(cScan(), 22 * 8 + 5, 22 * 3 + 5);
    release(cScan(), 22 * 8 + 5, 22 * 3 + 5);
    EXPECT_EQ(config().MapCursorHorizontal, 8);
    EXPECT_EQ(config().MapCursorVertical, 3);
    EXPECT_EQ(page().ui.MapHorizScansLCD->Value(), "9");
    EXPECT_EQ(page().ui.MapVerticalScansLCD->Value(), "4");
}

TEST_F(MapsPageTest, EachMouseRowChangesThePicturesThatShowIt) {
    struct Row {
        const char* name;
        char view; // C, D or B
        // A press to start from, then one at the second point; -1: the received marker's place.
        int x0, y0, x1, y1;
        Qt::MouseButton button;
        std::string changed;
    };
    const Row rows[] = {
        // The depth marker on the D-scan: the C-scan shows the grid at that depth.
        {"D-scan X", 'D', 5, 50, -1, 50, Qt::LeftButton, "CDBA"},
        // A column on the B-scan: the D-scan shows that column.
        {"B-scan X", 'B', 30, 100, 200, 100, Qt::LeftButton, "CDBA"},
        // The right button works on the B-scan only.
        {"B-scan right", 'B', 30, 2, 30, -1, Qt::RightButton, "CDBA"},
        {"C-scan right", 'C', 10, 10, 100, 100, Qt::RightButton, ""},
        {"D-scan right", 'D', 10, 10, 100, 100, Qt::RightButton, ""},
        // The same point again: nothing.
        {"C-scan same", 'C', 50, 50, 50, 50, Qt::LeftButton, ""},
    };
    for (const Row& r : rows) {
        receive();
        // Where the received marker sits (an echo the C-scan shows) along a view's depth axis.
        const double received = config().CursorTime[0] / config().AScanRange;
        auto markerAt = [received](int extent) { return static_cast<int>(received * extent); };
        TSurfaceView* v = r.view == 'C' ? cScan() : r.view == 'D' ? dScan() : bScan();
        press(v, r.x0, r.y0);
        release(v, r.x0, r.y0);
        const int x1 = r.x1 >= 0 ? r.x1 : markerAt(dScan()->width());
        const int y1 = r.y1 >= 0 ? r.y1 : markerAt(bScan()->height());
        const auto before = pictures();
        press(v, x1, y1, r.button);
        release(v, x1, y1, r.button);
        EXPECT_EQ(changed(before, pictures()), r.changed) << r.name;
        program.reset();
    }
}

TEST_F(MapsPageTest, ADragBeyondAViewKeepsTheCursorInsideTheMap) {
    receive();
    const int rows = config().MapVerticPoints;
    const int columns = config().MapHorizPoints;
    press(cScan(), 30, 30);
    move(cScan(), 5000, 5000);
    EXPECT_EQ(config().MapCursorHorizontal, columns - 1);
    EXPECT_EQ(config().MapCursorVertical, rows - 1);
    move(cScan(), -300, -300);
    EXPECT_EQ(config().MapCursorHorizontal, 0);
    EXPECT_EQ(config().MapCursorVertical, 0);
    release(cScan(), -300, -300);
    press(bScan(), 30, 30);
    move(bScan(), 100, 9000);
    EXPECT_DOUBLE_EQ(config().CursorTime[0], 244 / 245.0 * config().AScanRange);
    release(bScan(), 100, 9000);
    move(bScan(), 10, 10, Qt::NoButton);
    EXPECT_DOUBLE_EQ(config().CursorTime[0], 244 / 245.0 * config().AScanRange);
}

TEST_F(MapsPageTest, GradatorAndPalettes) {
    receive();
    map().HueLow = 0;
    map().HueHigh = 359;
    map().BuildPalette(KeepPalette, KeepBound, KeepBound);
    page().PaletteButton(PaletteThermal)->click();
    EXPECT_EQ(map().PaletteKind, PaletteThermal);
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(page().PaletteButton(k)->isChecked(), k == PaletteThermal) << k;
    }
    const auto before = pictures();
    press(gradator(), 1, 10);
    move(gradator(), 120, 10);
    EXPECT_EQ(changed(before, pictures()), "G") << "only the gradator during the drag";
    EXPECT_NEAR(map().HueLow * (gradator()->width() - 2.0) / 359 + 1, 120, 0.5);
    release(gradator(), 120, 10);
    EXPECT_EQ(changed(before, pictures()), "CDBG");
    const auto thermal = pictures();
    page().PaletteButton(PaletteInverseGrey)->click();
    EXPECT_EQ(changed(thermal, pictures()), "CDBG");
}

TEST_F(MapsPageTest, WithoutMapsNothingAnswers) {
    start();
    form().SetActivePage(3);
    EXPECT_EQ(readouts(), std::vector<std::string>(8, "---"));
    const auto blank = pictures();
    press(cScan(), 10, 10);
    press(bScan(), 10, 10, Qt::RightButton);
    press(gradator(), 1, 10);
    move(gradator(), 100, 10);
    page().PaletteButton(PaletteThermal)->click();
    EXPECT_FALSE(page().PaletteButton(PaletteThermal)->isChecked());
    EXPECT_EQ(changed(blank, pictures()), "");
    EXPECT_EQ(page().ui.MapsPageCaptionLabel->text(), "No maps");
}

TEST_F(MapsPageTest, KeysAndTheParameterList) {
    receive();
    key(Qt::Key_F8);
    EXPECT_EQ(form().Maps.Current, 1);
    EXPECT_EQ(page().ui.MapsSelectorComboBox->currentIndex(), 1);
    key(Qt::Key_F8); // disabled at the last map
    EXPECT_EQ(form().Maps.Current, 1);
    key(Qt::Key_F6);
    EXPECT_EQ(form().Maps.Current, 0);
    key(Qt::Key_F9);
    EXPECT_EQ(form().Maps.Current, 1);
    key(Qt::Key_F4, Qt::ShiftModifier); // this page's own key selects nothing
    EXPECT_EQ(form().ActivePage(), 3);

    QAction* sw = action("SwitchAScanParamsinMapAction");
    sw->trigger();
    EXPECT_TRUE(page().ui.ParamsinsteadAScaninMapPanel->isVisibleTo(&page()));
    EXPECT_FALSE(aScan()->isVisibleTo(&page()));
    EXPECT_FALSE(gradator()->isVisibleTo(&page()));
    EXPECT_TRUE(sw->isChecked());
    sw->trigger();
    EXPECT_TRUE(aScan()->isVisibleTo(&page()));
    EXPECT_FALSE(sw->isChecked());
    key(Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(form().ActivePage(), 2);
}

TEST_F(MapsPageTest, SavedAndLoadedMapsAreShownFromTheFile) {
    receive();
    press(cScan(), 22 * 2 + 3, 22 * 9 + 3);
    page().PaletteButton(PaletteThermal)->click();
    const auto shown = pictures();
    const auto file =
        std::filesystem::temp_directory_path() / ("tb_maps_" + std::to_string(::getpid()) + ".mtf");
    dialogScript.push_back([](QDialog* d) { d->accept(); });
    files.answers.push_back(platform::ui::FileDialogAnswer{true, file, 1});
    key(Qt::Key_F4);
    ASSERT_TRUE(std::filesystem::exists(file));
    files.answers.push_back(platform::ui::FileDialogAnswer{true, file, 1});
    key(Qt::Key_F3);
    std::filesystem::remove(file);
    EXPECT_TRUE(boxes.shown.empty());
    ASSERT_EQ(form().Maps.Count, 2);
    EXPECT_TRUE(page().ui.MapsPageCaptionLabel->text().endsWith(
        QString::fromStdString(file.filename().string())));
    // The cursor and palette came back with the map: the same pictures.
    EXPECT_EQ(config().MapCursorHorizontal, 2);
    EXPECT_EQ(config().MapCursorVertical, 9);
    EXPECT_TRUE(page().PaletteButton(PaletteThermal)->isChecked());
    EXPECT_EQ(changed(shown, pictures()), "");
}

} // namespace
