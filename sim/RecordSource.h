// What the simulated instrument has recorded: the configurations it holds when switched on and,
// for every A-scan, band and map it announces, the header configuration block and the raw samples
// of each of its A-scans. The protocol side asks; a provider answers. The default provider serves
// the signal model's scenes; tests plug in their own.
#pragma once

#include "sim/SignalModel.h"

#include <array>
#include <cstdint>
#include <span>

namespace sim {

inline constexpr std::size_t kBlockSize = 256;
inline constexpr int kSlotCount = 20;
using Block = std::array<std::uint8_t, kBlockSize>;

class RecordSource {
public:
    virtual ~RecordSource() = default;

    // The configuration block in slot 1..20 at power-on.
    virtual Block configuration(int slot) = 0;

    // The configuration block stored with record `index` (0-based within its kind). The
    // instrument reads the record's shape from it (RecordShape).
    virtual Block header(RecordKind kind, std::uint16_t index) = 0;

    // The raw bytes of one A-scan of a record in the instrument's sample format: scan 0 of an
    // A-scan record, scan j of a band, scan row x columns + column of a map. `out` arrives
    // zero-filled with the length of the host's block; samples that do not fit are dropped.
    virtual void samples(RecordKind kind, std::uint16_t index, std::uint32_t scan,
                         std::span<std::uint8_t> out) = 0;
};

// Offsets of the header fields the instrument itself reads (little-endian).
namespace header {
inline constexpr std::size_t kMapRows = 37;      // u16
inline constexpr std::size_t kMapColumns = 39;   // u16
inline constexpr std::size_t kBandLastScan = 51; // u16
inline constexpr std::size_t kSampleCount = 86;  // u16
inline constexpr std::size_t kAveragerIndex = 222;
} // namespace header

// How a record is streamed: its sample count, how many A-scans, and each A-scan's block length.
struct RecordShape {
    std::uint16_t samples = 0;
    std::uint32_t scans = 0;
    std::uint32_t blockLength = 0;
};

// An A-scan record is one 4096-byte block; a band has last scan + 1 blocks and a map rows x
// columns, each of sampleBlockLength(samples).
RecordShape shapeOf(RecordKind kind, const Block& header);

// The block length for S samples of a band or map A-scan: (2S div 256) blocks of 256 bytes, one
// more when S itself is not a multiple of 256.
std::uint32_t sampleBlockLength(std::uint32_t samples);

inline constexpr std::uint32_t kAScanSampleBlockLength = 4096;

// A configuration block with every field at its default, for slot number `slot`.
Block defaultConfigurationBlock(int slot);

std::uint16_t getWord(const Block& block, std::size_t index);
void putWord(Block& block, std::size_t index, std::uint16_t value);

// The signal model's records: every A-scan, band and map is a scene drawn from the seed and the
// record's number, its header the configuration block of the scene's configuration. The same seed
// gives the same bytes however often and in whatever order they are read. The shapes vary with the
// record's number so that a few records cover every averager index and the usual block lengths:
// A-scans of 320..2048 samples, bands of 128, 256, 320 and 384 samples with 60..100 A-scans, maps
// of 10 rows by 12..20 columns of 256 or 320 samples.
class ModelRecordSource : public RecordSource {
public:
    explicit ModelRecordSource(std::uint32_t seed) : seed_(seed) {}

    Block configuration(int slot) override;
    Block header(RecordKind kind, std::uint16_t index) override;
    void samples(RecordKind kind, std::uint16_t index, std::uint32_t scan,
                 std::span<std::uint8_t> out) override;

    std::uint32_t seed() const { return seed_; }

    // Every map takes this shape instead of the varied ones (for the largest transfers).
    void setMapShape(std::uint16_t rows, std::uint16_t columns, std::uint16_t samples);

    // The scene behind record `index` of a kind, and the configuration its header carries.
    Scene scene(RecordKind kind, std::uint16_t index) const;
    TBaseConfigCell recordConfiguration(RecordKind kind, std::uint16_t index) const;
    // The configuration in slot 1..20 at power-on.
    TBaseConfigCell slotConfiguration(int slot) const;

private:
    std::uint32_t seed_;
    std::uint16_t mapRows_ = 0; // 0: the varied shapes
    std::uint16_t mapColumns_ = 0;
    std::uint16_t mapSamples_ = 0;
};

} // namespace sim
