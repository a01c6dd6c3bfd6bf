#include "reports/engine/FolioReport.h"

#include "platform/ui/MessageBox.h"
#include "reports/engine/RptControls.h"
#include "reports/engine/RptPrintable.h"
#include "reports/pages/RptProgressForm.h"
#include "reports/pages/RptTexts.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>

using platform::gfx::TFont;

namespace {

// Runs an action when the scope ends, however it ends.
template <class F> class ScopeExit {
public:
    explicit ScopeExit(F f) : f_(std::move(f)) {}
    ~ScopeExit() { f_(); }
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;

private:
    F f_;
};

bool applicationTerminating() {
    return QCoreApplication::instance() != nullptr && QCoreApplication::closingDown();
}

} // namespace

// ---- band switches -----------------------------------------------------------------------------

bool TFolioReportBands::has(TRptBandType type) const {
    return report_.FindBand(type) != nullptr;
}

void TFolioReportBands::set(TRptBandType type, bool value) {
    TRptCustomBand* band = report_.FindBand(type);
    if (value && band == nullptr) {
        report_.AddBand<TRptBand>(type);
    } else if (!value && band != nullptr) {
        report_.RemoveBand(*band);
    }
}

// ---- construction ------------------------------------------------------------------------------

TCustomFolioReport::TCustomFolioReport()
    : TCustomFolioReport(std::make_unique<TRptCustomController>()) {}

TCustomFolioReport::TCustomFolioReport(std::unique_ptr<TRptCustomController> controller)
    : controller_(std::move(controller)) {
    controller_->ParentReport = this;
    controller_->Serving = this;
    controller_->SetMaster(this);
    Font.Name = "Arial";
    Font.SetSize(10);
    Functions.Add("PAGENUMBER", "0");
    Functions.Add("COLUMNNUMBER", "0");
    Functions.Add("REPORTTITLE", "''");
    {
        // Only the default printer's paper is wanted from this printer object.
        TRptPrinter probe;
        if (probe.PrintersAvailable && probe.Settings.PaperSize != TRptPaperSize::Default) {
            Page.SetPaperSize(probe.Settings.PaperSize);
        }
    }
    Page.OnLayoutChanged = [this] { layoutBands(); };
}

TCustomFolioReport::~TCustomFolioReport() {
    Page.OnLayoutChanged = nullptr;
    // Bands refer to each other; they go before the controller that lists them.
    bandList_.clear();
    bands_.clear();
}

TFolioReport::TFolioReport() : TCustomFolioReport(std::make_unique<TRptController>()) {}

void TFolioReport::setUpController() {
    TRptController& c = DataController();
    c.DetailBand = FindBand(TRptBandType::rbDetail);
    c.HeaderBand = FindBand(TRptBandType::rbTitle);
    c.FooterBand = FindBand(TRptBandType::rbSummary);
    c.DataSet = DataSet;
    c.OnNeedData = OnNeedData;
}

// ---- properties --------------------------------------------------------------------------------

void TCustomFolioReport::SetUnits(TRptUnit units) {
    Page.SetUnits(units);
    const auto all = [&](TRptBasePanel& panel) {
        for (const auto& p : panel.Printables()) {
            p->Size.SetUnits(units);
        }
    };
    all(*this);
    for (const auto& b : bands_) {
        b->Size.SetUnits(units);
        all(*b);
    }
}

void TCustomFolioReport::SetZoom(int zoom) {
    if (zoom < 1 || zoom > 300) {
        return;
    }
    TRptBasePanel::SetZoom(zoom);
    Page.Zoom = zoom;
    for (const auto& b : bands_) {
        b->SetZoom(zoom);
    }
}

int TCustomFolioReport::PixelWidth() {
    return RptRound(Page.NativeToPixels(Page.Native(TRptPage::WidthIndex)));
}

bool TCustomFolioReport::HasComponent(std::string_view name) const {
    const auto onPanel = [&](const TRptBasePanel& panel) {
        return std::any_of(panel.Printables().begin(), panel.Printables().end(),
                           [&](const auto& p) { return p->Name == name; });
    };
    if (Name == name || onPanel(*this)) {
        return true;
    }
    return std::any_of(bands_.begin(), bands_.end(),
                       [&](const auto& b) { return b->Name == name || onPanel(*b); });
}

// ---- bands -------------------------------------------------------------------------------------

TRptCustomBand& TCustomFolioReport::addBand(std::unique_ptr<TRptCustomBand> band) {
    TRptCustomBand& b = *band;
    b.ParentReport = this;
    if (b.Name.empty()) {
        b.Name = GetUniqueName(*this, BandNameStem(b.BandType()));
    }
    b.Size.SetUnits(Page.Units());
    b.SetZoom(Zoom());
    if (auto* g = dynamic_cast<TRptGroup*>(&b); g != nullptr && g->Master() == nullptr) {
        g->SetMaster(this);
    }
    bands_.push_back(std::move(band));
    RebuildBandList();
    layoutBands();
    return b;
}

void TCustomFolioReport::RemoveBand(TRptCustomBand& band) {
    const auto it =
        std::find_if(bands_.begin(), bands_.end(), [&](const auto& b) { return b.get() == &band; });
    if (it == bands_.end()) {
        return;
    }
    std::unique_ptr<TRptCustomBand> gone = std::move(*it);
    bands_.erase(it);
    std::erase(bandList_, &band);
    for (const auto& b : bands_) {
        if (b->LinkBand() == &band) {
            b->SetLinkBand(nullptr);
        }
        if (auto* child = dynamic_cast<TRptChildBand*>(b.get());
            child != nullptr && child->ParentBand() == &band) {
            child->SetParentBand(nullptr);
        }
        if (auto* g = dynamic_cast<TRptGroup*>(b.get()); g != nullptr && g->FooterBand() == &band) {
            g->SetFooterBand(nullptr);
        }
    }
    if (auto* c = dynamic_cast<TRptController*>(controller_.get())) {
        for (TRptCustomBand** ref : {&c->DetailBand, &c->HeaderBand, &c->FooterBand}) {
            if (*ref == &band) {
                *ref = nullptr;
            }
        }
    }
    RebuildBandList();
}

TRptCustomBand* TCustomFolioReport::FindBand(TRptBandType type) const {
    for (TRptCustomBand* b : bandList_) {
        if (b->BandType() == type) {
            return b;
        }
    }
    for (const auto& b : bands_) {
        if (b->BandType() == type) {
            return b.get();
        }
    }
    return nullptr;
}

void TCustomFolioReport::RebuildBandList() {
    std::vector<TRptCustomBand*> list;
    const auto add = [&](TRptCustomBand* band) {
        // The band, then its chain of children.
        for (int guard = 0; band != nullptr && guard < 1000; ++guard) {
            if (std::find(list.begin(), list.end(), band) != list.end()) {
                return;
            }
            list.push_back(band);
            band = band->ChildBand();
        }
    };
    const auto addType = [&](TRptBandType type) {
        for (const auto& b : bands_) {
            if (b->BandType() == type) {
                add(b.get());
            }
        }
    };
    addType(TRptBandType::rbPageHeader);
    addType(TRptBandType::rbTitle);
    addType(TRptBandType::rbColumnHeader);
    setUpController();
    controller_->RegisterBands();
    std::vector<TRptCustomBand*> controlled;
    controller_->AddBandsToList(controlled);
    for (TRptCustomBand* b : controlled) {
        add(b);
    }
    addType(TRptBandType::rbPageFooter);
    for (TRptCustomBand* b : bandList_) {
        if (std::any_of(bands_.begin(), bands_.end(),
                        [&](const auto& o) { return o.get() == b; })) {
            if (b->BandType() != TRptBandType::rbChild) {
                add(b);
            }
        }
    }
    for (const auto& b : bands_) {
        if (b->BandType() != TRptBandType::rbChild ||
            static_cast<TRptChildBand*>(b.get())->ParentBand() == nullptr) {
            add(b.get());
        }
    }
    bandList_ = std::move(list);
}

void TCustomFolioReport::layoutBands() {
    const double inner = Page.Native(TRptPage::WidthIndex) -
                         Page.Native(TRptPage::LeftMarginIndex) -
                         Page.Native(TRptPage::RightMarginIndex);
    const int columns = Page.Columns();
    const double column =
        columns > 1 ? std::trunc((inner - Page.Native(TRptPage::ColumnSpaceIndex) * (columns - 1)) /
                                 columns)
                    : inner;
    for (const auto& b : bands_) {
        switch (b->BandType()) {
        case TRptBandType::rbTitle:
        case TRptBandType::rbPageHeader:
        case TRptBandType::rbPageFooter:
        case TRptBandType::rbSummary:
        case TRptBandType::rbOverlay:
            b->Size.NativeWidth = inner;
            break;
        default:
            b->Size.NativeWidth = column;
            break;
        }
    }
}

// ---- printing and previewing -------------------------------------------------------------------

std::unique_ptr<TRptPrinter> TCustomFolioReport::makePrinter() {
    auto p = std::make_unique<TRptPrinter>(this);
    p->OnAfterPrint = [this](TRptPrinter&) {
        if (AfterPrint) {
            AfterPrint(*this);
        }
    };
    return p;
}

void TCustomFolioReport::Print() {
    if (!Available) {
        return;
    }
    std::unique_ptr<TRptPrinter> previous = std::move(printer_);
    std::unique_ptr<TRptProgressForm> progress;
    // The printer object and the progress window go whatever the run did.
    ScopeExit restore([&] {
        if (printer_) {
            printer_->MessageReceiver = nullptr;
        }
        printer_.reset();
        progress.reset();
        printer_ = std::move(previous);
    });
    printer_ = makePrinter();
    if (!printer_->PrintersAvailable) {
        platform::ui::messageBoxes().show(RptText(rtxtNoPrinter), ReportTitle,
                                          platform::ui::MessageIcon::Error,
                                          platform::ui::MessageButtons::Ok);
        return;
    }
    printer_->Destination = TRptPrinter::ToPrinter;
    printer_->Title = ReportTitle;
    progress = std::make_unique<TRptProgressForm>();
    progress->RptPrinter = printer_.get();
    printer_->MessageReceiver = progress.get();
    if (ShowProgress) {
        progress->show();
    }
    CreateReport(false);
}

void TCustomFolioReport::Preview() {
    platform::ui::ProcessMessages();
    if (!Available || (printer_ && printer_->ShowingPreview)) {
        while (printer_ && printer_->ShowingPreview && !applicationTerminating()) {
            platform::ui::WaitMessages();
        }
        return;
    }
    printer_ = makePrinter();
    printer_->Destination = TRptPrinter::ToMetafile;
    printer_->Title = ReportTitle;
    printer_->OnPrintSetup = [](TRptPrinter&) {};
    printer_->PreviewClosedReceiver = this;
    if (OnPreview) {
        printer_->OnPreview = OnPreview;
    }
    applyPrinterSettings();
    printer_->Preview();
    try {
        CreateReport(false);
    } catch (...) {
        printer_.reset();
        throw;
    }
    if (Cancelled || !printer_) {
        printer_.reset();
        return;
    }
    printer_->ReportGenerated = true;
    while (printer_ && printer_->ShowingPreview && !applicationTerminating()) {
        platform::ui::WaitMessages();
    }
}

void TCustomFolioReport::applyPrinterSettings() {
    TRptPrinter& p = *printer_;
    TPrinterSettings& s = p.Settings;
    if (PrinterSettings.PrinterIndex >= 0) {
        p.SetPrinterIndex(PrinterSettings.PrinterIndex);
    }
    // Without a printer the pages still take the report's paper.
    const bool hasPrinter = s.Printer != nullptr;
    if (hasPrinter) {
        s.SetPaperSize(Page.PaperSize());
    } else {
        s.PaperSize = Page.PaperSize();
    }
    if (Page.PaperSize() == TRptPaperSize::Custom) {
        s.PaperWidth = RptRound(Page.Native(TRptPage::WidthIndex));
        s.PaperLength = RptRound(Page.Native(TRptPage::LengthIndex));
    }
    if (hasPrinter) {
        s.SetOrientation(Page.Orientation());
        s.SetCopies(PrinterSettings.Copies);
        s.SetOutputBin(PrinterSettings.OutputBin);
    } else {
        s.Orientation = Page.Orientation();
    }
    p.FirstPage = PrinterSettings.FirstPage;
    p.LastPage = PrinterSettings.LastPage;
    if (hasPrinter) {
        s.SetDuplex(PrinterSettings.Duplex);
    }
    s.UseStandardprinter = PrinterSettings.UseStandardprinter;
    s.PrintMetaFile = PrinterSettings.PrintMetaFile;
    s.UseCustomBinCode = PrinterSettings.UseCustomBinCode;
    s.CustomBinCode = PrinterSettings.CustomBinCode;
    s.UseCustomPaperCode = PrinterSettings.UseCustomPaperCode;
    s.CustomPaperCode = PrinterSettings.CustomPaperCode;
    s.PrintQuality = PrinterSettings.PrintQuality;
    s.Collate = PrinterSettings.Collate;
    s.ColorOption = PrinterSettings.ColorOption;
    s.ExtendedDuplex = PrinterSettings.ExtendedDuplex;
    s.OnApplyPrinterSettings = OnApplyPrinterSettings;
    s.OnGetPrinterSettings = OnGetPrinterSettings;
}

void TCustomFolioReport::CreateReport(bool compositeReport) {
    if (!Available || !printer_) {
        return;
    }
    const auto native = [&](int i) { return Page.Native(i); };
    Page.SaveUnits();
    Page.SetUnits(TRptUnit::Native);
    if (native(TRptPage::WidthIndex) - native(TRptPage::LeftMarginIndex) -
            native(TRptPage::RightMarginIndex) <
        0) {
        Page.SetLeftMargin(0);
        Page.SetRightMargin(0);
    }
    if (native(TRptPage::LengthIndex) - native(TRptPage::TopMarginIndex) -
            native(TRptPage::BottomMarginIndex) <
        0) {
        Page.SetTopMargin(0);
        Page.SetBottomMargin(0);
    }
    Page.RestoreUnits();

    Available = false;
    Cancelled = FinalPass = PageUsed = GroupBrokePage = false;
    backImage_ = nullptr;
    for (const auto& p : Printables()) {
        if (auto* image = dynamic_cast<TRptImage*>(p.get());
            image != nullptr && !BackImageControl.empty() && image->Name == BackImageControl) {
            backImage_ = image;
        }
    }
    bool begun = false;
    bool prepared = false;
    const TRptUnit units = Units();
    try {
        runReport(compositeReport, begun, prepared);
    } catch (...) {
        finishRun(compositeReport, true, begun, prepared, units);
        throw;
    }
    finishRun(compositeReport, false, begun, prepared, units);
}

void TCustomFolioReport::finishRun(bool compositeReport, bool failed, bool begun, bool prepared,
                                   TRptUnit units) {
    // However the run ended: units back, controller unprepared, the document ended (aborted when
    // the run was cancelled or failed) and the report available again.
    ScopeExit available([this] { Available = true; });
    SetUnits(units);
    if (prepared) {
        controller_->Unprepare();
        Functions.Unprepare();
        pageNumber_ = columnNumber_ = reportTitle_ = nullptr;
        AfterPrintControls();
        for (const auto& b : bands_) {
            b->AfterPrintControls();
        }
    }
    if (!begun || !printer_ || compositeReport) {
        return;
    }
    if (!failed && !RunCancelled()) {
        printer_->EndDoc();
        return;
    }
    try {
        printer_->AbortDoc();
    } catch (...) {
        if (!failed) {
            throw;
        }
        // The failure that ended the run is the one the caller hears about.
    }
}

void TCustomFolioReport::runReport(bool compositeReport, bool& begun, bool& prepared) {
    bool printReport = true;
    if (BeforePrint) {
        BeforePrint(*this, printReport);
    }
    if (!printReport) {
        return;
    }
    SetUnits(TRptUnit::Native);
    if (!compositeReport) {
        applyPrinterSettings();
        printer_->Compression = Options.Compression;
        printer_->BeginDoc();
        begun = true;
        CurrentY = -1;
        PageCount = 0;
    } else {
        Page.SetOrientation(printer_->Settings.Orientation);
    }
    CurrentColumn = Page.Columns();
    PageFooterSpace = 0;
    for (TRptCustomBand* b : bandList_) {
        if (b->BandType() == TRptBandType::rbPageFooter && b->Enabled) {
            PageFooterSpace += b->Size.NativeHeight;
            for (TRptCustomBand* c = b->ChildBand(); c != nullptr; c = c->ChildBand()) {
                PageFooterSpace += c->Size.NativeHeight;
            }
        }
    }
    for (const auto& b : bands_) {
        b->ParentReport = this;
    }
    for (const auto& p : Printables()) {
        p->ParentReport = this;
    }
    CurrentX = RptRound(Page.Native(TRptPage::LeftMarginIndex));
    setUpController();
    Functions.Prepare();
    prepared = true;
    pageNumber_ = Functions.Element("PAGENUMBER");
    columnNumber_ = Functions.Element("COLUMNNUMBER");
    reportTitle_ = Functions.Element("REPORTTITLE");
    if (reportTitle_ != nullptr) {
        reportTitle_->SetValue(TRptEvResult::String(ReportTitle));
    }
    controller_->Prepare();
    BeforePrintControls();
    for (const auto& b : bands_) {
        b->BeforePrintControls();
    }
    controller_->Execute();
    if (!compositeReport || Tag == 999) {
        CurrentX = RptRound(Page.Native(TRptPage::LeftMarginIndex));
        FinalPass = true;
        if (!RunCancelled()) {
            endPage();
        }
    }
}

bool TCustomFolioReport::RunCancelled() {
    if (printer_ && printer_->Cancelled) {
        Cancelled = true;
    }
    return Cancelled;
}

void TCustomFolioReport::Cancel() {
    if (Available) {
        return;
    }
    Cancelled = true;
    if (printer_) {
        printer_->Cancel();
    }
}

// ---- pages and columns -------------------------------------------------------------------------

void TCustomFolioReport::beginPage() {
    endPage();
    ++PageCount;
    if (pageNumber_ != nullptr) {
        pageNumber_->SetValue(TRptEvResult::Integer(PageCount));
    }
    printer_->NewPage();
    CurrentY = RptRound(Page.Native(TRptPage::TopMarginIndex));
    if (OnStartPage) {
        OnStartPage(*this);
    }
    if (backImage_ != nullptr) {
        backImage_->PrintBackground();
    }
    if (PageCount > 1 || Options.FirstPageHeader) {
        PrintBand(FindBand(TRptBandType::rbPageHeader));
    }
    ColumnTop = CurrentY;
    if (PageCount == 1) {
        if (TRptCustomBand* title = FindBand(TRptBandType::rbTitle)) {
            ColumnTop = RptRound(ColumnTop + title->Size.NativeHeight);
        }
    } else {
        controller_->CheckReprint();
    }
}

void TCustomFolioReport::endPage() {
    if (PageCount <= 0) {
        return;
    }
    CurrentY = RptRound(Page.Native(TRptPage::LengthIndex) -
                        Page.Native(TRptPage::BottomMarginIndex) - PageFooterSpace);
    CurrentX = RptRound(Page.Native(TRptPage::LeftMarginIndex));
    if (!(FinalPass && !Options.LastPageFooter)) {
        PrintBand(FindBand(TRptBandType::rbPageFooter));
    }
    for (const auto& p : Printables()) {
        if (p.get() != backImage_ && p->ShouldPrint()) {
            p->Print(0, 0);
        }
    }
    TRptPrinter& pr = *printer_;
    const auto native = [&](int i) { return Page.Native(i); };
    Frame.PaintIt(pr.Canvas(),
                  {pr.XPos(native(TRptPage::LeftMarginIndex)),
                   pr.YPos(native(TRptPage::TopMarginIndex)),
                   pr.XPos(native(TRptPage::WidthIndex) - native(TRptPage::RightMarginIndex)),
                   pr.YPos(native(TRptPage::LengthIndex) - native(TRptPage::BottomMarginIndex))},
                  pr.XFactor, pr.YFactor);
    if (OnEndPage) {
        OnEndPage(*this);
    }
}

void TCustomFolioReport::EndColumn() {
    if (CurrentColumn >= Page.Columns()) {
        CurrentColumn = 1;
        CurrentX = RptRound(Page.Native(TRptPage::LeftMarginIndex));
        beginPage();
    } else {
        double width = 0;
        if (TRptCustomBand* detail = FindBand(TRptBandType::rbDetail)) {
            width = detail->Size.NativeWidth;
        } else {
            const int columns = Page.Columns();
            const long long inner = static_cast<long long>(std::trunc(
                Page.Native(TRptPage::WidthIndex) - Page.Native(TRptPage::LeftMarginIndex) -
                Page.Native(TRptPage::RightMarginIndex) -
                Page.Native(TRptPage::ColumnSpaceIndex) * (columns - 1)));
            width = double(inner / columns);
        }
        CurrentX = RptRound(CurrentX + width + Page.Native(TRptPage::ColumnSpaceIndex));
        CurrentY = ColumnTop;
        ++CurrentColumn;
    }
    if (columnNumber_ != nullptr) {
        columnNumber_->SetValue(TRptEvResult::Integer(CurrentColumn));
    }
    if (!(PageCount == 1 && CurrentColumn == 1)) {
        PrintBand(FindBand(TRptBandType::rbColumnHeader));
    }
}

void TCustomFolioReport::NewColumn() {
    if (Available) {
        return;
    }
    if (!PageUsed && CurrentColumn == 1) {
        PageUsed = true;
        return;
    }
    EndColumn();
}

void TCustomFolioReport::NewPage() {
    if (Available) {
        return;
    }
    if (GroupBrokePage) {
        GroupBrokePage = false;
        return;
    }
    do {
        EndColumn();
    } while (CurrentColumn != 1);
}

int TCustomFolioReport::AvailableSpace() const {
    if (Available || CurrentY == -1) {
        return 0;
    }
    // The page's own vertical extent, landscape or not.
    return RptRound(Page.Native(TRptPage::LengthIndex) - Page.Native(TRptPage::BottomMarginIndex) -
                    PageFooterSpace - CurrentY);
}

void TCustomFolioReport::PrintBand(TRptCustomBand* band) {
    if (band == nullptr) {
        return;
    }
    if (band->AlignToBottom) {
        if (band->BandType() == TRptBandType::rbSummary && !Options.LastPageFooter) {
            PageFooterSpace = 0;
        }
        const double length = Page.Native(TRptPage::LengthIndex);
        const double h = band->Size.NativeHeight;
        const double bottom = Page.Native(TRptPage::BottomMarginIndex);
        if (length - CurrentY >= bottom + h + PageFooterSpace) {
            CurrentY = RptRound(length - h - bottom - PageFooterSpace);
        }
    }
    band->Print();
    if (TRptChildBand* child = band->ChildBand()) {
        if (band->PrintType() == TRptBandType::rbPageFooter) {
            child->PrintAs(TRptBandType::rbPageFooter);
        }
        PrintBand(child);
        child->PrintAs(std::nullopt);
    }
}

// ---- text measurement --------------------------------------------------------------------------

int TCustomFolioReport::TextWidth(const TFont& font, std::string_view text) {
    if (printer_ && printer_->Destination == TRptPrinter::ToPrinter &&
        printer_->Status == TRptPrinter::Busy && printer_->Printer() != nullptr &&
        printer_->Printer()->Printing()) {
        platform::gfx::TCanvas& c = printer_->Printer()->Canvas();
        c.Font = font;
        const int dpi = printer_->Printer()->Capabilities().dpiX;
        return dpi > 0 ? RptRound(c.TextWidth(text) * 96.0 / dpi) : 0;
    }
    if (!measure_) {
        measure_ = std::make_unique<platform::gfx::TBitmap>(1, 1);
    }
    platform::gfx::TCanvas& c = measure_->Canvas();
    c.Font = font;
    return c.TextWidth(text) + 1;
}

int TCustomFolioReport::TextHeight(const TFont& font, std::string_view text) {
    if (!measure_) {
        measure_ = std::make_unique<platform::gfx::TBitmap>(1, 1);
    }
    platform::gfx::TCanvas& c = measure_->Canvas();
    c.Font = font;
    return c.TextHeight(text);
}

const TRptPreviewOptions* TCustomFolioReport::PreviewOptions() const {
    constexpr int fsStayOnTop = 3;
    previewOptions_.StayOnTop = PrevFormStyle == fsStayOnTop;
    previewOptions_.WindowState = PreviewInitialState;
    previewOptions_.Width = PreviewWidth();
    previewOptions_.Height = PreviewHeight();
    previewOptions_.ShowThumbs = PrevShowThumbs;
    previewOptions_.ShowSearch = PrevShowSearch;
    previewOptions_.InitialZoom = PrevInitialZoom;
    previewOptions_.Zoom = 100;
    previewOptions_.Title = ReportTitle;
    return &previewOptions_;
}

// ---- messages ----------------------------------------------------------------------------------

void TCustomFolioReport::HandleMessage(const platform::ui::Message& message) {
    switch (message.msg) {
    case RPT_MSG_PAGES_DONE:
        if (message.wParam == 1) {
            HasDesignPage = true;
        }
        break;
    case RPT_MSG_PRINT:
        Print();
        break;
    case RPT_MSG_PREVIEW_CLOSED:
        if (!Available) {
            Cancel();
        } else if (printer_ && reinterpret_cast<TRptPrinter*>(message.lParam) == printer_.get()) {
            printer_->ShowingPreview = false;
            if (AfterPreview) {
                AfterPreview(*this);
            }
            printer_.reset();
        }
        break;
    default:
        break;
    }
}
