// Printers behind one interface. The report engine asks for the machine's printer list, makes a
// printer by name, hands it its wishes in the terms of a device mode (paper in millimetres,
// orientation, copies, duplex, bin, collation, quality, colour) and draws each page on the
// printer's canvas in device pixels of the whole sheet. Backends: the system's printers through
// Qt over CUPS, a PDF file, and a recording printer for tests that keeps every page as a metafile.
#pragma once

#include "platform/emf/Metafile.h"
#include "platform/gfx/Canvas.h"

#include <memory>
#include <string>
#include <vector>

namespace platform::print {

// Device-mode field flags: which of the wishes are set.
constexpr unsigned DM_ORIENTATION = 0x1;
constexpr unsigned DM_PAPERSIZE = 0x2;
constexpr unsigned DM_PAPERLENGTH = 0x4;
constexpr unsigned DM_PAPERWIDTH = 0x8;
constexpr unsigned DM_COPIES = 0x100;
constexpr unsigned DM_DEFAULTSOURCE = 0x200;
constexpr unsigned DM_PRINTQUALITY = 0x400;
constexpr unsigned DM_COLOR = 0x800;
constexpr unsigned DM_DUPLEX = 0x1000;
constexpr unsigned DM_COLLATE = 0x8000;

constexpr int DMORIENT_PORTRAIT = 1;
constexpr int DMORIENT_LANDSCAPE = 2;
constexpr int DMDUP_SIMPLEX = 1;
constexpr int DMDUP_VERTICAL = 2;
constexpr int DMDUP_HORIZONTAL = 3;
constexpr int DMCOLOR_MONOCHROME = 1;
constexpr int DMCOLOR_COLOR = 2;

struct PaperMm {
    double width = 0;
    double length = 0;
    friend bool operator==(const PaperMm&, const PaperMm&) = default;
};

// A printer's wishes and settings. Paper is given by size only: the paper-code tables belong to
// the report engine, and no other mapping of codes to sizes is trusted.
struct DeviceMode {
    unsigned fields = 0;
    int paperCode = 0; // the caller's code, kept for the caller
    PaperMm paper;     // portrait width and length
    int orientation = DMORIENT_PORTRAIT;
    int copies = 1;
    int duplex = DMDUP_SIMPLEX;
    int defaultSource = 0; // bin code (1 upper ... 14 cassette, 15 form source)
    int printQuality = 0;
    int color = 0;
    int collate = 0;
    friend bool operator==(const DeviceMode&, const DeviceMode&) = default;
};

struct PrinterCapabilities {
    int dpiX = 0;
    int dpiY = 0;
    // The sheet and the unprintable margins at its left and top, in device pixels, for the
    // paper and orientation in force.
    int physicalWidth = 0;
    int physicalHeight = 0;
    int offsetX = 0;
    int offsetY = 0;
    bool copies = false;
    bool duplex = false;
    bool collate = false;
    bool color = false;
    bool quality = false;
    bool bins = false;
    bool orientation = true;
    // The sheets the printer takes; empty when it takes any size.
    std::vector<PaperMm> papers;
};

class Printer {
public:
    virtual ~Printer() = default;
    virtual std::string Name() const = 0;
    virtual PrinterCapabilities Capabilities() const = 0;
    virtual DeviceMode GetDeviceMode() const = 0;
    // Takes the fields the mode flags; the others stay.
    virtual void SetDeviceMode(const DeviceMode& mode) = 0;
    // The driver's own defaults again.
    virtual void ResetDeviceMode() = 0;

    // Begins the job and its first page; throws platform::text::IoError when the job cannot
    // start.
    virtual void BeginDoc(const std::string& title) = 0;
    // Ends the page in hand and begins the next.
    virtual void NewPage() = 0;
    virtual void EndDoc() = 0;
    virtual void AbortDoc() = 0;
    virtual bool Printing() const = 0;
    // The canvas of the page in hand (only while printing), in device pixels of the whole sheet.
    virtual gfx::TCanvas& Canvas() = 0;
};

// The printers of the machine.
class PrintSystem {
public:
    virtual ~PrintSystem() = default;
    virtual std::vector<std::string> PrinterNames() = 0;
    // The index of the default printer in PrinterNames(), or -1.
    virtual int DefaultPrinterIndex() = 0;
    // A printer by name; an empty name is the default printer. nullptr when there is none.
    virtual std::unique_ptr<Printer> CreatePrinter(const std::string& name) = 0;
};

// The installed system; the Qt/CUPS one until another is installed.
PrintSystem& printSystem();
// Installs a system (not owned); nullptr restores the default.
void setPrintSystem(PrintSystem* system);

class ScopedPrintSystem {
public:
    explicit ScopedPrintSystem(PrintSystem* system);
    ~ScopedPrintSystem();
    ScopedPrintSystem(const ScopedPrintSystem&) = delete;
    ScopedPrintSystem& operator=(const ScopedPrintSystem&) = delete;

private:
    PrintSystem* previous_;
};

// ---- the recording printer ------------------------------------------------------------------

// What a recording printer was asked to do.
struct RecordedJob {
    std::string title;
    std::vector<emf::Metafile> pages;
    bool ended = false;
    bool aborted = false;
    DeviceMode mode; // in force when the job began
};

// A printer with capabilities a test chooses; every job and page is kept, pages as metafiles
// of the sheet's size in device pixels.
class RecordingPrinter : public Printer {
public:
    explicit RecordingPrinter(std::string name = "Recorder");
    ~RecordingPrinter() override;

    std::string Name() const override { return name_; }
    PrinterCapabilities Capabilities() const override;
    DeviceMode GetDeviceMode() const override { return mode_; }
    void SetDeviceMode(const DeviceMode& mode) override;
    void ResetDeviceMode() override { mode_ = defaults; }
    void BeginDoc(const std::string& title) override;
    void NewPage() override;
    void EndDoc() override;
    void AbortDoc() override;
    bool Printing() const override { return canvas_ != nullptr; }
    gfx::TCanvas& Canvas() override;

    // Chosen by the test. The sheet size follows the device mode's paper and orientation at
    // caps.dpiX x caps.dpiY; physicalWidth/Height of `caps` are used while the mode has none.
    PrinterCapabilities caps{600,  600,  4960, 7016, 50,   60,   true,
                             true, true, true, true, true, true, {}};
    DeviceMode defaults{0, 9, {210, 297}};
    std::vector<RecordedJob> jobs;
    // Every device mode handed over, in order.
    std::vector<DeviceMode> modesSet;

private:
    void closePage();

    std::string name_;
    DeviceMode mode_{0, 9, {210, 297}};
    std::unique_ptr<gfx::TCanvas> canvas_;
};

// A print system of recording printers; the printers it made stay reachable for the test.
class RecordingPrintSystem : public PrintSystem {
public:
    std::vector<std::string> PrinterNames() override { return names; }
    int DefaultPrinterIndex() override { return names.empty() ? -1 : defaultIndex; }
    std::unique_ptr<Printer> CreatePrinter(const std::string& name) override;

    std::vector<std::string> names{"Recorder"};
    int defaultIndex = 0;
    // Set on every printer made.
    PrinterCapabilities caps = RecordingPrinter().caps;
    // Non-owning: printers made and still alive.
    std::vector<RecordingPrinter*> made;
    // Jobs of printers already destroyed, in order.
    std::vector<RecordedJob> finishedJobs;
    // All jobs, of destroyed printers and living ones.
    std::vector<RecordedJob> allJobs() const;
};

} // namespace platform::print
