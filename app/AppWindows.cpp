#include "app/AppWindows.h"

namespace app {

TAppWindows::TAppWindows() = default;
TAppWindows::~TAppWindows() = default;

void TAppWindows::Create(QWidget* mainWindow) {
    ascanReport_ = CreateReportFillPaperDialog(ReportKind::AScan, mainWindow);
    bandReport_ = CreateReportFillPaperDialog(ReportKind::Band, mainWindow);
    mapReport_ = CreateReportFillPaperDialog(ReportKind::Map, mainWindow);
}

std::uint8_t TAppWindows::RunTransfer(int,
                                      const std::function<std::uint8_t(platform::ui::Gauge*)>& batch) {
    return batch(nullptr);
}

TReportFillPaperDialog* TAppWindows::Report(ReportKind kind) const {
    switch (kind) {
    case ReportKind::AScan: return ascanReport_.get();
    case ReportKind::Band: return bandReport_.get();
    case ReportKind::Map: return mapReport_.get();
    }
    return nullptr;
}

} // namespace app
