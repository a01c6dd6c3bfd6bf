// The maps page: the map selector, the C-, B- and D-scans with their rulers, the A-scan at the
// cursor, the colour gradator, the palette buttons and the read-outs.
#pragma once

#include "app/ActionStates.h"
#include "app/pages/MapDrawPlan.h"
#include "ui_MapsPage.h"

#include <QWidget>

#include <array>
#include <cstdint>
#include <vector>

class QToolButton;
class TSegLCD;
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

    void ShowMap(std::uint16_t n);
    // views: MapViewBits.
    void DrawMap(std::uint16_t n, unsigned views);
    void ShowMapReadouts(std::uint16_t n);
    void UpdateMapPaletteButtons();

    // By palette kind: binary, direct, inverse, thermo.
    QToolButton* PaletteButton(int kind) const { return paletteButtons_[kind]; }
    bool ShowingParams() const { return showParams_; }

private:
    void SetupReadouts();
    void PlaceToolButtons();
    void BindActions();
    void BindMouse();
    void SelectorChanged(int index);
    void Navigate(const char* actionName, int target);
    void PaletteButtonClicked(int kind);
    void SwitchParams();
    void BlankReadouts();

    void ViewMouse(MapMouseView view, int x, int y, bool press);
    void GradatorPress(int x);
    void GradatorMove(int x);
    void GradatorRelease();

    TGarnetwickMainForm& form_;
    std::array<QToolButton*, 4> paletteButtons_{};
    std::array<TSegLCD*, 8> readouts_{};
    bool toolButtonsPlaced_ = false;

    int lastX_ = 0;
    int lastY_ = 0;
    bool dragging_ = false;
    bool gradatorDragging_ = false;
    std::uint8_t gradatorHandle_ = 0;
    int gradatorLastX_ = 0;
    Qt::CursorShape normalCursor_ = Qt::ArrowCursor;
    bool showParams_ = false;
};

} // namespace app
