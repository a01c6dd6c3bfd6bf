// The main window from start to close, against the simulated instrument.
#include "MainWindowHarness.h"

#include "app/Keys.h"
#include "app/pages/BandsPage.h"
#include "app/pages/ConfigurationsPage.h"
#include "reports/measurement/ReportFillPaperForm.h"
#include "surfaces/SurfaceViews.h"

#include <QDialog>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTableWidget>

#include <fstream>
#include <set>

#include <unistd.h>

namespace {

using platform::devices::DeviceEvent;
using platform::ui::MessageResult;

TEST_F(MainWindowTest, StartsConnectedOnTheSetupPage) {
    start();
    EXPECT_FALSE(form().StartUpFailed());
    EXPECT_EQ(status(0), "Device : R4471 Full v. 2.2.4");
    EXPECT_EQ(form().ActivePage(), 0);
    EXPECT_EQ(form().windowTitle(), "Tollerbank 3");
    EXPECT_EQ(form().size(), QSize(996, 716));
    auto* tabs = form().findChild<QTabWidget*>("MainPageControl");
    ASSERT_NE(tabs, nullptr);
    const QStringList expected = {"Configurations", "A-scans", "Bands", "Maps",
                                  "Instrument memory"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(tabs->tabText(i), expected[i]);
        EXPECT_TRUE(tabs->isTabVisible(i));
    }
    EXPECT_EQ(tabs->tabToolTip(2), "<B>Shift + F3</B> Bands");
    EXPECT_TRUE(action("ReceiveConfigsAction")->isEnabled());
    EXPECT_FALSE(action("SendConfigsAction")->isEnabled());
    EXPECT_EQ(action("ReceiveAScansAction")->toolTip(),
              "<B> F1</B>  Receive A-scans from the instrument");
    EXPECT_EQ(action("DisconnectDeviceAction")->toolTip(),
              "<B> Ctrl+X</B>  Disconnect the instrument");
    EXPECT_EQ(action("PreviewAScanReportAction")->toolTip(), "Preview the A-scan report");
    EXPECT_TRUE(boxes.shown.empty());
    // Only the page in front is made; the others, their surfaces and the reports wait until
    // they are needed.
    EXPECT_EQ(form().findChild<app::TBandsPage*>(), nullptr);
    for (QDialog* d : form().findChildren<QDialog*>()) {
        EXPECT_EQ(dynamic_cast<TReportFillPaperForm*>(d), nullptr);
    }
    // The configurations page has no surfaces; the other pages' come up at their places' sizes
    // the first time their page is shown.
    EXPECT_EQ(form().AllSurfaces().size(), 23u);
    for (TSurfaceView* v : form().AllSurfaces()) {
        EXPECT_FALSE(v->Initialized()) << v->objectName().toStdString();
    }
    for (int page = 1; page < app::MainPageCount; ++page) {
        form().SetActivePage(page);
        QApplication::processEvents();
        for (int other = 1; other < app::MainPageCount; ++other) {
            for (TSurfaceView* v : form().PageSurfaces(other)) {
                EXPECT_EQ(v->Initialized(), other <= page) << v->objectName().toStdString();
                if (other <= page && v->width() > 0 && v->height() > 0) {
                    EXPECT_EQ(QSize(v->SurfaceWidth(), v->SurfaceHeight()), v->size())
                        << v->objectName().toStdString();
                }
            }
        }
    }
    EXPECT_TRUE(boxes.shown.empty());
}

// Records that arrive before their page was ever shown are drawn when it first is.
TEST_F(MainWindowTest, APageShownForTheFirstTimeDrawsItsRecord) {
    start();
    action("ReceiveBandsFromDeviceAction")->trigger();
    QApplication::processEvents();
    ASSERT_EQ(form().Bands.Count, 3);
    auto* view = form().findChild<TSurfaceView*>("BandBScanSurfaceView");
    ASSERT_NE(view, nullptr);
    EXPECT_FALSE(view->Initialized());
    form().SetActivePage(2);
    QApplication::processEvents();
    ASSERT_TRUE(view->Initialized());
    const auto& pixels = view->PresentedImage().Pixels();
    const std::set<std::uint32_t> colours(pixels.begin(), pixels.end());
    EXPECT_GE(colours.size(), 3u);
    EXPECT_FALSE(status(1).isEmpty());
    EXPECT_EQ(status(1), app::BandStatusText(form().Bands.current()));
}

TEST_F(MainWindowTest, WithoutTheDriverTheWindowComesUpUnconnected) {
    setenv("TOLLERBANK_DRIVER", "/nonexistent/libVIZUrav.so", 1);
    start();
    EXPECT_EQ(status(0), "Device : Not connected");
    for (const char* name : {"ReceiveConfigsAction", "ReceiveAScansAction",
                             "ReceiveBandsFromDeviceAction", "DisconnectDeviceAction"}) {
        EXPECT_FALSE(action(name)->isEnabled()) << name;
    }
    EXPECT_TRUE(action("OpenConfigsAction")->isEnabled());
    EXPECT_FALSE(form().findChild<QTabWidget*>("MainPageControl")->isTabVisible(4));
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(MainWindowTest, MissingLanguageFilesStopTheStartUp) {
    const auto folder = std::filesystem::temp_directory_path() /
                        ("tb_no_strings_" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    start(folder / "tollerbank3");
    std::filesystem::remove_all(folder);
    EXPECT_TRUE(form().StartUpFailed());
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].title, "Fatal error");
    EXPECT_EQ(boxes.shown[0].text, "Can\"t load text files! Reinstall software!");
    EXPECT_EQ(boxes.shown[0].icon, platform::ui::MessageIcon::Error);
    // Nothing after the message: the instrument was never opened.
    EXPECT_EQ(callsOfOperation(TBSIM_INIT_USB), 0);
    QApplication::processEvents();
    EXPECT_FALSE(form().isVisible());
}

TEST_F(MainWindowTest, UnplugAndReplugFollowTheInstrument) {
    start();
    form().SetActivePage(4);
    sim.setPresent(0);
    injectDevice(DeviceEvent::NodesChanged);
    injectDevice(DeviceEvent::RemoveComplete);
    EXPECT_EQ(status(0), "Device : Not connected");
    EXPECT_FALSE(action("ReceiveConfigsAction")->isEnabled());
    auto* tabs = form().findChild<QTabWidget*>("MainPageControl");
    EXPECT_FALSE(tabs->isTabVisible(4));
    EXPECT_NE(form().ActivePage(), 4);

    sim.clearLog();
    clock.pauses.clear();
    std::size_t pausesBeforeInit = 0;
    clock.onSleep = [&](std::uint32_t) {};
    sim.setPresent(1);
    injectDevice(DeviceEvent::NodesChanged);
    pausesBeforeInit = clock.pauses.size();
    injectDevice(DeviceEvent::Arrival);
    ASSERT_GE(pausesBeforeInit, 1u);
    EXPECT_EQ(clock.pauses[0], 1000u);
    const auto calls = sim.calls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls[0].operation, TBSIM_INIT_USB);
    EXPECT_EQ(status(0), "Device : R4471 Full v. 2.2.4");
    EXPECT_TRUE(tabs->isTabVisible(4));
    EXPECT_TRUE(action("ReceiveConfigsAction")->isEnabled());
}

TEST_F(MainWindowTest, NodesChangedWhileConnectedOnlyAsksForTheStatus) {
    start();
    sim.clearLog();
    injectDevice(DeviceEvent::NodesChanged);
    const auto calls = sim.calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].operation, TBSIM_USB_STATUS);
    EXPECT_EQ(status(0), "Device : R4471 Full v. 2.2.4");
}

TEST_F(MainWindowTest, CtrlXCutsInsideTextAndDisconnectsElsewhere) {
    start();
    key(Qt::Key_F1); // the configurations, so the comments can be edited
    auto* memo = form().findChild<QPlainTextEdit*>("CommentsConfigDetailsMemo");
    ASSERT_NE(memo, nullptr);
    memo->setFocus();
    memo->setPlainText("Seam 4");
    memo->selectAll();
    key(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(memo->toPlainText(), "");
    EXPECT_EQ(callsOfOperation(TBSIM_CLOSE_USB), 0);
    EXPECT_EQ(status(0), "Device : R4471 Full v. 2.2.4");

    form().ConfigurationsPage()->SelectorGrid()->setFocus();
    key(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(callsOfOperation(TBSIM_CLOSE_USB), 1);
    EXPECT_EQ(status(0), "Device : Not connected");
    EXPECT_FALSE(action("DisconnectDeviceAction")->isEnabled());
}

TEST_F(MainWindowTest, ClosingAsksForEachUnsavedKindInOrder) {
    struct Case {
        std::vector<MessageResult> answers;
        bool closes;
        std::size_t questions;
        bool bandsStillUnsaved;
    };
    const Case cases[] = {
        {{MessageResult::Cancel}, false, 1, true},
        {{MessageResult::No, MessageResult::No}, true, 2, false},
        // Yes whose save dialog is cancelled: nothing was written, so the window stays.
        {{MessageResult::Yes}, false, 1, true},
    };
    for (const Case& c : cases) {
        start();
        form().AScans.Unsaved = true;
        form().Bands.Unsaved = true;
        form().AScans.Records.push_back(std::make_unique<TBaseAScanCell>());
        form().AScans.Count = 1;
        boxes.shown.clear();
        boxes.answers.assign(c.answers.begin(), c.answers.end());
        files.requests.clear();
        const bool closed = form().close();
        EXPECT_EQ(closed, c.closes);
        ASSERT_EQ(boxes.shown.size(), c.questions);
        EXPECT_EQ(boxes.shown[0].title, "Warning");
        EXPECT_EQ(boxes.shown[0].text, "There are unsaved A-scans. Save them to a file?");
        EXPECT_EQ(form().Bands.Unsaved, c.bandsStillUnsaved);
        program.reset();
    }
}

TEST_F(MainWindowTest, FunctionKeysRunThePageCommandsOnce) {
    start();
    // Every plain key of every page triggers exactly its table entry, once.
    for (int page = 0; page < app::MainPageCount; ++page) {
        form().SetActivePage(page);
        for (int fn = 1; fn <= 12; ++fn) {
            const std::string_view name = app::PlainKeyCommand(page, fn);
            std::map<std::string, int> triggered;
            std::vector<QMetaObject::Connection> spies;
            for (QAction* a : form().findChildren<QAction*>()) {
                spies.push_back(QObject::connect(a, &QAction::triggered, [&triggered, a] {
                    ++triggered[a->objectName().toStdString()];
                }));
                a->blockSignals(false);
            }
            // Keep the commands from doing their work: only the routing is checked here.
            for (QAction* a : form().findChildren<QAction*>()) {
                a->setEnabled(true);
            }
            boxes.defaultAnswer = MessageResult::No;
            files.answers.clear();
            key(static_cast<Qt::Key>(Qt::Key_F1 + fn - 1));
            for (auto& s : spies) {
                QObject::disconnect(s);
            }
            if (name.empty()) {
                EXPECT_TRUE(triggered.empty()) << "page " << page << " F" << fn;
            } else {
                EXPECT_EQ(triggered.size(), 1u) << "page " << page << " F" << fn;
                EXPECT_EQ(triggered[std::string(name)], 1) << "page " << page << " F" << fn;
            }
            form().SetActivePage(page);
        }
    }
}

TEST_F(MainWindowTest, ShiftKeysSelectVisiblePages) {
    start();
    form().SetActivePage(3);
    key(Qt::Key_F4, Qt::ShiftModifier);
    EXPECT_EQ(form().ActivePage(), 3);
    key(Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(form().ActivePage(), 2);
    key(Qt::Key_F1, Qt::ShiftModifier | Qt::ControlModifier);
    EXPECT_EQ(form().ActivePage(), 0);
    key(Qt::Key_X, Qt::ControlModifier);
    key(Qt::Key_F5, Qt::ShiftModifier);
    EXPECT_EQ(form().ActivePage(), 0);
}

} // namespace

namespace {

// What happens while a transfer runs: the window keeps drawing, but no command starts, the
// window does not close, and a device notice is acted on once the transfer has ended.
TEST_F(MainWindowTest, DuringATransferOnlyTheTransferRuns) {
    start();
    form().SetActivePage(1);
    key(Qt::Key_F1);
    ASSERT_EQ(form().AScans.Count, 5);
    form().AScans.Unsaved = false;
    const TBaseAScanCell* first = form().AScans.Records[0].get();

    bool closedMidway = true;
    int messageRuns = 0;
    clock.onMessages = [&] {
        if (++messageRuns != 2) {
            return;
        }
        key(Qt::Key_F4);
        key(Qt::Key_F3);
        closedMidway = form().close();
        sim.setPresent(0);
        injectDevice(DeviceEvent::NodesChanged);
        injectDevice(DeviceEvent::RemoveComplete);
        // Not yet: the batch is still running.
        EXPECT_EQ(status(0), "Device : R4471 Full v. 2.2.4");
    };
    boxes.shown.clear();
    key(Qt::Key_F1);
    clock.onMessages = nullptr;
    EXPECT_GE(messageRuns, 2);
    EXPECT_FALSE(closedMidway);
    EXPECT_TRUE(form().isVisible());
    EXPECT_TRUE(files.requests.empty()) << "no save or load started during the transfer";
    // The pulled-out instrument broke the transfer off; the records shown before stay.
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "Receiving A-scans from the instrument failed!");
    EXPECT_EQ(form().AScans.Count, 5);
    EXPECT_EQ(form().AScans.Records[0].get(), first);
    // And the removal was acted on afterwards.
    EXPECT_EQ(status(0), "Device : Not connected");
    EXPECT_FALSE(action("ReceiveAScansAction")->isEnabled());
}

} // namespace

namespace {

TEST_F(MainWindowTest, StatusBarFollowsThePageInFront) {
    start();
    for (int page : {2, 3}) {
        form().SetActivePage(page);
        EXPECT_EQ(status(1), "") << "nothing received yet";
        key(Qt::Key_F1);
    }
    form().SetActivePage(2);
    EXPECT_EQ(status(1), "Band A-scans: 60      Band step: 50");
    form().SetActivePage(3);
    // The third value is the vertical step, the one its caption names.
    form().Maps.Records[0]->Config->MapVerticStep = 31;
    form().SetActivePage(1);
    EXPECT_EQ(status(1), "");
    form().SetActivePage(3);
    EXPECT_EQ(status(1),
              "Map vertical points: 10       Map horizontal points: 12        Map vertical step: 31");
    form().SetActivePage(0);
    EXPECT_EQ(status(1), "");
}

} // namespace
