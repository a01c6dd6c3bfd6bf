#include "reports/preview/RptEditors.h"

#include "reports/engine/RptControls.h"
#include "reports/preview/RptLabelEditor.h"

namespace {

TRptLabelSettings settingsOf(const TRptCustomLabel& label) {
    TRptLabelSettings s;
    s.Text = label.Caption();
    s.Width = label.Size.Width();
    s.Height = label.Size.Height();
    s.AutoSize = label.AutoSize;
    s.AutoStretch = label.AutoStretch;
    s.Transparent = label.Transparent;
    return s;
}

void applySettings(TRptCustomLabel& label, const TRptLabelSettings& s) {
    label.Size.SetWidth(s.Width);
    label.Size.SetHeight(s.Height);
    label.AutoSize = s.AutoSize;
    label.AutoStretch = s.AutoStretch;
    label.Transparent = s.Transparent;
}

} // namespace

TRptLabelEditor::TRptLabelEditor(TRptCustomLabel* label) : TRptPrintableEditor(label) {}

TRptCustomLabel& TRptLabelEditor::label() const { return static_cast<TRptCustomLabel&>(*control_); }

platform::gfx::TColor TRptLabelEditor::GetColor() const { return label().Color; }
platform::gfx::TFont TRptLabelEditor::GetFont() const { return label().Font; }
std::string TRptLabelEditor::GetText() const { return label().Caption(); }
TAlignment TRptLabelEditor::GetAlignment() const { return label().Alignment(); }
void TRptLabelEditor::SetAlignment(TAlignment alignment) { label().SetAlignment(alignment); }
void TRptLabelEditor::SetColor(platform::gfx::TColor color) { label().Color = color; }
void TRptLabelEditor::SetFont(const platform::gfx::TFont& font) { label().Font = font; }
void TRptLabelEditor::SetText(const std::string& text) { label().SetCaption(text); }

bool TRptLabelEditor::Edit(QWidget* parent) {
    TRptLabelSettings s = settingsOf(label());
    if (!EditLabelSettings(s, parent)) {
        return false;
    }
    SetText(s.Text);
    applySettings(label(), s);
    return true;
}

TRptExprEditor::TRptExprEditor(TRptExpr* expr, TRptEvEnvironment* environment)
    : TRptLabelEditor(expr), environment_(environment) {}

TRptExpr& TRptExprEditor::expr() const { return static_cast<TRptExpr&>(*control_); }

std::string TRptExprEditor::GetText() const { return expr().Expression(); }
void TRptExprEditor::SetText(const std::string& text) { expr().SetExpression(text); }

bool TRptExprEditor::Edit(QWidget* parent) {
    TRptLabelSettings s = settingsOf(expr());
    s.Text = expr().Expression();
    s.Mask = expr().Mask();
    if (!EditExprSettings(s, environment_, parent)) {
        return false;
    }
    SetText(s.Text);
    applySettings(expr(), s);
    expr().SetMask(s.Mask);
    return true;
}
