// The printers of the machine through Qt's print support (CUPS on Linux), and a printer that
// writes a PDF file. The canvas of a page starts at the corner of the printable area, whose
// distance from the sheet's corner the capabilities report as the offsets, as the report engine
// expects of a printer; the PDF file has no unprintable margins.
#pragma once

#include "platform/print/Printer.h"

#include <filesystem>
#include <memory>
#include <optional>

class QPrinter;
class QPainter;

namespace platform::print {

class QtPrinter : public Printer {
public:
    // A printer of the system by name (an empty name: the default printer).
    explicit QtPrinter(const std::string& name);
    // A printer writing a PDF file.
    static std::unique_ptr<QtPrinter> PdfFile(const std::filesystem::path& path, int dpi = 600);
    ~QtPrinter() override;

    std::string Name() const override;
    PrinterCapabilities Capabilities() const override;
    DeviceMode GetDeviceMode() const override;
    void SetDeviceMode(const DeviceMode& mode) override;
    void ResetDeviceMode() override;
    void BeginDoc(const std::string& title) override;
    void NewPage() override;
    void EndDoc() override;
    void AbortDoc() override;
    bool Printing() const override;
    gfx::TCanvas& Canvas() override;

private:
    QtPrinter();
    void useMinimumMargins();

    std::unique_ptr<QPrinter> printer_;
    std::unique_ptr<QPainter> painter_;
    std::unique_ptr<gfx::TCanvas> canvas_;
    bool pdf_ = false;
    int paperCode_ = 0;
};

// The system's printers. The list is read once per object: a CUPS server with unreachable
// network queues can take its time to answer.
class QtPrintSystem : public PrintSystem {
public:
    std::vector<std::string> PrinterNames() override;
    int DefaultPrinterIndex() override;
    std::unique_ptr<Printer> CreatePrinter(const std::string& name) override;

private:
    void load();

    bool loaded_ = false;
    std::vector<std::string> names_;
    int defaultIndex_ = -1;
};

// One printer, "PDF", writing every job into the same file.
class PdfPrintSystem : public PrintSystem {
public:
    explicit PdfPrintSystem(std::filesystem::path path, int dpi = 600)
        : path_(std::move(path)), dpi_(dpi) {}
    std::vector<std::string> PrinterNames() override { return {"PDF"}; }
    int DefaultPrinterIndex() override { return 0; }
    std::unique_ptr<Printer> CreatePrinter(const std::string& name) override;

private:
    std::filesystem::path path_;
    int dpi_;
};

} // namespace platform::print
