// Notices of devices being plugged in and pulled out, for the main window to connect to and
// disconnect from the instrument. The program listens to the kernel's device manager (udev);
// tests inject notices by hand.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QSocketNotifier;
class QTimer;

namespace platform::devices {

enum class DeviceEvent {
    Arrival,        // a USB device was added
    RemoveComplete, // a USB device is gone
    NodesChanged,   // the set of devices changed (goes with every arrival and removal)
};

using DeviceEventHandler = std::function<void(DeviceEvent)>;

// A source of device notices. The handler runs on the thread of the user interface's event loop
// and may install another handler while it runs.
class DeviceEventSource {
public:
    virtual ~DeviceEventSource() = default;
    void setHandler(DeviceEventHandler handler) { handler_ = std::move(handler); }

protected:
    void deliver(DeviceEvent event) const;

private:
    DeviceEventHandler handler_;
};

// For tests: every injected notice is delivered at once, before `inject` returns.
class ManualDeviceEvents : public DeviceEventSource {
public:
    void inject(DeviceEvent event) const { deliver(event); }
};

// Gathers a burst of notices (a plug makes several, for hubs and composite devices) into one notice
// of each kind. A burst ends once no notice came for `quietMs`, or at the latest `longestMs` after
// its first notice, so a device that keeps chattering cannot hold notices back for ever. The kinds
// are delivered in the order of their last notice, so the last one tells the final state.
class NoticeCoalescer {
public:
    explicit NoticeCoalescer(std::int64_t quietMs = 300, std::int64_t longestMs = 2000);

    void add(DeviceEvent event, std::int64_t nowMs);

    // When the pending burst is due; nothing when none is pending.
    std::optional<std::int64_t> dueAtMs() const;

    // The burst's notices when it is due (and forgets them), else nothing.
    std::vector<DeviceEvent> takeDue(std::int64_t nowMs);

private:
    std::int64_t quietMs_;
    std::int64_t longestMs_;
    std::vector<DeviceEvent> pending_;
    std::int64_t firstMs_ = 0;
    std::int64_t lastMs_ = 0;
};

// Hands the notices given to it on in bursts, from a single-shot timer on the event loop of the
// thread that makes it.
class BurstDelivery {
public:
    BurstDelivery(std::function<void(DeviceEvent)> deliver, std::int64_t quietMs = 300,
                  std::int64_t longestMs = 2000);
    ~BurstDelivery();
    BurstDelivery(const BurstDelivery&) = delete;
    BurstDelivery& operator=(const BurstDelivery&) = delete;

    void add(DeviceEvent event);

private:
    void deliverDue();
    void schedule();

    std::function<void(DeviceEvent)> deliver_;
    NoticeCoalescer coalescer_;
    std::unique_ptr<QTimer> timer_;
};

// The notices one udev event stands for: the add or removal of a whole USB device, each with the
// device-set change that accompanies it. Interfaces, other subsystems and other actions (bind,
// change, ...) stand for none.
std::vector<DeviceEvent> noticesForUdevEvent(const std::string& action,
                                             const std::string& subsystem,
                                             const std::string& devtype);

// Listens to udev's USB device events on the event loop of the thread that makes it (a socket
// notifier on the monitor's descriptor and a single-shot timer to close a burst; no polling, no
// thread). Without udev (a sandbox with no netlink socket) it stays silent and says why.
class UdevDeviceMonitor : public DeviceEventSource {
public:
    UdevDeviceMonitor();
    ~UdevDeviceMonitor() override;
    UdevDeviceMonitor(const UdevDeviceMonitor&) = delete;
    UdevDeviceMonitor& operator=(const UdevDeviceMonitor&) = delete;

    bool listening() const;
    // Why the monitor is not listening; empty while it is.
    const std::string& failure() const { return failure_; }

private:
    struct Udev;
    void readNotices();

    std::unique_ptr<Udev> udev_;
    std::unique_ptr<QSocketNotifier> notifier_;
    BurstDelivery bursts_;
    std::string failure_;
};

} // namespace platform::devices
