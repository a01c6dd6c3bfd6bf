// The configuration list through the window's commands: received from the simulated instrument,
// sent back, saved in both forms and loaded again, and what the user sees when that goes wrong.
#include "MainWindowHarness.h"

#include "config/ConfigSetUnit.h"

#include <unistd.h>

#include <fstream>

namespace {

using platform::ui::FileDialogAnswer;
using platform::ui::MessageResult;

class ConfigTransfersTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        dir = std::filesystem::temp_directory_path() /
              ("tb_app_configs_" + std::to_string(::getpid()));
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
    }
    void TearDown() override {
        std::filesystem::remove_all(dir);
        MainWindowTest::TearDown();
    }
    void receive() {
        form().SetActivePage(0);
        key(Qt::Key_F1);
    }
    void answerFile(const std::filesystem::path& file, int index = 1) {
        files.answers.push_back(FileDialogAnswer{true, file, index});
    }
    std::filesystem::path dir;
};

TEST_F(ConfigTransfersTest, ReceiveAllTwentySlots) {
    start();
    receive();
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(form().Configs.Count, 20);
    EXPECT_EQ(form().Configs.Records.size(), 20u);
    EXPECT_EQ(form().Configs.Origin, app::OriginKind::Instrument);
    EXPECT_TRUE(form().Configs.Unsaved);
    EXPECT_EQ(form().Configs.Records[0]->ConfigName, "COPPER 1");
    EXPECT_TRUE(action("SendConfigsAction")->isEnabled());
    EXPECT_TRUE(action("NextConfigAction")->isEnabled());
    EXPECT_FALSE(action("PrevConfigAction")->isEnabled());
}

TEST_F(ConfigTransfersTest, AFailedReceiveKeepsTheShownList) {
    start();
    receive();
    form().Configs.Unsaved = false;
    form().Configs.Records[4]->ConfigName = "EDITED";
    const TBaseConfigCell* fifth = form().Configs.Records[4].get();
    sim.failCall(TBSIM_CHECK_BULK_BUFFER, 5, TBSIM_ANY_COMMAND);
    receive();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].title, "Transfer error");
    EXPECT_EQ(boxes.shown[0].text, "Receiving configurations from the instrument failed!");
    EXPECT_EQ(boxes.shown[0].icon, platform::ui::MessageIcon::Error);
    ASSERT_EQ(form().Configs.Count, 20);
    EXPECT_EQ(form().Configs.Records[4].get(), fifth);
    EXPECT_EQ(form().Configs.Records[4]->ConfigName, "EDITED");
    EXPECT_EQ(form().Configs.Origin, app::OriginKind::Instrument);
}

TEST_F(ConfigTransfersTest, UnsavedConfigurationsAreAskedForBeforeAReceive) {
    start();
    receive();
    boxes.answers = {MessageResult::Cancel};
    sim.clearLog();
    receive();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "There are unsaved configurations. Save them to a file?");
    EXPECT_EQ(callsOfOperation(TBSIM_SEND_SERVICE_BUFFER), 0);
}

TEST_F(ConfigTransfersTest, MarkedConfigurationsAreSentToTheirSlots) {
    start();
    receive();
    std::array<std::array<std::uint8_t, 256>, 21> before{};
    for (int slot = 1; slot <= 20; ++slot) {
        sim.getSlot(slot, before[static_cast<std::size_t>(slot)].data());
    }
    auto& configs = form().Configs.Records;
    configs[1]->ConfigName = "WELD SEAM";
    configs[1]->Velocity = 5920;
    configs[1]->Modified = 1;
    configs[4]->Modified = 1;
    clock.pauses.clear();
    boxes.answers = {MessageResult::Yes};
    key(Qt::Key_F2);
    ASSERT_EQ(boxes.shown.size(), 1u) << "only the question";
    for (int slot = 1; slot <= 20; ++slot) {
        std::array<std::uint8_t, 256> now{};
        sim.getSlot(slot, now.data());
        if (slot == 2 || slot == 5) {
            pByteArray built(256, 0);
            BuildInstrumentBlock(*configs[static_cast<std::size_t>(slot - 1)], built, slot);
            EXPECT_TRUE(std::equal(now.begin(), now.end(), built.begin())) << slot;
        } else {
            EXPECT_EQ(now, before[static_cast<std::size_t>(slot)]) << slot;
        }
    }
    EXPECT_EQ(std::count(clock.pauses.begin(), clock.pauses.end(), 200u), 2);
    EXPECT_EQ(configs[1]->Modified, 0);
    // Nothing marked any more: sending again is not a failure.
    boxes.shown.clear();
    boxes.answers = {MessageResult::Yes};
    key(Qt::Key_F2);
    EXPECT_EQ(boxes.shown.size(), 1u);
}

TEST_F(ConfigTransfersTest, SavedInBothFormsAndLoadedBackEqual) {
    start();
    receive();
    for (int index : {1, 2}) {
        const auto file = dir / ("set" + std::to_string(index) + ".CTF");
        answerFile(file, index);
        key(Qt::Key_F4);
        ASSERT_TRUE(boxes.shown.empty());
        EXPECT_FALSE(form().Configs.Unsaved);
        // The upper-case extension is not the program's: its own is appended.
        const auto written = dir / ("set" + std::to_string(index) + ".CTF.ctf");
        ASSERT_TRUE(std::filesystem::exists(written));
        ASSERT_EQ(files.requests.back().filter,
                  "Configuration files(*.ctf) |*.ctf|Configuration files Ksn2(*.ctf) |*.ctf");
        EXPECT_EQ(files.requests.back().initialDir.filename(), "examples");

        PConfigsSet expected;
        for (const auto& c : form().Configs.Records) {
            expected.push_back(std::make_unique<TBaseConfigCell>(*c));
        }
        answerFile(written);
        key(Qt::Key_F3);
        ASSERT_TRUE(boxes.shown.empty());
        ASSERT_EQ(form().Configs.Count, 20);
        for (std::size_t i = 0; i < 20; ++i) {
            // The old form has no identity bytes (parameters 0..2).
            for (int p = index == 1 ? 0 : 3; p <= 84; ++p) {
                EXPECT_EQ(form().Configs.Records[i]->GetParamRawString(p),
                          expected[i]->GetParamRawString(p))
                    << "form " << index << " configuration " << i << " parameter " << p;
            }
            EXPECT_EQ(form().Configs.Records[i]->ConfigStrings, expected[i]->ConfigStrings);
        }
        EXPECT_EQ(form().Configs.Origin, app::OriginKind::File);
        EXPECT_EQ(form().Configs.OriginLabel.toStdString(), written.filename().string());
        form().Configs.Unsaved = true;
    }
}

TEST_F(ConfigTransfersTest, BadFilesReachTheUserAndLoseNothing) {
    start();
    receive();
    form().Configs.Unsaved = false;
    struct Case {
        std::string content; // empty: the file does not exist
        std::string text;
    };
    const Case cases[] = {
        {"", "The selected file does not exist!"},
        {"KSN3 nonsense\r\nno configuration here\r\n", "Cannot load the configurations file!"},
        {"\x01\x02\x03", "Cannot load the configurations file!"},
    };
    int n = 0;
    for (const Case& c : cases) {
        const auto file = dir / ("bad" + std::to_string(n++) + ".ctf");
        if (!c.content.empty()) {
            std::ofstream(file, std::ios::binary) << c.content;
        }
        boxes.shown.clear();
        answerFile(file);
        key(Qt::Key_F3);
        ASSERT_EQ(boxes.shown.size(), 1u) << c.text;
        EXPECT_EQ(boxes.shown[0].text, c.text);
        EXPECT_EQ(boxes.shown[0].title, "File error");
        EXPECT_EQ(form().Configs.Count, 20) << c.text;
        EXPECT_EQ(form().Configs.Origin, app::OriginKind::Instrument);
    }
    // A place that cannot be written (its folder is a file): the flag stays set.
    std::ofstream(dir / "plain") << "not a folder";
    form().Configs.Unsaved = true;
    boxes.shown.clear();
    answerFile(dir / "plain" / "set.ctf");
    key(Qt::Key_F4);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "Cannot save the configurations file!");
    EXPECT_EQ(boxes.shown[0].title, "File error");
    EXPECT_TRUE(form().Configs.Unsaved);
    // An existing file and No to the overwrite question: its bytes stay.
    std::ofstream(dir / "old.ctf") << "previous";
    boxes.shown.clear();
    boxes.answers = {MessageResult::No};
    answerFile(dir / "old.ctf");
    key(Qt::Key_F4);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "The file already exists. Overwrite it?");
    std::ifstream in(dir / "old.ctf");
    std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(content, "previous");
}

} // namespace
