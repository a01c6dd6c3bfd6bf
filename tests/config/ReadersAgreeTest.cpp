// Whatever a configuration reader accepts comes out valid: every parameter in range, and where
// the pixels are the truth (the instrument block, the positional text) the times agree with
// them. Checked on the damaged inputs found so far and on random ones for every reader.
#include "ConfigTestSupport.h"

#include <gtest/gtest.h>

#include <random>

using platform::text::AtomicFileWriter;
using platform::text::LineReader;
using platform::text::RangeError;

namespace {

// Empty when the configuration is valid and its times are those of its pixels.
std::string faults(const TBaseConfigCell& c, bool pixelsAreTheTruth) {
    std::string out;
    TBaseConfigCell copy = c;
    std::string message;
    for (int n = 0; n < ParamCount; ++n) {
        if (!copy.ValidateParam(n, message)) {
            out += "parameter " + std::to_string(n) + " " + c.GetParamRawString(n) + "; ";
        }
    }
    if (!pixelsAreTheTruth) {
        return out;
    }
    auto agree = [&](const char* what, double time, std::int32_t pixel) {
        if (std::abs(time - c.PixelToTime(pixel)) > 1e-9) {
            out += std::string(what) + " " + std::to_string(time) + " at pixel " +
                   std::to_string(pixel) + "; ";
        }
    };
    for (std::size_t k = 0; k < 2; ++k) {
        agree("strobe begin", c.StrobeBeginTime[k], c.StrobeBeginPixel[k]);
        agree("strobe end", c.StrobeBeginTime[k] + c.StrobeLengthTime[k], c.StrobeEndPixel[k]);
        agree("cursor", c.CursorTime[k], c.CursorPixel[k]);
        if (c.CursorPixel[k] > 319) {
            out += "cursor pixel " + std::to_string(c.CursorPixel[k]) + "; ";
        }
    }
    if (c.BandCurrentAScan > c.BandLastAScan) {
        out += "current A-scan after the last; ";
    }
    return out;
}

class ReadersAgree : public ::testing::Test {
protected:
    void SetUp() override { reset.ResetAll(1); }

    pByteArray blockOf(const TBaseConfigCell& config) {
        TBaseConfigCell copy = config;
        pByteArray block(ConfigBlockSize, 0);
        BuildInstrumentBlock(copy, block, 1);
        return block;
    }

    std::vector<std::string> legacyLines(const TBaseConfigCell& config) {
        {
            AtomicFileWriter file(folder / "legacy.txt");
            WriteLegacyBlock(config, file);
            file.commit();
        }
        return platform::text::readAllLines(folder / "legacy.txt");
    }

    // The reader's answer; the configuration as the reader left it in `out`.
    int readLegacy(const std::vector<std::string>& lines, TBaseConfigCell& out) {
        tbtest::writeBytes(folder / "in.txt", tbtest::crlf(lines));
        LineReader file(folder / "in.txt");
        return ReadLegacyBlock(out, file, false);
    }

    int readParams(const std::vector<std::string>& lines, TBaseConfigCell& out) {
        tbtest::writeBytes(folder / "in.txt", tbtest::crlf(lines));
        LineReader file(folder / "in.txt");
        return ReadParamBlock(out, file);
    }

    // The index of the positional line that starts with key.
    static std::size_t lineOf(const std::vector<std::string>& lines, const std::string& key) {
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (lines[i].rfind(key + ":", 0) == 0) {
                return i;
            }
        }
        ADD_FAILURE() << key;
        return 0;
    }

    tbtest::LanguageFiles texts;
    tbtest::TempFolder folder;
    TBaseConfigCell reset{1, 1, 1};
};

// Inputs found by fuzzing: a reversed strobe 1 (its length came out -92.8), a cursor pixel far
// beyond the picture (cursor 2 at 13104 us), a last A-scan validation resets with the current one
// left after it.
TEST_F(ReadersAgree, DamagedPixelsComeOutValidFromTheBlockAndThePositionalText) {
    struct Damage {
        const char* name;
        std::size_t blockAt;
        std::uint16_t value;
        const char* key;
    };
    const Damage damages[] = {
        {"strobe 1 reversed", 65, 1, "ASCAN_STROB1_END"},
        {"strobe 1 on pixel 0", 61, 0, "ASCAN_STROB1_BEGIN"},
        {"strobe 2 reversed", 67, 20, "ASCAN_STROB2_END"},
        {"cursor 2 off the picture", 73, 4095, "ASCAN_KURSOR2_ENABLED"},
        {"cursor 1 beyond its range", 71, 60000, "ASCAN_KURSOR1_ENABLED"},
    };
    for (const Damage& d : damages) {
        SCOPED_TRACE(d.name);
        pByteArray block = blockOf(reset);
        PutWordLE(d.value, block, d.blockAt);
        TBaseConfigCell fromBlock(1, 1, 1);
        ParseInstrumentBlock(fromBlock, block, 1);
        EXPECT_EQ(faults(fromBlock, true), "");

        auto lines = legacyLines(reset);
        lines[lineOf(lines, d.key)] = std::string(d.key) + ":" + std::to_string(d.value);
        TBaseConfigCell fromText(1, 1, 1);
        ASSERT_EQ(readLegacy(lines, fromText), 0);
        EXPECT_EQ(faults(fromText, true), "");
    }
    // A valid strobe keeps its pixels.
    TBaseConfigCell fromBlock(1, 1, 1);
    ParseInstrumentBlock(fromBlock, blockOf(reset), 1);
    EXPECT_EQ(fromBlock.StrobeBeginPixel, reset.StrobeBeginPixel);
    EXPECT_EQ(fromBlock.StrobeEndPixel, reset.StrobeEndPixel);
    EXPECT_EQ(fromBlock.CursorPixel, reset.CursorPixel);

    pByteArray block = blockOf(reset);
    PutWordLE(1000, block, 51); // last A-scan: validation puts it back to 0
    PutWordLE(5, block, 53);
    ParseInstrumentBlock(fromBlock, block, 1);
    EXPECT_EQ(fromBlock.BandLastAScan, 0);
    EXPECT_EQ(fromBlock.BandCurrentAScan, 0);
}

TEST_F(ReadersAgree, RandomBlocksComeOutValid) {
    std::mt19937 random(18);
    std::uniform_int_distribution<int> byte(0, 255);
    const pByteArray valid = blockOf(tbtest::variedConfig());
    for (int round = 0; round < 3000; ++round) {
        // Half wholly random, half a valid block with a few bytes changed.
        pByteArray block = valid;
        if (round % 2 == 0) {
            for (auto& b : block) {
                b = static_cast<std::uint8_t>(byte(random));
            }
        } else {
            for (int i = 0; i < 4; ++i) {
                block[static_cast<std::size_t>(byte(random))] =
                    static_cast<std::uint8_t>(byte(random));
            }
        }
        TBaseConfigCell c(1, 1, 1);
        ParseInstrumentBlock(c, block, 1 + round % 20);
        const std::string found = faults(c, true);
        ASSERT_EQ(found, "") << "round " << round;
    }
}

TEST_F(ReadersAgree, RandomTextsComeOutValid) {
    std::mt19937 random(18);
    const std::int64_t interesting[] = {-1,  0,    1,    9,     10,    30,    255,    256,   319,
                                        320, 4095, 4096, 32767, 65535, 65536, -32768, 100000};
    std::uniform_int_distribution<std::size_t> pick(0, std::size(interesting) - 1);
    // Mostly values their fields can hold, so that most texts are read and not refused.
    std::uniform_int_distribution<int> usual(0, 400);
    auto value = [&] {
        return random() % 4 == 0 ? interesting[pick(random)]
                                 : static_cast<std::int64_t>(usual(random));
    };
    const auto legacy = legacyLines(tbtest::variedConfig());
    int accepted = 0;
    for (int round = 0; round < 5000 && accepted < 200; ++round) {
        auto lines = legacy;
        for (int i = 0; i < 3; ++i) {
            auto& line = lines[1 + random() % (lines.size() - 1)];
            const std::size_t colon = line.find(':');
            line = colon == std::string::npos ? std::to_string(value())
                                              : line.substr(0, colon + 1) + std::to_string(value());
        }
        TBaseConfigCell c(1, 1, 1);
        try {
            if (readLegacy(lines, c) != 0) {
                continue;
            }
        } catch (const RangeError&) {
            continue; // refused: a value wider than its field
        }
        ++accepted;
        ASSERT_EQ(faults(c, true), "") << "round " << round;
    }
    EXPECT_EQ(accepted, 200);

    accepted = 0;
    for (int round = 0; round < 5000 && accepted < 200; ++round) {
        auto lines = tbtest::kResetText;
        for (int i = 0; i < 3; ++i) {
            const int n = static_cast<int>(random() % ParamCount);
            lines.insert(lines.end() - 1, std::to_string(n) + ":" + std::to_string(value()));
        }
        TBaseConfigCell c(1, 1, 1);
        try {
            readParams(lines, c);
        } catch (const RangeError&) {
            continue;
        }
        ++accepted;
        ASSERT_EQ(faults(c, false), "") << "round " << round;
    }
    EXPECT_EQ(accepted, 200);
}

} // namespace
