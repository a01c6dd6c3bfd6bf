// What the three measurement reports (A-scan, band, map) have in common: a one-page A4 report in
// millimetres with 10 mm margins, a title band with the operator's header and a rule, a summary
// band with the record's pictures, its measured values, the configuration it was taken under and
// the operator's notes. Each report is laid out in code and filled from one record; the layout is
// never shown, only printed or previewed.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// Only declared: the dialogs that include this header also include the display controls, whose
// alignment type has the same name as the report engine's.
class TBaseAScanCell;
class TBaseConfigCell;
class TCustomFolioReport;
class TFolioReport;
class TRptBand;
class TRptBasePanel;
class TRptImage;
class TRptLabel;
class TRptMemo;
class TRptPrintable;
class TRptShape;

class TMeasurementReportForm {
    // First: the bands and controls below are made on the report and listed by name.
    std::unique_ptr<TFolioReport> report_;
    std::map<std::string, TRptPrintable*, std::less<>> named_;
    std::vector<std::pair<TRptLabel*, std::function<std::string()>>> captions_;

public:
    TMeasurementReportForm(const TMeasurementReportForm&) = delete;
    TMeasurementReportForm& operator=(const TMeasurementReportForm&) = delete;
    virtual ~TMeasurementReportForm();

    TFolioReport& Report() { return *report_; }
    TRptBand& MainTitleRptBand;
    TRptBand& MainReportRptBand;
    TRptMemo& ReportHeaderRptMemo;
    TRptMemo& ReportNotesRptMemo;

    // A named control of the layout (nullptr when there is none of that name and kind).
    TRptPrintable* FindControl(std::string_view name) const;
    TRptLabel* Label(std::string_view name) const;
    TRptImage* Image(std::string_view name) const;

    // Fills every value and picture from the record; false (and nothing changed) when the record
    // is missing, has no configuration or is not of the report's kind.
    virtual bool Fill(TBaseAScanCell* record) = 0;
    // The lines the page header starts with for the record.
    virtual std::vector<std::string> HeaderLines(const TBaseAScanCell& record) const = 0;

    // The caption labels in the user's language.
    void ApplyLocalizedStrings();
    // The header and notes as the operator left them (Windows-1251 lines).
    void SetTexts(std::vector<std::string> header, std::vector<std::string> notes);

    void Print();
    void Preview();

protected:
    // The summary band's height in pixels.
    explicit TMeasurementReportForm(int summaryHeight, int notesTop, int notesHeight);

    TRptImage& addImage(const char* name, int left, int top, int width, int height);
    TRptShape& addFrame(const char* name, int left, int top, int width, int height);
    // A caption label and its value label, as one row of a table of two columns starting at
    // `top`; `caption` gives the caption's text each time the language is applied.
    void addPair(const char* captionName, std::function<std::string()> caption,
                 const char* valueName, int top, int row, int column);
    // The rows of the configuration's parameters, from `top`; answers the next free row.
    int addConfigPairs(int top);
    void fillConfigValues(const TBaseConfigCell& config);
    void setValue(const char* name, std::string text);

    // The picture's bitmap takes the image's height when it holds one of another height.
    static void setImageHeight(TRptImage& image, int height);

private:
    template <class T> T& add(TRptBasePanel& panel, const char* name);
};

// The report's preview window in the user's language (what the reports do before they print):
// nothing when the report prints straight to a printer or its preview is not the standard one.
void LocalizeStandardPreview(TCustomFolioReport& report);

// Values as the reports write them: fixed point with the user's decimal separator.
std::string ReportFixed(double value, int decimals);
// "n x s = n * s" with s = step / 1000, both reals with two decimals.
std::string ReportStepProduct(int count, double step);
