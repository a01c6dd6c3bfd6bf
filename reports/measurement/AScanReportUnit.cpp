#include "reports/measurement/AScanReportUnit.h"

#include "config/LocalStringsUnit.h"
#include "records/AScanViews.h"
#include "records/BaseAScanUnit.h"
#include "records/Rulers.h"
#include "reports/engine/FolioReport.h"
#include "reports/engine/RptControls.h"

namespace {

// Print colours: the report's own, whatever the record shows on screen.
constexpr std::uint8_t kReportScheme = 1;

bool isSplitScreen(const TBaseConfigCell& config) {
    return (config.ScreenType & 0x0F) == 2;
}

} // namespace

TAScanReportForm::TAScanReportForm()
    : TMeasurementReportForm(968, 624, 249), AScanFolioReport(Report()),
      MainReportRptImage(addImage("MainReportRptImage", 40, 56, 678, 153)),
      VerticMarkUpRptImage(addImage("VerticMarkUpRptImage", 0, 56, 41, 153)),
      HorizMarkUpRptImage(addImage("HorizMarkUpRptImage", 40, 208, 678, 41)),
      ZoomReportRptImage(addImage("ZoomReportRptImage", 40, 248, 678, 153)),
      VerticZoomMarkUpRptImage(addImage("VerticZoomMarkUpRptImage", 0, 248, 41, 153)),
      HorizZoomMarkUpRptImage(addImage("HorizZoomMarkUpRptImage", 40, 400, 678, 41)),
      MainReportRptShape(addFrame("MainReportRptShape", 40, 56, 678, 153)),
      ZoomReportRptShape(addFrame("ZoomReportRptShape", 40, 248, 678, 153)) {
    for (TRptPrintable* p : {static_cast<TRptPrintable*>(&ZoomReportRptImage),
                             static_cast<TRptPrintable*>(&VerticZoomMarkUpRptImage),
                             static_cast<TRptPrintable*>(&HorizZoomMarkUpRptImage),
                             static_cast<TRptPrintable*>(&ZoomReportRptShape)}) {
        p->Enabled = false;
    }
    const auto measured = [](int n) { return [n] { return GetCaptionString(n) + " = "; }; };
    addPair("TimeMeasResCaptionRptLabel", measured(341), "TimeMeasResValueRptLabel", 4, 0, 0);
    addPair("DepthMeasResCaptionRptLabel", measured(347), "DepthMeasResValueRptLabel", 4, 0, 1);
    addPair("MagnMeasResCaptionRptLabel", measured(343), "MagnMeasResValueRptLabel", 4, 1, 0);
    addConfigPairs(448);
}

std::vector<std::string> TAScanReportForm::HeaderLines(const TBaseAScanCell& record) const {
    return {record.Config->ConfigName,
            GetCaptionString(107) + std::to_string(record.RecordIndex + 1),
            GetCaptionString(159) + std::to_string(record.Config->ConfigIndex)};
}

bool TAScanReportForm::Fill(TBaseAScanCell* record) {
    if (record == nullptr || !record->Config) {
        return false;
    }
    TBaseAScanCell& a = *record;
    const TBaseConfigCell& config = *a.Config;
    fillConfigValues(config);

    const bool split = isSplitScreen(config);
    for (TRptPrintable* p : {static_cast<TRptPrintable*>(&ZoomReportRptImage),
                             static_cast<TRptPrintable*>(&VerticZoomMarkUpRptImage),
                             static_cast<TRptPrintable*>(&HorizZoomMarkUpRptImage),
                             static_cast<TRptPrintable*>(&ZoomReportRptShape)}) {
        p->Enabled = split;
    }
    const int height = split ? 153 : 337;
    setImageHeight(MainReportRptImage, height);
    setImageHeight(VerticMarkUpRptImage, height);
    MainReportRptShape.SetHeight(height);
    HorizMarkUpRptImage.SetTop(split ? 208 : 392);
    if (split) {
        const double begin = config.StrobeBeginTime[0];
        const double end = begin + config.StrobeLengthTime[0];
        DrawVerticMarkupToReport(a, VerticZoomMarkUpRptImage, kReportScheme);
        DrawZoomHorizMarkupToReport(a, HorizZoomMarkUpRptImage, kReportScheme, begin, end);
        DrawZoomToReport(a, ZoomReportRptImage, kReportScheme, begin, end);
    }
    const double samples = a.SampleCount();
    DrawSignalToReport(a, MainReportRptImage, kReportScheme, 0.0, samples);
    DrawVerticMarkupToReport(a, VerticMarkUpRptImage, kReportScheme);
    DrawHorizMarkupToReport(a, HorizMarkUpRptImage, kReportScheme, 0.0, samples);

    setValue("TimeMeasResValueRptLabel",
             ReportFixed(config.GetCursorDistance(false), 1) + " " + GetTxtVarValueString(10));
    setValue("DepthMeasResValueRptLabel",
             ReportFixed(config.GetCursorDistance(true), 1) + " " + GetTxtVarValueString(11));
    setValue("MagnMeasResValueRptLabel",
             ReportFixed(a.GetAmplitudeDb(), 1) + " " + GetTxtVarValueString(21));
    return true;
}
