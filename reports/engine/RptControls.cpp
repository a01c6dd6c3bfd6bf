#include "reports/engine/RptControls.h"

#include "reports/engine/FolioReport.h"
#include "reports/engine/RptBands.h"
#include "reports/engine/RptFormat.h"
#include "reports/pages/RptPrntr.h"
#include "reports/pages/RptTexts.h"

#include <algorithm>

using platform::gfx::TBrushStyle;
using platform::gfx::TCanvas;
using platform::gfx::TRect;

namespace {

platform::gfx::TCanvas& ownCanvas() {
    static platform::gfx::TBitmap bitmap(1, 1);
    return bitmap.Canvas();
}

} // namespace

// ---- labels ------------------------------------------------------------------------------------

TRptCustomLabel::TRptCustomLabel() {
    Font.Name = "Arial";
    Font.SetSize(10);
}

void TRptCustomLabel::SetCaption(std::string caption) {
    caption_ = std::move(caption);
    PrintCaption = caption_;
    FormatLines();
}

void TRptCustomLabel::SetParent(TRptBasePanel* panel) {
    TRptPrintable::SetParent(panel);
    if (panel != nullptr && ParentFont) {
        Font = panel->Font;
    }
    FormatLines();
}

int TRptCustomLabel::MeasureText(std::string_view text) {
    if (ParentReport != nullptr) {
        return ParentReport->TextWidth(Font, text) * int(Size.Zoom) / 100;
    }
    TCanvas& c = ownCanvas();
    c.Font = Font;
    return c.TextWidth(text);
}

int TRptCustomLabel::LineHeight() {
    if (ParentReport != nullptr) {
        return ParentReport->TextHeight(Font, "W") * int(Size.Zoom) / 100 + 1;
    }
    TCanvas& c = ownCanvas();
    c.Font = Font;
    return c.TextHeight("W");
}

void TRptCustomLabel::formatLine(const std::string& text) {
    const int w = Width();
    std::string line;
    bool stop = false;
    const std::size_t before = formatted_.size();
    if (AutoSize) {
        formatted_.push_back(text);
        return;
    }
    std::size_t pos = 0;
    while (pos < text.size() && !stop) {
        const std::size_t end = text.find_first_of(" -\r", pos);
        const std::size_t len = end == std::string::npos ? text.size() - pos : end - pos + 1;
        std::string word = text.substr(pos, len);
        pos += len;
        if (MeasureText(line + word) <= w) {
            line += word;
            continue;
        }
        if (line.empty()) {
            // The word alone is too wide: what fits of it makes the line, the rest is lost.
            std::size_t n = 0;
            while (n < word.size() && MeasureText(line + word[n]) < w) {
                line += word[n++];
            }
            word.clear();
        }
        formatted_.push_back(line);
        line.clear();
        if (!word.empty() && MeasureText(word) > w) {
            if (w == 0) {
                word.clear();
            } else {
                while (!word.empty() && MeasureText(word) > w) {
                    word.pop_back();
                }
            }
        }
        if (!WordWrap) {
            // One line per source line, cut at the width: the rest of the text is dropped.
            stop = true;
            break;
        }
        line = word;
    }
    // A cut word leaves no empty line behind; an empty source line still gives one.
    if (!stop && (!line.empty() || formatted_.size() == before)) {
        formatted_.push_back(line);
    }
}

void TRptCustomLabel::formatSource(std::string text) {
    std::erase(text, '\n');
    std::size_t start = 0;
    for (;;) {
        const std::size_t cr = text.find('\r', start);
        if (cr == std::string::npos) {
            formatLine(text.substr(start));
            return;
        }
        formatLine(text.substr(start, cr - start));
        start = cr + 1;
    }
}

void TRptCustomLabel::FormatLines() {
    if (Parent() == nullptr) {
        return;
    }
    formatted_.clear();
    if (UseCaption()) {
        formatSource(PrintCaption);
        if (ParentReport != nullptr && !inAutoSize_ && Height() < LineHeight()) {
            SetHeight(LineHeight());
        }
    } else if (!lines_.empty()) {
        if (AutoSize) {
            formatted_ = lines_;
        } else {
            for (const auto& l : lines_) {
                formatSource(l);
            }
        }
    }
    if (AutoSize && !inAutoSize_ && ParentReport != nullptr) {
        int w = 0;
        for (const auto& l : formatted_) {
            w = std::max(w, MeasureText(l));
        }
        if (Frame.DrawLeft) {
            w += Frame.Width;
        }
        if (Frame.DrawRight) {
            w += Frame.Width;
        }
        inAutoSize_ = true;
        // The right edge or the centre stays where it was.
        if (Alignment() == TAlignment::taRightJustify) {
            SetLeft(Left() + (Width() - w));
        } else if (Alignment() == TAlignment::taCenter) {
            SetLeft(Left() + (Width() - w) / 2);
        }
        SetWidth(w);
        if (Height() < LineHeight()) {
            SetHeight(LineHeight());
        }
        inAutoSize_ = false;
    }
}

void TRptCustomLabel::BeforePrint() {
    TRptPrintable::BeforePrint();
    SetCaption(caption_);
}

void TRptCustomLabel::Print(int ofsX, int ofsY) {
    printText(ofsX, ofsY);
}

void TRptCustomLabel::printText(int ofsX, int ofsY) {
    if (!ShouldPrint() || RptPrinter == nullptr) {
        return;
    }
    TRptPrinter& p = *RptPrinter;
    TCanvas& c = p.Canvas();
    c.Font = Font;
    const double lh = c.TextHeight("W") / p.YFactor;

    const std::string working = PrintCaption;
    if (!PrintCaption.empty() && OnPrint) {
        std::string value = PrintCaption;
        OnPrint(*this, value);
        if (value != PrintCaption) {
            PrintCaption = value;
        }
    }
    FormatLines();
    // Fill and frame use the place formatting left the control at.
    double x = ofsX + Size.NativeLeft;
    double y = ofsY + Size.NativeTop;
    const double width = Size.NativeWidth;
    const double height = Size.NativeHeight;
    const double frameX = x;
    const double frameY = y;
    const auto fill = [&](double top, double bottom) {
        c.Brush.Style = TBrushStyle::bsSolid;
        c.Brush.Color = Color;
        c.FillRect({p.XPos(x), p.YPos(top), p.XPos(x + width), p.YPos(bottom)});
    };
    if (!Transparent) {
        fill(y, y + height);
    }
    if (Frame.HasSide()) {
        if (Frame.DrawTop) {
            y += Frame.NativeWidth();
        }
        if (Frame.DrawLeft) {
            x += Frame.NativeWidth();
        }
    }
    double limit = y + height + 1;
    double cy = y;
    double startX = x;
    c.Brush.Style = TBrushStyle::bsClear;
    switch (Alignment()) {
    case TAlignment::taLeftJustify:
        c.TextAlign = platform::gfx::TA_LEFT | platform::gfx::TA_TOP;
        break;
    case TAlignment::taRightJustify:
        c.TextAlign = platform::gfx::TA_RIGHT | platform::gfx::TA_TOP;
        startX += width;
        break;
    case TAlignment::taCenter:
        c.TextAlign = platform::gfx::TA_CENTER | platform::gfx::TA_TOP;
        startX += width / 2;
        break;
    }
    const bool continuing = !Complete;
    if (Complete) {
        LineIndex = 0;
    }
    auto* band = dynamic_cast<TRptCustomBand*>(Parent());
    bool expanded = false;
    bool printed = false;
    while (LineIndex < formatted_.size()) {
        if (cy + lh > limit) {
            TRect rect;
            if (!AutoStretch || band == nullptr || !band->ExpandBand(lh, rect, expanded)) {
                break;
            }
            const double oldLimit = limit;
            limit = y + height + 1 + band->ExtraHeight;
            if (!Transparent) {
                fill(oldLimit - 1, limit - 1);
                c.Brush.Style = TBrushStyle::bsClear;
            }
            if (cy + lh > limit) {
                break;
            }
        }
        const std::string& line = formatted_[LineIndex];
        if (!line.empty()) {
            c.TextOut(p.XPos(startX), p.YPos(cy), line);
        }
        cy += lh;
        ++LineIndex;
        printed = true;
    }
    // A control that could print nothing on a fresh page never would: it is done.
    Complete = LineIndex >= formatted_.size() || !AutoStretch || (continuing && !printed);
    c.TextAlign = platform::gfx::TA_LEFT | platform::gfx::TA_TOP;
    c.ResetClip();
    PrintCaption = working;
    PrintFrame(frameX, frameY, width, limit - 1 - frameY);
}

// ---- memo --------------------------------------------------------------------------------------

double TRptMemo::GetExpectedHeight() {
    FormatLines();
    int lh = 0;
    if (ParentReport != nullptr) {
        lh = ParentReport->TextHeight(Font, "W") * int(Size.Zoom) / 100;
    } else {
        TCanvas& c = ownCanvas();
        c.Font = Font;
        lh = c.TextHeight("W");
    }
    return double(lh) * double(FormattedLines().size());
}

void TRptMemo::Print(int ofsX, int ofsY) {
    PrintCaption.clear();
    printText(ofsX, ofsY);
}

// ---- expression --------------------------------------------------------------------------------

namespace {

// A "%m" mask: the value as money (two decimals with thousand separators) where "%m" stands;
// "%%" is a percent sign. The project's own formatter writes the number, never printf.
std::string moneyMask(std::string_view mask, double value) {
    const std::string money = RptFormatFloat("#,##0.00", value).value_or(RptFloatToText(value));
    std::string out;
    for (std::size_t i = 0; i < mask.size(); ++i) {
        if (mask[i] == '%' && i + 1 < mask.size() && (mask[i + 1] == 'm' || mask[i + 1] == 'M')) {
            out += money;
            ++i;
        } else if (mask[i] == '%' && i + 1 < mask.size() && mask[i + 1] == '%') {
            out += '%';
            ++i;
        } else {
            out += mask[i];
        }
    }
    return out;
}

} // namespace

TRptExpr::TRptExpr() {
    SetExpression("");
}

TRptExpr::~TRptExpr() {
    if (registered_ != nullptr && clientIndex_ < registered_->Clients.size()) {
        registered_->Clients[clientIndex_] = nullptr;
    }
}

void TRptExpr::SetExpression(std::string expression) {
    expression_ = std::move(expression);
    SetCaption(expression_.empty() ? "(" + std::string(RptText(65020)) + ")" : expression_);
}

void TRptExpr::SetMask(std::string mask) {
    mask_ = std::move(mask);
    SetExpression(expression_);
}

void TRptExpr::BeforePrint() {
    TRptCustomLabel::BeforePrint();
    evaluator_.DataSets.clear();
    registered_ = nullptr;
    if (ParentReport != nullptr) {
        for (TRptDataSet* ds : ParentReport->OwnerDataSets) {
            evaluator_.DataSets.push_back(ds);
        }
        if (auto* folio = dynamic_cast<TFolioReport*>(ParentReport);
            folio != nullptr && folio->DataSet != nullptr) {
            evaluator_.DataSets.push_back(folio->DataSet);
        }
        evaluator_.SetEnvironment(&ParentReport->Functions);
    }
    evaluator_.Prepare(expression_);
    TRptCustomController* controller = nullptr;
    if (auto* band = dynamic_cast<TRptControllerBand*>(Master)) {
        controller = &band->Controller();
    } else if (ParentReport != nullptr && (Master != nullptr || evaluator_.HasAggregate())) {
        controller = &ParentReport->Controller();
    }
    if (controller != nullptr) {
        // The controller's client list is cleared by its prepare, which ran before this.
        registered_ = controller;
        clientIndex_ = controller->Clients.size();
        controller->Clients.push_back(
            [this](TRptCustomController&, int operation) { MasterNotification(operation); });
    }
    evaluator_.Reset();
}

void TRptExpr::MasterNotification(int operation) {
    if (operation == 0 && evaluator_.Prepared()) {
        evaluator_.AggregateStep();
    }
}

std::string TRptExpr::ValueText() {
    const TRptEvResult v =
        evaluator_.Prepared() ? evaluator_.Value() : evaluator_.Calculate(expression_);
    switch (v.Kind()) {
    case rtInteger:
    case rtFloat: {
        const double d = v.AsNumber();
        if (v.Kind() == rtFloat && mask_.find("%m") != std::string::npos) {
            return moneyMask(mask_, d);
        }
        return RptFormatFloat(mask_, d).value_or(RptFloatToText(d));
    }
    case rtString:
        return v.AsString();
    case rtBoolean:
        return v.AsBoolean() ? "True" : "False";
    case rtError:
        break;
    }
    return v.ErrorMessage();
}

void TRptExpr::Print(int ofsX, int ofsY) {
    if (!ShouldPrint()) {
        return;
    }
    PrintCaption = ValueText();
    printText(ofsX, ofsY);
    if (ResetAfterPrint) {
        evaluator_.Reset();
    }
}

void TRptExpr::AfterPrint() {
    TRptCustomLabel::AfterPrint();
    if (registered_ != nullptr && clientIndex_ < registered_->Clients.size()) {
        registered_->Clients[clientIndex_] = nullptr;
    }
    registered_ = nullptr;
    evaluator_.Unprepare();
    SetExpression(expression_);
}

// ---- shape -------------------------------------------------------------------------------------

TRptShape::TRptShape() {
    Size.NativeWidth = Size.PixelsToNative(65);
    Size.NativeHeight = Size.PixelsToNative(65);
}

void TRptShape::Paint(TCanvas& canvas) {
    TRptPrintable::Paint(canvas);
    canvas.Pen = Pen;
    canvas.Brush = Brush;
    const int w = Width();
    const int h = Height();
    const auto line = [&](int x0, int y0, int x1, int y1) {
        canvas.MoveTo(x0, y0);
        canvas.LineTo(x1, y1);
    };
    switch (Shape) {
    case TRptShapeType::rpsRectangle:
        canvas.Rectangle(0, 0, w, h);
        break;
    case TRptShapeType::rpsCircle:
        canvas.Ellipse(0, 0, w, h);
        break;
    case TRptShapeType::rpsVertLine:
        line(w / 2, 0, w / 2, h);
        break;
    case TRptShapeType::rpsHorLine:
        line(0, h / 2, w, h / 2);
        break;
    case TRptShapeType::rpsTopAndBottom:
        line(0, 0, w, 0);
        line(0, h - 1, w, h - 1);
        break;
    case TRptShapeType::rpsRightAndLeft:
        line(0, 0, 0, h);
        line(w - 1, 0, w - 1, h);
        break;
    case TRptShapeType::rpsRoundRect: {
        const int d = RptRound(w * double(RoundFactor));
        canvas.RoundRect(0, 0, w, h, d, d);
        break;
    }
    }
}

void TRptShape::Print(int ofsX, int ofsY) {
    if (!ShouldPrint() || RptPrinter == nullptr) {
        return;
    }
    TRptPrinter& p = *RptPrinter;
    TCanvas& c = p.Canvas();
    c.Brush = Brush;
    c.Pen = Pen;
    const double l = ofsX + Size.NativeLeft;
    const double t = ofsY + Size.NativeTop;
    const double w = Size.NativeWidth;
    const double h = Size.NativeHeight;
    const auto line = [&](int x0, int y0, int x1, int y1) {
        c.MoveTo(x0, y0);
        c.LineTo(x1, y1);
    };
    switch (Shape) {
    case TRptShapeType::rpsRectangle:
        c.Rectangle(p.XPos(l), p.YPos(t), p.XPos(l + w), p.YPos(t + h));
        break;
    case TRptShapeType::rpsCircle:
        c.Ellipse(p.XPos(l), p.YPos(t), p.XPos(l + w), p.YPos(t + h));
        break;
    case TRptShapeType::rpsVertLine:
        line(p.XPos(l + w / 2), p.YPos(t), p.XPos(l + w / 2), p.YPos(t + h));
        break;
    case TRptShapeType::rpsHorLine:
        line(p.XPos(l), p.YPos(t + h / 2), p.XPos(l + w), p.YPos(t + h / 2));
        break;
    case TRptShapeType::rpsTopAndBottom:
        line(p.XPos(l), p.YPos(t), p.XPos(l + w), p.YPos(t));
        line(p.XPos(l), p.YPos(t + h), p.XPos(l + w), p.YPos(t + h));
        break;
    case TRptShapeType::rpsRightAndLeft:
        line(p.XPos(l), p.YPos(t), p.XPos(l), p.YPos(t + h));
        line(p.XPos(l + w), p.YPos(t), p.XPos(l + w), p.YPos(t + h));
        break;
    case TRptShapeType::rpsRoundRect: {
        // Corners scale with the device like the rest of the shape.
        const int d = RptRound(p.XSize(w) * double(RoundFactor));
        c.RoundRect(p.XPos(l), p.YPos(t), p.XPos(l + w), p.YPos(t + h), d, d);
        break;
    }
    }
}

// ---- image -------------------------------------------------------------------------------------

TRptImage::TRptImage() {
    Size.NativeWidth = Size.PixelsToNative(105);
    Size.NativeHeight = Size.PixelsToNative(105);
}

void TRptImage::SetAutoSize(bool v) {
    if (v != autoSize_) {
        autoSize_ = v;
        PictureChanged();
    }
}

void TRptImage::PictureChanged() {
    if (autoSize_ && Picture.Bitmap && Picture.Bitmap->Width() > 0 &&
        Picture.Bitmap->Height() > 0) {
        SetBounds(Left(), Top(), Picture.Bitmap->Width(), Picture.Bitmap->Height());
    }
}

void TRptImage::SetPicture(const platform::gfx::TBitmap& bitmap) {
    Picture.OtherGraphic = false;
    Picture.Bitmap = std::make_unique<platform::gfx::TBitmap>(bitmap);
    PictureChanged();
}

platform::gfx::TBitmap* TRptImage::PictureBitmap() {
    if (Picture.OtherGraphic) {
        return nullptr;
    }
    if (!Picture.Bitmap) {
        Picture.Bitmap = std::make_unique<platform::gfx::TBitmap>(Width(), Height());
        PictureChanged();
    }
    return Picture.Bitmap.get();
}

TCanvas* TRptImage::Canvas() {
    platform::gfx::TBitmap* b = PictureBitmap();
    return b != nullptr ? &b->Canvas() : nullptr;
}

void TRptImage::Print(int ofsX, int ofsY) {
    if (!ShouldPrint() || RptPrinter == nullptr) {
        return;
    }
    TRptPrinter& p = *RptPrinter;
    const double l = ofsX + Size.NativeLeft;
    const double t = ofsY + Size.NativeTop;
    TRect d{p.XPos(l), p.YPos(t), p.XPos(l + Size.NativeWidth), p.YPos(t + Size.NativeHeight)};
    if (Picture.Bitmap && !Picture.Bitmap->Empty()) {
        TCanvas& c = p.Canvas();
        const platform::gfx::TBitmap& bmp = *Picture.Bitmap;
        if (Stretch) {
            c.StretchDraw(d, bmp);
        } else {
            c.SetClipRect(d);
            // The picture keeps its size as pixels of the reference device.
            const int w = RptRound(bmp.Width() / kRptScreenPpi * 254 * p.XFactor);
            const int h = RptRound(bmp.Height() / kRptScreenPpi * 254 * p.YFactor);
            d.Right = d.Left + w;
            d.Bottom = d.Top + h;
            if (Center) {
                d = platform::gfx::OffsetRect(d, (p.XSize(Size.NativeWidth) - w) / 2,
                                              (p.YSize(Size.NativeHeight) - h) / 2);
            }
            c.StretchDraw(d, bmp);
            c.ResetClip();
        }
    }
    TRptPrintable::Print(ofsX, ofsY);
}

void TRptImage::PrintBackground() {
    if (RptPrinter == nullptr || !Picture.Bitmap || Picture.Bitmap->Empty()) {
        return;
    }
    TRptPrinter& p = *RptPrinter;
    const double l = Size.NativeLeft;
    const double t = Size.NativeTop;
    p.Canvas().StretchDraw(
        {p.XPos(l), p.YPos(t), p.XPos(l + Size.NativeWidth), p.YPos(t + Size.NativeHeight)},
        *Picture.Bitmap);
}
