// Modal message boxes behind a small interface: the program installs the Qt dialogs at start-up,
// tests install a scripted version that records every box and answers from a script.
#pragma once

#include <deque>
#include <string>
#include <vector>

namespace platform::ui {

enum class MessageIcon { None, Error, Warning, Question, Information };
enum class MessageButtons { Ok, YesNo, YesNoCancel, OkCancel };
enum class MessageResult { Ok, Cancel, Yes, No };

// Texts are Windows-1251 bytes, as the model keeps them.
class MessageBoxService {
public:
    virtual ~MessageBoxService() = default;
    virtual MessageResult show(const std::string& text, const std::string& title,
                               MessageIcon icon, MessageButtons buttons) = 0;
};

// The installed service; without one, boxes go to the standard error stream and answer the
// first button (Ok or Yes).
MessageBoxService& messageBoxes();

// Installs a service (not owned); nullptr restores the default.
void setMessageBoxService(MessageBoxService* service);

struct ShownMessage {
    std::string text;
    std::string title;
    MessageIcon icon;
    MessageButtons buttons;
};

// Records every box; answers come from the queue, then the default answer.
class ScriptedMessageBoxes : public MessageBoxService {
public:
    MessageResult show(const std::string& text, const std::string& title, MessageIcon icon,
                       MessageButtons buttons) override;

    std::vector<ShownMessage> shown;
    std::deque<MessageResult> answers;
    MessageResult defaultAnswer = MessageResult::Ok;
};

// Installs a service for the lifetime of the guard and restores the previous one afterwards.
class ScopedMessageBoxService {
public:
    explicit ScopedMessageBoxService(MessageBoxService* service);
    ~ScopedMessageBoxService();
    ScopedMessageBoxService(const ScopedMessageBoxService&) = delete;
    ScopedMessageBoxService& operator=(const ScopedMessageBoxService&) = delete;

private:
    MessageBoxService* previous_;
};

} // namespace platform::ui
