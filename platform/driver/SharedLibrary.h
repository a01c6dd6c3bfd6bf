// Loading a shared library at run time and finding its operations by name, for the instrument's
// driver library. Libraries are only ever loaded by absolute path, so a library of the same name in
// the current directory or on a search path can never take the driver's place. Failures come back
// as values: a missing driver is an ordinary situation the link reports to the user.
#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <variant>

namespace platform::driver {

enum class DriverErrorCode {
    RelativePath,    // the path is not absolute; refused without looking
    NotFound,        // no file at the path
    LoadFailed,      // the file exists but the loader refused it
    SymbolMissing,   // the library lacks the named operation
    NotLoaded,       // an operation was looked up in a library that is not loaded
    NoProgramFolder, // the program's own file could not be found
};

struct DriverError {
    DriverErrorCode code;
    std::string path;    // the library (or path) concerned
    std::string symbol;  // the operation, for SymbolMissing
    std::string message; // the loader's own explanation, when it gave one
};

// A value or the reason there is none.
template <typename T> class Expected {
public:
    Expected(T value) : state_(std::move(value)) {}
    Expected(DriverError error) : state_(std::move(error)) {}

    bool ok() const { return std::holds_alternative<T>(state_); }
    explicit operator bool() const { return ok(); }

    T& value() { return std::get<T>(state_); }
    const T& value() const { return std::get<T>(state_); }
    const DriverError& error() const { return std::get<DriverError>(state_); }

private:
    std::variant<T, DriverError> state_;
};

// An open shared library; unloaded when destroyed. Move-only.
class SharedLibrary {
public:
    SharedLibrary() = default;
    ~SharedLibrary();
    SharedLibrary(SharedLibrary&& other) noexcept;
    SharedLibrary& operator=(SharedLibrary&& other) noexcept;
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;

    // Loads the library at an absolute path with every symbol resolved at once and none of them
    // made visible to libraries loaded later.
    static Expected<SharedLibrary> load(const std::filesystem::path& absolutePath);

    bool loaded() const { return handle_ != nullptr; }
    const std::filesystem::path& path() const { return path_; }

    // The address of an exported symbol.
    Expected<void*> symbol(const char* name) const;

    // An exported function as a pointer of the caller's type (the caller vouches for the type).
    template <typename Function> Expected<Function*> function(const char* name) const {
        Expected<void*> address = symbol(name);
        if (!address) {
            return address.error();
        }
        return reinterpret_cast<Function*>(address.value());
    }

    // Unloads now; addresses taken from the library are invalid afterwards. Does nothing when not
    // loaded.
    void unload();

private:
    SharedLibrary(void* handle, std::filesystem::path path)
        : handle_(handle), path_(std::move(path)) {}

    void* handle_ = nullptr;
    std::filesystem::path path_;
};

// A one-line description of an error for logs and messages.
std::string describe(const DriverError& error);

} // namespace platform::driver
