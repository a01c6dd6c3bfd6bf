// The main window and the instrument: connecting and identifying it, its plugging and unplugging
// as the system reports them, and disconnecting on the user's command.
#include "app/MainFormUnit.h"

#include "link/DOR4471IZOZudivarudaZira.h"
#include "platform/ui/Clock.h"

namespace app {

void TGarnetwickMainForm::ConnectAndIdentify() {
    platform::ui::currentClock().sleep(1000);
    ConnectUSBDevice();
    IdentifyConnectedDevice(FlashMarkup, DeviceDescription);
    UpdateActionStates();
    UpdateFlashMarkupPage();
    ShowConnectionStatus();
}

void TGarnetwickMainForm::DisconnectAndShow() {
    DisconnectUSBDevice();
    UpdateActionStates();
    ShowConnectionStatus();
}

void TGarnetwickMainForm::DeviceChanged(DeviceNotice notice) {
    if (TransferRunning()) {
        // Acted on when the transfer ends; one notice of a kind is enough.
        for (DeviceNotice n : deferredNotices_) {
            if (n == notice) {
                return;
            }
        }
        deferredNotices_.push_back(notice);
        return;
    }
    const bool connected = USBConnected == 1;
    switch (notice) {
    case DeviceNotice::NodesChanged:
        if (!connected) {
            ConnectAndIdentify();
        } else if (CallUSBStatus() == 0) {
            DisconnectAndShow();
        }
        break;
    case DeviceNotice::Arrival:
        if (!connected && CallUSBStatus() == 1) {
            ConnectAndIdentify();
        }
        break;
    case DeviceNotice::RemoveComplete:
        if (connected && CallUSBStatus() == 0) {
            DisconnectAndShow();
        }
        break;
    }
}

void TGarnetwickMainForm::DisconnectDeviceActionExecute() {
    if (USBConnected != 1) {
        return;
    }
    DisconnectAndShow();
}

} // namespace app
