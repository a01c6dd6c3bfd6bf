// The map record: grid, current row, cell size, the map cursor and what the C-scan reads.
#include "RecordsTestSupport.h"

#include "platform/text/Numbers.h"

#include <gtest/gtest.h>

using platform::text::RangeError;

namespace {

class Map : public ::testing::Test {
protected:
    void SetUp() override {
        m.Config->ResetAll(1);
        m.Config->AScanRange = 6;
        grid(4, 5);
    }

    void grid(std::uint16_t rows, std::uint16_t columns) {
        m.Config->MapVerticPoints = rows;
        m.Config->MapHorizPoints = columns;
        m.SetMapSize(rows, columns);
    }

    TBaseMapCell m;
};

TEST_F(Map, ANewMapIsOneByOne) {
    TBaseMapCell fresh;
    EXPECT_EQ(fresh.Count1, 1);
    EXPECT_EQ(fresh.Count2, 1);
    EXPECT_EQ(fresh.ColorTable[359], 0x000000u);
    EXPECT_EQ(fresh.CellSize, 1);
}

TEST_F(Map, SetMapSizeShapesTheGrid) {
    EXPECT_EQ(m.Count1, 4);
    EXPECT_EQ(m.Count2, 5);
    EXPECT_EQ(m.Scan(3, 4).size(), 6u);
    EXPECT_TRUE(m.Scan(4, 0).empty());
    EXPECT_TRUE(m.Scan(0, 5).empty());
    EXPECT_THROW(m.SetMapSize(0, 3), RangeError);
    EXPECT_THROW(m.SetMapSize(3, 0), RangeError);
}

TEST_F(Map, ANewGridStartsFromZerosAndANewDepthKeepsWhatFits) {
    m.Scan(1, 2)[4] = 42;
    m.Config->AScanRange = 8;
    m.SetMapSize(4, 5);
    EXPECT_EQ(m.Scan(1, 2)[4], 42);
    EXPECT_EQ(m.Scan(1, 2).size(), 8u);
    grid(5, 4);
    EXPECT_EQ(m.Scan(1, 2)[4], 0);
}

TEST_F(Map, ClearDataEmptiesTheGrid) {
    m.Config->BandLastAScan = 4;
    m.ClearData();
    EXPECT_EQ(m.Count1, 0);
    EXPECT_EQ(m.Count2, 0);
    EXPECT_TRUE(m.Scan(0, 0).empty());
    EXPECT_EQ(m.Config->BandLastAScan, 4);
    m.ClearData();
    EXPECT_EQ(m.Count1, 0);
}

TEST_F(Map, SetCurrentRowStaysInsideTheGrid) {
    m.SetCurrentScan(4);
    m.SetCurrentRow(2);
    EXPECT_EQ(m.Index1, 2);
    EXPECT_EQ(m.Index2, 4);
    m.SetCurrentRow(4);
    EXPECT_EQ(m.Index1, 2);
    m.Config->MapHorizPoints = 3; // a narrower grid sends the column back to 0
    m.SetCurrentRow(1);
    EXPECT_EQ(m.Index1, 1);
    EXPECT_EQ(m.Index2, 0);
}

TEST_F(Map, CellSizeIsTheLargestSquareThatFits) {
    grid(10, 10);
    m.ComputeCellSize(300, 250);
    EXPECT_EQ(m.CellSize, 25);
    grid(2, 3);
    m.ComputeCellSize(300, 250);
    EXPECT_EQ(m.CellSize, 100);
    m.ComputeCellSize(2, 1);
    EXPECT_EQ(m.CellSize, 1);
    m.Config->MapHorizPoints = 0;
    m.Config->MapVerticPoints = 0;
    m.ComputeCellSize(300, 250);
    EXPECT_EQ(m.CellSize, 1);
}

TEST_F(Map, MouseCursorStopsAtTheLastRowAndColumn) {
    m.ComputeCellSize(100, 80); // 20 pixels
    m.SetCursorRowFromMouse(45);
    m.SetCursorColumnFromMouse(65);
    EXPECT_EQ(m.Config->MapCursorVertical, 2);
    EXPECT_EQ(m.Config->MapCursorHorizontal, 3);
    m.SetCursorRowFromMouse(5000);
    m.SetCursorColumnFromMouse(5000);
    EXPECT_EQ(m.Config->MapCursorVertical, 3);
    EXPECT_EQ(m.Config->MapCursorHorizontal, 4);
}

TEST_F(Map, MouseBeforeAnyCellSizeCountsCellsOfOnePixel) {
    m.CellSize = 0;
    m.SetCursorRowFromMouse(2);
    m.SetCursorColumnFromMouse(3);
    EXPECT_EQ(m.Config->MapCursorVertical, 2);
    EXPECT_EQ(m.Config->MapCursorHorizontal, 3);
}

TEST_F(Map, CursorsAreKeptOnTheGrid) {
    m.Config->MapCursorVertical = 30;
    m.Config->MapCursorHorizontal = 7;
    m.ClampCursors();
    EXPECT_EQ(m.Config->MapCursorVertical, 3);
    EXPECT_EQ(m.Config->MapCursorHorizontal, 4);
}

TEST_F(Map, CScanReadsTheAbsoluteSampleAtCursorOnesDepth) {
    m.Scan(2, 3)[2] = -250;
    m.Scan(2, 3)[3] = 90;
    m.Config->CursorTime[0] = 2.4;
    EXPECT_EQ(m.CScanDepth(), 2u);
    EXPECT_EQ(m.CScanValue(2, 3), 250);
    m.Config->CursorTime[0] = 2.5; // to the even neighbour
    EXPECT_EQ(m.CScanDepth(), 2u);
    m.Config->CursorTime[0] = 3.5;
    EXPECT_EQ(m.CScanDepth(), 4u);
    m.Config->CursorTime[0] = 99.0; // past the trace: its last sample
    EXPECT_EQ(m.CScanDepth(), 5u);
    EXPECT_EQ(m.CScanValue(9, 9), 0);
}

TEST_F(Map, CellsWithAPositiveSampleAreMarked) {
    EXPECT_FALSE(m.CellHasPositiveSample(1, 1));
    m.Scan(1, 1)[5] = 10; // the last sample is not looked at
    EXPECT_FALSE(m.CellHasPositiveSample(1, 1));
    m.Scan(1, 1)[0] = 1;
    EXPECT_TRUE(m.CellHasPositiveSample(1, 1));
    EXPECT_FALSE(m.CellHasPositiveSample(1, 2));
}

TEST_F(Map, ProcessReceivedPreparesEveryAScanAndKeepsTheCursorOnTheGrid) {
    for (std::uint32_t r = 0; r < 4; ++r) {
        for (std::uint32_t c = 0; c < 5; ++c) {
            m.Scan(r, c)[1] = static_cast<std::int32_t>(r * 10 + c);
        }
    }
    m.Config->TgvEnabled = 1;
    m.Config->TgvActivePoints = 1;
    m.Config->TgvGain[0] = 20; // a factor of 10
    m.Config->StrobeLevel[0] = 100;
    m.Config->MapCursorHorizontal = 9;
    m.ProcessReceived();
    for (std::uint32_t r = 0; r < 4; ++r) {
        for (std::uint32_t c = 0; c < 5; ++c) {
            EXPECT_EQ(m.Scan(r, c)[1], static_cast<std::int32_t>((r * 10 + c) * 10));
        }
    }
    EXPECT_EQ(m.HueHigh, 359);
    EXPECT_EQ(m.Config->MapCursorHorizontal, 4);
}

TEST_F(Map, AOneByOneRecordTextHoldsOneAScan) {
    tbtest::LanguageFiles texts;
    tbtest::TempFolder folder;
    std::vector<std::string> lines{"6:1:1"};
    for (int s = 0; s < 1024; ++s) {
        lines.push_back(std::to_string(s % 2 ? -s : s));
    }
    lines.push_back("65534:");
    tbtest::writeBytes(folder / "m.txt", tbtest::crlf(lines));
    TBaseMapCell fresh;
    platform::text::LineReader file(folder / "m.txt");
    const TRecordTextResult result = fresh.LoadFromText(file);
    EXPECT_TRUE(result.Closed);
    EXPECT_EQ(result.Count, 1u);
    EXPECT_EQ(fresh.Count1, 1);
    EXPECT_EQ(fresh.Count2, 1);
    // The configuration was reset to its default of 1024 samples.
    ASSERT_EQ(fresh.SampleCount(), 1024u);
    EXPECT_EQ(fresh.Scan(0, 0)[1], -1);
    EXPECT_EQ(fresh.Scan(0, 0)[1022], 1022);
}

} // namespace
