#include "app/pages/AScansPage.h"

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

TAScansPage::TAScansPage(TGarnetwickMainForm& form, QWidget* parent) : QWidget(parent), form_(form) {
    ui.setupUi(this);
    holdInitialisation(Surfaces());
}

std::vector<TSurfaceView*> TAScansPage::Surfaces() const {
    return {ui.AScanDimensionSurfaceView, ui.AScanSignalImage, ui.AScanZoomSignalSurfaceView,
            ui.AScanZoomDimensionSurfaceView};
}

void TAScansPage::ApplyTexts() {
    auto& a = ui;
    a.AScansPageCaptionLabel->setText(caption(106));
    a.AScanFramwSelectorCaptionPanel->setText(caption(11));
    a.AScanHeaderControl1->setText(caption(17));
    a.TimeAScanCaptionLabel->setText(caption(341));
    a.PathAScanCaptionLabel->setText(caption(347));
    a.LevelAScanCaptionLabel->setText(caption(343));
    a.AScanMeasureConditionsPanel->setToolTip(caption(231));
    a.AScanFramwSelectorPanel->setToolTip(caption(232));
    for (TSurfaceView* v : Surfaces()) {
        v->SetHint(caption(236));
    }
    const std::pair<QWidget*, int> modePanels[] = {
        {a.AScansScreenModePanel, 237}, {a.MeasureAlgPanel, 238}, {a.SignallingAlgPanel, 239},
        {a.SignalTypePanel, 240},       {a.StrobeAlgPanel, 241},  {a.TGVStatePanel, 242}};
    for (const auto& [w, n] : modePanels) {
        w->setToolTip(caption(n));
    }
}

void TAScansPage::LayoutGrids() {
    QTableWidget* selector = ui.AScanFramwSelectorStringGrid;
    SetGridColumns(selector, SelectorColumnWidths(selector->viewport()->width()));
    selector->setSelectionBehavior(QAbstractItemView::SelectRows);
    SetGridColumns(ui.AScanMeasureConditionsStringGrid,
                   ParamListColumnWidths(ui.AScanMeasureConditionsStringGrid->viewport()->width()));
}

void TAScansPage::ApplyStates(const TActionStates&) {}

void TAScansPage::RefreshAScanList() {
    const TAScanList& list = form_.AScans;
    QTableWidget* grid = ui.AScanFramwSelectorStringGrid;
    grid->setRowCount(list.empty() ? 2 : list.Count + 1);
    grid->setHorizontalHeaderLabels({caption(20), caption(21), caption(22)});
    grid->clearContents();
    for (std::uint16_t i = 0; i < list.Count; ++i) {
        const TBaseConfigCell& c = *list.Records[i]->Config;
        grid->setItem(i, 0, new QTableWidgetItem(QString::number(i + 1)));
        grid->setItem(i, 1, new QTableWidgetItem(toQt(c.ConfigName)));
        grid->setItem(i, 2, new QTableWidgetItem(QString::number(c.ConfigIndex)));
    }
    if (list.empty()) {
        ui.AScansPageCaptionLabel->setText(caption(106));
        BlankSurfaces(Surfaces());
        return;
    }
    const QString text = OriginCaption(list.Origin, list.OriginLabel, 7, 56);
    if (!text.isEmpty()) {
        ui.AScansPageCaptionLabel->setText(text);
    }
}

} // namespace app
