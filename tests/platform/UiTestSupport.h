// Drives a modal dialog from inside its own event loop: a timer looks for the first visible
// top-level widget of a type and hands it to the test's action; a dialog that never shows, or an
// action that leaves it open, is closed after a deadline so a failing test cannot hang.
#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

namespace tbtest {

template <typename Dialog> class DialogScript {
public:
    explicit DialogScript(std::function<void(Dialog&)> action, int deadlineMs = 5000)
        : action_(std::move(action)), deadlineMs_(deadlineMs) {
        clock_.start();
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
        timer_.start();
    }

    bool found() const { return found_; }
    bool timedOut() const { return timedOut_; }

private:
    void poll() {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<Dialog*>(w);
            if (!dialog || !dialog->isVisible()) {
                continue;
            }
            if (!found_) {
                found_ = true;
                action_(*dialog);
            } else if (clock_.elapsed() > deadlineMs_) {
                timedOut_ = true;
                dialog->close();
            }
            return;
        }
        if (found_) {
            timer_.stop();
        } else if (clock_.elapsed() > deadlineMs_) {
            timedOut_ = true;
            timer_.stop();
        }
    }

    std::function<void(Dialog&)> action_;
    int deadlineMs_;
    QElapsedTimer clock_;
    QTimer timer_;
    bool found_ = false;
    bool timedOut_ = false;
};

} // namespace tbtest
