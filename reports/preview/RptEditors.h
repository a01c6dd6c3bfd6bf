// Design-time editors of the printable controls: generic access to a control's colour, font,
// text and alignment, a name prefix, a description, and a small modal settings form. The
// program's own windows never open them; a design surface would.
#pragma once

#include "platform/gfx/Color.h"
#include "platform/gfx/Fonts.h"
#include "reports/engine/RptPrintable.h"

#include <string>

class QWidget;
class TRptCustomLabel;
class TRptEvEnvironment;
class TRptExpr;
class TRptLabel;

// The editor every printable names: it offers nothing.
class TRptPrintableEditor {
public:
    explicit TRptPrintableEditor(TRptPrintable* control) : control_(control) {}
    virtual ~TRptPrintableEditor() = default;

    TRptPrintable* Control() const { return control_; }

    virtual platform::gfx::TColor GetColor() const { return platform::gfx::clWhite; }
    virtual platform::gfx::TFont GetFont() const { return {}; }
    virtual std::string ControlClass() const { return "TRptPrintable"; }
    virtual std::string GetText() const { return {}; }
    virtual std::string NamePrefix() const { return {}; }
    virtual std::string Description() const { return {}; }
    virtual TAlignment GetAlignment() const { return TAlignment::taLeftJustify; }
    virtual void SetAlignment(TAlignment) {}
    virtual void SetColor(platform::gfx::TColor) {}
    virtual void SetFont(const platform::gfx::TFont&) {}
    virtual void SetText(const std::string&) {}
    // Shows the settings form; true when OK was chosen.
    virtual bool Edit(QWidget* /*parent*/) { return false; }

protected:
    TRptPrintable* control_;
};

class TRptLabelEditor : public TRptPrintableEditor {
public:
    explicit TRptLabelEditor(TRptCustomLabel* label);

    platform::gfx::TColor GetColor() const override;
    platform::gfx::TFont GetFont() const override;
    std::string ControlClass() const override { return "TRptLabel"; }
    std::string GetText() const override;
    std::string NamePrefix() const override { return "RptLABEL"; }
    std::string Description() const override { return "Text Control"; }
    TAlignment GetAlignment() const override;
    void SetAlignment(TAlignment alignment) override;
    void SetColor(platform::gfx::TColor color) override;
    void SetFont(const platform::gfx::TFont& font) override;
    void SetText(const std::string& text) override;
    // A width or height that is not a number raises the platform's conversion error and changes
    // nothing.
    bool Edit(QWidget* parent) override;

protected:
    TRptCustomLabel& label() const;
};

class TRptExprEditor : public TRptLabelEditor {
public:
    // environment: what the expression builder offers (not owned; null: the global one).
    TRptExprEditor(TRptExpr* expr, TRptEvEnvironment* environment = nullptr);

    std::string ControlClass() const override { return "TRptExpr"; }
    std::string GetText() const override;
    std::string NamePrefix() const override { return "RptEXPR"; }
    std::string Description() const override { return "Expression Control"; }
    void SetText(const std::string& text) override;
    bool Edit(QWidget* parent) override;

private:
    TRptExpr& expr() const;
    TRptEvEnvironment* environment_;
};
