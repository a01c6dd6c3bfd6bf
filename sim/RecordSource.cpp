#include "sim/RecordSource.h"

#include "platform/text/Numbers.h"

#include <algorithm>
#include <string>
#include <vector>

namespace text = platform::text;

namespace sim {

namespace {

Block blockOf(TBaseConfigCell config, int slot) {
    pByteArray bytes(kBlockSize, 0);
    BuildInstrumentBlock(config, bytes, slot);
    Block block{};
    std::copy_n(bytes.begin(), kBlockSize, block.begin());
    return block;
}

// The shapes of the model's records, by record number.
constexpr std::array<std::uint16_t, 5> kAScanSampleCounts = {1024, 2048, 512, 1600, 320};
constexpr std::array<std::uint16_t, 4> kBandSampleCounts = {128, 256, 320, 384};
constexpr std::array<std::uint16_t, 2> kMapSampleCounts = {256, 320};
constexpr std::array<std::uint16_t, 5> kSlotSampleCounts = {1024, 512, 2048, 320, 1600};
constexpr std::uint16_t kMapRows = 10;
// Slot configurations draw their seeds beyond any record number.
constexpr std::uint32_t kSlotSeedBase = 0x10000;

std::uint8_t averagerFor(std::uint32_t n) {
    return static_cast<std::uint8_t>(n % (kMaxAveragerIndex + 1));
}

} // namespace

std::uint16_t getWord(const Block& block, std::size_t index) {
    return static_cast<std::uint16_t>(block[index] | (block[index + 1] << 8));
}

void putWord(Block& block, std::size_t index, std::uint16_t value) {
    block[index] = static_cast<std::uint8_t>(value & 0xFF);
    block[index + 1] = static_cast<std::uint8_t>(value >> 8);
}

std::uint32_t sampleBlockLength(std::uint32_t samples) {
    std::uint32_t blocks = (2 * samples) / 256;
    if (samples % 256 != 0) {
        ++blocks;
    }
    return blocks * 256;
}

RecordShape shapeOf(RecordKind kind, const Block& header) {
    RecordShape shape;
    shape.samples = getWord(header, header::kSampleCount);
    switch (kind) {
    case RecordKind::AScan:
        shape.scans = 1;
        shape.blockLength = kAScanSampleBlockLength;
        break;
    case RecordKind::Band:
        shape.scans = static_cast<std::uint32_t>(getWord(header, header::kBandLastScan)) + 1;
        shape.blockLength = sampleBlockLength(shape.samples);
        break;
    case RecordKind::Map:
        shape.scans = static_cast<std::uint32_t>(getWord(header, header::kMapRows)) *
                      getWord(header, header::kMapColumns);
        shape.blockLength = sampleBlockLength(shape.samples);
        break;
    }
    return shape;
}

Block defaultConfigurationBlock(int slot) {
    TBaseConfigCell config(0, 0, 0);
    config.ResetAll(text::checkedCast<std::uint16_t>(slot));
    config.ConfigName = "CONFIG " + std::to_string(slot);
    return blockOf(config, slot);
}

Scene ModelRecordSource::scene(RecordKind kind, std::uint16_t index) const {
    const std::uint32_t seed = seedFor(seed_, kind, index);
    switch (kind) {
    case RecordKind::AScan:
        return aScanScene(seed, kAScanSampleCounts[index % kAScanSampleCounts.size()],
                          averagerFor(index + index / 5u));
    case RecordKind::Band:
        return bandScene(seed, kBandSampleCounts[index % kBandSampleCounts.size()],
                         static_cast<std::uint16_t>(60 + 20 * (index % 3)), averagerFor(index));
    case RecordKind::Map:
        if (mapRows_ != 0) {
            return mapScene(seed, mapSamples_, mapRows_, mapColumns_, averagerFor(index));
        }
        return mapScene(seed, kMapSampleCounts[index % kMapSampleCounts.size()], kMapRows,
                        static_cast<std::uint16_t>(12 + 4 * (index % 3)), averagerFor(index));
    }
    throw text::RangeError("Range check error");
}

void ModelRecordSource::setMapShape(std::uint16_t rows, std::uint16_t columns,
                                    std::uint16_t samples) {
    // The scene checks the limits; a shape it refuses raises before anything changes.
    (void)mapScene(0, samples, rows, columns, 0);
    mapRows_ = rows;
    mapColumns_ = columns;
    mapSamples_ = samples;
}

TBaseConfigCell ModelRecordSource::recordConfiguration(RecordKind kind, std::uint16_t index) const {
    TBaseConfigCell config =
        configurationFor(scene(kind, index), static_cast<std::uint16_t>(index % kSlotCount + 1));
    config.ConfigName += " " + std::to_string(index + 1);
    return config;
}

TBaseConfigCell ModelRecordSource::slotConfiguration(int slot) const {
    const auto number = text::checkedCast<std::uint16_t>(slot);
    const Scene s = aScanScene(seedFor(seed_, RecordKind::AScan, kSlotSeedBase + number),
                               kSlotSampleCounts[(number + 4u) % kSlotSampleCounts.size()],
                               averagerFor(number + 4u));
    TBaseConfigCell config = configurationFor(s, number);
    config.ConfigName = s.material + " " + std::to_string(slot);
    return config;
}

Block ModelRecordSource::configuration(int slot) {
    return blockOf(slotConfiguration(slot), slot);
}

Block ModelRecordSource::header(RecordKind kind, std::uint16_t index) {
    return blockOf(recordConfiguration(kind, index), index % kSlotCount + 1);
}

void ModelRecordSource::samples(RecordKind kind, std::uint16_t index, std::uint32_t scan,
                                std::span<std::uint8_t> out) {
    const Scene s = scene(kind, index);
    std::vector<std::int32_t> values(std::min<std::size_t>(s.samples, out.size() / 2));
    renderScan(s, scan, values);
    encodeRawSamples(values, s.averagerIndex, out);
}

} // namespace sim
