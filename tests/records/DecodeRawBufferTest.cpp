// Decoding the instrument's raw sample block into the current A-scan.
#include "RecordsTestSupport.h"

#include "sim/SignalModel.h"

#include <gtest/gtest.h>

using tbtest::encodeBlock;

namespace {

std::vector<std::int32_t> decode(TBaseAScanCell& r, const std::vector<std::uint8_t>& block,
                                 int averager, std::uint16_t n) {
    r.Config->AScanRange = n;
    r.Config->AveragerIndex = static_cast<std::uint8_t>(averager);
    r.DecodeRawBuffer(block);
    const auto t = r.Trace();
    return {t.begin(), t.end()};
}

using Samples = std::vector<std::int32_t>;

TEST(Decode, AveragerZeroAndTwoVectors) {
    TBaseAScanCell r;
    EXPECT_EQ(decode(r, {0xFF, 0x03, 0x00, 0x02, 0xFF, 0x01}, 0, 3), (Samples{-1, -512, 511}));
    // The high byte's upper six bits are not part of a 10-bit sample.
    EXPECT_EQ(decode(r, {0xFF, 0xFF, 0x00, 0xFE, 0xFF, 0xFD}, 0, 3), (Samples{-1, -512, 511}));
    // 0x0FFF with s = 2: -(4095 - 4095 + 1) / 4 truncates to 0.
    EXPECT_EQ(decode(r, {0xFF, 0x0F, 0x00, 0x08, 0xFF, 0x07}, 2, 3), (Samples{0, -512, 511}));
    EXPECT_EQ(decode(r, {0xFF, 0xFF, 0x00, 0xF8, 0xFF, 0xF7}, 2, 3), (Samples{0, -512, 511}));
    // s = 3: -(9) / 8 is -1.
    EXPECT_EQ(decode(r, {0xF7, 0x1F}, 3, 1), (Samples{-1}));
}

TEST(Decode, EveryValueSurvivesEncodingForEveryAverager) {
    std::vector<int> values;
    for (int v = -512; v <= 511; ++v) {
        values.push_back(v);
    }
    const Samples expected(values.begin(), values.end());
    for (int s = 0; s <= 4; ++s) {
        TBaseAScanCell r;
        EXPECT_EQ(decode(r, encodeBlock(values, s), s, 1024), expected) << "averager " << s;
    }
    // Indexes past the parameter's range decode as the widest samples.
    TBaseAScanCell r;
    EXPECT_EQ(decode(r, encodeBlock({-300, 300}, 4), 7, 2), (Samples{-300, 300}));
}

TEST(Decode, TheModelsEncodingOfEveryValueDecodesBackForEveryAverager) {
    // The simulated instrument's encoder is the inverse the receiving side relies on.
    Samples values;
    for (int v = sim::kMinSampleValue; v <= sim::kMaxSampleValue; ++v) {
        values.push_back(v);
    }
    for (int s = 0; s <= sim::kMaxAveragerIndex; ++s) {
        std::vector<std::uint8_t> block(2 * values.size());
        sim::encodeRawSamples(values, s, block);
        TBaseAScanCell r;
        EXPECT_EQ(decode(r, block, s, static_cast<std::uint16_t>(values.size())), values)
            << "averager " << s;
    }
}

TEST(Decode, DecodesNoMoreThanTheBlockTheCountAndTheAllocationHold) {
    TBaseAScanCell r;
    r.Config->AScanRange = 4;
    auto t = r.Trace();
    std::fill(t.begin(), t.end(), 77);
    EXPECT_EQ(decode(r, {0x05, 0x00, 0x06, 0x00, 0x07}, 0, 4), (Samples{5, 6, 77, 77}));
    EXPECT_EQ(decode(r, {}, 0, 4), (Samples{5, 6, 77, 77}));
    decode(r, encodeBlock(std::vector<int>(5000, -3), 0), 0, 4095);
    EXPECT_EQ(r.Scan(0, 0)[4094], -3);
    EXPECT_EQ(r.Scan(0, 0)[4095], 0);

    TBaseBandCell band;
    band.Config->ResetAll(1);
    band.Config->AScanRange = 2;
    band.SetScanCount(3);
    band.SetCurrentScan(1);
    decode(band, encodeBlock({1, 2, 3, 4, 5}, 0), 0, 5); // N beyond the two allocated samples
    EXPECT_EQ(band.Scan(0, 1)[0], 1);
    EXPECT_EQ(band.Scan(0, 1)[1], 2);
    EXPECT_EQ(band.Scan(0, 2)[0], 0);
    EXPECT_EQ(band.Scan(0, 0)[0], 0);
}

} // namespace
