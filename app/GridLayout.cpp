#include "app/GridLayout.h"

#include "platform/text/Numbers.h"

namespace app {

namespace {

int nearest(double v) { return platform::text::roundTo<int>(v); }

std::vector<int> scaled(double unit, std::initializer_list<double> factors) {
    std::vector<int> out;
    for (double f : factors) {
        out.push_back(nearest(unit * f));
    }
    return out;
}

} // namespace

std::vector<int> SelectorColumnWidths(int w) { return scaled((w - 3) / 16.0, {2.5, 11, 2.5}); }
std::vector<int> ParamListColumnWidths(int w) { return scaled((w - 2) / 10.0, {7.5, 2.5}); }
std::vector<int> ValueGridColumnWidths(int w) { return scaled((w - 2) / 10.0, {7, 3}); }

int ValueGridRowHeight(int h, int rows) {
    return rows <= 1 ? h : nearest((h - 3) / static_cast<double>(rows));
}

} // namespace app
