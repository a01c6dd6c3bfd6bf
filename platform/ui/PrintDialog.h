// The system's print dialog behind a small interface: the program installs the Qt dialog, tests
// install a scripted one that records every request and answers from a script. Request and
// answer speak the terms of the platform's documented print dialog: its flags, page numbers,
// copies and the chosen printer's device mode.
#pragma once

#include "platform/print/Printer.h"

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace platform::ui {

// Print dialog flags.
constexpr std::uint32_t PD_SELECTION = 0x1;
constexpr std::uint32_t PD_PAGENUMS = 0x2;
constexpr std::uint32_t PD_NOSELECTION = 0x4;
constexpr std::uint32_t PD_NOPAGENUMS = 0x8;
constexpr std::uint32_t PD_COLLATE = 0x10;
constexpr std::uint32_t PD_PRINTTOFILE = 0x20;
constexpr std::uint32_t PD_NOWARNING = 0x80;
constexpr std::uint32_t PD_SHOWHELP = 0x800;
constexpr std::uint32_t PD_ENABLEPRINTHOOK = 0x1000;
constexpr std::uint32_t PD_ENABLESETUPHOOK = 0x2000;
constexpr std::uint32_t PD_DISABLEPRINTTOFILE = 0x80000;
constexpr std::uint32_t PD_HIDEPRINTTOFILE = 0x100000;

struct PrintDialogRequest {
    std::uint32_t flags = 0;
    int fromPage = 0;
    int toPage = 0;
    int minPage = 0;
    int maxPage = 0;
    int copies = 1;
    std::string printerName;
    print::DeviceMode mode;
};

struct PrintDialogAnswer {
    bool accepted = false;
    std::uint32_t flags = 0; // PD_SELECTION, PD_PAGENUMS, PD_PRINTTOFILE, PD_COLLATE as chosen
    int fromPage = 0;
    int toPage = 0;
    int copies = 1;
    std::string printerName;
    print::DeviceMode mode;
};

class PrintDialogService {
public:
    virtual ~PrintDialogService() = default;
    virtual PrintDialogAnswer Execute(const PrintDialogRequest& request) = 0;
};

// The installed service; the Qt dialog until another is installed.
PrintDialogService& printDialogs();
void setPrintDialogService(PrintDialogService* service);

// Records every request; answers come from the queue, then a cancel.
class ScriptedPrintDialog : public PrintDialogService {
public:
    PrintDialogAnswer Execute(const PrintDialogRequest& request) override;

    std::vector<PrintDialogRequest> requests;
    std::deque<PrintDialogAnswer> answers;
};

class ScopedPrintDialogService {
public:
    explicit ScopedPrintDialogService(PrintDialogService* service);
    ~ScopedPrintDialogService();
    ScopedPrintDialogService(const ScopedPrintDialogService&) = delete;
    ScopedPrintDialogService& operator=(const ScopedPrintDialogService&) = delete;

private:
    PrintDialogService* previous_;
};

// Qt's print dialog options for the request's flags (QAbstractPrintDialog::PrintDialogOptions).
int qtPrintDialogOptions(std::uint32_t flags);

} // namespace platform::ui
