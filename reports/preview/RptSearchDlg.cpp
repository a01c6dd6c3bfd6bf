#include "reports/preview/RptSearchDlg.h"

#include "reports/pages/RptTexts.h"
#include "ui_RptSearchDlg.h"

namespace {

QString engineText(int id) {
    return QString::fromLatin1(RptText(id));
}

} // namespace

TSearchDlg::TSearchDlg(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::TSearchDlg>()) {
    ui_->setupUi(this);
    Edit1 = ui_->Edit1;
    CheckBox1 = ui_->CheckBox1;
    SpeedButton2 = ui_->SpeedButton2;
    SpeedButton1 = ui_->SpeedButton1;
    Label1 = ui_->Label1;
    setWindowTitle(engineText(64957));
    Label1->setText(engineText(64956));
    CheckBox1->setText(engineText(64929));
    SpeedButton2->setText(engineText(64930));
    SpeedButton1->setText(engineText(rtxtCancel));
    connect(SpeedButton2, &QPushButton::clicked, this, [this] { SpeedButton2Click(); });
    connect(SpeedButton1, &QPushButton::clicked, this, [this] { SpeedButton1Click(); });
}

TSearchDlg::~TSearchDlg() = default;

void TSearchDlg::SpeedButton2Click() {
    Cancelled = false;
    accept();
}

void TSearchDlg::SpeedButton1Click() {
    Cancelled = true;
    reject();
}

std::optional<TRptSearchRequest> TSearchDlg::Result() const {
    if (Cancelled) {
        return std::nullopt;
    }
    return TRptSearchRequest{Edit1->text(), CheckBox1->isChecked()};
}

std::optional<TRptSearchRequest> RunSearchDialog(QWidget* parent) {
    TSearchDlg dialog(parent);
    dialog.exec();
    return dialog.Result();
}
