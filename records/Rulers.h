// The rulers and scales around the A-scan views: the time or depth ruler below the signal view,
// the zoom view's own ruler, the depth ruler beside the upright A-scan of the band and map pages,
// the amplitude scales of the reports, and the thin frame that closes ruler pictures on chosen
// edges. Scheme arguments work as in AScanViews.h.
#pragma once

#include "records/BaseAScanUnit.h"
#include "records/ViewMath.h"

#include <cstdint>

namespace platform::gfx {
class TBitmap;
class PresentTarget;
class ReportImageTarget;
} // namespace platform::gfx

// Frame edges, combined as a mask.
enum : std::uint8_t {
    FrameTop = 1,
    FrameRight = 2,
    FrameBottom = 4,
    FrameLeft = 8,
    FrameAll = 15,
};

// The step computations for a record's configuration; scale dimension 1 is millimetres.
double GetRulerStep(const TBaseAScanCell& record, int scaleDimension, double W, double range);
TZoomRulerStep GetZoomRulerStep(const TBaseAScanCell& record, int scaleDimension, double start,
                                double end, double W);
TDepthRulerStep GetDepthRulerStep(const TBaseAScanCell& record, int scaleDimension, double H,
                                  double range);

// The ruler below the signal view over [start, end), W x H.
void RenderHorizMarkup(TBaseAScanCell& record, platform::gfx::TBitmap& bitmap, std::uint8_t scheme,
                       double start, double end, int W, int H);
void DrawHorizMarkupToSurfaceView(TBaseAScanCell& record, platform::gfx::PresentTarget& surface,
                                  std::uint8_t scheme, double start, double end);
void DrawHorizMarkupToReport(TBaseAScanCell& record, platform::gfx::ReportImageTarget& image,
                             std::uint8_t scheme, double start, double end);

// The zoom view's ruler over [start, end).
void RenderZoomHorizMarkup(TBaseAScanCell& record, platform::gfx::TBitmap& bitmap,
                           std::uint8_t scheme, double start, double end, int W, int H);
void DrawZoomHorizMarkupToSurfaceView(TBaseAScanCell& record, platform::gfx::PresentTarget& surface,
                                      std::uint8_t scheme, double start, double end);
void DrawZoomHorizMarkupToReport(TBaseAScanCell& record, platform::gfx::ReportImageTarget& image,
                                 std::uint8_t scheme, double start, double end);

// The depth ruler beside an upright A-scan over [start, end); framed on a surface.
void RenderInDepthMarkup(TBaseAScanCell& record, platform::gfx::TBitmap& bitmap,
                         std::uint8_t scheme, double start, double end, int W, int H);
void DrawInDepthMarkupToSurfaceView(TBaseAScanCell& record, platform::gfx::PresentTarget& surface,
                                    std::uint8_t scheme, double start, double end);
void DrawInDepthMarkupToReport(TBaseAScanCell& record, platform::gfx::ReportImageTarget& image,
                               std::uint8_t scheme, double start, double end);

// The amplitude scale beside the A-scan report's views.
void RenderVerticMarkup(TBaseAScanCell& record, platform::gfx::TBitmap& bitmap, std::uint8_t scheme,
                        int W, int H);
void DrawVerticMarkupToReport(TBaseAScanCell& record, platform::gfx::ReportImageTarget& image,
                              std::uint8_t scheme);

// The amplitude scale along an upright A-scan of the band report (style 0, below it) and the
// map report (style 1, above it); the print scheme marks the hue range on it.
void RenderMagnitudeMarkup(TBaseAScanCell& record, platform::gfx::TBitmap& bitmap,
                           std::uint8_t scheme, int style, int W, int H);
void DrawMagnitudeMarkupToReport(TBaseAScanCell& record, platform::gfx::ReportImageTarget& image,
                                 std::uint8_t scheme, int style);

// Frame lines on the chosen edges of a W x H picture: colour 1, or colour 2 for style 1.
void DrawFrame(TBaseAScanCell& record, platform::gfx::TBitmap& bitmap, std::uint8_t scheme,
               int style, std::uint8_t edges, int W, int H);
