// The signal model: scenes from seeds, configurations that validation leaves alone, echoes where
// the physics and the strobes put them, and the raw sample encoding checked against a decoder
// written here from the instrument's rules.
#include "sim/SignalModel.h"

#include "platform/text/Numbers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

using namespace sim;

namespace {

// ---- The instrument's decoding, as the receiving side does it -----------------------------------

// Decodes n samples of averager index s from a raw block: sample i in bytes 2i (low) and 2i + 1
// (high), 10 + s bits of it; codes from half upward are negative and divided by 2^s toward zero.
std::vector<int> decodeBlock(const std::vector<std::uint8_t>& block, std::size_t n, int s) {
    std::vector<int> out(n, 0);
    if (block.empty() || n == 0) {
        return out;
    }
    const int full = (1023 << s) | 255;
    const int half = 512 << s;
    const int mask = 63 >> (4 - s);
    const int divisors[] = {1, 2, 4, 8, 16, 32};
    for (std::size_t i = 0; i < n && 2 * i + 1 < block.size(); ++i) {
        const int raw = (block[2 * i + 1] & mask) * 256 + block[2 * i];
        out[i] = raw < half ? raw >> s : -(full - raw + 1) / divisors[s];
    }
    return out;
}

// The strobe echo search of the receiving side: the crest of the first run of samples at or above
// strobe 1's threshold, or cursor 1's time when nothing reaches it.
double findGateEcho(const TBaseConfigCell& c, std::span<const std::int32_t> v) {
    double marker = c.CursorTime[0];
    const auto b = static_cast<std::size_t>(std::trunc(c.StrobeBeginTime[0]));
    const auto e = static_cast<std::size_t>(
        platform::text::roundHalfEven(c.StrobeBeginTime[0] + c.StrobeLengthTime[0]));
    const double threshold = 16384.0 / 45.0 * c.StrobeLevel[0] / 100.0;
    bool found = false;
    int peak = v[b];
    for (std::size_t s = b; s <= e && s < v.size(); ++s) {
        if (!found && v[s] >= threshold) {
            found = true;
            peak = v[s];
            marker = static_cast<double>(s);
        } else if (found && v[s] >= threshold && v[s] > peak) {
            peak = v[s];
            marker = static_cast<double>(s);
        } else if (found && v[s] < threshold) {
            break;
        }
    }
    return marker;
}

double threshold(const TBaseConfigCell& c) {
    return 16384.0 / 45.0 * c.StrobeLevel[0] / 100.0;
}

// The sample of the largest value in [from, to].
std::size_t crestIn(std::span<const std::int32_t> v, double from, double to) {
    const auto lo = static_cast<std::size_t>(std::max(0.0, std::ceil(from)));
    const auto hi = std::min(v.size() - 1, static_cast<std::size_t>(std::floor(to)));
    return static_cast<std::size_t>(
        std::max_element(v.begin() + static_cast<long>(lo), v.begin() + static_cast<long>(hi) + 1) -
        v.begin());
}

int largestMagnitude(std::span<const std::int32_t> v, std::size_t from, std::size_t to) {
    int largest = 0;
    for (std::size_t i = from; i <= to && i < v.size(); ++i) {
        largest = std::max(largest, std::abs(v[i]));
    }
    return largest;
}

// A few samples either side of an echo's crest are enough to keep other echoes out of a search.
constexpr double kEchoWindow = 6.0;

} // namespace

// ---- Scenes and their limits --------------------------------------------------------------------

TEST(SignalScenes, ShapesBeyondTheLimitsAreRefused) {
    using platform::text::RangeError;
    EXPECT_THROW(aScanScene(1, 29), RangeError);
    EXPECT_THROW(aScanScene(1, 4096), RangeError);
    EXPECT_THROW(aScanScene(1, 1024, 5), RangeError);
    EXPECT_THROW(bandScene(1, 256, 0), RangeError);
    EXPECT_THROW(bandScene(1, 256, 902), RangeError);
    EXPECT_THROW(mapScene(1, 256, 4, 10), RangeError);
    EXPECT_THROW(mapScene(1, 256, 10, 41), RangeError);
    EXPECT_NO_THROW(aScanScene(1, 30, 4));
    EXPECT_NO_THROW(aScanScene(1, 4095));
    EXPECT_NO_THROW(bandScene(1, 256, 901));
    EXPECT_NO_THROW(mapScene(1, 256, 40, 5));
}

TEST(SignalScenes, RecordShapes) {
    const Recording a = makeRecording(aScanScene(3, 500));
    EXPECT_EQ(a.rows, 1);
    EXPECT_EQ(a.columns, 1);
    EXPECT_EQ(a.data.size(), 500u);
    const Recording b = makeRecording(bandScene(3, 200, 17));
    EXPECT_EQ(b.rows, 1);
    EXPECT_EQ(b.columns, 17);
    EXPECT_EQ(b.data.size(), 17u * 200);
    const Recording m = makeRecording(mapScene(3, 100, 6, 9));
    EXPECT_EQ(m.rows, 6);
    EXPECT_EQ(m.columns, 9);
    EXPECT_EQ(m.data.size(), 6u * 9 * 100);
    EXPECT_EQ(m.scan(5, 8).data(), m.data.data() + (5 * 9 + 8) * 100);
    EXPECT_THROW(m.scan(6, 0), platform::text::RangeError);
    EXPECT_THROW(m.scan(0, 9), platform::text::RangeError);
}

// ---- Determinism --------------------------------------------------------------------------------

TEST(SignalDeterminism, SameSeedSameRecording) {
    const Recording a = makeRecording(mapScene(42, 700, 7, 8, 3));
    const Recording b = makeRecording(mapScene(42, 700, 7, 8, 3));
    EXPECT_EQ(a.data, b.data);
    EXPECT_TRUE(a.config == b.config);
}

TEST(SignalDeterminism, ScansRenderAloneAsInTheRecording) {
    const Scene scene = bandScene(5, 300, 40);
    const Recording whole = makeRecording(scene);
    std::vector<std::int32_t> alone(300);
    for (std::uint32_t j : {39u, 0u, 17u}) {
        renderScan(scene, j, alone);
        const auto expected = whole.scan(0, static_cast<std::uint16_t>(j));
        EXPECT_TRUE(std::equal(alone.begin(), alone.end(), expected.begin())) << j;
    }
    EXPECT_THROW(renderScan(scene, 40, alone), platform::text::RangeError);
}

TEST(SignalDeterminism, AnotherSeedAnotherNoise) {
    // The same scene geometry with another noise seed: the echoes stay, the noise changes.
    Scene scene = aScanScene(8, 1024);
    const Recording a = makeRecording(scene);
    scene.noiseSeed ^= 1;
    const Recording b = makeRecording(scene);
    std::size_t differing = 0;
    for (std::size_t i = 0; i < a.data.size(); ++i) {
        differing += a.data[i] != b.data[i];
    }
    EXPECT_GT(differing, a.data.size() / 2);

    // Other seeds draw other pieces too.
    EXPECT_NE(makeRecording(aScanScene(9, 1024)).data, a.data);
}

TEST(SignalDeterminism, NeighbouringScansDifferInTheirNoise) {
    const Recording m = makeRecording(mapScene(11, 256, 5, 5));
    const auto a = m.scan(0, 0);
    const auto b = m.scan(0, 1);
    EXPECT_FALSE(std::equal(a.begin(), a.end(), b.begin()));
}

TEST(SignalDeterminism, SeedsOfASeries) {
    EXPECT_EQ(seedFor(1, RecordKind::Band, 3), seedFor(1, RecordKind::Band, 3));
    EXPECT_NE(seedFor(1, RecordKind::Band, 3), seedFor(1, RecordKind::Band, 4));
    EXPECT_NE(seedFor(1, RecordKind::Band, 3), seedFor(1, RecordKind::Map, 3));
    EXPECT_NE(seedFor(1, RecordKind::Band, 3), seedFor(2, RecordKind::Band, 3));
}

// ---- The raw sample format ----------------------------------------------------------------------

TEST(RawEncoding, TheDecoderHereFollowsTheInstrumentsExamples) {
    EXPECT_EQ(decodeBlock({0xFF, 0x03}, 1, 0)[0], -1);
    EXPECT_EQ(decodeBlock({0x00, 0x02}, 1, 0)[0], -512);
    EXPECT_EQ(decodeBlock({0xFF, 0x01}, 1, 0)[0], 511);
    EXPECT_EQ(decodeBlock({0xFF, 0xFD}, 1, 0)[0], 511) << "upper bits of the high byte ignored";
    EXPECT_EQ(decodeBlock({0xFF, 0x0F}, 1, 2)[0], 0) << "truncation toward zero";
    EXPECT_EQ(decodeBlock({0x00, 0x08}, 1, 2)[0], -512);
    EXPECT_EQ(decodeBlock({0xFF, 0x07}, 1, 2)[0], 511);
}

TEST(RawEncoding, EncodedExamples) {
    EXPECT_EQ(encodeRawSample(-1, 0), 0x03FF);
    EXPECT_EQ(encodeRawSample(-512, 0), 0x0200);
    EXPECT_EQ(encodeRawSample(511, 0), 0x01FF);
    EXPECT_EQ(encodeRawSample(-512, 2), 0x0800);
    EXPECT_EQ(encodeRawSample(511, 2), 0x07FC) << "0x07FF decodes to 511 too";
    EXPECT_EQ(encodeRawSample(0, 4), 0);
    EXPECT_EQ(encodeRawSample(-1, 4), 0x3FF0);
}

TEST(RawEncoding, EverySampleOfEveryAveragerDecodesBack) {
    std::vector<std::int32_t> all;
    for (int v = kMinSampleValue; v <= kMaxSampleValue; ++v) {
        all.push_back(v);
    }
    for (int s = 0; s <= kMaxAveragerIndex; ++s) {
        std::vector<std::uint8_t> block(2 * all.size() + 2, 0xAB);
        encodeRawSamples(all, s, block);
        const std::vector<int> back = decodeBlock(block, all.size(), s);
        for (std::size_t i = 0; i < all.size(); ++i) {
            ASSERT_EQ(back[i], all[i]) << "averager index " << s;
            const int code = block[2 * i] | (block[2 * i + 1] << 8);
            ASSERT_LT(code, 1 << (10 + s)) << "a " << 10 + s << "-bit code";
        }
        EXPECT_EQ(block[2 * all.size()], 0xAB) << "nothing written beyond the samples";
        EXPECT_EQ(block[2 * all.size() + 1], 0xAB);
    }
}

TEST(RawEncoding, OutOfRangeValuesAndIndexesAreClamped) {
    EXPECT_EQ(encodeRawSample(600, 1), encodeRawSample(511, 1));
    EXPECT_EQ(encodeRawSample(-9999, 3), encodeRawSample(-512, 3));
    EXPECT_EQ(encodeRawSample(-7, 9), encodeRawSample(-7, 4));
    EXPECT_EQ(encodeRawSample(-7, -1), encodeRawSample(-7, 0));
}

TEST(RawEncoding, AShortBlockTakesWhatFits) {
    const std::vector<std::int32_t> samples = {5, -5, 7};
    std::vector<std::uint8_t> block(5, 0xEE);
    encodeRawSamples(samples, 1, block);
    EXPECT_EQ(decodeBlock(block, 2, 1), (std::vector<int>{5, -5}));
    EXPECT_EQ(block[4], 0xEE);
}

TEST(RawEncoding, RecordedScansInRawForm) {
    for (std::uint8_t s = 0; s <= kMaxAveragerIndex; ++s) {
        const Recording r = makeRecording(mapScene(20 + s, 333, 5, 6, s));
        for (std::uint32_t k : {0u, 13u, 29u}) {
            const std::vector<std::uint8_t> raw = rawScan(r, k);
            ASSERT_EQ(raw.size(), 666u);
            const std::vector<int> back = decodeBlock(raw, 333, s);
            const auto expected =
                r.scan(static_cast<std::uint16_t>(k / 6), static_cast<std::uint16_t>(k % 6));
            EXPECT_TRUE(std::equal(back.begin(), back.end(), expected.begin()));
        }
        EXPECT_THROW(rawScan(r, 30), platform::text::RangeError);
    }
}

// ---- Configurations -----------------------------------------------------------------------------

TEST(SignalConfiguration, PassesValidationUnchanged) {
    std::vector<Scene> scenes;
    for (std::uint32_t seed = 0; seed < 12; ++seed) {
        const auto s = static_cast<std::uint8_t>(seed % 5);
        for (std::uint16_t n : {30, 31, 100, 319, 320, 321, 1024, 2048, 4095}) {
            scenes.push_back(aScanScene(seed, n, s));
        }
        scenes.push_back(bandScene(seed, 30, 1, s));
        scenes.push_back(bandScene(seed, 4095, 901, s));
        scenes.push_back(bandScene(seed, 384, 77, s));
        scenes.push_back(mapScene(seed, 30, 5, 5, s));
        scenes.push_back(mapScene(seed, 4095, 40, 40, s));
        scenes.push_back(mapScene(seed, 256, 5, 40, s));
    }
    for (const Scene& scene : scenes) {
        const TBaseConfigCell config = configurationFor(scene, 7);
        TBaseConfigCell validated = config;
        EXPECT_TRUE(validated.ValidateAll()) << config.ConfigName << " N=" << scene.samples;
        EXPECT_TRUE(validated == config) << config.ConfigName << " N=" << scene.samples;
    }
}

TEST(SignalConfiguration, DescribesTheScene) {
    const Scene scene = mapScene(4, 900, 12, 30, 2);
    const TBaseConfigCell c = configurationFor(scene, 9);
    EXPECT_EQ(c.AScanRange, 900);
    EXPECT_EQ(c.AveragerIndex, 2);
    EXPECT_EQ(c.Velocity, scene.velocity);
    EXPECT_EQ(c.MapVerticPoints, 12);
    EXPECT_EQ(c.MapHorizPoints, 30);
    EXPECT_EQ(c.BandLastAScan, 29);
    EXPECT_EQ(c.ConfigNumber, 9);
    EXPECT_EQ(c.ConfigName, scene.material + " MAP");
    EXPECT_EQ(c.TgvEnabled, 0) << "the samples are as the receiver delivered them";
    EXPECT_LE(c.ConfigName.size(), 22u);
    EXPECT_EQ(c.MapCursorVertical, std::nearbyint(scene.diskRow));
    EXPECT_EQ(c.MapCursorHorizontal, std::nearbyint(scene.diskColumn));

    const TBaseConfigCell band = configurationFor(bandScene(4, 512, 120), 1);
    EXPECT_EQ(band.BandLastAScan, 119);
    EXPECT_LE(band.BandCurrentAScan, band.BandLastAScan);
}

TEST(SignalConfiguration, TvgPointsRiseOverTheRange) {
    const TBaseConfigCell c = configurationFor(aScanScene(2, 30), 1);
    ASSERT_EQ(c.TgvActivePoints, 30);
    EXPECT_EQ(c.TgvPos[0], 0);
    EXPECT_EQ(c.TgvPos[29], 30);
    for (std::size_t i = 1; i < 30; ++i) {
        EXPECT_LT(c.TgvPos[i - 1], c.TgvPos[i]) << i;
    }
}

TEST(SignalConfiguration, HeaderBlockReadsBackAsTheConfiguration) {
    for (const Scene& scene :
         {aScanScene(31, 2048, 4), bandScene(31, 320, 60, 1), mapScene(31, 4095, 40, 40, 3)}) {
        const Recording r = makeRecording(scene, 5);
        const pByteArray block = headerBlock(r, 5);
        ASSERT_EQ(block.size(), 256u);

        TBaseConfigCell read(0, 0, 0);
        read.ResetAll(1);
        ParseInstrumentBlock(read, block, 5);
        EXPECT_EQ(read.ConfigName, r.config.ConfigName);
        EXPECT_EQ(read.AScanRange, r.config.AScanRange);
        EXPECT_EQ(read.AveragerIndex, r.config.AveragerIndex);
        EXPECT_EQ(read.Velocity, r.config.Velocity);
        EXPECT_EQ(read.StrobeBeginTime, r.config.StrobeBeginTime);
        EXPECT_EQ(read.StrobeLengthTime, r.config.StrobeLengthTime);
        EXPECT_EQ(read.StrobeLevel, r.config.StrobeLevel);
        EXPECT_EQ(read.CursorTime, r.config.CursorTime);
        EXPECT_EQ(read.MapVerticPoints, r.config.MapVerticPoints);
        EXPECT_EQ(read.BandLastAScan, r.config.BandLastAScan);

        pByteArray again(256, 0);
        BuildInstrumentBlock(read, again, 5);
        EXPECT_EQ(again, block);
    }
}

// ---- Samples and echoes -------------------------------------------------------------------------

TEST(SignalSamples, WithinTheReceiversRange) {
    for (std::uint32_t seed = 0; seed < 10; ++seed) {
        for (const Scene& scene : {aScanScene(seed, 30, 4), aScanScene(seed, 4095),
                                   bandScene(seed, 64, 50, 2), mapScene(seed, 512, 5, 7, 1)}) {
            const Recording r = makeRecording(scene);
            const auto [lo, hi] = std::minmax_element(r.data.begin(), r.data.end());
            EXPECT_GE(*lo, kMinSampleValue);
            EXPECT_LE(*hi, kMaxSampleValue);
        }
    }
}

TEST(SignalSamples, TheInitialPulseOverdrivesTheReceiver) {
    const Recording r = makeRecording(aScanScene(6, 1024));
    EXPECT_EQ(r.data[0], kMaxSampleValue);
    EXPECT_GT(largestMagnitude(r.data, 1, 6), 200);
}

TEST(SignalSamples, BetweenTheEchoesOnlyNoise) {
    for (std::uint32_t seed = 0; seed < 10; ++seed) {
        const Recording r = makeRecording(aScanScene(seed, 2048));
        const TBaseConfigCell& c = r.config;
        const double flaw = depthToSample(r.scene.flawDepthMm, r.scene.velocity);
        const double wall = depthToSample(r.scene.thicknessMm, r.scene.velocity);
        const auto from = static_cast<std::size_t>(flaw + 3 * kEchoWindow);
        const auto to = static_cast<std::size_t>(wall - 3 * kEchoWindow);
        const int noise = largestMagnitude(r.data, from, to);
        EXPECT_GT(noise, 0) << "grain noise is there";
        EXPECT_LT(noise, threshold(c) / 2) << "and well below strobe 1's threshold";
    }
}

TEST(SignalEchoes, BackWallWhereVelocityAndThicknessPutIt) {
    for (std::uint32_t seed = 0; seed < 20; ++seed) {
        for (std::uint16_t n : {128, 1000, 4095}) {
            const Recording r = makeRecording(aScanScene(seed, n, seed % 5));
            // Two-way travel at the piece's velocity, in microseconds = samples.
            const double expected = 2000.0 * r.scene.thicknessMm / r.scene.velocity;
            ASSERT_LT(expected, n);
            const std::size_t crest =
                crestIn(r.data, expected - kEchoWindow, expected + kEchoWindow);
            EXPECT_NEAR(static_cast<double>(crest), expected, 1.0) << seed << " " << n;
            EXPECT_GT(r.data[crest], 0.4 * r.scene.backWallAmplitude);
        }
    }
}

TEST(SignalEchoes, TheStrobeEchoSearchFindsTheFlaw) {
    for (std::uint32_t seed = 0; seed < 30; ++seed) {
        for (std::uint16_t n : {64, 320, 1024, 2048, 4095}) {
            const Recording r = makeRecording(aScanScene(seed, n, seed % 5));
            const TBaseConfigCell& c = r.config;
            const double flaw = depthToSample(r.scene.flawDepthMm, r.scene.velocity);
            EXPECT_GT(flaw, c.StrobeBeginTime[0]);
            EXPECT_LT(flaw, c.StrobeBeginTime[0] + c.StrobeLengthTime[0]);
            const double marker = findGateEcho(c, r.data);
            EXPECT_NEAR(marker, flaw, 1.0) << seed << " " << n;
        }
    }
}

TEST(SignalEchoes, StrobeTwoAndCursorOneOnTheBackWall) {
    const Recording r = makeRecording(aScanScene(12, 1500));
    const TBaseConfigCell& c = r.config;
    const double wall = depthToSample(r.scene.thicknessMm, r.scene.velocity);
    EXPECT_GT(wall, c.StrobeBeginTime[1]);
    EXPECT_LT(wall, c.StrobeBeginTime[1] + c.StrobeLengthTime[1]);
    EXPECT_NEAR(c.CursorTime[0], wall, 1500.0 / 320);
    EXPECT_EQ(c.StrobeEnabled[0], 1);
    EXPECT_EQ(c.StrobeEnabled[1], 1);
}

TEST(SignalEchoes, SlopingReflectorAlongTheBand) {
    for (std::uint32_t seed = 0; seed < 8; ++seed) {
        const Recording r = makeRecording(bandScene(seed, 1024, 200, seed % 5));
        const Scene& scene = r.scene;
        const TBaseConfigCell& c = r.config;
        const double first = depthToSample(scene.reflectorBeginMm, scene.velocity);
        const double last = depthToSample(scene.reflectorEndMm, scene.velocity);
        ASSERT_GT(std::abs(last - first), 100.0) << "a slope worth the name";
        const double direction = last > first ? 1.0 : -1.0;
        double previous = -1.0;
        for (std::uint16_t j = 0; j < 200; ++j) {
            const double expected = first + (last - first) * j / 199.0;
            EXPECT_GT(expected, c.StrobeBeginTime[0]);
            EXPECT_LT(expected, c.StrobeBeginTime[0] + c.StrobeLengthTime[0]);
            const auto scan = r.scan(0, j);
            const std::size_t crest = crestIn(scan, expected - kEchoWindow, expected + kEchoWindow);
            EXPECT_NEAR(static_cast<double>(crest), expected, 1.0) << seed << " scan " << j;
            if (j % 20 == 0) {
                // Twenty scans apart the reflector has moved several samples, always one way.
                if (previous >= 0.0) {
                    EXPECT_GT(direction * (static_cast<double>(crest) - previous), 0.0) << j;
                }
                previous = static_cast<double>(crest);
            }
        }
    }
}

TEST(SignalEchoes, TheBandsBackWallStaysPut) {
    const Recording r = makeRecording(bandScene(3, 800, 50));
    const double wall = depthToSample(r.scene.thicknessMm, r.scene.velocity);
    for (std::uint16_t j = 0; j < 50; j += 7) {
        const std::size_t crest = crestIn(r.scan(0, j), wall - kEchoWindow, wall + kEchoWindow);
        EXPECT_NEAR(static_cast<double>(crest), wall, 1.0) << j;
    }
}

TEST(SignalEchoes, DiskFlawInsideTheDiskOnly) {
    for (std::uint32_t seed = 0; seed < 8; ++seed) {
        for (const Scene& scene : {mapScene(seed, 512, 20, 30, seed % 5), mapScene(seed, 64, 5, 5),
                                   mapScene(seed, 4095, 40, 40)}) {
            const Recording r = makeRecording(scene);
            const TBaseConfigCell& c = r.config;
            // The C-scan looks at cursor 1's time, rounded to a sample.
            const auto depth =
                static_cast<std::size_t>(platform::text::roundHalfEven(c.CursorTime[0]));
            ASSERT_EQ(static_cast<double>(depth),
                      std::nearbyint(depthToSample(scene.flawDepthMm, scene.velocity)));
            const auto gateBegin = static_cast<std::size_t>(c.StrobeBeginTime[0]);
            const auto gateEnd =
                static_cast<std::size_t>(c.StrobeBeginTime[0] + c.StrobeLengthTime[0]);
            int inside = 0;
            int outside = 0;
            for (std::uint16_t row = 0; row < r.rows; ++row) {
                for (std::uint16_t column = 0; column < r.columns; ++column) {
                    const double distance =
                        std::hypot(row - scene.diskRow, column - scene.diskColumn);
                    const auto scan = r.scan(row, column);
                    if (distance <= scene.diskRadius - 0.5) {
                        ++inside;
                        EXPECT_GE(std::abs(scan[depth]), threshold(c)) << row << "," << column;
                        EXPECT_NEAR(findGateEcho(c, scan), static_cast<double>(depth), 1.0);
                    } else if (distance >= scene.diskRadius + 0.5) {
                        ++outside;
                        EXPECT_LT(largestMagnitude(scan, gateBegin, gateEnd), threshold(c) / 2)
                            << row << "," << column;
                    }
                }
            }
            EXPECT_GE(inside, 1);
            EXPECT_GE(outside, 1);
            // The map's cursor stands on the disk.
            EXPECT_LE(std::hypot(c.MapCursorVertical - scene.diskRow,
                                 c.MapCursorHorizontal - scene.diskColumn),
                      scene.diskRadius);
        }
    }
}

TEST(SignalEchoes, TheDiskShadowsTheBackWall) {
    const Scene scene = mapScene(9, 1024, 20, 20);
    const Recording r = makeRecording(scene);
    const double wall = depthToSample(scene.thicknessMm, scene.velocity);
    const auto centre = r.scan(static_cast<std::uint16_t>(std::nearbyint(scene.diskRow)),
                               static_cast<std::uint16_t>(std::nearbyint(scene.diskColumn)));
    const auto corner = r.scan(0, 0);
    const auto from = static_cast<std::size_t>(wall - kEchoWindow);
    const auto to = static_cast<std::size_t>(wall + kEchoWindow);
    EXPECT_LT(largestMagnitude(centre, from, to), largestMagnitude(corner, from, to) / 2);
}

TEST(SignalCoverage, DiskEdgeAndOtherKinds) {
    Scene scene = mapScene(1, 256, 10, 10);
    scene.diskRow = 4.0;
    scene.diskColumn = 4.0;
    scene.diskRadius = 2.0;
    EXPECT_DOUBLE_EQ(diskCoverage(scene, 4, 4), 1.0);
    EXPECT_DOUBLE_EQ(diskCoverage(scene, 4, 5), 1.0);
    EXPECT_DOUBLE_EQ(diskCoverage(scene, 4, 6), 0.5) << "on the rim";
    EXPECT_DOUBLE_EQ(diskCoverage(scene, 4, 7), 0.0);
    EXPECT_DOUBLE_EQ(diskCoverage(aScanScene(1, 256), 0, 0), 0.0);
}

TEST(SignalCoverage, DepthAndSample) {
    EXPECT_DOUBLE_EQ(depthToSample(29.6, 5920), 10.0);
    EXPECT_DOUBLE_EQ(sampleToDepth(10.0, 5920), 29.6);
    EXPECT_DOUBLE_EQ(depthToSample(10.0, 0), 0.0);
    Scene band = bandScene(1, 256, 11);
    band.reflectorBeginMm = 10.0;
    band.reflectorEndMm = 30.0;
    EXPECT_DOUBLE_EQ(reflectorDepthMm(band, 0), 10.0);
    EXPECT_DOUBLE_EQ(reflectorDepthMm(band, 5), 20.0);
    EXPECT_DOUBLE_EQ(reflectorDepthMm(band, 10), 30.0);
    Scene single = bandScene(1, 256, 1);
    EXPECT_DOUBLE_EQ(reflectorDepthMm(single, 0), single.reflectorBeginMm);
}

TEST(SignalSamples, ALargestMapIsMadeWhole) {
    const Recording r = makeRecording(mapScene(77, 4095, 40, 40, 4));
    ASSERT_EQ(r.data.size(), 40u * 40 * 4095);
    const auto [lo, hi] = std::minmax_element(r.data.begin(), r.data.end());
    EXPECT_GE(*lo, kMinSampleValue);
    EXPECT_LE(*hi, kMaxSampleValue);
    // Every A-scan starts with the initial pulse.
    for (std::uint16_t row = 0; row < 40; row += 13) {
        EXPECT_EQ(r.scan(row, 39)[0], kMaxSampleValue);
    }
}
