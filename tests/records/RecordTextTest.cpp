// The numbered record texts of A-scans, bands and maps: their lines, the fields' widths, and
// texts that are short, unusual or broken. Whole records travelling through files are the
// measurement file tests'.
#include "RecordsTestSupport.h"

#include "platform/text/LineFile.h"
#include "platform/text/Numbers.h"

#include <gtest/gtest.h>

using platform::text::AtomicFileWriter;
using platform::text::LineReader;
using platform::text::RangeError;

namespace {

using Lines = std::vector<std::string>;

class RecordText : public ::testing::Test {
protected:
    Lines saved(TBaseAScanCell& record) {
        {
            AtomicFileWriter file(folder / "out.txt");
            record.SaveToText(file);
            file.commit();
        }
        return platform::text::readAllLines(folder / "out.txt");
    }

    TRecordTextResult load(TBaseAScanCell& record, const Lines& lines) {
        tbtest::writeBytes(folder / "in.txt", tbtest::crlf(lines));
        LineReader file(folder / "in.txt");
        return record.LoadFromText(file);
    }

    // The lines of the configuration field, as the configuration writes them.
    Lines configLines(TBaseConfigCell config) {
        {
            AtomicFileWriter file(folder / "c.txt");
            WriteParamBlock(config, file);
            file.commit();
        }
        return platform::text::readAllLines(folder / "c.txt");
    }

    static Lines join(std::vector<Lines> parts) {
        Lines out;
        for (auto& p : parts) {
            out.insert(out.end(), p.begin(), p.end());
        }
        return out;
    }

    // A field line followed by n sample lines holding their index.
    static Lines withSamples(const std::string& line, int n) {
        Lines out{line};
        for (int s = 0; s < n; ++s) {
            out.push_back(std::to_string(s % 2 ? -s : s));
        }
        return out;
    }

    tbtest::LanguageFiles texts{{{326, "No comments"}}};
    tbtest::TempFolder folder;
};

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
    r.Scan(0, 0)[2] = 511;
    EXPECT_EQ(saved(r), join({{"0:1", "1:7", "2:9", "3:12", "4:4", "5:2", "first", "second", "6:"},
                              configLines(*r.Config),
                              {"7:3", "-5", "0", "511", "8:1", "65534:"}}));
}

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
    EXPECT_EQ(saved(b),
              join({{"0:1", "1:2", "2:3", "3:8", "4:1", "c", "5:"},
                    configLines(*b.Config),
                    {"6:1", "1", "-2", "3", "-4", "7:1", "8:3", "9:20", "10:340", "65534:"}}));
}

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
    EXPECT_EQ(lines[3], "3:6");
    const auto six = std::find(lines.begin(), lines.end(), "6:3:2");
    ASSERT_NE(six, lines.end());
    EXPECT_EQ(Lines(six + 1, six + 7), (Lines{"0", "1", "2", "10", "11", "12"}));
}

TEST_F(RecordText, FieldsAreReadInAnyOrderUpToTheClosingLine) {
    TBaseAScanCell r;
    r.Scan(0, 0)[5] = 99;
    const auto result =
        load(r, {"8:1", "x:5", "42:12", "7:2", " -3 ", "+4", "2:?", "0:abc", "65534:", "1:5"});
    EXPECT_TRUE(result.Closed);
    EXPECT_EQ(result.Count, 2u);
    EXPECT_EQ(r.Color(5), 0xFFFFFFu); // scheme 1 applied
    EXPECT_EQ(r.Trace()[0], -3);
    EXPECT_EQ(r.Trace()[1], 4);
    EXPECT_EQ(r.Identity3, 1); // not a number: 1
    EXPECT_EQ(r.Kind, 0);      // not a number: 0
    EXPECT_EQ(r.Version, 0);   // after the closing line
    EXPECT_EQ(r.Scan(0, 0)[5], 99);
    EXPECT_EQ(r.ParseLine("4:17"), 4);
    EXPECT_EQ(r.ParseLine("comment: text"), 65535);
    EXPECT_EQ(r.GetFieldLine(4), "4:17");
    EXPECT_EQ(r.GetFieldValue(9), "");
}

TEST_F(RecordText, MissingFieldsKeepTheDefaults) {
    TBaseAScanCell r;
    auto result = load(r, {"0:1", "7:2", "5", "6", "65534:"});
    EXPECT_TRUE(result.Whole);
    EXPECT_EQ(r.Comments, Lines{"No comments"});
    EXPECT_EQ(result.Count, 2u);
    TBaseBandCell one;
    result = load(one, join({withSamples("6:0", 1024), {"65534:"}}));
    EXPECT_TRUE(result.Whole);
    EXPECT_EQ(result.Count, 1u); // the reset configuration's length, 1024
    EXPECT_EQ(one.Scan(0, 0)[1023], -1023);
    TBaseMapCell m;
    result = load(m, join({withSamples("6:1:1", 1024), {"65534:"}}));
    EXPECT_EQ(result.Count, 1u);
    EXPECT_EQ(m.Scan(0, 0)[1022], 1022);
}

// A damaged file's record that closes without its sample lines (or changes its shape after them)
// is not a record of zeros sized from its configuration: it is not whole and allocates nothing.
TEST_F(RecordText, ARecordClosingWithoutItsSamplesIsNotWholeAndStaysSmall) {
    TBaseConfigCell large(0, 0, 0);
    large.ResetAll(1);
    large.MapVerticPoints = 40;
    large.MapHorizPoints = 40;
    large.AScanRange = 4095;
    const Lines config = join({{"5:"}, configLines(large)});
    const std::vector<Lines> texts{
        {"65534:"},
        join({config, {"65534:"}}),
        join({withSamples("6:1:1", 1024), config, {"65534:"}}), // reshaped after the samples
    };
    for (const Lines& lines : texts) {
        SCOPED_TRACE(lines.size());
        TBaseMapCell m;
        const auto result = load(m, lines);
        EXPECT_TRUE(result.Closed);
        EXPECT_FALSE(result.Whole);
        EXPECT_EQ(result.Count, 0u);
        EXPECT_LE(m.Cube().All().size(), std::size_t{AScanSlotSamples});
    }
    TBaseBandCell b;
    auto result = load(b, join({{"4:0", "5:"}, configLines(large), {"65534:"}}));
    EXPECT_FALSE(result.Whole);
    EXPECT_EQ(b.Cube().Columns(), 1u);
    TBaseAScanCell r;
    result = load(r, {"0:1", "65534:"});
    EXPECT_FALSE(result.Whole);
    result = load(r, {"7:2", "5", "6", "6:", "37:64", "65534:", "65534:"});
    EXPECT_TRUE(result.Closed);
    EXPECT_FALSE(result.Whole) << "two samples read, 64 announced afterwards";
}

// Sample lines the file cannot hold are not allocated for: a few lines announcing the largest
// band or map leave the record at its size.
TEST_F(RecordText, AnnouncedSamplesBeyondTheFileAreNotAllocated) {
    TBaseBandCell b;
    auto result = load(b, withSamples("6:900", 3));
    EXPECT_FALSE(result.Closed);
    EXPECT_EQ(b.Cube().Columns(), 1u);
    TBaseMapCell m;
    result = load(m, {"6:40:40", "1", "2", "65534:"});
    EXPECT_FALSE(result.Closed);
    EXPECT_EQ(m.Cube().Rows() * m.Cube().Columns(), 1u);
    // Exactly enough lines still read.
    TBaseMapCell fits;
    result = load(fits, join({{"5:", "37:30", "65534:"}, withSamples("6:2:2", 120), {"65534:"}}));
    EXPECT_TRUE(result.Whole);
    EXPECT_EQ(fits.Scan(1, 1)[29], -119);
    // The bound itself: "1\n2" may hold two sample lines, not three.
    tbtest::writeBytes(folder / "two.txt", "1\n2");
    LineReader two(folder / "two.txt");
    EXPECT_TRUE(SampleLinesMayFollow(two, 2));
    EXPECT_FALSE(SampleLinesMayFollow(two, 3));
    std::string_view line;
    ASSERT_TRUE(two.next(line));
    EXPECT_TRUE(SampleLinesMayFollow(two, 1));
    EXPECT_FALSE(SampleLinesMayFollow(two, 2));
}

TEST_F(RecordText, TheLongestAScanAndTheHueLimits) {
    TBaseAScanCell r;
    const auto result = load(r, join({withSamples("7:4097", 4097), {"65534:"}}));
    EXPECT_TRUE(result.Closed);
    EXPECT_EQ(r.Trace()[4096], 4096);
    TBaseBandCell b;
    load(b, {"8:1", "9:400", "10:500", "65534:"});
    EXPECT_EQ(b.HueLow, 358);
    EXPECT_EQ(b.HueHigh, 359);
    EXPECT_EQ(b.ColorTable[357], 0xFFFFFFu); // direct grey rebuilt over 358..359
}

TEST_F(RecordText, ValuesTooWideForTheirFieldAreRangeErrors) {
    for (const char* line : {"0:256", "1:-1", "3:65536", "5:65536", "7:4098", "8:256"}) {
        TBaseAScanCell r;
        EXPECT_THROW(load(r, {line, "65534:"}), RangeError) << line;
    }
    for (const char* line : {"6:901", "0:256", "3:65536", "8:300", "9:65536"}) {
        TBaseBandCell b;
        EXPECT_THROW(load(b, {line, "65534:"}), RangeError) << line;
    }
    for (const char* line : {"6:41:2", "6:2:41", "6:0:2"}) {
        TBaseMapCell m;
        EXPECT_THROW(load(m, {line, "65534:"}), RangeError) << line;
    }
}

TEST_F(RecordText, ShapesAndSamplesThatAreNotNumbersCannotBeRead) {
    for (const Lines& lines :
         std::vector<Lines>{{"5:many"}, {"7:"}, {"7:3", "1", "two"}, {"7:1", "3000000000"}}) {
        TBaseAScanCell r;
        EXPECT_THROW(load(r, lines), TRecordTextError) << lines[0];
    }
    for (const char* line : {"6:x", "0:", "4:?", "7:one", "10:high"}) {
        TBaseBandCell b;
        EXPECT_THROW(load(b, {line, "65534:"}), TRecordTextError) << line;
    }
    for (const char* line : {"6:3", "6::2"}) {
        TBaseMapCell m;
        EXPECT_THROW(load(m, {line, "65534:"}), TRecordTextError) << line;
    }
}

TEST_F(RecordText, ATextEndingEarlyIsNotClosedAndKeepsWhatWasRead) {
    for (const Lines& lines :
         std::vector<Lines>{{"0:2", "7:4", "1", "2"}, {"5:3", "one"}, {"6:", "0:1"}, {"0:2"}}) {
        TBaseAScanCell r;
        EXPECT_FALSE(load(r, lines).Closed) << lines[0];
    }
    TBaseAScanCell r;
    load(r, {"0:2", "7:4", "1", "2"});
    EXPECT_EQ(r.Kind, 2);
    EXPECT_EQ(r.Trace()[1], 2);
}

TEST_F(RecordText, TheLastAScanReadStaysSelected) {
    auto band = tbtest::makeBand(1, 3, 32);
    TBaseBandCell bandCopy;
    load(bandCopy, saved(*band));
    EXPECT_EQ(bandCopy.Index2, 2);
    ASSERT_NE(band->Scan(0, 2)[1], band->Scan(0, 0)[1]);
    EXPECT_EQ(bandCopy.Trace()[1], band->Scan(0, 2)[1]);
    auto map = tbtest::makeMap(1, 2, 3, 32);
    TBaseMapCell mapCopy;
    load(mapCopy, saved(*map));
    EXPECT_EQ(mapCopy.Index1, 1);
    EXPECT_EQ(mapCopy.Index2, 2);
}

TEST_F(RecordText, AMapCursorOutsideTheGridIsReadOntoTheGrid) {
    auto original = tbtest::makeMap(1, 2, 3, 32);
    original->Config->MapCursorVertical = 30;
    original->Config->MapCursorHorizontal = 30;
    TBaseMapCell copy;
    load(copy, saved(*original));
    EXPECT_EQ(copy.Config->MapCursorVertical, 1);
    EXPECT_EQ(copy.Config->MapCursorHorizontal, 2);
}

} // namespace
