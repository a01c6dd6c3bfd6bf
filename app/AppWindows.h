// The program's windows other than the main window, created at start-up in their fixed order and
// kept to the end. The main window and its pages reach them here.
#pragma once

#include "app/ReportDialogs.h"

#include <cstdint>
#include <functional>
#include <memory>

class QWidget;

namespace platform::ui {
class Gauge;
}

namespace app {

class TAppWindows {
public:
    TAppWindows();
    ~TAppWindows();

    // Creates the windows that follow the main window, in their order.
    void Create(QWidget* mainWindow);

    // Runs a transfer in the modal progress dialog (modes: 2 send configurations, 3 receive
    // A-scans, 4 bands, 5 maps); answers the batch's own result.
    std::uint8_t RunTransfer(int mode, const std::function<std::uint8_t(platform::ui::Gauge*)>& batch);

    TReportFillPaperDialog* Report(ReportKind kind) const;

private:
    std::unique_ptr<TReportFillPaperDialog> ascanReport_, bandReport_, mapReport_;
};

} // namespace app
