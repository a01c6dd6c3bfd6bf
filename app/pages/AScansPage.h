// The A-scans page: the selector of the A-scan list, the trace with its rulers, the zoom views,
// the read-outs and the mode pictures of the shown A-scan, and the signal-type menu that the
// A-scan views of every measurement page share.
#pragma once

#include "app/ActionStates.h"
#include "ui_AScansPage.h"

#include <QWidget>

#include <array>
#include <vector>

class QAction;
class QLabel;
class QMenu;
class TBaseAScanCell;
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
    // Shows record n and makes it current; outside a non-empty list nothing changes.
    void ShowAScan(int n);
    void DrawAScan(int n);
    void ShowAScanReadouts(int n);

    void FirstAScanActionExecute();
    void PrevAScanActionExecute();
    void NextAScanActionExecute();
    void LastAScanActionExecute();
    // A row of the selector chosen by the user (0-based, one row per record).
    void AScanFramwSelectorStringGridSelectCell(int row);

    // ---- the signal-type menu of the A-scan views of all pages
    QMenu* SignalTypeMenu() const { return signalTypeMenu_; }
    // Hangs the menu on another page's A-scan view.
    void AttachSignalTypeMenu(TSurfaceView* view);
    // Sets the checks from the current record of the page in front.
    void PopupMenu_AScanTypePopup();
    // Detected (0) or radio (2) for the current record of the page in front.
    void SetSignalTypeOfPageInFront(std::uint8_t signalType);

    // The image-list index each mode picture shows, in the order screen type, signalling, strobe
    // algorithm, measure algorithm, signal type, TVG.
    std::array<int, 6> ModePictureIndexes() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ViewMouseDown(TSurfaceView* view, bool left, int x);
    void ViewMouseMove(TSurfaceView* view, int x);
    void ViewMouseUp(bool left);
    void MoveMarker(TSurfaceView* view, int x);
    void LayoutViews(bool split);
    void ShowModePictures(const TBaseAScanCell* record);
    void SetModePicture(QLabel* label, int index);
    void FollowGridWithBar();
    void SelectorScrollBarChange(int position);
    TBaseAScanCell* CurrentRecordOfPageInFront() const;

    TGarnetwickMainForm& form_;
    QMenu* signalTypeMenu_ = nullptr;
    QAction* detectedItem_ = nullptr;
    QAction* radioItem_ = nullptr;
    int viewTop_ = 0;
    // Mouse on the views: the last position acted on (-1: none) and whether a drag is on.
    int lastX_ = -1;
    bool dragging_ = false;
    // The selector's one-shot ignore flag (a sideways key) and an Up/Down key being held: the
    // record of the row is shown when the key is released.
    bool ignoreSelect_ = false;
    bool keyMoving_ = false;
};

// The image-list index of a mode picture for a record's parameter value (22 without a record).
int ModePictureIndex(int param, const TBaseAScanCell* record);

} // namespace app
