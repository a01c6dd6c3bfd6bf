// The two text forms of a configuration inside configuration and measurement files: the
// parameter-numbered form ("n:raw" lines closed by "65534:") and the positional form of older
// files, whose lines are matched by their order alone.
#include "config/BaseConfigObjectUnit.h"

#include "platform/text/LineFile.h"
#include "platform/text/Numbers.h"

#include <algorithm>
#include <iterator>
#include <optional>

namespace text = platform::text;

// ---- Parameter-numbered form --------------------------------------------------------------------

void WriteParamBlock(TBaseConfigCell& config, text::AtomicFileWriter& file) {
    for (int n = 0; n < ParamCount; ++n) {
        file.writeLine(config.FormatParamLine(n));
        if (n == CONFIG_STRINGS_QUANT) {
            // Always as many lines as line 80 announces, so that the reader stays in step even
            // when the list holds fewer.
            for (std::size_t i = 0; i < config.ConfigStringsCount; ++i) {
                file.writeLine(i < config.ConfigStrings.size() ? config.ConfigStrings[i]
                                                               : std::string());
            }
        }
    }
    file.writeLine(text::formatInteger(EndOfBlockLineNumber) + ":");
    config.Modified = 0;
}

int ReadParamBlock(TBaseConfigCell& config, text::LineReader& file) {
    bool closed = false;
    bool refused = false;
    std::string_view view;
    while (!refused && file.next(view)) {
        const int number = config.ParseParamLine(std::string(view));
        if (number == EndOfBlockLineNumber) {
            closed = true;
            break;
        }
        if (number != CONFIG_STRINGS_QUANT) {
            continue;
        }
        // The list holds exactly the lines that follow, none when the count is 0.
        config.ConfigStrings.clear();
        if (config.ConfigStringsCount > MaxConfigStrings) {
            refused = true;
            break;
        }
        for (int i = 0; i < config.ConfigStringsCount; ++i) {
            if (!file.next(view)) {
                refused = true;
                break;
            }
            config.ConfigStrings.emplace_back(view);
        }
    }
    config.ValidateAll();
    config.BuildTgvCurve();
    config.Modified = 0;
    return closed && !refused ? 0 : 1;
}

// ---- Positional form ----------------------------------------------------------------------------

namespace {

constexpr int kNameLines = 22;

// The parameters of the positional form after the name, in line order, up to the real values.
constexpr int kLeadingParams[] = {
    MAP_VERTIC_POINTS_QUAN,
    MAP_HORIZ_POINTS_QUAN,
    MAP_VERTIC_STEP,
    MAP_HORIZ_STEP,
    MAP_SCANNING_ORDER,
    MAP_KURSOR_VERTICAL_POINT,
    MAP_KURSOR_HORIZON_POINT,
    MAP_AUX_AREA_CONTENT,
    BAND_LAST_ASCAN,
    BAND_CURRENT_ASCAN,
    BAND_STEP,
    BAND_ELEMENT_WIDTH_INDEX,
    BAND_AUTO_END,
    BAND_SHIFT,
    ASCAN_STROB1_BEGIN,
    ASCAN_STROB2_BEGIN,
    ASCAN_STROB1_END,
    ASCAN_STROB2_END,
    ASCAN_STROB1_Y,
    ASCAN_STROB2_Y,
    ASCAN_STROB1_ENABLED,
    ASCAN_STROB2_ENABLED,
    ASCAN_KURSORS_QUANT,
    ASCAN_KURSOR1_ENABLED,
    ASCAN_KURSOR2_ENABLED,
    ASCAN_KURSOR1_IN_LUPA,
    ASCAN_KURSOR2_IN_LUPA,
    ASCAN_KURSOR1_LUPA_PIXEL_POS,
    ASCAN_KURSOR2_LUPA_PIXEL_POS,
    ASCAN_SCALE_DIMENSION,
    ASCAN_FULL_OVR_PRINT,
    ASCAN_PIXEL_LENGTH,
    ASCAN_SIGNAL_CATCH_ALGORYTHM,
    GEN_SIGNAL_TYPE,
    GEN_SCREEN_TYPE,
    GEN_PREV_SCREEN_TYPE,
    GEN_POISK_LEVEL,
    GEN_CUTOFF_LEVEL,
    GEN_INDEX_MARK_MKS,
    GEN_INDEX_MARK_MM,
};

// Instrument settings the program never kept; their lines hold 0.
constexpr const char* kUnusedBeforeRefresh[] = {"SYS_ILLUMIN_STATE", "SYS_CONTRAST_VALUE",
                                                "SYS_SOUND_ENABLED", "SYS_AUTO_SHUTDWN"};

constexpr int kProbeParams[] = {PRB_FREQ_INDEX, PRB_DELAY, PRB_TYPE, ANL_ZONDER_VOLTAGE_INDEX};

constexpr int kTrailingParams[] = {
    ANL_FILTER_BAND_INDEX, ANL_ATTENUATOR_COUNT1, ANL_ATTENUATOR_COUNT2, ANL_AVERAGER_INDEX,
    ANL_BARKER_ORDER,      OBJ_USONIC_VELOCITY,   GTM_GLOBAL_WORKTIME,   GTM_SNAP_YEAR,
    GTM_SNAP_MONTH,        GTM_SNAP_DAY,          GTM_SNAP_HOUR,         GTM_SNAP_MINUTE,
    GTM_SNAP_SECOND,
};

std::string keyed(const std::string& key, std::int64_t value) {
    return key + ":" + text::formatInteger(value);
}

std::string tgvKey(const char* name, int i) {
    return std::string(name) + "[" + text::formatInteger(i) + "]";
}

// Reads the lines of one positional block in order; remembers when the text ran out.
class PositionalReader {
public:
    explicit PositionalReader(text::LineReader& file) : file_(file) {}

    bool ended() const { return ended_; }

    void skip() { line(); }

    // The integer after the first colon, or nothing when there is none.
    std::optional<std::int64_t> number() {
        const std::string_view l = line();
        const size_t colon = l.find(':');
        if (colon == std::string_view::npos) {
            return std::nullopt;
        }
        return text::parseInteger(l.substr(colon + 1));
    }

    // The same with a fallback.
    std::int64_t value(std::int64_t fallback) { return number().value_or(fallback); }

    // The whole line as an integer.
    std::optional<std::int64_t> whole() { return text::parseInteger(line()); }

private:
    std::string_view line() {
        std::string_view l;
        if (ended_ || !file_.next(l)) {
            ended_ = true;
            return {};
        }
        return l;
    }

    text::LineReader& file_;
    bool ended_ = false;
};

} // namespace

void WriteLegacyBlock(const TBaseConfigCell& c, text::AtomicFileWriter& file) {
    file.writeLine("CONFIG_VERSION:1");
    file.writeLine("DEVICE_INDEX:0");
    file.writeLine(keyed(ParamNames[CONFIGURATION_NUMBER], c.ConfigNumber));
    file.writeLine(keyed(ParamNames[CONFIGURATION_INDEX], c.ConfigIndex));
    file.writeLine(ParamNames[CONFIGURATION_NAME]);
    for (int i = 0; i < kNameLines; ++i) {
        const auto code = static_cast<std::size_t>(i) < c.ConfigName.size()
                              ? static_cast<unsigned char>(c.ConfigName[static_cast<size_t>(i)])
                              : ' ';
        file.writeLine(text::formatInteger(code));
    }
    for (int n : kLeadingParams) {
        file.writeLine(keyed(ParamNames[static_cast<size_t>(n)], c.intValue(n)));
    }
    file.writeLine(keyed("GEN_DOTS_PER_CELL", text::roundHalfEven(c.DotsPerCell * 100.0)));
    file.writeLine(keyed("GEN_DOTS_PER_CELL_PREV", text::roundHalfEven(c.DotsPerCellPrev * 100.0)));
    for (int i = 0; i < TgvPointCount; ++i) {
        file.writeLine(keyed(tgvKey("GEN_TGV_GAIN", i), c.TgvGain[static_cast<size_t>(i)]));
    }
    for (int i = 0; i < TgvPointCount; ++i) {
        file.writeLine(keyed(tgvKey("GEN_TGV_POS", i), c.TgvPos[static_cast<size_t>(i)]));
    }
    file.writeLine(keyed("GEN_TGV_ENABLED", c.TgvEnabled));
    file.writeLine(keyed("GEN_TGV_PREV_STATE", c.TgvPrevState));
    file.writeLine(keyed("GEN_TGV_CURSOR_POS", c.TgvCursorPos));
    file.writeLine(keyed("GEN_TGV_ACTIVE_PTS", c.TgvActivePoints));
    for (const char* key : kUnusedBeforeRefresh) {
        file.writeLine(keyed(key, 0));
    }
    file.writeLine(keyed("SYS_REFRESH_FREQ", c.RefreshFrequency));
    file.writeLine(keyed("SYS_WARMING_ON", 0));
    for (int n : kProbeParams) {
        file.writeLine(keyed(ParamNames[static_cast<size_t>(n)], c.intValue(n)));
    }
    file.writeLine(keyed("ANL_ZONDER_PERIODS_QUANT", text::roundHalfEven(c.ZonderPeriods * 100.0)));
    for (int n : kTrailingParams) {
        file.writeLine(keyed(ParamNames[static_cast<size_t>(n)], c.intValue(n)));
    }
}

int ReadLegacyBlock(TBaseConfigCell& c, text::LineReader& file, bool skipVersion,
                    TLegacyShape* asWritten) {
    PositionalReader in(file);
    if (!skipVersion && (in.value(0) != 1 || in.ended())) {
        return 1;
    }
    TLegacyShape shape;
    auto param = [&](int n) {
        const auto v = in.number();
        switch (n) {
        case ASCAN_PIXEL_LENGTH:
            shape.Samples = v;
            break;
        case MAP_VERTIC_POINTS_QUAN:
            shape.Rows = v;
            break;
        case MAP_HORIZ_POINTS_QUAN:
            shape.Columns = v;
            break;
        case BAND_LAST_ASCAN:
            shape.BandLastScan = v;
            break;
        default:
            break;
        }
        c.setIntValue(n, v.value_or(ParamDescriptorTable[static_cast<size_t>(n)].IntDefault));
    };

    in.skip(); // device index
    // Older programs wrote the slot number one higher; keep it a slot number.
    c.ConfigNumber = static_cast<std::uint16_t>(std::clamp<std::int64_t>(
        in.value(ParamDescriptorTable[CONFIGURATION_NUMBER].IntDefault), 1, 20));
    param(CONFIGURATION_INDEX);
    in.skip(); // the name's heading

    c.ConfigName.clear();
    for (int i = 0; i < kNameLines; ++i) {
        const auto code = in.whole();
        if (code && *code != '/') {
            c.ConfigName += static_cast<char>(text::checkedCast<std::uint8_t>(*code));
        }
    }
    // The writer pads names to their full length with blanks.
    while (!c.ConfigName.empty() && c.ConfigName.back() == ' ') {
        c.ConfigName.pop_back();
    }

    for (int n : kLeadingParams) {
        param(n);
    }
    const auto dotsDefault =
        text::roundHalfEven(ParamDescriptorTable[GEN_DOTS_PER_CELL].RealDefault * 100.0);
    c.DotsPerCell = static_cast<double>(in.value(dotsDefault)) / 100.0;
    c.DotsPerCellPrev = static_cast<double>(in.value(dotsDefault)) / 100.0;
    for (auto& g : c.TgvGain) {
        g = text::checkedCast<std::uint8_t>(in.value(0));
    }
    for (auto& p : c.TgvPos) {
        p = text::checkedCast<std::uint16_t>(in.value(0));
    }
    param(GEN_TGV_ENABLED);
    c.TgvPrevState = text::checkedCast<std::uint8_t>(in.value(c.TgvEnabled));
    param(GEN_TGV_CURSOR_POS);
    param(GEN_TGV_ACTIVE_PTS);
    for (std::size_t i = 0; i < std::size(kUnusedBeforeRefresh); ++i) {
        in.skip();
    }
    param(SYS_REFRESH_FREQ);
    in.skip(); // warming
    for (int n : kProbeParams) {
        param(n);
    }
    const auto periodsDefault =
        text::roundHalfEven(ParamDescriptorTable[ANL_ZONDER_PERIODS_QUANT].RealDefault * 100.0);
    c.ZonderPeriods = static_cast<double>(in.value(periodsDefault)) / 100.0;
    for (int n : kTrailingParams) {
        param(n);
    }
    if (in.ended()) {
        return 1;
    }

    if (asWritten) {
        *asWritten = shape;
    }
    // The pixels are the truth of this form; the times follow from them, once for validation to
    // check and again from the pixels and range that validation leaves, put onto the picture.
    c.Recalculate();
    c.ValidateAll();
    // Only after validation, which may have put an impossible last A-scan back to 0.
    c.BandCurrentAScan = std::min(c.BandCurrentAScan, c.BandLastAScan);
    c.PixelsOntoPicture();
    c.Recalculate();
    return 0;
}
