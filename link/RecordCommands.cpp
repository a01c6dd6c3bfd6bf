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


// The start every record read shares: a record in the slot, the command out, the header in.
// Answers Done when the header arrived; the command then stays open until `command` ends.
template <typename Cell>
std::uint8_t startRecordRead(std::unique_ptr<Cell>& slot, std::uint8_t code,
                             std::uint16_t parameter, int index, CommandScope& command) {
    if (USBBusy) {
        return LinkResult::Busy;
    }
    if (!slot) {
        slot = std::make_unique<Cell>();
    }
    std::uint8_t answer = LinkResult::Done;
    if (!link_detail::beginCommand(code, parameter, answer)) {
        return answer;
    }
    command.active = true;
    return readHeader(*slot, index) ? LinkResult::Done : LinkResult::BlockFailed;
}

// The sample blocks of a band or map: `select(k)` makes A-scan k current before its block is
// decoded; a pause follows every block and the window may repaint.
template <typename Select>
bool receiveScans(TBaseAScanCell& record, std::uint32_t scans, std::uint32_t samples,
                  std::uint32_t pauseMs, platform::ui::Gauge* gauge, double base, double span,
                  Select select) {
    const std::size_t length = SampleBlockLength(samples);
    platform::ui::Clock& clock = platform::ui::currentClock();
    pByteArray buffer;
    for (std::uint32_t k = 0; k < scans; ++k) {
        moveGauge(gauge, static_cast<double>(k + 1) / scans, base, span);
        select(k);
        if (!link_detail::receiveBlock(buffer, length)) {
            return false;
        }
        clock.sleep(pauseMs);
        record.DecodeRawBuffer(std::span<const std::uint8_t>(buffer.data(), length));
        clock.processPaintEvents();
    }
    return true;
}

} // namespace

std::uint8_t ReceiveAScan(std::unique_ptr<TBaseAScanCell>& slot, int index) {
    CommandScope command;
    const std::uint8_t answer =
        startRecordRead(slot, CmdReadAScan, static_cast<std::uint16_t>(index + 1), index, command);
    if (answer != LinkResult::Done) {
        return answer;
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
    CommandScope command;
    const std::uint8_t answer =
        startRecordRead(slot, CmdReadBand, static_cast<std::uint16_t>(index), index, command);
    if (answer != LinkResult::Done) {
        return answer;
    }
    TBaseBandCell& band = *slot;
    const std::uint32_t scans = band.Config->BandLastAScan + 1u;
    const std::uint32_t samples = band.Config->AScanRange;
    if (scans > kMaxBandScans || samples > kMaxSamples) {
        return LinkResult::BlockFailed;
    }
    band.BandRecordIndex = static_cast<std::uint16_t>(index);
    band.ClearData();
    band.SetScanCount(static_cast<std::uint16_t>(scans));
    const bool complete = receiveScans(band, scans, samples, 10, gauge, base, span, [&](auto j) {
        band.SetCurrentScan(static_cast<std::uint16_t>(j));
    });
    if (!complete) {
        return LinkResult::BlockFailed;
    }
    band.ProcessReceived();
    return LinkResult::Done;
}

std::uint8_t ReceiveMap(std::unique_ptr<TBaseMapCell>& slot, int index,
                        platform::ui::Gauge* gauge, double base, double span) {
    CommandScope command;
    const std::uint8_t answer =
        startRecordRead(slot, CmdReadMap, static_cast<std::uint16_t>(index), index, command);
    if (answer != LinkResult::Done) {
        return answer;
    }
    TBaseMapCell& map = *slot;
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
    map.SetMapSize(static_cast<std::uint16_t>(rows), static_cast<std::uint16_t>(columns));
    // Rows outer, columns inner.
    const bool complete =
        receiveScans(map, rows * columns, samples, 30, gauge, base, span, [&](auto k) {
            map.SetCurrentRow(static_cast<std::uint16_t>(k / columns));
            map.SetCurrentScan(static_cast<std::uint16_t>(k % columns));
        });
    if (!complete) {
        return LinkResult::BlockFailed;
    }
    map.ProcessReceived();
    return LinkResult::Done;
}
