#include "reports/preview/RptLabelEditor.h"

#include "platform/text/Cp1251.h"
#include "platform/text/Numbers.h"
#include "reports/engine/RptFormat.h"
#include "reports/preview/RptExpressionBuilder.h"
#include "ui_RptExprEditorForm.h"
#include "ui_RptLabelEditorForm.h"

#include <QRegularExpressionValidator>

namespace {

QString fromCp1251(const std::string& s) {
    return QString::fromStdString(platform::text::cp1251ToUtf8(s));
}

std::string toCp1251(const QString& s) {
    return platform::text::utf8ToCp1251(s.toStdString());
}

// Up to four whole digits as the size fields always took, and a fraction after the decimal
// separator: sizes in millimetres or inches are rarely whole, and a field of digits only would
// turn 25.4 into 254.
void limitSizeField(QLineEdit* edit) {
    const QString separator = QRegularExpression::escape(
        QString(QChar(platform::text::formatSettings().decimalSeparator)));
    edit->setValidator(new QRegularExpressionValidator(
        QRegularExpression("\\d{0,4}(" + separator + "\\d*)?"), edit));
}

template <typename U> void fillForm(U& ui, const TRptLabelSettings& s) {
    ui.Value->setText(fromCp1251(s.Text));
    ui.Width->setText(QString::fromStdString(SizeText(s.Width)));
    ui.Height->setText(QString::fromStdString(SizeText(s.Height)));
    ui.AutoSize->setChecked(s.AutoSize);
    ui.Stretch->setChecked(s.AutoStretch);
    ui.Transparent->setChecked(s.Transparent);
}

template <typename U> TRptLabelSettings readForm(const U& ui, const TRptLabelSettings& s) {
    const std::string width = ui.Width->text().toStdString();
    const std::string height = ui.Height->text().toStdString();
    const auto w = SizeOfText(width);
    const auto h = SizeOfText(height);
    if (!w || !h) {
        throw platform::text::ConversionError("'" + (w ? height : width) +
                                              "' is not a valid floating point value");
    }
    TRptLabelSettings out = s;
    out.Text = toCp1251(ui.Value->text());
    out.Width = *w;
    out.Height = *h;
    out.AutoSize = ui.AutoSize->isChecked();
    out.AutoStretch = ui.Stretch->isChecked();
    out.Transparent = ui.Transparent->isChecked();
    return out;
}

} // namespace

std::string SizeText(double size) {
    return RptFloatToText(size);
}

std::optional<double> SizeOfText(const std::string& text) {
    return platform::text::parseReal(text, platform::text::formatSettings().decimalSeparator);
}

TRptLabelEditorForm::TRptLabelEditorForm(QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::TRptLabelEditorForm>()) {
    ui_->setupUi(this);
    limitSizeField(ui_->Width);
    limitSizeField(ui_->Height);
    connect(ui_->OkButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui_->CancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

TRptLabelEditorForm::~TRptLabelEditorForm() = default;

void TRptLabelEditorForm::Fill(const TRptLabelSettings& settings) {
    fillForm(*ui_, settings);
}

void TRptLabelEditorForm::Apply(TRptLabelSettings& settings) const {
    settings = readForm(*ui_, settings);
}

TRptExprEditorForm::TRptExprEditorForm(TRptEvEnvironment* environment, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::TRptExprEditorForm>()), environment_(environment) {
    ui_->setupUi(this);
    limitSizeField(ui_->Width);
    limitSizeField(ui_->Height);
    connect(ui_->OkButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui_->CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui_->ShowExprBuilder, &QPushButton::clicked, this, [this] { ShowExprBuilderClick(); });
}

TRptExprEditorForm::~TRptExprEditorForm() = default;

void TRptExprEditorForm::Fill(const TRptLabelSettings& settings) {
    fillForm(*ui_, settings);
    ui_->Mask->setText(fromCp1251(settings.Mask));
}

void TRptExprEditorForm::Apply(TRptLabelSettings& settings) const {
    TRptLabelSettings out = readForm(*ui_, settings);
    out.Mask = toCp1251(ui_->Mask->text());
    settings = out;
}

void TRptExprEditorForm::ShowExprBuilderClick() {
    std::string expression = toCp1251(ui_->Value->text());
    if (GetExpression(std::string(), expression, nullptr, environment_)) {
        ui_->Value->setText(fromCp1251(expression));
    }
}

bool EditLabelSettings(TRptLabelSettings& settings, QWidget* parent) {
    TRptLabelEditorForm form(parent);
    form.Fill(settings);
    if (form.exec() != QDialog::Accepted) {
        return false;
    }
    form.Apply(settings);
    return true;
}

bool EditExprSettings(TRptLabelSettings& settings, TRptEvEnvironment* environment,
                      QWidget* parent) {
    TRptExprEditorForm form(environment, parent);
    form.Fill(settings);
    if (form.exec() != QDialog::Accepted) {
        return false;
    }
    form.Apply(settings);
    return true;
}
