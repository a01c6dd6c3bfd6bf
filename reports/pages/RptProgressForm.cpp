#include "reports/pages/RptProgressForm.h"

#include "reports/pages/RptPrntr.h"
#include "reports/pages/RptTexts.h"
#include "ui_RptProgressForm.h"

#include <QGuiApplication>
#include <QScreen>

TRptProgressForm::TRptProgressForm(QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::TRptProgressForm>()) {
    ui_->setupUi(this);
    Gauge = ui_->Gauge;
    Info = ui_->Info;
    CancelButton = ui_->CancelButton;
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect s = screen->availableGeometry();
        move(s.center() - rect().center());
    }
    connect(CancelButton, &QPushButton::clicked, this, [this] { CancelButtonClick(); });
}

TRptProgressForm::~TRptProgressForm() = default;

void TRptProgressForm::HandleMessage(const platform::ui::Message& message) {
    if (message.msg != RPT_MSG_PROGRESS) {
        return; // pages done (1025) means nothing here
    }
    const int progress = RptPrinter != nullptr ? RptPrinter->Progress() : int(message.wParam);
    if (progress % 5 != 0) {
        return;
    }
    Gauge->setValue(progress);
    Info->setText(QString::number(progress) + "% " + QString::fromLatin1(RptText(rtxtCompleted)));
    platform::ui::ProcessMessages();
}

void TRptProgressForm::CancelButtonClick() {
    if (RptPrinter != nullptr) {
        RptPrinter->Cancelled = true;
    }
}
