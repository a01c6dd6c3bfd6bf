#include "records/BaseBandUnit.h"

#include "platform/text/LineFile.h"
#include "platform/text/Numbers.h"
#include "records/RecordSlots.h"

#include <algorithm>
#include <cmath>

namespace text = platform::text;

namespace {

constexpr TColor kWhite = 0xFFFFFF;
constexpr TColor kBlack = 0x000000;
constexpr TColor kGrey = 0x808080;
constexpr TColor kRed = 0x0000FF;
constexpr TColor kGreen = 0x00FF00;

// Thermal anchors: blue, green, yellow, red.
constexpr std::array<TColor, 4> kThermalAnchors = {0xEE1111, 0x22EE22, 0x22EEEE, 0x1111FF};

constexpr std::int32_t kLastHue = 359;
constexpr std::int32_t kLastEntry = static_cast<std::int32_t>(ColorTableSize) - 1;
// The handles of the gradator never come closer than this.
constexpr double kHandleGap = 20.0;

// Fields of the band and map record texts.
enum : std::uint16_t {
    kFieldKind = 0,
    kFieldVersion = 1,
    kFieldIdentity3 = 2,
    kFieldRecordIndex = 3,
    kFieldComments = 4,
    kFieldConfig = 5,
    kFieldSamples = 6,
    kFieldScheme = 7,
    kFieldPalette = 8,
    kFieldHueLow = 9,
    kFieldHueHigh = 10,
};

TColor grey(std::int64_t g) {
    const auto v = static_cast<TColor>(std::clamp<std::int64_t>(g, 0, 255));
    return v | v << 8 | v << 16;
}

std::int32_t channel(TColor c, int k) {
    return static_cast<std::int32_t>((c >> (8 * k)) & 0xFF);
}

} // namespace

TBaseBandCell::TBaseBandCell() {
    // The base constructor applied only the A-scan colours: a C++ base cannot reach the band's
    // table while it is being built, so the band builds its own here.
    PaletteKind = PaletteBinary;
    HueLow = 0;
    HueHigh = kLastHue;
    TBaseBandCell::SetColorScheme(0);
}

// ---- Geometry -------------------------------------------------------------------------------

void TBaseBandCell::ClearData() {
    if (Data.Empty()) {
        return;
    }
    Data.Release();
    Config->BandLastAScan = 0;
    Config->BandCurrentAScan = 0;
}

void TBaseBandCell::SetScanCount(std::uint16_t n) {
    if (n == 0) {
        throw text::RangeError("Range check error: a band holds at least one A-scan");
    }
    if (n != Config->BandLastAScan + 1u && Config->BandLastAScan != 0) {
        Data.Release();
    }
    Data.Reshape(1, n, SampleCount());
    Count1 = 1;
    Count2 = n;
    Config->BandLastAScan = static_cast<std::uint16_t>(n - 1);
    Index1 = 0;
    Index2 = std::min<std::uint16_t>(Index2, static_cast<std::uint16_t>(n - 1));
}

void TBaseBandCell::SetCurrentScan(std::uint16_t j) {
    if (j < Count2) {
        Index2 = j;
    }
}

void TBaseBandCell::ProcessReceived() {
    TBaseConfigCell& c = *Config;
    c.BuildTgvCurve();
    for (std::uint32_t j = 0; j <= c.BandLastAScan && j < Count2; ++j) {
        SetCurrentScan(static_cast<std::uint16_t>(j));
        ApplyTVG();
    }
    PaletteKind = PaletteBinary;
    HueLow = 0;
    c.BandShift = 0;
    const double high = std::clamp(c.StrobeLevel[0] * 359.0 / 100.0, 0.0, 359.0);
    HueHigh = text::roundTo<std::uint16_t>(high);
    BuildPalette(KeepPalette, KeepBound, KeepBound);
}

std::uint32_t TBaseBandCell::PixelsPerAScan() const {
    return PixelsPerScan(Config->BandElementWidthIndex);
}

void TBaseBandCell::SetCursorColumnFromMouse(std::uint16_t x) {
    TBaseConfigCell& c = *Config;
    const std::uint32_t scan = c.BandShift + x / PixelsPerAScan();
    c.BandCurrentAScan = static_cast<std::uint16_t>(std::min<std::uint32_t>(scan, c.BandLastAScan));
}

void TBaseBandCell::SetMarkerFromMouse(std::uint16_t x, std::uint16_t width) {
    if (width == 0) {
        return;
    }
    const double t = static_cast<double>(x) / width * SampleCount();
    Config->AuxTime = t;
    Config->CursorTime[0] = t;
}

bool TBaseBandCell::GetShiftRange(std::uint16_t w, std::uint16_t& positions) const {
    const std::uint32_t visible = w / PixelsPerAScan();
    const std::uint32_t last = Config->BandLastAScan;
    if (last < visible) {
        return false;
    }
    positions = static_cast<std::uint16_t>(last - visible + 1);
    return true;
}

// ---- Colours --------------------------------------------------------------------------------

void TBaseBandCell::SetColorScheme(std::uint8_t scheme) {
    TBaseAScanCell::SetColorScheme(scheme);
    BackgroundColor = kWhite;
    ScaleColor = kGrey;
    BuildPalette(KeepPalette, KeepBound, KeepBound);
}

void TBaseBandCell::BuildPalette(std::uint8_t kind, std::uint16_t lowArg, std::uint16_t highArg) {
    if (kind == KeepPalette) {
        kind = PaletteKind;
    }
    // Kinds past the last palette take the last one.
    kind = std::min<std::uint8_t>(kind, PaletteThermal);
    std::int32_t low = std::min<std::int32_t>(lowArg == KeepBound ? HueLow : lowArg, kLastEntry);
    std::int32_t high =
        std::min<std::int32_t>(highArg == KeepBound ? HueHigh : highArg, kLastEntry);
    if (low > high) {
        std::swap(low, high);
    }
    const std::int32_t n = high - low + 1;
    auto& t = ColorTable;
    auto fill = [&t](std::int32_t from, std::int32_t to, TColor c) {
        for (std::int32_t h = std::max(from, 0); h <= std::min(to, kLastEntry); ++h) {
            t[static_cast<std::size_t>(h)] = c;
        }
    };

    switch (kind) {
    case PaletteBinary:
        CursorColor = kRed;
        LowHandleColor = HighHandleColor = kRed;
        fill(0, high - 1, kWhite);
        fill(high, kLastEntry, kBlack);
        break;
    case PaletteDirectGrey:
    case PaletteInverseGrey: {
        const bool direct = kind == PaletteDirectGrey;
        CursorColor = direct ? kRed : kGreen;
        LowHandleColor = HighHandleColor = kRed;
        const TColor below = direct ? kWhite : kBlack;
        const TColor above = direct ? kBlack : kWhite;
        fill(0, low - 1, below);
        if (n == 1) {
            // Equal bounds: a hard threshold at the bound.
            fill(low, kLastEntry, above);
            break;
        }
        for (std::int32_t h = low; h <= high; ++h) {
            const std::int64_t g =
                text::roundHalfEven(static_cast<double>(h - low) * 255.0 / (n - 1));
            t[static_cast<std::size_t>(h)] = grey(direct ? 255 - g : g);
        }
        fill(high + 1, kLastEntry, above);
        break;
    }
    case PaletteThermal: {
        CursorColor = kWhite;
        LowHandleColor = kWhite;
        HighHandleColor = kBlack;
        if (n == 1) {
            fill(0, low - 1, kThermalAnchors[0]);
            fill(low, kLastEntry, kThermalAnchors[3]);
            break;
        }
        const std::array<std::int32_t, 4> anchor = {
            low,
            low + static_cast<std::int32_t>(text::roundHalfEven(n / 3.0)),
            low + static_cast<std::int32_t>(text::roundHalfEven(2.0 * n / 3.0)),
            high,
        };
        for (std::size_t k = 0; k < anchor.size(); ++k) {
            t[static_cast<std::size_t>(anchor[k])] = kThermalAnchors[k];
        }
        for (std::size_t k = 0; k + 1 < anchor.size(); ++k) {
            const std::int32_t a = anchor[k];
            const std::int32_t b = anchor[k + 1];
            const TColor ca = kThermalAnchors[k];
            const TColor cb = kThermalAnchors[k + 1];
            // The divisor b - a + 1 stops the last entry short of the next anchor's colour.
            for (std::int32_t h = a + 1; h < b; ++h) {
                TColor c = 0;
                for (int ch = 0; ch < 3; ++ch) {
                    const double step = static_cast<double>(h - a) *
                                        (channel(cb, ch) - channel(ca, ch)) / (b - a + 1);
                    const std::int64_t v = channel(ca, ch) + text::roundHalfEven(step);
                    c |= static_cast<TColor>(std::clamp<std::int64_t>(v, 0, 255)) << (8 * ch);
                }
                t[static_cast<std::size_t>(h)] = c;
            }
        }
        fill(0, low - 1, t[static_cast<std::size_t>(low)]);
        fill(high + 1, kLastEntry, t[static_cast<std::size_t>(high)]);
        break;
    }
    default:
        break;
    }
}

TColor TBaseBandCell::ColorAt(std::int64_t amplitude) const {
    return ColorTable[static_cast<std::size_t>(std::clamp<std::int64_t>(amplitude, 0, kLastEntry))];
}

std::uint8_t TBaseBandCell::HitColorGradator(std::uint16_t w, std::uint16_t x) const {
    const double span = static_cast<double>(w) - 2.0;
    auto near = [&](std::uint16_t hue) {
        return std::fabs(static_cast<double>(x) - hue * span / kLastHue - 1.0) < 2.0;
    };
    if (near(HueLow)) {
        return 1;
    }
    if (near(HueHigh)) {
        return 2;
    }
    return 0;
}

void TBaseBandCell::DragColorGradator(std::uint16_t w, std::uint8_t handle, std::uint16_t x) {
    if (w <= 2) {
        return;
    }
    double hue;
    if (x == 0) {
        hue = 0.0;
    } else if (x > w - 1) {
        hue = kLastHue;
    } else {
        hue = (x - 1.0) * kLastHue / (w - 2.0);
    }
    if (handle == 1 && HueHigh - hue > kHandleGap) {
        HueLow = text::roundTo<std::uint16_t>(hue);
    } else if (handle == 2 && hue - HueLow > kHandleGap) {
        HueHigh = text::roundTo<std::uint16_t>(hue);
    }
    HueLow = std::min<std::uint16_t>(HueLow, kLastHue);
    HueHigh = std::min<std::uint16_t>(HueHigh, kLastHue);
}

// ---- Record text ----------------------------------------------------------------------------

bool TBaseBandCell::SetSharedField(std::uint16_t index, std::string_view value) {
    // A band's shape and colours all hang on these numbers: text that is not one fails the read.
    const auto number = [value](std::uint32_t max) { return FieldValue(value, max, std::nullopt); };
    switch (index) {
    case kFieldKind:
        Kind = static_cast<std::uint8_t>(number(255));
        return true;
    case kFieldVersion:
        Version = static_cast<std::uint8_t>(number(255));
        return true;
    case kFieldIdentity3:
        Identity3 = static_cast<std::uint8_t>(number(255));
        return true;
    case kFieldComments:
        CommentCount = static_cast<std::uint16_t>(number(65535));
        return true;
    case kFieldConfig:
        return true;
    case kFieldScheme:
        ColorScheme = static_cast<std::uint8_t>(number(255));
        SetColorScheme(ColorScheme);
        return true;
    case kFieldPalette:
        PaletteKind = static_cast<std::uint8_t>(number(255));
        BuildPalette(KeepPalette, KeepBound, KeepBound);
        return true;
    case kFieldHueLow:
        HueLow = static_cast<std::uint16_t>(std::min<std::uint32_t>(number(65535), 358));
        BuildPalette(KeepPalette, KeepBound, KeepBound);
        return true;
    case kFieldHueHigh:
        HueHigh = static_cast<std::uint16_t>(std::min<std::uint32_t>(number(65535), 359));
        BuildPalette(KeepPalette, KeepBound, KeepBound);
        return true;
    default:
        return false;
    }
}

bool TBaseBandCell::GetSharedFieldValue(std::uint16_t index, std::string& value) {
    switch (index) {
    case kFieldKind:
        value = text::formatInteger(Kind);
        return true;
    case kFieldVersion:
        value = text::formatInteger(Version);
        return true;
    case kFieldIdentity3:
        value = text::formatInteger(Identity3);
        return true;
    case kFieldComments:
        CommentCount = text::checkedCast<std::uint16_t>(static_cast<std::int64_t>(Comments.size()));
        value = text::formatInteger(CommentCount);
        return true;
    case kFieldConfig:
        value.clear();
        return true;
    case kFieldScheme:
        value = text::formatInteger(ColorScheme);
        return true;
    case kFieldPalette:
        value = text::formatInteger(PaletteKind);
        return true;
    case kFieldHueLow:
        value = text::formatInteger(HueLow);
        return true;
    case kFieldHueHigh:
        value = text::formatInteger(HueHigh);
        return true;
    default:
        return false;
    }
}

void TBaseBandCell::SetField(std::uint16_t index, std::string_view value) {
    if (SetSharedField(index, value)) {
        return;
    }
    if (index == kFieldRecordIndex) {
        BandRecordIndex = static_cast<std::uint16_t>(FieldValue(value, 65535, std::nullopt));
    } else if (index == kFieldSamples) {
        Config->BandLastAScan =
            static_cast<std::uint16_t>(FieldValue(value, MaxBandScans - 1, std::nullopt));
    }
}

std::string TBaseBandCell::GetFieldValue(std::uint16_t index) {
    std::string value;
    if (GetSharedFieldValue(index, value)) {
        return value;
    }
    if (index == kFieldRecordIndex) {
        return text::formatInteger(BandRecordIndex);
    }
    if (index == kFieldSamples) {
        return text::formatInteger(Config->BandLastAScan);
    }
    return {};
}

void TBaseBandCell::WriteFieldLines(std::uint16_t index, text::AtomicFileWriter& file) {
    switch (index) {
    case kFieldComments:
        WriteCommentLines(file);
        break;
    case kFieldConfig:
        WriteParamBlock(*Config, file);
        break;
    case kFieldSamples:
        for (std::uint32_t j = 0; j <= Config->BandLastAScan; ++j) {
            WriteSampleLines(file, Data.Scan(0, j), SampleCount());
        }
        break;
    default:
        break;
    }
}

std::uint32_t TBaseBandCell::CheckedSampleCount() const {
    const std::uint32_t n = SampleCount();
    if (n > AScanSlotSamples) {
        throw text::RangeError("Range check error: " + text::formatInteger(n) + " samples");
    }
    return n;
}

bool TBaseBandCell::ReadFieldLines(std::uint16_t index, text::LineReader& file) {
    switch (index) {
    case kFieldComments:
        return ReadCommentLines(file);
    case kFieldConfig:
        return ReadConfigLines(file);
    case kFieldSamples:
        return ReadAllSamples(file);
    default:
        return true;
    }
}

std::uint32_t TBaseBandCell::ConformAfterLoad() {
    const std::uint32_t n = Config->BandLastAScan + 1u;
    if (Count1 != 1 || Count2 != n || Data.Rows() != 1 || Data.Columns() != n ||
        Data.SamplesPerScan() != SampleCount()) {
        SetScanCount(static_cast<std::uint16_t>(n));
    }
    return n;
}

void TBaseBandCell::SaveToOldText(text::AtomicFileWriter& file) {
    WriteLegacyBlock(*Config, file);
    WriteFieldLines(kFieldSamples, file);
}

bool TBaseBandCell::ReadAllSamples(text::LineReader& file) {
    const std::uint32_t n = CheckedSampleCount();
    if (Config->BandLastAScan >= MaxBandScans) {
        throw text::RangeError("Range check error: band of " +
                               text::formatInteger(Config->BandLastAScan + 1) + " A-scans");
    }
    if (!SampleLinesMayFollow(file, std::uint64_t(Config->BandLastAScan + 1u) * n)) {
        return false;
    }
    SetScanCount(static_cast<std::uint16_t>(Config->BandLastAScan + 1));
    // Each A-scan is read as the current one, so the last one read stays selected.
    for (std::uint32_t j = 0; j < Count2; ++j) {
        SetCurrentScan(static_cast<std::uint16_t>(j));
        if (!ReadSampleLines(file, Data.Scan(0, j), n)) {
            return false;
        }
    }
    return true;
}

// ---- Lists and overrides --------------------------------------------------------------------

bool EraseBand(PBandsSet& list, std::uint16_t index, std::uint16_t& count) {
    return EraseRecord(list, index, count);
}

TPaletteOverride::TPaletteOverride(TBaseBandCell& band, std::uint8_t kind)
    : band_(band), applied_(kind != KeepPalette) {
    if (applied_) {
        band_.BuildPalette(kind, KeepBound, KeepBound);
    }
}

TPaletteOverride::~TPaletteOverride() {
    if (applied_) {
        band_.BuildPalette(KeepPalette, KeepBound, KeepBound);
    }
}
