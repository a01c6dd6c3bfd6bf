// The parameters of one configuration: values, display and raw strings, defaults, validation,
// cycling and the editor description of each parameter.
#include "config/BaseConfigObjectUnit.h"

#include "config/AuxilaryFunctionsUnit.h"
#include "config/LocalStringsUnit.h"
#include "platform/text/Numbers.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <limits>
#include <type_traits>
#include <variant>

namespace text = platform::text;

namespace {

using IntField = std::variant<std::monostate, std::uint8_t*, std::uint16_t*, std::int16_t*>;

// The field behind an integer or list parameter; monostate for the others.
IntField intField(TBaseConfigCell& c, int n) {
    switch (n) {
    case DEVICE_KIND:
        return &c.DeviceKind;
    case DEVICE_VERSION:
        return &c.DeviceVersion;
    case DEVICE_VARIANT:
        return &c.DeviceVariant;
    case CONFIGURATION_NUMBER:
        return &c.ConfigNumber;
    case CONFIGURATION_INDEX:
        return &c.ConfigIndex;
    case MAP_VERTIC_POINTS_QUAN:
        return &c.MapVerticPoints;
    case MAP_HORIZ_POINTS_QUAN:
        return &c.MapHorizPoints;
    case MAP_VERTIC_STEP:
        return &c.MapVerticStep;
    case MAP_HORIZ_STEP:
        return &c.MapHorizStep;
    case MAP_SCANNING_ORDER:
        return &c.MapScanningOrder;
    case MAP_KURSOR_VERTICAL_POINT:
        return &c.MapCursorVertical;
    case MAP_KURSOR_HORIZON_POINT:
        return &c.MapCursorHorizontal;
    case MAP_AUX_AREA_CONTENT:
        return &c.MapAuxAreaContent;
    case BAND_LAST_ASCAN:
        return &c.BandLastAScan;
    case BAND_CURRENT_ASCAN:
        return &c.BandCurrentAScan;
    case BAND_STEP:
        return &c.BandStep;
    case BAND_ELEMENT_WIDTH_INDEX:
        return &c.BandElementWidthIndex;
    case BAND_AUTO_END:
        return &c.BandAutoEnd;
    case BAND_SHIFT:
        return &c.BandShift;
    case ASCAN_STROB1_BEGIN:
        return &c.StrobeBeginPixel[0];
    case ASCAN_STROB2_BEGIN:
        return &c.StrobeBeginPixel[1];
    case ASCAN_STROB1_END:
        return &c.StrobeEndPixel[0];
    case ASCAN_STROB2_END:
        return &c.StrobeEndPixel[1];
    case ASCAN_STROB1_Y:
        return &c.StrobeLevel[0];
    case ASCAN_STROB2_Y:
        return &c.StrobeLevel[1];
    case ASCAN_KURSORS_QUANT:
        return &c.CursorCount;
    case ASCAN_KURSOR1_ENABLED:
        return &c.CursorPixel[0];
    case ASCAN_KURSOR2_ENABLED:
        return &c.CursorPixel[1];
    case ASCAN_KURSOR1_LUPA_PIXEL_POS:
        return &c.CursorZoomPixel[0];
    case ASCAN_KURSOR2_LUPA_PIXEL_POS:
        return &c.CursorZoomPixel[1];
    case ASCAN_KURSOR1_IN_LUPA:
        return &c.CursorInZoom[0];
    case ASCAN_KURSOR2_IN_LUPA:
        return &c.CursorInZoom[1];
    case ASCAN_STROB1_ENABLED:
        return &c.StrobeEnabled[0];
    case ASCAN_STROB2_ENABLED:
        return &c.StrobeEnabled[1];
    case ASCAN_SCALE_DIMENSION:
        return &c.ScaleDimension;
    case ASCAN_FULL_OVR_PRINT:
        return &c.FullOverviewPrint;
    case ASCAN_PIXEL_LENGTH:
        return &c.AScanRange;
    case ASCAN_SIGNAL_CATCH_ALGORYTHM:
        return &c.SignalCatchAlgorithm;
    case GEN_SIGNAL_TYPE:
        return &c.SignalType;
    case GEN_SCREEN_TYPE:
        return &c.ScreenType;
    case GEN_PREV_SCREEN_TYPE:
        return &c.PrevScreenType;
    case GEN_POISK_LEVEL:
        return &c.SearchLevel;
    case GEN_CUTOFF_LEVEL:
        return &c.CutOffLevel;
    case GEN_INDEX_MARK_MKS:
        return &c.IndexMarkMks;
    case GEN_INDEX_MARK_MM:
        return &c.IndexMarkMm;
    case GEN_TGV_ENABLED:
        return &c.TgvEnabled;
    case GEN_TGV_CURSOR_POS:
        return &c.TgvCursorPos;
    case GEN_TGV_ACTIVE_PTS:
        return &c.TgvActivePoints;
    case PRB_FREQ_INDEX:
        return &c.ProbeFrequencyIndex;
    case PRB_DELAY:
        return &c.ProbeDelay;
    case PRB_TYPE:
        return &c.ProbeType;
    case ANL_ZONDER_VOLTAGE_INDEX:
        return &c.ZonderVoltageIndex;
    case SYS_REFRESH_FREQ:
        return &c.RefreshFrequency;
    case ANL_FILTER_BAND_INDEX:
        return &c.FilterBandIndex;
    case ANL_ATTENUATOR_COUNT1:
        return &c.AttenuatorCount1;
    case ANL_ATTENUATOR_COUNT2:
        return &c.AttenuatorCount2;
    case ANL_AVERAGER_INDEX:
        return &c.AveragerIndex;
    case ANL_BARKER_ORDER:
        return &c.BarkerOrder;
    case OBJ_USONIC_VELOCITY:
        return &c.Velocity;
    case GTM_GLOBAL_WORKTIME:
        return &c.GlobalWorkTime;
    case GTM_SNAP_YEAR:
        return &c.SnapYear;
    case GTM_SNAP_MONTH:
        return &c.SnapMonth;
    case GTM_SNAP_DAY:
        return &c.SnapDay;
    case GTM_SNAP_HOUR:
        return &c.SnapHour;
    case GTM_SNAP_MINUTE:
        return &c.SnapMinute;
    case GTM_SNAP_SECOND:
        return &c.SnapSecond;
    case CONFIG_STRINGS_QUANT:
        return &c.ConfigStringsCount;
    default:
        return std::monostate{};
    }
}

// The field behind a real parameter kept as it is shown; nullptr for the others.
double* realField(TBaseConfigCell& c, int n) {
    switch (n) {
    case GEN_DOTS_PER_CELL:
        return &c.DotsPerCell;
    case ANL_ZONDER_PERIODS_QUANT:
        return &c.ZonderPeriods;
    case ASCAN_STROB1_BEGIN_TIME:
        return &c.StrobeBeginTime[0];
    case ASCAN_STROB2_BEGIN_TIME:
        return &c.StrobeBeginTime[1];
    case ASCAN_STROB1_LENGTH_TIME:
        return &c.StrobeLengthTime[0];
    case ASCAN_STROB2_LENGTH_TIME:
        return &c.StrobeLengthTime[1];
    case ASCAN_KURSOR1_TIME:
        return &c.CursorTime[0];
    case ASCAN_KURSOR2_TIME:
        return &c.CursorTime[1];
    case ASCAN_KURSOR1_LUPA_TIME:
        return &c.CursorZoomTime[0];
    case ASCAN_KURSOR2_LUPA_TIME:
        return &c.CursorZoomTime[1];
    case ASCAN_AUX_TIME:
        return &c.AuxTime;
    default:
        return nullptr;
    }
}

const double* realField(const TBaseConfigCell& c, int n) {
    return realField(const_cast<TBaseConfigCell&>(c), n);
}

// Strobe, cursor and auxiliary times: written in hundredths of a microsecond.
bool isTime(int n) {
    return (n >= ASCAN_STROB1_BEGIN_TIME && n <= ASCAN_KURSOR2_LUPA_TIME) || n == ASCAN_AUX_TIME;
}

bool validNumber(int n) {
    return n >= 0 && n < ParamCount;
}

const TParamDescriptor& descriptor(int n) {
    return ParamDescriptorTable[static_cast<size_t>(n)];
}

char decimalSeparator() {
    return text::formatSettings().decimalSeparator;
}

// Fixed notation with one decimal and ten significant digits, in the user's separator.
std::string fixed1(double value) {
    return text::formatFixed(value, 1, decimalSeparator(), 10);
}

std::string integerText(std::int64_t value) {
    return text::formatInteger(value);
}

// Truncated to an integer for display; a value beyond the integers is written as it is rather
// than failing the display.
std::string truncatedText(double value) {
    if (std::isfinite(value) && std::fabs(value) < 9.0e18) {
        return integerText(text::truncateTowardZero(value));
    }
    return text::formatFixed(value, 0, decimalSeparator(), 10);
}

std::string roundedText(double value) {
    if (std::isfinite(value) && std::fabs(value) < 9.0e18) {
        return integerText(text::roundHalfEven(value));
    }
    return text::formatFixed(value, 0, decimalSeparator(), 10);
}

std::string txt(int n) {
    return GetTxtVarValueString(n);
}

// The language text `first + value` for a value inside 0..last - first; empty otherwise.
std::string wordOf(int first, int last, int value) {
    if (value < 0 || first + value > last) {
        return {};
    }
    return txt(first + value);
}

// The text of a parameter's range message, up to the limits.
std::string rangePrefix(int n) {
    const TParamRangeMessage& m = ParamRangeMessages[static_cast<size_t>(n)];
    if (m.ErrMsg != 0) {
        return GetErrMsgString(m.ErrMsg);
    }
    return m.Text ? m.Text : "";
}

std::string rangeMessage(int n, const std::string& low, const std::string& high) {
    return rangePrefix(n) + low + ".." + high + GetErrMsgString(23);
}

// Stores a value into an integer field; a value that does not fit raises RangeError.
void storeInt(IntField field, std::int64_t value) {
    std::visit(
        [value](auto f) {
            using F = decltype(f);
            if constexpr (!std::is_same_v<F, std::monostate>) {
                *f = text::checkedCast<std::remove_pointer_t<F>>(value);
            }
        },
        field);
}

std::int64_t loadInt(IntField field) {
    return std::visit(
        [](auto f) -> std::int64_t {
            if constexpr (std::is_same_v<decltype(f), std::monostate>) {
                return 0;
            } else {
                return *f;
            }
        },
        field);
}

// The pieces of a TVG point list: each value ends with ":"; a last value without its colon is
// taken too. At most the 32 points are read.
std::vector<std::string> tgvPieces(const std::string& s) {
    std::vector<std::string> pieces;
    size_t start = 0;
    while (pieces.size() < static_cast<size_t>(TgvPointCount)) {
        const size_t colon = s.find(':', start);
        if (colon == std::string::npos) {
            if (start < s.size()) {
                pieces.push_back(s.substr(start));
            }
            break;
        }
        pieces.push_back(s.substr(start, colon - start));
        start = colon + 1;
    }
    return pieces;
}

template <typename T, size_t N> std::string pointList(const std::array<T, N>& points) {
    std::string s;
    for (auto p : points) {
        s += integerText(p);
        s += ':';
    }
    return s;
}

// Dots per cell are written in thousandths; unreadable text gives the default, not the lower
// limit.
double dotsFromText(const std::string& s, const TParamDescriptor& d) {
    const auto v = text::parseInteger(s);
    return v ? std::clamp(static_cast<double>(*v) / 1000.0, d.RealMin, d.RealMax) : d.RealDefault;
}

// Strings that name the value of a word choice are compared as typed, after the preparation of
// SetParamDisplayString.
int indexOfText(const std::string& s, const std::vector<std::string>& choices) {
    for (size_t i = 0; i < choices.size(); ++i) {
        if (choices[i] == s) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// Stores the index of the matching choice; no match leaves the value.
void setIndexOf(std::uint8_t& field, const std::string& s,
                const std::vector<std::string>& choices) {
    const int i = indexOfText(s, choices);
    if (i >= 0) {
        field = static_cast<std::uint8_t>(i);
    }
}

std::vector<std::string> texts(std::initializer_list<int> numbers) {
    std::vector<std::string> out;
    for (int n : numbers) {
        out.push_back(txt(n));
    }
    return out;
}

template <typename T, size_t N> std::vector<std::string> numbersOf(const std::array<T, N>& table) {
    std::vector<std::string> out;
    for (const auto& v : table) {
        out.push_back(integerText(v));
    }
    return out;
}

} // namespace

// ---- Creation ---------------------------------------------------------------------------------

TBaseConfigCell::TBaseConfigCell(std::uint8_t kind, std::uint8_t version, std::uint8_t variant)
    : DeviceKind(kind), DeviceVersion(version), DeviceVariant(variant) {
    ConfigStrings.push_back(GetCaptionString(177));
    ConfigStringsCount = 1;
    Modified = 0;
}

TBaseConfigCell& NewConfigCell(std::uint8_t kind, std::uint8_t version, std::uint8_t variant,
                               std::unique_ptr<TBaseConfigCell>& slot) {
    slot = std::make_unique<TBaseConfigCell>(kind, version, variant);
    return *slot;
}

// ---- Values -----------------------------------------------------------------------------------

std::int64_t TBaseConfigCell::intValue(int number) const {
    return loadInt(intField(const_cast<TBaseConfigCell&>(*this), number));
}

void TBaseConfigCell::setIntValue(int number, std::int64_t value) {
    storeInt(intField(*this, number), value);
}

double TBaseConfigCell::GetParamValue(int number, int index) const {
    if (!validNumber(number)) {
        return 0.0;
    }
    if (const double* r = realField(*this, number)) {
        return *r;
    }
    const bool activePoint = index >= 0 && index < TgvActivePoints && index < TgvPointCount;
    switch (number) {
    case CONFIGURATION_NAME:
        return static_cast<double>(ConfigName.size());
    case GEN_TGV_GAIN:
        return activePoint ? TgvGain[static_cast<size_t>(index)] : 0.0;
    case GEN_TGV_POS:
        return activePoint ? TgvPos[static_cast<size_t>(index)] : 0.0;
    case MAP_STEP:
        return MapHorizStep;
    case ASCAN_STROB1_BEGIN_MM:
        return StrobeBeginMm();
    case ASCAN_STROB1_LENGTH_MM:
        return StrobeLengthMm();
    case ASCAN_STROB1_GAIN_DB:
        return CountToGainDb(StrobeLevel[0]);
    default:
        return static_cast<double>(intValue(number));
    }
}

// ---- Display and raw strings ------------------------------------------------------------------

std::string TBaseConfigCell::GetParamDisplayString(int number) const {
    if (!validNumber(number)) {
        return {};
    }
    switch (number) {
    case CONFIGURATION_NAME:
        return ConfigName;
    case ASCAN_KURSORS_QUANT:
        return wordOf(8, 9, CursorCount);
    case ASCAN_SCALE_DIMENSION:
        return wordOf(10, 11, ScaleDimension);
    case ASCAN_FULL_OVR_PRINT:
        return wordOf(12, 15, FullOverviewPrint);
    case GEN_DOTS_PER_CELL:
        return roundedText(DotsPerCell * 1000.0);
    case GEN_TGV_GAIN:
        return pointList(TgvGain);
    case GEN_TGV_POS:
        return pointList(TgvPos);
    case GEN_TGV_ENABLED:
        return txt(TgvEnabled != 0 ? 3 : 2);
    case ANL_FILTER_BAND_INDEX:
        return txt(FilterBandIndex != 0 ? 3 : 2);
    case PRB_FREQ_INDEX:
        return ProbeFrequencyString(ProbeFrequencyIndex);
    case PRB_TYPE:
        return wordOf(4, 5, ProbeType);
    case ANL_ZONDER_VOLTAGE_INDEX:
        return ZonderVoltageIndex < ZonderVoltageTable.size()
                   ? integerText(ZonderVoltageTable[ZonderVoltageIndex])
                   : std::string();
    // The attenuators are shown as the gain they leave, not as the count the instrument keeps.
    case ANL_ATTENUATOR_COUNT1:
        return integerText(100 - AttenuatorCount1);
    case ANL_ATTENUATOR_COUNT2:
        return integerText(40 - AttenuatorCount2);
    case ANL_AVERAGER_INDEX:
        return AveragerIndex < AveragerTable.size() ? integerText(AveragerTable[AveragerIndex])
                                                    : std::string();
    case MAP_STEP:
        return integerText(MapVerticStep);
    case ASCAN_STROB1_BEGIN_TIME:
        return truncatedText(StrobeBeginTime[0]);
    case ASCAN_STROB1_LENGTH_TIME:
        return truncatedText(StrobeLengthTime[0]);
    case ASCAN_STROB1_BEGIN_MM:
        return truncatedText(StrobeBeginMm());
    case ASCAN_STROB1_LENGTH_MM:
        return truncatedText(StrobeLengthMm());
    case ASCAN_STROB1_GAIN_DB:
        return roundedText(CountToGainDb(StrobeLevel[0]));
    default:
        if (const double* r = realField(*this, number)) {
            return fixed1(*r); // pulser periods and the other times
        }
        return integerText(intValue(number));
    }
}

std::string TBaseConfigCell::GetParamRawString(int number) const {
    if (!validNumber(number)) {
        return {};
    }
    if (isTime(number)) {
        return roundedText(*realField(*this, number) * 100.0);
    }
    switch (number) {
    case ASCAN_KURSORS_QUANT:
    case ASCAN_SCALE_DIMENSION:
    case ASCAN_FULL_OVR_PRINT:
    case GEN_TGV_ENABLED:
    case ANL_FILTER_BAND_INDEX:
    case PRB_FREQ_INDEX:
    case PRB_TYPE:
    case ANL_ZONDER_VOLTAGE_INDEX:
    case ANL_ATTENUATOR_COUNT1:
    case ANL_ATTENUATOR_COUNT2:
        return integerText(intValue(number));
    case ANL_ZONDER_PERIODS_QUANT:
        return roundedText(ZonderPeriods * 10.0);
    default:
        return GetParamDisplayString(number);
    }
}

void TBaseConfigCell::SetParamRawString(int number, const std::string& s) {
    if (!validNumber(number)) {
        return;
    }
    const TParamDescriptor& d = descriptor(number);
    if (isTime(number)) {
        // Unreadable text gives the real default (the integer columns of times are not read).
        const auto v = text::parseInteger(s);
        *realField(*this, number) = v ? static_cast<double>(*v) / 100.0 : d.RealDefault;
        return;
    }
    switch (number) {
    case MAP_SCANNING_ORDER:
    case MAP_AUX_AREA_CONTENT:
    case BAND_AUTO_END:
    case ASCAN_KURSORS_QUANT:
    case ASCAN_KURSOR1_IN_LUPA:
    case ASCAN_KURSOR2_IN_LUPA:
    case ASCAN_STROB1_ENABLED:
    case ASCAN_STROB2_ENABLED:
    case ASCAN_SCALE_DIMENSION:
    case ASCAN_FULL_OVR_PRINT:
    case ASCAN_SIGNAL_CATCH_ALGORYTHM:
    case GEN_SIGNAL_TYPE:
    case GEN_SCREEN_TYPE:
    case GEN_PREV_SCREEN_TYPE:
    case GEN_TGV_ENABLED:
    case PRB_FREQ_INDEX:
    case PRB_TYPE:
    case ANL_ZONDER_VOLTAGE_INDEX:
    case ANL_FILTER_BAND_INDEX:
    case ANL_ATTENUATOR_COUNT1:
    case ANL_ATTENUATOR_COUNT2:
        setIntValue(number, text::parseIntegerOr(s, d.IntDefault));
        if (number == ASCAN_SCALE_DIMENSION) {
            SetMeasureConditionUnits(ScaleDimension);
        }
        return;
    case GEN_DOTS_PER_CELL:
        DotsPerCell = dotsFromText(s, d);
        return;
    case ANL_ZONDER_PERIODS_QUANT:
        ZonderPeriods = static_cast<double>(text::parseIntegerOr(s, 10)) / 10.0;
        return;
    default:
        SetParamDisplayString(number, s);
        return;
    }
}

void TBaseConfigCell::SetParamDisplayString(int number, const std::string& input) {
    if (!validNumber(number)) {
        return;
    }
    const TParamDescriptor& d = descriptor(number);
    std::string s = input;
    if (number != CONFIGURATION_NAME && number != GEN_TGV_GAIN && number != GEN_TGV_POS &&
        s.size() > 6) {
        s.resize(6);
    }
    if (number != CONFIGURATION_NAME) {
        s.erase(std::remove(s.begin(), s.end(), ' '), s.end());
    }
    Modified = 1;
    const char sep = decimalSeparator();

    if (isTime(number)) {
        *realField(*this, number) = text::parseRealOr(s, d.RealDefault, sep);
        if (number == ASCAN_STROB1_BEGIN_TIME || number == ASCAN_STROB1_LENGTH_TIME) {
            StrobePixelsFromTimes(0);
        }
        return;
    }
    switch (number) {
    case CONFIGURATION_NAME:
        ConfigName = s;
        return;
    case ASCAN_STROB1_Y:
    case ASCAN_STROB2_Y: {
        // The instrument keeps the levels in a signed byte.
        const std::int64_t v = text::parseIntegerOr(s, d.IntDefault);
        setIntValue(number, static_cast<std::int8_t>(static_cast<std::uint8_t>(v & 0xFF)));
        return;
    }
    case ASCAN_KURSORS_QUANT:
        setIndexOf(CursorCount, s, texts({8, 9}));
        return;
    case ASCAN_FULL_OVR_PRINT:
        setIndexOf(FullOverviewPrint, s, texts({12, 13, 14, 15}));
        return;
    case PRB_FREQ_INDEX:
        setIndexOf(ProbeFrequencyIndex, s,
                   {ProbeFrequencyStrings.begin(), ProbeFrequencyStrings.end()});
        return;
    case ANL_ZONDER_VOLTAGE_INDEX:
        setIndexOf(ZonderVoltageIndex, s, numbersOf(ZonderVoltageTable));
        return;
    case ANL_AVERAGER_INDEX:
        setIndexOf(AveragerIndex, s, numbersOf(AveragerTable));
        return;
    case ASCAN_SCALE_DIMENSION:
        ScaleDimension = s == txt(10) ? 0 : 1;
        SetMeasureConditionUnits(ScaleDimension);
        return;
    case PRB_TYPE:
        ProbeType = s == txt(5) ? 1 : 0;
        return;
    case ANL_FILTER_BAND_INDEX:
        FilterBandIndex = s == txt(3) ? 1 : 0;
        return;
    case GEN_TGV_GAIN:
    case GEN_TGV_POS: {
        const auto pieces = tgvPieces(s);
        for (size_t i = 0; i < pieces.size(); ++i) {
            const std::int64_t v = text::parseIntegerOr(pieces[i], 0);
            if (number == GEN_TGV_GAIN) {
                TgvGain[i] = text::checkedCast<std::uint8_t>(v);
            } else {
                TgvPos[i] = text::checkedCast<std::uint16_t>(v);
            }
        }
        return;
    }
    case ANL_ZONDER_PERIODS_QUANT: {
        // The pulser works in half periods.
        const double v = text::parseRealOr(s, 10.0, sep);
        ZonderPeriods = std::nearbyint(v * 2.0) / 2.0;
        return;
    }
    case GEN_DOTS_PER_CELL:
        DotsPerCell = dotsFromText(s, d);
        return;
    case MAP_STEP: {
        const std::int64_t v = text::parseIntegerOr(s, d.IntDefault);
        MapVerticStep = text::checkedCast<std::uint16_t>(v);
        MapHorizStep = MapVerticStep;
        return;
    }
    case ASCAN_STROB1_BEGIN_MM:
    case ASCAN_STROB1_LENGTH_MM: {
        const double mm = std::min(text::parseRealOr(s, d.RealDefault, sep), d.RealMax);
        // Without a velocity there is no time for a depth.
        if (Velocity == 0) {
            return;
        }
        const double t = mm * 2000.0 / Velocity;
        (number == ASCAN_STROB1_BEGIN_MM ? StrobeBeginTime[0] : StrobeLengthTime[0]) = t;
        StrobePixelsFromTimes(0);
        return;
    }
    case ASCAN_STROB1_GAIN_DB: {
        const double db = text::parseRealOr(s, d.RealDefault, sep);
        const TParamDescriptor& level = descriptor(ASCAN_STROB1_Y);
        // Limited in real arithmetic first, so that no gain can overflow the count.
        const double count = (std::pow(10.0, (db - 100.0 + AttenuatorCount1) / 20.0) - 1.0) / 1.6;
        std::int32_t stored = level.IntMax;
        if (!(count > level.IntMin)) {
            stored = level.IntMin;
        } else if (count < level.IntMax) {
            stored = std::clamp<std::int32_t>(GainDbToCount(db), level.IntMin, level.IntMax);
        }
        StrobeLevel[0] = static_cast<std::int16_t>(stored);
        return;
    }
    case ANL_ATTENUATOR_COUNT1:
    case ANL_ATTENUATOR_COUNT2: {
        // Shown as 100 - count and 40 - count, so stored back the same way. A count that cannot
        // be stored is kept out of range, so that validation reports it.
        const std::int64_t top = number == ANL_ATTENUATOR_COUNT1 ? 100 : 40;
        const std::int64_t v = text::parseIntegerOr(s, top - d.IntDefault);
        const std::int64_t count = top - v;
        setIntValue(number, count >= 0 && count <= 255 ? count : 255);
        return;
    }
    default:
        // Integer parameters, and the list parameters shown as numbers.
        setIntValue(number, text::parseIntegerOr(s, d.IntDefault));
        return;
    }
}

// ---- Reset ------------------------------------------------------------------------------------

void TBaseConfigCell::rebuildTgvPoints() {
    for (int i = 0; i < TgvPointCount; ++i) {
        TgvGain[static_cast<size_t>(i)] = 28;
        TgvPos[static_cast<size_t>(i)] = static_cast<std::uint16_t>(i * 64);
    }
    TgvGain[0] = 0;
    TgvPos[0] = 0;
    if (TgvActivePoints >= 1 && TgvActivePoints <= TgvPointCount) {
        TgvGain[TgvActivePoints - 1u] = 30;
        TgvPos[TgvActivePoints - 1u] = AScanRange;
    }
}

void TBaseConfigCell::ResetParam(std::uint16_t configNumber, int number) {
    if (!validNumber(number)) {
        return;
    }
    const TParamDescriptor& d = descriptor(number);
    switch (number) {
    case DEVICE_KIND:
    case DEVICE_VERSION:
    case DEVICE_VARIANT:
        setIntValue(number, 1);
        return;
    case CONFIGURATION_NUMBER:
    case CONFIGURATION_INDEX:
        setIntValue(number, configNumber);
        return;
    case CONFIGURATION_NAME:
        ConfigName = GetCaptionString(200);
        return;
    case GEN_DOTS_PER_CELL:
        DotsPerCell = d.RealDefault;
        DotsPerCellPrev = DotsPerCell;
        return;
    case GEN_TGV_ENABLED:
        TgvEnabled = static_cast<std::uint8_t>(d.IntDefault);
        TgvPrevState = TgvEnabled;
        return;
    case GEN_TGV_ACTIVE_PTS:
        TgvActivePoints = static_cast<std::uint8_t>(d.IntDefault);
        rebuildTgvPoints();
        return;
    case CONFIG_STRINGS_QUANT:
        ConfigStringsCount = 0;
        ConfigStrings.clear();
        return;
    // The TVG arrays follow the active points; the work time is the instrument's; the rest are
    // derived from other parameters.
    case GEN_TGV_GAIN:
    case GEN_TGV_POS:
    case GTM_GLOBAL_WORKTIME:
    case MAP_STEP:
    case ASCAN_STROB1_BEGIN_MM:
    case ASCAN_STROB1_LENGTH_MM:
    case ASCAN_STROB1_GAIN_DB:
        return;
    default:
        if (double* r = realField(*this, number)) {
            *r = d.RealDefault; // pulser periods and the times
        } else {
            setIntValue(number, d.IntDefault);
        }
        return;
    }
}

void TBaseConfigCell::ResetAll(std::uint16_t configNumber) {
    for (int n = 0; n < ParamCount; ++n) {
        ResetParam(configNumber, n);
    }
    BuildTgvCurve();
}

// ---- Validation -------------------------------------------------------------------------------

bool TBaseConfigCell::validateRange(int number, std::int64_t value, std::string& message) {
    const TParamDescriptor& d = descriptor(number);
    if (value >= d.IntMin && value <= d.IntMax) {
        return true;
    }
    message = rangeMessage(number, integerText(d.IntMin), integerText(d.IntMax));
    return false;
}

bool TBaseConfigCell::validateReal(int number, double& value, std::string& message) {
    const TParamDescriptor& d = descriptor(number);
    if (value >= d.RealMin && value <= d.RealMax) {
        return true;
    }
    message = rangeMessage(number, fixed1(d.RealMin), fixed1(d.RealMax));
    value = d.RealDefault;
    return false;
}

bool TBaseConfigCell::ValidateParam(int number, std::string& message) {
    message.clear();
    if (!validNumber(number)) {
        return true;
    }
    const TParamDescriptor& d = descriptor(number);
    switch (number) {
    case DEVICE_KIND:
    case DEVICE_VERSION:
    case DEVICE_VARIANT:
    case CONFIGURATION_NUMBER:
    case CONFIGURATION_INDEX:
    case GEN_TGV_GAIN:
    case GEN_TGV_POS:
    case GTM_GLOBAL_WORKTIME:
        return true;
    case CONFIGURATION_NAME:
        if (ConfigName.size() <= MaxConfigNameLength) {
            return true;
        }
        ConfigName.resize(MaxConfigNameLength);
        message = GetErrMsgString(21) + integerText(MaxConfigNameLength) + GetErrMsgString(22);
        return false;
    case GEN_SCREEN_TYPE:
        // Two nibbles: the screen (0..12) and its variant (0..5).
        if ((ScreenType >> 4) <= 12 && (ScreenType & 0x0F) <= 5) {
            return true;
        }
        message = rangeMessage(number, integerText(d.IntMin), integerText(d.IntMax));
        ScreenType = static_cast<std::uint8_t>(d.IntDefault);
        return false;
    case GEN_DOTS_PER_CELL:
        if (validateReal(number, DotsPerCell, message)) {
            return true;
        }
        DotsPerCellPrev = DotsPerCell;
        return false;
    case ASCAN_STROB1_BEGIN_TIME:
    case ASCAN_STROB1_LENGTH_TIME:
    case ASCAN_STROB1_BEGIN_MM:
    case ASCAN_STROB1_LENGTH_MM: {
        double low = 0.0;
        double high = 0.0;
        const bool begin = number == ASCAN_STROB1_BEGIN_TIME || number == ASCAN_STROB1_BEGIN_MM;
        if (begin ? LimitStrobeBegin(0, low, high) : LimitStrobeLength(0, low, high)) {
            return true;
        }
        if (number == ASCAN_STROB1_BEGIN_MM || number == ASCAN_STROB1_LENGTH_MM) {
            low = Velocity * low / 2000.0;
            high = Velocity * high / 2000.0;
        }
        message = rangeMessage(number, truncatedText(low), truncatedText(high));
        return false;
    }
    case ASCAN_STROB1_GAIN_DB: {
        const TParamDescriptor& level = descriptor(ASCAN_STROB1_Y);
        if (StrobeLevel[0] >= level.IntMin && StrobeLevel[0] <= level.IntMax) {
            return true;
        }
        message = rangeMessage(number, roundedText(CountToGainDb(level.IntMin)),
                               roundedText(CountToGainDb(level.IntMax)));
        StrobeLevel[0] = static_cast<std::int16_t>(level.IntDefault);
        return false;
    }
    case MAP_STEP:
        if (validateRange(number, MapHorizStep, message)) {
            return true;
        }
        MapVerticStep = MapHorizStep = static_cast<std::uint16_t>(d.IntDefault);
        return false;
    case CONFIG_STRINGS_QUANT:
        if (validateRange(number, ConfigStringsCount, message)) {
            return true;
        }
        ConfigStringsCount = static_cast<std::uint16_t>(d.IntDefault);
        ConfigStrings.clear();
        return false;
    default:
        if (double* r = realField(*this, number)) {
            return validateReal(number, *r, message); // pulser periods, strobe 2, cursor times
        }
        if (validateRange(number, intValue(number), message)) {
            return true;
        }
        setIntValue(number, d.IntDefault);
        if (number == GEN_TGV_ENABLED) {
            TgvPrevState = TgvEnabled;
        }
        return false;
    }
}

namespace {

// Parameters whose validation repairs the value instead of putting back its default.
bool keepsRepair(int number) {
    switch (number) {
    case CONFIGURATION_NAME:
    case ASCAN_STROB1_BEGIN_TIME:
    case ASCAN_STROB1_LENGTH_TIME:
    case ASCAN_STROB1_BEGIN_MM:
    case ASCAN_STROB1_LENGTH_MM:
        return true;
    default:
        return false;
    }
}

} // namespace

bool TBaseConfigCell::ValidateAll() {
    bool allValid = true;
    std::string message;
    for (int n = 0; n < ParamCount; ++n) {
        if (ValidateParam(n, message)) {
            continue;
        }
        allValid = false;
        // Where validation itself repaired the value (a name cut to its length, a strobe moved
        // onto the picture) the repair stands; otherwise the parameter starts afresh, which for
        // the active TVG points also lays the points out anew.
        if (!keepsRepair(n) || !ValidateParam(n, message)) {
            ResetParam(ConfigNumber, n);
        }
    }
    return allValid;
}

// ---- Cycling, captions, editors ---------------------------------------------------------------

void TBaseConfigCell::CycleParam(int number) {
    if (!validNumber(number)) {
        return;
    }
    switch (number) {
    case ASCAN_KURSORS_QUANT:
        CursorCount = CursorCount == 0 ? 1 : 0;
        break;
    case ASCAN_SIGNAL_CATCH_ALGORYTHM:
        SignalCatchAlgorithm = SignalCatchAlgorithm == 0 ? 1 : 0;
        break;
    case ASCAN_STROB1_ENABLED:
        StrobeEnabled[0] = StrobeEnabled[0] < 2 ? StrobeEnabled[0] + 1 : 0;
        break;
    case GEN_SIGNAL_TYPE:
        SignalType = SignalType < 2 ? SignalType + 1 : 0;
        break;
    case GEN_SCREEN_TYPE:
        ScreenType = ScreenType == 1 ? 2 : 1;
        break;
    case GEN_TGV_ENABLED:
        TgvEnabled = TgvEnabled != 0 ? 0 : 1;
        break;
    default:
        break;
    }
    Modified = 1;
}

std::string TBaseConfigCell::GetParamCaption(int number) const {
    if (!validNumber(number) || ParamCaptions[static_cast<size_t>(number)] == 0) {
        return {};
    }
    return GetCaptionString(ParamCaptions[static_cast<size_t>(number)]);
}

namespace {

struct TMaskRow {
    const char* mask;
    std::initializer_list<int> numbers;
};

// Edit masks of the parameters typed into a mask edit.
const TMaskRow kMaskRows[] = {
    {"0", {0, 1, 2}},
    {"99", {3,  4,  6,  7,  8,  9,  11, 12, 16, 24, 25, 42, 43, 47,
            51, 53, 57, 59, 60, 62, 65, 66, 67, 68, 69, 70, 71}},
    {"999", {14, 15, 19, 20, 21, 22, 23, 27, 28, 29, 30, 72, 73, 74, 75}},
    {"9999", {37, 48, 50, 63, 64}},
    {"9", {44, 45}},
    {"cccc", {46, 56}},
    {"cccccc", {76, 77, 78, 79, 83}},
    {"cccccccccccccccccccccc", {5}},
};

std::vector<std::string> captions(std::initializer_list<int> numbers) {
    std::vector<std::string> out;
    for (int n : numbers) {
        out.push_back(GetCaptionString(n));
    }
    return out;
}

// The choices of the parameters picked from a list; empty for the others.
std::vector<std::string> pickListOf(int number) {
    switch (number) {
    case MAP_SCANNING_ORDER:
        return captions({186, 187});
    case MAP_AUX_AREA_CONTENT:
        return captions({188, 189});
    case BAND_ELEMENT_WIDTH_INDEX:
        return {"1", "2", "4", "8"};
    case BAND_AUTO_END:
    case ASCAN_STROB1_ENABLED:
    case ASCAN_STROB2_ENABLED:
    case GEN_TGV_ENABLED:
    case ANL_FILTER_BAND_INDEX:
        return texts({2, 3});
    case ASCAN_KURSORS_QUANT:
        return texts({8, 9});
    case ASCAN_KURSOR1_IN_LUPA:
    case ASCAN_KURSOR2_IN_LUPA:
        return captions({190, 191});
    case ASCAN_SCALE_DIMENSION:
        return texts({10, 11});
    case ASCAN_FULL_OVR_PRINT:
        return texts({12, 13, 14, 15});
    case ASCAN_SIGNAL_CATCH_ALGORYTHM:
        return captions({192, 193});
    case GEN_SIGNAL_TYPE:
        return captions({194, 195, 196});
    case GEN_SCREEN_TYPE:
    case GEN_PREV_SCREEN_TYPE:
        return captions({197, 188, 198, 199});
    case PRB_FREQ_INDEX:
        return {ProbeFrequencyStrings.begin(), ProbeFrequencyStrings.end()};
    case PRB_TYPE:
        return texts({4, 5});
    case ANL_ZONDER_VOLTAGE_INDEX:
        return numbersOf(ZonderVoltageTable);
    case ANL_AVERAGER_INDEX:
        return numbersOf(AveragerTable);
    default:
        return {};
    }
}

} // namespace

TEditorItem TBaseConfigCell::SetupEditorItem(int number) const {
    TEditorItem item;
    for (const TMaskRow& row : kMaskRows) {
        if (std::find(row.numbers.begin(), row.numbers.end(), number) != row.numbers.end()) {
            item.EditMask = row.mask;
        }
    }
    item.PickList = pickListOf(number);
    item.ReadOnly = !item.PickList.empty();
    return item;
}

// ---- One line of the parameter-numbered text ----------------------------------------------------

std::string TBaseConfigCell::FormatParamLine(int number) const {
    return integerText(number) + ":" + GetParamRawString(number);
}

int TBaseConfigCell::ParseParamLine(const std::string& line) {
    const size_t colon = line.find(':');
    const std::string head = line.substr(0, colon);
    const auto parsed = text::parseInteger(head);
    if (!parsed || *parsed < std::numeric_limits<int>::min() ||
        *parsed > std::numeric_limits<int>::max()) {
        return 65535;
    }
    const int number = static_cast<int>(*parsed);
    const std::string raw = colon == std::string::npos ? std::string() : line.substr(colon + 1);
    switch (number) {
    // Derived values: applying them again would overwrite the values they derive from.
    case MAP_STEP:
    case ASCAN_STROB1_BEGIN_MM:
    case ASCAN_STROB1_LENGTH_MM:
    case ASCAN_STROB1_GAIN_DB:
        break;
    default:
        SetParamRawString(number, raw);
        break;
    }
    return number;
}
