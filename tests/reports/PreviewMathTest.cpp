// The preview's arithmetic and rules without a window: zoom choices and where the image sits,
// the drawn sheet, thumbnails, the status and go-to-page texts, the progress read-out, the file
// filters, keys, link hit tests and the text search of a page (Unicode and Windows-1251 text
// records, case rules, records never joined).
#include "platform/emf/EmfFormat.h"
#include "platform/emf/MetafileCanvas.h"
#include "reports/preview/RptPreviewMath.h"

#include <gtest/gtest.h>

#include <Qt>

namespace {

using platform::gfx::TRect;
using platform::gfx::TSize;

const TSize kA4{794, 1123}; // A4 at 96 dpi

TEST(PreviewZoom, FitWidthAndPlacementOfAnA4Page) {
    struct Case {
        TSize client;
        int fit;
        int width;
    };
    for (const Case c :
         {Case{{800, 600}, 51, 91}, Case{{1000, 700}, 59, 113}, Case{{794, 1123}, 95, 90}}) {
        EXPECT_EQ(ZoomToFitValue(c.client, kA4), c.fit) << c.client.cx;
        EXPECT_EQ(ZoomToWidthValue(c.client.cx, kA4.cx, true), c.width) << c.client.cx;
    }
    EXPECT_EQ(ZoomToWidthValue(800, 794, false), 96); // x 95 without a printer object
    EXPECT_EQ(ZoomToFitValue({800, 600}, {0, 0}), 100);
    // The image at 51 % (409 x 576) is centred; a larger one sits at 0.
    EXPECT_EQ(PreviewImagePlacement({800, 600}, {409, 576}), (TRect{195, 12, 604, 588}));
    EXPECT_EQ(PreviewImagePlacement({800, 600}, {900, 576}), (TRect{0, 12, 900, 588}));
    for (const auto& [zoom, accepted] :
         {std::pair{1, false}, {2, true}, {100, true}, {2000, true}, {2001, false}, {0, false}}) {
        EXPECT_EQ(PreviewZoomAccepted(zoom), accepted) << zoom;
    }
}

TEST(PreviewSheet, LeavesThreePixelsForATwoPixelShadow) {
    const TPreviewSheet s = PreviewSheetOf({409, 576});
    EXPECT_EQ(s.sheet, (TRect{0, 0, 406, 573}));
    EXPECT_EQ(s.rightShadow, (TRect{406, 2, 408, 575}));
    EXPECT_EQ(s.bottomShadow, (TRect{2, 573, 408, 575}));
    const TThumbMetrics m = ThumbnailMetrics(193, 2100, 2970, 13);
    EXPECT_EQ(m.columnWidth, 189);
    EXPECT_EQ(m.thumbWidth, 169);
    EXPECT_EQ(m.rowHeight, 239 - 13);
    EXPECT_EQ(m.margin, 10);
    EXPECT_EQ(ThumbnailPageRect({0, 100, 189, 326}, m), (TRect{10, 110, 159, 316}));
    // Landscape: the paper lies the other way, rows get lower.
    EXPECT_EQ(ThumbnailMetrics(193, 2970, 2100, 13).rowHeight, 119 - 13);
}

TEST(PreviewTexts, StatusGotoPageAndFilters) {
    EXPECT_EQ(PageStatusText("Page", "of", 2, 3), "Page 2 of 3");
    EXPECT_EQ(GotoPageTitle("Select a page from 1 to %d", 3), "Select a page from 1 to 3");
    // A language file's text is never a format: other directives stay as they are.
    EXPECT_EQ(GotoPageTitle("%s %n %d %d", 12), "%s %n 12 %d");
    struct Case {
        const char* answer;
        int page;
    };
    for (const Case c :
         {Case{"2", 2}, Case{" 3 ", 3}, Case{"1", 1}, Case{"7", 1}, Case{"0", 1}, Case{"-2", 1},
          Case{"x", 1}, Case{"", 1}, Case{"2.5", 1}, Case{"99999999999999999999", 1}}) {
        EXPECT_EQ(GotoPageTarget(c.answer, 3), c.page) << c.answer;
    }
    EXPECT_EQ(PageFileSaveFilter(), "Folioprint file(*.FPR)|*.FPR");
    EXPECT_EQ(PageFileLoadFilter(), "Folioprint file (*.FPR)|*.FPR");
}

TEST(PreviewTexts, ProgressShowsEveryFivePercent) {
    TProgressReadout r;
    struct Step {
        int percent;
        std::optional<std::string> shown;
    };
    const Step steps[] = {{0, ""},           {3, std::nullopt},  {5, "5%"},
                          {7, std::nullopt}, {9, std::nullopt},  {10, "10%"},
                          {37, "37%"},       {40, std::nullopt}, {42, "42%"},
                          {100, ""},         {4, std::nullopt},  {5, "5%"}};
    for (const Step& s : steps) {
        EXPECT_EQ(r.Update(s.percent), s.shown) << s.percent;
    }
}

TEST(PreviewKeys, TableOfCommands) {
    struct Case {
        int key;
        bool ctrl;
        TPreviewCommand command;
    };
    for (const Case c : {Case{Qt::Key_Home, false, TPreviewCommand::FirstPage},
                         Case{Qt::Key_PageUp, true, TPreviewCommand::FirstPage},
                         Case{Qt::Key_PageUp, false, TPreviewCommand::PreviousPage},
                         Case{Qt::Key_PageDown, false, TPreviewCommand::NextPage},
                         Case{Qt::Key_PageDown, true, TPreviewCommand::LastPage},
                         Case{Qt::Key_End, false, TPreviewCommand::LastPage},
                         Case{Qt::Key_Up, false, TPreviewCommand::ScrollUp},
                         Case{Qt::Key_Down, false, TPreviewCommand::ScrollDown},
                         Case{Qt::Key_Escape, false, TPreviewCommand::Close},
                         Case{Qt::Key_A, false, TPreviewCommand::None},
                         Case{Qt::Key_Left, false, TPreviewCommand::None}}) {
        EXPECT_EQ(PreviewKeyCommand(c.key, c.ctrl), c.command) << c.key;
    }
}

TEST(PreviewLinks, MousePositionScaledByTheZoomEdgesIncluded) {
    const std::vector<TRptLinkArea> areas{{{10, 10, 20, 20}, "INT:a"}, {{15, 15, 40, 40}, "b"}};
    EXPECT_EQ(LinkAreaAt(areas, 20, 20, 200), 0);  // 10,10 at 100 %
    EXPECT_EQ(LinkAreaAt(areas, 40, 40, 200), 0);  // the right and bottom edges count
    EXPECT_EQ(LinkAreaAt(areas, 60, 60, 200), 1);  // 30,30: only the second
    EXPECT_EQ(LinkAreaAt(areas, 19, 19, 200), 0);  // 9.5 rounds half to even: 10
    EXPECT_EQ(LinkAreaAt(areas, 17, 17, 200), -1); // 8.5 -> 8
    EXPECT_EQ(LinkAreaAt(areas, 20, 20, 0), -1);
}

// A page drawn by our recorder: one text record per TextOut (texts are Windows-1251 bytes).
platform::emf::Metafile recordedPage(std::initializer_list<std::string> texts) {
    platform::emf::MetafileCanvas c(200, 200);
    int y = 0;
    for (const auto& t : texts) {
        c.TextOut(0, y, t);
        y += 20;
    }
    return c.Close();
}

// A page as another program writes it: header, one EXTTEXTOUTA with Windows-1251 bytes, end.
platform::emf::Metafile ansiPage(const std::string& cp1251) {
    using namespace platform::emf;
    std::vector<std::uint8_t> d;
    ByteWriter b(d);
    b.u32(EMR_HEADER);
    b.u32(88);
    b.zeros(16);
    for (int v : {0, 0, 5292, 5292}) {
        b.i32(v);
    }
    b.u32(kEmfSignature);
    b.u32(kEmfVersion);
    b.u32(0); // bytes, patched below
    b.u32(3);
    b.u16(1);
    b.u16(0);
    b.zeros(12);
    for (int v : {960, 960, 254, 254}) {
        b.i32(v);
    }
    const std::size_t text = d.size();
    b.u32(EMR_EXTTEXTOUTA);
    b.u32(0);
    b.zeros(16);
    b.u32(1);
    b.f32(0);
    b.f32(0);
    b.i32(0);
    b.i32(0);
    b.u32(std::uint32_t(cp1251.size()));
    b.u32(76);
    b.u32(0);
    b.zeros(16);
    b.u32(0);
    for (char ch : cp1251) {
        b.u8(std::uint8_t(ch));
    }
    b.pad4();
    const auto put = [&d](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            d[at + std::size_t(i)] = std::uint8_t(v >> (8 * i));
        }
    };
    put(text + 4, std::uint32_t(d.size() - text));
    b.u32(EMR_EOF);
    b.u32(20);
    b.u32(0);
    b.u32(16);
    b.u32(20);
    put(48, std::uint32_t(d.size()));
    return Metafile(std::move(d));
}

TEST(PreviewSearch, OneRecordAtATimeCaseByTheSwitch) {
    // "Привет мир" and "ПРИВЕТ" in Windows-1251.
    const std::string privetMir = "\xCF\xF0\xE8\xE2\xE5\xF2 \xEC\xE8\xF0";
    const platform::emf::Metafile unicode = recordedPage({"Alpha ABC", privetMir, "split", "text"});
    const platform::emf::Metafile ansi = ansiPage(privetMir);
    struct Case {
        const platform::emf::Metafile* page;
        QString text;
        bool matchCase;
        bool found;
    };
    const Case cases[] = {
        {&unicode, "abc", false, true},
        {&unicode, "abc", true, false},
        {&unicode, "ABC", true, true},
        {&unicode, "alpha abc", false, true},
        {&unicode, QString::fromUtf8("ПРИВЕТ"), false, true},
        {&unicode, QString::fromUtf8("ПРИВЕТ"), true, false},
        {&unicode, QString::fromUtf8("мир"), true, true},
        {&unicode, "splittext", false, false}, // texts of two records are not joined
        {&unicode, "", false, false},
        {&ansi, QString::fromUtf8("ПРИВЕТ МИР"), false, true},
        {&ansi, QString::fromUtf8("ПРИВЕТ"), true, false},
        {&ansi, "abc", false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PageContainsText(*c.page, c.text, c.matchCase), c.found)
            << c.text.toStdString() << " match case " << c.matchCase;
    }
}

} // namespace
