#include "platform/ui/InputDialogs.h"

#include "platform/text/Cp1251.h"

#include <QApplication>
#include <QInputDialog>

namespace platform::ui {

namespace {

QString fromCp1251(const std::string& s) {
    return QString::fromStdString(text::cp1251ToUtf8(s));
}

class QtInputDialogs : public InputDialogService {
public:
    std::optional<std::string> query(const InputRequest& request) override {
        bool ok = false;
        const QString answer = QInputDialog::getText(
            QApplication::activeWindow(), fromCp1251(request.title), fromCp1251(request.prompt),
            QLineEdit::Normal, fromCp1251(request.value), &ok);
        if (!ok) {
            return std::nullopt;
        }
        return text::utf8ToCp1251(answer.toStdString());
    }
};

InputDialogService*& installed() {
    static InputDialogService* service = nullptr;
    return service;
}

} // namespace

InputDialogService& inputDialogs() {
    static QtInputDialogs qt;
    InputDialogService* s = installed();
    return s != nullptr ? *s : qt;
}

void setInputDialogService(InputDialogService* service) {
    installed() = service;
}

std::string InputBox(const std::string& title, const std::string& prompt,
                     const std::string& value) {
    return inputDialogs().query({title, prompt, value}).value_or(value);
}

std::optional<std::string> ScriptedInputDialogs::query(const InputRequest& request) {
    requests.push_back(request);
    if (answers.empty()) {
        return std::nullopt;
    }
    auto a = answers.front();
    answers.pop_front();
    return a;
}

ScopedInputDialogService::ScopedInputDialogService(InputDialogService* service)
    : previous_(installed()) {
    installed() = service;
}

ScopedInputDialogService::~ScopedInputDialogService() {
    installed() = previous_;
}

} // namespace platform::ui
