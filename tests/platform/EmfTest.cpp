// Report pages as metafiles: what the recorder writes, that the reader refuses broken input,
// that playing a page gives the pixels of drawing it directly, and that an independent reader
// (emf2svg-conv) accepts our pages.
#include "platform/emf/Dib.h"
#include "platform/emf/MetafileCanvas.h"
#include "platform/emf/MetafilePlayer.h"
#include "platform/gfx/PainterCanvas.h"
#include "platform/gfx/QtImage.h"
#include "platform/gfx/RasterCanvas.h"

#include <QImage>

#include <gtest/gtest.h>

#include <array>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <unistd.h>

namespace {

using namespace platform;
using namespace platform::emf;
using gfx::TBitmap;
using gfx::TCanvas;
using gfx::TRect;

// A picture of a few colours turned into its 8-bit form, like a report image.
TBitmap eightBitPicture(int w, int h) {
    TBitmap b(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            b.SetPixel(x, y,
                       ((x / 8 + y / 8) % 3 == 0) ? gfx::clNavy
                       : (x % 5 == 0)             ? gfx::clRed
                                                  : gfx::clYellow);
        }
    }
    b.SetPixelFormat(gfx::TPixelFormat::pf8bit);
    return b;
}

// The drawing a report page makes: frames, fills, lines, texts (one in Cyrillic), an 8-bit
// picture under a clip rectangle, and a colour-keyed picture.
void drawScene(TCanvas& c) {
    c.Brush.Color = gfx::clWhite;
    c.FillRect({0, 0, 200, 150});
    c.Pen.Color = gfx::clBlack;
    c.Pen.Width = 3;
    c.Brush.Style = gfx::TBrushStyle::bsClear;
    c.Rectangle(5, 5, 195, 145);
    c.Pen.Width = 1;
    c.Pen.Style = gfx::TPenStyle::psDash;
    c.MoveTo(10, 100);
    c.LineTo(190, 100);
    c.Pen.Style = gfx::TPenStyle::psSolid;
    c.Brush.Style = gfx::TBrushStyle::bsSolid;
    c.Brush.Color = gfx::clLime;
    c.Ellipse(150, 10, 180, 40);
    const gfx::TPoint tri[] = {{20, 120}, {60, 140}, {20, 140}};
    c.Polygon(tri);
    c.Font.Name = "Arial";
    c.Font.Height = -13;
    c.Font.Color = gfx::clMaroon;
    c.Brush.Style = gfx::TBrushStyle::bsClear;
    c.TextOut(12, 12, "Report page 1");
    c.Font.Bold = true;
    c.TextOut(12, 30, "\xCE\xF2\xF7\xE5\xF2"); // "Отчет"
    c.SetClipRect({40, 50, 100, 80});
    c.Draw(30, 45, eightBitPicture(90, 45));
    c.ResetClip();
    TBitmap keyed(10, 10);
    keyed.Canvas().Brush.Color = gfx::clFuchsia;
    keyed.Canvas().FillRect({0, 0, 10, 10});
    keyed.Canvas().Brush.Color = gfx::clBlue;
    keyed.Canvas().FillRect({3, 3, 7, 7});
    keyed.Transparent = true;
    keyed.SetTransparentColor(gfx::clFuchsia);
    c.Draw(120, 110, keyed);
    c.Brush.Color = gfx::clTeal;
    c.FrameRect({130, 60, 170, 90});
    c.Brush.Color = gfx::clAqua;
    c.RoundRect(100, 110, 118, 140, 6, 6);
    c.Pie(150, 50, 190, 90, 190, 70, 170, 50);
    const gfx::TPoint zigzag[] = {{70, 120}, {80, 130}, {90, 120}, {100, 130}};
    c.Polyline(zigzag);
    c.SetPixel(3, 3, gfx::clRed);
    c.StretchDraw({100, 5, 140, 25}, eightBitPicture(20, 10));
    c.CopyRect({60, 85, 80, 95}, eightBitPicture(40, 40), {10, 10, 30, 20});
    c.Font.Bold = false;
    c.Brush.Style = gfx::TBrushStyle::bsSolid;
    c.Brush.Color = gfx::clYellow;
    c.TextRect({12, 102, 60, 110}, 12, 100, "Clipped text");
}

Metafile recordScene(int w = 200, int h = 150) {
    MetafileCanvas mc(w, h);
    drawScene(mc);
    return mc.Close();
}

std::map<std::uint32_t, int> recordCounts(const Metafile& mf) {
    std::map<std::uint32_t, int> counts;
    mf.ForEachRecord([&](const EmfRecord& r) {
        ++counts[r.type];
        return true;
    });
    return counts;
}

void putU32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        b[at + std::size_t(i)] = std::uint8_t(v >> (8 * i));
    }
}

// The byte offset of the first record of a type.
std::size_t offsetOf(const Metafile& mf, std::uint32_t type) {
    std::size_t found = 0;
    mf.ForEachRecord([&](const EmfRecord& r) {
        if (r.type == type) {
            found = std::size_t(r.bytes.data() - mf.Bytes().data());
            return false;
        }
        return true;
    });
    return found;
}

TEST(EmfRecorder, HeaderDescribesAnA4PageAtTheReferenceResolution) {
    MetafileCanvas mc(794, 1123);
    const Metafile mf = mc.Close();
    const auto& b = mf.Bytes();
    ASSERT_EQ(b.size(), 108u + 20u);
    EXPECT_EQ(readU32(b, 0), EMR_HEADER);
    EXPECT_EQ(readU32(b, 4), 108u);
    EXPECT_EQ(readI32(b, 16), 793);
    EXPECT_EQ(readI32(b, 20), 1122);
    EXPECT_EQ(readI32(b, 32), 21008);
    EXPECT_EQ(readI32(b, 36), 29713);
    EXPECT_EQ(std::string(b.begin() + 40, b.begin() + 44), " EMF");
    EXPECT_EQ(readU32(b, 48), b.size());
    EXPECT_EQ(readU32(b, 52), 2u);
    EXPECT_EQ(mf.Width(), 794);
    EXPECT_EQ(mf.Height(), 1123);
    EXPECT_TRUE(mc.Closed());
}

TEST(EmfRecorder, WritesOneTextRecordPerLineWithTheOriginalFace) {
    const Metafile mf = recordScene();
    const auto texts = metafileTexts(mf);
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[2], "Clipped text");
    EXPECT_EQ(texts[0], "Report page 1");
    EXPECT_EQ(texts[1], "\xD0\x9E\xD1\x82\xD1\x87\xD0\xB5\xD1\x82"); // UTF-8 "Отчет"
    const auto counts = recordCounts(mf);
    EXPECT_EQ(counts.at(EMR_EXTTEXTOUTW), 3);
    EXPECT_EQ(counts.at(EMR_STRETCHDIBITS), 3);
    EXPECT_EQ(counts.at(EMR_ROUNDRECT), 1);
    EXPECT_EQ(counts.at(EMR_PIE), 1);
    EXPECT_EQ(counts.at(EMR_POLYLINE16), 1);
    EXPECT_EQ(counts.at(EMR_SETPIXELV), 1);
    EXPECT_EQ(counts.at(EMR_TRANSPARENTBLT), 1);
    EXPECT_EQ(counts.at(EMR_INTERSECTCLIPRECT), 1);
    EXPECT_EQ(counts.at(EMR_EXTSELECTCLIPRGN), 1);
    EXPECT_EQ(counts.at(EMR_EOF), 1);
    // Face name of the font record: "Arial", not the family that draws it here.
    const std::size_t font = offsetOf(mf, EMR_EXTCREATEFONTINDIRECTW);
    ASSERT_NE(font, 0u);
    std::string face;
    for (std::size_t i = 0; i < 32; ++i) {
        const auto c = readU16(mf.Bytes(), font + 40 + 2 * i);
        if (c == 0) {
            break;
        }
        face.push_back(char(c));
    }
    EXPECT_EQ(face, "Arial");
    EXPECT_EQ(readI32(mf.Bytes(), font + 12), -13);
}

TEST(EmfRecorder, FillsAndFramesReachingTheLastCoordinateKeepTheirEdges) {
    constexpr int kMax = 2147483647;
    constexpr int kMin = -kMax - 1;
    struct Case {
        const char* name;
        void (*draw)(MetafileCanvas&);
        std::vector<std::array<std::int32_t, 4>> rectangles;
    };
    const Case cases[] = {
        {"fill to the end",
         [](MetafileCanvas& c) {
             c.FillRect({kMin, -5, kMax, kMax});
         },
         {{kMin, -5, kMax, kMax}}},
        {"frame around everything",
         [](MetafileCanvas& c) {
             c.FrameRect({kMin, kMin, kMax, kMax});
         },
         {{kMin, kMin, kMax, kMin + 2},
          {kMin, kMax - 1, kMax, kMax},
          {kMin, kMin + 1, kMin + 2, kMax},
          {kMax - 1, kMin + 1, kMax, kMax}}},
        {"an ordinary fill",
         [](MetafileCanvas& c) {
             c.FillRect({1, 2, 3, 4});
         },
         {{1, 2, 4, 5}}},
    };
    for (const Case& c : cases) {
        MetafileCanvas mc(100, 100);
        mc.Brush.Color = 0x123456;
        c.draw(mc);
        const Metafile mf = mc.Close();
        std::vector<std::array<std::int32_t, 4>> got;
        mf.ForEachRecord([&](const EmfRecord& r) {
            if (r.type == EMR_RECTANGLE) {
                got.push_back({readI32(r.bytes, 8), readI32(r.bytes, 12), readI32(r.bytes, 16),
                               readI32(r.bytes, 20)});
            }
            return true;
        });
        EXPECT_EQ(got, c.rectangles) << c.name;
    }
}

TEST(EmfRecorder, EightBitPicturesKeepTheirPalette) {
    const Metafile mf = recordScene();
    const std::size_t at = offsetOf(mf, EMR_STRETCHDIBITS);
    const auto rec = std::span(mf.Bytes()).subspan(at);
    const std::uint32_t offBmi = readU32(rec, 48);
    EXPECT_EQ(readU16(rec, offBmi + 14), 8);  // bits per pixel
    EXPECT_EQ(readU32(rec, offBmi + 32), 3u); // colours used
    EXPECT_EQ(readU32(rec, 68), SRCCOPY);
    EXPECT_EQ(readI32(rec, 72), 90);
    EXPECT_EQ(readI32(rec, 76), 45);
}

// The 8-bit form is made once, when the picture is reduced to it; a picture changed afterwards
// is written as it is then, whichever way it was changed.
TEST(EmfRecorder, EightBitPicturesChangedAfterTheirReductionAreWrittenAsChanged) {
    const std::vector<std::pair<const char*, std::function<void(TBitmap&)>>> changes = {
        {"nothing", [](TBitmap&) {}},
        {"SetPixel", [](TBitmap& b) { b.SetPixel(3, 2, gfx::clRed); }},
        {"canvas",
         [](TBitmap& b) {
             b.Canvas().Brush.Color = gfx::clRed;
             b.Canvas().FillRect({3, 2, 4, 3});
         }},
        {"scan line", [](TBitmap& b) { b.ScanLine(2)[3] = gfx::colorToArgb(gfx::clRed); }},
        {"copy",
         [](TBitmap& b) {
             TBitmap other = eightBitPicture(20, 10);
             other.SetPixel(3, 2, gfx::clRed);
             b = other;
         }},
    };
    for (const auto& [name, change] : changes) {
        TBitmap picture = eightBitPicture(20, 10);
        change(picture);
        MetafileCanvas mc(20, 10);
        mc.Draw(0, 0, picture);
        TBitmap played(20, 10);
        playMetafile(mc.Close(), played.Canvas(), {0, 0, 20, 10});
        int differing = 0;
        for (int y = 0; y < 10; ++y) {
            for (int x = 0; x < 20; ++x) {
                differing += played.GetPixel(x, y) != picture.GetPixel(x, y);
            }
        }
        EXPECT_EQ(differing, 0) << name;
    }
}

TEST(EmfPlayer, PlayingAPageGivesThePixelsOfDrawingItDirectly) {
    const Metafile mf = recordScene();
    TBitmap direct(200, 150);
    drawScene(direct.Canvas());
    TBitmap played(200, 150);
    playMetafile(mf, played.Canvas(), {0, 0, 200, 150});
    int differing = 0;
    for (int y = 0; y < 150; ++y) {
        for (int x = 0; x < 200; ++x) {
            differing += direct.GetPixel(x, y) != played.GetPixel(x, y);
        }
    }
    EXPECT_EQ(differing, 0);
    // The canvas's own state is given back.
    EXPECT_FALSE(played.Canvas().ClipSetting().has_value());
}

TEST(EmfPlayer, StretchesTheFrameOverTheDestination) {
    MetafileCanvas mc(100, 50);
    mc.Brush.Color = gfx::clRed;
    mc.FillRect({10, 10, 20, 20});
    const Metafile mf = mc.Close();
    TBitmap out(300, 200);
    out.Canvas().SetClipRect({0, 0, 250, 200});
    playMetafile(mf, out.Canvas(), {50, 50, 250, 150}); // twice the size, shifted
    EXPECT_EQ(out.GetPixel(70, 70), gfx::clRed);
    EXPECT_EQ(out.GetPixel(89, 89), gfx::clRed);
    EXPECT_EQ(out.GetPixel(90, 90), gfx::clWhite);
    EXPECT_EQ(out.GetPixel(69, 69), gfx::clWhite);
    ASSERT_TRUE(out.Canvas().ClipSetting().has_value());
    EXPECT_EQ(*out.Canvas().ClipSetting(), (TRect{0, 0, 250, 200}));
}

// An A-scan-like picture: white, with one-pixel black lines (vertical at kLineColumns,
// horizontal at kLineRows), in its 8-bit form.
constexpr int kLineColumns[] = {41, 102, 163, 224, 285};
constexpr int kLineRows[] = {23, 58, 91};
TBitmap thinLinePicture() {
    TBitmap b(320, 120);
    for (int y = 0; y < b.Height(); ++y) {
        for (int x = 0; x < b.Width(); ++x) {
            const bool line =
                std::find(std::begin(kLineColumns), std::end(kLineColumns), x) !=
                    std::end(kLineColumns) ||
                std::find(std::begin(kLineRows), std::end(kLineRows), y) != std::end(kLineRows);
            b.SetPixel(x, y, line ? gfx::clBlack : gfx::clWhite);
        }
    }
    b.SetPixelFormat(gfx::TPixelFormat::pf8bit);
    return b;
}

// The page's pixels played over a w x h destination by either canvas.
TBitmap playedOn(bool painter, const Metafile& mf, int w, int h) {
    if (!painter) {
        TBitmap out(w, h);
        playMetafile(mf, out.Canvas(), {0, 0, w, h});
        return out;
    }
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        gfx::PainterCanvas canvas(image);
        playMetafile(mf, canvas, {0, 0, w, h});
    }
    return gfx::bitmapFromImage(image);
}

TEST(EmfPlayer, ShrunkPicturesKeepTheirThinLinesEnlargedOnesAreSampledAsBefore) {
    const TBitmap picture = thinLinePicture();
    MetafileCanvas mc(320, 120);
    mc.Draw(0, 0, picture);
    const Metafile mf = mc.Close();
    struct Case {
        int w, h;
    };
    // Below half size, a little above, nearly full; twice and three times as large.
    for (const Case size :
         {Case{130, 50}, Case{165, 62}, Case{290, 109}, Case{640, 240}, Case{960, 360}}) {
        for (const bool painter : {false, true}) {
            const TBitmap out = playedOn(painter, mf, size.w, size.h);
            const std::string where = std::to_string(size.w) + (painter ? " painter" : " raster");
            if (size.w > 320) {
                // Nothing changes where pictures grow (the printer): as StretchDraw draws it.
                TBitmap expected(size.w, size.h);
                if (painter) {
                    QImage image(size.w, size.h, QImage::Format_RGB32);
                    image.fill(Qt::white);
                    gfx::PainterCanvas canvas(image);
                    canvas.StretchDraw({0, 0, size.w, size.h}, picture);
                    expected = gfx::bitmapFromImage(image);
                } else {
                    expected.Canvas().StretchDraw({0, 0, size.w, size.h}, picture);
                }
                EXPECT_EQ(out.Pixels(), expected.Pixels()) << where;
                continue;
            }
            // Every line leaves a clearly darker trace across the whole picture.
            const double kx = size.w / 320.0;
            const double ky = size.h / 120.0;
            const auto darkest = [&](int x0, int x1, int y0, int y1) {
                int v = 255;
                for (int y = std::max(0, y0); y < std::min(size.h, y1); ++y) {
                    for (int x = std::max(0, x0); x < std::min(size.w, x1); ++x) {
                        v = std::min(v, int(gfx::GetRValue(out.GetPixel(x, y))));
                    }
                }
                return v;
            };
            for (const int column : kLineColumns) {
                const int x = int(column * kx);
                for (const int y : {5, size.h / 2 + 3, size.h - 3}) {
                    EXPECT_LT(darkest(x - 2, x + 3, y, y + 1), 200)
                        << where << ": column " << column << " at row " << y;
                }
            }
            for (const int row : kLineRows) {
                const int y = int(row * ky);
                for (const int x : {3, size.w / 2 + 1, size.w - 4}) {
                    EXPECT_LT(darkest(x, x + 1, y - 2, y + 3), 200)
                        << where << ": row " << row << " at column " << x;
                }
            }
            // and the white between the lines stays white.
            EXPECT_EQ(darkest(int(70 * kx), int(80 * kx), int(35 * ky), int(45 * ky)), 255)
                << where;
        }
    }
}

// A page as another program writes it: a header, then the records given, then the end record.
class HandMade {
public:
    HandMade(int frameW, int frameH) {
        ByteWriter b(data_);
        b.u32(EMR_HEADER);
        b.u32(88);
        b.zeros(16);
        b.i32(0);
        b.i32(0);
        b.i32(frameW);
        b.i32(frameH);
        b.u32(kEmfSignature);
        b.u32(kEmfVersion);
        b.u32(0);
        b.u32(0);
        b.u16(8);
        b.u16(0);
        b.zeros(12);
        b.i32(960);
        b.i32(960);
        b.i32(254);
        b.i32(254);
        records_ = 1;
    }
    HandMade& rec(std::uint32_t type, std::initializer_list<std::uint32_t> words) {
        ByteWriter b(data_);
        b.u32(type);
        b.u32(std::uint32_t(8 + 4 * words.size()));
        for (auto w : words) {
            b.u32(w);
        }
        ++records_;
        return *this;
    }
    HandMade& raw(std::vector<std::uint8_t> bytes) {
        data_.insert(data_.end(), bytes.begin(), bytes.end());
        ++records_;
        return *this;
    }
    std::vector<std::uint8_t> bytes() {
        rec(EMR_EOF, {0, 16, 20});
        putU32(data_, 48, std::uint32_t(data_.size()));
        putU32(data_, 52, records_);
        return data_;
    }

private:
    std::vector<std::uint8_t> data_;
    std::uint32_t records_ = 0;
};

// EXTTEXTOUTA of an 8-bit text at (x, y).
std::vector<std::uint8_t> ansiText(int x, int y, const std::string& s) {
    std::vector<std::uint8_t> out;
    ByteWriter b(out);
    b.u32(EMR_EXTTEXTOUTA);
    b.u32(0);
    b.zeros(16);
    b.u32(1);
    b.f32(0);
    b.f32(0);
    b.i32(x);
    b.i32(y);
    b.u32(std::uint32_t(s.size()));
    b.u32(76);
    b.u32(0);
    b.zeros(16);
    b.u32(0);
    for (char c : s) {
        b.u8(std::uint8_t(c));
    }
    b.pad4();
    putU32(out, 4, std::uint32_t(out.size()));
    return out;
}

TEST(EmfPlayer, FollowsMappingModesPatternBlitsAndAnsiTextOfOtherPrograms) {
    // Frame of 100 x 100 pixels; logical units twice as fine as pixels.
    const int frame = int(std::nearbyint(100 * 2540.0 / 96));
    HandMade page(frame, frame);
    page.rec(EMR_SETMAPMODE, {8})
        .rec(EMR_SETWINDOWEXTEX, {200, 200})
        .rec(EMR_SETVIEWPORTEXTEX, {100, 100})
        .rec(200, {1, 2, 3}) // unknown: skipped
        .rec(EMR_CREATEBRUSHINDIRECT, {1, BS_SOLID, gfx::clBlue, 0})
        .rec(EMR_SELECTOBJECT, {1})
        .rec(EMR_BITBLT,
             {0, 0, 0, 0, 20, 20, 40, 40, PATCOPY, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0})
        .rec(EMR_SAVEDC, {})
        .rec(EMR_INTERSECTCLIPRECT, {0, 0, 50, 50})
        .rec(EMR_RESTOREDC, {std::uint32_t(-1)})
        .raw(ansiText(100, 100, "Probe"));
    const Metafile mf(page.bytes());
    EXPECT_EQ(metafileTexts(mf), std::vector<std::string>{"Probe"});
    TBitmap out(100, 100);
    playMetafile(mf, out.Canvas(), {0, 0, 100, 100});
    EXPECT_EQ(out.GetPixel(10, 10), gfx::clBlue);
    EXPECT_EQ(out.GetPixel(29, 29), gfx::clBlue);
    EXPECT_EQ(out.GetPixel(30, 30), gfx::clWhite);
    EXPECT_EQ(out.GetPixel(9, 9), gfx::clWhite);
    // The text starts at the centre, unclipped after the restored context.
    int inked = 0;
    for (int y = 50; y < 70; ++y) {
        for (int x = 50; x < 100; ++x) {
            inked += out.GetPixel(x, y) != gfx::clWhite;
        }
    }
    EXPECT_GT(inked, 10);
}

TEST(EmfPlayer, OutlineFreeShapesEndingAtTheLowestCoordinateStayOnTheirSide) {
    // Without an outline the player takes the shape's last pixel off its right and bottom edges;
    // at the lowest int that must not wrap round to a shape covering the whole page.
    const int frame = int(std::nearbyint(100 * 2540.0 / 96));
    constexpr std::uint32_t kLowest = 0x80000000u;
    for (const std::uint32_t shape : {std::uint32_t(EMR_RECTANGLE), std::uint32_t(EMR_ELLIPSE)}) {
        HandMade page(frame, frame);
        page.rec(EMR_CREATEPEN, {2, PS_NULL, 0, 0, 0})
            .rec(EMR_SELECTOBJECT, {2})
            .rec(EMR_CREATEBRUSHINDIRECT, {1, BS_SOLID, gfx::clBlue, 0})
            .rec(EMR_SELECTOBJECT, {1})
            .rec(shape, {10, 10, kLowest, kLowest});
        TBitmap out(100, 100);
        playMetafile(Metafile(page.bytes()), out.Canvas(), {0, 0, 100, 100});
        EXPECT_EQ(out.GetPixel(50, 50), gfx::clWhite) << shape;
        EXPECT_EQ(out.GetPixel(99, 99), gfx::clWhite) << shape;
        if (shape == EMR_RECTANGLE) {
            EXPECT_EQ(out.GetPixel(5, 5), gfx::clBlue); // the part on the page is drawn
        }
    }
}

struct Damage {
    const char* name;
    std::function<void(std::vector<std::uint8_t>&, const Metafile&)> apply;
};

TEST(EmfReader, RefusesBrokenMetafiles) {
    const Metafile good = recordScene();
    const std::size_t text = offsetOf(good, EMR_EXTTEXTOUTW);
    const std::size_t dib = offsetOf(good, EMR_STRETCHDIBITS);
    const std::size_t line = offsetOf(good, EMR_LINETO);
    const std::vector<Damage> damages = {
        {"truncated", [](auto& b, auto&) { b.erase(b.end() - 4, b.end()); }},
        {"empty", [](auto& b, auto&) { b.clear(); }},
        {"signature", [](auto& b, auto&) { b[40] = 'X'; }},
        {"length larger than data",
         [](auto& b, auto&) { putU32(b, 48, std::uint32_t(b.size() + 4)); }},
        {"record count", [](auto& b, auto&) { putU32(b, 52, readU32(b, 52) + 1); }},
        {"record overruns file", [=](auto& b, auto&) { putU32(b, line + 4, 0x7FFFFFF0); }},
        {"record size not a multiple of 4", [=](auto& b, auto&) { putU32(b, line + 4, 15); }},
        {"record size zero", [=](auto& b, auto&) { putU32(b, line + 4, 0); }},
        {"text longer than its record", [=](auto& b, auto&) { putU32(b, text + 44, 100000); }},
        {"text offset outside", [=](auto& b, auto&) { putU32(b, text + 48, 0xFFFFFFF0); }},
        {"bitmap bits outside", [=](auto& b, auto&) { putU32(b, dib + 60, 0x7FFFFFFF); }},
        {"bitmap claims huge size",
         [=](auto& b, auto&) {
             const std::uint32_t offBmi = readU32(b, dib + 48);
             putU32(b, dib + offBmi + 4, 1000000);
             putU32(b, dib + offBmi + 8, 1000000);
         }},
        {"bitmap colour table outside",
         [=](auto& b, auto&) {
             const std::uint32_t offBmi = readU32(b, dib + 48);
             putU32(b, dib + offBmi + 0, 0x10000);
         }},
        {"no end record", [](auto& b, auto&) { putU32(b, b.size() - 20, EMR_LINETO); }},
    };
    for (const auto& d : damages) {
        std::vector<std::uint8_t> bytes = good.Bytes();
        d.apply(bytes, good);
        EXPECT_THROW(Metafile{std::move(bytes)}, EmfError) << d.name;
    }
    EXPECT_NO_THROW(Metafile{good.Bytes()});
}

TEST(EmfDib, EncodesAndDecodesBothDepths) {
    TBitmap eight = eightBitPicture(13, 7);
    TBitmap deep(5, 3);
    deep.SetPixel(4, 2, gfx::RGB(1, 2, 3));
    deep.SetPixel(0, 0, gfx::RGB(200, 100, 50));
    for (const TBitmap* b : {&eight, &deep}) {
        const EncodedDib e = encodeDib(*b, {0, 0, b->Width(), b->Height()});
        const TBitmap back = decodeDib(e.bmi, e.bits);
        ASSERT_EQ(back.Width(), b->Width());
        ASSERT_EQ(back.Height(), b->Height());
        for (int y = 0; y < b->Height(); ++y) {
            for (int x = 0; x < b->Width(); ++x) {
                ASSERT_EQ(back.GetPixel(x, y), b->GetPixel(x, y)) << x << "," << y;
            }
        }
    }
}

// emf2svg-conv is the independent reader: it must take our pages and find their texts.
TEST(EmfInterop, Emf2SvgReadsOurPages) {
    if (std::system("command -v emf2svg-conv > /dev/null 2>&1") != 0) {
        GTEST_SKIP() << "emf2svg-conv is not installed (Debian package emf2svg)";
    }
    const auto dir =
        std::filesystem::temp_directory_path() / ("tb-emf-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const auto emf = dir / "page.emf";
    const auto svg = dir / "page.svg";
    const Metafile mf = recordScene();
    {
        std::ofstream out(emf, std::ios::binary);
        out.write(reinterpret_cast<const char*>(mf.Bytes().data()), std::streamsize(mf.Size()));
    }
    const std::string cmd = "emf2svg-conv -i '" + emf.string() + "' -o '" + svg.string() + "'";
    EXPECT_EQ(std::system(cmd.c_str()), 0);
    std::ifstream in(svg);
    const std::string content((std::istreambuf_iterator<char>(in)),
                              std::istreambuf_iterator<char>());
    EXPECT_NE(content.find("Report page 1"), std::string::npos);
    EXPECT_NE(content.find("\xD0\x9E\xD1\x82\xD1\x87\xD0\xB5\xD1\x82"), std::string::npos);
    EXPECT_NE(content.find("Arial"), std::string::npos);
    std::filesystem::remove_all(dir);
}

} // namespace
