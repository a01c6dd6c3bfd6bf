#include "reports/engine/RptPrintable.h"

#include "reports/engine/FolioReport.h"
#include "reports/pages/RptPrntr.h"

TRptPrintable::TRptPrintable() {
    Size.SetUnits(TRptUnit::Native);
    Size.NativeWidth = Size.PixelsToNative(10);
    Size.NativeHeight = Size.PixelsToNative(10);
}

TRptPrintable::~TRptPrintable() = default;

int TRptPrintable::Left() const {
    return RptRound(Size.NativeToPixels(Size.NativeLeft));
}
int TRptPrintable::Top() const {
    return RptRound(Size.NativeToPixels(Size.NativeTop));
}
int TRptPrintable::Width() const {
    return RptRound(Size.NativeToPixels(Size.NativeWidth));
}
int TRptPrintable::Height() const {
    return RptRound(Size.NativeToPixels(Size.NativeHeight));
}

void TRptPrintable::SetBounds(int left, int top, int width, int height) {
    // Only what changed is written, so unchanged values keep their exact native lengths.
    if (left != Left()) {
        Size.NativeLeft = Size.PixelsToNative(left);
    }
    if (top != Top()) {
        Size.NativeTop = Size.PixelsToNative(top);
    }
    if (width != Width()) {
        Size.NativeWidth = Size.PixelsToNative(width);
    }
    if (height != Height()) {
        Size.NativeHeight = Size.PixelsToNative(height);
    }
    BoundsChanged();
    if (alignToBand_ && !aligning_) {
        AlignInBand();
    }
}

void TRptPrintable::SetParent(TRptBasePanel* panel) {
    parent_ = panel;
    if (panel == nullptr) {
        return;
    }
    Size.SetUnits(panel->UnitBase().Units());
    Size.Zoom = panel->Zoom();
    if (TCustomFolioReport* report = panel->OwnerReport()) {
        ParentReport = report;
        Size.Zoom = report->Zoom();
    }
}

void TRptPrintable::MoveTo(TRptBasePanel& panel) {
    if (parent_ == &panel) {
        return;
    }
    std::unique_ptr<TRptPrintable> self =
        parent_ != nullptr ? parent_->Remove(*this) : std::unique_ptr<TRptPrintable>();
    if (self) {
        panel.Insert(std::move(self));
    }
}

void TRptPrintable::SetAlignment(TAlignment alignment) {
    alignment_ = alignment;
    if (alignToBand_) {
        AlignInBand();
    }
}

void TRptPrintable::SetAlignToBand(bool align) {
    alignToBand_ = align;
    AlignInBand();
}

void TRptPrintable::AlignInBand() {
    if (!alignToBand_ || aligning_) {
        return;
    }
    aligning_ = true;
    if (alignment_ == TAlignment::taLeftJustify) {
        SetLeft(0);
    } else if (parent_ != nullptr && parent_->IsBand()) {
        const int room = parent_->PixelWidth() - Width();
        SetLeft(alignment_ == TAlignment::taRightJustify ? room : room / 2);
    }
    aligning_ = false;
}

void TRptPrintable::BeforePrint() {
    IsPrinting = true;
    RptPrinter = ParentReport != nullptr ? ParentReport->RptPrinter() : nullptr;
}

void TRptPrintable::AfterPrint() {
    IsPrinting = false;
}

void TRptPrintable::Print(int ofsX, int ofsY) {
    PrintFrame(ofsX + Size.NativeLeft, ofsY + Size.NativeTop, Size.NativeWidth, Size.NativeHeight);
}

void TRptPrintable::PrintFrame(double x, double y, double w, double h) {
    if (!Frame.HasSide() || RptPrinter == nullptr) {
        return;
    }
    TRptPrinter& p = *RptPrinter;
    Frame.PaintIt(p.Canvas(), {p.XPos(x), p.YPos(y), p.XPos(x + w), p.YPos(y + h)}, p.XFactor,
                  p.YFactor);
}

void TRptPrintable::Paint(platform::gfx::TCanvas& canvas) {
    const int w = Width();
    const int h = Height();
    if (Frame.HasSide()) {
        const double f = kRptScreenPpi / 254 * Size.Zoom / 100;
        Frame.PaintIt(canvas, {0, 0, w, h}, f, f);
        return;
    }
    canvas.Pen = {platform::gfx::clBlack, 1, platform::gfx::TPenStyle::psSolid};
    const auto mark = [&](int x0, int y0, int x1, int y1) {
        canvas.MoveTo(x0, y0);
        canvas.LineTo(x1, y1);
    };
    mark(0, 0, 3, 0);
    mark(0, 0, 0, 3);
    mark(w - 1, 0, w - 4, 0);
    mark(w - 1, 0, w - 1, 3);
    mark(0, h - 1, 3, h - 1);
    mark(0, h - 1, 0, h - 4);
    mark(w - 1, h - 1, w - 4, h - 1);
    mark(w - 1, h - 1, w - 1, h - 4);
}
