// The simulated instrument's side of the driver contract: whether it is plugged in and open, the
// command protocol as a small state machine (a command, then the reply or data blocks it calls
// for), its 20 configuration slots, its flash markup and the records that markup announces.
// One object is one instrument; the exported driver operations work on a shared one.
#pragma once

#include "sim/RecordSource.h"
#include "sim/SimControl.h"

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace sim {

// Command codes of the protocol.
enum class Command : std::uint8_t {
    WriteConfig = 1,
    ReadConfig = 3,
    ReadAScan = 5,
    ReadMarkup = 7,
    WriteMarkup = 8,
    ReadBand = 9,
    ReadMap = 10,
};

// The reply to a write command that asks for the data block.
inline constexpr std::uint8_t kReplySendBlock = 2;

struct FailureRule {
    int operation = 0;     // TbSimOperation
    std::uint32_t nth = 0; // 1-based, among the matching calls
    int command = TBSIM_ANY_COMMAND;
    bool unplug = false;    // pull the instrument out at that call
    std::uint32_t seen = 0; // matching calls so far
};

class Instrument {
public:
    // The power-on state, without any scenario file.
    Instrument();

    // ---- The seven driver operations -----------------------------------------------------------
    std::uint8_t initUsb();
    std::uint8_t closeUsb();
    std::uint8_t sendServiceBuffer(std::uint8_t* buffer);
    std::uint8_t checkServiceBuffer(std::uint8_t* buffer);
    std::uint8_t sendBulkBuffer(const std::uint8_t* data, std::uint32_t length,
                                std::uint32_t flags);
    std::uint8_t checkBulkBuffer(std::uint8_t* data, std::uint32_t length, std::uint32_t flags);
    std::uint8_t usbStatus();

    // ---- Control -------------------------------------------------------------------------------
    void reset();
    void setPresent(bool present);
    bool present() const { return present_; }
    bool open() const { return open_; }
    void setInitAnswer(std::uint8_t answer) { initAnswer_ = answer; }
    void setReply(std::uint8_t reply) { reply_ = reply; }

    // False for an operation outside TbSimOperation or nth = 0.
    bool addFailure(int operation, std::uint32_t nth, int command, bool unplug);
    void clearFailures() { failures_.clear(); }

    const std::vector<TbSimCall>& callLog() const { return log_; }
    void clearLog() { log_.clear(); }

    // Slots are numbered 1..20; nullptr for another number.
    const Block* slot(int number) const;
    bool setSlot(int number, const Block& block);

    const Block& markup() const { return markup_; }
    void setMarkup(const Block& block) { markup_ = block; }
    void setRecordCounts(std::uint16_t aScans, std::uint16_t bands, std::uint16_t maps);
    // The counts the markup announces now: A-scans, bands, maps.
    std::array<std::uint16_t, 3> recordCounts() const;

    void setSource(std::unique_ptr<RecordSource> source);
    RecordSource& source() { return *source_; }

    // The log keeps the first this many calls after a clear; later calls are not logged.
    static constexpr std::size_t kMaxLogEntries = 1u << 20;

private:
    enum class Phase {
        Idle,        // no exchange under way
        AwaitReply,  // a write command was sent; the host fetches the reply next
        AwaitBlock,  // the reply asked for the write command's data block
        SendBlock,   // a configuration or the markup waits to be read
        SendHeader,  // a record's header waits to be read
        SendSamples, // the record's A-scans wait to be read, one block each
    };

    struct Exchange {
        Phase phase = Phase::Idle;
        std::uint8_t command = 0;
        std::uint8_t paramHigh = 0;
        std::uint8_t paramLow = 0;
        RecordKind kind = RecordKind::AScan;
        std::uint16_t record = 0;
        Block block{};
        RecordShape shape;
        std::uint32_t nextScan = 0;
    };

    std::uint16_t parameter() const {
        return static_cast<std::uint16_t>((exchange_.paramHigh << 8) | exchange_.paramLow);
    }

    // Starts the exchange of a command; false when the instrument does not know the command or
    // its parameter.
    bool startCommand(std::uint8_t code, std::uint8_t high, std::uint8_t low);
    void startRecord(RecordKind kind, std::uint32_t index);

    // Applies the failure rules to a call; true when one makes it fail.
    bool failsByRule(const TbSimCall& call);
    std::uint8_t finish(TbSimCall& call, std::uint8_t result);
    void abandonExchange() { exchange_ = Exchange{}; }
    // A markup block dividing the large memory for these counts, with the current version tag.
    Block layOutMarkup(std::uint16_t aScans, std::uint16_t bands, std::uint16_t maps);
    std::uint32_t recordBytes(RecordKind kind, std::uint16_t count);

    bool present_ = true;
    bool open_ = false;
    std::uint8_t initAnswer_ = 2;
    std::uint8_t reply_ = kReplySendBlock;
    std::unique_ptr<RecordSource> source_;
    std::array<Block, kSlotCount> slots_{};
    Block markup_{};
    Exchange exchange_;
    std::vector<FailureRule> failures_;
    std::vector<TbSimCall> log_;
};

// The instrument behind the exported operations, in its power-on state (with the scenario file
// of TOLLERBANK_SIM_SCENARIO applied) when first used. Lock sharedInstrumentMutex() around use.
Instrument& sharedInstrument();
std::mutex& sharedInstrumentMutex();

} // namespace sim
