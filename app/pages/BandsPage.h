// The bands page: the band selector, the B-scan with its rulers and shift bar, the current
// A-scan upright beside it, the colour gradator, the palette and line-width buttons, the read-outs.
#pragma once

#include "app/ActionStates.h"
#include "ui_BandsPage.h"

#include <QWidget>

#include <vector>

class TSurfaceView;

namespace app {

class TGarnetwickMainForm;

class TBandsPage : public QWidget {
    Q_OBJECT
public:
    TBandsPage(TGarnetwickMainForm& form, QWidget* parent = nullptr);

    Ui::TBandsPage ui;

    // The drawing surfaces in the order the window initialises them.
    std::vector<TSurfaceView*> Surfaces() const;

    void ApplyTexts();
    void LayoutGrids();
    void ApplyStates(const TActionStates& states);
    void RefreshBandList();
    // The shown record's signal type was changed (from the signal-type menu): its A-scan views
    // and read-outs are drawn again.
    void SignalTypeChanged();

private:
    TGarnetwickMainForm& form_;
};

} // namespace app
