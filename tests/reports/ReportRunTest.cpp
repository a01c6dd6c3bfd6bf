// Runs of a report: the data loop with nested groups, PrintIfEmpty, printing to a printer, and
// every way a run can end early (cancelled from the preview or the progress window, a printer
// object that fails, no printer, BeforePrint saying no), after which the report is available
// again and holds no printer object.
#include "ReportTestSupport.h"

#include "reports/engine/RptControls.h"
#include "reports/pages/RptProgressForm.h"
#include "reports/pages/RptTexts.h"

#include <QApplication>

#include <cstdlib>

namespace {

using namespace rpttest;

void logBand(TRptCustomBand& band, std::vector<std::string>& log) {
    band.AfterPrint = [&log](TRptCustomBand& b, bool printed) {
        log.push_back(b.Name + (printed ? "" : " (not printed)"));
    };
}

int liveProgressWindows() {
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        n += dynamic_cast<TRptProgressForm*>(w) != nullptr ? 1 : 0;
    }
    return n;
}

TEST_F(ReportMachine, NestedGroupsBreakInTheirOrder) {
    TRptMemoryDataSet data("Data",
                           {{"Outer", TRptFieldType::String}, {"Inner", TRptFieldType::String}});
    for (const auto& [o, i] : {std::pair{"A", "x"}, {"A", "y"}, {"B", "y"}}) {
        data.AppendRow({TRptEvResult::String(o), TRptEvResult::String(i)});
    }
    data.Open();
    TFolioReport r;
    r.DataSet = &data;
    r.OwnerDataSets = {&data};
    std::vector<std::string> log;
    auto& outer = r.AddBand<TRptGroup>();
    outer.Name = "OuterHeader";
    outer.Expression = "Outer";
    auto& inner = r.AddBand<TRptGroup>();
    inner.Name = "InnerHeader";
    inner.Expression = "inner"; // field names ignore case
    auto& outerFooter = r.AddBand<TRptBand>(TRptBandType::rbDetail);
    outerFooter.Name = "OuterFooter";
    outer.SetFooterBand(&outerFooter);
    auto& innerFooter = r.AddBand<TRptBand>(TRptBandType::rbDetail);
    innerFooter.Name = "InnerFooter";
    inner.SetFooterBand(&innerFooter);
    EXPECT_EQ(innerFooter.BandType(), TRptBandType::rbGroupFooter);
    auto& detail = r.AddBand<TRptBand>(TRptBandType::rbDetail);
    detail.Name = "Detail";
    auto& title = r.AddBand<TRptBand>(TRptBandType::rbTitle);
    auto& summary = r.AddBand<TRptBand>(TRptBandType::rbSummary);
    for (TRptCustomBand* b : std::initializer_list<TRptCustomBand*>{
             &outer, &inner, &outerFooter, &innerFooter, &detail, &title, &summary}) {
        logBand(*b, log);
    }
    const std::vector<std::string> order{"TitleBand1",  "OuterHeader", "InnerHeader", "Detail",
                                         "InnerFooter", "OuterFooter", "SummaryBand1"};
    std::vector<std::string> listed;
    for (TRptCustomBand* b : r.BandList()) {
        listed.push_back(b->Name);
    }
    EXPECT_EQ(listed, order);

    const auto pages = previewPages(r);
    EXPECT_EQ(pages.size(), 1u);
    const std::vector<std::string> expected{
        "TitleBand1",  "OuterHeader", "InnerHeader", "Detail",      "InnerFooter",
        "InnerHeader", "Detail",      "InnerFooter", "OuterFooter", "OuterHeader",
        "InnerHeader", "Detail",      "InnerFooter", "OuterFooter", "SummaryBand1"};
    EXPECT_EQ(log, expected);
}

TEST_F(ReportMachine, PrintIfEmptyPrintsEachBandOnceOrNothing) {
    for (const bool printIfEmpty : {true, false}) {
        TFolioReport r;
        r.SetPrintIfEmpty(printIfEmpty);
        std::vector<std::string> log;
        logBand(r.AddBand<TRptBand>(TRptBandType::rbSummary), log);
        logBand(r.AddBand<TRptBand>(TRptBandType::rbDetail), log);
        logBand(r.AddBand<TRptBand>(TRptBandType::rbTitle), log);
        auto& off = r.AddBand<TRptBand>(TRptBandType::rbPageFooter);
        off.Enabled = false;
        logBand(off, log);
        const auto pages = previewPages(r);
        if (printIfEmpty) {
            EXPECT_EQ(log, (std::vector<std::string>{"TitleBand1", "DetailBand1", "SummaryBand1",
                                                     "PageFooterBand1 (not printed)"}));
            EXPECT_EQ(pages.size(), 1u);
        } else {
            EXPECT_TRUE(log.empty());
            EXPECT_TRUE(pages.empty());
        }
    }
}

TEST_F(ReportMachine, PrintGoesToThePrinterWithItsTitleAndProgress) {
    TFolioReport r;
    measurementPage(r);
    r.ReportTitle = "T";
    r.ShowProgress = false;
    auto& title = r.AddBand<TRptBand>(TRptBandType::rbTitle);
    title.Add<TRptLabel>().SetCaption("Printed straight");
    bool after = false;
    r.AfterPrint = [&](TCustomFolioReport&) { after = true; };
    std::vector<int> paperCodes;
    r.OnApplyPrinterSettings = [&](TPrinterSettings&, bool&, platform::print::DeviceMode& m) {
        paperCodes.push_back(m.paperCode);
    };
    r.Print();
    ASSERT_FALSE(paperCodes.empty());
    EXPECT_EQ(paperCodes.back(), 9); // A4 as the report set it
    const auto jobs = system_.allJobs();
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(jobs[0].title, "T");
    EXPECT_TRUE(jobs[0].ended);
    ASSERT_EQ(jobs[0].pages.size(), 1u);
    EXPECT_EQ(platform::emf::metafileTexts(jobs[0].pages[0]),
              std::vector<std::string>{"Printed straight"});
    EXPECT_EQ(r.Functions.Element("REPORTTITLE")->Evaluate(), TRptEvResult::String("T"));
    EXPECT_TRUE(after);
    EXPECT_EQ(r.RptPrinter(), nullptr);
    EXPECT_EQ(liveProgressWindows(), 0);
}

TEST_F(ReportMachine, EveryEarlyEndLeavesTheReportAvailable) {
    enum class End { PreviewClosed, ProgressCancel, PrinterFails, NoPrinter, BeforePrintNo };
    for (const End end : {End::PreviewClosed, End::ProgressCancel, End::PrinterFails,
                          End::NoPrinter, End::BeforePrintNo}) {
        SCOPED_TRACE(int(end));
        system_.names = end == End::NoPrinter ? std::vector<std::string>{}
                                              : std::vector<std::string>{"Recorder"};
        const std::size_t jobsBefore = system_.allJobs().size();
        boxes_.shown.clear();
        TFolioReport r;
        measurementPage(r);
        r.ShowProgress = true;
        auto& detail = r.AddBand<TRptBand>(TRptBandType::rbDetail);
        detail.SetPixelHeight(300); // three records to a page
        int records = 0;
        int printed = 0;
        r.OnNeedData = [&](TRptComponent&, bool& more) { more = ++records <= 100; };
        detail.AfterPrint = [&](TRptCustomBand&, bool) {
            ++printed;
            if (records == 5 && end == End::ProgressCancel) {
                r.RptPrinter()->Cancel(); // the progress window's Cancel
            }
            if (records == 5 && end == End::PreviewClosed) {
                r.RptPrinter()->ClosePreview();
                r.Print(); // nothing while a run is in progress
            }
        };
        if (end == End::BeforePrintNo) {
            r.BeforePrint = [](TCustomFolioReport&, bool& print) { print = false; };
        }
        const char* tmp = std::getenv("TMPDIR");
        const std::string savedTmp = tmp != nullptr ? tmp : "";
        if (end == End::PrinterFails) {
            // The page store spills at once into a folder that is not there.
            r.PrinterSettings.MemoryLimit = 1;
            ::setenv("TMPDIR", "/nonexistent/tollerbank-test", 1);
        }
        try {
            if (end == End::ProgressCancel || end == End::NoPrinter) {
                r.Print();
            } else {
                r.OnPreview = [](TRptPrinter& p) { p.ShowingPreview = true; };
                queue_.onWait = [&] { r.RptPrinter()->ClosePreview(); };
                if (end == End::PrinterFails) {
                    EXPECT_THROW(r.Preview(), std::exception);
                } else {
                    r.Preview();
                }
            }
        } catch (...) {
            ADD_FAILURE() << "the run let an error through";
        }
        if (end == End::PrinterFails) {
            savedTmp.empty() ? ::unsetenv("TMPDIR") : ::setenv("TMPDIR", savedTmp.c_str(), 1);
        }
        EXPECT_TRUE(r.Available);
        EXPECT_EQ(r.RptPrinter(), nullptr);
        EXPECT_EQ(liveProgressWindows(), 0);
        const auto jobs = system_.allJobs();
        switch (end) {
        case End::PreviewClosed:
        case End::ProgressCancel:
            EXPECT_TRUE(r.Cancelled);
            EXPECT_EQ(printed, 5); // stopped at the next record
            if (end == End::ProgressCancel) {
                ASSERT_EQ(jobs.size(), jobsBefore + 1);
                EXPECT_TRUE(jobs.back().aborted);
                EXPECT_FALSE(jobs.back().ended);
            }
            break;
        case End::PrinterFails:
            EXPECT_EQ(printed, 3); // the first page's end could not be stored
            break;
        case End::NoPrinter:
            EXPECT_EQ(printed, 0);
            ASSERT_EQ(boxes_.shown.size(), 1u);
            EXPECT_EQ(boxes_.shown[0].text, RptText(rtxtNoPrinter));
            break;
        case End::BeforePrintNo:
            EXPECT_EQ(printed, 0);
            EXPECT_EQ(r.PageCount, 0);
            break;
        }
        if (end != End::ProgressCancel) {
            EXPECT_EQ(jobs.size(), jobsBefore);
        }
    }
}

TEST_F(ReportMachine, FooterChildrenDisabledBandsAndMessages) {
    TFolioReport r;
    measurementPage(r);
    r.ShowProgress = false;
    auto& footer = r.AddBand<TRptBand>(TRptBandType::rbPageFooter);
    footer.Size.NativeHeight = 50;
    auto& footerChild = r.AddBand<TRptChildBand>();
    footerChild.Size.NativeHeight = 30;
    EXPECT_TRUE(footerChild.SetParentBand(&footer));
    EXPECT_FALSE(footerChild.SetParentBand(&footerChild));
    auto& detail = r.AddBand<TRptBand>(TRptBandType::rbDetail);
    detail.Enabled = false;
    detail.ForceNewPage = true;
    auto& detailChild = r.AddBand<TRptChildBand>();
    detailChild.SetParentBand(&detail);
    EXPECT_EQ(footer.ChildBand(), &footerChild);
    std::vector<std::string> listed;
    for (TRptCustomBand* b : r.BandList()) {
        listed.push_back(b->Name);
    }
    EXPECT_EQ(listed, (std::vector<std::string>{"DetailBand1", "ChildBand2", "PageFooterBand1",
                                                "ChildBand1"}));

    struct Seen {
        std::string band;
        bool printed;
        TRptBandType type;
        int page;
        int yAfter;
        bool operator==(const Seen&) const = default;
    };
    std::vector<Seen> log;
    for (TRptCustomBand* b : r.BandList()) {
        b->AfterPrint = [&log](TRptCustomBand& band, bool printed) {
            log.push_back({band.Name, printed, band.PrintType(), band.ParentReport->PageCount,
                           band.ParentReport->CurrentY});
        };
    }
    bool afterPreview = false;
    r.AfterPreview = [&](TCustomFolioReport&) { afterPreview = true; };
    const auto pages = previewPages(r);
    EXPECT_EQ(pages.size(), 1u);
    // The disabled detail still hands on to its child, which opens page 1; the footers sit at
    // the page end above the bottom margin, the child counted with its footer.
    const std::vector<Seen> expected{
        {"DetailBand1", false, TRptBandType::rbDetail, 0, -1},
        {"ChildBand2", true, TRptBandType::rbChild, 1, 206},
        {"PageFooterBand1", true, TRptBandType::rbPageFooter, 1, 2840},
        {"ChildBand1", true, TRptBandType::rbPageFooter, 1, 2870},
    };
    EXPECT_EQ(log, expected);
    EXPECT_EQ(footerChild.PrintType(), TRptBandType::rbChild);
    EXPECT_TRUE(afterPreview);

    // The printer object's print request runs Print.
    const std::size_t jobs = system_.allJobs().size();
    platform::ui::PostMessage(&r, RPT_MSG_PRINT, 0, 0);
    EXPECT_EQ(system_.allJobs().size(), jobs); // posted, not yet delivered
    queue_.Deliver();
    EXPECT_EQ(system_.allJobs().size(), jobs + 1);
}

TEST_F(ReportMachine, SubDetailsForcedBreaksAndReprintedGroupHeaders) {
    TRptMemoryDataSet master("Master", {{"Key", TRptFieldType::String}});
    for (const char* k : {"a", "a", "a", "a", "b"}) {
        master.AppendRow({TRptEvResult::String(k)});
    }
    master.Open();
    TRptMemoryDataSet lines("Lines", {{"N", TRptFieldType::Integer}});
    lines.AppendRow({TRptEvResult::Integer(1)});
    lines.AppendRow({TRptEvResult::Integer(2)});
    lines.Open();

    TFolioReport r;
    measurementPage(r);
    r.DataSet = &master;
    std::vector<std::string> log;
    const auto logged = [&](TRptCustomBand& b) {
        b.AfterPrint = [&log](TRptCustomBand& band, bool) {
            log.push_back(band.Name + "@" + std::to_string(band.ParentReport->PageCount));
        };
    };
    auto& group = r.AddBand<TRptGroup>();
    group.Expression = "Key";
    group.ReprintOnNewPage = true;
    group.SetPixelHeight(20);
    logged(group);
    auto& detail = r.AddBand<TRptBand>(TRptBandType::rbDetail);
    detail.ForceNewPage = true; // the group header has begun a page: every detail breaks
    detail.SetPixelHeight(20);
    logged(detail);
    auto& sub = r.AddBand<TRptSubDetail>();
    ASSERT_TRUE(sub.SetMaster(&r));
    EXPECT_FALSE(sub.SetMaster(&sub));
    sub.Controller().DataSet = &lines;
    sub.SetPixelHeight(20);
    logged(sub);
    sub.SetHasFooter(true);
    logged(*sub.Controller().FooterBand);
    r.RebuildBandList();

    const auto pages = previewPages(r);
    // Each detail forces a new page, where the group header is printed again before it; the
    // change of key prints the header where the last record ended, and again on the next page.
    std::vector<std::string> expected{"GroupHeaderBand1@1"};
    for (int page = 2; page <= 6; ++page) {
        const std::string p = "@" + std::to_string(page);
        if (page == 6) {
            expected.push_back("GroupHeaderBand1@5");
        }
        for (const char* band : {"GroupHeaderBand1", "DetailBand1", "SubDetailBand1",
                                 "SubDetailBand1", "GroupFooterBand1"}) {
            expected.push_back(band + p);
        }
    }
    EXPECT_EQ(log, expected);
    EXPECT_EQ(pages.size(), 6u);

    // Without a page yet, the first forced break does not break.
    TFolioReport plain;
    plain.DataSet = &master;
    auto& only = plain.AddBand<TRptBand>(TRptBandType::rbDetail);
    only.ForceNewPage = true;
    EXPECT_EQ(previewPages(plain).size(), 5u);
}

} // namespace
