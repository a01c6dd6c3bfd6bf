// Batch transfers: every configuration slot, or every record the instrument's flash markup
// announces, moved in one go with a progress gauge. Receiving batches fill the list's slots in
// order; after a failure the list keeps the items that arrived (count) and the failed one as far
// as it got.
#pragma once

#include "link/DOR4471IZOZudivarudaZira.h"

#include "config/ConfigSetUnit.h"
#include "records/BaseAScanUnit.h"
#include "records/BaseBandUnit.h"
#include "records/BaseMapUnit.h"

#include <cstdint>
#include <string>

namespace platform::ui {
class Gauge;
}

// 0 only when all 20 slots arrived; 1 otherwise.
std::uint8_t ReceiveConfigs(const TCorvantaAbsConfigCell* markup, PConfigsSet& list,
                            std::uint16_t& count, std::string& origin);

// 0 every modified configuration was sent; 1 not connected, the list is not whole, or a slot
// failed; 2 nothing was modified.
std::uint8_t SendConfigs(const TCorvantaAbsConfigCell* markup, PConfigsSet& list,
                         std::uint16_t count, platform::ui::Gauge* gauge, std::string& origin);

// 0 when every announced record arrived (also when none is announced); 1 otherwise.
std::uint8_t ReceiveAScans(const TCorvantaAbsConfigCell* markup, PAscansSet& list,
                           std::uint16_t& count, platform::ui::Gauge* gauge, std::string& origin);
std::uint8_t ReceiveBands(const TCorvantaAbsConfigCell* markup, PBandsSet& list,
                          std::uint16_t& count, platform::ui::Gauge* gauge, std::string& origin);
std::uint8_t ReceiveMaps(const TCorvantaAbsConfigCell* markup, PMapsSet& list,
                         std::uint16_t& count, platform::ui::Gauge* gauge, std::string& origin);
