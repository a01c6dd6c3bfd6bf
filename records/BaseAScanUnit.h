// One A-scan as the instrument took it: the echo trace, the configuration it was taken under, the
// operator's comments and the colours it is drawn with. The A-scan is also the base of the band
// and map records, which keep their A-scans in the same rows x columns x samples cube. This unit
// decodes the instrument's raw samples, prepares a received trace (time-varied gain, the strobe's
// echo), answers the measuring point's amplitude and reads and writes the record text.
#pragma once

#include "config/BaseConfigObjectUnit.h"
#include "records/RecordText.h"
#include "records/SampleCube.h"

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace platform::text {
class LineReader;
class AtomicFileWriter;
} // namespace platform::text

// 0x00BBGGRR, the same values platform::gfx draws with.
using TColor = std::uint32_t;

// 100 % amplitude in sample units; strobe levels are percentages of it.
constexpr double AmplitudeReference = 16384.0 / 45.0;

// Samples every A-scan slot holds, and the most a record text may announce for one A-scan.
constexpr std::uint32_t AScanSlotSamples = 4097;

// What reading one record text gave: whether the text reached its closing line, whether it is a
// whole record (closed, and its sample lines read for the shape it closes with), and the number
// of samples (A-scan) or A-scans (band, map) a whole record holds. A record that is not whole
// keeps what was read, sized no larger than its sample lines made it; its Count is 0.
struct TRecordTextResult {
    std::uint32_t Count = 0;
    bool Closed = false;
    bool Whole = false;
};

// Rows, columns and samples per A-scan.
using TRecordShape = std::array<std::uint32_t, 3>;

class TBaseAScanCell {
public:
    // One row, one column, one A-scan of 4097 zero samples; identity bytes 0; a configuration
    // created with identity 0, 0, 0 (callers reset or read it); screen colours; one comment line,
    // caption 326.
    TBaseAScanCell();
    virtual ~TBaseAScanCell() = default;
    TBaseAScanCell(const TBaseAScanCell&) = delete;
    TBaseAScanCell& operator=(const TBaseAScanCell&) = delete;

    // ---- Identity and samples -------------------------------------------------------------------

    // Stores the identity bytes and replaces the configuration by a fresh one of that identity.
    void SetConfigIdentity(std::uint8_t identity3, std::uint8_t kind, std::uint8_t version);

    // N: the samples of an A-scan, the configuration's ASCAN_PIXEL_LENGTH.
    std::uint32_t SampleCount() const { return Config ? Config->AScanRange : 0; }

    // The A-scan at (row, column) with all its allocated samples; empty when the cube does not
    // hold it.
    std::span<std::int32_t> Scan(std::uint32_t row, std::uint32_t column) {
        return Data.Scan(row, column);
    }
    std::span<const std::int32_t> Scan(std::uint32_t row, std::uint32_t column) const {
        return Data.Scan(row, column);
    }

    // The first N samples of the current A-scan (fewer when the slot holds fewer): every
    // algorithm on "the trace" works on this.
    std::span<std::int32_t> Trace();
    std::span<const std::int32_t> Trace() const;

    const TSampleCube& Cube() const { return Data; }

    // Decodes the instrument's raw sample block into the current A-scan: sample i is bytes 2i
    // (low) and 2i + 1 (high), a (10 + averager index)-bit two's complement code. Reads at most
    // min(N, bytes / 2, allocated samples); the rest stays as it was.
    void DecodeRawBuffer(std::span<const std::uint8_t> block);

    // ---- Signal preparation ---------------------------------------------------------------------

    // After a reading over the link: the time-varied gain, then the echo search.
    virtual void ProcessReceived();

    // sample[s] := nearest(sample[s] x TVG factor[s]); a missing or non-finite factor is 1.
    void ApplyTVG();

    // The marker (the configuration's auxiliary time) goes to the peak of the first echo inside
    // strobe 1 that reaches the strobe level, else stays at cursor 1's time.
    void FindGateEcho();

    // A click at x in a view `width` pixels wide showing the whole trace: marker and active
    // cursor (cursor 2 with two cursors, else cursor 1) := x / width x N.
    virtual void SetMarkerFromMouse(std::uint16_t x, std::uint16_t width);

    // The same for the zoom view, which shows exactly strobe 1.
    void SetZoomMarkerFromMouse(std::uint16_t x, std::uint16_t width);

    // The signal at the measuring point (cursor 2 with two cursors, else the marker), linearly
    // interpolated between samples; 0 for an empty trace.
    std::int32_t GetAmplitude() const;

    // 20 log10 |amplitude| + 100 - attenuator 1 count; an amplitude of 0 counts as 1.
    double GetAmplitudeDb() const;

    // True when none of samples 0 .. N - 2 is above 0.
    bool IsNonPositive() const;

    // ---- Colours --------------------------------------------------------------------------------

    // The twelve drawing colours: 0 screen, any other value but 1 screen too, 1 print. The
    // record's own scheme is ColorScheme; a drawing that applies another restores it with
    // TSchemeOverride.
    virtual void SetColorScheme(std::uint8_t scheme);

    // Colour n, 1..12, as the views number them.
    TColor Color(int n) const;

    // ---- Record text ----------------------------------------------------------------------------

    // Splits a line at its first colon and hands the value to SetFieldValue; answers the index
    // (65535 when the text before the colon is not a number).
    virtual std::uint16_t ParseLine(std::string_view line);
    virtual void SetField(std::uint16_t index, std::string_view value);
    virtual void SetFieldValue(std::uint16_t index, std::string_view value) {
        SetField(index, value);
    }
    // One field as decimal text; "" for an index without a value.
    virtual std::string GetFieldValue(std::uint16_t index);
    std::string GetFieldLine(std::uint16_t index) { return FieldLine(index, GetFieldValue(index)); }

    // The record text: numbered fields in ascending order, each followed by the lines it
    // carries, closed by "65534:".
    void SaveToText(platform::text::AtomicFileWriter& file);

    // Resets the configuration, then reads field lines up to "65534:" or the end of the text.
    // Field values too wide for their field raise platform::text::RangeError, unreadable shapes
    // and samples TRecordTextError. Only a whole record is sized to its configuration.
    TRecordTextResult LoadFromText(platform::text::LineReader& file);

    // The old form: the positional configuration text, then the samples.
    virtual void SaveToOldText(platform::text::AtomicFileWriter& file);

    // Sizes the record from its configuration and reads the sample lines of every A-scan, as the
    // sample field of the record text and the old form carry them. False when the text ends
    // first.
    virtual bool ReadAllSamples(platform::text::LineReader& file);

    // n sample lines of the current A-scan.
    void WriteSamples(platform::text::AtomicFileWriter& file, std::uint32_t n) const;
    bool ReadSamples(platform::text::LineReader& file, std::uint32_t n);

    // ---- Fields ---------------------------------------------------------------------------------

    std::uint16_t Count1 = 1; // rows
    std::uint16_t Count2 = 1; // columns
    std::uint16_t Index1 = 0; // current row
    std::uint16_t Index2 = 0; // current column
    std::uint8_t Kind = 0;
    std::uint8_t Version = 0;
    std::uint8_t Identity3 = 0;
    std::unique_ptr<TBaseConfigCell> Config;
    std::uint8_t Marked = 0; // chosen for saving
    std::uint16_t RecordIndex = 0;
    std::uint16_t ConfigIndex = 0;
    std::uint8_t ColorScheme = 0;
    std::vector<std::string> Comments;
    std::uint16_t CommentCount = 0;
    std::array<TColor, 12> Colors{};
    std::uint16_t HueLow = 0;
    std::uint16_t HueHigh = 0;

protected:
    // The fields of the record text, the last one, and the lines each field carries.
    virtual std::uint16_t LastFieldIndex() const { return 8; }
    virtual void WriteFieldLines(std::uint16_t index, platform::text::AtomicFileWriter& file);
    // False when the text ends before the field's lines do.
    virtual bool ReadFieldLines(std::uint16_t index, platform::text::LineReader& file);

    // The field whose lines are the samples, and the shape the fields read so far announce.
    virtual std::uint16_t SamplesFieldIndex() const { return 7; }
    virtual TRecordShape AnnouncedShape() const { return {1, 1, SampleCount()}; }

    // The configuration number LoadFromText resets with.
    virtual std::uint16_t ResetNumber() const { return RecordIndex; }
    // What LoadFromText answers, once the cube agrees with the configuration.
    virtual std::uint32_t ConformAfterLoad();

    // Comment lines after a comment-count field.
    bool ReadCommentLines(platform::text::LineReader& file);
    void WriteCommentLines(platform::text::AtomicFileWriter& file) const;
    // The configuration as a parameter-numbered text.
    bool ReadConfigLines(platform::text::LineReader& file);

    TSampleCube Data;
};

// True when none of the trace's samples but the last is above 0.
bool TraceIsNonPositive(std::span<const std::int32_t> trace);

// An owned record per slot; the count travels beside the list.
using PAscansSet = std::vector<std::unique_ptr<TBaseAScanCell>>;

// Removes entry index: refused (true) when the list's length differs from count or index is not
// below count.
bool EraseAScan(PAscansSet& list, std::uint16_t index, std::uint16_t& count);

// Applies a colour scheme to a record for one drawing and restores the record's own scheme on
// every way out. Scheme 254 keeps the record's colours.
class TSchemeOverride {
public:
    TSchemeOverride(TBaseAScanCell& record, std::uint8_t scheme);
    ~TSchemeOverride();
    TSchemeOverride(const TSchemeOverride&) = delete;
    TSchemeOverride& operator=(const TSchemeOverride&) = delete;

private:
    TBaseAScanCell& record_;
    bool applied_;
};

// The scheme argument of the drawing operations that keeps the record's colours.
constexpr std::uint8_t KeepScheme = 254;
