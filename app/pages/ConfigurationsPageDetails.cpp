// The configurations page's start-up steps and its parameter area, which is made the first time
// it is needed.
#include "app/pages/ConfigurationsPage.h"

#include "app/GridLayout.h"
#include "app/Texts.h"
#include "app/pages/ParamGrid.h"
#include "platform/text/Numbers.h"
#include "platform/ui/QtMemo.h"
#include "ui_ConfigDetails.h"
#include "ui_ConfigurationsPage.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QToolButton>

namespace app {

namespace text = platform::text;

// ---- the parameter area ---------------------------------------------------------------------

void TConfigurationsPage::ensureDetails() {
    if (details_) {
        return;
    }
    details_ = std::make_unique<Ui::TConfigDetails>();
    Ui::TConfigDetails& d = *details_;
    d.setupUi(ui_->DeviceSettingsConfigDetailsPanel);
    grids_ = {d.MeasureConditionsConfigDetailsStringGrid, d.FistParamsGroupConfigsStringGrid,
              d.SecondParamsGroupConfigsStringGrid, d.ThirdParamsGroupConfigsStringGrid,
              d.FourthParamsGroupConfigsStringGrid};
    maskEdits_ = {d.MeasureConditionsConfigDetailsMaskEdit, d.FirstParamsConfigDetailsMaskEdit,
                  d.SecondParamsConfigDetailsMaskEdit, d.ThirdParamsConfigDetailsMaskEdit,
                  d.FourthParamsConfigDetailsMaskEdit};
    combos_ = {d.MeasureConditionsConfigDetailsComboBox, d.FirstParamsComboBox,
               d.SecondParamsComboBox, d.ThirdParamsComboBox, d.FourthParamsComboBox};
    buttons_ = {d.ScreenTypeParamButton,         d.StrobSignallingAlgParamButton,
                d.StrobComparatorAlgParamButton, d.StrobMeasureAlgParamButton,
                d.SignalTypeParamButton,         d.TGVStateParamButton};

    // The keyboard goes from the selector through the grids and their editors to the comments,
    // as the controls stand on the page.
    QWidget* previous = ui_->ConfigSelectorStringGrid;
    for (TParamGrid* grid : grids_) {
        QWidget::setTabOrder(previous, grid);
        previous = grid;
    }
    for (int g = 0; g < ParamGridCount; ++g) {
        QWidget::setTabOrder(previous, maskEdits_[g]);
        QWidget::setTabOrder(maskEdits_[g], combos_[g]);
        previous = combos_[g];
    }

    for (int g = 0; g < ParamGridCount; ++g) {
        const auto grid = static_cast<ParamGrid>(g);
        grids_[g]->setRowCount(ParamGridRowCount(grid));
        maskEdits_[g]->hide();
        combos_[g]->hide();
        grids_[g]->CanSelectCell = [this, grid](int c, int r) {
            return ParamGridSelectCell(grid, c, r);
        };
        grids_[g]->CellSelected = [this, grid](int c, int r) { ParamGridCellSelected(grid, c, r); };
        grids_[g]->installEventFilter(this);
        maskEdits_[g]->installEventFilter(this);
        combos_[g]->installEventFilter(this);
    }
    for (int i = 0; i < static_cast<int>(buttons_.size()); ++i) {
        connect(buttons_[i], &QToolButton::clicked, this,
                [this, i] { ScreenTypeParamButtonClick(i); });
    }

    if (pending_.texts) {
        applyButtonHints();
    }
    if (pending_.layout) {
        layoutParamGrids();
    }
    if (pending_.captions) {
        writeParamCaptions();
    }
    for (QToolButton* b : buttons_) {
        if (pending_.buttonsEnabled) {
            b->setEnabled(*pending_.buttonsEnabled);
        }
        if (pending_.buttonsFlat) {
            b->setAutoRaise(*pending_.buttonsFlat);
        }
    }
    if (pending_.valuesCleared) {
        clearParamValues();
    }
    pending_ = {};

    // Shown as the page shows its children: all but the editors, which wait for an edit.
    for (QWidget* w : ui_->DeviceSettingsConfigDetailsPanel->findChildren<QWidget*>(
             Qt::FindDirectChildrenOnly)) {
        if (!w->testAttribute(Qt::WA_WState_ExplicitShowHide)) {
            w->show();
        }
    }
}

void TConfigurationsPage::ensureDetails() const {
    const_cast<TConfigurationsPage*>(this)->ensureDetails();
}

void TConfigurationsPage::applyButtonHints() {
    // Button order: screen type, signalling, comparator, measure, signal type, TVG.
    const std::array<std::pair<const char*, int>, 6> buttonHints = {{
        {"<B> Ctrl + 1</B>  ", 209},
        {"<B> Ctrl + 2</B>  ", 213},
        {"<B> Ctrl + 3</B>  ", 211},
        {"<B> Ctrl + 4</B>  ", 212},
        {"<B> Ctrl + 5</B>  ", 210},
        {"<B> Ctrl + 6</B>  ", 214},
    }};
    for (std::size_t i = 0; i < buttons_.size(); ++i) {
        buttons_[i]->setToolTip(keyHint(buttonHints[i].first, buttonHints[i].second));
    }
}

void TConfigurationsPage::layoutParamGrids() {
    for (int g = 0; g < ParamGridCount; ++g) {
        TParamGrid* grid = grids_[g];
        const auto cols = ValueGridColumnWidths(grid->contentsRect().width());
        grid->setColumnWidth(0, cols[0]);
        grid->setColumnWidth(1, cols[1]);
        const int rows = grid->rowCount();
        const int height = ValueGridRowHeight(grid->contentsRect().height(), rows);
        for (int r = 0; r < rows; ++r) {
            grid->setRowHeight(r, height);
        }
    }
}

void TConfigurationsPage::writeParamCaptions() {
    for (std::size_t i = 0; i < buttons_.size(); ++i) {
        buttons_[i]->setProperty("Tag", ParamButtonParams[i]);
    }
    // The names stand even while the list is empty.
    const TBaseConfigCell& scratch = host_->ScratchConfig();
    for (int g = 1; g < ParamGridCount; ++g) {
        const auto rows = GroupGridRows(static_cast<ParamGrid>(g));
        for (std::size_t r = 0; r < rows.size(); ++r) {
            setCell(static_cast<ParamGrid>(g), static_cast<int>(r), 0,
                    toQt(scratch.GetParamCaption(rows[r])));
        }
    }
    FillMeasureConditionCaptions(scratch);
}

void TConfigurationsPage::clearParamValues() {
    clearEditors();
    for (int g = 0; g < ParamGridCount; ++g) {
        for (int r = 0; r < grids_[g]->rowCount(); ++r) {
            setCell(static_cast<ParamGrid>(g), r, 1, QString());
        }
    }
}

// ---- start-up -------------------------------------------------------------------------------

void TConfigurationsPage::ApplyTexts() {
    ui_->SetupPageCaptionLabel->setText(caption(101));
    ui_->ConfigDetailsCaptionPanel->setText(caption(101));
    ui_->ConfigSelectorCaptionPanel->setText(caption(24));
    ui_->ConfigSelectorStringGrid->setHorizontalHeaderLabels(
        {caption(20), caption(21), caption(22)});
    ui_->CommentsConfigDetailsHeaderControl->setText(caption(26));
    ui_->DeviceSettingsConfigDetailsCaptionHeaderControl->setText(caption(28));
    if (details_) {
        applyButtonHints();
    } else {
        pending_.texts = true;
    }
    ui_->DeviceSettingsConfigDetailsPanel->setToolTip(caption(216));
    ui_->CommentsConfigDetailsPanel->setToolTip(caption(217));
    ui_->ConfigSelectorDataPanel->setToolTip(caption(218));
}

void TConfigurationsPage::LayoutGrids() {
    QTableWidget* selector = ui_->ConfigSelectorStringGrid;
    // Client sizes from the frames, so a page that was never shown is laid out alike.
    const auto widths = SelectorColumnWidths(selector->contentsRect().width());
    for (int c = 0; c < 3; ++c) {
        selector->setColumnWidth(c, widths[static_cast<std::size_t>(c)]);
    }
    if (details_) {
        layoutParamGrids();
    } else {
        pending_.layout = true;
    }
}

void TConfigurationsPage::SetupParamControls() {
    const TBaseConfigCell& scratch = host_->ScratchConfig();
    const char sep = text::formatSettings().decimalSeparator;
    auto prepare = [&](int p) {
        if (p == NoParam || editorItems_.count(p) != 0) {
            return;
        }
        TEditorItem item = scratch.SetupEditorItem(p);
        editSpecs_[p] =
            ParamEditSpec(p, item, DisplayDecimals(scratch.GetParamDisplayString(p), sep));
        editorItems_[p] = std::move(item);
    };
    for (int p : MeasureConditionRows(0)) {
        prepare(p);
    }
    for (int p : MeasureConditionRows(1)) {
        prepare(p);
    }
    for (int g = 1; g < ParamGridCount; ++g) {
        for (int p : GroupGridRows(static_cast<ParamGrid>(g))) {
            prepare(p);
        }
    }
    if (details_) {
        writeParamCaptions();
    } else {
        pending_.captions = true;
    }
}

void TConfigurationsPage::ClearGridSelections() {
    if (!details_) {
        // Grids not made yet have nothing selected; the host still takes its own steps.
        host_->ClearGridSelection(nullptr);
        return;
    }
    for (TParamGrid* grid : grids_) {
        host_->ClearGridSelection(grid);
    }
}

// ---- states -----------------------------------------------------------------------------------

void TConfigurationsPage::ApplyStates(const TActionStates& s) {
    if (details_) {
        for (QToolButton* b : buttons_) {
            b->setEnabled(s.configs);
        }
    } else {
        pending_.buttonsEnabled = s.configs;
    }
    ui_->CommentsConfigDetailsMemo->setReadOnly(s.configCommentsReadOnly);
}

void TConfigurationsPage::SetParamButtonsFlat(bool flat) {
    if (details_) {
        for (QToolButton* b : buttons_) {
            b->setAutoRaise(flat);
        }
    } else {
        pending_.buttonsFlat = flat;
    }
}

// ---- views ------------------------------------------------------------------------------------

QTableWidget* TConfigurationsPage::SelectorGrid() const {
    return ui_->ConfigSelectorStringGrid;
}
TParamGrid* TConfigurationsPage::Grid(ParamGrid grid) const {
    ensureDetails();
    return grids_[static_cast<int>(grid)];
}
QLineEdit* TConfigurationsPage::MaskEdit(ParamGrid grid) const {
    ensureDetails();
    return maskEdits_[static_cast<int>(grid)];
}
QComboBox* TConfigurationsPage::ComboBox(ParamGrid grid) const {
    ensureDetails();
    return combos_[static_cast<int>(grid)];
}
QToolButton* TConfigurationsPage::ParamButton(int index) const {
    ensureDetails();
    return buttons_[static_cast<std::size_t>(index)];
}
QPlainTextEdit* TConfigurationsPage::CommentsMemo() const {
    return ui_->CommentsConfigDetailsMemo;
}

} // namespace app
