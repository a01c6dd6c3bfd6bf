#include "UiTestSupport.h"
#include "platform/ui/QtMessageBoxes.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace platform::ui;

namespace {

// What the test does to the box once it shows: click the button with this standard role, or
// press Esc.
struct Case {
    const char* name;
    MessageIcon icon;
    MessageButtons buttons;
    QMessageBox::StandardButton click; // NoButton: press Esc
    QMessageBox::Icon qtIcon;
    std::vector<QMessageBox::StandardButton> offered;
    MessageResult expected;
};

struct Seen {
    QString text;
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    std::vector<QMessageBox::StandardButton> buttons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    Qt::WindowModality modality = Qt::NonModal;
    Qt::TextFormat format = Qt::AutoText;
};

Seen observe(QMessageBox& box) {
    Seen s;
    s.text = box.text();
    s.title = box.windowTitle();
    s.icon = box.icon();
    for (QAbstractButton* b : box.buttons()) {
        s.buttons.push_back(box.standardButton(b));
    }
    std::sort(s.buttons.begin(), s.buttons.end());
    if (box.defaultButton()) {
        s.defaultButton = box.standardButton(box.defaultButton());
    }
    s.modality = box.windowModality();
    s.format = box.textFormat();
    return s;
}

void act(QMessageBox& box, QMessageBox::StandardButton click) {
    if (click == QMessageBox::NoButton) {
        QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(&box, &esc);
    } else {
        box.button(click)->click();
    }
}

} // namespace

TEST(QtMessageBoxService, ShowsIconsAndButtonsAndAnswersTheClickOrEsc) {
    using B = QMessageBox;
    const std::vector<Case> cases = {
        {"ok",
         MessageIcon::Error,
         MessageButtons::Ok,
         B::Ok,
         B::Critical,
         {B::Ok},
         MessageResult::Ok},
        {"ok-esc",
         MessageIcon::Information,
         MessageButtons::Ok,
         B::NoButton,
         B::Information,
         {B::Ok},
         MessageResult::Ok},
        {"yes",
         MessageIcon::Question,
         MessageButtons::YesNo,
         B::Yes,
         B::Question,
         {B::Yes, B::No},
         MessageResult::Yes},
        {"no",
         MessageIcon::Question,
         MessageButtons::YesNo,
         B::No,
         B::Question,
         {B::Yes, B::No},
         MessageResult::No},
        {"yesno-esc",
         MessageIcon::Warning,
         MessageButtons::YesNo,
         B::NoButton,
         B::Warning,
         {B::Yes, B::No},
         MessageResult::No},
        {"ync-no",
         MessageIcon::Question,
         MessageButtons::YesNoCancel,
         B::No,
         B::Question,
         {B::Yes, B::No, B::Cancel},
         MessageResult::No},
        {"ync-cancel",
         MessageIcon::Question,
         MessageButtons::YesNoCancel,
         B::Cancel,
         B::Question,
         {B::Yes, B::No, B::Cancel},
         MessageResult::Cancel},
        {"ync-esc",
         MessageIcon::Question,
         MessageButtons::YesNoCancel,
         B::NoButton,
         B::Question,
         {B::Yes, B::No, B::Cancel},
         MessageResult::Cancel},
        {"okcancel-ok",
         MessageIcon::None,
         MessageButtons::OkCancel,
         B::Ok,
         B::NoIcon,
         {B::Ok, B::Cancel},
         MessageResult::Ok},
        {"okcancel-esc",
         MessageIcon::Warning,
         MessageButtons::OkCancel,
         B::NoButton,
         B::Warning,
         {B::Ok, B::Cancel},
         MessageResult::Cancel},
    };
    QtMessageBoxService service;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Seen seen;
        tbtest::DialogScript<QMessageBox> script([&](QMessageBox& box) {
            seen = observe(box);
            act(box, c.click);
        });
        const MessageResult r = service.show("Text", "Title", c.icon, c.buttons);
        ASSERT_TRUE(script.found());
        EXPECT_FALSE(script.timedOut());
        EXPECT_EQ(r, c.expected);
        EXPECT_EQ(seen.icon, c.qtIcon);
        auto offered = c.offered;
        std::sort(offered.begin(), offered.end());
        EXPECT_EQ(seen.buttons, offered);
        EXPECT_EQ(seen.defaultButton, c.offered.front()) << "the first button is the default";
        EXPECT_EQ(seen.modality, Qt::ApplicationModal);
    }
}

TEST(QtMessageBoxService, ShowsWindows1251TextsAsUnicodeWithLineBreaksAndNoMarkup) {
    // "Ошибка" as the title; CR LF and a bare CR both break lines; "<b>" is shown as typed.
    const std::string title = "\xce\xf8\xe8\xe1\xea\xe0";
    const std::string text = "File <b>a.dtf</b>\r\nline 2\rline 3";
    QtMessageBoxService service;
    Seen seen;
    tbtest::DialogScript<QMessageBox> script([&](QMessageBox& box) {
        seen = observe(box);
        act(box, QMessageBox::Ok);
    });
    EXPECT_EQ(service.show(text, title, MessageIcon::Error, MessageButtons::Ok), MessageResult::Ok);
    ASSERT_TRUE(script.found());
    EXPECT_EQ(seen.title, QString::fromUtf8("Ошибка"));
    EXPECT_EQ(seen.text, QStringLiteral("File <b>a.dtf</b>\nline 2\nline 3"));
    EXPECT_EQ(seen.format, Qt::PlainText);
}

TEST(QtMessageBoxService, BoxBelongsToTheActiveWindow) {
    QWidget window;
    window.show();
    QApplication::setActiveWindow(&window);
    if (QApplication::activeWindow() != &window) {
        GTEST_SKIP() << "the platform does not activate windows";
    }
    QWidget* parent = nullptr;
    tbtest::DialogScript<QMessageBox> script([&](QMessageBox& box) {
        parent = box.parentWidget();
        act(box, QMessageBox::Ok);
    });
    QtMessageBoxService().show("x", "y", MessageIcon::None, MessageButtons::Ok);
    ASSERT_TRUE(script.found());
    EXPECT_EQ(parent, &window);
}
