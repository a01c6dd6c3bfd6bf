// The map record: grid, current row, cell size, the map cursor and what the C-scan reads.
#include "RecordsTestSupport.h"

#include "platform/text/Numbers.h"

#include <gtest/gtest.h>

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

TEST_F(Map, SetMapSizeShapesTheGrid) {
    EXPECT_EQ(m.Scan(3, 4).size(), 6u);
    EXPECT_TRUE(m.Scan(4, 0).empty());
    EXPECT_THROW(m.SetMapSize(0, 3), platform::text::RangeError);
    m.Scan(1, 2)[4] = 42;
    m.Config->AScanRange = 8; // a new depth keeps what fits
    m.SetMapSize(4, 5);
    EXPECT_EQ(m.Scan(1, 2)[4], 42);
    grid(5, 4); // a new grid starts from zeros
    EXPECT_EQ(m.Scan(1, 2)[4], 0);
    m.Config->BandLastAScan = 4;
    m.ClearData();
    EXPECT_EQ(m.Count1, 0);
    EXPECT_TRUE(m.Scan(0, 0).empty());
    EXPECT_EQ(m.Config->BandLastAScan, 4);
}

TEST_F(Map, SetCurrentRowStaysInsideTheGrid) {
    m.SetCurrentScan(4);
    m.SetCurrentRow(2);
    m.SetCurrentRow(4);
    EXPECT_EQ(m.Index1, 2);
    EXPECT_EQ(m.Index2, 4);
    m.Config->MapHorizPoints = 3; // a narrower grid sends the column back to 0
    m.SetCurrentRow(1);
    EXPECT_EQ(m.Index1, 1);
    EXPECT_EQ(m.Index2, 0);
}

TEST_F(Map, CellSizeAndMouseCursor) {
    grid(10, 10);
    m.ComputeCellSize(300, 250);
    EXPECT_EQ(m.CellSize, 25);
    grid(4, 5);
    m.ComputeCellSize(100, 80);
    EXPECT_EQ(m.CellSize, 20);
    m.SetCursorRowFromMouse(45);
    m.SetCursorColumnFromMouse(65);
    EXPECT_EQ(m.Config->MapCursorVertical, 2);
    EXPECT_EQ(m.Config->MapCursorHorizontal, 3);
    m.SetCursorRowFromMouse(5000); // past the last cell
    m.SetCursorColumnFromMouse(5000);
    EXPECT_EQ(m.Config->MapCursorVertical, 3);
    EXPECT_EQ(m.Config->MapCursorHorizontal, 4);
    m.ComputeCellSize(2, 1); // no room: cells of one pixel
    EXPECT_EQ(m.CellSize, 1);
    m.CellSize = 0; // before any size was computed
    m.SetCursorColumnFromMouse(3);
    EXPECT_EQ(m.Config->MapCursorHorizontal, 3);
}

TEST_F(Map, CScanReadsTheAbsoluteSampleAtCursorOnesDepth) {
    m.Scan(2, 3)[2] = -250;
    m.Config->CursorTime[0] = 2.5; // to the even neighbour
    EXPECT_EQ(m.CScanDepth(), 2u);
    EXPECT_EQ(m.CScanValue(2, 3), 250);
    m.Config->CursorTime[0] = 99.0; // past the trace: its last sample
    EXPECT_EQ(m.CScanDepth(), 5u);
    EXPECT_EQ(m.CScanValue(9, 9), 0);
    EXPECT_FALSE(m.CellHasPositiveSample(1, 1));
    m.Scan(1, 1)[5] = 10; // the last sample is not looked at
    EXPECT_FALSE(m.CellHasPositiveSample(1, 1));
    m.Scan(1, 1)[0] = 1;
    EXPECT_TRUE(m.CellHasPositiveSample(1, 1));
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
    EXPECT_EQ(m.Scan(0, 0)[1], 0);
    EXPECT_EQ(m.Scan(3, 4)[1], 340);
    EXPECT_EQ(m.Scan(2, 1)[1], 210);
    EXPECT_EQ(m.HueHigh, 359);
    EXPECT_EQ(m.Config->MapCursorHorizontal, 4);
}

} // namespace
