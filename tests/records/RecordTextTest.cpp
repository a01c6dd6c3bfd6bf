// The numbered record texts of A-scans, bands and maps: their lines, the fields' widths, and
// texts that are short, unusual or broken.
#include "RecordsTestSupport.h"

#include "platform/text/LineFile.h"
#include "platform/text/Numbers.h"

#include <gtest/gtest.h>

using platform::text::AtomicFileWriter;
using platform::text::LineReader;
using platform::text::RangeError;
using tbtest::crlf;

namespace {

class RecordText : public ::testing::Test {
protected:
    std::vector<std::string> saved(TBaseAScanCell& record) {
        {
            AtomicFileWriter file(folder / "out.txt");
            record.SaveToText(file);
            file.commit();
        }
        return platform::text::readAllLines(folder / "out.txt");
    }

    // Reads one record text from the lines; `rest` receives the line after it.
    TRecordTextResult load(TBaseAScanCell& record, const std::vector<std::string>& lines,
                           std::string* rest = nullptr) {
        tbtest::writeBytes(folder / "in.txt", crlf(lines));
        LineReader file(folder / "in.txt");
        const TRecordTextResult result = record.LoadFromText(file);
        if (rest) {
            std::string_view next;
            *rest = file.next(next) ? std::string(next) : "<end>";
        }
        return result;
    }

    static std::vector<std::string> sampleLines(std::initializer_list<int> values) {
        std::vector<std::string> out;
        for (int v : values) {
            out.push_back(std::to_string(v));
        }
        return out;
    }

    static std::vector<std::string> join(std::vector<std::vector<std::string>> parts) {
        std::vector<std::string> out;
        for (auto& p : parts) {
            out.insert(out.end(), p.begin(), p.end());
        }
        return out;
    }

    tbtest::LanguageFiles texts{{{326, "No comments"}}};
    tbtest::TempFolder folder;
};

// The lines between the config field and the next field, as WriteParamBlock writes them.
std::vector<std::string> configLines(TBaseConfigCell config) {
    tbtest::TempFolder folder;
    {
        AtomicFileWriter file(folder / "c.txt");
        WriteParamBlock(config, file);
        file.commit();
    }
    return platform::text::readAllLines(folder / "c.txt");
}

// ---- A-scans --------------------------------------------------------------------------------

TEST_F(RecordText, AnAScanIsWrittenFieldByField) {
    TBaseAScanCell r;
    r.Config->ResetAll(2);
    r.Config->AScanRange = 3;
    r.Kind = 1;
    r.Version = 7;
    r.Identity3 = 9;
    r.RecordIndex = 12;
    r.ConfigIndex = 4;
    r.Comments = {"first", "second"};
    r.ColorScheme = 1;
    r.Scan(0, 0)[0] = -5;
    r.Scan(0, 0)[1] = 0;
    r.Scan(0, 0)[2] = 511;
    const auto expected =
        join({{"0:1", "1:7", "2:9", "3:12", "4:4", "5:2", "first", "second", "6:"},
              configLines(*r.Config),
              {"7:3", "-5", "0", "511", "8:1", "65534:"}});
    EXPECT_EQ(saved(r), expected);
    EXPECT_EQ(r.CommentCount, 2);
}

TEST_F(RecordText, AnAScanReadsBackWhatItWrote) {
    auto original = tbtest::makeAScan(3, 50);
    original->Config->CursorCount = 1;
    original->Config->CursorTime = {12.5, 20.25};
    TBaseAScanCell copy;
    const TRecordTextResult result = load(copy, saved(*original));
    EXPECT_TRUE(result.Closed);
    EXPECT_EQ(result.Count, 50u);
    tbtest::expectSameRecordText(*original, copy);
    EXPECT_EQ(copy.RecordIndex, original->RecordIndex);
    EXPECT_EQ(copy.ConfigIndex, original->ConfigIndex);
}

TEST_F(RecordText, ReadingStopsAtTheClosingLine) {
    TBaseAScanCell r;
    std::string rest;
    load(r, {"0:2", "65534:", "1:5"}, &rest);
    EXPECT_EQ(r.Kind, 2);
    EXPECT_EQ(r.Version, 0);
    EXPECT_EQ(rest, "1:5");
}

TEST_F(RecordText, WithoutCommentLinesTheDefaultCommentStays) {
    TBaseAScanCell r;
    load(r, {"0:1", "65534:"});
    EXPECT_EQ(r.Comments, std::vector<std::string>{"No comments"});
}

TEST_F(RecordText, WithoutSamplesTheConfigurationsNStandsWithZeros) {
    TBaseAScanCell r;
    r.Scan(0, 0)[5] = 99;
    const TRecordTextResult result = load(r, {"0:1", "65534:"});
    EXPECT_TRUE(result.Closed);
    EXPECT_EQ(result.Count, 1024u); // the reset configuration's A-scan range
    EXPECT_EQ(r.Scan(0, 0)[5], 99); // nothing was read over it
}

TEST_F(RecordText, LinesOutOfOrderAndUnknownIndexesAreReadOrSkipped) {
    TBaseAScanCell r;
    const TRecordTextResult result =
        load(r, join({{"8:1", "x:5", "42:12", "7:2", "-3", "4", "2:77", "0:abc"}, {"65534:"}}));
    EXPECT_TRUE(result.Closed);
    EXPECT_EQ(r.ColorScheme, 1);
    EXPECT_EQ(r.Color(5), 0xFFFFFFu);
    EXPECT_EQ(r.Trace()[0], -3);
    EXPECT_EQ(r.Trace()[1], 4);
    EXPECT_EQ(r.Identity3, 77);
    EXPECT_EQ(r.Kind, 0); // not a number
}

TEST_F(RecordText, IdentityThreeThatIsNotANumberReadsAsOne) {
    TBaseAScanCell r;
    load(r, {"2:?", "65534:"});
    EXPECT_EQ(r.Identity3, 1);
}

TEST_F(RecordText, ParseLineAnswersTheIndex) {
    TBaseAScanCell r;
    EXPECT_EQ(r.ParseLine("4:17"), 4);
    EXPECT_EQ(r.ConfigIndex, 17);
    EXPECT_EQ(r.ParseLine("65534:"), 65534);
    EXPECT_EQ(r.ParseLine("comment: text"), 65535);
    EXPECT_EQ(r.ParseLine("70000:1"), 65535);
    EXPECT_EQ(r.ParseLine(""), 65535);
    EXPECT_EQ(r.GetFieldValue(6), "");
    EXPECT_EQ(r.GetFieldValue(9), "");
    EXPECT_EQ(r.GetFieldLine(4), "4:17");
}

TEST_F(RecordText, ValuesTooWideForTheirFieldAreRangeErrors) {
    for (const char* line :
         {"0:256", "1:-1", "2:300", "3:65536", "4:70000", "5:65536", "7:4098", "8:256"}) {
        TBaseAScanCell r;
        EXPECT_THROW(load(r, {line, "65534:"}), RangeError) << line;
    }
}

TEST_F(RecordText, ShapesThatAreNotNumbersCannotBeRead) {
    for (const char* line : {"5:many", "7:", "7:12x"}) {
        TBaseAScanCell r;
        EXPECT_THROW(load(r, {line, "65534:"}), TRecordTextError) << line;
    }
}

TEST_F(RecordText, ASampleLineThatIsNotANumberCannotBeRead) {
    TBaseAScanCell r;
    EXPECT_THROW(load(r, {"7:3", "1", "two", "3", "65534:"}), TRecordTextError);
    TBaseAScanCell wide;
    EXPECT_THROW(load(wide, {"7:1", "3000000000", "65534:"}), TRecordTextError);
}

TEST_F(RecordText, SampleLinesMayCarryBlanksAndSigns) {
    TBaseAScanCell r;
    const TRecordTextResult result = load(r, {"7:3", " 12 ", "+5", "-2147483648", "65534:"});
    EXPECT_TRUE(result.Closed);
    EXPECT_EQ(r.Trace()[0], 12);
    EXPECT_EQ(r.Trace()[1], 5);
    EXPECT_EQ(r.Trace()[2], -2147483647 - 1);
}

TEST_F(RecordText, ATextEndingEarlyIsNotClosedAndKeepsWhatWasRead) {
    TBaseAScanCell r;
    TRecordTextResult result = load(r, {"0:2", "7:4", "1", "2"});
    EXPECT_FALSE(result.Closed);
    EXPECT_EQ(r.Kind, 2);
    EXPECT_EQ(r.Trace()[1], 2);
    TBaseAScanCell comments;
    result = load(comments, {"5:3", "only one"});
    EXPECT_FALSE(result.Closed);
    TBaseAScanCell config;
    result = load(config, {"6:", "0:1", "1:1"});
    EXPECT_FALSE(result.Closed);
    TBaseAScanCell unclosed;
    result = load(unclosed, {"0:1", "8:0"});
    EXPECT_FALSE(result.Closed);
}

TEST_F(RecordText, TheLargestAScanIs4097Samples) {
    std::vector<std::string> lines{"7:4097"};
    for (int s = 0; s < 4097; ++s) {
        lines.push_back(std::to_string(s - 2048));
    }
    lines.push_back("65534:");
    TBaseAScanCell r;
    const TRecordTextResult result = load(r, lines);
    EXPECT_TRUE(result.Closed);
    EXPECT_EQ(result.Count, 4097u);
    EXPECT_EQ(r.Trace()[4096], 2048);
}

TEST_F(RecordText, OldTextIsThePositionalConfigurationAndTheSamples) {
    auto r = tbtest::makeAScan(1, 3);
    r->Config->AScanRange = 3;
    {
        AtomicFileWriter file(folder / "old.txt");
        r->SaveToOldText(file);
        file.commit();
    }
    const auto lines = platform::text::readAllLines(folder / "old.txt");
    ASSERT_GT(lines.size(), 3u);
    EXPECT_EQ(lines.front(), "CONFIG_VERSION:1");
    EXPECT_EQ(
        std::vector<std::string>(lines.end() - 3, lines.end()),
        (std::vector<std::string>{std::to_string(r->Trace()[0]), std::to_string(r->Trace()[1]),
                                  std::to_string(r->Trace()[2])}));
}

// ---- Bands ----------------------------------------------------------------------------------

TEST_F(RecordText, ABandIsWrittenFieldByField) {
    TBaseBandCell b;
    b.Config->ResetAll(1);
    b.Config->AScanRange = 2;
    b.SetScanCount(2);
    b.Kind = 1;
    b.Version = 2;
    b.Identity3 = 3;
    b.BandRecordIndex = 8;
    b.Comments = {"c"};
    b.Scan(0, 0)[0] = 1;
    b.Scan(0, 0)[1] = -2;
    b.Scan(0, 1)[0] = 3;
    b.Scan(0, 1)[1] = -4;
    b.ColorScheme = 1;
    b.PaletteKind = PaletteThermal;
    b.HueLow = 20;
    b.HueHigh = 340;
    const auto expected =
        join({{"0:1", "1:2", "2:3", "3:8", "4:1", "c", "5:"},
              configLines(*b.Config),
              {"6:1", "1", "-2", "3", "-4", "7:1", "8:3", "9:20", "10:340", "65534:"}});
    EXPECT_EQ(saved(b), expected);
}

TEST_F(RecordText, ABandReadsBackWhatItWrote) {
    auto original = tbtest::makeBand(4, 5, 36);
    TBaseBandCell copy;
    const TRecordTextResult result = load(copy, saved(*original));
    EXPECT_TRUE(result.Closed);
    EXPECT_EQ(result.Count, 5u);
    tbtest::expectSameRecordText(*original, copy);
    tbtest::expectSamePalette(*original, copy);
    EXPECT_EQ(copy.BandRecordIndex, original->BandRecordIndex);
}

TEST_F(RecordText, ABandWhoseLastAScanIsZeroHoldsOneAScan) {
    TBaseBandCell b;
    std::vector<std::string> lines{"6:0"};
    for (int s = 0; s < 1024; ++s) {
        lines.push_back(std::to_string(-s));
    }
    lines.push_back("65534:");
    const TRecordTextResult result = load(b, lines);
    EXPECT_TRUE(result.Closed);
    EXPECT_EQ(result.Count, 1u);
    EXPECT_EQ(b.Count2, 1);
    EXPECT_EQ(b.Scan(0, 0)[1023], -1023);
}

TEST_F(RecordText, HueBoundsAboveTheirLimitAreStoredAtTheLimit) {
    TBaseBandCell b;
    load(b, {"9:400", "10:500", "65534:"});
    EXPECT_EQ(b.HueLow, 358);
    EXPECT_EQ(b.HueHigh, 359);
}

TEST_F(RecordText, BandFieldsRebuildThePalette) {
    TBaseBandCell b;
    load(b, {"8:1", "9:100", "10:200", "65534:"});
    EXPECT_EQ(b.ColorTable[99], 0xFFFFFFu);
    EXPECT_EQ(b.ColorTable[200], 0x000000u);
    EXPECT_EQ(b.ColorTable[150], 0x7F7F7Fu);
}

TEST_F(RecordText, ABandWithoutSamplesFollowsItsConfiguration) {
    TBaseBandCell b;
    const TRecordTextResult result = load(b, {"0:1", "65534:"});
    EXPECT_TRUE(result.Closed);
    EXPECT_EQ(result.Count, 1u);
    EXPECT_EQ(b.Scan(0, 0).size(), 1024u);
}

TEST_F(RecordText, BandValuesThatDoNotFitOrAreNotNumbersCannotBeRead) {
    for (const char* line : {"6:901", "0:256", "3:65536", "8:300", "9:65536"}) {
        TBaseBandCell b;
        EXPECT_THROW(load(b, {line, "65534:"}), RangeError) << line;
    }
    for (const char* line : {"6:x", "0:", "3:a", "4:?", "7:one", "10:high"}) {
        TBaseBandCell b;
        EXPECT_THROW(load(b, {line, "65534:"}), TRecordTextError) << line;
    }
}

TEST_F(RecordText, ABandTextEndingInsideItsSamplesIsNotClosed) {
    TBaseBandCell b;
    std::vector<std::string> lines{"6:1"};
    for (int s = 0; s < 1500; ++s) {
        lines.push_back("7");
    }
    const TRecordTextResult result = load(b, lines);
    EXPECT_FALSE(result.Closed);
    EXPECT_EQ(b.Scan(0, 1)[475], 7);
}

// ---- Maps -----------------------------------------------------------------------------------

TEST_F(RecordText, AMapWritesColumnsThenRowsAndItsSamplesRowByRow) {
    TBaseMapCell m;
    m.Config->ResetAll(1);
    m.Config->AScanRange = 1;
    m.Config->MapVerticPoints = 2;
    m.Config->MapHorizPoints = 3;
    m.SetMapSize(2, 3);
    for (std::uint32_t r = 0; r < 2; ++r) {
        for (std::uint32_t c = 0; c < 3; ++c) {
            m.Scan(r, c)[0] = static_cast<std::int32_t>(10 * r + c);
        }
    }
    m.MapRecordIndex = 6;
    const auto lines = saved(m);
    const auto six = std::find(lines.begin(), lines.end(), "6:3:2");
    ASSERT_NE(six, lines.end());
    EXPECT_EQ(std::vector<std::string>(six + 1, six + 7),
              (std::vector<std::string>{"0", "1", "2", "10", "11", "12"}));
    EXPECT_EQ(lines[3], "3:6");
}

TEST_F(RecordText, AMapReadsBackWhatItWrote) {
    auto original = tbtest::makeMap(2, 2, 3, 33);
    TBaseMapCell copy;
    const TRecordTextResult result = load(copy, saved(*original));
    EXPECT_TRUE(result.Closed);
    EXPECT_EQ(result.Count, 6u);
    tbtest::expectSameRecordText(*original, copy);
    tbtest::expectSamePalette(*original, copy);
    EXPECT_EQ(copy.MapRecordIndex, original->MapRecordIndex);
    EXPECT_EQ(copy.Config->MapVerticPoints, 2);
    EXPECT_EQ(copy.Config->MapHorizPoints, 3);
    EXPECT_EQ(copy.Scan(1, 2)[4], original->Scan(1, 2)[4]);
}

TEST_F(RecordText, MapGridsBeyondTheirLimitsCannotBeRead) {
    for (const char* line : {"6:41:2", "6:2:41", "6:0:2", "6:2:0"}) {
        TBaseMapCell m;
        EXPECT_THROW(load(m, {line, "65534:"}), RangeError) << line;
    }
    for (const char* line : {"6:3", "6::2", "6:a:b"}) {
        TBaseMapCell m;
        EXPECT_THROW(load(m, {line, "65534:"}), TRecordTextError) << line;
    }
}

TEST_F(RecordText, AMapCursorOutsideTheGridReadsOntoTheGrid) {
    auto original = tbtest::makeMap(1, 2, 3, 32);
    original->Config->MapCursorVertical = 30;
    original->Config->MapCursorHorizontal = 30;
    TBaseMapCell copy;
    load(copy, saved(*original));
    EXPECT_EQ(copy.Config->MapCursorVertical, 1);
    EXPECT_EQ(copy.Config->MapCursorHorizontal, 2);
}

} // namespace
