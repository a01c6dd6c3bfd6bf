#include "surfaces/MarkupHint.h"

#include "platform/gfx/Fonts.h"
#include "platform/gfx/QtImage.h"
#include "platform/text/Cp1251.h"
#include "platform/ui/MessageBox.h"

#include <QApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QImage>
#include <QPainter>
#include <QScreen>
#include <QTransform>

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <climits>
#include <cmath>
#include <optional>
#include <tuple>
#include <utility>

namespace gfx = platform::gfx;
using gfx::TCanvas;
using gfx::TRect;
using gfx::TSize;

namespace {

constexpr unsigned kDrawFlags =
    gfx::DT_SINGLELINE | gfx::DT_BOTTOM | gfx::DT_EXPANDTABS | gfx::DT_EXTERNALLEADING;
// A list level indents by this much.
constexpr int kListIndent = 12;
// Font sizes from markup stay within what a font engine can draw.
constexpr int kMinPoints = 1;
constexpr int kMaxPoints = 512;
// Pixel numbers from markup (widths, heights, indents) are kept to a range in which sums of
// many of them cannot overflow.
constexpr int kMaxMarkupPixels = 32767;
// FONT tags whose colours are remembered for their closing tags.
constexpr std::size_t kMaxFontNesting = 32;
// A hint stays up this long unless the pointer leaves its control or a key is pressed.
constexpr int kHintHidePause = 10000;

char upper(char c) {
    return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return upper(x) == upper(y); });
}

bool startsIgnoringCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           equalsIgnoringCase(text.substr(0, prefix.size()), prefix);
}

// ---- whole-text preparation --------------------------------------------------------------

struct Entity {
    std::string_view name;
    std::string_view text;
};

// The characters are the Windows-1251 bytes of the named characters; "&&" keeps an ampersand
// visible through the prefix rule of the text drawing.
constexpr std::array<Entity, 9> kEntities = {{{"&amp;", "&&"},
                                              {"&quot;", "\""},
                                              {"&sect;", "\xA7"},
                                              {"&permil;", "\x89"},
                                              {"&reg;", "\xAE"},
                                              {"&copy;", "\xA9"},
                                              {"&para;", "\xB6"},
                                              {"&trade;", "\x99"},
                                              {"&euro;", "\x88"}}};

// Replaces entities until none is left, in one pass: a replacement that forms a new entity with
// what follows is found when that entity's ";" arrives.
std::string replaceEntities(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        out.push_back(c);
        if (c != ';') {
            continue;
        }
        for (const Entity& e : kEntities) {
            if (out.size() >= e.name.size() &&
                equalsIgnoringCase(std::string_view(out).substr(out.size() - e.name.size()),
                                   e.name)) {
                out.resize(out.size() - e.name.size());
                out += e.text;
                break;
            }
        }
    }
    return out;
}

std::string prepareText(std::string_view source) {
    std::string text = replaceEntities(source);
    if (const std::size_t open = text.find("<#"); open != std::string::npos) {
        text.erase(open, 1);
        if (const std::size_t close = text.find('>', open); close != std::string::npos) {
            text.erase(close, 1);
        }
    }
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        if (c == '\r') {
            out += "<BR>";
        } else if (c != '\n') {
            out.push_back(c);
        }
    }
    return out;
}

// The entities of a text run; "&&" stays as it is, so an escaped ampersand never starts one.
std::string decodeRun(std::string_view raw) {
    std::string out;
    out.reserve(raw.size());
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '&') {
            const std::string_view rest = raw.substr(i);
            if (rest.size() >= 2 && rest[1] == '&') {
                out += "&&";
                ++i;
                continue;
            }
            if (startsIgnoringCase(rest, "&nbsp;")) {
                out.push_back(' ');
                i += 5;
                continue;
            }
            if (startsIgnoringCase(rest, "&lt;")) {
                out.push_back('<');
                i += 3;
                continue;
            }
            if (startsIgnoringCase(rest, "&gt;")) {
                out.push_back('>');
                i += 3;
                continue;
            }
        }
        out.push_back(raw[i]);
    }
    return out;
}

// ---- tags ------------------------------------------------------------------------------------

enum class Tag {
    Unknown,
    A,
    B,
    Blink,
    Body,
    Br,
    E,
    Font,
    Hi,
    Hr,
    I,
    Img,
    Ind,
    Li,
    P,
    R,
    S,
    Sh,
    Sub,
    Sup,
    U,
    Ul,
    Z
};

// A tag is told by its first letter, and by the second and third where two tags share one.
Tag identify(std::string_view name) {
    if (name.empty()) {
        return Tag::Unknown;
    }
    const char c0 = upper(name[0]);
    const char c1 = name.size() > 1 ? upper(name[1]) : '\0';
    const char c2 = name.size() > 2 ? upper(name[2]) : '\0';
    switch (c0) {
    case 'A':
        return Tag::A;
    case 'B':
        return c1 == '\0'  ? Tag::B
               : c1 == 'L' ? Tag::Blink
               : c1 == 'O' ? Tag::Body
               : c1 == 'R' ? Tag::Br
                           : Tag::Unknown;
    case 'E':
        return Tag::E;
    case 'F':
        return Tag::Font;
    case 'H':
        return c1 == 'I' ? Tag::Hi : c1 == 'R' ? Tag::Hr : Tag::Unknown;
    case 'I':
        return c1 == '\0' ? Tag::I : c1 == 'M' ? Tag::Img : c1 == 'N' ? Tag::Ind : Tag::Unknown;
    case 'L':
        return Tag::Li;
    case 'P':
        return Tag::P;
    case 'R':
        return Tag::R;
    case 'S':
        if (c1 == '\0') {
            return Tag::S;
        }
        if (c1 == 'H') {
            return Tag::Sh;
        }
        if (c1 == 'U') {
            return c2 == 'B' ? Tag::Sub : c2 == 'P' ? Tag::Sup : Tag::Unknown;
        }
        return Tag::Unknown;
    case 'U':
        return c1 == '\0' ? Tag::U : c1 == 'L' ? Tag::Ul : Tag::Unknown;
    case 'Z':
        return Tag::Z;
    default:
        return Tag::Unknown;
    }
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// The value of an attribute: NAME="value" (or an unquoted value up to the next blank), the name
// in any letter case and standing on its own (COLOR is not found in BGCOLOR).
std::optional<std::string> attribute(std::string_view tag, std::string_view name) {
    for (std::size_t p = 0; p + name.size() <= tag.size(); ++p) {
        if (p == 0 || !isBlank(tag[p - 1]) ||
            !equalsIgnoringCase(tag.substr(p, name.size()), name)) {
            continue;
        }
        std::size_t q = p + name.size();
        while (q < tag.size() && isBlank(tag[q])) {
            ++q;
        }
        if (q >= tag.size() || tag[q] != '=') {
            continue;
        }
        ++q;
        while (q < tag.size() && isBlank(tag[q])) {
            ++q;
        }
        if (q < tag.size() && tag[q] == '"') {
            const std::size_t end = tag.find('"', q + 1);
            return std::string(
                tag.substr(q + 1, end == std::string_view::npos ? tag.npos : end - q - 1));
        }
        std::size_t end = q;
        while (end < tag.size() && !isBlank(tag[end]) && tag[end] != '/') {
            ++end;
        }
        return std::string(tag.substr(q, end - q));
    }
    return std::nullopt;
}

// A whole number, kept within +-kMaxMarkupPixels; nullopt when the value is no number.
std::optional<int> number(std::string_view value) {
    while (!value.empty() && isBlank(value.front())) {
        value.remove_prefix(1);
    }
    if (!value.empty() && value.front() == '+') {
        value.remove_prefix(1);
    }
    long long n = 0;
    const auto [ptr, ec] = std::from_chars(value.data(), value.data() + value.size(), n);
    if (ec == std::errc::result_out_of_range) {
        return value.front() == '-' ? -kMaxMarkupPixels : kMaxMarkupPixels;
    }
    if (ec != std::errc() || ptr == value.data()) {
        return std::nullopt;
    }
    return static_cast<int>(std::clamp<long long>(n, -kMaxMarkupPixels, kMaxMarkupPixels));
}

struct ColorName {
    std::string_view name;
    TColor color;
};

constexpr std::array<ColorName, 40> kColorNames = {{
    {"clred", gfx::clRed},
    {"clblack", gfx::clBlack},
    {"clblue", gfx::clBlue},
    {"clgreen", gfx::clGreen},
    {"claqua", gfx::clAqua},
    {"clyellow", gfx::clYellow},
    {"clfuchsia", gfx::clFuchsia},
    {"clwhite", gfx::clWhite},
    {"cllime", gfx::clLime},
    {"clsilver", gfx::clSilver},
    {"clgray", gfx::clGray},
    {"clolive", gfx::clOlive},
    {"clnavy", gfx::clNavy},
    {"clpurple", gfx::clPurple},
    {"clteal", gfx::clTeal},
    {"clmaroon", gfx::clMaroon},
    {"clbackground", gfx::clBackground},
    {"clactivecaption", gfx::clActiveCaption},
    {"clinactivecaption", gfx::clInactiveCaption},
    {"clmenu", gfx::clMenu},
    {"clwindow", gfx::clWindow},
    {"clwindowframe", gfx::clWindowFrame},
    {"clmenutext", gfx::clMenuText},
    {"clwindowtext", gfx::clWindowText},
    {"clcaptiontext", gfx::clCaptionText},
    {"clactiveborder", gfx::clActiveBorder},
    {"clinactiveborder", gfx::clInactiveBorder},
    {"clappworkspace", gfx::clAppWorkSpace},
    {"clhighlight", gfx::clHighlight},
    {"clhighlighttext", gfx::clHighlightText},
    {"clbtnface", gfx::clBtnFace},
    {"clbtnshadow", gfx::clBtnShadow},
    {"clgraytext", gfx::clGrayText},
    {"clbtntext", gfx::clBtnText},
    {"clinactivecaptiontext", gfx::clInactiveCaptionText},
    {"clbtnhighlight", gfx::clBtnHighlight},
    {"cl3ddkshadow", gfx::cl3DDkShadow},
    {"cl3dlight", gfx::cl3DLight},
    {"clinfotext", gfx::clInfoText},
    {"clinfobk", gfx::clInfoBk},
}};

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    const char u = upper(c);
    return u >= 'A' && u <= 'F' ? u - 'A' + 10 : -1;
}

// A picture named by an image source, or nothing that takes room.
struct Image {
    const gfx::TBitmap* bitmap = nullptr;
    const THTMLPicture* picture = nullptr;
    int width = 0;
    int height = 0;
    bool found() const { return bitmap != nullptr || picture != nullptr; }
};

// ---- the renderer ------------------------------------------------------------------------

enum class Align { Left, Right, Center };

struct Paragraph {
    Align align = Align::Left;
    int indent = 0;
    TColor color = gfx::clNone;
    TColor colorTo = gfx::clNone;
};

// Everything tags change. Each line is laid out twice (measured, then drawn) from the same
// starting style.
struct Style {
    gfx::TFont font;
    TColor background = gfx::clNone;
    bool shadow = false;
    bool errorMark = false;
    bool sub = false;
    bool sup = false;
    bool hidden = false;
    bool inLink = false;
    int rotation = 0;
    int listLevel = 0;
    Paragraph paragraph;
    bool paragraphEnds = false;
    std::string link;
    TRect linkRect;
    // What the closing tags give back.
    // Colour and background before each open FONT tag, innermost last.
    std::vector<std::pair<TColor, TColor>> fontColors;
    TColor linkColorBefore = gfx::clNone;
    TColor hiColorBefore = gfx::clNone;
    TColor hiBackgroundBefore = gfx::clNone;
    TColor blinkColorBefore = gfx::clNone;
    gfx::TFont fontBeforeRotation;
    int rotationBefore = 0;
};

struct Line {
    std::size_t next = 0;
    int width = 0;
    int height = 0;
    int extra = 0;
    Align align = Align::Left;
    int indent = 0;
    TColor color = gfx::clNone;
    TColor colorTo = gfx::clNone;
};

class Renderer {
public:
    Renderer(TCanvas& canvas, const THTMLDrawParams& params)
        : c_(canvas), p_(params), startFont_(canvas.Font), startBrush_(canvas.Brush),
          startPen_(canvas.Pen) {}

    THTMLDrawResult run(std::string_view source) {
        text_ = prepareText(source);
        style_.font = startFont_;
        const int edge = p_.Rect.Left + 1;
        int y = p_.Rect.Top;
        std::size_t pos = 0;
        while (pos < text_.size()) {
            const Style atStart = style_;
            Line line = layout(pos, nullptr, y);
            if (!p_.MeasureOnly) {
                style_ = atStart;
                int x = edge;
                if (line.align == Align::Right && p_.Rect.Right - line.width > x) {
                    x = p_.Rect.Right - line.width;
                } else if (line.align == Align::Center && p_.Rect.Right - edge - line.width > 0) {
                    x = edge + (p_.Rect.Right - edge - line.width) / 2;
                }
                line = layout(pos, &line, y, x + line.indent);
            }
            result_.Width = std::max(result_.Width, line.indent + line.width);
            // Every line takes at least one character, whatever the markup.
            pos = std::max(line.next, pos + 1);
            y += line.height + line.extra;
            c_.Font = style_.font;
            if (!p_.MeasureOnly && pos < text_.size() && y + c_.TextHeight("gh") > p_.Rect.Bottom) {
                break;
            }
        }
        result_.Height = y - p_.Rect.Top;
        if (result_.Height == 0) {
            c_.Font = startFont_;
            result_.Height = c_.TextHeight("gh");
        }
        c_.Font = startFont_;
        c_.Brush = startBrush_;
        c_.Pen = startPen_;
        return std::move(result_);
    }

private:
    bool drawing() const { return drawLine_ != nullptr; }
    // Results are kept from the last layout of a line: the drawing one, or the measuring one
    // when nothing is drawn.
    bool recording() const { return drawing() || p_.MeasureOnly; }

    TSize measureRun(const std::string& run) {
        c_.Font = style_.font;
        TRect r{0, 0, std::max(1, p_.Rect.Width()), 0};
        c_.DrawText(run, r, kDrawFlags | gfx::DT_CALCRECT);
        return {r.Width(), r.Height()};
    }

    int lineHeightOfFont() {
        std::string gh = "gh";
        return measureRun(gh).cy;
    }

    // The run cut to `room` pixels with an ellipsis at its end. Found by halving, so a long
    // run costs a few measurements, not one per character.
    std::string fitWithEllipsis(const std::string& run, int room) {
        std::size_t lo = 0;
        std::size_t hi = run.size();
        while (lo < hi) {
            const std::size_t mid = (lo + hi + 1) / 2;
            if (measureRun(run.substr(0, mid) + "...").cx <= room) {
                lo = mid;
            } else {
                hi = mid - 1;
            }
        }
        return run.substr(0, lo) + "...";
    }

    Line layout(std::size_t pos, const Line* measured, int top, int baseX = 0) {
        drawLine_ = measured;
        baseX_ = baseX;
        top_ = top;
        if (style_.paragraphEnds) {
            style_.paragraph = {};
            style_.paragraphEnds = false;
        }
        Line line;
        if (measured != nullptr) {
            line.height = measured->height;
            if (measured->color != gfx::clNone) {
                const TRect band{p_.Rect.Left, top, p_.Rect.Right, top + measured->height};
                if (measured->colorTo != gfx::clNone) {
                    GradientFill(c_, band, measured->color, measured->colorTo, 64, false, false);
                } else {
                    fill(band, measured->color);
                }
            }
        }
        x_ = 0;
        height_ = 0;
        extra_ = 0;
        lift_ = 0;
        placed_ = false;
        lastEndsBlank_ = true;
        listItemOnLine_ = false;
        cut_ = false;
        bool byBreak = false;
        const std::size_t n = text_.size();
        while (pos < n) {
            if (text_[pos] == '<') {
                const std::size_t close = text_.find('>', pos + 1);
                if (close == std::string::npos || n - pos - 1 < 2) {
                    pos = n; // an unclosed tag drops the rest of the text
                    break;
                }
                const std::string_view tag(text_.data() + pos + 1, close - pos - 1);
                const Ending ending = handleTag(tag);
                if (ending == Ending::Before) {
                    break;
                }
                pos = close + 1;
                if (ending != Ending::None) {
                    byBreak = ending == Ending::Break;
                    break;
                }
                continue;
            }
            std::size_t end = text_.find('<', pos);
            if (end == std::string::npos) {
                end = n;
            }
            const bool wrap = !p_.Ellipsis;
            if (wrap) {
                // Only up to the tag, so text of few blanks is not searched again for each run.
                const std::size_t blank = std::string_view(text_).substr(pos, end - pos).find(' ');
                if (blank != std::string_view::npos) {
                    end = pos + blank + 1;
                }
            }
            if (style_.hidden || cut_) {
                pos = end; // hidden, or past the ellipsis of a line that did not fit
                continue;
            }
            std::string run = decodeRun(std::string_view(text_).substr(pos, end - pos));
            TSize size = measureRun(run);
            const int room = p_.Rect.Right - (p_.Rect.Left + 1) - style_.paragraph.indent;
            if (wrap && placed_ && x_ + size.cx > room && size.cx <= room && lastEndsBlank_) {
                break; // the word goes to the next line
            }
            if (!wrap && x_ + size.cx > room) {
                run = fitWithEllipsis(run, room - x_);
                size = measureRun(run);
                cut_ = true;
            }
            placeRun(run, size);
            lastEndsBlank_ = !run.empty() && run.back() == ' ';
            pos = end;
        }
        if (!placed_ && byBreak) {
            height_ = lineHeightOfFont(); // an empty line still takes a line's room
        }
        line.next = pos;
        line.width = x_;
        if (measured == nullptr) {
            line.height = height_;
        }
        line.extra = extra_;
        line.align = style_.paragraph.align;
        line.indent = style_.paragraph.indent;
        line.color = style_.paragraph.color;
        line.colorTo = style_.paragraph.colorTo;
        drawLine_ = nullptr;
        return line;
    }

    enum class Ending { None, Break, Other, Before };

    void fill(const TRect& r, TColor color) {
        c_.Brush.Style = gfx::TBrushStyle::bsSolid;
        c_.Brush.Color = color;
        c_.FillRect(r);
    }

    void placeRun(const std::string& run, TSize size) {
        placed_ = true;
        const int quarter = size.cy / 4;
        if (style_.sub || style_.sup) {
            extra_ = std::max(extra_, quarter);
        }
        if (drawing()) {
            TRect r{baseX_ + x_, top_, baseX_ + x_ + size.cx, top_ + drawLine_->height - lift_};
            if (style_.sub) {
                r = gfx::OffsetRect(r, 0, quarter);
            } else if (style_.sup) {
                r = gfx::OffsetRect(r, 0, -quarter);
            }
            drawRun(run, r, size);
            if (style_.inLink) {
                style_.linkRect = gfx::UnionRect(style_.linkRect, r);
                if (r.Contains(p_.Point.X, p_.Point.Y)) {
                    result_.OnLink = true;
                    result_.Anchor = style_.link;
                }
            }
        }
        if (recording()) {
            result_.PlainText += gfx::StripPrefixes(run).text;
        }
        x_ += size.cx;
        height_ = std::max(height_, size.cy);
    }

    void drawRun(const std::string& run, const TRect& r, TSize size) {
        if (style_.background != gfx::clNone) {
            c_.Brush.Style = gfx::TBrushStyle::bsSolid;
            c_.Brush.Color = style_.background;
        } else {
            c_.Brush.Style = gfx::TBrushStyle::bsClear;
        }
        c_.Font = style_.font;
        const TColor ink = style_.font.Color;
        if (style_.shadow) {
            c_.Font.Color = p_.ShadowColor;
            drawText(run, gfx::OffsetRect(r, p_.ShadowOffset, p_.ShadowOffset), size);
            c_.Font.Color = ink;
        }
        drawText(run, r, size);
        if (style_.errorMark) {
            std::vector<gfx::TPoint> zigzag;
            const int bottom = r.Bottom;
            int x = r.Left + (r.Left & 1);
            for (bool down = false; x <= r.Right; x += 2, down = !down) {
                zigzag.push_back({x, down ? bottom + 1 : bottom - 1});
            }
            if (zigzag.size() > 1) {
                c_.Pen = {gfx::clRed, 1, gfx::TPenStyle::psSolid};
                c_.Polyline(zigzag);
            }
        }
    }

    void drawText(const std::string& run, const TRect& r, TSize size) {
        if (style_.rotation == 0) {
            TRect box = r;
            c_.DrawText(run, box, kDrawFlags);
            return;
        }
        drawRotated(run, r.Left, r.Bottom - size.cy);
    }

    // Text turned counter-clockwise about its top-left corner, set pixel by pixel so every
    // canvas can take it.
    void drawRotated(const std::string& run, int x, int y) {
        const QFont font = gfx::resolveFont(c_.Font, c_.PixelsPerInch());
        const QString s = gfx::fromCp1251(gfx::StripPrefixes(run).text);
        const QFontMetrics m(font);
        const int w = std::max(1, m.horizontalAdvance(s));
        const int h = std::max(1, m.height());
        QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter painter(&image);
            painter.setFont(font);
            painter.setPen(Qt::white);
            painter.drawText(QPoint(0, m.ascent()), s);
        }
        QTransform turn;
        turn.rotate(-style_.rotation);
        const QImage turned = image.transformed(turn, Qt::FastTransformation);
        const QPointF origin = QImage::trueMatrix(turn, w, h).map(QPointF(0, 0));
        const int ox = x - static_cast<int>(std::nearbyint(origin.x()));
        const int oy = y - static_cast<int>(std::nearbyint(origin.y()));
        const TRect clip = c_.ClipRect();
        for (int ty = 0; ty < turned.height(); ++ty) {
            const auto* line = reinterpret_cast<const QRgb*>(turned.constScanLine(ty));
            for (int tx = 0; tx < turned.width(); ++tx) {
                if (qAlpha(line[tx]) >= 128 && clip.Contains(ox + tx, oy + ty)) {
                    c_.SetPixel(ox + tx, oy + ty, c_.Font.Color);
                }
            }
        }
    }

    Image findImage(const std::string& src, bool fromList) {
        Image image;
        if (fromList && startsIgnoringCase(src, "IDX:")) {
            const std::optional<int> index = number(std::string_view(src).substr(4));
            if (p_.Images != nullptr && index && *index >= 0 && *index < p_.Images->Count()) {
                image.bitmap = &p_.Images->Items[std::size_t(*index)];
                image.width = image.bitmap->Width();
                image.height = image.bitmap->Height();
            }
            return image;
        }
        if (fromList && (startsIgnoringCase(src, "SSYS:") || startsIgnoringCase(src, "LSYS:"))) {
            return image; // no shell icons here
        }
        THTMLPicture* picture = nullptr;
        if (src.find(':') == std::string::npos) {
            picture = p_.PictureStore != nullptr ? p_.PictureStore->FindPicture(src) : nullptr;
        } else if (src.find("://") != std::string::npos && p_.PictureCache != nullptr) {
            picture = p_.PictureCache->FindPicture(src);
            if (picture == nullptr) {
                picture = &p_.PictureCache->AddPicture();
                picture->Asynchronous = false;
                try {
                    picture->LoadFromURL(src);
                } catch (const std::exception&) {
                    // a picture that cannot be read stays empty and is skipped
                }
            }
        }
        if (picture != nullptr && !picture->Empty()) {
            image.picture = picture;
            image.width = picture->DisplayWidth();
            image.height = picture->DisplayHeight();
        }
        return image;
    }

    void drawImage(const Image& image, const TRect& r) {
        if (image.picture != nullptr) {
            image.picture->Draw(c_, r);
        } else if (image.bitmap != nullptr) {
            c_.StretchDraw(r, *image.bitmap);
        }
    }

    void imageTag(std::string_view tag) {
        if (cut_) {
            return; // past the ellipsis
        }
        const std::string src = attribute(tag, "SRC").value_or("");
        Image image = findImage(src, true);
        if (!image.found()) {
            return;
        }
        const int w = number(attribute(tag, "WIDTH").value_or("")).value_or(0);
        const int h = number(attribute(tag, "HEIGHT").value_or("")).value_or(0);
        if (w > 0 && h > 0) {
            image.width = w;
            image.height = h;
            if (image.picture != nullptr) {
                const_cast<THTMLPicture*>(image.picture)->Stretch = true;
            }
        }
        image.width = std::min(image.width, kMaxMarkupPixels);
        image.height = std::min(image.height, kMaxMarkupPixels);
        placed_ = true;
        if (drawing()) {
            const int bottom = top_ + drawLine_->height;
            const TRect r{baseX_ + x_, bottom - image.height, baseX_ + x_ + image.width, bottom};
            drawImage(image, r);
            if (r.Contains(p_.Point.X, p_.Point.Y)) {
                result_.ImageAlt = attribute(tag, "ALT").value_or("");
            }
            const std::string align = attribute(tag, "ALIGN").value_or("");
            const int offset = std::max(0, drawLine_->height - lineHeightOfFont());
            if (equalsIgnoringCase(align, "TOP")) {
                lift_ = offset;
            } else if (equalsIgnoringCase(align, "MIDDLE")) {
                lift_ = offset / 2;
            }
        }
        x_ += image.width;
        height_ = std::max(height_, image.height);
    }

    void bodyTag(std::string_view tag) {
        if (!drawing()) {
            return;
        }
        const TRect& r = p_.Rect;
        if (const auto background = attribute(tag, "BACKGROUND")) {
            const Image image = findImage(*background, false);
            if (image.found() && image.width > 0 && image.height > 0) {
                const std::optional<TRect> clipBefore = c_.ClipSetting();
                c_.SetClipRect(clipBefore ? gfx::IntersectRect(*clipBefore, r) : r);
                for (int y = r.Top; y < r.Bottom; y += image.height) {
                    for (int x = r.Left; x < r.Right; x += image.width) {
                        drawImage(image, gfx::Bounds(x, y, image.width, image.height));
                    }
                }
                if (clipBefore) {
                    c_.SetClipRect(*clipBefore);
                } else {
                    c_.ResetClip();
                }
            }
        }
        const auto color = attribute(tag, "BGCOLOR");
        if (!color) {
            return;
        }
        if (const auto colorTo = attribute(tag, "BGCOLORTO")) {
            const std::string dir = attribute(tag, "DIR").value_or("H");
            GradientFill(c_, r, HTMLColor(*color), HTMLColor(*colorTo), 64,
                         !equalsIgnoringCase(dir, "H"), false);
        } else {
            fill({r.Left - 2, r.Top, r.Right, r.Bottom}, HTMLColor(*color));
        }
    }

    void listItem() {
        listItemOnLine_ = true;
        x_ = std::max(x_, kListIndent * style_.listLevel);
        const gfx::TFont font = style_.font;
        const std::string gap = " ";
        const int gapWidth = measureRun(gap).cx;
        style_.font.Name = "Symbol";
        // The bullet is the Windows-1251 byte of U+2022.
        const std::string bullet = style_.listLevel % 2 == 1 ? "\x95" : "o";
        const TSize size = measureRun(bullet);
        const bool keepsText = recording();
        if (drawing()) {
            const TRect r{baseX_ + x_, top_, baseX_ + x_ + size.cx, top_ + drawLine_->height};
            drawRun(bullet, r, size);
        }
        placed_ = true;
        x_ += size.cx + gapWidth;
        height_ = std::max(height_, size.cy);
        style_.font = font;
        if (keepsText) {
            result_.PlainText += bullet + gap;
        }
    }

    Ending handleTag(std::string_view tag) {
        const bool closing = !tag.empty() && tag.front() == '/';
        std::string_view body = closing ? tag.substr(1) : tag;
        std::size_t nameEnd = 0;
        while (nameEnd < body.size() && !isBlank(body[nameEnd]) && body[nameEnd] != '/') {
            ++nameEnd;
        }
        const Tag kind = identify(body.substr(0, nameEnd));
        Style& s = style_;
        switch (kind) {
        case Tag::Unknown:
            return Ending::None;
        case Tag::A:
            if (!closing) {
                if (recording()) {
                    ++result_.LinkCount;
                }
                s.font.Underline = true;
                s.linkColorBefore = s.font.Color;
                s.font.Color = p_.URLColor;
                s.link = attribute(body, "HREF").value_or("");
                s.linkRect = {};
                s.inLink = true;
            } else if (s.inLink) {
                s.font.Underline = false;
                s.font.Color = s.linkColorBefore;
                s.inLink = false;
                if (drawing() && result_.OnLink && result_.Anchor == s.link &&
                    result_.LinkRect.IsEmpty()) {
                    result_.LinkRect = s.linkRect;
                }
            }
            return Ending::None;
        case Tag::B:
            s.font.Bold = !closing;
            return Ending::None;
        case Tag::Blink:
            if (!p_.BlinkHidden) {
                return Ending::None;
            }
            if (!closing) {
                s.blinkColorBefore = s.font.Color;
                s.font.Color = startBrush_.Color;
            } else if (s.blinkColorBefore != gfx::clNone) {
                s.font.Color = s.blinkColorBefore;
            }
            return Ending::None;
        case Tag::Body:
            if (!closing) {
                bodyTag(body);
            }
            return Ending::None;
        case Tag::Br:
            if (closing) {
                return Ending::None;
            }
            if (recording()) {
                result_.PlainText.push_back('\r');
            }
            return Ending::Break;
        case Tag::E:
            s.errorMark = !closing;
            return Ending::None;
        case Tag::Font:
            fontTag(body, closing);
            return Ending::None;
        case Tag::Hi:
            if (!closing) {
                s.hiColorBefore = s.font.Color;
                s.hiBackgroundBefore = s.background;
                s.background = gfx::clHighlight;
                s.font.Color = gfx::clHighlightText;
            } else if (s.hiColorBefore != gfx::clNone) {
                s.font.Color = s.hiColorBefore;
                s.background = s.hiBackgroundBefore;
            }
            return Ending::None;
        case Tag::Hr:
            if (closing) {
                return Ending::None;
            }
            if (drawing()) {
                const int y = top_ + drawLine_->height + 1;
                c_.Pen = {gfx::clBlack, 1, gfx::TPenStyle::psSolid};
                c_.MoveTo(p_.Rect.Left, y);
                c_.LineTo(p_.Rect.Right, y);
            }
            return Ending::Other;
        case Tag::I:
            s.font.Italic = !closing;
            return Ending::None;
        case Tag::Img:
            if (!closing) {
                imageTag(body);
            }
            return Ending::None;
        case Tag::Ind:
            if (!closing) {
                if (const auto to = number(attribute(body, "X").value_or(""))) {
                    x_ = std::max(x_, *to);
                }
            }
            return Ending::None;
        case Tag::Li:
            if (closing) {
                return Ending::Other;
            }
            if (listItemOnLine_) {
                return Ending::Before;
            }
            listItem();
            return Ending::None;
        case Tag::P:
            if (closing) {
                s.paragraphEnds = true;
                return Ending::Other;
            }
            paragraphTag(body);
            return Ending::None;
        case Tag::R:
            if (!closing) {
                s.fontBeforeRotation = s.font;
                s.rotationBefore = s.rotation;
                s.rotation = number(attribute(body, "A").value_or("")).value_or(0) % 360;
            } else {
                if (s.rotation != 0 || s.rotationBefore != 0) {
                    s.font = s.fontBeforeRotation;
                }
                s.rotation = s.rotationBefore;
            }
            return Ending::None;
        case Tag::S:
            s.font.StrikeOut = !closing;
            return Ending::None;
        case Tag::Sh:
            s.shadow = !closing;
            return Ending::None;
        case Tag::Sub:
        case Tag::Sup:
            if (closing) {
                s.sub = s.sup = false;
            } else {
                (kind == Tag::Sub ? s.sub : s.sup) = true;
            }
            return Ending::None;
        case Tag::U:
            s.font.Underline = !closing;
            return Ending::None;
        case Tag::Ul:
            if (closing) {
                s.listLevel = std::max(0, s.listLevel - 1);
                return Ending::None;
            }
            s.listLevel = std::min(s.listLevel + 1, kMaxMarkupPixels / kListIndent);
            return Ending::Other;
        case Tag::Z:
            s.hidden = !closing;
            return Ending::None;
        }
        return Ending::None;
    }

    void fontTag(std::string_view tag, bool closing) {
        Style& s = style_;
        if (closing) {
            s.font.Name = startFont_.Name;
            s.font.Height = startFont_.Height;
            if (!s.fontColors.empty()) {
                std::tie(s.font.Color, s.background) = s.fontColors.back();
                s.fontColors.pop_back();
            }
            return;
        }
        // Deeper nesting than any hint needs reuses the innermost level, so the style that is
        // copied for every line stays small.
        if (s.fontColors.size() < kMaxFontNesting) {
            s.fontColors.emplace_back(s.font.Color, s.background);
        } else {
            s.fontColors.back() = {s.font.Color, s.background};
        }
        if (const auto face = attribute(tag, "FACE")) {
            s.font.Name = *face;
        }
        if (const auto color = attribute(tag, "COLOR")) {
            s.font.Color = HTMLColor(*color);
        }
        if (const auto background = attribute(tag, "BGCOLOR")) {
            s.background = HTMLColor(*background);
        }
        if (const auto size = number(attribute(tag, "SIZE").value_or(""))) {
            static constexpr std::array<int, 5> kSizes = {8, 10, 12, 14, 16};
            const int points = *size >= 1 && *size <= 5 ? kSizes[std::size_t(*size - 1)] : *size;
            s.font.SetSize(std::clamp(points, kMinPoints, kMaxPoints));
        }
    }

    void paragraphTag(std::string_view tag) {
        Paragraph& para = style_.paragraph;
        if (const auto align = attribute(tag, "ALIGN")) {
            para.align = equalsIgnoringCase(*align, "RIGHT")    ? Align::Right
                         : equalsIgnoringCase(*align, "CENTER") ? Align::Center
                                                                : Align::Left;
        }
        if (const auto indent = number(attribute(tag, "INDENT").value_or(""))) {
            para.indent = std::max(0, *indent);
        }
        if (const auto color = attribute(tag, "BGCOLOR")) {
            para.color = HTMLColor(*color);
            para.colorTo = gfx::clNone;
            if (const auto colorTo = attribute(tag, "BGCOLORTO")) {
                para.colorTo = HTMLColor(*colorTo);
            }
        }
    }

    TCanvas& c_;
    const THTMLDrawParams& p_;
    const gfx::TFont startFont_;
    const gfx::TBrush startBrush_;
    const gfx::TPen startPen_;
    std::string text_;
    Style style_;
    THTMLDrawResult result_;
    // The line being laid out.
    const Line* drawLine_ = nullptr;
    int baseX_ = 0;
    int top_ = 0;
    int x_ = 0;
    int height_ = 0;
    int extra_ = 0;
    int lift_ = 0;
    bool placed_ = false;
    bool lastEndsBlank_ = true;
    bool listItemOnLine_ = false;
    bool cut_ = false;
};

} // namespace

TColor HTMLColor(std::string_view value) {
    if (!value.empty() && value.front() == '#') {
        if (value.size() < 7) {
            return gfx::clBlack;
        }
        std::array<int, 6> d{};
        for (std::size_t i = 0; i < d.size(); ++i) {
            d[i] = hexDigit(value[i + 1]);
            if (d[i] < 0) {
                return gfx::clBlack;
            }
        }
        return gfx::RGB(std::uint8_t(d[0] * 16 + d[1]), std::uint8_t(d[2] * 16 + d[3]),
                        std::uint8_t(d[4] * 16 + d[5]));
    }
    for (const ColorName& entry : kColorNames) {
        if (equalsIgnoringCase(entry.name, value)) {
            return entry.color;
        }
    }
    return gfx::clBlack;
}

THTMLDrawResult HTMLDrawEx(TCanvas& canvas, std::string_view text, const THTMLDrawParams& params) {
    return Renderer(canvas, params).run(text);
}

void GradientFill(TCanvas& canvas, const TRect& r, TColor from, TColor to, int bands, bool vertical,
                  bool reachEnd) {
    if (bands < 1 || r.IsEmpty()) {
        return;
    }
    const TColor a = gfx::ColorToRGB(from);
    const TColor b = gfx::ColorToRGB(to);
    const double steps = reachEnd && bands > 1 ? bands - 1 : bands;
    const int extent = vertical ? r.Height() : r.Width();
    const double bandSize = double(extent) / bands;
    const int length = static_cast<int>(bandSize) + 1;
    auto channel = [&](int i, std::uint8_t x, std::uint8_t y) {
        return std::uint8_t(x + static_cast<int>(std::nearbyint(i * (int(y) - int(x)) / steps)));
    };
    canvas.Brush.Style = gfx::TBrushStyle::bsSolid;
    for (int i = 0; i < bands; ++i) {
        canvas.Brush.Color = gfx::RGB(channel(i, gfx::GetRValue(a), gfx::GetRValue(b)),
                                      channel(i, gfx::GetGValue(a), gfx::GetGValue(b)),
                                      channel(i, gfx::GetBValue(a), gfx::GetBValue(b)));
        const int start = static_cast<int>(std::nearbyint(i * bandSize));
        if (vertical) {
            canvas.FillRect(
                {r.Left, r.Top + start, r.Right, std::min(r.Top + start + length, r.Bottom)});
        } else {
            canvas.FillRect(
                {r.Left + start, r.Top, std::min(r.Left + start + length, r.Right), r.Bottom});
        }
    }
}

// ---- the component -----------------------------------------------------------------------

namespace {

QObject* checkedOwner(QObject* owner) {
    auto* form = qobject_cast<QWidget*>(owner);
    if (form == nullptr || !form->isWindow()) {
        throw EMarkupHintError("Control parent must be a form!");
    }
    for (QObject* child : form->children()) {
        if (dynamic_cast<TMarkupHint*>(child) != nullptr) {
            throw EMarkupHintError("Only one instance of TMarkupHint allowed on form");
        }
    }
    return owner;
}

TRect monitorAt(QPoint pos) {
    QScreen* screen = QGuiApplication::screenAt(pos);
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    if (screen == nullptr) {
        return {0, 0, 1 << 14, 1 << 14};
    }
    const QRect g = screen->geometry();
    return gfx::Bounds(g.x(), g.y(), g.width(), g.height());
}

} // namespace

TMarkupHint::TMarkupHint(QObject* owner)
    : QObject(checkedOwner(owner)), cache_(std::make_unique<THTMLPictureCache>()) {
    HintFont.Name = "Tahoma";
    HintFont.Color = gfx::clInfoText;
    hideTimer_.setSingleShot(true);
    QObject::connect(&hideTimer_, &QTimer::timeout, this, [this] { HideHint(); });
    if (QCoreApplication* app = QCoreApplication::instance()) {
        app->installEventFilter(this);
    }
}

TMarkupHint::~TMarkupHint() {
    window_.reset();
}

bool TMarkupHint::ShowHintFor(QWidget* control, const QString& hintText, QPoint globalPos) {
    const QByteArray utf8 = hintText.toUtf8();
    std::string text = platform::text::utf8ToCp1251(std::string_view(utf8.data(), utf8.size()));
    // Where the toolkit's own tool tips go: just below and right of the pointer.
    const QPoint pos = globalPos + QPoint(2, 16);
    THintInfo info;
    info.HintControl = control;
    info.HintPos = {pos.x(), pos.y()};
    info.HintMaxWidth = monitorAt(pos).Width();
    info.HintColor = HintColor;
    if (MaxWidth != 0) {
        info.HintMaxWidth = MaxWidth;
    }
    bool canShow = true;
    if (OnShowHint) {
        OnShowHint(text, canShow, info);
    }
    hintInfo_ = info;
    if (!canShow || text.empty()) {
        HideHint();
        return false;
    }
    if (!window_) {
        window_ = std::make_unique<TMarkupHintWindow>(this);
    }
    window_->ActivateHint(text, monitorAt(QPoint(info.HintPos.X, info.HintPos.Y)));
    hideTimer_.start(kHintHidePause);
    return true;
}

void TMarkupHint::HideHint() {
    hideTimer_.stop();
    if (window_) {
        window_->hide();
    }
}

bool TMarkupHint::eventFilter(QObject* watched, QEvent* event) {
    try {
        switch (event->type()) {
        case QEvent::ToolTip: {
            auto* control = qobject_cast<QWidget*>(watched);
            if (control == nullptr || control == window_.get()) {
                break;
            }
            const QString tip = control->toolTip();
            if (tip.isEmpty()) {
                break; // the parent's hint, if any, comes next
            }
            ShowHintFor(control, tip, static_cast<QHelpEvent*>(event)->globalPos());
            event->accept();
            return true;
        }
        case QEvent::Leave:
            if (window_ && window_->isVisible() && watched == hintInfo_.HintControl) {
                HideHint();
            }
            break;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::Wheel:
        case QEvent::ApplicationDeactivate:
            if (window_ && window_->isVisible()) {
                HideHint();
            }
            break;
        default:
            break;
        }
    } catch (const std::exception& e) {
        HideHint();
        const QByteArray title = QCoreApplication::applicationName().toUtf8();
        platform::ui::messageBoxes().show(
            e.what(), platform::text::utf8ToCp1251(std::string_view(title.data(), title.size())),
            platform::ui::MessageIcon::Error, platform::ui::MessageButtons::Ok);
        return true;
    }
    return QObject::eventFilter(watched, event);
}

TMarkupHint& InstallMarkupHint(QApplication& app, QWidget& mainForm) {
    auto* hint = new TMarkupHint(&mainForm); // owned by the form
    hint->HintFont.Name = "Tahoma";
    hint->HintFont.Height = -11;
    hint->HintFont.Color = gfx::clInfoText;
    hint->URLColor = gfx::clBlack;
    app.installEventFilter(hint);
    return *hint;
}

// ---- geometry and picture ------------------------------------------------------------------

namespace {

THTMLDrawParams paramsOf(TMarkupHint& hint, const TRect& rect) {
    THTMLDrawParams p;
    p.Rect = rect;
    p.Images = hint.Images();
    p.PictureStore = hint.PictureStore();
    p.PictureCache = &hint.PictureCache();
    p.ShadowColor = hint.ShadowColor;
    p.ShadowOffset = hint.ShadowOffset;
    p.URLColor = hint.URLColor;
    p.Ellipsis = hint.Ellipsis;
    return p;
}

} // namespace

TSize MeasureHint(TMarkupHint& hint, std::string_view text, int maxWidth) {
    gfx::TBitmap scratch(1, 1);
    TCanvas& canvas = scratch.Canvas();
    canvas.Font = hint.HintFont;
    THTMLDrawParams p = paramsOf(hint, {0, 0, maxWidth - 16, 0});
    p.ShadowColor = gfx::clGray;
    p.MeasureOnly = true;
    const THTMLDrawResult r = HTMLDrawEx(canvas, text, p);
    return {r.Width, r.Height};
}

THintWindowSize HintWindowSize(TSize measured, int xMargin, int yMargin) {
    THintWindowSize s;
    s.Text = {measured.cx + 2 * xMargin, measured.cy + 2 * yMargin};
    s.Window = {s.Text.cx + 16, s.Text.cy + 4};
    return s;
}

TRect PlaceHintWindow(const THintWindowSize& size, gfx::TPoint pos, const TRect& monitor) {
    const int width = std::clamp(size.Window.cx, 1, std::max(1, monitor.Width()));
    const int height = std::clamp(size.Window.cy, 1, std::max(1, monitor.Height()));
    TRect r = gfx::Bounds(pos.X, pos.Y, width, height);
    if (r.Right > monitor.Right) {
        r.Left = monitor.Right - width - 2;
        r.Right = r.Left + width;
    }
    if (r.Bottom > monitor.Bottom) {
        r.Bottom = monitor.Bottom - 2;
        r.Top = r.Bottom - height;
    }
    // A hint as large as the monitor starts at its edge rather than off it.
    if (r.Left < monitor.Left) {
        r = gfx::OffsetRect(r, monitor.Left - r.Left, 0);
    }
    if (r.Top < monitor.Top) {
        r = gfx::OffsetRect(r, 0, monitor.Top - r.Top);
    }
    return r;
}

QRegion HintWindowRegion(THintStyle style, int width, int height) {
    if (style == THintStyle::hsRectangle || width <= 0 || height <= 0) {
        return QRegion(0, 0, std::max(0, width), std::max(0, height));
    }
    gfx::TBitmap shape(width, height);
    TCanvas& c = shape.Canvas();
    c.Brush = {gfx::clBlack, gfx::TBrushStyle::bsSolid};
    c.FillRect({0, 0, width, height});
    c.Pen = {gfx::clWhite, 1, gfx::TPenStyle::psSolid};
    c.Brush = {gfx::clWhite, gfx::TBrushStyle::bsSolid};
    c.RoundRect(0, 0, width, height, 16, 16);
    QRegion region;
    for (int y = 0; y < height; ++y) {
        const std::uint32_t* row = shape.ScanLine(y);
        int x = 0;
        while (x < width) {
            while (x < width && (row[x] & 0xFFFFFFu) == 0) {
                ++x;
            }
            const int begin = x;
            while (x < width && (row[x] & 0xFFFFFFu) != 0) {
                ++x;
            }
            if (x > begin) {
                region += QRect(begin, y, x - begin, 1);
            }
        }
    }
    return region;
}

void PaintHint(TCanvas& canvas, TMarkupHint& hint, std::string_view text, TSize clientSize,
               TSize textSize, TColor color) {
    const TRect client{0, 0, clientSize.cx, clientSize.cy};
    if (hint.HintColorTo == gfx::clNone) {
        canvas.Brush = {color, gfx::TBrushStyle::bsSolid};
        canvas.FillRect(client);
    } else {
        GradientFill(canvas, client, color, hint.HintColorTo, 48, true, true);
    }
    if (hint.HintStyle == THintStyle::hsRounded) {
        canvas.Pen = {gfx::clGray, 1, gfx::TPenStyle::psSolid};
        canvas.Brush.Style = gfx::TBrushStyle::bsClear;
        canvas.RoundRect(client.Left, client.Top, client.Right - 1, client.Bottom - 1, 16, 16);
    } else {
        TRect frame = client;
        gfx::Frame3D(canvas, frame, gfx::cl3DLight, gfx::cl3DDkShadow, 1);
    }
    TRect r;
    r.Left = client.Left + 4 + hint.XMargin;
    r.Top = client.Top + (client.Height() - textSize.cy) / 2 + hint.YMargin;
    r.Bottom = r.Top + textSize.cy + 8;
    r.Right = client.Right - 4;
    canvas.Brush = {color, gfx::TBrushStyle::bsSolid};
    canvas.Font = hint.HintFont;
    HTMLDrawEx(canvas, text, paramsOf(hint, r));
}

gfx::TBitmap RenderHint(TMarkupHint& hint, std::string_view text, int maxWidth,
                        const TRect& monitor) {
    const THintWindowSize size =
        HintWindowSize(MeasureHint(hint, text, maxWidth), hint.XMargin, hint.YMargin);
    const TRect bounds = PlaceHintWindow(size, {monitor.Left, monitor.Top}, monitor);
    gfx::TBitmap picture(bounds.Width(), bounds.Height());
    PaintHint(picture.Canvas(), hint, text, {bounds.Width(), bounds.Height()}, size.Text,
              hint.HintColor);
    return picture;
}

// ---- the window ----------------------------------------------------------------------------

TMarkupHintWindow::TMarkupHintWindow(TMarkupHint* hint)
    : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus),
      hint_(hint) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

TMarkupHintWindow::~TMarkupHintWindow() = default;

void TMarkupHintWindow::ActivateHint(const std::string& text, const TRect& monitor) {
    text_ = text;
    setWindowTitle(gfx::fromCp1251(text));
    if (!hint_) {
        return;
    }
    const THintInfo& info = hint_->HintInfo();
    color_ = info.HintColor;
    const THintWindowSize size = HintWindowSize(MeasureHint(*hint_, text, info.HintMaxWidth),
                                                hint_->XMargin, hint_->YMargin);
    textSize_ = size.Text;
    const TRect bounds = PlaceHintWindow(size, info.HintPos, monitor);
    setGeometry(bounds.Left, bounds.Top, bounds.Width(), bounds.Height());
    if (hint_->HintStyle == THintStyle::hsRounded) {
        setMask(HintWindowRegion(THintStyle::hsRounded, bounds.Width(), bounds.Height()));
    } else {
        clearMask();
    }
    show();
    raise();
    update();
}

gfx::TBitmap TMarkupHintWindow::Picture() {
    gfx::TBitmap picture(std::max(1, width()), std::max(1, height()));
    if (hint_) {
        PaintHint(picture.Canvas(), *hint_, text_, {picture.Width(), picture.Height()}, textSize_,
                  color_);
    }
    return picture;
}

void TMarkupHintWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    try {
        painter.drawImage(QPoint(0, 0), gfx::imageFromBitmap(Picture()));
    } catch (const std::exception&) {
        painter.fillRect(rect(), QColor::fromRgb(gfx::colorToArgb(color_)));
    }
}
