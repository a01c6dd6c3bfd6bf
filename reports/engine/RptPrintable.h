// The base of every control a band prints: its place in report units, its frame, its alignment
// inside the band, the report and printer object it prints for, and the protocol the band
// drives: before-print, Print at the band's position, after-print, and Complete for a control
// that continues on the next page.
#pragma once

#include "reports/engine/RptBasePanel.h"
#include "reports/engine/RptUnits.h"

class TRptPrinter;

enum class TAlignment { taLeftJustify, taRightJustify, taCenter };

class TRptPrintable : public TRptComponent {
public:
    TRptPrintable();
    ~TRptPrintable() override;
    TRptPrintable(const TRptPrintable&) = delete;
    TRptPrintable& operator=(const TRptPrintable&) = delete;

    bool Enabled = true;
    TRptFrame Frame;
    TRptPrintableSize Size;
    platform::gfx::TColor Color = platform::gfx::clWhite;
    bool IsPrinting = false;
    // False while the control still has output left for the next page.
    bool Complete = true;
    TCustomFolioReport* ParentReport = nullptr;
    // The report's printer object, taken at before-print.
    TRptPrinter* RptPrinter = nullptr;

    TAlignment Alignment() const { return alignment_; }
    virtual void SetAlignment(TAlignment alignment);
    bool AlignToBand() const { return alignToBand_; }
    void SetAlignToBand(bool align);

    TRptBasePanel* Parent() const { return parent_; }
    // Moves the control onto another panel, keeping its position.
    void MoveTo(TRptBasePanel& panel);

    // The control's bounds in pixels of the reference device at its zoom.
    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    void SetBounds(int left, int top, int width, int height);
    void SetLeft(int v) { SetBounds(v, Top(), Width(), Height()); }
    void SetTop(int v) { SetBounds(Left(), v, Width(), Height()); }
    void SetWidth(int v) { SetBounds(Left(), Top(), v, Height()); }
    void SetHeight(int v) { SetBounds(Left(), Top(), Width(), v); }

    virtual bool ShouldPrint() const { return Enabled; }
    virtual void BeforePrint();
    // Draws the control on the printer object's canvas with the band at (ofsX, ofsY), in tenths
    // of a millimetre. The base draws the frame.
    virtual void Print(int ofsX, int ofsY);
    virtual void AfterPrint();
    // Design view: the frame, or corner marks when the frame has no side.
    virtual void Paint(platform::gfx::TCanvas& canvas);
    // Re-aligns in the band when AlignToBand is set.
    void AlignInBand();

protected:
    friend class TRptBasePanel;
    // Called by the panel the control is placed on.
    virtual void SetParent(TRptBasePanel* panel);
    void ClearParent() { parent_ = nullptr; }
    // Called after the bounds changed.
    virtual void BoundsChanged() {}
    // The frame around (x, y, w, h) in report units on the printer canvas.
    void PrintFrame(double x, double y, double w, double h);

private:
    TRptBasePanel* parent_ = nullptr;
    TAlignment alignment_ = TAlignment::taLeftJustify;
    bool alignToBand_ = false;
    bool aligning_ = false;
};
