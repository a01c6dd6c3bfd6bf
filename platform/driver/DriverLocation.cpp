#include "platform/driver/DriverLocation.h"

#include <cstdlib>
#include <system_error>

namespace platform::driver {

Expected<std::filesystem::path> programFolder() {
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec || !self.is_absolute()) {
        return DriverError{DriverErrorCode::NoProgramFolder, "/proc/self/exe", {}, ec.message()};
    }
    return self.parent_path();
}

Expected<std::filesystem::path> driverLibraryPath(const std::optional<std::string>& overridePath,
                                                  const std::filesystem::path& folder) {
    if (overridePath && !overridePath->empty()) {
        const std::filesystem::path path(*overridePath);
        if (!path.is_absolute()) {
            return DriverError{DriverErrorCode::RelativePath, *overridePath, {}, {}};
        }
        return path;
    }
    if (!folder.is_absolute()) {
        return DriverError{DriverErrorCode::RelativePath, folder.string(), {}, {}};
    }
    return folder / kDriverFileName;
}

Expected<std::filesystem::path> driverLibraryPath() {
    std::optional<std::string> overridePath;
    if (const char* value = std::getenv(kDriverPathVariable)) {
        overridePath = value;
    }
    if (overridePath && !overridePath->empty()) {
        return driverLibraryPath(overridePath, {});
    }
    Expected<std::filesystem::path> folder = programFolder();
    if (!folder) {
        return folder.error();
    }
    return driverLibraryPath(std::nullopt, folder.value());
}

} // namespace platform::driver
