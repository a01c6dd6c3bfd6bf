// Text files of lines: written with CR LF, read with CR LF, LF or a last line without an end.
// Writers never destroy the previous file: they write a temporary file beside the target and
// rename it over the target only when everything was written.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace platform::text {

// An input/output failure of the platform layer (open, read, write, rename).
class IoError : public std::runtime_error {
public:
    explicit IoError(const std::string& what) : std::runtime_error(what) {}
};

// Streams the lines of a file through one large buffer. A line is handed out as a view into the
// buffer, valid until the next call. A CR directly before the LF is removed; a lone CR stays.
class LineReader {
public:
    // Throws IoError when the file cannot be opened.
    explicit LineReader(const std::filesystem::path& path);
    ~LineReader();
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    // The next line; false at the end of the file. Throws IoError on a read failure and for a
    // line longer than 64 MiB.
    bool next(std::string_view& line);

    // Whether another line follows (peeks, does not consume).
    bool atEnd();

    // Number of lines handed out so far.
    std::uint64_t lineNumber() const { return lineNumber_; }

    // Bytes not yet handed out, as far as the file's size tells; the largest value for a file
    // whose size is not known (a pipe). Readers check announced counts against it before they
    // allocate for them.
    std::uint64_t bytesLeft() const;

private:
    bool fill();

    std::FILE* file_ = nullptr;
    std::uint64_t fileSize_ = 0;
    std::uint64_t fileRead_ = 0;
    bool sizeKnown_ = false;
    std::vector<char> buffer_;
    size_t begin_ = 0;
    size_t end_ = 0;
    bool eof_ = false;
    std::uint64_t lineNumber_ = 0;
};

// Every line of a file (see LineReader). Throws IoError when the file cannot be read.
std::vector<std::string> readAllLines(const std::filesystem::path& path);

// Number of lines of a file, counted as LineReader hands them out.
std::uint64_t countLines(const std::filesystem::path& path);

// Writes a file through a temporary file beside it, created exclusively under an unpredictable
// name. Nothing reaches the target until commit() succeeds, and then all of it at once: a writer
// that fails or is killed at any moment leaves the previous file. A writer destroyed without
// commit removes its temporary file. The new file keeps the permissions of the file it replaces.
class AtomicFileWriter {
public:
    // Throws IoError when the temporary file cannot be created.
    explicit AtomicFileWriter(std::filesystem::path target);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    void write(std::string_view bytes);
    void write(const void* data, size_t size);

    // One line ended by CR LF.
    void writeLine(std::string_view line);

    // Flushes, syncs and renames over the target. Throws IoError; the target is then untouched.
    void commit();

    const std::filesystem::path& target() const { return target_; }

private:
    void flushBuffer();

    std::filesystem::path target_;
    std::filesystem::path temp_;
    std::FILE* file_ = nullptr;
    std::vector<char> buffer_;
    bool failed_ = false;
    bool committed_ = false;
};

// Writes the lines (each ended by CR LF) atomically. Throws IoError.
void writeAllLines(const std::filesystem::path& path, const std::vector<std::string>& lines);

} // namespace platform::text
