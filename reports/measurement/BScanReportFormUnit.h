// The band report: the B-scan picture with its scan ruler, the current A-scan upright beside it
// with its depth ruler and amplitude scale, the position along the band, the depth and level at
// the measuring point, and the band's step and length.
#pragma once

#include "reports/measurement/MeasurementReportForm.h"

class TBScanReportForm : public TMeasurementReportForm {
public:
    TBScanReportForm();

    TFolioReport& BScanFolioReport;
    TRptImage& BandReportRptImage;
    TRptImage& HorizMarkUpRptImage;
    TRptImage& VerticMarkUpRptImage;
    TRptImage& MainReportRptImage;
    TRptImage& HorizMagnitudeDimRptImage;

    bool Fill(TBaseAScanCell* record) override;
    std::vector<std::string> HeaderLines(const TBaseAScanCell& record) const override;
};
