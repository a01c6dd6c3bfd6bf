// A plain-text editor that takes only characters Windows-1251 can hold: the model keeps texts in
// that code page, so a character it cannot hold would come back as '?' once the text is stored.
// Such characters are refused as they are typed, composed or pasted.
#pragma once

#include <QPlainTextEdit>
#include <QString>

namespace platform::ui {

// The text without the characters Windows-1251 cannot hold.
QString KeepCp1251Chars(const QString& text);

class Cp1251TextEdit : public QPlainTextEdit {
public:
    using QPlainTextEdit::QPlainTextEdit;

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void inputMethodEvent(QInputMethodEvent* e) override;
    void insertFromMimeData(const QMimeData* source) override;
};

} // namespace platform::ui
