#include "config/AbsConfigObjectUnit.h"

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Color.h"
#include "platform/gfx/PresentTarget.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using platform::gfx::TBitmap;
using platform::gfx::TColor;

namespace {

// The colour at `fraction` of the radius in the direction `degrees` of a pie drawn at w x h.
TColor probe(const TBitmap& b, double degrees, double fraction) {
    const double r = (b.Width() + b.Height()) / 4.0;
    const double a = degrees * std::numbers::pi / 180.0;
    const int x = static_cast<int>(std::lround(r + std::cos(a) * r * fraction));
    const int y = static_cast<int>(std::lround(r - std::sin(a) * r * fraction));
    return b.GetPixel(x, y);
}

TCorvantaAbsConfigCell defaults() {
    TCorvantaAbsConfigCell m;
    m.SetDefaults();
    return m;
}

} // namespace

TEST(FlashMarkupPie, TheMiddleOfEachSectorOfTheDefaultMarkupHasItsColour) {
    const TCorvantaAbsConfigCell m = defaults();
    const TCorvantaAngles a = m.GetAreaAngles();
    ASSERT_GT(a.AScans, 1.0);
    ASSERT_LT(a.Maps, 0.3); // 160 bytes: too thin to draw
    TBitmap b(300, 200);
    m.RenderPie(b);
    EXPECT_EQ(probe(b, a.AScans / 2, 0.6), TCorvantaAbsConfigCell::AScanColor);
    EXPECT_EQ(probe(b, a.AScans + a.Maps + a.Bands / 2, 0.6), TCorvantaAbsConfigCell::BandColor);
    // Freshly defaulted markups are marked modified: no inner ring, even near the centre.
    EXPECT_EQ(probe(b, a.AScans + a.Maps + a.Bands / 2, 0.3), TCorvantaAbsConfigCell::BandColor);
    // Outside the circle: the button face.
    EXPECT_EQ(b.GetPixel(299, 199), platform::gfx::ColorToRGB(platform::gfx::clBtnFace));
}

TEST(FlashMarkupPie, AreasOfZeroLengthDrawThreeEqualSectors) {
    TCorvantaAbsConfigCell m = defaults();
    m.AScanArea.End = m.AScanArea.Start;
    m.MapArea.Start = m.MapArea.End = m.AScanArea.End;
    m.BandArea.Start = m.BandArea.End = m.MapArea.End;
    TBitmap b(200, 200);
    m.RenderPie(b);
    EXPECT_EQ(probe(b, 60, 0.7), TCorvantaAbsConfigCell::AScanColor);
    EXPECT_EQ(probe(b, 180, 0.7), TCorvantaAbsConfigCell::MapColor);
    EXPECT_EQ(probe(b, 300, 0.7), TCorvantaAbsConfigCell::BandColor);
}

TEST(FlashMarkupPie, TheInnerRingShowsWhatTheAreasHoldOnceSent) {
    TCorvantaAbsConfigCell m = defaults();
    // A third of the memory each.
    const std::uint32_t third = (m.MemoryEnd() - m.AreasBase) / 3;
    m.AScanArea.Start = m.AreasBase;
    m.AScanArea.End = m.AScanArea.Start + third;
    m.MapArea.Start = m.AScanArea.End;
    m.MapArea.End = m.MapArea.Start + third;
    m.BandArea.Start = m.MapArea.End;
    m.BandArea.End = m.MemoryEnd();
    m.AScanArea.Count = 60; // full
    m.MapArea.Occupied = third / 2;
    m.BandArea.Occupied = 0;
    m.Modified = 0;
    const TCorvantaAngles area = m.GetAreaAngles();
    TBitmap b(240, 240);
    m.RenderPie(b);
    EXPECT_EQ(probe(b, area.AScans / 2, 0.4), TCorvantaAbsConfigCell::AScanUsedColor);
    EXPECT_EQ(probe(b, area.AScans / 2, 0.9), TCorvantaAbsConfigCell::AScanColor);
    // Half the map area is used: the inner sector covers its first half only.
    EXPECT_EQ(probe(b, area.AScans + area.Maps * 0.25, 0.4), TCorvantaAbsConfigCell::MapUsedColor);
    EXPECT_EQ(probe(b, area.AScans + area.Maps * 0.75, 0.4), TCorvantaAbsConfigCell::MapColor);
    EXPECT_EQ(probe(b, area.AScans + area.Maps + area.Bands / 2, 0.4),
              TCorvantaAbsConfigCell::BandColor);

    m.Modified = 1; // edited on the page: what the instrument holds is no longer known
    m.RenderPie(b);
    EXPECT_EQ(probe(b, area.AScans + area.Maps * 0.25, 0.4), TCorvantaAbsConfigCell::MapColor);
}

TEST(FlashMarkupPie, IsPresentedOnTheSurfaceAtItsSize) {
    const TCorvantaAbsConfigCell m = defaults();
    platform::gfx::MemoryPresentTarget target(160, 120);
    m.DrawPieSurface(target);
    EXPECT_EQ(target.Flips(), 1);
    TBitmap direct(160, 120);
    m.RenderPie(direct);
    EXPECT_EQ(target.Shown().Pixels(), direct.Pixels());

    target.canDraw = false;
    m.DrawPieSurface(target);
    EXPECT_EQ(target.Flips(), 1);
}

TEST(FlashMarkupPie, SwatchesShowTheOuterAndInnerColours) {
    TCorvantaAbsConfigCell m = defaults();
    TBitmap aScans(30, 20), bands(30, 20), maps(30, 20);
    TCorvantaLegendTexts labels;
    m.DrawPie(aScans, bands, maps, labels);
    EXPECT_EQ(aScans.GetPixel(0, 0), platform::gfx::clBlack); // frame
    EXPECT_EQ(aScans.GetPixel(25, 5), TCorvantaAbsConfigCell::AScanColor);
    EXPECT_EQ(aScans.GetPixel(5, 15), TCorvantaAbsConfigCell::AScanUsedColor);
    EXPECT_EQ(bands.GetPixel(25, 5), TCorvantaAbsConfigCell::BandColor);
    EXPECT_EQ(bands.GetPixel(5, 15), TCorvantaAbsConfigCell::BandUsedColor);
    EXPECT_EQ(maps.GetPixel(25, 5), TCorvantaAbsConfigCell::MapColor);
    EXPECT_EQ(maps.GetPixel(5, 15), TCorvantaAbsConfigCell::MapUsedColor);
    EXPECT_EQ(labels.Capacity[0], m.GetLegendTexts().Capacity[0]);
    EXPECT_EQ(labels.Occupancy[2], m.GetLegendTexts().Occupancy[2]);
}
