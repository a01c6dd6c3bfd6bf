// Tool tips written in a small markup: bold key names, fonts, colours, lists, pictures and links.
// HTMLDrawEx lays out and draws (or only measures) marked-up text on any canvas; TMarkupHint is
// the component that holds the hint settings and, once installed on the application, shows every
// tool tip in its own frameless hint window instead of the toolkit's. The window's picture is
// made on a raster canvas, so what a test renders is exactly what the user sees.
#pragma once

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Canvas.h"
#include "surfaces/Controls.h"
#include "surfaces/PictureStore.h"

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRegion>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

class QApplication;

// Pictures of one list, drawn by index from hint markup ("IDX:n").
class TImageList : public QObject {
public:
    explicit TImageList(QObject* owner = nullptr) : QObject(owner) {}

    std::vector<platform::gfx::TBitmap> Items;
    int Count() const { return static_cast<int>(Items.size()); }
};

// A colour attribute of the markup: "#RRGGBB" or a colour name in any letter case; anything
// else (an unknown name, too few or bad hexadecimal digits) is black.
TColor HTMLColor(std::string_view value);

struct THTMLDrawParams {
    platform::gfx::TRect Rect;
    TImageList* Images = nullptr;
    TPictureStore* PictureStore = nullptr;
    THTMLPictureCache* PictureCache = nullptr;
    TColor ShadowColor = platform::gfx::clGray;
    int ShadowOffset = 1;
    TColor URLColor = platform::gfx::clBlue;
    bool Ellipsis = false;
    // The point tested against links and images.
    platform::gfx::TPoint Point{-1, -1};
    bool MeasureOnly = false;
    // The hidden half of the blink phase: blinking text takes the background colour.
    bool BlinkHidden = false;
};

struct THTMLDrawResult {
    bool OnLink = false;
    // The text without tags; line breaks are carriage returns.
    std::string PlainText;
    int Width = 0;
    int Height = 0;
    std::string Anchor;
    platform::gfx::TRect LinkRect;
    std::string ImageAlt;
    int LinkCount = 0;
};

// Draws marked-up text into the rectangle with the canvas's font as the starting font, or with
// MeasureOnly only measures it. Malformed markup is never an error.
THTMLDrawResult HTMLDrawEx(platform::gfx::TCanvas& canvas, std::string_view text,
                           const THTMLDrawParams& params);

// A gradient of `bands` filled bands from one colour to the other, left to right or top to
// bottom. The hint background steps over bands - 1 differences, markup backgrounds over bands.
void GradientFill(platform::gfx::TCanvas& canvas, const platform::gfx::TRect& r, TColor from,
                  TColor to, int bands, bool vertical, bool toLastBand);

class EMarkupHintError : public std::runtime_error {
public:
    explicit EMarkupHintError(const std::string& what) : std::runtime_error(what) {}
};

enum class THintStyle { hsRectangle, hsRounded };

// What a hint is shown with; the show-hint handler may change it.
struct THintInfo {
    QPointer<QWidget> HintControl;
    platform::gfx::TPoint HintPos;
    int HintMaxWidth = 0;
    TColor HintColor = platform::gfx::clInfoBk;
};

using TShowHintEvent = std::function<void(std::string& HintStr, bool& CanShow, THintInfo& Info)>;

class TMarkupHintWindow;

class TMarkupHint : public QObject {
public:
    // The owner must be a window holding no other TMarkupHint (EMarkupHintError otherwise).
    // Within a running application every tool tip is shown by the hint window from then on.
    explicit TMarkupHint(QObject* owner);
    ~TMarkupHint() override;

    bool Ellipsis = false;
    TColor HintColor = platform::gfx::clInfoBk;
    TColor HintColorTo = platform::gfx::clNone;
    platform::gfx::TFont HintFont;
    THintStyle HintStyle = THintStyle::hsRectangle;
    int MaxWidth = 0;
    TColor ShadowColor = platform::gfx::clGray;
    int ShadowOffset = 1;
    TColor URLColor = platform::gfx::clBlack;
    int XMargin = 0;
    int YMargin = 0;
    TShowHintEvent OnShowHint;

    // Both are cleared when the list or the store goes away.
    TImageList* Images() const { return images_; }
    void SetImages(TImageList* images) { images_ = images; }
    TPictureStore* PictureStore() const { return store_; }
    void SetPictureStore(TPictureStore* store) { store_ = store; }

    std::string Version() const { return "1.3.5.0"; }
    void SetVersion(const std::string&) {}

    THTMLPictureCache& PictureCache() { return *cache_; }
    // The hint information of the last hint shown.
    const THintInfo& HintInfo() const { return hintInfo_; }

    // What the toolkit's tool-tip request does: run the show-hint handler for the control's
    // hint text and show the hint window at `globalPos`. Answers whether a hint is shown.
    bool ShowHintFor(QWidget* control, const QString& hintText, QPoint globalPos);
    void HideHint();
    // The window of the hint shown last (nullptr before the first one).
    TMarkupHintWindow* HintWindow() const { return window_.get(); }

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<TImageList> images_;
    QPointer<TPictureStore> store_;
    std::unique_ptr<THTMLPictureCache> cache_;
    THintInfo hintInfo_;
    std::unique_ptr<TMarkupHintWindow> window_;
    QTimer hideTimer_;
};

// The main window's hint component: Tahoma of height -11 in the info text colour and black
// links. From then on every tool tip of `app` is drawn from its markup.
TMarkupHint& InstallMarkupHint(QApplication& app, QWidget& mainForm);

// ---- the hint window's geometry and picture, as plain functions ----------------------------

// The measured size of the hint text when it may be `maxWidth` pixels wide (the window's
// maximum width; 16 of it are the window's own margins).
platform::gfx::TSize MeasureHint(TMarkupHint& hint, std::string_view text, int maxWidth);

// The window for a measured text: its text size (measured size plus the margins) and its size.
struct THintWindowSize {
    platform::gfx::TSize Text;
    platform::gfx::TSize Window;
};
THintWindowSize HintWindowSize(platform::gfx::TSize measured, int xMargin, int yMargin);

// The window placed at the hint position and kept on the monitor: past the right edge it ends
// 2 pixels before it, past the bottom likewise. A hint larger than the monitor is cut to it.
platform::gfx::TRect PlaceHintWindow(const THintWindowSize& size, platform::gfx::TPoint pos,
                                     const platform::gfx::TRect& monitor);

// The window's shape: everything for the rectangle style, the 16 x 16 rounded rectangle for the
// rounded style.
QRegion HintWindowRegion(THintStyle style, int width, int height);

// Paints the hint window of `clientSize` with the text laid out at `textSize` (the window's text
// size, margins included) in the background colour `color`.
void PaintHint(platform::gfx::TCanvas& canvas, TMarkupHint& hint, std::string_view text,
               platform::gfx::TSize clientSize, platform::gfx::TSize textSize, TColor color);

// The picture of the hint window for `text` as the hint would show it with that maximum width,
// on a monitor of `monitor` (for the size cut).
platform::gfx::TBitmap RenderHint(TMarkupHint& hint, std::string_view text, int maxWidth,
                                  const platform::gfx::TRect& monitor = {0, 0, 1 << 14, 1 << 14});

class TMarkupHintWindow : public QWidget {
public:
    explicit TMarkupHintWindow(TMarkupHint* hint);
    ~TMarkupHintWindow() override;

    // Measures the text, places the window at the last hint position within `monitor`, and
    // shows it without taking the focus.
    void ActivateHint(const std::string& text, const platform::gfx::TRect& monitor);

    const std::string& Text() const { return text_; }
    platform::gfx::TSize TextSize() const { return textSize_; }
    // The picture the window shows.
    platform::gfx::TBitmap Picture();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPointer<TMarkupHint> hint_;
    std::string text_;
    platform::gfx::TSize textSize_;
    TColor color_ = platform::gfx::clInfoBk;
};
