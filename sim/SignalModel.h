// The physics of the simulated instrument: what a contact probe on a test piece records. A scene
// (a piece of some material with its back wall, and a point flaw under an A-scan, a sloping
// reflector along a band or a disk-shaped flaw under a map) is drawn from a seed; the model renders
// its A-scans, gives the configuration the instrument held while recording them, and encodes
// samples in the instrument's raw format. The simulated instrument, the tests and the example files
// all take their data from here, so one seed always gives the same samples.
//
// Times along an A-scan are samples, one per microsecond of the A-scan range; a depth in
// millimetres lies at 2000 x depth / velocity samples (the sound goes there and back).
#pragma once

#include "config/BaseConfigObjectUnit.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace sim {

enum class RecordKind : std::uint8_t { AScan, Band, Map };

// ---- Limits -------------------------------------------------------------------------------------

// The A-scan ranges a valid configuration allows. The model never makes more samples than its
// configuration announces, so files may hold up to 4097 but the model stops at 4095.
inline constexpr std::uint16_t kMinSamples = 30;
inline constexpr std::uint16_t kMaxSamples = 4095;
// An A-scan read over the link comes in one 4096-byte block.
inline constexpr std::uint16_t kMaxLinkAScanSamples = 2048;
inline constexpr std::uint16_t kMaxBandScans = 901;
inline constexpr std::uint16_t kMinMapPoints = 5;
inline constexpr std::uint16_t kMaxMapPoints = 40;
inline constexpr int kMaxAveragerIndex = 4;

// What the instrument's receiver can deliver.
inline constexpr int kMinSampleValue = -512;
inline constexpr int kMaxSampleValue = 511;

// 100 % amplitude in sample units.
inline constexpr double kAmplitudeReference = 16384.0 / 45.0;

// ---- Scenes -------------------------------------------------------------------------------------

// One test piece under the probe. Depths are millimetres below the probe, amplitudes sample units.
// A field that does not belong to the scene's kind is 0.
struct Scene {
    RecordKind kind = RecordKind::AScan;
    std::uint64_t noiseSeed = 0;
    std::uint16_t samples = 0;      // N, the A-scan range
    std::uint16_t rows = 1;         // of a map; 1 otherwise
    std::uint16_t columns = 1;      // A-scans of a band, columns of a map; 1 for an A-scan
    std::uint8_t averagerIndex = 0; // 2^s shots averaged into every A-scan

    std::string material; // in capitals, as the instrument can show it
    std::uint16_t velocity = 0;
    double period = 0.0; // of the probe's carrier, in samples
    double pulseAmplitude = 0.0;
    double thicknessMm = 0.0; // the back wall
    double backWallAmplitude = 0.0;

    double flawDepthMm = 0.0; // the point flaw of an A-scan, the disk of a map
    double flawAmplitude = 0.0;
    double reflectorBeginMm = 0.0; // the sloping reflector under the first A-scan of a band
    double reflectorEndMm = 0.0;   // ... and under the last
    double reflectorAmplitude = 0.0;
    double diskRow = 0.0; // the disk's centre and radius in grid cells
    double diskColumn = 0.0;
    double diskRadius = 0.0;

    double grainNoise = 0.0;      // peak amplitude of the material's backscatter near the surface
    double electronicNoise = 0.0; // peak amplitude of one shot's receiver noise

    std::uint16_t step = 10;        // between A-scans of a band or map, as the configuration has it
    std::int16_t strobeLevel = 0;   // strobe 1 threshold, percent of the reference (1..100)
    std::int16_t backWallLevel = 0; // strobe 2 threshold
};

// Scenes drawn from a seed. Raises platform::text::RangeError for a shape beyond the limits above
// (samples 30..4095, averager index 0..4, band 1..901 A-scans, map 5..40 rows and columns).
Scene aScanScene(std::uint32_t seed, std::uint16_t samples, std::uint8_t averagerIndex = 0);
Scene bandScene(std::uint32_t seed, std::uint16_t samples, std::uint16_t scans,
                std::uint8_t averagerIndex = 0);
Scene mapScene(std::uint32_t seed, std::uint16_t samples, std::uint16_t rows, std::uint16_t columns,
               std::uint8_t averagerIndex = 0);

// The seed of record `index` of a kind in a series of records made from one seed.
std::uint32_t seedFor(std::uint32_t seed, RecordKind kind, std::uint32_t index);

// Where a depth lies on the trace, in samples, and back.
double depthToSample(double depthMm, std::uint16_t velocity);
double sampleToDepth(double sample, std::uint16_t velocity);

// The sloping reflector's depth under A-scan `scan` of a band.
double reflectorDepthMm(const Scene& scene, std::uint32_t scan);
// How much of grid cell (row, column) the disk covers, 0..1: 1 for a cell centre at least half a
// cell inside the rim, 0 from half a cell outside it, in proportion between.
double diskCoverage(const Scene& scene, std::uint16_t row, std::uint16_t column);

// ---- The configuration --------------------------------------------------------------------------

// The configuration the instrument held while recording the scene, as it reads back from the
// instrument: the pixel forms are the truth and the times follow them, and it passes validation
// unchanged. Strobe 1 lies on the flaw (the reflector over the whole band, the disk of a map) with
// its threshold at about a third of the flaw's height, strobe 2 on the back wall; cursor 1 marks
// the back wall of an A-scan or band and the disk's depth in a map, where the C-scan looks.
TBaseConfigCell configurationFor(const Scene& scene, std::uint16_t configNumber = 1);

// ---- Samples ------------------------------------------------------------------------------------

// A-scan `scan` of the scene (the column of a band; row x columns + column of a map) into
// out[0 .. min(N, out.size()) - 1], each within -512..511. Raises RangeError for a scan the scene
// does not have.
void renderScan(const Scene& scene, std::uint32_t scan, std::span<std::int32_t> out);

// A whole record: its configuration and its samples, rows x columns x samples in one buffer.
struct Recording {
    Scene scene;
    TBaseConfigCell config{0, 0, 0};
    std::uint16_t rows = 0;
    std::uint16_t columns = 0;
    std::uint16_t samples = 0;
    std::vector<std::int32_t> data;

    std::span<const std::int32_t> scan(std::uint16_t row, std::uint16_t column) const;
};

Recording makeRecording(const Scene& scene, std::uint16_t configNumber = 1);

// ---- The instrument's raw sample format ---------------------------------------------------------

// One sample for averager index s (0..4): a (10 + s)-bit code, low byte first on the wire, whose
// decoding gives `value` back. Values are clamped to -512..511 and the index to 0..4 first.
std::uint16_t encodeRawSample(int value, int averagerIndex);

// Samples into out, two bytes each, as many as fit; bytes beyond them are left as they are.
void encodeRawSamples(std::span<const std::int32_t> samples, int averagerIndex,
                      std::span<std::uint8_t> out);

// A-scan `scan` of a recording in raw form: exactly 2 x N bytes, with the recording's averager.
std::vector<std::uint8_t> rawScan(const Recording& recording, std::uint32_t scan);

// The recording's configuration block, as the instrument sends it ahead of the samples.
pByteArray headerBlock(const Recording& recording, int slotNumber = 1);

} // namespace sim
