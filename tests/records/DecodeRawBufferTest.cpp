// Decoding the instrument's raw sample block into the current A-scan.
#include "RecordsTestSupport.h"

#include <gtest/gtest.h>

using tbtest::encodeBlock;

namespace {

class Decode : public ::testing::Test {
protected:
    void SetUp() override {
        r.Config->ResetAll(1);
        r.Config->AScanRange = 3;
    }

    std::vector<std::int32_t> decode(std::vector<std::uint8_t> block, int averager) {
        r.Config->AveragerIndex = static_cast<std::uint8_t>(averager);
        r.DecodeRawBuffer(block);
        const auto t = r.Trace();
        return {t.begin(), t.end()};
    }

    TBaseAScanCell r;
};

TEST_F(Decode, AveragerZeroVectors) {
    EXPECT_EQ(decode({0xFF, 0x03, 0x00, 0x02, 0xFF, 0x01}, 0),
              (std::vector<std::int32_t>{-1, -512, 511}));
}

TEST_F(Decode, AveragerZeroIgnoresTheUpperSixBitsOfTheHighByte) {
    EXPECT_EQ(decode({0xFF, 0xFF, 0x00, 0xFE, 0xFF, 0xFD}, 0),
              (std::vector<std::int32_t>{-1, -512, 511}));
}

TEST_F(Decode, AveragerTwoVectorsTruncateTowardZero) {
    // 0x0FFF: -(4095 - 4095 + 1) / 4 is 0, not -1.
    EXPECT_EQ(decode({0xFF, 0x0F, 0x00, 0x08, 0xFF, 0x07}, 2),
              (std::vector<std::int32_t>{0, -512, 511}));
    // The mask keeps 12 bits: 0xF0 in the high byte is dropped.
    EXPECT_EQ(decode({0xFF, 0xFF, 0x00, 0xF8, 0xFF, 0xF7}, 2),
              (std::vector<std::int32_t>{0, -512, 511}));
}

TEST_F(Decode, EveryValueSurvivesEncodingForEveryAverager) {
    std::vector<int> values;
    for (int v = -512; v <= 511; ++v) {
        values.push_back(v);
    }
    r.Config->AScanRange = static_cast<std::uint16_t>(values.size());
    for (int s = 0; s <= 4; ++s) {
        SCOPED_TRACE("averager " + std::to_string(s));
        const auto decoded = decode(encodeBlock(values, s), s);
        ASSERT_EQ(decoded.size(), values.size());
        for (std::size_t i = 0; i < values.size(); ++i) {
            ASSERT_EQ(decoded[i], values[i]) << "sample " << i;
        }
    }
}

TEST_F(Decode, NegativeCodesBetweenMultiplesTruncateTowardZero) {
    // With s = 3, raw codes just below a multiple of 8 from the top decode toward zero.
    r.Config->AScanRange = 2;
    const int full = (1 << 13) - 1;
    const int raw1 = full;     // -(1) / 8 -> 0
    const int raw2 = full - 8; // -(9) / 8 -> -1
    EXPECT_EQ(decode({static_cast<std::uint8_t>(raw1 & 0xFF), static_cast<std::uint8_t>(raw1 >> 8),
                      static_cast<std::uint8_t>(raw2 & 0xFF), static_cast<std::uint8_t>(raw2 >> 8)},
                     3),
              (std::vector<std::int32_t>{0, -1}));
}

TEST_F(Decode, AShortBlockDecodesOnlyTheSamplesItHolds) {
    r.Config->AScanRange = 4;
    auto t = r.Trace();
    std::fill(t.begin(), t.end(), 77);
    // Two whole samples and one stray byte.
    EXPECT_EQ(decode({0x05, 0x00, 0x06, 0x00, 0x07}, 0), (std::vector<std::int32_t>{5, 6, 77, 77}));
}

TEST_F(Decode, NothingHappensForAnEmptyBlockOrNoSamples) {
    auto t = r.Trace();
    std::fill(t.begin(), t.end(), 9);
    EXPECT_EQ(decode({}, 0), (std::vector<std::int32_t>{9, 9, 9}));
    r.Config->AScanRange = 0;
    r.DecodeRawBuffer(encodeBlock({1, 2, 3}, 0));
    EXPECT_EQ(r.Scan(0, 0)[0], 9);
}

TEST_F(Decode, ALongBlockDecodesNoMoreThanNSamples) {
    r.Config->AScanRange = 4095;
    std::vector<int> values(5000, -3);
    r.DecodeRawBuffer(encodeBlock(values, 0));
    const auto scan = r.Scan(0, 0);
    ASSERT_EQ(scan.size(), AScanSlotSamples);
    EXPECT_EQ(scan[4094], -3);
    EXPECT_EQ(scan[4095], 0);
}

TEST_F(Decode, AnNBeyondTheAllocatedSamplesStopsAtTheAllocation) {
    TBaseBandCell band;
    band.Config->ResetAll(1);
    band.Config->AScanRange = 2;
    band.SetScanCount(2);
    band.Config->AScanRange = 10;
    band.DecodeRawBuffer(encodeBlock({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, 0));
    ASSERT_EQ(band.Scan(0, 0).size(), 2u);
    EXPECT_EQ(band.Scan(0, 0)[1], 2);
    EXPECT_EQ(band.Scan(0, 1)[0], 0);
}

TEST_F(Decode, AnAveragerAboveFourDecodesAsFour) {
    r.Config->AScanRange = 2;
    EXPECT_EQ(decode(encodeBlock({-300, 300}, 4), 7), (std::vector<std::int32_t>{-300, 300}));
}

TEST_F(Decode, DecodesIntoTheCurrentAScanOfABand) {
    TBaseBandCell band;
    band.Config->ResetAll(1);
    band.Config->AScanRange = 2;
    band.SetScanCount(3);
    band.SetCurrentScan(1);
    band.DecodeRawBuffer(encodeBlock({-7, 8}, 0));
    EXPECT_EQ(band.Scan(0, 0)[0], 0);
    EXPECT_EQ(band.Scan(0, 1)[0], -7);
    EXPECT_EQ(band.Scan(0, 1)[1], 8);
    EXPECT_EQ(band.Scan(0, 2)[0], 0);
}

} // namespace
