// The printable controls: how a label breaks its text into lines, what a label and an image put
// into the recorded page, and a memo that stretches its band and goes on on the next page.
#include "ReportTestSupport.h"

#include "platform/gfx/ReportImageTarget.h"
#include "reports/engine/RptControls.h"

#include <algorithm>

namespace {

using namespace rpttest;
using platform::emf::EMR_EXTSELECTCLIPRGN;
using platform::emf::EMR_EXTTEXTOUTW;
using platform::emf::EMR_INTERSECTCLIPRECT;
using platform::emf::EMR_RECTANGLE;
using platform::emf::EMR_STRETCHDIBITS;

TEST_F(ReportMachine, LabelLineFormatting) {
    struct Case {
        bool autoSize;
        bool wordWrap;
        const char* widthOf; // the control is as wide as this text
        const char* caption;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {false, true, "aa bb ", "aa bb cc", {"aa bb ", "cc"}},
        {false, true, "abcd", "abcdefgh", {"abc"}}, // cut, the rest lost, no empty line after
        {false, true, "known", "well-known", {"well-", "known"}},
        {false, true, "aa bb ", "aa\r\n\r\nbb", {"aa", "", "bb"}},
        {false, true, "ab", "", {""}},
        {false, false, "aa bb ", "aa bb cc", {"aa bb "}},
        {false, false, "aa bb ", "aa bb cc dd\r\nee ff gg", {"aa bb ", "ee ff "}},
        {false, false, "abcd", "abcdefgh ij", {"abc"}},
        {false, false, "aa bb cc", "aa bb", {"aa bb"}},
        {true, true, "a", "ab\r\ncdef", {"ab", "cdef"}},
        {true, true, "a", "a\nb c d e f", {"ab c d e f"}},
    };
    TFolioReport r;
    measurementPage(r);
    auto& band = r.AddBand<TRptBand>(TRptBandType::rbSummary);
    for (const auto& c : cases) {
        auto& label = band.Add<TRptLabel>();
        label.AutoSize = c.autoSize;
        label.WordWrap = c.wordWrap;
        label.SetWidth(label.MeasureText(c.widthOf));
        label.SetCaption(c.caption);
        EXPECT_EQ(label.FormattedLines(), c.lines) << c.caption;
    }

    // AutoSize: the widest line sets the width and the right edge stays.
    auto& right = band.Add<TRptLabel>();
    right.AutoSize = false;
    right.SetBounds(200, 0, 100, 2);
    right.SetAlignment(TAlignment::taRightJustify);
    right.AutoSize = true;
    right.SetCaption("ab\r\ncdef");
    EXPECT_EQ(right.Width(), right.MeasureText("cdef"));
    EXPECT_EQ(right.Left() + right.Width(), 300);
    EXPECT_EQ(right.Height(), right.LineHeight()); // raised to one line

    auto& memo = band.Add<TRptMemo>();
    memo.SetWidth(memo.MeasureText("aa"));
    memo.SetLines({"aa bb cc dd", "ee"});
    memo.FormatLines();
    EXPECT_EQ(memo.FormattedLines(), (std::vector<std::string>{"aa bb cc dd", "ee"}));
    memo.AutoSize = false;
    memo.SetWidth(memo.MeasureText("aa"));
    memo.FormatLines();
    EXPECT_EQ(memo.FormattedLines().size(), 5u);
}

TEST_F(ReportMachine, LabelAndImageInTheRecordedPage) {
    TFolioReport r;
    measurementPage(r);
    r.AddBand<TRptBand>(TRptBandType::rbTitle).SetPixelHeight(75);
    auto& summary = r.AddBand<TRptBand>(TRptBandType::rbSummary);
    summary.SetPixelHeight(968);

    auto& label = summary.Add<TRptLabel>();
    label.AutoSize = false;
    label.SetBounds(100, 10, 200, 60);
    label.SetAlignment(TAlignment::taRightJustify);
    label.Color = platform::gfx::clYellow;
    label.SetCaption("first\r\n\r\nthird");

    auto& image = summary.Add<TRptImage>();
    image.SetBounds(40, 56, 678, 153);
    ASSERT_NE(image.Canvas(), nullptr);
    platform::gfx::TBitmap* made = image.PictureBitmap();
    EXPECT_EQ(image.PictureBitmap(), made); // made once, then reused
    EXPECT_EQ(made->Width(), 678);
    EXPECT_EQ(made->Height(), 153);
    platform::gfx::TBitmap scene(678, 153);
    scene.Canvas().Brush.Color = platform::gfx::clBlue;
    scene.Canvas().FillRect({10, 10, 300, 100});
    platform::gfx::DrawOnReportImage(image, {&scene});

    auto& hidden = summary.Add<TRptImage>();
    hidden.Enabled = false;
    hidden.SetPicture(scene);

    const auto pages = previewPages(r);
    ASSERT_EQ(pages.size(), 1u);
    const auto recs = records(pages[0]);
    const auto find = [&](std::uint32_t type, std::size_t from = 0) {
        for (std::size_t i = from; i < recs.size(); ++i) {
            if (recs[i].type == type) {
                return i;
            }
        }
        return recs.size();
    };
    // The label: its fill (after the two band backgrounds), then one text record per non-empty
    // line, each ending at the control's right edge XPos(100 + 100 px + 200 px) = 338 (the
    // canvas records where a right-aligned text starts).
    const std::size_t fill = find(EMR_RECTANGLE, find(EMR_RECTANGLE, find(EMR_RECTANGLE) + 1) + 1);
    const std::size_t text1 = find(EMR_EXTTEXTOUTW, fill);
    const std::size_t text2 = find(EMR_EXTTEXTOUTW, text1 + 1);
    ASSERT_LT(text2, recs.size());
    EXPECT_EQ(recs[text1].at(36), 338 - (r.TextWidth(label.Font, "first") - 1));
    EXPECT_EQ(recs[text2].at(36), 338 - (r.TextWidth(label.Font, "third") - 1));
    EXPECT_EQ(recs[text1].at(40), 123); // YPos(298 + 10 px)
    EXPECT_GT(recs[text2].at(40), recs[text1].at(40));
    EXPECT_EQ(platform::emf::metafileTexts(pages[0]), (std::vector<std::string>{"first", "third"}));

    // The image: one 8-bit picture at its derived place, clipped, the clip removed after it.
    EXPECT_EQ(std::count_if(recs.begin(), recs.end(),
                            [](const Rec& x) { return x.type == EMR_STRETCHDIBITS; }),
              1);
    const std::size_t clip = find(EMR_INTERSECTCLIPRECT);
    const std::size_t dib = find(EMR_STRETCHDIBITS, clip);
    const std::size_t unclip = find(EMR_EXTSELECTCLIPRGN, dib);
    ASSERT_LT(unclip, recs.size());
    EXPECT_EQ((std::vector<int>{recs[clip].at(8), recs[clip].at(12), recs[clip].at(16),
                                recs[clip].at(20)}),
              (std::vector<int>{78, 169, 756, 322}));
    const Rec& d = recs[dib];
    EXPECT_EQ((std::vector<int>{d.at(24), d.at(28), d.at(72), d.at(76)}),
              (std::vector<int>{78, 169, 678, 153}));
    const std::size_t bmi = std::size_t(d.at(48));
    EXPECT_EQ(d.at(bmi + 4), 678);
    EXPECT_EQ(d.at(bmi + 8), 153);
    EXPECT_EQ(d.bytes[bmi + 14], 8); // bits per pixel
    EXPECT_EQ(unclip, dib + 1);

    hidden.Picture.Bitmap.reset();
    hidden.Picture.OtherGraphic = true;
    EXPECT_EQ(hidden.Canvas(), nullptr);
}

TEST_F(ReportMachine, StretchingMemoGoesOnOnTheNextPage) {
    TFolioReport r;
    measurementPage(r);
    r.AddBand<TRptBand>(TRptBandType::rbTitle).Size.NativeHeight = 2500;
    auto& summary = r.AddBand<TRptBand>(TRptBandType::rbSummary);
    summary.Size.NativeHeight = 100;
    auto& memo = summary.Add<TRptMemo>();
    memo.AutoSize = false;
    memo.AutoStretch = true;
    memo.SetBounds(0, 0, 600, 30);
    std::vector<std::string> lines;
    for (int i = 1; i <= 20; ++i) {
        lines.push_back("Line " + std::to_string(i));
    }
    memo.SetLines(lines);
    std::vector<int> passesOnPage;
    summary.AfterPrint = [&](TRptCustomBand& b, bool) {
        passesOnPage.push_back(b.ParentReport->PageCount);
    };
    const auto pages = previewPages(r);
    ASSERT_EQ(pages.size(), 2u);
    const auto first = platform::emf::metafileTexts(pages[0]);
    const auto second = platform::emf::metafileTexts(pages[1]);
    ASSERT_FALSE(first.empty());
    ASSERT_FALSE(second.empty());
    EXPECT_LT(first.size(), 10u); // only a few lines had room on page 1
    std::vector<std::string> all = first;
    all.insert(all.end(), second.begin(), second.end());
    EXPECT_EQ(all, lines);
    EXPECT_EQ(passesOnPage, std::vector<int>{2});
    EXPECT_TRUE(memo.Complete);
}

TEST_F(ReportMachine, ExpressionsPrintTheirValues) {
    struct Case {
        const char* expression;
        const char* mask;
        const char* text;
    };
    const Case cases[] = {
        {"1+1", "0.00", "2.00"},
        {"1+1", "", "2"},
        {"2.5", "%m", "2.50"},
        {"'a'+'b'", "", "ab"},
        {"1=1", "", "True"},
        {"", "", "(none)"},
        {"1/0", "", "Cannot divide by 0"},
    };
    TFolioReport r;
    auto& band = r.AddBand<TRptBand>(TRptBandType::rbSummary);
    for (const auto& c : cases) {
        auto& e = band.Add<TRptExpr>();
        e.SetExpression(c.expression);
        e.SetMask(c.mask);
        EXPECT_EQ(e.Caption(), *c.expression ? c.expression : "(none)");
        if (*c.expression) {
            EXPECT_EQ(e.ValueText(), c.text) << c.expression;
        }
    }

    // Aggregates over a data set: a running sum in the detail, one that restarts after each
    // print, and the total in the summary.
    TRptMemoryDataSet data("Data", {{"Value", TRptFieldType::Integer}});
    for (int v : {1, 2, 3}) {
        data.AppendRow({TRptEvResult::Integer(v)});
    }
    data.Open();
    TFolioReport report;
    report.DataSet = &data;
    auto& detail = report.AddBand<TRptBand>(TRptBandType::rbDetail);
    auto& running = detail.Add<TRptExpr>();
    running.SetExpression("SUM(Value)");
    running.SetMask("'r'0");
    auto& each = detail.Add<TRptExpr>();
    each.SetExpression("SUM(Value)");
    each.SetMask("'e'0");
    each.ResetAfterPrint = true;
    each.SetLeft(300);
    auto& total = report.AddBand<TRptBand>(TRptBandType::rbSummary).Add<TRptExpr>();
    total.SetExpression("SUM(Value) * 10 + PAGENUMBER");
    const auto pages = previewPages(report);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(platform::emf::metafileTexts(pages[0]),
              (std::vector<std::string>{"r1", "e1", "r3", "e2", "r6", "e3", "61"}));
}

} // namespace
