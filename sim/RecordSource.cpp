#include "sim/RecordSource.h"

#include "config/CharMappingUnit.h"
#include "platform/text/Numbers.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace sim {

namespace {

// Configuration block offsets of the fields the default block sets (besides those in header::).
constexpr std::size_t kConfigNumber = 0;
constexpr std::size_t kConfigIndex = 1;
constexpr std::size_t kName = 5;
constexpr std::size_t kNameEnd = 47; // the byte after the last name character
constexpr std::size_t kMaxNameLength = 22;

void putByte(Block& b, std::size_t index, int value) {
    b[index] = static_cast<std::uint8_t>(value);
}

void putName(Block& b, const std::string& name) {
    const std::size_t length = std::min(name.size(), kMaxNameLength);
    for (std::size_t i = 0; i < length; ++i) {
        b[kName + i] = CharToInstrCode(name.substr(i, 1));
    }
    b[kName + length] = kNameEnd;
}

// The time-varied gain points as a reset leaves them for a range of `samples`.
void putTvgPoints(Block& b, std::uint16_t samples) {
    constexpr int kActivePoints = 30;
    for (int i = 0; i < 32; ++i) {
        const bool first = i == 0;
        const bool last = i == kActivePoints - 1;
        putByte(b, 106 + 3 * i, first ? 0 : (last ? 30 : 28));
        putWord(b, 107 + 3 * i, first ? 0 : (last ? samples : static_cast<std::uint16_t>(i * 64)));
    }
}

// Deterministic noise: a hash of everything that identifies one sample.
std::uint64_t mix(std::uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

// Uniform in [-1, 1).
double noise(std::uint32_t seed, RecordKind kind, std::uint16_t index, std::uint32_t scan,
             std::uint32_t sample) {
    const std::uint64_t key = (static_cast<std::uint64_t>(seed) << 32) ^
                              (static_cast<std::uint64_t>(kind) << 56) ^
                              (static_cast<std::uint64_t>(index) << 40) ^
                              (static_cast<std::uint64_t>(scan) << 16) ^ sample;
    return static_cast<double>(mix(key) >> 11) / static_cast<double>(1ull << 52) - 1.0;
}

// A short ringing burst centred at `at`.
double burst(double t, double at, double amplitude, double width) {
    const double u = (t - at) / width;
    return amplitude * std::exp(-u * u) * std::sin(t * 0.8);
}

// The shapes of the built-in records: enough variety to exercise every block length.
constexpr std::array<std::uint16_t, 4> kBandSampleCounts = {128, 256, 320, 384};
constexpr std::array<std::uint16_t, 2> kMapSampleCounts = {256, 320};

std::uint16_t bandScans(std::uint16_t index) {
    return static_cast<std::uint16_t>(60 + 20 * (index % 3));
}

std::uint16_t mapColumns(std::uint16_t index) {
    return static_cast<std::uint16_t>(12 + 4 * (index % 3));
}

constexpr std::uint16_t kMapRows = 10;

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

std::uint16_t encodeRawSample(int value, int averagerIndex) {
    const int s = std::clamp(averagerIndex, 0, 4);
    const int v = std::clamp(value, -512, 511);
    // Negative values are the two's complement of a (10 + s)-bit code.
    const int raw = v >= 0 ? v << s : (1 << (10 + s)) + v * (1 << s);
    return static_cast<std::uint16_t>(raw);
}

Block defaultConfigurationBlock(int slot) {
    Block b{};
    putByte(b, kConfigNumber, slot);
    putWord(b, kConfigIndex, static_cast<std::uint16_t>(slot));
    putName(b, "CONFIG " + std::to_string(slot));
    putWord(b, header::kMapRows, kMapRows);
    putWord(b, header::kMapColumns, 10);
    putWord(b, 41, 10); // map steps
    putWord(b, 43, 10);
    putWord(b, 46, 5); // map cursor row and column
    putWord(b, 48, 5);
    putWord(b, 55, 10); // band step
    putWord(b, 61, 30); // strobe 1 and 2 begin and end pixels
    putWord(b, 63, 50);
    putWord(b, 65, 100);
    putWord(b, 67, 90);
    putByte(b, 69, 10); // strobe levels
    putByte(b, 70, 30);
    for (std::size_t cursor = 71; cursor <= 77; cursor += 2) {
        putWord(b, cursor, 100);
    }
    putByte(b, 82, 1); // strobe 1 on
    putWord(b, header::kSampleCount, 1024);
    putByte(b, 96, 10);    // search level
    putByte(b, 98, 1);     // index mark
    putWord(b, 102, 4000); // 40.0 dots per cell
    putWord(b, 104, 4000);
    putTvgPoints(b, 1024);
    putWord(b, 203, 30); // TVG cursor and active points
    putByte(b, 205, 30);
    putByte(b, 208, 10); // refresh
    putByte(b, 213, 1);  // probe frequency index
    putWord(b, 214, 30); // probe delay
    putByte(b, 216, 1);  // probe type 0, sent inverted
    putByte(b, 218, 1);  // half a pulser period
    putByte(b, 220, 30); // attenuators
    putByte(b, 221, 30);
    putByte(b, header::kAveragerIndex, 0);
    putByte(b, 223, 1);    // Barker order
    putWord(b, 224, 2700); // velocity
    return b;
}

Block BuiltInRecordSource::configuration(int slot) {
    return defaultConfigurationBlock(slot);
}

Block BuiltInRecordSource::header(RecordKind kind, std::uint16_t index) {
    Block b = defaultConfigurationBlock(index % 20 + 1);
    std::uint16_t samples = 1024;
    std::string name;
    switch (kind) {
    case RecordKind::AScan:
        name = "ASCAN " + std::to_string(index + 1);
        break;
    case RecordKind::Band:
        name = "BAND " + std::to_string(index + 1);
        samples = kBandSampleCounts[index % kBandSampleCounts.size()];
        putWord(b, header::kBandLastScan, static_cast<std::uint16_t>(bandScans(index) - 1));
        break;
    case RecordKind::Map:
        name = "MAP " + std::to_string(index + 1);
        samples = kMapSampleCounts[index % kMapSampleCounts.size()];
        putWord(b, header::kMapRows, kMapRows);
        putWord(b, header::kMapColumns, mapColumns(index));
        putWord(b, header::kBandLastScan, static_cast<std::uint16_t>(mapColumns(index) - 1));
        putWord(b, 46, kMapRows / 2);
        putWord(b, 48, static_cast<std::uint16_t>(mapColumns(index) / 2));
        break;
    }
    putName(b, name);
    putWord(b, header::kSampleCount, samples);
    putTvgPoints(b, samples);
    putByte(b, header::kAveragerIndex, index % 5);
    return b;
}

void BuiltInRecordSource::samples(RecordKind kind, std::uint16_t index, std::uint32_t scan,
                                  std::span<std::uint8_t> out) {
    const Block h = header(kind, index);
    const RecordShape shape = shapeOf(kind, h);
    const int averager = h[header::kAveragerIndex];
    const std::uint32_t n = std::min<std::uint32_t>(shape.samples, out.size() / 2);
    const double s = shape.samples;

    // Where this A-scan's echo lies, and how strong it is.
    double echoAt = 0.0;
    double echo = 0.0;
    switch (kind) {
    case RecordKind::AScan:
        echoAt = s * (0.3 + 0.08 * (index % 6));
        echo = 300.0;
        break;
    case RecordKind::Band: {
        const double along = shape.scans > 1 ? static_cast<double>(scan) / (shape.scans - 1) : 0;
        echoAt = s * (0.25 + 0.5 * along);
        echo = 260.0;
        break;
    }
    case RecordKind::Map: {
        const int columns = getWord(h, header::kMapColumns);
        const int rows = getWord(h, header::kMapRows);
        const double row = columns > 0 ? static_cast<double>(scan / columns) : 0;
        const double column = columns > 0 ? static_cast<double>(scan % columns) : 0;
        const double radius = std::min(rows, columns) / 4.0;
        const bool flaw =
            std::hypot(row - (rows - 1) / 2.0, column - (columns - 1) / 2.0) <= radius;
        echoAt = s * (flaw ? 0.4 : 0.8);
        echo = flaw ? 350.0 : 200.0;
        break;
    }
    }

    const double width = std::max(2.0, s / 80.0);
    const double pulseWidth = std::max(3.0, s / 100.0);
    for (std::uint32_t i = 0; i < n; ++i) {
        const double t = i;
        double value = 6.0 * noise(seed_, kind, index, scan, i);
        // Beyond four widths a burst has died away; skipping it keeps long maps cheap to make.
        if (t < 4.0 * pulseWidth) {
            value += burst(t, 0.0, 480.0, pulseWidth);
        }
        if (std::fabs(t - echoAt) < 4.0 * width) {
            value += burst(t, echoAt, echo, width);
        }
        const auto rounded = static_cast<int>(platform::text::roundHalfEven(value));
        const std::uint16_t raw = encodeRawSample(rounded, averager);
        out[2 * i] = static_cast<std::uint8_t>(raw & 0xFF);
        out[2 * i + 1] = static_cast<std::uint8_t>(raw >> 8);
    }
}

} // namespace sim
