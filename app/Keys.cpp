#include "app/Keys.h"

#include <array>

namespace app {

namespace {

using Row = std::array<std::string_view, MainPageCount>;

// F1..F12, pages setup, A-scans, bands, maps, flash markup.
constexpr std::array<Row, 12> PlainKeys = {{
    {"ReceiveConfigsAction", "ReceiveAScansAction", "ReceiveBandsFromDeviceAction",
     "ReceiveMapsFromDeviceAction", "ApplyNewFlashMarkupAction"},
    {"SendConfigsAction", "", "", "", "ClearAScansAction"},
    {"OpenConfigsAction", "LoadAScansFromFileAction", "LoadBandsFromFileAction",
     "LoadMapsFromFileAction", "ClearBandsAction"},
    {"SaveConfigsAction", "SaveAScansToFileAction", "SaveBandsToFileAction",
     "SaveMapsToFileAction", "ClearMapsAction"},
    {"", "CopyAScanImageToClpBrdAction", "CopyBandAction", "CopyMapImageAction",
     "UndoChangesAction"},
    {"FirstConfigAction", "FirstAScanAction", "ShowFirstBandAction", "ShowFirstMapAction", ""},
    {"PrevConfigAction", "PrevAScanAction", "ShowPrevBandAction", "ShowPrevMapAction", ""},
    {"NextConfigAction", "NextAScanAction", "ShowNextBandAction", "ShowNextMapAction", ""},
    {"LastConfigAction", "LastAScanAction", "ShowLastBandAction", "ShowLastMapAction", ""},
    {"", "", "", "", ""},
    {"", "AddViewAScanCommentsAction", "AddViewBandsCommentsAction", "AddViewMapsCommentsAction",
     ""},
    {"", "PrintAScanReportAction", "PrintBandReportAction", "PrintMapReportAction", ""},
}};

} // namespace

std::string_view PlainKeyCommand(int page, int functionKey) {
    if (page < 0 || page >= MainPageCount || functionKey < 1 || functionKey > 12) {
        return {};
    }
    return PlainKeys[static_cast<std::size_t>(functionKey - 1)][static_cast<std::size_t>(page)];
}

int ShiftKeyPage(int functionKey) {
    return functionKey >= 1 && functionKey <= MainPageCount ? functionKey - 1 : -1;
}

int CtrlDigitButton(int digit) { return digit >= 1 && digit <= 6 ? digit - 1 : -1; }

} // namespace app
