#include "reports/measurement/ReportFillPaperForm.h"

#include "config/LocalStringsUnit.h"
#include "platform/text/Cp1251.h"
#include "platform/ui/Memo.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/QtMemo.h"
#include "records/BaseAScanUnit.h"
#include "surfaces/ExCtrls.h"
#include "ui_ReportFillPaperForm.h"

namespace {

QString text(const std::string& cp1251) {
    return QString::fromStdString(platform::text::cp1251ToUtf8(cp1251));
}

std::vector<std::string> linesOf(const platform::ui::QtMemo& memo) {
    return platform::ui::TextMemo::splitLines(memo.text());
}

// The buttons run inside the dialog's own event loop, where nothing may escape: a failed run
// (no room for the page store's temporary file, say) is told to the user, as the program's
// commands tell theirs.
template <class F> void reportingFailure(F&& run) {
    try {
        run();
    } catch (const std::exception& e) {
        platform::ui::messageBoxes().show(e.what(), "Error", platform::ui::MessageIcon::Error,
                                          platform::ui::MessageButtons::Ok);
    }
}

} // namespace

TReportFillPaperForm::TReportFillPaperForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      ui_(std::make_unique<Ui::ReportFillPaperForm>()) {
    ui_->setupUi(this);
    setFixedSize(size());
    headerMemo_ = std::make_unique<platform::ui::QtMemo>(ui_->ReportHeaderMemo);
    headerMemo_->OnChange = [this] { ReportHeaderMemoChange(); };
    notesMemo_ = std::make_unique<platform::ui::QtMemo>(ui_->ReportNotesMemo);
    notesMemo_->OnChange = [this] { ReportNotesMemoChange(); };
    for (TExSpeedButton* b : {ui_->PrintPreviewSpeedButton, ui_->PrintImmediateSpeedButton,
                              ui_->CancelPrintSpeedButton}) {
        b->Flat = true;
        b->Layout = TButtonLayout::blGlyphLeft;
        b->Font.Name = "Arial";
        b->Font.SetSize(10);
        b->Font.Bold = true;
    }
    ui_->PrintPreviewSpeedButton->OnClick = [this](TObject*) { PrintPreviewReportBitBtnClick(); };
    ui_->PrintImmediateSpeedButton->OnClick = [this](TObject*) {
        PrintImmediateReportBitBtnClick();
    };
    ui_->CancelPrintSpeedButton->OnClick = [this](TObject*) { CancelBitBtnClick(); };
}

TReportFillPaperForm::~TReportFillPaperForm() {
    headerMemo_.reset();
    notesMemo_.reset();
}

bool TReportFillPaperForm::SetDataObject(QObject*, TBaseAScanCell* record) {
    if (!layout_ || record == nullptr || !record->Config || !layout_->Fill(record)) {
        return false;
    }
    // The record's own texts are shown as they are; only what the user types is fitted.
    headerMemo_->loadText(platform::ui::TextMemo::joinLines(layout_->HeaderLines(*record)));
    notesMemo_->loadText(platform::ui::TextMemo::joinLines(record->Comments));
    headerMemo_->setTag(0);
    notesMemo_->setTag(0);
    return true;
}

void TReportFillPaperForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormShow();
}

void TReportFillPaperForm::FormShow() {
    Previewed = 0;
    ApplyLocalizedStrings();
    ui_->ReportHeaderMemo->setFocus();
}

void TReportFillPaperForm::ApplyLocalizedStrings() {
    setWindowTitle(text(GetCaptionString(162)));
    ui_->HeaderPromptLabel->setText(text(GetCaptionString(163)));
    ui_->NotesPromptLabel->setText(text(GetCaptionString(164)));
    const auto hint = [](const char* key, int n) {
        return QString::fromLatin1(key) + text(GetCaptionString(n));
    };
    ui_->PrintPreviewSpeedButton->setToolTip(hint("<B>Ctrl + F2 </B> ", 165));
    ui_->PrintImmediateSpeedButton->setToolTip(hint("<B>Ctrl + F1 </B> ", 166));
    ui_->CancelPrintSpeedButton->setToolTip(hint("<B>Ctrl + F3 </B> ", 167));
    ui_->PrintPreviewSpeedButton->Caption = GetCaptionString(313);
    ui_->PrintImmediateSpeedButton->Caption = GetCaptionString(314);
    ui_->CancelPrintSpeedButton->Caption = GetCaptionString(315);
    ui_->ReportHeaderMemo->setToolTip(text(GetCaptionString(168)));
    ui_->ReportNotesMemo->setToolTip(text(GetCaptionString(169)));
    for (TExSpeedButton* b : {ui_->PrintPreviewSpeedButton, ui_->PrintImmediateSpeedButton,
                              ui_->CancelPrintSpeedButton}) {
        b->update();
    }
    if (layout_) {
        layout_->ApplyLocalizedStrings();
    }
}

void TReportFillPaperForm::copyTexts() {
    layout_->SetTexts(linesOf(*headerMemo_), linesOf(*notesMemo_));
}

void TReportFillPaperForm::PrintImmediateReportBitBtnClick() {
    if (!layout_) {
        return;
    }
    copyTexts();
    reportingFailure([this] { layout_->Print(); });
    accept();
}

void TReportFillPaperForm::PrintPreviewReportBitBtnClick() {
    if (!layout_ || Previewed != 0) {
        return;
    }
    copyTexts();
    Previewed = 1;
    previewing_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{previewing_};
    reportingFailure([this] { layout_->Preview(); });
    accept();
}

void TReportFillPaperForm::CancelBitBtnClick() {
    reject();
}

void TReportFillPaperForm::HandleReportKey(int key) {
    switch (key) {
    case 112:
        PrintImmediateReportBitBtnClick();
        break;
    case 113:
        PrintPreviewReportBitBtnClick();
        break;
    case 114:
        CancelBitBtnClick();
        break;
    default:
        break;
    }
}

void TReportFillPaperForm::ReportHeaderMemoChange() {
    FitMemoText(headerMemo_.get(), 3, 60, 3);
}

void TReportFillPaperForm::ReportNotesMemoChange() {
    FitMemoText(notesMemo_.get(), 6, 50, 7);
}

// ---- the three dialogs
// ---------------------------------------------------------------------------

TAScanReportFillPaperForm::TAScanReportFillPaperForm(QWidget* parent)
    : TReportFillPaperForm(parent) {}

TAScanReportForm& TAScanReportFillPaperForm::AScanReportForm() const {
    return static_cast<TAScanReportForm&>(Layout());
}

TBScanReportFillPaperForm::TBScanReportFillPaperForm(QWidget* parent)
    : TReportFillPaperForm(parent) {}

TBScanReportForm& TBScanReportFillPaperForm::BScanReportForm() const {
    return static_cast<TBScanReportForm&>(Layout());
}

TMapReportFillPaperForm::TMapReportFillPaperForm(QWidget* parent) : TReportFillPaperForm(parent) {}

TMapReportForm& TMapReportFillPaperForm::MapReportForm() const {
    return static_cast<TMapReportForm&>(Layout());
}

std::unique_ptr<TAScanReportFillPaperForm> MakeAScanReport(QWidget* parent) {
    auto dialog = std::make_unique<TAScanReportFillPaperForm>(parent);
    dialog->SetReportForm(std::make_unique<TAScanReportForm>());
    return dialog;
}

std::unique_ptr<TBScanReportFillPaperForm> MakeBScanReport(QWidget* parent) {
    auto form = std::make_unique<TBScanReportForm>();
    auto dialog = std::make_unique<TBScanReportFillPaperForm>(parent);
    dialog->SetReportForm(std::move(form));
    return dialog;
}

std::unique_ptr<TMapReportFillPaperForm> MakeMapReport(QWidget* parent) {
    auto form = std::make_unique<TMapReportForm>();
    auto dialog = std::make_unique<TMapReportFillPaperForm>(parent);
    dialog->SetReportForm(std::move(form));
    return dialog;
}
