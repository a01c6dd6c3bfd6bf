#include "platform/ui/QtMessageBoxes.h"

#include "platform/text/Cp1251.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

#include <utility>
#include <vector>

namespace platform::ui {

QString displayText(const std::string& cp1251) {
    QString s = QString::fromStdString(text::cp1251ToUtf8(cp1251));
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return s;
}

namespace {

QMessageBox::Icon qtIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Error:
        return QMessageBox::Critical;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

// The buttons of each set in the order they are offered, the first being the default.
std::vector<std::pair<QMessageBox::StandardButton, MessageResult>> buttonSet(MessageButtons b) {
    switch (b) {
    case MessageButtons::YesNo:
        return {{QMessageBox::Yes, MessageResult::Yes}, {QMessageBox::No, MessageResult::No}};
    case MessageButtons::YesNoCancel:
        return {{QMessageBox::Yes, MessageResult::Yes},
                {QMessageBox::No, MessageResult::No},
                {QMessageBox::Cancel, MessageResult::Cancel}};
    case MessageButtons::OkCancel:
        return {{QMessageBox::Ok, MessageResult::Ok}, {QMessageBox::Cancel, MessageResult::Cancel}};
    case MessageButtons::Ok:
        break;
    }
    return {{QMessageBox::Ok, MessageResult::Ok}};
}

// What Esc and the window's close button answer.
MessageResult escapeResult(MessageButtons b) {
    switch (b) {
    case MessageButtons::YesNo:
        return MessageResult::No;
    case MessageButtons::YesNoCancel:
    case MessageButtons::OkCancel:
        return MessageResult::Cancel;
    case MessageButtons::Ok:
        break;
    }
    return MessageResult::Ok;
}

} // namespace

MessageResult QtMessageBoxService::show(const std::string& text, const std::string& title,
                                        MessageIcon icon, MessageButtons buttons) {
    const auto set = buttonSet(buttons);
    const MessageResult onEscape = escapeResult(buttons);

    // The active window may go away while the box is up (a device event closing a dialog); the
    // guarded pointer keeps the box from outliving its parent unnoticed.
    QPointer<QMessageBox> box = new QMessageBox(QApplication::activeWindow());
    box->setAttribute(Qt::WA_DeleteOnClose, false);
    box->setWindowModality(Qt::ApplicationModal);
    box->setIcon(qtIcon(icon));
    box->setWindowTitle(displayText(title));
    box->setTextFormat(Qt::PlainText);
    box->setText(displayText(text));

    std::vector<std::pair<QAbstractButton*, MessageResult>> shown;
    for (const auto& [standard, result] : set) {
        shown.emplace_back(box->addButton(standard), result);
    }
    box->setDefaultButton(static_cast<QPushButton*>(shown.front().first));
    for (const auto& [button, result] : shown) {
        if (result == onEscape) {
            box->setEscapeButton(button);
        }
    }

    box->exec();
    if (!box) {
        return onEscape;
    }
    MessageResult answer = onEscape;
    QAbstractButton* clicked = box->clickedButton();
    for (const auto& [button, result] : shown) {
        if (button == clicked) {
            answer = result;
        }
    }
    delete box.data();
    return answer;
}

} // namespace platform::ui
