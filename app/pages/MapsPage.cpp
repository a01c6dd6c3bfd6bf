#include "app/pages/MapsPage.h"

#include "app/GridLayout.h"
#include "app/Keys.h"
#include "app/MainFormUnit.h"
#include "app/Texts.h"
#include "app/pages/PageSupport.h"
#include "app/pages/ScanPageSupport.h"

#include "config/AuxilaryFunctionsUnit.h"
#include "records/AScanViews.h"
#include "records/Rulers.h"
#include "surfaces/ButtonImages.h"
#include "surfaces/SegLcd.h"
#include "surfaces/SurfaceTarget.h"
#include "surfaces/SurfaceViews.h"

#include <QComboBox>
#include <QLabel>
#include <QPalette>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>

namespace app {

namespace {

// The window initialises the surfaces itself, in its own order, once the texts and lists are in
// place; a surface must not come up on its own when its page is first shown.
void holdInitialisation(const std::vector<TSurfaceView*>& views) {
    for (TSurfaceView* v : views) {
        v->AutoInitialize = false;
    }
}

// The configuration parameters the parameter list shows, in its row order.
constexpr int kMapParamRows[] = {54, 52, 53, 63, 55, 56, 57, 61, 58, 59};

struct PaletteButtonSpec {
    const char* name;
    surfaces::ToolIconId icon;
    int hint;
};
constexpr PaletteButtonSpec kPaletteButtons[] = {
    {"CGTMapBinaryBWToolButton", surfaces::ToolIconId::PaletteBinary, 255},
    {"CGTMapDirectBWToolButton", surfaces::ToolIconId::PaletteDirectGrey, 256},
    {"CGTMapInverseBWToolButton", surfaces::ToolIconId::PaletteInverseGrey, 257},
    {"CGTMapBrennThermoToolButton", surfaces::ToolIconId::PaletteThermal, 254},
};

std::uint16_t u16(int v) {
    return static_cast<std::uint16_t>(std::max(v, 0));
}

} // namespace

TMapsPage::TMapsPage(TGarnetwickMainForm& form, QWidget* parent) : QWidget(parent), form_(form) {
    ui.setupUi(this);
    holdInitialisation(Surfaces());
    for (int kind = 0; kind < 4; ++kind) {
        auto* b = new QToolButton(this);
        b->setObjectName(kPaletteButtons[kind].name);
        b->setCheckable(true);
        // Shown once it has its place in the tool bar.
        b->hide();
        b->setIcon(surfaces::ToolIcon(kPaletteButtons[kind].icon));
        connect(b, &QToolButton::clicked, this,
                [this, kind] { runCommand([this, kind] { PaletteButtonClicked(kind); }); });
        paletteButtons_[static_cast<std::size_t>(kind)] = b;
    }
    connect(ui.MapsSelectorComboBox, &QComboBox::activated, this,
            [this](int index) { runCommand([this, index] { SelectorChanged(index); }); });
    SetupReadouts();
    BindActions();
    BindMouse();
    // Behind the views: between them, the blank views' colour while there are no maps.
    QPalette blank = ui.MapsMainPanel->palette();
    blank.setColor(QPalette::Window, Qt::black);
    ui.MapsMainPanel->setPalette(blank);
}

std::vector<TSurfaceView*> TMapsPage::Surfaces() const {
    return {ui.MapsCScanSurfaceView, ui.MapsCDVerticMarkupSurfaceView,
            ui.MapsDScanSurfaceView, ui.MapsCBHorizMarkupSurfaceView,
            ui.DummySurfaceView,     ui.MapsColorGradatorSurfaceView,
            ui.MapsBScanSurfaceView, ui.MapsBAVerticMarkupSurfaceView,
            ui.MapsAScanSurfaceView};
}

void TMapsPage::SetupReadouts() {
    readouts_ = {ui.MapHorizSegLCD,    ui.MapHorizStepLCD,    ui.MapHorizScansLCD,
                 ui.MapVerticalSegLCD, ui.MapVerticalStepLCD, ui.MapVerticalScansLCD,
                 ui.MapDepthSegLCD,    ui.MapLevelSegLCD};
    for (TSegLCD* lcd : readouts_) {
        StyleReadout(*lcd, 3);
    }
    for (TSegLCD* lcd : {ui.MapVerticalSegLCD, ui.MapHorizSegLCD, ui.MapDepthSegLCD}) {
        lcd->SetDigitNum(4);
    }
    BlankReadouts();
}

void TMapsPage::BindActions() {
    BindScanPageActions(
        form_, this,
        {"ShowFirstMapAction", "ShowPrevMapAction", "ShowNextMapAction", "ShowLastMapAction",
         "SwitchAScanParamsinMapAction", "SaveSelectedMapAction", "EraseSelectedMapAction"},
        [this] { return int(form_.Maps.Current); }, [this] { return int(form_.Maps.Count); },
        [this](const char* action, int target) { Navigate(action, target); },
        [this] { SwitchParams(); }, ui.MapsSelectorComboBox);
}

void TMapsPage::BindMouse() {
    using B = TMouseButton;
    const std::pair<TSurfaceView*, MapMouseView> views[] = {
        {ui.MapsCScanSurfaceView, MapMouseView::CScan},
        {ui.MapsDScanSurfaceView, MapMouseView::DScan},
        {ui.MapsBScanSurfaceView, MapMouseView::BScan},
        {ui.MapsAScanSurfaceView, MapMouseView::AScan}};
    for (const auto& [surface, view] : views) {
        // The B-scan answers a press of any button; the other views only the left one.
        const bool anyButton = view == MapMouseView::BScan;
        surface->OnMouseDown = [this, view, anyButton](TObject*, B button, TShiftState, int x,
                                                       int y) {
            if (anyButton || button == B::mbLeft) {
                runCommand([&] { ViewMouse(view, x, y, true); });
            }
        };
        surface->OnMouseMove = [this, view](TObject*, TShiftState, int x, int y) {
            runCommand([&] { ViewMouse(view, x, y, false); });
        };
        surface->OnMouseUp = [this](TObject*, B button, TShiftState, int, int) {
            if (button == B::mbLeft) {
                dragging_ = false;
            }
        };
    }
    TSurfaceView* gradator = ui.MapsColorGradatorSurfaceView;
    gradator->OnMouseDown = [this](TObject*, B, TShiftState, int x, int) {
        runCommand([&] { GradatorPress(x); });
    };
    gradator->OnMouseMove = [this](TObject*, TShiftState, int x, int) {
        runCommand([&] { GradatorMove(x); });
    };
    gradator->OnMouseUp = [this](TObject*, B, TShiftState, int, int) {
        runCommand([&] { GradatorRelease(); });
    };
}

void TMapsPage::PlaceToolButtons() {
    if (toolButtonsPlaced_) {
        return;
    }
    toolButtonsPlaced_ = true;
    QToolBar* bar = ui.MapsToolBar;
    QAction* switchParams = form_.Action("SwitchAScanParamsinMapAction");
    QAction* before = bar->actions().contains(switchParams) ? switchParams : nullptr;
    // The tool bar shows a widget as far as its action is visible.
    for (QToolButton* b : paletteButtons_) {
        bar->insertWidget(before, b)->setVisible(true);
    }
    bar->insertSeparator(before);
    if (auto* b = qobject_cast<QToolButton*>(bar->widgetForAction(switchParams))) {
        b->setObjectName("SwitchAScanParamsinMapToolButton");
    }
}

void TMapsPage::ApplyTexts() {
    PlaceToolButtons();
    auto& m = ui;
    m.MapsPageCaptionLabel->setText(caption(102));
    m.MapsFrameSelectorCaptionPanel->setText(caption(350));
    m.ParamsinsteadAScaninMapHeaderControl->setText(caption(17));
    m.MapSelectorPanel->setToolTip(caption(282));
    SetSurfaceHint(m.MapsColorGradatorSurfaceView, caption(283));
    SetSurfaceHint(m.MapsAScanSurfaceView, caption(284));
    SetSurfaceHint(m.MapsDScanSurfaceView, caption(285));
    SetSurfaceHint(m.MapsCScanSurfaceView, caption(286));
    SetSurfaceHint(m.MapsBScanSurfaceView, caption(287));
    m.MapLevelCaptionLabel->setText(caption(343));
    m.MapDepthCaptionLabel->setText(caption(344));
    m.MapHorizCaptionLabel->setText(caption(346));
    m.MapVerticalCaptionLabel->setText(caption(345));
    m.MapHorizStepCaptionLabel->setText(caption(352));
    m.MapVerticalStepCaptionLabel->setText(caption(352));
    m.MapHStepDImensionLabel->setText(txtVar(26));
    m.MapVStepDImensionLabel->setText(txtVar(26));
    m.MapHorizScansCaptionLabel->setText(txtVar(28));
    m.MapVerticalScansCaptionLabel->setText(txtVar(28));
    m.MapLevelSegLCD->setToolTip(caption(278));
    m.MapVerticalSegLCD->setToolTip(caption(279));
    m.MapHorizSegLCD->setToolTip(caption(280));
    m.MapDepthSegLCD->setToolTip(caption(281));
    for (int kind = 0; kind < 4; ++kind) {
        paletteButtons_[static_cast<std::size_t>(kind)]->setToolTip(
            caption(kPaletteButtons[kind].hint));
    }
    if (form_.ScratchAScan) {
        FillParamNames(ui.ParamsinsteadAScaninMapStringGrid, *form_.ScratchAScan->Config,
                       kMapParamRows);
    }
}

void TMapsPage::LayoutGrids() {
    QTableWidget* grid = ui.ParamsinsteadAScaninMapStringGrid;
    SetGridColumns(grid, ParamListColumnWidths(grid->viewport()->width()));
}

void TMapsPage::ApplyStates(const TActionStates& states) {
    for (QToolButton* b : paletteButtons_) {
        b->setEnabled(states.maps.records);
    }
}

// ---- showing a map ---------------------------------------------------------------------------

void TMapsPage::RefreshMapList() {
    const TMapList& list = form_.Maps;
    QComboBox* combo = ui.MapsSelectorComboBox;
    {
        const QSignalBlocker quiet(combo);
        combo->clear();
        for (std::uint16_t i = 0; i < list.Count; ++i) {
            combo->addItem(txtVar(28) + QString::number(i + 1) + " " + caption(55) + "  " +
                           toQt(list.Records[i]->Config->ConfigName));
        }
    }
    ShowMap(0);
    ui.MapsMainPanel->setAutoFillBackground(list.empty());
    ui.MapsMainPanel->update();
    if (TBaseMapCell* first = list.empty() ? nullptr : list.Records[0].get()) {
        TSurfaceViewTarget dummy(*ui.DummySurfaceView);
        first->ClearSurface(dummy);
        return;
    }
    BlankSurfaces(Surfaces());
    BlankReadouts();
    if (form_.ActivePage() == static_cast<int>(MainPage::Maps)) {
        form_.SetStatusPanel1({});
    }
}

void TMapsPage::ShowMap(std::uint16_t n) {
    TMapList& list = form_.Maps;
    QTableWidget* grid = ui.ParamsinsteadAScaninMapStringGrid;
    ClearParamValues(grid, std::size(kMapParamRows));
    if (list.empty()) {
        if (list.Origin == OriginKind::None) {
            ui.MapsPageCaptionLabel->setText(caption(102));
        }
        return;
    }
    if (n >= list.Count || n >= list.Records.size() || !list.Records[n]) {
        return;
    }
    TBaseMapCell& map = *list.Records[n];
    {
        const QSignalBlocker quiet(ui.MapsSelectorComboBox);
        ui.MapsSelectorComboBox->setCurrentIndex(n);
    }
    FillParamValues(grid, *map.Config, kMapParamRows);
    const QString text = OriginCaption(list.Origin, list.OriginLabel, 10, 59);
    if (!text.isEmpty()) {
        ui.MapsPageCaptionLabel->setText(text);
    }
    list.Current = n;
    // Cursors read from a file may lie outside the grid.
    map.ClampCursors();
    map.ComputeCellSize(u16(ui.MapsCScanSurfaceView->width()),
                        u16(ui.MapsCScanSurfaceView->height()));
    TSurfaceViewTarget depth(*ui.MapsBAVerticMarkupSurfaceView);
    DrawInDepthMarkupToSurfaceView(map, depth, KeepScheme, 0, map.Config->AScanRange);
    TSurfaceViewTarget columns(*ui.MapsCBHorizMarkupSurfaceView);
    map.DrawCBHorizMarkupToSurfaceView(KeepScheme, columns);
    TSurfaceViewTarget rows(*ui.MapsCDVerticMarkupSurfaceView);
    map.DrawCDVerticMarkupToSurfaceView(KeepScheme, rows);
    DrawMap(n, MapAllViews);
    ShowMapReadouts(n);
    UpdateMapPaletteButtons();
    if (form_.ActivePage() == static_cast<int>(MainPage::Maps)) {
        form_.SetStatusPanel1(MapStatusText(&map));
    }
}

void TMapsPage::DrawMap(std::uint16_t n, unsigned views) {
    const TMapList& list = form_.Maps;
    if (n >= list.Count || !list.Records[n]) {
        return;
    }
    TBaseMapCell& map = *list.Records[n];
    map.ComputeCellSize(u16(ui.MapsCScanSurfaceView->width()),
                        u16(ui.MapsCScanSurfaceView->height()));
    const TMapDrawPlan plan = PlanMapDraw(views);
    if (plan.aScan) {
        map.SetCurrentRow(map.Config->MapCursorVertical);
        map.SetCurrentScan(map.Config->MapCursorHorizontal);
        TSurfaceViewTarget target(*ui.MapsAScanSurfaceView);
        DrawVerticalSignalToSurfaceView(map, target, KeepScheme, 0, map.Config->AScanRange);
    }
    TSurfaceViewTarget bScan(*ui.MapsBScanSurfaceView);
    if (plan.renderB) {
        map.DrawToSurfaceView(KeepPalette, KeepScheme, bScan);
    } else if (plan.redrawB) {
        map.RedrawToSurfaceView(bScan);
    }
    TSurfaceViewTarget dScan(*ui.MapsDScanSurfaceView);
    if (plan.renderD) {
        map.DrawDScanToSurfaceView(KeepPalette, KeepScheme, dScan);
    } else if (plan.redrawD) {
        map.RedrawDScanToSurfaceView(dScan);
    }
    TSurfaceViewTarget cScan(*ui.MapsCScanSurfaceView);
    if (plan.renderC) {
        map.DrawCScanToSurfaceView(KeepPalette, KeepScheme, cScan);
    } else if (plan.redrawC) {
        map.RedrawCScanToSurfaceView(cScan);
    }
    if (plan.gradator) {
        TSurfaceViewTarget gradator(*ui.MapsColorGradatorSurfaceView);
        map.DrawColorGradatorToSurfaceView(gradator);
    }
}

void TMapsPage::ShowMapReadouts(std::uint16_t n) {
    const TMapList& list = form_.Maps;
    if (n >= list.Count || !list.Records[n]) {
        return;
    }
    const TBaseMapCell& map = *list.Records[n];
    const TBaseConfigCell& c = *map.Config;
    // Millimetres to metres last, as the instrument shows them (0.175 is "0.17").
    ui.MapHorizSegLCD->SetValue(
        FloatToDotStr(2, (c.MapCursorHorizontal + 1) * c.MapHorizStep / 1000.0));
    ui.MapHorizStepLCD->SetValue(FloatToDotStr(2, c.MapHorizStep / 1000.0));
    ui.MapHorizScansLCD->SetValue(std::to_string(c.MapCursorHorizontal + 1));
    ui.MapVerticalSegLCD->SetValue(
        FloatToDotStr(2, (c.MapCursorVertical + 1) * c.MapVerticStep / 1000.0));
    ui.MapVerticalStepLCD->SetValue(FloatToDotStr(2, c.MapVerticStep / 1000.0));
    ui.MapVerticalScansLCD->SetValue(std::to_string(c.MapCursorVertical + 1));
    ui.MapDepthSegLCD->SetValue(FloatToDotStr(1, c.GetCursorDistance(true)));
    ui.MapLevelSegLCD->SetValue(FloatToDotStr(1, map.GetAmplitudeDb()));
    ui.SegmentParamsMapsPanel->update();
}

void TMapsPage::BlankReadouts() {
    for (TSegLCD* lcd : readouts_) {
        lcd->SetValue("---");
    }
}

void TMapsPage::UpdateMapPaletteButtons() {
    const TBaseMapCell* map = form_.Maps.current();
    if (map == nullptr) {
        return;
    }
    for (int kind = 0; kind < 4; ++kind) {
        paletteButtons_[static_cast<std::size_t>(kind)]->setChecked(map->PaletteKind == kind);
    }
}

void TMapsPage::SignalTypeChanged() {
    const TMapList& list = form_.Maps;
    if (list.current() == nullptr) {
        return;
    }
    DrawMap(list.Current, MapAScanView);
    ShowMapReadouts(list.Current);
}

// ---- commands ------------------------------------------------------------------------------

void TMapsPage::SelectorChanged(int index) {
    if (form_.Maps.empty() || index < 0) {
        return;
    }
    ShowMap(static_cast<std::uint16_t>(index));
    UpdateMapPaletteButtons();
    form_.UpdateActionStates();
}

void TMapsPage::Navigate(const char* actionName, int target) {
    TPressedButton held(form_.Action(actionName));
    runCommand([&] {
        const TMapList& list = form_.Maps;
        // Before the first and past the last map there is nothing to show.
        if (list.empty() || target < 0 || target >= list.Count) {
            return;
        }
        ShowMap(static_cast<std::uint16_t>(target));
        UpdateMapPaletteButtons();
        form_.UpdateActionStates();
    });
}

void TMapsPage::PaletteButtonClicked(int kind) {
    QToolButton* button = paletteButtons_[static_cast<std::size_t>(kind)];
    const TMapList& list = form_.Maps;
    TBaseMapCell* map = list.current();
    if (map == nullptr) {
        button->setChecked(false);
        return;
    }
    if (button->isChecked() && kind != map->PaletteKind) {
        map->PaletteKind = static_cast<std::uint8_t>(kind);
        map->BuildPalette(KeepPalette, KeepBound, KeepBound);
        UpdateMapPaletteButtons();
        DrawMap(list.Current, MapBScanView | MapDScanView | MapCScanView | MapGradatorView);
    }
    // The palette in use cannot be switched off.
    if (!button->isChecked() && kind == map->PaletteKind) {
        button->setChecked(true);
    }
}

void TMapsPage::SwitchParams() {
    showParams_ = !showParams_;
    ui.MapsColorGradatorSurfaceView->setVisible(!showParams_);
    ui.MapsAScanSurfaceView->setVisible(!showParams_);
    ui.ParamsinsteadAScaninMapPanel->setVisible(showParams_);
    ui.ParamsinsteadAScaninMapStringGrid->setVisible(showParams_);
    ui.ParamsinsteadAScaninMapHeaderControl->setVisible(showParams_);
    if (showParams_) {
        ui.ParamsinsteadAScaninMapPanel->raise();
    }
    form_.Action("SwitchAScanParamsinMapAction")->setChecked(showParams_);
}

// ---- the mouse -----------------------------------------------------------------------------

void TMapsPage::ViewMouse(MapMouseView view, int x, int y, bool press) {
    const TMapList& list = form_.Maps;
    TBaseMapCell* map = list.current();
    if (map == nullptr || (!press && !dragging_)) {
        return;
    }
    TSurfaceView* surface = view == MapMouseView::CScan   ? ui.MapsCScanSurfaceView
                            : view == MapMouseView::DScan ? ui.MapsDScanSurfaceView
                            : view == MapMouseView::BScan ? ui.MapsBScanSurfaceView
                                                          : ui.MapsAScanSurfaceView;
    TCursorMove move;
    if (view == MapMouseView::AScan) {
        // The upright A-scan answers its depth (Y) alone.
        int unusedX = x;
        move = MoveCursorPoint(unusedX, lastY_, x, y, surface->width(), surface->height());
        move.x = false;
    } else {
        move = MoveCursorPoint(lastX_, lastY_, x, y, surface->width(), surface->height());
    }
    const TMapMouseStep step = PlanMapMouse(view, move.x, move.y, press);
    if (step.views == 0) {
        return;
    }
    dragging_ = true;
    map->ComputeCellSize(u16(ui.MapsCScanSurfaceView->width()),
                         u16(ui.MapsCScanSurfaceView->height()));
    const int bScanHeight = ui.MapsBScanSurfaceView->height();
    switch (view) {
    case MapMouseView::CScan:
        if (step.column) {
            map->SetCursorColumnFromMouse(u16(lastX_));
        }
        if (step.row) {
            map->SetCursorRowFromMouse(u16(lastY_));
        }
        break;
    case MapMouseView::DScan:
        if (step.marker) {
            map->SetMarkerFromMouse(u16(lastX_), u16(surface->width()));
        }
        if (step.row) {
            map->SetCursorRowFromMouse(u16(lastY_));
        }
        break;
    case MapMouseView::BScan:
        if (step.marker) {
            map->SetMarkerFromMouse(u16(lastY_), u16(bScanHeight));
        }
        if (step.column) {
            map->SetCursorColumnFromMouse(u16(lastX_));
        }
        break;
    case MapMouseView::AScan:
        // The two lower views are equally high: the marker follows the B-scan's scale.
        map->SetMarkerFromMouse(u16(lastY_), u16(bScanHeight));
        break;
    }
    DrawMap(list.Current, step.views);
    ShowMapReadouts(list.Current);
}

void TMapsPage::GradatorPress(int x) {
    TBaseMapCell* map = form_.Maps.current();
    if (map == nullptr || x < 0) {
        return;
    }
    const auto width = u16(ui.MapsColorGradatorSurfaceView->width());
    gradatorHandle_ = map->HitColorGradator(width, u16(x));
    if (gradatorHandle_ == 1 || gradatorHandle_ == 2) {
        gradatorLastX_ = x;
        gradatorDragging_ = true;
    }
}

void TMapsPage::GradatorMove(int x) {
    const TMapList& list = form_.Maps;
    TBaseMapCell* map = list.current();
    TSurfaceView* view = ui.MapsColorGradatorSurfaceView;
    if (map == nullptr || (!gradatorDragging_ && x < 0)) {
        return;
    }
    const auto width = u16(view->width());
    if (!gradatorDragging_) {
        view->setCursor(map->HitColorGradator(width, u16(x)) != 0 ? Qt::SplitHCursor
                                                                  : normalCursor_);
        return;
    }
    x = std::clamp(x, 0, std::max(view->width() - 1, 0));
    if (x == gradatorLastX_) {
        return;
    }
    gradatorLastX_ = x;
    // The record's rule keeps the edge pixels itself: the handle stays under the mouse.
    map->DragColorGradator(width, gradatorHandle_, u16(x));
    map->BuildPalette(KeepPalette, KeepBound, KeepBound);
    DrawMap(list.Current, MapGradatorView);
}

void TMapsPage::GradatorRelease() {
    const bool wasDragging = gradatorDragging_;
    gradatorDragging_ = false;
    const TMapList& list = form_.Maps;
    if (!wasDragging || list.current() == nullptr) {
        return;
    }
    ui.MapsColorGradatorSurfaceView->setCursor(normalCursor_);
    DrawMap(list.Current, MapBScanView | MapDScanView | MapCScanView);
}

} // namespace app
