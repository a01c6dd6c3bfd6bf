// A-scan, band and map files in both forms; TB_FUZZ_KIND chooses the kind (0 A-scans, 1 bands,
// 2 maps). Whatever loads holds no more samples than the file had lines, keeps list and count
// together, and saves and loads back whole.
#include "ConfigChecks.h"

#include "platform/text/LineFile.h"
#include "records/MeasurementFiles.h"

#include <type_traits>

namespace {

#if TB_FUZZ_KIND == 0
using List = PAscansSet;
#elif TB_FUZZ_KIND == 1
using List = PBandsSet;
#else
using List = PMapsSet;
#endif

int load(const std::filesystem::path& path, List& list, std::uint16_t& count, bool old) {
#if TB_FUZZ_KIND == 0
    return old ? LoadAScansFromOldFile(path, list, count) : LoadAScansFromFile(path, list, count);
#elif TB_FUZZ_KIND == 1
    return old ? LoadBandsFromOldFile(path, list, count) : LoadBandsFromFile(path, list, count);
#else
    return old ? LoadMapsFromOldFile(path, list, count) : LoadMapsFromFile(path, list, count);
#endif
}

int save(const std::filesystem::path& path, const List& list, std::uint16_t count) {
#if TB_FUZZ_KIND == 0
    return SaveAScansToFile(path, list, count);
#elif TB_FUZZ_KIND == 1
    return SaveBandsToFile(path, list, count);
#else
    return SaveMapsToFile(path, list, count);
#endif
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fuzz::InputFile input("records.txt");
    fuzz::ownLanguageTexts();
    const auto& path = input.write(data, size);
    for (const bool old : {false, true}) {
        List list;
        std::uint16_t count = 0;
        load(path, list, count, old);
        fuzz::check(list.size() == count, "the list is as long as its count");
        std::size_t samples = 0;
        for (auto& record : list) {
            fuzz::check(record != nullptr, "no empty slot");
            if (TB_FUZZ_KIND != 0) {
                samples += record->Cube().All().size();
            }
            fuzz::check(record->Trace().size() == record->SampleCount(),
                        "the trace holds the record's samples");
            record->Marked = 1;
        }
        // Every band or map sample came from a line of at least two bytes (the last one).
        fuzz::check(samples <= size / 2 + 1, "no more samples than the file has lines");
        if (list.empty()) {
            continue;
        }
        const auto copy = input.folder() / "copy.txt";
        fuzz::check(save(copy, list, count) == 0, "what loaded saves");
        List back;
        std::uint16_t backCount = 0;
        fuzz::check(load(copy, back, backCount, false) == 0, "what saved loads");
        fuzz::check(backCount == count, "and loads back whole");
    }
    return 0;
}
