#include "platform/driver/SharedLibrary.h"

#include <dlfcn.h>

#include <system_error>

namespace platform::driver {

namespace {

std::string loaderMessage() {
    const char* text = dlerror();
    return text != nullptr ? std::string(text) : std::string();
}

} // namespace

SharedLibrary::~SharedLibrary() {
    unload();
}

SharedLibrary::SharedLibrary(SharedLibrary&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)), path_(std::move(other.path_)) {}

SharedLibrary& SharedLibrary::operator=(SharedLibrary&& other) noexcept {
    if (this != &other) {
        unload();
        handle_ = std::exchange(other.handle_, nullptr);
        path_ = std::move(other.path_);
    }
    return *this;
}

Expected<SharedLibrary> SharedLibrary::load(const std::filesystem::path& absolutePath) {
    const std::string text = absolutePath.string();
    // dlopen searches for a name without a slash and resolves a relative one against the current
    // directory; neither may choose the driver.
    if (!absolutePath.is_absolute()) {
        return DriverError{DriverErrorCode::RelativePath, text, {}, {}};
    }
    std::error_code ec;
    if (!std::filesystem::exists(absolutePath, ec)) {
        return DriverError{DriverErrorCode::NotFound, text, {}, {}};
    }
    dlerror();
    void* handle = dlopen(text.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        return DriverError{DriverErrorCode::LoadFailed, text, {}, loaderMessage()};
    }
    return SharedLibrary(handle, absolutePath);
}

Expected<void*> SharedLibrary::symbol(const char* name) const {
    if (handle_ == nullptr) {
        return DriverError{DriverErrorCode::NotLoaded, path_.string(), name, {}};
    }
    dlerror();
    void* address = dlsym(handle_, name);
    // A symbol may legitimately sit at address 0; only dlerror tells a missing one apart.
    const std::string message = loaderMessage();
    if (address == nullptr && !message.empty()) {
        return DriverError{DriverErrorCode::SymbolMissing, path_.string(), name, message};
    }
    return address;
}

void SharedLibrary::unload() {
    if (handle_ != nullptr) {
        dlclose(handle_);
        handle_ = nullptr;
    }
}

std::string describe(const DriverError& error) {
    std::string text;
    switch (error.code) {
    case DriverErrorCode::RelativePath:
        text = "not an absolute path: " + error.path;
        break;
    case DriverErrorCode::NotFound:
        text = "no such file: " + error.path;
        break;
    case DriverErrorCode::LoadFailed:
        text = "cannot load " + error.path;
        break;
    case DriverErrorCode::SymbolMissing:
        text = error.path + " has no operation " + error.symbol;
        break;
    case DriverErrorCode::NotLoaded:
        text = "no library loaded for " + error.symbol;
        break;
    case DriverErrorCode::NoProgramFolder:
        text = "cannot find the program's folder";
        break;
    }
    if (!error.message.empty()) {
        text += " (" + error.message + ")";
    }
    return text;
}

} // namespace platform::driver
