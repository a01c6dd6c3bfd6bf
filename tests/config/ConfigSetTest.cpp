// Configuration sets in configuration files: both forms, round trips, refusals and bad files.
#include "ConfigTestSupport.h"

#include "config/ConfigSetUnit.h"

#include <gtest/gtest.h>

using platform::text::AtomicFileWriter;
using platform::text::ConversionError;
using platform::text::IoError;
using platform::text::RangeError;
using tbtest::crlf;
using tbtest::LanguageFiles;
using tbtest::TempFolder;

namespace {

class ConfigSet : public ::testing::Test {
protected:
    // Three configurations: a reset one, a varied one and one with its own identity.
    PConfigsSet threeConfigs() {
        PConfigsSet set(3);
        NewConfigCell(1, 1, 1, set[0]).ResetAll(1);
        set[1] = std::make_unique<TBaseConfigCell>(tbtest::variedConfig());
        TBaseConfigCell& third = NewConfigCell(0, 2, 0, set[2]);
        third.ResetAll(3);
        third.DeviceKind = 2;
        third.DeviceVersion = 12;
        third.DeviceVariant = 0;
        third.ConfigName = "\xC0\xC1 THIRD"; // Cyrillic capitals
        third.ConfigStrings = {"c"};
        third.ConfigStringsCount = 1;
        third.ScaleDimension = 1;
        return set;
    }

    // A set that a failed load must leave alone.
    PConfigsSet sentinelSet(std::uint16_t& count) {
        PConfigsSet set(2);
        NewConfigCell(1, 1, 1, set[0]).ConfigName = "KEEP0";
        NewConfigCell(1, 1, 1, set[1]).ConfigName = "KEEP1";
        count = 2;
        return set;
    }

    static void expectSentinel(const PConfigsSet& set, std::uint16_t count) {
        ASSERT_EQ(count, 2);
        ASSERT_EQ(set.size(), 2u);
        EXPECT_EQ(set[0]->ConfigName, "KEEP0");
        EXPECT_EQ(set[1]->ConfigName, "KEEP1");
    }

    static void expectNoEmptySlot(const PConfigsSet& set, std::uint16_t count) {
        ASSERT_EQ(set.size(), count);
        for (const auto& slot : set) {
            EXPECT_TRUE(slot);
        }
    }

    // The header and blocks of a current-form file holding `blocks`, announcing `announced`.
    std::vector<std::string> currentFile(const std::vector<std::vector<std::string>>& blocks,
                                         int announced) {
        std::vector<std::string> lines = {"Signature:KSN3", "Device kind:1", "Device version:1",
                                          "Device variant:1",
                                          "Configurations:" + std::to_string(announced)};
        for (const auto& b : blocks) {
            lines.insert(lines.end(), b.begin(), b.end());
        }
        return lines;
    }

    // The parameter-numbered block of a reset configuration named `name`.
    std::vector<std::string> block(const std::string& name) {
        TBaseConfigCell c(1, 1, 1);
        c.ResetAll(1);
        c.ConfigName = name;
        return linesOf([&c](AtomicFileWriter& f) { WriteParamBlock(c, f); });
    }

    std::vector<std::string> legacyBlock(const std::string& name) {
        TBaseConfigCell c(1, 1, 1);
        c.ResetAll(1);
        c.ConfigName = name;
        return linesOf([&c](AtomicFileWriter& f) { WriteLegacyBlock(c, f); });
    }

    template <typename Write> std::vector<std::string> linesOf(Write write) {
        {
            AtomicFileWriter file(folder / "block.txt");
            write(file);
            file.commit();
        }
        return platform::text::readAllLines(folder / "block.txt");
    }

    std::filesystem::path file(const std::string& name, const std::vector<std::string>& lines) {
        const auto path = folder / name;
        tbtest::writeBytes(path, crlf(lines));
        return path;
    }

    LanguageFiles texts;
    TempFolder folder;
};

} // namespace

TEST_F(ConfigSet, CurrentFormRoundTripFieldForField) {
    PConfigsSet saved = threeConfigs();
    saved[1]->Modified = 1;
    const auto path = folder / "set.ctf";
    ASSERT_EQ(SaveConfigSet(path, saved, 3), 0);
    EXPECT_EQ(saved[1]->Modified, 0); // writing clears the mark

    const auto lines = platform::text::readAllLines(path);
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(lines[0], "Signature:KSN3");
    EXPECT_EQ(lines[1], "Device kind:1"); // identity of the first configuration
    EXPECT_EQ(lines[2], "Device version:1");
    EXPECT_EQ(lines[3], "Device variant:1");
    EXPECT_EQ(lines[4], "Configurations:3");
    EXPECT_EQ(lines[5], "0:1");

    PConfigsSet loaded;
    std::uint16_t count = 99;
    ASSERT_EQ(LoadConfigSet(path, loaded, count), 0);
    ASSERT_EQ(count, 3);
    expectNoEmptySlot(loaded, count);
    for (size_t i = 0; i < 3; ++i) {
        TBaseConfigCell expected = *saved[i];
        // Kept by the block form only, not by this one.
        expected.DotsPerCellPrev = loaded[i]->DotsPerCellPrev;
        expected.TgvPrevState = loaded[i]->TgvPrevState;
        EXPECT_EQ(tbtest::differences(expected, *loaded[i]), "") << "configuration " << i;
        EXPECT_EQ(loaded[i]->ConfigStrings, saved[i]->ConfigStrings);
    }
    EXPECT_EQ(loaded[2]->DeviceVersion, 12); // from the block, not the header
}

TEST_F(ConfigSet, LegacyFormRoundTripFieldForField) {
    PConfigsSet saved = threeConfigs();
    const auto path = folder / "legacy.ctf";
    ASSERT_EQ(SaveLegacyConfigSet(path, saved, 3), 0);
    EXPECT_EQ(platform::text::readAllLines(path).size(), 3 * 161u);

    PConfigsSet loaded;
    std::uint16_t count = 0;
    ASSERT_EQ(LoadConfigSet(path, loaded, count), 0); // no signature: read as legacy
    ASSERT_EQ(count, 3);
    expectNoEmptySlot(loaded, count);
    for (size_t i = 0; i < 3; ++i) {
        TBaseConfigCell expected = *saved[i];
        // The positional form keeps neither the identity, nor times, nor comment lines.
        expected.DeviceKind = expected.DeviceVersion = expected.DeviceVariant = 1;
        expected.StrobeTimesFromPixels(0);
        expected.StrobeTimesFromPixels(1);
        for (size_t k = 0; k < 2; ++k) {
            expected.CursorTime[k] = expected.CursorPixel[k] * expected.AScanRange / 320.0;
        }
        expected.CursorZoomTime = {0.0, 0.0};
        expected.AuxTime = 0.0;
        expected.ConfigStrings.clear();
        expected.ConfigStringsCount = 0;
        EXPECT_EQ(tbtest::differences(expected, *loaded[i]), "") << "configuration " << i;
    }
}

TEST_F(ConfigSet, LegacyFileLoadsAndSavesAgainInBothForms) {
    PConfigsSet saved = threeConfigs();
    const auto legacy = folder / "old.ctf";
    ASSERT_EQ(SaveLegacyConfigSet(legacy, saved, 3), 0);
    PConfigsSet loaded;
    std::uint16_t count = 0;
    ASSERT_EQ(LoadLegacyConfigSet(legacy, loaded, count), 0);
    ASSERT_EQ(count, 3);

    ASSERT_EQ(SaveConfigSet(folder / "new.ctf", loaded, count), 0);
    ASSERT_EQ(SaveLegacyConfigSet(folder / "again.ctf", loaded, count), 0);
    EXPECT_EQ(tbtest::readBytes(folder / "again.ctf"), tbtest::readBytes(legacy));

    PConfigsSet reloaded;
    std::uint16_t recount = 0;
    ASSERT_EQ(LoadConfigSet(folder / "new.ctf", reloaded, recount), 0);
    ASSERT_EQ(recount, 3);
    for (size_t i = 0; i < 3; ++i) {
        TBaseConfigCell expected = *loaded[i];
        expected.DotsPerCellPrev = reloaded[i]->DotsPerCellPrev;
        expected.TgvPrevState = reloaded[i]->TgvPrevState;
        EXPECT_EQ(tbtest::differences(expected, *reloaded[i]), "") << i;
    }
}

TEST_F(ConfigSet, RefusedSavesWriteNothing) {
    PConfigsSet set = threeConfigs();
    const auto path = folder / "refused.ctf";
    EXPECT_EQ(SaveConfigSet(path, set, 2), 1);
    EXPECT_EQ(SaveLegacyConfigSet(path, set, 4), 1);
    PConfigsSet empty;
    EXPECT_EQ(SaveConfigSet(path, empty, 0), 1);
    EXPECT_EQ(SaveLegacyConfigSet(path, empty, 0), 1);
    set[1].reset();
    EXPECT_EQ(SaveConfigSet(path, set, 3), 1);
    EXPECT_EQ(SaveLegacyConfigSet(path, set, 3), 1);
    EXPECT_FALSE(std::filesystem::exists(path));

    // An existing file stays as it was.
    tbtest::writeBytes(path, "old contents");
    EXPECT_EQ(SaveConfigSet(path, set, 3), 1);
    EXPECT_EQ(tbtest::readBytes(path), "old contents");
}

TEST_F(ConfigSet, FailedWriteAnswersOneAndKeepsTheOldFile) {
    PConfigsSet set = threeConfigs();
    EXPECT_EQ(SaveConfigSet(folder / "missing" / "set.ctf", set, 3), 1);
    EXPECT_EQ(SaveLegacyConfigSet(folder / "missing" / "set.ctf", set, 3), 1);
    // A target that cannot be replaced (a folder holding a file) survives the attempt.
    const auto target = folder / "busy.ctf";
    std::filesystem::create_directory(target);
    tbtest::writeBytes(target / "inside", "x");
    EXPECT_EQ(SaveConfigSet(target, set, 3), 1);
    EXPECT_EQ(tbtest::readBytes(target / "inside"), "x");
    // No temporary file is left behind.
    int entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(folder.path())) {
        ++entries;
    }
    EXPECT_EQ(entries, 1);
}

TEST_F(ConfigSet, HeaderAnnouncingMoreThanTheFileHolds) {
    const auto path =
        file("short.ctf", currentFile({block("A"), block("B"), block("C"), block("D")}, 5));
    std::uint16_t count = 0;
    PConfigsSet set = sentinelSet(count);
    EXPECT_EQ(LoadConfigSet(path, set, count), 1);
    ASSERT_EQ(count, 4);
    expectNoEmptySlot(set, count);
    EXPECT_EQ(set[0]->ConfigName, "A");
    EXPECT_EQ(set[3]->ConfigName, "D");
}

TEST_F(ConfigSet, ExtraLinesAfterTheAnnouncedConfigurations) {
    auto lines = currentFile({block("A"), block("B")}, 1);
    lines.push_back("");
    const auto path = file("extra.ctf", lines);
    PConfigsSet set;
    std::uint16_t count = 0;
    EXPECT_EQ(LoadConfigSet(path, set, count), 0);
    ASSERT_EQ(count, 1);
    EXPECT_EQ(set[0]->ConfigName, "A");
}

TEST_F(ConfigSet, EmptyHeaderCountReadsAnEmptySet) {
    const auto path = file("none.ctf", currentFile({}, 0));
    std::uint16_t count = 0;
    PConfigsSet set = sentinelSet(count);
    EXPECT_EQ(LoadConfigSet(path, set, count), 0);
    EXPECT_EQ(count, 0);
    EXPECT_TRUE(set.empty());
}

TEST_F(ConfigSet, BlockCutShortEndsTheFile) {
    auto lines = currentFile({block("A"), block("B")}, 3);
    const auto third = block("C");
    lines.insert(lines.end(), third.begin(), third.begin() + 50); // no closing line
    const auto path = file("cut.ctf", lines);
    PConfigsSet set;
    std::uint16_t count = 0;
    EXPECT_EQ(LoadConfigSet(path, set, count), 1);
    ASSERT_EQ(count, 2);
    expectNoEmptySlot(set, count);
    EXPECT_EQ(set[1]->ConfigName, "B");
}

TEST_F(ConfigSet, OverLongCommentListEndsTheFile) {
    auto second = block("B");
    second[80] = "80:25";
    second.insert(second.begin() + 81, 25, "comment");
    const auto path = file("comments.ctf", currentFile({block("A"), second, block("C")}, 3));
    PConfigsSet set;
    std::uint16_t count = 0;
    EXPECT_EQ(LoadConfigSet(path, set, count), 1);
    ASSERT_EQ(count, 1);
    expectNoEmptySlot(set, count);
    EXPECT_EQ(set[0]->ConfigName, "A");
}

TEST_F(ConfigSet, LoadedConfigurationsAreValidated) {
    auto one = block("A");
    one[6] = "6:99";
    one[24] = "24:0";
    const auto path = file("invalid.ctf", currentFile({one}, 1));
    PConfigsSet set;
    std::uint16_t count = 0;
    ASSERT_EQ(LoadConfigSet(path, set, count), 0);
    EXPECT_EQ(set[0]->MapVerticPoints, 10);
    EXPECT_EQ(set[0]->StrobeLevel[0], 10);
}

TEST_F(ConfigSet, FilesThatAreNotConfigurationFilesLeaveTheSetAlone) {
    std::uint16_t count = 0;
    PConfigsSet set = sentinelSet(count);

    // First line without a colon: read as a legacy file, which holds no block.
    EXPECT_EQ(LoadConfigSet(file("nocolon.ctf", {"KSN3", "1", "2"}), set, count), 1);
    expectSentinel(set, count);
    EXPECT_EQ(LoadConfigSet(file("empty.ctf", {}), set, count), 1);
    expectSentinel(set, count);
    std::string garbage;
    for (int i = 0; i < 4096; ++i) {
        garbage += static_cast<char>((i * 7919) % 256);
    }
    tbtest::writeBytes(folder / "garbage.ctf", garbage);
    EXPECT_EQ(LoadConfigSet(folder / "garbage.ctf", set, count), 1);
    expectSentinel(set, count);
    EXPECT_EQ(LoadLegacyConfigSet(folder / "garbage.ctf", set, count), 1);
    expectSentinel(set, count);
}

TEST_F(ConfigSet, BadHeaders) {
    std::uint16_t count = 0;
    PConfigsSet set = sentinelSet(count);

    // Ends inside the header.
    EXPECT_EQ(LoadConfigSet(file("h1.ctf", {"Signature:KSN3", "Device kind:1"}), set, count), 1);
    expectSentinel(set, count);

    // More configurations than a file may hold.
    EXPECT_EQ(LoadConfigSet(file("h2.ctf", currentFile({block("A")}, 101)), set, count), 1);
    expectSentinel(set, count);

    auto lines = currentFile({block("A")}, 1);
    lines[2] = "Device version:two";
    EXPECT_THROW(LoadConfigSet(file("h3.ctf", lines), set, count), ConversionError);
    expectSentinel(set, count);

    lines = currentFile({block("A")}, 1);
    lines[1] = "Device kind:256";
    EXPECT_THROW(LoadConfigSet(file("h4.ctf", lines), set, count), RangeError);
    expectSentinel(set, count);

    lines = currentFile({block("A")}, 1);
    lines[4] = "Configurations";
    EXPECT_THROW(LoadConfigSet(file("h5.ctf", lines), set, count), ConversionError);
    expectSentinel(set, count);

    lines = currentFile({block("A")}, 70000);
    EXPECT_THROW(LoadConfigSet(file("h6.ctf", lines), set, count), RangeError);
    expectSentinel(set, count);
}

TEST_F(ConfigSet, ValueTooWideInABlockLeavesTheSetAlone) {
    auto second = block("B");
    second[37] = "37:65536";
    std::uint16_t count = 0;
    PConfigsSet set = sentinelSet(count);
    EXPECT_THROW(LoadConfigSet(file("wide.ctf", currentFile({block("A"), second}, 2)), set, count),
                 RangeError);
    expectSentinel(set, count);
}

TEST_F(ConfigSet, MissingFileIsAnInputOutputError) {
    std::uint16_t count = 0;
    PConfigsSet set = sentinelSet(count);
    EXPECT_THROW(LoadConfigSet(folder / "nowhere.ctf", set, count), IoError);
    EXPECT_THROW(LoadLegacyConfigSet(folder / "nowhere.ctf", set, count), IoError);
    expectSentinel(set, count);
}

TEST_F(ConfigSet, LegacyFileOfThreeBlocks) {
    std::vector<std::string> lines;
    for (const char* name : {"ONE", "TWO", "THREE"}) {
        const auto b = legacyBlock(name);
        lines.insert(lines.end(), b.begin(), b.end());
    }
    std::uint16_t count = 0;
    PConfigsSet set = sentinelSet(count);
    EXPECT_EQ(LoadLegacyConfigSet(file("three.ctf", lines), set, count), 0);
    ASSERT_EQ(count, 3);
    expectNoEmptySlot(set, count);
    EXPECT_EQ(set[2]->ConfigName, "THREE");
    EXPECT_EQ(set[0]->DeviceKind, 1);
}

TEST_F(ConfigSet, LegacyReaderPassesOverForeignLines) {
    std::vector<std::string> lines = {"junk", "CONFIG_VERSION:2", ""};
    const auto a = legacyBlock("A");
    lines.insert(lines.end(), a.begin(), a.end());
    lines.push_back("trailing junk");
    const auto b = legacyBlock("B");
    lines.insert(lines.end(), b.begin(), b.end());
    // A last block cut short is no configuration.
    lines.insert(lines.end(), a.begin(), a.begin() + 100);
    PConfigsSet set;
    std::uint16_t count = 0;
    EXPECT_EQ(LoadConfigSet(file("mixed.ctf", lines), set, count), 0);
    ASSERT_EQ(count, 2);
    expectNoEmptySlot(set, count);
    EXPECT_EQ(set[0]->ConfigName, "A");
    EXPECT_EQ(set[1]->ConfigName, "B");
}

TEST_F(ConfigSet, LegacyFileOfAHundredAndMore) {
    const auto b = legacyBlock("X");
    std::vector<std::string> lines;
    for (int i = 0; i < 100; ++i) {
        lines.insert(lines.end(), b.begin(), b.end());
    }
    lines.push_back("");
    PConfigsSet set;
    std::uint16_t count = 0;
    EXPECT_EQ(LoadLegacyConfigSet(file("hundred.ctf", lines), set, count), 0);
    EXPECT_EQ(count, 100);
    expectNoEmptySlot(set, count);

    lines.insert(lines.end(), b.begin(), b.end());
    PConfigsSet kept = sentinelSet(count);
    EXPECT_EQ(LoadLegacyConfigSet(file("more.ctf", lines), kept, count), 1);
    expectSentinel(kept, count);
}

TEST_F(ConfigSet, LoadingReplacesEveryPreviousConfiguration) {
    PConfigsSet saved = threeConfigs();
    ASSERT_EQ(SaveConfigSet(folder / "three.ctf", saved, 3), 0);
    PConfigsSet set(5);
    for (auto& slot : set) {
        NewConfigCell(1, 1, 1, slot);
    }
    std::uint16_t count = 5;
    ASSERT_EQ(LoadConfigSet(folder / "three.ctf", set, count), 0);
    EXPECT_EQ(count, 3);
    expectNoEmptySlot(set, count);
}

TEST(FileHeader, FormatAndParse) {
    LanguageFiles texts;
    const auto lines = FormatFileHeader({2, 9, 1, 17});
    EXPECT_EQ(lines,
              (std::vector<std::string>{"Signature:KSN3", "Device kind:2", "Device version:9",
                                        "Device variant:1", "Configurations:17"}));
    const TFileHeader h = ParseFileHeader(lines[1], lines[2], lines[3], lines[4]);
    EXPECT_EQ(h.Kind, 2);
    EXPECT_EQ(h.Version, 9);
    EXPECT_EQ(h.Variant, 1);
    EXPECT_EQ(h.Count, 17);
    EXPECT_EQ(HeaderValue("a:b:c"), "b:c");
    EXPECT_EQ(HeaderValue("abc"), "");
}
