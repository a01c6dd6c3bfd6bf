// The commands of the measurement pages through the window, with the simulated instrument:
// receive, save all, load, save and erase the selected record, comments, copy and report, checked
// on the A-scans page and, where cheap, over the three kinds.
#include "MainWindowHarness.h"

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

using platform::ui::MessageResult;
namespace fs = std::filesystem;

// One kind's list as the table tests reach it.
struct KindView {
    std::function<std::vector<std::string>()> names;
    std::uint16_t* current;
    bool* unsaved;
    // (count, first name) of a file of the kind.
    std::function<std::pair<int, std::string>(const fs::path&)> readBack;
};

template <typename List, typename Reader>
KindView viewOf(List& list, Reader reader) {
    auto names = [](const auto& records) {
        std::vector<std::string> out;
        for (const auto& r : records) {
            out.push_back(r->Config->ConfigName);
        }
        return out;
    };
    return {[&list, names] { return names(list.Records); }, &list.Current, &list.Unsaved,
            [reader, names](const fs::path& file) {
                decltype(List::Records) records;
                std::uint16_t count = 0;
                EXPECT_EQ(reader(file, records, count), 0);
                const auto n = names(records);
                return std::make_pair(int(count), n.empty() ? std::string() : n[0]);
            }};
}

class RecordCommandsTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        dir = fs::temp_directory_path() / ("tb_app_records_" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override {
        fs::remove_all(dir);
        MainWindowTest::TearDown();
    }
    void receive(int page = 1) {
        form().SetActivePage(page);
        key(Qt::Key_F1);
    }
    KindView kind(int page) {
        return page == 1   ? viewOf(form().AScans, LoadAScansFromFile)
               : page == 2 ? viewOf(form().Bands, LoadBandsFromFile)
                           : viewOf(form().Maps, LoadMapsFromFile);
    }
    void answerFile(const fs::path& file) { files.answers.push_back({true, file, 1}); }
    // The choose-records dialog confirmed with every record ticked, or with none.
    void chooseRecords(bool tick) {
        dialogScript.push_back([tick](QDialog* d) {
            auto* f = dynamic_cast<app::TCheckSavedRecordsForm*>(d);
            for (int i = 0; f != nullptr && i < f->ItemCount(); ++i) {
                f->SetTicked(i, tick);
            }
            d->accept();
        });
    }
    fs::path dir;
};

TEST_F(RecordCommandsTest, ReceivingNeverLosesTheShownRecords) {
    sim.setRecordCounts(0, 0, 0);
    start();
    const char* receives[] = {"ReceiveAScansAction", "ReceiveBandsFromDeviceAction",
                              "ReceiveMapsFromDeviceAction"};
    const char* none[] = {"The instrument holds no A-scans.", "The instrument holds no bands.",
                          "The instrument holds no maps."};
    for (int page = 1; page <= 3; ++page) {
        // Off while the markup counts none; run anyway, the command says so itself.
        action(receives[page - 1])->setEnabled(true);
        boxes.shown.clear();
        sim.clearLog();
        receive(page);
        ASSERT_EQ(boxes.shown.size(), 1u) << page;
        EXPECT_EQ(boxes.shown[0].text, none[page - 1]);
        EXPECT_EQ(boxes.shown[0].title, "No records");
        EXPECT_EQ(boxes.shown[0].icon, platform::ui::MessageIcon::Error);
        EXPECT_EQ(callsOfOperation(TBSIM_SEND_SERVICE_BUFFER), 0);
    }
    program.reset();
    sim.reset();
    start();
    receive();
    ASSERT_EQ(form().AScans.Count, 5);
    const TBaseAScanCell* first = form().AScans.Records[0].get();
    // Unsaved records are offered first: Cancel, or Yes whose save is cancelled, replaces nothing.
    for (const Qt::Key k : {Qt::Key_F1, Qt::Key_F3}) {
        for (const MessageResult answer : {MessageResult::Cancel, MessageResult::Yes}) {
            boxes.shown.clear();
            boxes.answers = {answer};
            files.requests.clear();
            sim.clearLog();
            key(k);
            ASSERT_FALSE(boxes.shown.empty());
            EXPECT_EQ(boxes.shown[0].text, "There are unsaved A-scans. Save them to a file?");
            EXPECT_EQ(callsOfOperation(TBSIM_SEND_SERVICE_BUFFER), 0);
            EXPECT_TRUE(files.requests.empty());
        }
    }
    // A transfer failing in the middle keeps the list.
    form().AScans.Unsaved = false;
    boxes.shown.clear();
    sim.failCall(TBSIM_CHECK_BULK_BUFFER, 3, TBSIM_ANY_COMMAND);
    key(Qt::Key_F1);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "Receiving A-scans from the instrument failed!");
    EXPECT_EQ(boxes.shown[0].title, "Transfer error");
    ASSERT_EQ(form().AScans.Count, 5);
    EXPECT_EQ(form().AScans.Records[0].get(), first);
}

TEST_F(RecordCommandsTest, SavedAllAndLoadedBackLookTheSame) {
    start();
    receive();
    app::TAScansPage& page = *form().AScansPage();
    auto shown = [&](int n) {
        page.ShowAScan(n);
        return std::make_tuple(page.ui.TimeAScanSegLCD->Value(), page.ui.PathAScanSegLCD->Value(),
                               page.ui.LevelAScanSegLCD->Value(), page.ModePictureIndexes(),
                               platform::gfx::imageFromBitmap(
                                   page.ui.AScanSignalImage->PresentedImage()));
    };
    std::vector<decltype(shown(0))> received;
    for (int n = 0; n < form().AScans.Count; ++n) {
        received.push_back(shown(n));
    }
    // Nothing ticked writes nothing.
    chooseRecords(false);
    answerFile(dir / "none.dtf");
    key(Qt::Key_F4);
    EXPECT_TRUE(fs::is_empty(dir));
    EXPECT_TRUE(form().AScans.Unsaved);
    // An extension in capitals is not the extension.
    files.answers.clear();
    chooseRecords(true);
    answerFile(dir / "a.DTF");
    key(Qt::Key_F4);
    ASSERT_TRUE(fs::exists(dir / "a.DTF.dtf"));
    EXPECT_FALSE(form().AScans.Unsaved);
    answerFile(dir / "a.DTF.dtf");
    key(Qt::Key_F3);
    ASSERT_EQ(form().AScans.Count, received.size());
    for (int n = 0; n < form().AScans.Count; ++n) {
        EXPECT_TRUE(shown(n) == received[n]) << n;
    }
}

TEST_F(RecordCommandsTest, SaveSelectedWritesTheCurrentRecordAlone) {
    start();
    const char* commands[] = {"SaveSelectedAscanAction", "SaveSelectedBandAction",
                              "SaveSelectedMapAction"};
    const char* extensions[] = {".dtf", ".btf", ".mtf"};
    for (int page = 1; page <= 3; ++page) {
        SCOPED_TRACE(page);
        receive(page);
        KindView k = kind(page);
        *k.current = 1;
        const std::string name = k.names()[1];
        const fs::path file = dir / (std::string("one") + extensions[page - 1]);
        answerFile(dir / "one");
        action(commands[page - 1])->trigger();
        EXPECT_EQ(k.readBack(file), std::make_pair(1, name));
        EXPECT_TRUE(*k.unsaved);
        // Only the format that is written is offered.
        EXPECT_EQ(files.requests.back().filter.find("Ksn2"), std::string::npos);
        // An existing file is overwritten only on Yes.
        *k.current = 0;
        boxes.answers = {MessageResult::No};
        answerFile(file);
        action(commands[page - 1])->trigger();
        EXPECT_EQ(boxes.shown.back().text, "The file already exists. Overwrite it?");
        EXPECT_EQ(k.readBack(file).second, name);
    }
}

TEST_F(RecordCommandsTest, EraseAsksAndKeepsTheRestCommentsMarkTheList) {
    start();
    const char* commands[] = {"EraseSelectedAScanAction", "EraseSelectedBandAction",
                              "EraseSelectedMapAction"};
    const char* subjects[] = {"Erase A-scan No. 2: ", "Erase band No.2 Band  ",
                              "Erase map No.2 Map  "};
    for (int page = 1; page <= 3; ++page) {
        SCOPED_TRACE(page);
        receive(page);
        KindView k = kind(page);
        *k.unsaved = false;
        *k.current = 1;
        std::vector<std::string> rest = k.names();
        const std::string second = rest[1];
        rest.erase(rest.begin() + 1);
        boxes.shown.clear();
        boxes.answers = {MessageResult::No, MessageResult::Yes};
        action(commands[page - 1])->trigger();
        EXPECT_EQ(k.names().size(), rest.size() + 1);
        action(commands[page - 1])->trigger();
        EXPECT_EQ(k.names(), rest);
        EXPECT_EQ(*k.current, 0);
        EXPECT_TRUE(*k.unsaved);
        ASSERT_EQ(boxes.shown.size(), 2u);
        EXPECT_EQ(boxes.shown[0].text, subjects[page - 1] + second + " ? This cannot be undone.");
        EXPECT_EQ(boxes.shown[0].buttons, platform::ui::MessageButtons::YesNo);
    }
    // The selector offers both commands on its own menu.
    const auto menu = form().AScansPage()->ui.AScanFramwSelectorStringGrid->actions();
    ASSERT_EQ(menu.size(), 2);
    EXPECT_EQ(menu[1]->text(), "Erase A-scan");

    form().SetActivePage(1);
    form().AScans.Unsaved = false;
    TBaseAScanCell* record = form().AScans.current();
    const auto before = record->Comments;
    for (const bool confirm : {false, true}) {
        dialogScript.push_back([confirm](QDialog* d) {
            dynamic_cast<app::TCommentsInputForm*>(d)->Editor()->setPlainText("Seam 4\nroot");
            confirm ? d->accept() : d->reject();
        });
        key(Qt::Key_F11);
        const std::vector<std::string> edited = {"Seam 4", "root"};
        EXPECT_EQ(record->Comments, confirm ? edited : before);
        EXPECT_EQ(record->CommentCount, record->Comments.size());
        EXPECT_EQ(form().AScans.Unsaved, confirm);
    }
}

TEST_F(RecordCommandsTest, CopyAndReport) {
    start();
    const QSize sizes[] = {{983, 474}, {983, 519}};
    for (int page = 2; page <= 3; ++page) {
        receive(page);
        QGuiApplication::clipboard()->clear();
        key(Qt::Key_F5);
        EXPECT_EQ(QGuiApplication::clipboard()->image().size(), sizes[page - 2]) << page;
    }
    // The report: nothing with an empty list, even when run; the dialog with a record.
    form().SetActivePage(1);
    action("PrintAScanReportAction")->setEnabled(true);
    boxes.shown.clear();
    key(Qt::Key_F12);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_TRUE(dialogsSeen.empty());
    receive();
    key(Qt::Key_F12);
    EXPECT_EQ(dialogsSeen, (std::vector<std::string>{"Report"}));
    EXPECT_TRUE(boxes.shown.empty());
}

} // namespace
