// The main window: the frame around the five pages. It keeps what is the window's own: start-up,
// the four record lists and the flash markup, which commands can run, the status bar, the
// instrument being plugged in and pulled out, the keyboard, and closing without losing unsaved
// records. The pages do their own drawing and editing and reach the lists through the window.
#pragma once

#include "app/ActionStates.h"
#include "app/RecordLists.h"
#include "app/ReportDialogs.h"

#include "config/AbsConfigObjectUnit.h"
#include "records/BaseAScanUnit.h"
#include "records/BaseBandUnit.h"
#include "records/BaseMapUnit.h"

#include <QAction>
#include <QWidget>

#include <array>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QLabel;
class QKeyEvent;
class QToolButton;
class QToolBar;
class TSurfaceView;

namespace Ui {
class TGarnetwickMainForm;
}

namespace app {

class TConfigurationsPage;
class TAScansPage;
class TBandsPage;
class TMapsPage;
class TFlashMarkupPage;
class TAppWindows;

// Device notices as the window reacts to them.
enum class DeviceNotice { NodesChanged, Arrival, RemoveComplete };

class TGarnetwickMainForm : public QWidget {
    Q_OBJECT
public:
    // programFile: the program's own path; the language files are read from the "strings"
    // folder beside it. windows: the program's other windows (not owned).
    TGarnetwickMainForm(std::filesystem::path programFile, TAppWindows& windows,
                        QWidget* parent = nullptr);
    ~TGarnetwickMainForm() override;

    // ---- the window's state
    TConfigList Configs;
    TAScanList AScans;
    TBandList Bands;
    TMapList Maps;
    std::unique_ptr<TCorvantaAbsConfigCell> FlashMarkup;
    std::unique_ptr<TBaseAScanCell> ScratchAScan;
    std::string DeviceDescription;
    bool ShiftHeld = false;
    bool CtrlHeld = false;
    TAppWindows& Windows;

    // ---- operations the pages share
    void UpdateActionStates();
    void ShowConnectionStatus();
    void UpdateFlashMarkupPage();
    void SetStatusPanel1(const QString& text);
    QString StatusPanelText(int panel) const;
    // True: go on; False: the user cancelled, or asked to save and the save did not happen.
    bool CheckUnsavedData(ListKind kind);
    void ClearGridSelection(QWidget* grid);
    void SetParamButtonsFlat(bool ctrlHeld);
    // The action of that object name (nullptr when there is none).
    QAction* Action(std::string_view name) const;
    int ActivePage() const;
    void SetActivePage(int page);
    bool StartUpFailed() const { return startUpFailed_; }
    // While a transfer runs no page command starts and the window does not close.
    bool TransferRunning() const { return transferDepth_ > 0; }
    class TTransferScope;

    // ---- device notices (the platform's monitor or a test hands them in)
    void DeviceChanged(DeviceNotice notice);

    // ---- the keyboard: every key event of the application passes here once. True when the key
    // is one of the window's own (a key of its tables, while its commands may run): no control
    // may act on it as well.
    // `target`: the window the key was sent to.
    bool AppMessageHook(QKeyEvent* event, bool pressed, const QObject* target = nullptr);

    TConfigurationsPage* ConfigurationsPage() const { return configPage_; }
    // The record and memory pages are made, all four, the first time one of them is needed: when
    // one is shown or a command works on its list.
    TAScansPage* AScansPage();
    TBandsPage* BandsPage();
    TMapsPage* MapsPage();
    TFlashMarkupPage* FlashPage();
    // The report's fill-in dialog, built the first time it is asked for.
    TReportFillPaperDialog* ReportDialog(ReportKind kind) const;
    // The 23 drawing surfaces, page by page.
    std::vector<TSurfaceView*> AllSurfaces();
    // The drawing surfaces of one page. They come up the first time their page is shown.
    std::vector<TSurfaceView*> PageSurfaces(int page);

    // ---- commands of the configuration list (the page's buttons and keys run these)
    void ReceiveConfigsActionExecute();
    void SendConfigsActionExecute();
    bool SaveConfigsActionExecute();
    void OpenConfigsActionExecute();
    void DisconnectDeviceActionExecute();

    // Runs one of the save-to-file commands by list kind; true when the file was written.
    bool SaveListToFile(ListKind kind);

signals:
    void startUpFinished();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    void FormCreate();
    void FormShow();
    void CreateActions();
    void ApplyTexts();
    void LayoutGrids();
    void BuildRecordPages();
    void ShowPageSurfaces(int page);
    void RefreshPagePictures(int page);
    bool ShiftKeyDown(int key);
    bool CtrlKeyDown(int key);
    bool PlainKeyDown(int key);
    void TabShown(int index);
    void ConnectAndIdentify();
    void DisconnectAndShow();
    void ApplyActionStates(const TActionStates& s);
    // keyAtThisWindow: the key was typed at this window or at an open drop-down list of it.
    bool PageCommandsAllowed(bool keyAtThisWindow = false) const;
    // Closes an open drop-down list of this window; true when there was one.
    bool CloseOwnPopup();

    std::filesystem::path programFile_;
    std::unique_ptr<Ui::TGarnetwickMainForm> ui_;
    QLabel* statusPanels_[2] = {nullptr, nullptr};
    TConfigurationsPage* configPage_ = nullptr;
    TAScansPage* ascanPage_ = nullptr;
    TBandsPage* bandPage_ = nullptr;
    TMapsPage* mapPage_ = nullptr;
    TFlashMarkupPage* flashPage_ = nullptr;
    // By object name: commands are looked up by name on every state change.
    std::map<std::string, QAction*, std::less<>> actions_;
    std::array<std::unique_ptr<platform::gfx::TBitmap>, 6> workBitmaps_;
    // Set once start-up has reached the surfaces; then a page's come up when it is first shown.
    bool surfacesDue_ = false;
    // How far start-up has come, for pages made later.
    bool textsApplied_ = false;
    bool listsShown_ = false;
    std::array<bool, 5> pageSurfacesUp_{};
    bool shownOnce_ = false;
    bool startUpFailed_ = false;
    bool closing_ = false;
    // The key being dispatched was typed at this window (see AppMessageHook).
    bool keyAtThisWindow_ = false;
    int transferDepth_ = 0;
    int currentTab_ = -1;
    std::vector<DeviceNotice> deferredNotices_;
};

// Marks a transfer as running for its lifetime; device notices that arrive meanwhile are acted on
// when it ends, and the command states and connection status are read again from the link.
class TGarnetwickMainForm::TTransferScope {
public:
    explicit TTransferScope(TGarnetwickMainForm& form);
    ~TTransferScope();
    TTransferScope(const TTransferScope&) = delete;
    TTransferScope& operator=(const TTransferScope&) = delete;

private:
    TGarnetwickMainForm& form_;
};

// Holds a tool button down while a command runs.
class TPressedButton {
public:
    explicit TPressedButton(QAction* action);
    ~TPressedButton();
    TPressedButton(const TPressedButton&) = delete;
    TPressedButton& operator=(const TPressedButton&) = delete;

private:
    std::vector<QToolButton*> buttons_;
};

// Status panel 1 of the bands and maps pages for their current record (empty without one).
QString BandStatusText(const TBaseBandCell* band);
QString MapStatusText(const TBaseMapCell* map);

// Runs a command at the boundary of the user interface: a platform error that escapes it is shown
// in a message box, never passed on into the event loop.
void runCommand(const std::function<void()>& command);

} // namespace app
