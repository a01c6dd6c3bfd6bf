#include "reports/engine/RptBands.h"

#include "reports/engine/FolioReport.h"
#include "reports/engine/RptController.h"
#include "reports/engine/RptControls.h"
#include "reports/engine/RptPrintable.h"
#include "reports/pages/RptTexts.h"

#include <algorithm>

namespace {

// Pixels per tenth of a millimetre at 96 pixels per inch, as the height precalculation has it.
constexpr double kPrecalcFactor = 0.37795;

int stemId(TRptBandType type) {
    return type == TRptBandType::rbTitle ? 65055 : 65023 + int(type);
}

} // namespace

const char* BandTypeName(TRptBandType type) {
    return RptText(65044 + int(type));
}

const char* BandNameStem(TRptBandType type) {
    return RptText(stemId(type));
}

TRptCustomBand::TRptCustomBand() {
    Size.NativeHeight = Size.PixelsToNative(40);
    Font.Name = "Arial";
    Font.SetSize(10);
}

TRptCustomBand::~TRptCustomBand() = default;

int TRptCustomBand::PixelHeight() const {
    return RptRound(Size.NativeToPixels(Size.NativeHeight));
}

void TRptCustomBand::SetPixelHeight(int pixels) {
    if (pixels != PixelHeight()) {
        Size.NativeHeight = Size.PixelsToNative(pixels);
    }
}

int TRptCustomBand::PixelWidth() {
    return RptRound(Size.NativeToPixels(Size.NativeWidth));
}

void TRptCustomBand::SetZoom(int zoom) {
    TRptBasePanel::SetZoom(zoom);
    if (zoom != 0) {
        Size.Zoom = zoom;
    }
}

bool TRptCustomBand::SetLinkBand(TRptCustomBand* band) {
    for (TRptCustomBand* b = band; b != nullptr; b = b->linkBand_) {
        if (b == this) {
            return false;
        }
    }
    linkBand_ = band;
    return true;
}

TRptChildBand* TRptCustomBand::ChildBand() const {
    if (ParentReport == nullptr) {
        return nullptr;
    }
    for (const auto& b : ParentReport->AllBands()) {
        if (auto* child = dynamic_cast<TRptChildBand*>(b.get());
            child != nullptr && child->ParentBand() == this) {
            return child;
        }
    }
    return nullptr;
}

double TRptCustomBand::StretchedHeight() const {
    // Linked bands count with their own heights only: their stretching is not known yet.
    double h = Size.NativeHeight;
    int guard = 0;
    for (const TRptCustomBand* b = linkBand_; b != nullptr && guard < 1000;
         b = b->linkBand_, ++guard) {
        h += b->Size.NativeHeight;
    }
    return h;
}

bool TRptCustomBand::CanExpand(double extra) const {
    if (ParentReport == nullptr) {
        return false;
    }
    return ParentReport->AvailableSpace() >= RptRound(Size.NativeHeight + ExtraHeight + extra);
}

bool TRptCustomBand::ExpandBand(double extra, platform::gfx::TRect& rect, bool& expanded) {
    if (!CanExpand(extra)) {
        return false;
    }
    if (expanded || extra >= ExtraHeight) {
        ExtraHeight += extra;
    }
    rect = PrintRect;
    expanded = true;
    return true;
}

double TRptCustomBand::PrecalculatedHeight() {
    double h = Size.NativeHeight;
    double gap = 0;
    for (const auto& p : Printables()) {
        auto* memo = dynamic_cast<TRptMemo*>(p.get());
        if (memo == nullptr || !memo->Enabled) {
            continue;
        }
        const double needed = memo->GetExpectedHeight();
        if ((memo->Top() + needed) / kPrecalcFactor > h) {
            h = (memo->Top() + needed) / kPrecalcFactor;
            gap = (PixelHeight() - memo->Top() - memo->Height() + 1) / kPrecalcFactor;
        }
    }
    return h + std::max(gap, 0.0);
}

void TRptCustomBand::fillBackground(double height) {
    TRptPrinter* p = ParentReport->RptPrinter();
    const TCustomFolioReport& r = *ParentReport;
    PrintRect = {p->XPos(r.CurrentX), p->YPos(r.CurrentY), p->XPos(r.CurrentX + Size.NativeWidth),
                 p->YPos(r.CurrentY + height)};
    if (TransparentBand || !Enabled || RptRound(Size.NativeToPixels(height)) <= 0) {
        return;
    }
    auto& c = p->Canvas();
    c.Brush.Style = platform::gfx::TBrushStyle::bsSolid;
    c.Brush.Color = Color;
    c.FillRect(PrintRect);
}

void TRptCustomBand::printControls(double height) {
    TCustomFolioReport& r = *ParentReport;
    TRptPrinter* p = r.RptPrinter();
    ExtraHeight = 0;
    const double savedHeight = Size.NativeHeight;
    Size.NativeHeight = height;
    bool first = true;
    for (;;) {
        bool complete = true;
        for (const auto& c : Printables()) {
            if (!c->ShouldPrint() || (!first && c->Complete)) {
                continue;
            }
            c->Print(r.CurrentX, r.CurrentY);
            complete = complete && c->Complete;
        }
        Frame.PaintIt(p->Canvas(),
                      {p->XPos(r.CurrentX), p->YPos(r.CurrentY),
                       p->XPos(r.CurrentX + Size.NativeWidth),
                       p->YPos(r.CurrentY + Size.NativeHeight + ExtraHeight + 1)},
                      p->XFactor, p->YFactor);
        if (complete || r.RunCancelled()) {
            break;
        }
        // A stretching control ran past the page end: the rest goes on the next page (a
        // control that makes no progress there completes, so this ends).
        r.EndColumn();
        Size.NativeHeight = height;
        ExtraHeight = 0;
        first = false;
        fillBackground(height);
    }
    Size.NativeHeight = savedHeight;
}

void TRptCustomBand::Print() {
    if (ParentReport == nullptr || ParentReport->RptPrinter() == nullptr) {
        return;
    }
    TCustomFolioReport& r = *ParentReport;
    bool printBand = Enabled;
    if (BeforePrint) {
        BeforePrint(*this, printBand);
    }
    if (printBand) {
        const TRptBandType t = PrintType();
        const bool breakable = t != TRptBandType::rbTitle && t != TRptBandType::rbPageHeader &&
                               t != TRptBandType::rbPageFooter && t != TRptBandType::rbOverlay;
        bool forced = false;
        if (breakable && r.PageCount > 0) {
            if (ForceNewPage) {
                r.NewPage();
                forced = true;
            } else if (ForceNewColumn) {
                r.NewColumn();
                forced = true;
            }
        }
        if (!forced) {
            const int needed = RptRound(StretchedHeight());
            if (r.PageCount == 0) {
                r.EndColumn(); // the first band begins page 1
            } else if (t != TRptBandType::rbPageFooter && r.AvailableSpace() < needed) {
                // The page is broken once at most: a band that fits no empty page either is
                // printed where it stands.
                const double room = r.Page.Native(TRptPage::LengthIndex) -
                                    (r.Page.Native(TRptPage::BottomMarginIndex) +
                                     r.Page.Native(TRptPage::TopMarginIndex));
                if (needed < room) {
                    r.EndColumn();
                }
            }
        }
        if (KeepOnOnePage && r.AvailableSpace() < PrecalculatedHeight()) {
            r.EndColumn();
        }
        const double height = PreCaluculateBandHeight ? PrecalculatedHeight() : Size.NativeHeight;
        fillBackground(height);
        if (RptRound(Size.NativeToPixels(height)) > 0) {
            printControls(height);
        }
        r.CurrentY += RptRound(height + ExtraHeight);
        ExtraHeight = 0;
    }
    if (AfterPrint) {
        AfterPrint(*this, printBand);
    }
}

// ---- kinds -------------------------------------------------------------------------------------

void TRptBand::SetBandType(TRptBandType type) {
    type_ = type;
    if (ParentReport != nullptr) {
        ParentReport->RebuildBandList();
    }
}

bool TRptChildBand::SetParentBand(TRptCustomBand* band) {
    // Following parents from the new value must not come back here.
    for (TRptCustomBand* b = band; b != nullptr;) {
        if (b == this) {
            return false;
        }
        auto* child = dynamic_cast<TRptChildBand*>(b);
        b = child != nullptr ? child->ParentBand() : nullptr;
    }
    parentBand_ = band;
    if (ParentReport != nullptr) {
        ParentReport->RebuildBandList();
    }
    return true;
}

TRptControllerBand::TRptControllerBand() : controller_(std::make_unique<TRptController>()) {
    controller_->DetailBand = this;
    controller_->Serving = this;
}

TRptControllerBand::~TRptControllerBand() = default;

bool TRptControllerBand::SetMaster(TRptComponent* master) {
    if (master != nullptr && dynamic_cast<TCustomFolioReport*>(master) == nullptr &&
        dynamic_cast<TRptControllerBand*>(master) == nullptr) {
        return false;
    }
    for (auto* m = dynamic_cast<TRptControllerBand*>(master); m != nullptr;
         m = dynamic_cast<TRptControllerBand*>(m->Master())) {
        if (m == this) {
            return false;
        }
    }
    master_ = master;
    controller_->SetMaster(master);
    return true;
}

bool TRptSubDetail::HasHeader() const {
    return const_cast<TRptSubDetail*>(this)->Controller().HeaderBand != nullptr;
}

bool TRptSubDetail::HasFooter() const {
    return const_cast<TRptSubDetail*>(this)->Controller().FooterBand != nullptr;
}

void TRptSubDetail::SetHasHeader(bool has) {
    TRptController& c = Controller();
    if (ParentReport == nullptr || has == (c.HeaderBand != nullptr)) {
        return;
    }
    if (has) {
        c.HeaderBand = &ParentReport->AddBand<TRptBand>(TRptBandType::rbGroupHeader);
    } else {
        TRptCustomBand* b = c.HeaderBand;
        c.HeaderBand = nullptr;
        ParentReport->RemoveBand(*b);
    }
}

void TRptSubDetail::SetHasFooter(bool has) {
    TRptController& c = Controller();
    if (ParentReport == nullptr || has == (c.FooterBand != nullptr)) {
        return;
    }
    if (has) {
        c.FooterBand = &ParentReport->AddBand<TRptBand>(TRptBandType::rbGroupFooter);
    } else {
        TRptCustomBand* b = c.FooterBand;
        c.FooterBand = nullptr;
        ParentReport->RemoveBand(*b);
    }
}
