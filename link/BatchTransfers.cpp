#include "link/BatchTransfers.h"

#include "platform/text/Numbers.h"
#include "platform/ui/BusyCursor.h"
#include "platform/ui/Clock.h"
#include "platform/ui/Gauge.h"

#include "link/LinkInternals.h"

namespace {

// Marks a batch as running, so that a disconnect asked for meanwhile waits for its end.
class BatchScope {
public:
    BatchScope() { link_detail::beginBatch(); }
    ~BatchScope() { link_detail::endBatch(); }
    BatchScope(const BatchScope&) = delete;
    BatchScope& operator=(const BatchScope&) = delete;
};

int nearestPercent(double value) {
    return static_cast<int>(platform::text::roundHalfEven(value));
}

void moveGauge(platform::ui::Gauge* gauge, int percent) {
    if (gauge) {
        gauge->setProgress(percent);
    }
}

// The frame every receiving batch shares. `announced` items are read with `readOne(slot, i)`;
// `afterItem(i)` runs after each good read.
template <typename Record, typename ReadOne, typename AfterItem>
std::uint8_t receiveAll(const TCorvantaAbsConfigCell* markup,
                        std::vector<std::unique_ptr<Record>>& list, std::uint16_t& count,
                        std::string& origin, int announced, ReadOne readOne,
                        AfterItem afterItem) {
    if (USBConnected == 0 || !markup) {
        return BatchResult::Failed;
    }
    BatchScope batch;
    origin = GetDeviceName(*markup);
    count = 0;
    if (announced <= 0) {
        return BatchResult::AllDone;
    }
    platform::ui::Clock& clock = platform::ui::currentClock();
    std::uint8_t answer = BatchResult::AllDone;
    {
        platform::ui::BusyCursor hourglass;
        list.clear();
        list.resize(static_cast<std::size_t>(announced));
        for (int i = 0; i < announced; ++i) {
            if (readOne(list[static_cast<std::size_t>(i)], i) != LinkResult::Done) {
                answer = BatchResult::Failed;
                break;
            }
            ++count;
            afterItem(i);
        }
        if (count != announced) {
            answer = BatchResult::Failed;
        }
        clock.sleep(1);
    }
    platform::ui::setNormalProcessPriority();
    return answer;
}

} // namespace

std::uint8_t ReceiveConfigs(const TCorvantaAbsConfigCell* markup, PConfigsSet& list,
                            std::uint16_t& count, std::string& origin) {
    return receiveAll(
        markup, list, count, origin, 20,
        [&](std::unique_ptr<TBaseConfigCell>& slot, int i) {
            NewConfigCell(markup->Major, markup->Build, markup->Minor, slot);
            return ReceiveConfig(markup, slot, i + 1);
        },
        [](int) {});
}

std::uint8_t SendConfigs(const TCorvantaAbsConfigCell* markup, PConfigsSet& list,
                         std::uint16_t count, platform::ui::Gauge* gauge, std::string&) {
    // Only the first 20 configurations have slots in the instrument.
    const std::size_t usable = std::min<std::size_t>(count, 20);
    int flagged = 0;
    for (std::size_t i = 0; i < usable && i < list.size(); ++i) {
        if (list[i] && list[i]->Modified) {
            ++flagged;
        }
    }
    if (flagged == 0) {
        return BatchResult::NothingToSend;
    }
    if (USBConnected == 0 || list.size() != count) {
        return BatchResult::Failed;
    }
    BatchScope batch;
    platform::ui::Clock& clock = platform::ui::currentClock();
    platform::ui::BusyCursor hourglass;
    int sent = 0;
    for (std::size_t i = 0; i < usable; ++i) {
        TBaseConfigCell* config = list[i].get();
        if (config && config->Modified) {
            if (SendConfig(markup, config, static_cast<int>(i) + 1) == LinkResult::Done) {
                ++sent;
            }
            config->Modified = 0;
            clock.sleep(200);
        }
        moveGauge(gauge, nearestPercent(sent * 100.0 / flagged));
        clock.processPendingMessages();
    }
    return sent == flagged ? BatchResult::AllDone : BatchResult::Failed;
}

std::uint8_t ReceiveAScans(const TCorvantaAbsConfigCell* markup, PAscansSet& list,
                           std::uint16_t& count, platform::ui::Gauge* gauge, std::string& origin) {
    const int n = markup ? markup->AScanArea.Count : 0;
    return receiveAll(
        markup, list, count, origin, n,
        [](std::unique_ptr<TBaseAScanCell>& slot, int i) { return ReceiveAScan(slot, i); },
        [&](int i) {
            moveGauge(gauge, nearestPercent((i + 1) * 100.0 / n));
            platform::ui::currentClock().processPendingMessages();
        });
}

std::uint8_t ReceiveBands(const TCorvantaAbsConfigCell* markup, PBandsSet& list,
                          std::uint16_t& count, platform::ui::Gauge* gauge, std::string& origin) {
    const int n = markup ? markup->BandArea.Count : 0;
    return receiveAll(
        markup, list, count, origin, n,
        [&](std::unique_ptr<TBaseBandCell>& slot, int i) {
            return ReceiveBand(slot, i, gauge, static_cast<double>(i) / n, 1.0 / n);
        },
        [](int) { platform::ui::currentClock().processPendingMessages(); });
}

std::uint8_t ReceiveMaps(const TCorvantaAbsConfigCell* markup, PMapsSet& list,
                         std::uint16_t& count, platform::ui::Gauge* gauge, std::string& origin) {
    const int n = markup ? markup->MapArea.Count : 0;
    return receiveAll(
        markup, list, count, origin, n,
        [&](std::unique_ptr<TBaseMapCell>& slot, int i) {
            return ReceiveMap(slot, i, gauge, static_cast<double>(i) / n, 1.0 / n);
        },
        [](int) { platform::ui::currentClock().processPendingMessages(); });
}
