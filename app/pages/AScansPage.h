// The A-scans page: the selector of the A-scan list, the trace with its rulers, the zoom views,
// the read-outs and the mode pictures of the shown A-scan.
#pragma once

#include "app/ActionStates.h"
#include "ui_AScansPage.h"

#include <QWidget>

#include <vector>

class TSurfaceView;

namespace app {

class TGarnetwickMainForm;

class TAScansPage : public QWidget {
    Q_OBJECT
public:
    TAScansPage(TGarnetwickMainForm& form, QWidget* parent = nullptr);

    Ui::TAScansPage ui;

    // The drawing surfaces in the order the window initialises them.
    std::vector<TSurfaceView*> Surfaces() const;

    void ApplyTexts();
    void LayoutGrids();
    void ApplyStates(const TActionStates& states);
    // Shows the list from its first record (or the empty page).
    void RefreshAScanList();

private:
    TGarnetwickMainForm& form_;
};

} // namespace app
