#include "platform/text/LineFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::text {

namespace {

constexpr size_t kReadBuffer = 1 << 20;
constexpr size_t kSmallestBuffer = 4096;
constexpr size_t kWriteBuffer = 1 << 20;
// No line of any file the program reads comes near this; a file without line ends is not read
// into memory whole.
constexpr size_t kMaxLineLength = size_t(64) << 20;

std::string describe(const std::string& what, const std::filesystem::path& path) {
    return what + " \"" + path.string() + "\": " + std::strerror(errno);
}

} // namespace

LineReader::LineReader(const std::filesystem::path& path) {
    file_ = std::fopen(path.c_str(), "rb");
    if (!file_) {
        throw IoError(describe("Cannot open file", path));
    }
    if (std::filesystem::is_directory(path)) {
        std::fclose(file_);
        file_ = nullptr;
        errno = EISDIR;
        throw IoError(describe("Cannot open file", path));
    }
    struct stat info {};
    if (::fstat(::fileno(file_), &info) == 0 && S_ISREG(info.st_mode)) {
        fileSize_ = static_cast<std::uint64_t>(info.st_size);
        sizeKnown_ = true;
    }
    // A small file (a language file, a configuration text) gets a buffer of its own size, not a
    // megabyte of zeroed memory.
    buffer_.resize(sizeKnown_ && fileSize_ < kReadBuffer
                       ? std::max(static_cast<size_t>(fileSize_) + 1, kSmallestBuffer)
                       : kReadBuffer);
}

LineReader::~LineReader() {
    if (file_) {
        std::fclose(file_);
    }
}

bool LineReader::fill() {
    if (eof_) {
        return false;
    }
    if (begin_ > 0) {
        std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
        end_ -= begin_;
        begin_ = 0;
    }
    if (end_ == buffer_.size()) {
        if (buffer_.size() >= kMaxLineLength) {
            throw IoError("Line too long");
        }
        buffer_.resize(buffer_.size() * 2);
    }
    const size_t n = std::fread(buffer_.data() + end_, 1, buffer_.size() - end_, file_);
    if (n == 0) {
        if (std::ferror(file_)) {
            throw IoError("Read error");
        }
        eof_ = true;
        return false;
    }
    end_ += n;
    fileRead_ += n;
    return true;
}

std::uint64_t LineReader::bytesLeft() const {
    if (!sizeKnown_) {
        return std::numeric_limits<std::uint64_t>::max();
    }
    // A file that grew while being read has at least what was read.
    const std::uint64_t unread = fileSize_ > fileRead_ ? fileSize_ - fileRead_ : 0;
    return unread + (end_ - begin_);
}

bool LineReader::atEnd() {
    if (begin_ < end_) {
        return false;
    }
    return !fill();
}

bool LineReader::next(std::string_view& line) {
    size_t scanFrom = begin_;
    for (;;) {
        const void* hit = std::memchr(buffer_.data() + scanFrom, '\n', end_ - scanFrom);
        if (hit) {
            const size_t pos = static_cast<const char*>(hit) - buffer_.data();
            size_t len = pos - begin_;
            if (len > 0 && buffer_[pos - 1] == '\r') {
                --len;
            }
            line = std::string_view(buffer_.data() + begin_, len);
            begin_ = pos + 1;
            ++lineNumber_;
            return true;
        }
        const size_t scanned = end_ - begin_;
        if (!fill()) {
            if (begin_ < end_) {
                // Last line without an end.
                line = std::string_view(buffer_.data() + begin_, end_ - begin_);
                begin_ = end_;
                ++lineNumber_;
                return true;
            }
            return false;
        }
        scanFrom = begin_ + scanned;
    }
}

std::vector<std::string> readAllLines(const std::filesystem::path& path) {
    LineReader reader(path);
    std::vector<std::string> lines;
    std::string_view line;
    while (reader.next(line)) {
        lines.emplace_back(line);
    }
    return lines;
}

std::uint64_t countLines(const std::filesystem::path& path) {
    LineReader reader(path);
    std::string_view line;
    while (reader.next(line)) {
    }
    return reader.lineNumber();
}

namespace {

// The mode a file created now would get: 0666 less the process's umask, read without changing it
// where the system tells it.
mode_t newFileMode() {
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (status) {
        char line[256];
        unsigned mask = 0;
        bool found = false;
        while (!found && std::fgets(line, sizeof line, status)) {
            found = std::sscanf(line, "Umask: %o", &mask) == 1;
        }
        std::fclose(status);
        if (found) {
            return 0666 & ~static_cast<mode_t>(mask);
        }
    }
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

AtomicFileWriter::AtomicFileWriter(std::filesystem::path target) : target_(std::move(target)) {
    // Created exclusively under a name nobody can guess, so that in a folder others can write to
    // nothing planted beforehand (a file, a link to someone's file) is ever written through.
    std::string name = target_.string() + ".XXXXXX";
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) {
        throw IoError(describe("Cannot create file", target_));
    }
    temp_ = name;
    // The saved file keeps the permissions of the one it replaces; a new one gets the usual.
    struct stat previous {};
    const mode_t mode = ::stat(target_.c_str(), &previous) == 0 && S_ISREG(previous.st_mode)
                            ? previous.st_mode & 07777
                            : newFileMode();
    file_ = ::fchmod(fd, mode) == 0 ? ::fdopen(fd, "wb") : nullptr;
    if (!file_) {
        const int error = errno;
        ::close(fd);
        std::error_code ec;
        std::filesystem::remove(temp_, ec);
        errno = error;
        throw IoError(describe("Cannot create file", target_));
    }
    buffer_.reserve(kWriteBuffer);
}

AtomicFileWriter::~AtomicFileWriter() {
    if (file_) {
        std::fclose(file_);
    }
    if (!committed_) {
        std::error_code ec;
        std::filesystem::remove(temp_, ec);
    }
}

void AtomicFileWriter::flushBuffer() {
    if (buffer_.empty()) {
        return;
    }
    if (std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size()) {
        failed_ = true;
        buffer_.clear();
        throw IoError(describe("Cannot write file", target_));
    }
    buffer_.clear();
}

void AtomicFileWriter::write(const void* data, size_t size) {
    if (failed_ || !file_) {
        throw IoError("Cannot write file \"" + target_.string() + "\"");
    }
    const char* p = static_cast<const char*>(data);
    if (buffer_.size() + size > kWriteBuffer) {
        flushBuffer();
    }
    if (size >= kWriteBuffer) {
        if (std::fwrite(p, 1, size, file_) != size) {
            failed_ = true;
            throw IoError(describe("Cannot write file", target_));
        }
        return;
    }
    buffer_.insert(buffer_.end(), p, p + size);
}

void AtomicFileWriter::write(std::string_view bytes) {
    write(bytes.data(), bytes.size());
}

void AtomicFileWriter::writeLine(std::string_view line) {
    write(line);
    write("\r\n", 2);
}

void AtomicFileWriter::commit() {
    if (failed_ || !file_) {
        throw IoError("Cannot write file \"" + target_.string() + "\"");
    }
    flushBuffer();
    if (std::fflush(file_) != 0 || ::fsync(::fileno(file_)) != 0) {
        failed_ = true;
        throw IoError(describe("Cannot write file", target_));
    }
    const int rc = std::fclose(file_);
    file_ = nullptr;
    if (rc != 0) {
        failed_ = true;
        throw IoError(describe("Cannot write file", target_));
    }
    if (std::rename(temp_.c_str(), target_.c_str()) != 0) {
        failed_ = true;
        throw IoError(describe("Cannot replace file", target_));
    }
    committed_ = true;
    // The rename itself reaches the disk with its folder; a folder that cannot be synced (some
    // network file systems) leaves the file saved all the same.
    const std::filesystem::path folder =
        target_.has_parent_path() ? target_.parent_path() : std::filesystem::path(".");
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

void writeAllLines(const std::filesystem::path& path, const std::vector<std::string>& lines) {
    AtomicFileWriter writer(path);
    for (const auto& line : lines) {
        writer.writeLine(line);
    }
    writer.commit();
}

} // namespace platform::text
