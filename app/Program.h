// The program as a whole: the main window and the windows created after it, the application-wide
// key hook, and the instrument's plug and unplug notices. main() runs one; tests run one on the
// offscreen platform with a program folder of their own.
#pragma once

#include "app/AppWindows.h"
#include "app/MainFormUnit.h"

#include <QObject>

#include <filesystem>
#include <memory>

class QApplication;

namespace platform::devices {
class DeviceEventSource;
}

namespace app {

// Every key event of the application passes the main window's hook exactly once: at the window
// it was sent to, before the focused control gets it. The window's own keys stop there.
class TKeyHook : public QObject {
public:
    explicit TKeyHook(TGarnetwickMainForm& form) : form_(form) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TGarnetwickMainForm& form_;
};

class TProgram {
public:
    // devices: where the plug and unplug notices come from (not owned; none: no notices).
    TProgram(const std::filesystem::path& programFile, platform::devices::DeviceEventSource* devices);
    ~TProgram();

    TGarnetwickMainForm& MainForm() { return *mainForm_; }
    TAppWindows& Windows() { return windows_; }

private:
    TAppWindows windows_;
    std::unique_ptr<TGarnetwickMainForm> mainForm_;
    std::unique_ptr<TKeyHook> keyHook_;
    platform::devices::DeviceEventSource* devices_;
};

// Sets the application up, shows the main window and runs the message loop.
int RunProgram(QApplication& application);

} // namespace app
