#include "app/Messages.h"

#include "config/LocalStringsUnit.h"
#include "platform/ui/MessageBox.h"

namespace app {

using platform::ui::MessageButtons;
using platform::ui::MessageIcon;
using platform::ui::MessageResult;

void ShowErrorMessage(int textNumber, int titleNumber) {
    platform::ui::messageBoxes().show(GetErrMsgString(textNumber), GetErrMsgString(titleNumber),
                                      MessageIcon::Error, MessageButtons::Ok);
}

bool AskYesNo(const std::string& cp1251Text) {
    return platform::ui::messageBoxes().show(cp1251Text, "Warning", MessageIcon::Warning,
                                             MessageButtons::YesNo) == MessageResult::Yes;
}

} // namespace app
