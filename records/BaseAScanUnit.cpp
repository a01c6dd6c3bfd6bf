#include "records/BaseAScanUnit.h"

#include "config/LocalStringsUnit.h"
#include "platform/text/LineFile.h"
#include "platform/text/Numbers.h"
#include "records/RecordSlots.h"

#include <algorithm>
#include <optional>

namespace text = platform::text;

namespace {

constexpr std::array<TColor, 12> kScreenColors = {0x000000, 0xFFFFFF, 0xFFFFFF, 0x000000,
                                                  0x000000, 0x00FF00, 0xFFFFFF, 0x808080,
                                                  0xFFFFFF, 0x0000FF, 0x00FFFF, 0xF0CAA6};
constexpr std::array<TColor, 12> kPrintColors = {0x000000, 0xC0C0C0, 0xFFFFFF, 0x000000,
                                                 0xFFFFFF, 0x000000, 0x808080, 0x808080,
                                                 0x000000, 0x808080, 0x000000, 0xC0C0C0};

constexpr int kDefaultCommentCaption = 326;

// Fields of the A-scan record text.
enum : std::uint16_t {
    kFieldKind = 0,
    kFieldVersion = 1,
    kFieldIdentity3 = 2,
    kFieldRecordIndex = 3,
    kFieldConfigIndex = 4,
    kFieldComments = 5,
    kFieldConfig = 6,
    kFieldSamples = 7,
    kFieldScheme = 8,
};

} // namespace

TBaseAScanCell::TBaseAScanCell() {
    Data.Assign(1, 1, AScanSlotSamples);
    SetConfigIdentity(0, 0, 0);
    TBaseAScanCell::SetColorScheme(0);
    Comments.assign(1, GetCaptionString(kDefaultCommentCaption));
    CommentCount = 1;
}

void TBaseAScanCell::SetConfigIdentity(std::uint8_t identity3, std::uint8_t kind,
                                       std::uint8_t version) {
    Kind = kind;
    Version = version;
    Identity3 = identity3;
    NewConfigCell(kind, version, identity3, Config);
}

std::span<std::int32_t> TBaseAScanCell::Trace() {
    const auto scan = Data.Scan(Index1, Index2);
    return scan.first(std::min<std::size_t>(SampleCount(), scan.size()));
}

std::span<const std::int32_t> TBaseAScanCell::Trace() const {
    const auto scan = Data.Scan(Index1, Index2);
    return scan.first(std::min<std::size_t>(SampleCount(), scan.size()));
}

void TBaseAScanCell::DecodeRawBuffer(std::span<const std::uint8_t> block) {
    if (block.empty() || !Config) {
        return;
    }
    const auto trace = Trace();
    if (trace.empty()) {
        return;
    }
    // Averager indexes beyond the parameter's range decode as the widest samples.
    const int s = std::min<int>(Config->AveragerIndex, 4);
    const std::int32_t full = (1 << (10 + s)) - 1;
    const std::int32_t half = 512 << s;
    const std::uint8_t mask = static_cast<std::uint8_t>(63 >> (4 - s));
    const std::int32_t divisor = 1 << s;
    const std::size_t n = std::min(trace.size(), block.size() / 2);
    for (std::size_t i = 0; i < n; ++i) {
        const std::int32_t raw = (block[2 * i + 1] & mask) * 256 + block[2 * i];
        // Integer division truncates toward zero, as the instrument's averaging does.
        trace[i] = raw < half ? raw >> s : -(full - raw + 1) / divisor;
    }
}

// ---- Colours --------------------------------------------------------------------------------

void TBaseAScanCell::SetColorScheme(std::uint8_t scheme) {
    Colors = scheme == 1 ? kPrintColors : kScreenColors;
}

TColor TBaseAScanCell::Color(int n) const {
    return Colors[static_cast<std::size_t>(std::clamp(n, 1, 12) - 1)];
}

// ---- Record text ----------------------------------------------------------------------------

std::uint16_t TBaseAScanCell::ParseLine(std::string_view line) {
    const TFieldLine field = SplitFieldLine(line);
    if (field.Index != NoFieldIndex) {
        SetFieldValue(field.Index, field.Value);
    }
    return field.Index;
}

void TBaseAScanCell::SetField(std::uint16_t index, std::string_view value) {
    switch (index) {
    case kFieldKind:
        Kind = static_cast<std::uint8_t>(FieldValue(value, 255, 0));
        break;
    case kFieldVersion:
        Version = static_cast<std::uint8_t>(FieldValue(value, 255, 0));
        break;
    case kFieldIdentity3:
        Identity3 = static_cast<std::uint8_t>(FieldValue(value, 255, 1));
        break;
    case kFieldRecordIndex:
        RecordIndex = static_cast<std::uint16_t>(FieldValue(value, 65535, 0));
        break;
    case kFieldConfigIndex:
        ConfigIndex = static_cast<std::uint16_t>(FieldValue(value, 65535, 0));
        break;
    case kFieldComments:
        // The lines that follow are the comments: without their number the rest of the record
        // cannot be found.
        CommentCount = static_cast<std::uint16_t>(FieldValue(value, 65535, std::nullopt));
        break;
    case kFieldSamples: {
        const std::uint32_t n = FieldValue(value, AScanSlotSamples, std::nullopt);
        Config->AScanRange = static_cast<std::uint16_t>(n);
        if (Data.SamplesPerScan() < n) {
            Data.Reshape(std::max<std::uint32_t>(Data.Rows(), 1),
                         std::max<std::uint32_t>(Data.Columns(), 1), n);
        }
        break;
    }
    case kFieldScheme:
        ColorScheme = static_cast<std::uint8_t>(FieldValue(value, 255, 0));
        SetColorScheme(ColorScheme);
        break;
    default:
        break;
    }
}

std::string TBaseAScanCell::GetFieldValue(std::uint16_t index) {
    switch (index) {
    case kFieldKind:
        return text::formatInteger(Kind);
    case kFieldVersion:
        return text::formatInteger(Version);
    case kFieldIdentity3:
        return text::formatInteger(Identity3);
    case kFieldRecordIndex:
        return text::formatInteger(RecordIndex);
    case kFieldConfigIndex:
        return text::formatInteger(ConfigIndex);
    case kFieldComments:
        CommentCount = text::checkedCast<std::uint16_t>(static_cast<std::int64_t>(Comments.size()));
        return text::formatInteger(CommentCount);
    case kFieldSamples:
        return text::formatInteger(SampleCount());
    case kFieldScheme:
        return text::formatInteger(ColorScheme);
    default:
        return {};
    }
}

void TBaseAScanCell::WriteFieldLines(std::uint16_t index, text::AtomicFileWriter& file) {
    switch (index) {
    case kFieldComments:
        WriteCommentLines(file);
        break;
    case kFieldConfig:
        WriteParamBlock(*Config, file);
        break;
    case kFieldSamples:
        WriteSamples(file, SampleCount());
        break;
    default:
        break;
    }
}

bool TBaseAScanCell::ReadFieldLines(std::uint16_t index, text::LineReader& file) {
    switch (index) {
    case kFieldComments:
        return ReadCommentLines(file);
    case kFieldConfig:
        return ReadConfigLines(file);
    case kFieldSamples:
        return ReadSamples(file, SampleCount());
    default:
        return true;
    }
}

void TBaseAScanCell::WriteCommentLines(text::AtomicFileWriter& file) const {
    for (const std::string& line : Comments) {
        file.writeLine(line);
    }
}

bool TBaseAScanCell::ReadCommentLines(text::LineReader& file) {
    Comments.clear();
    std::string_view line;
    for (std::uint32_t i = 0; i < CommentCount; ++i) {
        if (!file.next(line)) {
            return false;
        }
        Comments.emplace_back(line);
    }
    return true;
}

bool TBaseAScanCell::ReadConfigLines(text::LineReader& file) {
    return ReadParamBlock(*Config, file) == 0;
}

void TBaseAScanCell::SaveToText(text::AtomicFileWriter& file) {
    for (std::uint16_t i = 0; i <= LastFieldIndex(); ++i) {
        file.writeLine(GetFieldLine(i));
        WriteFieldLines(i, file);
    }
    file.writeLine(FieldLine(RecordEndIndex, {}));
}

TRecordTextResult TBaseAScanCell::LoadFromText(text::LineReader& file) {
    Config->ResetAll(ResetNumber());
    TRecordTextResult result;
    // The samples count only for the shape they were read for: a field after them that reshapes
    // the record would leave it filled with zeros nobody measured.
    std::optional<TRecordShape> samplesRead;
    std::string_view line;
    while (file.next(line)) {
        const std::uint16_t index = ParseLine(line);
        if (index == RecordEndIndex) {
            result.Closed = true;
            break;
        }
        if (!ReadFieldLines(index, file)) {
            break;
        }
        if (index == SamplesFieldIndex()) {
            samplesRead = AnnouncedShape();
        }
    }
    result.Whole = result.Closed && samplesRead && *samplesRead == AnnouncedShape();
    if (result.Whole) {
        result.Count = ConformAfterLoad();
    }
    return result;
}

std::uint32_t TBaseAScanCell::ConformAfterLoad() {
    const std::uint32_t n = SampleCount();
    if (Data.SamplesPerScan() < n) {
        Data.Reshape(std::max<std::uint32_t>(Data.Rows(), 1),
                     std::max<std::uint32_t>(Data.Columns(), 1), n);
    }
    return n;
}

void TBaseAScanCell::SaveToOldText(text::AtomicFileWriter& file) {
    WriteLegacyBlock(*Config, file);
    WriteSamples(file, SampleCount());
}

bool TBaseAScanCell::ReadAllSamples(text::LineReader& file) {
    const std::uint32_t n = ConformAfterLoad();
    return ReadSamples(file, n);
}

void TBaseAScanCell::WriteSamples(text::AtomicFileWriter& file, std::uint32_t n) const {
    WriteSampleLines(file, Data.Scan(Index1, Index2), n);
}

bool TBaseAScanCell::ReadSamples(text::LineReader& file, std::uint32_t n) {
    return ReadSampleLines(file, Data.Scan(Index1, Index2), n);
}

// ---- Lists and overrides --------------------------------------------------------------------

bool EraseAScan(PAscansSet& list, std::uint16_t index, std::uint16_t& count) {
    return EraseRecord(list, index, count);
}

TSchemeOverride::TSchemeOverride(TBaseAScanCell& record, std::uint8_t scheme)
    : record_(record), applied_(scheme != KeepScheme) {
    if (applied_) {
        record_.SetColorScheme(scheme);
    }
}

TSchemeOverride::~TSchemeOverride() {
    if (applied_) {
        record_.SetColorScheme(record_.ColorScheme);
    }
}
