// Column widths and row heights of the selector and value grids, from the grids' client sizes.
#pragma once

#include <vector>

namespace app {

// Selector grids: (W-3)/16 times 2.5, 11 and 2.5.
std::vector<int> SelectorColumnWidths(int clientWidth);
// Parameter lists beside the record views: (W-2)/10 times 7.5 and 2.5.
std::vector<int> ParamListColumnWidths(int clientWidth);
// The configuration page's value grids: (W-2)/10 times 7 and 3.
std::vector<int> ValueGridColumnWidths(int clientWidth);
// Rows of equal height in a grid of the given client height: (H-3)/rows, one row: H.
int ValueGridRowHeight(int clientHeight, int rows);

} // namespace app
