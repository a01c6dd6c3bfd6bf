// What every fuzz target shares: the input as a file (the parsers read files), a check that
// stops the run with a message when a property of the accepted result does not hold, the
// scripted message boxes that keep the readers from waiting for a user, and the application
// that drawing needs.
#pragma once

#include "platform/ui/MessageBox.h"

#include <QGuiApplication>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <span>
#include <string>
#include <unistd.h>

namespace fuzz {

// A folder of its own for the process, removed at exit; the input is written to one file in it.
class InputFile {
public:
    explicit InputFile(const std::string& name) {
        const char* shm = "/dev/shm";
        const char* tmp = std::getenv("TMPDIR");
        std::string base = std::filesystem::is_directory(shm) ? shm : (tmp ? tmp : "/tmp");
        std::string pattern = base + "/tb-fuzz-XXXXXX";
        if (!::mkdtemp(pattern.data())) {
            std::perror("mkdtemp");
            std::abort();
        }
        folder_ = pattern;
        path_ = folder_ / name;
    }
    ~InputFile() {
        std::error_code ec;
        std::filesystem::remove_all(folder_, ec);
    }
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    const std::filesystem::path& write(const std::uint8_t* data, std::size_t size) {
        return writeAt(path_, data, size);
    }
    const std::filesystem::path& writeAt(const std::filesystem::path& path,
                                         const std::uint8_t* data, std::size_t size) {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        if (!f || std::fwrite(data, 1, size, f) != size || std::fclose(f) != 0) {
            std::perror("fuzz input");
            std::abort();
        }
        written_ = path;
        return written_;
    }
    const std::filesystem::path& folder() const { return folder_; }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path folder_;
    std::filesystem::path path_;
    std::filesystem::path written_;
};

// A property of what a reader accepted that must hold for every input.
inline void check(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "property broken: %s\n", what);
        std::abort();
    }
}

// Pages draw text, which needs the offscreen platform's fonts. Kept to the end of the process:
// Qt's own statics are gone before ours would be destroyed.
inline void guiApplication(const char* name) {
    static int argc = 1;
    static char* argv[] = {const_cast<char*>(name), nullptr};
    static QGuiApplication* const app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QGuiApplication(argc, argv);
    }();
    (void)app;
}

// Readers that report to the user answer every box with its default.
inline void quietMessageBoxes() {
    static platform::ui::ScriptedMessageBoxes boxes;
    static platform::ui::ScopedMessageBoxService scope(&boxes);
    boxes.shown.clear();
}

inline std::span<const std::uint8_t> bytes(const std::uint8_t* data, std::size_t size) {
    return {data, size};
}

} // namespace fuzz
