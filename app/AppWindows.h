// The program's windows other than the main window, created at start-up in their fixed order and
// kept to the end. The main window and its pages reach them here.
#pragma once

#include "app/ReportDialogs.h"

#include <cstdint>
#include <functional>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QWidget;
class QString;

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

    // The file dialogs. filter: the bar-separated list of descriptions and patterns; index
    // 1-based in and out. Empty when the user cancelled.
    struct FileChoice {
        std::filesystem::path file;
        int filterIndex = 1;
    };
    std::optional<FileChoice> AskOpenFile(const std::string& filter);
    std::optional<FileChoice> AskSaveFile(const std::string& filter, int filterIndex);

    // The choose-records dialog: the items' ticks are read back; false when not confirmed.
    struct RecordItem {
        QString text;
        bool ticked = true;
    };
    bool ChooseRecords(const QString& caption, const QString& hint, std::vector<RecordItem>& items);

    // Texts of the windows that come from the language files.
    void ApplyTexts();
    void SetStringEditorCaption(const QString& caption);

private:
    std::unique_ptr<TReportFillPaperDialog> ascanReport_, bandReport_, mapReport_;
};

} // namespace app
