// The driver library as the program sees it: loaded at run time from beside the program, with
// the seven operations and the control functions found by name, and nothing else exported.
#include "HostSide.h"

#include "platform/driver/DriverLocation.h"
#include "platform/driver/SharedLibrary.h"

#include <gtest/gtest.h>

using namespace platform::driver;

namespace {

SharedLibrary loadDriver() {
    Expected<std::filesystem::path> path = driverLibraryPath(std::nullopt, TB_OUTPUT_DIR);
    EXPECT_TRUE(path.ok());
    Expected<SharedLibrary> lib = SharedLibrary::load(path.value());
    EXPECT_TRUE(lib.ok()) << describe(lib.error());
    return lib.ok() ? std::move(lib.value()) : SharedLibrary{};
}

} // namespace

TEST(DriverLibrary, ExportsTheSevenOperationsAndTheControl) {
    SharedLibrary driver = loadDriver();
    ASSERT_TRUE(driver.loaded());
    for (const char* name :
         {"InitUSB", "CloseUSB", "SendServiceBuffer", "CheckServiceBuffer", "SendBulkBuffer",
          "CheckBulkBuffer", "USBStatus", "tbsim_reset", "tbsim_set_present",
          "tbsim_set_init_answer", "tbsim_set_reply", "tbsim_fail_call", "tbsim_unplug_at_call",
          "tbsim_call_count", "tbsim_get_call", "tbsim_load_scenario"}) {
        EXPECT_TRUE(driver.symbol(name).ok()) << name;
    }
}

TEST(DriverLibrary, KeepsItsInsidesPrivate) {
    SharedLibrary driver = loadDriver();
    ASSERT_TRUE(driver.loaded());
    for (const char* name :
         {"_Z16GetCaptionStringB5cxx11i", "_ZN3sim16sharedInstrumentEv",
          "_ZN22TCorvantaAbsConfigCell10ParseBlockESt4spanIKhLm18446744073709551615EE"}) {
        Expected<void*> symbol = driver.symbol(name);
        ASSERT_FALSE(symbol.ok()) << name;
        EXPECT_EQ(symbol.error().code, DriverErrorCode::SymbolMissing);
    }
}

TEST(DriverLibrary, ReadsTheMarkupThroughTheLoadedOperations) {
    SharedLibrary driver = loadDriver();
    ASSERT_TRUE(driver.loaded());
    auto init = driver.function<unsigned char()>("InitUSB").value();
    auto send = driver.function<unsigned char(unsigned char*)>("SendServiceBuffer").value();
    auto check =
        driver.function<unsigned char(unsigned char*, unsigned, unsigned)>("CheckBulkBuffer")
            .value();
    auto status = driver.function<unsigned char()>("USBStatus").value();
    auto count = driver.function<unsigned int()>("tbsim_call_count").value();
    auto reset = driver.function<void()>("tbsim_reset").value();

    reset();
    ASSERT_EQ(init(), 2);
    unsigned char command[12] = {7};
    ASSERT_EQ(send(command), 1);
    unsigned char block[257] = {};
    ASSERT_EQ(check(block, 256, 0), 1);
    EXPECT_EQ(block[249], 'v');
    EXPECT_EQ(count(), 3u);

    // The loaded library is an instrument of its own, apart from the one linked into this test.
    tbsim_reset();
    tbsim_set_present(0);
    EXPECT_EQ(status(), 1);
    EXPECT_EQ(USBStatus(), 0);
    tbsim_reset();
}

TEST(DriverLibrary, OverrideVariableNamesTheSameLibrary) {
    const std::string path = std::string(TB_OUTPUT_DIR) + "/libVIZUrav.so";
    setenv(kDriverPathVariable, path.c_str(), 1);
    Expected<std::filesystem::path> chosen = driverLibraryPath();
    unsetenv(kDriverPathVariable);
    ASSERT_TRUE(chosen.ok());
    Expected<SharedLibrary> lib = SharedLibrary::load(chosen.value());
    ASSERT_TRUE(lib.ok()) << describe(lib.error());
    EXPECT_TRUE(lib.value().symbol("InitUSB").ok());
}
