// The number formatter of the main window's read-outs and the unit switch of the
// measure-conditions grid.
#pragma once

#include <array>
#include <cstdint>
#include <string>

// The value in fixed-point notation with 10 significant digits and `decimals` decimals, always
// written with a point whatever the user's separator.
std::string FloatToDotStr(int decimals, double value);

// Parameter numbers of the measure-conditions grid, in row order. The first two rows show strobe 1
// in time or in millimetres, following the A-scan scale dimension.
extern std::array<std::uint16_t, 4> MeasureConditionParams;

// Scale dimension non-zero: rows 0-1 show parameters 81, 82 (millimetres); 0: 72, 74 (time).
void SetMeasureConditionUnits(std::uint8_t scaleDimension);
