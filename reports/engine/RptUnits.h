// Lengths of the report engine. Every length is kept in tenths of a millimetre (the native unit)
// and shown in the report's unit of choice; TRptBandSize, TRptPrintableSize and TRptPage are the
// kept values of a band, a printable and the paper. TRptFrame says which sides of a control get a
// line and draws them on a device canvas.
//
// "Screen" pixels are those of the fixed 96-dpi reference device, so a layout converts the same
// on every machine.
#pragma once

#include "platform/gfx/Canvas.h"
#include "reports/pages/RptPapers.h"
#include "reports/pages/RptPrntr.h"

#include <array>
#include <functional>
#include <optional>

enum class TRptUnit { MM, Inches, Pixels, Characters, Native };

// Pixels per inch of the reference device every pixel length of a report refers to.
constexpr double kRptScreenPpi = 96.0;

// Whether the user's measurement system is the US one (inches, Letter paper). Read from the
// system locale unless a test has chosen the answer.
bool RptUsMeasurement();
void SetRptUsMeasurement(std::optional<bool> answer);

// Rounds half to even; a value that is not finite or does not fit an int gives 0.
int RptRound(double v);

class TRptUnitBase {
public:
    TRptUnitBase();
    virtual ~TRptUnitBase() = default;

    double Resolution = kRptScreenPpi;
    double Zoom = 100;
    // The absolute point size of the sized control's font, for character units.
    double FontSize = 10;

    TRptUnit Units() const { return units_; }
    virtual void SetUnits(TRptUnit units);

    // A value in Units to tenths of a millimetre and back; `vertical` picks the character height
    // rather than its width.
    double ToNative(double v, bool vertical = false) const;
    double FromNative(double v, bool vertical = false) const;
    // The same for pixels of the reference device at Zoom, whatever Units are.
    double PixelsToNative(double px) const;
    double NativeToPixels(double native) const;

    // Changes Units for a while and back (used while a report runs in native units).
    void SaveUnits() { savedUnits_ = units_; }
    void RestoreUnits() { SetUnits(savedUnits_); }

protected:
    double toNative(TRptUnit u, double v, bool vertical) const;
    double fromNative(TRptUnit u, double v, bool vertical) const;

private:
    TRptUnit units_;
    TRptUnit savedUnits_;
};

// A band's height and width; "Values" are (Height, Width) in native units.
class TRptBandSize : public TRptUnitBase {
public:
    double NativeHeight = 40;
    double NativeWidth = 20;

    double Height() const { return FromNative(NativeHeight, true); }
    double Width() const { return FromNative(NativeWidth); }
    void SetHeight(double v) { NativeHeight = ToNative(v, true); }
    void SetWidth(double v) { NativeWidth = ToNative(v); }
    double Value(int index) const;
    void SetValue(int index, double native);
};

// A printable's place on its band; "Values" are (Height, Left, Top, Width) in native units.
class TRptPrintableSize : public TRptUnitBase {
public:
    double NativeHeight = 0;
    double NativeLeft = 0;
    double NativeTop = 0;
    double NativeWidth = 0;

    double Height() const { return FromNative(NativeHeight, true); }
    double Left() const { return FromNative(NativeLeft); }
    double Top() const { return FromNative(NativeTop, true); }
    double Width() const { return FromNative(NativeWidth); }
    void SetHeight(double v) { NativeHeight = ToNative(v, true); }
    void SetLeft(double v) { NativeLeft = ToNative(v); }
    void SetTop(double v) { NativeTop = ToNative(v, true); }
    void SetWidth(double v) { NativeWidth = ToNative(v); }
    double Value(int index) const;
    void SetValue(int index, double native);
};

// The paper, margins and columns of a report.
class TRptPage : public TRptUnitBase {
public:
    enum Index {
        BottomMarginIndex,
        LengthIndex,
        TopMarginIndex,
        WidthIndex,
        LeftMarginIndex,
        RightMarginIndex,
        ColumnSpaceIndex
    };

    TRptPage();

    // Called after a change that moves the report's bands (page size, margins, columns).
    std::function<void()> OnLayoutChanged;

    // A value in Units; Length and Width are taken only while the paper size is Custom.
    double Value(int index) const;
    void SetValue(int index, double v);
    // The kept value in tenths of a millimetre.
    double Native(int index) const { return values_[std::size_t(index)]; }

    double BottomMargin() const { return Value(BottomMarginIndex); }
    double Length() const { return Value(LengthIndex); }
    double TopMargin() const { return Value(TopMarginIndex); }
    double Width() const { return Value(WidthIndex); }
    double LeftMargin() const { return Value(LeftMarginIndex); }
    double RightMargin() const { return Value(RightMarginIndex); }
    double ColumnSpace() const { return Value(ColumnSpaceIndex); }
    void SetBottomMargin(double v) { SetValue(BottomMarginIndex, v); }
    void SetLength(double v) { SetValue(LengthIndex, v); }
    void SetTopMargin(double v) { SetValue(TopMarginIndex, v); }
    void SetWidth(double v) { SetValue(WidthIndex, v); }
    void SetLeftMargin(double v) { SetValue(LeftMarginIndex, v); }
    void SetRightMargin(double v) { SetValue(RightMarginIndex, v); }
    void SetColumnSpace(double v) { SetValue(ColumnSpaceIndex, v); }

    int Columns() const { return columns_; }
    // Values below 1 are ignored.
    void SetColumns(int columns);
    TRptOrientation Orientation() const { return orientation_; }
    void SetOrientation(TRptOrientation orientation);
    TRptPaperSize PaperSize() const { return paperSize_; }
    // A named size writes its dimensions (exchanged in landscape); Default and Custom keep them.
    void SetPaperSize(TRptPaperSize size);
    bool Ruler = true;

private:
    void changed();

    std::array<double, 7> values_{};
    int columns_ = 1;
    TRptOrientation orientation_ = TRptOrientation::poPortrait;
    TRptPaperSize paperSize_ = TRptPaperSize::A4;
};

// Which sides of a control get a line, and how thick (points).
class TRptFrame {
public:
    platform::gfx::TColor Color = platform::gfx::clBlack;
    bool DrawTop = false;
    bool DrawBottom = false;
    bool DrawLeft = false;
    bool DrawRight = false;
    platform::gfx::TPenStyle Style = platform::gfx::TPenStyle::psSolid;
    int Width = 1;

    bool HasSide() const { return DrawTop || DrawBottom || DrawLeft || DrawRight; }
    // The frame's width in tenths of a millimetre.
    double NativeWidth() const;
    // The drawn sides inside `rect` (device pixels); the factors are device pixels per tenth of
    // a millimetre.
    void PaintIt(platform::gfx::TCanvas& canvas, const platform::gfx::TRect& rect, double xFactor,
                 double yFactor) const;
    // The thickness across a side for a factor.
    int Thickness(double factor) const;
};
