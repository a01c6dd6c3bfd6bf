// The instrument memory page: the pie chart of the flash markup, dragged to divide the memory
// anew, written to the instrument, read back, and the records of one kind erased on the
// instrument.
#pragma once

#include "ui_FlashMarkupPage.h"

#include <QWidget>

class TSurfaceView;

namespace app {

class TGarnetwickMainForm;

class TFlashMarkupPage : public QWidget {
    Q_OBJECT
public:
    TFlashMarkupPage(TGarnetwickMainForm& form, QWidget* parent = nullptr);

    Ui::TFlashMarkupPage ui;

    void ApplyTexts();
    void UpdateFlashMarkupPage();
    void DrawFlashMarkup();
    void PageShown();
    void PageHidden();
    TSurfaceView* Surface() const { return ui.FlashMarkupSurfaceImage; }

    void ApplyNewFlashMarkupActionExecute();
    void UndoChangesActionExecute();
    // mask: 1 A-scans, 2 bands, 4 maps.
    void ClearRecordsActionExecute(std::uint8_t mask);
    // Empties every area and writes the division; bound to no control.
    void ClearAllFlashMarkup();

private:
    void MouseAt(int x, int y);
    // Writes the markup; a failure is reported and the instrument's division read back.
    void SendAndSettle();
    void Settle();

    TGarnetwickMainForm& form_;
    bool dragging_ = false;
    int lastX_ = 0;
    int lastY_ = 0;
};

} // namespace app
