#include "app/pages/MapsPage.h"

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

TMapsPage::TMapsPage(TGarnetwickMainForm& form, QWidget* parent) : QWidget(parent), form_(form) {
    ui.setupUi(this);
    holdInitialisation(Surfaces());
}

std::vector<TSurfaceView*> TMapsPage::Surfaces() const {
    return {ui.MapsCScanSurfaceView,         ui.MapsCDVerticMarkupSurfaceView,
            ui.MapsDScanSurfaceView,         ui.MapsCBHorizMarkupSurfaceView,
            ui.DummySurfaceView,             ui.MapsColorGradatorSurfaceView,
            ui.MapsBScanSurfaceView,         ui.MapsBAVerticMarkupSurfaceView,
            ui.MapsAScanSurfaceView};
}

void TMapsPage::ApplyTexts() {
    auto& m = ui;
    m.MapsPageCaptionLabel->setText(caption(102));
    m.MapsFrameSelectorCaptionPanel->setText(caption(350));
    m.ParamsinsteadAScaninMapHeaderControl->setText(caption(17));
    m.MapSelectorPanel->setToolTip(caption(282));
    m.MapsColorGradatorSurfaceView->SetHint(caption(283));
    m.MapsAScanSurfaceView->SetHint(caption(284));
    m.MapsDScanSurfaceView->SetHint(caption(285));
    m.MapsCScanSurfaceView->SetHint(caption(286));
    m.MapsBScanSurfaceView->SetHint(caption(287));
    m.MapLevelCaptionLabel->setText(caption(343));
    m.MapDepthCaptionLabel->setText(caption(344));
    m.MapHorizCaptionLabel->setText(caption(346));
    m.MapVerticalCaptionLabel->setText(caption(345));
    m.MapHorizStepCaptionLabel->setText(caption(352));
    m.MapVerticalStepCaptionLabel->setText(caption(352));
    m.MapHorizScansCaptionLabel->setText(txtVar(28));
    m.MapVerticalScansCaptionLabel->setText(txtVar(28));
}

void TMapsPage::LayoutGrids() {
    SetGridColumns(ui.ParamsinsteadAScaninMapStringGrid, ParamListColumnWidths(ui.ParamsinsteadAScaninMapStringGrid->viewport()->width()));
}

void TMapsPage::ApplyStates(const TActionStates&) {}

void TMapsPage::RefreshMapList() {
    const auto& list = form_.Maps;
    QComboBox* combo = ui.MapsSelectorComboBox;
    combo->clear();
    for (std::uint16_t i = 0; i < list.Count; ++i) {
        combo->addItem(txtVar(28) + QString::number(i + 1) + " " + caption(55) + "  " +
                       toQt(list.Records[i]->Config->ConfigName));
    }
    if (form_.ActivePage() == 3) {
        form_.SetStatusPanel1(MapStatusText(list.current()));
    }
    if (list.empty()) {
        ui.MapsPageCaptionLabel->setText(caption(102));
        BlankSurfaces(Surfaces());
        return;
    }
    combo->setCurrentIndex(list.Current);
    const QString text = OriginCaption(list.Origin, list.OriginLabel, 10, 59);
    if (!text.isEmpty()) {
        ui.MapsPageCaptionLabel->setText(text);
    }
}

void TMapsPage::SignalTypeChanged() {}

} // namespace app
