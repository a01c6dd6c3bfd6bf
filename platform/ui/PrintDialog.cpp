#include "platform/ui/PrintDialog.h"

#include <QAbstractPrintDialog>
#include <QPageLayout>
#include <QPageSize>
#include <QPrintDialog>
#include <QPrinter>

namespace platform::ui {

namespace {

PrintDialogService*& installed() {
    static PrintDialogService* service = nullptr;
    return service;
}

// The Qt dialog, working on a printer of its own set up from the request.
class QtPrintDialogService : public PrintDialogService {
public:
    PrintDialogAnswer Execute(const PrintDialogRequest& request) override {
        PrintDialogAnswer answer;
        QPrinter printer(QPrinter::HighResolution);
        if (!request.printerName.empty()) {
            printer.setPrinterName(QString::fromStdString(request.printerName));
        }
        printer.setCopyCount(std::max(1, request.copies));
        printer.setCollateCopies((request.flags & PD_COLLATE) != 0);
        if (request.mode.paper.width > 0 && request.mode.paper.length > 0) {
            printer.setPageSize(
                QPageSize(QSizeF(request.mode.paper.width, request.mode.paper.length),
                          QPageSize::Millimeter, QString(), QPageSize::ExactMatch));
        }
        printer.setPageOrientation(request.mode.orientation == print::DMORIENT_LANDSCAPE
                                       ? QPageLayout::Landscape
                                       : QPageLayout::Portrait);
        if (request.flags & PD_PAGENUMS) {
            printer.setPrintRange(QPrinter::PageRange);
        } else if (request.flags & PD_SELECTION) {
            printer.setPrintRange(QPrinter::Selection);
        }
        printer.setFromTo(request.fromPage, request.toPage);
        QPrintDialog dialog(&printer);
        dialog.setOptions(
            QAbstractPrintDialog::PrintDialogOptions(qtPrintDialogOptions(request.flags)));
        if (request.minPage > 0 || request.maxPage > 0) {
            dialog.setMinMax(request.minPage, request.maxPage);
        }
        if (dialog.exec() != QDialog::Accepted) {
            return answer;
        }
        answer.accepted = true;
        switch (printer.printRange()) {
        case QPrinter::Selection:
            answer.flags |= PD_SELECTION;
            break;
        case QPrinter::PageRange:
            answer.flags |= PD_PAGENUMS;
            break;
        default:
            break;
        }
        if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty()) {
            answer.flags |= PD_PRINTTOFILE;
        }
        if (printer.collateCopies()) {
            answer.flags |= PD_COLLATE;
        }
        answer.fromPage = printer.fromPage();
        answer.toPage = printer.toPage();
        answer.copies = printer.copyCount();
        answer.printerName = printer.printerName().toStdString();
        const QSizeF mm = printer.pageLayout().pageSize().size(QPageSize::Millimeter);
        answer.mode = request.mode;
        answer.mode.fields = print::DM_ORIENTATION | print::DM_PAPERSIZE | print::DM_PAPERWIDTH |
                             print::DM_PAPERLENGTH | print::DM_COPIES | print::DM_DUPLEX |
                             print::DM_COLOR | print::DM_COLLATE;
        answer.mode.paper = {mm.width(), mm.height()};
        answer.mode.orientation = printer.pageLayout().orientation() == QPageLayout::Landscape
                                      ? print::DMORIENT_LANDSCAPE
                                      : print::DMORIENT_PORTRAIT;
        answer.mode.copies = printer.copyCount();
        answer.mode.duplex = printer.duplex() == QPrinter::DuplexLongSide ? print::DMDUP_VERTICAL
                             : printer.duplex() == QPrinter::DuplexShortSide
                                 ? print::DMDUP_HORIZONTAL
                                 : print::DMDUP_SIMPLEX;
        answer.mode.color = printer.colorMode() == QPrinter::Color ? print::DMCOLOR_COLOR
                                                                   : print::DMCOLOR_MONOCHROME;
        answer.mode.collate = printer.collateCopies() ? 1 : 0;
        return answer;
    }
};

} // namespace

int qtPrintDialogOptions(std::uint32_t flags) {
    QAbstractPrintDialog::PrintDialogOptions o;
    if (!(flags & PD_HIDEPRINTTOFILE) && !(flags & PD_DISABLEPRINTTOFILE)) {
        o |= QAbstractPrintDialog::PrintToFile;
    }
    if (!(flags & PD_NOSELECTION)) {
        o |= QAbstractPrintDialog::PrintSelection;
    }
    if (!(flags & PD_NOPAGENUMS)) {
        o |= QAbstractPrintDialog::PrintPageRange;
    }
    o |= QAbstractPrintDialog::PrintShowPageSize;
    o |= QAbstractPrintDialog::PrintCollateCopies;
    return int(o.toInt());
}

PrintDialogService& printDialogs() {
    static QtPrintDialogService qtService;
    PrintDialogService* current = installed();
    return current != nullptr ? *current : qtService;
}

void setPrintDialogService(PrintDialogService* service) {
    installed() = service;
}

PrintDialogAnswer ScriptedPrintDialog::Execute(const PrintDialogRequest& request) {
    requests.push_back(request);
    if (answers.empty()) {
        return {};
    }
    PrintDialogAnswer a = answers.front();
    answers.pop_front();
    return a;
}

ScopedPrintDialogService::ScopedPrintDialogService(PrintDialogService* service)
    : previous_(installed()) {
    setPrintDialogService(service);
}

ScopedPrintDialogService::~ScopedPrintDialogService() {
    setPrintDialogService(previous_);
}

} // namespace platform::ui
