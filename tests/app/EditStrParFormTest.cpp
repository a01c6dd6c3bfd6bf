// The name editor: the key filter as a table, the filter on the edit field (typing, editing keys,
// pasting, the length limit) and what the run helper answers.
#include "DialogTestSupport.h"

#include "app/dialogs/EditStrParFormUnit.h"
#include "config/CharMappingUnit.h"

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
    for (const auto& entry : CharMapTable) {
        form.AddAllowedChars(std::string(1, static_cast<char>(entry.character)));
    }
    form.ClearCharMappings();
    for (const auto& pair : CaseMapTable) {
        form.AddCharMapping(static_cast<char>(pair.lower), static_cast<char>(pair.upper));
    }
}

} // namespace

TEST(EditStrParKeyFilter, Table) {
    TEditStrParForm form;
    loadInstrumentChars(form);
    const std::string& all = form.AllowedChars();
    const std::string& from = form.MapFromChars();
    const std::string& to = form.MapToChars();
    const struct {
        std::string allowed, from, to;
        char in, out;
    } cases[] = {
        {"", "w", "W", '#', '#'},      // nothing allowed: everything passes, unmapped
        {"", "w", "W", 'w', 'w'},      //
        {"Aa", "a", "A", 'a', 'a'},    // allowed wins over a mapping
        {"Z", "aa", "XY", 'a', 'X'},   // the first mapping counts
        {"AB", "ab", "AB", '#', '\0'}, // neither allowed nor mapped: dropped
        {"A", "", "", 'a', '\0'},      // case-sensitive
        {"A", "ab", "A", 'b', '\0'},   // a mapping without a partner
        {all, from, to, 'w', 'W'},       {all, from, to, 'd', 'd'},       {all, from, to, '#', '#'},
        {all, from, to, '@', '\0'},      {all, from, to, '\xE0', '\xC0'}, // Cyrillic small a
        {all, from, to, '\xB8', '\xC5'}, // small io: the instrument has only capital ie
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FilterKeyChar(c.in, c.allowed, c.from, c.to), c.out)
            << "'" << c.in << "' allowed " << c.allowed.size();
    }
    for (const auto& pair : CaseMapTable) { // every pair lands inside the character set
        char key = static_cast<char>(pair.lower);
        form.FormKeyPress(key);
        EXPECT_NE(all.find(key), std::string::npos) << int(pair.lower);
    }
}

class EditStrParField : public DialogTest {};

TEST_F(EditStrParField, FilterAppliesToTheFieldAndEditingKeysPass) {
    TEditStrParForm form;
    loadInstrumentChars(form);
    form.SetMaxLength(19);
    QLineEdit* edit = form.Edit();
    QTest::keyClicks(edit, "we@ld!");
    typeText(edit, QStringLiteral("\u0451\u4E2D")); // io, then a character 1251 lacks
    EXPECT_EQ(form.EditText(), "WELD\xC5");
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClick(edit, Qt::Key_Home);
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClick(edit, Qt::Key_Right);
    QTest::keyClicks(edit, "x");
    EXPECT_EQ(form.EditText(), "EXLD");

    edit->clear();
    QGuiApplication::clipboard()->setText(QStringLiteral("a@b#c"));
    edit->paste();
    EXPECT_EQ(form.EditText(), "AB#C");
    QTest::keyClicks(edit, "abcdefghijklmnopqrstuvwxyz");
    EXPECT_EQ(edit->text().size(), 19);
}

TEST_F(EditStrParField, RunAnswersWhatWasConfirmedAndStaysOnTheScreen) {
    TEditStrParForm form;
    loadInstrumentChars(form);
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const struct {
        const char* keys;
        Qt::Key end;
        QPoint at;
        bool accepted, changed;
        std::string text;
    } cases[] = {
        {"weld", Qt::Key_Return, {100, 100}, true, true, "DB 1WELD"},
        // Shown upper case; confirmed unedited, the name stays as it was.
        {"", Qt::Key_Return, {area.right() + 500, area.bottom() + 500}, true, false, "dB 1"},
        {"x", Qt::Key_Escape, {-400, -50}, false, false, "dB 1"},
    };
    for (const auto& c : cases) {
        QString shown;
        QPoint placed;
        whenModal([&] {
            shown = form.Edit()->text();
            placed = form.pos();
            QTest::keyClick(form.Edit(), Qt::Key_End);
            QTest::keyClicks(form.Edit(), c.keys);
            QTest::keyClick(form.Edit(), c.end);
        });
        const auto result = TEditStrParForm::Run(form, "Name of configuration 1", "dB 1", 19, c.at);
        EXPECT_EQ(shown, QStringLiteral("DB 1"));
        EXPECT_EQ(result.accepted, c.accepted) << c.keys;
        EXPECT_EQ(result.changed, c.changed) << c.keys;
        EXPECT_EQ(result.text, c.text) << c.keys;
        EXPECT_TRUE(area.contains(QRect(placed, form.size())));
        EXPECT_EQ(placed == c.at, area.contains(QRect(c.at, form.size())));
    }
}
