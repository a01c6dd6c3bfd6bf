#include "platform/ui/Cp1251TextEdit.h"

#include "platform/text/Cp1251.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>

namespace platform::ui {

QString KeepCp1251Chars(const QString& text) {
    QString kept;
    kept.reserve(text.size());
    for (const char32_t cp : text.toUcs4()) {
        unsigned char byte = 0;
        if (platform::text::codePointToCp1251(cp, byte)) {
            kept.append(QString::fromUcs4(&cp, 1));
        }
    }
    return kept;
}

void Cp1251TextEdit::keyPressEvent(QKeyEvent* e) {
    const QString typed = e->text();
    if (!typed.isEmpty()) {
        const QString kept = KeepCp1251Chars(typed);
        if (kept != typed) {
            if (!kept.isEmpty()) {
                insertPlainText(kept);
            }
            e->accept();
            return;
        }
    }
    QPlainTextEdit::keyPressEvent(e);
}

void Cp1251TextEdit::inputMethodEvent(QInputMethodEvent* e) {
    const QString commit = e->commitString();
    const QString kept = KeepCp1251Chars(commit);
    if (kept == commit) {
        QPlainTextEdit::inputMethodEvent(e);
        return;
    }
    QInputMethodEvent filtered(e->preeditString(), e->attributes());
    filtered.setCommitString(kept, e->replacementStart(), e->replacementLength());
    QPlainTextEdit::inputMethodEvent(&filtered);
    e->accept();
}

void Cp1251TextEdit::insertFromMimeData(const QMimeData* source) {
    if (source && source->hasText()) {
        insertPlainText(KeepCp1251Chars(source->text()));
        return;
    }
    QPlainTextEdit::insertFromMimeData(source);
}

} // namespace platform::ui
