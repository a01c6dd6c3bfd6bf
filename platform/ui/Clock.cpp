#include "platform/ui/Clock.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <chrono>
#include <numeric>
#include <thread>

namespace platform::ui {

namespace {

Clock*& installed() {
    static Clock* clock = nullptr;
    return clock;
}

} // namespace

Clock& currentClock() {
    static SystemClock systemClock;
    Clock* current = installed();
    return current != nullptr ? *current : systemClock;
}

void setClock(Clock* clock) {
    installed() = clock;
}

std::int64_t SystemClock::nowMs() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void SystemClock::sleep(std::uint32_t ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// Without an application object (command-line tools, model tests) there is no window to keep
// alive and nothing to do.
void SystemClock::processPendingMessages() {
    if (QCoreApplication::instance() != nullptr) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
}

void SystemClock::processPaintEvents() {
    if (QCoreApplication::instance() != nullptr) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
}

void RecordingClock::sleep(std::uint32_t ms) {
    pauses.push_back(ms);
    now += ms;
    if (onSleep) {
        onSleep(ms);
    }
}

void RecordingClock::processPendingMessages() {
    ++messageRuns;
    if (onMessages) {
        onMessages();
    }
}

void RecordingClock::processPaintEvents() {
    ++paintRuns;
    if (onPaint) {
        onPaint();
    }
}

std::uint64_t RecordingClock::totalPauseMs() const {
    return std::accumulate(pauses.begin(), pauses.end(), std::uint64_t{0});
}

ScopedClock::ScopedClock(Clock* clock) : previous_(installed()) {
    setClock(clock);
}

ScopedClock::~ScopedClock() {
    setClock(previous_);
}

} // namespace platform::ui
