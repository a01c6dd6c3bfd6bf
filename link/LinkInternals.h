// What the link's own files share: the command frame and the batch bookkeeping.
#pragma once

#include "config/BaseConfigObjectUnit.h"

#include <cstdint>
#include <optional>

namespace link_detail {

// Steps 1-4 of every command: refused while another runs (9) or without an open instrument (7);
// otherwise the busy flag is set and the command sent (7 when that fails, the flag cleared
// again). True means the command went out and endCommand must follow.
bool beginCommand(std::uint8_t code, std::optional<std::uint16_t> parameter, std::uint8_t& answer);
void endCommand();

// Instrument to host into a zero-filled buffer of length + 1 bytes.
bool receiveBlock(pByteArray& buffer, std::size_t length);

// A batch is running: a disconnect asked for meanwhile waits for its end.
void beginBatch();
void endBatch();

// Ends the command on every way out once it went out.
class CommandScope {
public:
    CommandScope() = default;
    ~CommandScope() {
        if (active) {
            endCommand();
        }
    }
    CommandScope(const CommandScope&) = delete;
    CommandScope& operator=(const CommandScope&) = delete;
    bool active = false;
};

} // namespace link_detail
