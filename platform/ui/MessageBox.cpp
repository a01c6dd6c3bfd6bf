#include "platform/ui/MessageBox.h"

#include "platform/text/Cp1251.h"

#include <cstdio>

namespace platform::ui {

namespace {

class StderrMessageBoxes : public MessageBoxService {
public:
    MessageResult show(const std::string& text, const std::string& title, MessageIcon,
                       MessageButtons buttons) override {
        std::fprintf(stderr, "%s: %s\n", text::cp1251ToUtf8(title).c_str(),
                     text::cp1251ToUtf8(text).c_str());
        return buttons == MessageButtons::Ok || buttons == MessageButtons::OkCancel
                   ? MessageResult::Ok
                   : MessageResult::Yes;
    }
};

MessageBoxService*& installed() {
    static MessageBoxService* service = nullptr;
    return service;
}

} // namespace

MessageBoxService& messageBoxes() {
    static StderrMessageBoxes fallback;
    MessageBoxService* s = installed();
    return s ? *s : fallback;
}

void setMessageBoxService(MessageBoxService* service) {
    installed() = service;
}

MessageResult ScriptedMessageBoxes::show(const std::string& text, const std::string& title,
                                         MessageIcon icon, MessageButtons buttons) {
    shown.push_back({text, title, icon, buttons});
    if (!answers.empty()) {
        const MessageResult r = answers.front();
        answers.pop_front();
        return r;
    }
    return defaultAnswer;
}

ScopedMessageBoxService::ScopedMessageBoxService(MessageBoxService* service)
    : previous_(installed()) {
    installed() = service;
}

ScopedMessageBoxService::~ScopedMessageBoxService() {
    installed() = previous_;
}

} // namespace platform::ui
