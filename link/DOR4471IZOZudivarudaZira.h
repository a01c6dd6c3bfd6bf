// The link to the instrument: its driver library loaded at run time, the command protocol spoken
// through it, and the batch transfers that move whole lists. Everything runs on the user-interface
// thread; each library call is made once and its answer is final.
//
// Result codes of single commands: 1 done; 0 (markup read only) the markup was invalid and is now
// at its defaults; 5 no slot to send from; 7 the command or its reply failed (for a configuration
// write also its data block), or no instrument is open; 8 a data block failed; 9 another command
// is in progress. Batches answer 0 all done, 1 not connected or an item failed, 2 nothing to send.
#pragma once

#include "config/AbsConfigObjectUnit.h"
#include "config/BaseConfigObjectUnit.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TBaseAScanCell;
class TBaseBandCell;
class TBaseMapCell;

namespace platform::ui {
class Gauge;
}

// Link result codes.
namespace LinkResult {
inline constexpr std::uint8_t InvalidMarkup = 0;
inline constexpr std::uint8_t Done = 1;
inline constexpr std::uint8_t NoSlot = 5;
inline constexpr std::uint8_t CommandFailed = 7;
inline constexpr std::uint8_t BlockFailed = 8;
inline constexpr std::uint8_t Busy = 9;
} // namespace LinkResult

namespace BatchResult {
inline constexpr std::uint8_t AllDone = 0;
inline constexpr std::uint8_t Failed = 1;
inline constexpr std::uint8_t NothingToSend = 2;
} // namespace BatchResult

// 1 while the instrument is open.
extern std::uint8_t USBConnected;
// 1 while a command is in progress.
extern std::uint8_t USBBusy;

// The command buffer: byte 0 the command going out and the reply coming back, bytes 1-2 the
// parameter, high byte first.
extern std::array<std::uint8_t, 12> CommandBuffer;

// 0 connected; 1 the instrument refused; 2 the driver library is missing or incomplete.
std::uint8_t ConnectUSBDevice();

// Closes the instrument and unloads the driver. Asked for while a batch runs, it waits for the
// batch to end.
void DisconnectUSBDevice();

// The driver's presence answer: 1 plugged in, 0 absent or no driver loaded.
std::uint8_t CallUSBStatus();

// 0 identified (the markup holds the instrument's, or the defaults when it sent an invalid one);
// 1 not connected or the markup could not be read.
std::uint8_t IdentifyConnectedDevice(std::unique_ptr<TCorvantaAbsConfigCell>& markup,
                                     std::string& deviceDescription);

// "R4471 <kind word> v. major.minor.build".
std::string GetDeviceName(const TCorvantaAbsConfigCell& markup);

// Reserved for extended instruments (firmware 2.1 and later); there is nothing to do yet.
bool ExtendedDeviceHook(TCorvantaAbsConfigCell& markup);

// Command 7.
std::uint8_t ReceiveFlashMarkup(std::unique_ptr<TCorvantaAbsConfigCell>& markup,
                                std::string& deviceDescription);
// Command 8.
std::uint8_t SendFlashMarkup(TCorvantaAbsConfigCell* markup);
// Command 3 into the slot (a configuration is created when the slot is empty).
std::uint8_t ReceiveConfig(const TCorvantaAbsConfigCell* markup,
                           std::unique_ptr<TBaseConfigCell>& slot, int slotNumber);
// Command 1 from the configuration.
std::uint8_t SendConfig(const TCorvantaAbsConfigCell* markup, TBaseConfigCell* config,
                        int slotNumber);
// Command 5: A-scan `index` (0-based) of the instrument's memory.
std::uint8_t ReceiveAScan(std::unique_ptr<TBaseAScanCell>& slot, int index);
// Command 9; base and span place the band's share on the gauge (fractions of the whole).
std::uint8_t ReceiveBand(std::unique_ptr<TBaseBandCell>& slot, int index, platform::ui::Gauge* gauge,
                         double base, double span);
// Command 10.
std::uint8_t ReceiveMap(std::unique_ptr<TBaseMapCell>& slot, int index, platform::ui::Gauge* gauge,
                        double base, double span);

// Bytes of the sample block of one A-scan of a band or map with `samples` samples: whole 256-byte
// blocks, one more when the sample count is not a multiple of 256.
std::size_t SampleBlockLength(std::uint32_t samples);
