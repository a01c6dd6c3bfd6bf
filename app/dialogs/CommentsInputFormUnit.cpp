#include "app/dialogs/CommentsInputFormUnit.h"

#include "app/Texts.h"
#include "platform/ui/QtMemo.h"
#include "config/LocalStringsUnit.h"
#include "ui_CommentsInputForm.h"

namespace app {

TCommentsInputForm::TCommentsInputForm(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      ui_(std::make_unique<Ui::CommentsInputForm>()) {
    ui_->setupUi(this);
    setFixedSize(261, 269);
    memo_ = std::make_unique<QtMemo>(ui_->EditableCommentsMemo);
    memo_->OnChange = [this] { EditableCommentsMemoChange(); };
    connect(ui_->BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui_->BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
}

TCommentsInputForm::~TCommentsInputForm() {
    memo_.reset();
}

void TCommentsInputForm::SetCaption(const std::string& cp1251) {
    setWindowTitle(toQt(cp1251));
}

void TCommentsInputForm::SetLines(const std::vector<std::string>& lines) {
    loaded_ = lines;
    edited_ = false;
    memo_->loadText(platform::ui::TextMemo::joinLines(lines));
    memo_->setTag(0);
}

std::vector<std::string> TCommentsInputForm::Lines() const {
    if (!edited_) {
        return loaded_;
    }
    return platform::ui::TextMemo::splitLines(memo_->text());
}

void TCommentsInputForm::EditableCommentsMemoChange() {
    edited_ = true;
    FitMemoText(memo_.get(), 6, 50, 15);
}

QPlainTextEdit* TCommentsInputForm::Editor() const {
    return ui_->EditableCommentsMemo;
}

} // namespace app
