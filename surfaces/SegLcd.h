// The seven-segment read-out: a short text shown as lit and unlit bars with decimal dots and a
// colon, like an instrument's liquid-crystal display. The character table, the value rules and
// the geometry are free functions so they can be checked without a widget; painting composes
// the picture in a bitmap and may animate the change segment by segment, timed by a clock that
// tests replace.
#pragma once

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Canvas.h"
#include "surfaces/Controls.h"

#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

enum class TLCDAbout { abNone, abAbout };
enum class TLCDAnimation { anNone, anSpiral, anUp, anDown, anLeft, anRight, anRandom };

using TLCDChangeProc =
    std::function<void(TObject* Sender, const std::string& OldValue, const std::string& NewValue)>;

// ---- Characters and values ---------------------------------------------------------------------

// The eight flags (segments 1..8: top, upper left, upper right, middle, lower left, lower right,
// bottom, colon) of a character of the table; nullptr for a character outside it (a space).
const std::array<std::uint8_t, 8>* SegmentsOf(char c);

// The order of the eight segment steps of an animation (anNone: the order without animation).
const std::array<int, 8>& AnimationOrder(TLCDAnimation animation);

// The value as stored: upper case; empty when any character is not a digit, letter, '-', ' ',
// '.' or ':'; one trailing '.' removed.
std::string NormalizeLCDValue(const std::string& text);

// The cells of a value: the characters and, of equal length, the dots ('.' lit, ' ' unlit).
// A '.' lights the dot of the next cell; a '.' right after another '.' takes a blank cell of
// its own; a '.' with no cell after it lights nothing.
std::pair<std::string, std::string> SplitLCDValue(const std::string& value);

// Both strings padded on the left with blanks to `cells` (longer ones are kept whole).
void PadLCDCells(std::pair<std::string, std::string>& cells, int cells_);

// ---- Geometry ----------------------------------------------------------------------------------

struct TSegLCDGeometry {
    int s = 0;  // spacing before each cell
    int w = 0;  // cell width
    int h = 0;  // cell height
    int gx = 0; // gap at the ends of horizontal bars
    int gy = 0; // gap at the ends of vertical bars
    int Lh = 0; // horizontal bar length
    int Lv = 0; // vertical bar length
    int S = 0;  // bar thickness
    int p = 1;  // dot pitch (dot mode)
    bool dotMode = false;

    int CellX(int i) const { return i * (s + w) + s; }
};

TSegLCDGeometry ComputeSegLCDGeometry(int width, int height, int digitNum, int segmentSize,
                                      int digitSpacing, bool dotDisplay, int dotSpacing, int gapX,
                                      int gapY);

// The six corners of bar 1..7 of the cell at x (solid mode).
std::array<platform::gfx::TPoint, 6> SegmentPolygon(const TSegLCDGeometry& g, int cellX,
                                                    int segment);
// The boxes of the two colon dots of the cell at x.
std::pair<platform::gfx::TRect, platform::gfx::TRect> ColonBoxes(const TSegLCDGeometry& g,
                                                                 int cellX);
// The box of the decimal dot in the spacing left of the cell at x.
platform::gfx::TRect DotBox(const TSegLCDGeometry& g, int cellX);

// ---- Time --------------------------------------------------------------------------------------

// Milliseconds and a way to let time pass while the application handles its messages.
class TLCDClock {
public:
    virtual ~TLCDClock() = default;
    virtual std::uint64_t Ticks() = 0;
    // Lets pending messages run and a little time pass.
    virtual void Idle() = 0;
};

// The real clock: a monotonic millisecond count; idling processes events and sleeps briefly.
TLCDClock& SystemLCDClock();

// ---- The control -------------------------------------------------------------------------------

class TSegLCD : public QWidget {
public:
    explicit TSegLCD(QWidget* parent = nullptr);
    ~TSegLCD() override;

    TLCDAbout About() const { return TLCDAbout::abNone; }
    void SetAbout(TLCDAbout about);
    TLCDAnimation Animation = TLCDAnimation::anNone;
    int AnimationDelay = 0;
    int DigitNum() const { return digitNum_; }
    void SetDigitNum(int n);
    int DigitSpacing() const { return digitSpacing_; }
    void SetDigitSpacing(int v);
    bool DotDisplay() const { return dotDisplay_; }
    void SetDotDisplay(bool v);
    int DotSpacing() const { return dotSpacing_; }
    void SetDotSpacing(int v);
    bool DoubleBuffer() const { return doubleBuffer_; }
    void SetDoubleBuffer(bool v);
    int GapX() const { return gapX_; }
    void SetGapX(int v);
    int GapY() const { return gapY_; }
    void SetGapY(int v);
    bool IsPainting() const { return painting_; }
    TColor OffColor() const { return offColor_; }
    void SetOffColor(TColor c);
    TLCDChangeProc OnChange;
    TColor OnColor() const { return onColor_; }
    void SetOnColor(TColor c);
    std::uint32_t PaintDuration() const { return paintDuration_; }
    bool Preview = false;
    int SegmentSize() const { return segmentSize_; }
    void SetSegmentSize(int v);
    const std::string& Value() const { return value_; }
    void SetValue(const std::string& value);
    TColor Color() const { return color_; }
    void SetColor(TColor c);

    // The clock of the animation (not owned); nullptr restores the system clock.
    void SetClock(TLCDClock* clock) { clock_ = clock ? clock : &SystemLCDClock(); }
    // Composes the picture now (what the paint event shows); with an animation the change is
    // drawn step by step, each intermediate picture shown through `FrameShown`.
    void Paint();
    // The picture the control shows.
    const platform::gfx::TBitmap& Frame() const { return frame_; }
    // Called with every picture shown while an animated change is drawn (for tests: the steps).
    std::function<void(const platform::gfx::TBitmap&)> FrameShown;
    // Whether a change is waiting to be painted.
    bool NeedsPaint() const { return needsPaint_; }

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    void Changed();
    void DrawPass(platform::gfx::TCanvas& canvas, const TSegLCDGeometry& g,
                  const std::pair<std::string, std::string>& now,
                  const std::pair<std::string, std::string>& before, bool onlyChanges,
                  const std::array<int, 8>* order, std::int64_t budget, std::uint64_t start,
                  platform::gfx::TBitmap* buffer);
    void DrawSegment(platform::gfx::TCanvas& canvas, const TSegLCDGeometry& g, int cellX, char c,
                     int segment);
    void DrawDot(platform::gfx::TCanvas& canvas, const TSegLCDGeometry& g, int cellX, bool lit);
    void ShowFrame(const platform::gfx::TBitmap& picture);

    int digitNum_ = 4;
    int digitSpacing_ = 5;
    bool dotDisplay_ = false;
    int dotSpacing_ = 2;
    bool doubleBuffer_ = true;
    int gapX_ = 2;
    int gapY_ = 2;
    TColor offColor_ = platform::gfx::clBlack;
    TColor onColor_ = platform::gfx::clLime;
    int segmentSize_ = 2;
    std::string value_;
    TColor color_ = platform::gfx::clBlack;
    std::string previous_;
    bool animateNext_ = false;
    bool painting_ = false;
    bool needsPaint_ = true;
    std::uint32_t paintDuration_ = 0;
    TLCDClock* clock_;
    std::minstd_rand random_;
    platform::gfx::TBitmap frame_;
};
