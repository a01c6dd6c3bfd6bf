// Whole pictures of generated records, as an operator sees them on the pages and on the
// clipboard: written as PNG files into the build folder for a person to look at, and checked for
// what a reader must recognise in them (the echo in its strobe, the back wall, the sloping
// reflector, the disk-shaped flaw).
#include "PictureTestSupport.h"

#include "platform/gfx/QtImage.h"
#include "records/AScanViews.h"
#include "records/BandViews.h"
#include "records/MapViews.h"
#include "records/ViewMath.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>

namespace {

using namespace pictest;
using platform::gfx::TBitmap;

// The page sizes of the views.
constexpr int kAScanWidth = 592;
constexpr int kAScanHeight = 300;
constexpr int kRulerHeight = 36;
constexpr int kZoomHeight = 160;
const TBandClipboardSizes kBandSizes{592, 51, 340, 34, 440};
const TMapClipboardSizes kMapSizes{590, 56, 337, 229, 45, 245};

std::filesystem::path pictureFolder() {
    const auto folder = std::filesystem::path(TB_OUTPUT_DIR) / "pictures";
    std::filesystem::create_directories(folder);
    return folder;
}

void save(const TBitmap& picture, const std::string& name) {
    const auto path = pictureFolder() / name;
    ASSERT_TRUE(platform::gfx::imageFromBitmap(picture).save(QString::fromStdString(path.string())))
        << path;
    EXPECT_GT(std::filesystem::file_size(path), 1000u) << path;
}

// The row of the A-scan view that amplitude a (sample units) reaches, 100 % at the top.
int rowOf(double a, int height) {
    return height - int(std::lround(height * a / AmplitudeReference));
}

// The topmost row of column x showing the trace colour, or -1.
int traceTop(const TBitmap& b, int x, TColor trace, int height) {
    for (int y = 0; y < height; ++y) {
        if (b.GetPixel(x, y) == trace) {
            return y;
        }
    }
    return -1;
}

// The first colour table entry showing `color` (the amplitude it stands for), or -1.
int hueOf(const TBaseBandCell& band, TColor color) {
    for (int h = 0; h <= 360; ++h) {
        if (band.ColorTable[static_cast<std::size_t>(h)] == color) {
            return h;
        }
    }
    return -1;
}

TEST(Pictures, AScanShowsItsEchoInTheStrobeAndTheBackWall) {
    ProgramTexts texts;
    ASSERT_TRUE(texts.loaded());
    const sim::Scene scene = sim::aScanScene(11, 2000);
    auto record = recordOf<TBaseAScanCell>(sim::makeRecording(scene));
    record->Config->ScreenType = 2; // the split screen: the zoom view of strobe 1 too
    record->Config->TgvEnabled = 1;
    record->Config->IndexMarkMks = 4; // labels every 200 us: 0.2 ms apart on a 2000 us trace
    TBitmap picture;
    CopyAScanImageToClipboard(*record, picture, kAScanWidth, kAScanHeight, kRulerHeight,
                              kZoomHeight, kRulerHeight);
    ASSERT_EQ(picture.Width(), kAScanWidth);
    ASSERT_EQ(picture.Height(), kAScanHeight + kZoomHeight + 2 * kRulerHeight);
    save(picture, "ascan.png");

    // The flaw's echo and the back wall's stand high above the grain noise.
    const double n = scene.samples;
    const TColor trace = record->Color(6);
    const auto columnOf = [&](double depthMm) {
        return int(std::lround(sim::depthToSample(depthMm, scene.velocity) / n * kAScanWidth));
    };
    const int flaw = columnOf(scene.flawDepthMm);
    const int wall = columnOf(scene.thicknessMm);
    const auto highest = [&](int x0) {
        int top = kAScanHeight;
        for (int x = x0 - 2; x <= x0 + 2; ++x) {
            const int t = traceTop(picture, x, trace, kAScanHeight);
            if (t >= 0) {
                top = std::min(top, t);
            }
        }
        return top;
    };
    EXPECT_LE(highest(flaw), rowOf(0.5 * scene.flawAmplitude, kAScanHeight));
    // The flaw shadows part of the back wall.
    EXPECT_LE(highest(wall), rowOf(0.3 * scene.backWallAmplitude, kAScanHeight));
    const int between = (flaw + wall) / 2;
    EXPECT_GE(highest(between), rowOf(0.3 * scene.flawAmplitude, kAScanHeight));
}

TEST(Pictures, BandShowsTheSlopingReflectorAndTheBackWall) {
    ProgramTexts texts;
    const sim::Scene scene = sim::bandScene(7, 1500, 296);
    auto band = recordOf<TBaseBandCell>(sim::makeRecording(scene));
    for (const std::uint8_t kind : {PaletteBinary, PaletteThermal}) {
        setPalette(*band, kind, 0, kind == PaletteBinary ? band->HueHigh : 300);
        TBitmap picture;
        CopyBandImageToClipboard(*band, 0, picture, kBandSizes);
        save(picture, kind == PaletteBinary ? "band-binary.png" : "band-thermal.png");

        // Down a quarter of the way along: the reflector and the back wall stand out, the
        // material between them is quiet.
        const int hp = kBandSizes.PictureHeight;
        const int top = kBandSizes.UpperHeight;
        const int scan = 296 / 4;
        const int x = scan * 2 + 1;
        const auto rowOfDepth = [&](double mm) {
            return top +
                   int(std::lround(sim::depthToSample(mm, scene.velocity) / scene.samples * hp));
        };
        const auto strongest = [&](int row) {
            int best = 0;
            for (int y = row - 3; y <= row + 3; ++y) {
                best = std::max(best, hueOf(*band, picture.GetPixel(x, y)));
            }
            return best;
        };
        const int wall = rowOfDepth(scene.thicknessMm);
        const int reflector = rowOfDepth(sim::reflectorDepthMm(scene, scan));
        const int quiet = (wall + reflector) / 2;
        // Binary: black from the threshold on; thermal: well up the colour scale.
        const int strong = kind == PaletteBinary ? band->HueHigh : 60;
        EXPECT_GE(strongest(wall), strong);
        EXPECT_GE(strongest(reflector), strong);
        EXPECT_LT(strongest(quiet), kind == PaletteBinary ? band->HueHigh : 30);
    }
}

TEST(Pictures, MapShowsTheDiskInTheCScan) {
    ProgramTexts texts;
    const sim::Scene scene = sim::mapScene(5, 1200, 20, 24);
    auto map = recordOf<TBaseMapCell>(sim::makeRecording(scene));
    setPalette(*map, PaletteThermal, 0, 300);
    map->ComputeCellSize(kMapSizes.CScanWidth, kMapSizes.CScanHeight);
    TBitmap picture;
    CopyMapImageToClipboard(*map, 0, picture, kMapSizes);
    save(picture, "map.png");

    // The disk's centre shows a strong colour, a corner of the grid a weak one.
    const int c = map->CellSize;
    const TColor centre =
        picture.GetPixel(int((scene.diskColumn + 0.5) * c) + 1, int((scene.diskRow + 0.5) * c) + 1);
    const TColor corner = picture.GetPixel(c / 2 + 1, c / 2 + 1);
    EXPECT_NE(centre, corner);
    EXPECT_GT(hueOf(*map, centre), hueOf(*map, corner) + 100);
}

} // namespace
