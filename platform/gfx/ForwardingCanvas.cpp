#include "platform/gfx/ForwardingCanvas.h"

namespace platform::gfx {

TCanvas& ForwardingCanvas::synced() {
    TCanvas& t = target();
    t.Pen = Pen;
    t.Brush = Brush;
    t.Font = Font;
    t.PenPos = PenPos;
    t.TextAlign = TextAlign;
    if (ClipSetting()) {
        t.SetClipRect(*ClipSetting());
    } else {
        t.ResetClip();
    }
    return t;
}

void ForwardingCanvas::LineTo(int x, int y) {
    synced().LineTo(x, y);
    PenPos = {x, y};
}

void ForwardingCanvas::Polyline(std::span<const TPoint> points) {
    synced().Polyline(points);
}
void ForwardingCanvas::Polygon(std::span<const TPoint> points) {
    synced().Polygon(points);
}
void ForwardingCanvas::Rectangle(int left, int top, int right, int bottom) {
    synced().Rectangle(left, top, right, bottom);
}
void ForwardingCanvas::FillRect(const TRect& r) {
    synced().FillRect(r);
}
void ForwardingCanvas::FrameRect(const TRect& r) {
    synced().FrameRect(r);
}
void ForwardingCanvas::Ellipse(int left, int top, int right, int bottom) {
    synced().Ellipse(left, top, right, bottom);
}
void ForwardingCanvas::RoundRect(int left, int top, int right, int bottom, int w, int h) {
    synced().RoundRect(left, top, right, bottom, w, h);
}
void ForwardingCanvas::Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
    synced().Pie(x1, y1, x2, y2, x3, y3, x4, y4);
}
TColor ForwardingCanvas::GetPixel(int x, int y) {
    return synced().GetPixel(x, y);
}
void ForwardingCanvas::SetPixel(int x, int y, TColor color) {
    synced().SetPixel(x, y, color);
}
TSize ForwardingCanvas::TextExtent(std::string_view text) {
    return synced().TextExtent(text);
}
TTextMetric ForwardingCanvas::TextMetrics() {
    return synced().TextMetrics();
}
void ForwardingCanvas::Draw(int x, int y, const TBitmap& picture) {
    synced().Draw(x, y, picture);
}
void ForwardingCanvas::StretchDraw(const TRect& dest, const TBitmap& picture) {
    synced().StretchDraw(dest, picture);
}
void ForwardingCanvas::CopyRect(const TRect& dest, const TBitmap& source, const TRect& sourceRect) {
    synced().CopyRect(dest, source, sourceRect);
}
void ForwardingCanvas::DrawTextRun(int x, int y, std::string_view text, std::size_t underline,
                                   const TRect* clip) {
    synced().DrawTextRun(x, y, text, underline, clip);
}

} // namespace platform::gfx
