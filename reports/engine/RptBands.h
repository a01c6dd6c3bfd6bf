// Bands: the horizontal strips a report prints as a whole (title, page header, detail, summary,
// ...), holding the printable controls. A band prints itself at the report's current position:
// break checks, the room check, its background, its controls in passes while a stretching
// control runs over the page end, its frame and its events. Child bands hang below their parent
// band; a linked band's height counts in the room check.
#pragma once

#include "reports/engine/RptBasePanel.h"

#include <functional>
#include <memory>
#include <optional>

class TRptController;
class TRptChildBand;

enum class TRptBandType {
    rbTitle,
    rbPageHeader,
    rbDetail,
    rbPageFooter,
    rbSummary,
    rbGroupHeader,
    rbGroupFooter,
    rbSubDetail,
    rbColumnHeader,
    rbOverlay,
    rbChild
};

// The engine's display name ("Page Header") and component name stem ("PageHeaderBand").
const char* BandTypeName(TRptBandType type);
const char* BandNameStem(TRptBandType type);

class TRptCustomBand : public TRptBasePanel {
public:
    TRptCustomBand();
    ~TRptCustomBand() override;

    std::function<void(TRptCustomBand& sender, bool bandPrinted)> AfterPrint;
    std::function<void(TRptCustomBand& sender, bool& printBand)> BeforePrint;
    bool AlignToBottom = false;
    bool TransparentBand = false;
    bool ParentFont = true;
    bool ForceNewColumn = false;
    bool ForceNewPage = false;
    bool PreCaluculateBandHeight = false;
    bool KeepOnOnePage = false;
    TRptBandSize Size;

    // The report the band prints on (set when it is added to one).
    TCustomFolioReport* ParentReport = nullptr;
    // Extra height gained by stretching during the print in hand (tenths of a millimetre).
    double ExtraHeight = 0;
    // The band's rectangle on the printer canvas during its print.
    platform::gfx::TRect PrintRect;

    virtual TRptBandType BandType() const = 0;
    // The type the band prints as (a page footer's child prints as a page footer).
    TRptBandType PrintType() const { return printAs_ ? *printAs_ : BandType(); }
    void PrintAs(std::optional<TRptBandType> type) { printAs_ = type; }

    TRptCustomBand* LinkBand() const { return linkBand_; }
    // Refused (false) when following the links from `band` comes back to this band.
    bool SetLinkBand(TRptCustomBand* band);

    int PixelHeight() const;
    void SetPixelHeight(int pixels);
    int PixelWidth() override;
    TCustomFolioReport* OwnerReport() override { return ParentReport; }
    TRptUnitBase& UnitBase() override { return Size; }
    bool IsBand() const override { return true; }
    void SetZoom(int zoom) override;

    TRptChildBand* ChildBand() const;
    bool HasChild() const { return ChildBand() != nullptr; }

    void Print();
    bool CanExpand(double extra) const;
    bool ExpandBand(double extra, platform::gfx::TRect& rect, bool& expanded);
    double StretchedHeight() const;
    double PrecalculatedHeight();

private:
    void printControls(double height);
    void fillBackground(double height);

    TRptCustomBand* linkBand_ = nullptr;
    std::optional<TRptBandType> printAs_;
};

class TRptBand : public TRptCustomBand {
public:
    explicit TRptBand(TRptBandType type = TRptBandType::rbTitle) : type_(type) {}
    TRptBandType BandType() const override { return type_; }
    // Makes the report rebuild its band list.
    void SetBandType(TRptBandType type);

private:
    TRptBandType type_;
};

class TRptChildBand : public TRptCustomBand {
public:
    TRptBandType BandType() const override { return TRptBandType::rbChild; }
    TRptCustomBand* ParentBand() const { return parentBand_; }
    // Refused (false) for a circular chain.
    bool SetParentBand(TRptCustomBand* band);

private:
    TRptCustomBand* parentBand_ = nullptr;
};

// A band with a controller of its own whose detail band it is.
class TRptControllerBand : public TRptCustomBand {
public:
    TRptControllerBand();
    ~TRptControllerBand() override;
    TRptController& Controller() { return *controller_; }
    // The report or another controller band; other kinds are refused.
    TRptComponent* Master() const { return master_; }
    bool SetMaster(TRptComponent* master);

private:
    std::unique_ptr<TRptController> controller_;
    TRptComponent* master_ = nullptr;
};

class TRptSubDetail : public TRptControllerBand {
public:
    TRptBandType BandType() const override { return TRptBandType::rbSubDetail; }
    bool HasHeader() const;
    bool HasFooter() const;
    void SetHasHeader(bool has);
    void SetHasFooter(bool has);
};
