// The maps page: the map selector, the C-, B- and D-scans with their rulers, the A-scan at the
// cursor, the colour gradator, the palette buttons and the read-outs.
#pragma once

#include "app/ActionStates.h"
#include "ui_MapsPage.h"

#include <QWidget>

#include <vector>

class TSurfaceView;

namespace app {

class TGarnetwickMainForm;

class TMapsPage : public QWidget {
    Q_OBJECT
public:
    TMapsPage(TGarnetwickMainForm& form, QWidget* parent = nullptr);

    Ui::TMapsPage ui;

    // The drawing surfaces in the order the window initialises them.
    std::vector<TSurfaceView*> Surfaces() const;

    void ApplyTexts();
    void LayoutGrids();
    void ApplyStates(const TActionStates& states);
    void RefreshMapList();
    // The shown record's signal type was changed (from the signal-type menu): its A-scan views
    // and read-outs are drawn again.
    void SignalTypeChanged();

private:
    TGarnetwickMainForm& form_;
};

} // namespace app
