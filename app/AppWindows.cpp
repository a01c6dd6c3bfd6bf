#include "app/AppWindows.h"

#include "app/Texts.h"
#include "app/dialogs/CheckSavedRecordsFormUnit.h"
#include "app/dialogs/CommentsInputFormUnit.h"
#include "app/dialogs/EditStrParFormUnit.h"
#include "app/dialogs/ProgressFormUnit.h"

#include "config/LocalStringsUnit.h"
#include "platform/ui/FileDialogs.h"

namespace app {

TAppWindows::TAppWindows() = default;
TAppWindows::~TAppWindows() = default;

void TAppWindows::Create(QWidget* mainWindow) {
    mainWindow_ = mainWindow;
    progress_ = new TProgressForm(mainWindow);
    editStrPar_ = new TEditStrParForm(mainWindow);
    comments_ = new TCommentsInputForm(mainWindow);
    checkSaved_ = new TCheckSavedRecordsForm(mainWindow);
}

std::uint8_t TAppWindows::RunTransfer(
    int mode, const std::function<std::uint8_t(platform::ui::Gauge*)>& batch) {
    if (!progress_) {
        return 1;
    }
    progress_->TransferMode = static_cast<std::uint8_t>(mode);
    progress_->SetTransfer([&batch](int, platform::ui::Gauge* gauge) { return batch(gauge); });
    progress_->ResetProgress();
    progress_->exec();
    progress_->SetTransfer({});
    return progress_->LastBatchResult().value_or(1);
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

bool TAppWindows::ChooseRecords(const QString& caption, const QString& hint,
                                std::vector<RecordItem>& items) {
    if (!checkSaved_) {
        return false;
    }
    checkSaved_->SetCaption(fromQt(caption));
    checkSaved_->SetListHint(fromQt(hint));
    checkSaved_->ClearItems();
    for (const RecordItem& item : items) {
        checkSaved_->AddItem(fromQt(item.text), item.ticked);
    }
    if (checkSaved_->exec() != QDialog::Accepted) {
        return false;
    }
    for (std::size_t i = 0; i < items.size(); ++i) {
        items[i].ticked = checkSaved_->IsTicked(static_cast<int>(i));
    }
    return true;
}

bool TAppWindows::EditComments(std::vector<std::string>& lines) {
    if (!comments_) {
        return false;
    }
    comments_->SetLines(lines);
    if (comments_->exec() != QDialog::Accepted) {
        return false;
    }
    lines = comments_->Lines();
    return true;
}

TReportFillPaperDialog* TAppWindows::Report(ReportKind kind) {
    const auto index = static_cast<std::size_t>(kind);
    if (mainWindow_ == nullptr || index >= reports_.size()) {
        return nullptr; // the windows were not created
    }
    if (!reports_[index]) {
        reports_[index] = CreateReportFillPaperDialog(kind, mainWindow_);
    }
    return reports_[index].get();
}

TReportFillPaperDialog* TAppWindows::BuiltReport(ReportKind kind) const {
    const auto index = static_cast<std::size_t>(kind);
    return index < reports_.size() ? reports_[index].get() : nullptr;
}

void TAppWindows::ApplyTexts() {
    // The windows were made before the language files were read.
    if (progress_) {
        progress_->setWindowTitle(caption(310));
    }
    if (comments_) {
        comments_->SetCaption(GetCaptionString(319));
    }
}

void TAppWindows::SetStringEditorCaption(const QString& text) {
    if (editStrPar_) {
        editStrPar_->SetCaption(fromQt(text));
    }
}

} // namespace app
