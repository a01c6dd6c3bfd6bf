#include "reports/pages/RptPrintDialog.h"

#include "reports/pages/RptPrntr.h"

#include <algorithm>

using namespace platform::ui;

std::uint32_t PrintDialogFlags(TPrintDialogOptions options, TPrintRange range, int collate,
                               bool printToFile) {
    std::uint32_t flags = 0;
    switch (range) {
    case TPrintRange::prAllPages:
        break;
    case TPrintRange::prSelection:
        flags |= PD_SELECTION;
        break;
    case TPrintRange::prPageNums:
        flags |= PD_PAGENUMS;
        break;
    }
    flags |= PD_ENABLEPRINTHOOK | PD_ENABLESETUPHOOK;
    if (collate != 0) {
        flags |= PD_COLLATE;
    }
    if (!options.Contains(TPrintDialogOption::poPrintToFile)) {
        flags |= PD_HIDEPRINTTOFILE;
    }
    if (!options.Contains(TPrintDialogOption::poPageNums)) {
        flags |= PD_NOPAGENUMS;
    }
    if (!options.Contains(TPrintDialogOption::poSelection)) {
        flags |= PD_NOSELECTION;
    }
    if (options.Contains(TPrintDialogOption::poDisablePrintToFile)) {
        flags |= PD_DISABLEPRINTTOFILE;
    }
    if (printToFile) {
        flags |= PD_PRINTTOFILE;
    }
    if (options.Contains(TPrintDialogOption::poHelp)) {
        flags |= PD_SHOWHELP;
    }
    if (!options.Contains(TPrintDialogOption::poWarning)) {
        flags |= PD_NOWARNING;
    }
    return flags;
}

void TRptPrintDialog::SetCopies(int copies) {
    copies_ = copies;
    if (Printer != nullptr) {
        Printer->Settings.SetCopies(copies);
    }
}

bool TRptPrintDialog::Execute() {
    PrintDialogRequest request;
    request.flags = PrintDialogFlags(Options, PrintRange, Collate, PrintToFile);
    request.fromPage = FromPage;
    request.toPage = ToPage;
    request.minPage = MinPage;
    request.maxPage = MaxPage;
    request.copies = copies_;
    platform::print::Printer* device = Printer != nullptr ? Printer->Printer() : nullptr;
    if (device != nullptr) {
        request.printerName = device->Name();
        request.mode = device->GetDeviceMode();
    }
    if (OnShow) {
        OnShow();
    }
    const PrintDialogAnswer answer = printDialogs().Execute(request);
    if (OnClose) {
        OnClose();
    }
    if (!answer.accepted) {
        return false;
    }
    if (Printer != nullptr && !answer.printerName.empty() &&
        (device == nullptr || answer.printerName != device->Name())) {
        const auto names = platform::print::printSystem().PrinterNames();
        const auto it = std::find(names.begin(), names.end(), answer.printerName);
        if (it != names.end()) {
            Printer->SetPrinterIndex(int(it - names.begin()));
        }
    }
    device = Printer != nullptr ? Printer->Printer() : nullptr;
    if (device != nullptr) {
        Device = device->Name();
        device->SetDeviceMode(answer.mode);
    }
    PrintToFile = (answer.flags & PD_PRINTTOFILE) != 0;
    PrintRange = (answer.flags & PD_SELECTION)  ? TPrintRange::prSelection
                 : (answer.flags & PD_PAGENUMS) ? TPrintRange::prPageNums
                                                : TPrintRange::prAllPages;
    FromPage = answer.fromPage;
    ToPage = answer.toPage;
    // A dialog answering one copy leaves the count to the printer's own setting.
    copies_ = answer.copies != 1 ? answer.copies : answer.mode.copies;
    const platform::print::DeviceMode& m = answer.mode;
    FieldMask = m.fields;
    OutputBin = m.defaultSource;
    // The paper code from the engine's own table; a size it does not hold is user-defined.
    const TRptPaperSize paper = PaperSizeOfDimensions(m.paper.width, m.paper.length);
    PaperSize = paper != TRptPaperSize::Default ? PaperCode(paper)
                : m.paper.width > 0             ? PaperCode(TRptPaperSize::Custom)
                                                : 0;
    Paperwidth = m.paper.width * 10;
    Paperlength = m.paper.length * 10;
    Orientation = short(m.orientation);
    PrintQuality = m.printQuality;
    ColorOption = m.color;
    DuplexCode = m.duplex;
    Duplex = m.duplex != platform::print::DMDUP_SIMPLEX;
    Collate = m.collate;
    return true;
}
