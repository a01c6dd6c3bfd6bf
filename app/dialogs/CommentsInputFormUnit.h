// The modal editor for a record's comment lines. What the user types is kept within six lines of
// fifty characters; a record's own comments are shown as they are, however long, until the user
// changes them.
#pragma once

#include <QDialog>

#include <memory>
#include <string>
#include <vector>

namespace Ui {
class CommentsInputForm;
}

class QPlainTextEdit;

namespace platform::ui {
class QtMemo;
}

namespace app {

using platform::ui::QtMemo;

class TCommentsInputForm : public QDialog {
public:
    explicit TCommentsInputForm(QWidget* parent = nullptr);
    ~TCommentsInputForm() override;

    void SetCaption(const std::string& cp1251);

    // The comment lines (Windows-1251); loading them does not fit them.
    void SetLines(const std::vector<std::string>& lines);
    // The lines as confirmed: the loaded ones when the user changed nothing.
    std::vector<std::string> Lines() const;

    // Runs on every change of the memo's text.
    void EditableCommentsMemoChange();

    QPlainTextEdit* Editor() const;
    QtMemo& Memo() const { return *memo_; }

private:
    std::unique_ptr<Ui::CommentsInputForm> ui_;
    std::unique_ptr<QtMemo> memo_;
    std::vector<std::string> loaded_;
    bool edited_ = false;
};

} // namespace app
