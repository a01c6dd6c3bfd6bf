// The small window shown while a report goes to the printer: a gauge, the percentage done and a
// Cancel button. The printer object tells it its progress by posted messages (1024); it updates
// on multiples of five and then lets the user interface breathe so Cancel can be pressed.
#pragma once

#include "platform/ui/Messages.h"

#include <QDialog>

#include <memory>

class QLabel;
class QProgressBar;
class QPushButton;
class TRptPrinter;
namespace Ui {
class TRptProgressForm;
}

class TRptProgressForm : public QDialog, public platform::ui::MessageTarget {
public:
    explicit TRptProgressForm(QWidget* parent = nullptr);
    ~TRptProgressForm() override;

    // The printer object reported on (not owned); set before the window shows.
    TRptPrinter* RptPrinter = nullptr;

    QProgressBar* Gauge;
    QLabel* Info;
    QPushButton* CancelButton;

    void HandleMessage(const platform::ui::Message& message) override;
    void CancelButtonClick();

private:
    std::unique_ptr<Ui::TRptProgressForm> ui_;
};
