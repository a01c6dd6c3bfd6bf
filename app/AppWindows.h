// The program's windows other than the main window, kept to the end. The small dialogs are created
// at start-up in their fixed order; a report's fill-in dialog, with its layout and the printer it
// asks for its paper, is built the first time a command needs it, so start-up never waits for the
// printers. The main window and its pages reach them here.
#pragma once

#include "app/ReportDialogs.h"

#include <QString>

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QWidget;

namespace platform::ui {
class Gauge;
}

namespace app {

class TProgressForm;
class TEditStrParForm;
class TCommentsInputForm;
class TCheckSavedRecordsForm;

class TAppWindows {
public:
    TAppWindows();
    ~TAppWindows();

    // Creates the windows that follow the main window, in their order. The dialogs belong to the
    // main window (they go with it).
    void Create(QWidget* mainWindow);

    // Runs a transfer in the modal progress dialog (modes: 2 send configurations, 3 receive
    // A-scans, 4 bands, 5 maps); answers the batch's own result (1 when it never ran).
    std::uint8_t RunTransfer(int mode, const std::function<std::uint8_t(platform::ui::Gauge*)>& batch);

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

    // The comments dialog over the lines (Windows-1251); true with the confirmed lines.
    bool EditComments(std::vector<std::string>& lines);

    // The report's dialog, built on first use.
    TReportFillPaperDialog* Report(ReportKind kind);
    // The report's dialog if it has been built (nullptr before).
    TReportFillPaperDialog* BuiltReport(ReportKind kind) const;
    TProgressForm* ProgressForm() const { return progress_; }
    TEditStrParForm* EditStrParForm() const { return editStrPar_; }
    TCommentsInputForm* CommentsInputForm() const { return comments_; }
    TCheckSavedRecordsForm* CheckSavedRecordsForm() const { return checkSaved_; }

    // Texts of the windows that come from the language files.
    void ApplyTexts();
    void SetStringEditorCaption(const QString& caption);

private:
    TProgressForm* progress_ = nullptr;
    TEditStrParForm* editStrPar_ = nullptr;
    TCommentsInputForm* comments_ = nullptr;
    TCheckSavedRecordsForm* checkSaved_ = nullptr;
    QWidget* mainWindow_ = nullptr;
    // By kind: A-scan, band, map.
    std::array<std::unique_ptr<TReportFillPaperDialog>, 3> reports_;
};

} // namespace app
