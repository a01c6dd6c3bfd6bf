// The A-scan report: the trace over its whole length with its amplitude scale and its time or
// depth ruler, on the split screen also the zoom view of strobe 1 with its own scale and ruler,
// the cursor distances and the amplitude at the measuring point.
#pragma once

#include "reports/measurement/MeasurementReportForm.h"

class TAScanReportForm : public TMeasurementReportForm {
public:
    TAScanReportForm();

    TFolioReport& AScanFolioReport;
    TRptImage& MainReportRptImage;
    TRptImage& VerticMarkUpRptImage;
    TRptImage& HorizMarkUpRptImage;
    TRptImage& ZoomReportRptImage;
    TRptImage& VerticZoomMarkUpRptImage;
    TRptImage& HorizZoomMarkUpRptImage;
    TRptShape& MainReportRptShape;
    TRptShape& ZoomReportRptShape;

    bool Fill(TBaseAScanCell* record) override;
    std::vector<std::string> HeaderLines(const TBaseAScanCell& record) const override;
};
