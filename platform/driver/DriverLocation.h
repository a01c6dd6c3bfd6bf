// Where the instrument's driver library is taken from: the program's own folder, or an explicit
// absolute path named by the environment (to use a real driver, or a test double, in place of the
// simulated instrument built beside the program). Never the current directory or a search path.
#pragma once

#include "platform/driver/SharedLibrary.h"

#include <filesystem>
#include <optional>
#include <string>

namespace platform::driver {

inline constexpr const char* kDriverFileName = "libVIZUrav.so";
inline constexpr const char* kDriverPathVariable = "TOLLERBANK_DRIVER";

// The folder holding the running program's file.
Expected<std::filesystem::path> programFolder();

// The driver's path from an override (the environment variable's value; unset or empty means
// none) and the program's folder: the override when there is one, which must be absolute, else
// the driver's file name in the program's folder.
Expected<std::filesystem::path> driverLibraryPath(const std::optional<std::string>& overridePath,
                                                  const std::filesystem::path& folder);

// The same with the environment variable and the running program's folder.
Expected<std::filesystem::path> driverLibraryPath();

} // namespace platform::driver
