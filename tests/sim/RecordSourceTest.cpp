#include "HostSide.h"

#include "sim/RecordSource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

using namespace sim;
using simtest::decodeRawSample;

namespace {

std::vector<int> decodeAll(const std::vector<std::uint8_t>& bytes, std::size_t count, int s) {
    std::vector<int> values(count);
    for (std::size_t i = 0; i < count; ++i) {
        values[i] = decodeRawSample(bytes[2 * i], bytes[2 * i + 1], s);
    }
    return values;
}

// The sample index of the strongest value at or after `from`.
std::size_t peakAfter(const std::vector<int>& v, std::size_t from) {
    return static_cast<std::size_t>(
        std::max_element(v.begin() + from, v.end(),
                         [](int a, int b) { return std::abs(a) < std::abs(b); }) -
        v.begin());
}

} // namespace

TEST(SampleBlockLength, WholeBlocksForTwiceTheSamplesPlusOneUnlessAMultipleOf256) {
    EXPECT_EQ(sampleBlockLength(128), 512u);
    EXPECT_EQ(sampleBlockLength(256), 512u);
    EXPECT_EQ(sampleBlockLength(320), 768u);
    EXPECT_EQ(sampleBlockLength(384), 1024u) << "three blocks would hold it";
    EXPECT_EQ(sampleBlockLength(512), 1024u);
    EXPECT_EQ(sampleBlockLength(1), 256u);
    EXPECT_EQ(sampleBlockLength(30), 256u);
    EXPECT_EQ(sampleBlockLength(4095), 8192u);
}

TEST(RawSamples, EncodingDecodesBackForEveryAveragerIndex) {
    for (int s = 0; s <= 4; ++s) {
        for (int v = -512; v <= 511; ++v) {
            const std::uint16_t raw = encodeRawSample(v, s);
            ASSERT_LT(raw, 1u << (10 + s)) << "a " << 10 + s << "-bit code";
            ASSERT_EQ(decodeRawSample(raw & 0xFF, raw >> 8, s), v) << "s=" << s;
        }
    }
}

TEST(RawSamples, ValuesOutsideTheRangeAreClamped) {
    EXPECT_EQ(decodeRawSample(encodeRawSample(600, 1) & 0xFF, encodeRawSample(600, 1) >> 8, 1),
              511);
    EXPECT_EQ(encodeRawSample(-9999, 3), encodeRawSample(-512, 3));
}

TEST(DefaultConfiguration, NumberedAndNamedForItsSlot) {
    const Block b = defaultConfigurationBlock(12);
    EXPECT_EQ(b[0], 12);
    EXPECT_EQ(getWord(b, 1), 12);
    // "CONFIG 12" in instrument codes: capitals sit at the lower-case codes, digits at themselves.
    const std::uint8_t name[] = {'c', 'o', 'n', 'f', 'i', 'g', ' ', '1', '2', 47};
    EXPECT_TRUE(std::equal(std::begin(name), std::end(name), b.begin() + 5));
    EXPECT_EQ(getWord(b, header::kSampleCount), 1024);
    EXPECT_EQ(getWord(b, 224), 2700) << "velocity";
    EXPECT_EQ(b[216], 1) << "probe type 0 is sent inverted";
}

TEST(BuiltInContent, ShapesWithinTheInstrumentsLimits) {
    BuiltInRecordSource source(1);
    for (std::uint16_t i = 0; i < 60; ++i) {
        const Block a = source.header(RecordKind::AScan, i);
        EXPECT_EQ(shapeOf(RecordKind::AScan, a).scans, 1u);
        EXPECT_LE(getWord(a, header::kSampleCount), 2048) << "fits the A-scan block";
        EXPECT_EQ(a[header::kAveragerIndex], i % 5);

        const Block b = source.header(RecordKind::Band, i);
        const RecordShape band = shapeOf(RecordKind::Band, b);
        EXPECT_GE(band.samples, 30);
        EXPECT_LE(band.scans, 901u);

        const Block m = source.header(RecordKind::Map, i);
        const int rows = getWord(m, header::kMapRows);
        const int columns = getWord(m, header::kMapColumns);
        EXPECT_TRUE(rows >= 5 && rows <= 40 && columns >= 5 && columns <= 40);
        EXPECT_EQ(getWord(m, header::kBandLastScan), columns - 1);
    }
}

TEST(BuiltInContent, BandSampleCountsCoverTheBlockLengths) {
    BuiltInRecordSource source(1);
    std::vector<std::uint32_t> lengths;
    for (std::uint16_t i = 0; i < 4; ++i) {
        lengths.push_back(
            shapeOf(RecordKind::Band, source.header(RecordKind::Band, i)).blockLength);
    }
    EXPECT_EQ(lengths, (std::vector<std::uint32_t>{512, 512, 768, 1024}));
}

TEST(BuiltInContent, SameSeedSameBytesInAnyOrder) {
    BuiltInRecordSource a(7);
    BuiltInRecordSource b(7);
    std::vector<std::uint8_t> late(512);
    std::vector<std::uint8_t> early(512);
    std::vector<std::uint8_t> first(512);
    a.samples(RecordKind::Band, 1, 0, first);
    a.samples(RecordKind::Band, 1, 30, late);
    b.samples(RecordKind::Band, 1, 30, early);
    EXPECT_EQ(late, early);

    BuiltInRecordSource other(8);
    std::vector<std::uint8_t> differentSeed(512);
    other.samples(RecordKind::Band, 1, 30, differentSeed);
    EXPECT_NE(late, differentSeed);
    EXPECT_NE(late, first);
}

TEST(BuiltInContent, FillsOnlyTheRecordsSamples) {
    BuiltInRecordSource source(1);
    std::vector<std::uint8_t> out(4096, 0);
    source.samples(RecordKind::AScan, 0, 0, out); // 1024 samples
    EXPECT_TRUE(std::any_of(out.begin(), out.begin() + 2048, [](std::uint8_t x) { return x; }));
    EXPECT_TRUE(std::all_of(out.begin() + 2048, out.end(), [](std::uint8_t x) { return !x; }));

    std::vector<std::uint8_t> small(100, 0);
    source.samples(RecordKind::AScan, 0, 0, small); // room for 50 samples only
    EXPECT_TRUE(std::equal(small.begin(), small.end(), out.begin()));
}

TEST(BuiltInContent, InitialPulseAndAnEcho) {
    BuiltInRecordSource source(1);
    std::vector<std::uint8_t> out(4096);
    source.samples(RecordKind::AScan, 2, 0, out);
    const int s = 2; // averager index of A-scan 2
    const std::vector<int> v = decodeAll(out, 1024, s);
    const int pulse = std::abs(v[peakAfter(std::vector<int>(v.begin(), v.begin() + 30), 0)]);
    EXPECT_GT(pulse, 200);
    const std::size_t echo = peakAfter(v, 100);
    EXPECT_NEAR(static_cast<double>(echo), 1024 * (0.3 + 0.08 * 2), 20.0);
    EXPECT_GT(std::abs(v[echo]), 150);
    EXPECT_LT(std::abs(v[(echo + 1024) / 2 + 100]), 20) << "noise only, far from the echo";
}

TEST(BuiltInContent, BandReflectorSlopesDownward) {
    BuiltInRecordSource source(1);
    const RecordShape shape = shapeOf(RecordKind::Band, source.header(RecordKind::Band, 2));
    const int s = 2;
    std::size_t previous = 0;
    for (std::uint32_t j = 0; j < shape.scans; j += 10) {
        std::vector<std::uint8_t> out(shape.blockLength);
        source.samples(RecordKind::Band, 2, j, out);
        const std::size_t echo = peakAfter(decodeAll(out, shape.samples, s),
                                           static_cast<std::size_t>(shape.samples / 5));
        EXPECT_GE(echo, previous) << j;
        previous = echo;
    }
    EXPECT_GT(previous, shape.samples * 0.6);
}

TEST(BuiltInContent, MapFlawSitsInTheMiddle) {
    BuiltInRecordSource source(1);
    const Block h = source.header(RecordKind::Map, 0);
    const RecordShape shape = shapeOf(RecordKind::Map, h);
    const int columns = getWord(h, header::kMapColumns);
    const int rows = getWord(h, header::kMapRows);
    auto echoAt = [&](int row, int column) {
        std::vector<std::uint8_t> out(shape.blockLength);
        source.samples(RecordKind::Map, 0, static_cast<std::uint32_t>(row * columns + column), out);
        return peakAfter(decodeAll(out, shape.samples, 0), shape.samples / 5);
    };
    const double middle = static_cast<double>(echoAt(rows / 2, columns / 2)) / shape.samples;
    const double corner = static_cast<double>(echoAt(0, 0)) / shape.samples;
    EXPECT_NEAR(middle, 0.4, 0.05) << "the flaw";
    EXPECT_NEAR(corner, 0.8, 0.05) << "the back wall";
}
