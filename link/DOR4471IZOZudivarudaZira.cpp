#include "link/DOR4471IZOZudivarudaZira.h"

#include "link/LinkInternals.h"

#include "config/LocalStringsUnit.h"
#include "platform/driver/DriverLocation.h"
#include "platform/driver/SharedLibrary.h"
#include "platform/ui/Gauge.h"
#include "platform/ui/MessageBox.h"

#include <optional>

std::uint8_t USBConnected = 0;
std::uint8_t USBBusy = 0;
std::array<std::uint8_t, 12> CommandBuffer{};

namespace {

using ByteOp = std::uint8_t();
using BufferOp = std::uint8_t(std::uint8_t*);
using BulkOp = std::uint8_t(std::uint8_t*, unsigned int, unsigned int);

// The driver library and its seven operations; all pointers are cleared when it is unloaded.
struct Driver {
    platform::driver::SharedLibrary library;
    ByteOp* InitUSB = nullptr;
    ByteOp* CloseUSB = nullptr;
    BufferOp* SendServiceBuffer = nullptr;
    BufferOp* CheckServiceBuffer = nullptr;
    BulkOp* SendBulkBuffer = nullptr;
    BulkOp* CheckBulkBuffer = nullptr;
    ByteOp* USBStatus = nullptr;

    bool loaded() const { return library.loaded() && InitUSB != nullptr; }

    void clear() {
        InitUSB = CloseUSB = USBStatus = nullptr;
        SendServiceBuffer = CheckServiceBuffer = nullptr;
        SendBulkBuffer = CheckBulkBuffer = nullptr;
        library.unload();
    }
};

Driver& driver() {
    static Driver d;
    return d;
}

// Batches in progress, and a disconnect that has to wait for them.
int batchDepth = 0;
bool disconnectPending = false;

constexpr std::uint8_t CmdWriteConfig = 1;
constexpr std::uint8_t CmdReadConfig = 3;
constexpr std::uint8_t CmdReadMarkup = 7;
constexpr std::uint8_t CmdWriteMarkup = 8;

constexpr std::uint8_t ReplyExpectingBlock = 2;

template <typename F> bool resolve(platform::driver::SharedLibrary& lib, const char* name, F*& out) {
    auto fn = lib.function<F>(name);
    if (!fn) {
        return false;
    }
    out = fn.value();
    return true;
}

bool loadDriver() {
    auto path = platform::driver::driverLibraryPath();
    if (!path) {
        return false;
    }
    auto lib = platform::driver::SharedLibrary::load(path.value());
    if (!lib) {
        return false;
    }
    Driver& d = driver();
    d.library = std::move(lib.value());
    const bool all = resolve(d.library, "InitUSB", d.InitUSB) &&
                     resolve(d.library, "CloseUSB", d.CloseUSB) &&
                     resolve(d.library, "CheckServiceBuffer", d.CheckServiceBuffer) &&
                     resolve(d.library, "SendServiceBuffer", d.SendServiceBuffer) &&
                     resolve(d.library, "CheckBulkBuffer", d.CheckBulkBuffer) &&
                     resolve(d.library, "SendBulkBuffer", d.SendBulkBuffer) &&
                     resolve(d.library, "USBStatus", d.USBStatus);
    if (!all) {
        // A library without all seven operations is no driver.
        d.clear();
        return false;
    }
    return true;
}


bool linkOpen() {
    return driver().loaded() && USBConnected == 1;
}

void setCommand(std::uint8_t code) {
    CommandBuffer[0] = code;
}

void setCommand(std::uint8_t code, std::uint16_t parameter) {
    CommandBuffer[0] = code;
    CommandBuffer[1] = static_cast<std::uint8_t>(parameter >> 8);
    CommandBuffer[2] = static_cast<std::uint8_t>(parameter & 0xFF);
}

bool sendCommand() {
    return driver().SendServiceBuffer(CommandBuffer.data()) == 1;
}

bool fetchReply() {
    return driver().CheckServiceBuffer(CommandBuffer.data()) == 1;
}

bool receiveBlock(pByteArray& buffer, std::size_t length) {
    // Buffers are one byte longer than the transfer, zero-filled.
    buffer.assign(length + 1, 0);
    return driver().CheckBulkBuffer(buffer.data(), static_cast<unsigned>(length), 0) == 1;
}

bool sendBlock(pByteArray& buffer) {
    return driver().SendBulkBuffer(buffer.data(), 256, 0) == 1;
}

void programmingError(const char* text) {
    platform::ui::messageBoxes().show(text, "Programming Error", platform::ui::MessageIcon::Error,
                                      platform::ui::MessageButtons::Ok);
}

} // namespace

std::uint8_t ConnectUSBDevice() {
    Driver& d = driver();
    if (!d.loaded() && !loadDriver()) {
        USBConnected = 0;
        return 2;
    }
    const std::uint8_t r = d.InitUSB();
    if (r == 2 || r == 4) {
        USBConnected = 1;
        return 0;
    }
    if (r != 0) {
        d.CloseUSB();
    }
    USBConnected = 0;
    return 1;
}

void DisconnectUSBDevice() {
    if (batchDepth > 0 || USBBusy) {
        disconnectPending = true;
        return;
    }
    disconnectPending = false;
    Driver& d = driver();
    if (USBConnected == 1 && d.loaded()) {
        d.CloseUSB();
    }
    USBConnected = 0;
    d.clear();
}

std::uint8_t CallUSBStatus() {
    Driver& d = driver();
    if (!d.loaded()) {
        return 0;
    }
    return d.USBStatus();
}

namespace link_detail {

void beginBatch() {
    ++batchDepth;
}

void endBatch() {
    if (batchDepth > 0) {
        --batchDepth;
    }
    if (batchDepth == 0 && disconnectPending && !USBBusy) {
        DisconnectUSBDevice();
    }
}

bool beginCommand(std::uint8_t code, std::optional<std::uint16_t> parameter,
                  std::uint8_t& answer) {
    if (USBBusy) {
        answer = LinkResult::Busy;
        return false;
    }
    if (!linkOpen()) {
        answer = LinkResult::CommandFailed;
        return false;
    }
    USBBusy = 1;
    if (parameter) {
        setCommand(code, *parameter);
    } else {
        setCommand(code);
    }
    if (!sendCommand()) {
        USBBusy = 0;
        answer = LinkResult::CommandFailed;
        return false;
    }
    return true;
}

void endCommand() {
    USBBusy = 0;
    if (batchDepth == 0 && disconnectPending) {
        DisconnectUSBDevice();
    }
}

bool receiveBlock(pByteArray& buffer, std::size_t length) {
    return ::receiveBlock(buffer, length);
}

} // namespace link_detail

using link_detail::CommandScope;

std::string GetDeviceName(const TCorvantaAbsConfigCell& markup) {
    const std::string kind = GetTxtVarValueString(markup.DeviceKind == 1 ? 27 : 29);
    return "R4471 " + kind + " v. " + std::to_string(markup.Major) + "." +
           std::to_string(markup.Minor) + "." + std::to_string(markup.Build);
}

bool ExtendedDeviceHook(TCorvantaAbsConfigCell&) {
    return false;
}

std::uint8_t ReceiveFlashMarkup(std::unique_ptr<TCorvantaAbsConfigCell>& markup,
                                std::string& deviceDescription) {
    if (USBBusy) {
        return LinkResult::Busy;
    }
    if (!markup) {
        markup = std::make_unique<TCorvantaAbsConfigCell>();
    }
    CommandScope command;
    std::uint8_t answer = LinkResult::Done;
    if (!link_detail::beginCommand(CmdReadMarkup, std::nullopt, answer)) {
        return answer;
    }
    command.active = true;
    pByteArray block;
    if (!receiveBlock(block, 256)) {
        return LinkResult::BlockFailed;
    }
    markup->ParseBlock(std::span<const std::uint8_t>(block.data(), 256));
    if (!markup->IsValid()) {
        markup->SetDefaults();
        answer = LinkResult::InvalidMarkup;
    }
    deviceDescription = GetDeviceName(*markup);
    return answer;
}

std::uint8_t SendFlashMarkup(TCorvantaAbsConfigCell* markup) {
    if (USBBusy) {
        return LinkResult::Busy;
    }
    if (!markup) {
        return LinkResult::NoSlot;
    }
    pByteArray block(257, 0);
    markup->BuildBlock(std::span<std::uint8_t>(block.data(), block.size()));
    CommandScope command;
    std::uint8_t answer = LinkResult::Done;
    if (!link_detail::beginCommand(CmdWriteMarkup, std::nullopt, answer)) {
        return answer;
    }
    command.active = true;
    if (!fetchReply()) {
        return LinkResult::CommandFailed;
    }
    if (CommandBuffer[0] == ReplyExpectingBlock && !sendBlock(block)) {
        return LinkResult::BlockFailed;
    }
    return LinkResult::Done;
}

std::uint8_t IdentifyConnectedDevice(std::unique_ptr<TCorvantaAbsConfigCell>& markup,
                                     std::string& deviceDescription) {
    if (USBConnected != 1) {
        return 1;
    }
    if (ReceiveFlashMarkup(markup, deviceDescription) != LinkResult::Done) {
        return 1;
    }
    if (markup->Major >= 2 && markup->Minor > 0) {
        ExtendedDeviceHook(*markup);
    }
    return 0;
}

std::uint8_t ReceiveConfig(const TCorvantaAbsConfigCell* markup,
                           std::unique_ptr<TBaseConfigCell>& slot, int slotNumber) {
    if (USBBusy) {
        return LinkResult::Busy;
    }
    if (!slot) {
        const std::uint8_t major = markup ? markup->Major : 0;
        const std::uint8_t build = markup ? markup->Build : 0;
        const std::uint8_t minor = markup ? markup->Minor : 0;
        NewConfigCell(major, build, minor, slot);
    }
    CommandScope command;
    std::uint8_t answer = LinkResult::Done;
    if (!link_detail::beginCommand(CmdReadConfig, static_cast<std::uint16_t>(slotNumber),
                                   answer)) {
        return answer;
    }
    command.active = true;
    pByteArray block;
    if (!receiveBlock(block, 256)) {
        return LinkResult::BlockFailed;
    }
    ParseInstrumentBlock(*slot, block, slotNumber);
    return LinkResult::Done;
}

std::uint8_t SendConfig(const TCorvantaAbsConfigCell*, TBaseConfigCell* config, int slotNumber) {
    if (USBBusy) {
        return LinkResult::Busy;
    }
    if (!config) {
        programmingError("Nil pointer passed! Contact developer! Error #1!");
        return LinkResult::NoSlot;
    }
    if (!linkOpen()) {
        return LinkResult::CommandFailed;
    }
    config->UpdateCursors();
    pByteArray block(257, 0);
    BuildInstrumentBlock(*config, block, slotNumber);
    CommandScope command;
    std::uint8_t answer = LinkResult::Done;
    if (!link_detail::beginCommand(CmdWriteConfig, static_cast<std::uint16_t>(slotNumber),
                                   answer)) {
        return answer;
    }
    command.active = true;
    if (!fetchReply()) {
        return LinkResult::CommandFailed;
    }
    if (CommandBuffer[0] == ReplyExpectingBlock && !sendBlock(block)) {
        return LinkResult::CommandFailed;
    }
    return LinkResult::Done;
}

std::size_t SampleBlockLength(std::uint32_t samples) {
    std::size_t blocks = (2 * static_cast<std::size_t>(samples)) / 256;
    if (samples % 256 != 0) {
        ++blocks;
    }
    return blocks * 256;
}
