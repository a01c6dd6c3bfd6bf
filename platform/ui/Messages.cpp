#include "platform/ui/Messages.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QObject>

namespace platform::ui {

namespace {

MessageQueue*& installed() {
    static MessageQueue* queue = nullptr;
    return queue;
}

const QEvent::Type kPostedMessage = QEvent::Type(QEvent::registerEventType());

class PostedMessageEvent : public QEvent {
public:
    PostedMessageEvent(std::weak_ptr<MessageTarget*> target, const Message& message)
        : QEvent(kPostedMessage), target_(std::move(target)), message_(message) {}
    void deliver() const {
        if (const auto alive = target_.lock(); alive && *alive) {
            (*alive)->HandleMessage(message_);
        }
    }

private:
    std::weak_ptr<MessageTarget*> target_;
    Message message_;
};

// Receives the posted messages in the application's event loop and hands them on.
class Dispatcher : public QObject {
public:
    bool event(QEvent* e) override {
        if (e->type() == kPostedMessage) {
            static_cast<PostedMessageEvent*>(e)->deliver();
            return true;
        }
        return QObject::event(e);
    }
};

// Qt's event loop; without an application object the messages wait in a manual queue that
// ProcessMessages empties.
class QtMessageQueue : public MessageQueue {
public:
    void Post(MessageTarget& target, const Message& message) override {
        if (QCoreApplication::instance() == nullptr) {
            fallback_.Post(target, message);
            return;
        }
        if (!dispatcher_) {
            dispatcher_ = std::make_unique<Dispatcher>();
        }
        QCoreApplication::postEvent(dispatcher_.get(),
                                    new PostedMessageEvent(target.Handle(), message));
    }
    void ProcessMessages() override {
        fallback_.Deliver();
        if (QCoreApplication::instance() != nullptr) {
            QCoreApplication::sendPostedEvents(dispatcher_.get(), kPostedMessage);
            QCoreApplication::processEvents();
        }
    }
    void WaitMessages() override {
        fallback_.Deliver();
        if (QCoreApplication::instance() != nullptr) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
    }

private:
    std::unique_ptr<Dispatcher> dispatcher_;
    ManualMessageQueue fallback_;
};

} // namespace

MessageTarget::MessageTarget() : handle_(std::make_shared<MessageTarget*>(this)) {}

MessageTarget::~MessageTarget() {
    *handle_ = nullptr;
}

MessageQueue& messageQueue() {
    static QtMessageQueue qtQueue;
    MessageQueue* current = installed();
    return current != nullptr ? *current : qtQueue;
}

void setMessageQueue(MessageQueue* queue) {
    installed() = queue;
}

void PostMessage(MessageTarget* target, unsigned msg, std::intptr_t wParam, std::intptr_t lParam) {
    if (target != nullptr) {
        messageQueue().Post(*target, {msg, wParam, lParam});
    }
}

void ProcessMessages() {
    messageQueue().ProcessMessages();
}

void WaitMessages() {
    messageQueue().WaitMessages();
}

void ManualMessageQueue::Post(MessageTarget& target, const Message& message) {
    waiting.push_back({target.Handle(), message});
}

void ManualMessageQueue::ProcessMessages() {
    ++processRuns;
    Deliver();
}

int ManualMessageQueue::Deliver() {
    int delivered = 0;
    while (!waiting.empty()) {
        const Posted p = waiting.front();
        waiting.pop_front();
        if (const auto alive = p.target.lock(); alive && *alive) {
            (*alive)->HandleMessage(p.message);
            ++delivered;
        }
    }
    return delivered;
}

ScopedMessageQueue::ScopedMessageQueue(MessageQueue* queue) : previous_(installed()) {
    setMessageQueue(queue);
}

ScopedMessageQueue::~ScopedMessageQueue() {
    setMessageQueue(previous_);
}

} // namespace platform::ui
