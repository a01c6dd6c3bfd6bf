// Which commands of the main window can run, computed from the connection, the flash markup and
// the four lists. Pure, so the whole table is checked without a window.
#pragma once

#include <cstdint>

namespace app {

struct TListPosition {
    std::uint16_t count = 0;
    std::uint16_t current = 0;
    bool any() const { return count > 0; }
    bool canGoBack() const { return count > 0 && current > 0; }
    bool canGoForward() const { return count > 0 && current + 1 < count; }
    bool canErase() const { return count >= 2; }
};

struct TActionStateInputs {
    bool connected = false;
    // The flash markup announces the instrument kind that keeps bands and maps (true without a
    // markup object).
    bool fullKind = true;
    bool markupModified = false;
    std::uint32_t markupAScans = 0;
    std::uint32_t markupBands = 0;
    std::uint32_t markupMaps = 0;
    TListPosition configs, ascans, bands, maps;
};

struct TNavigationStates {
    bool first = false, prev = false, next = false, last = false;
};

struct TRecordGroupStates {
    bool receive = false;
    bool records = false; // save, save selected, print, copy, comments, and the page's tools
    bool erase = false;
    TNavigationStates nav;
};

struct TActionStates {
    bool flashTabVisible = false;
    bool disconnect = false;
    bool receiveConfigs = false;
    bool sendConfigs = false;
    bool configs = false; // save configurations and the six parameter buttons
    bool configCommentsReadOnly = true;
    TNavigationStates configNav;
    TRecordGroupStates ascans, bands, maps;
    bool applyMarkup = false; // and undo
    bool clearAScans = false, clearBands = false, clearMaps = false;
};

TActionStates ComputeActionStates(const TActionStateInputs& in);

} // namespace app
