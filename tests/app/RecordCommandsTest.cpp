// The commands of the measurement pages through the window, with the simulated instrument: receive,
// save all, load, save and erase the selected record, comments, copy and report, checked on the
// A-scans page and, where cheap, over the three kinds.
#include "MainWindowHarness.h"

#include "app/Texts.h"
#include "app/dialogs/CheckSavedRecordsFormUnit.h"
#include "app/dialogs/CommentsInputFormUnit.h"
#include "app/pages/AScansPage.h"
#include "platform/gfx/QtImage.h"
#include "records/MeasurementFiles.h"
#include "surfaces/SegLcd.h"

#include <QClipboard>
#include <QPlainTextEdit>

#include <unistd.h>

namespace {

using platform::ui::FileDialogAnswer;
using platform::ui::MessageResult;

// What the table tests need of each kind.
struct Kind {
    int page;
    const char* ext;
    const char* saveSelected;
    const char* erase;
    const char* copy;
    const char* saveFailedName;
};
constexpr Kind Kinds[] = {
    {1, ".dtf", "SaveSelectedAscanAction", "EraseSelectedAScanAction",
     "CopyAScanImageToClpBrdAction", "A-scan"},
    {2, ".btf", "SaveSelectedBandAction", "EraseSelectedBandAction", "CopyBandAction", "Band"},
    {3, ".mtf", "SaveSelectedMapAction", "EraseSelectedMapAction", "CopyMapImageAction", "Map"},
};

class RecordCommandsTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        dir = std::filesystem::temp_directory_path() /
              ("tb_app_records_" + std::to_string(::getpid()));
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
    }
    void TearDown() override {
        std::filesystem::remove_all(dir);
        MainWindowTest::TearDown();
    }
    void receive(int page = 1) {
        form().SetActivePage(page);
        key(Qt::Key_F1);
    }
    void answerFile(const std::filesystem::path& file, int index = 1) {
        files.answers.push_back(FileDialogAnswer{true, file, index});
    }
    // The choose-records dialog confirmed with every record ticked, or with none.
    void chooseRecords(bool tickAll) {
        dialogScript.push_back([tickAll](QDialog* d) {
            auto* f = dynamic_cast<app::TCheckSavedRecordsForm*>(d);
            ASSERT_NE(f, nullptr);
            for (int i = 0; i < f->ItemCount(); ++i) {
                f->SetTicked(i, tickAll);
            }
            d->accept();
        });
    }
    std::array<std::string, 3> readouts() {
        auto& a = form().AScansPage()->ui;
        return {a.TimeAScanSegLCD->Value(), a.PathAScanSegLCD->Value(),
                a.LevelAScanSegLCD->Value()};
    }
    // (count, name of the first record) of a file of the kind.
    std::pair<int, std::string> readBack(int page, const std::filesystem::path& file) {
        std::uint16_t count = 0;
        auto first = [&](auto& list) {
            return list.empty() || !list[0] ? std::string() : list[0]->Config->ConfigName;
        };
        if (page == 1) {
            PAscansSet list;
            EXPECT_EQ(LoadAScansFromFile(file, list, count), 0);
            return {count, first(list)};
        }
        if (page == 2) {
            PBandsSet list;
            EXPECT_EQ(LoadBandsFromFile(file, list, count), 0);
            return {count, first(list)};
        }
        PMapsSet list;
        EXPECT_EQ(LoadMapsFromFile(file, list, count), 0);
        return {count, first(list)};
    }
    template <typename List>
    static std::vector<std::string> names(const List& list) {
        std::vector<std::string> out;
        for (const auto& r : list.Records) {
            out.push_back(r->Config->ConfigName);
        }
        return out;
    }
    std::vector<std::string> namesOf(int page) {
        return page == 1   ? names(form().AScans)
               : page == 2 ? names(form().Bands)
                           : names(form().Maps);
    }
    TBaseAScanCell* currentOf(int page) {
        return page == 1   ? form().AScans.current()
               : page == 2 ? static_cast<TBaseAScanCell*>(form().Bands.current())
                           : form().Maps.current();
    }
    // The record a command works on (the bands and maps pages move through their lists
    // themselves).
    void makeCurrent(int page, std::uint16_t n) {
        (page == 1   ? form().AScans.Current
         : page == 2 ? form().Bands.Current
                     : form().Maps.Current) = n;
    }
    bool& unsavedOf(int page) {
        return page == 1 ? form().AScans.Unsaved
               : page == 2 ? form().Bands.Unsaved
                           : form().Maps.Unsaved;
    }
    std::filesystem::path dir;
};

TEST_F(RecordCommandsTest, NothingRecordedIsAnErrorMessageOfItsOwn) {
    sim.setRecordCounts(0, 0, 0);
    start();
    const char* texts[] = {"The instrument holds no A-scans.", "The instrument holds no bands.",
                           "The instrument holds no maps."};
    for (int page = 1; page <= 3; ++page) {
        // The command is off while the markup counts none; run anyway, it says so itself.
        const char* receiveAction = page == 1   ? "ReceiveAScansAction"
                                    : page == 2 ? "ReceiveBandsFromDeviceAction"
                                                : "ReceiveMapsFromDeviceAction";
        action(receiveAction)->setEnabled(true);
        boxes.shown.clear();
        sim.clearLog();
        receive(page);
        ASSERT_EQ(boxes.shown.size(), 1u) << page;
        EXPECT_EQ(boxes.shown[0].text, texts[page - 1]);
        EXPECT_EQ(boxes.shown[0].title, "No records");
        EXPECT_EQ(boxes.shown[0].icon, platform::ui::MessageIcon::Error);
        EXPECT_EQ(callsOfOperation(TBSIM_SEND_SERVICE_BUFFER), 0);
    }
    EXPECT_EQ(form().AScans.Count + form().Bands.Count + form().Maps.Count, 0);
}

TEST_F(RecordCommandsTest, AFailedReceiveKeepsTheShownAScans) {
    start();
    receive();
    ASSERT_EQ(form().AScans.Count, 5);
    form().AScans.Unsaved = false;
    const TBaseAScanCell* second = form().AScans.Records[1].get();
    sim.failCall(TBSIM_CHECK_BULK_BUFFER, 3, TBSIM_ANY_COMMAND);
    receive();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "Receiving A-scans from the instrument failed!");
    EXPECT_EQ(boxes.shown[0].title, "Transfer error");
    ASSERT_EQ(form().AScans.Count, 5);
    EXPECT_EQ(form().AScans.Records[1].get(), second);
    EXPECT_EQ(form().AScansPage()->ui.AScansPageCaptionLabel->text(),
              "A-scans received from the instrument");
}

TEST_F(RecordCommandsTest, SaveAllAddsTheExtensionAndWritesOnlyTicked) {
    start();
    receive();
    // Nothing ticked: nothing written, the records stay unsaved.
    chooseRecords(false);
    answerFile(dir / "none.dtf");
    key(Qt::Key_F4);
    EXPECT_TRUE(std::filesystem::is_empty(dir));
    EXPECT_TRUE(form().AScans.Unsaved);
    // An extension in capitals is not the extension.
    files.answers.clear();
    chooseRecords(true);
    answerFile(dir / "a.DTF");
    key(Qt::Key_F4);
    ASSERT_TRUE(std::filesystem::exists(dir / "a.DTF.dtf"));
    EXPECT_EQ(readBack(1, dir / "a.DTF.dtf").first, 5);
    EXPECT_FALSE(form().AScans.Unsaved);
}

TEST_F(RecordCommandsTest, SaveSelectedWritesTheCurrentRecordAlone) {
    start();
    for (const Kind& k : Kinds) {
        SCOPED_TRACE(k.page);
        receive(k.page);
        makeCurrent(k.page, 1);
        const std::string name = currentOf(k.page)->Config->ConfigName;
        unsavedOf(k.page) = true;
        const auto file = dir / (std::string("one") + k.ext);
        answerFile(dir / "one");
        action(k.saveSelected)->trigger();
        ASSERT_TRUE(std::filesystem::exists(file));
        EXPECT_EQ(readBack(k.page, file), (std::pair<int, std::string>{1, name}));
        EXPECT_TRUE(unsavedOf(k.page));
        // Only the format that is written is offered.
        const std::string filter = files.requests.back().filter;
        EXPECT_EQ(filter.find("Ksn2"), std::string::npos) << filter;
        EXPECT_NE(filter.find(k.ext), std::string::npos) << filter;
        // An existing file is overwritten only on Yes.
        const auto size = std::filesystem::file_size(file);
        makeCurrent(k.page, 0);
        boxes.answers = {MessageResult::No};
        answerFile(file);
        action(k.saveSelected)->trigger();
        EXPECT_EQ(boxes.shown.back().text, "The file already exists. Overwrite it?");
        EXPECT_EQ(std::filesystem::file_size(file), size);
        EXPECT_EQ(readBack(k.page, file).second, name);
    }
}

TEST_F(RecordCommandsTest, EraseAsksAndKeepsTheRest) {
    start();
    for (const Kind& k : Kinds) {
        SCOPED_TRACE(k.page);
        receive(k.page);
        unsavedOf(k.page) = false;
        makeCurrent(k.page, 1);
        std::vector<std::string> expected = namesOf(k.page);
        const std::string second = expected[1];
        expected.erase(expected.begin() + 1);
        boxes.shown.clear();
        boxes.answers = {MessageResult::No};
        action(k.erase)->trigger();
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].buttons, platform::ui::MessageButtons::YesNo);
        EXPECT_EQ(namesOf(k.page).size(), expected.size() + 1);
        boxes.answers = {MessageResult::Yes};
        action(k.erase)->trigger();
        EXPECT_EQ(namesOf(k.page), expected);
        EXPECT_TRUE(unsavedOf(k.page));
        EXPECT_EQ(currentOf(k.page)->Config->ConfigName, expected[0]);
        const std::string question = boxes.shown[0].text;
        if (k.page == 1) {
            EXPECT_EQ(question, "Erase A-scan No. 2: " + second + " ? This cannot be undone.");
        } else if (k.page == 2) {
            EXPECT_EQ(question, "Erase band No.2 Band  " + second + " ? This cannot be undone.");
        } else {
            EXPECT_EQ(question, "Erase map No.2 Map  " + second + " ? This cannot be undone.");
        }
    }
    // The A-scan selector offers both commands on its own menu.
    const auto menu = form().AScansPage()->ui.AScanFramwSelectorStringGrid->actions();
    ASSERT_EQ(menu.size(), 2);
    EXPECT_EQ(menu[0]->text(), "Save A-scan...");
    EXPECT_EQ(menu[1]->text(), "Erase A-scan");
}

TEST_F(RecordCommandsTest, CommentsEditSetsTheUnsavedFlag) {
    start();
    receive();
    form().AScans.Unsaved = false;
    TBaseAScanCell* record = form().AScans.current();
    const auto before = record->Comments;
    // Cancelled: nothing changes.
    dialogScript.push_back([](QDialog* d) {
        dynamic_cast<app::TCommentsInputForm*>(d)->Editor()->setPlainText("Thrown away");
        d->reject();
    });
    key(Qt::Key_F11);
    EXPECT_EQ(record->Comments, before);
    EXPECT_FALSE(form().AScans.Unsaved);
    dialogScript.push_back([](QDialog* d) {
        dynamic_cast<app::TCommentsInputForm*>(d)->Editor()->setPlainText("Seam 4\nweld root");
        d->accept();
    });
    key(Qt::Key_F11);
    EXPECT_EQ(record->Comments, (std::vector<std::string>{"Seam 4", "weld root"}));
    EXPECT_EQ(record->CommentCount, 2);
    EXPECT_TRUE(form().AScans.Unsaved);
}

TEST_F(RecordCommandsTest, UnsavedRecordsAreOfferedBeforeTheyAreReplaced) {
    start();
    receive();
    ASSERT_TRUE(form().AScans.Unsaved);
    const TBaseAScanCell* first = form().AScans.Records[0].get();
    struct Case {
        Qt::Key key;
        MessageResult answer;
    };
    // Cancel, or Yes whose save is cancelled in the choose-records dialog: nothing replaced.
    const Case cases[] = {{Qt::Key_F1, MessageResult::Cancel},
                          {Qt::Key_F1, MessageResult::Yes},
                          {Qt::Key_F3, MessageResult::Cancel},
                          {Qt::Key_F3, MessageResult::Yes}};
    for (const Case& c : cases) {
        boxes.shown.clear();
        boxes.answers = {c.answer};
        files.requests.clear();
        sim.clearLog();
        key(c.key);
        ASSERT_FALSE(boxes.shown.empty());
        EXPECT_EQ(boxes.shown[0].text, "There are unsaved A-scans. Save them to a file?");
        EXPECT_EQ(callsOfOperation(TBSIM_SEND_SERVICE_BUFFER), 0);
        EXPECT_TRUE(files.requests.empty());
        EXPECT_EQ(form().AScans.Records[0].get(), first);
    }
}

TEST_F(RecordCommandsTest, SavedAndLoadedAScansLookTheSame) {
    start();
    receive();
    app::TAScansPage& page = *form().AScansPage();
    struct Shown {
        std::array<std::string, 3> readouts;
        std::array<int, 6> pictures;
        QImage trace;
    };
    auto shown = [&](int n) {
        page.ShowAScan(n);
        return Shown{readouts(), page.ModePictureIndexes(),
                     platform::gfx::imageFromBitmap(page.ui.AScanSignalImage->PresentedImage())};
    };
    std::vector<Shown> received;
    for (int n = 0; n < form().AScans.Count; ++n) {
        received.push_back(shown(n));
    }
    chooseRecords(true);
    answerFile(dir / "round");
    key(Qt::Key_F4);
    answerFile(dir / "round.dtf");
    key(Qt::Key_F3);
    ASSERT_EQ(form().AScans.Count, received.size());
    EXPECT_EQ(page.ui.AScansPageCaptionLabel->text(), "A-scans from file:  round.dtf");
    for (int n = 0; n < form().AScans.Count; ++n) {
        const Shown loaded = shown(n);
        EXPECT_EQ(loaded.readouts, received[n].readouts) << n;
        EXPECT_EQ(loaded.pictures, received[n].pictures) << n;
        EXPECT_TRUE(loaded.trace == received[n].trace) << n;
    }
}

TEST_F(RecordCommandsTest, CopyPutsThePageViewsOnTheClipboard) {
    start();
    const int w = 440; // the A-scan views' width
    const QSize sizes[] = {{w, 484}, {983, 474}, {983, 519}};
    for (const Kind& k : Kinds) {
        receive(k.page);
        QGuiApplication::clipboard()->clear();
        key(Qt::Key_F5);
        EXPECT_EQ(QGuiApplication::clipboard()->image().size(), sizes[k.page - 1]) << k.copy;
    }
    // The split screen stacks the zoom under the trace in the same height.
    form().AScans.Records[0]->Config->ScreenType = 130;
    form().SetActivePage(1);
    form().AScansPage()->ShowAScan(0);
    key(Qt::Key_F5);
    const QImage split = QGuiApplication::clipboard()->image();
    EXPECT_EQ(split.size(), QSize(w, 484));
    EXPECT_EQ(form().AScansPage()->ui.AScanSignalImage->width(), w);
}

TEST_F(RecordCommandsTest, ReportGoesToTheReportDialogOnlyWithRecords) {
    start();
    form().SetActivePage(1);
    // Empty: the command is off and does nothing even when run.
    EXPECT_FALSE(action("PrintAScanReportAction")->isEnabled());
    action("PrintAScanReportAction")->setEnabled(true);
    key(Qt::Key_F12);
    EXPECT_TRUE(boxes.shown.empty());
    receive();
    boxes.shown.clear();
    key(Qt::Key_F12);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].title, "Reports");
    // The preview command has nothing to do.
    boxes.shown.clear();
    action("PreviewAScanReportAction")->trigger();
    EXPECT_TRUE(boxes.shown.empty());
}

} // namespace
