// The map report: the C-scan with the D-scan beside it and the B-scan below, their row, column
// and depth rulers, the A-scan under the map cursor upright with its amplitude scale, the cursor's
// position on the grid, the depth and level at the measuring point, and the grid's size and step.
#pragma once

#include "reports/measurement/MeasurementReportForm.h"

class TMapReportForm : public TMeasurementReportForm {
public:
    TMapReportForm();

    TFolioReport& MapFolioReport;
    TRptImage& CScanMapReportRptImage;
    TRptImage& CDVerticMarkUpRptImage;
    TRptImage& DScanMapReportRptImage;
    TRptImage& HorizMarkUpRptImage;
    TRptImage& LevelsMarkupRptImage;
    TRptImage& BScanMapReportRptImage;
    TRptImage& ABVerticMarkUpRptImage;
    TRptImage& MainReportRptImage;

    bool Fill(TBaseAScanCell* record) override;
    std::vector<std::string> HeaderLines(const TBaseAScanCell& record) const override;
};
