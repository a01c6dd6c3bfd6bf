// The three measurement reports on the recording printer: one A4 page each, the pictures at their
// places, the header, notes and values as texts of their own, values outside their tables, the
// locale's decimal separator, records that cannot be reported, and the same page as a PDF file
// and read by an independent metafile reader.
#include "ReportTestSupport.h"

#include "config/LocalStringsUnit.h"
#include "platform/print/QtPrinting.h"
#include "platform/text/Numbers.h"
#include "records/BaseMapUnit.h"
#include "records/MeasurementFiles.h"
#include "reports/engine/RptControls.h"
#include "reports/measurement/AScanReportUnit.h"
#include "reports/measurement/BScanReportFormUnit.h"
#include "reports/measurement/MapReportFormUnit.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace {

using namespace rpttest;
using Box = std::array<int, 4>;

const std::filesystem::path kExamples = std::filesystem::path(TB_SOURCE_DIR) / "examples";

// The pictures of a page: (left, top, width, height) of every bitmap drawn, in page order.
std::vector<Box> pictures(const platform::emf::Metafile& page) {
    std::vector<Box> out;
    for (const Rec& r : records(page)) {
        if (r.type == platform::emf::EMR_STRETCHDIBITS) {
            out.push_back({r.at(24), r.at(28), r.at(72), r.at(76)});
        }
    }
    return out;
}

bool hasText(const std::vector<std::string>& texts, const std::string& text) {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

bool haveTool(const char* name) {
    return std::system(("command -v " + std::string(name) + " > /dev/null 2>&1").c_str()) == 0;
}

std::string commandOutput(const std::string& cmd) {
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(cmd.c_str(), "r"), ::pclose);
    std::string out;
    char buf[4096];
    std::size_t n = 0;
    while (pipe && (n = std::fread(buf, 1, sizeof buf, pipe.get())) > 0) {
        out.append(buf, n);
    }
    return out;
}

class MeasurementReports : public ReportMachine {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(LoadLanguageFiles(std::filesystem::path(TB_OUTPUT_DIR) / "tollerbank3"));
    }
    static void TearDownTestSuite() { UnloadLanguageFiles(); }
    void TearDown() override { platform::text::setFormatSettings({}); }

    // The pages of the report's preview; the page store must have gone to its temporary file.
    std::vector<platform::emf::Metafile> preview(TMeasurementReportForm& form) {
        std::vector<platform::emf::Metafile> pages;
        TFolioReport& report = form.Report();
        report.OnPreview = [](TRptPrinter& p) { p.ShowingPreview = true; };
        queue_.onWait = [&] {
            TRptPrinter* p = report.RptPrinter();
            ASSERT_NE(p, nullptr);
            EXPECT_FALSE(p->PageList().Stream()->InMemory());
            for (int n = 1; n <= p->PageCount; ++n) {
                pages.push_back(*p->GetPage(n));
            }
            p->ClosePreview();
        };
        report.Preview();
        return pages;
    }

    PAscansSet ascans_;
    PBandsSet bands_;
    PMapsSet maps_;
    std::uint16_t count_ = 0;
};

TEST_F(MeasurementReports, AScanPicturesFollowTheScreenType) {
    ASSERT_EQ(LoadAScansFromFile(kExamples / "AScans.dtf", ascans_, count_), 0);
    TBaseAScanCell& a = *ascans_[0];
    struct Case {
        std::uint8_t screenType;
        std::vector<Box> expected; // main, its scale, its ruler, then the zoom set
    };
    const Case cases[] = {
        {130,
         {{78, 321, 678, 41},
          {38, 169, 41, 153},
          {78, 169, 678, 153},
          {38, 361, 41, 153},
          {78, 361, 678, 153},
          {78, 513, 678, 41}}},
        {1, {{78, 169, 678, 337}, {38, 169, 41, 337}, {78, 505, 678, 41}}},
        {130 - 128 + 16 * 3, {}}, // low four bits 2: split as well
    };
    TAScanReportForm form;
    for (const Case& c : cases) {
        a.Config->ScreenType = c.screenType;
        ASSERT_TRUE(form.Fill(&a));
        const auto pages = preview(form);
        ASSERT_EQ(pages.size(), 1u);
        EXPECT_EQ(pages[0].Width(), 794);
        EXPECT_EQ(pages[0].Height(), 1123);
        auto got = pictures(pages[0]);
        if (c.expected.empty()) {
            EXPECT_EQ(got.size(), 6u);
            continue;
        }
        auto want = c.expected;
        std::sort(got.begin(), got.end());
        std::sort(want.begin(), want.end());
        EXPECT_EQ(got, want) << int(c.screenType);
        EXPECT_EQ(form.MainReportRptImage.PictureBitmap()->Height(), want.size() == 6 ? 153 : 337);
    }
}

TEST_F(MeasurementReports, AScanHeaderNotesAndValuesAreTextsOfTheirOwn) {
    ASSERT_EQ(LoadAScansFromFile(kExamples / "AScans.dtf", ascans_, count_), 0);
    TBaseAScanCell& a = *ascans_[1];
    TBaseConfigCell& c = *a.Config;
    a.RecordIndex = 3;
    c.ConfigIndex = 7;
    c.ConfigName = "WELD 12";
    c.ProbeType = 0;
    c.IndexMarkMks = 2;
    c.ZonderVoltageIndex = 1;
    c.AveragerIndex = 3;
    c.ZonderPeriods = 2.5;
    c.FilterBandIndex = 1;
    c.ProbeFrequencyIndex = 0;
    TAScanReportForm form;
    EXPECT_EQ(form.HeaderLines(a),
              (std::vector<std::string>{"WELD 12", "A-scan No. 4", "Configuration index: 7"}));
    ASSERT_TRUE(form.Fill(&a));
    form.ApplyLocalizedStrings();
    form.SetTexts({"Header one", "Header two"}, {"First note", "Second note"});
    const auto pages = preview(form);
    ASSERT_EQ(pages.size(), 1u);
    const auto texts = platform::emf::metafileTexts(pages[0]);
    for (const std::string t :
         {"Header one", "Header two", "First note", "Second note", "WELD 12", "Single element",
          "800", "100", "8", "2.5", "On", "Level = ", "Probe frequency"}) {
        EXPECT_TRUE(hasText(texts, t)) << t;
    }
    const std::string db = form.Label("MagnMeasResValueRptLabel")->Caption();
    EXPECT_TRUE(db.ends_with(" dB")) << db;
    EXPECT_TRUE(hasText(texts, db));
}

TEST_F(MeasurementReports, ValuesOutsideTheirTablesAndTheLocaleSeparator) {
    ASSERT_EQ(LoadAScansFromFile(kExamples / "AScans.dtf", ascans_, count_), 0);
    TBaseConfigCell& c = *ascans_[0]->Config;
    struct Case {
        int frequency, voltage, averager, range;
        char separator;
        std::array<std::string, 5> expected; // frequency, voltage, averager, range, periods
    };
    const Case cases[] = {
        {16, 3, 5, 5, '.', {"", "200", "16", "", "2.5"}},
        {255, 255, 255, 7, ',', {"", "200", "16", "", "2,5"}},
        {15, 2, 4, 4, ',', {ProbeFrequencyString(15), "200", "16", "1600", "2,5"}},
    };
    TAScanReportForm form;
    for (const Case& k : cases) {
        platform::text::setFormatSettings({k.separator, ' '});
        c.ProbeFrequencyIndex = std::uint8_t(k.frequency);
        c.ZonderVoltageIndex = std::uint8_t(k.voltage);
        c.AveragerIndex = std::uint8_t(k.averager);
        c.IndexMarkMks = std::int16_t(k.range);
        c.ZonderPeriods = 2.5;
        ASSERT_TRUE(form.Fill(ascans_[0].get()));
        const std::array<std::string, 5> got = {form.Label("ProbeFreqValueRptLabel")->Caption(),
                                                form.Label("PulseVoltageValueRptLabel")->Caption(),
                                                form.Label("AveragingValueLabel")->Caption(),
                                                form.Label("MaxMKSRangeValueRptLabel")->Caption(),
                                                form.Label("PulsePeriodsValueRptLabel")->Caption()};
        EXPECT_EQ(got, k.expected) << k.frequency;
    }
}

TEST_F(MeasurementReports, BandAlongAndLength) {
    ASSERT_EQ(LoadBandsFromFile(kExamples / "Bands.btf", bands_, count_), 0);
    TBaseBandCell& b = *bands_[0];
    b.Config->BandLastAScan = 99;
    b.Config->BandStep = 10;
    b.Config->BandCurrentAScan = 9;
    TBScanReportForm form;
    EXPECT_EQ(form.HeaderLines(b)[1], "Band No. " + std::to_string(b.RecordIndex + 1));
    for (const char separator : {'.', ','}) {
        platform::text::setFormatSettings({separator, ' '});
        for (const std::uint8_t palette : {PaletteThermal, PaletteBinary}) {
            b.PaletteKind = palette;
            ASSERT_TRUE(form.Fill(&b));
            EXPECT_EQ(b.PaletteKind, palette); // the band keeps its own palette
        }
        const std::string s(1, separator);
        EXPECT_EQ(form.Label("BandOverallLengthValueLabel")->Caption(), "1" + s + "00");
        EXPECT_EQ(form.Label("AlongMeasResValueRptLabel")->Caption(),
                  "10 x 0" + s + "01 = 0" + s + "10");
        EXPECT_EQ(form.Label("BandStepValueLabel")->Caption(), "10");
    }
    form.ApplyLocalizedStrings();
    EXPECT_EQ(form.Label("BandStepCaptionLabel")->Caption(), "Band step, mm");
    EXPECT_EQ(form.Label("BandOverallLengthCaptionLabel")->Caption(), "Band length, m");
    const auto pages = preview(form);
    ASSERT_EQ(pages.size(), 1u);
    auto got = pictures(pages[0]);
    std::sort(got.begin(), got.end());
    std::vector<Box> want = {{40, 176, 413, 328},
                             {40, 506, 413, 31},
                             {454, 175, 57, 330},
                             {510, 175, 249, 330},
                             {510, 505, 249, 32}};
    std::sort(want.begin(), want.end());
    EXPECT_EQ(got, want);
}

TEST_F(MeasurementReports, MapReportOfElevenHundredPixelsIsOnePage) {
    ASSERT_EQ(LoadMapsFromFile(kExamples / "Maps.mtf", maps_, count_), 0);
    TBaseMapCell& m = *maps_[0];
    m.Config->MapCursorHorizontal = 2;
    m.Config->MapCursorVertical = 4;
    m.Config->MapHorizStep = 250;
    m.Config->MapVerticStep = 1500;
    TMapReportForm form;
    ASSERT_TRUE(form.Fill(&m));
    EXPECT_EQ(m.Index1, 4); // the report's A-scan is the one under the cursor
    EXPECT_EQ(m.Index2, 2);
    EXPECT_EQ(form.Label("XMeasResValueRptLabel")->Caption(), "3 x 0.25 = 0.75");
    EXPECT_EQ(form.Label("YMeasResValueRptLabel")->Caption(), "5 x 1.50 = 7.50");
    EXPECT_EQ(form.Label("MapVerticalStepValueLabel")->Caption(), "1500");
    const auto pages = preview(form);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pictures(pages[0]).size(), 8u);
    EXPECT_EQ(pictures(pages[0]).front(), (Box{39, 170, 351, 231})); // the C-scan first
}

TEST_F(MeasurementReports, RecordsThatCannotBeReportedLeaveTheLayoutAsItWas) {
    ASSERT_EQ(LoadAScansFromFile(kExamples / "AScans.dtf", ascans_, count_), 0);
    ASSERT_EQ(LoadBandsFromFile(kExamples / "Bands.btf", bands_, count_), 0);
    TAScanReportForm ascan;
    TBScanReportForm band;
    TMapReportForm map;
    ASSERT_TRUE(ascan.Fill(ascans_[0].get()));
    ASSERT_TRUE(band.Fill(bands_[0].get()));
    const std::string before = ascan.Label("ConfigNameValueRptLabel")->Caption();
    TBaseAScanCell noConfig;
    noConfig.Config.reset();
    for (TMeasurementReportForm* f :
         {static_cast<TMeasurementReportForm*>(&ascan), static_cast<TMeasurementReportForm*>(&band),
          static_cast<TMeasurementReportForm*>(&map)}) {
        EXPECT_FALSE(f->Fill(nullptr));
        EXPECT_FALSE(f->Fill(&noConfig));
    }
    EXPECT_FALSE(band.Fill(ascans_[1].get())); // an A-scan is no band
    EXPECT_FALSE(map.Fill(bands_[0].get()));   // nor a band a map
    EXPECT_EQ(ascan.Label("ConfigNameValueRptLabel")->Caption(), before);
}

// The same report on paper (a PDF file) and as a page file's page read by another program.
TEST_F(MeasurementReports, PdfAndAnIndependentMetafileReaderFindTheTexts) {
    if (!haveTool("pdftotext") || !haveTool("emf2svg-conv")) {
        GTEST_SKIP() << "needs pdftotext (poppler-utils) and emf2svg-conv (emf2svg)";
    }
    const auto dir =
        std::filesystem::temp_directory_path() / ("tb-measurement-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    ASSERT_EQ(LoadBandsFromFile(kExamples / "Bands.btf", bands_, count_), 0);
    TBScanReportForm form;
    ASSERT_TRUE(form.Fill(bands_[0].get()));
    form.ApplyLocalizedStrings();
    form.SetTexts({"Pipe 7 weld"}, {"Root checked twice"});
    {
        platform::print::PdfPrintSystem pdf(dir / "band.pdf");
        platform::print::ScopedPrintSystem scoped(&pdf);
        form.Print();
    }
    const std::string text =
        commandOutput("pdftotext -enc UTF-8 '" + (dir / "band.pdf").string() + "' - 2>/dev/null");
    for (const char* t : {"Pipe 7 weld", "Root checked twice", "Band length, m"}) {
        EXPECT_NE(text.find(t), std::string::npos) << t << "\n" << text;
    }
    const auto pages = preview(form);
    ASSERT_EQ(pages.size(), 1u);
    {
        std::ofstream out(dir / "band.emf", std::ios::binary);
        out.write(reinterpret_cast<const char*>(pages[0].Bytes().data()),
                  std::streamsize(pages[0].Size()));
    }
    const std::string cmd = "emf2svg-conv -i '" + (dir / "band.emf").string() + "' -o '" +
                            (dir / "band.svg").string() + "'";
    EXPECT_EQ(std::system(cmd.c_str()), 0);
    std::ifstream in(dir / "band.svg");
    const std::string svg((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(svg.find("Root checked twice"), std::string::npos);
    EXPECT_NE(svg.find("<image"), std::string::npos); // the pictures came through
    std::filesystem::remove_all(dir);
}

} // namespace
