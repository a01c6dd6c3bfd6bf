#include "reports/pages/RptPrntr.h"

#include "platform/emf/MetafilePlayer.h"
#include "platform/ui/MessageBox.h"
#include "reports/pages/RptError.h"
#include "reports/pages/RptProgressForm.h"
#include "reports/pages/RptTexts.h"

#include <algorithm>
#include <climits>
#include <cmath>

using platform::print::DeviceMode;
using namespace platform::print;

namespace {

TRptPreviewFactory& registeredPreview() {
    static TRptPreviewFactory factory;
    return factory;
}

TRptPreviewFactory& registeredCloser() {
    static TRptPreviewFactory closer;
    return closer;
}

int roundToInt(double v) {
    if (!std::isfinite(v)) {
        return 0;
    }
    return int(std::nearbyint(std::clamp(v, double(INT_MIN / 2), double(INT_MAX / 2))));
}

// Pixels of a device with `dpi` pixels per inch to tenths of a millimetre.
std::int32_t tenthsOf(int pixels, int dpi) {
    return dpi > 0 ? roundToInt(double(pixels) / dpi * 254.0) : 0;
}

} // namespace

void RegisterPreview(TRptPreviewFactory factory) {
    registeredPreview() = std::move(factory);
}

void RegisterPreviewCloser(TRptPreviewFactory closer) {
    registeredCloser() = std::move(closer);
}

// ---- printer settings ---------------------------------------------------------------------------

bool TPrinterSettings::SupportsPaper(TRptPaperSize size) const {
    if (size == TRptPaperSize::Default || SupportedPapers.empty()) {
        return true;
    }
    return std::find(SupportedPapers.begin(), SupportedPapers.end(), size) != SupportedPapers.end();
}

void TPrinterSettings::ReadFromPrinter() {
    if (Printer == nullptr) {
        return;
    }
    if (OnGetPrinterSettings) {
        bool handled = false;
        OnGetPrinterSettings(*this, handled);
        if (handled) {
            return;
        }
    }
    caps_ = Printer->Capabilities();
    const DeviceMode mode = Printer->GetDeviceMode();
    Device = Printer->Name();
    XResolution = caps_.dpiX;
    YResolution = caps_.dpiY;
    Copies = caps_.copies ? mode.copies : 1;
    OutputBin = (mode.fields & DM_DEFAULTSOURCE) ? BinOfCode(mode.defaultSource) : TRptBin::First;
    if (caps_.duplex) {
        Duplex = mode.duplex != DMDUP_SIMPLEX;
        ExtendedDuplex = mode.duplex;
    }
    LeftOffset = tenthsOf(caps_.offsetX, caps_.dpiX);
    TopOffset = tenthsOf(caps_.offsetY, caps_.dpiY);
    PaperSize = PaperSizeOfDimensions(mode.paper.width, mode.paper.length);
    Orientation = mode.orientation == DMORIENT_LANDSCAPE ? TRptOrientation::poLandscape
                                                         : TRptOrientation::poPortrait;
    PhysicalWidth = tenthsOf(caps_.physicalWidth, caps_.dpiX);
    PhysicalLength = tenthsOf(caps_.physicalHeight, caps_.dpiY);
    SupportedPapers.clear();
    for (const auto& p : caps_.papers) {
        const TRptPaperSize s = PaperSizeOfDimensions(p.width, p.length);
        if (s != TRptPaperSize::Default) {
            SupportedPapers.push_back(s);
        }
    }
    if (!caps_.papers.empty() && SupportedPapers.empty()) {
        SupportedPapers.push_back(TRptPaperSize::Default);
    }
    PrintQuality = mode.printQuality;
    Collate = mode.collate;
    ColorOption = mode.color;
}

void TPrinterSettings::ApplyToPrinter() {
    if (Printer == nullptr) {
        return;
    }
    caps_ = Printer->Capabilities();
    DeviceMode m = Printer->GetDeviceMode();
    m.fields = DM_PAPERLENGTH | DM_PAPERWIDTH;
    if (PaperSize == TRptPaperSize::Custom) {
        m.paper = {PaperWidth / 10.0, PaperLength / 10.0};
    }
    if (PaperSize != TRptPaperSize::Default) {
        m.fields |= DM_PAPERSIZE;
        m.paperCode = UseCustomPaperCode ? CustomPaperCode : PaperCode(PaperSize);
        if (PaperSize != TRptPaperSize::Custom) {
            const TPaperDimensions d = PaperDimensions(PaperSize);
            m.paper = {d.Width, d.Length};
        }
    }
    m.fields |= DM_COPIES;
    m.copies = Copies;
    if (caps_.duplex) {
        m.fields |= DM_DUPLEX;
        m.duplex = ExtendedDuplex != 0 ? ExtendedDuplex : Duplex ? DMDUP_HORIZONTAL : DMDUP_SIMPLEX;
    }
    m.fields |= DM_DEFAULTSOURCE;
    m.defaultSource = UseCustomBinCode ? CustomBinCode : BinCode(OutputBin);
    m.fields |= DM_ORIENTATION;
    m.orientation =
        Orientation == TRptOrientation::poLandscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
    if (caps_.collate) {
        m.fields |= DM_COLLATE;
        m.collate = Collate;
    }
    if (caps_.quality) {
        m.fields |= DM_PRINTQUALITY;
        m.printQuality = PrintQuality;
    }
    if (caps_.color) {
        m.fields |= DM_COLOR;
        m.color = ColorOption;
    }
    bool handled = false;
    if (OnApplyPrinterSettings) {
        OnApplyPrinterSettings(*this, handled, m);
    }
    if (!handled) {
        Printer->SetDeviceMode(m);
    }
}

void TPrinterSettings::SetCopies(int copies) {
    if (Printer != nullptr && Printer->Capabilities().copies) {
        Copies = copies;
    }
}

void TPrinterSettings::SetOrientation(TRptOrientation orientation) {
    if (Printer != nullptr && Printer->Capabilities().orientation) {
        Orientation = orientation;
    }
}

void TPrinterSettings::SetDuplex(bool duplex) {
    if (Printer != nullptr && Printer->Capabilities().duplex) {
        Duplex = duplex;
    }
}

void TPrinterSettings::SetOutputBin(TRptBin bin) {
    if (Printer != nullptr && Printer->Capabilities().bins) {
        OutputBin = bin;
    }
}

void TPrinterSettings::SetPaperSize(TRptPaperSize size) {
    if (size == TRptPaperSize::Default || (Printer != nullptr && SupportsPaper(size))) {
        PaperSize = size;
    }
}

// ---- printer object -----------------------------------------------------------------------------

TRptPrinter::TRptPrinter(TRptReportLink* parentReport) : ParentReport(parentReport) {
    // The printer list, not a printer object's validity, says whether there are printers.
    PrintSystem& system = printSystem();
    const std::vector<std::string> names = system.PrinterNames();
    PrintersAvailable = !names.empty();
    if (ParentReport != nullptr) {
        const TFolioReportPrinterSettings& s = ParentReport->ReportPrinterSettings();
        Settings.UseStandardprinter = s.UseStandardprinter;
        Settings.MemoryLimit = s.MemoryLimit;
    }
    if (PrintersAvailable) {
        printer_ = system.CreatePrinter(std::string());
        printerIndex_ = system.DefaultPrinterIndex();
        Settings.Printer = printer_.get();
        Settings.ReadFromPrinter();
    }
    TopOffset = Settings.TopOffset;
    LeftOffset = Settings.LeftOffset;
    Status = Ready;
}

TRptPrinter::~TRptPrinter() {
    if (ShowingPreview && registeredCloser()) {
        registeredCloser()(*this);
    }
    CleanUp();
}

void TRptPrinter::SetPrinterIndex(int index) {
    if (!PrintersAvailable || Settings.UseStandardprinter) {
        return;
    }
    PrintSystem& system = printSystem();
    const std::vector<std::string> names = system.PrinterNames();
    if (index < 0 || std::size_t(index) >= names.size()) {
        return; // only a valid index is taken
    }
    auto p = system.CreatePrinter(names[std::size_t(index)]);
    if (!p) {
        return;
    }
    p->ResetDeviceMode();
    printer_ = std::move(p);
    printerIndex_ = index;
    Settings.Printer = printer_.get();
    Settings.ReadFromPrinter();
}

void TRptPrinter::postToReceiver(unsigned msg, std::intptr_t wParam) {
    platform::ui::PostMessage(MessageReceiver, msg, wParam, 0);
}

void TRptPrinter::SetProgress(std::int32_t percent) {
    progress_ = percent;
    postToReceiver(RPT_MSG_PROGRESS, percent);
}

double TRptPrinter::factorOf(int dpi) const {
    const double f = dpi / 254.0;
    return f < 0.1 ? kFallbackFactor : f;
}

void TRptPrinter::usePrinterFactors() {
    const PrinterCapabilities c = printer_ ? printer_->Capabilities() : PrinterCapabilities{};
    XFactor = factorOf(c.dpiX);
    YFactor = factorOf(c.dpiY);
}

void TRptPrinter::BeginDoc() {
    if (Status != Ready) {
        throw ERptError(RptText(rtxtPrinterNotReady));
    }
    PageNumber = 0;
    progress_ = 0;
    Cancelled = false;
    jobStarted_ = false;
    if (Destination == ToPrinter && printer_) {
        Settings.ApplyToPrinter();
        Settings.ReadFromPrinter();
        LeftOffset = Settings.LeftOffset;
        TopOffset = Settings.TopOffset;
    }
    PageCount = 0;
    Status = Busy;
    if (Destination == ToMetafile) {
        // Pages for the store are whole sheets: no unprintable margins.
        LeftOffset = TopOffset = 0;
        pageList_.SetStream(std::make_unique<TRptStream>(Settings.MemoryLimit));
        pageList_.PageCount = 0;
        pageList_.Compression = Compression;
        XFactor = YFactor = kReferenceFactor;
    } else {
        usePrinterFactors();
    }
}

bool TRptPrinter::inRange() const {
    return (FirstPage == 0 || PageCount >= FirstPage) && (LastPage == 0 || PageCount <= LastPage);
}

void TRptPrinter::closeMetafilePage(bool keep) {
    if (!page_) {
        return;
    }
    const platform::emf::Metafile mf = page_->Close();
    page_.reset();
    if (keep) {
        pageList_.AddPage(mf);
    }
}

void TRptPrinter::NewPage() {
    if (Status != Busy) {
        throw ERptError(RptText(rtxtIllegalNewPage));
    }
    const bool hadPage = page_ != nullptr || printerPage_;
    if (hadPage) {
        if (Destination == ToMetafile) {
            closeMetafilePage(true);
        } else if (!printerPage_) {
            closeMetafilePage(false); // a page outside the range is thrown away
        } else if (PageCount != LastPage) {
            printer_->NewPage(); // ends this page and begins the printer's next
        }
    }
    if (PageCount > 0) {
        ++PageNumber;
        postToReceiver(RPT_MSG_PAGES_DONE, PageNumber);
    }
    ++PageCount;
    const bool printed = Destination == ToPrinter && printer_ && inRange();
    if (Destination == ToPrinter) {
        usePrinterFactors();
    } else {
        XFactor = YFactor = kReferenceFactor;
    }
    if (!printed) {
        // A metafile page, or a printer page outside the range drawn into a throw-away one.
        printerPage_ = false;
        page_ = std::make_unique<platform::emf::MetafileCanvas>(XSize(PaperWidth()),
                                                                YSize(PaperLength()));
        return;
    }
    if (!jobStarted_) {
        // The job begins with its first printed page, so a run that prints nothing starts none.
        printer_->BeginDoc(Title);
        jobStarted_ = true;
    }
    printerPage_ = true;
}

void TRptPrinter::EndDoc() {
    if (Status != Busy) {
        return;
    }
    if (Destination == ToPrinter) {
        closeMetafilePage(false);
        if (printer_ && printer_->Printing()) {
            printer_->EndDoc();
        }
        printerPage_ = false;
    } else if (page_) {
        closeMetafilePage(true);
    }
    Status = Finished;
    ++PageNumber;
    postToReceiver(RPT_MSG_PAGES_DONE, PageNumber);
    platform::ui::ProcessMessages();
    if (Destination == ToMetafile && pageList_.Stream() != nullptr) {
        pageList_.WriteFileHeader();
    } else if (Destination == ToPrinter && OnAfterPrint) {
        OnAfterPrint(*this);
    }
}

void TRptPrinter::AbortDoc() {
    if (Destination == ToPrinter) {
        closeMetafilePage(false);
        if (printer_ && printer_->Printing()) {
            printer_->AbortDoc();
        }
        printerPage_ = false;
    } else if (page_) {
        closeMetafilePage(pageList_.Stream() != nullptr);
    }
    Status = Finished;
}

void TRptPrinter::CleanUp() {
    if (Status == Busy) {
        Cancelled = true;
        AbortDoc();
    }
    page_.reset();
    pageList_.SetStream(nullptr);
    pageList_.PageCount = 0;
    PageCount = 0;
    Status = Ready;
}

platform::gfx::TCanvas& TRptPrinter::Canvas() {
    if (page_) {
        return *page_;
    }
    if (printerPage_ && printer_ && printer_->Printing()) {
        return printer_->Canvas();
    }
    throw ERptError(RptText(rtxtPrinterNotReady));
}

int TRptPrinter::XPos(double v) const {
    return roundToInt((v - LeftOffset) * XFactor);
}
int TRptPrinter::YPos(double v) const {
    return roundToInt((v - TopOffset) * YFactor);
}
int TRptPrinter::XSize(double v) const {
    return roundToInt(v * XFactor);
}
int TRptPrinter::YSize(double v) const {
    return roundToInt(v * YFactor);
}

void TRptPrinter::portraitPaper(double& w, double& l) const {
    const TPaperDimensions d = PaperDimensions(Settings.PaperSize);
    if (d.Width > 0) {
        w = d.Width * 10;
        l = d.Length * 10;
    } else if (Settings.PaperSize == TRptPaperSize::Custom && Settings.PaperWidth > 0 &&
               Settings.PaperLength > 0) {
        w = Settings.PaperWidth;
        l = Settings.PaperLength;
    } else if (loadedWidth_ > 0 && loadedLength_ > 0) {
        w = loadedWidth_;
        l = loadedLength_;
    } else if (Settings.PhysicalWidth > 0 && Settings.PhysicalLength > 0) {
        // The printer reports the sheet as it lies; table sizes are portrait.
        const bool landscape = Settings.Orientation == TRptOrientation::poLandscape;
        w = landscape ? Settings.PhysicalLength : Settings.PhysicalWidth;
        l = landscape ? Settings.PhysicalWidth : Settings.PhysicalLength;
    } else {
        w = 2100; // no printer reports a size: A4
        l = 2970;
    }
}

double TRptPrinter::PaperWidth() const {
    double w = 0;
    double l = 0;
    portraitPaper(w, l);
    return Settings.Orientation == TRptOrientation::poLandscape ? l : w;
}

double TRptPrinter::PaperLength() const {
    double w = 0;
    double l = 0;
    portraitPaper(w, l);
    return Settings.Orientation == TRptOrientation::poLandscape ? w : l;
}

std::unique_ptr<platform::emf::Metafile> TRptPrinter::GetPage(std::int32_t pageNumber) {
    if ((Status != Busy && Status != Finished) || pageNumber < 1 || pageNumber > PageCount) {
        return nullptr;
    }
    return pageList_.GetPage(pageNumber);
}

void TRptPrinter::Preview() {
    if (OnPreview) {
        OnPreview(*this);
    } else if (registeredPreview()) {
        ShowingPreview = true;
        registeredPreview()(*this);
    }
}

void TRptPrinter::Print() {
    if (ParentReport != nullptr && !ReportGenerated && !Settings.PrintMetaFile &&
        Status == Finished) {
        platform::ui::PostMessage(ParentReport->ReportWindow(), RPT_MSG_PRINT, 0, 0);
        return;
    }
    if (Status != Finished) {
        return;
    }
    if (!PrintersAvailable || !printer_) {
        platform::ui::messageBoxes().show(RptText(rtxtNoPrinter), Title,
                                          platform::ui::MessageIcon::Error,
                                          platform::ui::MessageButtons::Ok);
        return;
    }
    if (printer_->Printing()) {
        printer_->AbortDoc();
    }
    // The range first: a job begun without pages would print a blank sheet.
    const std::int32_t from = std::max(1, FirstPage != 0 ? FirstPage : 1);
    const std::int32_t to = std::min(PageCount, LastPage != 0 ? LastPage : PageCount);
    if (from > to) {
        return;
    }
    Settings.ApplyToPrinter();
    Settings.ReadFromPrinter();
    const std::int32_t left = Settings.LeftOffset;
    const std::int32_t top = Settings.TopOffset;
    const PrinterCapabilities caps = printer_->Capabilities();
    const double fx = factorOf(caps.dpiX);
    const double fy = factorOf(caps.dpiY);
    TRptProgressForm progress;
    progress.RptPrinter = this;
    platform::ui::MessageTarget* previousReceiver = MessageReceiver;
    MessageReceiver = &progress;
    progress.show();
    Cancelled = false;
    printer_->BeginDoc(Title);
    const std::int32_t count = to - from + 1;
    for (std::int32_t n = from; n <= to; ++n) {
        if (n > from) {
            printer_->NewPage();
        }
        std::unique_ptr<platform::emf::Metafile> page;
        try {
            page = pageList_.GetPage(n);
        } catch (...) {
            // A page that cannot be read ends the job: no printout with a page missing.
            printer_->AbortDoc();
            MessageReceiver = previousReceiver;
            throw;
        }
        if (page) {
            const double w = PaperWidth();
            const double l = PaperLength();
            const platform::gfx::TRect dest{roundToInt(-left * fx), roundToInt(-top * fy),
                                            roundToInt((w - left) * fx),
                                            roundToInt((l - top) * fy)};
            platform::emf::playMetafile(*page, printer_->Canvas(), dest);
        }
        SetProgress(std::int32_t((n - from + 1) * 100 / count));
        platform::ui::ProcessMessages();
        if (Cancelled) {
            printer_->AbortDoc();
            MessageReceiver = previousReceiver;
            return;
        }
    }
    printer_->EndDoc();
    MessageReceiver = previousReceiver;
    if (OnAfterPrint) {
        OnAfterPrint(*this);
    }
}

void TRptPrinter::Load(const std::filesystem::path& fileName) {
    // Read first: a refused file leaves the pages shown as they were.
    TRptPageList loaded;
    loaded.LoadFromFile(fileName);
    CleanUp();
    pageList_.SetStream(loaded.TakeStream());
    pageList_.PageCount = loaded.PageCount;
    pageList_.Compression = loaded.Compression;
    PageCount = pageList_.PageCount;
    XFactor = YFactor = kReferenceFactor;
    loadedWidth_ = loadedLength_ = 0;
    if (PageCount >= 1) {
        const auto first = pageList_.GetPage(1);
        // The page's size in millimetres against the first 26 sizes, within 1 mm: the first
        // that fits wins, lying either way round.
        const double wMm = first->Width() / kReferenceFactor / 10.0;
        const double lMm = first->Height() / kReferenceFactor / 10.0;
        for (int n = 1; n <= 26; ++n) {
            const TPaperDimensions d = PaperDimensions(TRptPaperSize(n));
            if (std::fabs(d.Width - wMm) <= 1.0 && std::fabs(d.Length - lMm) <= 1.0) {
                Settings.PaperSize = TRptPaperSize(n);
                Settings.Orientation = TRptOrientation::poPortrait;
                break;
            }
            if (std::fabs(d.Length - wMm) <= 1.0 && std::fabs(d.Width - lMm) <= 1.0) {
                Settings.PaperSize = TRptPaperSize(n);
                Settings.Orientation = TRptOrientation::poLandscape;
                break;
            }
            if (n == 26) {
                Settings.PaperSize = TRptPaperSize::Default;
                Settings.Orientation = TRptOrientation::poPortrait;
                loadedWidth_ = first->Frame().Width() / 10.0;
                loadedLength_ = first->Frame().Height() / 10.0;
            }
        }
    }
    Status = Finished;
    OnPrintSetup = nullptr;
    OnExport = nullptr;
    OnPreview = nullptr;
    OnAfterPrint = nullptr;
    ReportGenerated = true;
    FileLoaded = true;
}

void TRptPrinter::Save(const std::filesystem::path& fileName) {
    if (Status == Finished) {
        pageList_.SaveToFile(fileName);
    }
}

void TRptPrinter::ClosePreview() {
    platform::ui::PostMessage(PreviewClosedReceiver, RPT_MSG_PREVIEW_CLOSED, 0,
                              reinterpret_cast<std::intptr_t>(this));
    ShowingPreview = false;
}
