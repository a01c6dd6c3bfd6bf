#include "config/LocalStringsUnit.h"

#include "platform/ui/Memo.h"
#include "platform/ui/MessageBox.h"

#include <gtest/gtest.h>

#include <fstream>

namespace fs = std::filesystem;
using platform::ui::MessageIcon;
using platform::ui::ScopedMessageBoxService;
using platform::ui::ScriptedMessageBoxes;
using platform::ui::TextMemo;

namespace {

// A program folder of its own with a strings/ folder of generated language files.
class LanguageFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        UnloadLanguageFiles();
        dir_ = fs::temp_directory_path() /
               (std::string("tb-lang-") +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "strings");
        writeList("errmsgs.str", 89, "E");
        writeList("captions.str", 378, "C");
        writeList("txtvarvalues.str", 33, "T");
    }
    void TearDown() override {
        UnloadLanguageFiles();
        fs::remove_all(dir_);
    }

    // Header line, then "n:<prefix>n" for every entry.
    void writeList(const std::string& name, int lines, const std::string& prefix,
                   const std::string& extra = "") {
        std::ofstream out(dir_ / "strings" / name, std::ios::binary);
        out << "header:not an entry\r\n";
        for (int n = 1; n < lines; ++n) {
            out << n << ':' << prefix << n << "\r\n";
        }
        out << extra;
    }

    void writeRaw(const std::string& name, const std::string& bytes) {
        std::ofstream(dir_ / "strings" / name, std::ios::binary) << bytes;
    }

    fs::path program() const { return dir_ / "tollerbank"; }

    fs::path dir_;
    ScriptedMessageBoxes boxes_;
    ScopedMessageBoxService scope_{&boxes_};
};

} // namespace

TEST_F(LanguageFilesTest, LoadsAndLooksUpEveryList) {
    ASSERT_TRUE(LoadLanguageFiles(program()));
    EXPECT_TRUE(boxes_.shown.empty());
    EXPECT_EQ(GetCaptionString(1), "C1");
    EXPECT_EQ(GetCaptionString(377), "C377");
    EXPECT_EQ(GetErrMsgString(88), "E88");
    EXPECT_EQ(GetTxtVarValueString(32), "T32");
}

TEST_F(LanguageFilesTest, EntryZeroAndEntriesPastTheEndAreEmpty) {
    ASSERT_TRUE(LoadLanguageFiles(program()));
    EXPECT_EQ(GetCaptionString(0), ""); // the header line has a colon, yet entry 0 is empty
    EXPECT_EQ(GetCaptionString(378), "");
    EXPECT_EQ(GetErrMsgString(89), "");
    EXPECT_EQ(GetTxtVarValueString(33), "");
    EXPECT_EQ(GetTxtVarValueString(-1), "");
}

TEST_F(LanguageFilesTest, LookupsBeforeLoadingAreEmpty) {
    EXPECT_EQ(GetCaptionString(5), "");
    EXPECT_EQ(GetErrMsgString(5), "");
}

TEST_F(LanguageFilesTest, OnlyTheFirstColonSeparatesAndTheNumberIsNotRead) {
    std::string captions = "Captions\r\n";
    for (int n = 1; n <= 377; ++n) {
        if (n == 177) {
            captions += "999:Time: us: max\r\n";
        } else if (n == 5) {
            captions += "no colon here\r\n";
        } else {
            captions += std::to_string(n) + ":x\r\n";
        }
    }
    writeRaw("captions.str", captions);
    ASSERT_TRUE(LoadLanguageFiles(program()));
    EXPECT_EQ(GetCaptionString(177), "Time: us: max");
    EXPECT_EQ(GetCaptionString(5), "");
    EXPECT_EQ(GetCaptionString(6), "x");
}

TEST_F(LanguageFilesTest, LfLinesAndALastLineWithoutEndAreAccepted) {
    std::string texts = "T\n";
    for (int n = 1; n <= 32; ++n) {
        texts += std::to_string(n) + ":w" + std::to_string(n) + (n < 32 ? "\n" : "");
    }
    writeRaw("txtvarvalues.str", texts);
    ASSERT_TRUE(LoadLanguageFiles(program()));
    EXPECT_EQ(GetTxtVarValueString(31), "w31");
    EXPECT_EQ(GetTxtVarValueString(32), "w32");
}

TEST_F(LanguageFilesTest, OneLineTooManyOrTooFewIsRefusedWithItsText) {
    struct Case {
        const char* file;
        int lines;
        const char* prefix;
        const char* text;
    };
    const Case cases[] = {
        {"errmsgs.str", 90, "E", "Wrong errmsgs.str file size! Reinstall language file! Error #12!"},
        {"errmsgs.str", 88, "E", "Wrong errmsgs.str file size! Reinstall language file! Error #12!"},
        {"captions.str", 379, "C", "Wrong caption.str file size! Reinstall language file! Error #12!"},
        {"captions.str", 377, "C", "Wrong caption.str file size! Reinstall language file! Error #12!"},
        {"txtvarvalues.str", 34, "T",
         "Wrong txtvarvalues.str file size! Reinstall language file! Error #14!"},
        {"txtvarvalues.str", 32, "T",
         "Wrong txtvarvalues.str file size! Reinstall language file! Error #14!"},
    };
    for (const Case& c : cases) {
        SetUp();
        boxes_.shown.clear();
        writeList(c.file, c.lines, c.prefix);
        EXPECT_FALSE(LoadLanguageFiles(program())) << c.file << " " << c.lines;
        ASSERT_EQ(boxes_.shown.size(), 1u);
        EXPECT_EQ(boxes_.shown[0].text, c.text);
        EXPECT_EQ(boxes_.shown[0].title, "Language File Error");
        EXPECT_EQ(boxes_.shown[0].icon, MessageIcon::Error);
    }
}

TEST_F(LanguageFilesTest, AnExtraEmptyLineAtTheEndIsRefused) {
    writeList("captions.str", 378, "C", "\r\n");
    EXPECT_FALSE(LoadLanguageFiles(program()));
    ASSERT_EQ(boxes_.shown.size(), 1u);
    // The lists read before the failing one stay loaded.
    EXPECT_EQ(GetErrMsgString(3), "E3");
    EXPECT_EQ(GetCaptionString(3), "");
}

TEST_F(LanguageFilesTest, AMissingFileAnswersFalseWithoutAMessage) {
    fs::remove(dir_ / "strings" / "txtvarvalues.str");
    EXPECT_FALSE(LoadLanguageFiles(program()));
    EXPECT_TRUE(boxes_.shown.empty());
    fs::remove_all(dir_ / "strings");
    EXPECT_FALSE(LoadLanguageFiles(program()));
    EXPECT_TRUE(boxes_.shown.empty());
}

TEST_F(LanguageFilesTest, AnUnreadableFileShowsTheOpenError) {
    fs::remove(dir_ / "strings" / "errmsgs.str");
    fs::create_directory(dir_ / "strings" / "errmsgs.str");
    EXPECT_FALSE(LoadLanguageFiles(program()));
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_EQ(boxes_.shown[0].text, "Wrong language file! Reinstall language file! Error #12!");
    EXPECT_EQ(boxes_.shown[0].title, "Language File Error");
}

TEST_F(LanguageFilesTest, BytesOutsideTheCodePageAreKeptAsTheyAre) {
    std::string errs = "E\r\n";
    for (int n = 1; n <= 88; ++n) {
        errs += std::to_string(n) + (n == 7 ? ":\x98\xE2\x82\xAC\x00z" : ":e") + "\r\n";
    }
    writeRaw("errmsgs.str", errs);
    ASSERT_TRUE(LoadLanguageFiles(program()));
    EXPECT_EQ(GetErrMsgString(7), std::string("\x98\xE2\x82\xAC"));
    EXPECT_EQ(GetErrMsgString(8), "e");
}

TEST_F(LanguageFilesTest, TextsAreReadOnceAtStartUp) {
    ASSERT_TRUE(LoadLanguageFiles(program()));
    fs::remove_all(dir_ / "strings");
    EXPECT_EQ(GetCaptionString(12), "C12");
}

TEST(CountTextLines, CountsBreaksFollowedByText) {
    EXPECT_EQ(CountTextLines(""), 1);
    EXPECT_EQ(CountTextLines("abc"), 1);
    EXPECT_EQ(CountTextLines("abc\r\n"), 1);
    EXPECT_EQ(CountTextLines("a\r\nb"), 2);
    EXPECT_EQ(CountTextLines("a\r\n\r\nb"), 3);
    EXPECT_EQ(CountTextLines("a\nb"), 1);
}

TEST(FormatPageCountCaption, FillsTheNumberWithoutPrintf) {
    EXPECT_EQ(FormatPageCountCaption("Select a page from 1 to %d", 12),
              "Select a page from 1 to 12");
    EXPECT_EQ(FormatPageCountCaption("%s %n %d %d", 3), "%s %n 3 %d");
    EXPECT_EQ(FormatPageCountCaption("no number", 3), "no number");
}

namespace {

class FitMemoTextTest : public ::testing::Test {
protected:
    ScriptedMessageBoxes boxes_;
    ScopedMessageBoxService scope_{&boxes_};
    TextMemo memo_;
};

} // namespace

TEST_F(FitMemoTextTest, BreaksALongLineIntoPiecesAndWarns) {
    memo_.setText("abcdefghijklmnopqrstuvwxy");
    EXPECT_TRUE(FitMemoText(&memo_, 5, 10, 0));
    EXPECT_EQ(memo_.text(), "abcdefghij\r\nklmnopqrst\r\nuvwxy");
    EXPECT_EQ(memo_.tag(), 1); // the change it made must not re-enter
    EXPECT_EQ(memo_.caret(), static_cast<int>(memo_.text().size()));
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_EQ(boxes_.shown[0].icon, MessageIcon::Warning);
}

TEST_F(FitMemoTextTest, ReentryOnlyClearsTheMarker) {
    memo_.setText("abcdefghijklmnopqrstuvwxy");
    memo_.setTag(1);
    EXPECT_TRUE(FitMemoText(&memo_, 5, 10, 0));
    EXPECT_EQ(memo_.tag(), 0);
    EXPECT_EQ(memo_.text(), "abcdefghijklmnopqrstuvwxy");
    EXPECT_TRUE(boxes_.shown.empty());
}

TEST_F(FitMemoTextTest, TextThatFitsIsLeftAlone) {
    memo_.setText("short\r\ntext");
    const int calls = memo_.setTextCalls();
    EXPECT_TRUE(FitMemoText(&memo_, 5, 10, 3));
    EXPECT_EQ(memo_.text(), "short\r\ntext");
    EXPECT_EQ(memo_.setTextCalls(), calls);
    EXPECT_TRUE(boxes_.shown.empty());
    EXPECT_EQ(memo_.selectionLength(), 0);
}

TEST_F(FitMemoTextTest, LinesPastTheLimitAreCutWithTheirBreak) {
    memo_.setText("l1\r\nl2\r\nl3\r\nl4");
    FitMemoText(&memo_, 2, 10, 0);
    EXPECT_EQ(memo_.text(), "l1\r\nl2");
    EXPECT_FALSE(boxes_.shown.empty());
}

TEST_F(FitMemoTextTest, AnInsertedBreakPastTheLimitKeepsTheLastCharacter) {
    memo_.setText("abcdefghijXYZ");
    FitMemoText(&memo_, 1, 10, 0);
    EXPECT_EQ(memo_.text(), "abcdefghij");
}

TEST_F(FitMemoTextTest, ALineOfExactlyTheWidthGetsNoEmptyLineAfterIt) {
    memo_.setText("abcdefghij\r\nk");
    EXPECT_TRUE(FitMemoText(&memo_, 5, 10, 0));
    EXPECT_EQ(memo_.text(), "abcdefghij\r\nk");
    EXPECT_TRUE(boxes_.shown.empty());
}

TEST_F(FitMemoTextTest, ListLinesBeyondTheMaximumAreDeleted) {
    memo_.setText("a\r\nb\r\nc\r\nd");
    FitMemoText(&memo_, 0, 0, 2);
    EXPECT_EQ(memo_.text(), "a\r\nb");
    EXPECT_EQ(boxes_.shown.size(), 1u);
}

TEST_F(FitMemoTextTest, NullMemoAnswersTrue) {
    EXPECT_TRUE(FitMemoText(nullptr, 5, 10, 0));
}

TEST(ShippedLanguageFiles, LoadBesideTheProgram) {
    ScriptedMessageBoxes boxes;
    ScopedMessageBoxService scope(&boxes);
    UnloadLanguageFiles();
    ASSERT_TRUE(LoadLanguageFiles(fs::path(TB_OUTPUT_DIR) / "tollerbank3"));
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_FALSE(GetCaptionString(2).empty());
    EXPECT_EQ(GetCaptionString(111).back(), ':');
    UnloadLanguageFiles();
}
