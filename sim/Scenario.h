// Scenario files: a few lines of key=value text that set the simulated instrument up, so that the
// unmodified program can be driven through a particular situation (no instrument, a refusing
// one, a transfer that breaks off). The file named by TOLLERBANK_SIM_SCENARIO is applied whenever
// the instrument comes to its power-on state.
//
//   # comment lines and blank lines are ignored
//   present=1        plugged in (1) or not (0)
//   init=2           what InitUSB answers
//   reply=2          the reply byte to write commands
//   ascans=5         records announced by the markup (bands=, maps= likewise)
//   seed=1           seed of the signal model's record content
//   fail=CheckBulkBuffer:3[:9]     the 3rd call of the operation (made for command 9) fails
//   unplug=CheckBulkBuffer:40[:10] at that call the instrument is pulled out
#pragma once

#include "sim/Instrument.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

inline constexpr const char* kScenarioVariable = "TOLLERBANK_SIM_SCENARIO";

struct Scenario {
    std::optional<bool> present;
    std::optional<std::uint8_t> initAnswer;
    std::optional<std::uint8_t> reply;
    std::optional<std::uint16_t> aScans;
    std::optional<std::uint16_t> bands;
    std::optional<std::uint16_t> maps;
    std::optional<std::uint32_t> seed;
    std::vector<FailureRule> failures;
};

struct ScenarioParse {
    Scenario scenario;
    int errorLine = 0; // 1-based; 0 when the whole text was understood
    std::string error;
};

ScenarioParse parseScenario(std::string_view text);

// The operation number of a driver operation's name (InitUSB ... USBStatus), or 0.
int operationByName(std::string_view name);

void applyScenario(Instrument& instrument, const Scenario& scenario);

// Reads and applies a file. 0 when applied; the first bad line's number (nothing applied); -1
// when the file cannot be read. `error` receives the reason.
int loadScenarioFile(Instrument& instrument, const std::filesystem::path& path,
                     std::string* error = nullptr);

// Applies the file named by the environment variable, if any; problems go to standard error.
void applyScenarioFromEnvironment(Instrument& instrument);

} // namespace sim
