#include "surfaces/SegLcd.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

using namespace platform::gfx;

namespace {

using Corners = std::array<TPoint, 6>;

// Time that passes only when the read-out idles, by a fixed step.
class FakeClock : public TLCDClock {
public:
    explicit FakeClock(std::uint64_t step) : step_(step) {}
    std::uint64_t Ticks() override { return now; }
    void Idle() override {
        now += step_;
        ++idles;
        if (onIdle) {
            onIdle();
        }
    }
    std::uint64_t now = 1000;
    int idles = 0;
    std::function<void()> onIdle;

private:
    std::uint64_t step_;
};

// The main window's read-out layout.
void mainWindowLayout(TSegLCD& lcd) {
    lcd.resize(95, 24);
    lcd.SetDigitNum(4);
    lcd.SetDotDisplay(false);
    lcd.SetSegmentSize(2);
    lcd.SetDigitSpacing(5);
    lcd.SetGapX(1);
    lcd.SetGapY(1);
    lcd.SetDotSpacing(0);
    lcd.SetOnColor(clRed);
    lcd.SetOffColor(0x1F1F1F);
    lcd.SetColor(clBlack);
}

} // namespace

TEST(SegLcdGeometry, TheMainWindowLayoutGivesTheWorkedExample) {
    const TSegLCDGeometry g = ComputeSegLCDGeometry(95, 24, 4, 2, 5, false, 0, 1, 1);
    EXPECT_EQ(g.s, 6);
    EXPECT_EQ(g.w, 16);
    EXPECT_EQ(g.h, 23);
    EXPECT_EQ(g.Lh, 14);
    EXPECT_EQ(g.Lv, 9);
    EXPECT_EQ(g.CellX(0), 6);
    EXPECT_EQ(g.CellX(1), 28);
    EXPECT_EQ(g.CellX(2), 50);
    EXPECT_EQ(g.CellX(3), 72);
    EXPECT_EQ(SegmentPolygon(g, 6, 1),
              (Corners{{{7, 0}, {8, 0}, {20, 0}, {21, 0}, {19, 2}, {9, 2}}}));
    EXPECT_EQ(SegmentPolygon(g, 6, 4),
              (Corners{{{7, 11}, {9, 10}, {19, 10}, {21, 11}, {19, 12}, {9, 12}}}));
    EXPECT_EQ(SegmentPolygon(g, 6, 2),
              (Corners{{{6, 1}, {6, 2}, {6, 9}, {6, 10}, {8, 8}, {8, 3}}}));
    EXPECT_EQ(SegmentPolygon(g, 6, 6),
              (Corners{{{22, 12}, {22, 13}, {22, 20}, {22, 21}, {20, 19}, {20, 14}}}));
    const auto [upper, lower] = ColonBoxes(g, 6);
    EXPECT_EQ(upper, (TRect{12, 5, 16, 8}));
    EXPECT_EQ(lower, (TRect{12, 14, 16, 17}));
    EXPECT_EQ(DotBox(g, 28), (TRect{24, 21, 26, 23}));
}

TEST(SegLcdGeometry, TheBottomAndRightBarsPointInwards) {
    const TSegLCDGeometry g = ComputeSegLCDGeometry(95, 24, 4, 2, 5, false, 0, 1, 1);
    // bottom: outer edge on y = h, inner edge two pixels up
    EXPECT_EQ(SegmentPolygon(g, 6, 7),
              (Corners{{{7, 23}, {8, 23}, {20, 23}, {21, 23}, {19, 21}, {9, 21}}}));
    EXPECT_EQ(SegmentPolygon(g, 6, 3),
              (Corners{{{22, 1}, {22, 2}, {22, 9}, {22, 10}, {20, 8}, {20, 3}}}));
    EXPECT_EQ(SegmentPolygon(g, 6, 5),
              (Corners{{{6, 12}, {6, 13}, {6, 20}, {6, 21}, {8, 19}, {8, 14}}}));
}

TEST(SegLcdGeometry, NoDivisionByZero) {
    const TSegLCDGeometry g = ComputeSegLCDGeometry(95, 24, 0, 0, 5, true, 0, 1, 1);
    EXPECT_EQ(g.p, 1);
    const TSegLCDGeometry d = ComputeSegLCDGeometry(95, 24, 4, 2, 2, true, 2, 1, 1);
    EXPECT_EQ(d.p, 4);
    EXPECT_EQ(d.w, 4 * (((94 / 4) - 2 + 2) / 4) - 2); // 18
    EXPECT_EQ(d.h, 2 * 4 * (((23 - 2) / 2) / 4) + 2); // 18
    EXPECT_EQ(d.gx, 0);
    TSegLCD lcd;
    lcd.SetDigitNum(0);
    EXPECT_EQ(lcd.DigitNum(), 1);
    lcd.SetDotDisplay(true);
    lcd.SetSegmentSize(0);
    lcd.SetDotSpacing(0);
    lcd.SetValue("88");
    lcd.Paint(); // must not divide by zero
    EXPECT_EQ(lcd.Frame().Width(), 92);
}

TEST(SegLcdCharacters, TableRows) {
    auto lit = [](char c) {
        std::vector<int> out;
        const auto* row = SegmentsOf(c);
        for (int i = 0; row && i < 8; ++i) {
            if ((*row)[std::size_t(i)]) {
                out.push_back(i + 1);
            }
        }
        return out;
    };
    EXPECT_EQ(lit('0'), (std::vector<int>{1, 2, 3, 5, 6, 7}));
    EXPECT_EQ(lit('1'), (std::vector<int>{3, 6}));
    EXPECT_EQ(lit('8'), (std::vector<int>{1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(lit('-'), (std::vector<int>{4}));
    EXPECT_EQ(lit(':'), (std::vector<int>{8}));
    EXPECT_EQ(lit('M'), (std::vector<int>{4, 5, 6}));
    EXPECT_EQ(lit('Z'), (std::vector<int>{1, 3, 4, 5, 7}));
    EXPECT_EQ(SegmentsOf(' '), nullptr);
    EXPECT_EQ(SegmentsOf('.'), nullptr);
    EXPECT_EQ(AnimationOrder(TLCDAnimation::anSpiral),
              (std::array<int, 8>{8, 4, 2, 1, 3, 6, 7, 5}));
    EXPECT_EQ(AnimationOrder(TLCDAnimation::anNone), (std::array<int, 8>{1, 2, 3, 8, 4, 5, 6, 7}));
}

TEST(SegLcdValues, ValueRules) {
    EXPECT_EQ(NormalizeLCDValue("12,5"), "");
    EXPECT_EQ(NormalizeLCDValue("3."), "3");
    EXPECT_EQ(NormalizeLCDValue("3.."), "3."); // one trailing dot only
    EXPECT_EQ(NormalizeLCDValue("abc-1"), "ABC-1");
    EXPECT_EQ(NormalizeLCDValue("1:2 "), "1:2 ");
    EXPECT_EQ(NormalizeLCDValue("12%"), "");

    using P = std::pair<std::string, std::string>;
    EXPECT_EQ(SplitLCDValue("12.5"), (P{"125", "  ."}));
    EXPECT_EQ(SplitLCDValue("-.5"), (P{"-5", " ."}));
    EXPECT_EQ(SplitLCDValue("1:2"), (P{"1:2", "   "}));
    // A dot after a dot takes a blank cell that carries the first dot; the second lights the 5.
    EXPECT_EQ(SplitLCDValue("1..5"), (P{"1 5", " .."}));
    // "3.." is stored as "3.": its dot has no cell after it and lights nothing.
    EXPECT_EQ(SplitLCDValue(NormalizeLCDValue("3..")), (P{"3", " "}));
    P cells = SplitLCDValue("12.5");
    PadLCDCells(cells, 4);
    EXPECT_EQ(cells, (P{" 125", "   ."}));
    cells = SplitLCDValue("12345");
    PadLCDCells(cells, 4);
    EXPECT_EQ(cells.first, "12345");
}

TEST(SegLcdValues, SettingTheValue) {
    TSegLCD lcd;
    std::vector<std::pair<std::string, std::string>> changes;
    lcd.OnChange = [&](TObject*, const std::string& o, const std::string& n) {
        changes.emplace_back(o, n);
    };
    lcd.SetValue("1.5");
    lcd.SetValue("ab");
    lcd.SetValue("12,5");
    EXPECT_EQ(lcd.Value(), "");
    ASSERT_EQ(changes.size(), 3u);
    EXPECT_EQ(changes[0], (std::pair<std::string, std::string>{"", "1.5"}));
    EXPECT_EQ(changes[1], (std::pair<std::string, std::string>{"1.5", "AB"}));
    EXPECT_EQ(changes[2], (std::pair<std::string, std::string>{"AB", ""}));
    lcd.SetValue("7");
    lcd.Paint();
    EXPECT_FALSE(lcd.NeedsPaint());
    lcd.SetValue("7"); // the same value: no change, no repaint
    EXPECT_FALSE(lcd.NeedsPaint());
    EXPECT_EQ(changes.size(), 4u);
    lcd.SetValue("3.");
    EXPECT_EQ(lcd.Value(), "3");
}

TEST(SegLcdPaint, LitAndUnlitSegmentsOfTheMainWindowLayout) {
    TSegLCD lcd;
    mainWindowLayout(lcd);
    lcd.SetValue("1.5");
    lcd.Paint();
    const TBitmap& f = lcd.Frame();
    const TColor off = 0x1F1F1F;
    EXPECT_EQ(f.GetPixel(2, 2), clBlack);  // spacing before the first cell
    EXPECT_EQ(f.GetPixel(14, 1), off);     // first cell (blank): top bar unlit
    EXPECT_EQ(f.GetPixel(58, 1), off);     // third cell ("1"): top bar unlit
    EXPECT_EQ(f.GetPixel(65, 5), clRed);   // third cell: upper-right bar lit
    EXPECT_EQ(f.GetPixel(80, 1), clRed);   // fourth cell ("5"): top bar lit
    EXPECT_EQ(f.GetPixel(87, 5), off);     // fourth cell: upper-right bar unlit
    EXPECT_EQ(f.GetPixel(93, 5), clBlack); // right of the last cell
    EXPECT_EQ(f.GetPixel(68, 21), clRed);  // the dot before the 5
    EXPECT_EQ(f.GetPixel(46, 21), off);    // the dot before the 1
    EXPECT_EQ(f.GetPixel(76, 7), clBlack); // inside the cell, between bar and colon
    EXPECT_EQ(f.GetPixel(79, 6), off);     // the colon of a digit is drawn unlit
}

TEST(SegLcdPaint, ALongValueShowsItsFirstCells) {
    TSegLCD a;
    TSegLCD b;
    mainWindowLayout(a);
    mainWindowLayout(b);
    a.SetValue("12345");
    b.SetValue("1234");
    a.Paint();
    b.Paint();
    EXPECT_EQ(a.Frame().Pixels(), b.Frame().Pixels());
}

TEST(SegLcdPaint, ColonCellLightsOnlyItsDots) {
    TSegLCD lcd;
    mainWindowLayout(lcd);
    lcd.SetDigitNum(3);
    lcd.SetValue("1:2");
    lcd.Paint();
    const TSegLCDGeometry g = ComputeSegLCDGeometry(95, 24, 3, 2, 5, false, 0, 1, 1);
    const int X = g.CellX(1);
    const auto [upper, lower] = ColonBoxes(g, X);
    EXPECT_EQ(lcd.Frame().GetPixel(upper.Left + 1, upper.Top + 1), clRed);
    EXPECT_EQ(lcd.Frame().GetPixel(lower.Left + 1, lower.Top + 1), clRed);
    EXPECT_EQ(lcd.Frame().GetPixel(X + g.w / 2, 1), TColor(0x1F1F1F)); // top bar unlit
}

TEST(SegLcdAnimation, StepsAndWaitsWithAFakeClock) {
    TSegLCD lcd;
    mainWindowLayout(lcd);
    FakeClock clock(10);
    lcd.SetClock(&clock);
    lcd.Animation = TLCDAnimation::anUp;
    lcd.AnimationDelay = 700;
    lcd.SetValue("8");
    std::vector<TBitmap> frames;
    lcd.FrameShown = [&](const TBitmap& b) { frames.push_back(b); };
    lcd.Paint();
    ASSERT_EQ(frames.size(), 8u); // one picture per step
    EXPECT_EQ(lcd.PaintDuration(), 700u);
    EXPECT_EQ(clock.idles, 70);
    // anUp draws the bottom bar first and the top bar last
    EXPECT_EQ(frames[0].GetPixel(80, 22), clRed);
    EXPECT_EQ(frames[0].GetPixel(80, 1), TColor(0x1F1F1F));
    EXPECT_EQ(frames[6].GetPixel(80, 1), TColor(0x1F1F1F));
    EXPECT_EQ(frames[7].GetPixel(80, 1), clRed);
    EXPECT_EQ(frames[7].Pixels(), lcd.Frame().Pixels());

    // A value painted without animation: no pictures between, no waiting.
    frames.clear();
    lcd.Animation = TLCDAnimation::anNone;
    lcd.SetValue("7");
    lcd.Paint();
    EXPECT_TRUE(frames.empty());
    EXPECT_EQ(lcd.PaintDuration(), 0u);
}

TEST(SegLcdAnimation, OvershootIsTakenFromTheNextWait) {
    TSegLCD lcd;
    mainWindowLayout(lcd);
    FakeClock clock(30);
    lcd.SetClock(&clock);
    lcd.Animation = TLCDAnimation::anSpiral;
    lcd.AnimationDelay = 700; // 100 per step
    lcd.SetValue("8");
    lcd.Paint();
    // waits of 120, 90, 90, 120, 90, 90, 120: each target is 100 less the previous overshoot
    EXPECT_EQ(lcd.PaintDuration(), 720u);
}

TEST(SegLcdAnimation, AValueSetWhileWaitingIsPaintedAfterwards) {
    TSegLCD lcd;
    mainWindowLayout(lcd);
    FakeClock clock(50);
    lcd.SetClock(&clock);
    lcd.Animation = TLCDAnimation::anDown;
    lcd.AnimationDelay = 350;
    lcd.SetValue("8");
    std::vector<std::string> olds;
    lcd.OnChange = [&](TObject*, const std::string& o, const std::string&) { olds.push_back(o); };
    clock.onIdle = [&] {
        lcd.SetValue("7");
        lcd.Paint(); // a paint request while painting is ignored
    };
    lcd.Paint();
    EXPECT_EQ(lcd.Value(), "7");
    EXPECT_EQ(olds, (std::vector<std::string>{"8"}));
    EXPECT_TRUE(lcd.NeedsPaint());
    EXPECT_EQ(lcd.Frame().GetPixel(7, 5), TColor(0x1F1F1F)); // blank first cell
    EXPECT_EQ(lcd.Frame().GetPixel(74, 5), clRed);           // upper-left bar of the 8
    clock.onIdle = nullptr;
    lcd.Paint();
    EXPECT_FALSE(lcd.NeedsPaint());
    EXPECT_EQ(lcd.Frame().GetPixel(74, 5), TColor(0x1F1F1F)); // the 7 has no upper-left bar
    EXPECT_EQ(lcd.Frame().GetPixel(80, 1), clRed);
}

TEST(SegLcdAnimation, DottedBarsLeaveSharedCornersToLitBars) {
    TSegLCD lcd;
    lcd.resize(95, 34);
    lcd.SetDigitNum(1);
    lcd.SetDotDisplay(true);
    lcd.SetSegmentSize(3);
    lcd.SetDotSpacing(1);
    lcd.SetDigitSpacing(4);
    lcd.SetOnColor(clRed);
    lcd.SetOffColor(clBlue);
    lcd.Animation = TLCDAnimation::anUp; // the top bar is drawn after the right bars
    lcd.SetValue("1");
    lcd.Paint();
    const TSegLCDGeometry g = ComputeSegLCDGeometry(95, 34, 1, 3, 4, true, 1, 2, 2);
    const int X = g.CellX(0);
    // the corner circle shared by the unlit top bar and the lit upper-right bar
    EXPECT_EQ(lcd.Frame().GetPixel(X + g.w - 2, 1), clRed);
    // the top bar's other circles are unlit
    EXPECT_EQ(lcd.Frame().GetPixel(X + g.p + 1, 1), clBlue);
}
