#include "records/SampleCube.h"

#include <algorithm>

namespace {

std::size_t cubeSize(std::uint32_t rows, std::uint32_t columns, std::uint32_t samples) {
    return static_cast<std::size_t>(rows) * columns * samples;
}

} // namespace

void TSampleCube::Assign(std::uint32_t rows, std::uint32_t columns, std::uint32_t samplesPerScan) {
    Release();
    // The old buffer is gone before the new one is made, so a large cube is never held twice.
    data_.assign(cubeSize(rows, columns, samplesPerScan), 0);
    rows_ = rows;
    columns_ = columns;
    samples_ = samplesPerScan;
}

void TSampleCube::Reshape(std::uint32_t rows, std::uint32_t columns, std::uint32_t samplesPerScan) {
    if (rows == rows_ && columns == columns_ && samplesPerScan == samples_) {
        return;
    }
    if (data_.empty()) {
        Assign(rows, columns, samplesPerScan);
        return;
    }
    std::vector<std::int32_t> next(cubeSize(rows, columns, samplesPerScan), 0);
    const std::uint32_t keepRows = std::min(rows, rows_);
    const std::uint32_t keepColumns = std::min(columns, columns_);
    const std::uint32_t keepSamples = std::min(samplesPerScan, samples_);
    for (std::uint32_t r = 0; r < keepRows; ++r) {
        for (std::uint32_t c = 0; c < keepColumns; ++c) {
            const auto from =
                data_.begin() + static_cast<std::ptrdiff_t>(
                                    (static_cast<std::size_t>(r) * columns_ + c) * samples_);
            const auto to =
                next.begin() + static_cast<std::ptrdiff_t>(
                                   (static_cast<std::size_t>(r) * columns + c) * samplesPerScan);
            std::copy_n(from, keepSamples, to);
        }
    }
    data_.swap(next);
    rows_ = rows;
    columns_ = columns;
    samples_ = samplesPerScan;
}

void TSampleCube::Release() {
    std::vector<std::int32_t>().swap(data_);
    rows_ = columns_ = samples_ = 0;
}

std::span<std::int32_t> TSampleCube::Scan(std::uint32_t row, std::uint32_t column) {
    if (row >= rows_ || column >= columns_ || samples_ == 0) {
        return {};
    }
    return std::span<std::int32_t>(data_).subspan(
        (static_cast<std::size_t>(row) * columns_ + column) * samples_, samples_);
}

std::span<const std::int32_t> TSampleCube::Scan(std::uint32_t row, std::uint32_t column) const {
    if (row >= rows_ || column >= columns_ || samples_ == 0) {
        return {};
    }
    return std::span<const std::int32_t>(data_).subspan(
        (static_cast<std::size_t>(row) * columns_ + column) * samples_, samples_);
}
