#include "UiTestSupport.h"
#include "platform/ui/QtMessageBoxes.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <vector>

using namespace platform::ui;
using B = QMessageBox;

namespace {

// The box as the user saw it, then answered with a click on a standard button or with Esc
// (NoButton).
struct Seen {
    QString text, title;
    B::Icon icon = B::NoIcon;
    std::vector<B::StandardButton> buttons; // in the order offered
    B::StandardButton defaultButton = B::NoButton;
    Qt::WindowModality modality = Qt::NonModal;
    Qt::TextFormat format = Qt::AutoText;
    QWidget* parent = nullptr;
};

Seen showAndAnswer(MessageIcon icon, MessageButtons buttons, B::StandardButton click,
                   MessageResult& result) {
    Seen s;
    tbtest::DialogScript<B> script([&](B& box) {
        s = {box.text(),  box.windowTitle(),    box.icon(),       {},
             B::NoButton, box.windowModality(), box.textFormat(), box.parentWidget()};
        for (QAbstractButton* b : box.buttons()) {
            s.buttons.push_back(box.standardButton(b));
        }
        s.defaultButton = box.standardButton(box.defaultButton());
        if (click == B::NoButton) {
            QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(&box, &esc);
        } else {
            box.button(click)->click();
        }
    });
    // Title "Ошибка" in Windows-1251; CR LF and a bare CR both break lines; markup stays text.
    result = QtMessageBoxService().show("File <b>a</b>\r\nline 2\rline 3",
                                        "\xce\xf8\xe8\xe1\xea\xe0", icon, buttons);
    EXPECT_TRUE(script.found());
    EXPECT_FALSE(script.timedOut());
    return s;
}

} // namespace

TEST(QtMessageBoxService, ShowsTheBoxAndAnswersTheClickOrEsc) {
    const std::map<MessageButtons, std::vector<B::StandardButton>> offered = {
        {MessageButtons::Ok, {B::Ok}},
        {MessageButtons::YesNo, {B::Yes, B::No}},
        {MessageButtons::YesNoCancel, {B::Yes, B::No, B::Cancel}},
        {MessageButtons::OkCancel, {B::Ok, B::Cancel}},
    };
    struct Case {
        MessageIcon icon;
        B::Icon qtIcon;
        MessageButtons buttons;
        B::StandardButton click;
        MessageResult expected;
    };
    const std::vector<Case> cases = {
        {MessageIcon::Error, B::Critical, MessageButtons::Ok, B::Ok, MessageResult::Ok},
        {MessageIcon::Information, B::Information, MessageButtons::Ok, B::NoButton,
         MessageResult::Ok},
        {MessageIcon::Question, B::Question, MessageButtons::YesNo, B::Yes, MessageResult::Yes},
        {MessageIcon::Question, B::Question, MessageButtons::YesNo, B::No, MessageResult::No},
        {MessageIcon::Warning, B::Warning, MessageButtons::YesNo, B::NoButton, MessageResult::No},
        {MessageIcon::Question, B::Question, MessageButtons::YesNoCancel, B::No, MessageResult::No},
        {MessageIcon::Question, B::Question, MessageButtons::YesNoCancel, B::Cancel,
         MessageResult::Cancel},
        {MessageIcon::Question, B::Question, MessageButtons::YesNoCancel, B::NoButton,
         MessageResult::Cancel},
        {MessageIcon::None, B::NoIcon, MessageButtons::OkCancel, B::Ok, MessageResult::Ok},
        {MessageIcon::Warning, B::Warning, MessageButtons::OkCancel, B::NoButton,
         MessageResult::Cancel},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "buttons " << int(c.buttons) << " click " << c.click);
        MessageResult result{};
        const Seen seen = showAndAnswer(c.icon, c.buttons, c.click, result);
        EXPECT_EQ(result, c.expected);
        EXPECT_EQ(seen.icon, c.qtIcon);
        auto expectedButtons = offered.at(c.buttons);
        EXPECT_EQ(seen.defaultButton, expectedButtons.front()) << "the first is the default";
        std::sort(expectedButtons.begin(), expectedButtons.end());
        auto buttons = seen.buttons;
        std::sort(buttons.begin(), buttons.end());
        EXPECT_EQ(buttons, expectedButtons);
        EXPECT_EQ(seen.modality, Qt::ApplicationModal);
        EXPECT_EQ(seen.title, QString::fromUtf8("Ошибка"));
        EXPECT_EQ(seen.text, QStringLiteral("File <b>a</b>\nline 2\nline 3"));
        EXPECT_EQ(seen.format, Qt::PlainText);
    }
}

TEST(QtMessageBoxService, BoxBelongsToTheActiveWindow) {
    QWidget window;
    window.show();
    QApplication::setActiveWindow(&window);
    if (QApplication::activeWindow() != &window) {
        GTEST_SKIP() << "the platform does not activate windows";
    }
    MessageResult result{};
    EXPECT_EQ(showAndAnswer(MessageIcon::None, MessageButtons::Ok, B::Ok, result).parent, &window);
}
