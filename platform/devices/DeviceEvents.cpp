#include "platform/devices/DeviceEvents.h"

#include <QElapsedTimer>
#include <QSocketNotifier>
#include <QTimer>

#include <libudev.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace platform::devices {

void DeviceEventSource::deliver(DeviceEvent event) const {
    // A copy, so a handler that installs another handler finishes running safely.
    if (const DeviceEventHandler handler = handler_) {
        handler(event);
    }
}

NoticeCoalescer::NoticeCoalescer(std::int64_t quietMs, std::int64_t longestMs)
    : quietMs_(quietMs), longestMs_(std::max(quietMs, longestMs)) {}

void NoticeCoalescer::add(DeviceEvent event, std::int64_t nowMs) {
    if (pending_.empty()) {
        firstMs_ = nowMs;
    }
    lastMs_ = nowMs;
    std::erase(pending_, event);
    pending_.push_back(event);
}

std::optional<std::int64_t> NoticeCoalescer::dueAtMs() const {
    if (pending_.empty()) {
        return std::nullopt;
    }
    return std::min(lastMs_ + quietMs_, firstMs_ + longestMs_);
}

std::vector<DeviceEvent> NoticeCoalescer::takeDue(std::int64_t nowMs) {
    const auto due = dueAtMs();
    if (!due || nowMs < *due) {
        return {};
    }
    return std::exchange(pending_, {});
}

std::vector<DeviceEvent> noticesForUdevEvent(const std::string& action,
                                             const std::string& subsystem,
                                             const std::string& devtype) {
    if (subsystem != "usb" || devtype != "usb_device") {
        return {};
    }
    // The device-set notice comes first: on a removal it lets the window see the instrument gone
    // and disconnect before the removal notice, which then finds nothing left to do.
    if (action == "add") {
        return {DeviceEvent::NodesChanged, DeviceEvent::Arrival};
    }
    if (action == "remove") {
        return {DeviceEvent::NodesChanged, DeviceEvent::RemoveComplete};
    }
    return {};
}

struct UdevDeviceMonitor::Udev {
    udev* context = nullptr;
    udev_monitor* monitor = nullptr;
    ~Udev() {
        if (monitor) {
            udev_monitor_unref(monitor);
        }
        if (context) {
            udev_unref(context);
        }
    }
};

namespace {

std::int64_t monotonicMs() {
    static QElapsedTimer clock = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return clock.elapsed();
}

std::string systemError(const char* what, int code) {
    return std::string(what) + ": " + std::strerror(code < 0 ? -code : code);
}

} // namespace

BurstDelivery::BurstDelivery(std::function<void(DeviceEvent)> deliver, std::int64_t quietMs,
                             std::int64_t longestMs)
    : deliver_(std::move(deliver)), coalescer_(quietMs, longestMs),
      timer_(std::make_unique<QTimer>()) {
    timer_->setSingleShot(true);
    timer_->setTimerType(Qt::PreciseTimer);
    QObject::connect(timer_.get(), &QTimer::timeout, [this] { deliverDue(); });
}

BurstDelivery::~BurstDelivery() = default;

void BurstDelivery::add(DeviceEvent event) {
    coalescer_.add(event, monotonicMs());
    schedule();
}

void BurstDelivery::schedule() {
    const auto due = coalescer_.dueAtMs();
    if (!due) {
        return;
    }
    const std::int64_t wait = std::max<std::int64_t>(0, *due - monotonicMs());
    timer_->start(static_cast<int>(wait));
}

void BurstDelivery::deliverDue() {
    const auto notices = coalescer_.takeDue(monotonicMs());
    for (const DeviceEvent e : notices) {
        deliver_(e);
    }
    // Notices added while the handler ran (a modal dialog runs the event loop) make the next burst;
    // a timer that fired early tries again.
    schedule();
}

UdevDeviceMonitor::UdevDeviceMonitor()
    : udev_(std::make_unique<Udev>()), bursts_([this](DeviceEvent e) { deliver(e); }) {
    udev_->context = udev_new();
    if (!udev_->context) {
        failure_ = systemError("udev_new", errno);
        return;
    }
    udev_->monitor = udev_monitor_new_from_netlink(udev_->context, "udev");
    if (!udev_->monitor) {
        failure_ = systemError("udev_monitor_new_from_netlink", errno);
        return;
    }
    if (const int rc =
            udev_monitor_filter_add_match_subsystem_devtype(udev_->monitor, "usb", "usb_device");
        rc < 0) {
        failure_ = systemError("udev_monitor_filter_add_match_subsystem_devtype", rc);
        return;
    }
    if (const int rc = udev_monitor_enable_receiving(udev_->monitor); rc < 0) {
        failure_ = systemError("udev_monitor_enable_receiving", rc);
        return;
    }
    const int fd = udev_monitor_get_fd(udev_->monitor);
    if (fd < 0) {
        failure_ = systemError("udev_monitor_get_fd", fd);
        return;
    }
    notifier_ = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { readNotices(); });
}

UdevDeviceMonitor::~UdevDeviceMonitor() = default;

bool UdevDeviceMonitor::listening() const {
    return notifier_ != nullptr;
}

void UdevDeviceMonitor::readNotices() {
    // The descriptor is non-blocking: read everything queued, then wait for the next wake-up.
    while (udev_device* device = udev_monitor_receive_device(udev_->monitor)) {
        const char* action = udev_device_get_action(device);
        const char* subsystem = udev_device_get_subsystem(device);
        const char* devtype = udev_device_get_devtype(device);
        const auto notices = noticesForUdevEvent(action ? action : "", subsystem ? subsystem : "",
                                                 devtype ? devtype : "");
        udev_device_unref(device);
        for (const DeviceEvent e : notices) {
            bursts_.add(e);
        }
    }
}

} // namespace platform::devices
