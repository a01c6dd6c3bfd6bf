// The name editor: its key filter as a table, the filter on the edit field (typing, editing keys,
// pasting, the length limit) and the run helper's answers.
#include "DialogTestSupport.h"

#include "app/dialogs/EditStrParFormUnit.h"
#include "config/CharMappingUnit.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QTest>

using app::FilterKeyChar;
using app::TEditStrParForm;

namespace {

// The characters and case pairs the configurations page loads for a name.
void loadInstrumentChars(TEditStrParForm& form) {
    form.ClearAllowedChars();
    std::string chars;
    for (const auto& entry : CharMapTable) {
        chars += static_cast<char>(entry.character);
    }
    form.AddAllowedChars(chars);
    form.ClearCharMappings();
    for (const auto& pair : CaseMapTable) {
        form.AddCharMapping(static_cast<char>(pair.lower), static_cast<char>(pair.upper));
    }
}

} // namespace

TEST(EditStrParKeyFilter, Table) {
    struct Case {
        const char* what;
        std::string allowed, from, to;
        char in, out;
    };
    const Case cases[] = {
        {"nothing allowed lets everything pass", "", "", "", '#', '#'},
        {"nothing allowed ignores the mappings", "", "w", "W", 'w', 'w'},
        {"an allowed character passes", "AB#", "", "", '#', '#'},
        {"allowed wins over a mapping", "Aa", "a", "A", 'a', 'a'},
        {"a mapped character becomes its partner", "AB", "ab", "AB", 'b', 'B'},
        {"the first mapping of a character counts", "Z", "aa", "XY", 'a', 'X'},
        {"neither allowed nor mapped is dropped", "AB", "ab", "AB", '#', '\0'},
        {"comparison is case-sensitive", "A", "", "", 'a', '\0'},
        {"a mapping without a partner drops", "A", "ab", "A", 'b', '\0'},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FilterKeyChar(c.in, c.allowed, c.from, c.to), c.out) << c.what;
    }
}

TEST(EditStrParKeyFilter, InstrumentCharacters) {
    TEditStrParForm form;
    const struct {
        char in, out;
    } cases[] = {
        {'w', 'W'},       {'W', 'W'},  {'d', 'd'},       {'#', '#'},
        {'@', '\0'},      {'!', '\0'}, {'\xE0', '\xC0'}, // Cyrillic small a -> capital A
        {'\xB8', '\xC5'}, // small io -> capital ie, the instrument has no io
        {'\xB5', '\xB5'}, // micro sign
    };
    loadInstrumentChars(form);
    for (const auto& c : cases) {
        char key = c.in;
        form.FormKeyPress(key);
        EXPECT_EQ(key, c.out) << "typed " << int(static_cast<unsigned char>(c.in));
    }
    // Every case pair lands inside the character set.
    for (const auto& pair : CaseMapTable) {
        char key = static_cast<char>(pair.lower);
        form.FormKeyPress(key);
        EXPECT_NE(form.AllowedChars().find(key), std::string::npos) << int(pair.lower);
    }
    form.ClearAllowedChars();
    char key = '@';
    form.FormKeyPress(key);
    EXPECT_EQ(key, '@');
}

class EditStrParField : public DialogTest {};

TEST_F(EditStrParField, TypingGoesThroughTheFilterAndEditingKeysStillWork) {
    TEditStrParForm form;
    loadInstrumentChars(form);
    form.SetMaxLength(19);
    form.SetEditText("");
    form.show();
    QLineEdit* edit = form.Edit();
    edit->setFocus();

    QTest::keyClicks(edit, "we@ld!");
    EXPECT_EQ(form.EditText(), "WELD");
    typeText(edit, QStringLiteral("\u0451\u4E2D")); // io, then a character 1251 lacks
    EXPECT_EQ(form.EditText(), "WELD\xC5");

    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(form.EditText(), "WELD");
    QTest::keyClick(edit, Qt::Key_Home);
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClick(edit, Qt::Key_Right);
    QTest::keyClicks(edit, "x");
    EXPECT_EQ(form.EditText(), "EXLD");
    QTest::keyClick(edit, Qt::Key_End);
    QTest::keyClick(edit, Qt::Key_Left);
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(form.EditText(), "EXD");

    // Pasted text is filtered too, and the field keeps its length limit.
    edit->clear();
    QGuiApplication::clipboard()->setText(QStringLiteral("a@b#c"));
    edit->paste();
    EXPECT_EQ(form.EditText(), "AB#C");
    QTest::keyClicks(edit, "abcdefghijklmnopqrstuvwxyz");
    EXPECT_EQ(edit->text().size(), 19);
    form.SetMaxLength(22);
    QTest::keyClicks(edit, "abcdefgh");
    EXPECT_EQ(edit->text().size(), 22);
}

TEST_F(EditStrParField, RunAnswersWhatWasConfirmed) {
    TEditStrParForm form;
    loadInstrumentChars(form);
    struct Case {
        const char* what;
        std::function<void(QLineEdit*)> user;
        bool accepted, changed;
        std::string text;
    };
    const Case cases[] = {
        {"typed and Enter",
         [](QLineEdit* e) {
             e->selectAll();
             QTest::keyClicks(e, "weld");
             QTest::keyClick(e, Qt::Key_Return);
         },
         true, true, "WELD"},
        // The field shows the name upper case; confirming it unedited keeps the name as it was.
        {"unedited Enter", [](QLineEdit* e) { QTest::keyClick(e, Qt::Key_Return); }, true, false,
         "dB 1"},
        {"edited back to the same text",
         [](QLineEdit* e) {
             QTest::keyClick(e, Qt::Key_End);
             QTest::keyClick(e, Qt::Key_Backspace);
             QTest::keyClicks(e, "1");
             QTest::keyClick(e, Qt::Key_Return);
         },
         true, true, "DB 1"},
        {"typed and Esc",
         [](QLineEdit* e) {
             QTest::keyClicks(e, "x");
             QTest::keyClick(e, Qt::Key_Escape);
         },
         false, false, "dB 1"},
    };
    for (const Case& c : cases) {
        QString shown;
        whenModal([&] {
            shown = form.Edit()->text();
            c.user(form.Edit());
        });
        const auto result =
            TEditStrParForm::Run(form, "Name of configuration 1", "dB 1", 19, QPoint(100, 100));
        EXPECT_EQ(shown, QStringLiteral("DB 1")) << c.what;
        EXPECT_EQ(result.accepted, c.accepted) << c.what;
        EXPECT_EQ(result.changed, c.changed) << c.what;
        EXPECT_EQ(result.text, c.text) << c.what;
        EXPECT_EQ(form.Edit()->maxLength(), 19);
    }
}

TEST_F(EditStrParField, RunKeepsTheDialogOnTheScreen) {
    TEditStrParForm form;
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    for (const QPoint asked : {QPoint(area.right() + 500, area.bottom() + 500), QPoint(-400, -50),
                               QPoint(area.left() + 30, area.top() + 40)}) {
        QPoint placed;
        whenModal([&] {
            placed = form.pos();
            form.reject();
        });
        TEditStrParForm::Run(form, "", "", 22, asked);
        EXPECT_TRUE(area.contains(QRect(placed, form.size()))) << asked.x() << "," << asked.y();
        if (area.contains(QRect(asked, form.size()))) {
            EXPECT_EQ(placed, asked);
        }
    }
}
