// The controls that put ink on a report page: labels (one caption), memos (a list of lines),
// shapes (lines, rectangles, ellipses) and images (a picture; the record pictures are drawn onto
// it by the records' report drawing). Labels break their text into lines that fit the control,
// grow with AutoSize, and with AutoStretch grow their band and continue on the next page.
#pragma once

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/ReportImageTarget.h"
#include "reports/engine/RptEval.h"
#include "reports/engine/RptPrintable.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TRptCustomLabel : public TRptPrintable {
public:
    TRptCustomLabel();

    const std::string& Caption() const { return caption_; }
    void SetCaption(std::string caption);
    bool AutoSize = true;
    bool AutoStretch = false;
    bool WordWrap = true;
    bool Transparent = false;
    platform::gfx::TFont Font;
    bool ParentFont = true;
    std::function<void(TRptCustomLabel& sender, std::string& value)> OnPrint;

    // The next formatted line to print, carried across pages.
    std::size_t LineIndex = 0;
    // The text actually formatted: the caption, or a value put in its place while printing.
    std::string PrintCaption;
    const std::vector<std::string>& FormattedLines() const { return formatted_; }
    void FormatLines();

    // Width of a text and height of a line in pixels, measured as the label measures.
    int MeasureText(std::string_view text);
    int LineHeight();

    void BeforePrint() override;
    void Print(int ofsX, int ofsY) override;

protected:
    virtual bool UseCaption() const { return true; }
    void SetParent(TRptBasePanel* panel) override;
    void printText(int ofsX, int ofsY);

    std::vector<std::string> lines_;

private:
    void formatSource(std::string text);
    void formatLine(const std::string& text);

    std::string caption_;
    std::vector<std::string> formatted_;
    bool inAutoSize_ = false;
};

class TRptLabel : public TRptCustomLabel {};

class TRptMemo : public TRptCustomLabel {
public:
    const std::vector<std::string>& Lines() const { return lines_; }
    void SetLines(std::vector<std::string> lines) { lines_ = std::move(lines); }
    // Pixels the formatted lines need.
    double GetExpectedHeight();
    void Print(int ofsX, int ofsY) override;

protected:
    bool UseCaption() const override { return false; }
};

class TRptCustomController;

// A label showing the value of an expression over the report's data and environment; its
// aggregates take in a record each time its master's controller steps.
class TRptExpr : public TRptCustomLabel {
public:
    TRptExpr();
    ~TRptExpr() override;

    const std::string& Expression() const { return expression_; }
    void SetExpression(std::string expression);
    const std::string& Mask() const { return mask_; }
    void SetMask(std::string mask);
    // The report or controller band whose data steps drive the aggregates; none: the report.
    TRptComponent* Master = nullptr;
    bool ResetAfterPrint = false;

    void BeforePrint() override;
    void Print(int ofsX, int ofsY) override;
    void AfterPrint() override;
    // A data step of the master (operation 0: the next record).
    void MasterNotification(int operation);
    // The value as text: masks for numbers, "True"/"False", strings and errors as they are.
    std::string ValueText();

private:
    TRptEvaluator evaluator_;
    std::string expression_;
    std::string mask_;
    TRptCustomController* registered_ = nullptr;
    std::size_t clientIndex_ = 0;
};

enum class TRptShapeType {
    rpsRectangle,
    rpsCircle,
    rpsVertLine,
    rpsHorLine,
    rpsTopAndBottom,
    rpsRightAndLeft,
    rpsRoundRect
};

class TRptShape : public TRptPrintable {
public:
    TRptShape();
    TRptShapeType Shape = TRptShapeType::rpsRectangle;
    platform::gfx::TPen Pen;
    platform::gfx::TBrush Brush;
    float RoundFactor = 0;
    int VertAdjust = 0;

    void Paint(platform::gfx::TCanvas& canvas) override;
    void Print(int ofsX, int ofsY) override;
};

// What a picture holds: nothing, a bitmap, or a graphic of another kind (which the records
// cannot draw on).
struct TRptPicture {
    std::unique_ptr<platform::gfx::TBitmap> Bitmap;
    bool OtherGraphic = false;
    bool Empty() const { return !Bitmap && !OtherGraphic; }
};

class TRptImage : public TRptPrintable, public platform::gfx::ReportImageTarget {
public:
    TRptImage();

    TRptPicture Picture;
    bool Center = false;
    bool Stretch = false;
    bool Visible = true;
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool v);
    // After the picture changed: AutoSize takes the picture's size.
    void PictureChanged();
    void SetPicture(const platform::gfx::TBitmap& bitmap);

    // The canvas of the picture's bitmap, made at Width x Height when the picture is empty;
    // nullptr when it holds another kind of graphic.
    platform::gfx::TCanvas* Canvas();

    int Width() const override { return TRptPrintable::Width(); }
    int Height() const override { return TRptPrintable::Height(); }
    platform::gfx::TBitmap* PictureBitmap() override;

    void Print(int ofsX, int ofsY) override;
    // The report's background: the picture stretched over the control's own rectangle.
    void PrintBackground();

private:
    bool autoSize_ = false;
};
