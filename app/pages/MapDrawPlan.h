// What the maps page draws: which of its views a DrawMap call renders anew, which it shows again
// from the cached picture with fresh cursor lines, and what a mouse action on each view moves and
// redraws. Pure functions, so every row of the mouse table is checked without a window.
#pragma once

#include <cstdint>

namespace app {

// The view set of a DrawMap call (several bits may be given at once).
enum MapViewBits : unsigned {
    MapAScanView = 1,     // the A-scan at the map cursor
    MapBScanView = 2,     // the B-scan rendered anew
    MapDScanView = 4,     // the D-scan rendered anew
    MapCScanView = 8,     // the C-scan rendered anew
    MapRedrawCached = 16, // every view of 1..8 not rendered anew: cached picture, fresh cursors
    MapGradatorView = 32, // the colour gradator
    MapAllViews = 63,
};

struct TMapDrawPlan {
    bool aScan = false; // drawn (it has no cache: "redrawn" is drawn again)
    bool renderB = false, renderD = false, renderC = false;
    bool redrawB = false, redrawD = false, redrawC = false;
    bool gradator = false;
    friend bool operator==(const TMapDrawPlan&, const TMapDrawPlan&) = default;
};

TMapDrawPlan PlanMapDraw(unsigned views);

// The views of the maps page that answer the mouse.
enum class MapMouseView { CScan, DScan, BScan, AScan };

// What one press or move does: the cursors it moves, in the order given by the view (the C-scan
// moves the column before the row, the D-scan and B-scan the marker before the row or column),
// and the views drawn after. Nothing moves and nothing is drawn when no coordinate that the
// view uses changed.
struct TMapMouseStep {
    bool marker = false; // the depth marker (cursor 1)
    bool row = false;
    bool column = false;
    unsigned views = 0;
    friend bool operator==(const TMapMouseStep&, const TMapMouseStep&) = default;
};

TMapMouseStep PlanMapMouse(MapMouseView view, bool xChanged, bool yChanged, bool press);

} // namespace app
