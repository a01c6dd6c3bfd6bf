// The progress window, the print dialog's request and answer, posted messages in the event loop,
// and the engine's texts.
#include "platform/print/QtPrinting.h"
#include "platform/ui/PrintDialog.h"
#include "reports/pages/RptPrintDialog.h"
#include "reports/pages/RptPrntr.h"
#include "reports/pages/RptProgressForm.h"
#include "reports/pages/RptTexts.h"

#include <QAbstractPrintDialog>
#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

using namespace platform;

class Progress : public ::testing::Test {
protected:
    print::RecordingPrintSystem system_;
    print::ScopedPrintSystem scopedSystem_{&system_};
    ui::ManualMessageQueue queue_;
    ui::ScopedMessageQueue scopedQueue_{&queue_};
};

TEST_F(Progress, ShowsMultiplesOfFiveOnly) {
    TRptPrinter printer;
    TRptProgressForm form;
    form.RptPrinter = &printer;
    printer.MessageReceiver = &form;
    EXPECT_EQ(form.windowTitle(), "Printing progress");
    EXPECT_EQ(form.size(), QSize(149, 97));
    EXPECT_EQ(form.Gauge->geometry(), QRect(16, 18, 114, 16));
    EXPECT_EQ(form.Info->geometry(), QRect(0, 44, 145, 13));
    EXPECT_EQ(form.CancelButton->geometry(), QRect(36, 60, 75, 25));
    EXPECT_EQ(form.CancelButton->text(), "Cancel");
    EXPECT_TRUE(form.windowFlags() & Qt::WindowStaysOnTopHint);

    struct Step {
        int percent;
        int gauge;
        const char* info;
    };
    for (const Step& s : {Step{40, 40, "40%  Completed"}, Step{42, 40, "40%  Completed"},
                          Step{0, 0, "0%  Completed"}, Step{100, 100, "100%  Completed"},
                          Step{99, 100, "100%  Completed"}}) {
        const int before = form.Gauge->value();
        printer.SetProgress(s.percent);
        EXPECT_EQ(form.Gauge->value(), before) << "posted, not sent: " << s.percent;
        queue_.Deliver();
        EXPECT_EQ(form.Gauge->value(), s.gauge) << s.percent;
        EXPECT_EQ(form.Info->text().toStdString(), s.info) << s.percent;
    }
    // Pages done means nothing to it.
    ui::PostMessage(&form, RPT_MSG_PAGES_DONE, 55, 0);
    queue_.Deliver();
    EXPECT_EQ(form.Gauge->value(), 100);
}

TEST_F(Progress, CancelSetsThePrintersFlag) {
    TRptPrinter printer;
    TRptProgressForm form;
    form.RptPrinter = &printer;
    EXPECT_FALSE(printer.Cancelled);
    form.CancelButton->click();
    EXPECT_TRUE(printer.Cancelled);
}

TEST(PostedMessages, WaitForTheEventLoopAndMissTargetsThatAreGone) {
    struct Target : ui::MessageTarget {
        void HandleMessage(const ui::Message& m) override { got.push_back(int(m.wParam)); }
        std::vector<int> got;
    };
    Target kept;
    auto gone = std::make_unique<Target>();
    ui::PostMessage(&kept, 1024, 1, 0);
    ui::PostMessage(gone.get(), 1024, 2, 0);
    ui::PostMessage(&kept, 1024, 3, 0);
    EXPECT_TRUE(kept.got.empty());
    gone.reset();
    ui::ProcessMessages();
    EXPECT_EQ(kept.got, (std::vector<int>{1, 3}));
}

TEST(PrintDialogFlags, FollowTheProperties) {
    using O = TPrintDialogOption;
    struct Case {
        TPrintDialogOptions options;
        TPrintRange range;
        int collate;
        bool toFile;
        std::uint32_t flags;
    };
    const std::vector<Case> cases = {
        {{O::poPageNums, O::poWarning}, TPrintRange::prAllPages, 0, false, 0x00103004},
        {{O::poPageNums, O::poWarning}, TPrintRange::prPageNums, 0, false, 0x00103006},
        {{}, TPrintRange::prAllPages, 0, false, 0x0010308C},
        {{O::poPrintToFile, O::poSelection, O::poHelp, O::poDisablePrintToFile},
         TPrintRange::prSelection,
         1,
         true,
         0x000838B9},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PrintDialogFlags(c.options, c.range, c.collate, c.toFile), c.flags);
    }
    // What the report's set-up asks for: no print-to-file, no selection, a page range.
    const int qt = ui::qtPrintDialogOptions(0x00103004);
    EXPECT_FALSE(qt & QAbstractPrintDialog::PrintToFile);
    EXPECT_FALSE(qt & QAbstractPrintDialog::PrintSelection);
    EXPECT_TRUE(qt & QAbstractPrintDialog::PrintPageRange);
}

class Dialog : public Progress {
protected:
    ui::ScriptedPrintDialog dialogs_;
    ui::ScopedPrintDialogService scopedDialogs_{&dialogs_};
};

TEST_F(Dialog, AcceptingReportsTheChoicesBack) {
    system_.names = {"Office", "Lab"};
    TRptPrinter printer;
    TRptPrintDialog d;
    d.Printer = &printer;
    d.Options = {TPrintDialogOption::poPageNums, TPrintDialogOption::poWarning};
    d.MinPage = 1;
    d.MaxPage = 9;
    ui::PrintDialogAnswer a;
    a.accepted = true;
    a.flags = ui::PD_PAGENUMS;
    a.fromPage = 2;
    a.toPage = 4;
    a.copies = 1;
    a.printerName = "Lab";
    a.mode.fields = print::DM_PAPERSIZE | print::DM_DUPLEX | print::DM_COPIES;
    a.mode.paper = {297, 420};
    a.mode.orientation = 2;
    a.mode.copies = 3;
    a.mode.duplex = 2;
    a.mode.defaultSource = 14;
    a.mode.collate = 1;
    dialogs_.answers.push_back(a);
    int shown = 0;
    d.OnShow = [&] { ++shown; };
    ASSERT_TRUE(d.Execute());
    EXPECT_EQ(shown, 1);
    ASSERT_EQ(dialogs_.requests.size(), 1u);
    EXPECT_EQ(dialogs_.requests[0].flags, 0x00103004u);
    EXPECT_EQ(dialogs_.requests[0].printerName, "Office");
    EXPECT_EQ(dialogs_.requests[0].maxPage, 9);
    EXPECT_EQ(printer.Printer()->Name(), "Lab");
    EXPECT_EQ(d.PrintRange, TPrintRange::prPageNums);
    EXPECT_EQ(d.FromPage, 2);
    EXPECT_EQ(d.ToPage, 4);
    EXPECT_EQ(d.Copies(), 3); // one copy from the dialog keeps the printer's own count
    EXPECT_EQ(d.PaperSize, 8);
    EXPECT_DOUBLE_EQ(d.Paperwidth, 2970);
    EXPECT_DOUBLE_EQ(d.Paperlength, 4200);
    EXPECT_EQ(d.Orientation, 2);
    EXPECT_TRUE(d.Duplex);
    EXPECT_EQ(d.DuplexCode, 2);
    EXPECT_EQ(d.OutputBin, 14);
    EXPECT_EQ(d.Collate, 1);
    EXPECT_FALSE(d.PrintToFile);
}

TEST_F(Dialog, CancellingChangesNothing) {
    TRptPrinter printer;
    TRptPrintDialog d;
    d.Printer = &printer;
    d.FromPage = 3;
    d.SetCopies(2);
    d.Duplex = true;
    EXPECT_FALSE(d.Execute());
    EXPECT_EQ(d.FromPage, 3);
    EXPECT_EQ(d.Copies(), 2);
    EXPECT_TRUE(d.Duplex);
    EXPECT_EQ(d.PrintRange, TPrintRange::prAllPages);
    // Setting the copies also set the printer object's.
    EXPECT_EQ(printer.Settings.Copies, 2);
}

TEST_F(Dialog, SimplexAndMoreCopiesComeBackAsTheyAre) {
    TRptPrinter printer;
    TRptPrintDialog d;
    d.Printer = &printer;
    ui::PrintDialogAnswer a;
    a.accepted = true;
    a.copies = 4;
    a.mode.copies = 1;
    a.mode.duplex = 1;
    dialogs_.answers.push_back(a);
    ASSERT_TRUE(d.Execute());
    EXPECT_EQ(d.Copies(), 4);
    EXPECT_FALSE(d.Duplex);
    EXPECT_EQ(d.PrintRange, TPrintRange::prAllPages);
}

TEST(RptTexts, HoldTheirTextsExactly) {
    // Typed from the texts the engine must show, the awkward ones included.
    const std::vector<std::pair<int, const char*>> fixture = {
        {64928, "Enter page number"},
        {64932, "Report Preview : "},
        {64933, "&Close"},
        {64935, "No printer is installed"},
        {64936, "The file is not a valid report file"},
        {64955, "ThumbNails"},
        {64960, "Illegal character in numeric contant \"%s\""},
        {64989, "Cannot divide by 0"},
        {65015, "Illegal call to NewPage"},
        {65016, "RptPrinter not ready"},
        {65022, " Completed"},
        {65023, "Folioprint file"},
        {65036, "100% Size"},
        {65041, "A3 Transverse 420 z 297 mm"},
        {65055, "TitleBand"},
        {65061, "A4 Transverse 297 z 210 mm"},
        {65063, "SuperASuperAA4 227 x 356 mm"},
        {65086, "RESERVED--DO NOT USE"},
        {65134, "Default size"},
        {65135, "Letter 8 1/2 x 11 in"},
    };
    for (const auto& [id, text] : fixture) {
        EXPECT_STREQ(RptText(id), text) << id;
    }
    EXPECT_STREQ(RptText(64937), "");
    const std::vector<int> ids = RptTextIds();
    EXPECT_TRUE(std::is_sorted(ids.begin(), ids.end()));
    EXPECT_EQ(std::adjacent_find(ids.begin(), ids.end()), ids.end());
    EXPECT_EQ(ids.front(), 64928);
    EXPECT_EQ(ids.back(), 65135);
    // Every identifier of the engine's ranges is there except the unused 64937..64943 and
    // 65120..65133.
    EXPECT_EQ(ids.size(), std::size_t(65135 - 64928 + 1 - 7 - 14));
}

} // namespace
