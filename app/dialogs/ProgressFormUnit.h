// The small modal window that runs a long transfer with the instrument and shows how far it got.
// The transfer starts from the window's own timer once the window is up and modal, so the user
// sees the window before the instrument is addressed; the window closes itself when the batch
// ends, accepted when the batch answered 0.
#pragma once

#include <QDialog>

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <optional>

class QTimer;

namespace platform::ui {
class Gauge;
}

namespace Ui {
class ProgressForm;
}

namespace app {

class GaugeWidget;

class TProgressForm : public QDialog {
public:
    // Runs the batch of a mode, moving the gauge, and answers the batch's result (0 = success).
    using TransferFunction = std::function<std::uint8_t(int mode, platform::ui::Gauge* gauge)>;

    explicit TProgressForm(QWidget* parent = nullptr);
    ~TProgressForm() override;

    // 0 none, 2 send configurations, 3 receive A-scans, 4 bands, 5 maps.
    std::uint8_t TransferMode = 0;

    void SetTransfer(TransferFunction transfer) { transfer_ = std::move(transfer); }

    void ResetProgress();
    // Runs the mode's batch; true when it answered 0. Modes without a batch answer false.
    bool RunTransfer(int mode);

    // The result of the batch the last showing ran; none when it ran no batch.
    std::optional<std::uint8_t> LastBatchResult() const { return lastResult_; }
    bool TransferRunning() const { return running_; }

    GaugeWidget* Gauge() const;
    QTimer* Timer() const { return timer_; }

    // An exception thrown by the batch ends the showing with Cancel and is thrown on from here,
    // outside the event loop.
    int exec() override;
    // There is no Cancel button: Esc and the window manager's close are refused while the window
    // is up modally, so a transfer is never left running behind a closed window.
    void reject() override;

protected:
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void Timer1Timer();

    std::unique_ptr<Ui::ProgressForm> ui_;
    QTimer* timer_;
    TransferFunction transfer_;
    std::optional<std::uint8_t> lastResult_;
    std::exception_ptr error_;
    bool inExec_ = false;
    bool running_ = false;
};

} // namespace app
