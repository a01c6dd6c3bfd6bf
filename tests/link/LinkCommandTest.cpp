#include "SimulatedInstrument.h"

#include "config/LocalStringsUnit.h"
#include "records/BaseAScanUnit.h"

#include <filesystem>

namespace {

std::vector<std::uint8_t> markupBlock(const TCorvantaAbsConfigCell& markup) {
    std::vector<std::uint8_t> block(256, 0);
    markup.BuildBlock(block);
    return block;
}

} // namespace

// ---- Connecting ---------------------------------------------------------------------------------

TEST_F(LinkTest, InitAnswersTwoAndFourConnectOthersAreRefused) {
    struct Case {
        unsigned char init;
        std::uint8_t answer;
        bool closeCalled;
    };
    for (const Case c : {Case{2, 0, false}, Case{4, 0, false}, Case{0, 1, false},
                         Case{3, 1, true}, Case{1, 1, true}}) {
        DisconnectUSBDevice();
        sim.setInitAnswer(c.init);
        sim.clearLog();
        EXPECT_EQ(ConnectUSBDevice(), c.answer) << int(c.init);
        EXPECT_EQ(USBConnected, c.answer == 0 ? 1 : 0);
        EXPECT_EQ(sim.callsOf(TBSIM_CLOSE_USB).size(), c.closeCalled ? 1u : 0u) << int(c.init);
    }
}

TEST_F(LinkTest, AMissingLibraryAnswersTwo) {
    DisconnectUSBDevice();
    setenv("TOLLERBANK_DRIVER", "/nonexistent/libVIZUrav.so", 1);
    EXPECT_EQ(ConnectUSBDevice(), 2);
    EXPECT_EQ(USBConnected, 0);
    EXPECT_EQ(CallUSBStatus(), 0); // no library, no presence
    setenv("TOLLERBANK_DRIVER", "relative/libVIZUrav.so", 1);
    EXPECT_EQ(ConnectUSBDevice(), 2);
}

TEST_F(LinkTest, ALibraryWithoutTheSevenOperationsIsNoDriver) {
    DisconnectUSBDevice();
    // Any shared library lacking InitUSB will do: the C library itself.
    const char* libc = nullptr;
    for (const char* candidate :
         {"/lib/x86_64-linux-gnu/libc.so.6", "/usr/lib/x86_64-linux-gnu/libc.so.6",
          "/lib64/libc.so.6", "/lib/aarch64-linux-gnu/libc.so.6"}) {
        if (std::filesystem::exists(candidate)) {
            libc = candidate;
            break;
        }
    }
    if (!libc) {
        GTEST_SKIP();
    }
    setenv("TOLLERBANK_DRIVER", libc, 1);
    EXPECT_EQ(ConnectUSBDevice(), 2);
    EXPECT_EQ(CallUSBStatus(), 0);
}

TEST_F(LinkTest, DisconnectClosesAndForgetsTheLibrary) {
    EXPECT_EQ(CallUSBStatus(), 1);
    DisconnectUSBDevice();
    EXPECT_EQ(USBConnected, 0);
    EXPECT_EQ(sim.callsOf(TBSIM_CLOSE_USB).size(), 1u);
    EXPECT_EQ(CallUSBStatus(), 0);
    std::unique_ptr<TCorvantaAbsConfigCell> markup;
    std::string description;
    EXPECT_EQ(ReceiveFlashMarkup(markup, description), LinkResult::CommandFailed);
}

TEST_F(LinkTest, PresenceFollowsTheInstrument) {
    EXPECT_EQ(CallUSBStatus(), 1);
    sim.setPresent(0);
    EXPECT_EQ(CallUSBStatus(), 0);
}

// ---- Flash markup ------------------------------------------------------------------------------

TEST_F(LinkTest, MarkupReadSendsSevenAndDescribesTheDevice) {
    std::unique_ptr<TCorvantaAbsConfigCell> markup;
    std::string description;
    ASSERT_EQ(ReceiveFlashMarkup(markup, description), LinkResult::Done);
    ASSERT_TRUE(markup);
    EXPECT_TRUE(markup->IsValid());
    EXPECT_EQ(description, GetDeviceName(*markup));
    EXPECT_EQ(description.rfind("R4471 ", 0), 0u);
    EXPECT_NE(description.find(" v. " + std::to_string(markup->Major) + "." +
                               std::to_string(markup->Minor) + "." +
                               std::to_string(markup->Build)),
              std::string::npos);
    const auto sends = sim.callsOf(TBSIM_SEND_SERVICE_BUFFER);
    ASSERT_EQ(sends.size(), 1u);
    EXPECT_EQ(sends[0].command, 7);
    const auto bulks = sim.callsOf(TBSIM_CHECK_BULK_BUFFER);
    ASSERT_EQ(bulks.size(), 1u);
    EXPECT_EQ(bulks[0].length, 256u);
    EXPECT_EQ(USBBusy, 0);
}

TEST_F(LinkTest, AnInvalidMarkupAnswersZeroWithDefaultsAndADescription) {
    TCorvantaAbsConfigCell bad;
    bad.SetDefaults();
    bad.LayoutMark = 64;
    auto block = markupBlock(bad);
    sim.setMarkup(block.data());
    std::unique_ptr<TCorvantaAbsConfigCell> markup;
    std::string description;
    EXPECT_EQ(ReceiveFlashMarkup(markup, description), LinkResult::InvalidMarkup);
    TCorvantaAbsConfigCell defaults;
    defaults.SetDefaults();
    EXPECT_EQ(markup->LayoutMark, 65u);
    EXPECT_EQ(markup->AScanArea.End, defaults.AScanArea.End);
    EXPECT_FALSE(description.empty());
    // Identification then fails, though the markup holds the defaults.
    std::string again;
    EXPECT_EQ(IdentifyConnectedDevice(markup, again), 1);
    EXPECT_TRUE(markup->IsValid());
}

TEST_F(LinkTest, AFailedMarkupReadKeepsTheMarkupItHad) {
    std::unique_ptr<TCorvantaAbsConfigCell> markup;
    std::string description;
    ASSERT_EQ(ReceiveFlashMarkup(markup, description), LinkResult::Done);
    TCorvantaAbsConfigCell* const held = markup.get();
    held->MapArea.End += 77; // an edit the failed reads must not undo
    held->Modified = 1;
    const auto before = markupBlock(*held);

    sim.failCall(TBSIM_CHECK_BULK_BUFFER, 1, TBSIM_ANY_COMMAND);
    std::string after = "unchanged";
    EXPECT_EQ(ReceiveFlashMarkup(markup, after), LinkResult::BlockFailed);
    EXPECT_EQ(markup.get(), held);
    EXPECT_EQ(markupBlock(*markup), before);
    EXPECT_EQ(markup->Modified, 1);
    EXPECT_EQ(after, "unchanged");
    EXPECT_EQ(USBBusy, 0);

    sim.failCall(TBSIM_SEND_SERVICE_BUFFER, 1, TBSIM_ANY_COMMAND);
    EXPECT_EQ(ReceiveFlashMarkup(markup, after), LinkResult::CommandFailed);
    EXPECT_EQ(markupBlock(*markup), before);
    EXPECT_EQ(after, "unchanged");
    EXPECT_EQ(USBBusy, 0);

    // Identification reports either failure as not identified.
    sim.failCall(TBSIM_CHECK_BULK_BUFFER, 1, TBSIM_ANY_COMMAND);
    EXPECT_EQ(IdentifyConnectedDevice(markup, after), 1);
    EXPECT_EQ(markupBlock(*markup), before);
}

TEST_F(LinkTest, AnAScanReadWhoseCommandFailsAnswersSeven) {
    sim.failCall(TBSIM_SEND_SERVICE_BUFFER, 1, TBSIM_ANY_COMMAND);
    std::unique_ptr<TBaseAScanCell> aScan;
    EXPECT_EQ(ReceiveAScan(aScan, 0), LinkResult::CommandFailed);
    EXPECT_TRUE(sim.callsOf(TBSIM_CHECK_BULK_BUFFER).empty());
    EXPECT_EQ(USBBusy, 0);
}

TEST_F(LinkTest, IdentifyNeedsAConnection) {
    std::unique_ptr<TCorvantaAbsConfigCell> markup;
    std::string description;
    EXPECT_EQ(IdentifyConnectedDevice(markup, description), 0);
    DisconnectUSBDevice();
    EXPECT_EQ(IdentifyConnectedDevice(markup, description), 1);
}

TEST_F(LinkTest, MarkupWriteHandshake) {
    TCorvantaAbsConfigCell markup;
    markup.SetDefaults();
    markup.MapArea.End += 1000;
    markup.BandArea.Start += 1000;
    sim.setReply(2);
    EXPECT_EQ(SendFlashMarkup(&markup), LinkResult::Done);
    const auto bulk = sim.callsOf(TBSIM_SEND_BULK_BUFFER);
    ASSERT_EQ(bulk.size(), 1u);
    EXPECT_EQ(bulk[0].length, 256u);
    EXPECT_EQ(bulk[0].flags, 0u);
    std::vector<std::uint8_t> stored(256);
    sim.getMarkup(stored.data());
    TCorvantaAbsConfigCell back;
    back.ParseBlock(stored);
    EXPECT_EQ(back.MapArea.End, markup.MapArea.End);

    sim.clearLog();
    sim.setReply(0);
    EXPECT_EQ(SendFlashMarkup(&markup), LinkResult::Done);
    EXPECT_TRUE(sim.callsOf(TBSIM_SEND_BULK_BUFFER).empty());
}

TEST_F(LinkTest, MarkupCommandsLeaveTheParameterOfThePreviousCommand) {
    TBaseConfigCell config(0, 0, 0);
    config.ResetAll(0);
    sim.setReply(0);
    ASSERT_EQ(SendConfig(nullptr, &config, 17), LinkResult::Done);
    std::unique_ptr<TCorvantaAbsConfigCell> markup;
    std::string description;
    ASSERT_EQ(ReceiveFlashMarkup(markup, description), LinkResult::Done);
    ASSERT_EQ(SendFlashMarkup(markup.get()), LinkResult::Done);
    const auto sends = sim.callsOf(TBSIM_SEND_SERVICE_BUFFER);
    ASSERT_EQ(sends.size(), 3u);
    for (const auto& c : {sends[1], sends[2]}) {
        EXPECT_EQ(c.paramHigh, 0x00) << int(c.command);
        EXPECT_EQ(c.paramLow, 17) << int(c.command);
    }
    EXPECT_EQ(sends[1].command, 7);
    EXPECT_EQ(sends[2].command, 8);
}

TEST_F(LinkTest, MarkupWriteFailures) {
    TCorvantaAbsConfigCell markup;
    markup.SetDefaults();
    EXPECT_EQ(SendFlashMarkup(nullptr), LinkResult::NoSlot);
    EXPECT_TRUE(boxes.shown.empty());
    sim.setReply(2);
    sim.failCall(TBSIM_SEND_BULK_BUFFER, 1, TBSIM_ANY_COMMAND);
    EXPECT_EQ(SendFlashMarkup(&markup), LinkResult::BlockFailed);
    sim.failCall(TBSIM_CHECK_SERVICE_BUFFER, 1, TBSIM_ANY_COMMAND);
    EXPECT_EQ(SendFlashMarkup(&markup), LinkResult::CommandFailed);
    sim.failCall(TBSIM_SEND_SERVICE_BUFFER, 1, TBSIM_ANY_COMMAND);
    EXPECT_EQ(SendFlashMarkup(&markup), LinkResult::CommandFailed);
    EXPECT_EQ(USBBusy, 0);
}

// ---- Configuration slots -----------------------------------------------------------------------

TEST_F(LinkTest, AConfigurationWrittenToASlotReadsBack) {
    std::unique_ptr<TBaseConfigCell> config;
    NewConfigCell(2, 0, 0, config);
    config->ResetAll(6);
    config->SetParamRawString(63, "3240"); // velocity
    config->SetParamRawString(5, "WELD");
    sim.setReply(2);
    ASSERT_EQ(SendConfig(nullptr, config.get(), 7), LinkResult::Done);
    const auto sends = sim.callsOf(TBSIM_SEND_SERVICE_BUFFER);
    ASSERT_EQ(sends.size(), 1u);
    EXPECT_EQ(sends[0].command, 1);
    EXPECT_EQ(sends[0].paramHigh, 0);
    EXPECT_EQ(sends[0].paramLow, 7);
    ASSERT_EQ(sim.callsOf(TBSIM_SEND_BULK_BUFFER).size(), 1u);

    sim.clearLog();
    std::unique_ptr<TBaseConfigCell> back;
    ASSERT_EQ(ReceiveConfig(nullptr, back, 7), LinkResult::Done);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->GetParamRawString(63), "3240");
    EXPECT_EQ(back->GetParamRawString(5), config->GetParamRawString(5));
    const auto reads = sim.callsOf(TBSIM_SEND_SERVICE_BUFFER);
    ASSERT_EQ(reads.size(), 1u);
    EXPECT_EQ(reads[0].command, 3);
    EXPECT_EQ(reads[0].paramLow, 7);
}

TEST_F(LinkTest, AConfigurationWriteWithAnotherReplySendsNoBlock) {
    TBaseConfigCell config(0, 0, 0);
    config.ResetAll(0);
    std::vector<std::uint8_t> before(256);
    sim.getSlot(3, before.data());
    sim.setReply(1);
    EXPECT_EQ(SendConfig(nullptr, &config, 3), LinkResult::Done);
    EXPECT_TRUE(sim.callsOf(TBSIM_SEND_BULK_BUFFER).empty());
    std::vector<std::uint8_t> after(256);
    sim.getSlot(3, after.data());
    EXPECT_EQ(before, after);
}

TEST_F(LinkTest, ConfigurationCommandFailures) {
    TBaseConfigCell config(0, 0, 0);
    config.ResetAll(0);
    sim.setReply(2);
    sim.failCall(TBSIM_SEND_BULK_BUFFER, 1, TBSIM_ANY_COMMAND);
    EXPECT_EQ(SendConfig(nullptr, &config, 1), LinkResult::CommandFailed);
    sim.failCall(TBSIM_CHECK_SERVICE_BUFFER, 1, TBSIM_ANY_COMMAND);
    EXPECT_EQ(SendConfig(nullptr, &config, 1), LinkResult::CommandFailed);

    auto slot = std::make_unique<TBaseConfigCell>(0, 0, 0);
    slot->ResetAll(0);
    slot->SetParamRawString(63, "4000");
    sim.failCall(TBSIM_CHECK_BULK_BUFFER, 1, TBSIM_ANY_COMMAND);
    EXPECT_EQ(ReceiveConfig(nullptr, slot, 2), LinkResult::BlockFailed);
    EXPECT_EQ(slot->GetParamRawString(63), "4000"); // keeps what it had
    sim.failCall(TBSIM_SEND_SERVICE_BUFFER, 1, TBSIM_ANY_COMMAND);
    EXPECT_EQ(ReceiveConfig(nullptr, slot, 2), LinkResult::CommandFailed);
    EXPECT_EQ(USBBusy, 0);
}

TEST_F(LinkTest, SendingWithoutAConfigurationIsAProgrammingError) {
    EXPECT_EQ(SendConfig(nullptr, nullptr, 1), LinkResult::NoSlot);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "Nil pointer passed! Contact developer! Error #1!");
    EXPECT_EQ(boxes.shown[0].title, "Programming Error");
    EXPECT_TRUE(sim.calls().empty());
}

TEST_F(LinkTest, ACommandDuringAnotherIsTurnedAway) {
    USBBusy = 1;
    std::unique_ptr<TBaseConfigCell> slot;
    std::unique_ptr<TCorvantaAbsConfigCell> markup;
    std::string description;
    TBaseConfigCell config(0, 0, 0);
    EXPECT_EQ(ReceiveConfig(nullptr, slot, 1), LinkResult::Busy);
    EXPECT_EQ(SendConfig(nullptr, &config, 1), LinkResult::Busy);
    EXPECT_EQ(ReceiveFlashMarkup(markup, description), LinkResult::Busy);
    EXPECT_EQ(SendFlashMarkup(markup.get()), LinkResult::Busy);
    EXPECT_EQ(USBBusy, 1); // left as it was
    EXPECT_FALSE(slot);
    EXPECT_TRUE(sim.calls().empty());
}

TEST_F(LinkTest, CommandsWithoutAnOpenInstrumentFail) {
    DisconnectUSBDevice();
    std::unique_ptr<TBaseConfigCell> slot;
    EXPECT_EQ(ReceiveConfig(nullptr, slot, 1), LinkResult::CommandFailed);
    TBaseConfigCell config(0, 0, 0);
    EXPECT_EQ(SendConfig(nullptr, &config, 1), LinkResult::CommandFailed);
}

TEST(SampleBlockLength, WholeBlocksAndOneMore) {
    EXPECT_EQ(SampleBlockLength(128), 512u);
    EXPECT_EQ(SampleBlockLength(256), 512u);
    EXPECT_EQ(SampleBlockLength(320), 768u);
    EXPECT_EQ(SampleBlockLength(384), 1024u);
    EXPECT_EQ(SampleBlockLength(4095), 8192u);
    for (std::uint32_t s = 1; s <= 4097; ++s) {
        ASSERT_GE(SampleBlockLength(s), 2u * s) << s;
    }
}
