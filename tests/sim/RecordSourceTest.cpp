#include "HostSide.h"

#include "sim/Instrument.h"
#include "sim/RecordSource.h"

#include <gtest/gtest.h>

#include <algorithm>

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

TEST(ModelContent, ShapesWithinTheInstrumentsLimits) {
    ModelRecordSource source(1);
    std::vector<int> averagers(5, 0);
    for (std::uint16_t i = 0; i < 60; ++i) {
        const Block a = source.header(RecordKind::AScan, i);
        EXPECT_EQ(shapeOf(RecordKind::AScan, a).scans, 1u);
        EXPECT_LE(getWord(a, header::kSampleCount), kMaxLinkAScanSamples) << "fits the block";
        ++averagers.at(a[header::kAveragerIndex]);

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
    EXPECT_EQ(averagers, (std::vector<int>{12, 12, 12, 12, 12})) << "every averager index";
    std::vector<int> firstFive;
    for (std::uint16_t i = 0; i < 5; ++i) {
        firstFive.push_back(source.header(RecordKind::AScan, i)[header::kAveragerIndex]);
    }
    std::sort(firstFive.begin(), firstFive.end());
    EXPECT_EQ(firstFive, (std::vector<int>{0, 1, 2, 3, 4})) << "already among the first five";
}

TEST(ModelContent, BandSampleCountsCoverTheBlockLengths) {
    ModelRecordSource source(1);
    std::vector<std::uint32_t> lengths;
    for (std::uint16_t i = 0; i < 4; ++i) {
        lengths.push_back(
            shapeOf(RecordKind::Band, source.header(RecordKind::Band, i)).blockLength);
    }
    EXPECT_EQ(lengths, (std::vector<std::uint32_t>{512, 512, 768, 1024}));
}

TEST(ModelContent, HeadersAreTheRecordsConfigurationBlocks) {
    ModelRecordSource source(3);
    for (const RecordKind kind : {RecordKind::AScan, RecordKind::Band, RecordKind::Map}) {
        for (std::uint16_t i : {0, 1, 7, 25}) {
            TBaseConfigCell config = source.recordConfiguration(kind, i);
            TBaseConfigCell validated = config;
            EXPECT_TRUE(validated.ValidateAll());
            EXPECT_TRUE(validated == config);
            pByteArray expected(256, 0);
            BuildInstrumentBlock(config, expected, i % 20 + 1);
            const Block h = source.header(kind, i);
            EXPECT_TRUE(std::equal(h.begin(), h.end(), expected.begin()));
            EXPECT_EQ(config.ConfigNumber, i % 20 + 1);
            EXPECT_EQ(config.ConfigName.substr(config.ConfigName.rfind(' ') + 1),
                      std::to_string(i + 1));
        }
    }
}

TEST(ModelContent, SlotConfigurationsAreValidAndNamedForTheirSlot) {
    ModelRecordSource source(1);
    for (int slot = 1; slot <= 20; ++slot) {
        TBaseConfigCell config = source.slotConfiguration(slot);
        TBaseConfigCell validated = config;
        EXPECT_TRUE(validated.ValidateAll()) << slot;
        EXPECT_TRUE(validated == config) << slot;
        EXPECT_EQ(config.ConfigNumber, slot);
        EXPECT_EQ(config.ConfigName.substr(config.ConfigName.rfind(' ') + 1), std::to_string(slot));
        const Block b = source.configuration(slot);
        EXPECT_EQ(b[0], slot);
        EXPECT_EQ(getWord(b, header::kSampleCount), config.AScanRange);
    }
}

TEST(ModelContent, SamplesAreTheModelsScansInRawForm) {
    ModelRecordSource source(5);
    for (const RecordKind kind : {RecordKind::AScan, RecordKind::Band, RecordKind::Map}) {
        for (std::uint16_t i = 0; i < 5; ++i) {
            const Scene scene = source.scene(kind, i);
            const RecordShape shape = shapeOf(kind, source.header(kind, i));
            ASSERT_EQ(shape.samples, scene.samples);
            ASSERT_EQ(shape.scans, static_cast<std::uint32_t>(scene.rows) * scene.columns);
            const std::uint32_t scan = shape.scans - 1;
            std::vector<std::uint8_t> out(shape.blockLength, 0);
            source.samples(kind, i, scan, out);
            std::vector<std::int32_t> expected(scene.samples);
            renderScan(scene, scan, expected);
            const std::vector<int> decoded = decodeAll(out, scene.samples, scene.averagerIndex);
            EXPECT_TRUE(std::equal(decoded.begin(), decoded.end(), expected.begin()));
            EXPECT_TRUE(std::all_of(out.begin() + 2 * scene.samples, out.end(), [](std::uint8_t x) {
                return x == 0;
            })) << "the rest of the block stays as it came";
        }
    }
}

TEST(ModelContent, SameSeedSameBytesInAnyOrder) {
    ModelRecordSource a(7);
    ModelRecordSource b(7);
    std::vector<std::uint8_t> late(512);
    std::vector<std::uint8_t> early(512);
    std::vector<std::uint8_t> first(512);
    a.samples(RecordKind::Band, 1, 0, first);
    a.samples(RecordKind::Band, 1, 30, late);
    b.samples(RecordKind::Band, 1, 30, early);
    EXPECT_EQ(late, early);

    ModelRecordSource other(8);
    std::vector<std::uint8_t> differentSeed(512);
    other.samples(RecordKind::Band, 1, 30, differentSeed);
    EXPECT_NE(late, differentSeed);
    EXPECT_NE(late, first);
}

TEST(ModelContent, FillsOnlyTheRecordsSamples) {
    ModelRecordSource source(1);
    ASSERT_EQ(source.scene(RecordKind::AScan, 0).samples, 1024);
    std::vector<std::uint8_t> out(4096, 0);
    source.samples(RecordKind::AScan, 0, 0, out);
    EXPECT_TRUE(std::any_of(out.begin(), out.begin() + 2048, [](std::uint8_t x) { return x; }));
    EXPECT_TRUE(std::all_of(out.begin() + 2048, out.end(), [](std::uint8_t x) { return !x; }));

    std::vector<std::uint8_t> small(100, 0);
    source.samples(RecordKind::AScan, 0, 0, small); // room for 50 samples only
    EXPECT_TRUE(std::equal(small.begin(), small.end(), out.begin()));
}

TEST(ModelContent, ARecordReadAsTheLinkReadsItIsTheModelsRecording) {
    Instrument instrument;
    ASSERT_EQ(instrument.initUsb(), 2);
    ModelRecordSource model(1);
    for (const RecordKind kind : {RecordKind::AScan, RecordKind::Band, RecordKind::Map}) {
        const std::uint16_t index = 1;
        const std::uint8_t code =
            kind == RecordKind::AScan ? 5 : (kind == RecordKind::Band ? 9 : 10);
        const std::uint16_t parameter = kind == RecordKind::AScan ? index + 1 : index;
        std::uint8_t command[12] = {code, static_cast<std::uint8_t>(parameter >> 8),
                                    static_cast<std::uint8_t>(parameter & 0xFF)};
        ASSERT_EQ(instrument.sendServiceBuffer(command), 1);
        pByteArray header(257, 0);
        ASSERT_EQ(instrument.checkBulkBuffer(header.data(), 256, 0), 1);

        // The header as the link takes it: parsed, validated, the times from the pixels.
        TBaseConfigCell config(0, 0, 0);
        ParseInstrumentBlock(config, header, index);
        EXPECT_TRUE(config.ValidateAll());
        config.Recalculate();
        const Recording expected = makeRecording(model.scene(kind, index));
        EXPECT_EQ(config.AScanRange, expected.samples);
        EXPECT_EQ(config.AveragerIndex, expected.scene.averagerIndex);
        EXPECT_EQ(config.StrobeBeginTime, expected.config.StrobeBeginTime);
        EXPECT_EQ(config.StrobeLengthTime, expected.config.StrobeLengthTime);
        EXPECT_EQ(config.CursorTime, expected.config.CursorTime);

        const std::uint32_t length = kind == RecordKind::AScan
                                         ? kAScanSampleBlockLength
                                         : sampleBlockLength(config.AScanRange);
        const std::uint32_t scans = static_cast<std::uint32_t>(expected.rows) * expected.columns;
        for (std::uint32_t k = 0; k < scans; ++k) {
            std::vector<std::uint8_t> block(length + 1, 0);
            ASSERT_EQ(instrument.checkBulkBuffer(block.data(), length, 0), 1) << k;
            const std::vector<int> decoded =
                decodeAll(block, config.AScanRange, config.AveragerIndex);
            const auto scan = expected.scan(static_cast<std::uint16_t>(k / expected.columns),
                                            static_cast<std::uint16_t>(k % expected.columns));
            ASSERT_TRUE(std::equal(decoded.begin(), decoded.end(), scan.begin())) << k;
        }
        std::vector<std::uint8_t> extra(length + 1, 0);
        EXPECT_EQ(instrument.checkBulkBuffer(extra.data(), length, 0), 0) << "the record is over";
    }
}
