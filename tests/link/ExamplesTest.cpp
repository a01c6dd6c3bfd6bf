// The example files the program ships: they load, and they are exactly what the generator makes
// from the simulated instrument today (so a change of a writer or of the model shows up here).
#include "config/ConfigSetUnit.h"
#include "config/LocalStringsUnit.h"
#include "records/MeasurementFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const fs::path kExamples = fs::path(TB_SOURCE_DIR) / "examples";

std::string slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

class ExamplesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(LoadLanguageFiles(fs::path(TB_OUTPUT_DIR) / "tollerbank3"));
    }
};

} // namespace

TEST_F(ExamplesTest, EveryExampleLoads) {
    PConfigsSet configs;
    std::uint16_t configCount = 0;
    EXPECT_EQ(LoadConfigSet(kExamples / "Configurations.ctf", configs, configCount), 0);
    EXPECT_EQ(configCount, 20);

    PAscansSet aScans;
    std::uint16_t aScanCount = 0;
    EXPECT_EQ(LoadAScansFromFile(kExamples / "AScans.dtf", aScans, aScanCount), 0);
    EXPECT_EQ(aScanCount, 5);
    ASSERT_FALSE(aScans.empty());
    EXPECT_EQ(aScans[0]->Comments, std::vector<std::string>{"Weld seam, probe position 1"});

    PAscansSet old;
    std::uint16_t oldCount = 0;
    EXPECT_EQ(LoadAScansFromFile(kExamples / "AScansOldFormat.dtf", old, oldCount), 0);
    ASSERT_EQ(oldCount, aScanCount);
    for (std::uint16_t i = 0; i < oldCount; ++i) {
        const auto a = aScans[i]->Trace();
        const auto b = old[i]->Trace();
        const std::uint32_t n = aScans[i]->Config->AScanRange;
        ASSERT_EQ(old[i]->Config->AScanRange, n);
        EXPECT_TRUE(std::equal(a.begin(), a.begin() + n, b.begin())) << "A-scan " << i;
    }

    PBandsSet bands;
    std::uint16_t bandCount = 0;
    EXPECT_EQ(LoadBandsFromFile(kExamples / "Bands.btf", bands, bandCount), 0);
    EXPECT_EQ(bandCount, 3);

    PMapsSet maps;
    std::uint16_t mapCount = 0;
    EXPECT_EQ(LoadMapsFromFile(kExamples / "Maps.mtf", maps, mapCount), 0);
    EXPECT_EQ(mapCount, 2);
}

TEST_F(ExamplesTest, TheGeneratorMakesTheShippedFiles) {
    const fs::path tool = fs::path(TB_OUTPUT_DIR) / "tb_make_examples";
    if (!fs::exists(tool)) {
        GTEST_SKIP() << "generator not built";
    }
    const fs::path out =
        fs::temp_directory_path() / ("tb-examples-regenerated-" + std::to_string(getpid()));
    fs::remove_all(out);
    const std::string command = tool.string() + " " + out.string() + " > /dev/null";
    // The generator must not pick up a driver named for the test run.
    unsetenv("TOLLERBANK_DRIVER");
    ASSERT_EQ(std::system(command.c_str()), 0);
    for (const auto& entry : fs::directory_iterator(kExamples)) {
        const fs::path regenerated = out / entry.path().filename();
        ASSERT_TRUE(fs::exists(regenerated)) << entry.path();
        EXPECT_TRUE(slurp(entry.path()) == slurp(regenerated))
            << entry.path().filename() << " differs from what the generator makes now";
    }
    fs::remove_all(out);
}
