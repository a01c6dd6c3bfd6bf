#include "reports/measurement/BScanReportFormUnit.h"

#include "config/LocalStringsUnit.h"
#include "records/AScanViews.h"
#include "records/BaseBandUnit.h"
#include "records/Rulers.h"
#include "reports/engine/FolioReport.h"
#include "reports/engine/RptControls.h"

namespace {

constexpr std::uint8_t kReportScheme = 1;

// A thermal band prints in grey: its colours would not survive a black-and-white printer.
std::uint8_t reportPalette(const TBaseBandCell& band) {
    return band.PaletteKind == PaletteThermal ? std::uint8_t{PaletteDirectGrey} : KeepPalette;
}

} // namespace

TBScanReportForm::TBScanReportForm()
    : TMeasurementReportForm(968, 648, 249), BScanFolioReport(Report()),
      BandReportRptImage(addImage("BandReportRptImage", 2, 63, 413, 328)),
      HorizMarkUpRptImage(addImage("HorizMarkUpRptImage", 2, 393, 413, 31)),
      VerticMarkUpRptImage(addImage("VerticMarkUpRptImage", 416, 62, 57, 330)),
      MainReportRptImage(addImage("MainReportRptImage", 472, 62, 249, 330)),
      HorizMagnitudeDimRptImage(addImage("HorizMagnitudeDimRptImage", 472, 392, 249, 32)) {
    const auto caption = [](int n) { return [n] { return GetCaptionString(n); }; };
    addPair("MagnMeasResCaptionRptLabel", caption(343), "MagnMeasResValueRptLabel", 4, 0, 0);
    addPair("AlongMeasResCaptionRptLabel", caption(342), "AlongMeasResValueRptLabel", 4, 0, 1);
    addPair("DepthMeasResCaptionRptLabel", caption(344), "DepthMeasResValueRptLabel", 4, 1, 0);
    const int top = 432;
    const int row = addConfigPairs(top);
    addPair(
        "BandStepCaptionLabel",
        [] { return GetCaptionString(184) + ", " + GetTxtVarValueString(25); },
        "BandStepValueLabel", top, row, 0);
    addPair(
        "BandOverallLengthCaptionLabel",
        [] { return GetCaptionString(185) + ", " + GetTxtVarValueString(26); },
        "BandOverallLengthValueLabel", top, row, 1);
}

std::vector<std::string> TBScanReportForm::HeaderLines(const TBaseAScanCell& record) const {
    return {record.Config->ConfigName,
            GetCaptionString(105) + std::to_string(record.RecordIndex + 1)};
}

bool TBScanReportForm::Fill(TBaseAScanCell* record) {
    auto* band = dynamic_cast<TBaseBandCell*>(record);
    if (band == nullptr || !band->Config) {
        return false;
    }
    const TBaseConfigCell& config = *band->Config;
    fillConfigValues(config);
    setValue("BandStepValueLabel", std::to_string(config.BandStep));
    setValue("BandOverallLengthValueLabel",
             ReportFixed((config.BandLastAScan + 1) * double(config.BandStep) / 1000.0, 2));

    band->DrawToReport(reportPalette(*band), kReportScheme, BandReportRptImage);
    band->DrawScanMarkupToReport(kReportScheme, 1, HorizMarkUpRptImage);
    DrawInDepthMarkupToReport(*band, VerticMarkUpRptImage, kReportScheme, 0, config.AScanRange);
    DrawVerticalSignalToReport(*band, MainReportRptImage, kReportScheme, 0, config.AScanRange);
    DrawMagnitudeMarkupToReport(*band, HorizMagnitudeDimRptImage, kReportScheme, 0);

    setValue("DepthMeasResValueRptLabel", ReportFixed(config.GetCursorDistance(true), 1));
    setValue("MagnMeasResValueRptLabel", ReportFixed(band->GetAmplitudeDb(), 1));
    setValue("AlongMeasResValueRptLabel",
             ReportStepProduct(config.BandCurrentAScan + 1, config.BandStep));
    return true;
}
