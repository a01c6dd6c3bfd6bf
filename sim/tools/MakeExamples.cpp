// Makes the example files beside the program: configurations, A-scans, bands and maps received
// from the simulated instrument through the link and saved with the program's writers.
// Usage: tb_make_examples <output folder> (the driver library is taken from beside this tool).
#include "config/ConfigSetUnit.h"
#include "config/LocalStringsUnit.h"
#include "link/BatchTransfers.h"
#include "platform/driver/DriverLocation.h"
#include "platform/ui/Clock.h"
#include "records/MeasurementFiles.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

int fail(const char* what) {
    std::fprintf(stderr, "tb_make_examples: %s\n", what);
    return 1;
}

template <typename List> void markAll(List& list, const std::string& comment) {
    for (auto& record : list) {
        record->Marked = 1;
        record->Comments = {comment};
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        return fail("usage: tb_make_examples <output folder>");
    }
    const std::filesystem::path out = argv[1];
    std::filesystem::create_directories(out);

    // The texts of the file headers come from the language files beside the tool.
    auto folder = platform::driver::programFolder();
    if (!folder || !LoadLanguageFiles(folder.value() / "tb_make_examples")) {
        return fail("the language files beside the tool cannot be read");
    }
    // The examples never wait for the instrument's pacing.
    platform::ui::RecordingClock clock;
    platform::ui::ScopedClock scope(&clock);
    if (ConnectUSBDevice() != 0) {
        return fail("the simulated instrument does not answer");
    }
    std::unique_ptr<TCorvantaAbsConfigCell> markup;
    std::string device;
    if (IdentifyConnectedDevice(markup, device) != 0) {
        return fail("the simulated instrument cannot be identified");
    }

    std::string origin;
    PConfigsSet configs;
    std::uint16_t configCount = 0;
    if (ReceiveConfigs(markup.get(), configs, configCount, origin) != BatchResult::AllDone ||
        SaveConfigSet(out / "Configurations.ctf", configs, configCount) != 0) {
        return fail("configurations");
    }

    PAscansSet aScans;
    std::uint16_t aScanCount = 0;
    if (ReceiveAScans(markup.get(), aScans, aScanCount, nullptr, origin) != BatchResult::AllDone) {
        return fail("A-scans");
    }
    markAll(aScans, "Weld seam, probe position 1");
    if (SaveAScansToFile(out / "AScans.dtf", aScans, aScanCount) != 0 ||
        SaveAScansToOldFile(out / "AScansOldFormat.dtf", aScans, aScanCount) != 0) {
        return fail("A-scan files");
    }

    PBandsSet bands;
    std::uint16_t bandCount = 0;
    if (ReceiveBands(markup.get(), bands, bandCount, nullptr, origin) != BatchResult::AllDone) {
        return fail("bands");
    }
    markAll(bands, "Plate scan along the weld");
    if (SaveBandsToFile(out / "Bands.btf", bands, bandCount) != 0) {
        return fail("band file");
    }

    PMapsSet maps;
    std::uint16_t mapCount = 0;
    if (ReceiveMaps(markup.get(), maps, mapCount, nullptr, origin) != BatchResult::AllDone) {
        return fail("maps");
    }
    markAll(maps, "Corrosion check, area A");
    if (SaveMapsToFile(out / "Maps.mtf", maps, mapCount) != 0) {
        return fail("map file");
    }
    DisconnectUSBDevice();
    std::printf("examples written to %s: %u configurations, %u A-scans, %u bands, %u maps\n",
                out.c_str(), configCount, aScanCount, bandCount, mapCount);
    return 0;
}
