#include "app/dialogs/CheckSavedRecordsFormUnit.h"

#include "app/Texts.h"
#include "ui_CheckSavedRecordsForm.h"

namespace app {

namespace {

constexpr int kItemHeight = 20;

} // namespace

TCheckSavedRecordsForm::TCheckSavedRecordsForm(QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::CheckSavedRecordsForm>()) {
    ui_->setupUi(this);
    setFixedSize(279, 453);
    connect(ui_->BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui_->BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
}

TCheckSavedRecordsForm::~TCheckSavedRecordsForm() = default;

void TCheckSavedRecordsForm::SetCaption(const std::string& cp1251) {
    setWindowTitle(toQt(cp1251));
}

void TCheckSavedRecordsForm::SetListHint(const std::string& cp1251) {
    ui_->RecordsListCheckListBox->setToolTip(toQt(cp1251));
}

void TCheckSavedRecordsForm::ClearItems() {
    ui_->RecordsListCheckListBox->clear();
}

void TCheckSavedRecordsForm::AddItem(const std::string& cp1251, bool ticked) {
    auto* item = new QListWidgetItem(toQt(cp1251), ui_->RecordsListCheckListBox);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
    item->setSizeHint(QSize(0, kItemHeight));
}

int TCheckSavedRecordsForm::ItemCount() const {
    return ui_->RecordsListCheckListBox->count();
}

bool TCheckSavedRecordsForm::IsTicked(int index) const {
    const QListWidgetItem* item = ui_->RecordsListCheckListBox->item(index);
    return item && item->checkState() == Qt::Checked;
}

void TCheckSavedRecordsForm::SetTicked(int index, bool ticked) {
    if (QListWidgetItem* item = ui_->RecordsListCheckListBox->item(index)) {
        item->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
    }
}

QListWidget* TCheckSavedRecordsForm::List() const {
    return ui_->RecordsListCheckListBox;
}

} // namespace app
