#include "platform/gfx/Canvas.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <vector>

namespace platform::gfx {

namespace {

// Positions worked out from far-reaching rectangles and long texts, brought back into the int
// range.
int toInt(long long v) {
    return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
}

} // namespace

int MulDiv(int a, int b, int c) {
    if (c == 0) {
        return -1;
    }
    long long n = static_cast<long long>(a) * b;
    long long d = c;
    if (d < 0) {
        n = -n;
        d = -d;
    }
    const long long q = n >= 0 ? (n + d / 2) / d : -((-n + d / 2) / d);
    if (q > INT_MAX || q < INT_MIN) {
        return -1;
    }
    return static_cast<int>(q);
}

int TFont::Size() const {
    return -MulDiv(Height, 72, PixelsPerInch);
}

void TFont::SetSize(int points) {
    Height = -MulDiv(points, PixelsPerInch, 72);
}

void TCanvas::StretchDrawRows(const TRect& dest, const TPixelRows& rows) {
    if (rows.Empty() || dest.IsEmpty()) {
        return;
    }
    TBitmap picture(rows.Width, rows.Height);
    for (int y = 0; y < rows.Height; ++y) {
        rows.ReadRow(y, 0, rows.Width, picture.ScanLine(y));
    }
    if (rows.Keyed) {
        picture.Transparent = true;
        picture.SetTransparentColor(rows.Key);
    }
    if ((long long)dest.Right - dest.Left == rows.Width &&
        (long long)dest.Bottom - dest.Top == rows.Height) {
        Draw(dest.Left, dest.Top, picture); // one to one: nothing to scale
    } else {
        StretchDraw(dest, picture);
    }
}

TRect TCanvas::ClipRect() const {
    return clip_ ? IntersectRect(*clip_, DeviceRect()) : DeviceRect();
}

void TCanvas::TextOut(int x, int y, std::string_view text) {
    const long long w = TextWidth(text);
    long long left = x;
    long long top = y;
    if ((TextAlign & TA_CENTER) == TA_CENTER) {
        left = x - w / 2;
    } else if (TextAlign & TA_RIGHT) {
        left = x - w;
    }
    if ((TextAlign & TA_BASELINE) == TA_BASELINE) {
        top -= TextMetrics().Ascent;
    } else if (TextAlign & TA_BOTTOM) {
        top -= TextMetrics().Height;
    }
    DrawTextRun(toInt(left), toInt(top), text, std::string::npos, nullptr);
    PenPos = {toInt(x + w), y};
}

void TCanvas::TextRect(const TRect& r, int x, int y, std::string_view text) {
    DrawTextRun(x, y, text, std::string::npos, &r);
}

PrefixedText StripPrefixes(std::string_view text) {
    PrefixedText out;
    out.text.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&') {
            if (i + 1 >= text.size()) {
                break; // a lone "&" at the end marks nothing and is not drawn
            }
            ++i;
            if (text[i] != '&' && out.accelerator == std::string::npos) {
                out.accelerator = out.text.size();
            }
        }
        out.text.push_back(text[i]);
    }
    return out;
}

namespace {

struct Line {
    std::size_t begin;
    std::size_t end;
    int width;
};

} // namespace

int TCanvas::DrawText(std::string_view source, TRect& r, unsigned flags) {
    PrefixedText pt;
    if (flags & DT_NOPREFIX) {
        pt.text.assign(source);
    } else {
        pt = StripPrefixes(source);
        if (flags & DT_HIDEPREFIX) {
            pt.accelerator = std::string::npos;
        }
    }
    const std::string& text = pt.text;
    const TTextMetric tm = TextMetrics();
    const int lineHeight = tm.Height + ((flags & DT_EXTERNALLEADING) ? tm.ExternalLeading : 0);
    const bool expandTabs = (flags & DT_EXPANDTABS) != 0;
    const int tabStop = std::max(1, 8 * tm.AveCharWidth);

    // Width of a piece of a line, tabs going to the next tab stop.
    auto measure = [&](std::size_t b, std::size_t e) {
        std::string_view s(text.data() + b, e - b);
        if (!expandTabs || s.find('\t') == std::string_view::npos) {
            return TextWidth(s);
        }
        int x = 0;
        std::size_t p = 0;
        while (true) {
            const std::size_t tab = s.find('\t', p);
            x += TextWidth(s.substr(p, tab == std::string_view::npos ? s.npos : tab - p));
            if (tab == std::string_view::npos) {
                return x;
            }
            x = (x / tabStop + 1) * tabStop;
            p = tab + 1;
        }
    };

    std::vector<Line> lines;
    const bool single = (flags & DT_SINGLELINE) != 0;
    const bool wrap = !single && (flags & DT_WORDBREAK) != 0;
    const int maxWidth = toInt(static_cast<long long>(r.Right) - r.Left);
    if (!text.empty()) {
        std::size_t p = 0;
        while (true) {
            std::size_t e = text.size();
            std::size_t next = e;
            if (!single) {
                const std::size_t br = text.find_first_of("\r\n", p);
                if (br != std::string::npos) {
                    e = br;
                    next = br + 1;
                    if (text[br] == '\r' && next < text.size() && text[next] == '\n') {
                        ++next;
                    }
                }
            }
            if (!wrap) {
                lines.push_back({p, e, measure(p, e)});
            } else {
                // Greedy: words (with the blanks after them) are added while they fit; a word
                // wider than the whole line stands on a line of its own.
                std::size_t lineBegin = p;
                std::size_t lineEnd = p; // end of the last word put on the line (no blanks)
                std::size_t q = p;
                while (q < e) {
                    std::size_t wordEnd = q;
                    while (wordEnd < e && text[wordEnd] != ' ') {
                        ++wordEnd;
                    }
                    std::size_t after = wordEnd;
                    while (after < e && text[after] == ' ') {
                        ++after;
                    }
                    if (lineEnd > lineBegin && measure(lineBegin, wordEnd) > maxWidth) {
                        lines.push_back({lineBegin, lineEnd, measure(lineBegin, lineEnd)});
                        lineBegin = q;
                    }
                    lineEnd = wordEnd;
                    q = after;
                }
                lines.push_back({lineBegin, lineEnd, measure(lineBegin, lineEnd)});
            }
            if (next >= text.size()) {
                if (next > e && next == text.size() && !single) {
                    lines.push_back({next, next, 0}); // text ended by a line break
                }
                break;
            }
            p = next;
        }
    }

    std::vector<std::string> ellipsised(lines.size());
    if (flags & DT_END_ELLIPSIS) {
        for (std::size_t i = 0; i < lines.size(); ++i) {
            Line& l = lines[i];
            if (l.width <= maxWidth) {
                continue;
            }
            std::size_t e = l.end;
            std::string candidate;
            while (true) {
                candidate.assign(text, l.begin, e - l.begin);
                candidate += "...";
                if (e == l.begin || TextWidth(candidate) <= maxWidth) {
                    break;
                }
                --e;
            }
            ellipsised[i] = candidate;
            l.width = TextWidth(candidate);
        }
    }

    int widest = 0;
    for (const Line& l : lines) {
        widest = std::max(widest, l.width);
    }
    const int textHeight = toInt(static_cast<long long>(lines.size()) * lineHeight);
    if (flags & DT_CALCRECT) {
        r.Right = toInt(static_cast<long long>(r.Left) + widest);
        r.Bottom = toInt(static_cast<long long>(r.Top) + textHeight);
        return textHeight;
    }

    long long y = r.Top;
    if (single) {
        if (flags & DT_VCENTER) {
            y = r.Top + ((static_cast<long long>(r.Bottom) - r.Top) - lineHeight) / 2;
        } else if (flags & DT_BOTTOM) {
            y = static_cast<long long>(r.Bottom) - lineHeight;
        }
    }
    const long long startY = y;
    const TRect* clipRect = (flags & DT_NOCLIP) ? nullptr : &r;
    for (std::size_t i = 0; i < lines.size(); ++i, y += lineHeight) {
        const Line& l = lines[i];
        long long x = r.Left;
        if (flags & DT_CENTER) {
            x = r.Left + ((static_cast<long long>(r.Right) - r.Left) - l.width) / 2;
        } else if (flags & DT_RIGHT) {
            x = static_cast<long long>(r.Right) - l.width;
        }
        if (!ellipsised[i].empty()) {
            DrawTextRun(toInt(x), toInt(y), ellipsised[i], std::string::npos, clipRect);
            continue;
        }
        std::size_t underline = std::string::npos;
        if (pt.accelerator >= l.begin && pt.accelerator < l.end) {
            underline = pt.accelerator - l.begin;
        }
        std::string_view s(text.data() + l.begin, l.end - l.begin);
        if (!expandTabs || s.find('\t') == std::string_view::npos) {
            DrawTextRun(toInt(x), toInt(y), s, underline, clipRect);
            continue;
        }
        long long cx = 0;
        std::size_t p = 0;
        while (true) {
            const std::size_t tab = s.find('\t', p);
            const std::string_view piece =
                s.substr(p, tab == std::string_view::npos ? s.npos : tab - p);
            std::size_t u = std::string::npos;
            if (underline != std::string::npos && underline >= p && underline < p + piece.size()) {
                u = underline - p;
            }
            DrawTextRun(toInt(x + cx), toInt(y), piece, u, clipRect);
            cx += TextWidth(piece);
            if (tab == std::string_view::npos) {
                break;
            }
            cx = (cx / tabStop + 1) * tabStop;
            p = tab + 1;
        }
    }
    if (single && (flags & (DT_VCENTER | DT_BOTTOM))) {
        return toInt(startY + textHeight - r.Top);
    }
    return textHeight;
}

void Frame3D(TCanvas& canvas, TRect& r, TColor topColor, TColor bottomColor, int width) {
    canvas.Pen.Width = 1;
    --r.Bottom;
    --r.Right;
    while (width > 0) {
        --width;
        const TPoint topLeft{r.Left, r.Top};
        const TPoint topRight{r.Right, r.Top};
        const TPoint bottomRight{r.Right, r.Bottom};
        TPoint bottomLeft{r.Left, r.Bottom};
        canvas.Pen.Color = topColor;
        const TPoint upper[] = {bottomLeft, topLeft, topRight};
        canvas.Polyline(upper);
        canvas.Pen.Color = bottomColor;
        --bottomLeft.X;
        const TPoint lower[] = {topRight, bottomRight, bottomLeft};
        canvas.Polyline(lower);
        r = InflateRect(r, -1, -1);
    }
    ++r.Bottom;
    ++r.Right;
}

} // namespace platform::gfx
