#include "platform/devices/DeviceEvents.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using namespace platform::devices;
using E = DeviceEvent;

TEST(DeviceNotices, OnlyWholeUsbDevicesAddedOrRemovedCount) {
    struct Case {
        const char* action;
        const char* subsystem;
        const char* devtype;
        std::vector<E> expected;
    };
    const std::vector<Case> cases = {
        {"add", "usb", "usb_device", {E::NodesChanged, E::Arrival}},
        {"remove", "usb", "usb_device", {E::NodesChanged, E::RemoveComplete}},
        {"bind", "usb", "usb_device", {}},
        {"unbind", "usb", "usb_device", {}},
        {"change", "usb", "usb_device", {}},
        {"add", "usb", "usb_interface", {}},
        {"add", "block", "disk", {}},
        {"add", "", "", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.action) + " " + c.subsystem + " " + c.devtype);
        EXPECT_EQ(noticesForUdevEvent(c.action, c.subsystem, c.devtype), c.expected);
    }
}

TEST(NoticeCoalescer, GathersABurstIntoOneNoticePerKindInTheOrderOfTheirLastNotice) {
    struct Step {
        std::vector<std::pair<E, std::int64_t>> added;
        std::int64_t takeAt;
        std::vector<E> expected;
    };
    struct Case {
        const char* name;
        std::vector<Step> steps;
    };
    const std::vector<Case> cases = {
        {"one plug",
         {{{{E::NodesChanged, 0}, {E::Arrival, 0}}, 299, {}},
          {{}, 300, {E::NodesChanged, E::Arrival}},
          {{}, 900, {}}}},
        {"hub with two devices: repeats fold",
         {{{{E::NodesChanged, 0}, {E::Arrival, 0}, {E::NodesChanged, 120}, {E::Arrival, 120}},
           419,
           {}},
          {{}, 420, {E::NodesChanged, E::Arrival}}}},
        {"pulled and plugged again: the final state comes last",
         {{{{E::NodesChanged, 0},
            {E::RemoveComplete, 0},
            {E::NodesChanged, 200},
            {E::Arrival, 200}},
           500,
           {E::RemoveComplete, E::NodesChanged, E::Arrival}}}},
        {"quiet gap splits bursts",
         {{{{E::Arrival, 0}}, 300, {E::Arrival}},
          {{{E::RemoveComplete, 1000}}, 1300, {E::RemoveComplete}}}},
        {"chatter is cut at the longest hold",
         {{{{E::NodesChanged, 0},
            {E::NodesChanged, 250},
            {E::NodesChanged, 500},
            {E::NodesChanged, 750},
            {E::NodesChanged, 1000},
            {E::NodesChanged, 1250},
            {E::NodesChanged, 1500},
            {E::NodesChanged, 1750}},
           1999,
           {}},
          {{}, 2000, {E::NodesChanged}}}},
        {"nothing pending", {{{}, 10000, {}}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        NoticeCoalescer coalescer(300, 2000);
        for (const Step& s : c.steps) {
            for (const auto& [event, at] : s.added) {
                coalescer.add(event, at);
            }
            EXPECT_EQ(coalescer.takeDue(s.takeAt), s.expected) << "at " << s.takeAt;
        }
        EXPECT_FALSE(coalescer.dueAtMs().has_value()) << "everything delivered";
    }
}

TEST(ManualDeviceEvents, DeliversEachInjectedNoticeAtOnce) {
    ManualDeviceEvents source;
    source.inject(E::Arrival); // no handler yet: nothing happens
    std::vector<E> seen;
    source.setHandler([&](E e) {
        seen.push_back(e);
        if (e == E::RemoveComplete) {
            // A handler may replace itself while it runs.
            source.setHandler([&](E later) {
                seen.push_back(later);
                seen.push_back(later);
            });
        }
    });
    source.inject(E::NodesChanged);
    source.inject(E::RemoveComplete);
    source.inject(E::Arrival);
    EXPECT_EQ(seen, (std::vector<E>{E::NodesChanged, E::RemoveComplete, E::Arrival, E::Arrival}));
}

// On the event loop: nothing is handed on while the burst lasts, then one notice per kind.
TEST(BurstDelivery, HandsABurstOnFromTheEventLoop) {
    std::vector<E> seen;
    BurstDelivery bursts([&](E e) { seen.push_back(e); }, 20, 200);
    for (E e : {E::NodesChanged, E::Arrival, E::NodesChanged, E::Arrival}) {
        bursts.add(e);
    }
    EXPECT_TRUE(seen.empty()) << "never from inside add";
    QElapsedTimer t;
    t.start();
    while (seen.size() < 2 && t.elapsed() < 5000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    EXPECT_GE(t.elapsed(), 15);
    EXPECT_EQ(seen, (std::vector<E>{E::NodesChanged, E::Arrival}));
    bursts.add(E::RemoveComplete);
    while (seen.size() < 3 && t.elapsed() < 5000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    EXPECT_EQ(seen.back(), E::RemoveComplete) << "a later notice makes a burst of its own";
}

// Either listens or says why not (a sandbox may have no netlink socket); never crashes, and
// stays silent while nothing is plugged.
TEST(UdevDeviceMonitor, ListensOrReportsWhyNot) {
    int delivered = 0;
    {
        UdevDeviceMonitor monitor;
        monitor.setHandler([&](E) { ++delivered; });
        if (monitor.listening()) {
            EXPECT_TRUE(monitor.failure().empty());
        } else {
            EXPECT_FALSE(monitor.failure().empty());
            std::fprintf(stderr, "udev monitor not available here: %s\n",
                         monitor.failure().c_str());
        }
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 50) {
            QCoreApplication::processEvents();
        }
    }
    EXPECT_EQ(delivered, 0) << "no USB device came or went during the test";
}
