// The host's side of the driver contract for the simulator tests: the command buffer and the call
// sequences the link makes for each command.
#pragma once

#include "sim/DriverOperations.h"
#include "sim/SimControl.h"

#include <array>
#include <cstdint>
#include <vector>

namespace simtest {

using Bytes = std::vector<std::uint8_t>;

struct Host {
    std::array<std::uint8_t, 12> command{};

    // Step 3 and 4 of every command: code, parameter high byte first, then SendServiceBuffer.
    std::uint8_t send(std::uint8_t code, std::uint16_t parameter) {
        command[0] = code;
        command[1] = static_cast<std::uint8_t>(parameter >> 8);
        command[2] = static_cast<std::uint8_t>(parameter & 0xFF);
        return SendServiceBuffer(command.data());
    }

    // Commands 7 and 8 leave the parameter bytes as the previous command left them.
    std::uint8_t sendWithoutParameter(std::uint8_t code) {
        command[0] = code;
        return SendServiceBuffer(command.data());
    }

    std::uint8_t fetchReply() { return CheckServiceBuffer(command.data()); }

    // A receive buffer of length + 1 bytes, as the link makes them; nullopt-like empty on failure.
    std::uint8_t receive(std::uint32_t length, Bytes& into) {
        into.assign(length + 1, 0);
        return CheckBulkBuffer(into.data(), length, 0);
    }

    std::uint8_t transmit(Bytes block) {
        block.resize(257, 0);
        return SendBulkBuffer(block.data(), 256, 0);
    }
};

inline std::vector<TbSimCall> callLog() {
    std::vector<TbSimCall> calls(tbsim_call_count());
    for (unsigned i = 0; i < calls.size(); ++i) {
        tbsim_get_call(i, &calls[i]);
    }
    return calls;
}

// 256 bytes with a recognisable pattern.
inline Bytes patternBlock(std::uint8_t seed) {
    Bytes b(256);
    for (std::size_t i = 0; i < b.size(); ++i) {
        b[i] = static_cast<std::uint8_t>(seed + i * 7);
    }
    return b;
}

// Decodes raw samples by the instrument's rules (independently of the simulator's encoder): a
// (10 + s)-bit two's-complement-like code, scaled down by 2^s.
inline int decodeRawSample(std::uint8_t low, std::uint8_t high, int s) {
    const int full = (1023 << s) | 255;
    const int half = 512 << s;
    const int mask = 63 >> (4 - s);
    const int raw = (high & mask) * 256 + low;
    if (raw < half) {
        return raw >> s;
    }
    const int divisors[] = {1, 2, 4, 8, 16, 32};
    return -(full - raw + 1) / divisors[s];
}

} // namespace simtest
