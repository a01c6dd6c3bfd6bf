// The record reads of the link: one A-scan, band or map with its header configuration and its
// sample blocks.
#include "link/DOR4471IZOZudivarudaZira.h"

#include "link/LinkInternals.h"

#include "platform/text/Numbers.h"
#include "platform/ui/Clock.h"
#include "platform/ui/Gauge.h"
#include "records/BaseAScanUnit.h"
#include "records/BaseBandUnit.h"
#include "records/BaseMapUnit.h"

using link_detail::CommandScope;

namespace {

constexpr std::uint8_t CmdReadAScan = 5;
constexpr std::uint8_t CmdReadBand = 9;
constexpr std::uint8_t CmdReadMap = 10;

// Samples one A-scan of a band or map may have, and A-scans a band may have; anything larger in a
// header is a broken block, not a reason for a giant allocation.
constexpr std::uint32_t kMaxSamples = 4097;
constexpr std::uint32_t kMaxBandScans = 901;
constexpr std::uint32_t kMaxMapSide = 40;


// The header of every record read: the record's configuration block.
bool readHeader(TBaseAScanCell& record, int index) {
    pByteArray header;
    if (!link_detail::receiveBlock(header, 256)) {
        return false;
    }
    if (!record.Config) {
        record.SetConfigIdentity(0, 0, 0);
    }
    TBaseConfigCell& config = *record.Config;
    ParseInstrumentBlock(config, header, index);
    config.ValidateAll();
    config.Recalculate();
    record.RecordIndex = static_cast<std::uint16_t>(index);
    record.ConfigIndex = config.ConfigIndex;
    return true;
}

void moveGauge(platform::ui::Gauge* gauge, double fraction, double base, double span) {
    if (gauge && span > 0) {
        gauge->setProgress(
            static_cast<int>(platform::text::roundHalfEven((fraction * span + base) * 100.0)));
    }
}

} // namespace

std::uint8_t ReceiveAScan(std::unique_ptr<TBaseAScanCell>& slot, int index) {
    if (USBBusy) {
        return LinkResult::Busy;
    }
    CommandScope guard;
    std::uint8_t answer = LinkResult::Done;
    if (!slot) {
        slot = std::make_unique<TBaseAScanCell>();
    }
    if (!link_detail::beginCommand(CmdReadAScan, static_cast<std::uint16_t>(index + 1), answer)) {
        return answer;
    }
    guard.active = true;
    if (!readHeader(*slot, index)) {
        return LinkResult::BlockFailed;
    }
    pByteArray samples;
    if (!link_detail::receiveBlock(samples, 4096)) {
        return LinkResult::BlockFailed;
    }
    slot->DecodeRawBuffer(std::span<const std::uint8_t>(samples.data(), 4096));
    slot->ProcessReceived();
    return LinkResult::Done;
}

std::uint8_t ReceiveBand(std::unique_ptr<TBaseBandCell>& slot, int index,
                         platform::ui::Gauge* gauge, double base, double span) {
    if (USBBusy) {
        return LinkResult::Busy;
    }
    CommandScope guard;
    std::uint8_t answer = LinkResult::Done;
    if (!slot) {
        slot = std::make_unique<TBaseBandCell>();
    }
    if (!link_detail::beginCommand(CmdReadBand, static_cast<std::uint16_t>(index), answer)) {
        return answer;
    }
    guard.active = true;
    TBaseBandCell& band = *slot;
    if (!readHeader(band, index)) {
        return LinkResult::BlockFailed;
    }
    const std::uint32_t scans = band.Config->BandLastAScan + 1u;
    const std::uint32_t samples = band.Config->AScanRange;
    if (scans > kMaxBandScans || samples > kMaxSamples) {
        return LinkResult::BlockFailed;
    }
    band.BandRecordIndex = static_cast<std::uint16_t>(index);
    const std::size_t length = SampleBlockLength(samples);
    band.ClearData();
    band.SetScanCount(static_cast<std::uint16_t>(scans));
    platform::ui::Clock& clock = platform::ui::currentClock();
    pByteArray buffer;
    for (std::uint32_t j = 0; j < scans; ++j) {
        moveGauge(gauge, static_cast<double>(j + 1) / scans, base, span);
        band.SetCurrentScan(static_cast<std::uint16_t>(j));
        if (!link_detail::receiveBlock(buffer, length)) {
            return LinkResult::BlockFailed;
        }
        clock.sleep(10);
        band.DecodeRawBuffer(std::span<const std::uint8_t>(buffer.data(), length));
        clock.processPaintEvents();
    }
    band.ProcessReceived();
    return LinkResult::Done;
}

std::uint8_t ReceiveMap(std::unique_ptr<TBaseMapCell>& slot, int index,
                        platform::ui::Gauge* gauge, double base, double span) {
    if (USBBusy) {
        return LinkResult::Busy;
    }
    CommandScope guard;
    std::uint8_t answer = LinkResult::Done;
    if (!slot) {
        slot = std::make_unique<TBaseMapCell>();
    }
    if (!link_detail::beginCommand(CmdReadMap, static_cast<std::uint16_t>(index), answer)) {
        return answer;
    }
    guard.active = true;
    TBaseMapCell& map = *slot;
    if (!readHeader(map, index)) {
        return LinkResult::BlockFailed;
    }
    TBaseConfigCell& config = *map.Config;
    const std::uint32_t rows = config.MapVerticPoints;
    const std::uint32_t columns = config.MapHorizPoints;
    const std::uint32_t samples = config.AScanRange;
    if (rows < 1 || columns < 1 || rows > kMaxMapSide || columns > kMaxMapSide ||
        samples > kMaxSamples) {
        return LinkResult::BlockFailed;
    }
    config.BandLastAScan = static_cast<std::uint16_t>(columns - 1);
    map.MapRecordIndex = static_cast<std::uint16_t>(index);
    const std::size_t length = SampleBlockLength(samples);
    map.SetMapSize(static_cast<std::uint16_t>(rows), static_cast<std::uint16_t>(columns));
    platform::ui::Clock& clock = platform::ui::currentClock();
    pByteArray buffer;
    const std::uint32_t cells = rows * columns;
    for (std::uint32_t r = 0; r < rows; ++r) {
        for (std::uint32_t c = 0; c < columns; ++c) {
            moveGauge(gauge, static_cast<double>(r * columns + c + 1) / cells, base, span);
            map.SetCurrentRow(static_cast<std::uint16_t>(r));
            map.SetCurrentScan(static_cast<std::uint16_t>(c));
            if (!link_detail::receiveBlock(buffer, length)) {
                return LinkResult::BlockFailed;
            }
            clock.sleep(30);
            map.DecodeRawBuffer(std::span<const std::uint8_t>(buffer.data(), length));
            clock.processPaintEvents();
        }
    }
    map.ProcessReceived();
    return LinkResult::Done;
}
