// The one-line input box (a title, a prompt and a preset text) behind a small interface: the
// program installs Qt's input dialog, tests install a scripted version that records every request
// and answers from a script. Texts are Windows-1251 bytes, as the model keeps them.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace platform::ui {

struct InputRequest {
    std::string title;
    std::string prompt;
    std::string value; // the preset text
};

class InputDialogService {
public:
    virtual ~InputDialogService() = default;
    // The text the user confirmed; nothing when the box was cancelled.
    virtual std::optional<std::string> query(const InputRequest& request) = 0;
};

// The installed service; Qt's input dialog until another is installed.
InputDialogService& inputDialogs();
// Installs a service (not owned); nullptr restores the default.
void setInputDialogService(InputDialogService* service);

// Asks the user for one line of text; answers the preset text when cancelled.
std::string InputBox(const std::string& title, const std::string& prompt, const std::string& value);

// Records every request; answers come from the queue, then a cancel.
class ScriptedInputDialogs : public InputDialogService {
public:
    std::optional<std::string> query(const InputRequest& request) override;

    std::vector<InputRequest> requests;
    std::deque<std::optional<std::string>> answers;
};

class ScopedInputDialogService {
public:
    explicit ScopedInputDialogService(InputDialogService* service);
    ~ScopedInputDialogService();
    ScopedInputDialogService(const ScopedInputDialogService&) = delete;
    ScopedInputDialogService& operator=(const ScopedInputDialogService&) = delete;

private:
    InputDialogService* previous_;
};

} // namespace platform::ui
