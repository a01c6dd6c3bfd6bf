#include "platform/ui/Clock.h"

#include <QCoreApplication>

#include <QMetaObject>
#include <memory>

#include <gtest/gtest.h>

#include <vector>

using namespace platform::ui;

TEST(RecordingClock, RecordsPausesWithoutWaiting) {
    RecordingClock clock;
    clock.now = 1000;
    const SystemClock real;
    const std::int64_t started = real.nowMs();
    clock.sleep(200);
    clock.sleep(30);
    clock.sleep(200);
    EXPECT_LT(real.nowMs() - started, 200) << "no real waiting";
    EXPECT_EQ(clock.pauses, (std::vector<std::uint32_t>{200, 30, 200}));
    EXPECT_EQ(clock.totalPauseMs(), 430u);
    EXPECT_EQ(clock.nowMs(), 1430);
}

TEST(RecordingClock, CountsEventRunsAndCallsTheHooks) {
    RecordingClock clock;
    std::vector<std::string> seen;
    clock.onSleep = [&](std::uint32_t ms) { seen.push_back("sleep " + std::to_string(ms)); };
    clock.onMessages = [&] { seen.push_back("messages"); };
    clock.onPaint = [&] { seen.push_back("paint"); };
    clock.processPaintEvents();
    clock.sleep(10);
    clock.processPendingMessages();
    clock.processPaintEvents();
    EXPECT_EQ(clock.paintRuns, 2);
    EXPECT_EQ(clock.messageRuns, 1);
    EXPECT_EQ(seen, (std::vector<std::string>{"paint", "sleep 10", "messages", "paint"}));
}

TEST(ClockInstallation, ScopedClockInstallsAndRestores) {
    Clock* before = &currentClock();
    EXPECT_NE(dynamic_cast<SystemClock*>(before), nullptr) << "the system clock by default";
    RecordingClock outer;
    {
        ScopedClock installOuter(&outer);
        currentClock().sleep(5);
        RecordingClock inner;
        {
            ScopedClock installInner(&inner);
            currentClock().sleep(7);
        }
        currentClock().sleep(9);
        EXPECT_EQ(inner.pauses, (std::vector<std::uint32_t>{7}));
    }
    EXPECT_EQ(outer.pauses, (std::vector<std::uint32_t>{5, 9}));
    EXPECT_EQ(&currentClock(), before);
}

TEST(SystemClock, SleepsForReal) {
    SystemClock clock;
    const std::int64_t started = clock.nowMs();
    clock.sleep(20);
    EXPECT_GE(clock.nowMs() - started, 20);
}

TEST(SystemClock, RunsQueuedWorkOfTheApplication) {
    int argc = 1;
    char name[] = "tb_tests_platform";
    char* argv[] = {name, nullptr};
    // The graphics tests of this program already run an application; there can only be one.
    std::unique_ptr<QCoreApplication> own;
    if (QCoreApplication::instance() == nullptr) {
        own = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication& app = *QCoreApplication::instance();
    SystemClock clock;

    int runs = 0;
    QMetaObject::invokeMethod(
        &app, [&] { ++runs; }, Qt::QueuedConnection);
    EXPECT_EQ(runs, 0);
    clock.processPaintEvents();
    EXPECT_EQ(runs, 1) << "queued work is not user input";

    QMetaObject::invokeMethod(
        &app, [&] { ++runs; }, Qt::QueuedConnection);
    clock.processPendingMessages();
    EXPECT_EQ(runs, 2);
}
