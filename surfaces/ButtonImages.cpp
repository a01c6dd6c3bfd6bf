#include "surfaces/ButtonImages.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <optional>

namespace surfaces {

namespace {

constexpr int S = kControlButtonImageSize;

const QColor kInk(0, 0, 0);
const QColor kFrame(64, 64, 64);
const QColor kTrace(0, 128, 0);
const QColor kGate(200, 0, 0);
const QColor kCursor(0, 0, 200);
const QColor kPaper(255, 255, 255);
const QColor kMuted(128, 128, 128);

QPixmap blank() {
    QPixmap p(S, S);
    p.fill(Qt::transparent);
    return p;
}

QPixmap drawn(const std::function<void(QPainter&)>& draw) {
    QPixmap p = blank();
    QPainter painter(&p);
    draw(painter);
    return p;
}

void line(QPainter& p, const QColor& c, int x1, int y1, int x2, int y2, int width = 1) {
    p.setPen(QPen(c, width, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(x1, y1, x2, y2);
}

// A screen: white area in a dark frame covering the picture.
void screen(QPainter& p) {
    p.setPen(kFrame);
    p.setBrush(kPaper);
    p.drawRect(0, 1, 15, 13);
    p.setBrush(Qt::NoBrush);
}

// An echo trace over [x0, x1) with its baseline at `base` and an echo of `height` around `peakX`.
void trace(QPainter& p, int x0, int x1, int base, int height, int peakX, int spread = 2) {
    QPolygon poly;
    for (int x = x0; x < x1; ++x) {
        const double d = (x - peakX) / static_cast<double>(spread);
        poly << QPoint(x, base - static_cast<int>(std::lround(height * std::exp(-d * d))));
    }
    p.setPen(kTrace);
    p.drawPolyline(poly);
}

// A sampled waveform: f(x) in [-1, 1] scaled by `amp` around `base`.
void wave(QPainter& p, const QColor& c, int base, int amp, const std::function<double(int)>& f) {
    QPolygon poly;
    for (int x = 1; x < 15; ++x) {
        poly << QPoint(x, base - static_cast<int>(std::lround(amp * f(x))));
    }
    p.setPen(c);
    p.drawPolyline(poly);
}

double burst(int x) {
    const double d = (x - 7.5) / 3.0;
    return std::exp(-d * d) * std::cos((x - 7.5) * 1.9);
}

void textLines(QPainter& p, int x0, int x1, int y0, int y1) {
    for (int y = y0; y <= y1; y += 3) {
        line(p, kInk, x0, y, x1 - ((y / 3) % 2 ? 2 : 0), y);
    }
}

QPixmap tabShown() {
    return drawn([](QPainter& p) {
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QColor(0, 96, 0));
        p.setBrush(QColor(0, 200, 0));
        p.drawEllipse(QRectF(3.5, 3.5, 9, 9));
    });
}

QPixmap tabHidden() {
    return drawn([](QPainter& p) {
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(kMuted);
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRectF(3.5, 3.5, 9, 9));
    });
}

QPixmap signalType(int kind) {
    return drawn([kind](QPainter& p) {
        line(p, kMuted, 0, kind == 2 ? 8 : 13, 15, kind == 2 ? 8 : 13);
        switch (kind) {
        case 0: // detected: the envelope of the echo only
            wave(p, kTrace, 13, 11, [](int x) {
                const double d = (x - 7.5) / 3.0;
                return std::exp(-d * d);
            });
            break;
        case 1: // half-wave: the positive half of the oscillation
            wave(p, kTrace, 13, 11, [](int x) { return std::max(0.0, burst(x)); });
            break;
        default: // radio: the whole oscillation
            wave(p, kTrace, 8, 6, burst);
            break;
        }
    });
}

QPixmap screenType(int variant) {
    return drawn([variant](QPainter& p) {
        screen(p);
        switch (variant) {
        case 0: // parameters
            textLines(p, 3, 13, 4, 11);
            break;
        case 1: // A-scan
            trace(p, 1, 15, 12, 8, 9);
            break;
        case 2: // A-scan and zoom, one above the other
            line(p, kFrame, 1, 7, 14, 7);
            trace(p, 1, 15, 6, 3, 9, 1);
            trace(p, 1, 15, 13, 5, 8, 3);
            break;
        case 3: // zoom
            trace(p, 1, 15, 12, 9, 8, 4);
            line(p, kGate, 1, 3, 14, 3);
            break;
        case 4: // A-scan beside its parameters
            line(p, kFrame, 8, 2, 8, 13);
            trace(p, 1, 8, 12, 7, 5, 1);
            textLines(p, 10, 14, 4, 11);
            break;
        default: // A-scan over its parameters
            line(p, kFrame, 1, 8, 14, 8);
            trace(p, 1, 15, 7, 4, 9, 1);
            textLines(p, 3, 13, 10, 13);
            break;
        }
    });
}

QPixmap strobeAlgorithm(int kind) {
    return drawn([kind](QPainter& p) {
        line(p, kMuted, 0, 14, 15, 14);
        trace(p, 0, 16, 14, 11, 8, 2);
        line(p, kGate, 3, 8, 13, 8);
        // The marker where the time is taken: at the echo's top, or where it crosses the gate.
        const int x = kind == 0 ? 8 : 6;
        const int y = kind == 0 ? 1 : 6;
        p.setPen(kCursor);
        p.setBrush(kCursor);
        p.drawPolygon(QPolygon({QPoint(x - 2, y - 2), QPoint(x + 2, y - 2), QPoint(x, y)}));
        if (kind == 0) {
            line(p, kCursor, x, y, x, 14);
        } else {
            line(p, kCursor, x, 0, x, 14);
        }
    });
}

QPixmap tvg(bool on) {
    return drawn([on](QPainter& p) {
        line(p, kFrame, 1, 1, 1, 14);
        line(p, kFrame, 1, 14, 14, 14);
        if (on) { // gain rising with depth
            p.setRenderHint(QPainter::Antialiasing);
            QPainterPath path(QPointF(2, 12));
            path.cubicTo(QPointF(8, 12), QPointF(11, 8), QPointF(14, 2));
            p.setPen(QPen(kGate, 2));
            p.drawPath(path);
        } else { // the same gain at every depth
            line(p, kMuted, 2, 9, 14, 9, 2);
        }
    });
}

QPixmap signalling(int kind) {
    return drawn([kind](QPainter& p) {
        line(p, kMuted, 0, 14, 15, 14);
        switch (kind) {
        case 0: { // no signalling: the gate greyed and broken
            trace(p, 0, 16, 14, 10, 8);
            QPen pen(kMuted, 2, Qt::DashLine, Qt::FlatCap);
            p.setPen(pen);
            p.drawLine(2, 6, 14, 6);
            break;
        }
        case 1: // an echo rising through the gate raises the alarm
            trace(p, 0, 16, 14, 12, 8);
            line(p, kGate, 2, 6, 14, 6, 2);
            p.fillRect(12, 0, 3, 3, kGate);
            break;
        default: // an echo staying under the gate raises the alarm
            trace(p, 0, 16, 14, 5, 8);
            line(p, kGate, 2, 6, 14, 6, 2);
            p.fillRect(1, 0, 3, 3, kGate);
            break;
        }
    });
}

QPixmap measureAlgorithm(int cursors) {
    return drawn([cursors](QPainter& p) {
        line(p, kMuted, 0, 14, 15, 14);
        trace(p, 0, 16, 14, 8, 10);
        if (cursors == 1) {
            line(p, kCursor, 7, 0, 7, 15);
        } else {
            line(p, kCursor, 3, 0, 3, 15);
            line(p, kCursor, 12, 0, 12, 15);
            line(p, kCursor, 4, 2, 11, 2);
        }
    });
}

QPixmap noRecord() {
    return drawn([](QPainter& p) {
        p.setPen(kMuted);
        p.setBrush(Qt::NoBrush);
        p.drawRect(1, 1, 13, 13);
        line(p, kGate, 3, 3, 12, 12, 2);
        line(p, kGate, 12, 3, 3, 12, 2);
    });
}

// Columns as wide as the band's A-scans at this width setting.
QPixmap lineWidth(int pixels) {
    return drawn([pixels](QPainter& p) {
        bool dark = true;
        for (int x = 0; x < S; x += pixels) {
            p.fillRect(x, 2, pixels, 12, dark ? QColor(0, 0, 128) : QColor(160, 190, 255));
            dark = !dark;
        }
    });
}

std::optional<QPixmap> imageFor(int index) {
    using namespace button_image;
    if (index == TabShown) {
        return tabShown();
    }
    if (index == TabHidden) {
        return tabHidden();
    }
    if (index >= SignalType && index < SignalType + 3) {
        return signalType(index - SignalType);
    }
    if (index >= ScreenType && index < ScreenType + 6) {
        return screenType(index - ScreenType);
    }
    if (index >= StrobeAlgorithm && index < StrobeAlgorithm + 2) {
        return strobeAlgorithm(index - StrobeAlgorithm);
    }
    if (index >= Tvg && index < Tvg + 2) {
        return tvg(index == Tvg + 1);
    }
    if (index >= Signalling && index < Signalling + 3) {
        return signalling(index - Signalling);
    }
    if (index >= MeasureAlgorithm && index < MeasureAlgorithm + 2) {
        return measureAlgorithm(index - MeasureAlgorithm + 1);
    }
    if (index == NoRecord) {
        return noRecord();
    }
    if (index >= LineWidth && index < LineWidth + 4) {
        return lineWidth(1 << (index - LineWidth));
    }
    return std::nullopt;
}

// --- Tool icons ---------------------------------------------------------------------------------

void arrow(QPainter& p, const QColor& c, bool down, int top, int bottom) {
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    if (down) {
        p.drawRect(6, top, 4, bottom - top - 4);
        p.drawPolygon(QPolygon(
            {QPoint(2, bottom - 5), QPoint(13, bottom - 5), QPoint(8, bottom), QPoint(7, bottom)}));
    } else {
        p.drawRect(6, top + 5, 4, bottom - top - 5);
        p.drawPolygon(
            QPolygon({QPoint(7, top), QPoint(8, top), QPoint(13, top + 5), QPoint(2, top + 5)}));
    }
}

void tray(QPainter& p) {
    p.setPen(QPen(kFrame, 2));
    p.drawPolyline(QPolygon({QPoint(1, 10), QPoint(1, 14), QPoint(14, 14), QPoint(14, 10)}));
}

void page(QPainter& p, int x, int y, int w, int h) {
    p.setPen(kFrame);
    p.setBrush(kPaper);
    p.drawRect(x, y, w, h);
}

// Navigation: a triangle (pointing left or right) with or without an end bar.
QPixmap navigation(bool right, bool toEnd) {
    return drawn([right, toEnd](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 128));
        const int tip = right ? 12 : 3;
        const int back = right ? 5 : 10;
        p.drawPolygon(
            QPolygon({QPoint(back, 2), QPoint(tip, 7), QPoint(tip, 8), QPoint(back, 13)}));
        if (toEnd) {
            p.drawRect(right ? 13 : 1, 2, 2, 12);
        }
    });
}

QPixmap palette(const std::function<QColor(double)>& colourAt) {
    return drawn([&colourAt](QPainter& p) {
        for (int x = 1; x < 15; ++x) {
            p.fillRect(x, 2, 1, 12, colourAt((x - 1) / 13.0));
        }
        p.setPen(kFrame);
        p.setBrush(Qt::NoBrush);
        p.drawRect(0, 1, 15, 13);
    });
}

QColor grey(double t) {
    const int v = static_cast<int>(std::lround(255 * t));
    return QColor(v, v, v);
}

QColor thermal(double t) {
    // black -> red -> yellow -> white
    const double r = std::clamp(t * 3.0, 0.0, 1.0);
    const double g = std::clamp(t * 3.0 - 1.0, 0.0, 1.0);
    const double b = std::clamp(t * 3.0 - 2.0, 0.0, 1.0);
    return QColor::fromRgbF(static_cast<float>(r), static_cast<float>(g), static_cast<float>(b));
}

QPixmap toolImage(ToolIconId id) {
    switch (id) {
    case ToolIconId::Receive:
        return drawn([](QPainter& p) {
            tray(p);
            arrow(p, QColor(0, 128, 0), true, 0, 12);
        });
    case ToolIconId::Send:
        return drawn([](QPainter& p) {
            tray(p);
            arrow(p, QColor(0, 0, 160), false, 0, 12);
        });
    case ToolIconId::Load:
        return drawn([](QPainter& p) {
            p.setPen(QColor(128, 96, 0));
            p.setBrush(QColor(240, 200, 80));
            p.drawPolygon(QPolygon({QPoint(0, 3), QPoint(5, 3), QPoint(7, 5), QPoint(14, 5),
                                    QPoint(14, 13), QPoint(0, 13)}));
            p.setBrush(QColor(255, 224, 128));
            p.drawPolygon(QPolygon({QPoint(2, 7), QPoint(15, 7), QPoint(13, 13), QPoint(0, 13)}));
        });
    case ToolIconId::Save:
        return drawn([](QPainter& p) {
            p.setPen(kInk);
            p.setBrush(QColor(40, 60, 160));
            p.drawRect(1, 1, 13, 13);
            p.fillRect(4, 2, 7, 5, kPaper);
            p.fillRect(4, 10, 7, 4, QColor(192, 192, 192));
        });
    case ToolIconId::Copy:
        return drawn([](QPainter& p) {
            page(p, 1, 1, 8, 10);
            page(p, 6, 4, 8, 10);
            textLines(p, 8, 12, 7, 12);
        });
    case ToolIconId::First:
        return navigation(false, true);
    case ToolIconId::Prev:
        return navigation(false, false);
    case ToolIconId::Next:
        return navigation(true, false);
    case ToolIconId::Last:
        return navigation(true, true);
    case ToolIconId::Comments:
        return drawn([](QPainter& p) {
            p.setPen(kFrame);
            p.setBrush(QColor(255, 255, 200));
            p.drawPolygon(QPolygon({QPoint(0, 1), QPoint(15, 1), QPoint(15, 10), QPoint(7, 10),
                                    QPoint(3, 14), QPoint(4, 10), QPoint(0, 10)}));
            textLines(p, 3, 12, 4, 7);
        });
    case ToolIconId::Print:
        return drawn([](QPainter& p) {
            page(p, 4, 0, 7, 5);
            p.setPen(kInk);
            p.setBrush(QColor(160, 160, 160));
            p.drawRect(0, 5, 15, 6);
            page(p, 3, 9, 9, 6);
            p.fillRect(12, 7, 2, 1, QColor(0, 200, 0));
        });
    case ToolIconId::Preview:
        return drawn([](QPainter& p) {
            page(p, 1, 0, 10, 14);
            textLines(p, 3, 9, 3, 6);
            p.setRenderHint(QPainter::Antialiasing);
            p.setPen(QPen(kInk, 1.5));
            p.setBrush(QColor(200, 230, 255, 200));
            p.drawEllipse(QRectF(6, 6, 6, 6));
            p.setPen(QPen(kInk, 2.5));
            p.drawLine(QPointF(11.5, 11.5), QPointF(14.5, 14.5));
        });
    case ToolIconId::Disconnect:
        return drawn([](QPainter& p) {
            // A plug pulled out of its socket.
            p.setPen(Qt::NoPen);
            p.setBrush(kFrame);
            p.drawRect(0, 6, 3, 4);
            p.drawRect(3, 4, 4, 8);
            p.drawRect(9, 4, 4, 8);
            p.drawRect(13, 6, 3, 4);
            line(p, kGate, 8, 0, 8, 15);
        });
    case ToolIconId::Apply:
        return drawn([](QPainter& p) {
            p.setRenderHint(QPainter::Antialiasing);
            p.setPen(QPen(QColor(0, 150, 0), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.drawPolyline(QPolygon({QPoint(2, 8), QPoint(6, 12), QPoint(13, 3)}));
        });
    case ToolIconId::Undo:
        return drawn([](QPainter& p) {
            p.setRenderHint(QPainter::Antialiasing);
            QPainterPath path(QPointF(4, 6));
            path.cubicTo(QPointF(10, 2), QPointF(16, 8), QPointF(10, 13));
            p.setPen(QPen(QColor(0, 0, 160), 2));
            p.drawPath(path);
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(0, 0, 160));
            p.drawPolygon(QPolygon({QPoint(0, 7), QPoint(6, 2), QPoint(6, 10)}));
        });
    case ToolIconId::Erase:
        return drawn([](QPainter& p) {
            line(p, kGate, 2, 2, 13, 13, 3);
            line(p, kGate, 13, 2, 2, 13, 3);
        });
    case ToolIconId::PaletteThermal:
        return palette(thermal);
    case ToolIconId::PaletteBinary:
        return palette([](double t) { return t < 0.5 ? QColor(0, 0, 0) : QColor(255, 255, 255); });
    case ToolIconId::PaletteDirectGrey:
        return palette(grey);
    case ToolIconId::PaletteInverseGrey:
        return palette([](double t) { return grey(1.0 - t); });
    case ToolIconId::SwitchParams:
        return drawn([](QPainter& p) {
            screen(p);
            trace(p, 1, 8, 12, 7, 4, 1);
            textLines(p, 10, 14, 4, 11);
            line(p, kCursor, 8, 2, 8, 13);
        });
    case ToolIconId::LineWidth:
        return drawn([](QPainter& p) {
            line(p, kInk, 1, 2, 14, 2, 1);
            line(p, kInk, 1, 5, 14, 5, 2);
            line(p, kInk, 1, 10, 14, 10, 4);
        });
    }
    return blank();
}

} // namespace

QPixmap ControlButtonImage(int index) {
    static std::array<std::optional<QPixmap>, kControlButtonImageCount> cache;
    if (index < 0 || index >= kControlButtonImageCount) {
        return blank();
    }
    std::optional<QPixmap>& slot = cache[static_cast<std::size_t>(index)];
    if (!slot) {
        slot = imageFor(index).value_or(blank());
    }
    return *slot;
}

QIcon ToolIcon(ToolIconId id) {
    static std::array<std::optional<QIcon>, kToolIconCount> cache;
    const int i = static_cast<int>(id);
    if (i < 0 || i >= kToolIconCount) {
        return QIcon(blank());
    }
    std::optional<QIcon>& slot = cache[static_cast<std::size_t>(i)];
    if (!slot) {
        slot = QIcon(toolImage(id));
    }
    return *slot;
}

} // namespace surfaces
