#include "records/RecordText.h"

#include "platform/text/LineFile.h"
#include "platform/text/Numbers.h"

#include <array>
#include <charconv>
#include <limits>

namespace text = platform::text;

TFieldLine SplitFieldLine(std::string_view line) {
    const std::size_t colon = line.find(':');
    const std::string_view head = line.substr(0, colon);
    TFieldLine out;
    if (colon != std::string_view::npos) {
        out.Value = line.substr(colon + 1);
    }
    const auto index = text::parseInteger(head);
    if (index && *index >= 0 && *index < NoFieldIndex) {
        out.Index = static_cast<std::uint16_t>(*index);
    }
    return out;
}

std::string FieldLine(int index, std::string_view value) {
    std::string line = text::formatInteger(index);
    line += ':';
    line += value;
    return line;
}

std::uint32_t FieldValue(std::string_view value, std::uint32_t max,
                         std::optional<std::uint32_t> fallback) {
    const auto number = text::parseInteger(value);
    if (!number) {
        if (fallback) {
            return *fallback;
        }
        throw TRecordTextError("Not a number: \"" + std::string(value) + "\"");
    }
    if (*number < 0 || *number > static_cast<std::int64_t>(max)) {
        throw text::RangeError("Range check error: " + std::string(value));
    }
    return static_cast<std::uint32_t>(*number);
}

namespace {

// Most sample lines are plain decimal integers; the general parser (blanks, a plus sign) is the
// slow path for the rest.
std::int32_t sampleValue(std::string_view line) {
    std::int32_t v = 0;
    const char* end = line.data() + line.size();
    const auto [ptr, ec] = std::from_chars(line.data(), end, v);
    if (ec == std::errc() && ptr == end) {
        return v;
    }
    const auto number = text::parseInteger(line);
    if (!number || *number < std::numeric_limits<std::int32_t>::min() ||
        *number > std::numeric_limits<std::int32_t>::max()) {
        throw TRecordTextError("Not a sample value: \"" + std::string(line) + "\"");
    }
    return static_cast<std::int32_t>(*number);
}

} // namespace

bool SampleLinesMayFollow(const text::LineReader& file, std::uint64_t n) {
    // n lines take at least 2n - 1 bytes.
    const std::uint64_t left = file.bytesLeft();
    return n <= left / 2 + left % 2;
}

bool ReadSampleLines(text::LineReader& file, std::span<std::int32_t> dest, std::uint32_t n) {
    std::string_view line;
    for (std::uint32_t i = 0; i < n; ++i) {
        if (!file.next(line)) {
            return false;
        }
        const std::int32_t v = sampleValue(line);
        if (i < dest.size()) {
            dest[i] = v;
        }
    }
    return true;
}

void WriteSampleLines(text::AtomicFileWriter& file, std::span<const std::int32_t> src,
                      std::uint32_t n) {
    // Each line is at most 11 characters and CR LF.
    constexpr std::size_t kChunk = 1 << 16;
    constexpr std::size_t kLongestLine = 13;
    std::array<char, kChunk> buffer;
    std::size_t used = 0;
    for (std::uint32_t i = 0; i < n; ++i) {
        if (used + kLongestLine > buffer.size()) {
            file.write(buffer.data(), used);
            used = 0;
        }
        const std::int32_t v = i < src.size() ? src[i] : 0;
        char* p = std::to_chars(buffer.data() + used, buffer.data() + buffer.size(), v).ptr;
        *p++ = '\r';
        *p++ = '\n';
        used = static_cast<std::size_t>(p - buffer.data());
    }
    if (used > 0) {
        file.write(buffer.data(), used);
    }
}
