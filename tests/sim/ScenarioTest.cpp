#include "HostSide.h"

#include "config/AbsConfigObjectUnit.h"
#include "sim/Instrument.h"
#include "sim/Scenario.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <fstream>

using namespace sim;

namespace {

std::filesystem::path writeTemp(const std::string& name, const std::string& text) {
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / (name + "-" + std::to_string(getpid()) + ".txt");
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

} // namespace

TEST(ScenarioParse, EveryKey) {
    const ScenarioParse p = parseScenario("# a demonstration\r\n"
                                          "present=0\r\n"
                                          "\r\n"
                                          "  init = 4 \n"
                                          "reply=1\n"
                                          "ascans=7\n"
                                          "bands=0\n"
                                          "maps=40\n"
                                          "seed=4000000000\n"
                                          "fail=CheckBulkBuffer:3\n"
                                          "unplug=SendServiceBuffer:2:10");
    ASSERT_EQ(p.errorLine, 0) << p.error;
    const Scenario& s = p.scenario;
    EXPECT_EQ(s.present, false);
    EXPECT_EQ(s.initAnswer, 4);
    EXPECT_EQ(s.reply, 1);
    EXPECT_EQ(s.aScans, 7);
    EXPECT_EQ(s.bands, 0);
    EXPECT_EQ(s.maps, 40);
    EXPECT_EQ(s.seed, 4000000000u);
    ASSERT_EQ(s.failures.size(), 2u);
    EXPECT_EQ(s.failures[0].operation, TBSIM_CHECK_BULK_BUFFER);
    EXPECT_EQ(s.failures[0].nth, 3u);
    EXPECT_EQ(s.failures[0].command, TBSIM_ANY_COMMAND);
    EXPECT_FALSE(s.failures[0].unplug);
    EXPECT_EQ(s.failures[1].operation, TBSIM_SEND_SERVICE_BUFFER);
    EXPECT_EQ(s.failures[1].command, 10);
    EXPECT_TRUE(s.failures[1].unplug);
}

TEST(ScenarioParse, EmptyTextChangesNothing) {
    const ScenarioParse p = parseScenario("");
    EXPECT_EQ(p.errorLine, 0);
    EXPECT_FALSE(p.scenario.present || p.scenario.initAnswer || p.scenario.aScans);
}

TEST(ScenarioParse, BadLinesAreReportedByNumber) {
    struct Case {
        const char* text;
        int line;
    };
    for (const Case& c :
         {Case{"present=2", 1}, Case{"init=256", 1}, Case{"ascans=-1", 1}, Case{"maps=65536", 1},
          Case{"colour=red", 1}, Case{"present", 1}, Case{"# fine\nfail=CheckBulkBuffer", 2},
          Case{"fail=CheckBulkBuffer:0", 1}, Case{"fail=Nothing:1", 1},
          Case{"fail=CheckBulkBuffer:1:256", 1}, Case{"fail=CheckBulkBuffer:1:9:9", 1},
          Case{"seed=x", 1}, Case{"init=2\n\nreply=two", 3}}) {
        const ScenarioParse p = parseScenario(c.text);
        EXPECT_EQ(p.errorLine, c.line) << c.text;
        EXPECT_FALSE(p.error.empty());
        EXPECT_FALSE(p.scenario.initAnswer) << "nothing of a bad file is kept";
    }
}

TEST(ScenarioParse, OperationNames) {
    EXPECT_EQ(operationByName("InitUSB"), TBSIM_INIT_USB);
    EXPECT_EQ(operationByName("CloseUSB"), TBSIM_CLOSE_USB);
    EXPECT_EQ(operationByName("CheckServiceBuffer"), TBSIM_CHECK_SERVICE_BUFFER);
    EXPECT_EQ(operationByName("SendBulkBuffer"), TBSIM_SEND_BULK_BUFFER);
    EXPECT_EQ(operationByName("USBStatus"), TBSIM_USB_STATUS);
    EXPECT_EQ(operationByName("usbstatus"), 0);
}

TEST(ScenarioApply, SetsTheInstrumentUp) {
    Instrument instrument;
    const ScenarioParse p =
        parseScenario("init=4\nascans=1\nbands=2\nreply=0\nfail=CheckBulkBuffer:1");
    ASSERT_EQ(p.errorLine, 0);
    applyScenario(instrument, p.scenario);
    EXPECT_EQ(instrument.recordCounts(), (std::array<std::uint16_t, 3>{1, 2, 2}))
        << "maps keep their count";
    EXPECT_EQ(instrument.initUsb(), 4);
    EXPECT_TRUE(instrument.open());
    std::uint8_t command[12] = {1, 0, 1};
    ASSERT_EQ(instrument.sendServiceBuffer(command), 1);
    ASSERT_EQ(instrument.checkServiceBuffer(command), 1);
    EXPECT_EQ(command[0], 0);
    std::uint8_t read[12] = {3, 0, 1};
    ASSERT_EQ(instrument.sendServiceBuffer(read), 1);
    std::vector<std::uint8_t> block(256);
    EXPECT_EQ(instrument.checkBulkBuffer(block.data(), 256, 0), 0) << "the failure rule";
}

TEST(ScenarioApply, AbsentInstrument) {
    Instrument instrument;
    applyScenario(instrument, parseScenario("present=0\ninit=4").scenario);
    EXPECT_EQ(instrument.usbStatus(), 0);
    EXPECT_EQ(instrument.initUsb(), 0);
}

TEST(ScenarioApply, SeedChangesTheContent) {
    Instrument a;
    Instrument b;
    applyScenario(b, parseScenario("seed=99").scenario);
    std::vector<std::uint8_t> x(512);
    std::vector<std::uint8_t> y(512);
    a.source().samples(RecordKind::Band, 0, 0, x);
    b.source().samples(RecordKind::Band, 0, 0, y);
    EXPECT_NE(x, y);
}

TEST(ScenarioFile, LoadedAndRefused) {
    Instrument instrument;
    const std::filesystem::path good = writeTemp("tb-scenario-good", "maps=9\r\nbands=1\r\n");
    std::string error;
    EXPECT_EQ(loadScenarioFile(instrument, good, &error), 0) << error;
    EXPECT_EQ(instrument.recordCounts()[2], 9);

    const std::filesystem::path bad = writeTemp("tb-scenario-bad", "maps=3\nwhat=ever\n");
    EXPECT_EQ(loadScenarioFile(instrument, bad, &error), 2);
    EXPECT_NE(error.find("line 2"), std::string::npos) << error;
    EXPECT_EQ(instrument.recordCounts()[2], 9) << "nothing of the bad file applied";

    EXPECT_EQ(loadScenarioFile(instrument, "/nonexistent/scenario.txt", &error), -1);
    std::filesystem::remove(good);
    std::filesystem::remove(bad);
}

TEST(ScenarioFile, ThroughTheControlInterface) {
    tbsim_reset();
    const std::filesystem::path path = writeTemp("tb-scenario-control", "init=3\n");
    EXPECT_EQ(tbsim_load_scenario(path.c_str()), 0);
    EXPECT_EQ(InitUSB(), 3);
    EXPECT_EQ(tbsim_load_scenario(nullptr), -1);
    EXPECT_EQ(tbsim_load_scenario("/nonexistent/scenario.txt"), -1);
    std::filesystem::remove(path);
    tbsim_reset();
}

TEST(ScenarioFile, NamedByTheEnvironmentAtPowerOn) {
    const std::filesystem::path path =
        writeTemp("tb-scenario-env", "ascans=0\nbands=1\nmaps=1\nunplug=CheckBulkBuffer:2:10\n");
    setenv(kScenarioVariable, path.c_str(), 1);
    tbsim_reset();
    unsetenv(kScenarioVariable);

    simtest::Host host;
    ASSERT_EQ(InitUSB(), 2);
    simtest::Bytes block;
    ASSERT_EQ(host.sendWithoutParameter(7), 1);
    ASSERT_EQ(host.receive(256, block), 1);
    TCorvantaAbsConfigCell markup;
    markup.ParseBlock(block);
    EXPECT_EQ(markup.AScanArea.Count, 0);
    EXPECT_EQ(markup.MapArea.Count, 1);

    ASSERT_EQ(host.send(10, 0), 1);
    ASSERT_EQ(host.receive(256, block), 1);
    EXPECT_EQ(host.receive(512, block), 0);
    EXPECT_EQ(USBStatus(), 0) << "pulled out as the scenario said";

    tbsim_reset();
    EXPECT_EQ(USBStatus(), 1) << "without the variable, the power-on state is the plain one";
    std::filesystem::remove(path);
}
