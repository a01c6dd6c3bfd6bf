// The settings forms of the label and expression controls: text (or expression), width, height,
// auto size, stretch and transparency, and for expressions the format mask and the builder. A
// form is filled from the control's settings and, on OK, gives them back; a width or height that
// is not a number gives nothing back at all, so a control is never left half changed.
#pragma once

#include "reports/engine/RptEval.h"

#include <QDialog>

#include <memory>
#include <optional>
#include <string>

namespace Ui {
class TRptLabelEditorForm;
class TRptExprEditorForm;
} // namespace Ui

// What the forms show of a control (texts in Windows-1251, sizes in the report's units).
struct TRptLabelSettings {
    std::string Text;
    double Width = 0;
    double Height = 0;
    bool AutoSize = false;
    bool AutoStretch = false;
    bool Transparent = false;
    std::string Mask; // expressions only
};

// A size as the forms show it, and read back; nothing for a text that is not a number.
std::string SizeText(double size);
std::optional<double> SizeOfText(const std::string& text);

class TRptLabelEditorForm : public QDialog {
public:
    explicit TRptLabelEditorForm(QWidget* parent = nullptr);
    ~TRptLabelEditorForm() override;
    Ui::TRptLabelEditorForm& Form() { return *ui_; }

    void Fill(const TRptLabelSettings& settings);
    // Both sizes are read before anything is given back: a size that is not a number raises
    // the platform's conversion error and `settings` stays as it was.
    void Apply(TRptLabelSettings& settings) const;

private:
    std::unique_ptr<Ui::TRptLabelEditorForm> ui_;
};

class TRptExprEditorForm : public QDialog {
public:
    // The environment the builder offers (not owned; null: the global one).
    explicit TRptExprEditorForm(TRptEvEnvironment* environment, QWidget* parent = nullptr);
    ~TRptExprEditorForm() override;
    Ui::TRptExprEditorForm& Form() { return *ui_; }

    void Fill(const TRptLabelSettings& settings);
    void Apply(TRptLabelSettings& settings) const;
    // Opens the builder on the expression; an accepted one replaces it.
    void ShowExprBuilderClick();

private:
    std::unique_ptr<Ui::TRptExprEditorForm> ui_;
    TRptEvEnvironment* environment_;
};

// Shows the form modally over the settings; true when OK was chosen and the settings taken.
bool EditLabelSettings(TRptLabelSettings& settings, QWidget* parent = nullptr);
bool EditExprSettings(TRptLabelSettings& settings, TRptEvEnvironment* environment,
                      QWidget* parent = nullptr);
