// The editing rules of the configurations page without a widget: editor limits, the character
// filter, grouping marks, button pictures, grid rows and the name editor's preparation.
#include "app/pages/ParamEditing.h"

#include "config/CharMappingUnit.h"
#include "config/LocalStringsUnit.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using app::ParamEditSpec;
using app::TParamEditSpec;
using platform::text::FormatSettings;

const FormatSettings kDotComma{'.', ','};
const FormatSettings kCommaBlank{',', ' '};

TBaseConfigCell defaults() {
    TBaseConfigCell c(1, 1, 0);
    c.ResetAll(1);
    return c;
}

// Every valid value of the page's typed parameters fits its editor (the masks alone would
// refuse probe delay 120, band step 100, gain 100 and strobe times past 999).
TEST(ParamEditSpecTest, LimitsFollowTheLargestValue) {
    const TBaseConfigCell c = defaults();
    struct Row {
        int param;
        TParamEditSpec expected;
    };
    const Row rows[] = {
        {53, {true, 3}},  {63, {true, 4}},  {57, {true, 2}},  {16, {true, 3}},
        {9, {true, 3}},   {59, {true, 3}},  {72, {true, 4}},  {74, {true, 4}},
        {56, {false, 2}}, {84, {false, 3}}, {81, {false, 4}}, {82, {false, 4}},
    };
    for (const Row& r : rows) {
        const TEditorItem item = c.SetupEditorItem(r.param);
        const int decimals = app::DisplayDecimals(c.GetParamDisplayString(r.param), '.');
        EXPECT_EQ(ParamEditSpec(r.param, item, decimals), r.expected) << "parameter " << r.param;
    }
}

TEST(ParamEditSpecTest, AcceptsTextWithinClassAndDigits) {
    struct Row {
        const char* text;
        TParamEditSpec rule;
        FormatSettings fs;
        bool accepted;
    };
    const Row rows[] = {
        {"", {true, 3}, kDotComma, true},          {"120", {true, 3}, kDotComma, true},
        {"1200", {true, 3}, kDotComma, false},     {"2,700", {true, 4}, kDotComma, true},
        {"2.7", {true, 4}, kDotComma, false},      {"12a", {true, 4}, kDotComma, false},
        {"-5", {true, 4}, kDotComma, false},       {"2.5", {false, 2}, kDotComma, true},
        {"2.55", {false, 2}, kDotComma, false},    {"2 700", {true, 4}, kCommaBlank, true},
        {"anything", {false, 0}, kDotComma, true},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(app::ParamEditTextAcceptable(r.text, r.rule, r.fs), r.accepted) << r.text;
    }
}

TEST(ParamKeyFilterTest, DigitsAndSeparatorsOnlyBackspaceInEditors) {
    struct Row {
        char32_t c;
        bool grid, editor;
    };
    const Row rows[] = {{U'0', true, true},       {U'9', true, true},   {U'.', true, true},
                        {U',', true, true},       {U'-', false, false}, {U'+', false, false},
                        {U'a', false, false},     {U'\b', false, true}, {U' ', false, false},
                        {U'\u00e9', false, false}};
    for (const Row& r : rows) {
        EXPECT_EQ(app::ParamKeyPasses(r.c, false, kDotComma), r.grid) << int(r.c);
        EXPECT_EQ(app::ParamKeyPasses(r.c, true, kDotComma), r.editor) << int(r.c);
    }
    EXPECT_TRUE(app::ParamKeyPasses(U' ', false, kCommaBlank));
}

TEST(StripThousandSeparatorsTest, OnlyRealGroupsGo) {
    struct Row {
        const char* in;
        FormatSettings fs;
        const char* out;
    };
    const Row rows[] = {
        {"2,700", kDotComma, "2700"},    {"1,234,567", kDotComma, "1234567"},
        {"0,5", kDotComma, "0,5"},       {"2,70", kDotComma, "2,70"},
        {"2,7000", kDotComma, "2,7000"}, {"1,234.5", kDotComma, "1,234.5"},
        {",500", kDotComma, "500"},      {"1 234,5", kCommaBlank, "1 234,5"},
        {"4 095", kCommaBlank, "4095"},  {"12", kDotComma, "12"},
        {"2,700", {',', ','}, "2,700"},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(app::StripThousandSeparators(r.in, r.fs), r.out) << r.in;
    }
}

TEST(ParamButtonImageTest, ValuePlusOffset) {
    struct Row {
        int param;
        double value;
        int image;
    };
    const Row rows[] = {{40, 1, 7},  {40, 2, 8},    {40, 0x21, 7}, {33, 0, 17},   {33, 2, 19},
                        {38, 1, 13}, {26, 0, 20},   {26, 1, 21},   {39, 0, 3},    {39, 2, 5},
                        {49, 1, 15}, {49, 0.5, 14}, {53, 30, 0},   {40, 1e300, 6}};
    for (const Row& r : rows) {
        EXPECT_EQ(app::ParamButtonImageIndex(r.param, r.value), r.image)
            << r.param << " = " << r.value;
    }
}

TEST(NameEditSetupTest, InstrumentCharactersCasePairsAndLength) {
    ASSERT_TRUE(LoadLanguageFiles(std::filesystem::path(TB_OUTPUT_DIR) / "tb_tests_app"));
    TBaseConfigCell c = defaults();
    c.ConfigNumber = 7;
    c.ConfigName = "COPPER 7";
    const app::TNameEditSetup s = app::NameEditSetup(c);
    EXPECT_EQ(s.label, "Name of configuration 7");
    ASSERT_EQ(s.allowedChars.size(), 86u);
    ASSERT_EQ(s.mapFromChars.size(), 54u);
    ASSERT_EQ(s.mapToChars.size(), 54u);
    EXPECT_NE(s.allowedChars.find('d'), std::string::npos);
    EXPECT_EQ(s.allowedChars.find('@'), std::string::npos);
    const auto w = s.mapFromChars.find('w');
    ASSERT_NE(w, std::string::npos);
    EXPECT_EQ(s.mapToChars[w], 'W');
    EXPECT_EQ(s.maxLength, 22);
    EXPECT_EQ(s.editMask, std::string(22, 'c') + ";1; ");
    EXPECT_EQ(s.text, "COPPER 7");

    // Instruments that show "NN." before the name leave it 19 characters.
    c.DeviceKind = 2;
    c.DeviceVersion = 9;
    EXPECT_TRUE(UsesSlotPrefix(c));
    EXPECT_EQ(app::NameEditSetup(c).maxLength, 19);
    EXPECT_EQ(app::NameEditSetup(c).editMask, std::string(19, 'c') + ";1; ");
    c.DeviceVersion = 8;
    EXPECT_FALSE(UsesSlotPrefix(c));
}

TEST(NameDialogPositionTest, FieldCornerAbovePointerKeptOnScreen) {
    const QRect field(8, 30, 250, 21); // the edit field inside the dialog
    const QSize dialog(292, 139);
    const QRect screen(0, 0, 1280, 1024);
    struct Row {
        QPoint pointer;
        QPoint expected;
    };
    const Row rows[] = {
        {{500, 400}, {492, 337}},   // x - 8, y - 30 - 21 - 12
        {{3, 20}, {0, 0}},          // clamped at the top-left corner
        {{1270, 1000}, {988, 885}}, // the whole dialog stays inside
    };
    for (const Row& r : rows) {
        EXPECT_EQ(app::NameDialogPosition(r.pointer, field, dialog, screen), r.expected);
    }
    // Without a known screen the rule alone applies.
    EXPECT_EQ(app::NameDialogPosition({3, 20}, field, dialog, QRect()), QPoint(-5, -43));
}

} // namespace
