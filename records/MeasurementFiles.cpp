#include "records/MeasurementFiles.h"

#include "config/ConfigSetUnit.h"
#include "config/LocalStringsUnit.h"
#include "platform/text/LineFile.h"
#include "platform/text/Numbers.h"

#include <new>
#include <optional>
#include <string_view>
#include <type_traits>

namespace text = platform::text;

namespace {

// Which parts of a record's shape the configuration of the old form carries for each kind.
template <typename Cell> struct KindTraits;
template <> struct KindTraits<TBaseAScanCell> {
    static constexpr bool BandShape = false;
    static constexpr bool MapShape = false;
};
template <> struct KindTraits<TBaseBandCell> {
    static constexpr bool BandShape = true;
    static constexpr bool MapShape = false;
};
template <> struct KindTraits<TBaseMapCell> {
    static constexpr bool BandShape = false;
    static constexpr bool MapShape = true;
};

template <typename Cell> using RecordList = std::vector<std::unique_ptr<Cell>>;

std::string_view afterColon(std::string_view line) {
    const std::size_t colon = line.find(':');
    return colon == std::string_view::npos ? std::string_view() : line.substr(colon + 1);
}

// ---- Saving ---------------------------------------------------------------------------------

enum class Form { Current, Old };

void writeHeader(text::AtomicFileWriter& file, const TBaseAScanCell& identity,
                 std::uint16_t records) {
    for (const auto& line :
         FormatFileHeader({identity.Kind, identity.Version, identity.Identity3, records})) {
        file.writeLine(line);
    }
}

template <typename Cell>
int saveList(const std::filesystem::path& path, const RecordList<Cell>& list, std::uint16_t count,
             Form form) {
    if (list.size() != count) {
        return 1;
    }
    std::uint16_t marked = 0;
    for (const auto& record : list) {
        if (!record) {
            return 1;
        }
        if (record->Marked != 0) {
            ++marked;
        }
    }
    if (marked == 0) {
        return 1;
    }
    try {
        text::AtomicFileWriter file(path);
        if (form == Form::Current) {
            // The identity is the first record's, whether it is written or not.
            writeHeader(file, *list.front(), marked);
        }
        for (const auto& record : list) {
            if (record->Marked == 0) {
                continue;
            }
            if (form == Form::Current) {
                record->SaveToText(file);
            } else {
                record->SaveToOldText(file);
            }
        }
        file.commit();
    } catch (const text::IoError&) {
        return 1;
    }
    return 0;
}

int saveSelected(const std::filesystem::path& path, TBaseAScanCell* record) {
    if (!record) {
        return 1;
    }
    try {
        text::AtomicFileWriter file(path);
        writeHeader(file, *record, 1);
        record->SaveToText(file);
        file.commit();
    } catch (const text::IoError&) {
        return 1;
    }
    return 0;
}

// ---- Loading --------------------------------------------------------------------------------

// Hands over what a load read: the caller's list changes only when something was read, or when
// the file was read completely (an empty file list is then the truth).
template <typename Cell>
int handOver(RecordList<Cell>& read, bool complete, RecordList<Cell>& list, std::uint16_t& count) {
    if (complete || !read.empty()) {
        list = std::move(read);
        count = static_cast<std::uint16_t>(list.size());
    }
    return complete ? 0 : 1;
}

// The positional configuration text validates what it reads, which would put a small map (fewer
// than five rows or columns) or a short A-scan back to the default shape and lose the samples'
// places in the file; the shape is therefore taken as the text holds it.
// Puts the shape the old-form text holds into the configuration; false when it lies beyond
// what a record may hold.
template <typename Cell> bool takeLegacyShape(TBaseConfigCell& config, const TLegacyShape& shape) {
    auto within = [](const std::optional<std::int64_t>& v, std::int64_t low, std::int64_t high) {
        return v && *v >= low && *v <= high ? v : std::nullopt;
    };
    std::optional<std::int64_t> rows;
    std::optional<std::int64_t> columns;
    std::optional<std::int64_t> bandLast;
    if constexpr (KindTraits<Cell>::MapShape) {
        rows = within(shape.Rows, 1, MaxMapSide);
        columns = within(shape.Columns, 1, MaxMapSide);
        if (!rows || !columns) {
            return false;
        }
    }
    if constexpr (KindTraits<Cell>::BandShape) {
        bandLast = within(shape.BandLastScan, 0, MaxBandScans - 1);
        if (!bandLast) {
            return false;
        }
    }
    // An A-scan's record text carries its own length; a band's or map's comes only from its
    // configuration, so only lengths a configuration keeps can travel on in the current form.
    const TParamDescriptor& length = ParamDescriptorTable[ASCAN_PIXEL_LENGTH];
    const auto samples = KindTraits<Cell>::BandShape || KindTraits<Cell>::MapShape
                             ? within(shape.Samples, length.IntMin, length.IntMax)
                             : within(shape.Samples, 0, AScanSlotSamples);
    if (!samples) {
        return false;
    }
    config.AScanRange = static_cast<std::uint16_t>(*samples);
    if (rows) {
        config.MapVerticPoints = static_cast<std::uint16_t>(*rows);
        config.MapHorizPoints = static_cast<std::uint16_t>(*columns);
    }
    if (bandLast) {
        config.BandLastAScan = static_cast<std::uint16_t>(*bandLast);
    }
    return true;
}

template <typename Cell>
int loadOldList(const std::filesystem::path& path, RecordList<Cell>& list, std::uint16_t& count) {
    text::LineReader file(path);
    RecordList<Cell> read;
    bool complete = true;
    std::string_view line;
    for (;;) {
        bool more = false;
        while (file.next(line)) {
            if (!text::trimBlanks(line).empty()) {
                more = true;
                break;
            }
        }
        if (!more) {
            break;
        }
        // Anything but the next record's first line ends the reading: the rest is not a record.
        if (line != OldFormSignature || read.size() == 65535) {
            complete = false;
            break;
        }
        auto record = std::make_unique<Cell>();
        TBaseConfigCell& config = *record->Config;
        config.ResetAll(static_cast<std::uint16_t>(read.size()));
        try {
            TLegacyShape shape;
            if (ReadLegacyBlock(config, file, true, &shape) != 0 ||
                !takeLegacyShape<Cell>(config, shape) || !record->ReadAllSamples(file)) {
                complete = false;
                break;
            }
        } catch (const text::RangeError&) {
            complete = false;
            break;
        } catch (const TRecordTextError&) {
            complete = false;
            break;
        } catch (const std::bad_alloc&) {
            complete = false;
            break;
        }
        record->ConfigIndex = config.ConfigIndex;
        // As in the current form, a record without samples gives its place to the next one:
        // saved, it could not be read back.
        if (record->SampleCount() > 0) {
            read.push_back(std::move(record));
        }
    }
    if (read.empty()) {
        return 1;
    }
    return handOver(read, complete, list, count);
}

// The header values after the signature: three identity bytes and the record count.
std::optional<std::uint16_t> readHeader(text::LineReader& file) {
    constexpr std::int64_t widths[] = {255, 255, 255, 65535};
    std::optional<std::uint16_t> records;
    std::string_view line;
    for (std::int64_t width : widths) {
        if (!file.next(line)) {
            return std::nullopt;
        }
        const auto v = text::parseInteger(afterColon(line));
        if (!v || *v < 0 || *v > width) {
            return std::nullopt;
        }
        records = static_cast<std::uint16_t>(*v);
    }
    return records;
}

template <typename Cell>
int loadList(const std::filesystem::path& path, RecordList<Cell>& list, std::uint16_t& count) {
    std::optional<text::LineReader> file(std::in_place, path);
    std::string_view line;
    if (!file->next(line)) {
        return 1;
    }
    if (line == OldFormSignature) {
        file.reset();
        return loadOldList<Cell>(path, list, count);
    }
    if (afterColon(line) != FileSignature) {
        return 1;
    }
    const auto announced = readHeader(*file);
    if (!announced) {
        return 1;
    }
    RecordList<Cell> read;
    bool complete = true;
    while (read.size() < *announced) {
        if (file->atEnd()) {
            complete = false;
            break;
        }
        auto record = std::make_unique<Cell>();
        TRecordTextResult result;
        try {
            result = record->LoadFromText(*file);
        } catch (const text::RangeError&) {
            complete = false;
            break;
        } catch (const TRecordTextError&) {
            complete = false;
            break;
        } catch (const std::bad_alloc&) {
            complete = false;
            break;
        }
        // A record that closes before its samples (or reshapes itself after them) is as
        // incomplete as one the file cuts off.
        if (!result.Whole) {
            complete = false;
            break;
        }
        // A record without samples gives its place to the next one.
        if (result.Count > 0) {
            read.push_back(std::move(record));
        }
    }
    return handOver(read, complete, list, count);
}

} // namespace

// ---- A-scans --------------------------------------------------------------------------------

int SaveAScansToFile(const std::filesystem::path& path, const PAscansSet& list,
                     std::uint16_t count) {
    return saveList(path, list, count, Form::Current);
}

int SaveAScansToOldFile(const std::filesystem::path& path, const PAscansSet& list,
                        std::uint16_t count) {
    return saveList(path, list, count, Form::Old);
}

int SaveSelectedAScanToFile(const std::filesystem::path& path, TBaseAScanCell* record) {
    return saveSelected(path, record);
}

int LoadAScansFromFile(const std::filesystem::path& path, PAscansSet& list, std::uint16_t& count) {
    return loadList(path, list, count);
}

int LoadAScansFromOldFile(const std::filesystem::path& path, PAscansSet& list,
                          std::uint16_t& count) {
    return loadOldList(path, list, count);
}

// ---- Bands ----------------------------------------------------------------------------------

int SaveBandsToFile(const std::filesystem::path& path, const PBandsSet& list, std::uint16_t count) {
    return saveList(path, list, count, Form::Current);
}

int SaveBandsToOldFile(const std::filesystem::path& path, const PBandsSet& list,
                       std::uint16_t count) {
    return saveList(path, list, count, Form::Old);
}

int SaveSelectedBandToFile(const std::filesystem::path& path, TBaseBandCell* record) {
    return saveSelected(path, record);
}

int LoadBandsFromFile(const std::filesystem::path& path, PBandsSet& list, std::uint16_t& count) {
    return loadList(path, list, count);
}

int LoadBandsFromOldFile(const std::filesystem::path& path, PBandsSet& list, std::uint16_t& count) {
    return loadOldList(path, list, count);
}

// ---- Maps -----------------------------------------------------------------------------------

int SaveMapsToFile(const std::filesystem::path& path, const PMapsSet& list, std::uint16_t count) {
    return saveList(path, list, count, Form::Current);
}

int SaveMapsToOldFile(const std::filesystem::path& path, const PMapsSet& list,
                      std::uint16_t count) {
    return saveList(path, list, count, Form::Old);
}

int SaveSelectedMapToFile(const std::filesystem::path& path, TBaseMapCell* record) {
    return saveSelected(path, record);
}

int LoadMapsFromFile(const std::filesystem::path& path, PMapsSet& list, std::uint16_t& count) {
    return loadList(path, list, count);
}

int LoadMapsFromOldFile(const std::filesystem::path& path, PMapsSet& list, std::uint16_t& count) {
    return loadOldList(path, list, count);
}
