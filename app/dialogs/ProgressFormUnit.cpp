#include "app/dialogs/ProgressFormUnit.h"

#include "app/Texts.h"
#include "app/dialogs/GaugeWidget.h"
#include "ui_ProgressForm.h"

#include <QCloseEvent>
#include <QTimer>

namespace app {

TProgressForm::TProgressForm(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      ui_(std::make_unique<Ui::ProgressForm>()), timer_(new QTimer(this)) {
    ui_->setupUi(this);
    setFixedSize(258, 43);
    timer_->setObjectName(QStringLiteral("Timer1"));
    timer_->setInterval(100);
    timer_->setSingleShot(true);
    connect(timer_, &QTimer::timeout, this, &TProgressForm::Timer1Timer);
    TransferMode = 0;
    setWindowTitle(caption(310));
}

TProgressForm::~TProgressForm() = default;

GaugeWidget* TProgressForm::Gauge() const {
    return ui_->Gauge1;
}

void TProgressForm::ResetProgress() {
    ui_->Gauge1->setProgress(0);
}

bool TProgressForm::RunTransfer(int mode) {
    if (mode < 2 || mode > 5 || !transfer_) {
        return false;
    }
    running_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{running_};
    lastResult_ = transfer_(mode, ui_->Gauge1);
    return *lastResult_ == 0;
}

int TProgressForm::exec() {
    lastResult_.reset();
    error_ = nullptr;
    inExec_ = true;
    const int result = QDialog::exec();
    inExec_ = false;
    if (error_) {
        std::rethrow_exception(std::exchange(error_, nullptr));
    }
    return result;
}

void TProgressForm::reject() {
    if (inExec_) {
        return;
    }
    QDialog::reject();
}

void TProgressForm::showEvent(QShowEvent* e) {
    if (TransferMode == 2) {
        setWindowTitle(caption(38));
    } else if (TransferMode >= 3 && TransferMode <= 5) {
        setWindowTitle(caption(40));
    }
    timer_->start();
    QDialog::showEvent(e);
}

void TProgressForm::hideEvent(QHideEvent* e) {
    timer_->stop();
    QDialog::hideEvent(e);
}

void TProgressForm::closeEvent(QCloseEvent* e) {
    if (inExec_) {
        e->ignore();
        return;
    }
    QDialog::closeEvent(e);
}

void TProgressForm::Timer1Timer() {
    timer_->stop();
    if (!inExec_ || !isVisible()) {
        return;
    }
    if (TransferMode == 0) {
        done(QDialog::Rejected);
        return;
    }
    bool ok = false;
    try {
        ok = RunTransfer(TransferMode);
    } catch (...) {
        error_ = std::current_exception();
    }
    done(ok ? QDialog::Accepted : QDialog::Rejected);
}

} // namespace app
