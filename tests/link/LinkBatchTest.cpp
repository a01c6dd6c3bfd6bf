#include "SimulatedInstrument.h"

#include "link/BatchTransfers.h"
#include "platform/ui/Gauge.h"
#include "sim/RecordSource.h"

#include <algorithm>
#include <numeric>

namespace {

struct RecordingGauge : platform::ui::Gauge {
    void setProgress(int percent) override { values.push_back(percent); }
    std::vector<int> values;
};

constexpr unsigned kSeed = 7;

class BatchTest : public LinkTest {
protected:
    void SetUp() override {
        LinkTest::SetUp();
        sim.setSeed(kSeed);
        sim.clearLog();
        std::string description;
        ASSERT_EQ(ReceiveFlashMarkup(markup, description), LinkResult::Done);
        sim.clearLog();
    }

    // Announces counts through the markup the instrument holds and the program's copy of it.
    void announce(unsigned aScans, unsigned bands, unsigned maps) {
        sim.setRecordCounts(aScans, bands, maps);
        std::string description;
        ASSERT_EQ(ReceiveFlashMarkup(markup, description), LinkResult::Done);
        sim.clearLog();
    }

    std::vector<TbSimCall> commands() const { return sim.callsOf(TBSIM_SEND_SERVICE_BUFFER); }

    std::vector<unsigned> sampleBlockLengths() const {
        std::vector<unsigned> out;
        for (const auto& c : sim.callsOf(TBSIM_CHECK_BULK_BUFFER)) {
            if (c.length != 256) {
                out.push_back(c.length);
            }
        }
        return out;
    }

    std::unique_ptr<TCorvantaAbsConfigCell> markup;
    sim::ModelRecordSource model{kSeed};
};

} // namespace

// ---- Single record reads -----------------------------------------------------------------------

TEST_F(BatchTest, WireBytesOfTheRecordReads) {
    std::unique_ptr<TBaseAScanCell> aScan;
    EXPECT_EQ(ReceiveAScan(aScan, 0), LinkResult::Done);
    std::unique_ptr<TBaseBandCell> band;
    EXPECT_EQ(ReceiveBand(band, 0, nullptr, 0, 0), LinkResult::Done);
    std::unique_ptr<TBaseMapCell> map;
    ReceiveMap(map, 300, nullptr, 0, 0); // not announced; only the command matters here
    const auto sent = commands();
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ((std::array<int, 3>{sent[0].command, sent[0].paramHigh, sent[0].paramLow}),
              (std::array<int, 3>{0x05, 0x00, 0x01}));
    EXPECT_EQ((std::array<int, 3>{sent[1].command, sent[1].paramHigh, sent[1].paramLow}),
              (std::array<int, 3>{0x09, 0x00, 0x00}));
    EXPECT_EQ((std::array<int, 3>{sent[2].command, sent[2].paramHigh, sent[2].paramLow}),
              (std::array<int, 3>{0x0A, 0x01, 0x2C}));
}

TEST_F(BatchTest, AnAScanArrivesAsTheInstrumentRecordedIt) {
    std::unique_ptr<TBaseAScanCell> aScan;
    ASSERT_EQ(ReceiveAScan(aScan, 2), LinkResult::Done);
    const sim::Recording expected = sim::makeRecording(model.scene(sim::RecordKind::AScan, 2));
    ASSERT_EQ(aScan->Config->AScanRange, expected.samples);
    const auto got = aScan->Trace();
    const auto want = expected.scan(0, 0);
    ASSERT_GE(got.size(), want.size());
    EXPECT_TRUE(std::equal(want.begin(), want.end(), got.begin()));
    EXPECT_EQ(aScan->RecordIndex, 2);
    EXPECT_EQ(aScan->ConfigIndex, aScan->Config->ConfigIndex);
    const auto bulk = sim.callsOf(TBSIM_CHECK_BULK_BUFFER);
    ASSERT_EQ(bulk.size(), 2u);
    EXPECT_EQ(bulk[0].length, 256u);
    EXPECT_EQ(bulk[1].length, 4096u);
}

TEST_F(BatchTest, BandsAreReadInBlocksOfTheirSampleCount) {
    // The model's first four bands have 128, 256, 320 and 384 samples.
    announce(0, 4, 0);
    const unsigned expected[] = {512, 512, 768, 1024};
    for (int i = 0; i < 4; ++i) {
        sim.clearLog();
        std::unique_ptr<TBaseBandCell> band;
        ASSERT_EQ(ReceiveBand(band, i, nullptr, 0, 0), LinkResult::Done) << i;
        const auto lengths = sampleBlockLengths();
        ASSERT_EQ(lengths.size(), band->Config->BandLastAScan + 1u);
        EXPECT_TRUE(std::all_of(lengths.begin(), lengths.end(),
                                [&](unsigned l) { return l == expected[i]; }))
            << "band " << i << " of " << band->Config->AScanRange << " samples";
        EXPECT_EQ(band->BandRecordIndex, i);
    }
}

TEST_F(BatchTest, ABandArrivesScanByScanWithItsPauses) {
    std::unique_ptr<TBaseBandCell> band;
    RecordingGauge gauge;
    ASSERT_EQ(ReceiveBand(band, 1, &gauge, 0.5, 0.25), LinkResult::Done);
    const sim::Recording expected = sim::makeRecording(model.scene(sim::RecordKind::Band, 1));
    const unsigned scans = expected.columns;
    ASSERT_EQ(band->Config->BandLastAScan + 1u, scans);
    for (unsigned j = 0; j < scans; ++j) {
        const auto want = expected.scan(0, static_cast<std::uint16_t>(j));
        const auto got = band->Scan(0, j);
        ASSERT_TRUE(std::equal(want.begin(), want.end(), got.begin())) << "scan " << j;
    }
    // 10 ms after every block, nothing else.
    EXPECT_EQ(clock.pauses, std::vector<std::uint32_t>(scans, 10));
    EXPECT_EQ(clock.paintRuns, static_cast<int>(scans));
    EXPECT_EQ(clock.messageRuns, 0); // no user input inside one record
    // The gauge covers the band's share: from just above 50 % to 75 %.
    ASSERT_EQ(gauge.values.size(), scans);
    EXPECT_EQ(gauge.values.back(), 75);
    EXPECT_TRUE(std::is_sorted(gauge.values.begin(), gauge.values.end()));
    EXPECT_GE(gauge.values.front(), 50);
}

TEST_F(BatchTest, AMapArrivesRowByRowWithItsPauses) {
    std::unique_ptr<TBaseMapCell> map;
    ASSERT_EQ(ReceiveMap(map, 0, nullptr, 0, 0), LinkResult::Done);
    const sim::Recording expected = sim::makeRecording(model.scene(sim::RecordKind::Map, 0));
    ASSERT_EQ(map->Config->MapVerticPoints, expected.rows);
    ASSERT_EQ(map->Config->MapHorizPoints, expected.columns);
    EXPECT_EQ(map->Config->BandLastAScan, expected.columns - 1);
    for (std::uint16_t r = 0; r < expected.rows; ++r) {
        for (std::uint16_t c = 0; c < expected.columns; ++c) {
            const auto want = expected.scan(r, c);
            const auto got = map->Scan(r, c);
            ASSERT_TRUE(std::equal(want.begin(), want.end(), got.begin())) << r << "," << c;
        }
    }
    const std::size_t cells = std::size_t(expected.rows) * expected.columns;
    EXPECT_EQ(clock.pauses, std::vector<std::uint32_t>(cells, 30));
    EXPECT_EQ(map->MapRecordIndex, 0);
}

TEST_F(BatchTest, HeaderAndSampleFailuresAnswerEight) {
    std::unique_ptr<TBaseAScanCell> aScan;
    sim.failCall(TBSIM_CHECK_BULK_BUFFER, 1, TBSIM_ANY_COMMAND); // the header
    EXPECT_EQ(ReceiveAScan(aScan, 0), LinkResult::BlockFailed);
    ASSERT_TRUE(aScan); // made for the read, left as far as it got

    std::unique_ptr<TBaseAScanCell> second;
    sim.failCall(TBSIM_CHECK_BULK_BUFFER, 2, TBSIM_ANY_COMMAND); // the samples
    EXPECT_EQ(ReceiveAScan(second, 1), LinkResult::BlockFailed);
    // The header arrived: the record keeps it.
    EXPECT_EQ(second->RecordIndex, 1);
    EXPECT_EQ(second->Config->AScanRange, model.recordConfiguration(sim::RecordKind::AScan, 1).AScanRange);

    std::unique_ptr<TBaseBandCell> band;
    sim.failCall(TBSIM_CHECK_BULK_BUFFER, 4, TBSIM_ANY_COMMAND); // the third sample block
    EXPECT_EQ(ReceiveBand(band, 0, nullptr, 0, 0), LinkResult::BlockFailed);
    EXPECT_EQ(clock.pauses.size(), 2u); // two blocks got through

    std::unique_ptr<TBaseMapCell> map;
    sim.failCall(TBSIM_SEND_SERVICE_BUFFER, 1, TBSIM_ANY_COMMAND);
    EXPECT_EQ(ReceiveMap(map, 0, nullptr, 0, 0), LinkResult::CommandFailed);
    EXPECT_EQ(USBBusy, 0);
}

// ---- Receiving batches -------------------------------------------------------------------------

TEST_F(BatchTest, AllAScansArriveWithTheGaugeAndOneFinalPause) {
    announce(3, 0, 0);
    PAscansSet list;
    std::uint16_t count = 99;
    std::string origin;
    RecordingGauge gauge;
    ASSERT_EQ(ReceiveAScans(markup.get(), list, count, &gauge, origin), BatchResult::AllDone);
    EXPECT_EQ(count, 3);
    ASSERT_EQ(list.size(), 3u);
    EXPECT_TRUE(std::all_of(list.begin(), list.end(), [](auto& r) { return r != nullptr; }));
    EXPECT_EQ(origin, GetDeviceName(*markup));
    // nearest(100/3) = 33, nearest(200/3) = 67, 100.
    EXPECT_EQ(gauge.values, (std::vector<int>{33, 67, 100}));
    EXPECT_EQ(clock.pauses, (std::vector<std::uint32_t>{1}));
    EXPECT_EQ(clock.messageRuns, 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(list[i]->RecordIndex, i);
    }
}

TEST_F(BatchTest, GaugeHalvesGoToTheEvenPercent) {
    announce(8, 0, 0);
    PAscansSet list;
    std::uint16_t count = 0;
    std::string origin;
    RecordingGauge gauge;
    ASSERT_EQ(ReceiveAScans(markup.get(), list, count, &gauge, origin), BatchResult::AllDone);
    // 12.5 -> 12, 37.5 -> 38, 62.5 -> 62, 87.5 -> 88.
    EXPECT_EQ(gauge.values, (std::vector<int>{12, 25, 38, 50, 62, 75, 88, 100}));
}

TEST_F(BatchTest, AFailureAtTheThirdOfFiveAScansKeepsWhatArrived) {
    announce(5, 0, 0);
    PAscansSet list;
    std::uint16_t count = 0;
    std::string origin;
    // Each A-scan takes two bulk reads: header and samples. Fail the third A-scan's samples.
    sim.failCall(TBSIM_CHECK_BULK_BUFFER, 6, TBSIM_ANY_COMMAND);
    EXPECT_EQ(ReceiveAScans(markup.get(), list, count, nullptr, origin), BatchResult::Failed);
    EXPECT_EQ(count, 2);
    ASSERT_EQ(list.size(), 5u);
    EXPECT_TRUE(list[0] && list[1]);
    ASSERT_TRUE(list[2]); // partly filled: its header
    EXPECT_EQ(list[2]->RecordIndex, 2);
    EXPECT_FALSE(list[3]);
    EXPECT_FALSE(list[4]);
    EXPECT_EQ(clock.pauses, (std::vector<std::uint32_t>{1}));
}

TEST_F(BatchTest, EveryReceivingBatchEndsWithOneMillisecondPause) {
    announce(0, 2, 1);
    PConfigsSet configs;
    std::uint16_t count = 0;
    std::string origin;
    ASSERT_EQ(ReceiveConfigs(markup.get(), configs, count, origin), BatchResult::AllDone);
    EXPECT_EQ(clock.pauses, (std::vector<std::uint32_t>{1}));

    clock.pauses.clear();
    PBandsSet bands;
    ASSERT_EQ(ReceiveBands(markup.get(), bands, count, nullptr, origin), BatchResult::AllDone);
    const std::size_t scans =
        bands[0]->Config->BandLastAScan + bands[1]->Config->BandLastAScan + 2u;
    std::vector<std::uint32_t> expected(scans, 10);
    expected.push_back(1);
    EXPECT_EQ(clock.pauses, expected);

    clock.pauses.clear();
    PMapsSet maps;
    ASSERT_EQ(ReceiveMaps(markup.get(), maps, count, nullptr, origin), BatchResult::AllDone);
    expected.assign(std::size_t(maps[0]->Config->MapVerticPoints) * maps[0]->Config->MapHorizPoints,
                    30);
    expected.push_back(1);
    EXPECT_EQ(clock.pauses, expected);

    // A failing configuration slot ends the batch with the same pause.
    clock.pauses.clear();
    sim.failCall(TBSIM_CHECK_BULK_BUFFER, 3, TBSIM_ANY_COMMAND);
    EXPECT_EQ(ReceiveConfigs(markup.get(), configs, count, origin), BatchResult::Failed);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(clock.pauses, (std::vector<std::uint32_t>{1}));
}

TEST_F(BatchTest, NothingAnnouncedAnswersZeroAndLeavesTheList) {
    announce(0, 0, 0);
    PAscansSet list;
    list.push_back(std::make_unique<TBaseAScanCell>());
    std::uint16_t count = 1;
    std::string origin;
    EXPECT_EQ(ReceiveAScans(markup.get(), list, count, nullptr, origin), BatchResult::AllDone);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(list.size(), 1u);
    EXPECT_FALSE(origin.empty());
    EXPECT_TRUE(commands().empty());
}

TEST_F(BatchTest, ABatchWithoutAConnectionChangesNothing) {
    DisconnectUSBDevice();
    PBandsSet list;
    std::uint16_t count = 7;
    std::string origin = "before";
    EXPECT_EQ(ReceiveBands(markup.get(), list, count, nullptr, origin), BatchResult::Failed);
    EXPECT_EQ(count, 7);
    EXPECT_EQ(origin, "before");
}

TEST_F(BatchTest, BandsAndMapsBatchesShareTheGauge) {
    announce(0, 2, 1);
    PBandsSet bands;
    std::uint16_t count = 0;
    std::string origin;
    RecordingGauge gauge;
    ASSERT_EQ(ReceiveBands(markup.get(), bands, count, &gauge, origin), BatchResult::AllDone);
    EXPECT_EQ(count, 2);
    ASSERT_FALSE(gauge.values.empty());
    EXPECT_EQ(gauge.values.back(), 100);
    // The first band's last block brings the gauge to 50 %.
    const unsigned firstScans = bands[0]->Config->BandLastAScan + 1u;
    EXPECT_EQ(gauge.values[firstScans - 1], 50);

    PMapsSet maps;
    gauge.values.clear();
    ASSERT_EQ(ReceiveMaps(markup.get(), maps, count, &gauge, origin), BatchResult::AllDone);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(gauge.values.back(), 100);
}

TEST_F(BatchTest, ADisconnectDuringABatchWaitsForItsEnd) {
    announce(0, 2, 0);
    bool cutShort = false;
    clock.onPaint = [&] {
        if (!cutShort && USBConnected == 1) {
            // The device is reported gone while the first band arrives.
            DisconnectUSBDevice();
            cutShort = USBConnected == 0;
        }
    };
    PBandsSet bands;
    std::uint16_t count = 0;
    std::string origin;
    EXPECT_EQ(ReceiveBands(markup.get(), bands, count, nullptr, origin), BatchResult::AllDone);
    EXPECT_FALSE(cutShort);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(USBConnected, 0); // carried out once the batch ended
    EXPECT_EQ(sim.callsOf(TBSIM_CLOSE_USB).size(), 1u);
}

TEST_F(BatchTest, ReentryWhileACommandRunsAnswersNine) {
    std::vector<std::uint8_t> answers;
    clock.onSleep = [&](std::uint32_t) {
        if (answers.empty()) {
            std::unique_ptr<TBaseAScanCell> other;
            answers.push_back(ReceiveAScan(other, 0));
        }
    };
    std::unique_ptr<TBaseBandCell> band;
    EXPECT_EQ(ReceiveBand(band, 0, nullptr, 0, 0), LinkResult::Done);
    EXPECT_EQ(answers, (std::vector<std::uint8_t>{LinkResult::Busy}));
}

// ---- Configurations ----------------------------------------------------------------------------

TEST_F(BatchTest, AllTwentySlotsArrive) {
    PConfigsSet list;
    std::uint16_t count = 0;
    std::string origin;
    ASSERT_EQ(ReceiveConfigs(markup.get(), list, count, origin), BatchResult::AllDone);
    EXPECT_EQ(count, 20);
    ASSERT_EQ(list.size(), 20u);
    for (int i = 0; i < 20; ++i) {
        std::vector<std::uint8_t> raw(256);
        sim.getSlot(i + 1, raw.data());
        TBaseConfigCell stored(0, 0, 0);
        ParseInstrumentBlock(stored, raw, i + 1);
        EXPECT_EQ(list[i]->ConfigName, stored.ConfigName) << i;
        EXPECT_EQ(list[i]->Velocity, stored.Velocity) << i;
        EXPECT_EQ(list[i]->AScanRange, stored.AScanRange) << i;
    }
    const auto sent = commands();
    ASSERT_EQ(sent.size(), 20u);
    EXPECT_EQ(sent[19].command, 3);
    EXPECT_EQ(sent[19].paramLow, 20);
    EXPECT_EQ(clock.messageRuns, 0); // configurations do not let messages run
}

TEST_F(BatchTest, SendingNothingModifiedAnswersTwoWithoutAConnection) {
    DisconnectUSBDevice();
    PConfigsSet list;
    for (int i = 0; i < 20; ++i) {
        list.push_back(std::make_unique<TBaseConfigCell>(0, 0, 0));
        list.back()->Modified = 0;
    }
    std::string origin;
    EXPECT_EQ(SendConfigs(markup.get(), list, 20, nullptr, origin), BatchResult::NothingToSend);
}

TEST_F(BatchTest, SendingGoesOnPastAFailedSlotAndClearsEveryFlag) {
    PConfigsSet list;
    std::uint16_t count = 0;
    std::string origin;
    ASSERT_EQ(ReceiveConfigs(markup.get(), list, count, origin), BatchResult::AllDone);
    for (int i : {1, 4, 9}) {
        list[i]->Modified = 1;
    }
    sim.clearLog();
    clock.pauses.clear();
    sim.setReply(2);
    sim.failCall(TBSIM_SEND_BULK_BUFFER, 2, TBSIM_ANY_COMMAND); // slot 5's block
    RecordingGauge gauge;
    EXPECT_EQ(SendConfigs(markup.get(), list, count, &gauge, origin), BatchResult::Failed);
    for (const auto& c : list) {
        EXPECT_EQ(c->Modified, 0);
    }
    const auto sent = commands();
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[0].paramLow, 2);
    EXPECT_EQ(sent[1].paramLow, 5);
    EXPECT_EQ(sent[2].paramLow, 10);
    EXPECT_EQ(clock.pauses, (std::vector<std::uint32_t>{200, 200, 200}));
    // One gauge step per slot, 20 in all; two of three arrived: nearest(200/3) = 67.
    ASSERT_EQ(gauge.values.size(), 20u);
    EXPECT_EQ(gauge.values.back(), 67);
    EXPECT_EQ(clock.messageRuns, 20);
}

TEST_F(BatchTest, SendingFewerThanTwentyConfigurationsStaysInsideTheList) {
    PConfigsSet list;
    for (int i = 0; i < 3; ++i) {
        list.push_back(std::make_unique<TBaseConfigCell>(0, 0, 0));
        list.back()->ResetAll(static_cast<std::uint16_t>(i));
        list.back()->Modified = 1;
    }
    std::string origin;
    sim.setReply(2);
    EXPECT_EQ(SendConfigs(markup.get(), list, 3, nullptr, origin), BatchResult::AllDone);
    EXPECT_EQ(commands().size(), 3u);
    // A list whose length disagrees with its count is refused.
    list[0]->Modified = 1;
    EXPECT_EQ(SendConfigs(markup.get(), list, 4, nullptr, origin), BatchResult::Failed);
}

TEST_F(BatchTest, SendingMoreThanTwentyConfigurationsSendsOnlyTheSlots) {
    PConfigsSet list;
    for (int i = 0; i < 25; ++i) {
        list.push_back(std::make_unique<TBaseConfigCell>(0, 0, 0));
        list.back()->ResetAll(static_cast<std::uint16_t>(i));
        list.back()->Modified = 1;
    }
    std::string origin;
    sim.setReply(2);
    EXPECT_EQ(SendConfigs(markup.get(), list, 25, nullptr, origin), BatchResult::AllDone);
    EXPECT_EQ(commands().size(), 20u);
    EXPECT_EQ(list[24]->Modified, 1); // no slot for it in the instrument
}

// ---- The largest map and a device pulled out -----------------------------------------------------

TEST_F(BatchTest, TheLargestMapArrivesWhole) {
    ASSERT_EQ(sim.setMapShape(kSeed, 40, 40, 4095), 0);
    EXPECT_EQ(sim.setMapShape(kSeed, 41, 40, 4095), -1);
    std::unique_ptr<TBaseMapCell> map;
    ASSERT_EQ(ReceiveMap(map, 0, nullptr, 0, 0), LinkResult::Done);
    EXPECT_EQ(map->Config->MapVerticPoints, 40);
    EXPECT_EQ(map->Config->MapHorizPoints, 40);
    EXPECT_EQ(map->Config->AScanRange, 4095);
    const auto lengths = sampleBlockLengths();
    ASSERT_EQ(lengths.size(), 1600u);
    EXPECT_EQ(lengths.front(), 8192u);
    EXPECT_EQ(clock.totalPauseMs(), 1600u * 30u); // the 48 s the instrument's pacing costs
    sim::ModelRecordSource big(kSeed);
    big.setMapShape(40, 40, 4095);
    const sim::Recording expected = sim::makeRecording(big.scene(sim::RecordKind::Map, 0));
    const auto want = expected.scan(39, 39);
    const auto got = map->Scan(39, 39);
    EXPECT_TRUE(std::equal(want.begin(), want.end(), got.begin()));
}

TEST_F(BatchTest, PullingTheDeviceOutMidBatchLeavesConsistentLists) {
    announce(0, 3, 0);
    // The instrument goes away during the second band's tenth sample block.
    sim.unplugAtCall(TBSIM_CHECK_BULK_BUFFER, 1 + 60 + 1 + 10, TBSIM_ANY_COMMAND);
    PBandsSet bands;
    std::uint16_t count = 0;
    std::string origin;
    EXPECT_EQ(ReceiveBands(markup.get(), bands, count, nullptr, origin), BatchResult::Failed);
    EXPECT_EQ(count, 1);
    ASSERT_EQ(bands.size(), 3u);
    ASSERT_TRUE(bands[0]);
    EXPECT_EQ(bands[0]->Config->BandLastAScan + 1u, 60u);
    ASSERT_TRUE(bands[1]); // as far as it got
    EXPECT_FALSE(bands[2]);
    EXPECT_EQ(CallUSBStatus(), 0);
    // Further commands fail cleanly until the device is back.
    std::unique_ptr<TBaseAScanCell> aScan;
    EXPECT_NE(ReceiveAScan(aScan, 0), LinkResult::Done);
    DisconnectUSBDevice();
    EXPECT_EQ(USBConnected, 0);
}
