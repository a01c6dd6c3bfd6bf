// The pieces every record text is made of: numbered field lines ("index:value"), field values
// checked against their width, and runs of sample lines, which make up nearly all of a
// measurement file and are therefore read and written without a per-line allocation.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

namespace platform::text {
class LineReader;
class AtomicFileWriter;
} // namespace platform::text

// A record text that cannot be read as one: a value that is not a number where the record's
// shape depends on it, a sample line that is not a number. Values too wide for their field raise
// platform::text::RangeError instead; the file readers turn both into their failure code.
class TRecordTextError : public std::runtime_error {
public:
    explicit TRecordTextError(const std::string& what) : std::runtime_error(what) {}
};

// The line that closes a record text.
constexpr std::uint16_t RecordEndIndex = 65534;
// ParseLine's answer for a line whose text before the colon is not a field number.
constexpr std::uint16_t NoFieldIndex = 65535;

// A line split at its first colon; without a colon the whole line is the index part.
struct TFieldLine {
    std::uint16_t Index = NoFieldIndex;
    std::string_view Value;
};
TFieldLine SplitFieldLine(std::string_view line);

// "index:" + value.
std::string FieldLine(int index, std::string_view value);

// A field value in 0..max. Text that is not a number gives `fallback`, or raises TRecordTextError
// when there is none; a number outside 0..max raises platform::text::RangeError.
std::uint32_t FieldValue(std::string_view text, std::uint32_t max,
                         std::optional<std::uint32_t> fallback);

// Whether what is left of the file can hold n sample lines: each is at least one character and a
// line end (the last needs no end). Records sized from an announced count ask this before they
// allocate, so a few damaged lines cannot cost more memory than their file could fill.
bool SampleLinesMayFollow(const platform::text::LineReader& file, std::uint64_t n);

// Reads n sample lines into dest (values beyond dest's length are read and dropped). False when
// the text ends first; a line that is not a 32-bit integer raises TRecordTextError.
bool ReadSampleLines(platform::text::LineReader& file, std::span<std::int32_t> dest,
                     std::uint32_t n);

// Writes n sample lines from src, 0 for samples src does not hold.
void WriteSampleLines(platform::text::AtomicFileWriter& file, std::span<const std::int32_t> src,
                      std::uint32_t n);
