// The bands page: the band selector, the B-scan with its rulers and shift bar, the current
// A-scan upright beside it, the colour gradator, the palette and line-width buttons, the read-outs.
#pragma once

#include "app/ActionStates.h"
#include "ui_BandsPage.h"

#include <QWidget>

#include <array>
#include <cstdint>
#include <vector>

class QToolButton;
class TSegLCD;
class TSurfaceView;

namespace app {

class TGarnetwickMainForm;

// DrawBand's view set.
enum BandViewBits : unsigned {
    BandAScanView = 1,    // the current A-scan, upright
    BandImageView = 2,    // the rulers and the band picture rendered anew
    BandGradatorView = 4, // the colour gradator
    BandCursorsView = 8,  // without 2: the cached picture with fresh cursor lines
};

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

    void ShowBand(std::uint16_t n);
    void DrawBand(std::uint16_t n, unsigned views);
    void ShowBandReadouts(std::uint16_t n);
    void UpdateBandPaletteButtons();
    void UpdateBandShiftBar(std::uint16_t n);

    // The tool buttons of the page's own (the tool bar's actions belong to the window).
    QToolButton* LineWidthButton() const { return lineWidthButton_; }
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
    void LineWidthClicked();
    void ShiftBarChanged(int position);
    void SwitchParams();
    void BlankReadouts();

    void ImageMouse(int x, int y, bool press);
    void AScanMouse(int y, bool press);
    void GradatorPress(int x);
    void GradatorMove(int x);
    void GradatorRelease();

    TGarnetwickMainForm& form_;
    QToolButton* lineWidthButton_ = nullptr;
    std::array<QToolButton*, 4> paletteButtons_{};
    std::array<TSegLCD*, 6> readouts_{};
    bool toolButtonsPlaced_ = false;

    // The last position that moved a band cursor; a press or drag repeating one does nothing
    // for that coordinate. Kept across bands.
    int lastX_ = 0;
    int lastY_ = 0;
    bool dragging_ = false;
    bool gradatorDragging_ = false;
    std::uint8_t gradatorHandle_ = 0;
    int gradatorLastX_ = 0;
    Qt::CursorShape normalCursor_ = Qt::ArrowCursor;
    bool showParams_ = false;
    // Set while the page itself sets the shift bar: the change that causes is not written back.
    bool shiftBarTag_ = false;
    bool shiftBarWider_ = false;
};

} // namespace app
