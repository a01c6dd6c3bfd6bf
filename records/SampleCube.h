// The samples of a measurement record: rows x columns A-scans of a fixed number of samples each,
// kept in one contiguous buffer so that a 40 x 40 map of 4095 samples is one allocation and the
// views and files can walk it without chasing pointers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

class TSampleCube {
public:
    // A fresh cube of zeros; what it held before is released first.
    void Assign(std::uint32_t rows, std::uint32_t columns, std::uint32_t samplesPerScan);

    // The new shape, keeping every sample that lies inside both the old and the new shape; new
    // samples are 0.
    void Reshape(std::uint32_t rows, std::uint32_t columns, std::uint32_t samplesPerScan);

    // Frees the samples; the cube is then empty (0 x 0 x 0).
    void Release();

    bool Empty() const { return data_.empty(); }
    std::uint32_t Rows() const { return rows_; }
    std::uint32_t Columns() const { return columns_; }
    std::uint32_t SamplesPerScan() const { return samples_; }

    // The A-scan at (row, column); empty when the cube does not hold it.
    std::span<std::int32_t> Scan(std::uint32_t row, std::uint32_t column);
    std::span<const std::int32_t> Scan(std::uint32_t row, std::uint32_t column) const;

    // Every sample, row by row and within a row column by column.
    std::span<std::int32_t> All() { return data_; }
    std::span<const std::int32_t> All() const { return data_; }

private:
    std::vector<std::int32_t> data_;
    std::uint32_t rows_ = 0;
    std::uint32_t columns_ = 0;
    std::uint32_t samples_ = 0;
};
