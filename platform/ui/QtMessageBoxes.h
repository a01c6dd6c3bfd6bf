// The message boxes the user sees: the message-box service over Qt's standard dialog. Installed by
// the program at start-up; the texts arrive as Windows-1251 and are shown as Unicode.
#pragma once

#include "platform/ui/MessageBox.h"

#include <QString>

namespace platform::ui {

// Modal to the whole application and parented to the active window, so the box stays above the
// program and blocks every one of its windows until answered. Esc answers Cancel, or No when the
// box has no Cancel (Ok when it has neither); the first button is the default.
class QtMessageBoxService : public MessageBoxService {
public:
    MessageResult show(const std::string& text, const std::string& title, MessageIcon icon,
                       MessageButtons buttons) override;
};

// A Windows-1251 text for a widget: Unicode, with CR LF and bare CR line breaks made into the
// line feeds Qt breaks lines at.
QString displayText(const std::string& cp1251);

} // namespace platform::ui
