#include "surfaces/SegLcd.h"

#include "platform/gfx/QtImage.h"
#include "platform/text/Numbers.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPainter>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <chrono>

using namespace platform::gfx;

namespace {

using Row = std::array<std::uint8_t, 8>;

// '0'..'9', '-', ':', 'A'..'Z'
constexpr std::array<Row, 38> kCharacters = {{
    {1, 1, 1, 0, 1, 1, 1, 0}, // 0
    {0, 0, 1, 0, 0, 1, 0, 0}, // 1
    {1, 0, 1, 1, 1, 0, 1, 0}, // 2
    {1, 0, 1, 1, 0, 1, 1, 0}, // 3
    {0, 1, 1, 1, 0, 1, 0, 0}, // 4
    {1, 1, 0, 1, 0, 1, 1, 0}, // 5
    {1, 1, 0, 1, 1, 1, 1, 0}, // 6
    {1, 0, 1, 0, 0, 1, 0, 0}, // 7
    {1, 1, 1, 1, 1, 1, 1, 0}, // 8
    {1, 1, 1, 1, 0, 1, 1, 0}, // 9
    {0, 0, 0, 1, 0, 0, 0, 0}, // -
    {0, 0, 0, 0, 0, 0, 0, 1}, // :
    {1, 1, 1, 1, 1, 1, 0, 0}, // A
    {0, 1, 0, 1, 1, 1, 1, 0}, // B
    {1, 1, 0, 0, 1, 0, 1, 0}, // C
    {0, 0, 1, 1, 1, 1, 1, 0}, // D
    {1, 1, 0, 1, 1, 0, 1, 0}, // E
    {1, 1, 0, 1, 1, 0, 0, 0}, // F
    {1, 1, 0, 1, 1, 1, 1, 0}, // G
    {0, 1, 0, 1, 1, 1, 0, 0}, // H
    {0, 0, 1, 0, 0, 1, 0, 0}, // I
    {0, 0, 1, 0, 0, 1, 1, 0}, // J
    {0, 1, 1, 1, 1, 1, 0, 0}, // K
    {0, 1, 0, 0, 1, 0, 1, 0}, // L
    {0, 0, 0, 1, 1, 1, 0, 0}, // M
    {0, 0, 0, 1, 1, 1, 0, 0}, // N
    {0, 0, 0, 1, 1, 1, 1, 0}, // O
    {1, 1, 1, 1, 1, 0, 0, 0}, // P
    {1, 1, 1, 1, 0, 1, 0, 0}, // Q
    {0, 0, 0, 1, 1, 0, 0, 0}, // R
    {1, 1, 0, 1, 0, 1, 1, 0}, // S
    {0, 1, 0, 1, 1, 0, 0, 0}, // T
    {0, 1, 1, 0, 1, 1, 1, 0}, // U
    {0, 1, 1, 0, 1, 1, 1, 0}, // V
    {0, 1, 1, 0, 1, 1, 1, 0}, // W
    {0, 1, 1, 1, 1, 1, 0, 0}, // X
    {0, 1, 1, 1, 0, 1, 0, 0}, // Y
    {1, 0, 1, 1, 1, 0, 1, 0}, // Z
}};

constexpr std::array<std::array<int, 8>, 6> kOrders = {{
    {1, 2, 3, 8, 4, 5, 6, 7}, // no animation
    {8, 4, 2, 1, 3, 6, 7, 5}, // spiral
    {7, 6, 5, 8, 4, 3, 2, 1}, // up
    {1, 2, 3, 8, 4, 5, 6, 7}, // down
    {6, 3, 7, 8, 4, 1, 5, 2}, // left
    {2, 5, 1, 8, 4, 7, 3, 6}, // right
}};

int r(double v) {
    return platform::text::roundTo<int>(v);
}

enum class Shape { Horizontal, Middle, Vertical };

struct Placement {
    Shape shape;
    int x0, y0, L, t;
};

Placement placement(const TSegLCDGeometry& g, int X, int segment) {
    const int S = g.S;
    const int lowerY = g.dotMode ? g.h / 2 - S / 2 : g.h / 2 + g.gy;
    switch (segment) {
    case 1:
        return {Shape::Horizontal, X + g.gx, 0, g.Lh, S};
    case 7:
        return {Shape::Horizontal, X + g.gx, g.h, g.Lh, -S};
    case 4:
        return {Shape::Middle, X + g.gx, g.h / 2 - S / 2, g.Lh, S};
    case 2:
        return {Shape::Vertical, X, g.gy, g.Lv, S};
    case 5:
        return {Shape::Vertical, X, lowerY, g.Lv, S};
    case 3:
        return {Shape::Vertical, X + g.w, g.gy, g.Lv, -S};
    default: // 6
        return {Shape::Vertical, X + g.w, lowerY, g.Lv, -S};
    }
}

// Neighbouring bars that share the first and the last circle of an unlit dotted bar.
struct Shared {
    std::vector<int> first;
    std::vector<int> last;
};

const Shared& sharedCorners(int segment) {
    static const std::array<Shared, 8> table = {{
        {{2}, {3}},       // 1 top
        {{1}, {4, 5}},    // 2 upper left
        {{1}, {4, 6}},    // 3 upper right
        {{2, 5}, {3, 6}}, // 4 middle
        {{2, 4}, {7}},    // 5 lower left
        {{3, 4}, {7}},    // 6 lower right
        {{5}, {6}},       // 7 bottom
        {{}, {}},
    }};
    return table[std::size_t(segment - 1)];
}

class SystemClock : public TLCDClock {
public:
    std::uint64_t Ticks() override {
        return std::uint64_t(std::chrono::duration_cast<std::chrono::milliseconds>(
                                 std::chrono::steady_clock::now().time_since_epoch())
                                 .count());
    }
    void Idle() override {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        QThread::msleep(1);
    }
};

} // namespace

const std::array<std::uint8_t, 8>* SegmentsOf(char c) {
    if (c >= '0' && c <= '9') {
        return &kCharacters[std::size_t(c - '0')];
    }
    if (c == '-') {
        return &kCharacters[10];
    }
    if (c == ':') {
        return &kCharacters[11];
    }
    if (c >= 'A' && c <= 'Z') {
        return &kCharacters[std::size_t(12 + c - 'A')];
    }
    return nullptr;
}

const std::array<int, 8>& AnimationOrder(TLCDAnimation animation) {
    switch (animation) {
    case TLCDAnimation::anSpiral:
        return kOrders[1];
    case TLCDAnimation::anUp:
        return kOrders[2];
    case TLCDAnimation::anDown:
        return kOrders[3];
    case TLCDAnimation::anLeft:
        return kOrders[4];
    case TLCDAnimation::anRight:
        return kOrders[5];
    default:
        return kOrders[0];
    }
}

std::string NormalizeLCDValue(const std::string& text) {
    std::string v = text;
    for (char& c : v) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
        const bool ok = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || c == '-' || c == ' ' ||
                        c == '.' || c == ':';
        if (!ok) {
            return {};
        }
    }
    if (!v.empty() && v.back() == '.') {
        v.pop_back();
    }
    return v;
}

std::pair<std::string, std::string> SplitLCDValue(const std::string& value) {
    std::pair<std::string, std::string> cells;
    bool pending = false;
    bool afterDot = false;
    for (char c : value) {
        if (c == '.') {
            if (afterDot) {
                cells.first += ' ';
                cells.second += pending ? '.' : ' ';
            }
            pending = true;
            afterDot = true;
            continue;
        }
        cells.first += c;
        cells.second += pending ? '.' : ' ';
        pending = false;
        afterDot = false;
    }
    return cells;
}

void PadLCDCells(std::pair<std::string, std::string>& cells, int count) {
    const int missing = count - static_cast<int>(cells.first.size());
    if (missing > 0) {
        cells.first.insert(0, std::size_t(missing), ' ');
        cells.second.insert(0, std::size_t(missing), ' ');
    }
}

TSegLCDGeometry ComputeSegLCDGeometry(int W, int H, int digitNum, int S, int digitSpacing,
                                      bool dotDisplay, int dotSpacing, int gapX, int gapY) {
    TSegLCDGeometry g;
    const int N = std::max(1, digitNum);
    g.S = S;
    g.dotMode = dotDisplay;
    if (!dotDisplay) {
        g.s = digitSpacing + 1;
        g.w = (W - 1 - (N + 1) * g.s) / N;
        g.h = H - 1;
        g.gx = gapX;
        g.gy = gapY;
    } else {
        g.s = digitSpacing;
        g.p = std::max(1, S + dotSpacing);
        g.w = g.p * (((W - 1) / N - g.s + dotSpacing) / g.p) - dotSpacing;
        g.h = 2 * g.p * (((H - 1 - S) / 2) / g.p) + S;
        g.gx = 0;
        g.gy = 0;
    }
    g.Lh = g.w - 2 * g.gx;
    g.Lv = g.h / 2 - 2 * g.gy;
    return g;
}

std::array<TPoint, 6> SegmentPolygon(const TSegLCDGeometry& g, int cellX, int segment) {
    const Placement pl = placement(g, cellX, segment);
    const int S = g.S;
    const int x0 = pl.x0;
    const int y0 = pl.y0;
    const int L = pl.L;
    const int t = pl.t;
    switch (pl.shape) {
    case Shape::Horizontal:
        return {{{x0, y0 + r(t / 4.0)},
                 {x0 + S / 2, y0},
                 {x0 + L - S / 2, y0},
                 {x0 + L, y0 + r(t / 4.0)},
                 {x0 + L - S, y0 + t},
                 {x0 + S, y0 + t}}};
    case Shape::Middle:
        return {{{x0, y0 + r(t / 2.0)},
                 {x0 + S, y0},
                 {x0 + L - S, y0},
                 {x0 + L, y0 + r(t / 2.0)},
                 {x0 + L - S, y0 + t},
                 {x0 + S, y0 + t}}};
    default:
        return {{{x0 + r(t / 4.0), y0},
                 {x0, y0 + S / 2},
                 {x0, y0 + L - S / 2},
                 {x0 + r(t / 4.0), y0 + L},
                 {x0 + t, y0 + L - S},
                 {x0 + t, y0 + S}}};
    }
}

std::pair<TRect, TRect> ColonBoxes(const TSegLCDGeometry& g, int cellX) {
    const int a = g.Lh / 3;
    const int b = g.Lv / 3;
    const int x = cellX + (g.w - a) / 2;
    return {{x, g.h / 2 - 2 * b, x + a, g.h / 2 - b}, {x, g.h / 2 + b, x + a, g.h / 2 + 2 * b}};
}

TRect DotBox(const TSegLCDGeometry& g, int cellX) {
    const int d = std::min(g.s - 2, g.S);
    const int x = cellX - (g.s + d) / 2;
    return {x, g.h - d, x + d, g.h};
}

TLCDClock& SystemLCDClock() {
    static SystemClock clock;
    return clock;
}

// ---- TSegLCD -----------------------------------------------------------------------------------

TSegLCD::TSegLCD(QWidget* parent) : QWidget(parent), clock_(&SystemLCDClock()) {
    resize(92, 34);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

TSegLCD::~TSegLCD() = default;

void TSegLCD::SetAbout(TLCDAbout about) {
    if (about == TLCDAbout::abAbout) {
        QMessageBox::about(this, QStringLiteral("TSegLCD"),
                           QStringLiteral("Seven-segment read-out"));
    }
}

void TSegLCD::Changed() {
    needsPaint_ = true;
    update();
}

#define TB_LCD_SETTER(Name, field, Type)                                                           \
    void TSegLCD::Name(Type v) {                                                                   \
        if (field != v) {                                                                          \
            field = v;                                                                             \
            Changed();                                                                             \
        }                                                                                          \
    }

TB_LCD_SETTER(SetDigitSpacing, digitSpacing_, int)
TB_LCD_SETTER(SetDotDisplay, dotDisplay_, bool)
TB_LCD_SETTER(SetDotSpacing, dotSpacing_, int)
TB_LCD_SETTER(SetDoubleBuffer, doubleBuffer_, bool)
TB_LCD_SETTER(SetGapX, gapX_, int)
TB_LCD_SETTER(SetGapY, gapY_, int)
TB_LCD_SETTER(SetOffColor, offColor_, TColor)
TB_LCD_SETTER(SetOnColor, onColor_, TColor)
TB_LCD_SETTER(SetSegmentSize, segmentSize_, int)
TB_LCD_SETTER(SetColor, color_, TColor)

#undef TB_LCD_SETTER

void TSegLCD::SetDigitNum(int n) {
    n = std::max(1, n); // no cell width is computed from zero cells
    if (n != digitNum_) {
        digitNum_ = n;
        Changed();
    }
}

void TSegLCD::SetValue(const std::string& value) {
    if (value == value_) {
        return;
    }
    const std::string accepted = NormalizeLCDValue(value);
    if (accepted == value_) {
        return;
    }
    const std::string old = value_;
    value_ = accepted;
    if (OnChange) {
        OnChange(this, old, value_);
    }
    animateNext_ = true;
    Changed();
}

void TSegLCD::DrawDot(TCanvas& canvas, const TSegLCDGeometry& g, int cellX, bool lit) {
    const TColor c = lit ? onColor_ : offColor_;
    canvas.Pen.Color = c;
    canvas.Brush.Color = c;
    const TRect box = DotBox(g, cellX);
    if (g.dotMode) {
        canvas.Ellipse(box);
    } else {
        canvas.Rectangle(box);
    }
}

void TSegLCD::DrawSegment(TCanvas& canvas, const TSegLCDGeometry& g, int cellX, char ch,
                          int segment) {
    const Row* row = SegmentsOf(ch);
    const bool lit = row && (*row)[std::size_t(segment - 1)];
    const TColor c = lit ? onColor_ : offColor_;
    canvas.Pen.Color = c;
    canvas.Brush.Color = c;
    if (segment == 8) {
        const auto [upper, lower] = ColonBoxes(g, cellX);
        canvas.Ellipse(upper);
        canvas.Ellipse(lower);
        return;
    }
    if (!g.dotMode) {
        const auto corners = SegmentPolygon(g, cellX, segment);
        canvas.Polygon(corners);
        return;
    }
    const Placement pl = placement(g, cellX, segment);
    auto anyLit = [&](const std::vector<int>& segments) {
        if (lit || !row) {
            return false;
        }
        return std::any_of(segments.begin(), segments.end(),
                           [&](int s) { return (*row)[std::size_t(s - 1)] != 0; });
    };
    const Shared& shared = sharedCorners(segment);
    const bool skipFirst = anyLit(shared.first);
    const bool skipLast = anyLit(shared.last);
    for (int pos = 0; pos < pl.L; pos += g.p) {
        const bool first = pos == 0;
        const bool last = pos + g.p >= pl.L;
        if ((first && skipFirst) || (last && skipLast)) {
            continue;
        }
        if (pl.shape == Shape::Vertical) {
            canvas.Ellipse(pl.x0, pl.y0 + pos, pl.x0 + pl.t, pl.y0 + pos + g.S);
        } else {
            canvas.Ellipse(pl.x0 + pos, pl.y0, pl.x0 + pos + g.S, pl.y0 + pl.t);
        }
    }
}

void TSegLCD::ShowFrame(const TBitmap& picture) {
    frame_ = picture;
    if (FrameShown) {
        FrameShown(frame_);
    }
    update();
}

void TSegLCD::DrawPass(TCanvas& canvas, const TSegLCDGeometry& g,
                       const std::pair<std::string, std::string>& now,
                       const std::pair<std::string, std::string>& before, bool onlyChanges,
                       const std::array<int, 8>* order, std::int64_t budget, std::uint64_t start,
                       TBitmap* buffer) {
    auto at = [](const std::string& s, int i) {
        return std::size_t(i) < s.size() ? s[std::size_t(i)] : ' ';
    };
    canvas.Pen.Style = TPenStyle::psSolid;
    canvas.Pen.Width = 1;
    canvas.Brush.Style = TBrushStyle::bsSolid;
    for (int i = 0; i < digitNum_; ++i) {
        if (onlyChanges && at(now.second, i) == at(before.second, i)) {
            continue;
        }
        DrawDot(canvas, g, g.CellX(i), at(now.second, i) == '.');
    }
    const std::array<int, 8>& steps = order ? *order : AnimationOrder(TLCDAnimation::anNone);
    std::int64_t T = 0;
    if (order) {
        T = std::max<std::int64_t>(0, (budget - std::int64_t(clock_->Ticks() - start)) / 7);
    }
    std::int64_t overshoot = 0;
    for (int k = 0; k < 8; ++k) {
        const std::uint64_t stepStart = clock_->Ticks();
        for (int i = 0; i < digitNum_; ++i) {
            if (onlyChanges && at(now.first, i) == at(before.first, i)) {
                continue;
            }
            DrawSegment(canvas, g, g.CellX(i), at(now.first, i), steps[std::size_t(k)]);
        }
        if (!order || T <= 0) {
            continue;
        }
        if (buffer) {
            ShowFrame(*buffer);
        } else if (FrameShown) {
            FrameShown(frame_);
        }
        if (k < 7) {
            const std::int64_t target = T - overshoot;
            while (std::int64_t(clock_->Ticks() - stepStart) < target) {
                clock_->Idle();
            }
            const std::int64_t waited = std::int64_t(clock_->Ticks() - stepStart);
            overshoot = std::clamp<std::int64_t>(waited - target, 0, T);
        }
    }
}

void TSegLCD::Paint() {
    if (painting_) {
        return;
    }
    painting_ = true;
    needsPaint_ = false;
    const std::uint64_t start = clock_->Ticks();
    const int W = std::max(0, width());
    const int H = std::max(0, height());
    std::unique_ptr<TBitmap> buffer;
    if (doubleBuffer_) {
        try {
            buffer = std::make_unique<TBitmap>(W, H);
        } catch (const GraphicError&) {
            buffer.reset(); // draw straight on the control's picture
        }
    }
    frame_.SetSize(W, H);
    TCanvas& canvas = buffer ? buffer->Canvas() : frame_.Canvas();
    canvas.Brush.Style = TBrushStyle::bsSolid;
    canvas.Brush.Color = color_;
    canvas.FillRect({0, 0, W, H});

    const std::array<int, 8>* order = nullptr;
    if (Animation == TLCDAnimation::anRandom) {
        order = &AnimationOrder(TLCDAnimation(1 + int(random_() % 5)));
    } else if (Animation != TLCDAnimation::anNone) {
        order = &AnimationOrder(Animation);
    }
    const TSegLCDGeometry g = ComputeSegLCDGeometry(W, H, digitNum_, segmentSize_, digitSpacing_,
                                                    dotDisplay_, dotSpacing_, gapX_, gapY_);
    const std::string value = value_; // a value set while this paint waits comes next
    auto before = SplitLCDValue(previous_);
    auto now = SplitLCDValue(value);
    PadLCDCells(before, digitNum_);
    PadLCDCells(now, digitNum_);
    const std::array<int, 8>* animated = animateNext_ ? order : nullptr;
    if (value.empty()) {
        DrawPass(canvas, g, now, before, false, animated, AnimationDelay, start, buffer.get());
    } else {
        DrawPass(canvas, g, before, before, false, nullptr, 0, start, buffer.get());
        const std::int64_t budget =
            std::max<std::int64_t>(0, AnimationDelay - std::int64_t(clock_->Ticks() - start));
        DrawPass(canvas, g, now, before, true, animated, budget, start, buffer.get());
    }
    previous_ = value;
    if (buffer) {
        frame_ = *buffer;
    }
    animateNext_ = false;
    painting_ = false;
    paintDuration_ = std::uint32_t(clock_->Ticks() - start);
    if (needsPaint_) {
        update(); // the value changed while this paint waited
    }
}

void TSegLCD::paintEvent(QPaintEvent*) {
    if (needsPaint_ && !painting_) {
        if (animateNext_ && Animation != TLCDAnimation::anNone && AnimationDelay > 0) {
            // An animated change waits between its steps: it runs outside the paint event and
            // shows each step through a repaint.
            QTimer::singleShot(0, this, [this] {
                if (needsPaint_) {
                    Paint();
                }
                update();
            });
        } else {
            Paint();
        }
    }
    QPainter p(this);
    p.drawImage(QPoint(0, 0), imageFromBitmap(frame_));
}

void TSegLCD::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    needsPaint_ = true;
}
