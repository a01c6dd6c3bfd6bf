#include "sim/SignalModel.h"

#include "platform/text/Numbers.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace text = platform::text;

namespace sim {

namespace {

// ---- Deterministic randomness -------------------------------------------------------------------

constexpr std::uint64_t kGolden = 0x9E3779B97F4A7C15ull;

std::uint64_t mix(std::uint64_t x) {
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

// A counter-based stream: the nth number depends on the key and n only, so a scan renders the same
// whatever was rendered before it.
class Stream {
public:
    explicit Stream(std::uint64_t key) : state_(mix(key + kGolden)) {}

    std::uint64_t next() {
        state_ += kGolden;
        return mix(state_);
    }

    // Uniform in [lo, hi).
    double uniform(double lo, double hi) {
        return lo + (hi - lo) * static_cast<double>(next() >> 11) * 0x1.0p-53;
    }

    template <typename T, std::size_t Size> const T& pick(const std::array<T, Size>& table) {
        return table[next() % Size];
    }

private:
    std::uint64_t state_;
};

// Uniform in [-1, 1) from 32 bits.
double signedUnit(std::uint32_t bits) {
    return static_cast<double>(bits) * 0x1.0p-31 - 1.0;
}

// ---- Materials and the probe --------------------------------------------------------------------

struct Material {
    const char* name;
    std::uint16_t velocity; // longitudinal waves, m/s
    double grainPercent;    // backscatter near the surface, percent of the reference
};

constexpr std::array<Material, 6> kMaterials = {{
    {"STEEL", 5920, 3.0},
    {"STAINLESS", 5740, 5.0},
    {"ALUMINIUM", 6320, 2.0},
    {"TITANIUM", 6100, 4.0},
    {"COPPER", 4660, 5.0},
    {"CAST IRON", 4600, 7.0},
}};

constexpr std::array<std::uint16_t, 4> kSteps = {10, 20, 25, 50};

// The instrument's A-scan picture, on whose pixels strobes and cursors stand.
constexpr int kPictureWidth = 320;

// The initial pulse overdrives the receiver for its first samples.
constexpr double kPulseAmplitude = 1.4 * kMaxSampleValue;
// One shot's receiver noise before averaging, sample units.
constexpr double kElectronicNoise = 4.0;
// Strobe 1's threshold as a part of the flaw's height: low enough for a crest that falls between
// two samples, high above the grain noise.
constexpr double kGateLevel = 0.35;
// Per-scan variation of the coupling between probe and piece.
constexpr double kCouplingVariation = 0.05;
// How much of the back wall a flaw hides from the probe.
constexpr double kShadow = 0.7;

// Pulse shape in samples: a Gaussian envelope of this width under the carrier, and the initial
// pulse's ring-down time.
double envelopeWidth(double period) {
    return 0.45 * period;
}

double ringDown(double period) {
    return 0.6 * period;
}

// The probe's carrier period: about four samples, down to three on short ranges so the echoes stay
// narrow there too; below three samples a crest could fall between two samples.
double carrierPeriod(std::uint16_t samples, Stream& draw) {
    const double base = std::clamp(samples / 64.0, 3.0, 4.0);
    return base * draw.uniform(1.0, 1.2);
}

std::uint64_t kindSalt(RecordKind kind) {
    return (static_cast<std::uint64_t>(kind) + 1) * 0xD6E8FEB86659FD93ull;
}

int percentOf(double amplitude, double fraction) {
    return static_cast<int>(
        text::roundHalfEven(amplitude / kAmplitudeReference * 100.0 * fraction));
}

void checkShape(std::uint16_t samples, std::uint8_t averagerIndex) {
    if (samples < kMinSamples || samples > kMaxSamples || averagerIndex > kMaxAveragerIndex) {
        throw text::RangeError("Range check error");
    }
}

// What every kind has: the piece, the probe, the back wall and the noise.
Scene commonScene(RecordKind kind, std::uint32_t seed, std::uint16_t samples,
                  std::uint8_t averagerIndex, Stream& draw) {
    checkShape(samples, averagerIndex);
    Scene s;
    s.kind = kind;
    s.samples = samples;
    s.averagerIndex = averagerIndex;
    const Material& material = draw.pick(kMaterials);
    s.material = material.name;
    s.velocity = material.velocity;
    s.period = carrierPeriod(samples, draw);
    s.pulseAmplitude = kPulseAmplitude;
    // The back wall late in the trace, its thickness to a tenth of a millimetre.
    const double backWall = draw.uniform(0.72, 0.88) * samples;
    s.thicknessMm = std::nearbyint(sampleToDepth(backWall, s.velocity) * 10.0) / 10.0;
    s.backWallAmplitude = kAmplitudeReference * draw.uniform(0.75, 0.95);
    s.backWallLevel = static_cast<std::int16_t>(percentOf(s.backWallAmplitude, kGateLevel));
    s.grainNoise = kAmplitudeReference * material.grainPercent / 100.0 * draw.uniform(0.8, 1.2);
    s.electronicNoise = kElectronicNoise;
    s.step = draw.pick(kSteps);
    s.noiseSeed = mix(draw.next() ^ seed);
    return s;
}

// ---- Configuration helpers ----------------------------------------------------------------------

constexpr int kFirstStrobePixel = 1;
constexpr int kLastPixel = 319;
constexpr int kShortestStrobe = 10;

struct Strobe {
    std::int16_t begin = 0;
    std::int16_t end = 0;
};

// The pixels of a strobe that holds the samples first..last whole, at least as long as the
// shortest strobe and inside the picture.
Strobe strobeAround(double first, double last, std::uint16_t samples) {
    const double perSample = static_cast<double>(kPictureWidth) / samples;
    int begin = static_cast<int>(text::truncTo<std::int32_t>(std::floor(first * perSample)));
    int end = static_cast<int>(text::truncTo<std::int32_t>(std::ceil(last * perSample)));
    begin = std::clamp(begin, kFirstStrobePixel, kLastPixel - kShortestStrobe);
    end = std::clamp(end, begin + kShortestStrobe, kLastPixel);
    return {static_cast<std::int16_t>(begin), static_cast<std::int16_t>(end)};
}

// How far either side of its crest an echo visibly reaches, in samples.
double echoReach(const Scene& s) {
    return 3.0 * envelopeWidth(s.period) + s.period / 2.0;
}

// Where the initial pulse has rung down below half of strobe 1's threshold, so that strobe 1 may
// begin there: on the shortest ranges the flaw lies close behind the pulse.
double pulseEnd(const Scene& s) {
    const double quiet = kAmplitudeReference * s.strobeLevel / 100.0 / 2.0;
    return quiet <= 0.0 ? 0.0
                        : ringDown(s.period) * std::log(std::max(1.0, s.pulseAmplitude / quiet));
}

std::uint16_t pixelOf(double sample, std::uint16_t samples) {
    return text::roundTo<std::uint16_t>(sample * kPictureWidth / samples);
}

std::string kindWord(RecordKind kind) {
    switch (kind) {
    case RecordKind::AScan:
        return "ASCAN";
    case RecordKind::Band:
        return "BAND";
    case RecordKind::Map:
        return "MAP";
    }
    return "";
}

} // namespace

// ---- Scenes -------------------------------------------------------------------------------------

std::uint32_t seedFor(std::uint32_t seed, RecordKind kind, std::uint32_t index) {
    const std::uint64_t key = (static_cast<std::uint64_t>(seed) << 32) ^ kindSalt(kind) ^ index;
    return static_cast<std::uint32_t>(mix(key + kGolden) >> 32);
}

double depthToSample(double depthMm, std::uint16_t velocity) {
    return velocity == 0 ? 0.0 : 2000.0 * depthMm / velocity;
}

double sampleToDepth(double sample, std::uint16_t velocity) {
    return sample * velocity / 2000.0;
}

Scene aScanScene(std::uint32_t seed, std::uint16_t samples, std::uint8_t averagerIndex) {
    Stream draw(seed ^ kindSalt(RecordKind::AScan));
    Scene s = commonScene(RecordKind::AScan, seed, samples, averagerIndex, draw);
    s.flawDepthMm = sampleToDepth(draw.uniform(0.35, 0.55) * samples, s.velocity);
    s.flawAmplitude = kAmplitudeReference * draw.uniform(0.6, 0.9);
    s.strobeLevel = static_cast<std::int16_t>(percentOf(s.flawAmplitude, kGateLevel));
    return s;
}

Scene bandScene(std::uint32_t seed, std::uint16_t samples, std::uint16_t scans,
                std::uint8_t averagerIndex) {
    if (scans < 1 || scans > kMaxBandScans) {
        throw text::RangeError("Range check error");
    }
    Stream draw(seed ^ kindSalt(RecordKind::Band));
    Scene s = commonScene(RecordKind::Band, seed, samples, averagerIndex, draw);
    s.columns = scans;
    double begin = draw.uniform(0.22, 0.32) * samples;
    double end = draw.uniform(0.48, 0.58) * samples;
    if (draw.next() & 1) {
        std::swap(begin, end); // rising towards the surface instead
    }
    s.reflectorBeginMm = sampleToDepth(begin, s.velocity);
    s.reflectorEndMm = sampleToDepth(end, s.velocity);
    s.reflectorAmplitude = kAmplitudeReference * draw.uniform(0.6, 0.85);
    s.strobeLevel = static_cast<std::int16_t>(percentOf(s.reflectorAmplitude, kGateLevel));
    return s;
}

Scene mapScene(std::uint32_t seed, std::uint16_t samples, std::uint16_t rows, std::uint16_t columns,
               std::uint8_t averagerIndex) {
    if (rows < kMinMapPoints || rows > kMaxMapPoints || columns < kMinMapPoints ||
        columns > kMaxMapPoints) {
        throw text::RangeError("Range check error");
    }
    Stream draw(seed ^ kindSalt(RecordKind::Map));
    Scene s = commonScene(RecordKind::Map, seed, samples, averagerIndex, draw);
    s.rows = rows;
    s.columns = columns;
    // The C-scan looks at the one sample under cursor 1, which stands on a pixel of the picture:
    // the disk lies at such a sample, so that the C-scan sees its echo's crest.
    const double pixel = std::nearbyint(draw.uniform(0.38, 0.55) * kPictureWidth);
    s.flawDepthMm = sampleToDepth(std::nearbyint(pixel * samples / kPictureWidth), s.velocity);
    s.flawAmplitude = kAmplitudeReference * draw.uniform(0.6, 0.9);
    s.strobeLevel = static_cast<std::int16_t>(percentOf(s.flawAmplitude, kGateLevel));
    const double smaller = std::min(rows, columns);
    s.diskRadius = std::max(1.5, smaller * draw.uniform(0.2, 0.3));
    s.diskRow = (rows - 1) * draw.uniform(0.35, 0.65);
    s.diskColumn = (columns - 1) * draw.uniform(0.35, 0.65);
    return s;
}

double reflectorDepthMm(const Scene& scene, std::uint32_t scan) {
    if (scene.columns <= 1) {
        return scene.reflectorBeginMm;
    }
    const double along = static_cast<double>(scan) / (scene.columns - 1);
    return scene.reflectorBeginMm + (scene.reflectorEndMm - scene.reflectorBeginMm) * along;
}

double diskCoverage(const Scene& scene, std::uint16_t row, std::uint16_t column) {
    if (scene.kind != RecordKind::Map) {
        return 0.0;
    }
    const double distance = std::hypot(row - scene.diskRow, column - scene.diskColumn);
    return std::clamp(scene.diskRadius + 0.5 - distance, 0.0, 1.0);
}

// ---- The configuration --------------------------------------------------------------------------

TBaseConfigCell configurationFor(const Scene& scene, std::uint16_t configNumber) {
    checkShape(scene.samples, scene.averagerIndex);
    TBaseConfigCell c(0, 0, 0);
    c.ResetAll(configNumber);
    c.ConfigName = (scene.material + " " + kindWord(scene.kind)).substr(0, MaxConfigNameLength);
    c.AScanRange = scene.samples;
    c.Velocity = scene.velocity;
    c.AveragerIndex = scene.averagerIndex;

    // The gain points spread evenly over the range, ready should the user switch the TVG on.
    const int lastPoint = std::min<int>(c.TgvActivePoints, TgvPointCount) - 1;
    for (int i = 1; i <= lastPoint; ++i) {
        c.TgvPos[static_cast<std::size_t>(i)] =
            static_cast<std::uint16_t>(static_cast<long>(i) * scene.samples / lastPoint);
    }

    const double reach = echoReach(scene);
    const double backWall = depthToSample(scene.thicknessMm, scene.velocity);
    // The samples strobe 1 has to cover, and where cursor 1 stands.
    double gateFirst = 0.0;
    double gateLast = 0.0;
    double cursor = backWall;
    switch (scene.kind) {
    case RecordKind::AScan:
        gateFirst = gateLast = depthToSample(scene.flawDepthMm, scene.velocity);
        break;
    case RecordKind::Band: {
        const double a = depthToSample(scene.reflectorBeginMm, scene.velocity);
        const double b = depthToSample(scene.reflectorEndMm, scene.velocity);
        gateFirst = std::min(a, b);
        gateLast = std::max(a, b);
        c.BandLastAScan = static_cast<std::uint16_t>(scene.columns - 1);
        c.BandCurrentAScan = static_cast<std::uint16_t>(scene.columns / 2);
        c.BandStep = scene.step;
        break;
    }
    case RecordKind::Map:
        gateFirst = gateLast = cursor = depthToSample(scene.flawDepthMm, scene.velocity);
        c.MapVerticPoints = scene.rows;
        c.MapHorizPoints = scene.columns;
        c.MapVerticStep = c.MapHorizStep = scene.step;
        c.MapCursorVertical = text::roundTo<std::uint16_t>(scene.diskRow);
        c.MapCursorHorizontal = text::roundTo<std::uint16_t>(scene.diskColumn);
        // The link sets it so for every map it reads.
        c.BandLastAScan = static_cast<std::uint16_t>(scene.columns - 1);
        c.BandCurrentAScan = 0;
        break;
    }

    const Strobe gate =
        strobeAround(std::max(gateFirst - reach, pulseEnd(scene)), gateLast + reach, scene.samples);
    const Strobe wall = strobeAround(backWall - reach, backWall + reach, scene.samples);
    c.StrobeEnabled = {1, 1};
    c.StrobeBeginPixel = {gate.begin, wall.begin};
    c.StrobeEndPixel = {gate.end, wall.end};
    c.StrobeLevel = {std::clamp<std::int16_t>(scene.strobeLevel, 1, 100),
                     std::clamp<std::int16_t>(scene.backWallLevel, 1, 100)};
    c.CursorCount = 0;
    c.CursorPixel = {pixelOf(cursor, scene.samples), pixelOf(backWall, scene.samples)};

    // As a configuration read from the instrument: times from the pixels.
    c.Recalculate();
    return c;
}

// ---- Samples ------------------------------------------------------------------------------------

void renderScan(const Scene& scene, std::uint32_t scan, std::span<std::int32_t> out) {
    const std::uint32_t scans = static_cast<std::uint32_t>(scene.rows) * scene.columns;
    if (scan >= scans || scene.period <= 0.0) {
        throw text::RangeError("Range check error");
    }
    const std::size_t n = std::min<std::size_t>(scene.samples, out.size());
    if (n == 0) {
        return;
    }
    const double sigma = envelopeWidth(scene.period);
    const double omega = 2.0 * std::numbers::pi / scene.period;

    // Grain noise is the probe's pulse scattered back by many small reflectors: random scatterers
    // filtered by the pulse shape, fading with depth. Receiver noise is white and averaging over
    // 2^s shots lowers it.
    constexpr int kMaxHalfTaps = 31;
    const int halfTaps = std::min(kMaxHalfTaps, static_cast<int>(std::ceil(3.0 * sigma)));
    const std::size_t taps = static_cast<std::size_t>(2 * halfTaps + 1);
    std::array<double, 2 * kMaxHalfTaps + 1> wavelet{};
    double energy = 0.0;
    for (std::size_t k = 0; k < taps; ++k) {
        const double u = (static_cast<double>(k) - halfTaps);
        wavelet[k] = std::exp(-0.5 * (u / sigma) * (u / sigma)) * std::cos(omega * u);
        energy += wavelet[k] * wavelet[k];
    }
    // Scatterers uniform in [-1, 1) have variance 1/3; the filtered sum's peaks reach about three
    // standard deviations.
    const double grainGain = scene.grainNoise / 3.0 / std::sqrt(energy / 3.0);
    const double receiverNoise =
        scene.electronicNoise / std::sqrt(static_cast<double>(1u << scene.averagerIndex));

    Stream stream(scene.noiseSeed ^ (static_cast<std::uint64_t>(scan) * kGolden));
    const double coupling = 1.0 + kCouplingVariation * stream.uniform(-1.0, 1.0);

    std::vector<double> scatter(n + taps - 1);
    std::vector<double> value(n);
    for (std::size_t i = 0; i < scatter.size(); ++i) {
        const std::uint64_t bits = stream.next();
        scatter[i] = signedUnit(static_cast<std::uint32_t>(bits >> 32));
        if (i < n) {
            value[i] = receiverNoise * signedUnit(static_cast<std::uint32_t>(bits));
        }
    }
    const double fade = std::exp(-std::numbers::ln2 / scene.samples); // halves over the trace
    double grain = grainGain;
    for (std::size_t t = 0; t < n; ++t) {
        double sum = 0.0;
        for (std::size_t k = 0; k < taps; ++k) {
            sum += wavelet[k] * scatter[t + k];
        }
        value[t] += grain * sum;
        grain *= fade;
    }

    // The initial pulse rings down from the surface.
    const double tau = ringDown(scene.period);
    const std::size_t pulseEnd = std::min(n, static_cast<std::size_t>(std::ceil(10.0 * tau)));
    for (std::size_t t = 0; t < pulseEnd; ++t) {
        value[t] += scene.pulseAmplitude * std::exp(-static_cast<double>(t) / tau) *
                    std::cos(omega * static_cast<double>(t));
    }

    // An echo: the pulse shape, its crest at `centre`.
    const auto echo = [&](double centre, double amplitude) {
        if (amplitude <= 0.0) {
            return;
        }
        const double reach = 4.0 * sigma;
        const double lo = std::max(0.0, std::ceil(centre - reach));
        const double hi = std::min(static_cast<double>(n) - 1.0, std::floor(centre + reach));
        for (double t = lo; t <= hi; t += 1.0) {
            const double u = (t - centre) / sigma;
            value[static_cast<std::size_t>(t)] +=
                amplitude * std::exp(-0.5 * u * u) * std::cos(omega * (t - centre));
        }
    };

    double backWall = scene.backWallAmplitude;
    switch (scene.kind) {
    case RecordKind::AScan:
        echo(depthToSample(scene.flawDepthMm, scene.velocity), scene.flawAmplitude * coupling);
        break;
    case RecordKind::Band:
        echo(depthToSample(reflectorDepthMm(scene, scan), scene.velocity),
             scene.reflectorAmplitude * coupling);
        break;
    case RecordKind::Map: {
        const double cover = diskCoverage(scene, static_cast<std::uint16_t>(scan / scene.columns),
                                          static_cast<std::uint16_t>(scan % scene.columns));
        echo(depthToSample(scene.flawDepthMm, scene.velocity),
             scene.flawAmplitude * cover * coupling);
        backWall *= 1.0 - kShadow * cover;
        break;
    }
    }
    echo(depthToSample(scene.thicknessMm, scene.velocity), backWall * coupling);

    // The receiver clips what it cannot represent.
    for (std::size_t t = 0; t < n; ++t) {
        const double v = std::clamp(value[t], static_cast<double>(kMinSampleValue),
                                    static_cast<double>(kMaxSampleValue));
        out[t] = static_cast<std::int32_t>(std::nearbyint(v));
    }
}

std::span<const std::int32_t> Recording::scan(std::uint16_t row, std::uint16_t column) const {
    if (row >= rows || column >= columns) {
        throw text::RangeError("Range check error");
    }
    const std::size_t offset = (static_cast<std::size_t>(row) * columns + column) * samples;
    return {data.data() + offset, samples};
}

Recording makeRecording(const Scene& scene, std::uint16_t configNumber) {
    Recording r;
    r.scene = scene;
    r.config = configurationFor(scene, configNumber);
    r.rows = scene.rows;
    r.columns = scene.columns;
    r.samples = scene.samples;
    const std::size_t scans = static_cast<std::size_t>(r.rows) * r.columns;
    r.data.resize(scans * r.samples);
    for (std::size_t k = 0; k < scans; ++k) {
        renderScan(scene, static_cast<std::uint32_t>(k),
                   std::span<std::int32_t>(r.data.data() + k * r.samples, r.samples));
    }
    return r;
}

// ---- The raw sample format ----------------------------------------------------------------------

std::uint16_t encodeRawSample(int value, int averagerIndex) {
    const int s = std::clamp(averagerIndex, 0, kMaxAveragerIndex);
    const int v = std::clamp(value, kMinSampleValue, kMaxSampleValue);
    // Non-negative values are the value shifted up by s; negative ones the (10 + s)-bit two's
    // complement of the shifted value, which the instrument's decoding divides back exactly.
    const int raw = v >= 0 ? v << s : (1 << (10 + s)) + v * (1 << s);
    return static_cast<std::uint16_t>(raw);
}

void encodeRawSamples(std::span<const std::int32_t> samples, int averagerIndex,
                      std::span<std::uint8_t> out) {
    const std::size_t n = std::min(samples.size(), out.size() / 2);
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint16_t raw = encodeRawSample(samples[i], averagerIndex);
        out[2 * i] = static_cast<std::uint8_t>(raw & 0xFF);
        out[2 * i + 1] = static_cast<std::uint8_t>(raw >> 8);
    }
}

std::vector<std::uint8_t> rawScan(const Recording& recording, std::uint32_t scan) {
    const std::size_t scans = static_cast<std::size_t>(recording.rows) * recording.columns;
    if (scan >= scans) {
        throw text::RangeError("Range check error");
    }
    std::vector<std::uint8_t> bytes(2 * static_cast<std::size_t>(recording.samples));
    encodeRawSamples(std::span<const std::int32_t>(
                         recording.data.data() + static_cast<std::size_t>(scan) * recording.samples,
                         recording.samples),
                     recording.scene.averagerIndex, bytes);
    return bytes;
}

pByteArray headerBlock(const Recording& recording, int slotNumber) {
    pByteArray block(ConfigBlockSize, 0);
    TBaseConfigCell config = recording.config;
    BuildInstrumentBlock(config, block, slotNumber);
    return block;
}

} // namespace sim
