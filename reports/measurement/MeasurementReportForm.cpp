#include "reports/measurement/MeasurementReportForm.h"

#include "config/BaseConfigObjectConstantsUnit.h"
#include "config/BaseConfigObjectUnit.h"
#include "config/LocalStringsUnit.h"
#include "platform/text/Cp1251.h"
#include "platform/text/Numbers.h"
#include "reports/engine/FolioReport.h"
#include "reports/engine/RptBands.h"
#include "reports/engine/RptControls.h"
#include "reports/preview/RptStandardPreview.h"

#include <QTabWidget>
#include <QToolButton>

#include <string>

namespace {

// The table of the configuration's parameters every report prints, in its order on the page.
struct TConfigRow {
    const char* captionName;
    int caption;
    const char* valueName;
    std::string (*value)(const TBaseConfigCell&);
};

std::string decimal(long long v) {
    return std::to_string(v);
}

const TConfigRow kConfigRows[] = {
    {"ConfigNameCaptionRptLabel", 170, "ConfigNameValueRptLabel",
     [](const TBaseConfigCell& c) { return c.ConfigName; }},
    {"ProbeTypeCaptionRptLabel", 171, "ProbeTypeValueRptLabel",
     [](const TBaseConfigCell& c) { return GetTxtVarValueString(c.ProbeType == 0 ? 22 : 23); }},
    {"ProbeFreqCaptionRptLabel", 172, "ProbeFreqValueRptLabel",
     [](const TBaseConfigCell& c) { return ProbeFrequencyString(c.ProbeFrequencyIndex); }},
    {"ProbeZeroOffsetCaptionRptLabel", 173, "ProbeZeroOffsetValueRptLabel",
     [](const TBaseConfigCell& c) { return decimal(c.ProbeDelay); }},
    {"USVelocityCaptionRptLabel", 174, "USVelocityValue",
     [](const TBaseConfigCell& c) { return decimal(c.Velocity); }},
    {"ScaleDimCaptionRptLabel", 175, "ScaleDimValueRptLabel",
     [](const TBaseConfigCell& c) {
         return GetTxtVarValueString(c.ScaleDimension == 0 ? 10 : 11);
     }},
    {"AttenuatorCaptionRptLabel", 176, "AttenuatorValueRptLabel",
     [](const TBaseConfigCell& c) { return decimal(c.AttenuatorCount1); }},
    {"MaxMKSRangeCaptionRptLabel", 178, "MaxMKSRangeValueRptLabel",
     [](const TBaseConfigCell& c) { return MaxMksRangeString(c.IndexMarkMks); }},
    {"PulseVoltageCaptionRptLabel", 179, "PulseVoltageValueRptLabel",
     [](const TBaseConfigCell& c) { return decimal(ZonderVoltage(c.ZonderVoltageIndex)); }},
    {"PulsePeriodsCaptionRptLabel", 180, "PulsePeriodsValueRptLabel",
     [](const TBaseConfigCell& c) { return ReportFixed(c.ZonderPeriods, 1); }},
    {"ZondingtFreqCaptionRptLabel", 181, "ZondingFreqValueRptLabel",
     [](const TBaseConfigCell& c) { return decimal(c.RefreshFrequency); }},
    {"FilterEnablingCaptionLabel", 182, "FilterEnablingValueLabel",
     [](const TBaseConfigCell& c) { return GetTxtVarValueString(c.FilterBandIndex != 0 ? 3 : 2); }},
    {"AveragingCaptionLabel", 183, "AveragingValueLabel",
     [](const TBaseConfigCell& c) { return decimal(Averager(c.AveragerIndex)); }},
};

// The table of labels: two columns of caption and value, one row every 18 pixels.
constexpr int kRowHeight = 18;
constexpr int kColumnLeft[2] = {8, 362};
constexpr int kCaptionWidth = 200;
constexpr int kValueOffset = 205;
constexpr int kValueWidth = 150;

} // namespace

TMeasurementReportForm::TMeasurementReportForm(int summaryHeight, int notesTop, int notesHeight)
    : report_(std::make_unique<TFolioReport>()),
      MainTitleRptBand(report_->AddBand<TRptBand>(TRptBandType::rbTitle)),
      MainReportRptBand(report_->AddBand<TRptBand>(TRptBandType::rbSummary)),
      ReportHeaderRptMemo(add<TRptMemo>(MainTitleRptBand, "ReportHeaderRptMemo")),
      ReportNotesRptMemo(add<TRptMemo>(MainReportRptBand, "ReportNotesRptMemo")) {
    TRptPage& page = report_->Page;
    page.SetUnits(TRptUnit::MM);
    page.SetOrientation(TRptOrientation::poPortrait);
    // A4 whatever the default printer's paper: the pictures are laid out for it.
    page.SetPaperSize(TRptPaperSize::A4);
    page.SetTopMargin(10);
    page.SetBottomMargin(10);
    page.SetLeftMargin(10);
    page.SetRightMargin(10);
    page.SetColumns(1);
    MainTitleRptBand.Name = "MainTitleRptBand";
    MainReportRptBand.Name = "MainReportRptBand";
    MainTitleRptBand.SetPixelHeight(75);
    MainReportRptBand.SetPixelHeight(summaryHeight);

    ReportHeaderRptMemo.AutoSize = false;
    ReportHeaderRptMemo.ParentFont = false;
    ReportHeaderRptMemo.Font.Name = "Arial";
    ReportHeaderRptMemo.Font.SetSize(11);
    ReportHeaderRptMemo.Font.Bold = true;
    ReportHeaderRptMemo.SetBounds(8, 4, 705, 57);
    TRptShape& rule = add<TRptShape>(MainTitleRptBand, "TitleRuleRptShape");
    rule.Pen.Color = platform::gfx::clBlack;
    rule.Brush.Color = platform::gfx::clBlack;
    rule.SetBounds(0, 68, 718, 3);

    ReportNotesRptMemo.AutoSize = false;
    ReportNotesRptMemo.SetBounds(8, notesTop, 705, notesHeight);
    report_->BeforePrint = [](TCustomFolioReport& r, bool&) { LocalizeStandardPreview(r); };
}

TMeasurementReportForm::~TMeasurementReportForm() = default;

void TMeasurementReportForm::Print() {
    report_->Print();
}

void TMeasurementReportForm::Preview() {
    report_->Preview();
}

template <class T> T& TMeasurementReportForm::add(TRptBasePanel& panel, const char* name) {
    T& control = panel.Add<T>();
    control.Name = name;
    named_[name] = &control;
    return control;
}

TRptPrintable* TMeasurementReportForm::FindControl(std::string_view name) const {
    const auto it = named_.find(name);
    return it != named_.end() ? it->second : nullptr;
}

TRptLabel* TMeasurementReportForm::Label(std::string_view name) const {
    return dynamic_cast<TRptLabel*>(FindControl(name));
}

TRptImage* TMeasurementReportForm::Image(std::string_view name) const {
    return dynamic_cast<TRptImage*>(FindControl(name));
}

TRptImage& TMeasurementReportForm::addImage(const char* name, int left, int top, int width,
                                            int height) {
    TRptImage& image = add<TRptImage>(MainReportRptBand, name);
    image.SetBounds(left, top, width, height);
    return image;
}

TRptShape& TMeasurementReportForm::addFrame(const char* name, int left, int top, int width,
                                            int height) {
    TRptShape& frame = add<TRptShape>(MainReportRptBand, name);
    frame.Brush.Style = platform::gfx::TBrushStyle::bsClear;
    frame.SetBounds(left, top, width, height);
    return frame;
}

void TMeasurementReportForm::addPair(const char* captionName, std::function<std::string()> caption,
                                     const char* valueName, int top, int row, int column) {
    const int x = kColumnLeft[column];
    const int y = top + row * kRowHeight;
    auto& captionLabel = add<TRptLabel>(MainReportRptBand, captionName);
    captionLabel.AutoSize = false;
    captionLabel.SetBounds(x, y, kCaptionWidth, kRowHeight);
    auto& valueLabel = add<TRptLabel>(MainReportRptBand, valueName);
    valueLabel.AutoSize = false;
    valueLabel.ParentFont = false;
    valueLabel.Font.Name = "Arial";
    valueLabel.Font.SetSize(10);
    valueLabel.Font.Bold = true;
    valueLabel.SetBounds(x + kValueOffset, y, kValueWidth, kRowHeight);
    captions_.emplace_back(&captionLabel, std::move(caption));
}

int TMeasurementReportForm::addConfigPairs(int top) {
    int row = 0;
    int column = 0;
    for (const TConfigRow& r : kConfigRows) {
        const int n = r.caption;
        addPair(
            r.captionName, [n] { return GetCaptionString(n); }, r.valueName, top, row, column);
        column = 1 - column;
        row += column == 0 ? 1 : 0;
    }
    return column == 0 ? row : row + 1;
}

void TMeasurementReportForm::fillConfigValues(const TBaseConfigCell& config) {
    for (const TConfigRow& r : kConfigRows) {
        setValue(r.valueName, r.value(config));
    }
}

void TMeasurementReportForm::setValue(const char* name, std::string text) {
    if (TRptLabel* label = Label(name)) {
        label->SetCaption(std::move(text));
    }
}

void TMeasurementReportForm::setImageHeight(TRptImage& image, int height) {
    image.SetHeight(height);
    if (image.Picture.Bitmap && image.Picture.Bitmap->Height() != height) {
        image.Picture.Bitmap->SetHeight(height);
    }
}

void TMeasurementReportForm::ApplyLocalizedStrings() {
    for (auto& [label, caption] : captions_) {
        label->SetCaption(caption());
    }
}

void TMeasurementReportForm::SetTexts(std::vector<std::string> header,
                                      std::vector<std::string> notes) {
    ReportHeaderRptMemo.SetLines(std::move(header));
    ReportNotesRptMemo.SetLines(std::move(notes));
}

// ---- shared helpers
// ------------------------------------------------------------------------------

std::string ReportFixed(double value, int decimals) {
    return platform::text::formatFixed(value, decimals,
                                       platform::text::formatSettings().decimalSeparator);
}

std::string ReportStepProduct(int count, double step) {
    return std::to_string(count) + " x " + ReportFixed(step / 1000.0, 2) + " = " +
           ReportFixed(count * step / 1000.0, 2);
}

void LocalizeStandardPreview(TCustomFolioReport& report) {
    TRptPrinter* printer = report.RptPrinter();
    TRptStandardPreview* w = printer != nullptr ? StandardPreviewOf(*printer) : nullptr;
    if (w == nullptr) {
        return;
    }
    const auto text = [](int n) {
        return QString::fromStdString(platform::text::cp1251ToUtf8(GetCaptionString(n)));
    };
    w->setWindowTitle(text(135));
    w->FindButton->hide();
    w->Tabs->setCurrentIndex(0);
    const int searchTab = w->Tabs->indexOf(w->TabSearchResult);
    if (searchTab >= 0) {
        w->Tabs->setTabVisible(searchTab, false);
    }
    w->Tabs->setTabText(0, text(136));
    static constexpr std::pair<int, int> kHints[] = {{1, 139},  {2, 140},  {3, 141},  {5, 142},
                                                     {6, 143},  {7, 144},  {8, 145},  {10, 146},
                                                     {13, 147}, {14, 148}, {16, 149}, {17, 150}};
    for (const auto& [index, caption] : kHints) {
        if (QToolButton* b = w->ToolBarControl(index)) {
            b->setToolTip(text(caption));
        }
    }
    if (QToolButton* close = w->ToolBarControl(19)) {
        close->setFixedWidth(60);
        close->setText(text(151));
        close->setToolTip(text(152));
    }
    w->SaveDialogTitle = GetCaptionString(137);
    w->OpenDialogTitle = GetCaptionString(138);
    // The go-to-page title keeps its "%d" as a text: the preview puts the page count in place.
    w->GotoPageTitleFormat = GetCaptionString(153);
    w->GotoPagePrompt = GetCaptionString(154);
    w->PageWord = GetCaptionString(155);
    w->OfWord = GetCaptionString(156);
    w->UpdateStatus();
}
