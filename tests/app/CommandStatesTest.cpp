// The pure tables of the main window: which commands can run, the function keys of each page and
// the grid sizes.
#include "app/ActionStates.h"
#include "app/GridLayout.h"
#include "app/Keys.h"

#include <gtest/gtest.h>

namespace {

using app::ComputeActionStates;
using app::TActionStateInputs;

TEST(CommandStates, NavigationAndEraseFollowCountAndPosition) {
    struct Case {
        std::uint16_t count, current;
        bool back, forward, any, erase;
    };
    const Case cases[] = {
        {0, 0, false, false, false, false}, {1, 0, false, false, true, false},
        {2, 0, false, true, true, true},    {2, 1, true, false, true, true},
        {3, 1, true, true, true, true},     {3, 2, true, false, true, true},
    };
    for (const Case& c : cases) {
        TActionStateInputs in;
        in.connected = true;
        in.configs = in.ascans = in.bands = in.maps = {c.count, c.current};
        const auto s = ComputeActionStates(in);
        for (const auto* g : {&s.ascans, &s.bands, &s.maps}) {
            EXPECT_EQ(g->nav.first, c.back) << c.count << "/" << c.current;
            EXPECT_EQ(g->nav.prev, c.back);
            EXPECT_EQ(g->nav.next, c.forward);
            EXPECT_EQ(g->nav.last, c.forward);
            EXPECT_EQ(g->records, c.any);
            EXPECT_EQ(g->erase, c.erase);
        }
        EXPECT_EQ(s.configNav.first, c.back);
        EXPECT_EQ(s.configNav.next, c.forward);
        EXPECT_EQ(s.configs, c.any);
        EXPECT_EQ(s.sendConfigs, c.any);
        EXPECT_EQ(s.configCommentsReadOnly, !c.any);
    }
}

TEST(CommandStates, ConnectionKindAndMarkup) {
    struct Case {
        bool connected, fullKind, modified;
        std::uint32_t markupAScans, markupBands;
        bool flashTab, receiveAScans, receiveBands, apply, clearAScans, clearBands;
    };
    const Case cases[] = {
        {false, true, false, 5, 3, false, false, false, false, false, false},
        {true, true, false, 5, 3, true, true, true, false, true, true},
        // An instrument of the other kind keeps no bands or maps, and its memory is not laid out.
        {true, false, false, 5, 3, false, true, false, false, true, true},
        {true, true, true, 5, 3, true, true, true, true, false, false},
        {true, true, false, 0, 3, true, true, true, false, false, true},
    };
    for (const Case& c : cases) {
        TActionStateInputs in;
        in.connected = c.connected;
        in.fullKind = c.fullKind;
        in.markupModified = c.modified;
        in.markupAScans = c.markupAScans;
        in.markupBands = c.markupBands;
        const auto s = ComputeActionStates(in);
        EXPECT_EQ(s.flashTabVisible, c.flashTab);
        EXPECT_EQ(s.ascans.receive, c.receiveAScans);
        EXPECT_EQ(s.receiveConfigs, c.connected);
        EXPECT_EQ(s.disconnect, c.connected);
        EXPECT_EQ(s.bands.receive, c.receiveBands);
        EXPECT_EQ(s.maps.receive, c.receiveBands);
        EXPECT_EQ(s.applyMarkup, c.apply);
        EXPECT_EQ(s.clearAScans, c.clearAScans);
        EXPECT_EQ(s.clearBands, c.clearBands);
        EXPECT_FALSE(s.clearMaps);
        EXPECT_FALSE(s.sendConfigs); // no configurations
    }
}

TEST(Keys, TablesOfThePages) {
    EXPECT_EQ(app::PlainKeyCommand(0, 1), "ReceiveConfigsAction");
    EXPECT_EQ(app::PlainKeyCommand(4, 2), "ClearAScansAction");
    EXPECT_EQ(app::PlainKeyCommand(3, 5), "CopyMapImageAction");
    EXPECT_EQ(app::PlainKeyCommand(1, 12), "PrintAScanReportAction");
    // Keys that do nothing.
    for (int page = 1; page <= 3; ++page) {
        EXPECT_TRUE(app::PlainKeyCommand(page, 2).empty());
    }
    EXPECT_TRUE(app::PlainKeyCommand(0, 5).empty());
    for (int page = 0; page < 5; ++page) {
        EXPECT_TRUE(app::PlainKeyCommand(page, 10).empty());
    }
    for (int fn = 6; fn <= 12; ++fn) {
        EXPECT_TRUE(app::PlainKeyCommand(4, fn).empty());
    }
    EXPECT_TRUE(app::PlainKeyCommand(5, 1).empty());
    EXPECT_TRUE(app::PlainKeyCommand(0, 13).empty());
    EXPECT_EQ(app::ShiftKeyPage(3), 2);
    EXPECT_EQ(app::ShiftKeyPage(6), -1);
    EXPECT_EQ(app::CtrlDigitButton(6), 5);
    EXPECT_EQ(app::CtrlDigitButton(7), -1);
}

TEST(GridLayout, HalvesGoToTheEvenNeighbour) {
    EXPECT_EQ(app::SelectorColumnWidths(211), (std::vector<int>{32, 143, 32}));
    EXPECT_EQ(app::SelectorColumnWidths(259), (std::vector<int>{40, 176, 40}));
    EXPECT_EQ(app::ValueGridRowHeight(105, 4), 26);
    EXPECT_EQ(app::ValueGridRowHeight(101, 4), 24);
    EXPECT_EQ(app::ValueGridRowHeight(40, 1), 40);
    EXPECT_EQ(app::ValueGridColumnWidths(202), (std::vector<int>{140, 60}));
    EXPECT_EQ(app::ParamListColumnWidths(342), (std::vector<int>{255, 85}));
}

} // namespace
