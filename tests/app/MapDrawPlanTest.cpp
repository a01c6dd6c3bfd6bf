// The maps page's drawing plan: which views a view set renders anew or redraws from the cache,
// and the mouse table row by row.
#include "app/pages/MapDrawPlan.h"

#include <gtest/gtest.h>

namespace {

using app::MapMouseView;
using app::PlanMapDraw;
using app::PlanMapMouse;
using app::TMapDrawPlan;
using app::TMapMouseStep;

TEST(MapDrawPlan, ViewSets) {
    struct Row {
        unsigned views;
        TMapDrawPlan plan; // aScan, renderB, D, C, redrawB, D, C, gradator
    };
    const Row rows[] = {
        {0, {}},
        {1, {true, false, false, false, false, false, false, false}},
        {32, {false, false, false, false, false, false, false, true}},
        {2 + 4 + 8, {false, true, true, true, false, false, false, false}},
        // The cache bit alone: every view again with fresh cursors, the A-scan drawn again.
        {16, {true, false, false, false, true, true, true, false}},
        {1 + 2 + 16, {true, true, false, false, false, true, true, false}},
        {1 + 4 + 16, {true, false, true, false, true, false, true, false}},
        {1 + 8 + 16, {true, false, false, true, true, true, false, false}},
        {8 + 16, {true, false, false, true, true, true, false, false}},
        {31, {true, true, true, true, false, false, false, false}},
        {63, {true, true, true, true, false, false, false, true}},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(PlanMapDraw(r.views), r.plan) << r.views;
    }
}

TEST(MapDrawPlan, MouseTable) {
    struct Row {
        MapMouseView view;
        bool x, y, press;
        TMapMouseStep step; // marker, row, column, views
    };
    using V = MapMouseView;
    const Row rows[] = {
        // C-scan: Y the row, X the column.
        {V::CScan, false, true, true, {false, true, false, 1 + 2 + 16}},
        {V::CScan, false, true, false, {false, true, false, 1 + 2 + 16}},
        {V::CScan, true, false, true, {false, false, true, 1 + 4 + 16}},
        {V::CScan, true, true, true, {false, true, true, 31}},
        {V::CScan, true, true, false, {false, true, true, 23}},
        // D-scan: Y the row, X the depth marker, which the C-scan shows too.
        {V::DScan, false, true, true, {false, true, false, 2 + 8 + 16}},
        {V::DScan, true, false, true, {true, false, false, 1 + 8 + 16}},
        {V::DScan, true, false, false, {true, false, false, 1 + 8 + 16}},
        {V::DScan, true, true, true, {true, true, false, 31}},
        {V::DScan, true, true, false, {true, true, false, 27}},
        // B-scan: Y the depth marker, X the column, which the D-scan shows too.
        {V::BScan, false, true, true, {true, false, false, 4 + 8 + 16}},
        {V::BScan, true, false, true, {false, false, true, 1 + 4 + 16}},
        {V::BScan, true, false, false, {false, false, true, 1 + 4 + 16}},
        {V::BScan, true, true, true, {true, false, true, 31}},
        {V::BScan, true, true, false, {true, false, true, 29}},
        // The upright A-scan: its depth alone.
        {V::AScan, false, true, true, {true, false, false, 2 + 4 + 8 + 16}},
        {V::AScan, false, true, false, {true, false, false, 8 + 16}},
        {V::AScan, true, false, true, {}},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(PlanMapMouse(r.view, r.x, r.y, r.press), r.step)
            << int(r.view) << " x" << r.x << " y" << r.y << " press" << r.press;
    }
    // A position that repeats the last one moves and draws nothing on any view.
    for (V v : {V::CScan, V::DScan, V::BScan, V::AScan}) {
        for (bool press : {true, false}) {
            EXPECT_EQ(PlanMapMouse(v, false, false, press), TMapMouseStep{}) << int(v);
        }
    }
}

} // namespace
