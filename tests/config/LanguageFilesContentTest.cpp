// Checks the shipped language files themselves: the loader refuses a file whose line count is off
// by one, and several texts are parsed, compared or used as formats by the program, so a careless
// edit of a wording can break a feature without any compile error.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace {

struct LanguageFile {
    std::string name;
    std::string bytes;
    std::vector<std::string> lines; // without their CR LF
};

std::string readBinary(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        ADD_FAILURE() << "cannot open " << path;
        return {};
    }
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Splits on CR LF only; a lone CR or LF stays inside its line so that the checks below see it.
std::vector<std::string> splitCrLf(std::string_view bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t end = bytes.find("\r\n", start);
        if (end == std::string_view::npos) {
            lines.emplace_back(bytes.substr(start));
            break;
        }
        lines.emplace_back(bytes.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

LanguageFile loadLanguageFile(const std::string& name) {
    LanguageFile file;
    file.name = name;
    file.bytes = readBinary(std::string(TB_SOURCE_DIR) + "/strings/" + name);
    file.lines = splitCrLf(file.bytes);
    return file;
}

// The program's own rule: the text of an entry is everything after the first colon of its line.
std::string textAfterFirstColon(const std::string& line) {
    const std::size_t colon = line.find(':');
    return colon == std::string::npos ? std::string() : line.substr(colon + 1);
}

// Entry n is line n + 1 of the file.
std::string entry(const LanguageFile& file, std::size_t n) {
    if (n == 0 || n >= file.lines.size()) {
        ADD_FAILURE() << file.name << " has no entry " << n;
        return {};
    }
    return textAfterFirstColon(file.lines[n]);
}

std::size_t countOf(std::string_view text, std::string_view what) {
    std::size_t count = 0;
    for (std::size_t at = text.find(what); at != std::string_view::npos;
         at = text.find(what, at + what.size())) {
        ++count;
    }
    return count;
}

bool endsWith(std::string_view text, std::string_view tail) {
    return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

constexpr unsigned char kDegree = 0xB0;
constexpr unsigned char kMicro = 0xB5;

// Characters the instrument can show in a configuration name.
bool isInstrumentCharacter(char c) {
    const auto u = static_cast<unsigned char>(c);
    if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || u == kDegree || u == kMicro) {
        return true;
    }
    return std::string_view(" .,#-+%:*\\>dmsin").find(c) != std::string_view::npos;
}

struct Expected {
    const char* name;
    std::size_t lines;
};

void PrintTo(const Expected& expected, std::ostream* os) {
    *os << expected.name;
}

constexpr Expected kFiles[] = {
    {"captions.str", 378},
    {"errmsgs.str", 89},
    {"txtvarvalues.str", 33},
};

class LanguageFileShape : public ::testing::TestWithParam<Expected> {};

TEST_P(LanguageFileShape, HasExactlyTheRequiredNumberOfCrLfLines) {
    const LanguageFile file = loadLanguageFile(GetParam().name);
    ASSERT_FALSE(file.bytes.empty());
    EXPECT_EQ(countOf(file.bytes, "\r\n"), GetParam().lines);
    EXPECT_EQ(file.lines.size(), GetParam().lines);
    EXPECT_TRUE(endsWith(file.bytes, "\r\n")) << "the last line must be ended too";
    EXPECT_FALSE(endsWith(file.bytes, "\r\n\r\n")) << "an empty line at the end adds a line";
}

TEST_P(LanguageFileShape, HasNoCarriageReturnOrLineFeedOutsideCrLfPairs) {
    const LanguageFile file = loadLanguageFile(GetParam().name);
    const std::size_t pairs = countOf(file.bytes, "\r\n");
    EXPECT_EQ(static_cast<std::size_t>(std::count(file.bytes.begin(), file.bytes.end(), '\r')),
              pairs);
    EXPECT_EQ(static_cast<std::size_t>(std::count(file.bytes.begin(), file.bytes.end(), '\n')),
              pairs);
}

TEST_P(LanguageFileShape, HoldsOnlyPrintableWindows1251Bytes) {
    const LanguageFile file = loadLanguageFile(GetParam().name);
    for (std::size_t i = 0; i < file.lines.size(); ++i) {
        for (const char c : file.lines[i]) {
            const auto u = static_cast<unsigned char>(c);
            EXPECT_NE(u, 0x98) << file.name << " line " << i + 1 << ": 0x98 has no character";
            EXPECT_GE(u, 0x20) << file.name << " line " << i + 1 << ": control byte";
            EXPECT_NE(u, 0x7F) << file.name << " line " << i + 1 << ": control byte";
        }
    }
}

TEST_P(LanguageFileShape, EveryEntryLineIsItsNumberAColonAndANonEmptyText) {
    const LanguageFile file = loadLanguageFile(GetParam().name);
    for (std::size_t n = 1; n < file.lines.size(); ++n) {
        const std::string& line = file.lines[n];
        const std::size_t colon = line.find(':');
        ASSERT_NE(colon, std::string::npos) << file.name << " entry " << n << " has no colon";
        // The loader ignores the number, but a number that does not match its line means an
        // entry was inserted or dropped and everything after it is shifted.
        EXPECT_EQ(line.substr(0, colon), std::to_string(n)) << file.name << " entry " << n;
        EXPECT_FALSE(textAfterFirstColon(line).empty()) << file.name << " entry " << n;
    }
}

INSTANTIATE_TEST_SUITE_P(AllLanguageFiles, LanguageFileShape, ::testing::ValuesIn(kFiles),
                         [](const ::testing::TestParamInfo<Expected>& info) {
                             std::string name = info.param.name;
                             name.erase(name.find('.'));
                             return name;
                         });

TEST(CaptionTexts, FileHeaderLabelsEndInTheirOnlyColon) {
    const LanguageFile captions = loadLanguageFile("captions.str");
    for (std::size_t n = 111; n <= 115; ++n) {
        const std::string label = entry(captions, n);
        EXPECT_EQ(countOf(label, ":"), 1u) << "caption " << n << ": \"" << label << "\"";
        EXPECT_TRUE(endsWith(label, ":")) << "caption " << n << ": \"" << label << "\"";
        EXPECT_GT(label.size(), 1u) << "caption " << n;
    }
    // What a reader of a written header line gets back.
    EXPECT_EQ(textAfterFirstColon(entry(captions, 111) + "KSN3"), "KSN3");
}

TEST(CaptionTexts, DefaultConfigurationNameFitsTheInstrument) {
    const LanguageFile captions = loadLanguageFile("captions.str");
    const std::string name = entry(captions, 200);
    EXPECT_FALSE(name.empty());
    EXPECT_LE(name.size(), 19u) << "the rename editor accepts 19 characters";
    for (const char c : name) {
        EXPECT_TRUE(isInstrumentCharacter(c))
            << "caption 200 holds byte " << static_cast<int>(static_cast<unsigned char>(c))
            << " the instrument cannot show";
    }
}

TEST(CaptionTexts, GoToPageTitleHoldsOneIntegerPlaceholderAndNoOtherPercent) {
    const LanguageFile captions = loadLanguageFile("captions.str");
    const std::string title = entry(captions, 153);
    EXPECT_EQ(countOf(title, "%d"), 1u) << title;
    EXPECT_EQ(countOf(title, "%"), 1u) << title;
}

TEST(CaptionTexts, InstrumentCharacterSetIsTheOneTheNameEditorAllows) {
    EXPECT_TRUE(isInstrumentCharacter('Q'));
    EXPECT_TRUE(isInstrumentCharacter('\\'));
    EXPECT_TRUE(isInstrumentCharacter('n'));
    EXPECT_TRUE(isInstrumentCharacter(static_cast<char>(kMicro)));
    EXPECT_FALSE(isInstrumentCharacter('a'));
    EXPECT_FALSE(isInstrumentCharacter('_'));
    EXPECT_FALSE(isInstrumentCharacter('/'));
}

TEST(ErrorMessageTexts, RangeMessagePrefixesEndInTheCommonPhrase) {
    const LanguageFile errmsgs = loadLanguageFile("errmsgs.str");
    const std::string_view phrase = " should be in range of ";
    for (std::size_t n = 24; n <= 80; ++n) {
        const std::string prefix = entry(errmsgs, n);
        EXPECT_TRUE(endsWith(prefix, phrase)) << "error message " << n << ": \"" << prefix << "\"";
        EXPECT_GT(prefix.size(), phrase.size()) << "error message " << n << " names nothing";
    }
}

TEST(ErrorMessageTexts, RangeMessageSuffixDoesNotRunIntoTheMaximum) {
    const LanguageFile errmsgs = loadLanguageFile("errmsgs.str");
    const std::string suffix = entry(errmsgs, 23);
    ASSERT_FALSE(suffix.empty());
    // "0..319" + suffix must still read as the maximum 319.
    EXPECT_EQ(std::string_view("0123456789").find(suffix.front()), std::string_view::npos);
}

// Words the parameter editors compare after cutting to 6 characters and removing blanks.
TEST(TextVariableValues, ChoiceWordsSurviveTheEditorsPreparation) {
    const LanguageFile values = loadLanguageFile("txtvarvalues.str");
    for (const std::size_t n : {2, 3, 4, 5, 8, 9, 10, 11, 12, 13, 14, 15}) {
        const std::string word = entry(values, n);
        EXPECT_FALSE(word.empty()) << "text " << n;
        EXPECT_LE(word.size(), 6u) << "text " << n << ": \"" << word << "\"";
        EXPECT_EQ(word.find(' '), std::string::npos) << "text " << n << ": \"" << word << "\"";
    }
}

TEST(TextVariableValues, WordsOfOneChoiceListDiffer) {
    const LanguageFile values = loadLanguageFile("txtvarvalues.str");
    const std::vector<std::vector<std::size_t>> lists = {
        {2, 3}, {4, 5}, {8, 9}, {10, 11}, {12, 13, 14, 15}};
    for (const auto& list : lists) {
        for (std::size_t i = 0; i < list.size(); ++i) {
            for (std::size_t j = i + 1; j < list.size(); ++j) {
                EXPECT_NE(entry(values, list[i]), entry(values, list[j]))
                    << "texts " << list[i] << " and " << list[j];
            }
        }
    }
}

TEST(TextVariableValues, FileKindNamesHoldNoFilterSeparator) {
    const LanguageFile values = loadLanguageFile("txtvarvalues.str");
    for (const std::size_t n : {16, 17, 18, 30}) {
        const std::string kind = entry(values, n);
        EXPECT_FALSE(kind.empty()) << "text " << n;
        EXPECT_EQ(kind.find('|'), std::string::npos) << "text " << n << ": \"" << kind << "\"";
    }
}

TEST(LanguageFileHelpers, SplitKeepsStrayLineBreaksInsideTheirLine) {
    const auto lines = splitCrLf("a\r\nb\nc\r\n");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "a");
    EXPECT_EQ(lines[1], "b\nc");
    EXPECT_EQ(textAfterFirstColon("7:a:b"), "a:b");
    EXPECT_EQ(textAfterFirstColon("no colon"), "");
}

} // namespace
