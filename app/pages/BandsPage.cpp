#include "app/pages/BandsPage.h"

#include "app/GridLayout.h"
#include "app/pages/PageSupport.h"
#include "app/MainFormUnit.h"
#include "app/Texts.h"

#include "records/AScanViews.h"
#include "surfaces/SurfaceTarget.h"
#include "surfaces/SurfaceViews.h"

#include <QComboBox>
#include <QLabel>
#include <QTableWidget>

namespace app {

namespace {

// The window initialises the surfaces itself, in its own order, once the texts and lists are in
// place; a surface must not come up on its own when its page is first shown.
void holdInitialisation(const std::vector<TSurfaceView*>& views) {
    for (TSurfaceView* v : views) {
        v->AutoInitialize = false;
    }
}

} // namespace

TBandsPage::TBandsPage(TGarnetwickMainForm& form, QWidget* parent) : QWidget(parent), form_(form) {
    ui.setupUi(this);
    holdInitialisation(Surfaces());
}

std::vector<TSurfaceView*> TBandsPage::Surfaces() const {
    return {ui.BandUpperMarkupSurfaceView,   ui.UpperDummySurfaceView,
            ui.BandColorGradatorSurfaceView, ui.BandBScanSurfaceView,
            ui.BandInDepthMarkupSurfaceView, ui.BandCurrentAScanSurfaceView,
            ui.BandLowerMarkupSurfaceView,   ui.LowerDummySurfaceView,
            ui.BandColorGradator2SurfaceView};
}

void TBandsPage::ApplyTexts() {
    auto& b = ui;
    b.BandsPageCaptionLabel->setText(caption(104));
    b.BandsFrameSelectorCaptionPanel->setText(caption(349));
    b.ParamsinsteadAScaninBandHeaderControl->setText(caption(17));
    b.BandsFrameSelectorPanel->setToolTip(caption(264));
    b.BandColorGradatorSurfaceView->SetHint(caption(265));
    b.BandCurrentAScanSurfaceView->SetHint(caption(266));
    b.BandBScanSurfaceView->SetHint(caption(267));
    b.BScanDepthCaptionLabel->setText(caption(344));
    b.BandOveralLengthCaptionLabel->setText(caption(351));
    b.BandStepCaptionLabel->setText(caption(352));
    b.BScanSignalLevelCaptionLabel->setText(caption(343));
    b.BScanDalnostCaptionLabel->setText(caption(342));
    b.BandCurrentAScanCaptionLabel->setText(txtVar(28));
}

void TBandsPage::LayoutGrids() {
    SetGridColumns(ui.ParamsinsteadAScaninBandStringGrid, ParamListColumnWidths(ui.ParamsinsteadAScaninBandStringGrid->viewport()->width()));
}

void TBandsPage::ApplyStates(const TActionStates&) {}

void TBandsPage::RefreshBandList() {
    const auto& list = form_.Bands;
    QComboBox* combo = ui.BandsSelectorComboBox;
    combo->clear();
    for (std::uint16_t i = 0; i < list.Count; ++i) {
        combo->addItem(txtVar(28) + QString::number(i + 1) + " " + caption(53) + "  " +
                       toQt(list.Records[i]->Config->ConfigName));
    }
    if (form_.ActivePage() == 2) {
        form_.SetStatusPanel1(BandStatusText(list.current()));
    }
    if (list.empty()) {
        ui.BandsPageCaptionLabel->setText(caption(104));
        BlankSurfaces(Surfaces());
        return;
    }
    combo->setCurrentIndex(list.Current);
    const QString text = OriginCaption(list.Origin, list.OriginLabel, 9, 58);
    if (!text.isEmpty()) {
        ui.BandsPageCaptionLabel->setText(text);
    }
}

void TBandsPage::SignalTypeChanged() {}

} // namespace app
