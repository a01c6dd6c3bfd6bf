// The measurement reports through the real main window with records from the simulated
// instrument: each report previews as one A4 page under a US locale with a Letter default
// printer, in the preview window in the user's language, once however often Ctrl+F2 comes;
// printing sends what the operator edited; a header typed too long is cut with the message;
// pictures of each fill-in dialog and each preview are kept in screenshots/.
#include "MainWindowHarness.h"

#include "platform/emf/Metafile.h"
#include "platform/gfx/QtImage.h"
#include "platform/print/Printer.h"
#include "platform/ui/InputDialogs.h"
#include "platform/ui/QtMemo.h"
#include "reports/engine/FolioReport.h"
#include "reports/engine/RptUnits.h"
#include "reports/measurement/ReportFillPaperForm.h"
#include "reports/preview/RptStandardPreview.h"
#include "ui_ReportFillPaperForm.h"

#include <QPlainTextEdit>
#include <QScreen>
#include <QTabWidget>
#include <QToolButton>

#include <algorithm>

namespace {

// Printers that start on Letter paper, recording what they print.
class LetterPrinters : public platform::print::RecordingPrintSystem {
public:
    std::unique_ptr<platform::print::Printer> CreatePrinter(const std::string& name) override {
        auto p = RecordingPrintSystem::CreatePrinter(name);
        if (auto* rp = dynamic_cast<platform::print::RecordingPrinter*>(p.get())) {
            rp->defaults.paperCode = 1;
            rp->defaults.paper = {215.9, 279.4};
            rp->ResetDeviceMode();
        }
        return p;
    }
};

QImage shotOf(QWidget& window) {
    if (QGuiApplication::platformName() == "xcb" && window.screen() != nullptr) {
        QApplication::processEvents();
        QTest::qWait(200);
        return window.screen()->grabWindow(window.winId()).toImage();
    }
    return window.grab().toImage();
}

void keep(QWidget& window, const std::string& name) {
    const auto dir = std::filesystem::path(TB_OUTPUT_DIR) / "screenshots";
    std::filesystem::create_directories(dir);
    const std::string file =
        (dir / (name + "-" + QGuiApplication::platformName().toStdString() + ".png")).string();
    EXPECT_TRUE(shotOf(window).save(QString::fromStdString(file))) << file;
}

// Runs `action` once `ready` holds, looking every 10 ms from whatever event loop runs.
void whenReady(std::function<bool()> ready, std::function<void()> action) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, ready, action] {
        if (ready()) {
            timer->stop();
            timer->deleteLater();
            action();
        }
    });
    timer->start();
}

std::vector<TRptStandardPreview*> openPreviews() {
    std::vector<TRptStandardPreview*> out;
    for (QWidget* w : QApplication::allWidgets()) {
        if (auto* p = dynamic_cast<TRptStandardPreview*>(w); p != nullptr && p->isVisible()) {
            out.push_back(p);
        }
    }
    return out;
}

class MeasurementReportsApp : public MainWindowTest {
protected:
    void SetUp() override {
        SetRptUsMeasurement(true);
        // As the program does before its windows come up.
        RegisterStandardPreview();
        MainWindowTest::SetUp();
    }
    void TearDown() override {
        MainWindowTest::TearDown();
        RegisterPreview({});
        SetRptUsMeasurement(std::nullopt);
    }
    void receive(int page) {
        form().SetActivePage(page);
        key(Qt::Key_F1);
    }
    static TReportFillPaperForm* fillIn(QDialog* d) {
        auto* f = dynamic_cast<TReportFillPaperForm*>(d);
        EXPECT_NE(f, nullptr);
        return f;
    }
    static void ctrlKey(QWidget* w, Qt::Key k) {
        QTest::keyClick(w->windowHandle(), k, Qt::ControlModifier);
    }

    LetterPrinters printers;
    platform::print::ScopedPrintSystem scopedPrinters{&printers};
};

using ReportScreenshots = MeasurementReportsApp;

TEST_F(ReportScreenshots, EachReportPreviewsOnePageOnceInTheUsersLanguage) {
    start();
    const char* names[] = {"ascan", "band", "map"};
    for (int page = 1; page <= 3; ++page) {
        SCOPED_TRACE(names[page - 1]);
        receive(page);
        bool looked = false;
        dialogScript.push_back([&](QDialog* d) {
            TReportFillPaperForm* f = fillIn(d);
            if (f == nullptr) {
                return;
            }
            EXPECT_FALSE(f->HeaderMemo().text().empty());
            keep(*f, std::string("report-fill-in-") + names[page - 1]);
            TCustomFolioReport& report = f->Layout().Report();
            const auto generated = [&report] {
                return report.RptPrinter() != nullptr && report.RptPrinter()->ReportGenerated;
            };
            whenReady(generated, [&, f] {
                looked = true;
                TRptPrinter& p = *report.RptPrinter();
                EXPECT_EQ(p.PageCount, 1);
                // A4 at 96 pixels per inch, not the printer's Letter (816 x 1056).
                EXPECT_EQ(p.GetPage(1)->Width(), 794);
                EXPECT_EQ(p.GetPage(1)->Height(), 1123);
                EXPECT_FALSE(p.PageList().Stream()->InMemory());
                TRptStandardPreview* w = StandardPreviewOf(p);
                ASSERT_NE(w, nullptr);
                EXPECT_EQ(w->windowTitle(), "Report Preview");
                EXPECT_TRUE(w->FindButton->isHidden());
                EXPECT_FALSE(w->Tabs->isTabVisible(w->Tabs->indexOf(w->TabSearchResult)));
                EXPECT_EQ(w->Tabs->tabText(0), "Thumbnails");
                EXPECT_EQ(w->ToolBarControl(1)->toolTip(), "Zoom to fit");
                EXPECT_EQ(w->ToolBarControl(19)->text(), "&Close");
                EXPECT_EQ(w->ToolBarControl(19)->width(), 60);
                platform::ui::ScriptedInputDialogs input;
                platform::ui::ScopedInputDialogService scopedInput(&input);
                w->GotoPageButtonClick();
                ASSERT_EQ(input.requests.size(), 1u);
                // The page count put into the title's "%d" by the program, not by a formatter.
                EXPECT_EQ(input.requests[0].title, "Select a page from 1 to 1");
                EXPECT_EQ(input.requests[0].prompt, "Enter page number");
                // Ctrl+F2 again, through the main window's key hook and straight to the
                // dialog: still one preview.
                ctrlKey(f, Qt::Key_F2);
                f->HandleReportKey(113);
                QApplication::processEvents();
                EXPECT_EQ(openPreviews(), std::vector<TRptStandardPreview*>{w});
                w->ZoomFitClick(); // the whole page in the picture
                keep(*w, std::string("report-preview-") + names[page - 1]);
                w->ExitButtonClick();
            });
            // The script's watcher would answer the dialog while its preview is open.
            dialogWatcher.stop();
            ctrlKey(f, Qt::Key_F2);
            dialogWatcher.start();
        });
        key(Qt::Key_F12);
        ASSERT_TRUE(dialogScript.empty());
        EXPECT_TRUE(looked);
        EXPECT_EQ(dialogsSeen.back(), "Report");
        QApplication::processEvents();
        EXPECT_TRUE(openPreviews().empty());
        EXPECT_FALSE(form().ReportDialog(static_cast<app::ReportKind>(page - 1))->IsShowing());
    }
    EXPECT_TRUE(printers.allJobs().empty());
}

TEST_F(MeasurementReportsApp, PrintSendsTheEditedHeaderAndNotes) {
    start();
    receive(1);
    dialogScript.push_back([this](QDialog* d) {
        TReportFillPaperForm* f = fillIn(d);
        if (f == nullptr) {
            return;
        }
        EXPECT_EQ(f->Controls().PrintPreviewSpeedButton->toolTip(),
                  "<B>Ctrl + F2 </B> Preview the report");
        // A fourth line is one too many: cut back, with the message.
        f->HeaderMemo().setText("Line A\r\nLine B\r\nLine C\r\nLine D");
        f->Controls().ReportNotesMemo->setFocus();
        QTest::keyClicks(f->Controls().ReportNotesMemo, "Wall thinned");
        ctrlKey(f, Qt::Key_F1);
    });
    key(Qt::Key_F12);
    ASSERT_TRUE(dialogScript.empty());
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].title, "Text too long");
    const auto jobs = printers.allJobs();
    ASSERT_EQ(jobs.size(), 1u);
    ASSERT_EQ(jobs[0].pages.size(), 1u);
    EXPECT_TRUE(jobs[0].ended);
    const auto texts = platform::emf::metafileTexts(jobs[0].pages[0]);
    const auto has = [&](const std::string& t) {
        return std::find(texts.begin(), texts.end(), t) != texts.end();
    };
    EXPECT_TRUE(has("Line A") && has("Line B") && has("Line C"));
    EXPECT_FALSE(has("Line D"));
    EXPECT_FALSE(has("A-scan No. 1")); // the header the fill put there was replaced
    EXPECT_TRUE(std::any_of(texts.begin(), texts.end(), [](const std::string& t) {
        return t.find("Wall thinned") != std::string::npos;
    }));
    EXPECT_FALSE(form().ReportDialog(app::ReportKind::AScan)->IsShowing());
}

TEST_F(MeasurementReportsApp, PrintWithNoPrinterTellsTheUser) {
    printers.names.clear();
    start();
    receive(2);
    dialogScript.push_back([this](QDialog* d) {
        if (TReportFillPaperForm* f = fillIn(d)) {
            f->Controls().PrintImmediateSpeedButton->Click();
        }
    });
    key(Qt::Key_F12);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "No printer is installed");
    EXPECT_TRUE(printers.allJobs().empty());
}

// The page store cannot spill to its temporary file: the user is told, and the program goes on.
TEST_F(MeasurementReportsApp, APreviewWithoutATemporaryFolderTellsTheUser) {
    const char* old = std::getenv("TMPDIR");
    const std::string previous = old != nullptr ? old : "";
    ::setenv("TMPDIR", "/nonexistent/tb-reports", 1);
    start();
    receive(3);
    dialogScript.push_back([this](QDialog* d) {
        if (TReportFillPaperForm* f = fillIn(d)) {
            dialogWatcher.stop();
            f->Controls().PrintPreviewSpeedButton->Click();
            dialogWatcher.start();
        }
    });
    key(Qt::Key_F12);
    old != nullptr ? ::setenv("TMPDIR", previous.c_str(), 1) : ::unsetenv("TMPDIR");
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].title, "Error");
    EXPECT_TRUE(openPreviews().empty());
    EXPECT_TRUE(form().ReportDialog(app::ReportKind::Map)->Form()->Layout().Report().Available);
}

} // namespace
