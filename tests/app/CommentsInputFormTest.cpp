// The comments editor: fitting while typing with its one warning, a record's longer comments kept
// when confirmed unchanged, characters the code page lacks refused.
#include "DialogTestSupport.h"

#include "app/dialogs/CommentsInputFormUnit.h"
#include "platform/ui/QtMemo.h"
#include "platform/ui/MessageBox.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using app::TCommentsInputForm;
using Lines = std::vector<std::string>;

class CommentsInput : public DialogTest {
protected:
    platform::ui::ScriptedMessageBoxes boxes;
    platform::ui::ScopedMessageBoxService scope{&boxes};
    TCommentsInputForm form;
};

TEST_F(CommentsInput, TypingIsFittedAndCheckedForTheCodePage) {
    form.SetLines({});
    for (int i = 1; i <= 7; ++i) {
        QTest::keyClicks(form.Editor(), QStringLiteral("line %1").arg(i));
        QTest::keyClick(form.Editor(), Qt::Key_Return);
    }
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].title, GetErrMsgString(82));
    EXPECT_EQ(boxes.shown[0].text, GetErrMsgString(83));
    ASSERT_EQ(form.Lines().size(), 6u);
    EXPECT_EQ(form.Lines()[4], "line 5");

    form.SetLines({});
    QTest::keyClicks(form.Editor(), QString(60, QChar('x')));
    EXPECT_EQ(form.Lines(), (Lines{std::string(50, 'x'), std::string(10, 'x')}));

    // Typing goes on after a fitting; euro, micro and Zhe are Windows-1251, the others are not.
    form.SetLines({"a"});
    QTest::keyClick(form.Editor(), Qt::Key_End);
    typeText(form.Editor(), QStringLiteral("b\u4E2D\u20AC\u00B5\u2603"));
    QGuiApplication::clipboard()->setText(QStringLiteral("\u0416\U0001F600z"));
    form.Editor()->paste();
    EXPECT_EQ(form.Lines(), Lines{"ab\x88\xB5\xC6z"});
    EXPECT_EQ(form.Memo().tag(), 0);
}

TEST_F(CommentsInput, LoadedCommentsAreKeptUntilChanged) {
    Lines eight;
    for (int i = 1; i <= 8; ++i) {
        eight.push_back("comment " + std::to_string(i));
    }
    eight[2] = std::string(70, 'y');
    eight[3] = "\xCF\xF0\xE8\xE2\xE5\xF2";
    for (const auto key : {Qt::Key_Return, Qt::Key_Escape}) {
        form.SetLines(eight);
        whenModal([&] {
            if (key == Qt::Key_Return) {
                form.findChild<QPushButton*>("BitBtn1")->click();
            } else {
                QTest::keyClick(form.Editor(), key);
            }
        });
        EXPECT_EQ(form.exec(), key == Qt::Key_Return ? QDialog::Accepted : QDialog::Rejected);
        EXPECT_EQ(form.Lines(), eight);
    }
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(form.Editor()->blockCount(), 8);

    QTest::keyClick(form.Editor(), Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(form.Editor(), "!");
    EXPECT_EQ(boxes.shown.size(), 1u);
    const Lines fitted = form.Lines();
    ASSERT_EQ(fitted.size(), 6u);
    EXPECT_EQ(fitted[2], std::string(50, 'y'));
    EXPECT_EQ(fitted[3], std::string(20, 'y'));
    EXPECT_EQ(fitted[4], eight[3]); // through the editor and back
}
