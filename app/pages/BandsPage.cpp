#include "app/pages/BandsPage.h"

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
#include <QScrollBar>
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
constexpr int kBandParamRows[] = {54, 52, 53, 63, 55, 56, 57, 61, 58, 16, 59};

// The palette buttons by kind, with their hint captions.
struct PaletteButtonSpec {
    const char* name;
    surfaces::ToolIconId icon;
    int hint;
};
constexpr PaletteButtonSpec kPaletteButtons[] = {
    {"CGTBinaryBWToolButton", surfaces::ToolIconId::PaletteBinary, 255},
    {"CGTDirectBWToolButton", surfaces::ToolIconId::PaletteDirectGrey, 256},
    {"CGTInverseBWToolButton", surfaces::ToolIconId::PaletteInverseGrey, 257},
    {"CGTBrennThermoToolButton", surfaces::ToolIconId::PaletteThermal, 254},
};

} // namespace

TBandsPage::TBandsPage(TGarnetwickMainForm& form, QWidget* parent) : QWidget(parent), form_(form) {
    ui.setupUi(this);
    holdInitialisation(Surfaces());

    lineWidthButton_ = new QToolButton(this);
    lineWidthButton_->setObjectName("BandLineWidthToolButton");
    // Shown once they have their place in the tool bar.
    lineWidthButton_->hide();
    lineWidthButton_->setIcon(
        QIcon(surfaces::ControlButtonImage(surfaces::button_image::LineWidth)));
    connect(lineWidthButton_, &QToolButton::clicked, this,
            [this] { runCommand([this] { LineWidthClicked(); }); });
    for (int kind = 0; kind < 4; ++kind) {
        auto* b = new QToolButton(this);
        b->setObjectName(kPaletteButtons[kind].name);
        b->setCheckable(true);
        b->hide();
        b->setIcon(surfaces::ToolIcon(kPaletteButtons[kind].icon));
        connect(b, &QToolButton::clicked, this,
                [this, kind] { runCommand([this, kind] { PaletteButtonClicked(kind); }); });
        paletteButtons_[static_cast<std::size_t>(kind)] = b;
    }

    QScrollBar* bar = ui.BandShiftTrackBar;
    bar->setFocusPolicy(Qt::NoFocus);
    connect(bar, &QScrollBar::valueChanged, this,
            [this](int position) { runCommand([this, position] { ShiftBarChanged(position); }); });
    connect(ui.BandsSelectorComboBox, &QComboBox::activated, this,
            [this](int index) { runCommand([this, index] { SelectorChanged(index); }); });

    SetupReadouts();
    BindActions();
    BindMouse();
    ui.BandsBckGrndPanel->hide();
}

std::vector<TSurfaceView*> TBandsPage::Surfaces() const {
    return {ui.BandUpperMarkupSurfaceView,   ui.UpperDummySurfaceView,
            ui.BandColorGradatorSurfaceView, ui.BandBScanSurfaceView,
            ui.BandInDepthMarkupSurfaceView, ui.BandCurrentAScanSurfaceView,
            ui.BandLowerMarkupSurfaceView,   ui.LowerDummySurfaceView,
            ui.BandColorGradator2SurfaceView};
}

void TBandsPage::SetupReadouts() {
    readouts_ = {ui.BScanDalnostSegLCD,       ui.BandOveralLengthSegLCD, ui.BandOveralLengthStepLCD,
                 ui.BandOveralLengthScansLCD, ui.BScanDepthSegLCD,       ui.BScanSignalLevelSegLCD};
    for (TSegLCD* lcd : readouts_) {
        StyleReadout(*lcd, 3);
    }
    for (TSegLCD* lcd : {ui.BandOveralLengthSegLCD, ui.BScanDalnostSegLCD, ui.BScanDepthSegLCD}) {
        lcd->SetDigitNum(4);
    }
    BlankReadouts();
}

void TBandsPage::BindActions() {
    BindScanPageActions(
        form_, this,
        {"ShowFirstBandAction", "ShowPrevBandAction", "ShowNextBandAction", "ShowLastBandAction",
         "SwitchAScanParamsinBandAction", "SaveSelectedBandAction", "EraseSelectedBandAction"},
        [this] { return int(form_.Bands.Current); }, [this] { return int(form_.Bands.Count); },
        [this](const char* action, int target) { Navigate(action, target); },
        [this] { SwitchParams(); }, ui.BandsSelectorComboBox);
}

void TBandsPage::BindMouse() {
    using B = TMouseButton;
    TSurfaceView* image = ui.BandBScanSurfaceView;
    image->OnMouseDown = [this](TObject*, B button, TShiftState, int x, int y) {
        if (button == B::mbLeft) {
            runCommand([&] { ImageMouse(x, y, true); });
        }
    };
    image->OnMouseMove = [this](TObject*, TShiftState, int x, int y) {
        runCommand([&] { ImageMouse(x, y, false); });
    };
    TSurfaceView* aScan = ui.BandCurrentAScanSurfaceView;
    aScan->OnMouseDown = [this](TObject*, B button, TShiftState, int, int y) {
        if (button == B::mbLeft) {
            runCommand([&] { AScanMouse(y, true); });
        }
    };
    aScan->OnMouseMove = [this](TObject*, TShiftState, int, int y) {
        runCommand([&] { AScanMouse(y, false); });
    };
    // One release ends a cursor drag on either view.
    auto release = [this](TObject*, B button, TShiftState, int, int) {
        if (button == B::mbLeft) {
            dragging_ = false;
        }
    };
    image->OnMouseUp = release;
    aScan->OnMouseUp = release;

    TSurfaceView* gradator = ui.BandColorGradatorSurfaceView;
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

void TBandsPage::PlaceToolButtons() {
    if (toolButtonsPlaced_) {
        return;
    }
    toolButtonsPlaced_ = true;
    QToolBar* bar = ui.BandsToolBar;
    QAction* switchParams = form_.Action("SwitchAScanParamsinBandAction");
    QAction* before = bar->actions().contains(switchParams) ? switchParams : nullptr;
    // The tool bar shows a widget as far as its action is visible.
    bar->insertWidget(before, lineWidthButton_)->setVisible(true);
    for (QToolButton* b : paletteButtons_) {
        bar->insertWidget(before, b)->setVisible(true);
    }
    bar->insertSeparator(before);
    if (auto* b = qobject_cast<QToolButton*>(bar->widgetForAction(switchParams))) {
        b->setObjectName("SwitchAScanParamsinBandToolButton");
    }
}

void TBandsPage::ApplyTexts() {
    PlaceToolButtons();
    auto& b = ui;
    b.BandsPageCaptionLabel->setText(caption(104));
    b.BandsFrameSelectorCaptionPanel->setText(caption(349));
    b.ParamsinsteadAScaninBandHeaderControl->setText(caption(17));
    b.BandsFrameSelectorPanel->setToolTip(caption(264));
    SetSurfaceHint(b.BandColorGradatorSurfaceView, caption(265));
    SetSurfaceHint(b.BandCurrentAScanSurfaceView, caption(266));
    SetSurfaceHint(b.BandBScanSurfaceView, caption(267));
    b.BScanDepthCaptionLabel->setText(caption(344));
    b.BandOveralLengthCaptionLabel->setText(caption(351));
    b.BandStepCaptionLabel->setText(caption(352));
    b.BandStepDImensionLabel->setText(txtVar(26));
    b.BScanSignalLevelCaptionLabel->setText(caption(343));
    b.BScanDalnostCaptionLabel->setText(caption(342));
    b.BandCurrentAScanCaptionLabel->setText(txtVar(28));
    b.BScanSignalLevelSegLCD->setToolTip(caption(260));
    b.BScanDepthSegLCD->setToolTip(caption(261));
    b.BScanDalnostSegLCD->setToolTip(caption(262));
    for (QWidget* w : {static_cast<QWidget*>(b.BandOveralLengthSegLCD),
                       static_cast<QWidget*>(b.BandOveralLengthStepLCD),
                       static_cast<QWidget*>(b.BandOveralLengthScansLCD)}) {
        w->setToolTip(caption(263));
    }
    for (int kind = 0; kind < 4; ++kind) {
        paletteButtons_[static_cast<std::size_t>(kind)]->setToolTip(
            caption(kPaletteButtons[kind].hint));
    }
    lineWidthButton_->setToolTip(caption(258));
    if (form_.ScratchAScan) {
        FillParamNames(ui.ParamsinsteadAScaninBandStringGrid, *form_.ScratchAScan->Config,
                       kBandParamRows);
    }
}

void TBandsPage::LayoutGrids() {
    QTableWidget* grid = ui.ParamsinsteadAScaninBandStringGrid;
    SetGridColumns(grid, ParamListColumnWidths(grid->viewport()->width()));
}

void TBandsPage::ApplyStates(const TActionStates& states) {
    const bool on = states.bands.records;
    lineWidthButton_->setEnabled(on);
    for (QToolButton* b : paletteButtons_) {
        b->setEnabled(on);
    }
    // A band that fits the view has nothing to shift.
    ui.BandShiftTrackBar->setEnabled(on && shiftBarWider_);
}

// ---- showing a band --------------------------------------------------------------------------

void TBandsPage::RefreshBandList() {
    const TBandList& list = form_.Bands;
    QComboBox* combo = ui.BandsSelectorComboBox;
    {
        const QSignalBlocker quiet(combo);
        combo->clear();
        for (std::uint16_t i = 0; i < list.Count; ++i) {
            combo->addItem(txtVar(28) + QString::number(i + 1) + " " + caption(53) + "  " +
                           toQt(list.Records[i]->Config->ConfigName));
        }
    }
    ShowBand(0);
    if (TBaseBandCell* first = list.empty() ? nullptr : list.Records[0].get()) {
        for (TSurfaceView* v : {ui.UpperDummySurfaceView, ui.LowerDummySurfaceView,
                                ui.BandColorGradator2SurfaceView}) {
            TSurfaceViewTarget target(*v);
            first->ClearSurface(target);
        }
        ui.BandsBckGrndImage->hide();
        ui.BandsBckGrndPanel->lower();
        ui.BandsBckGrndPanel->hide();
        return;
    }
    // Without bands the page shows its plain background instead of empty views.
    ui.BandsBckGrndImage->show();
    ui.BandsBckGrndPanel->show();
    ui.BandsBckGrndPanel->raise();
    BlankSurfaces(Surfaces());
    BlankReadouts();
    UpdateBandShiftBar(0);
    if (form_.ActivePage() == static_cast<int>(MainPage::Bands)) {
        form_.SetStatusPanel1({});
    }
}

void TBandsPage::ShowBand(std::uint16_t n) {
    TBandList& list = form_.Bands;
    QTableWidget* grid = ui.ParamsinsteadAScaninBandStringGrid;
    ClearParamValues(grid, std::size(kBandParamRows));
    if (list.empty()) {
        if (list.Origin == OriginKind::None) {
            ui.BandsPageCaptionLabel->setText(caption(104));
        }
        return;
    }
    if (n >= list.Count || n >= list.Records.size() || !list.Records[n]) {
        return;
    }
    TBaseBandCell& band = *list.Records[n];
    {
        const QSignalBlocker quiet(ui.BandsSelectorComboBox);
        ui.BandsSelectorComboBox->setCurrentIndex(n);
    }
    FillParamValues(grid, *band.Config, kBandParamRows);
    const QString text = OriginCaption(list.Origin, list.OriginLabel, 9, 58);
    if (!text.isEmpty()) {
        ui.BandsPageCaptionLabel->setText(text);
    }
    list.Current = n;
    TSurfaceViewTarget depth(*ui.BandInDepthMarkupSurfaceView);
    DrawInDepthMarkupToSurfaceView(band, depth, KeepScheme, 0, band.Config->AScanRange);
    DrawBand(n, BandAScanView | BandImageView | BandGradatorView);
    ShowBandReadouts(n);
    UpdateBandPaletteButtons();
    UpdateBandShiftBar(n);
    if (form_.ActivePage() == static_cast<int>(MainPage::Bands)) {
        form_.SetStatusPanel1(BandStatusText(&band));
    }
}

void TBandsPage::DrawBand(std::uint16_t n, unsigned views) {
    const TBandList& list = form_.Bands;
    if (n >= list.Count || !list.Records[n]) {
        return;
    }
    TBaseBandCell& band = *list.Records[n];
    if (views & BandAScanView) {
        band.SetCurrentScan(band.Config->BandCurrentAScan);
        TSurfaceViewTarget target(*ui.BandCurrentAScanSurfaceView);
        DrawVerticalSignalToSurfaceView(band, target, KeepScheme, 0, band.Config->AScanRange);
    }
    if (views & BandImageView) {
        TSurfaceViewTarget upper(*ui.BandUpperMarkupSurfaceView);
        band.DrawScanMarkupToSurfaceView(KeepScheme, 0, upper);
        TSurfaceViewTarget lower(*ui.BandLowerMarkupSurfaceView);
        band.DrawScanMarkupToSurfaceView(KeepScheme, 1, lower);
        TSurfaceViewTarget image(*ui.BandBScanSurfaceView);
        band.DrawToSurfaceView(KeepPalette, KeepScheme, image);
    } else if (views & BandCursorsView) {
        TSurfaceViewTarget image(*ui.BandBScanSurfaceView);
        band.RedrawToSurfaceView(image);
    }
    if (views & BandGradatorView) {
        TSurfaceViewTarget gradator(*ui.BandColorGradatorSurfaceView);
        band.DrawColorGradatorToSurfaceView(gradator);
    }
}

void TBandsPage::ShowBandReadouts(std::uint16_t n) {
    const TBandList& list = form_.Bands;
    if (n >= list.Count || !list.Records[n]) {
        return;
    }
    const TBaseBandCell& band = *list.Records[n];
    const TBaseConfigCell& c = *band.Config;
    // Millimetres to metres last, as the instrument shows them.
    ui.BScanDalnostSegLCD->SetValue(FloatToDotStr(1, (c.BandLastAScan + 1) * c.BandStep / 1000.0));
    ui.BandOveralLengthSegLCD->SetValue(
        FloatToDotStr(2, (c.BandCurrentAScan + 1) * c.BandStep / 1000.0));
    ui.BandOveralLengthStepLCD->SetValue(FloatToDotStr(2, c.BandStep / 1000.0));
    ui.BandOveralLengthScansLCD->SetValue(std::to_string(c.BandCurrentAScan + 1));
    ui.BScanDepthSegLCD->SetValue(FloatToDotStr(1, c.GetCursorDistance(true)));
    ui.BScanSignalLevelSegLCD->SetValue(FloatToDotStr(1, band.GetAmplitudeDb()));
    ui.SegmentParamsBandsPanel->update();
}

void TBandsPage::BlankReadouts() {
    for (TSegLCD* lcd : readouts_) {
        lcd->SetValue("---");
    }
    ui.BandOveralLengthSegLCD->SetValue("----");
}

void TBandsPage::UpdateBandPaletteButtons() {
    const TBaseBandCell* band = form_.Bands.current();
    if (band == nullptr) {
        return;
    }
    for (int kind = 0; kind < 4; ++kind) {
        paletteButtons_[static_cast<std::size_t>(kind)]->setChecked(band->PaletteKind == kind);
    }
}

void TBandsPage::UpdateBandShiftBar(std::uint16_t n) {
    QScrollBar* bar = ui.BandShiftTrackBar;
    shiftBarTag_ = true;
    const TBandList& list = form_.Bands;
    TBaseBandCell* band = n < list.Count ? list.Records[n].get() : nullptr;
    std::uint16_t before = 0;
    {
        // The bar's own change notices are the page's doing, not the user's.
        const QSignalBlocker quiet(bar);
        std::uint16_t largest = 0;
        shiftBarWider_ = false;
        if (band != nullptr) {
            TBaseConfigCell& c = *band->Config;
            before = c.BandShift;
            lineWidthButton_->setIcon(QIcon(surfaces::ControlButtonImage(
                surfaces::button_image::LineWidth + c.BandElementWidthIndex)));
            const auto width = static_cast<std::uint16_t>(ui.BandBScanSurfaceView->width());
            shiftBarWider_ = band->GetShiftRange(width, largest);
            if (shiftBarWider_) {
                const int visible = static_cast<int>(width / band->PixelsPerAScan());
                c.BandShift = std::min(c.BandShift, largest);
                bar->setRange(1, largest + 1);
                bar->setPageStep(visible);
                bar->setValue(c.BandShift + 1);
            } else {
                c.BandShift = 0;
            }
        }
        if (!shiftBarWider_) {
            bar->setRange(1, 1);
            bar->setPageStep(1);
            bar->setValue(1);
        }
        bar->setEnabled(shiftBarWider_);
    }
    ShiftBarChanged(bar->value());
    // The picture was drawn with a shift the band could not have: draw it with the one it has.
    if (band != nullptr && band->Config->BandShift != before) {
        DrawBand(n, BandImageView);
    }
}

void TBandsPage::ShiftBarChanged(int position) {
    if (shiftBarTag_) {
        shiftBarTag_ = false;
        return;
    }
    TBandList& list = form_.Bands;
    TBaseBandCell* band = list.current();
    if (band == nullptr) {
        return;
    }
    band->Config->BandShift = static_cast<std::uint16_t>(std::max(position - 1, 0));
    DrawBand(list.Current, BandImageView);
}

void TBandsPage::SignalTypeChanged() {
    const TBandList& list = form_.Bands;
    if (list.current() == nullptr) {
        return;
    }
    DrawBand(list.Current, BandAScanView);
    ShowBandReadouts(list.Current);
}

// ---- commands ------------------------------------------------------------------------------

void TBandsPage::SelectorChanged(int index) {
    TBandList& list = form_.Bands;
    if (list.empty() || index < 0) {
        return;
    }
    ShowBand(static_cast<std::uint16_t>(index));
    UpdateBandPaletteButtons();
    UpdateBandShiftBar(list.Current);
    form_.UpdateActionStates();
}

void TBandsPage::Navigate(const char* actionName, int target) {
    TPressedButton held(form_.Action(actionName));
    runCommand([&] {
        TBandList& list = form_.Bands;
        // Before the first and past the last band there is nothing to show.
        if (list.empty() || target < 0 || target >= list.Count) {
            return;
        }
        ShowBand(static_cast<std::uint16_t>(target));
        UpdateBandPaletteButtons();
        UpdateBandShiftBar(list.Current);
        form_.UpdateActionStates();
    });
}

void TBandsPage::PaletteButtonClicked(int kind) {
    QToolButton* button = paletteButtons_[static_cast<std::size_t>(kind)];
    TBandList& list = form_.Bands;
    TBaseBandCell* band = list.current();
    if (band == nullptr) {
        button->setChecked(false);
        return;
    }
    if (button->isChecked() && kind != band->PaletteKind) {
        band->PaletteKind = static_cast<std::uint8_t>(kind);
        band->BuildPalette(KeepPalette, KeepBound, KeepBound);
        UpdateBandPaletteButtons();
        DrawBand(list.Current, BandImageView | BandGradatorView);
    }
    // The palette in use cannot be switched off.
    if (!button->isChecked() && kind == band->PaletteKind) {
        button->setChecked(true);
    }
}

void TBandsPage::LineWidthClicked() {
    TBandList& list = form_.Bands;
    TBaseBandCell* band = list.current();
    if (band == nullptr) {
        return;
    }
    std::uint8_t& index = band->Config->BandElementWidthIndex;
    index = index >= 3 ? 0 : static_cast<std::uint8_t>(index + 1);
    UpdateBandShiftBar(list.Current);
    DrawBand(list.Current, BandImageView);
}

void TBandsPage::SwitchParams() {
    showParams_ = !showParams_;
    ui.ParamsinsteadAScaninBandPanel->setVisible(showParams_);
    ui.ParamsinsteadAScaninBandHeaderControl->setVisible(showParams_);
    ui.ParamsinsteadAScaninBandStringGrid->setVisible(showParams_);
    ui.BandColorGradatorSurfaceView->setVisible(!showParams_);
    ui.BandCurrentAScanSurfaceView->setVisible(!showParams_);
    ui.BandColorGradator2SurfaceView->setVisible(!showParams_);
    if (showParams_) {
        ui.ParamsinsteadAScaninBandPanel->raise();
    }
    form_.Action("SwitchAScanParamsinBandAction")->setChecked(showParams_);
}

// ---- the mouse -----------------------------------------------------------------------------

void TBandsPage::ImageMouse(int x, int y, bool press) {
    TBandList& list = form_.Bands;
    TBaseBandCell* band = list.current();
    if (band == nullptr || (!press && !dragging_)) {
        return;
    }
    TSurfaceView* view = ui.BandBScanSurfaceView;
    const TCursorMove move = MoveCursorPoint(lastX_, lastY_, x, y, view->width(), view->height());
    if (!move.x && !move.y) {
        return;
    }
    dragging_ = true;
    if (move.y) {
        band->SetMarkerFromMouse(static_cast<std::uint16_t>(lastY_),
                                 static_cast<std::uint16_t>(view->height()));
    }
    if (move.x) {
        band->SetCursorColumnFromMouse(static_cast<std::uint16_t>(lastX_));
    }
    DrawBand(list.Current, press ? BandAScanView | BandImageView : BandAScanView | BandCursorsView);
    ShowBandReadouts(list.Current);
}

void TBandsPage::AScanMouse(int y, bool press) {
    TBandList& list = form_.Bands;
    TBaseBandCell* band = list.current();
    if (band == nullptr || (!press && !dragging_)) {
        return;
    }
    TSurfaceView* view = ui.BandCurrentAScanSurfaceView;
    y = std::clamp(y, 0, std::max(view->height() - 1, 0));
    if (y == lastY_ || y < 1) {
        return;
    }
    lastY_ = y;
    dragging_ = true;
    band->SetMarkerFromMouse(static_cast<std::uint16_t>(y),
                             static_cast<std::uint16_t>(view->height()));
    DrawBand(list.Current, press ? BandAScanView | BandImageView | BandCursorsView
                                 : BandAScanView | BandCursorsView);
    ShowBandReadouts(list.Current);
}

void TBandsPage::GradatorPress(int x) {
    TBaseBandCell* band = form_.Bands.current();
    if (band == nullptr || x < 0) {
        return;
    }
    const auto width = static_cast<std::uint16_t>(ui.BandColorGradatorSurfaceView->width());
    gradatorHandle_ = band->HitColorGradator(width, static_cast<std::uint16_t>(x));
    if (gradatorHandle_ == 1 || gradatorHandle_ == 2) {
        gradatorLastX_ = x;
        gradatorDragging_ = true;
    }
}

void TBandsPage::GradatorMove(int x) {
    TBandList& list = form_.Bands;
    TBaseBandCell* band = list.current();
    TSurfaceView* view = ui.BandColorGradatorSurfaceView;
    if (band == nullptr || (!gradatorDragging_ && x < 0)) {
        return;
    }
    const auto width = static_cast<std::uint16_t>(view->width());
    if (!gradatorDragging_) {
        const bool overHandle = band->HitColorGradator(width, static_cast<std::uint16_t>(x)) != 0;
        view->setCursor(overHandle ? Qt::SplitHCursor : normalCursor_);
        return;
    }
    x = std::clamp(x, 0, std::max(view->width() - 1, 0));
    if (x == gradatorLastX_) {
        return;
    }
    gradatorLastX_ = x;
    // The record's rule keeps the edge pixels itself: the handle stays under the mouse.
    band->DragColorGradator(width, gradatorHandle_, static_cast<std::uint16_t>(x));
    band->BuildPalette(KeepPalette, KeepBound, KeepBound);
    DrawBand(list.Current, BandGradatorView);
}

void TBandsPage::GradatorRelease() {
    const bool wasDragging = gradatorDragging_;
    gradatorDragging_ = false;
    TBandList& list = form_.Bands;
    if (!wasDragging || list.current() == nullptr) {
        return;
    }
    ui.BandColorGradatorSurfaceView->setCursor(normalCursor_);
    DrawBand(list.Current, BandImageView);
}

} // namespace app
