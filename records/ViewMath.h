// The arithmetic of the record views, apart from any picture: the step choices of the rulers, the
// reduction of a sample range to one value pair per pixel, the merging and smoothing of the band
// and map work images, the strokes a trace is drawn with, the TVG curve's points and the small
// position formulas the views share. Plain data in, plain data out; every index into a table, a
// trace or a work image stays inside it, whatever the configuration holds.
#pragma once

#include "platform/gfx/Geometry.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

class TBaseConfigCell;

// ---- Rulers ---------------------------------------------------------------------------------

// Labelled steps of the main ruler, chosen by GEN_INDEX_MARK_MKS and GEN_INDEX_MARK_MM.
inline constexpr std::array<std::uint16_t, 8> MksRulerSteps = {25,  50,  100, 150,
                                                               200, 250, 400, 500};
inline constexpr std::array<std::uint16_t, 12> MmRulerSteps = {2,   5,   10,  20,   50,   100,
                                                               200, 250, 500, 1000, 2000, 4000};
// Steps the zoom ruler chooses from.
inline constexpr std::array<std::uint16_t, 12> MksZoomSteps = {1,   2,   5,   10,  25,  50,
                                                               100, 150, 200, 250, 400, 500};
inline constexpr std::array<double, 14> MmZoomSteps = {0.5, 1,   2,   5,   10,   20,   50,
                                                       100, 200, 250, 500, 1000, 2000, 4000};

// What a ruler measures: microseconds along the trace, or depth in millimetres at the sound
// velocity (the sound goes there and back, so a sample is velocity / 2000 mm deep).
struct TRulerUnits {
    bool Millimetres = false;
    double Step = 0.0;     // the main ruler's labelled step, in the ruler's unit
    double Velocity = 0.0; // m/s
};

// The units of a configuration under a scale dimension (1 millimetres, anything else
// microseconds); a step index outside its table takes the nearest entry.
TRulerUnits RulerUnitsOf(const TBaseConfigCell& config, int scaleDimension);

// Pixels between two labelled ticks of a main ruler `width` pixels long over a range of `range`
// samples starting at 0. 0 when the range (or the depth it stands for) is not above 0.
double GetRulerStep(const TRulerUnits& units, double width, double range);

struct TZoomRulerStep {
    int TableIndex = 0;
    double Step = 0.0;                // the chosen table entry, in the ruler's unit
    std::int64_t FirstLabelIndex = 0; // k0: the first labelled tick reads k0 x Step
    double FirstOffset = 0.0;         // from the left edge to that tick, in pixels
    double PixelsPerStep = 0.0;       // 0 when the range is empty
};

// The zoom ruler over samples [start, end): the largest zoom step whose labels stand at most 40
// pixels apart on a 320-pixel scale (the first entry when none does), starting at its first
// whole multiple inside the range.
TZoomRulerStep GetZoomRulerStep(bool millimetres, double velocity, double start, double end,
                                double width);

struct TDepthRulerStep {
    int TableIndex = 0;
    double Step = 0.0;
    double PixelsPerStep = 0.0; // 0 when the range is empty
};

// The depth ruler `height` pixels long over `range` samples: the largest main-ruler step whose
// labels stand at most 55 pixels apart; the search stops at the table's first entry.
TDepthRulerStep GetDepthRulerStep(bool millimetres, double velocity, double height, double range);

// How a ruler writes its labels: value / Divisor with Decimals digits, and the language text
// of its unit word.
struct TRulerLabelForm {
    double Divisor = 1.0;
    int Decimals = 0;
    int UnitText = 10;
};

// The main and depth rulers: whole numbers below a step of 200 (microseconds text 10,
// millimetres 11), else thousands with one decimal (milliseconds 20, metres 19).
TRulerLabelForm RulerLabelForm(bool millimetres, double step);
// The zoom ruler adds half millimetres, written with one decimal.
TRulerLabelForm ZoomRulerLabelForm(bool millimetres, double step);
// The label text, with the user's decimal separator.
std::string RulerLabel(double value, const TRulerLabelForm& form);

// Mark periods of the band's scan-direction ruler, by BAND_ELEMENT_WIDTH_INDEX (nearest entry
// outside 0..3).
struct TScanRulerPeriods {
    int Small = 10;
    int Numbered = 50;
};
TScanRulerPeriods ScanRulerPeriods(int widthIndex);

// Every how many rows or columns a map ruler numbers its lines.
int MapRulerPeriod(int count);

// ---- Traces ---------------------------------------------------------------------------------

// Reduces samples [start, end) of a trace (both taken to the nearest sample) to `width` pixel
// columns. With at least one sample per column each column gets the largest and smallest of its
// samples, limited to -360..360; with fewer, the samples are interpolated linearly without a limit
// into columns 0 .. width - 2 and the last column is 0. upper and lower take one value per column
// (at most as many columns as they hold). An empty or reversed range, or an empty trace, gives
// columns of 0. Sample indexes are kept inside the trace.
void ResampleScan(std::span<const std::int32_t> trace, double start, double end, int width,
                  std::span<std::int32_t> upper, std::span<std::int32_t> lower);

enum class TStrokeKind : std::uint8_t { None, Line, Dot };

// What is drawn for one pixel column of a trace (one row of an upright trace), along the
// amplitude axis: a line from From up to but not including To, or the single pixel From.
// Positions outside the picture are pulled to just outside it, so no stroke runs far beyond.
struct TTraceStroke {
    TStrokeKind Kind = TStrokeKind::None;
    int From = 0;
    int To = 0;
};

// The strokes of a trace `extent` pixels high (an upright trace: wide) for signal type 0
// (rectified bars), 1 (rectified trace) or 2 (radio-frequency trace about the middle line); the
// amplitude reference spans the extent (types 0, 1) or half of it (type 2). Types 1 and 2 keep
// neighbouring columns connected. Another type draws nothing.
std::vector<TTraceStroke> TraceStrokes(std::span<const std::int32_t> upper,
                                       std::span<const std::int32_t> lower, int extent,
                                       int signalType, bool upright);

// The TVG curve over a view width x height showing N samples, as a polyline: point i at
// x = position / N x width, gain 0 at a quarter of the height and gain 30 at the top edge.
// Points 0 .. the active count take part (the point after the last active one ends the curve;
// the table's last point at most); a point that would lead back left of the one before is left
// out. The segment that reaches the right edge ends on it and ends the curve. Empty when N is 0
// or no point is active.
std::vector<platform::gfx::TPoint> TgvCurvePoints(const TBaseConfigCell& config, int width,
                                                  int height);

// ---- Band and map pictures ------------------------------------------------------------------

// The pixel of row or column i of a map view with cells `cellSize` pixels wide: the cell's
// middle, or its edge for cells of one pixel.
int MapCursorPixel(int index, int cellSize);

// The colour table entry shown at column x of the colour gradator's strip, width pixels wide.
int GradatorEntry(int x, int width);

// ---- Coordinates ----------------------------------------------------------------------------

// The nearest pixel coordinate (halves to even). Values far outside any picture are pulled in to
// +-2^24 first, so no real turns into an integer it cannot be; NaN and infinities are a range
// error.
int Pixel(double value);

// Where time t lies along a view `extent` pixels long showing N samples from 0 (0 for N = 0).
double TimeToView(double t, double n, double extent);
