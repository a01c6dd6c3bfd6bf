// Report pages printed into a PDF file, and through a real CUPS queue when the queue script
// has started one: in both cases pdftotext must find the page's texts in what came out.
#include "platform/print/QtPrinting.h"
#include "platform/ui/MessageBox.h"
#include "reports/pages/RptPrntr.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <thread>
#include <unistd.h>

namespace {

using namespace platform;

std::string pdfText(const std::filesystem::path& pdf) {
    const std::string cmd = "pdftotext -enc UTF-8 '" + pdf.string() + "' - 2>/dev/null";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(cmd.c_str(), "r"), ::pclose);
    std::string out;
    if (!pipe) {
        return out;
    }
    std::array<char, 4096> buf{};
    std::size_t n = 0;
    while ((n = std::fread(buf.data(), 1, buf.size(), pipe.get())) > 0) {
        out.append(buf.data(), n);
    }
    return out;
}

bool havePdfToText() {
    return std::system("command -v pdftotext > /dev/null 2>&1") == 0;
}

// A report run of two pages for the preview: a frame, a filled box and a line of text each.
void previewRun(TRptPrinter& p) {
    p.BeginDoc();
    for (int i = 1; i <= 2; ++i) {
        p.NewPage();
        gfx::TCanvas& c = p.Canvas();
        c.Brush.Style = gfx::TBrushStyle::bsClear;
        c.Rectangle(p.XPos(100), p.YPos(100), p.XPos(2000), p.YPos(2870));
        c.Brush.Style = gfx::TBrushStyle::bsSolid;
        c.Brush.Color = gfx::clSilver;
        c.FillRect({p.XPos(150), p.YPos(400), p.XPos(800), p.YPos(600)});
        c.Brush.Style = gfx::TBrushStyle::bsClear;
        c.Font.Name = "Arial";
        c.Font.Height = -16;
        c.TextOut(p.XPos(200), p.YPos(200), "Thickness report page " + std::to_string(i));
        c.TextOut(p.XPos(200), p.YPos(300), "\xD2\xEE\xEB\xF9\xE8\xED\xE0"); // "Толщина"
    }
    p.EndDoc();
    p.ReportGenerated = true;
}

class PdfOutput : public ::testing::Test {
protected:
    void SetUp() override {
        if (!havePdfToText()) {
            GTEST_SKIP() << "pdftotext is not installed (Debian package poppler-utils)";
        }
        dir_ = std::filesystem::temp_directory_path() / ("tb-pdf-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::filesystem::path dir_;
    ui::ManualMessageQueue queue_;
    ui::ScopedMessageQueue scopedQueue_{&queue_};
};

TEST_F(PdfOutput, StoredPagesPrintedToAPdfFileKeepTheirTexts) {
    const auto pdf = dir_ / "stored.pdf";
    print::PdfPrintSystem system(pdf);
    print::ScopedPrintSystem scoped(&system);
    TRptPrinter p;
    ASSERT_TRUE(p.PrintersAvailable);
    previewRun(p);
    p.Title = "Stored pages";
    p.Print();
    const std::string text = pdfText(pdf);
    EXPECT_NE(text.find("Thickness report page 1"), std::string::npos) << text;
    EXPECT_NE(text.find("Thickness report page 2"), std::string::npos) << text;
    EXPECT_NE(text.find("\xD0\xA2\xD0\xBE\xD0\xBB\xD1\x89\xD0\xB8\xD0\xBD\xD0\xB0"),
              std::string::npos)
        << text;
}

TEST_F(PdfOutput, ARunStraightToThePrinterWritesOnlyItsRange) {
    const auto pdf = dir_ / "direct.pdf";
    print::PdfPrintSystem system(pdf);
    print::ScopedPrintSystem scoped(&system);
    TRptPrinter p;
    p.Destination = TRptPrinter::ToPrinter;
    p.FirstPage = 2;
    previewRun(p);
    const std::string text = pdfText(pdf);
    EXPECT_EQ(text.find("page 1"), std::string::npos) << text;
    EXPECT_NE(text.find("Thickness report page 2"), std::string::npos) << text;
}

TEST_F(PdfOutput, QtPrintersTakeTheEnginesSizesInMillimetres) {
    // The engine's B4 (250 x 354 mm) is not the toolkit's B4 (257 x 364 mm): only the size
    // reaches the printer.
    auto printer = print::QtPrinter::PdfFile(dir_ / "sizes.pdf", 300);
    print::DeviceMode mode;
    mode.fields = print::DM_PAPERSIZE | print::DM_ORIENTATION | print::DM_COPIES;
    mode.paperCode = 12;
    mode.paper = {250, 354};
    mode.orientation = print::DMORIENT_LANDSCAPE;
    mode.copies = 2;
    printer->SetDeviceMode(mode);
    const print::PrinterCapabilities caps = printer->Capabilities();
    EXPECT_EQ(caps.dpiX, 300);
    // The sheet in device pixels comes from whole PostScript points: within one point.
    const double point = 300 / 72.0;
    EXPECT_NEAR(caps.physicalWidth, 354 / 25.4 * 300, point);
    EXPECT_NEAR(caps.physicalHeight, 250 / 25.4 * 300, point);
    EXPECT_EQ(caps.offsetX, 0);
    EXPECT_EQ(caps.offsetY, 0);
    const print::DeviceMode back = printer->GetDeviceMode();
    EXPECT_NEAR(back.paper.width, 250, 0.5);
    EXPECT_NEAR(back.paper.length, 354, 0.5);
    EXPECT_EQ(back.orientation, print::DMORIENT_LANDSCAPE);
    EXPECT_EQ(back.copies, 2);
    EXPECT_EQ(back.paperCode, 12);
}

// Run by tests/reports/cups-pdf-queue.sh, which starts a private cupsd with a CUPS-PDF queue
// and names it and the folder its PDF files land in.
TEST(CupsQueue, PrintsThroughARealQueue) {
    if (const char* why = std::getenv("TB_CUPS_UNAVAILABLE")) {
        GTEST_SKIP() << "cupsd could not be started here: " << why;
    }
    const char* queue = std::getenv("TB_CUPS_QUEUE");
    const char* out = std::getenv("TB_CUPS_OUTPUT");
    if (queue == nullptr || out == nullptr) {
        GTEST_SKIP() << "needs a private CUPS queue: run through tests/reports/cups-pdf-queue.sh";
    }
    if (!havePdfToText()) {
        GTEST_SKIP() << "pdftotext is not installed (Debian package poppler-utils)";
    }
    print::QtPrintSystem system;
    const auto names = system.PrinterNames();
    ASSERT_NE(std::find(names.begin(), names.end(), std::string(queue)), names.end())
        << "the queue " << queue << " is not in the printer list";
    print::ScopedPrintSystem scoped(&system);
    ui::ManualMessageQueue messages;
    ui::ScopedMessageQueue scopedQueue(&messages);
    TRptPrinter p;
    const auto it = std::find(names.begin(), names.end(), std::string(queue));
    p.SetPrinterIndex(int(it - names.begin()));
    previewRun(p);
    const std::string title = "tbcups" + std::to_string(::getpid());
    p.Title = title;
    p.Print();
    // The queue writes its file when the job has gone through the filters.
    std::string text;
    for (int i = 0; i < 150 && text.find("page 2") == std::string::npos; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        std::error_code ec;
        for (const auto& e : std::filesystem::recursive_directory_iterator(out, ec)) {
            if (e.path().extension() == ".pdf" &&
                e.path().filename().string().find(title) != std::string::npos) {
                text = pdfText(e.path());
            }
        }
    }
    EXPECT_NE(text.find("Thickness report page 1"), std::string::npos) << text;
    EXPECT_NE(text.find("Thickness report page 2"), std::string::npos) << text;
}

} // namespace
