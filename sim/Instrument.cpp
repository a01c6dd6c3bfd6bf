#include "sim/Instrument.h"

#include "config/AbsConfigObjectUnit.h"
#include "sim/Scenario.h"

#include <algorithm>
#include <cstring>

namespace sim {

namespace {

// The version tag of the simulated firmware: "ver", major, minor, build, device kind.
constexpr std::array<std::uint8_t, 7> kVersionTag = {'v', 'e', 'r', 2, 2, 4, 1};

bool validSlot(std::uint16_t number) {
    return number >= 1 && number <= kSlotCount;
}

bool validOperation(int operation) {
    return operation >= TBSIM_INIT_USB && operation <= TBSIM_USB_STATUS;
}

TCorvantaAbsConfigCell parseMarkup(const Block& block) {
    TCorvantaAbsConfigCell cell;
    cell.ParseBlock(block);
    return cell;
}

} // namespace

Instrument::Instrument() {
    reset();
}

void Instrument::reset() {
    present_ = true;
    open_ = false;
    initAnswer_ = 2;
    reply_ = kReplySendBlock;
    source_ = std::make_unique<ModelRecordSource>(1);
    for (int n = 1; n <= kSlotCount; ++n) {
        slots_[n - 1] = source_->configuration(n);
    }
    markup_ = Block{};
    std::copy(kVersionTag.begin(), kVersionTag.end(),
              markup_.begin() + TCorvantaAbsConfigCell::VersionTagOffset);
    setRecordCounts(5, 3, 2);
    exchange_ = Exchange{};
    failures_.clear();
    log_.clear();
}

// ---- Control ------------------------------------------------------------------------------------

void Instrument::setPresent(bool present) {
    present_ = present;
    if (!present) {
        // Pulling the cable out closes the device and loses whatever exchange was under way.
        open_ = false;
        abandonExchange();
    }
}

bool Instrument::addFailure(int operation, std::uint32_t nth, int command, bool unplug) {
    if (!validOperation(operation) || nth == 0) {
        return false;
    }
    FailureRule rule;
    rule.operation = operation;
    rule.nth = nth;
    rule.command = command;
    rule.unplug = unplug;
    failures_.push_back(rule);
    return true;
}

const Block* Instrument::slot(int number) const {
    return number >= 1 && number <= kSlotCount ? &slots_[number - 1] : nullptr;
}

bool Instrument::setSlot(int number, const Block& block) {
    if (number < 1 || number > kSlotCount) {
        return false;
    }
    slots_[number - 1] = block;
    return true;
}

std::array<std::uint16_t, 3> Instrument::recordCounts() const {
    const TCorvantaAbsConfigCell cell = parseMarkup(markup_);
    return {cell.AScanArea.Count, cell.BandArea.Count, cell.MapArea.Count};
}

void Instrument::setRecordCounts(std::uint16_t aScans, std::uint16_t bands, std::uint16_t maps) {
    markup_ = layOutMarkup(aScans, bands, maps);
}

void Instrument::setSource(std::unique_ptr<RecordSource> source) {
    if (!source) {
        return;
    }
    source_ = std::move(source);
    const std::array<std::uint16_t, 3> counts = recordCounts();
    setRecordCounts(counts[0], counts[1], counts[2]);
}

std::uint32_t Instrument::recordBytes(RecordKind kind, std::uint16_t count) {
    std::uint64_t total = 0;
    for (std::uint16_t i = 0; i < count; ++i) {
        const RecordShape shape = shapeOf(kind, source_->header(kind, i));
        total += kBlockSize + static_cast<std::uint64_t>(shape.scans) * shape.blockLength;
        if (total > UINT32_MAX) {
            return UINT32_MAX;
        }
    }
    return static_cast<std::uint32_t>(total);
}

Block Instrument::layOutMarkup(std::uint16_t aScans, std::uint16_t bands, std::uint16_t maps) {
    // The factory A-scan area, and the rest of the large memory shared equally by maps and bands.
    TCorvantaAbsConfigCell cell;
    cell.SetDefaults();
    cell.MemorySizeIndex = 1;
    const std::uint32_t memoryEnd = cell.MemoryEnd();
    cell.MapArea.Start = cell.AScanArea.End;
    cell.MapArea.End = cell.MapArea.Start + (memoryEnd - cell.MapArea.Start) / 2;
    cell.BandArea.Start = cell.MapArea.End;
    cell.BandArea.End = memoryEnd;

    // Only records within the memory's limits take room; more make the markup invalid anyway.
    auto occupy = [this](TCorvantaMemoryArea& area, RecordKind kind, std::uint16_t count,
                         std::uint16_t limit) {
        area.Count = count;
        const std::uint32_t bytes = recordBytes(kind, std::min(count, limit));
        area.Occupied = static_cast<std::uint32_t>(
            std::min<std::int64_t>(bytes, std::max<std::int64_t>(area.Length(), 0)));
    };
    occupy(cell.AScanArea, RecordKind::AScan, aScans, TCorvantaAbsConfigCell::MaxAScans);
    occupy(cell.BandArea, RecordKind::Band, bands, TCorvantaAbsConfigCell::MaxBands);
    occupy(cell.MapArea, RecordKind::Map, maps, TCorvantaAbsConfigCell::MaxMaps);

    Block block{};
    cell.BuildBlock(block);
    const std::size_t tag = TCorvantaAbsConfigCell::VersionTagOffset;
    std::copy(markup_.begin() + tag, markup_.end(), block.begin() + tag);
    return block;
}

// ---- The protocol -------------------------------------------------------------------------------

bool Instrument::startCommand(std::uint8_t code, std::uint8_t high, std::uint8_t low) {
    exchange_ = Exchange{};
    exchange_.command = code;
    exchange_.paramHigh = high;
    exchange_.paramLow = low;
    const std::uint16_t param = parameter();
    switch (static_cast<Command>(code)) {
    case Command::WriteConfig:
    case Command::ReadConfig:
        if (!validSlot(param)) {
            return false;
        }
        if (static_cast<Command>(code) == Command::WriteConfig) {
            exchange_.phase = Phase::AwaitReply;
        } else {
            exchange_.block = slots_[param - 1];
            exchange_.phase = Phase::SendBlock;
        }
        return true;
    case Command::ReadAScan:
        // A-scans are numbered from 1 on the wire.
        if (param == 0) {
            return false;
        }
        startRecord(RecordKind::AScan, param - 1u);
        return true;
    case Command::ReadBand:
        startRecord(RecordKind::Band, param);
        return true;
    case Command::ReadMap:
        startRecord(RecordKind::Map, param);
        return true;
    case Command::ReadMarkup:
        exchange_.block = markup_;
        exchange_.phase = Phase::SendBlock;
        return true;
    case Command::WriteMarkup:
        exchange_.phase = Phase::AwaitReply;
        return true;
    }
    return false;
}

void Instrument::startRecord(RecordKind kind, std::uint32_t index) {
    const std::array<std::uint16_t, 3> counts = recordCounts();
    const std::uint16_t count =
        counts[kind == RecordKind::AScan ? 0 : (kind == RecordKind::Band ? 1 : 2)];
    exchange_.kind = kind;
    if (index >= count) {
        // The command is understood, but there is no such record: nothing will come.
        exchange_.phase = Phase::Idle;
        return;
    }
    exchange_.record = static_cast<std::uint16_t>(index);
    exchange_.block = source_->header(kind, exchange_.record);
    exchange_.phase = Phase::SendHeader;
}

bool Instrument::failsByRule(const TbSimCall& call) {
    bool fails = false;
    bool unplug = false;
    for (auto it = failures_.begin(); it != failures_.end();) {
        const bool matches =
            it->operation == call.operation &&
            (it->command == TBSIM_ANY_COMMAND || it->command == static_cast<int>(call.command));
        if (matches && ++it->seen == it->nth) {
            fails = true;
            unplug = unplug || it->unplug;
            it = failures_.erase(it);
        } else {
            ++it;
        }
    }
    if (unplug) {
        setPresent(false);
    }
    return fails;
}

std::uint8_t Instrument::finish(TbSimCall& call, std::uint8_t result) {
    call.result = result;
    if (log_.size() < kMaxLogEntries) {
        log_.push_back(call);
    }
    return result;
}

namespace {

TbSimCall newCall(int operation, std::uint8_t command, std::uint8_t high, std::uint8_t low) {
    TbSimCall call{};
    call.operation = operation;
    call.command = command;
    call.paramHigh = high;
    call.paramLow = low;
    return call;
}

} // namespace

std::uint8_t Instrument::initUsb() {
    TbSimCall call = newCall(TBSIM_INIT_USB, 0, 0, 0);
    abandonExchange();
    if (!present_ || failsByRule(call)) {
        open_ = false;
        return finish(call, 0);
    }
    open_ = initAnswer_ == 2 || initAnswer_ == 4;
    return finish(call, initAnswer_);
}

std::uint8_t Instrument::closeUsb() {
    TbSimCall call = newCall(TBSIM_CLOSE_USB, 0, 0, 0);
    if (failsByRule(call)) {
        return finish(call, 0);
    }
    open_ = false;
    abandonExchange();
    return finish(call, 1);
}

std::uint8_t Instrument::usbStatus() {
    TbSimCall call = newCall(TBSIM_USB_STATUS, 0, 0, 0);
    if (failsByRule(call)) {
        return finish(call, 0);
    }
    return finish(call, present_ ? 1 : 0);
}

std::uint8_t Instrument::sendServiceBuffer(std::uint8_t* buffer) {
    TbSimCall call = buffer != nullptr
                         ? newCall(TBSIM_SEND_SERVICE_BUFFER, buffer[0], buffer[1], buffer[2])
                         : newCall(TBSIM_SEND_SERVICE_BUFFER, 0, 0, 0);
    if (buffer == nullptr || !open_ || failsByRule(call)) {
        abandonExchange();
        return finish(call, 0);
    }
    if (!startCommand(buffer[0], buffer[1], buffer[2])) {
        abandonExchange();
        return finish(call, 0);
    }
    return finish(call, 1);
}

std::uint8_t Instrument::checkServiceBuffer(std::uint8_t* buffer) {
    TbSimCall call = newCall(TBSIM_CHECK_SERVICE_BUFFER, exchange_.command, exchange_.paramHigh,
                             exchange_.paramLow);
    if (buffer == nullptr || !open_ || failsByRule(call) || exchange_.phase != Phase::AwaitReply) {
        abandonExchange();
        return finish(call, 0);
    }
    buffer[0] = reply_;
    call.reply = reply_;
    if (reply_ == kReplySendBlock) {
        exchange_.phase = Phase::AwaitBlock;
    } else {
        // Any other reply: the instrument takes nothing for this command.
        abandonExchange();
    }
    return finish(call, 1);
}

std::uint8_t Instrument::sendBulkBuffer(const std::uint8_t* data, std::uint32_t length,
                                        std::uint32_t flags) {
    TbSimCall call =
        newCall(TBSIM_SEND_BULK_BUFFER, exchange_.command, exchange_.paramHigh, exchange_.paramLow);
    call.length = length;
    call.flags = flags;
    if (data == nullptr || !open_ || failsByRule(call) || exchange_.phase != Phase::AwaitBlock ||
        length != kBlockSize) {
        abandonExchange();
        return finish(call, 0);
    }
    if (static_cast<Command>(exchange_.command) == Command::WriteConfig) {
        std::memcpy(slots_[parameter() - 1].data(), data, kBlockSize);
    } else {
        // The markup data only: the firmware keeps its own version tag.
        std::memcpy(markup_.data(), data, TCorvantaAbsConfigCell::MarkupDataSize);
    }
    abandonExchange();
    return finish(call, 1);
}

std::uint8_t Instrument::checkBulkBuffer(std::uint8_t* data, std::uint32_t length,
                                         std::uint32_t flags) {
    TbSimCall call = newCall(TBSIM_CHECK_BULK_BUFFER, exchange_.command, exchange_.paramHigh,
                             exchange_.paramLow);
    call.length = length;
    call.flags = flags;
    if (data == nullptr || !open_ || failsByRule(call)) {
        abandonExchange();
        return finish(call, 0);
    }
    switch (exchange_.phase) {
    case Phase::SendBlock:
        if (length != kBlockSize) {
            break;
        }
        std::memcpy(data, exchange_.block.data(), kBlockSize);
        abandonExchange();
        return finish(call, 1);
    case Phase::SendHeader:
        if (length != kBlockSize) {
            break;
        }
        std::memcpy(data, exchange_.block.data(), kBlockSize);
        exchange_.shape = shapeOf(exchange_.kind, exchange_.block);
        exchange_.nextScan = 0;
        exchange_.phase = exchange_.shape.scans > 0 ? Phase::SendSamples : Phase::Idle;
        return finish(call, 1);
    case Phase::SendSamples:
        // The instrument streams each A-scan in the block length its header implies; a host
        // asking for another length has lost step with it.
        if (length != exchange_.shape.blockLength) {
            break;
        }
        std::memset(data, 0, length);
        source_->samples(exchange_.kind, exchange_.record, exchange_.nextScan,
                         std::span<std::uint8_t>(data, length));
        if (++exchange_.nextScan == exchange_.shape.scans) {
            abandonExchange();
        }
        return finish(call, 1);
    case Phase::Idle:
    case Phase::AwaitReply:
    case Phase::AwaitBlock:
        break;
    }
    abandonExchange();
    return finish(call, 0);
}

// ---- The shared instrument ----------------------------------------------------------------------

std::mutex& sharedInstrumentMutex() {
    static std::mutex mutex;
    return mutex;
}

Instrument& sharedInstrument() {
    static Instrument* instrument = [] {
        static Instrument shared;
        applyScenarioFromEnvironment(shared);
        return &shared;
    }();
    return *instrument;
}

} // namespace sim

// ---- The exported driver operations -------------------------------------------------------------

namespace {

template <typename Operation> unsigned char onSharedInstrument(Operation operation) {
    std::lock_guard<std::mutex> lock(sim::sharedInstrumentMutex());
    return operation(sim::sharedInstrument());
}

} // namespace

extern "C" {

unsigned char InitUSB(void) {
    return onSharedInstrument([](sim::Instrument& i) { return i.initUsb(); });
}

unsigned char CloseUSB(void) {
    return onSharedInstrument([](sim::Instrument& i) { return i.closeUsb(); });
}

unsigned char SendServiceBuffer(unsigned char* buffer) {
    return onSharedInstrument([=](sim::Instrument& i) { return i.sendServiceBuffer(buffer); });
}

unsigned char CheckServiceBuffer(unsigned char* buffer) {
    return onSharedInstrument([=](sim::Instrument& i) { return i.checkServiceBuffer(buffer); });
}

unsigned char SendBulkBuffer(unsigned char* data, unsigned int length, unsigned int flags) {
    return onSharedInstrument(
        [=](sim::Instrument& i) { return i.sendBulkBuffer(data, length, flags); });
}

unsigned char CheckBulkBuffer(unsigned char* data, unsigned int length, unsigned int flags) {
    return onSharedInstrument(
        [=](sim::Instrument& i) { return i.checkBulkBuffer(data, length, flags); });
}

unsigned char USBStatus(void) {
    return onSharedInstrument([](sim::Instrument& i) { return i.usbStatus(); });
}

} // extern "C"
