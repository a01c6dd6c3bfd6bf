// The pictures of one A-scan: the trace in its three signal types over any range of samples, the
// upright trace beside band and map pictures with its overlay, the TVG curve, and the composite
// picture of the A-scans page for the clipboard. Every view is rendered into an off-screen bitmap
// of its target's size and then presented on a drawing surface or drawn onto a report image.
//
// The scheme argument of every operation: 0 screen colours, 1 print colours, KeepScheme (254) the
// record's own; a scheme given is applied for the drawing and the record's own re-applied on
// every way out.
#pragma once

#include "records/BaseAScanUnit.h"

#include <cstdint>
#include <vector>

namespace platform::gfx {
class TBitmap;
class PresentTarget;
class ReportImageTarget;
} // namespace platform::gfx

// The record's current A-scan over samples [start, end) reduced to W columns: upper and lower
// become W + 1 entries, the last one 0 (see the pure ResampleScan in ViewMath.h).
void ResampleScan(const TBaseAScanCell& record, std::vector<std::int32_t>& upper,
                  std::vector<std::int32_t>& lower, double start, double end, int W);

// Background (colour 5) and trace (colour 6) over [start, end) into the bitmap, sized W x H.
void RenderTrace(TBaseAScanCell& record, platform::gfx::TBitmap& bitmap, std::uint8_t scheme,
                 double start, double end, int W, int H);

// The upright trace: depth runs downward over H rows, amplitude to the right over W.
void RenderVerticalTrace(TBaseAScanCell& record, platform::gfx::TBitmap& bitmap,
                         std::uint8_t scheme, double start, double end, int W, int H);

// Over an upright trace: grid, cursor 1 and, in print colours, the record's hue range.
void DrawVerticalOverlay(TBaseAScanCell& record, platform::gfx::TBitmap& bitmap,
                         std::uint8_t scheme, double start, double end, int W, int H);

// Over the main view: the TVG curve of the record's configuration (callers draw it only with
// the TVG on).
void DrawTgvCurve(TBaseAScanCell& record, platform::gfx::TBitmap& bitmap, std::uint8_t scheme,
                  int W, int H);

// The complete pictures the surfaces, reports and clipboard show, rendered at W x H:
// the main view (trace, overlay, the TVG curve when the TVG is on), the zoom view (trace and
// zoom overlay) and the upright view (upright trace and its overlay).
void RenderSignalPicture(TBaseAScanCell& record, platform::gfx::TBitmap& bitmap,
                         std::uint8_t scheme, double start, double end, int W, int H);
void RenderZoomPicture(TBaseAScanCell& record, platform::gfx::TBitmap& bitmap, std::uint8_t scheme,
                       double start, double end, int W, int H);
void RenderVerticalSignalPicture(TBaseAScanCell& record, platform::gfx::TBitmap& bitmap,
                                 std::uint8_t scheme, double start, double end, int W, int H);

void DrawSignalToSurfaceView(TBaseAScanCell& record, platform::gfx::PresentTarget& surface,
                             std::uint8_t scheme, double start, double end);
void DrawSignalToReport(TBaseAScanCell& record, platform::gfx::ReportImageTarget& image,
                        std::uint8_t scheme, double start, double end);
void DrawZoomToSurfaceView(TBaseAScanCell& record, platform::gfx::PresentTarget& surface,
                           std::uint8_t scheme, double start, double end);
void DrawZoomToReport(TBaseAScanCell& record, platform::gfx::ReportImageTarget& image,
                      std::uint8_t scheme, double start, double end);
void DrawVerticalSignalToSurfaceView(TBaseAScanCell& record, platform::gfx::PresentTarget& surface,
                                     std::uint8_t scheme, double start, double end);
void DrawVerticalSignalToReport(TBaseAScanCell& record, platform::gfx::ReportImageTarget& image,
                                std::uint8_t scheme, double start, double end);

// The A-scans page's views in one bitmap, in the record's own colours: main view W x Hm over the
// whole trace with its ruler (Hr high) below; on the split screen (low four bits of
// GEN_SCREEN_TYPE equal to 2) the zoom view of strobe 1 (Hz) and its ruler (Hzr) below that.
void CopyAScanImageToClipboard(TBaseAScanCell& record, platform::gfx::TBitmap& bitmap, int W,
                               int Hm, int Hr, int Hz, int Hzr);

// An empty view: the surface filled with 0 and shown.
void BlankSurfaceView(platform::gfx::PresentTarget& surface);
