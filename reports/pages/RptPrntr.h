// The printer object between a report run and its output. A run asks it for a canvas per page:
// for the preview the canvas records a metafile that goes into the page store, for printing it is
// the printer's own canvas. It converts report positions (tenths of a millimetre) into device
// pixels, counts pages, reports progress to the progress window or the preview by posted
// messages (1024 percent, 1025 pages done; 1026 asks the report to print, 1028 says the preview
// closed), prints stored pages, and loads and saves page files.
//
// TPrinterSettings is its bridge to the printer: it reads the printer's capabilities and device
// mode and writes the report's wishes back into it. TFolioReportPrinterSettings is the report's
// published set of the same wishes.
//
// Metafile pages are made for the fixed 96-dpi reference device, so a page is the same on every
// machine. A printer's canvas starts at the corner of its printable area; LeftOffset and
// TopOffset are that corner's distance from the sheet's and are subtracted from every position.
#pragma once

#include "platform/emf/MetafileCanvas.h"
#include "platform/print/Printer.h"
#include "platform/ui/Messages.h"
#include "reports/pages/RptPageStore.h"
#include "reports/pages/RptPapers.h"
#include "reports/pages/RptPreviewOptions.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TRptPrinter;

constexpr unsigned RPT_MSG_PROGRESS = platform::ui::WM_USER;           // 1024, wParam percent
constexpr unsigned RPT_MSG_PAGES_DONE = platform::ui::WM_USER + 1;     // 1025, wParam pages
constexpr unsigned RPT_MSG_PRINT = platform::ui::WM_USER + 2;          // 1026
constexpr unsigned RPT_MSG_PREVIEW_CLOSED = platform::ui::WM_USER + 4; // 1028, lParam printer

// Pixels per tenth of a millimetre on the 96-dpi reference device.
constexpr double kReferenceFactor = 96.0 / 254.0;
// The factor a printer falls back to when it reports less than 0.1 pixel per tenth of a mm.
constexpr double kFallbackFactor = 0.37795;

enum class TRptOrientation { poPortrait, poLandscape };

class TFolioReportPrinterSettings {
public:
    int Copies = 1;
    TRptBin OutputBin = TRptBin::Auto;
    bool Duplex = false;
    std::int32_t FirstPage = 0;
    std::int32_t LastPage = 0;
    bool UseStandardprinter = false;
    bool UseCustomBinCode = false;
    int CustomBinCode = 0;
    int ExtendedDuplex = 0;
    bool UseCustomPaperCode = false;
    int CustomPaperCode = 0;
    bool PrintMetaFile = false;
    std::int32_t MemoryLimit = 250000;
    int PrintQuality = 0;
    int Collate = 0;
    int ColorOption = 0;
    // Not published: -1 is the system's default printer.
    int PrinterIndex = -1;
};

class TPrinterSettings {
public:
    // Asked before the settings read a printer; may take over by setting handled.
    std::function<void(TPrinterSettings& sender, bool& handled)> OnGetPrinterSettings;
    // Asked with the device mode before it goes to the printer; handled keeps it from the
    // printer.
    std::function<void(TPrinterSettings& sender, bool& handled, platform::print::DeviceMode& mode)>
        OnApplyPrinterSettings;

    std::string Device, Driver, Port;
    int Copies = 1;
    bool Duplex = false;
    int ExtendedDuplex = 0;
    TRptBin OutputBin = TRptBin::Auto;
    TRptPaperSize PaperSize = TRptPaperSize::A4;
    TRptOrientation Orientation = TRptOrientation::poPortrait;
    std::int32_t PaperWidth = 0; // tenths of a millimetre, for the custom size
    std::int32_t PaperLength = 0;
    int PrintQuality = 0;
    int Collate = 0;
    int ColorOption = 0;
    bool UseCustomBinCode = false;
    int CustomBinCode = 0;
    bool UseCustomPaperCode = false;
    int CustomPaperCode = 0;
    bool UseStandardprinter = false;
    bool PrintMetaFile = false;
    std::int32_t MemoryLimit = 250000;
    std::int32_t FirstPage = 0;
    std::int32_t LastPage = 0;
    int XResolution = 0; // pixels per inch
    int YResolution = 0;
    std::int32_t LeftOffset = 0; // tenths of a millimetre
    std::int32_t TopOffset = 0;
    std::int32_t PhysicalWidth = 0; // tenths of a millimetre, as the printer reports
    std::int32_t PhysicalLength = 0;
    // Empty: the printer takes any size.
    std::vector<TRptPaperSize> SupportedPapers;

    // The printer read from and written to (not owned); nullptr without printers.
    platform::print::Printer* Printer = nullptr;

    void ReadFromPrinter();
    void ApplyToPrinter();
    // The setters take a value only when the printer supports the field (a paper size: when
    // it takes that size; Default always).
    void SetCopies(int copies);
    void SetOrientation(TRptOrientation orientation);
    void SetDuplex(bool duplex);
    void SetOutputBin(TRptBin bin);
    void SetPaperSize(TRptPaperSize size);
    bool SupportsPaper(TRptPaperSize size) const;

private:
    platform::print::PrinterCapabilities caps_;
};

// What the printer object needs of the report that made it.
class TRptReportLink {
public:
    virtual ~TRptReportLink() = default;
    virtual const TFolioReportPrinterSettings& ReportPrinterSettings() const = 0;
    // The report's window: it receives the print request (1026).
    virtual platform::ui::MessageTarget* ReportWindow() = 0;
    // How the report wants its preview window; nothing for a report without such wishes (the
    // window then opens maximised with thumbnails, search and 100 %).
    virtual const TRptPreviewOptions* PreviewOptions() const { return nullptr; }
};

// The preview the printer object shows when no preview handler is set (the standard preview
// registers itself here).
using TRptPreviewFactory = std::function<void(TRptPrinter& printer)>;
void RegisterPreview(TRptPreviewFactory factory);
// Closes the preview's window of a printer object that goes while its preview is shown (a run
// that failed half way), so no window is left showing a printer object that is gone.
void RegisterPreviewCloser(TRptPreviewFactory closer);

class TRptPrinter {
public:
    enum { Ready = 0, Busy = 1, Finished = 2 };
    enum { ToMetafile = 0, ToPrinter = 1 };

    explicit TRptPrinter(TRptReportLink* parentReport = nullptr);
    ~TRptPrinter();
    TRptPrinter(const TRptPrinter&) = delete;
    TRptPrinter& operator=(const TRptPrinter&) = delete;

    TRptReportLink* ParentReport = nullptr;
    TPrinterSettings Settings;
    int Destination = ToMetafile;
    int Status = Ready;
    bool Cancelled = false;
    bool ShowingPreview = false;
    bool ReportGenerated = false;
    bool PrintersAvailable = false;
    // A page file was loaded into this printer object (the preview asks).
    bool FileLoaded = false;
    std::int32_t PageCount = 0;
    std::int32_t PageNumber = 0;
    std::int32_t FirstPage = 0;
    std::int32_t LastPage = 0;
    std::int32_t LeftOffset = 0;
    std::int32_t TopOffset = 0;
    double XFactor = kFallbackFactor;
    double YFactor = kFallbackFactor;
    std::string Title;
    // Receives 1024 and 1025: the progress window or the preview.
    platform::ui::MessageTarget* MessageReceiver = nullptr;
    // Receives 1028 when the preview closes.
    platform::ui::MessageTarget* PreviewClosedReceiver = nullptr;
    bool Compression = false;

    std::function<void(TRptPrinter&)> OnAfterPrint;
    std::function<void(TRptPrinter&)> OnAfterPreview;
    std::function<void(TRptPrinter&)> OnPrintSetup;
    std::function<void(TRptPrinter&)> OnExport;
    std::function<void(TRptPrinter&)> OnPreview;

    platform::print::Printer* Printer() const { return printer_.get(); }
    TRptPageList& PageList() { return pageList_; }
    std::int32_t Progress() const { return progress_; }
    // Posts 1024 with the percent to the message receiver.
    void SetProgress(std::int32_t percent);

    void BeginDoc();
    void NewPage();
    void EndDoc();
    void AbortDoc();
    void Cancel() { Cancelled = true; }
    // Back to ready: a busy run is cancelled, the pages go.
    void CleanUp();
    // The canvas of the page in hand; throws ERptError without one.
    platform::gfx::TCanvas& Canvas();

    int XPos(double v) const;
    int YPos(double v) const;
    int XSize(double v) const;
    int YSize(double v) const;
    // Tenths of a millimetre, after orientation.
    double PaperWidth() const;
    double PaperLength() const;

    std::unique_ptr<platform::emf::Metafile> GetPage(std::int32_t pageNumber);
    void Preview();
    void Print();
    void Load(const std::filesystem::path& fileName);
    void Save(const std::filesystem::path& fileName);
    void ClosePreview();
    // Selects a printer of the system (only with printers available and not the standard one).
    void SetPrinterIndex(int index);
    int PrinterIndex() const { return printerIndex_; }

private:
    void postToReceiver(unsigned msg, std::intptr_t wParam);
    void closeMetafilePage(bool keep);
    bool inRange() const;
    double factorOf(int dpi) const;
    void usePrinterFactors();
    void portraitPaper(double& w, double& l) const;

    std::unique_ptr<platform::print::Printer> printer_;
    TRptPageList pageList_;
    std::int32_t progress_ = 0;
    int printerIndex_ = -1;
    std::unique_ptr<platform::emf::MetafileCanvas> page_;
    bool printerPage_ = false; // the page in hand is the printer's
    bool jobStarted_ = false;
    // Page size from a loaded file (tenths of a millimetre), when detection found none.
    double loadedWidth_ = 0;
    double loadedLength_ = 0;
};
