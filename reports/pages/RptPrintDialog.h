// The report engine's print dialog: the system's dialog pre-filled from the report's printer
// settings; on acceptance it selects the chosen printer and reports the range, the copies and the
// device settings of the chosen printer (bin, paper, orientation, quality, colour, duplex,
// collation) back. The request's flags are a pure function of the properties.
#pragma once

#include "platform/ui/PrintDialog.h"

#include <cstdint>
#include <functional>

class TRptPrinter;

enum class TPrintDialogOption : unsigned {
    poPrintToFile = 1,
    poPageNums = 2,
    poSelection = 4,
    poWarning = 8,
    poHelp = 16,
    poDisablePrintToFile = 32,
};

struct TPrintDialogOptions {
    unsigned bits = 0;
    TPrintDialogOptions() = default;
    TPrintDialogOptions(std::initializer_list<TPrintDialogOption> options) {
        for (auto o : options) {
            bits |= unsigned(o);
        }
    }
    bool Contains(TPrintDialogOption o) const { return (bits & unsigned(o)) != 0; }
};

enum class TPrintRange { prAllPages, prSelection, prPageNums };

// The flags of the dialog request for the properties.
std::uint32_t PrintDialogFlags(TPrintDialogOptions options, TPrintRange range, int collate,
                               bool printToFile);

class TRptCommonDialog {
public:
    bool Ctl3D = true;
    int HelpContext = 0;
    std::function<void()> OnShow;
    std::function<void()> OnClose;
};

class TRptBasePrintDialog : public TRptCommonDialog {
public:
    // The printer object the dialog works on (not owned).
    TRptPrinter* Printer = nullptr;
    std::string Device, Driver, Port;
};

class TRptPrintDialog : public TRptBasePrintDialog {
public:
    int FromPage = 0;
    int ToPage = 0;
    int MinPage = 0;
    int MaxPage = 0;
    int Collate = 0;
    TPrintDialogOptions Options;
    bool PrintToFile = false;
    TPrintRange PrintRange = TPrintRange::prAllPages;
    int PrintQuality = 0;
    int ColorOption = 0;
    int OutputBin = 0;
    int PaperSize = 0;
    double Paperwidth = 0; // tenths of a millimetre
    double Paperlength = 0;
    short Orientation = 1;
    bool Duplex = false;
    int DuplexCode = 0;
    unsigned FieldMask = 0;

    int Copies() const { return copies_; }
    // Also sets the printer object's copies.
    void SetCopies(int copies);

    // Shows the dialog; true when the user accepted. A cancel changes nothing.
    bool Execute();

private:
    int copies_ = 1;
};
