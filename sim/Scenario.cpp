#include "sim/Scenario.h"

#include "platform/text/Numbers.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace sim {

namespace {

using platform::text::parseInteger;
using platform::text::trimBlanks;

constexpr std::array<std::string_view, 7> kOperationNames = {
    "InitUSB",        "CloseUSB",        "SendServiceBuffer", "CheckServiceBuffer",
    "SendBulkBuffer", "CheckBulkBuffer", "USBStatus",
};

template <typename T>
std::optional<T> integerIn(std::string_view text, std::int64_t low, std::int64_t high) {
    const std::optional<std::int64_t> value = parseInteger(text);
    if (!value || *value < low || *value > high) {
        return std::nullopt;
    }
    return static_cast<T>(*value);
}

// Operation:n[:command]
std::optional<FailureRule> parseRule(std::string_view text, bool unplug) {
    std::vector<std::string_view> parts;
    while (true) {
        const std::size_t colon = text.find(':');
        parts.push_back(trimBlanks(text.substr(0, colon)));
        if (colon == std::string_view::npos) {
            break;
        }
        text.remove_prefix(colon + 1);
    }
    if (parts.size() < 2 || parts.size() > 3) {
        return std::nullopt;
    }
    FailureRule rule;
    rule.unplug = unplug;
    rule.operation = operationByName(parts[0]);
    const std::optional<std::uint32_t> nth = integerIn<std::uint32_t>(parts[1], 1, UINT32_MAX);
    if (rule.operation == 0 || !nth) {
        return std::nullopt;
    }
    rule.nth = *nth;
    if (parts.size() == 3) {
        const std::optional<int> command = integerIn<int>(parts[2], 0, 255);
        if (!command) {
            return std::nullopt;
        }
        rule.command = *command;
    }
    return rule;
}

// One key=value line into the scenario; false when the line is not understood.
bool parseLine(std::string_view key, std::string_view value, Scenario& s) {
    if (key == "present") {
        const auto v = integerIn<int>(value, 0, 1);
        if (v) {
            s.present = *v == 1;
        }
        return v.has_value();
    }
    if (key == "init" || key == "reply") {
        const auto v = integerIn<std::uint8_t>(value, 0, 255);
        (key == "init" ? s.initAnswer : s.reply) = v;
        return v.has_value();
    }
    if (key == "ascans" || key == "bands" || key == "maps") {
        const auto v = integerIn<std::uint16_t>(value, 0, 65535);
        (key == "ascans" ? s.aScans : (key == "bands" ? s.bands : s.maps)) = v;
        return v.has_value();
    }
    if (key == "seed") {
        s.seed = integerIn<std::uint32_t>(value, 0, UINT32_MAX);
        return s.seed.has_value();
    }
    if (key == "fail" || key == "unplug") {
        const std::optional<FailureRule> rule = parseRule(value, key == "unplug");
        if (rule) {
            s.failures.push_back(*rule);
        }
        return rule.has_value();
    }
    return false;
}

} // namespace

int operationByName(std::string_view name) {
    for (std::size_t i = 0; i < kOperationNames.size(); ++i) {
        if (kOperationNames[i] == name) {
            return TBSIM_INIT_USB + static_cast<int>(i);
        }
    }
    return 0;
}

ScenarioParse parseScenario(std::string_view text) {
    ScenarioParse result;
    int lineNumber = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        line = trimBlanks(line);
        if (line.empty() || line.front() == '#') {
            continue;
        }
        const std::size_t equals = line.find('=');
        const bool understood = equals != std::string_view::npos &&
                                parseLine(trimBlanks(line.substr(0, equals)),
                                          trimBlanks(line.substr(equals + 1)), result.scenario);
        if (!understood) {
            result.errorLine = lineNumber;
            result.error = "not understood: " + std::string(line);
            result.scenario = Scenario{};
            return result;
        }
    }
    return result;
}

void applyScenario(Instrument& instrument, const Scenario& s) {
    if (s.seed) {
        instrument.setSource(std::make_unique<ModelRecordSource>(*s.seed));
    }
    if (s.aScans || s.bands || s.maps) {
        const std::array<std::uint16_t, 3> counts = instrument.recordCounts();
        instrument.setRecordCounts(s.aScans.value_or(counts[0]), s.bands.value_or(counts[1]),
                                   s.maps.value_or(counts[2]));
    }
    if (s.initAnswer) {
        instrument.setInitAnswer(*s.initAnswer);
    }
    if (s.reply) {
        instrument.setReply(*s.reply);
    }
    for (const FailureRule& rule : s.failures) {
        instrument.addFailure(rule.operation, rule.nth, rule.command, rule.unplug);
    }
    if (s.present) {
        instrument.setPresent(*s.present);
    }
}

int loadScenarioFile(Instrument& instrument, const std::filesystem::path& path,
                     std::string* error) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    if (!in || !(text << in.rdbuf())) {
        if (error != nullptr) {
            *error = "cannot read " + path.string();
        }
        return -1;
    }
    const ScenarioParse parsed = parseScenario(text.str());
    if (parsed.errorLine != 0) {
        if (error != nullptr) {
            *error =
                path.string() + ", line " + std::to_string(parsed.errorLine) + ": " + parsed.error;
        }
        return parsed.errorLine;
    }
    applyScenario(instrument, parsed.scenario);
    return 0;
}

void applyScenarioFromEnvironment(Instrument& instrument) {
    const char* path = std::getenv(kScenarioVariable);
    if (path == nullptr || *path == '\0') {
        return;
    }
    std::string error;
    if (loadScenarioFile(instrument, path, &error) != 0) {
        std::fprintf(stderr, "simulated instrument: scenario not applied: %s\n", error.c_str());
    }
}

} // namespace sim
