#include "app/pages/AScansPage.h"

#include "app/GridLayout.h"
#include "app/Keys.h"
#include "app/MainFormUnit.h"
#include "app/Texts.h"
#include "app/pages/BandsPage.h"
#include "app/pages/MapsPage.h"
#include "app/pages/PageSupport.h"
#include "app/pages/ParamEditing.h"

#include "config/AuxilaryFunctionsUnit.h"
#include "config/BaseConfigObjectConstantsUnit.h"
#include "platform/text/Numbers.h"
#include "records/AScanViews.h"
#include "records/Rulers.h"
#include "surfaces/ButtonImages.h"
#include "surfaces/SegLcd.h"
#include "surfaces/SurfaceTarget.h"
#include "surfaces/SurfaceViews.h"

#include <QActionGroup>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTableWidget>

#include <algorithm>
#include <cmath>

namespace app {

namespace {

// The drawing mode every page view passes: the record's own colours.
constexpr std::uint8_t OwnScheme = 254;
// The split screen: the trace above, the zoom of strobe 1 below it.
constexpr int SplitScreenType = 130;
// The selector shows 25 records; from 26 on its bar scrolls it.
constexpr int BarFromRecords = 26;
constexpr int VisibleSelectorRows = 25;
constexpr int SelectorRowHeight = 20;

// Measure-condition rows by parameter number.
constexpr std::array<int, 16> MeasureRows = {72, 74, 84, 81, 82, 59, 54, 52,
                                             53, 63, 35, 55, 56, 57, 61, 58};

// The parameters the mode pictures show, in picture order.
constexpr std::array<int, 6> ModeParams = {GEN_SCREEN_TYPE, ASCAN_STROB1_ENABLED,
                                           ASCAN_SIGNAL_CATCH_ALGORYTHM, ASCAN_KURSORS_QUANT,
                                           GEN_SIGNAL_TYPE, GEN_TGV_ENABLED};

// The window initialises the surfaces itself, in its own order, once the texts and lists are in
// place; a surface must not come up on its own when its page is first shown.
void holdInitialisation(const std::vector<TSurfaceView*>& views) {
    for (TSurfaceView* v : views) {
        v->AutoInitialize = false;
    }
}

bool isSplitScreen(const TBaseAScanCell& record) {
    const double v = record.Config ? record.Config->GetParamValue(GEN_SCREEN_TYPE) : 0.0;
    return std::lround(v) == SplitScreenType;
}

void setCell(QTableWidget* grid, int row, int column, const QString& text) {
    if (QTableWidgetItem* item = grid->item(row, column)) {
        item->setText(text);
    } else {
        grid->setItem(row, column, new QTableWidgetItem(text));
    }
}

} // namespace

int ModePictureIndex(int param, const TBaseAScanCell* record) {
    if (record == nullptr || !record->Config) {
        return surfaces::button_image::NoRecord;
    }
    return ParamButtonImageIndex(param, record->Config->GetParamValue(param));
}

TAScansPage::TAScansPage(TGarnetwickMainForm& form, QWidget* parent)
    : QWidget(parent), form_(form) {
    ui.setupUi(this);
    holdInitialisation(Surfaces());
    viewTop_ = ui.AScanSignalImage->y();

    QTableWidget* selector = ui.AScanFramwSelectorStringGrid;
    selector->setColumnCount(3);
    selector->setRowCount(1);
    selector->setEditTriggers(QAbstractItemView::NoEditTriggers);
    selector->setSelectionBehavior(QAbstractItemView::SelectRows);
    selector->setSelectionMode(QAbstractItemView::SingleSelection);
    selector->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    selector->verticalHeader()->hide();
    selector->verticalHeader()->setDefaultSectionSize(SelectorRowHeight);
    selector->horizontalHeader()->setFixedHeight(SelectorRowHeight);
    selector->horizontalHeader()->setSectionsClickable(false);
    selector->horizontalHeader()->setHighlightSections(false);
    selector->setTabKeyNavigation(false);
    selector->installEventFilter(this);
    connect(selector, &QTableWidget::currentCellChanged, this,
            [this](int row, int, int previousRow, int) {
                if (ignoreSelect_) {
                    ignoreSelect_ = false;
                    return;
                }
                if (!keyMoving_ && row >= 0 && row != previousRow) {
                    runCommand([&] { AScanFramwSelectorStringGridSelectCell(row); });
                }
            });
    // However the selector scrolls (click, keys, wheel), the bar shows where it is.
    connect(selector->verticalScrollBar(), &QScrollBar::valueChanged, this,
            [this](int) { FollowGridWithBar(); });
    connect(ui.AScanSelectorScrollBar, &QScrollBar::valueChanged, this,
            [this](int position) { SelectorScrollBarChange(position); });
    selector->setContextMenuPolicy(Qt::ActionsContextMenu);
    for (const char* name : {"SaveSelectedAscanAction", "EraseSelectedAScanAction"}) {
        if (QAction* a = form_.Action(name)) {
            selector->addAction(a);
        }
    }

    QTableWidget* conditions = ui.AScanMeasureConditionsStringGrid;
    conditions->setColumnCount(2);
    conditions->setRowCount(static_cast<int>(MeasureRows.size()));
    conditions->setEditTriggers(QAbstractItemView::NoEditTriggers);
    conditions->setSelectionMode(QAbstractItemView::NoSelection);
    conditions->setFocusPolicy(Qt::NoFocus);
    conditions->horizontalHeader()->hide();
    conditions->verticalHeader()->hide();
    conditions->verticalHeader()->setDefaultSectionSize(
        (conditions->height() - 2) / static_cast<int>(MeasureRows.size()));

    signalTypeMenu_ = new QMenu(this);
    signalTypeMenu_->setObjectName("PopupMenu_AScanType");
    auto* group = new QActionGroup(signalTypeMenu_);
    detectedItem_ = signalTypeMenu_->addAction(QStringLiteral("Detected"));
    detectedItem_->setObjectName("Detected");
    radioItem_ = signalTypeMenu_->addAction(QStringLiteral("Radio"));
    radioItem_->setObjectName("Radio");
    for (QAction* item : {detectedItem_, radioItem_}) {
        item->setCheckable(true);
        group->addAction(item);
    }
    detectedItem_->setChecked(true);
    connect(signalTypeMenu_, &QMenu::aboutToShow, this, [this] { PopupMenu_AScanTypePopup(); });
    connect(detectedItem_, &QAction::triggered, this,
            [this] { runCommand([this] { SetSignalTypeOfPageInFront(0); }); });
    connect(radioItem_, &QAction::triggered, this,
            [this] { runCommand([this] { SetSignalTypeOfPageInFront(2); }); });

    for (TSurfaceView* view : {ui.AScanSignalImage, ui.AScanZoomSignalSurfaceView}) {
        AttachSignalTypeMenu(view);
        view->OnMouseDown = [this, view](TObject*, TMouseButton button, TShiftState, int x, int) {
            runCommand([&] { ViewMouseDown(view, button == TMouseButton::mbLeft, x); });
        };
        view->OnMouseMove = [this, view](TObject*, TShiftState, int x, int) {
            runCommand([&] { ViewMouseMove(view, x); });
        };
        view->OnMouseUp = [this](TObject*, TMouseButton button, TShiftState, int, int) {
            ViewMouseUp(button == TMouseButton::mbLeft);
        };
    }
    // Paths in millimetres reach four digits before the point; every value has one decimal.
    for (TSegLCD* lcd : {ui.TimeAScanSegLCD, ui.PathAScanSegLCD, ui.LevelAScanSegLCD}) {
        lcd->SetDigitNum(5);
        lcd->SetDotDisplay(true);
        lcd->SetGapX(1);
        lcd->SetGapY(1);
        lcd->SetOffColor(TColor(0x1F1F1F));
    }
    ui.AScanBckGrndPanel->hide();
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
        SetSurfaceHint(v, caption(236));
    }
    // The read-outs are the buttons the hints name.
    a.LevelAScanSegLCD->setToolTip(caption(233));
    a.PathAScanSegLCD->setToolTip(caption(234));
    a.TimeAScanSegLCD->setToolTip(caption(235));
    const std::pair<QWidget*, int> modePanels[] = {
        {a.AScansScreenModePanel, 237}, {a.MeasureAlgPanel, 238}, {a.SignallingAlgPanel, 239},
        {a.SignalTypePanel, 240},       {a.StrobeAlgPanel, 241},  {a.TGVStatePanel, 242}};
    for (const auto& [w, n] : modePanels) {
        w->setToolTip(caption(n));
    }
    a.AScanFramwSelectorStringGrid->setHorizontalHeaderLabels(
        {caption(20), caption(21), caption(22)});
    if (const TBaseAScanCell* scratch = form_.ScratchAScan.get(); scratch && scratch->Config) {
        for (std::size_t r = 0; r < MeasureRows.size(); ++r) {
            setCell(a.AScanMeasureConditionsStringGrid, static_cast<int>(r), 0,
                    toQt(scratch->Config->GetParamCaption(MeasureRows[r])));
        }
    }
    detectedItem_->setText(txtVar(31));
    radioItem_->setText(txtVar(32));
}

void TAScansPage::LayoutGrids() {
    QTableWidget* selector = ui.AScanFramwSelectorStringGrid;
    SetGridColumns(selector, SelectorColumnWidths(selector->viewport()->width()));
    selector->setSelectionBehavior(QAbstractItemView::SelectRows);
    SetGridColumns(ui.AScanMeasureConditionsStringGrid,
                   ParamListColumnWidths(ui.AScanMeasureConditionsStringGrid->viewport()->width()));
}

void TAScansPage::ApplyStates(const TActionStates&) {}

// ---- the list --------------------------------------------------------------------------------

void TAScansPage::RefreshAScanList() {
    const TAScanList& list = form_.AScans;
    QTableWidget* grid = ui.AScanFramwSelectorStringGrid;
    QScrollBar* bar = ui.AScanSelectorScrollBar;
    {
        const QSignalBlocker quiet(grid);
        grid->clearContents();
        grid->setRowCount(list.empty() ? 1 : list.Count);
        for (std::uint16_t i = 0; i < list.Count; ++i) {
            const TBaseAScanCell* record = list.Records[i].get();
            if (record == nullptr || !record->Config) {
                continue;
            }
            setCell(grid, i, 0, QString::number(i + 1));
            setCell(grid, i, 1, toQt(record->Config->ConfigName));
            setCell(grid, i, 2, QString::number(record->Config->ConfigIndex));
        }
        grid->setCurrentCell(-1, -1);
        grid->scrollToTop();
    }
    {
        // In the bar's own terms its maximum is count + 1 with a page of 26 rows; Qt's maximum
        // is the largest first row.
        const QSignalBlocker quiet(bar);
        if (list.Count < BarFromRecords) {
            bar->setRange(1, 1);
            bar->setPageStep(1);
            bar->setValue(1);
            bar->setEnabled(false);
        } else {
            bar->setRange(1, list.Count - VisibleSelectorRows + 1);
            bar->setPageStep(BarFromRecords);
            bar->setValue(1);
            bar->setEnabled(true);
        }
    }
    if (list.empty()) {
        ui.AScanBckGrndPanel->show();
        ui.AScanBckGrndPanel->raise();
        BlankSurfaces(Surfaces());
        ui.TimeAScanSegLCD->SetValue("----");
        ui.PathAScanSegLCD->SetValue("---");
        ui.LevelAScanSegLCD->SetValue("--");
    } else {
        ui.AScanBckGrndPanel->lower();
        ui.AScanBckGrndPanel->hide();
    }
    ShowAScan(0);
}

void TAScansPage::ShowAScan(int n) {
    TAScanList& list = form_.AScans;
    if (list.empty()) {
        if (list.Origin == OriginKind::None) {
            ui.AScansPageCaptionLabel->setText(caption(106));
        }
        for (int r = 0; r < ui.AScanMeasureConditionsStringGrid->rowCount(); ++r) {
            setCell(ui.AScanMeasureConditionsStringGrid, r, 1, QString());
        }
        ShowModePictures(nullptr);
    } else if (n >= 0 && n < list.Count && n < static_cast<int>(list.Records.size()) &&
               list.Records[n] && list.Records[n]->Config) {
        TBaseAScanCell& record = *list.Records[n];
        QTableWidget* grid = ui.AScanFramwSelectorStringGrid;
        if (grid->currentRow() != n) {
            const QSignalBlocker quiet(grid);
            grid->setCurrentCell(n, 0);
        }
        for (std::size_t r = 0; r < MeasureRows.size(); ++r) {
            setCell(ui.AScanMeasureConditionsStringGrid, static_cast<int>(r), 1,
                    toQt(record.Config->GetParamDisplayString(MeasureRows[r])));
        }
        const QString text = OriginCaption(list.Origin, list.OriginLabel, 7, 56);
        if (!text.isEmpty()) {
            ui.AScansPageCaptionLabel->setText(text);
        }
        ShowModePictures(&record);
        ShowAScanReadouts(n);
        list.Current = static_cast<std::uint16_t>(n);
        LayoutViews(isSplitScreen(record));
        DrawAScan(n);
        FollowGridWithBar();
    }
    form_.SetStatusPanel1({});
}

void TAScansPage::LayoutViews(bool split) {
    const std::array<int, 4> heights = split ? std::array<int, 4>{206, 36, 206, 36}
                                             : std::array<int, 4>{448, 36, 0, 0};
    const std::array<TSurfaceView*, 4> views = {ui.AScanSignalImage, ui.AScanDimensionSurfaceView,
                                                ui.AScanZoomSignalSurfaceView,
                                                ui.AScanZoomDimensionSurfaceView};
    int y = viewTop_;
    for (std::size_t i = 0; i < views.size(); ++i) {
        TSurfaceView* v = views[i];
        v->setGeometry(v->x(), y, v->width(), heights[i]);
        y += heights[i];
    }
}

void TAScansPage::DrawAScan(int n) {
    TAScanList& list = form_.AScans;
    if (n < 0 || n >= list.Count || n >= static_cast<int>(list.Records.size()) ||
        !list.Records[n] || !list.Records[n]->Config) {
        return;
    }
    TBaseAScanCell& record = *list.Records[n];
    if (isSplitScreen(record)) {
        const double begin = record.Config->StrobeBeginTime[0];
        const double end = begin + record.Config->StrobeLengthTime[0];
        TSurfaceViewTarget zoomRuler(*ui.AScanZoomDimensionSurfaceView);
        DrawZoomHorizMarkupToSurfaceView(record, zoomRuler, OwnScheme, begin, end);
        TSurfaceViewTarget zoom(*ui.AScanZoomSignalSurfaceView);
        DrawZoomToSurfaceView(record, zoom, OwnScheme, begin, end);
    }
    const double samples = record.SampleCount();
    TSurfaceViewTarget ruler(*ui.AScanDimensionSurfaceView);
    DrawHorizMarkupToSurfaceView(record, ruler, OwnScheme, 0.0, samples);
    TSurfaceViewTarget main(*ui.AScanSignalImage);
    DrawSignalToSurfaceView(record, main, OwnScheme, 0.0, samples);
}

void TAScansPage::ShowAScanReadouts(int n) {
    const TAScanList& list = form_.AScans;
    if (n < 0 || n >= list.Count || n >= static_cast<int>(list.Records.size()) ||
        !list.Records[n] || !list.Records[n]->Config) {
        return;
    }
    const TBaseAScanCell& record = *list.Records[n];
    ui.TimeAScanSegLCD->SetValue(FloatToDotStr(1, record.Config->GetCursorDistance(false)));
    ui.PathAScanSegLCD->SetValue(FloatToDotStr(1, record.Config->GetCursorDistance(true)));
    ui.LevelAScanSegLCD->SetValue(FloatToDotStr(1, record.GetAmplitudeDb()));
}

void TAScansPage::SetModePicture(QLabel* label, int index) {
    label->setPixmap(surfaces::ControlButtonImage(index));
    label->setProperty("ImageIndex", index);
}

void TAScansPage::ShowModePictures(const TBaseAScanCell* record) {
    const std::array<QLabel*, 6> labels = {ui.AScansScreenModeImage, ui.SignallingAlgImage,
                                           ui.StrobeAlgImage,        ui.MeasureAlgImage,
                                           ui.SignalTypeImage,       ui.TGVStateImage};
    for (std::size_t i = 0; i < labels.size(); ++i) {
        SetModePicture(labels[i], ModePictureIndex(ModeParams[i], record));
    }
}

std::array<int, 6> TAScansPage::ModePictureIndexes() const {
    const std::array<QLabel*, 6> labels = {ui.AScansScreenModeImage, ui.SignallingAlgImage,
                                           ui.StrobeAlgImage,        ui.MeasureAlgImage,
                                           ui.SignalTypeImage,       ui.TGVStateImage};
    std::array<int, 6> out{};
    for (std::size_t i = 0; i < labels.size(); ++i) {
        const QVariant v = labels[i]->property("ImageIndex");
        out[i] = v.isValid() ? v.toInt() : -1;
    }
    return out;
}

// ---- moving through the list -----------------------------------------------------------------

void TAScansPage::FirstAScanActionExecute() {
    ShowAScan(0);
    form_.UpdateActionStates();
}

void TAScansPage::PrevAScanActionExecute() {
    // Before the first record there is nothing to go to.
    if (form_.AScans.Current == 0) {
        return;
    }
    ShowAScan(form_.AScans.Current - 1);
    form_.UpdateActionStates();
}

void TAScansPage::NextAScanActionExecute() {
    ShowAScan(form_.AScans.Current + 1);
    form_.UpdateActionStates();
}

void TAScansPage::LastAScanActionExecute() {
    ShowAScan(form_.AScans.Count - 1);
    form_.UpdateActionStates();
}

void TAScansPage::AScanFramwSelectorStringGridSelectCell(int row) {
    if (form_.AScans.empty()) {
        return;
    }
    ShowAScan(row);
    form_.UpdateActionStates();
}

void TAScansPage::FollowGridWithBar() {
    QScrollBar* bar = ui.AScanSelectorScrollBar;
    if (form_.AScans.Count < BarFromRecords) {
        return;
    }
    const QSignalBlocker quiet(bar);
    bar->setValue(ui.AScanFramwSelectorStringGrid->verticalScrollBar()->value() + 1);
}

void TAScansPage::SelectorScrollBarChange(int position) {
    if (ui.AScanSelectorScrollBar->pageStep() == 1) {
        return;
    }
    ui.AScanFramwSelectorStringGrid->verticalScrollBar()->setValue(position - 1);
}

bool TAScansPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched != ui.AScanFramwSelectorStringGrid) {
        return QWidget::eventFilter(watched, event);
    }
    if (event->type() == QEvent::FocusOut) {
        // A key released elsewhere must not leave the selector waiting for it.
        ignoreSelect_ = false;
        if (keyMoving_) {
            keyMoving_ = false;
            const int row = ui.AScanFramwSelectorStringGrid->currentRow();
            runCommand([&] { AScanFramwSelectorStringGridSelectCell(row); });
        }
    }
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease) {
        return QWidget::eventFilter(watched, event);
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool pressed = event->type() == QEvent::KeyPress;
    switch (key->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
        // Sideways keys move the grid's cell, never the shown record; the flag goes with the
        // key so it cannot swallow a later click.
        ignoreSelect_ = pressed;
        break;
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (pressed) {
            keyMoving_ = true;
        } else {
            keyMoving_ = false;
            const int row = ui.AScanFramwSelectorStringGrid->currentRow();
            runCommand([&] { AScanFramwSelectorStringGridSelectCell(row); });
        }
        break;
    default: break;
    }
    return QWidget::eventFilter(watched, event);
}

// ---- the mouse on the views ------------------------------------------------------------------

void TAScansPage::MoveMarker(TSurfaceView* view, int x) {
    TBaseAScanCell* record = form_.AScans.current();
    if (record == nullptr || view->width() <= 0) {
        return;
    }
    lastX_ = x;
    dragging_ = true;
    const auto width = static_cast<std::uint16_t>(view->width());
    if (view == ui.AScanZoomSignalSurfaceView) {
        record->SetZoomMarkerFromMouse(static_cast<std::uint16_t>(x), width);
    } else {
        record->SetMarkerFromMouse(static_cast<std::uint16_t>(x), width);
    }
    DrawAScan(form_.AScans.Current);
    ShowAScanReadouts(form_.AScans.Current);
}

void TAScansPage::ViewMouseDown(TSurfaceView* view, bool left, int x) {
    if (!left || x < 0 || form_.AScans.empty()) {
        return;
    }
    // A pointer held beyond the view's edge counts as its last column.
    x = std::min(x, view->width() - 1);
    if (x != lastX_) {
        MoveMarker(view, x);
    }
}

void TAScansPage::ViewMouseMove(TSurfaceView* view, int x) {
    if (!dragging_) {
        return;
    }
    ViewMouseDown(view, true, x);
}

void TAScansPage::ViewMouseUp(bool left) {
    if (left) {
        lastX_ = -1;
        dragging_ = false;
    }
}

// ---- the signal-type menu --------------------------------------------------------------------

void TAScansPage::AttachSignalTypeMenu(TSurfaceView* view) {
    if (view != nullptr) {
        view->PopupMenu = signalTypeMenu_;
    }
}

TBaseAScanCell* TAScansPage::CurrentRecordOfPageInFront() const {
    switch (static_cast<MainPage>(form_.ActivePage())) {
    case MainPage::AScans: return form_.AScans.current();
    case MainPage::Bands: return form_.Bands.current();
    case MainPage::Maps: return form_.Maps.current();
    default: return nullptr;
    }
}

void TAScansPage::PopupMenu_AScanTypePopup() {
    detectedItem_->setText(txtVar(31));
    radioItem_->setText(txtVar(32));
    const TBaseAScanCell* record = CurrentRecordOfPageInFront();
    const int v = record != nullptr && record->Config ? record->Config->SignalType : 2;
    detectedItem_->setChecked(v != 2);
    radioItem_->setChecked(v == 2);
}

void TAScansPage::SetSignalTypeOfPageInFront(std::uint8_t signalType) {
    TBaseAScanCell* record = CurrentRecordOfPageInFront();
    if (record == nullptr || !record->Config) {
        return;
    }
    // A view setting, not an edit: neither the record's nor the list's change flags move.
    record->Config->SignalType = signalType;
    switch (static_cast<MainPage>(form_.ActivePage())) {
    case MainPage::AScans:
        DrawAScan(form_.AScans.Current);
        ShowAScanReadouts(form_.AScans.Current);
        // The signal-type picture would otherwise still show the type the trace no longer has.
        ShowModePictures(record);
        break;
    case MainPage::Bands: form_.BandsPage()->SignalTypeChanged(); break;
    case MainPage::Maps: form_.MapsPage()->SignalTypeChanged(); break;
    default: break;
    }
}

} // namespace app
