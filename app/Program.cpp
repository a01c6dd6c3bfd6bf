#include "app/Program.h"

#include "app/AppVersion.h"

#include "platform/devices/DeviceEvents.h"
#include "reports/engine/RptEval.h"
#include "reports/preview/RptStandardPreview.h"
#include "platform/ui/FileDialogs.h"
#include "platform/ui/QtBusyIndicator.h"
#include "platform/ui/QtMessageBoxes.h"
#include "surfaces/MarkupHint.h"

#include <QApplication>
#include <QKeyEvent>

namespace app {

bool TKeyHook::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if ((type == QEvent::KeyPress || type == QEvent::KeyRelease) && watched->isWindowType()) {
        return form_.AppMessageHook(static_cast<QKeyEvent*>(event), type == QEvent::KeyPress,
                                    watched);
    }
    return false;
}

TProgram::TProgram(const std::filesystem::path& programFile,
                   platform::devices::DeviceEventSource* devices)
    : devices_(devices) {
    mainForm_ = std::make_unique<TGarnetwickMainForm>(programFile, windows_);
    windows_.Create(mainForm_.get());
    keyHook_ = std::make_unique<TKeyHook>(*mainForm_);
    qApp->installEventFilter(keyHook_.get());
    if (devices_ != nullptr) {
        devices_->setHandler([this](platform::devices::DeviceEvent event) {
            DeviceNotice notice = DeviceNotice::NodesChanged;
            switch (event) {
            case platform::devices::DeviceEvent::NodesChanged: break;
            case platform::devices::DeviceEvent::Arrival: notice = DeviceNotice::Arrival; break;
            case platform::devices::DeviceEvent::RemoveComplete:
                notice = DeviceNotice::RemoveComplete;
                break;
            }
            runCommand([&] { mainForm_->DeviceChanged(notice); });
        });
    }
}

TProgram::~TProgram() {
    if (devices_ != nullptr) {
        devices_->setHandler({});
    }
    qApp->removeEventFilter(keyHook_.get());
    mainForm_.reset();
}

int RunProgram(QApplication& application) {
    // The title keeps its trailing blank as the application's name; the window's own caption
    // comes from the language files.
    QApplication::setApplicationName(QString::fromLatin1(ApplicationTitle));
    // The report engine's environment keeps the start time and the program's title.
    RptGlobalEnvironment();
    RptSetApplicationTitle(ApplicationTitle);
    RegisterStandardPreview();
    platform::ui::QtMessageBoxService messageBoxes;
    platform::ui::ScopedMessageBoxService installedBoxes(&messageBoxes);
    platform::ui::QtFileDialogs fileDialogs;
    platform::ui::ScopedFileDialogService installedDialogs(&fileDialogs);
    platform::ui::QtBusyIndicator busy;
    platform::ui::setBusyIndicator(&busy);
    platform::devices::UdevDeviceMonitor devices;
    TProgram program(QCoreApplication::applicationFilePath().toStdString(), &devices);
    // Hints are drawn from their markup (bold keys, colours) in the program's own hint window.
    InstallMarkupHint(application, program.MainForm());
    program.MainForm().show();
    if (program.MainForm().StartUpFailed()) {
        platform::ui::setBusyIndicator(nullptr);
        return 1;
    }
    const int result = application.exec();
    platform::ui::setBusyIndicator(nullptr);
    return result;
}

} // namespace app
