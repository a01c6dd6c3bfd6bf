// The common base of a report and its bands: a panel with a frame, a zoom, a background colour
// and the printable controls placed on it (owned, in control order). Report objects are plain
// objects with names, never windows: their layout forms are never shown.
#pragma once

#include "platform/gfx/Canvas.h"
#include "reports/engine/RptUnits.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TRptPrintable;
class TCustomFolioReport;

class TRptComponent {
public:
    virtual ~TRptComponent() = default;
    std::string Name;
};

// Anything that owns named components and can say whether a name is taken.
class TRptComponentOwner {
public:
    virtual ~TRptComponentOwner() = default;
    virtual bool HasComponent(std::string_view name) const = 0;
};

// The prefix followed by the smallest N >= 1 that names no component of the owner.
std::string GetUniqueName(const TRptComponentOwner& owner, std::string_view prefix);

class TRptBasePanel : public TRptComponent {
public:
    TRptBasePanel();
    ~TRptBasePanel() override;

    // The absolute font size character units of the ruler refer to.
    int RulerFontSize = 12;
    TRptFrame Frame;
    platform::gfx::TColor Color = platform::gfx::clWhite;
    bool Enabled = true;
    platform::gfx::TFont Font;

    int Zoom() const { return zoom_; }
    // 0 is ignored; otherwise every printable on the panel takes the zoom too.
    virtual void SetZoom(int zoom);

    // The report the panel belongs to (itself for a report), or none.
    virtual TCustomFolioReport* OwnerReport() = 0;
    // The unit base whose units and zoom printables placed here take.
    virtual TRptUnitBase& UnitBase() = 0;
    // Width in pixels of the reference device at the panel's zoom.
    virtual int PixelWidth() = 0;
    virtual bool IsBand() const { return false; }

    // Places a printable that is on no panel (see TRptPrintable::MoveTo for moving one).
    TRptPrintable& Insert(std::unique_ptr<TRptPrintable> printable);
    template <class T> T& Add() { return static_cast<T&>(Insert(std::make_unique<T>())); }
    // Takes a printable off the panel; nullptr when it is not here.
    std::unique_ptr<TRptPrintable> Remove(TRptPrintable& printable);
    const std::vector<std::unique_ptr<TRptPrintable>>& Printables() const { return printables_; }

    // Before-print and after-print of every printable on the panel.
    void BeforePrintControls();
    void AfterPrintControls();

    // Screen drawing of the panel's client area: its colour, silver when disabled.
    void PaintBackground(platform::gfx::TCanvas& canvas, const platform::gfx::TRect& client) const;

private:
    int zoom_ = 100;
    std::vector<std::unique_ptr<TRptPrintable>> printables_;
};
