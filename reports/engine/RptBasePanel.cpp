#include "reports/engine/RptBasePanel.h"

#include "reports/engine/RptPrintable.h"

#include <algorithm>

std::string GetUniqueName(const TRptComponentOwner& owner, std::string_view prefix) {
    for (int n = 1;; ++n) {
        std::string name = std::string(prefix) + std::to_string(n);
        if (!owner.HasComponent(name)) {
            return name;
        }
    }
}

TRptBasePanel::TRptBasePanel() = default;
TRptBasePanel::~TRptBasePanel() = default;

void TRptBasePanel::SetZoom(int zoom) {
    if (zoom == 0) {
        return;
    }
    zoom_ = zoom;
    for (const auto& p : printables_) {
        p->Size.Zoom = zoom;
    }
}

TRptPrintable& TRptBasePanel::Insert(std::unique_ptr<TRptPrintable> printable) {
    TRptPrintable& p = *printable;
    printables_.push_back(std::move(printable));
    p.SetParent(this);
    return p;
}

std::unique_ptr<TRptPrintable> TRptBasePanel::Remove(TRptPrintable& printable) {
    const auto it = std::find_if(printables_.begin(), printables_.end(),
                                 [&](const auto& p) { return p.get() == &printable; });
    if (it == printables_.end()) {
        return nullptr;
    }
    std::unique_ptr<TRptPrintable> taken = std::move(*it);
    printables_.erase(it);
    taken->ClearParent();
    return taken;
}

void TRptBasePanel::BeforePrintControls() {
    for (const auto& p : printables_) {
        p->BeforePrint();
    }
}

void TRptBasePanel::AfterPrintControls() {
    for (const auto& p : printables_) {
        p->AfterPrint();
    }
}

void TRptBasePanel::PaintBackground(platform::gfx::TCanvas& canvas,
                                    const platform::gfx::TRect& client) const {
    canvas.Brush.Style = platform::gfx::TBrushStyle::bsSolid;
    canvas.Brush.Color = Enabled ? Color : platform::gfx::clSilver;
    canvas.FillRect(client);
    canvas.Brush.Style = platform::gfx::TBrushStyle::bsClear;
}
