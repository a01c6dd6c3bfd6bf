#include "app/pages/ConfigurationsPage.h"

#include "app/MainFormUnit.h"

#include <QTableWidget>
#include <QToolBar>

namespace app {

struct TConfigurationsPage::Impl {
    QToolBar* toolBar = nullptr;
    QTableWidget* selector = nullptr;
};

TConfigurationsPage::TConfigurationsPage(TGarnetwickMainForm& form, QWidget* parent)
    : QWidget(parent), form_(form), d_(new Impl) {
    d_->toolBar = new QToolBar(this);
    d_->toolBar->setGeometry(0, 0, 988, 30);
    for (const char* name : {"ReceiveConfigsAction", "SendConfigsAction", "OpenConfigsAction",
                             "SaveConfigsAction", "FirstConfigAction", "PrevConfigAction",
                             "NextConfigAction", "LastConfigAction", "DisconnectDeviceAction"}) {
        d_->toolBar->addAction(form_.Action(name));
    }
    d_->selector = new QTableWidget(this);
    d_->selector->setObjectName("ConfigSelectorStringGrid");
    d_->selector->setGeometry(0, 56, 259, 560);
}

TConfigurationsPage::~TConfigurationsPage() { delete d_; }

void TConfigurationsPage::ApplyTexts() {}
void TConfigurationsPage::LayoutGrids() {}
void TConfigurationsPage::SetupParamControls() {}
void TConfigurationsPage::ClearGridSelections() {}
void TConfigurationsPage::RefreshConfigList() {}
void TConfigurationsPage::ShowConfig(int) {}
void TConfigurationsPage::FillConfigSelector(bool) {}
void TConfigurationsPage::ApplyStates(const TActionStates&) {}
void TConfigurationsPage::SetParamButtonsFlat(bool) {}
void TConfigurationsPage::ClickParamButton(int) {}
QTableWidget* TConfigurationsPage::SelectorGrid() const { return d_->selector; }

} // namespace app
