#include "config/AuxilaryFunctionsUnit.h"
#include "config/CharMappingUnit.h"

#include "platform/text/Numbers.h"

#include <gtest/gtest.h>

#include <clocale>
#include <set>

TEST(CharMapping, CodesAndCharactersAreUnique) {
    std::set<int> codes;
    std::set<int> chars;
    for (const auto& e : CharMapTable) {
        codes.insert(e.code);
        chars.insert(e.character);
    }
    EXPECT_EQ(codes.size(), 86u);
    EXPECT_EQ(chars.size(), 86u);
}

TEST(CharMapping, EveryCharacterRoundTrips) {
    for (const auto& e : CharMapTable) {
        const std::string c = InstrCodeToChar(e.code);
        ASSERT_EQ(c.size(), 1u);
        EXPECT_EQ(static_cast<unsigned char>(c[0]), e.character);
        EXPECT_EQ(CharToInstrCode(c), e.code);
    }
}

TEST(CharMapping, TableOrderAndRanges) {
    EXPECT_EQ(CharMapTable[0].character, '0');
    EXPECT_EQ(CharMapTable[13].character, 176); // degree sign after '#'
    EXPECT_EQ(CharMapTable[14].character, ' ');
    EXPECT_EQ(CharMapTable[15].code, 97);       // A
    EXPECT_EQ(CharMapTable[40].character, 'Z');
    EXPECT_EQ(CharMapTable[45].character, '*');
    EXPECT_EQ(CharMapTable[46].code, 224);      // first Cyrillic capital
    EXPECT_EQ(CharMapTable[46].character, 192);
    EXPECT_EQ(CharMapTable[85].character, '>');
    EXPECT_EQ(CharMapTable[85].code, 95);
}

TEST(CharMapping, WorkedExamples) {
    EXPECT_EQ(CharToInstrCode("a"), 32);
    EXPECT_EQ(CharToInstrCode("A"), 97);
    EXPECT_EQ(CharToInstrCode("d"), 68);
    EXPECT_EQ(CharToInstrCode("\xB5"), 85);
    EXPECT_EQ(InstrCodeToChar(97), "A");
    EXPECT_EQ(InstrCodeToChar(65), " ");
    EXPECT_EQ(CharToInstrCode("*"), 36);
    EXPECT_EQ(CharToInstrCode("\\"), 126);
    EXPECT_EQ(CharToInstrCode("\xB0"), 42);
    EXPECT_EQ(CharToInstrCode(""), 32);
    const std::string name = "Test";
    std::vector<int> codes;
    for (char c : name) {
        codes.push_back(CharToInstrCode(std::string(1, c)));
    }
    EXPECT_EQ(codes, (std::vector<int>{116, 32, 83, 32}));
}

TEST(CaseMapping, TypedLettersFallInsideTheSet) {
    EXPECT_EQ(CaseMapTable.size(), 54u);
    EXPECT_EQ(CaseMapChar('a'), 'A');
    EXPECT_EQ(CaseMapChar('z'), 'Z');
    for (unsigned char keep : {'d', 'i', 'm', 'n', 's', '5', '#'}) {
        EXPECT_EQ(CaseMapChar(keep), keep);
    }
    EXPECT_EQ(CaseMapChar(224), 192);
    EXPECT_EQ(CaseMapChar(255), 223);
    EXPECT_EQ(CaseMapChar(184), 197);
    for (const auto& pair : CaseMapTable) {
        EXPECT_NE(CharToInstrCode(std::string(1, static_cast<char>(pair.upper))), 32)
            << int(pair.upper);
    }
}

TEST(FloatToDotStr, AlwaysWritesAPoint) {
    const auto saved = platform::text::formatSettings();
    platform::text::setFormatSettings({',', '.'});
    const char* old = std::setlocale(LC_NUMERIC, nullptr);
    const std::string oldLocale = old ? old : "C";
    // A comma locale where the system has one; the formatter must not care either way.
    std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    EXPECT_EQ(FloatToDotStr(2, 3.14159), "3.14");
    EXPECT_EQ(FloatToDotStr(0, 2.5), "2");
    EXPECT_EQ(FloatToDotStr(3, -12.0), "-12.000");
    EXPECT_EQ(FloatToDotStr(1, 1234567.25), "1234567.2");
    std::setlocale(LC_NUMERIC, oldLocale.c_str());
    platform::text::setFormatSettings(saved);
}

TEST(MeasureConditionUnits, FollowTheScaleDimension) {
    EXPECT_EQ(MeasureConditionParams, (std::array<std::uint16_t, 4>{72, 74, 84, 59}));
    SetMeasureConditionUnits(1);
    EXPECT_EQ(MeasureConditionParams, (std::array<std::uint16_t, 4>{81, 82, 84, 59}));
    SetMeasureConditionUnits(7);
    EXPECT_EQ(MeasureConditionParams, (std::array<std::uint16_t, 4>{81, 82, 84, 59}));
    SetMeasureConditionUnits(0);
    EXPECT_EQ(MeasureConditionParams, (std::array<std::uint16_t, 4>{72, 74, 84, 59}));
}
