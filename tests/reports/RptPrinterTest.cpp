// The printer object: page counts and their messages, page ranges on a recording printer, the
// conversions, paper sizes, the device mode it writes, printing stored pages, loading and saving.
#include "platform/emf/Metafile.h"
#include "platform/ui/MessageBox.h"
#include "reports/pages/RptError.h"
#include "reports/pages/RptPrntr.h"
#include "reports/pages/RptTexts.h"

#include <gtest/gtest.h>

#include <fstream>
#include <unistd.h>

namespace {

using namespace platform;
using print::DeviceMode;
using print::RecordingPrintSystem;

class Spy : public ui::MessageTarget {
public:
    void HandleMessage(const ui::Message& m) override { got.push_back(m); }
    std::vector<ui::Message> got;
    std::vector<std::pair<unsigned, std::intptr_t>> list() const {
        std::vector<std::pair<unsigned, std::intptr_t>> out;
        for (const auto& m : got) {
            out.emplace_back(m.msg, m.wParam);
        }
        return out;
    }
};

class Report : public TRptReportLink {
public:
    const TFolioReportPrinterSettings& ReportPrinterSettings() const override { return settings; }
    ui::MessageTarget* ReportWindow() override { return &window; }
    TFolioReportPrinterSettings settings;
    Spy window;
};

class PrinterObject : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("tb-rptprinter-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    // A run of `pages` pages, each saying "Page n".
    static void run(TRptPrinter& p, int pages) {
        p.BeginDoc();
        for (int i = 1; i <= pages; ++i) {
            p.NewPage();
            p.Canvas().Font.Name = "Arial";
            p.Canvas().TextOut(p.XPos(200), p.YPos(200), "Page " + std::to_string(i));
        }
        p.EndDoc();
    }

    RecordingPrintSystem system_;
    print::ScopedPrintSystem scopedSystem_{&system_};
    ui::ManualMessageQueue queue_;
    ui::ScopedMessageQueue scopedQueue_{&queue_};
    ui::ScriptedMessageBoxes boxes_;
    ui::ScopedMessageBoxService scopedBoxes_{&boxes_};
    std::filesystem::path dir_;
};

std::vector<std::string> textsOf(const emf::Metafile& m) {
    return emf::metafileTexts(m);
}

TEST_F(PrinterObject, OnePagePreviewRunAddsThePageAtTheEnd) {
    TRptPrinter p;
    Spy spy;
    p.MessageReceiver = &spy;
    p.BeginDoc();
    p.NewPage();
    EXPECT_EQ(p.PageList().PageCount, 0); // the page goes to the store when it is done
    p.Canvas().TextOut(10, 10, "Only page");
    p.EndDoc();
    EXPECT_EQ(p.Status, TRptPrinter::Finished);
    EXPECT_EQ(p.PageList().PageCount, 1);
    EXPECT_EQ(spy.list(), (std::vector<std::pair<unsigned, std::intptr_t>>{{1025, 1}}));
    // EndDoc processed the messages itself.
    EXPECT_EQ(queue_.processRuns, 1);
    // The header was written again with the final count.
    TRptStream& s = *p.PageList().Stream();
    s.Seek(8, TSeekOrigin::soBeginning);
    std::int32_t count = 0;
    s.Read(&count, 4);
    EXPECT_EQ(count, 1);
    const auto page = p.GetPage(1);
    ASSERT_TRUE(page);
    EXPECT_EQ(textsOf(*page), std::vector<std::string>{"Only page"});
    EXPECT_EQ(page->Width(), 794); // A4 at the reference resolution
    EXPECT_EQ(page->Height(), 1123);
}

TEST_F(PrinterObject, TwoPageRunReportsEachPageDone) {
    TRptPrinter p;
    Spy spy;
    p.MessageReceiver = &spy;
    p.BeginDoc();
    p.NewPage();
    p.NewPage();
    queue_.Deliver();
    EXPECT_EQ(spy.list(), (std::vector<std::pair<unsigned, std::intptr_t>>{{1025, 1}}));
    p.SetProgress(50);
    p.EndDoc();
    EXPECT_EQ(spy.list(),
              (std::vector<std::pair<unsigned, std::intptr_t>>{{1025, 1}, {1024, 50}, {1025, 2}}));
}

TEST_F(PrinterObject, CallsOutOfOrderRaiseTheEngineTexts) {
    TRptPrinter p;
    try {
        p.NewPage();
        FAIL();
    } catch (const ERptError& e) {
        EXPECT_STREQ(e.what(), "Illegal call to NewPage");
    }
    p.BeginDoc();
    try {
        p.BeginDoc();
        FAIL();
    } catch (const ERptError& e) {
        EXPECT_STREQ(e.what(), "RptPrinter not ready");
    }
    p.EndDoc();
    EXPECT_THROW(p.NewPage(), ERptError);
    EXPECT_THROW(p.BeginDoc(), ERptError);
    p.CleanUp();
    EXPECT_NO_THROW(p.BeginDoc());
}

TEST_F(PrinterObject, PageRangesReachThePrinterWithExactlyTheSelectedPages) {
    struct Case {
        int first, last;
        std::vector<std::string> printed; // empty: no job at all
    };
    const std::vector<Case> cases = {
        {2, 2, {"Page 2"}},
        {0, 0, {"Page 1", "Page 2", "Page 3"}},
        {2, 0, {"Page 2", "Page 3"}},
        {0, 1, {"Page 1"}},
        {5, 0, {}},
    };
    for (const auto& c : cases) {
        system_.finishedJobs.clear();
        {
            TRptPrinter p;
            p.Destination = TRptPrinter::ToPrinter;
            p.FirstPage = c.first;
            p.LastPage = c.last;
            p.Title = "Range";
            run(p, 3);
        }
        const auto jobs = system_.allJobs();
        if (c.printed.empty()) {
            EXPECT_TRUE(jobs.empty()) << c.first << ".." << c.last;
            continue;
        }
        ASSERT_EQ(jobs.size(), 1u) << c.first << ".." << c.last;
        EXPECT_TRUE(jobs[0].ended);
        EXPECT_EQ(jobs[0].title, "Range");
        std::vector<std::string> texts;
        for (const auto& page : jobs[0].pages) {
            const auto t = textsOf(page);
            texts.push_back(t.empty() ? std::string() : t[0]);
        }
        EXPECT_EQ(texts, c.printed) << c.first << ".." << c.last;
    }
}

TEST_F(PrinterObject, FactorsAndPositionsFollowTheDevice) {
    {
        TRptPrinter p;
        p.BeginDoc();
        EXPECT_DOUBLE_EQ(p.XFactor, 96.0 / 254.0);
        EXPECT_EQ(p.XPos(100), 38);
        EXPECT_EQ(p.XSize(2100), 794);
        EXPECT_EQ(p.YSize(2970), 1123);
    }
    struct Case {
        int dpi;
        int offset;
        double factor;
        int xpos100;
    };
    // 100 unprintable pixels at 600 dpi are 42 tenths of a millimetre.
    for (const Case& c : {Case{600, 100, 600 / 254.0, 137}, Case{20, 0, 0.37795, 38}}) {
        system_.caps.dpiX = system_.caps.dpiY = c.dpi;
        system_.caps.offsetX = system_.caps.offsetY = c.offset;
        TRptPrinter p;
        p.Destination = TRptPrinter::ToPrinter;
        p.BeginDoc();
        EXPECT_DOUBLE_EQ(p.XFactor, c.factor) << c.dpi;
        EXPECT_DOUBLE_EQ(p.YFactor, c.factor) << c.dpi;
        EXPECT_EQ(p.XPos(100), c.xpos100) << c.dpi;
        p.AbortDoc();
    }
}

TEST_F(PrinterObject, PaperSizesComeFromTheEngineTable) {
    TRptPrinter p;
    struct Case {
        TRptPaperSize size;
        TRptOrientation orientation;
        double width, length;
    };
    p.Settings.PaperWidth = 1234;
    p.Settings.PaperLength = 2345;
    for (const Case& c : {Case{TRptPaperSize::A4, TRptOrientation::poPortrait, 2100, 2970},
                          Case{TRptPaperSize::A4, TRptOrientation::poLandscape, 2970, 2100},
                          Case{TRptPaperSize::Letter, TRptOrientation::poPortrait, 2159, 2794},
                          Case{TRptPaperSize::Executive, TRptOrientation::poPortrait, 1841.5, 2667},
                          Case{TRptPaperSize::Custom, TRptOrientation::poPortrait, 1234, 2345},
                          Case{TRptPaperSize::Custom, TRptOrientation::poLandscape, 2345, 1234}}) {
        p.Settings.PaperSize = c.size;
        p.Settings.Orientation = c.orientation;
        EXPECT_DOUBLE_EQ(p.PaperWidth(), c.width) << int(c.size);
        EXPECT_DOUBLE_EQ(p.PaperLength(), c.length) << int(c.size);
    }
    // Default takes the printer's sheet; with no printer at all, A4.
    p.Settings.PaperSize = TRptPaperSize::Default;
    p.Settings.Orientation = TRptOrientation::poPortrait;
    p.Settings.PhysicalWidth = 2159;
    p.Settings.PhysicalLength = 2794;
    EXPECT_DOUBLE_EQ(p.PaperWidth(), 2159);
    system_.names.clear();
    TRptPrinter none;
    EXPECT_FALSE(none.PrintersAvailable);
    none.Settings.PaperSize = TRptPaperSize::Default;
    EXPECT_DOUBLE_EQ(none.PaperWidth(), 2100);
    EXPECT_DOUBLE_EQ(none.PaperLength(), 2970);
    EXPECT_EQ(PaperNameId(TRptPaperSize::A4), 65111);
    EXPECT_STREQ(RptText(PaperNameId(TRptPaperSize::A2)), "A2 420 x 594 mm");
    EXPECT_STREQ(RptText(PaperNameId(TRptPaperSize::Custom)), "Custom Size");
    EXPECT_STREQ(RptText(PaperNameId(TRptPaperSize::EnvB5)), "Envelope B5 (JIS) 176 x 250 mm");
}

TEST_F(PrinterObject, WritesTheReportsWishesIntoTheDeviceMode) {
    struct Case {
        const char* name;
        std::function<void(TPrinterSettings&)> set;
        std::function<void(const DeviceMode&)> check;
    };
    const std::vector<Case> cases = {
        // The report hands over its ExtendedDuplex (0 by default) before a run.
        {"duplex",
         [](auto& s) {
             s.Duplex = true;
             s.ExtendedDuplex = 0;
         },
         [](const DeviceMode& m) { EXPECT_EQ(m.duplex, 3); }},
        {"extended duplex",
         [](auto& s) {
             s.Duplex = true;
             s.ExtendedDuplex = 2;
         },
         [](const DeviceMode& m) { EXPECT_EQ(m.duplex, 2); }},
        {"simplex",
         [](auto& s) {
             s.Duplex = false;
             s.ExtendedDuplex = 0;
         },
         [](const DeviceMode& m) { EXPECT_EQ(m.duplex, 1); }},
        {"cassette", [](auto& s) { s.OutputBin = TRptBin::Cassette; },
         [](const DeviceMode& m) { EXPECT_EQ(m.defaultSource, 14); }},
        {"auto bin", [](auto& s) { s.OutputBin = TRptBin::Auto; },
         [](const DeviceMode& m) { EXPECT_EQ(m.defaultSource, 7); }},
        {"custom bin",
         [](auto& s) {
             s.UseCustomBinCode = true;
             s.CustomBinCode = 260;
         },
         [](const DeviceMode& m) { EXPECT_EQ(m.defaultSource, 260); }},
        {"A4 landscape",
         [](auto& s) {
             s.PaperSize = TRptPaperSize::A4;
             s.Orientation = TRptOrientation::poLandscape;
         },
         [](const DeviceMode& m) {
             EXPECT_EQ(m.paperCode, 9);
             EXPECT_EQ(m.paper, (print::PaperMm{210, 297}));
             EXPECT_EQ(m.orientation, 2);
         }},
        {"custom paper",
         [](auto& s) {
             s.PaperSize = TRptPaperSize::Custom;
             s.PaperWidth = 1000;
             s.PaperLength = 1500;
         },
         [](const DeviceMode& m) {
             EXPECT_EQ(m.paperCode, 256);
             EXPECT_EQ(m.paper, (print::PaperMm{100, 150}));
         }},
        {"custom paper code",
         [](auto& s) {
             s.PaperSize = TRptPaperSize::A5;
             s.UseCustomPaperCode = true;
             s.CustomPaperCode = 300;
         },
         [](const DeviceMode& m) {
             EXPECT_EQ(m.paperCode, 300);
             EXPECT_EQ(m.paper, (print::PaperMm{148, 210}));
         }},
        {"copies and collation",
         [](auto& s) {
             s.Copies = 3;
             s.Collate = 1;
             s.ColorOption = 1;
         },
         [](const DeviceMode& m) {
             EXPECT_EQ(m.copies, 3);
             EXPECT_EQ(m.collate, 1);
             EXPECT_EQ(m.color, 1);
             EXPECT_NE(m.fields & print::DM_COLLATE, 0u);
         }},
    };
    for (const auto& c : cases) {
        TRptPrinter p;
        c.set(p.Settings);
        p.Settings.ApplyToPrinter();
        auto* rec = system_.made.back();
        ASSERT_FALSE(rec->modesSet.empty()) << c.name;
        SCOPED_TRACE(c.name);
        c.check(rec->modesSet.back());
    }
    // Fields the device does not support stay out of the device mode.
    system_.caps.duplex = system_.caps.collate = false;
    TRptPrinter p;
    p.Settings.Duplex = true;
    p.Settings.ExtendedDuplex = 0;
    p.Settings.ApplyToPrinter();
    const DeviceMode m = system_.made.back()->modesSet.back();
    EXPECT_EQ(m.fields & (print::DM_DUPLEX | print::DM_COLLATE), 0u);
    // The settings' guarded setters follow the same capabilities.
    p.Settings.SetDuplex(false);
    EXPECT_TRUE(p.Settings.Duplex);
    bool asked = false;
    p.Settings.OnApplyPrinterSettings = [&](TPrinterSettings&, bool& handled, DeviceMode&) {
        asked = true;
        handled = true;
    };
    const std::size_t before = system_.made.back()->modesSet.size();
    p.Settings.ApplyToPrinter();
    EXPECT_TRUE(asked);
    EXPECT_EQ(system_.made.back()->modesSet.size(), before);
}

// A saved page file of one page of the given paper.
std::filesystem::path savedRun(const std::filesystem::path& dir, TRptPaperSize size,
                               TRptOrientation o, const std::string& name) {
    TRptPrinter p;
    p.Settings.PaperSize = size;
    p.Settings.Orientation = o;
    p.Settings.PaperWidth = 1234;
    p.Settings.PaperLength = 1500;
    p.BeginDoc();
    p.NewPage();
    p.Canvas().TextOut(5, 5, name);
    p.EndDoc();
    const auto path = dir / (name + ".fpr");
    p.Save(path);
    return path;
}

TEST_F(PrinterObject, LoadingAPageFileDetectsItsPaper) {
    struct Case {
        TRptPaperSize made;
        TRptOrientation orientation;
        TRptPaperSize detected;
    };
    for (const Case& c :
         {Case{TRptPaperSize::A4, TRptOrientation::poPortrait, TRptPaperSize::A4},
          Case{TRptPaperSize::A4, TRptOrientation::poLandscape, TRptPaperSize::A4},
          Case{TRptPaperSize::Letter, TRptOrientation::poPortrait, TRptPaperSize::Letter},
          Case{TRptPaperSize::A3, TRptOrientation::poPortrait, TRptPaperSize::A3},
          Case{TRptPaperSize::A5, TRptOrientation::poLandscape, TRptPaperSize::A5},
          Case{TRptPaperSize::Custom, TRptOrientation::poPortrait, TRptPaperSize::Default}}) {
        const auto path = savedRun(dir_, c.made, c.orientation, "paper");
        TRptPrinter p;
        p.Settings.PaperSize = TRptPaperSize::Legal;
        p.OnPrintSetup = [](TRptPrinter&) {};
        p.Load(path);
        EXPECT_EQ(p.Status, TRptPrinter::Finished);
        EXPECT_EQ(p.PageCount, 1);
        EXPECT_TRUE(p.ReportGenerated);
        EXPECT_TRUE(p.FileLoaded);
        EXPECT_FALSE(p.OnPrintSetup);
        EXPECT_EQ(p.Settings.PaperSize, c.detected) << int(c.made);
        EXPECT_EQ(p.Settings.Orientation, c.detected == TRptPaperSize::Default
                                              ? TRptOrientation::poPortrait
                                              : c.orientation)
            << int(c.made);
        if (c.detected == TRptPaperSize::Default) {
            // Unknown paper: the page's own frame gives the size.
            EXPECT_NEAR(p.PaperWidth(), 1234, 1.5);
            EXPECT_NEAR(p.PaperLength(), 1500, 1.5);
        }
    }
}

TEST_F(PrinterObject, ARefusedFileLeavesThePagesShown) {
    const auto good = savedRun(dir_, TRptPaperSize::A4, TRptOrientation::poPortrait, "kept");
    TRptPrinter p;
    p.Load(good);
    {
        std::ofstream bad(dir_ / "bad.fpr", std::ios::binary);
        bad << std::string(400, 'z');
    }
    EXPECT_THROW(p.Load(dir_ / "bad.fpr"), ERptError);
    EXPECT_EQ(p.PageCount, 1);
    EXPECT_EQ(textsOf(*p.GetPage(1)), std::vector<std::string>{"kept"});
    // Saving onto the loaded file itself works and keeps it readable.
    p.Save(good);
    TRptPrinter again;
    again.Load(good);
    EXPECT_EQ(textsOf(*again.GetPage(1)), std::vector<std::string>{"kept"});
}

TEST_F(PrinterObject, SavesOnlyAFinishedRun) {
    TRptPrinter p;
    p.BeginDoc();
    p.NewPage();
    p.Save(dir_ / "early.fpr");
    EXPECT_FALSE(std::filesystem::exists(dir_ / "early.fpr"));
    p.EndDoc();
    p.Save(dir_ / "done.fpr");
    EXPECT_TRUE(std::filesystem::exists(dir_ / "done.fpr"));
}

TEST_F(PrinterObject, PrintsStoredPagesShiftedByTheUnprintableMargins) {
    system_.caps.dpiX = system_.caps.dpiY = 192;
    system_.caps.offsetX = 10;
    system_.caps.offsetY = 20;
    TRptPrinter p;
    run(p, 3);
    p.FirstPage = 2;
    p.LastPage = 3;
    p.Title = "Stored";
    p.Print();
    const auto jobs = system_.allJobs();
    ASSERT_EQ(jobs.size(), 1u);
    ASSERT_EQ(jobs[0].pages.size(), 2u);
    EXPECT_EQ(textsOf(jobs[0].pages[0]), std::vector<std::string>{"Page 2"});
    EXPECT_EQ(textsOf(jobs[0].pages[1]), std::vector<std::string>{"Page 3"});
    // The text at report position 200 (tenths of a mm) lands at 200 x 192/254 pixels from the
    // sheet's corner, minus the printable area's offset.
    std::int32_t x = 0;
    std::int32_t y = 0;
    jobs[0].pages[0].ForEachRecord([&](const emf::EmfRecord& r) {
        if (r.type == emf::EMR_EXTTEXTOUTW) {
            x = emf::readI32(r.bytes, 36);
            y = emf::readI32(r.bytes, 40);
        }
        return true;
    });
    EXPECT_NEAR(x, 200 * 192 / 254.0 - 10, 1.0);
    EXPECT_NEAR(y, 200 * 192 / 254.0 - 20, 1.0);
    // An empty range starts no job.
    p.FirstPage = 4;
    p.LastPage = 0;
    p.Print();
    EXPECT_EQ(system_.allJobs().size(), 1u);
}

TEST_F(PrinterObject, WithoutPrintersPrintingTellsTheUser) {
    system_.names.clear();
    TRptPrinter p;
    run(p, 1);
    p.Print();
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_EQ(boxes_.shown[0].text, "No printer is installed");
    EXPECT_TRUE(system_.allJobs().empty());
}

TEST_F(PrinterObject, AskingToPrintBeforeTheRunReturnedGoesToTheReport) {
    Report report;
    TRptPrinter p(&report);
    run(p, 1);
    p.Print();
    queue_.Deliver();
    ASSERT_EQ(report.window.got.size(), 1u);
    EXPECT_EQ(report.window.got[0].msg, 1026u);
    EXPECT_TRUE(system_.allJobs().empty());
    p.ReportGenerated = true;
    p.Print();
    EXPECT_EQ(system_.allJobs().size(), 1u);
}

TEST_F(PrinterObject, ClosingThePreviewPostsItsMessage) {
    TRptPrinter p;
    Spy closed;
    p.PreviewClosedReceiver = &closed;
    p.ShowingPreview = true;
    p.ClosePreview();
    EXPECT_FALSE(p.ShowingPreview);
    EXPECT_TRUE(closed.got.empty()); // posted, not sent
    queue_.Deliver();
    ASSERT_EQ(closed.got.size(), 1u);
    EXPECT_EQ(closed.got[0].msg, 1028u);
    EXPECT_EQ(closed.got[0].lParam, reinterpret_cast<std::intptr_t>(&p));
}

TEST_F(PrinterObject, ChoosesAPrinterByIndexOnlyWhenItExists) {
    system_.names = {"First", "Second"};
    TRptPrinter p;
    EXPECT_EQ(p.Printer()->Name(), "First");
    p.SetPrinterIndex(5);
    EXPECT_EQ(p.Printer()->Name(), "First");
    p.SetPrinterIndex(1);
    EXPECT_EQ(p.Printer()->Name(), "Second");
    EXPECT_EQ(p.PrinterIndex(), 1);
}

} // namespace
