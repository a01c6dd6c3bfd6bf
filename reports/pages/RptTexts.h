// The report engine's own texts: fixed English strings with numeric identifiers, separate from
// the program's language files and never translated by them.
#pragma once

#include <vector>

// Identifiers the engine's code names.
enum TRptTextId : int {
    rtxtNoPrinter = 64935,
    rtxtInvalidReportFile = 64936,
    rtxtIllegalNewPage = 65015,
    rtxtPrinterNotReady = 65016,
    rtxtFileDoesNotExist = 65021,
    rtxtCompleted = 65022,
    rtxtReportFileType = 65023,
    rtxtCancel = 65034,
};

// The text of an identifier; an empty text for an identifier the table does not hold.
const char* RptText(int id);

// Every identifier the table holds, in ascending order.
std::vector<int> RptTextIds();
