#include "config/AuxilaryFunctionsUnit.h"

#include "platform/text/Numbers.h"

std::array<std::uint16_t, 4> MeasureConditionParams = {72, 74, 84, 59};

std::string FloatToDotStr(int decimals, double value) {
    // Formatting with the user's separator and then turning every comma into a point gives the
    // same text as formatting with a point directly.
    std::string s = platform::text::formatFixed(value, decimals, '.', 10);
    for (char& c : s) {
        if (c == ',') {
            c = '.';
        }
    }
    return s;
}

void SetMeasureConditionUnits(std::uint8_t scaleDimension) {
    if (scaleDimension != 0) {
        MeasureConditionParams[0] = 81;
        MeasureConditionParams[1] = 82;
    } else {
        MeasureConditionParams[0] = 72;
        MeasureConditionParams[1] = 74;
    }
}
