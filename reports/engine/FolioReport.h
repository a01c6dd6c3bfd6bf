// The report: the panel that holds the bands and runs them into a printer object. Print sends
// the pages straight to the printer with a progress window; Preview records them into the page
// store and shows the preview as they arrive, waiting until it closes. Between the two lies one
// run of generation (CreateReport): pages and columns begun lazily as bands need room, page
// headers and footers, page numbers and the environment values, and where the next band goes.
// A run always ends with the report available again and its printer object's document ended or
// aborted, whatever happened inside it.
#pragma once

#include "platform/ui/Messages.h"
#include "reports/engine/RptBands.h"
#include "reports/engine/RptController.h"
#include "reports/engine/RptEval.h"
#include "reports/pages/RptPrntr.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class TRptImage;
class TRptProgressForm;

struct TFolioprintOptions {
    bool FirstPageHeader = true;
    bool LastPageFooter = true;
    bool Compression = false;
};

class TCustomFolioReport;

// The band switches of a report: reading tells whether a band of the type exists, writing true
// creates one, false frees it.
class TFolioReportBands {
public:
    explicit TFolioReportBands(TCustomFolioReport& report) : report_(report) {}
    bool HasTitle() const { return has(TRptBandType::rbTitle); }
    bool HasPageHeader() const { return has(TRptBandType::rbPageHeader); }
    bool HasColumnHeader() const { return has(TRptBandType::rbColumnHeader); }
    bool HasDetail() const { return has(TRptBandType::rbDetail); }
    bool HasPageFooter() const { return has(TRptBandType::rbPageFooter); }
    bool HasSummary() const { return has(TRptBandType::rbSummary); }
    void SetHasTitle(bool v) { set(TRptBandType::rbTitle, v); }
    void SetHasPageHeader(bool v) { set(TRptBandType::rbPageHeader, v); }
    void SetHasColumnHeader(bool v) { set(TRptBandType::rbColumnHeader, v); }
    void SetHasDetail(bool v) { set(TRptBandType::rbDetail, v); }
    void SetHasPageFooter(bool v) { set(TRptBandType::rbPageFooter, v); }
    void SetHasSummary(bool v) { set(TRptBandType::rbSummary, v); }

private:
    bool has(TRptBandType type) const;
    void set(TRptBandType type, bool value);
    TCustomFolioReport& report_;
};

class TCustomFolioReport : public TRptBasePanel,
                           public TRptComponentOwner,
                           public TRptReportLink,
                           public platform::ui::MessageTarget {
public:
    TCustomFolioReport();
    ~TCustomFolioReport() override;

    std::function<void(TCustomFolioReport&)> AfterPrint;
    std::function<void(TCustomFolioReport&)> AfterPreview;
    std::string BackImageControl;
    TFolioReportBands Bands{*this};
    std::function<void(TCustomFolioReport&, bool& printReport)> BeforePrint;
    std::vector<std::string> Description;
    // The report's environment: PAGENUMBER, COLUMNNUMBER and REPORTTITLE, and what the user adds.
    TRptEvEnvironment Functions;
    std::function<void(TCustomFolioReport&)> OnEndPage;
    std::function<void(TCustomFolioReport&)> OnStartPage;
    // Replaces the standard preview window when set.
    std::function<void(TRptPrinter&)> OnPreview;
    TFolioprintOptions Options;
    // Handed to the printer object's settings before a run.
    std::function<void(TPrinterSettings&, bool& handled)> OnGetPrinterSettings;
    std::function<void(TPrinterSettings&, bool& handled, platform::print::DeviceMode&)>
        OnApplyPrinterSettings;
    TRptPage Page;
    TFolioReportPrinterSettings PrinterSettings;
    std::string ReportTitle;
    bool ShowProgress = true;
    bool SnapToGrid = true;
    // The form style of the preview window (3: stays on top).
    int PrevFormStyle = 0;
    TRptPreviewWindowState PreviewInitialState = TRptPreviewWindowState::wsNormal;
    bool PrevShowThumbs = true;
    bool PrevShowSearch = true;
    TRptZoomState PrevInitialZoom = TRptZoomState::rpZoomToFit;
    // The owner's data sets, collected at the start of a run.
    std::vector<TRptDataSet*> OwnerDataSets;
    // Run by the multi-report routines: the last report of a sequence ends its page.
    int Tag = 0;

    int PreviewWidth() const { return previewWidth_ < 1 ? 500 : previewWidth_; }
    int PreviewHeight() const { return previewHeight_ < 1 ? 500 : previewHeight_; }
    void SetPreviewWidth(int v) { previewWidth_ = v; }
    void SetPreviewHeight(int v) { previewHeight_ = v; }

    bool PrintIfEmpty() const { return controller_->PrintIfEmpty; }
    void SetPrintIfEmpty(bool v) { controller_->PrintIfEmpty = v; }
    TRptUnit Units() const { return Page.Units(); }
    // The page, every band and every printable on the report take the units.
    virtual void SetUnits(TRptUnit units);
    // Accepted from 1 to 300.
    void SetZoom(int zoom) override;

    // ---- the bands ---------------------------------------------------------------------------
    // Adds a band of the type (named from its stem) and rebuilds the band list.
    template <class T, class... A> T& AddBand(A&&... args) {
        return static_cast<T&>(addBand(std::make_unique<T>(std::forward<A>(args)...)));
    }
    void RemoveBand(TRptCustomBand& band);
    const std::vector<TRptCustomBand*>& BandList() const { return bandList_; }
    const std::vector<std::unique_ptr<TRptCustomBand>>& AllBands() const { return bands_; }
    TRptCustomBand* FindBand(TRptBandType type) const;
    void RebuildBandList();
    TRptCustomController& Controller() { return *controller_; }

    // ---- run state ---------------------------------------------------------------------------
    TRptPrinter* RptPrinter() const { return printer_.get(); }
    bool Available = true;
    bool Cancelled = false;
    bool FinalPass = false;
    std::int32_t PageCount = 0;
    std::int32_t CurrentColumn = 0;
    std::int32_t CurrentX = 0;
    std::int32_t CurrentY = -1;
    std::int32_t ColumnTop = 0;
    double PageFooterSpace = 0;
    // Set by the controller once its header band printed on the first page.
    bool PageUsed = false;
    // Set when a group broke the page, so the next NewPage only clears it.
    bool GroupBrokePage = false;
    // The first generated page was announced (kept for the design view).
    bool HasDesignPage = false;

    void Print();
    void Preview();
    virtual void CreateReport(bool compositeReport);
    void NewPage();
    void NewColumn();
    void EndColumn();
    void Cancel();
    // Cancelled, also by the printer object (the progress window's Cancel).
    bool RunCancelled();
    int AvailableSpace() const;
    // Places the band (at the bottom with AlignToBottom) and prints it, then its child.
    void PrintBand(TRptCustomBand* band);
    // Text width and height in pixels of the reference device (of the printer, scaled to 96
    // pixels per inch, while printing straight to a printer).
    int TextWidth(const platform::gfx::TFont& font, std::string_view text);
    int TextHeight(const platform::gfx::TFont& font, std::string_view text);

    // ---- component owner, printer link, window -----------------------------------------------
    bool HasComponent(std::string_view name) const override;
    const TFolioReportPrinterSettings& ReportPrinterSettings() const override {
        return PrinterSettings;
    }
    platform::ui::MessageTarget* ReportWindow() override { return this; }
    const TRptPreviewOptions* PreviewOptions() const override;
    void HandleMessage(const platform::ui::Message& message) override;

    TCustomFolioReport* OwnerReport() override { return this; }
    TRptUnitBase& UnitBase() override { return Page; }
    int PixelWidth() override;

protected:
    explicit TCustomFolioReport(std::unique_ptr<TRptCustomController> controller);
    // Hands the report's bands and data to the controller before it runs.
    virtual void setUpController() {}

    std::unique_ptr<TRptCustomController> controller_;

private:
    friend class TFolioReportBands;
    TRptCustomBand& addBand(std::unique_ptr<TRptCustomBand> band);
    void layoutBands();
    void beginPage();
    void endPage();
    void applyPrinterSettings();
    void runReport(bool compositeReport, bool& begun, bool& prepared);
    void finishRun(bool compositeReport, bool failed, bool begun, bool prepared, TRptUnit units);
    std::unique_ptr<TRptPrinter> makePrinter();
    double printableLength() const;

    std::vector<std::unique_ptr<TRptCustomBand>> bands_;
    std::vector<TRptCustomBand*> bandList_;
    std::unique_ptr<TRptPrinter> printer_;
    TRptImage* backImage_ = nullptr;
    mutable TRptPreviewOptions previewOptions_;
    int previewWidth_ = 0;
    int previewHeight_ = 0;
    std::unique_ptr<platform::gfx::TBitmap> measure_;
    // The run's page number, column and title entries, looked up once per run.
    TRptEvEmbeddedFunction* pageNumber_ = nullptr;
    TRptEvEmbeddedFunction* columnNumber_ = nullptr;
    TRptEvEmbeddedFunction* reportTitle_ = nullptr;
};

class TFolioReport : public TCustomFolioReport {
public:
    TFolioReport();
    TRptDataSet* DataSet = nullptr;
    std::function<void(TRptComponent& sender, bool& moreData)> OnNeedData;
    TRptController& DataController() { return static_cast<TRptController&>(*controller_); }

protected:
    void setUpController() override;
};
