#include "platform/print/QtPrinting.h"

#include "platform/gfx/PainterCanvas.h"
#include "platform/text/LineFile.h"

#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include <cmath>

namespace platform::print {

namespace {

QPrinter::PaperSource paperSourceOf(int bin) {
    if (bin >= 1 && bin <= 11) {
        return QPrinter::PaperSource(bin - 1); // OnlyOne (upper) .. LargeCapacity
    }
    if (bin == 14) {
        return QPrinter::Cassette;
    }
    if (bin == 15) {
        return QPrinter::FormSource;
    }
    return QPrinter::Auto;
}

int binOf(QPrinter::PaperSource source) {
    switch (source) {
    case QPrinter::Cassette:
        return 14;
    case QPrinter::FormSource:
        return 15;
    default:
        return int(source) <= 10 ? int(source) + 1 : 7;
    }
}

} // namespace

QtPrinter::QtPrinter() : printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)) {}

QtPrinter::QtPrinter(const std::string& name) : QtPrinter() {
    if (!name.empty()) {
        printer_->setPrinterName(QString::fromStdString(name));
    }
    printer_->setFullPage(false);
    useMinimumMargins();
}

std::unique_ptr<QtPrinter> QtPrinter::PdfFile(const std::filesystem::path& path, int dpi) {
    std::unique_ptr<QtPrinter> p(new QtPrinter());
    p->pdf_ = true;
    p->printer_->setOutputFormat(QPrinter::PdfFormat);
    p->printer_->setOutputFileName(QString::fromStdString(path.string()));
    p->printer_->setResolution(dpi);
    // A file has no unprintable margins: the page is the sheet.
    p->printer_->setFullPage(true);
    p->printer_->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    return p;
}

QtPrinter::~QtPrinter() {
    if (painter_ && painter_->isActive()) {
        printer_->abort();
        painter_->end();
    }
}

// The printable area is what the device reports; the report engine subtracts it as offsets.
void QtPrinter::useMinimumMargins() {
    if (pdf_) {
        return;
    }
    QPageLayout layout = printer_->pageLayout();
    layout.setMargins(layout.minimumMargins());
    printer_->setPageLayout(layout);
}

std::string QtPrinter::Name() const {
    return pdf_ ? std::string("PDF") : printer_->printerName().toStdString();
}

PrinterCapabilities QtPrinter::Capabilities() const {
    PrinterCapabilities c;
    c.dpiX = c.dpiY = printer_->resolution();
    const QRectF paper = printer_->paperRect(QPrinter::DevicePixel);
    const QRectF page = printer_->pageRect(QPrinter::DevicePixel);
    c.physicalWidth = int(std::nearbyint(paper.width()));
    c.physicalHeight = int(std::nearbyint(paper.height()));
    c.offsetX = int(std::nearbyint(page.left() - paper.left()));
    c.offsetY = int(std::nearbyint(page.top() - paper.top()));
    c.copies = true;
    c.collate = true;
    c.orientation = true;
    if (pdf_) {
        c.color = true;
        return c;
    }
    const QPrinterInfo info(*printer_);
    c.duplex = info.supportedDuplexModes().size() > 1;
    c.color = info.supportedColorModes().contains(QPrinter::Color);
    c.bins = false; // CUPS chooses the input slot from its own options
    if (!info.supportsCustomPageSizes()) {
        for (const QPageSize& size : info.supportedPageSizes()) {
            const QSizeF mm = size.size(QPageSize::Millimeter);
            c.papers.push_back({mm.width(), mm.height()});
        }
    }
    return c;
}

DeviceMode QtPrinter::GetDeviceMode() const {
    DeviceMode m;
    m.fields = DM_ORIENTATION | DM_PAPERSIZE | DM_PAPERWIDTH | DM_PAPERLENGTH | DM_COPIES |
               DM_DUPLEX | DM_DEFAULTSOURCE | DM_COLOR | DM_COLLATE;
    const QPageLayout layout = printer_->pageLayout();
    const QSizeF mm = layout.pageSize().size(QPageSize::Millimeter);
    m.paperCode = paperCode_;
    m.paper = {mm.width(), mm.height()};
    m.orientation =
        layout.orientation() == QPageLayout::Landscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
    m.copies = printer_->copyCount();
    switch (printer_->duplex()) {
    case QPrinter::DuplexLongSide:
        m.duplex = DMDUP_VERTICAL;
        break;
    case QPrinter::DuplexShortSide:
        m.duplex = DMDUP_HORIZONTAL;
        break;
    default:
        m.duplex = DMDUP_SIMPLEX;
        break;
    }
    m.defaultSource = binOf(printer_->paperSource());
    m.color = printer_->colorMode() == QPrinter::Color ? DMCOLOR_COLOR : DMCOLOR_MONOCHROME;
    m.collate = printer_->collateCopies() ? 1 : 0;
    return m;
}

void QtPrinter::SetDeviceMode(const DeviceMode& mode) {
    if ((mode.fields & (DM_PAPERSIZE | DM_PAPERWIDTH | DM_PAPERLENGTH)) && mode.paper.width > 0 &&
        mode.paper.length > 0) {
        // Only sizes reach Qt: its own table of paper codes is not the engine's. An exact match
        // still names a standard sheet (A4, Letter) for the print system; a near one must not
        // bend the engine's size to Qt's.
        printer_->setPageSize(QPageSize(QSizeF(mode.paper.width, mode.paper.length),
                                        QPageSize::Millimeter, QString(), QPageSize::ExactMatch));
        paperCode_ = mode.paperCode;
    }
    if (mode.fields & DM_ORIENTATION) {
        printer_->setPageOrientation(mode.orientation == DMORIENT_LANDSCAPE
                                         ? QPageLayout::Landscape
                                         : QPageLayout::Portrait);
    }
    if (mode.fields & DM_COPIES) {
        printer_->setCopyCount(std::max(1, mode.copies));
    }
    if (mode.fields & DM_DUPLEX) {
        printer_->setDuplex(mode.duplex == DMDUP_VERTICAL     ? QPrinter::DuplexLongSide
                            : mode.duplex == DMDUP_HORIZONTAL ? QPrinter::DuplexShortSide
                                                              : QPrinter::DuplexNone);
    }
    if (mode.fields & DM_DEFAULTSOURCE) {
        printer_->setPaperSource(paperSourceOf(mode.defaultSource));
    }
    if (mode.fields & DM_COLOR) {
        printer_->setColorMode(mode.color == DMCOLOR_MONOCHROME ? QPrinter::GrayScale
                                                                : QPrinter::Color);
    }
    if (mode.fields & DM_COLLATE) {
        printer_->setCollateCopies(mode.collate != 0);
    }
    useMinimumMargins();
}

void QtPrinter::ResetDeviceMode() {
    if (pdf_) {
        return;
    }
    const QString name = printer_->printerName();
    printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer_->setPrinterName(name);
    printer_->setFullPage(false);
    useMinimumMargins();
    paperCode_ = 0;
}

void QtPrinter::BeginDoc(const std::string& title) {
    printer_->setDocName(QString::fromStdString(title));
    painter_ = std::make_unique<QPainter>();
    if (!painter_->begin(printer_.get())) {
        painter_.reset();
        throw text::IoError("The print job could not be started on " + Name());
    }
    canvas_ = std::make_unique<gfx::PainterCanvas>(*painter_);
}

void QtPrinter::NewPage() {
    if (Printing()) {
        printer_->newPage();
    }
}

void QtPrinter::EndDoc() {
    if (!Printing()) {
        return;
    }
    canvas_.reset();
    painter_->end();
    painter_.reset();
}

void QtPrinter::AbortDoc() {
    if (!Printing()) {
        return;
    }
    canvas_.reset();
    printer_->abort();
    painter_->end();
    painter_.reset();
}

bool QtPrinter::Printing() const {
    return painter_ && painter_->isActive();
}

gfx::TCanvas& QtPrinter::Canvas() {
    if (!canvas_) {
        throw std::logic_error("the printer has no page in hand");
    }
    return *canvas_;
}

void QtPrintSystem::load() {
    if (loaded_) {
        return;
    }
    loaded_ = true;
    const QStringList names = QPrinterInfo::availablePrinterNames();
    const QString def = QPrinterInfo::defaultPrinterName();
    for (const QString& n : names) {
        if (n == def) {
            defaultIndex_ = int(names_.size());
        }
        names_.push_back(n.toStdString());
    }
    if (defaultIndex_ < 0 && !names_.empty()) {
        defaultIndex_ = 0;
    }
}

std::vector<std::string> QtPrintSystem::PrinterNames() {
    load();
    return names_;
}

int QtPrintSystem::DefaultPrinterIndex() {
    load();
    return defaultIndex_;
}

std::unique_ptr<Printer> QtPrintSystem::CreatePrinter(const std::string& name) {
    load();
    if (names_.empty()) {
        return nullptr;
    }
    const std::string chosen = name.empty() ? names_[std::size_t(defaultIndex_)] : name;
    return std::make_unique<QtPrinter>(chosen);
}

std::unique_ptr<Printer> PdfPrintSystem::CreatePrinter(const std::string&) {
    return QtPrinter::PdfFile(path_, dpi_);
}

} // namespace platform::print
