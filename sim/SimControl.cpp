#include "sim/SimControl.h"

#include "sim/Instrument.h"
#include "sim/Scenario.h"

#include <algorithm>
#include <mutex>

namespace {

template <typename Action> auto onShared(Action action) {
    std::lock_guard<std::mutex> lock(sim::sharedInstrumentMutex());
    return action(sim::sharedInstrument());
}

sim::Block blockFrom(const unsigned char* bytes) {
    sim::Block block;
    std::copy(bytes, bytes + block.size(), block.begin());
    return block;
}

} // namespace

namespace sim {

void setRecordSource(std::unique_ptr<RecordSource> source) {
    onShared([&](Instrument& i) { i.setSource(std::move(source)); });
}

} // namespace sim

extern "C" {

void tbsim_reset(void) {
    onShared([](sim::Instrument& i) {
        i.reset();
        sim::applyScenarioFromEnvironment(i);
    });
}

void tbsim_set_present(int present) {
    onShared([=](sim::Instrument& i) { i.setPresent(present != 0); });
}

int tbsim_is_open(void) {
    return onShared([](sim::Instrument& i) { return i.open() ? 1 : 0; });
}

void tbsim_set_init_answer(unsigned char answer) {
    onShared([=](sim::Instrument& i) { i.setInitAnswer(answer); });
}

void tbsim_set_reply(unsigned char reply) {
    onShared([=](sim::Instrument& i) { i.setReply(reply); });
}

int tbsim_fail_call(int operation, unsigned int nth, int command) {
    return onShared(
        [=](sim::Instrument& i) { return i.addFailure(operation, nth, command, false) ? 0 : -1; });
}

int tbsim_unplug_at_call(int operation, unsigned int nth, int command) {
    return onShared(
        [=](sim::Instrument& i) { return i.addFailure(operation, nth, command, true) ? 0 : -1; });
}

void tbsim_clear_failures(void) {
    onShared([](sim::Instrument& i) { i.clearFailures(); });
}

unsigned int tbsim_call_count(void) {
    return onShared(
        [](sim::Instrument& i) { return static_cast<unsigned int>(i.callLog().size()); });
}

int tbsim_get_call(unsigned int index, TbSimCall* call) {
    return onShared([=](sim::Instrument& i) {
        if (call == nullptr || index >= i.callLog().size()) {
            return -1;
        }
        *call = i.callLog()[index];
        return 0;
    });
}

void tbsim_clear_log(void) {
    onShared([](sim::Instrument& i) { i.clearLog(); });
}

int tbsim_get_slot(int slot, unsigned char* block256) {
    return onShared([=](sim::Instrument& i) {
        const sim::Block* block = i.slot(slot);
        if (block == nullptr || block256 == nullptr) {
            return -1;
        }
        std::copy(block->begin(), block->end(), block256);
        return 0;
    });
}

int tbsim_set_slot(int slot, const unsigned char* block256) {
    return onShared([=](sim::Instrument& i) {
        if (block256 == nullptr) {
            return -1;
        }
        return i.setSlot(slot, blockFrom(block256)) ? 0 : -1;
    });
}

void tbsim_get_markup(unsigned char* block256) {
    if (block256 == nullptr) {
        return;
    }
    onShared(
        [=](sim::Instrument& i) { std::copy(i.markup().begin(), i.markup().end(), block256); });
}

void tbsim_set_markup(const unsigned char* block256) {
    if (block256 == nullptr) {
        return;
    }
    onShared([=](sim::Instrument& i) { i.setMarkup(blockFrom(block256)); });
}

void tbsim_set_record_counts(unsigned int aScans, unsigned int bands, unsigned int maps) {
    auto clampCount = [](unsigned int n) {
        return static_cast<std::uint16_t>(std::min(n, 65535u));
    };
    onShared([=](sim::Instrument& i) {
        i.setRecordCounts(clampCount(aScans), clampCount(bands), clampCount(maps));
    });
}

void tbsim_set_seed(unsigned int seed) {
    onShared(
        [=](sim::Instrument& i) { i.setSource(std::make_unique<sim::ModelRecordSource>(seed)); });
}

int tbsim_set_map_shape(unsigned int seed, unsigned int rows, unsigned int columns,
                        unsigned int samples) {
    if (rows > 65535 || columns > 65535 || samples > 65535) {
        return -1;
    }
    auto source = std::make_unique<sim::ModelRecordSource>(seed);
    try {
        source->setMapShape(static_cast<std::uint16_t>(rows), static_cast<std::uint16_t>(columns),
                            static_cast<std::uint16_t>(samples));
    } catch (const std::exception&) {
        return -1;
    }
    onShared([&](sim::Instrument& i) { i.setSource(std::move(source)); });
    return 0;
}

int tbsim_load_scenario(const char* path) {
    if (path == nullptr) {
        return -1;
    }
    return onShared([=](sim::Instrument& i) { return sim::loadScenarioFile(i, path); });
}

} // extern "C"
