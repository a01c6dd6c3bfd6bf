// The four lists the main window keeps: configurations, A-scans, bands and maps. Each owns its
// records in slots and keeps its 16-bit count and current index beside them, where the records
// came from, and whether it holds changes not yet written to a file.
#pragma once

#include "config/BaseConfigObjectUnit.h"
#include "records/BaseAScanUnit.h"
#include "records/BaseBandUnit.h"
#include "records/BaseMapUnit.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

namespace app {

enum class OriginKind : std::uint8_t { None = 0, Instrument = 1, File = 2 };

// The kinds as the unsaved-data questions number them.
enum class ListKind : int { All = 0, Configs = 1, AScans = 2, Bands = 3, Maps = 4 };

template <typename Cell>
struct TRecordList {
    std::vector<std::unique_ptr<Cell>> Records;
    std::uint16_t Current = 0;
    std::uint16_t Count = 0;
    // Display text: the instrument's description, a file name (kept as the user's file system
    // spells it) or the "no data" caption.
    QString OriginLabel;
    OriginKind Origin = OriginKind::None;
    bool Unsaved = false;

    bool empty() const { return Count == 0; }
    Cell* current() const {
        return Current < Count && Current < Records.size() ? Records[Current].get() : nullptr;
    }
    // Takes a freshly filled list; the old records go.
    void replaceRecords(std::vector<std::unique_ptr<Cell>>&& records, std::uint16_t count) {
        Records = std::move(records);
        Count = count;
        Records.resize(Count);
        Current = 0;
    }
};

using TConfigList = TRecordList<TBaseConfigCell>;
using TAScanList = TRecordList<TBaseAScanCell>;
using TBandList = TRecordList<TBaseBandCell>;
using TMapList = TRecordList<TBaseMapCell>;

} // namespace app
