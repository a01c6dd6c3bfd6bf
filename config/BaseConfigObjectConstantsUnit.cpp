// The parameter descriptor table and the value tables of an instrument configuration.
#include "config/BaseConfigObjectConstantsUnit.h"

#include <algorithm>

// Columns: kind, integer maximum, minimum, default, real maximum, minimum, default, choices or
// length. The integer columns of the real parameters are never read, except where the integer
// form of the raw text needs a fallback.
const std::array<TParamDescriptor, ParamCount> ParamDescriptorTable = {{
    {PK_INTEGER, 2, 0, 1, 0.0, 0.0, 0.0, 0},          // 0
    {PK_INTEGER, 2, 0, 1, 0.0, 0.0, 0.0, 0},          // 1
    {PK_INTEGER, 2, 0, 0, 0.0, 0.0, 0.0, 0},          // 2
    {PK_INTEGER, 20, 1, 1, 0.0, 0.0, 0.0, 0},         // 3
    {PK_INTEGER, 100, 0, 1, 0.0, 0.0, 0.0, 0},        // 4
    {PK_STRING, 2, 0, 1, 0.0, 0.0, 0.0, 22},          // 5
    {PK_INTEGER, 40, 5, 10, 0.0, 0.0, 0.0, 0},        // 6
    {PK_INTEGER, 40, 5, 10, 0.0, 0.0, 0.0, 0},        // 7
    {PK_INTEGER, 100, 10, 10, 0.0, 0.0, 0.0, 0},      // 8
    {PK_INTEGER, 100, 10, 10, 0.0, 0.0, 0.0, 0},      // 9
    {PK_LIST, 2, 0, 0, 0.0, 0.0, 0.0, 2},             // 10
    {PK_INTEGER, 40, 0, 10, 0.0, 0.0, 0.0, 0},        // 11
    {PK_INTEGER, 40, 0, 10, 0.0, 0.0, 0.0, 0},        // 12
    {PK_LIST, 2, 0, 0, 0.0, 0.0, 0.0, 2},             // 13
    {PK_INTEGER, 900, 0, 0, 0.0, 0.0, 0.0, 0},        // 14
    {PK_INTEGER, 900, 0, 0, 0.0, 0.0, 0.0, 0},        // 15
    {PK_INTEGER, 100, 10, 10, 0.0, 0.0, 0.0, 0},      // 16
    {PK_LIST, 3, 0, 0, 0.0, 0.0, 0.0, 4},             // 17 (2, 4, 8 or 16 pixels)
    {PK_LIST, 2, 0, 0, 0.0, 0.0, 0.0, 2},             // 18
    {PK_INTEGER, 900, 0, 0, 0.0, 0.0, 0.0, 0},        // 19
    {PK_INTEGER, 319, 0, 30, 0.0, 0.0, 0.0, 0},       // 20
    {PK_INTEGER, 319, 0, 50, 0.0, 0.0, 0.0, 0},       // 21
    {PK_INTEGER, 319, 0, 100, 0.0, 0.0, 0.0, 0},      // 22
    {PK_INTEGER, 319, 0, 90, 0.0, 0.0, 0.0, 0},       // 23
    {PK_INTEGER, 100, 1, 10, 0.0, 0.0, 0.0, 0},       // 24
    {PK_INTEGER, 100, 1, 30, 0.0, 0.0, 0.0, 0},       // 25
    {PK_LIST, 2, 0, 0, 0.0, 0.0, 0.0, 2},             // 26
    {PK_INTEGER, 4095, 0, 100, 0.0, 0.0, 0.0, 0},     // 27
    {PK_INTEGER, 4095, 0, 100, 0.0, 0.0, 0.0, 0},     // 28
    {PK_INTEGER, 319, 0, 100, 0.0, 0.0, 0.0, 0},      // 29
    {PK_INTEGER, 319, 0, 100, 0.0, 0.0, 0.0, 0},      // 30
    {PK_LIST, 1, 0, 0, 0.0, 0.0, 0.0, 2},             // 31
    {PK_LIST, 1, 0, 0, 0.0, 0.0, 0.0, 2},             // 32
    {PK_LIST, 2, 0, 0, 0.0, 0.0, 0.0, 3},             // 33
    {PK_LIST, 2, 0, 0, 0.0, 0.0, 0.0, 3},             // 34
    {PK_LIST, 1, 0, 0, 0.0, 0.0, 0.0, 2},             // 35
    {PK_LIST, 3, 0, 0, 0.0, 0.0, 0.0, 4},             // 36
    {PK_INTEGER, 4095, 30, 1024, 0.0, 0.0, 0.0, 0},   // 37
    {PK_LIST, 1, 0, 0, 0.0, 0.0, 0.0, 2},             // 38
    {PK_LIST, 2, 0, 0, 0.0, 0.0, 0.0, 3},             // 39
    {PK_INTEGER, 255, 0, 0, 0.0, 0.0, 0.0, 4},        // 40
    {PK_INTEGER, 255, 0, 0, 0.0, 0.0, 0.0, 4},        // 41
    {PK_INTEGER, 100, 0, 10, 0.0, 0.0, 0.0, 0},       // 42
    {PK_INTEGER, 99, 0, 0, 0.0, 0.0, 0.0, 0},         // 43
    {PK_INTEGER, 7, 0, 1, 0.0, 0.0, 0.0, 0},          // 44
    {PK_INTEGER, 11, 0, 0, 0.0, 0.0, 0.0, 0},         // 45
    {PK_REAL, 60, 25, 40, 60.0, 25.0, 40.0, 0},       // 46
    {PK_LIST, 1, 0, 0, 0.0, 0.0, 0.0, 32},            // 47
    {PK_LIST, 1, 0, 0, 0.0, 0.0, 0.0, 32},            // 48
    {PK_LIST, 1, 0, 0, 0.0, 0.0, 0.0, 2},             // 49
    {PK_INTEGER, 4095, 0, 30, 0.0, 0.0, 0.0, 0},      // 50
    {PK_INTEGER, 31, 0, 30, 0.0, 0.0, 0.0, 0},        // 51
    {PK_LIST, 15, 0, 1, 0.0, 0.0, 0.0, 16},           // 52
    {PK_INTEGER, 139, 0, 30, 0.0, 0.0, 0.0, 0},       // 53
    {PK_LIST, 1, 0, 0, 0.0, 0.0, 0.0, 2},             // 54
    {PK_LIST, 2, 0, 0, 0.0, 0.0, 0.0, 3},             // 55
    {PK_REAL, 1, 0, 30, 5.0, 0.5, 0.5, 3},            // 56
    {PK_INTEGER, 20, 1, 10, 0.0, 0.0, 0.0, 0},        // 57
    {PK_LIST, 1, 0, 0, 0.0, 0.0, 0.0, 2},             // 58
    {PK_INTEGER, 100, 0, 30, 0.0, 0.0, 0.0, 0},       // 59
    {PK_INTEGER, 40, 0, 30, 0.0, 0.0, 0.0, 0},        // 60
    {PK_LIST, 4, 0, 0, 0.0, 0.0, 0.0, 5},             // 61
    {PK_LIST, 13, 1, 1, 0.0, 0.0, 0.0, 4},            // 62
    {PK_INTEGER, 9999, 1000, 2700, 0.0, 0.0, 0.0, 0}, // 63
    {PK_INTEGER, 9000, 0, 0, 0.0, 0.0, 0.0, 0},       // 64
    {PK_INTEGER, 99, 0, 7, 0.0, 0.0, 0.0, 0},         // 65
    {PK_INTEGER, 11, 0, 0, 0.0, 0.0, 0.0, 0},         // 66
    {PK_INTEGER, 30, 0, 0, 0.0, 0.0, 0.0, 0},         // 67
    {PK_INTEGER, 23, 0, 0, 0.0, 0.0, 0.0, 0},         // 68
    {PK_INTEGER, 59, 0, 0, 0.0, 0.0, 0.0, 0},         // 69
    {PK_INTEGER, 59, 0, 0, 0.0, 0.0, 0.0, 0},         // 70
    {PK_INTEGER, 100, 10, 10, 0.0, 0.0, 0.0, 0},      // 71
    {PK_REAL, 4095, 0, 30, 4095.0, 0.0, 30.0, 0},     // 72
    {PK_REAL, 4095, 0, 50, 4095.0, 0.0, 50.0, 0},     // 73
    {PK_REAL, 4095, 0, 100, 4095.0, 0.0, 100.0, 0},   // 74
    {PK_REAL, 4095, 0, 90, 4095.0, 0.0, 90.0, 0},     // 75
    {PK_REAL, 1000, 0, 100, 4095.0, 0.0, 1.0, 0},     // 76
    {PK_REAL, 1000, 0, 100, 4095.0, 0.0, 1.0, 0},     // 77
    {PK_REAL, 1000, 0, 100, 4095.0, 0.0, 1.0, 0},     // 78
    {PK_REAL, 1000, 0, 100, 4095.0, 0.0, 1.0, 0},     // 79
    {PK_LIST, 20, 0, 0, 0.0, 0.0, 0.0, 21},           // 80
    {PK_REAL, 1000, 0, 100, 4095.0, 0.0, 1.0, 0},     // 81
    {PK_REAL, 1000, 0, 100, 4095.0, 0.0, 1.0, 0},     // 82
    {PK_REAL, 1000, 0, 100, 4095.0, 0.0, 0.0, 0},     // 83
    {PK_REAL, 1000, 0, 100, 150.0, 0.0, 1.0, 0},      // 84
}};

const std::array<const char*, ParamCount> ParamNames = {
    "DEVICE_KIND",
    "DEVICE_VERSION",
    "DEVICE_VARIANT",
    "CONFIGURATION #",
    "CONFIGURATION INDEX",
    "CONFIGURATION_NAME",
    "MAP_VERTIC_POINTS_QUAN",
    "MAP_HORIZ_POINTS_QUAN",
    "MAP_VERTIC_STEP",
    "MAP_HORIZ_STEP",
    "MAP_SCANNING_ORDER",
    "MAP_KURSOR_VERTICAL_POINT",
    "MAP_KURSOR_HORIZON_POINT",
    "MAP_AUX_AREA_CONTENT",
    "BAND_LAST_ASCAN",
    "BAND_CURRENT_ASCAN",
    "BAND_STEP",
    "BAND_ELEMENT_WIDTH_INDEX",
    "BAND_AUTO_END",
    "BAND_SHIFT",
    "ASCAN_STROB1_BEGIN",
    "ASCAN_STROB2_BEGIN",
    "ASCAN_STROB1_END",
    "ASCAN_STROB2_END",
    "ASCAN_STROB1_Y",
    "ASCAN_STROB2_Y",
    "ASCAN_KURSORS_QUANT",
    "ASCAN_KURSOR1_ENABLED",
    "ASCAN_KURSOR2_ENABLED",
    "ASCAN_KURSOR1_LUPA_PIXEL_POS",
    "ASCAN_KURSOR2_LUPA_PIXEL_POS",
    "ASCAN_KURSOR1_IN_LUPA",
    "ASCAN_KURSOR2_IN_LUPA",
    "ASCAN_STROB1_ENABLED",
    "ASCAN_STROB2_ENABLED",
    "ASCAN_SCALE_DIMENSION",
    "ASCAN_FULL_OVR_PRINT",
    "ASCAN_PIXEL_LENGTH",
    "ASCAN_SIGNAL_CATCH_ALGORYTHM",
    "GEN_SIGNAL_TYPE",
    "GEN_SCREEN_TYPE",
    "GEN_PREV_SCREEN_TYPE",
    "GEN_POISK_LEVEL",
    "GEN_CUTOFF_LEVEL",
    "GEN_INDEX_MARK_MKS",
    "GEN_INDEX_MARK_MM",
    "GEN_DOTS_PER_CELL",
    "GEN_TGV_GAIN",
    "GEN_TGV_POS",
    "GEN_TGV_ENABLED",
    "GEN_TGV_CURSOR_POS",
    "GEN_TGV_ACTIVE_PTS",
    "PRB_FREQ_INDEX",
    "PRB_DELAY",
    "PRB_TYPE",
    "ANL_ZONDER_VOLTAGE_INDEX",
    "ANL_ZONDER_PERIODS_QUANT",
    "SYS_REFRESH_FREQ",
    "ANL_FILTER_BAND_INDEX",
    "ANL_ATTENUATOR_COUNT1",
    "ANL_ATTENUATOR_COUNT2",
    "ANL_AVERAGER_INDEX",
    "ANL_BARKER_ORDER",
    "OBJ_USONIC_VELOCITY",
    "GTM_GLOBAL_WORKTIME",
    "GTM_SNAP_YEAR",
    "GTM_SNAP_MONTH",
    "GTM_SNAP_DAY",
    "GTM_SNAP_HOUR",
    "GTM_SNAP_MINUTE",
    "GTM_SNAP_SECOND",
    "MAP_STEP",
    "ASCAN_STROB1_BEGIN_TIME",
    "ASCAN_STROB2_BEGIN_TIME",
    "ASCAN_STROB1_LENGTH_TIME",
    "ASCAN_STROB2_LENGTH_TIME",
    "ASCAN_KURSOR1_TIME",
    "ASCAN_KURSOR2_TIME",
    "ASCAN_KURSOR1_LUPA_TIME",
    "ASCAN_KURSOR2_LUPA_TIME",
    "CONFIG_STRINGS_QUANT",
    "ASCAN_STROB1_BEGIN_MM",
    "ASCAN_STROB1_LENGTH_MM",
    "ASCAN_AUX_TIME",
    "ASCAN_STROB1_GAIN_DB",
};

const std::array<std::uint16_t, ParamCount> ParamCaptions = {
    60, 61, 62, 63,  64,  65,  66,  67,  68,  69,  0,   70,  71,  0,   72,  73,  74,
    0,  0,  0,  118, 119, 120, 121, 75,  76,  122, 127, 128, 129, 130, 131, 132, 77,
    78, 79, 80, 81,  133, 82,  0,   0,   0,   0,   0,   0,   0,   0,   0,   83,  0,
    0,  84, 85, 86,  87,  88,  89,  90,  91,  92,  93,  94,  95,  0,   0,   0,   0,
    0,  0,  0,  96,  97,  98,  99,  100, 123, 124, 125, 126, 157, 116, 117, 134, 348,
};

// The text for the index mark in millimetres is this program's own: the language files have none.
const std::array<TParamRangeMessage, ParamCount> ParamRangeMessages = {{
    {0, nullptr},                                        // 0
    {0, nullptr},                                        // 1
    {0, nullptr},                                        // 2
    {0, nullptr},                                        // 3
    {0, nullptr},                                        // 4
    {21, nullptr},                                       // 5
    {24, nullptr},                                       // 6
    {26, nullptr},                                       // 7
    {27, nullptr},                                       // 8
    {29, nullptr},                                       // 9
    {30, nullptr},                                       // 10
    {31, nullptr},                                       // 11
    {32, nullptr},                                       // 12
    {33, nullptr},                                       // 13
    {34, nullptr},                                       // 14
    {35, nullptr},                                       // 15
    {36, nullptr},                                       // 16
    {37, nullptr},                                       // 17
    {38, nullptr},                                       // 18
    {39, nullptr},                                       // 19
    {41, nullptr},                                       // 20
    {0, "Strobe 2 begin should be in range of "},        // 21
    {43, nullptr},                                       // 22
    {0, "Strobe 2 end should be in range of "},          // 23
    {44, nullptr},                                       // 24
    {0, "Strobe 2 level should be in range of "},        // 25
    {45, nullptr},                                       // 26
    {48, nullptr},                                       // 27
    {50, nullptr},                                       // 28
    {52, nullptr},                                       // 29
    {54, nullptr},                                       // 30
    {55, nullptr},                                       // 31
    {56, nullptr},                                       // 32
    {57, nullptr},                                       // 33
    {0, "Strobe 2 enabled flag should be in range of "}, // 34
    {58, nullptr},                                       // 35
    {59, nullptr},                                       // 36
    {60, nullptr},                                       // 37
    {61, nullptr},                                       // 38
    {62, nullptr},                                       // 39
    {63, nullptr},                                       // 40
    {64, nullptr},                                       // 41
    {65, nullptr},                                       // 42
    {66, nullptr},                                       // 43
    {0, "Mks markup index should be in range of "},      // 44
    {0, "Mm markup index should be in range of "},       // 45
    {0, "Dots per cell \"mm\" should be in range of "},  // 46
    {0, nullptr},                                        // 47
    {0, nullptr},                                        // 48
    {67, nullptr},                                       // 49
    {68, nullptr},                                       // 50
    {69, nullptr},                                       // 51
    {71, nullptr},                                       // 52
    {72, nullptr},                                       // 53
    {73, nullptr},                                       // 54
    {74, nullptr},                                       // 55
    {75, nullptr},                                       // 56
    {70, nullptr},                                       // 57
    {76, nullptr},                                       // 58
    {78, nullptr},                                       // 59
    {77, nullptr},                                       // 60
    {79, nullptr},                                       // 61
    {0, "Barker order should be in range of "},          // 62
    {80, nullptr},                                       // 63
    {0, nullptr},                                        // 64
    {0, "Year should be in range of "},                  // 65
    {0, "Month should be in range of "},                 // 66
    {0, "Day should be in range of "},                   // 67
    {0, "Hour should be in range of "},                  // 68
    {0, "Minute should be in range of "},                // 69
    {0, "Second should be in range of "},                // 70
    {28, nullptr},                                       // 71
    {40, nullptr},                                       // 72
    {0, "Strobe 2 begin should be in range of "},        // 73
    {42, nullptr},                                       // 74
    {0, "Strobe 2 length should be in range of "},       // 75
    {47, nullptr},                                       // 76
    {49, nullptr},                                       // 77
    {51, nullptr},                                       // 78
    {53, nullptr},                                       // 79
    {25, nullptr},                                       // 80
    {40, nullptr},                                       // 81
    {42, nullptr},                                       // 82
    {46, nullptr},                                       // 83
    {44, nullptr},                                       // 84
}};

const std::array<const char*, 16> ProbeFrequencyStrings = {
    "15.0", "20.0", "25.0", "30.0", "35.0",  "40.0",  "45.0",  "50.0",
    "55.0", "60.0", "70.0", "85.0", "100.0", "125.0", "170.0", "250.0",
};

const std::array<std::uint8_t, 3> ZonderVoltageTable = {20, 100, 200};
const std::array<std::uint8_t, 5> AveragerTable = {1, 2, 4, 8, 16};
const std::array<std::uint8_t, 4> PixelsPerScanTable = {2, 4, 8, 16};
const std::array<const char*, 5> MaxMksRangeStrings = {"325", "450", "800", "1200", "1600"};

namespace {

template <typename T, std::size_t N> std::string textAt(const std::array<T, N>& table, int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= N) {
        return {};
    }
    return table[static_cast<std::size_t>(index)];
}

template <typename T, std::size_t N> T nearestAt(const std::array<T, N>& table, int index) {
    return table[static_cast<std::size_t>(std::clamp(index, 0, static_cast<int>(N) - 1))];
}

} // namespace

std::string ProbeFrequencyString(int index) {
    return textAt(ProbeFrequencyStrings, index);
}

std::string MaxMksRangeString(int index) {
    return textAt(MaxMksRangeStrings, index);
}

std::uint8_t ZonderVoltage(int index) {
    return nearestAt(ZonderVoltageTable, index);
}

std::uint8_t Averager(int index) {
    return nearestAt(AveragerTable, index);
}

std::uint8_t PixelsPerScan(int index) {
    return nearestAt(PixelsPerScanTable, index);
}
