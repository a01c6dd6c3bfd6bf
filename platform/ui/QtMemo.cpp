#include "platform/ui/QtMemo.h"

#include "platform/text/Cp1251.h"

#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>

namespace platform::ui {

namespace {

QString toEditorText(const std::string& cp1251) {
    QString text = QString::fromStdString(platform::text::cp1251ToUtf8(cp1251));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

} // namespace

QtMemo::QtMemo(QPlainTextEdit* edit) : edit_(edit) {
    connection_ = QObject::connect(edit_, &QPlainTextEdit::textChanged, [this] {
        if (!settingText_ && OnChange) {
            OnChange();
        }
    });
}

QtMemo::~QtMemo() {
    QObject::disconnect(connection_);
}

std::string QtMemo::text() const {
    // The raw text keeps non-breaking spaces, which Windows-1251 holds.
    QString text = edit_->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QChar('\n'));
    text.replace(QChar::LineSeparator, QChar('\n'));
    text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return platform::text::utf8ToCp1251(text.toStdString());
}

void QtMemo::replaceText(const std::string& text) {
    settingText_ = true;
    edit_->setPlainText(toEditorText(text));
    settingText_ = false;
}

void QtMemo::setText(const std::string& text) {
    replaceText(text);
    if (OnChange) {
        OnChange();
    }
}

void QtMemo::loadText(const std::string& text) {
    replaceText(text);
}

int QtMemo::lineCount() const {
    return static_cast<int>(platform::ui::TextMemo::splitLines(text()).size());
}

void QtMemo::deleteLine(int index) {
    auto lines = platform::ui::TextMemo::splitLines(text());
    if (index < 0 || index >= static_cast<int>(lines.size())) {
        return;
    }
    lines.erase(lines.begin() + index);
    setText(platform::ui::TextMemo::joinLines(lines));
}

void QtMemo::moveCaretToEnd() {
    QTextCursor cursor = edit_->textCursor();
    cursor.movePosition(QTextCursor::End);
    edit_->setTextCursor(cursor);
}

void QtMemo::setSelectionLength(int length) {
    QTextCursor cursor = edit_->textCursor();
    cursor.setPosition(cursor.selectionStart());
    if (length > 0) {
        cursor.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor, length);
    }
    edit_->setTextCursor(cursor);
}

} // namespace platform::ui
