#include "reports/measurement/MapReportFormUnit.h"

#include "config/LocalStringsUnit.h"
#include "records/AScanViews.h"
#include "records/BaseMapUnit.h"
#include "records/Rulers.h"
#include "reports/engine/FolioReport.h"
#include "reports/engine/RptControls.h"

namespace {

constexpr std::uint8_t kReportScheme = 1;

std::uint8_t reportPalette(const TBaseBandCell& map) {
    return map.PaletteKind == PaletteThermal ? std::uint8_t{PaletteDirectGrey} : KeepPalette;
}

} // namespace

TMapReportForm::TMapReportForm()
    : TMeasurementReportForm(1100, 800, 177), MapFolioReport(Report()),
      CScanMapReportRptImage(addImage("CScanMapReportRptImage", 1, 57, 351, 231)),
      CDVerticMarkUpRptImage(addImage("CDVerticMarkUpRptImage", 353, 57, 55, 231)),
      DScanMapReportRptImage(addImage("DScanMapReportRptImage", 409, 57, 310, 231)),
      HorizMarkUpRptImage(addImage("HorizMarkUpRptImage", 1, 289, 351, 39)),
      LevelsMarkupRptImage(addImage("LevelsMarkupRptImage", 409, 289, 310, 39)),
      BScanMapReportRptImage(addImage("BScanMapReportRptImage", 1, 329, 351, 263)),
      ABVerticMarkUpRptImage(addImage("ABVerticMarkUpRptImage", 353, 329, 55, 263)),
      MainReportRptImage(addImage("MainReportRptImage", 409, 329, 310, 263)) {
    const auto caption = [](int n) { return [n] { return GetCaptionString(n); }; };
    addPair("YMeasResCaptionRptLabel", caption(345), "YMeasResValueRptLabel", 2, 0, 0);
    addPair("XMeasResCaptionRptLabel", caption(346), "XMeasResValueRptLabel", 2, 0, 1);
    addPair("DepthMeasResCaptionRptLabel", caption(344), "DepthMeasResValueRptLabel", 2, 1, 0);
    addPair("MagnMeasResCaptionRptLabel", caption(343), "MagnMeasResValueRptLabel", 2, 1, 1);
    const int top = 600;
    const int row = addConfigPairs(top);
    addPair("MapVerticalStepCaptionLabel", caption(96), "MapVerticalStepValueLabel", top, row, 0);
    addPair("MapVerticalPointsCaptionLabel", caption(66), "MapVerticalPointsValueLabel", top, row,
            1);
    addPair("MapHorizontalPointsCaptionLabel", caption(67), "MapHorizontalPointsValueLabel", top,
            row + 1, 0);
}

std::vector<std::string> TMapReportForm::HeaderLines(const TBaseAScanCell& record) const {
    return {record.Config->ConfigName,
            GetCaptionString(103) + std::to_string(record.RecordIndex + 1)};
}

bool TMapReportForm::Fill(TBaseAScanCell* record) {
    auto* map = dynamic_cast<TBaseMapCell*>(record);
    if (map == nullptr || !map->Config) {
        return false;
    }
    TBaseConfigCell& config = *map->Config;
    fillConfigValues(config);
    setValue("MapVerticalStepValueLabel", std::to_string(config.MapVerticStep));
    setValue("MapVerticalPointsValueLabel", std::to_string(config.MapVerticPoints));
    setValue("MapHorizontalPointsValueLabel", std::to_string(config.MapHorizPoints));

    // Cursors read from a file may lie outside the grid.
    map->ClampCursors();
    map->ComputeCellSize(static_cast<std::uint16_t>(CScanMapReportRptImage.Width()),
                         static_cast<std::uint16_t>(CScanMapReportRptImage.Height()));
    const std::uint8_t palette = reportPalette(*map);
    map->DrawToReport(palette, kReportScheme, BScanMapReportRptImage);
    map->DrawCScanToReport(palette, kReportScheme, CScanMapReportRptImage);
    map->DrawDScanToReport(palette, kReportScheme, DScanMapReportRptImage);
    DrawInDepthMarkupToReport(*map, ABVerticMarkUpRptImage, kReportScheme, 0, config.AScanRange);
    map->SetCurrentRow(config.MapCursorVertical);
    map->SetCurrentScan(config.MapCursorHorizontal);
    DrawVerticalSignalToReport(*map, MainReportRptImage, kReportScheme, 0, config.AScanRange);
    map->DrawCBHorizMarkupToReport(kReportScheme, HorizMarkUpRptImage);
    map->DrawCDVerticMarkupToReport(kReportScheme, CDVerticMarkUpRptImage);
    DrawMagnitudeMarkupToReport(*map, LevelsMarkupRptImage, kReportScheme, 1);

    setValue("DepthMeasResValueRptLabel", ReportFixed(config.GetCursorDistance(true), 1));
    setValue("MagnMeasResValueRptLabel", ReportFixed(map->GetAmplitudeDb(), 1));
    setValue("XMeasResValueRptLabel",
             ReportStepProduct(config.MapCursorHorizontal + 1, config.MapHorizStep));
    setValue("YMeasResValueRptLabel",
             ReportStepProduct(config.MapCursorVertical + 1, config.MapVerticStep));
    return true;
}
