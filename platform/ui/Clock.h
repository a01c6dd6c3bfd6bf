// Time for the instrument link: a monotonic millisecond clock, the fixed pauses of a transfer and
// the moments at which a long transfer lets the window catch up. Behind an interface so that
// tests run the pauses instantly and can assert every one of them.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace platform::ui {

class Clock {
public:
    virtual ~Clock() = default;

    // Milliseconds on a clock that never goes back; only differences mean anything.
    virtual std::int64_t nowMs() const = 0;

    // Blocks the calling thread for the given time.
    virtual void sleep(std::uint32_t ms) = 0;

    // Lets pending window messages run, user input included (between the items of a batch).
    virtual void processPendingMessages() = 0;

    // Lets pending painting and other queued work run, but no user input (between the blocks of
    // one record, so the window keeps drawing during long transfers without taking commands).
    virtual void processPaintEvents() = 0;
};

// The installed clock; a SystemClock until something else is installed.
Clock& currentClock();

// Installs a clock (not owned); nullptr restores the system clock.
void setClock(Clock* clock);

// The real thing: steady time, real sleeps, and the application's event loop when there is one.
class SystemClock : public Clock {
public:
    std::int64_t nowMs() const override;
    void sleep(std::uint32_t ms) override;
    void processPendingMessages() override;
    void processPaintEvents() override;
};

// For tests: time stands still except for the pauses, which are recorded and advance it at once.
// The hooks let a test act at a precise point of a transfer (unplug the instrument, say).
class RecordingClock : public Clock {
public:
    std::int64_t nowMs() const override { return now; }
    void sleep(std::uint32_t ms) override;
    void processPendingMessages() override;
    void processPaintEvents() override;

    // The sum of all recorded pauses.
    std::uint64_t totalPauseMs() const;

    std::int64_t now = 0;
    std::vector<std::uint32_t> pauses;
    int messageRuns = 0;
    int paintRuns = 0;

    std::function<void(std::uint32_t ms)> onSleep;
    std::function<void()> onMessages;
    std::function<void()> onPaint;
};

// Installs a clock for the lifetime of the guard and restores the previous one afterwards.
class ScopedClock {
public:
    explicit ScopedClock(Clock* clock);
    ~ScopedClock();
    ScopedClock(const ScopedClock&) = delete;
    ScopedClock& operator=(const ScopedClock&) = delete;

private:
    Clock* previous_;
};

} // namespace platform::ui
