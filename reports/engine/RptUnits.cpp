#include "reports/engine/RptUnits.h"

#include <QLocale>

#include <climits>
#include <cmath>

namespace {

std::optional<bool>& usAnswer() {
    static std::optional<bool> answer;
    return answer;
}

// Character cells per inch at one point of font size, across and down.
constexpr double kCharsAcross = 80.0;
constexpr double kCharsDown = 145.3;

} // namespace

bool RptUsMeasurement() {
    if (usAnswer()) {
        return *usAnswer();
    }
    return QLocale::system().measurementSystem() == QLocale::ImperialUSSystem;
}

void SetRptUsMeasurement(std::optional<bool> answer) {
    usAnswer() = answer;
}

int RptRound(double v) {
    if (!std::isfinite(v) || v > double(INT_MAX) || v < double(INT_MIN)) {
        return 0;
    }
    return int(std::nearbyint(v));
}

// ---- unit base ---------------------------------------------------------------------------------

TRptUnitBase::TRptUnitBase()
    : units_(RptUsMeasurement() ? TRptUnit::Inches : TRptUnit::MM), savedUnits_(units_) {}

void TRptUnitBase::SetUnits(TRptUnit units) {
    units_ = units;
}

double TRptUnitBase::toNative(TRptUnit u, double v, bool vertical) const {
    switch (u) {
    case TRptUnit::MM:
        return v * 10;
    case TRptUnit::Inches:
        return v * 254;
    case TRptUnit::Pixels:
        // A zoom or resolution of 0 cannot come from the program; a file can make it.
        if (Resolution == 0 || Zoom == 0) {
            return 0;
        }
        return 254 / Resolution * v / Zoom * 100;
    case TRptUnit::Characters:
        if (FontSize == 0) {
            return 0;
        }
        return ((vertical ? kCharsDown : kCharsAcross) / FontSize / 2.54) * v * 10;
    case TRptUnit::Native:
        break;
    }
    return v;
}

double TRptUnitBase::fromNative(TRptUnit u, double v, bool vertical) const {
    switch (u) {
    case TRptUnit::MM:
        return v / 10;
    case TRptUnit::Inches:
        return v / 254;
    case TRptUnit::Pixels:
        if (Resolution == 0) {
            return 0;
        }
        return v / (254 / Resolution) * Zoom / 100;
    case TRptUnit::Characters:
        if (FontSize == 0) {
            return 0;
        }
        return v / ((vertical ? kCharsDown : kCharsAcross) / FontSize / 2.54) / 10;
    case TRptUnit::Native:
        break;
    }
    return v;
}

double TRptUnitBase::ToNative(double v, bool vertical) const {
    return toNative(units_, v, vertical);
}

double TRptUnitBase::FromNative(double v, bool vertical) const {
    return fromNative(units_, v, vertical);
}

double TRptUnitBase::PixelsToNative(double px) const {
    return toNative(TRptUnit::Pixels, px, false);
}

double TRptUnitBase::NativeToPixels(double native) const {
    return fromNative(TRptUnit::Pixels, native, false);
}

// ---- sizes -------------------------------------------------------------------------------------

double TRptBandSize::Value(int index) const {
    return index == 0 ? NativeHeight : NativeWidth;
}

void TRptBandSize::SetValue(int index, double native) {
    (index == 0 ? NativeHeight : NativeWidth) = native;
}

double TRptPrintableSize::Value(int index) const {
    switch (index) {
    case 0:
        return NativeHeight;
    case 1:
        return NativeLeft;
    case 2:
        return NativeTop;
    default:
        return NativeWidth;
    }
}

void TRptPrintableSize::SetValue(int index, double native) {
    switch (index) {
    case 0:
        NativeHeight = native;
        break;
    case 1:
        NativeLeft = native;
        break;
    case 2:
        NativeTop = native;
        break;
    default:
        NativeWidth = native;
        break;
    }
}

// ---- page --------------------------------------------------------------------------------------

TRptPage::TRptPage() {
    const bool us = RptUsMeasurement();
    SetUnits(TRptUnit::MM);
    SetPaperSize(us ? TRptPaperSize::Letter : TRptPaperSize::A4);
    const double margin = us ? 127 : 100; // half an inch, or 10 mm
    values_[BottomMarginIndex] = values_[TopMarginIndex] = margin;
    values_[LeftMarginIndex] = values_[RightMarginIndex] = margin;
    values_[ColumnSpaceIndex] = 0;
    SetUnits(us ? TRptUnit::Inches : TRptUnit::MM);
}

double TRptPage::Value(int index) const {
    if (index < 0 || index > ColumnSpaceIndex) {
        return 0;
    }
    const bool vertical =
        index == BottomMarginIndex || index == LengthIndex || index == TopMarginIndex;
    return FromNative(values_[std::size_t(index)], vertical);
}

void TRptPage::SetValue(int index, double v) {
    if (index < 0 || index > ColumnSpaceIndex) {
        return;
    }
    if ((index == LengthIndex || index == WidthIndex) && paperSize_ != TRptPaperSize::Custom) {
        return;
    }
    const bool vertical =
        index == BottomMarginIndex || index == LengthIndex || index == TopMarginIndex;
    values_[std::size_t(index)] = ToNative(v, vertical);
    changed();
}

void TRptPage::SetColumns(int columns) {
    if (columns < 1 || columns == columns_) {
        return;
    }
    columns_ = columns;
    changed();
}

void TRptPage::SetOrientation(TRptOrientation orientation) {
    orientation_ = orientation;
    SetPaperSize(paperSize_);
}

void TRptPage::SetPaperSize(TRptPaperSize size) {
    if (size != TRptPaperSize::Default && size != TRptPaperSize::Custom) {
        const TPaperDimensions d = PaperDimensions(size);
        const bool landscape = orientation_ == TRptOrientation::poLandscape;
        values_[WidthIndex] = (landscape ? d.Length : d.Width) * 10;
        values_[LengthIndex] = (landscape ? d.Width : d.Length) * 10;
        changed();
    }
    paperSize_ = size;
}

void TRptPage::changed() {
    if (OnLayoutChanged) {
        OnLayoutChanged();
    }
}

// ---- frame -------------------------------------------------------------------------------------

double TRptFrame::NativeWidth() const {
    return RptRound(Width / 72.0 * 254);
}

int TRptFrame::Thickness(double factor) const {
    if (Width == -1) {
        return 1;
    }
    const int t = RptRound(factor / 72 * 254 * Width);
    return t < 1 && Width >= 1 ? 1 : t;
}

void TRptFrame::PaintIt(platform::gfx::TCanvas& canvas, const platform::gfx::TRect& r,
                        double xFactor, double yFactor) const {
    if (!HasSide()) {
        return;
    }
    const int tx = Thickness(xFactor);
    const int ty = Thickness(yFactor);
    canvas.Brush.Style = platform::gfx::TBrushStyle::bsSolid;
    canvas.Brush.Color = Color;
    canvas.Pen.Width = 1;
    canvas.Pen.Style = Style;
    canvas.Pen.Color = Color;
    if (DrawTop) {
        canvas.FillRect({r.Left, r.Top, r.Right, r.Top + ty});
    }
    if (DrawBottom) {
        canvas.FillRect({r.Left, r.Bottom - ty, r.Right, r.Bottom});
    }
    if (DrawLeft) {
        canvas.FillRect({r.Left, r.Top, r.Left + tx, r.Bottom});
    }
    if (DrawRight) {
        canvas.FillRect({r.Right - tx, r.Top, r.Right, r.Bottom});
    }
}
