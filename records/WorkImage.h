// The rendering work areas of band and map pictures: a grid of signed values indexed [x][y], each
// column contiguous, so that one A-scan resampled down a column of the picture is one run of
// memory. Bands keep two of them between renderings; they are reallocated only when the picture's
// size changes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

struct TWorkImage {
    int Width = 0;  // columns (the first index)
    int Height = 0; // values per column
    std::vector<std::int32_t> Values;

    bool Empty() const { return Values.empty(); }

    // width columns of height zeros; negative sizes count as 0.
    void Reallocate(int width, int height) {
        Width = width > 0 ? width : 0;
        Height = height > 0 ? height : 0;
        Values.assign(static_cast<std::size_t>(Width) * static_cast<std::size_t>(Height), 0);
    }

    std::span<std::int32_t> Column(int x) {
        return {Values.data() + static_cast<std::size_t>(x) * static_cast<std::size_t>(Height),
                static_cast<std::size_t>(Height)};
    }
    std::span<const std::int32_t> Column(int x) const {
        return {Values.data() + static_cast<std::size_t>(x) * static_cast<std::size_t>(Height),
                static_cast<std::size_t>(Height)};
    }

    std::int32_t& At(int x, int y) {
        return Values[static_cast<std::size_t>(x) * static_cast<std::size_t>(Height) +
                      static_cast<std::size_t>(y)];
    }
    std::int32_t At(int x, int y) const {
        return Values[static_cast<std::size_t>(x) * static_cast<std::size_t>(Height) +
                      static_cast<std::size_t>(y)];
    }
};
