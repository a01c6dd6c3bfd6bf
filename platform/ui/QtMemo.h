// The text-fitting routine's view of a Qt plain-text editor. The model's texts are Windows-1251
// with CR LF line ends; the editor holds Unicode with '\n'. Like the memo control the fitting
// routine was written for, every change of the text, the user's or the program's own, runs the
// change handler once and at once, so the tag can mark the change the routine makes itself.
#pragma once

#include "platform/ui/Memo.h"

#include <QMetaObject>

#include <functional>
#include <string>

class QPlainTextEdit;

namespace platform::ui {

class QtMemo : public Memo {
public:
    explicit QtMemo(QPlainTextEdit* edit);
    ~QtMemo() override;
    QtMemo(const QtMemo&) = delete;
    QtMemo& operator=(const QtMemo&) = delete;

    std::string text() const override;
    void setText(const std::string& text) override;
    long tag() const override { return tag_; }
    void setTag(long tag) override { tag_ = tag; }
    int lineCount() const override;
    void deleteLine(int index) override;
    void moveCaretToEnd() override;
    void setSelectionLength(int length) override;

    // Puts a text into the editor without running the change handler (a record's text shown as
    // it is, not yet something the user typed).
    void loadText(const std::string& text);

    QPlainTextEdit* editor() const { return edit_; }

    // The change handler.
    std::function<void()> OnChange;

private:
    void replaceText(const std::string& text);

    QPlainTextEdit* edit_;
    long tag_ = 0;
    bool settingText_ = false;
    QMetaObject::Connection connection_;
};

} // namespace platform::ui
