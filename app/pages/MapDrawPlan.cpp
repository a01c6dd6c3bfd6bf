#include "app/pages/MapDrawPlan.h"

namespace app {

TMapDrawPlan PlanMapDraw(unsigned views) {
    TMapDrawPlan p;
    const bool cached = (views & MapRedrawCached) != 0;
    p.renderB = (views & MapBScanView) != 0;
    p.renderD = (views & MapDScanView) != 0;
    p.renderC = (views & MapCScanView) != 0;
    p.redrawB = cached && !p.renderB;
    p.redrawD = cached && !p.renderD;
    p.redrawC = cached && !p.renderC;
    p.aScan = (views & MapAScanView) != 0 || cached;
    p.gradator = (views & MapGradatorView) != 0;
    return p;
}

TMapMouseStep PlanMapMouse(MapMouseView view, bool xChanged, bool yChanged, bool press) {
    TMapMouseStep s;
    const bool both = xChanged && yChanged;
    switch (view) {
    case MapMouseView::CScan:
        // The column shows on the D-scan, the row on the B-scan.
        if (both) {
            s.column = s.row = true;
            s.views = press ? 31u : 23u;
        } else if (yChanged) {
            s.row = true;
            s.views = 1 + 2 + 16;
        } else if (xChanged) {
            s.column = true;
            s.views = 1 + 4 + 16;
        }
        break;
    case MapMouseView::DScan:
        // The C-scan shows the grid at the marker's depth, so a marker move renders it anew.
        if (both) {
            s.marker = s.row = true;
            s.views = press ? 31u : 27u;
        } else if (yChanged) {
            s.row = true;
            s.views = 2 + 8 + 16;
        } else if (xChanged) {
            s.marker = true;
            s.views = 1 + 8 + 16;
        }
        break;
    case MapMouseView::BScan:
        // The D-scan shows the cursor column, so a column move renders it anew.
        if (both) {
            s.marker = s.column = true;
            s.views = press ? 31u : 29u;
        } else if (yChanged) {
            s.marker = true;
            s.views = 4 + 8 + 16;
        } else if (xChanged) {
            s.column = true;
            s.views = 1 + 4 + 16;
        }
        break;
    case MapMouseView::AScan:
        if (yChanged) {
            s.marker = true;
            s.views = press ? 2u + 4 + 8 + 16 : 8u + 16;
        }
        break;
    }
    return s;
}

} // namespace app
