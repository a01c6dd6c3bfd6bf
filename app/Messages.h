// The messages of the window's commands: an error from the error list under a title from the same
// list, and the warning question with Yes and No.
#pragma once

#include <string>

namespace app {

// Error message `textNumber` under error message `titleNumber`, with the stop icon.
void ShowErrorMessage(int textNumber, int titleNumber);

// True when the user answered Yes.
bool AskYesNo(const std::string& cp1251Text);

} // namespace app
