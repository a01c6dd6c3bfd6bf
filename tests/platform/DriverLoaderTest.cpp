#include "platform/driver/DriverLocation.h"
#include "platform/driver/SharedLibrary.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>

using namespace platform::driver;

namespace {

// The C library's absolute path, as the dynamic loader found it for this process.
std::filesystem::path cLibraryPath() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&getpid), &info) == 0 || info.dli_fname == nullptr) {
        return {};
    }
    return info.dli_fname;
}

// Sets or clears an environment variable for one test and restores it afterwards.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        if (value != nullptr) {
            setenv(name, value, 1);
        } else {
            unsetenv(name);
        }
    }
    ~ScopedEnvironment() {
        if (old_) {
            setenv(name_, old_->c_str(), 1);
        } else {
            unsetenv(name_);
        }
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

} // namespace

TEST(SharedLibrary, RelativePathsAreRefusedWithoutLooking) {
    for (const char* path : {"libVIZUrav.so", "./libVIZUrav.so", "bin/libc.so.6", "libc.so.6"}) {
        Expected<SharedLibrary> lib = SharedLibrary::load(path);
        ASSERT_FALSE(lib.ok()) << path;
        EXPECT_EQ(lib.error().code, DriverErrorCode::RelativePath) << path;
        EXPECT_EQ(lib.error().path, path);
    }
}

TEST(SharedLibrary, MissingLibrary) {
    Expected<SharedLibrary> lib = SharedLibrary::load("/nonexistent/folder/libVIZUrav.so");
    ASSERT_FALSE(lib.ok());
    EXPECT_EQ(lib.error().code, DriverErrorCode::NotFound);
    EXPECT_NE(describe(lib.error()).find("/nonexistent/folder/libVIZUrav.so"), std::string::npos);
}

TEST(SharedLibrary, FileThatIsNotALibrary) {
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("tb-not-a-library-" + std::to_string(getpid()));
    {
        std::ofstream out(path);
        out << "not an ELF file\n";
    }
    Expected<SharedLibrary> lib = SharedLibrary::load(path);
    std::filesystem::remove(path);
    ASSERT_FALSE(lib.ok());
    EXPECT_EQ(lib.error().code, DriverErrorCode::LoadFailed);
    EXPECT_FALSE(lib.error().message.empty()) << "the loader's reason is kept";
}

TEST(SharedLibrary, ResolvesAndCallsAnOperation) {
    const std::filesystem::path libc = cLibraryPath();
    ASSERT_TRUE(libc.is_absolute()) << libc;
    Expected<SharedLibrary> lib = SharedLibrary::load(libc);
    ASSERT_TRUE(lib.ok()) << describe(lib.error());
    EXPECT_TRUE(lib.value().loaded());
    EXPECT_EQ(lib.value().path(), libc);

    Expected<pid_t (*)()> ownPid = lib.value().function<pid_t()>("getpid");
    ASSERT_TRUE(ownPid.ok());
    EXPECT_EQ(ownPid.value()(), getpid());
}

TEST(SharedLibrary, LibraryMissingAnOperation) {
    Expected<SharedLibrary> lib = SharedLibrary::load(cLibraryPath());
    ASSERT_TRUE(lib.ok());
    Expected<void*> op = lib.value().symbol("InitUSB");
    ASSERT_FALSE(op.ok());
    EXPECT_EQ(op.error().code, DriverErrorCode::SymbolMissing);
    EXPECT_EQ(op.error().symbol, "InitUSB");
    EXPECT_NE(describe(op.error()).find("InitUSB"), std::string::npos);
}

TEST(SharedLibrary, UnloadForgetsTheLibrary) {
    Expected<SharedLibrary> lib = SharedLibrary::load(cLibraryPath());
    ASSERT_TRUE(lib.ok());
    lib.value().unload();
    EXPECT_FALSE(lib.value().loaded());
    Expected<void*> op = lib.value().symbol("getpid");
    ASSERT_FALSE(op.ok());
    EXPECT_EQ(op.error().code, DriverErrorCode::NotLoaded);
    lib.value().unload(); // a second unload is harmless
    EXPECT_FALSE(lib.value().loaded());
}

TEST(SharedLibrary, MovingTransfersOwnership) {
    Expected<SharedLibrary> lib = SharedLibrary::load(cLibraryPath());
    ASSERT_TRUE(lib.ok());
    SharedLibrary owner = std::move(lib.value());
    EXPECT_FALSE(lib.value().loaded());
    EXPECT_TRUE(owner.loaded());
    EXPECT_TRUE(owner.symbol("getpid").ok());

    SharedLibrary other;
    EXPECT_FALSE(other.loaded());
    other = std::move(owner);
    EXPECT_FALSE(owner.loaded());
    EXPECT_TRUE(other.symbol("getpid").ok());
}

TEST(DriverLocation, ProgramFolderIsWhereThisProgramLives) {
    Expected<std::filesystem::path> folder = programFolder();
    ASSERT_TRUE(folder.ok()) << describe(folder.error());
    EXPECT_TRUE(folder.value().is_absolute());
    EXPECT_TRUE(std::filesystem::equivalent(folder.value(), TB_OUTPUT_DIR));
}

TEST(DriverLocation, DefaultIsTheDriverBesideTheProgram) {
    Expected<std::filesystem::path> path = driverLibraryPath(std::nullopt, "/opt/tb/bin");
    ASSERT_TRUE(path.ok());
    EXPECT_EQ(path.value(), "/opt/tb/bin/libVIZUrav.so");

    path = driverLibraryPath(std::string(), "/opt/tb/bin");
    ASSERT_TRUE(path.ok());
    EXPECT_EQ(path.value(), "/opt/tb/bin/libVIZUrav.so") << "an empty override is no override";
}

TEST(DriverLocation, AbsoluteOverrideWins) {
    Expected<std::filesystem::path> path =
        driverLibraryPath(std::string("/usr/lib/vendor/libReal.so"), "/opt/tb/bin");
    ASSERT_TRUE(path.ok());
    EXPECT_EQ(path.value(), "/usr/lib/vendor/libReal.so");
}

TEST(DriverLocation, RelativeOverrideIsRefusedNotReplaced) {
    for (const char* value : {"libVIZUrav.so", "./libVIZUrav.so", "../lib/libVIZUrav.so"}) {
        Expected<std::filesystem::path> path = driverLibraryPath(std::string(value), "/opt/tb/bin");
        ASSERT_FALSE(path.ok()) << value;
        EXPECT_EQ(path.error().code, DriverErrorCode::RelativePath);
        EXPECT_EQ(path.error().path, value);
    }
}

TEST(DriverLocation, RelativeFolderIsRefused) {
    Expected<std::filesystem::path> path = driverLibraryPath(std::nullopt, "bin");
    ASSERT_FALSE(path.ok());
    EXPECT_EQ(path.error().code, DriverErrorCode::RelativePath);
}

TEST(DriverLocation, EnvironmentVariable) {
    {
        ScopedEnvironment env("TOLLERBANK_DRIVER", "/srv/drivers/libVIZUrav.so");
        Expected<std::filesystem::path> path = driverLibraryPath();
        ASSERT_TRUE(path.ok());
        EXPECT_EQ(path.value(), "/srv/drivers/libVIZUrav.so");
    }
    {
        ScopedEnvironment env("TOLLERBANK_DRIVER", "drivers/libVIZUrav.so");
        Expected<std::filesystem::path> path = driverLibraryPath();
        ASSERT_FALSE(path.ok());
        EXPECT_EQ(path.error().code, DriverErrorCode::RelativePath);
    }
    {
        ScopedEnvironment env("TOLLERBANK_DRIVER", nullptr);
        Expected<std::filesystem::path> path = driverLibraryPath();
        ASSERT_TRUE(path.ok());
        EXPECT_EQ(path.value().filename(), "libVIZUrav.so");
        EXPECT_TRUE(std::filesystem::equivalent(path.value().parent_path(), TB_OUTPUT_DIR));
    }
}
