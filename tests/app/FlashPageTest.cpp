// The instrument memory page against the simulated instrument: dragging the division, writing it,
// reading it back, erasing the records of one kind.
#include "MainWindowHarness.h"

#include "app/pages/FlashMarkupPage.h"
#include "surfaces/SurfaceViews.h"

#include <QLabel>
#include <QMouseEvent>

namespace {

using platform::ui::MessageResult;

class FlashPageTest : public MainWindowTest {
protected:
    void showPage() {
        start();
        form().SetActivePage(4);
    }
    TCorvantaAbsConfigCell instrumentMarkup() {
        std::array<std::uint8_t, 256> block{};
        sim.getMarkup(block.data());
        TCorvantaAbsConfigCell m;
        m.ParseBlock(block);
        return m;
    }
    void press(int x, int y) {
        TSurfaceView* pie = form().FlashPage()->Surface();
        // Straight to the control: a press and a release at the point, no moves between.
        for (auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent e(type, QPointF(x, y), pie->mapToGlobal(QPointF(x, y)), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                          Qt::NoModifier);
            QApplication::sendEvent(pie, &e);
        }
    }
    QString text(const char* label) {
        return form().FlashPage()->findChild<QLabel*>(label)->text();
    }
};

TEST_F(FlashPageTest, ShowsTheInstrumentsDivision) {
    showPage();
    EXPECT_EQ(text("FlashMUpPageCaptionLabel"), "Instrument memory layout");
    EXPECT_EQ(text("AScansAreaLabel"), "Capacity:  60  A-scans\n 255 kB (100%)");
    EXPECT_EQ(text("AScansUsedAreaLabel"), "5 A-scans recorded\n21 kB (8%) occupied");
    EXPECT_EQ(text("BandsUsedAreaLabel"), "3 bands recorded\n146 kB (7%) occupied");
    EXPECT_EQ(text("MapsUsedAreaLabel"), "2 maps recorded\n180 kB (9%) occupied");
    EXPECT_FALSE(action("ApplyNewFlashMarkupAction")->isEnabled());
    EXPECT_FALSE(action("UndoChangesAction")->isEnabled());
    EXPECT_TRUE(action("ClearBandsAction")->isEnabled());
    EXPECT_EQ(status(1), "");
}

TEST_F(FlashPageTest, DragAndWriteANewDivision) {
    showPage();
    press(272, 0);
    EXPECT_EQ(form().FlashMarkup->MapArea.End, 1086686u);
    EXPECT_EQ(form().FlashMarkup->BandArea.Start, 1086686u);
    EXPECT_EQ(form().FlashMarkup->Modified, 1);
    EXPECT_TRUE(action("ApplyNewFlashMarkupAction")->isEnabled());
    EXPECT_FALSE(action("ClearAScansAction")->isEnabled());
    // Along the left edge at the same height nothing is new.
    press(0, 0);
    EXPECT_EQ(form().FlashMarkup->MapArea.End, 1086686u);
    press(0, 272);
    EXPECT_EQ(form().FlashMarkup->MapArea.End, 2164146u);

    boxes.answers = {MessageResult::Yes};
    key(Qt::Key_F1);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].icon, platform::ui::MessageIcon::Warning);
    const TCorvantaAbsConfigCell written = instrumentMarkup();
    EXPECT_EQ(written.MapArea.End, 2164146u);
    EXPECT_EQ(written.BandArea.Start, 2164146u);
    EXPECT_EQ(written.BandArea.Count, 0);
    EXPECT_EQ(written.MapArea.Count, 0);
    EXPECT_EQ(written.AScanArea.Count, 5);
    EXPECT_EQ(form().FlashMarkup->Modified, 0);

    // The bands are gone from the instrument.
    form().SetActivePage(2);
    boxes.shown.clear();
    key(Qt::Key_F1);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "The instrument holds no bands.");
    EXPECT_EQ(boxes.shown[0].title, "No records");
}

TEST_F(FlashPageTest, NoToTheQuestionReadsTheDivisionBack) {
    showPage();
    press(272, 0);
    boxes.answers = {MessageResult::No};
    key(Qt::Key_F1);
    EXPECT_EQ(form().FlashMarkup->MapArea.End, 2295968u);
    EXPECT_EQ(form().FlashMarkup->Modified, 0);
    EXPECT_EQ(instrumentMarkup().MapArea.End, 2295968u);
}

TEST_F(FlashPageTest, ErasingOneKindLeavesTheReceivedListAlone) {
    showPage();
    form().SetActivePage(2);
    key(Qt::Key_F1);
    ASSERT_EQ(form().Bands.Count, 3);
    form().SetActivePage(4);
    boxes.answers = {MessageResult::Yes};
    key(Qt::Key_F3);
    EXPECT_EQ(instrumentMarkup().BandArea.Count, 0);
    EXPECT_EQ(instrumentMarkup().MapArea.Count, 2);
    EXPECT_EQ(form().Bands.Count, 3);
}

TEST_F(FlashPageTest, AFailedWriteIsReportedAndTheInstrumentsDivisionShown) {
    showPage();
    press(272, 0);
    sim.failCall(TBSIM_SEND_SERVICE_BUFFER, 1, 8);
    boxes.answers = {MessageResult::Yes};
    key(Qt::Key_F1);
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[1].title, "Transfer error");
    EXPECT_EQ(boxes.shown[1].icon, platform::ui::MessageIcon::Error);
    EXPECT_EQ(form().FlashMarkup->MapArea.End, 2295968u);
    EXPECT_EQ(form().FlashMarkup->Modified, 0);
}

TEST_F(FlashPageTest, UnconnectedPressesDoNothing) {
    showPage();
    DisconnectUSBDevice();
    form().UpdateFlashMarkupPage();
    EXPECT_EQ(text("FlashMUpPageCaptionLabel"), "Not connected");
    const std::uint32_t before = form().FlashMarkup->MapArea.End;
    press(272, 0);
    EXPECT_EQ(form().FlashMarkup->MapArea.End, before);
    EXPECT_EQ(form().FlashMarkup->Modified, 0);
}

} // namespace
