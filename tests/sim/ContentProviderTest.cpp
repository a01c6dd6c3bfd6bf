// Plugging a content provider into the instrument: the protocol takes every record's shape from
// the header the provider gives and streams what the provider writes.
#include "HostSide.h"

#include "config/AbsConfigObjectUnit.h"
#include "sim/Instrument.h"
#include "sim/RecordSource.h"

#include <gtest/gtest.h>

using namespace sim;

namespace {

struct Request {
    RecordKind kind;
    std::uint16_t index;
    std::uint32_t scan;
    std::size_t length;
};

// Bands of three A-scans of 384 samples and maps of 5 x 6; every sample byte tells where it is
// from.
class ProbeSource : public RecordSource {
public:
    explicit ProbeSource(std::vector<Request>* requests) : requests_(requests) {}

    Block configuration(int slot) override { return defaultConfigurationBlock(slot); }

    Block header(RecordKind kind, std::uint16_t index) override {
        Block b = defaultConfigurationBlock(1);
        putWord(b, header::kSampleCount, 384);
        putWord(b, header::kBandLastScan, 2);
        putWord(b, header::kMapRows, 5);
        putWord(b, header::kMapColumns, 6);
        b[200] = static_cast<std::uint8_t>(index);
        b[201] = static_cast<std::uint8_t>(kind);
        return b;
    }

    void samples(RecordKind kind, std::uint16_t index, std::uint32_t scan,
                 std::span<std::uint8_t> out) override {
        requests_->push_back({kind, index, scan, out.size()});
        for (std::size_t i = 0; i < out.size(); ++i) {
            out[i] = static_cast<std::uint8_t>(scan + index * 16);
        }
    }

private:
    std::vector<Request>* requests_;
};

std::uint8_t readCommand(Instrument& instrument, std::uint8_t code, std::uint16_t parameter) {
    std::uint8_t command[12] = {code, static_cast<std::uint8_t>(parameter >> 8),
                                static_cast<std::uint8_t>(parameter & 0xFF)};
    return instrument.sendServiceBuffer(command);
}

} // namespace

TEST(ContentProvider, BandStreamsTheProvidersAScans) {
    std::vector<Request> requests;
    Instrument instrument;
    instrument.setSource(std::make_unique<ProbeSource>(&requests));
    ASSERT_EQ(instrument.initUsb(), 2);

    ASSERT_EQ(readCommand(instrument, 9, 2), 1);
    std::vector<std::uint8_t> block(1025);
    ASSERT_EQ(instrument.checkBulkBuffer(block.data(), 256, 0), 1);
    EXPECT_EQ(block[200], 2);
    EXPECT_EQ(block[201], static_cast<std::uint8_t>(RecordKind::Band));
    for (std::uint32_t j = 0; j < 3; ++j) {
        ASSERT_EQ(instrument.checkBulkBuffer(block.data(), 1024, 0), 1) << j;
        EXPECT_EQ(block[0], j + 32);
        EXPECT_EQ(block[1023], j + 32);
        EXPECT_EQ(block[1024], 0) << "nothing written past the length";
    }
    EXPECT_EQ(instrument.checkBulkBuffer(block.data(), 1024, 0), 0);
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[2].kind, RecordKind::Band);
    EXPECT_EQ(requests[2].index, 2);
    EXPECT_EQ(requests[2].scan, 2u);
    EXPECT_EQ(requests[2].length, 1024u);
}

TEST(ContentProvider, MapCellsInRowOrder) {
    std::vector<Request> requests;
    Instrument instrument;
    instrument.setSource(std::make_unique<ProbeSource>(&requests));
    ASSERT_EQ(instrument.initUsb(), 2);
    ASSERT_EQ(readCommand(instrument, 10, 1), 1);
    std::vector<std::uint8_t> block(1024);
    ASSERT_EQ(instrument.checkBulkBuffer(block.data(), 256, 0), 1);
    for (int k = 0; k < 30; ++k) {
        ASSERT_EQ(instrument.checkBulkBuffer(block.data(), 1024, 0), 1) << k;
    }
    EXPECT_EQ(instrument.checkBulkBuffer(block.data(), 1024, 0), 0);
    ASSERT_EQ(requests.size(), 30u);
    for (std::uint32_t k = 0; k < 30; ++k) {
        EXPECT_EQ(requests[k].scan, k);
        EXPECT_EQ(requests[k].kind, RecordKind::Map);
    }
}

TEST(ContentProvider, MarkupOccupancyFollowsTheRecordSizes) {
    std::vector<Request> requests;
    Instrument instrument;
    instrument.setSource(std::make_unique<ProbeSource>(&requests));
    instrument.setRecordCounts(1, 2, 3);
    TCorvantaAbsConfigCell markup;
    markup.ParseBlock(instrument.markup());
    EXPECT_TRUE(markup.IsValid());
    EXPECT_EQ(markup.BandArea.Occupied, 2u * (256 + 3 * 1024));
    EXPECT_EQ(markup.MapArea.Occupied, 3u * (256 + 30 * 1024));
    EXPECT_TRUE(requests.empty()) << "laying out the memory reads no samples";
}

TEST(ContentProvider, SharedInstrumentTakesAProvider) {
    std::vector<Request> requests;
    tbsim_reset();
    setRecordSource(std::make_unique<ProbeSource>(&requests));
    simtest::Host host;
    ASSERT_EQ(InitUSB(), 2);
    ASSERT_EQ(host.send(9, 0), 1);
    simtest::Bytes block;
    ASSERT_EQ(host.receive(256, block), 1);
    ASSERT_EQ(host.receive(1024, block), 1);
    EXPECT_EQ(requests.size(), 1u);
    tbsim_reset();
}
