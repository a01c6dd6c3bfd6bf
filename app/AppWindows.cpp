#include "app/AppWindows.h"

#include "platform/ui/FileDialogs.h"

#include <QString>

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

namespace {

std::optional<TAppWindows::FileChoice> askFile(bool save, const std::string& filter,
                                               int filterIndex) {
    platform::ui::FileDialogRequest request;
    request.save = save;
    request.filter = filter;
    request.filterIndex = filterIndex;
    request.initialDir = platform::ui::examplesFolder();
    const platform::ui::FileDialogAnswer answer = platform::ui::fileDialogs().run(request);
    if (!answer.accepted || answer.file.empty()) {
        return std::nullopt;
    }
    return TAppWindows::FileChoice{answer.file, answer.filterIndex};
}

} // namespace

std::optional<TAppWindows::FileChoice> TAppWindows::AskOpenFile(const std::string& filter) {
    return askFile(false, filter, 1);
}

std::optional<TAppWindows::FileChoice> TAppWindows::AskSaveFile(const std::string& filter,
                                                                int filterIndex) {
    return askFile(true, filter, filterIndex);
}

bool TAppWindows::ChooseRecords(const QString&, const QString&, std::vector<RecordItem>&) {
    return true;
}

void TAppWindows::ApplyTexts() {}

void TAppWindows::SetStringEditorCaption(const QString&) {}

} // namespace app
