// Test access to the simulated instrument that the link loads: the driver library is pointed at
// the simulator built beside the tests, and its control operations are taken from the very same
// loaded library, so the tests steer the instrument the link talks to.
#pragma once

#include "link/DOR4471IZOZudivarudaZira.h"
#include "platform/ui/Clock.h"
#include "platform/ui/MessageBox.h"
#include "sim/SimControl.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdlib>
#include <string>
#include <vector>

struct SimControl {
    void* handle = nullptr;
    decltype(&tbsim_reset) reset = nullptr;
    decltype(&tbsim_set_present) setPresent = nullptr;
    decltype(&tbsim_is_open) isOpen = nullptr;
    decltype(&tbsim_set_init_answer) setInitAnswer = nullptr;
    decltype(&tbsim_set_reply) setReply = nullptr;
    decltype(&tbsim_fail_call) failCall = nullptr;
    decltype(&tbsim_unplug_at_call) unplugAtCall = nullptr;
    decltype(&tbsim_call_count) callCount = nullptr;
    decltype(&tbsim_get_call) getCall = nullptr;
    decltype(&tbsim_clear_log) clearLog = nullptr;
    decltype(&tbsim_get_slot) getSlot = nullptr;
    decltype(&tbsim_set_slot) setSlot = nullptr;
    decltype(&tbsim_get_markup) getMarkup = nullptr;
    decltype(&tbsim_set_markup) setMarkup = nullptr;
    decltype(&tbsim_set_record_counts) setRecordCounts = nullptr;
    decltype(&tbsim_set_seed) setSeed = nullptr;
    decltype(&tbsim_set_map_shape) setMapShape = nullptr;

    static std::string libraryPath() { return std::string(TB_OUTPUT_DIR) + "/libVIZUrav.so"; }

    bool open() {
        handle = dlopen(libraryPath().c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            return false;
        }
        auto get = [&](auto& fn, const char* name) {
            fn = reinterpret_cast<std::remove_reference_t<decltype(fn)>>(dlsym(handle, name));
            return fn != nullptr;
        };
        return get(reset, "tbsim_reset") && get(setPresent, "tbsim_set_present") &&
               get(isOpen, "tbsim_is_open") && get(setInitAnswer, "tbsim_set_init_answer") &&
               get(setReply, "tbsim_set_reply") && get(failCall, "tbsim_fail_call") &&
               get(unplugAtCall, "tbsim_unplug_at_call") && get(callCount, "tbsim_call_count") &&
               get(getCall, "tbsim_get_call") && get(clearLog, "tbsim_clear_log") &&
               get(getSlot, "tbsim_get_slot") && get(setSlot, "tbsim_set_slot") &&
               get(getMarkup, "tbsim_get_markup") && get(setMarkup, "tbsim_set_markup") &&
               get(setRecordCounts, "tbsim_set_record_counts") &&
               get(setSeed, "tbsim_set_seed") &&
               get(setMapShape, "tbsim_set_map_shape");
    }

    void close() {
        if (handle) {
            dlclose(handle);
            handle = nullptr;
        }
    }

    std::vector<TbSimCall> calls() const {
        std::vector<TbSimCall> out(callCount());
        for (unsigned i = 0; i < out.size(); ++i) {
            getCall(i, &out[i]);
        }
        return out;
    }

    std::vector<TbSimCall> callsOf(int operation) const {
        std::vector<TbSimCall> out;
        for (const auto& c : calls()) {
            if (c.operation == operation) {
                out.push_back(c);
            }
        }
        return out;
    }
};

// Every test starts with the simulator loaded, reset, connected, and the pauses recorded.
class LinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("TOLLERBANK_DRIVER", SimControl::libraryPath().c_str(), 1);
        DisconnectUSBDevice();
        ASSERT_TRUE(sim.open()) << dlerror();
        sim.reset();
        ASSERT_EQ(ConnectUSBDevice(), 0);
        sim.clearLog();
    }

    void TearDown() override {
        USBBusy = 0;
        DisconnectUSBDevice();
        sim.close();
        unsetenv("TOLLERBANK_DRIVER");
    }

    SimControl sim;
    platform::ui::RecordingClock clock;
    platform::ui::ScopedClock clockScope{&clock};
    platform::ui::ScriptedMessageBoxes boxes;
    platform::ui::ScopedMessageBoxService boxScope{&boxes};
};
