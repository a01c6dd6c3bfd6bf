// The constant side of an instrument configuration: the parameter numbers, the descriptor table
// that drives validation, defaults, display strings and editors, the names and captions of the
// parameters, and the small value tables that turn list indices into instrument quantities.
#pragma once

#include <array>
#include <cstdint>
#include <string>

// ---- Parameter numbers -----------------------------------------------------------------------
// The names are the keys of the positional configuration text where one exists.

constexpr int DEVICE_KIND = 0;
constexpr int DEVICE_VERSION = 1;
constexpr int DEVICE_VARIANT = 2;
constexpr int CONFIGURATION_NUMBER = 3; // "CONFIGURATION #"
constexpr int CONFIGURATION_INDEX = 4;  // "CONFIGURATION INDEX"
constexpr int CONFIGURATION_NAME = 5;
constexpr int MAP_VERTIC_POINTS_QUAN = 6;
constexpr int MAP_HORIZ_POINTS_QUAN = 7;
constexpr int MAP_VERTIC_STEP = 8;
constexpr int MAP_HORIZ_STEP = 9;
constexpr int MAP_SCANNING_ORDER = 10;
constexpr int MAP_KURSOR_VERTICAL_POINT = 11;
constexpr int MAP_KURSOR_HORIZON_POINT = 12;
constexpr int MAP_AUX_AREA_CONTENT = 13;
constexpr int BAND_LAST_ASCAN = 14;
constexpr int BAND_CURRENT_ASCAN = 15;
constexpr int BAND_STEP = 16;
constexpr int BAND_ELEMENT_WIDTH_INDEX = 17;
constexpr int BAND_AUTO_END = 18;
constexpr int BAND_SHIFT = 19;
constexpr int ASCAN_STROB1_BEGIN = 20;
constexpr int ASCAN_STROB2_BEGIN = 21;
constexpr int ASCAN_STROB1_END = 22;
constexpr int ASCAN_STROB2_END = 23;
constexpr int ASCAN_STROB1_Y = 24;
constexpr int ASCAN_STROB2_Y = 25;
constexpr int ASCAN_KURSORS_QUANT = 26;
constexpr int ASCAN_KURSOR1_ENABLED = 27;
constexpr int ASCAN_KURSOR2_ENABLED = 28;
constexpr int ASCAN_KURSOR1_LUPA_PIXEL_POS = 29;
constexpr int ASCAN_KURSOR2_LUPA_PIXEL_POS = 30;
constexpr int ASCAN_KURSOR1_IN_LUPA = 31;
constexpr int ASCAN_KURSOR2_IN_LUPA = 32;
constexpr int ASCAN_STROB1_ENABLED = 33;
constexpr int ASCAN_STROB2_ENABLED = 34;
constexpr int ASCAN_SCALE_DIMENSION = 35;
constexpr int ASCAN_FULL_OVR_PRINT = 36;
constexpr int ASCAN_PIXEL_LENGTH = 37;
constexpr int ASCAN_SIGNAL_CATCH_ALGORYTHM = 38;
constexpr int GEN_SIGNAL_TYPE = 39;
constexpr int GEN_SCREEN_TYPE = 40;
constexpr int GEN_PREV_SCREEN_TYPE = 41;
constexpr int GEN_POISK_LEVEL = 42;
constexpr int GEN_CUTOFF_LEVEL = 43;
constexpr int GEN_INDEX_MARK_MKS = 44;
constexpr int GEN_INDEX_MARK_MM = 45;
constexpr int GEN_DOTS_PER_CELL = 46;
constexpr int GEN_TGV_GAIN = 47;
constexpr int GEN_TGV_POS = 48;
constexpr int GEN_TGV_ENABLED = 49;
constexpr int GEN_TGV_CURSOR_POS = 50;
constexpr int GEN_TGV_ACTIVE_PTS = 51;
constexpr int PRB_FREQ_INDEX = 52;
constexpr int PRB_DELAY = 53;
constexpr int PRB_TYPE = 54;
constexpr int ANL_ZONDER_VOLTAGE_INDEX = 55;
constexpr int ANL_ZONDER_PERIODS_QUANT = 56;
constexpr int SYS_REFRESH_FREQ = 57;
constexpr int ANL_FILTER_BAND_INDEX = 58;
constexpr int ANL_ATTENUATOR_COUNT1 = 59;
constexpr int ANL_ATTENUATOR_COUNT2 = 60;
constexpr int ANL_AVERAGER_INDEX = 61;
constexpr int ANL_BARKER_ORDER = 62;
constexpr int OBJ_USONIC_VELOCITY = 63;
constexpr int GTM_GLOBAL_WORKTIME = 64;
constexpr int GTM_SNAP_YEAR = 65;
constexpr int GTM_SNAP_MONTH = 66;
constexpr int GTM_SNAP_DAY = 67;
constexpr int GTM_SNAP_HOUR = 68;
constexpr int GTM_SNAP_MINUTE = 69;
constexpr int GTM_SNAP_SECOND = 70;
constexpr int MAP_STEP = 71;
constexpr int ASCAN_STROB1_BEGIN_TIME = 72;
constexpr int ASCAN_STROB2_BEGIN_TIME = 73;
constexpr int ASCAN_STROB1_LENGTH_TIME = 74;
constexpr int ASCAN_STROB2_LENGTH_TIME = 75;
constexpr int ASCAN_KURSOR1_TIME = 76;
constexpr int ASCAN_KURSOR2_TIME = 77;
constexpr int ASCAN_KURSOR1_LUPA_TIME = 78;
constexpr int ASCAN_KURSOR2_LUPA_TIME = 79;
constexpr int CONFIG_STRINGS_QUANT = 80;
constexpr int ASCAN_STROB1_BEGIN_MM = 81;
constexpr int ASCAN_STROB1_LENGTH_MM = 82;
constexpr int ASCAN_AUX_TIME = 83;
constexpr int ASCAN_STROB1_GAIN_DB = 84;

constexpr int ParamCount = 85;

// The line number that closes a configuration text and a record text.
constexpr int EndOfBlockLineNumber = 65534;

// ---- Descriptor table ---------------------------------------------------------------------------

enum TParamKind : std::int32_t {
    PK_INTEGER = 0,
    PK_REAL = 1,
    PK_LIST = 2,
    PK_STRING = 3,
};

// One constant record per parameter number. Integer and list parameters use the integer columns,
// real parameters the real columns; Choices holds the number of choices or the maximum length.
struct TParamDescriptor {
    std::int32_t Kind;
    std::int32_t IntMax;
    std::int32_t IntMin;
    std::int32_t IntDefault;
    double RealMax;
    double RealMin;
    double RealDefault;
    std::int32_t Choices;
};

extern const std::array<TParamDescriptor, ParamCount> ParamDescriptorTable;

// The name of each parameter (the positional text key where one exists).
extern const std::array<const char*, ParamCount> ParamNames;

// The caption that names each parameter in the user interface; 0 where none does.
extern const std::array<std::uint16_t, ParamCount> ParamCaptions;

// How a failed validation names the parameter: an error message number, or a fixed text when the
// language files have none for it. Both empty: the parameter is never validated by range.
struct TParamRangeMessage {
    std::uint16_t ErrMsg;
    const char* Text;
};

extern const std::array<TParamRangeMessage, ParamCount> ParamRangeMessages;

// The longest configuration name the instrument shows.
constexpr std::size_t MaxConfigNameLength = 22;

// TVG points of a configuration.
constexpr int TgvPointCount = 32;

// Comment lines a configuration may carry.
constexpr int MaxConfigStrings = 20;

// ---- Value tables -------------------------------------------------------------------------------

extern const std::array<const char*, 16> ProbeFrequencyStrings;
extern const std::array<std::uint8_t, 3> ZonderVoltageTable;
extern const std::array<std::uint8_t, 5> AveragerTable;
extern const std::array<std::uint8_t, 4> PixelsPerScanTable;
extern const std::array<const char*, 5> MaxMksRangeStrings;

// Lookups by a parameter value that never read outside a table: a text table answers an empty
// text for an index outside it, a number table its nearest entry.
std::string ProbeFrequencyString(int index);
std::string MaxMksRangeString(int index);
std::uint8_t ZonderVoltage(int index);
std::uint8_t Averager(int index);
std::uint8_t PixelsPerScan(int index);
