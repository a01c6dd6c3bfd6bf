// The real main window on the offscreen platform, talking to the simulated instrument: pauses
// recorded by a clock, message boxes and file dialogs answered from scripts, device notices
// injected, keys sent to the window as a user would type them.
#pragma once

#include "app/MainFormUnit.h"
#include "app/Program.h"
#include "app/dialogs/ProgressFormUnit.h"
#include "link/SimulatedInstrument.h"
#include "platform/devices/DeviceEvents.h"
#include "platform/ui/FileDialogs.h"

#include <QApplication>
#include <QDialog>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class MainWindowTest : public ::testing::Test {
protected:
    static std::filesystem::path programFile() {
        return std::filesystem::path(TB_OUTPUT_DIR) / "tollerbank3";
    }

    void SetUp() override {
        setenv("TOLLERBANK_DRIVER", SimControl::libraryPath().c_str(), 1);
        DisconnectUSBDevice();
        ASSERT_TRUE(sim.open()) << dlerror();
        sim.reset();
        sim.clearLog();
        // The program's own dialogs (all but the progress dialog, which runs by itself) are
        // answered from the script; one without a scripted answer is cancelled.
        dialogWatcher.setInterval(10);
        QObject::connect(&dialogWatcher, &QTimer::timeout, [this] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (dialog == nullptr || dynamic_cast<app::TProgressForm*>(dialog) != nullptr ||
                !dialog->isVisible()) {
                return;
            }
            dialogsSeen.push_back(dialog->windowTitle().toStdString());
            if (dialogScript.empty()) {
                dialog->reject();
                return;
            }
            auto answer = std::move(dialogScript.front());
            dialogScript.pop_front();
            answer(dialog);
        });
        dialogWatcher.start();
    }

    void TearDown() override {
        dialogWatcher.stop();
        if (program) {
            program->MainForm().hide();
            program.reset();
        }
        USBBusy = 0;
        DisconnectUSBDevice();
        sim.close();
        unsetenv("TOLLERBANK_DRIVER");
    }

    // Creates the windows and shows the main window, which runs its start-up.
    void start(const std::filesystem::path& program = programFile()) {
        this->program = std::make_unique<app::TProgram>(program, &devices);
        form().show();
        QApplication::setActiveWindow(&form());
        QApplication::processEvents();
    }

    app::TGarnetwickMainForm& form() { return program->MainForm(); }
    QAction* action(const char* name) { return form().Action(name); }
    QString status(int panel) { return form().StatusPanelText(panel); }

    // A key typed at the main window (through its window, as the keyboard delivers it).
    void key(Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        // A window manager gives the main window back its activation when a dialog closes;
        // the offscreen platform does not.
        if (QApplication::activeModalWidget() == nullptr) {
            QApplication::setActiveWindow(&form());
        }
        QTest::keyClick(form().windowHandle(), k, mods);
        QApplication::processEvents();
    }

    void injectDevice(platform::devices::DeviceEvent e) { devices.inject(e); }

    int callsOfOperation(int operation) { return static_cast<int>(sim.callsOf(operation).size()); }

    SimControl sim;
    platform::ui::RecordingClock clock;
    platform::ui::ScopedClock clockScope{&clock};
    platform::ui::ScriptedMessageBoxes boxes;
    platform::ui::ScopedMessageBoxService boxScope{&boxes};
    platform::ui::ScriptedFileDialogs files;
    platform::ui::ScopedFileDialogService fileScope{&files};
    platform::devices::ManualDeviceEvents devices;
    std::unique_ptr<app::TProgram> program;
    QTimer dialogWatcher;
    // What to do with the next dialogs of the program, in order (accept, tick, type...).
    std::deque<std::function<void(QDialog*)>> dialogScript;
    std::vector<std::string> dialogsSeen;
};
