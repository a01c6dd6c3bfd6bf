// Writes small seed files for the fuzz targets with the project's own writers: one folder per
// target under the folder given. Small seeds reach every branch of a format quickly; the examples
// (copied beside them by the campaign script) add real-sized files.
#include "config/AbsConfigObjectUnit.h"
#include "config/BaseConfigObjectUnit.h"
#include "config/ConfigSetUnit.h"
#include "platform/emf/MetafileCanvas.h"
#include "platform/text/LineFile.h"
#include "records/MeasurementFiles.h"
#include "reports/pages/RptPageStore.h"
#include "surfaces/DIB.h"

#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" {
#include <jpeglib.h>
}

namespace fs = std::filesystem;

namespace {

fs::path root;

fs::path seed(const std::string& target, const std::string& name) {
    fs::create_directories(root / target);
    return root / target / name;
}

void writeBytes(const fs::path& path, const std::string& prefix, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << prefix << bytes;
}

std::string readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void shape(TBaseAScanCell& r, std::uint16_t samples, int seedNumber) {
    r.Config->ResetAll(1);
    r.Config->AScanRange = samples;
    r.Config->TgvEnabled = static_cast<std::uint8_t>(seedNumber % 2);
    r.Marked = 1;
}

template <typename Cell> void fill(Cell& r) {
    const auto all = r.Cube().All();
    for (std::size_t rows = 0; rows < r.Cube().Rows(); ++rows) {
        for (std::size_t c = 0; c < r.Cube().Columns(); ++c) {
            auto scan = r.Scan(static_cast<std::uint32_t>(rows), static_cast<std::uint32_t>(c));
            for (std::size_t s = 0; s < scan.size(); ++s) {
                scan[s] = static_cast<std::int32_t>((s * 37 + c * 11 + rows) % 900) - 400;
            }
        }
    }
    (void)all;
}

void records() {
    PAscansSet ascans;
    for (int i = 0; i < 2; ++i) {
        auto r = std::make_unique<TBaseAScanCell>();
        shape(*r, 32, i);
        fill(*r);
        ascans.push_back(std::move(r));
    }
    SaveAScansToFile(seed("ascan_files", "small.dtf"), ascans, 2);
    SaveAScansToOldFile(seed("ascan_files", "small-old.dtf"), ascans, 2);

    PBandsSet bands;
    auto b = std::make_unique<TBaseBandCell>();
    shape(*b, 30, 1);
    b->SetScanCount(3);
    fill(*b);
    bands.push_back(std::move(b));
    SaveBandsToFile(seed("band_files", "small.btf"), bands, 1);
    SaveBandsToOldFile(seed("band_files", "small-old.btf"), bands, 1);

    PMapsSet maps;
    auto m = std::make_unique<TBaseMapCell>();
    shape(*m, 30, 0);
    m->Config->MapVerticPoints = 2;
    m->Config->MapHorizPoints = 3;
    m->SetMapSize(2, 3);
    fill(*m);
    maps.push_back(std::move(m));
    SaveMapsToFile(seed("map_files", "small.mtf"), maps, 1);
    SaveMapsToOldFile(seed("map_files", "small-old.mtf"), maps, 1);
}

void configurations() {
    PConfigsSet set;
    for (std::uint16_t i = 0; i < 2; ++i) {
        auto c = std::make_unique<TBaseConfigCell>(1, 1, 1);
        c->ResetAll(static_cast<std::uint16_t>(i + 1));
        c->ConfigStrings = {"first", "second"};
        c->ConfigStringsCount = 2;
        set.push_back(std::move(c));
    }
    SaveConfigSet(seed("config_files", "two.ctf"), set, 2);
    SaveLegacyConfigSet(seed("config_files", "two-legacy.ctf"), set, 2);

    const fs::path scratch = root / "scratch.txt";
    {
        platform::text::AtomicFileWriter file(scratch);
        WriteParamBlock(*set[0], file);
        file.commit();
    }
    writeBytes(seed("config_text", "numbered"), std::string(1, '\0'), readBytes(scratch));
    {
        platform::text::AtomicFileWriter file(scratch);
        WriteLegacyBlock(*set[1], file);
        file.commit();
    }
    writeBytes(seed("config_text", "positional"), std::string(1, '\1'), readBytes(scratch));
    fs::remove(scratch);

    pByteArray block(ConfigBlockSize, 0);
    BuildInstrumentBlock(*set[0], block, 1);
    writeBytes(seed("config_block", "reset"), std::string(1, '\1'),
               std::string(block.begin(), block.end()));

    TCorvantaAbsConfigCell markup;
    markup.SetDefaults();
    std::vector<std::uint8_t> markupBlock(TCorvantaAbsConfigCell::BlockSize, 0);
    markup.BuildBlock(markupBlock);
    writeBytes(seed("flash_markup", "defaults"), "",
               std::string(markupBlock.begin(), markupBlock.end()));
}

void languageFiles() {
    const char* names[] = {"errmsgs.str", "captions.str", "txtvarvalues.str"};
    for (char i = 0; i < 3; ++i) {
        const std::string own = readBytes(fs::path(TB_SOURCE_DIR) / "strings" / names[int(i)]);
        writeBytes(seed("language_files", names[int(i)]), std::string(1, i), own);
    }
}

void bitmaps() {
    for (const int bits : {1, 4, 8, 16, 24, 32}) {
        TDIB dib;
        dib.SetSize(5, 3, bits);
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 5; ++x) {
                dib.SetPixelValue(x, y, static_cast<std::uint32_t>(x + 5 * y));
            }
        }
        const auto bytes = dib.SaveToBytes();
        writeBytes(seed("bitmap_stream", std::to_string(bits) + ".bmp"), "",
                   std::string(bytes.begin(), bytes.end()));
    }
}

void jpeg(const std::string& name, int components, J_COLOR_SPACE in, J_COLOR_SPACE stored,
          bool progressive) {
    constexpr int w = 19;
    constexpr int h = 11;
    std::vector<JSAMPLE> samples(std::size_t(w * h * components));
    for (std::size_t i = 0; i < samples.size(); ++i) {
        samples[i] = static_cast<JSAMPLE>(i * 13);
    }
    jpeg_compress_struct c{};
    jpeg_error_mgr err{};
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &out, &size);
    c.image_width = w;
    c.image_height = h;
    c.input_components = components;
    c.in_color_space = in;
    jpeg_set_defaults(&c);
    jpeg_set_colorspace(&c, stored);
    jpeg_set_quality(&c, 80, TRUE);
    if (progressive) {
        jpeg_simple_progression(&c);
    }
    jpeg_start_compress(&c, TRUE);
    while (c.next_scanline < c.image_height) {
        JSAMPROW row = samples.data() + std::size_t(c.next_scanline) * std::size_t(w * components);
        jpeg_write_scanlines(&c, &row, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    writeBytes(seed("pictures", name), "", std::string(out, out + size));
    std::free(out);
}

void hints() {
    int i = 0;
    for (const char* s :
         {"<B>bold</B> and <I>italic</I><BR>next line",
          "<FONT FACE=\"Arial\" SIZE=\"14\" COLOR=\"#FF0000\">big red</FONT>",
          "<A HREF=\"next\">link</A> <U>under</U> <S>struck</S> &amp; &lt;&gt; &nbsp;",
          "<P ALIGN=\"RIGHT\">right</P><HR><SHAD>shadow</SHAD><BLINK>blink</BLINK>",
          "<IMG SRC=\"IDX:0\" ALT=\"picture\"> <SUB>low</SUB><SUP>high</SUP>",
          "<UL><LI>one<LI>two</UL><R>rotated</R><FONT BGCOLOR=\"clYellow\">back</FONT>"}) {
        writeBytes(seed("hint_markup", std::to_string(i++)), "", s);
    }
}

// A page with a line, a filled rectangle and a text, alone and in a page file of two pages.
void pages() {
    platform::emf::MetafileCanvas canvas(120, 80);
    canvas.MoveTo(5, 5);
    canvas.LineTo(100, 60);
    canvas.Brush.Color = 0x00FF00;
    canvas.FillRect({10, 10, 40, 30});
    canvas.TextOut(20, 40, "Page 1");
    const platform::emf::Metafile page = canvas.Close();
    writeBytes(seed("emf_pages", "page.emf"), "",
               std::string(page.Bytes().begin(), page.Bytes().end()));
    for (const bool compressed : {false, true}) {
        TRptPageList list;
        list.Compression = compressed;
        list.Now = [] { return 46000.5; };
        list.SetStream(std::make_unique<TRptStream>(250000));
        list.AddPage(page);
        list.AddPage(page);
        list.WriteFileHeader();
        const std::string name = compressed ? "compressed.fpr" : "plain.fpr";
        list.SaveToFile(seed("page_files", name));
        fs::copy_file(seed("page_files", name), seed("old_page_files", name));
    }
    TRptPageList none;
    none.Now = [] { return 46000.5; };
    none.SetStream(std::make_unique<TRptStream>(250000));
    none.WriteFileHeader();
    none.SaveToFile(seed("old_page_files", "no-pages.fpr"));
    const std::string bytes(page.Bytes().begin(), page.Bytes().end());
    writeBytes(seed("page_search", "page-1"), std::string(1, '\x06') + "page 1", bytes);
    writeBytes(seed("page_search", "not-there"), std::string(1, '\x03') + "\xD0\x96x", bytes);
}

// Pages for the player, each with one kind of shape whose coordinates or pen width stand at the
// limits a page can give them. The first byte picks the second destination's size.
void limitPages() {
    constexpr int kFar = 1 << 30;
    constexpr int kMax = 2147483647;
    constexpr int kMin = -kMax - 1;
    using Draw = void (*)(platform::emf::MetafileCanvas&);
    const std::pair<const char*, Draw> shapes[] = {
        {"round-rect-far", [](auto& c) { c.RoundRect(-kFar, -kFar, kFar, kFar, 40, 40); }},
        {"round-rect-corners-far", [](auto& c) { c.RoundRect(0, 0, 100, 100, kMax, kMax); }},
        {"thick-ellipse",
         [](auto& c) {
             c.Pen.Width = 100000;
             c.Ellipse(10, 10, 90, 70);
         }},
        {"thick-ellipse-far",
         [](auto& c) {
             c.Pen.Width = kFar;
             c.Ellipse(-kFar, -kFar, kFar, kFar);
         }},
        {"ellipse-at-limits", [](auto& c) { c.Ellipse(kMin, kMin, kMax, kMax); }},
        {"line-across-everything",
         [](auto& c) {
             c.Pen.Width = kMax;
             c.MoveTo(kMin, kMin);
             c.LineTo(kMax, kMax);
         }},
        {"rectangle-at-limits",
         [](auto& c) {
             c.Pen.Width = 1000;
             c.Rectangle(kMin, kMin, kMax, kMax);
             c.FrameRect({kMin, 0, kMax, 10});
         }},
        {"polygon-at-limits",
         [](auto& c) {
             const platform::gfx::TPoint points[] = {
                 {kMin, kMin}, {kMax, 0}, {0, kMax}, {kFar, -kFar}};
             c.Pen.Width = 50;
             c.Polygon(points);
             c.Polyline(points);
         }},
        {"pie-at-limits",
         [](auto& c) {
             c.Pen.Width = 20000;
             c.Pie(-kFar, -kFar, kFar, kFar, kMax, 0, 0, kMin);
         }},
    };
    for (const auto& [name, draw] : shapes) {
        platform::emf::MetafileCanvas canvas(100, 80);
        draw(canvas);
        const platform::emf::Metafile page = canvas.Close();
        writeBytes(seed("page_player", name), std::string(1, '\x50'),
                   std::string(page.Bytes().begin(), page.Bytes().end()));
    }
}

void expressions() {
    int i = 0;
    for (const char* s :
         {"1 + 2 * 3", "'a' + STR(TAX) + [name]", "IF(ok, x * 1.5, -w)", "SUM(x) + COUNT",
          "AVERAGE(Items.w) / MAX(x)", "Title + UPPER(COPY('abcdef', 2, 3))",
          "FORMATNUMERIC('#,##0.00', 1234.5)", "SQRT(2) < 1.5 AND NOT FALSE",
          "DIV(7, 2) + FRAC(2.5)", "Loop", "Total + MIN(name)", "TYPEOF(blob)",
          "PRETTY(LOWER('ABC DEF'))", "INT(1e300) + 2147483647 + 1", "(((1)))\r\n+2",
          "x <> 0 OR w >= 1"}) {
        writeBytes(seed("expressions", std::to_string(i++)), "", s);
    }
}

void texts() {
    writeBytes(seed("line_reader", "mixed"), "", "one\r\ntwo\nthree\r\n\r\nlast");
    writeBytes(seed("line_reader", "lone-cr"), "", "a\rb\r\n\n");
    int i = 0;
    for (const char* s : {"123", "-4.5", "1 000,5", " +7 ", "1e308", "-2147483648", "0x1F"}) {
        writeBytes(seed("numbers", std::to_string(i++)), "", s);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <seed folder>\n", argv[0]);
        return 2;
    }
    root = argv[1];
    // Pages draw text, which needs fonts.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    fs::create_directories(root);
    records();
    configurations();
    languageFiles();
    bitmaps();
    jpeg("grey.jpg", 1, JCS_GRAYSCALE, JCS_GRAYSCALE, false);
    jpeg("rgb.jpg", 3, JCS_RGB, JCS_YCbCr, false);
    jpeg("progressive.jpg", 3, JCS_RGB, JCS_YCbCr, true);
    jpeg("cmyk.jpg", 4, JCS_CMYK, JCS_CMYK, false);
    jpeg("ycck.jpg", 4, JCS_CMYK, JCS_YCCK, false);
    hints();
    pages();
    limitPages();
    expressions();
    texts();
    return 0;
}
