#include "app/MainFormUnit.h"

#include "app/AppWindows.h"
#include "app/GridLayout.h"
#include "app/Keys.h"
#include "app/RecordCommands.h"
#include "app/TabHints.h"
#include "app/Texts.h"
#include "app/Transfers.h"
#include "app/pages/ConfigurationsPage.h"
#include "app/pages/FlashMarkupPage.h"
#include "app/pages/AScansPage.h"
#include "app/pages/BandsPage.h"
#include "app/pages/MapsPage.h"
#include "ui_MainForm.h"

#include "config/BaseConfigObjectConstantsUnit.h"
#include "config/LocalStringsUnit.h"
#include "link/DOR4471IZOZudivarudaZira.h"
#include "platform/text/Numbers.h"
#include "platform/ui/MessageBox.h"
#include "surfaces/ButtonImages.h"
#include "surfaces/SurfaceViews.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QScreen>
#include <QStatusBar>
#include <QTabBar>
#include <QTableWidget>
#include <QToolBar>
#include <QToolButton>

#include <exception>

namespace app {

using surfaces::ControlButtonImage;
using surfaces::ToolIcon;
using surfaces::ToolIconId;

namespace {

// The action names in the order their hints are set; the rest of the table is in CreateActions.
struct ActionSpec {
    const char* name;
    const char* keyPrefix; // nullptr: the hint is the caption alone
    int hintCaption;
    ToolIconId icon;
};

constexpr ActionSpec ActionTable[] = {
    // configurations
    {"ReceiveConfigsAction", "<B> F1</B>  ", 201, ToolIconId::Receive},
    {"SendConfigsAction", "<B> F2</B>  ", 202, ToolIconId::Send},
    {"SaveConfigsAction", "<B> F4</B>  ", 203, ToolIconId::Save},
    {"OpenConfigsAction", "<B> F3</B>  ", 204, ToolIconId::Load},
    {"FirstConfigAction", "<B> F6</B>  ", 205, ToolIconId::First},
    {"PrevConfigAction", "<B> F7</B>  ", 206, ToolIconId::Prev},
    {"NextConfigAction", "<B> F8</B>  ", 207, ToolIconId::Next},
    {"LastConfigAction", "<B> F9</B>  ", 208, ToolIconId::Last},
    {"DisconnectDeviceAction", "<B> Ctrl+X</B>  ", 339, ToolIconId::Disconnect},
    // A-scans
    {"ReceiveAScansAction", "<B> F1</B>  ", 221, ToolIconId::Receive},
    {"SaveAScansToFileAction", "<B> F4</B>  ", 222, ToolIconId::Save},
    {"LoadAScansFromFileAction", "<B> F3</B>  ", 223, ToolIconId::Load},
    {"FirstAScanAction", "<B> F6</B>  ", 224, ToolIconId::First},
    {"PrevAScanAction", "<B> F7</B>  ", 225, ToolIconId::Prev},
    {"NextAScanAction", "<B> F8</B>  ", 226, ToolIconId::Next},
    {"LastAScanAction", "<B> F9</B>  ", 227, ToolIconId::Last},
    {"AddViewAScanCommentsAction", "<B> F11</B>  ", 228, ToolIconId::Comments},
    {"PrintAScanReportAction", "<B> F12</B>  ", 229, ToolIconId::Print},
    {"CopyAScanImageToClpBrdAction", "<B> F5</B>  ", 230, ToolIconId::Copy},
    {"PreviewAScanReportAction", nullptr, -20, ToolIconId::Preview}, // error message 20, no key
    {"SaveSelectedAscanAction", nullptr, 360, ToolIconId::Save},
    {"EraseSelectedAScanAction", nullptr, 362, ToolIconId::Erase},
    // bands
    {"ReceiveBandsFromDeviceAction", "<B> F1</B>  ", 244, ToolIconId::Receive},
    {"SaveBandsToFileAction", "<B> F4</B>  ", 245, ToolIconId::Save},
    {"LoadBandsFromFileAction", "<B> F3</B>  ", 246, ToolIconId::Load},
    {"ShowFirstBandAction", "<B> F6</B>  ", 247, ToolIconId::First},
    {"ShowPrevBandAction", "<B> F7</B>  ", 248, ToolIconId::Prev},
    {"ShowNextBandAction", "<B> F8</B>  ", 249, ToolIconId::Next},
    {"ShowLastBandAction", "<B> F9</B>  ", 250, ToolIconId::Last},
    {"AddViewBandsCommentsAction", "<B> F11</B>  ", 251, ToolIconId::Comments},
    {"PrintBandReportAction", "<B> F12</B>  ", 252, ToolIconId::Print},
    {"CopyBandAction", "<B> F5</B>  ", 253, ToolIconId::Copy},
    {"SwitchAScanParamsinBandAction", nullptr, 340, ToolIconId::SwitchParams},
    {"SaveSelectedBandAction", nullptr, 366, ToolIconId::Save},
    {"EraseSelectedBandAction", nullptr, 368, ToolIconId::Erase},
    // maps
    {"ReceiveMapsFromDeviceAction", "<B> F1</B>  ", 268, ToolIconId::Receive},
    {"SaveMapsToFileAction", "<B> F4</B>  ", 269, ToolIconId::Save},
    {"LoadMapsFromFileAction", "<B> F3</B>  ", 270, ToolIconId::Load},
    {"ShowFirstMapAction", "<B> F6</B>  ", 271, ToolIconId::First},
    {"ShowPrevMapAction", "<B> F7</B>  ", 272, ToolIconId::Prev},
    {"ShowNextMapAction", "<B> F8</B>  ", 273, ToolIconId::Next},
    {"ShowLastMapAction", "<B> F9</B>  ", 274, ToolIconId::Last},
    {"AddViewMapsCommentsAction", "<B> F11</B>  ", 275, ToolIconId::Comments},
    {"PrintMapReportAction", "<B> F12</B>  ", 276, ToolIconId::Print},
    {"CopyMapImageAction", "<B> F5</B>  ", 277, ToolIconId::Copy},
    {"SwitchAScanParamsinMapAction", nullptr, 340, ToolIconId::SwitchParams},
    {"SaveSelectedMapAction", nullptr, 371, ToolIconId::Save},
    {"EraseSelectedMapAction", nullptr, 373, ToolIconId::Erase},
    // flash markup
    {"ApplyNewFlashMarkupAction", "<B> F1</B>  ", 301, ToolIconId::Apply},
    {"UndoChangesAction", "<B> F5</B>  ", 302, ToolIconId::Undo},
    {"ClearAScansAction", "<B> F2</B>  ", 303, ToolIconId::Erase},
    {"ClearBandsAction", "<B> F3</B>  ", 304, ToolIconId::Erase},
    {"ClearMapsAction", "<B> F4</B>  ", 305, ToolIconId::Erase},
};

// Captions of the commands that have one of their own (the pop-up menus).
constexpr std::pair<const char*, int> ActionCaptions[] = {
    {"SaveSelectedAscanAction", 359}, {"EraseSelectedAScanAction", 361},
    {"SaveSelectedBandAction", 365},  {"EraseSelectedBandAction", 367},
    {"SaveSelectedMapAction", 370},   {"EraseSelectedMapAction", 372},
};

constexpr const char* PageHintPrefixes[MainPageCount] = {
    "<B>Shift + F1</B> ", "<B>Shift + F2</B> ", "<B>Shift + F3</B> ", "<B>Shift + F4</B> ",
    "<B>Shift + F5</B> "};

constexpr int TabCaptions[MainPageCount] = {4, 3, 5, 6, 288};

} // namespace

// ---- helpers of the commands ---------------------------------------------------------------

TPressedButton::TPressedButton(QAction* action) {
    if (action == nullptr) {
        return;
    }
    for (QObject* o : action->associatedObjects()) {
        if (auto* bar = qobject_cast<QToolBar*>(o)) {
            if (auto* b = qobject_cast<QToolButton*>(bar->widgetForAction(action))) {
                b->setDown(true);
                buttons_.push_back(b);
            }
        }
    }
}

TPressedButton::~TPressedButton() {
    for (QToolButton* b : buttons_) {
        b->setDown(false);
    }
}

TGarnetwickMainForm::TTransferScope::TTransferScope(TGarnetwickMainForm& form) : form_(form) {
    ++form_.transferDepth_;
}

TGarnetwickMainForm::TTransferScope::~TTransferScope() {
    if (--form_.transferDepth_ > 0) {
        return;
    }
    // A disconnect asked for during the transfer has happened by now; show it.
    form_.UpdateActionStates();
    form_.ShowConnectionStatus();
    std::vector<DeviceNotice> pending;
    pending.swap(form_.deferredNotices_);
    for (DeviceNotice n : pending) {
        form_.DeviceChanged(n);
    }
}

// ---- creation ------------------------------------------------------------------------------

TGarnetwickMainForm::TGarnetwickMainForm(std::filesystem::path programFile,
                                         TAppWindows& windows, QWidget* parent)
    : QWidget(parent), Windows(windows), programFile_(std::move(programFile)),
      ui_(std::make_unique<Ui::TGarnetwickMainForm>()) {
    FormCreate();
}

TGarnetwickMainForm::~TGarnetwickMainForm() = default;

void TGarnetwickMainForm::FormCreate() {
    ui_->setupUi(this);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(996, 716);
    for (QLabel*& panel : statusPanels_) {
        panel = new QLabel(ui_->MainStatusBar);
    }
    statusPanels_[0]->setObjectName("MainStatusBarPanel0");
    statusPanels_[1]->setObjectName("MainStatusBarPanel1");
    statusPanels_[0]->setMinimumWidth(320);
    ui_->MainStatusBar->addWidget(statusPanels_[0]);
    ui_->MainStatusBar->addWidget(statusPanels_[1], 1);

    CreateActions();
    configPage_ = new TConfigurationsPage(*this, ui_->SetupTabSheet);
    new TTabHints(ui_->MainPageControl->tabBar(), this);
    connect(ui_->MainPageControl, &QTabWidget::currentChanged, this,
            [this](int index) { TabShown(index); });
    ui_->MainPageControl->setCurrentIndex(0);
}

void TGarnetwickMainForm::BuildRecordPages() {
    if (ascanPage_ != nullptr) {
        return;
    }
    ascanPage_ = new TAScansPage(*this, ui_->AScansTabSheet);
    bandPage_ = new TBandsPage(*this, ui_->BandsTabSheet);
    mapPage_ = new TMapsPage(*this, ui_->MapsTabSheet);
    flashPage_ = new TFlashMarkupPage(*this, ui_->FlashMarkupTabSheet);
    ascanPage_->AttachSignalTypeMenu(bandPage_->ui.BandCurrentAScanSurfaceView);
    ascanPage_->AttachSignalTypeMenu(mapPage_->ui.MapsAScanSurfaceView);

    auto fillToolBar = [this](QToolBar* bar, std::initializer_list<const char*> names) {
        for (const char* n : names) {
            if (n == nullptr) {
                bar->addSeparator();
            } else {
                bar->addAction(Action(n));
            }
        }
    };
    fillToolBar(ascanPage_->ui.AScansToolBar,
                {"ReceiveAScansAction", "DisconnectDeviceAction", nullptr,
                 "LoadAScansFromFileAction", "SaveAScansToFileAction",
                 "CopyAScanImageToClpBrdAction", nullptr, "FirstAScanAction", "PrevAScanAction",
                 "NextAScanAction", "LastAScanAction", nullptr, "AddViewAScanCommentsAction",
                 "PrintAScanReportAction"});
    fillToolBar(bandPage_->ui.BandsToolBar,
                {"ReceiveBandsFromDeviceAction", "DisconnectDeviceAction", nullptr,
                 "LoadBandsFromFileAction", "SaveBandsToFileAction", "CopyBandAction", nullptr,
                 "ShowFirstBandAction", "ShowPrevBandAction", "ShowNextBandAction",
                 "ShowLastBandAction", nullptr, "AddViewBandsCommentsAction",
                 "PrintBandReportAction", nullptr, "SwitchAScanParamsinBandAction"});
    fillToolBar(mapPage_->ui.MapsToolBar,
                {"ReceiveMapsFromDeviceAction", "DisconnectDeviceAction", nullptr,
                 "LoadMapsFromFileAction", "SaveMapsToFileAction", "CopyMapImageAction", nullptr,
                 "ShowFirstMapAction", "ShowPrevMapAction", "ShowNextMapAction",
                 "ShowLastMapAction", nullptr, "AddViewMapsCommentsAction",
                 "PrintMapReportAction", nullptr, "SwitchAScanParamsinMapAction"});
    for (QWidget* page :
         std::initializer_list<QWidget*>{ascanPage_, bandPage_, mapPage_, flashPage_}) {
        page->show(); // made after its tab sheet, so not shown with it by itself
    }
    // What start-up has done for the other pages by now.
    if (textsApplied_) {
        ascanPage_->ApplyTexts();
        bandPage_->ApplyTexts();
        mapPage_->ApplyTexts();
        flashPage_->ApplyTexts();
        ascanPage_->LayoutGrids();
        bandPage_->LayoutGrids();
        mapPage_->LayoutGrids();
    }
    if (listsShown_) {
        RefreshList(*this, ListKind::AScans);
        RefreshList(*this, ListKind::Bands);
        RefreshList(*this, ListKind::Maps);
    }
    if (textsApplied_) {
        UpdateActionStates();
    }
}

TAScansPage* TGarnetwickMainForm::AScansPage() {
    BuildRecordPages();
    return ascanPage_;
}

TBandsPage* TGarnetwickMainForm::BandsPage() {
    BuildRecordPages();
    return bandPage_;
}

TMapsPage* TGarnetwickMainForm::MapsPage() {
    BuildRecordPages();
    return mapPage_;
}

TFlashMarkupPage* TGarnetwickMainForm::FlashPage() {
    BuildRecordPages();
    return flashPage_;
}

void TGarnetwickMainForm::CreateActions() {
    for (const ActionSpec& entry : ActionTable) {
        auto* a = new QAction(this);
        a->setObjectName(entry.name);
        a->setText(entry.name);
        a->setIcon(ToolIcon(entry.icon));
        addAction(a);
        actions_.emplace(entry.name, a);
        // Connected first, so it runs before the command: tool buttons and keys do not take the
        // focus from a parameter editor, and its value belongs to the configuration it was
        // opened for.
        connect(a, &QAction::triggered, this, [this] {
            if (configPage_ != nullptr) {
                runCommand([this] { configPage_->LeaveParamEditors(); });
            }
        });
    }
    QAction* disconnectAction = Action("DisconnectDeviceAction");
    disconnectAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_X));
    disconnectAction->setShortcutContext(Qt::WindowShortcut);

    auto bind = [this](const char* name, auto handler) {
        connect(Action(name), &QAction::triggered, this, [this, name, handler] {
            TPressedButton held(Action(name));
            runCommand([&] { handler(); });
        });
    };
    bind("ReceiveConfigsAction", [this] { ReceiveConfigsActionExecute(); });
    bind("SendConfigsAction", [this] { SendConfigsActionExecute(); });
    bind("SaveConfigsAction", [this] { SaveConfigsActionExecute(); });
    bind("OpenConfigsAction", [this] { OpenConfigsActionExecute(); });
    bind("DisconnectDeviceAction", [this] { DisconnectDeviceActionExecute(); });
    bind("ReceiveAScansAction", [this] { ReceiveRecords(*this, ListKind::AScans); });
    bind("ReceiveBandsFromDeviceAction", [this] { ReceiveRecords(*this, ListKind::Bands); });
    bind("ReceiveMapsFromDeviceAction", [this] { ReceiveRecords(*this, ListKind::Maps); });
    bind("SaveAScansToFileAction", [this] { SaveRecordsToFile(*this, ListKind::AScans); });
    bind("SaveBandsToFileAction", [this] { SaveRecordsToFile(*this, ListKind::Bands); });
    bind("SaveMapsToFileAction", [this] { SaveRecordsToFile(*this, ListKind::Maps); });
    bind("LoadAScansFromFileAction", [this] { LoadRecordsFromFile(*this, ListKind::AScans); });
    bind("LoadBandsFromFileAction", [this] { LoadRecordsFromFile(*this, ListKind::Bands); });
    bind("LoadMapsFromFileAction", [this] { LoadRecordsFromFile(*this, ListKind::Maps); });
    bind("FirstAScanAction", [this] { AScansPage()->FirstAScanActionExecute(); });
    bind("PrevAScanAction", [this] { AScansPage()->PrevAScanActionExecute(); });
    bind("NextAScanAction", [this] { AScansPage()->NextAScanActionExecute(); });
    bind("LastAScanAction", [this] { AScansPage()->LastAScanActionExecute(); });
    // The commands on the shown record, alike for the three kinds.
    const std::pair<ListKind, std::array<const char*, 5>> recordCommands[] = {
        {ListKind::AScans,
         {"SaveSelectedAscanAction", "EraseSelectedAScanAction", "AddViewAScanCommentsAction",
          "CopyAScanImageToClpBrdAction", "PrintAScanReportAction"}},
        {ListKind::Bands,
         {"SaveSelectedBandAction", "EraseSelectedBandAction", "AddViewBandsCommentsAction",
          "CopyBandAction", "PrintBandReportAction"}},
        {ListKind::Maps,
         {"SaveSelectedMapAction", "EraseSelectedMapAction", "AddViewMapsCommentsAction",
          "CopyMapImageAction", "PrintMapReportAction"}},
    };
    for (const auto& [kind, names] : recordCommands) {
        const ListKind k = kind;
        bind(names[0], [this, k] { SaveSelectedRecord(*this, k); });
        bind(names[1], [this, k] { EraseSelectedRecord(*this, k); });
        bind(names[2], [this, k] { EditRecordComments(*this, k); });
        bind(names[3], [this, k] { CopyRecordImage(*this, k); });
        QAction* report = Action(names[4]);
        bind(names[4], [this, k, report] { PrintRecordReport(*this, k, report); });
    }
    // The preview of the A-scan report is not a command of its own.
    bind("PreviewAScanReportAction", [] {});
}

QAction* TGarnetwickMainForm::Action(std::string_view name) const {
    const auto found = actions_.find(name);
    return found != actions_.end() ? found->second : nullptr;
}

TReportFillPaperDialog* TGarnetwickMainForm::ReportDialog(ReportKind kind) const {
    return Windows.Report(kind);
}

// ---- start-up ------------------------------------------------------------------------------

void TGarnetwickMainForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!shownOnce_) {
        shownOnce_ = true;
        if (QScreen* screen = this->screen()) {
            const QRect avail = screen->availableGeometry();
            move(avail.center() - QPoint(width() / 2, height() / 2));
        }
        runCommand([this] { FormShow(); });
        emit startUpFinished();
    }
}

void TGarnetwickMainForm::FormShow() {
    // 1. Number formats of the user's locale; no key or drag state yet.
    ShiftHeld = false;
    CtrlHeld = false;
    platform::text::setFormatSettings(platform::text::userFormatSettings());
    // 3. Work pictures, the flash markup and the neutral A-scan.
    for (auto& b : workBitmaps_) {
        b = std::make_unique<platform::gfx::TBitmap>();
    }
    FlashMarkup = std::make_unique<TCorvantaAbsConfigCell>();
    ScratchAScan = std::make_unique<TBaseAScanCell>();
    ScratchAScan->Config->ResetAll(0);
    // 4. Without its texts the program cannot run.
    if (!LoadLanguageFiles(programFile_)) {
        platform::ui::messageBoxes().show("Can\"t load text files! Reinstall software!",
                                          "Fatal error", platform::ui::MessageIcon::Error,
                                          platform::ui::MessageButtons::Ok);
        startUpFailed_ = true;
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
        return;
    }
    // 5.
    ApplyTexts();
    LayoutGrids();
    textsApplied_ = true;
    configPage_->SetupParamControls();
    // 6, 7.
    FlashMarkup->Modified = 0;
    ConnectUSBDevice();
    UpdateActionStates();
    IdentifyConnectedDevice(FlashMarkup, DeviceDescription);
    UpdateActionStates();
    ShowConnectionStatus();
    // 8-10. The record pages are made when first needed and show their lists then.
    AScans.OriginLabel = caption(37);
    if (ascanPage_ != nullptr) {
        RefreshList(*this, ListKind::AScans);
    }
    Configs.OriginLabel = caption(37);
    configPage_->RefreshConfigList();
    configPage_->ClearGridSelections();
    if (ascanPage_ != nullptr) {
        RefreshList(*this, ListKind::Bands);
        RefreshList(*this, ListKind::Maps);
    }
    listsShown_ = true;
    // 11, 12.
    DeviceDescription = GetCaptionString(35);
    Windows.SetStringEditorCaption(caption(49));
    // 13. The surfaces of the page in front; the pictures drawn before they existed are drawn
    // again. The other pages' surfaces wait until their page is first shown.
    surfacesDue_ = true;
    ShowPageSurfaces(ActivePage());
    // 14.
    SetActivePage(0);
    UpdateActionStates();
}

void TGarnetwickMainForm::ApplyTexts() {
    setWindowTitle(caption(2));
    for (int i = 0; i < MainPageCount; ++i) {
        ui_->MainPageControl->setTabText(i, caption(TabCaptions[i]));
        ui_->MainPageControl->setTabToolTip(i, keyHint(PageHintPrefixes[i], 320 + i));
    }
    ui_->MainStatusBar->setToolTip(caption(219) + " : " + caption(220));
    for (const ActionSpec& entry : ActionTable) {
        QAction* a = Action(entry.name);
        QString hint = entry.hintCaption < 0 ? errMsg(-entry.hintCaption)
                       : entry.keyPrefix    ? keyHint(entry.keyPrefix, entry.hintCaption)
                                           : caption(entry.hintCaption);
        a->setToolTip(hint);
        a->setStatusTip(hint);
    }
    for (const auto& [name, number] : ActionCaptions) {
        Action(name)->setText(caption(number));
    }
    if (ascanPage_ != nullptr) {
        ascanPage_->ApplyTexts();
        bandPage_->ApplyTexts();
        mapPage_->ApplyTexts();
    }
    configPage_->ApplyTexts();
    if (flashPage_ != nullptr) {
        flashPage_->ApplyTexts();
    }
    Windows.ApplyTexts();
}

void TGarnetwickMainForm::LayoutGrids() {
    if (ascanPage_ != nullptr) {
        ascanPage_->LayoutGrids();
        bandPage_->LayoutGrids();
        mapPage_->LayoutGrids();
    }
    configPage_->LayoutGrids();
}

std::vector<TSurfaceView*> TGarnetwickMainForm::PageSurfaces(int page) {
    switch (static_cast<MainPage>(page)) {
    case MainPage::Setup:
        break;
    case MainPage::AScans:
        return AScansPage()->Surfaces();
    case MainPage::Bands:
        return BandsPage()->Surfaces();
    case MainPage::Maps:
        return MapsPage()->Surfaces();
    case MainPage::Flash:
        return {FlashPage()->Surface()};
    }
    return {};
}

std::vector<TSurfaceView*> TGarnetwickMainForm::AllSurfaces() {
    std::vector<TSurfaceView*> all;
    for (int page = 0; page < MainPageCount; ++page) {
        for (TSurfaceView* v : PageSurfaces(page)) {
            all.push_back(v);
        }
    }
    return all;
}

void TGarnetwickMainForm::ShowPageSurfaces(int page) {
    static_assert(std::tuple_size_v<decltype(pageSurfacesUp_)> == MainPageCount);
    if (page < 0 || page >= MainPageCount || pageSurfacesUp_[static_cast<std::size_t>(page)]) {
        return;
    }
    pageSurfacesUp_[static_cast<std::size_t>(page)] = true;
    std::string firstFailure;
    for (TSurfaceView* v : PageSurfaces(page)) {
        try {
            v->Initialize();
        } catch (const std::exception& e) {
            if (firstFailure.empty()) {
                firstFailure = e.what();
            }
        }
    }
    // One report for the page; the surfaces that came up and the other pages still work.
    if (!firstFailure.empty()) {
        platform::ui::messageBoxes().show(firstFailure, "Error", platform::ui::MessageIcon::Error,
                                          platform::ui::MessageButtons::Ok);
    }
    RefreshPagePictures(page);
}

void TGarnetwickMainForm::RefreshPagePictures(int page) {
    // The memory page draws its chart each time it is shown.
    switch (static_cast<MainPage>(page)) {
    case MainPage::AScans:
        RefreshList(*this, ListKind::AScans);
        break;
    case MainPage::Bands:
        RefreshList(*this, ListKind::Bands);
        break;
    case MainPage::Maps:
        RefreshList(*this, ListKind::Maps);
        break;
    case MainPage::Setup:
    case MainPage::Flash:
        break;
    }
}

// ---- states and status ---------------------------------------------------------------------

void TGarnetwickMainForm::UpdateActionStates() {
    TActionStateInputs in;
    in.connected = USBConnected == 1;
    if (FlashMarkup) {
        in.fullKind = FlashMarkup->DeviceKind == 1;
        in.markupModified = FlashMarkup->Modified != 0;
        in.markupAScans = FlashMarkup->AScanArea.Count;
        in.markupBands = FlashMarkup->BandArea.Count;
        in.markupMaps = FlashMarkup->MapArea.Count;
    }
    in.configs = {Configs.Count, Configs.Current};
    in.ascans = {AScans.Count, AScans.Current};
    in.bands = {Bands.Count, Bands.Current};
    in.maps = {Maps.Count, Maps.Current};
    ApplyActionStates(ComputeActionStates(in));
}

void TGarnetwickMainForm::ApplyActionStates(const TActionStates& s) {
    auto set = [this](const char* name, bool on) { Action(name)->setEnabled(on); };
    auto nav = [&](const char* first, const char* prev, const char* next, const char* last,
                   const TNavigationStates& n) {
        set(first, n.first);
        set(prev, n.prev);
        set(next, n.next);
        set(last, n.last);
    };
    ui_->MainPageControl->setTabVisible(static_cast<int>(MainPage::Flash), s.flashTabVisible);
    set("ReceiveAScansAction", s.ascans.receive);
    set("ReceiveConfigsAction", s.receiveConfigs);
    set("DisconnectDeviceAction", s.disconnect);
    set("SendConfigsAction", s.sendConfigs);
    set("ReceiveBandsFromDeviceAction", s.bands.receive);
    set("ReceiveMapsFromDeviceAction", s.maps.receive);
    set("SaveConfigsAction", s.configs);
    nav("FirstConfigAction", "PrevConfigAction", "NextConfigAction", "LastConfigAction",
        s.configNav);
    for (const char* n : {"SaveAScansToFileAction", "SaveSelectedAscanAction",
                          "PreviewAScanReportAction", "PrintAScanReportAction",
                          "CopyAScanImageToClpBrdAction", "AddViewAScanCommentsAction"}) {
        set(n, s.ascans.records);
    }
    set("EraseSelectedAScanAction", s.ascans.erase);
    nav("FirstAScanAction", "PrevAScanAction", "NextAScanAction", "LastAScanAction", s.ascans.nav);
    for (const char* n : {"SaveBandsToFileAction", "SaveSelectedBandAction",
                          "PrintBandReportAction", "CopyBandAction",
                          "SwitchAScanParamsinBandAction", "AddViewBandsCommentsAction"}) {
        set(n, s.bands.records);
    }
    set("EraseSelectedBandAction", s.bands.erase);
    nav("ShowFirstBandAction", "ShowPrevBandAction", "ShowNextBandAction", "ShowLastBandAction",
        s.bands.nav);
    for (const char* n : {"SaveMapsToFileAction", "SaveSelectedMapAction", "PrintMapReportAction",
                          "CopyMapImageAction", "SwitchAScanParamsinMapAction",
                          "AddViewMapsCommentsAction"}) {
        set(n, s.maps.records);
    }
    set("EraseSelectedMapAction", s.maps.erase);
    nav("ShowFirstMapAction", "ShowPrevMapAction", "ShowNextMapAction", "ShowLastMapAction",
        s.maps.nav);
    set("UndoChangesAction", s.applyMarkup);
    set("ApplyNewFlashMarkupAction", s.applyMarkup);
    set("ClearAScansAction", s.clearAScans);
    set("ClearBandsAction", s.clearBands);
    set("ClearMapsAction", s.clearMaps);
    configPage_->ApplyStates(s);
    if (ascanPage_ != nullptr) {
        ascanPage_->ApplyStates(s);
        bandPage_->ApplyStates(s);
        mapPage_->ApplyStates(s);
    }
}

void TGarnetwickMainForm::ShowConnectionStatus() {
    const QString device = USBConnected == 1 && FlashMarkup ? toQt(GetDeviceName(*FlashMarkup))
                                                            : caption(35);
    statusPanels_[0]->setText(caption(34) + " : " + device);
}

void TGarnetwickMainForm::SetStatusPanel1(const QString& text) { statusPanels_[1]->setText(text); }

QString TGarnetwickMainForm::StatusPanelText(int panel) const {
    return panel == 0 || panel == 1 ? statusPanels_[panel]->text() : QString();
}

void TGarnetwickMainForm::UpdateFlashMarkupPage() {
    if (flashPage_ != nullptr) {
        flashPage_->UpdateFlashMarkupPage();
    } else {
        SetStatusPanel1({}); // the page draws the markup when it is first shown
    }
}

int TGarnetwickMainForm::ActivePage() const { return ui_->MainPageControl->currentIndex(); }

void TGarnetwickMainForm::SetActivePage(int page) {
    ui_->MainPageControl->setCurrentIndex(page);
    if (currentTab_ != page) {
        TabShown(page);
    }
}

void TGarnetwickMainForm::TabShown(int index) {
    const int previous = currentTab_;
    currentTab_ = index;
    if (previous == static_cast<int>(MainPage::Flash) && index != previous) {
        flashPage_->PageHidden();
    }
    for (int i = 0; i < MainPageCount; ++i) {
        ui_->MainPageControl->setTabIcon(i, QIcon(ControlButtonImage(i == index ? 0 : 1)));
    }
    if (surfacesDue_) {
        ShowPageSurfaces(index);
    }
    switch (static_cast<MainPage>(index)) {
    case MainPage::Setup:
    case MainPage::AScans: SetStatusPanel1({}); break;
    case MainPage::Bands: SetStatusPanel1(BandStatusText(Bands.current())); break;
    case MainPage::Maps: SetStatusPanel1(MapStatusText(Maps.current())); break;
    case MainPage::Flash:
        if (index != previous) {
            FlashPage()->PageShown();
        }
        break;
    }
}

QString BandStatusText(const TBaseBandCell* band) {
    if (band == nullptr) {
        return {};
    }
    const TBaseConfigCell& c = *band->Config;
    return caption(72) + ": " + QString::number(c.BandLastAScan + 1) + "      " + caption(74) +
           ": " + QString::number(c.BandStep);
}

QString MapStatusText(const TBaseMapCell* map) {
    if (map == nullptr) {
        return {};
    }
    // The third value is the vertical step: the step the caption names.
    const TBaseConfigCell& c = *map->Config;
    return caption(66) + ": " + QString::number(c.MapVerticPoints) + "       " + caption(67) +
           ": " + QString::number(c.MapHorizPoints) + "        " + caption(68) + ": " +
           QString::number(c.MapVerticStep);
}

void TGarnetwickMainForm::ClearGridSelection(QWidget* grid) {
    if (auto* table = qobject_cast<QTableWidget*>(grid)) {
        table->clearSelection();
        table->setCurrentCell(-1, -1);
    }
    if (QTableWidget* selector = configPage_->SelectorGrid()) {
        selector->setFocus();
    }
}

void TGarnetwickMainForm::SetParamButtonsFlat(bool ctrlHeld) {
    configPage_->SetParamButtonsFlat(!ctrlHeld);
}

// ---- closing -------------------------------------------------------------------------------

bool TGarnetwickMainForm::CheckUnsavedData(ListKind kind) {
    if (kind == ListKind::All) {
        for (ListKind k : {ListKind::Configs, ListKind::AScans, ListKind::Bands, ListKind::Maps}) {
            if (!CheckUnsavedData(k)) {
                return false;
            }
        }
        return true;
    }
    bool* unsaved = nullptr;
    int kindCaption = 0;
    switch (kind) {
    case ListKind::Configs: unsaved = &Configs.Unsaved; kindCaption = 377; break;
    case ListKind::AScans: unsaved = &AScans.Unsaved; kindCaption = 328; break;
    case ListKind::Bands: unsaved = &Bands.Unsaved; kindCaption = 329; break;
    case ListKind::Maps: unsaved = &Maps.Unsaved; kindCaption = 330; break;
    case ListKind::All: return true;
    }
    if (!*unsaved) {
        return true;
    }
    const std::string text =
        GetCaptionString(375) + GetCaptionString(kindCaption) + GetCaptionString(376);
    switch (platform::ui::messageBoxes().show(text, "Warning", platform::ui::MessageIcon::Question,
                                              platform::ui::MessageButtons::YesNoCancel)) {
    case platform::ui::MessageResult::Yes:
        // Unsaved records that were not written are never dropped.
        return SaveListToFile(kind);
    case platform::ui::MessageResult::No: *unsaved = false; return true;
    default: return false;
    }
}

bool TGarnetwickMainForm::SaveListToFile(ListKind kind) {
    if (kind == ListKind::Configs) {
        TPressedButton held(Action("SaveConfigsAction"));
        return SaveConfigsActionExecute();
    }
    return SaveRecordsToFile(*this, kind);
}

void TGarnetwickMainForm::closeEvent(QCloseEvent* event) {
    if (startUpFailed_) {
        event->accept();
        return;
    }
    // Not while a transfer or one of the program's dialogs is running.
    if (TransferRunning() || QApplication::activeModalWidget() != nullptr || closing_) {
        event->ignore();
        return;
    }
    closing_ = true;
    bool goOn = false;
    runCommand([&] { goOn = CheckUnsavedData(ListKind::All); });
    closing_ = false;
    if (!goOn) {
        event->ignore();
        return;
    }
    for (auto& b : workBitmaps_) {
        b.reset();
    }
    event->accept();
}

// ---- the command boundary ------------------------------------------------------------------

void runCommand(const std::function<void()>& command) {
    try {
        command();
    } catch (const std::exception& e) {
        platform::ui::messageBoxes().show(e.what(), "Error", platform::ui::MessageIcon::Error,
                                          platform::ui::MessageButtons::Ok);
    } catch (...) {
        platform::ui::messageBoxes().show("Unknown error", "Error",
                                          platform::ui::MessageIcon::Error,
                                          platform::ui::MessageButtons::Ok);
    }
}

} // namespace app
