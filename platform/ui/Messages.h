// Posted window messages: a window (anything that derives from MessageTarget) is sent a message
// that waits in the event loop and is delivered when messages are next processed, never during
// the post. A target destroyed before delivery simply misses its messages. The program uses Qt's
// event loop; tests install a ManualMessageQueue and deliver when they choose.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>

namespace platform::ui {

constexpr unsigned WM_USER = 1024;

struct Message {
    unsigned msg = 0;
    std::intptr_t wParam = 0;
    std::intptr_t lParam = 0;
};

class MessageTarget {
public:
    MessageTarget();
    virtual ~MessageTarget();
    MessageTarget(const MessageTarget&) = delete;
    MessageTarget& operator=(const MessageTarget&) = delete;

    virtual void HandleMessage(const Message& message) = 0;

    // Shared with queued messages so they can tell whether the target still exists.
    const std::shared_ptr<MessageTarget*>& Handle() const { return handle_; }

private:
    std::shared_ptr<MessageTarget*> handle_;
};

class MessageQueue {
public:
    virtual ~MessageQueue() = default;
    virtual void Post(MessageTarget& target, const Message& message) = 0;
    // Delivers what is waiting (and, in the program, lets the window repaint and take input).
    virtual void ProcessMessages() = 0;
    // Sleeps until something arrives, then delivers it: a wait that costs no processor time.
    // A queue that cannot wait delivers what is there.
    virtual void WaitMessages() { ProcessMessages(); }
};

// The installed queue: Qt's event loop unless another is installed.
MessageQueue& messageQueue();
void setMessageQueue(MessageQueue* queue);

// Posts a message to a target: it is handled once the event loop next runs. ProcessMessages
// handles every message waiting now and returns.
void PostMessage(MessageTarget* target, unsigned msg, std::intptr_t wParam, std::intptr_t lParam);
void ProcessMessages();
// A nested wait for the next message (a modal loop's step).
void WaitMessages();

// Queued delivery driven by the test: nothing arrives until ProcessMessages (or Deliver).
class ManualMessageQueue : public MessageQueue {
public:
    struct Posted {
        std::weak_ptr<MessageTarget*> target;
        Message message;
    };
    void Post(MessageTarget& target, const Message& message) override;
    void ProcessMessages() override;
    // Delivers every message waiting, including those posted meanwhile; answers how many.
    int Deliver();

    std::deque<Posted> waiting;
    int processRuns = 0;
};

class ScopedMessageQueue {
public:
    explicit ScopedMessageQueue(MessageQueue* queue);
    ~ScopedMessageQueue();
    ScopedMessageQueue(const ScopedMessageQueue&) = delete;
    ScopedMessageQueue& operator=(const ScopedMessageQueue&) = delete;

private:
    MessageQueue* previous_;
};

} // namespace platform::ui
