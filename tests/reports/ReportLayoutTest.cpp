// Where a report puts its bands: units and the page, band heights on A4 with 10 mm margins, the
// one page break a band may cause, columns, and a page that stays A4 whatever the locale or the
// default printer says.
#include "ReportTestSupport.h"

#include "reports/engine/RptControls.h"

#include <cmath>

namespace {

using namespace rpttest;

TEST(RptUnits, ConversionsOfEveryUnit) {
    struct Case {
        TRptUnit unit;
        double zoom;
        double value;
        bool vertical;
        double native;
    };
    const Case cases[] = {
        {TRptUnit::MM, 100, 21, false, 210},           {TRptUnit::Inches, 100, 0.5, false, 127},
        {TRptUnit::Pixels, 100, 96, false, 254},       {TRptUnit::Pixels, 200, 96, false, 127},
        {TRptUnit::Characters, 100, 1, false, 31.496}, {TRptUnit::Characters, 100, 1, true, 57.205},
        {TRptUnit::Native, 100, 12.5, true, 12.5},
    };
    for (const auto& c : cases) {
        TRptUnitBase u;
        u.SetUnits(c.unit);
        u.Zoom = c.zoom;
        EXPECT_NEAR(u.ToNative(c.value, c.vertical), c.native, 0.001) << int(c.unit);
        EXPECT_NEAR(u.FromNative(u.ToNative(c.value, c.vertical), c.vertical), c.value, 1e-9);
    }
    TRptUnitBase noFont;
    noFont.SetUnits(TRptUnit::Characters);
    noFont.FontSize = 0;
    EXPECT_EQ(noFont.ToNative(3), 0);
    EXPECT_EQ(noFont.FromNative(3), 0);
}

TEST(RptPage, PaperSizesOrientationAndLockedDimensions) {
    SetRptUsMeasurement(false);
    TRptPage page;
    EXPECT_EQ(page.PaperSize(), TRptPaperSize::A4);
    EXPECT_EQ(page.Units(), TRptUnit::MM);
    page.SetOrientation(TRptOrientation::poLandscape);
    EXPECT_DOUBLE_EQ(page.Width(), 297);
    EXPECT_DOUBLE_EQ(page.Length(), 210);
    page.SetOrientation(TRptOrientation::poPortrait);
    EXPECT_DOUBLE_EQ(page.Width(), 210);
    EXPECT_DOUBLE_EQ(page.Length(), 297);
    page.SetLength(100); // a named size keeps its dimensions
    EXPECT_DOUBLE_EQ(page.Length(), 297);
    page.SetPaperSize(TRptPaperSize::Custom);
    page.SetLength(100);
    EXPECT_DOUBLE_EQ(page.Native(TRptPage::LengthIndex), 1000);
    page.SetColumns(0);
    EXPECT_EQ(page.Columns(), 1);

    SetRptUsMeasurement(true);
    TRptPage us;
    SetRptUsMeasurement(std::nullopt);
    EXPECT_EQ(us.Units(), TRptUnit::Inches);
    EXPECT_EQ(us.PaperSize(), TRptPaperSize::Letter);
    EXPECT_NEAR(us.Native(TRptPage::WidthIndex), 2159, 1e-9);
    for (int i : {TRptPage::TopMarginIndex, TRptPage::BottomMarginIndex, TRptPage::LeftMarginIndex,
                  TRptPage::RightMarginIndex}) {
        EXPECT_DOUBLE_EQ(us.Native(i), 127);
    }
}

TEST(RptFrame, ThicknessOnDevicesOfEveryResolution) {
    struct Case {
        int width;
        double factor;
        int thickness;
    };
    for (const auto& c : {Case{1, 0.37795, 1}, Case{1, 2.3622, 8}, Case{1, 0.1, 1},
                          Case{-1, 2.3622, 1}, Case{3, 0.37795, 4}, Case{0, 0.37795, 0}}) {
        TRptFrame f;
        f.Width = c.width;
        EXPECT_EQ(f.Thickness(c.factor), c.thickness) << c.width << " at " << c.factor;
    }
}

TEST_F(ReportMachine, BandSwitchesNamesLinksAndAlignment) {
    TFolioReport r;
    r.Bands.SetHasTitle(true);
    r.Bands.SetHasTitle(true);
    EXPECT_EQ(r.AllBands().size(), 1u);
    EXPECT_EQ(r.AllBands()[0]->Name, "TitleBand1");
    r.AddBand<TRptBand>(TRptBandType::rbTitle);
    EXPECT_EQ(r.AddBand<TRptBand>(TRptBandType::rbTitle).Name, "TitleBand3");
    EXPECT_EQ(GetUniqueName(r, "SummaryBand"), "SummaryBand1");
    while (r.Bands.HasTitle()) {
        r.Bands.SetHasTitle(false);
    }
    EXPECT_TRUE(r.AllBands().empty());

    auto& a = r.AddBand<TRptBand>(TRptBandType::rbDetail);
    auto& b = r.AddBand<TRptBand>(TRptBandType::rbSummary);
    EXPECT_TRUE(a.SetLinkBand(&b));
    EXPECT_FALSE(b.SetLinkBand(&a));
    EXPECT_EQ(b.LinkBand(), nullptr);
    EXPECT_DOUBLE_EQ(a.StretchedHeight(), a.Size.NativeHeight + b.Size.NativeHeight);

    // A4 less 10 mm margins: a band 718 pixels wide.
    measurementPage(r);
    ASSERT_EQ(b.PixelWidth(), 718);
    auto& shape = b.Add<TRptShape>();
    shape.SetWidth(100);
    shape.SetAlignment(TAlignment::taRightJustify);
    shape.SetAlignToBand(true);
    EXPECT_EQ(shape.Left(), 618);
    shape.SetAlignment(TAlignment::taCenter);
    EXPECT_EQ(shape.Left(), 309);

    // Moving to another report's band takes its units and zoom; the place stays.
    TFolioReport other;
    other.SetZoom(200);
    other.SetUnits(TRptUnit::Inches);
    auto& target = other.AddBand<TRptBand>(TRptBandType::rbSummary);
    const double left = shape.Size.NativeLeft;
    shape.MoveTo(target);
    EXPECT_EQ(shape.Parent(), &target);
    EXPECT_EQ(shape.ParentReport, &other);
    EXPECT_EQ(shape.Size.Units(), TRptUnit::Inches);
    EXPECT_EQ(shape.Size.Zoom, 200);
    EXPECT_DOUBLE_EQ(shape.Size.NativeLeft, left);
    EXPECT_TRUE(b.Printables().empty());

    r.SetZoom(0);
    r.SetZoom(301);
    EXPECT_EQ(r.Zoom(), 100);
    r.SetZoom(300);
    EXPECT_EQ(r.Zoom(), 300);
}

// What a band saw when it had printed: page, place and room left.
struct Printed {
    std::string band;
    int page;
    int x;
    int yAfter;
    int room;
    friend bool operator==(const Printed&, const Printed&) = default;
};

void PrintTo(const Printed& p, std::ostream* os) {
    *os << p.band << " page " << p.page << " x " << p.x << " y " << p.yAfter << " room " << p.room;
}

void track(TRptCustomBand& band, std::vector<Printed>& log) {
    band.AfterPrint = [&log](TRptCustomBand& b, bool) {
        TCustomFolioReport& r = *b.ParentReport;
        log.push_back({b.Name, r.PageCount, r.CurrentX, r.CurrentY, r.AvailableSpace()});
    };
}

TEST_F(ReportMachine, TitleAndSummaryOnA4WithTenMillimetreMargins) {
    struct Case {
        double summary; // tenths of a millimetre
        std::vector<Printed> expected;
        int pages;
    };
    const double px = 254.0 / 96.0;
    const Case cases[] = {
        // 968 pixels fit below the 75-pixel title.
        {968 * px, {{"TitleBand1", 1, 100, 298, 2572}, {"SummaryBand1", 1, 100, 2859, 11}}, 1},
        // Just under the room left after the title.
        {2572.4, {{"TitleBand1", 1, 100, 298, 2572}, {"SummaryBand1", 1, 100, 2870, 0}}, 1},
        // More than the room, less than an empty page: page 2, below its page header.
        {2600, {{"TitleBand1", 1, 100, 298, 2572}, {"SummaryBand1", 2, 100, 2750, 120}}, 2},
        // Fits no empty page either (1100 pixels): printed where it stands.
        {1100 * px, {{"TitleBand1", 1, 100, 298, 2572}, {"SummaryBand1", 1, 100, 3208, -338}}, 1},
    };
    for (const auto& c : cases) {
        TFolioReport r;
        measurementPage(r);
        r.Options.FirstPageHeader = false;
        auto& header = r.AddBand<TRptBand>(TRptBandType::rbPageHeader);
        header.Size.NativeHeight = 50;
        auto& title = r.AddBand<TRptBand>(TRptBandType::rbTitle);
        title.SetPixelHeight(75);
        auto& summary = r.AddBand<TRptBand>(TRptBandType::rbSummary);
        summary.Size.NativeHeight = c.summary;
        std::vector<Printed> log;
        track(title, log);
        track(summary, log);
        const auto pages = previewPages(r);
        EXPECT_EQ(log, c.expected) << c.summary;
        ASSERT_EQ(int(pages.size()), c.pages);
        EXPECT_EQ(pages[0].Width(), 794);
        EXPECT_EQ(pages[0].Height(), 1123);
        EXPECT_EQ(r.Functions.Element("PAGENUMBER")->Evaluate(), TRptEvResult::Integer(c.pages));
        EXPECT_TRUE(r.Available);
        EXPECT_EQ(r.RptPrinter(), nullptr);
        EXPECT_EQ(r.AvailableSpace(), 0);
    }
}

TEST_F(ReportMachine, ThreeColumnsThenANewPage) {
    TFolioReport r;
    measurementPage(r);
    r.Page.SetColumns(3);
    r.Page.SetColumnSpace(5);
    auto& detail = r.AddBand<TRptBand>(TRptBandType::rbDetail);
    detail.ForceNewColumn = true;
    EXPECT_DOUBLE_EQ(detail.Size.NativeWidth, 600); // (2100 - 200 - 100) div 3
    int records = 0;
    r.OnNeedData = [&](TRptComponent&, bool& more) { more = ++records <= 4; };
    std::vector<Printed> log;
    track(detail, log);
    const auto pages = previewPages(r);
    ASSERT_EQ(log.size(), 4u);
    const int h = RptRound(detail.Size.NativeHeight);
    EXPECT_EQ(log[0], (Printed{"DetailBand1", 1, 100, 100 + h, 2770 - h}));
    EXPECT_EQ(log[1], (Printed{"DetailBand1", 1, 750, 100 + h, 2770 - h}));
    EXPECT_EQ(log[2], (Printed{"DetailBand1", 1, 1400, 100 + h, 2770 - h}));
    EXPECT_EQ(log[3], (Printed{"DetailBand1", 2, 100, 100 + h, 2770 - h}));
    EXPECT_EQ(pages.size(), 2u);
    EXPECT_EQ(r.Functions.Element("COLUMNNUMBER")->Evaluate(), TRptEvResult::Integer(1));
}

TEST_F(ReportMachine, MarginsLargerThanThePageBecomeZero) {
    TFolioReport r;
    measurementPage(r);
    r.Page.SetLeftMargin(150);
    r.Page.SetRightMargin(100);
    r.AddBand<TRptBand>(TRptBandType::rbTitle);
    previewPages(r);
    EXPECT_EQ(r.Page.Native(TRptPage::LeftMarginIndex), 0);
    EXPECT_EQ(r.Page.Native(TRptPage::RightMarginIndex), 0);
    EXPECT_EQ(r.Page.Native(TRptPage::TopMarginIndex), 100);
}

// A print system whose printers start on Letter paper.
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

TEST_F(ReportMachine, MeasurementPageIsA4UnderAUsLocaleAndALetterPrinter) {
    LetterPrinters letter;
    struct Case {
        bool usLocale;
        platform::print::PrintSystem* system;
        TRptPaperSize defaultPaper;
    };
    for (const auto& c :
         {Case{true, &system_, TRptPaperSize::A4}, Case{false, &letter, TRptPaperSize::Letter}}) {
        platform::print::ScopedPrintSystem scoped(c.system);
        SetRptUsMeasurement(c.usLocale);
        TFolioReport r;
        SetRptUsMeasurement(std::nullopt);
        EXPECT_EQ(r.Page.PaperSize(), c.defaultPaper);
        EXPECT_EQ(r.Page.Units(), c.usLocale ? TRptUnit::Inches : TRptUnit::MM);
        measurementPage(r);
        r.AddBand<TRptBand>(TRptBandType::rbTitle).SetPixelHeight(75);
        const auto pages = previewPages(r);
        ASSERT_EQ(pages.size(), 1u);
        EXPECT_EQ(pages[0].Width(), 794);
        EXPECT_EQ(pages[0].Height(), 1123);
        EXPECT_DOUBLE_EQ(r.Page.Native(TRptPage::TopMarginIndex), 100);
        // The preview window keeps the size a report that never set one reads: 500 x 500.
        const TRptPreviewOptions* options = r.PreviewOptions();
        ASSERT_NE(options, nullptr);
        EXPECT_EQ(options->Width, 500);
        EXPECT_EQ(options->Height, 500);
        EXPECT_EQ(options->InitialZoom, TRptZoomState::rpZoomToFit);
    }
}

} // namespace
