// The configurations page: the selector of the configuration list, the parameter grids with their
// in-place editors, the six parameter buttons and the comments of the shown configuration.
#pragma once

#include "app/ActionStates.h"

#include <QWidget>

class QToolBar;
class QTableWidget;

namespace app {

class TGarnetwickMainForm;

class TConfigurationsPage : public QWidget {
    Q_OBJECT
public:
    TConfigurationsPage(TGarnetwickMainForm& form, QWidget* parent = nullptr);
    ~TConfigurationsPage() override;

    // Start-up: texts, grid sizes, the parameter buttons' tags and the grids' editor items.
    void ApplyTexts();
    void LayoutGrids();
    void SetupParamControls();
    // Empties the selection of the measure-conditions grid and the four group grids.
    void ClearGridSelections();

    void RefreshConfigList();
    void ShowConfig(int index);
    // Column 1 and 2 of every selector row, or of the current row only.
    void FillConfigSelector(bool currentOnly);

    void ApplyStates(const TActionStates& states);
    void SetParamButtonsFlat(bool flat);
    // Ctrl+1..6: a click on parameter button 0..5 when it is enabled.
    void ClickParamButton(int index);

    QTableWidget* SelectorGrid() const;

private:
    struct Impl;
    TGarnetwickMainForm& form_;
    Impl* d_;
};

} // namespace app
