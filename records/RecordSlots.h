// The shape every record list has: owned records in slots, with a 16-bit count kept beside the
// list by its owner.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

// Frees entry index and closes the gap. Refused (true, nothing changed) when the list's length
// differs from count or index is not below count.
template <typename Cell>
bool EraseRecord(std::vector<std::unique_ptr<Cell>>& list, std::uint16_t index,
                 std::uint16_t& count) {
    if (list.size() != count || index >= count) {
        return true;
    }
    list.erase(list.begin() + index);
    --count;
    return false;
}
