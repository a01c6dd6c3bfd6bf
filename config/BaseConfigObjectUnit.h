// One instrument configuration: its 85 parameters addressed by number, the strings the user sees
// and the files hold, validation, the quantities derived from the parameters (pixels and times,
// strobe limits, cursors, the time-varied gain curve, gain in dB), the 256-byte block that travels
// to and from the instrument, and the two text forms that configuration and measurement files
// embed.
#pragma once

#include "config/BaseConfigObjectConstantsUnit.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform::text {
class LineReader;
class AtomicFileWriter;
} // namespace platform::text

// How the main window edits one parameter, independent of any toolkit: a mask edit with EditMask
// (empty: no mask), or, when PickList holds entries, a drop-down list of them.
struct TEditorItem {
    std::string EditMask;
    std::vector<std::string> PickList;
    bool ReadOnly = false; // the user picks, does not type
};

struct TLegacyShape;

class TBaseConfigCell {
public:
    // Identity bytes from the arguments, one comment line (caption 177), everything else zero:
    // callers follow with ResetAll or one of the readers.
    TBaseConfigCell(std::uint8_t kind, std::uint8_t version, std::uint8_t variant);

    bool operator==(const TBaseConfigCell&) const = default;

    // ---- Parameters ---------------------------------------------------------------------------

    // The numeric value of a parameter (5: the name's length; 47, 48: point `index` while it is an
    // active point; 81, 82, 84: computed); 0 for a number outside 0..84.
    double GetParamValue(int number, int index = 0) const;

    // The text the user sees, and the text of the parameter-numbered file form.
    std::string GetParamDisplayString(int number) const;
    std::string GetParamRawString(int number) const;

    // The inverses. Unreadable text falls back to the parameter's default; a value that does not
    // fit its field raises platform::text::RangeError.
    void SetParamDisplayString(int number, const std::string& text);
    void SetParamRawString(int number, const std::string& text);

    void ResetParam(std::uint16_t configNumber, int number);
    void ResetAll(std::uint16_t configNumber);

    // False when the value was out of range; the parameter then holds the value validation left
    // (as a rule its default, a strobe moved into its allowed range) and `message` says why.
    bool ValidateParam(int number, std::string& message);
    bool ValidateAll();

    // Steps a two- or three-valued parameter to its next value.
    void CycleParam(int number);

    std::string GetParamCaption(int number) const;
    TEditorItem SetupEditorItem(int number) const;

    // One line of the parameter-numbered text: "number:raw string".
    std::string FormatParamLine(int number) const;
    // Applies one such line and answers its number (65535 when the text before the colon is not a
    // number). The derived lines 71, 81, 82 and 84 are not applied: the lines they derive from
    // are in the text too.
    int ParseParamLine(const std::string& line);

    // ---- Derived quantities ---------------------------------------------------------------------

    // The instrument's A-scan picture is 320 pixels wide and spans the A-scan range.
    std::int32_t TimeToPixel(double time) const;
    double PixelToTime(std::int32_t pixel) const;

    // Strobe 0 is the user's strobe 1, strobe 1 the user's strobe 2.
    void StrobeTimesFromPixels(int strobe);
    void StrobePixelsFromTimes(int strobe);

    // Keep the strobe on the picture; true when nothing had to change. LimitStrobeLength always
    // gives the allowed lengths, LimitStrobeBegin gives the allowed begins only when it moved it.
    bool LimitStrobeLength(int strobe, double& shortest, double& longest);
    bool LimitStrobeBegin(int strobe, double& earliest, double& latest);

    // Pixels are the truth: times from pixels, the TVG curve, no comment lines, not modified.
    void Recalculate();
    // Times are the truth: pixels and zoom pixels from times, not modified.
    void UpdateCursors();
    void BuildTgvCurve();

    double GetCursorDistance(bool inMm) const;
    double CountToGainDb(std::int32_t levelCount) const;
    std::int32_t GainDbToCount(double gainDb) const;

    // Strobe 1's begin and length as depths in millimetres at the configuration's velocity.
    double StrobeBeginMm() const;
    double StrobeLengthMm() const;

    // ---- Fields, in the instrument model's order ------------------------------------------------

    std::uint8_t DeviceKind = 0;                    // 0
    std::uint8_t DeviceVersion = 0;                 // 1
    std::uint8_t DeviceVariant = 0;                 // 2
    std::uint16_t ConfigNumber = 0;                 // 3
    std::uint16_t ConfigIndex = 0;                  // 4
    std::string ConfigName;                         // 5, at most 22 characters once validated
    std::vector<std::string> ConfigStrings;         // the comment lines
    std::uint16_t ConfigStringsCount = 0;           // 80
    std::uint16_t MapVerticPoints = 0;              // 6
    std::uint16_t MapHorizPoints = 0;               // 7
    std::uint16_t MapVerticStep = 0;                // 8
    std::uint16_t MapHorizStep = 0;                 // 9
    std::uint8_t MapScanningOrder = 0;              // 10
    std::uint16_t MapCursorVertical = 0;            // 11
    std::uint16_t MapCursorHorizontal = 0;          // 12
    std::uint8_t MapAuxAreaContent = 0;             // 13
    std::uint16_t BandLastAScan = 0;                // 14
    std::uint16_t BandCurrentAScan = 0;             // 15
    std::uint16_t BandStep = 0;                     // 16
    std::uint8_t BandElementWidthIndex = 0;         // 17
    std::uint8_t BandAutoEnd = 0;                   // 18
    std::uint16_t BandShift = 0;                    // 19
    std::array<std::int16_t, 2> StrobeBeginPixel{}; // 20, 21
    std::array<std::int16_t, 2> StrobeEndPixel{};   // 22, 23
    std::array<double, 2> StrobeBeginTime{};        // 72, 73
    std::array<double, 2> StrobeLengthTime{};       // 74, 75
    double AuxTime = 0.0;                           // 83
    std::array<std::int16_t, 2> StrobeLevel{};      // 24, 25
    std::uint8_t CursorCount = 0;                   // 26: 0 one cursor, 1 two
    std::array<std::uint16_t, 2> CursorPixel{};     // 27, 28
    std::array<double, 2> CursorTime{};             // 76, 77
    std::array<std::uint16_t, 2> CursorZoomPixel{}; // 29, 30
    std::array<double, 2> CursorZoomTime{};         // 78, 79
    std::array<std::uint8_t, 2> CursorInZoom{};     // 31, 32
    std::array<std::uint8_t, 2> StrobeEnabled{};    // 33, 34
    std::uint8_t ScaleDimension = 0;                // 35
    std::uint8_t FullOverviewPrint = 0;             // 36
    std::uint16_t AScanRange = 0;                   // 37, microseconds over 320 pixels
    std::uint8_t SignalCatchAlgorithm = 0;          // 38
    std::uint8_t SignalType = 0;                    // 39
    std::uint8_t ScreenType = 0;                    // 40, two nibbles
    std::uint8_t PrevScreenType = 0;                // 41
    std::uint8_t SearchLevel = 0;                   // 42
    std::uint8_t CutOffLevel = 0;                   // 43
    std::int16_t IndexMarkMks = 0;                  // 44
    std::int16_t IndexMarkMm = 0;                   // 45
    double DotsPerCell = 0.0;                       // 46
    double DotsPerCellPrev = 0.0;
    std::array<std::uint8_t, TgvPointCount> TgvGain{}; // 47, dB
    std::array<std::uint16_t, TgvPointCount> TgvPos{}; // 48, time samples
    std::uint8_t TgvEnabled = 0;                       // 49
    std::uint8_t TgvPrevState = 0;
    std::uint16_t TgvCursorPos = 0;       // 50
    std::uint8_t TgvActivePoints = 0;     // 51
    std::uint8_t ProbeFrequencyIndex = 0; // 52
    std::int16_t ProbeDelay = 0;          // 53
    std::uint8_t ProbeType = 0;           // 54
    std::uint8_t ZonderVoltageIndex = 0;  // 55
    double ZonderPeriods = 0.0;           // 56
    std::uint8_t RefreshFrequency = 0;    // 57
    std::uint8_t FilterBandIndex = 0;     // 58
    std::uint8_t AttenuatorCount2 = 0;    // 60
    std::uint8_t AttenuatorCount1 = 0;    // 59
    std::uint8_t AveragerIndex = 0;       // 61
    std::uint8_t BarkerOrder = 0;         // 62
    std::uint16_t Velocity = 0;           // 63, m/s
    std::uint8_t Modified = 0;            // 1: changed since read, marked for sending
    std::uint16_t GlobalWorkTime = 0;     // 64
    std::uint8_t SnapYear = 0;            // 65
    std::uint8_t SnapMonth = 0;           // 66
    std::uint8_t SnapDay = 0;             // 67
    std::uint8_t SnapHour = 0;            // 68
    std::uint8_t SnapMinute = 0;          // 69
    std::uint8_t SnapSecond = 0;          // 70
    std::vector<double> TgvCurve;         // amplitude factor per time sample

private:
    friend void WriteLegacyBlock(const TBaseConfigCell&, platform::text::AtomicFileWriter&);
    friend int ReadLegacyBlock(TBaseConfigCell&, platform::text::LineReader&, bool,
                               TLegacyShape*);

    std::int64_t intValue(int number) const;
    void setIntValue(int number, std::int64_t value);
    void rebuildTgvPoints();
    bool validateRange(int number, std::int64_t value, std::string& message);
    bool validateReal(int number, double& value, std::string& message);
};

// Creates a configuration in a slot of a configuration set (replacing what the slot held) and
// answers it.
TBaseConfigCell& NewConfigCell(std::uint8_t kind, std::uint8_t version, std::uint8_t variant,
                               std::unique_ptr<TBaseConfigCell>& slot);

// ---- The configuration block
// ----------------------------------------------------------------------

// Bytes exchanged with the instrument; the caller owns the array.
using pByteArray = std::vector<std::uint8_t>;

constexpr std::size_t ConfigBlockSize = 256;

// Little-endian codecs. An index whose bytes do not lie inside the array raises
// platform::text::RangeError.
void PutWordLE(std::uint16_t value, pByteArray& array, std::size_t index);
void PutSmallIntLE(std::int16_t value, pByteArray& array, std::size_t index);
void PutLongLE(std::uint32_t value, pByteArray& array, std::size_t index);
std::uint16_t GetWordLE(const pByteArray& array, std::size_t index);
std::int16_t GetSmallIntLE(const pByteArray& array, std::size_t index);
std::uint32_t GetLongLE(const pByteArray& array, std::size_t index);

// Instruments of kind 2 from version 9 show the slot number ("NN.") before the name, which leaves
// the name three characters less room.
bool UsesSlotPrefix(const TBaseConfigCell& config);

// Writes the configuration into the block; bytes the layout does not use keep what the array
// holds. The block must hold at least 256 bytes (RangeError otherwise).
void BuildInstrumentBlock(TBaseConfigCell& config, pByteArray& block, int slotNumber);

// Fills the configuration from a received block, validates it and derives the times from the
// received pixels. The block must hold at least 256 bytes (RangeError otherwise).
void ParseInstrumentBlock(TBaseConfigCell& config, const pByteArray& block, int slotNumber);

// ---- The text forms
// -------------------------------------------------------------------------------

// Parameter-numbered form: lines "n:raw" for 0..84, the comment lines after line 80, "65534:".
void WriteParamBlock(TBaseConfigCell& config, platform::text::AtomicFileWriter& file);

// Reads lines up to and including the "65534:" line and validates what it read. Answers 0, or 1
// when the text ended before that line or announced more comment lines than a configuration may
// carry (the configuration then holds what was read).
int ReadParamBlock(TBaseConfigCell& config, platform::text::LineReader& file);

// The record shape a positional block holds exactly as written, before validation puts it into
// range (measurement files need it to find their sample lines); a value is empty when its line
// held no number.
struct TLegacyShape {
    std::optional<std::int64_t> Samples;      // ASCAN_PIXEL_LENGTH
    std::optional<std::int64_t> Rows;         // MAP_VERTIC_POINTS_QUAN
    std::optional<std::int64_t> Columns;      // MAP_HORIZ_POINTS_QUAN
    std::optional<std::int64_t> BandLastScan; // BAND_LAST_ASCAN
};

// Positional form of older files.
void WriteLegacyBlock(const TBaseConfigCell& config, platform::text::AtomicFileWriter& file);

// Answers 0 when a block was read, 1 when its version line is not 1 (nothing more is read) or the
// text ended inside the block. With skipVersion the caller has consumed the version line.
int ReadLegacyBlock(TBaseConfigCell& config, platform::text::LineReader& file, bool skipVersion,
                    TLegacyShape* asWritten = nullptr);

