#include "HostSide.h"

#include "config/AbsConfigObjectUnit.h"
#include "sim/RecordSource.h"

#include <gtest/gtest.h>

using namespace simtest;

namespace {

class Protocol : public ::testing::Test {
protected:
    void SetUp() override {
        tbsim_reset();
        ASSERT_EQ(InitUSB(), 2);
    }
    void TearDown() override { tbsim_reset(); }

    Host host;
};

TbSimCall lastCall() {
    TbSimCall call{};
    tbsim_get_call(tbsim_call_count() - 1, &call);
    return call;
}

TCorvantaAbsConfigCell readMarkup(Host& host) {
    Bytes block;
    EXPECT_EQ(host.sendWithoutParameter(7), 1);
    EXPECT_EQ(host.receive(256, block), 1);
    TCorvantaAbsConfigCell cell;
    cell.ParseBlock(block);
    return cell;
}

} // namespace

// ---- Opening and presence ----------------------------------------------------------------------

TEST(Presence, PowerOnStateIsPresentAndClosed) {
    tbsim_reset();
    EXPECT_EQ(USBStatus(), 1);
    EXPECT_EQ(tbsim_is_open(), 0);
    Host host;
    EXPECT_EQ(host.send(3, 1), 0) << "nothing goes through before InitUSB";
    EXPECT_EQ(InitUSB(), 2);
    EXPECT_EQ(tbsim_is_open(), 1);
    EXPECT_EQ(host.send(3, 1), 1);
    EXPECT_EQ(CloseUSB(), 1);
    EXPECT_EQ(tbsim_is_open(), 0);
    EXPECT_EQ(host.send(3, 1), 0);
}

TEST(Presence, InitAnswerDecidesWhetherTheInstrumentOpens) {
    struct Case {
        unsigned char answer;
        bool opens;
    };
    for (const Case c : {Case{2, true}, Case{4, true}, Case{0, false}, Case{3, false},
                         Case{1, false}, Case{255, false}}) {
        tbsim_reset();
        tbsim_set_init_answer(c.answer);
        EXPECT_EQ(InitUSB(), c.answer);
        EXPECT_EQ(tbsim_is_open(), c.opens ? 1 : 0) << int(c.answer);
    }
    tbsim_reset();
}

TEST(Presence, AbsentInstrumentRefusesEverything) {
    tbsim_reset();
    tbsim_set_present(0);
    EXPECT_EQ(USBStatus(), 0);
    EXPECT_EQ(InitUSB(), 0) << "whatever answer was chosen";
    Host host;
    EXPECT_EQ(host.send(7, 0), 0);
    Bytes block;
    EXPECT_EQ(host.receive(256, block), 0);
    EXPECT_EQ(CloseUSB(), 1);

    tbsim_set_present(1);
    EXPECT_EQ(USBStatus(), 1);
    EXPECT_EQ(host.send(7, 0), 0) << "plugged in again but not yet opened";
    EXPECT_EQ(InitUSB(), 2);
    EXPECT_EQ(host.send(7, 0), 1);
    tbsim_reset();
}

TEST_F(Protocol, PullingOutClosesAndBreaksTheExchange) {
    EXPECT_EQ(host.send(9, 0), 1);
    Bytes block;
    EXPECT_EQ(host.receive(256, block), 1);
    tbsim_set_present(0);
    EXPECT_EQ(tbsim_is_open(), 0);
    EXPECT_EQ(host.receive(512, block), 0);
    tbsim_set_present(1);
    EXPECT_EQ(InitUSB(), 2);
    EXPECT_EQ(host.receive(512, block), 0) << "the broken exchange does not resume";
}

// ---- Configuration slots -----------------------------------------------------------------------

TEST_F(Protocol, WrittenSlotReadsBack) {
    Bytes before7;
    ASSERT_EQ(host.send(3, 7), 1);
    ASSERT_EQ(host.receive(256, before7), 1);
    Bytes before8;
    ASSERT_EQ(host.send(3, 8), 1);
    ASSERT_EQ(host.receive(256, before8), 1);

    const Bytes written = patternBlock(41);
    ASSERT_EQ(host.send(1, 7), 1);
    ASSERT_EQ(host.fetchReply(), 1);
    EXPECT_EQ(host.command[0], 2) << "the instrument asks for the block";
    ASSERT_EQ(host.transmit(written), 1);

    Bytes got;
    ASSERT_EQ(host.send(3, 7), 1);
    ASSERT_EQ(host.receive(256, got), 1);
    EXPECT_TRUE(std::equal(written.begin(), written.end(), got.begin()));
    EXPECT_EQ(got[256], 0) << "the byte past the block is not touched";
    EXPECT_NE(got, before7);

    Bytes other;
    ASSERT_EQ(host.send(3, 8), 1);
    ASSERT_EQ(host.receive(256, other), 1);
    EXPECT_EQ(other, before8) << "other slots keep their contents";

    unsigned char control[256];
    ASSERT_EQ(tbsim_get_slot(7, control), 0);
    EXPECT_TRUE(std::equal(written.begin(), written.end(), control));
}

TEST_F(Protocol, EveryOneOfTheTwentySlots) {
    for (int slot = 1; slot <= 20; ++slot) {
        ASSERT_EQ(host.send(1, static_cast<std::uint16_t>(slot)), 1);
        ASSERT_EQ(host.fetchReply(), 1);
        ASSERT_EQ(host.transmit(patternBlock(static_cast<std::uint8_t>(slot))), 1);
    }
    for (int slot = 1; slot <= 20; ++slot) {
        Bytes got;
        ASSERT_EQ(host.send(3, static_cast<std::uint16_t>(slot)), 1);
        ASSERT_EQ(host.receive(256, got), 1);
        EXPECT_EQ(got[0], static_cast<std::uint8_t>(slot)) << slot;
        EXPECT_EQ(got[255], static_cast<std::uint8_t>(slot + 255 * 7)) << slot;
    }
}

TEST_F(Protocol, SlotNumbersOutsideOneToTwentyAreRefused) {
    for (std::uint16_t slot : {0, 21, 256, 65535}) {
        EXPECT_EQ(host.send(3, slot), 0) << slot;
        EXPECT_EQ(host.send(1, slot), 0) << slot;
    }
}

TEST_F(Protocol, OtherReplyTakesNoBlock) {
    Bytes before;
    ASSERT_EQ(host.send(3, 4), 1);
    ASSERT_EQ(host.receive(256, before), 1);

    tbsim_set_reply(1);
    ASSERT_EQ(host.send(1, 4), 1);
    ASSERT_EQ(host.fetchReply(), 1);
    EXPECT_EQ(host.command[0], 1);
    EXPECT_EQ(host.transmit(patternBlock(3)), 0) << "the instrument did not ask for a block";

    Bytes after;
    ASSERT_EQ(host.send(3, 4), 1);
    ASSERT_EQ(host.receive(256, after), 1);
    EXPECT_EQ(after, before);
}

TEST_F(Protocol, WriteBlockMustBe256Bytes) {
    ASSERT_EQ(host.send(1, 2), 1);
    ASSERT_EQ(host.fetchReply(), 1);
    Bytes block = patternBlock(9);
    EXPECT_EQ(SendBulkBuffer(block.data(), 255, 0), 0);
    EXPECT_EQ(host.transmit(block), 0) << "the failed block ended the exchange";
}

TEST_F(Protocol, OutOfTurnCallsFail) {
    Bytes block;
    EXPECT_EQ(host.fetchReply(), 0) << "no write command under way";
    EXPECT_EQ(host.transmit(patternBlock(1)), 0);
    EXPECT_EQ(host.receive(256, block), 0) << "no read command under way";
    ASSERT_EQ(host.send(3, 1), 1);
    EXPECT_EQ(host.fetchReply(), 0) << "a read command has no reply byte";
    ASSERT_EQ(host.send(1, 1), 1);
    EXPECT_EQ(host.receive(256, block), 0) << "a write command has nothing to read";
}

TEST_F(Protocol, UnknownCommandsAreRefused) {
    for (std::uint8_t code : {0, 2, 4, 6, 11, 255}) {
        EXPECT_EQ(host.send(code, 1), 0) << int(code);
    }
}

TEST_F(Protocol, NullBuffersFail) {
    EXPECT_EQ(SendServiceBuffer(nullptr), 0);
    EXPECT_EQ(CheckServiceBuffer(nullptr), 0);
    EXPECT_EQ(SendBulkBuffer(nullptr, 256, 0), 0);
    EXPECT_EQ(CheckBulkBuffer(nullptr, 256, 0), 0);
}

TEST_F(Protocol, ANewCommandAbandonsTheUnfinishedOne) {
    Bytes block;
    ASSERT_EQ(host.send(9, 0), 1);
    ASSERT_EQ(host.receive(256, block), 1);
    ASSERT_EQ(host.send(3, 5), 1);
    ASSERT_EQ(host.receive(256, block), 1);
    EXPECT_EQ(block[0], 5) << "slot 5, not a band sample block";
    EXPECT_EQ(host.receive(512, block), 0);
}

// ---- Flash markup ------------------------------------------------------------------------------

TEST_F(Protocol, MarkupAnnouncesTheRecordsAndCarriesTheVersionTag) {
    Bytes block;
    ASSERT_EQ(host.sendWithoutParameter(7), 1);
    ASSERT_EQ(host.receive(256, block), 1);
    EXPECT_EQ(block[249], 'v');
    EXPECT_EQ(block[250], 'e');
    EXPECT_EQ(block[251], 'r');

    TCorvantaAbsConfigCell cell;
    cell.ParseBlock(block);
    EXPECT_TRUE(cell.IsValid());
    EXPECT_EQ(cell.AScanArea.Count, 5);
    EXPECT_EQ(cell.BandArea.Count, 3);
    EXPECT_EQ(cell.MapArea.Count, 2);
    EXPECT_EQ(cell.Major, 2);
    EXPECT_EQ(cell.Minor, 2);
    EXPECT_EQ(cell.Build, 4);
    EXPECT_EQ(cell.DeviceKind, 1);
    EXPECT_EQ(cell.AScanArea.Occupied, 5u * (256 + 4096));
}

TEST_F(Protocol, RecordCountsCanBeChosen) {
    tbsim_set_record_counts(60, 40, 40);
    TCorvantaAbsConfigCell cell = readMarkup(host);
    EXPECT_TRUE(cell.IsValid());
    EXPECT_EQ(cell.AScanArea.Occupied, cell.AScanArea.End - cell.AScanArea.Start)
        << "sixty A-scans fill their area exactly";

    tbsim_set_record_counts(0, 0, 0);
    cell = readMarkup(host);
    EXPECT_TRUE(cell.IsValid());
    EXPECT_EQ(cell.AScanArea.Count + cell.BandArea.Count + cell.MapArea.Count, 0);

    tbsim_set_record_counts(61, 0, 0);
    EXPECT_FALSE(readMarkup(host).IsValid()) << "announced as given";
}

TEST_F(Protocol, WrittenMarkupIsKeptWithTheFirmwareTag) {
    TCorvantaAbsConfigCell cell = readMarkup(host);
    cell.ClearAll(true);
    cell.DragBoundary(545, 545, 0, 272);
    Bytes block(257, 0);
    cell.BuildBlock(block);

    ASSERT_EQ(host.sendWithoutParameter(8), 1);
    ASSERT_EQ(host.fetchReply(), 1);
    ASSERT_EQ(host.command[0], 2);
    ASSERT_EQ(host.transmit(block), 1);

    Bytes got;
    ASSERT_EQ(host.sendWithoutParameter(7), 1);
    ASSERT_EQ(host.receive(256, got), 1);
    EXPECT_TRUE(std::equal(block.begin(), block.begin() + 60, got.begin()));
    EXPECT_EQ(got[249], 'v') << "the tag is the firmware's, not the host's";
    TCorvantaAbsConfigCell back;
    back.ParseBlock(got);
    EXPECT_EQ(back.MapArea.End, cell.MapArea.End);
    EXPECT_EQ(back.AScanArea.Count + back.BandArea.Count + back.MapArea.Count, 0);

    Bytes header;
    ASSERT_EQ(host.send(5, 1), 1);
    EXPECT_EQ(host.receive(256, header), 0) << "the erased A-scans are gone";
}

TEST_F(Protocol, InvalidMarkupIsServedAsItIs) {
    unsigned char block[256] = {};
    block[5] = 64; // wrong layout mark
    tbsim_set_markup(block);
    TCorvantaAbsConfigCell cell = readMarkup(host);
    EXPECT_FALSE(cell.IsValid());
    EXPECT_EQ(cell.LayoutMark, 64u);
}

// ---- Records -----------------------------------------------------------------------------------

TEST_F(Protocol, AScanZeroIsParameterOne) {
    tbsim_clear_log();
    Bytes header;
    Bytes samples;
    ASSERT_EQ(host.send(5, 0 + 1), 1);
    ASSERT_EQ(host.receive(256, header), 1);
    ASSERT_EQ(host.receive(4096, samples), 1);
    Bytes extra;
    EXPECT_EQ(host.receive(4096, extra), 0) << "one sample block per A-scan";

    sim::ModelRecordSource source(1);
    const sim::Block expectedHeader = source.header(sim::RecordKind::AScan, 0);
    EXPECT_TRUE(std::equal(expectedHeader.begin(), expectedHeader.end(), header.begin()));
    std::vector<std::uint8_t> expectedSamples(4096, 0);
    source.samples(sim::RecordKind::AScan, 0, 0, expectedSamples);
    EXPECT_TRUE(std::equal(expectedSamples.begin(), expectedSamples.end(), samples.begin()));
    EXPECT_EQ(samples[4096], 0);

    const std::vector<TbSimCall> calls = callLog();
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[0].operation, TBSIM_SEND_SERVICE_BUFFER);
    EXPECT_EQ(calls[0].command, 0x05);
    EXPECT_EQ(calls[0].paramHigh, 0x00);
    EXPECT_EQ(calls[0].paramLow, 0x01);
    EXPECT_EQ(calls[1].operation, TBSIM_CHECK_BULK_BUFFER);
    EXPECT_EQ(calls[1].command, 0x05);
    EXPECT_EQ(calls[1].length, 256u);
    EXPECT_EQ(calls[2].length, 4096u);
    EXPECT_EQ(calls[2].result, 1);
    EXPECT_EQ(calls[3].result, 0);
}

TEST_F(Protocol, AScanParameterZeroIsRefused) {
    EXPECT_EQ(host.send(5, 0), 0);
}

TEST_F(Protocol, RecordsBeyondTheAnnouncedCountHaveNoData) {
    Bytes header;
    ASSERT_EQ(host.send(5, 5), 1) << "A-scan 4, the last of five";
    EXPECT_EQ(host.receive(256, header), 1);
    ASSERT_EQ(host.send(5, 6), 1);
    EXPECT_EQ(host.receive(256, header), 0);
    ASSERT_EQ(host.send(9, 3), 1);
    EXPECT_EQ(host.receive(256, header), 0);
    ASSERT_EQ(host.send(10, 2), 1);
    EXPECT_EQ(host.receive(256, header), 0);
    EXPECT_EQ(lastCall().command, 10) << "logged under the command that found nothing";
}

TEST_F(Protocol, BandStreamsOneBlockPerAScan) {
    Bytes header;
    ASSERT_EQ(host.send(9, 0), 1);
    ASSERT_EQ(host.receive(256, header), 1);
    sim::Block h;
    std::copy(header.begin(), header.begin() + 256, h.begin());
    const sim::RecordShape shape = sim::shapeOf(sim::RecordKind::Band, h);
    ASSERT_EQ(shape.samples, 128);
    ASSERT_EQ(shape.blockLength, 512u);
    ASSERT_GT(shape.scans, 1u);

    Bytes block;
    for (std::uint32_t j = 0; j < shape.scans; ++j) {
        ASSERT_EQ(host.receive(512, block), 1) << j;
    }
    EXPECT_EQ(host.receive(512, block), 0) << "the band is over";
}

TEST_F(Protocol, BandBlockLengthsFollowTheSampleCount) {
    tbsim_set_record_counts(5, 4, 2);
    const std::uint32_t expected[] = {512, 512, 768, 1024}; // S = 128, 256, 320, 384
    for (std::uint16_t band = 0; band < 4; ++band) {
        Bytes header;
        Bytes block;
        ASSERT_EQ(host.send(9, band), 1);
        ASSERT_EQ(host.receive(256, header), 1);
        EXPECT_EQ(host.receive(expected[band], block), 1) << band;
        ASSERT_EQ(host.send(9, band), 1);
        ASSERT_EQ(host.receive(256, header), 1);
        EXPECT_EQ(host.receive(expected[band] + 256, block), 0)
            << band << ": a host out of step with the instrument";
    }
}

TEST_F(Protocol, MapStreamsRowsTimesColumnsBlocks) {
    Bytes header;
    ASSERT_EQ(host.send(10, 1), 1);
    ASSERT_EQ(host.receive(256, header), 1);
    sim::Block h;
    std::copy(header.begin(), header.begin() + 256, h.begin());
    const sim::RecordShape shape = sim::shapeOf(sim::RecordKind::Map, h);
    EXPECT_EQ(shape.scans, static_cast<std::uint32_t>(sim::getWord(h, 37) * sim::getWord(h, 39)));
    EXPECT_EQ(shape.samples, 320);
    EXPECT_EQ(shape.blockLength, 768u);

    tbsim_clear_log();
    Bytes block;
    for (std::uint32_t k = 0; k < shape.scans; ++k) {
        ASSERT_EQ(host.receive(768, block), 1) << k;
    }
    EXPECT_EQ(host.receive(768, block), 0);
    const std::vector<TbSimCall> calls = callLog();
    ASSERT_EQ(calls.size(), shape.scans + 1);
    EXPECT_EQ(calls.front().command, 10);
    EXPECT_EQ(calls.front().paramLow, 1);
}

TEST_F(Protocol, MapThreeHundredGoesOutAs012C) {
    tbsim_set_record_counts(5, 3, 301);
    tbsim_clear_log();
    Bytes header;
    ASSERT_EQ(host.send(10, 300), 1);
    EXPECT_EQ(host.receive(256, header), 1);
    const TbSimCall send = callLog().front();
    EXPECT_EQ(send.command, 0x0A);
    EXPECT_EQ(send.paramHigh, 0x01);
    EXPECT_EQ(send.paramLow, 0x2C);
}

TEST_F(Protocol, MarkupCommandKeepsThePreviousParameterBytes) {
    tbsim_clear_log();
    ASSERT_EQ(host.send(3, 0x0102 & 0x0F), 1);
    ASSERT_EQ(host.sendWithoutParameter(7), 1);
    const std::vector<TbSimCall> calls = callLog();
    EXPECT_EQ(calls[1].command, 7);
    EXPECT_EQ(calls[1].paramLow, 0x02) << "the bytes the slot read left in the buffer";
}

// ---- Failures ----------------------------------------------------------------------------------

TEST_F(Protocol, NthCallOfAnOperationFails) {
    ASSERT_EQ(tbsim_fail_call(TBSIM_CHECK_BULK_BUFFER, 3, TBSIM_ANY_COMMAND), 0);
    Bytes header;
    Bytes block;
    ASSERT_EQ(host.send(9, 0), 1);
    EXPECT_EQ(host.receive(256, header), 1); // 1st
    EXPECT_EQ(host.receive(512, block), 1);  // 2nd
    EXPECT_EQ(host.receive(512, block), 0);  // 3rd
    EXPECT_EQ(host.receive(512, block), 0) << "the exchange was abandoned";

    ASSERT_EQ(host.send(9, 0), 1);
    EXPECT_EQ(host.receive(256, header), 1) << "a rule fires once";
    EXPECT_EQ(tbsim_is_open(), 1);
}

TEST_F(Protocol, FailureOnlyForOneCommand) {
    ASSERT_EQ(tbsim_fail_call(TBSIM_CHECK_BULK_BUFFER, 2, 9), 0);
    Bytes block;
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(host.send(3, 1), 1);
        ASSERT_EQ(host.receive(256, block), 1) << "slot reads do not count";
    }
    ASSERT_EQ(host.send(9, 1), 1);
    EXPECT_EQ(host.receive(256, block), 1);
    EXPECT_EQ(host.receive(512, block), 0) << "second bulk read of a band command";
}

TEST_F(Protocol, FailingTheCommandItself) {
    ASSERT_EQ(tbsim_fail_call(TBSIM_SEND_SERVICE_BUFFER, 1, 5), 0);
    Bytes block;
    EXPECT_EQ(host.send(5, 1), 0);
    EXPECT_EQ(host.receive(256, block), 0) << "no command, no data";
    EXPECT_EQ(host.send(5, 1), 1);
    EXPECT_EQ(host.receive(256, block), 1);
}

TEST_F(Protocol, FailingTheReplyOrTheWriteBlock) {
    unsigned char slotBefore[256];
    tbsim_get_slot(2, slotBefore);
    ASSERT_EQ(tbsim_fail_call(TBSIM_CHECK_SERVICE_BUFFER, 1, 1), 0);
    ASSERT_EQ(host.send(1, 2), 1);
    EXPECT_EQ(host.fetchReply(), 0);
    EXPECT_EQ(host.transmit(patternBlock(1)), 0);

    ASSERT_EQ(tbsim_fail_call(TBSIM_SEND_BULK_BUFFER, 1, 1), 0);
    ASSERT_EQ(host.send(1, 2), 1);
    ASSERT_EQ(host.fetchReply(), 1);
    EXPECT_EQ(host.transmit(patternBlock(1)), 0);
    unsigned char slotAfter[256];
    tbsim_get_slot(2, slotAfter);
    EXPECT_TRUE(std::equal(slotBefore, slotBefore + 256, slotAfter)) << "a failed block is lost";
}

TEST_F(Protocol, ClearedRulesDoNotFire) {
    ASSERT_EQ(tbsim_fail_call(TBSIM_CHECK_BULK_BUFFER, 1, TBSIM_ANY_COMMAND), 0);
    tbsim_clear_failures();
    Bytes block;
    ASSERT_EQ(host.send(3, 1), 1);
    EXPECT_EQ(host.receive(256, block), 1);
}

TEST_F(Protocol, BadRulesAreRefused) {
    EXPECT_EQ(tbsim_fail_call(0, 1, TBSIM_ANY_COMMAND), -1);
    EXPECT_EQ(tbsim_fail_call(8, 1, TBSIM_ANY_COMMAND), -1);
    EXPECT_EQ(tbsim_fail_call(TBSIM_CHECK_BULK_BUFFER, 0, TBSIM_ANY_COMMAND), -1);
    EXPECT_EQ(tbsim_unplug_at_call(TBSIM_CHECK_BULK_BUFFER, 0, 9), -1);
}

TEST_F(Protocol, UnplugInTheMiddleOfAMap) {
    ASSERT_EQ(tbsim_unplug_at_call(TBSIM_CHECK_BULK_BUFFER, 5, 10), 0);
    Bytes block;
    ASSERT_EQ(host.send(10, 0), 1);
    ASSERT_EQ(host.receive(256, block), 1);
    for (int k = 0; k < 3; ++k) {
        ASSERT_EQ(host.receive(512, block), 1);
    }
    EXPECT_EQ(host.receive(512, block), 0);
    EXPECT_EQ(USBStatus(), 0);
    EXPECT_EQ(tbsim_is_open(), 0);
    EXPECT_EQ(host.send(10, 0), 0);
    EXPECT_EQ(InitUSB(), 0);
}

TEST_F(Protocol, FailingInitUsb) {
    ASSERT_EQ(CloseUSB(), 1);
    ASSERT_EQ(tbsim_fail_call(TBSIM_INIT_USB, 1, TBSIM_ANY_COMMAND), 0);
    EXPECT_EQ(InitUSB(), 0);
    EXPECT_EQ(tbsim_is_open(), 0);
    EXPECT_EQ(InitUSB(), 2);
}

// ---- The call log ------------------------------------------------------------------------------

TEST_F(Protocol, LogRecordsEveryExchange) {
    tbsim_clear_log();
    tbsim_set_reply(2);
    ASSERT_EQ(host.send(1, 20), 1);
    ASSERT_EQ(host.fetchReply(), 1);
    Bytes block = patternBlock(0);
    ASSERT_EQ(SendBulkBuffer(block.data(), 256, 0), 1);
    EXPECT_EQ(USBStatus(), 1);
    EXPECT_EQ(CloseUSB(), 1);

    const std::vector<TbSimCall> calls = callLog();
    ASSERT_EQ(calls.size(), 5u);
    EXPECT_EQ(calls[0].operation, TBSIM_SEND_SERVICE_BUFFER);
    EXPECT_EQ(calls[0].command, 1);
    EXPECT_EQ(calls[0].paramLow, 20);
    EXPECT_EQ(calls[1].operation, TBSIM_CHECK_SERVICE_BUFFER);
    EXPECT_EQ(calls[1].command, 1);
    EXPECT_EQ(calls[1].reply, 2);
    EXPECT_EQ(calls[2].operation, TBSIM_SEND_BULK_BUFFER);
    EXPECT_EQ(calls[2].length, 256u);
    EXPECT_EQ(calls[2].flags, 0u);
    EXPECT_EQ(calls[2].result, 1);
    EXPECT_EQ(calls[3].operation, TBSIM_USB_STATUS);
    EXPECT_EQ(calls[3].result, 1);
    EXPECT_EQ(calls[4].operation, TBSIM_CLOSE_USB);
    EXPECT_EQ(calls[4].command, 0);

    TbSimCall none{};
    EXPECT_EQ(tbsim_get_call(5, &none), -1);
    EXPECT_EQ(tbsim_get_call(0, nullptr), -1);
    tbsim_clear_log();
    EXPECT_EQ(tbsim_call_count(), 0u);
}

TEST_F(Protocol, ResetReturnsToPowerOn) {
    tbsim_set_present(0);
    tbsim_set_init_answer(3);
    tbsim_set_record_counts(0, 0, 0);
    tbsim_set_slot(1, patternBlock(5).data());
    tbsim_reset();
    EXPECT_EQ(tbsim_call_count(), 0u);
    EXPECT_EQ(USBStatus(), 1);
    EXPECT_EQ(InitUSB(), 2);
    EXPECT_EQ(readMarkup(host).AScanArea.Count, 5);
    unsigned char slot[256];
    ASSERT_EQ(tbsim_get_slot(1, slot), 0);
    EXPECT_EQ(slot[0], 1);
}

TEST(SimControl, SlotAccessChecksItsArguments) {
    unsigned char block[256] = {};
    EXPECT_EQ(tbsim_get_slot(0, block), -1);
    EXPECT_EQ(tbsim_get_slot(21, block), -1);
    EXPECT_EQ(tbsim_get_slot(1, nullptr), -1);
    EXPECT_EQ(tbsim_set_slot(21, block), -1);
    EXPECT_EQ(tbsim_set_slot(1, nullptr), -1);
}
