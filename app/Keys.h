// The keyboard of the main window as data: which command a function key runs on each page, and
// which page a Shift key selects. The window's key hook looks the commands up here.
#pragma once

#include <string_view>

namespace app {

enum class MainPage : int { Setup = 0, AScans = 1, Bands = 2, Maps = 3, Flash = 4 };
inline constexpr int MainPageCount = 5;

// The object name of the action a plain function key runs on a page (F1..F12 as 1..12), or an
// empty view when the key does nothing there. Two A-scan entries name handlers, not actions: the
// caller runs them only when the A-scan list is not empty.
std::string_view PlainKeyCommand(int page, int functionKey);

// The page that Shift+F1..F5 selects, or -1.
int ShiftKeyPage(int functionKey);

// The parameter button Ctrl+1..6 clicks on the setup page (0..5), or -1.
int CtrlDigitButton(int digit);

} // namespace app
