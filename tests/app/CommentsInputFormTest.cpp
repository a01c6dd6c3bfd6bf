// The comments editor: fitting while typing (with its one warning), a record's longer comments
// kept when confirmed unchanged, characters the code page lacks refused, and the memo adapter's
// conversions and change handling that the fitting routine relies on.
#include "DialogTestSupport.h"

#include "app/dialogs/CommentsInputFormUnit.h"
#include "app/dialogs/QtMemo.h"
#include "platform/ui/MessageBox.h"

#include <QApplication>
#include <QClipboard>
#include <QPlainTextEdit>
#include <QTest>

using app::QtMemo;
using app::TCommentsInputForm;
using platform::ui::ScopedMessageBoxService;
using platform::ui::ScriptedMessageBoxes;

namespace {

void typeLines(QPlainTextEdit* editor, int count) {
    for (int i = 1; i <= count; ++i) {
        if (i > 1) {
            QTest::keyClick(editor, Qt::Key_Return);
        }
        QTest::keyClicks(editor, QStringLiteral("line %1").arg(i));
    }
}

} // namespace

class CommentsInput : public DialogTest {};

TEST_F(CommentsInput, TypingIsFittedWithOneWarning) {
    ScriptedMessageBoxes boxes;
    ScopedMessageBoxService scope(&boxes);
    TCommentsInputForm form;
    form.SetLines({});
    form.show();

    typeLines(form.Editor(), 7);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].title, GetErrMsgString(82));
    EXPECT_EQ(boxes.shown[0].text, GetErrMsgString(83));
    const auto lines = form.Lines();
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], "line 1");
    EXPECT_EQ(lines[4], "line 5");

    // A line longer than fifty characters is broken at fifty.
    boxes.shown.clear();
    form.SetLines({});
    QTest::keyClicks(form.Editor(), QString(60, QChar('x')));
    EXPECT_EQ(form.Lines(), (std::vector<std::string>{std::string(50, 'x'), std::string(10, 'x')}));

    // Typing goes on normally after the fitting (the re-entry mark is not left behind).
    form.SetLines({"a"});
    QTest::keyClick(form.Editor(), Qt::Key_End);
    QTest::keyClicks(form.Editor(), "bc");
    EXPECT_EQ(form.Lines(), std::vector<std::string>{"abc"});
    EXPECT_EQ(form.Memo().tag(), 0);
}

TEST_F(CommentsInput, LoadedCommentsAreKeptUntilChanged) {
    ScriptedMessageBoxes boxes;
    ScopedMessageBoxService scope(&boxes);
    TCommentsInputForm form;
    std::vector<std::string> eight;
    for (int i = 1; i <= 8; ++i) {
        eight.push_back("comment " + std::to_string(i));
    }
    eight[2] = std::string(70, 'y');
    eight[3] = "\xCF\xF0\xE8\xE2\xE5\xF2"; // Cyrillic, Windows-1251

    for (const bool confirm : {true, false}) {
        form.SetLines(eight);
        whenModal([&] {
            QTest::keyClick(form.Editor(), confirm ? Qt::Key_Tab : Qt::Key_Escape);
            if (confirm) {
                form.accept();
            }
        });
        EXPECT_EQ(form.exec(), confirm ? QDialog::Accepted : QDialog::Rejected);
        EXPECT_EQ(form.Lines(), eight);
        EXPECT_TRUE(boxes.shown.empty());
    }
    EXPECT_EQ(form.Editor()->blockCount(), 8);

    // The first change fits the whole text.
    QTest::keyClick(form.Editor(), Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(form.Editor(), "!");
    EXPECT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(form.Lines().size(), 6u);
}

TEST_F(CommentsInput, CharactersTheCodePageLacksAreRefused) {
    TCommentsInputForm form;
    form.SetLines({});
    form.show();
    typeText(form.Editor(), QStringLiteral("a\u4E2Db\u20AC\u00B5\u2603"));
    QGuiApplication::clipboard()->setText(QStringLiteral("\u0416\U0001F600z"));
    form.Editor()->paste();
    // euro 0x88, micro 0xB5, Cyrillic Zhe 0xC6
    EXPECT_EQ(form.Lines(), std::vector<std::string>{"ab\x88\xB5\xC6z"});
}

TEST(QtMemoAdapter, ConvertsAndRunsTheChangeHandlerOncePerChange) {
    QPlainTextEdit editor;
    QtMemo memo(&editor);
    int changes = 0;
    memo.OnChange = [&] { ++changes; };

    const std::string text = "first\r\n\xC2\xF2\xEE\xF0\xEE\xE9\r\nthird";
    memo.setText(text);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(editor.toPlainText(),
              QStringLiteral("first\n\u0412\u0442\u043E\u0440\u043E\u0439\nthird"));
    EXPECT_EQ(memo.text(), text);
    EXPECT_EQ(memo.lineCount(), 3);

    memo.deleteLine(1);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(memo.text(), "first\r\nthird");
    memo.deleteLine(5);
    EXPECT_EQ(changes, 2);

    memo.loadText("quiet\r\n");
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(memo.lineCount(), 1);

    editor.setFocus();
    QTest::keyClick(&editor, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(&editor, "ab");
    EXPECT_EQ(changes, 4);
    EXPECT_EQ(memo.text(), "quiet\r\nab");

    memo.moveCaretToEnd();
    EXPECT_EQ(editor.textCursor().position(), editor.document()->characterCount() - 1);
    QTextCursor c = editor.textCursor();
    c.setPosition(0);
    editor.setTextCursor(c);
    memo.setSelectionLength(3);
    EXPECT_EQ(editor.textCursor().selectedText(), QStringLiteral("qui"));
    memo.setSelectionLength(0);
    EXPECT_FALSE(editor.textCursor().hasSelection());
}
