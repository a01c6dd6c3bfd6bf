// The preview control and the standard preview window on reports made by the printer object:
// zoom numbers, keys and buttons through three pages, the status bar, progress, go to page,
// search, saving and loading page files (a refused file keeps the pages), printing stored pages,
// a page that cannot be read among readable ones, thumbnails and page fitting their areas from
// the first show, the drawn sheet's pixels, the window opened from a modal dialog, and a picture
// of the window.
#include "platform/emf/Metafile.h"
#include "platform/gfx/Bitmap.h"
#include "platform/ui/FileDialogs.h"
#include "platform/ui/InputDialogs.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/PrintDialog.h"
#include "reports/pages/RptPrntr.h"
#include "reports/preview/RptPreviewMath.h"
#include "reports/preview/RptStandardPreview.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QListWidget>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace {

using namespace platform;
using Pages = std::vector<std::vector<std::string>>;

class Spy : public ui::MessageTarget {
public:
    void HandleMessage(const ui::Message& m) override { got.push_back(m); }
    std::vector<ui::Message> got;
};

class Report : public TRptReportLink {
public:
    const TFolioReportPrinterSettings& ReportPrinterSettings() const override { return settings; }
    ui::MessageTarget* ReportWindow() override { return &window; }
    const TRptPreviewOptions* PreviewOptions() const override { return &options; }
    TFolioReportPrinterSettings settings;
    TRptPreviewOptions options;
    Spy window;
};

class PreviewWindow : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("tb-preview-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
        report_.options.Width = 800;
        report_.options.Height = 600;
        report_.options.InitialZoom = TRptZoomState::rpZoomToFit;
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    // A run with one line of text per entry on each page.
    void run(TRptPrinter& p, const Pages& pages) {
        p.BeginDoc();
        for (const auto& lines : pages) {
            p.NewPage();
            p.Canvas().Font.Name = "Arial";
            int y = 200;
            for (const auto& line : lines) {
                p.Canvas().TextOut(p.XPos(200), p.YPos(y), line);
                y += 100;
            }
        }
        p.EndDoc();
        queue_.Deliver();
    }
    std::unique_ptr<TRptStandardPreview> open(TRptPrinter& p) {
        auto w = std::make_unique<TRptStandardPreview>(&p);
        w->show();
        queue_.Deliver();
        QApplication::processEvents();
        return w;
    }
    static std::vector<std::string> shownTexts(TRptStandardPreview& w) {
        const auto* page = w.RptPreview->Image()->Page();
        return page ? emf::metafileTexts(*page) : std::vector<std::string>{};
    }
    static std::string panel(TRptStandardPreview& w, int i) {
        return w.StatusPanels[i]->text().toStdString();
    }

    print::RecordingPrintSystem system_;
    print::ScopedPrintSystem scopedSystem_{&system_};
    ui::ManualMessageQueue queue_;
    ui::ScopedMessageQueue scopedQueue_{&queue_};
    ui::ScriptedMessageBoxes boxes_;
    ui::ScopedMessageBoxService scopedBoxes_{&boxes_};
    ui::ScriptedFileDialogs files_;
    ui::ScopedFileDialogService scopedFiles_{&files_};
    ui::ScriptedInputDialogs inputs_;
    ui::ScopedInputDialogService scopedInputs_{&inputs_};
    Report report_;
    std::filesystem::path dir_;
};

const Pages kThreePages{{"Page 1"}, {"Page 2"}, {"Page 3"}};

TEST_F(PreviewWindow, ZoomOnAnA4PageIn800By600) {
    TRptPrinter p;
    run(p, {{"x"}});
    TRptPreview v;
    v.resize(800, 600);
    v.setFrameShape(QFrame::NoFrame);
    v.show();
    v.SetRptPrinter(&p);
    EXPECT_EQ(v.PagePixels(), (gfx::TSize{794, 1123}));
    v.ZoomToFit();
    QApplication::processEvents();
    EXPECT_EQ(v.Zoom(), 51);
    EXPECT_EQ(v.ZoomState(), TRptZoomState::rpZoomToFit);
    EXPECT_EQ(v.Image()->geometry(), QRect(195, 12, 409, 576));
    v.ZoomToWidth();
    EXPECT_EQ(v.Zoom(), 91);
    EXPECT_EQ(v.ZoomState(), TRptZoomState::rpZoomToWidth);
    for (const auto& [zoom, expected] : {std::pair{1, 91}, {2001, 91}, {2, 2}, {2000, 2000}}) {
        v.SetZoom(zoom);
        EXPECT_EQ(v.Zoom(), expected) << zoom;
    }
    EXPECT_EQ(v.ZoomState(), TRptZoomState::rpZoomOther);
    // Resizing recomputes the state's zoom.
    v.ZoomToFit();
    v.resize(1000, 700);
    QApplication::processEvents();
    EXPECT_EQ(v.Zoom(), 59);
}

TEST_F(PreviewWindow, KeysAndButtonsThroughThreePages) {
    TRptPrinter p(&report_);
    run(p, kThreePages);
    auto w = open(p);
    EXPECT_EQ(panel(*w, 1), "Page 1 of 3");
    QWidget* focus = w->RptPreview->viewport(); // keys reach the window first from any control
    const auto key = [&](Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
        return [&, k, m] { QTest::keyClick(focus, k, m); };
    };
    const auto click = [](QToolButton* b) { return [b] { b->click(); }; };
    struct Step {
        const char* what;
        std::function<void()> act;
        int page;
    };
    const Step steps[] = {
        {"PgUp on page 1", key(Qt::Key_PageUp), 1},
        {"PgDn", key(Qt::Key_PageDown), 2},
        {"next button", click(w->nextPage), 3},
        {"PgDn on the last page", key(Qt::Key_PageDown), 3},
        {"Home", key(Qt::Key_Home), 1},
        {"End", key(Qt::Key_End), 3},
        {"Ctrl+PgUp", key(Qt::Key_PageUp, Qt::ControlModifier), 1},
        {"Ctrl+PgDn", key(Qt::Key_PageDown, Qt::ControlModifier), 3},
        {"previous button", click(w->PreviousPage), 2},
        {"first button", click(w->FirstPage), 1},
        {"last button", click(w->LastPage), 3},
        {"Up at the top", key(Qt::Key_Up), 2},
        {"Down at the bottom", key(Qt::Key_Down), 3},
    };
    for (const Step& s : steps) {
        s.act();
        EXPECT_EQ(w->RptPreview->PageNumber(), s.page) << s.what;
        EXPECT_EQ(shownTexts(*w), std::vector<std::string>{"Page " + std::to_string(s.page)})
            << s.what;
        EXPECT_EQ(panel(*w, 1), "Page " + std::to_string(s.page) + " of 3") << s.what;
        EXPECT_EQ(w->ThumbGrid->currentRow(), s.page - 1) << s.what;
    }
    w->PreviousPage->click();
    EXPECT_EQ(panel(*w, 1), "Page 2 of 3");
    // A thumbnail shows its page.
    w->ThumbGrid->setCurrentCell(0, 0);
    EXPECT_EQ(w->RptPreview->PageNumber(), 1);
    EXPECT_EQ(w->ThumbGrid->rowCount(), 3);
    // Esc closes and tells the report by a posted message.
    Spy closed;
    p.PreviewClosedReceiver = &closed;
    QTest::keyClick(focus, Qt::Key_Escape);
    EXPECT_FALSE(w->isVisible());
    EXPECT_FALSE(p.ShowingPreview);
    ASSERT_EQ(closed.got.size(), 1u);
    EXPECT_EQ(closed.got[0].msg, RPT_MSG_PREVIEW_CLOSED);
    EXPECT_EQ(closed.got[0].lParam, reinterpret_cast<std::intptr_t>(&p));
    EXPECT_EQ(p.MessageReceiver, nullptr);
}

TEST_F(PreviewWindow, ProgressAndGoToPage) {
    TRptPrinter p(&report_);
    run(p, kThreePages);
    auto w = open(p);
    for (const auto& [percent, shown] : std::vector<std::pair<int, std::string>>{
             {0, ""}, {3, ""}, {5, "5%"}, {8, "5%"}, {10, "10%"}, {100, ""}}) {
        p.SetProgress(percent);
        queue_.Deliver();
        EXPECT_EQ(panel(*w, 0), shown) << percent;
    }
    struct Case {
        std::optional<std::string> answer;
        int page;
    };
    const Case cases[] = {{"2", 2}, {"3", 3}, {"7", 1},         {"0", 1},
                          {"x", 1}, {"2", 2}, {std::nullopt, 2}};
    for (const Case& c : cases) {
        inputs_.answers.push_back(c.answer);
        w->GotoPageButton->click();
        EXPECT_EQ(w->RptPreview->PageNumber(), c.page) << c.answer.value_or("cancel");
    }
    ASSERT_EQ(inputs_.requests.size(), std::size(cases));
    EXPECT_EQ(inputs_.requests[0].title, "Select a page from 1 to 3");
    EXPECT_EQ(inputs_.requests[0].prompt, "Enter page number");
    EXPECT_EQ(inputs_.requests[0].value, "1");
    EXPECT_EQ(inputs_.requests[1].value, "2");
}

TEST_F(PreviewWindow, SearchListsThePagesHoldingTheText) {
    const std::string privetMir = "\xCF\xF0\xE8\xE2\xE5\xF2 \xEC\xE8\xF0"; // Windows-1251
    TRptPrinter p(&report_);
    run(p, {{"Alpha ABC"}, {privetMir, "abc again"}, {"split", "text"}});
    auto w = open(p);
    std::deque<std::optional<TRptSearchRequest>> requests;
    w->SearchDialog = [&](QWidget*) {
        auto r = requests.front();
        requests.pop_front();
        return r;
    };
    struct Case {
        QString text;
        bool matchCase;
        std::vector<std::string> lines;
        bool enabled;
    };
    const Case cases[] = {
        {"abc", false, {"Page 1", "Page 2"}, true},
        {"ABC", true, {"Page 1"}, true},
        {QString::fromUtf8("привет МИР"), false, {"Page 2"}, true},
        {QString::fromUtf8("привет"), true, {"No matching text"}, false},
        {"splittext", false, {"No matching text"}, false},
    };
    for (const Case& c : cases) {
        requests.push_back(TRptSearchRequest{c.text, c.matchCase});
        w->FindButton->click();
        std::vector<std::string> lines;
        for (int i = 0; i < w->SearchResultBox->count(); ++i) {
            lines.push_back(w->SearchResultBox->item(i)->text().toStdString());
        }
        EXPECT_EQ(lines, c.lines) << c.text.toStdString();
        EXPECT_EQ(w->SearchResultBox->isEnabled(), c.enabled) << c.text.toStdString();
        EXPECT_EQ(w->SearchTextLabel->text(), c.text);
    }
    // A cancelled dialog changes nothing; a result line goes to its page.
    requests.push_back(TRptSearchRequest{"abc", false});
    w->FindButton->click();
    requests.push_back(std::nullopt);
    w->FindButton->click();
    ASSERT_EQ(w->SearchResultBox->count(), 2);
    w->SearchResultBoxClick(w->SearchResultBox->item(1));
    EXPECT_EQ(w->RptPreview->PageNumber(), 2);
    w->SearchResultBoxClick(nullptr);
    EXPECT_EQ(w->RptPreview->PageNumber(), 1);
}

TEST_F(PreviewWindow, SaveLoadAndPrintStoredPages) {
    TRptPrinter p(&report_);
    auto w = open(p);
    // Nothing can be kept or printed while the run has not finished.
    for (QToolButton* b : {w->SaveReport, w->LoadReport, w->Print, w->PrintSetup}) {
        EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
    }
    run(p, kThreePages);
    for (QToolButton* b : {w->SaveReport, w->LoadReport, w->Print, w->PrintSetup}) {
        EXPECT_TRUE(b->isEnabled()) << b->objectName().toStdString();
    }
    EXPECT_EQ(panel(*w, 1), "Page 1 of 3");
    files_.answers.push_back({true, dir_ / "kept", 1});
    w->SaveReport->click();
    ASSERT_EQ(files_.requests.size(), 1u);
    EXPECT_TRUE(files_.requests[0].save);
    EXPECT_EQ(files_.requests[0].title, "Save report");
    EXPECT_EQ(files_.requests[0].filter, "Folioprint file(*.FPR)|*.FPR");
    const auto saved = dir_ / "kept.FPR";
    ASSERT_TRUE(std::filesystem::exists(saved));

    // Another preview loads the file: its pages replace the run's.
    TRptPrinter other(&report_);
    run(other, {{"Other"}});
    auto w2 = open(other);
    files_.answers.push_back({true, saved, 1});
    w2->LoadReport->click();
    EXPECT_EQ(files_.requests.back().filter, "Folioprint file (*.FPR)|*.FPR");
    EXPECT_EQ(files_.requests.back().title, "Load report");
    EXPECT_TRUE(w2->FileLoaded());
    EXPECT_EQ(other.PageCount, 3);
    EXPECT_EQ(panel(*w2, 2), saved.string());
    EXPECT_EQ(panel(*w2, 1), "Page 1 of 3");
    EXPECT_EQ(shownTexts(*w2), std::vector<std::string>{"Page 1"});
    EXPECT_EQ(w2->ThumbGrid->rowCount(), 3);
    for (int n = 1; n <= 3; ++n) {
        EXPECT_EQ(emf::metafileTexts(*other.GetPage(n)), emf::metafileTexts(*p.GetPage(n)));
    }
    // Printing a loaded file prints its stored pages, not the report again.
    w2->Print->click();
    const auto jobs = system_.allJobs();
    ASSERT_EQ(jobs.size(), 1u);
    ASSERT_EQ(jobs[0].pages.size(), 3u);
    for (int n = 0; n < 3; ++n) {
        EXPECT_EQ(emf::metafileTexts(jobs[0].pages[std::size_t(n)]),
                  std::vector<std::string>{"Page " + std::to_string(n + 1)});
    }
    EXPECT_TRUE(report_.window.got.empty());
    // The run's own preview asks the report to print itself again.
    w->Print->click();
    queue_.Deliver();
    ASSERT_EQ(report_.window.got.size(), 1u);
    EXPECT_EQ(report_.window.got[0].msg, RPT_MSG_PRINT);

    // A refused file leaves the pages and the file name; a missing one does nothing at all.
    const auto bad = dir_ / "bad.FPR";
    std::ofstream(bad, std::ios::binary) << std::string(300, '\x07');
    w2->GotoPageButton->setEnabled(true);
    inputs_.answers.push_back("3");
    w2->GotoPageButton->click();
    files_.answers.push_back({true, bad, 1});
    files_.answers.push_back({true, dir_ / "missing.FPR", 1});
    w2->LoadReport->click();
    w2->LoadReport->click();
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_EQ(boxes_.shown[0].text, "The file is not a valid report file");
    EXPECT_EQ(boxes_.shown[0].icon, ui::MessageIcon::Error);
    EXPECT_EQ(other.PageCount, 3);
    EXPECT_EQ(panel(*w2, 2), saved.string());
    EXPECT_EQ(shownTexts(*w2), std::vector<std::string>{"Page 3"});
    EXPECT_EQ(emf::metafileTexts(*other.GetPage(2)), std::vector<std::string>{"Page 2"});
}

TEST_F(PreviewWindow, APageThatCannotBeReadLeavesTheOthersToShowSearchAndPrint) {
    TRptPrinter p(&report_);
    run(p, kThreePages);
    const auto file = dir_ / "broken.FPR";
    p.Save(file);
    // Page 2's first record after the metafile header gets a size no record can have.
    std::string bytes;
    {
        std::ifstream in(file, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    auto i32 = [&](std::size_t at) {
        std::uint32_t v = 0;
        std::memcpy(&v, bytes.data() + at, 4);
        return std::size_t(v);
    };
    const std::size_t page2 = i32(128 + 4) + 8;
    const std::uint32_t badSize = 5;
    std::memcpy(bytes.data() + page2 + i32(page2 + 4) + 4, &badSize, 4);
    std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;

    TRptPrinter other(&report_);
    run(other, {{"Other"}});
    auto w = open(other);
    files_.answers.push_back({true, file, 1});
    w->LoadReport->click();
    ASSERT_TRUE(w->FileLoaded());
    ASSERT_EQ(other.PageCount, 3);
    struct Step {
        int page;
        std::vector<std::string> shown;
        std::size_t boxes;
    };
    const Step steps[] = {{2, {}, 1}, {3, {"Page 3"}, 1}, {2, {}, 2}, {1, {"Page 1"}, 2}};
    for (const Step& s : steps) {
        w->GoToPage(s.page);
        EXPECT_EQ(shownTexts(*w), s.shown) << "page " << s.page;
        EXPECT_EQ(boxes_.shown.size(), s.boxes) << "page " << s.page;
    }
    for (const auto& box : boxes_.shown) {
        EXPECT_EQ(box.text, "The file is not a valid report file");
    }
    // The search passes over the broken page and says so once.
    w->SearchDialog = [](QWidget*) { return TRptSearchRequest{"page", false}; };
    w->FindButton->click();
    std::vector<std::string> lines;
    for (int i = 0; i < w->SearchResultBox->count(); ++i) {
        lines.push_back(w->SearchResultBox->item(i)->text().toStdString());
    }
    EXPECT_EQ(lines, (std::vector<std::string>{"Page 1", "Page 3"}));
    ASSERT_EQ(boxes_.shown.size(), 3u);
    EXPECT_EQ(boxes_.shown[2].text, "The file is not a valid report file");
    // The intact pages print; a job reaching the broken page is abandoned, not half printed.
    other.FirstPage = 3;
    other.LastPage = 3;
    w->Print->click();
    other.FirstPage = 1;
    other.LastPage = 3;
    w->Print->click();
    const auto jobs = system_.allJobs();
    ASSERT_EQ(jobs.size(), 2u);
    ASSERT_EQ(jobs[0].pages.size(), 1u);
    EXPECT_TRUE(jobs[0].ended);
    EXPECT_EQ(emf::metafileTexts(jobs[0].pages[0]), std::vector<std::string>{"Page 3"});
    EXPECT_TRUE(jobs[1].aborted);
    EXPECT_FALSE(jobs[1].ended);
    ASSERT_EQ(boxes_.shown.size(), 4u);
    EXPECT_EQ(boxes_.shown[3].text, "The file is not a valid report file");
}

TEST_F(PreviewWindow, PrintSetupOfALoadedFileSetsThePrinterObjectOnly) {
    ui::ScriptedPrintDialog dialogs;
    ui::ScopedPrintDialogService scopedDialogs(&dialogs);
    TRptPrinter p(&report_);
    run(p, kThreePages);
    const auto file = dir_ / "three.FPR";
    p.Save(file);
    int reportSetups = 0;
    TRptPrinter other(&report_);
    other.OnPrintSetup = [&](TRptPrinter&) { ++reportSetups; };
    run(other, {{"Other"}});
    auto w = open(other);
    // The run's own preview hands set-up to the report.
    w->PrintSetup->click();
    EXPECT_EQ(reportSetups, 1);
    EXPECT_TRUE(dialogs.requests.empty());
    files_.answers.push_back({true, file, 1});
    w->LoadReport->click();
    ASSERT_TRUE(w->FileLoaded());
    ui::PrintDialogAnswer answer;
    answer.accepted = true;
    answer.flags = ui::PD_PAGENUMS;
    answer.fromPage = 2;
    answer.toPage = 3;
    answer.copies = 2;
    answer.printerName = "Recorder";
    answer.mode.orientation = print::DMORIENT_LANDSCAPE;
    answer.mode.paper = {210, 297};
    dialogs.answers.push_back(answer);
    w->PrintSetup->click();
    EXPECT_EQ(reportSetups, 1); // a loaded file has no report behind it
    ASSERT_EQ(dialogs.requests.size(), 1u);
    EXPECT_EQ(dialogs.requests[0].minPage, 1);
    EXPECT_EQ(dialogs.requests[0].maxPage, 3);
    EXPECT_EQ(dialogs.requests[0].flags & ui::PD_NOPAGENUMS, 0u);
    EXPECT_EQ(other.Settings.Copies, 2);
    EXPECT_EQ(other.Settings.Orientation, TRptOrientation::poLandscape);
    EXPECT_EQ(other.FirstPage, 2);
    EXPECT_EQ(other.LastPage, 3);
    EXPECT_EQ(report_.settings.Copies, 1); // the report's own settings stay
    w->Print->click();
    const auto jobs = system_.allJobs();
    ASSERT_EQ(jobs.size(), 1u);
    ASSERT_EQ(jobs[0].pages.size(), 2u);
    EXPECT_EQ(emf::metafileTexts(jobs[0].pages[0]), std::vector<std::string>{"Page 2"});
    EXPECT_EQ(emf::metafileTexts(jobs[0].pages[1]), std::vector<std::string>{"Page 3"});
    EXPECT_EQ(jobs[0].mode.copies, 2);
    EXPECT_EQ(jobs[0].mode.orientation, print::DMORIENT_LANDSCAPE);
    // A cancelled set-up changes nothing.
    w->PrintSetup->click();
    EXPECT_EQ(other.FirstPage, 2);
    EXPECT_EQ(other.Settings.Copies, 2);
}

TEST_F(PreviewWindow, ThumbnailsAndPageFitTheirAreasFromTheFirstShow) {
    struct Case {
        int width, height;
        TRptZoomState zoom;
    };
    const Case cases[] = {
        {1000, 800, TRptZoomState::rpZoomOther}, {1400, 1000, TRptZoomState::rpZoomOther},
        {1000, 800, TRptZoomState::rpZoomToFit}, {800, 600, TRptZoomState::rpZoomToWidth},
        {640, 2000, TRptZoomState::rpZoomOther},
    };
    for (const Case& c : cases) {
        report_.options.Width = c.width;
        report_.options.Height = c.height;
        report_.options.InitialZoom = c.zoom;
        report_.options.Zoom = 100;
        TRptPrinter p(&report_);
        run(p, kThreePages);
        auto w = open(p);
        auto check = [&](const char* when) {
            SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height) + ", zoom " +
                         std::to_string(w->RptPreview->Zoom()) + ", " + when);
            const int grid = w->ThumbGrid->viewport()->width();
            EXPECT_EQ(w->ThumbGrid->columnWidth(0), grid - 4);
            // Where the page is larger than the area left beside the scroll bars it starts at
            // 0, else it is centred in that area.
            const QSize area = w->RptPreview->viewport()->size();
            const QRect image = w->RptPreview->Image()->geometry();
            const QPoint at(image.width() >= area.width() ? 0 : (area.width() - image.width()) / 2,
                            image.height() >= area.height() ? 0
                                                            : (area.height() - image.height()) / 2);
            EXPECT_EQ(image.topLeft(), at);
        };
        check("shown");
        const auto file = dir_ / "pages.FPR";
        p.Save(file);
        files_.answers.push_back({true, file, 1});
        w->LoadReport->click();
        QApplication::processEvents();
        check("loaded");
    }
}

TEST_F(PreviewWindow, DrawnSheetHasOutlineAndShadow) {
    const gfx::TColor grey = 0x00808080;
    emf::MetafileCanvas recorder(794, 1123);
    recorder.Brush.Color = gfx::clRed;
    recorder.FillRect({0, 0, 794, 1123});
    const emf::Metafile red = recorder.Close();
    for (const emf::Metafile* page : {static_cast<const emf::Metafile*>(nullptr), &red}) {
        gfx::TBitmap b(409, 576);
        b.Canvas().Brush.Color = grey;
        b.Canvas().FillRect({0, 0, 409, 576});
        DrawPreviewPage(b.Canvas(), {0, 0, 409, 576}, page);
        const gfx::TColor inside = page ? gfx::clRed : gfx::clWhite;
        struct Probe {
            int x, y;
            gfx::TColor colour;
        };
        const Probe probes[] = {
            {200, 200, inside},       {1, 1, inside},           {404, 571, inside},
            {0, 0, gfx::clBlack},     {405, 300, gfx::clBlack}, {200, 572, gfx::clBlack},
            {406, 300, gfx::clBlack}, {407, 300, gfx::clBlack}, {408, 300, grey},
            {406, 1, grey},           {406, 2, gfx::clBlack},   {300, 573, gfx::clBlack},
            {300, 574, gfx::clBlack}, {300, 575, grey},         {1, 573, grey},
            {407, 574, gfx::clBlack},
        };
        for (const Probe& pr : probes) {
            EXPECT_EQ(b.GetPixel(pr.x, pr.y), pr.colour)
                << pr.x << "," << pr.y << (page ? " with page" : " without page");
        }
    }
}

// A picture of a trace's echoes: one pixel wide, they must not drop out of a page shown smaller.
TEST_F(PreviewWindow, ThinLinesOfPicturesStayVisibleAtEveryShrinkingZoom) {
    const int columns[] = {100, 161, 222, 283, 344, 405};
    const int rows[] = {60, 121, 182};
    gfx::TBitmap picture(678, 337);
    picture.Canvas().Brush.Color = gfx::clWhite;
    picture.Canvas().FillRect({0, 0, 678, 337});
    for (const int x : columns) {
        picture.Canvas().Brush.Color = gfx::clBlack;
        picture.Canvas().FillRect({x, 0, x + 1, 337});
    }
    for (const int y : rows) {
        picture.Canvas().FillRect({0, y, 678, y + 1});
    }
    picture.SetPixelFormat(gfx::TPixelFormat::pf8bit);
    const gfx::TPoint at{58, 300};
    TRptPrinter p;
    p.BeginDoc();
    p.NewPage();
    p.Canvas().Draw(at.X, at.Y, picture);
    p.EndDoc();
    queue_.Deliver();

    TRptPreview v;
    v.setFrameShape(QFrame::NoFrame);
    v.show();
    v.SetRptPrinter(&p);
    struct Case {
        int side; // the preview's width and height
        bool fit;
    };
    for (const Case c : {Case{500, true}, Case{500, false}, Case{800, true}, Case{800, false}}) {
        v.resize(c.side, c.fit ? c.side : 600);
        if (c.fit) {
            v.ZoomToFit();
        } else {
            v.ZoomToWidth();
        }
        QApplication::processEvents();
        const std::string where = std::to_string(c.side) + (c.fit ? " fit" : " width");
        ASSERT_LT(v.Zoom(), 100) << where;
        const QImage shown = v.Image()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const TPreviewSheet s = PreviewSheetOf({shown.width(), shown.height()});
        const double kx = s.sheet.Width() / 794.0;
        const double ky = s.sheet.Height() / 1123.0;
        const auto place = [&](int px, int py) {
            return QPoint(s.sheet.Left + int((at.X + px) * kx),
                          s.sheet.Top + int((at.Y + py) * ky));
        };
        // The darkest red value within two pixels of a point.
        const auto darkest = [&](QPoint q) {
            int v = 255;
            for (int y = q.y() - 2; y <= q.y() + 2; ++y) {
                for (int x = q.x() - 2; x <= q.x() + 2; ++x) {
                    v = std::min(v, qRed(shown.pixel(x, y)));
                }
            }
            return v;
        };
        for (const int x : columns) {
            for (const int y : {30, 250, 330}) {
                EXPECT_LT(darkest(place(x, y)), 200) << where << ": column " << x << ", row " << y;
            }
        }
        for (const int y : rows) {
            for (const int x : {30, 130, 650}) {
                EXPECT_LT(darkest(place(x, y)), 200) << where << ": row " << y << ", column " << x;
            }
        }
        EXPECT_EQ(darkest(place(130, 90)), 255) << where << ": between the lines";
    }
}

TEST_F(PreviewWindow, OpenedFromAModalDialogBelongsToIt) {
    RegisterStandardPreview();
    QDialog dialog;
    dialog.setModal(true);
    dialog.show();
    QApplication::processEvents();
    ASSERT_EQ(QApplication::activeModalWidget(), &dialog);
    TRptPrinter p(&report_);
    Spy closed;
    p.PreviewClosedReceiver = &closed;
    p.Preview();
    TRptStandardPreview* w = StandardPreviewOf(p);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->parentWidget(), &dialog);
    EXPECT_TRUE(w->isWindow());
    EXPECT_TRUE(w->isVisible());
    EXPECT_TRUE(p.ShowingPreview);
    EXPECT_EQ(p.MessageReceiver, w->RptPreview);
    // The run fills the window while it is open; the report then waits for its close.
    run(p, {{"Generated"}});
    EXPECT_EQ(w->StatusPanels[1]->text(), "Page 1 of 1");
    QTimer::singleShot(0, w, [w] { w->ExitButton->click(); });
    WaitForPreviewClosed(p);
    EXPECT_EQ(StandardPreviewOf(p), nullptr);
    EXPECT_FALSE(p.ShowingPreview);
    EXPECT_EQ(closed.got.size(), 1u);
    RegisterPreview(nullptr);
}

QImage shotOf(QWidget& window) {
    if (QGuiApplication::platformName() == "xcb" && window.screen() != nullptr) {
        QApplication::processEvents();
        QTest::qWait(200);
        return window.screen()
            ->grabWindow(window.winId())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    }
    return window.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

using PreviewScreenshot = PreviewWindow;

TEST_F(PreviewScreenshot, GeneratedReportAtFit) {
    TRptPrinter p(&report_);
    report_.options.Title = "Measurement report";
    auto w = open(p);
    p.BeginDoc();
    p.NewPage();
    gfx::TCanvas& c = p.Canvas();
    c.Brush.Color = 0x00A05000;
    c.FillRect({p.XPos(200), p.YPos(200), p.XPos(1900), p.YPos(700)});
    c.Brush.Style = gfx::TBrushStyle::bsClear;
    c.Font.Name = "Arial";
    c.Font.Height = -40;
    c.TextOut(p.XPos(200), p.YPos(800), "Tollerbank report page");
    p.EndDoc();
    queue_.Deliver();
    QApplication::processEvents();

    const char* order[] = {"ToolDivider0", "ZoomFit",     "ZoomToWidth",    "Zoom100",
                           "ToolSpacer4",  "FirstPage",   "PreviousPage",   "nextPage",
                           "LastPage",     "ToolSpacer9", "GotoPageButton", "FindButton",
                           "ToolSpacer12", "PrintSetup",  "Print",          "ToolSpacer15",
                           "SaveReport",   "LoadReport",  "ToolSpacer18",   "ExitButton"};
    for (int i = 0; i < TRptStandardPreview::kToolBarPositions; ++i) {
        ASSERT_NE(w->ToolBarControl(i), nullptr) << i;
        EXPECT_EQ(w->ToolBarControl(i)->objectName().toStdString(), order[i]) << i;
        const bool spacer = i == 0 || i == 4 || i == 9 || i == 12 || i == 15 || i == 18;
        if (spacer) {
            EXPECT_FALSE(w->ToolBarControl(i)->isEnabled()) << i;
            EXPECT_TRUE(w->ToolBarControl(i)->toolTip().isEmpty()) << i;
        }
    }
    EXPECT_EQ(w->ToolBarControl(20), nullptr);
    EXPECT_EQ(w->ToolBarControl(1)->toolTip(), "Zoom to fit");
    EXPECT_EQ(w->ToolBarControl(19)->text(), "&Close");
    EXPECT_EQ(w->windowTitle(), "Report Preview : Measurement report");
    EXPECT_EQ(panel(*w, 1), "Page 1 of 1");
    EXPECT_EQ(panel(*w, 2), "Measurement report");
    EXPECT_TRUE(w->ZoomFit->isChecked());
    EXPECT_EQ(w->RptPreview->ZoomState(), TRptZoomState::rpZoomToFit);
    const gfx::TSize client = w->RptPreview->ClientSize();
    const QRect image = w->RptPreview->Image()->geometry();
    const gfx::TRect expected = PreviewImagePlacement(client, {image.width(), image.height()});
    EXPECT_EQ(image.topLeft(), QPoint(expected.Left, expected.Top));
    EXPECT_EQ(w->RptPreview->Zoom(), ZoomToFitValue(client, w->RptPreview->PagePixels()));

    const QImage shot = shotOf(*w);
    const auto dir = std::filesystem::path(TB_OUTPUT_DIR) / "screenshots";
    std::filesystem::create_directories(dir);
    const std::string platform = QGuiApplication::platformName().toStdString();
    ASSERT_TRUE(
        shot.save(QString::fromStdString((dir / ("preview-" + platform + ".png")).string())));
    // The filled band of the page shows where the image lies, not a white sheet.
    const QPoint inBand = w->RptPreview->Image()->mapTo(
        w.get(), QPoint(image.width() / 2, int(image.height() * 450 / 2970)));
    const QRgb px = shot.pixel(inBand);
    EXPECT_NE(px & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(qBlue(px), 0xA0); // TColor 0x00A05000: blue A0, green 50, red 0
    EXPECT_EQ(qRed(px), 0x00);
    EXPECT_EQ(qGreen(px), 0x50);
    const QPoint corner = w->RptPreview->Image()->mapTo(w.get(), QPoint(3, 3));
    EXPECT_EQ(shot.pixel(corner) & 0xFFFFFF, 0xFFFFFFu);
}

} // namespace
