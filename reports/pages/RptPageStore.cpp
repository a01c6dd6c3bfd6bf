#include "reports/pages/RptPageStore.h"

#include "platform/text/LineFile.h"
#include "reports/pages/RptError.h"
#include "reports/pages/RptTexts.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <ctime>
#include <stdexcept>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

using platform::emf::Metafile;
using platform::text::IoError;

namespace {

[[noreturn]] void invalidFile() {
    throw ERptError(RptText(rtxtInvalidReportFile));
}

std::int32_t getI32(const std::uint8_t* p) {
    return std::int32_t(std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) |
                        (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24));
}

void putI32(std::uint8_t* p, std::int32_t v) {
    for (int i = 0; i < 4; ++i) {
        p[i] = std::uint8_t(std::uint32_t(v) >> (8 * i));
    }
}

// Days from 1970-01-01 to a civil date (proleptic Gregorian).
std::int64_t daysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = unsigned(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + std::int64_t(doe) - 719468;
}

// The smallest record: page number, end offset, back link and a metafile of header and end
// (compressed: its length and at least one bit per byte).
constexpr std::int64_t kMinPageSize = platform::emf::kMinHeaderSize + 20;
constexpr std::int64_t minRecordSize(bool compressed) {
    return compressed ? 12 + 4 + kMinPageSize / 8 : 12 + kMinPageSize;
}
// The coder spends at least one bit per byte.
constexpr std::int64_t kMaxExpansion = 8;

} // namespace

// ---- streams ------------------------------------------------------------------------------------

std::int64_t TStream::Size() {
    const std::int64_t pos = Seek(0, TSeekOrigin::soCurrent);
    const std::int64_t size = Seek(0, TSeekOrigin::soEnd);
    Seek(pos, TSeekOrigin::soBeginning);
    return size;
}

std::size_t TMemoryStream::Read(void* buffer, std::size_t count) {
    if (position_ >= data_.size()) {
        return 0;
    }
    const std::size_t n = std::min(count, data_.size() - position_);
    std::memcpy(buffer, data_.data() + position_, n);
    position_ += n;
    return n;
}

void TMemoryStream::Write(const void* buffer, std::size_t count) {
    if (count == 0) {
        return;
    }
    if (position_ + count > data_.size()) {
        data_.resize(position_ + count);
    }
    std::memcpy(data_.data() + position_, buffer, count);
    position_ += count;
}

std::int64_t TMemoryStream::Seek(std::int64_t offset, TSeekOrigin origin) {
    std::int64_t base = 0;
    if (origin == TSeekOrigin::soCurrent) {
        base = std::int64_t(position_);
    } else if (origin == TSeekOrigin::soEnd) {
        base = std::int64_t(data_.size());
    }
    position_ = std::size_t(std::max<std::int64_t>(0, base + offset));
    return std::int64_t(position_);
}

std::vector<std::uint8_t> TMemoryStream::TakeData() {
    position_ = 0;
    return std::move(data_);
}

TRptStream::TRptStream(std::int32_t memoryLimit) : memoryLimit_(memoryLimit) {}

std::unique_ptr<TRptStream> TRptStream::CreateFromFile(const std::filesystem::path& fileName) {
    std::unique_ptr<TRptStream> s(new TRptStream());
    s->file_ = std::fopen(fileName.c_str(), "rb");
    if (s->file_ == nullptr) {
        throw IoError("Cannot open " + fileName.string() + ": " + std::strerror(errno));
    }
    s->inMemory_ = false;
    return s;
}

TRptStream::~TRptStream() {
    std::lock_guard guard(lock_);
    if (file_ != nullptr) {
        std::fclose(file_);
    }
    if (!tempFileName_.empty()) {
        std::error_code ec;
        std::filesystem::remove(tempFileName_, ec);
        if (std::filesystem::exists(tempFileName_, ec)) {
            std::filesystem::remove(tempFileName_, ec);
        }
    }
}

std::size_t TRptStream::Read(void* buffer, std::size_t count) {
    std::lock_guard guard(lock_);
    if (inMemory_) {
        return memory_.Read(buffer, count);
    }
    return std::fread(buffer, 1, count, file_);
}

void TRptStream::Write(const void* buffer, std::size_t count) {
    std::lock_guard guard(lock_);
    if (inMemory_) {
        memory_.Write(buffer, count);
        if (memory_.Data().size() > std::size_t(std::max(0, memoryLimit_))) {
            moveToFile();
        }
        return;
    }
    if (std::fwrite(buffer, 1, count, file_) != count) {
        throw IoError("Cannot write the report pages: " + std::string(std::strerror(errno)));
    }
}

// The temporary file is made by mkstemp: created exclusively, named unpredictably, readable and
// writable by the user alone.
void TRptStream::moveToFile() {
    std::filesystem::path dir;
    try {
        dir = std::filesystem::temp_directory_path();
    } catch (const std::filesystem::filesystem_error& e) {
        throw IoError(std::string("No temporary folder for the report pages: ") + e.what());
    }
    std::string name = (dir / "FPRXXXXXX").string();
    const int fd = ::mkstemp(name.data());
    if (fd < 0) {
        throw IoError("Cannot create a temporary file in " + dir.string() + ": " +
                      std::strerror(errno));
    }
    std::FILE* f = ::fdopen(fd, "w+b");
    if (f == nullptr) {
        ::close(fd);
        ::unlink(name.c_str());
        throw IoError("Cannot open the temporary file " + name);
    }
    const std::vector<std::uint8_t>& data = memory_.Data();
    const std::int64_t position = memory_.Position();
    if (std::fwrite(data.data(), 1, data.size(), f) != data.size() ||
        ::fseeko(f, off_t(position), SEEK_SET) != 0) {
        const int err = errno;
        std::fclose(f);
        ::unlink(name.c_str());
        throw IoError("Cannot write the temporary file " + name + ": " + std::strerror(err));
    }
    file_ = f;
    tempFileName_ = name;
    memory_ = TMemoryStream();
    inMemory_ = false;
}

std::int64_t TRptStream::Seek(std::int64_t offset, TSeekOrigin origin) {
    std::lock_guard guard(lock_);
    if (inMemory_) {
        return memory_.Seek(offset, origin);
    }
    const int whence = origin == TSeekOrigin::soBeginning ? SEEK_SET
                       : origin == TSeekOrigin::soCurrent ? SEEK_CUR
                                                          : SEEK_END;
    if (::fseeko(file_, off_t(offset), whence) != 0) {
        throw IoError("Cannot position in the report pages: " + std::string(std::strerror(errno)));
    }
    return std::int64_t(::ftello(file_));
}

void TRptStream::SaveToStream(TStream& dest) {
    std::lock_guard guard(lock_);
    Seek(0, TSeekOrigin::soBeginning);
    std::vector<std::uint8_t> block(10240);
    while (true) {
        const std::size_t n = Read(block.data(), block.size());
        if (n == 0) {
            break;
        }
        dest.Write(block.data(), n);
    }
}

namespace {

class AtomicFileStream : public TStream {
public:
    explicit AtomicFileStream(platform::text::AtomicFileWriter& w) : w_(w) {}
    std::size_t Read(void*, std::size_t) override { return 0; }
    void Write(const void* buffer, std::size_t count) override {
        w_.write(buffer, count);
        position_ += std::int64_t(count);
    }
    std::int64_t Seek(std::int64_t, TSeekOrigin) override { return position_; }

private:
    platform::text::AtomicFileWriter& w_;
    std::int64_t position_ = 0;
};

} // namespace

void TRptStream::SaveToFile(const std::filesystem::path& fileName) {
    platform::text::AtomicFileWriter writer(fileName);
    AtomicFileStream out(writer);
    SaveToStream(out);
    writer.commit();
}

// ---- coder --------------------------------------------------------------------------------------

namespace {
constexpr std::uint8_t kBitMask[8] = {1, 2, 4, 8, 16, 32, 64, 128};
}

TRptCompress::TRptCompress(TStream& stream, bool compressMode)
    : BitPos(compressMode ? 0 : 7), CompressMode(compressMode), stream_(stream) {
    Up[0] = 0;
    for (int i = 1; i <= 512; ++i) {
        Up[i] = std::uint8_t((i - 1) / 2);
    }
    for (int i = 0; i <= 255; ++i) {
        Left[i] = std::uint16_t(2 * i + 1);
        Right[i] = std::uint16_t(2 * i + 2);
    }
}

TRptCompress::~TRptCompress() {
    if (CompressMode && BitPos != 0) {
        const std::uint8_t b = std::uint8_t(OutByte);
        try {
            stream_.Write(&b, 1);
        } catch (...) {
            // A destructor cannot report; the page's later writes fail the same way and do.
        }
    }
}

void TRptCompress::Compress(std::uint8_t byte) {
    bool path[513];
    int depth = 0;
    int a = byte + 256;
    do {
        const int parent = Up[a];
        path[depth++] = Right[parent] == a;
        a = parent;
    } while (a != 0 && depth < 513);
    while (depth > 0) {
        if (path[--depth]) {
            OutByte |= kBitMask[BitPos];
        }
        if (BitPos == 7) {
            const std::uint8_t b = std::uint8_t(OutByte);
            stream_.Write(&b, 1);
            BitPos = 0;
            OutByte = 0;
        } else {
            ++BitPos;
        }
    }
    Splay(byte);
}

std::uint8_t TRptCompress::Expand() {
    int a = 0;
    while (a < 256) {
        if (BitPos == 7) {
            std::uint8_t b = 0;
            if (stream_.Read(&b, 1) != 1) {
                invalidFile();
            }
            InByte = b;
            BitPos = 0;
        } else {
            ++BitPos;
        }
        a = (InByte & kBitMask[BitPos]) ? Right[a] : Left[a];
    }
    if (a == 512) {
        invalidFile(); // no byte is ever coded there
    }
    const int b = a - 256;
    Splay(b);
    return std::uint8_t(b);
}

void TRptCompress::Splay(int b) {
    int a = b + 256;
    do {
        const int c = Up[a];
        if (c != 0) {
            const int d = Up[c];
            int bb = Left[d];
            if (c == bb) {
                bb = Right[d];
                Right[d] = std::uint16_t(a);
            } else {
                Left[d] = std::uint16_t(a);
            }
            if (a == Left[c]) {
                Left[c] = std::uint16_t(bb);
            } else {
                Right[c] = std::uint16_t(bb);
            }
            Up[a] = std::uint8_t(d);
            Up[bb] = std::uint8_t(c);
            a = d;
        } else {
            a = c;
        }
    } while (a != 0);
}

// ---- outline ------------------------------------------------------------------------------------

void TRptOutline::Clear() {
    entries_.clear();
    if (view_ != nullptr) {
        view_->Clear();
    }
}

void TRptOutline::Add(TRptOutlineEntry entry) {
    if (entry.Caption.size() > 51) {
        entry.Caption.resize(51);
    }
    entries_.push_back(std::move(entry));
}

void TRptOutline::SetTreeView(TRptOutlineView* view) {
    view_ = view;
    if (view_ != nullptr) {
        Rebuild();
    }
}

void TRptOutline::Rebuild() {
    if (view_ == nullptr) {
        return;
    }
    view_->Clear();
    // The node last added at each level; an entry hangs under the one of the level above.
    std::vector<std::pair<std::int32_t, int>> lastAtLevel;
    for (const auto& e : entries_) {
        int parent = -1;
        for (auto it = lastAtLevel.rbegin(); it != lastAtLevel.rend(); ++it) {
            if (it->first == e.Level - 1) {
                parent = it->second;
                break;
            }
        }
        const int node = view_->AddNode(parent, e.Caption);
        auto same = std::find_if(lastAtLevel.begin(), lastAtLevel.end(),
                                 [&](const auto& p) { return p.first == e.Level; });
        if (same != lastAtLevel.end()) {
            same->second = node;
        } else {
            lastAtLevel.emplace_back(e.Level, node);
        }
    }
}

void TRptOutline::Find(std::int32_t id, platform::gfx::TRect& rect, std::int32_t& page) const {
    for (const auto& e : entries_) {
        if (e.Id == id) {
            rect = e.Rect;
            page = e.Page;
            return;
        }
    }
    rect = {};
    page = 0;
}

// ---- page list ----------------------------------------------------------------------------------

double NowAsFileDate() {
    const std::time_t t = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&t, &local);
    const std::int64_t days =
        daysFromCivil(local.tm_year + 1900, unsigned(local.tm_mon + 1), unsigned(local.tm_mday)) -
        daysFromCivil(1899, 12, 30);
    const double seconds = local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec;
    return double(days) + seconds / 86400.0;
}

TRptPageList::TRptPageList() = default;
TRptPageList::~TRptPageList() = default;

void TRptPageList::SetStream(std::unique_ptr<TRptStream> stream) {
    std::lock_guard guard(lock_);
    stream_ = std::move(stream);
    headerSize_ = 0;
    starts_.clear();
}

std::unique_ptr<TRptStream> TRptPageList::TakeStream() {
    std::lock_guard guard(lock_);
    headerSize_ = 0;
    starts_.clear();
    return std::move(stream_);
}

std::int32_t TRptPageList::readI32() {
    std::uint8_t b[4];
    if (stream_->Read(b, 4) != 4) {
        invalidFile();
    }
    return getI32(b);
}

void TRptPageList::writeI32(std::int32_t v) {
    std::uint8_t b[4];
    putI32(b, v);
    stream_->Write(b, 4);
}

void TRptPageList::WriteFileHeader() {
    std::lock_guard guard(lock_);
    if (!stream_) {
        throw std::logic_error("page list without a stream");
    }
    std::uint8_t h[kHeaderSize] = {};
    h[0] = 3;
    h[2] = 40;
    putI32(h + 8, PageCount);
    const double now = Now ? Now() : 0.0;
    std::memcpy(h + 16, &now, 8);
    h[25] = Compression ? 1 : 0;
    const std::int64_t position = stream_->Position();
    stream_->Seek(0, TSeekOrigin::soBeginning);
    stream_->Write(h, sizeof h);
    stream_->Seek(std::max<std::int64_t>(position, kHeaderSize), TSeekOrigin::soBeginning);
    headerSize_ = kHeaderSize;
}

void TRptPageList::AddPage(const Metafile& page) {
    std::lock_guard guard(lock_);
    if (!stream_) {
        throw std::logic_error("page list without a stream");
    }
    ++PageCount;
    if (PageCount == 1) {
        WriteFileHeader();
    }
    const std::int64_t start = stream_->Seek(0, TSeekOrigin::soEnd);
    if (starts_.size() == std::size_t(PageCount - 1)) {
        starts_.push_back(start);
    }
    writeI32(PageCount);
    const std::int64_t endField = stream_->Position();
    writeI32(0);
    if (!Compression) {
        stream_->Write(page.Bytes().data(), page.Size());
    } else {
        writeI32(std::int32_t(page.Size()));
        TRptCompress coder(*stream_, true);
        for (std::uint8_t b : page.Bytes()) {
            coder.Compress(b);
        }
    }
    writeI32(std::int32_t(start));
    const std::int64_t end = stream_->Position();
    if (end > INT32_MAX) {
        throw IoError("The report pages exceed the page file's 2 GiB");
    }
    stream_->Seek(endField, TSeekOrigin::soBeginning);
    writeI32(std::int32_t(end));
    stream_->Seek(end, TSeekOrigin::soBeginning);
}

std::int32_t TRptPageList::detectHeaderSize() {
    if (!stream_) {
        throw std::logic_error("page list without a stream");
    }
    const std::int64_t position = stream_->Position();
    const std::int64_t size = stream_->Size();
    // The first page's metafile signature (" EMF" 40 bytes into it) where the old form has it.
    auto probe = [&](std::int64_t at) {
        char text[3] = {};
        if (at + 3 > size) {
            return false; // a short file has nothing there
        }
        stream_->Seek(at, TSeekOrigin::soBeginning);
        return stream_->Read(text, 3) == 3 && std::memcmp(text, "EMF", 3) == 0;
    };
    // A record that starts at `at` with page number 1 and links back to itself.
    auto recordAt = [&](std::int64_t at) {
        std::uint8_t b[8];
        if (at + 8 > size) {
            return false;
        }
        stream_->Seek(at, TSeekOrigin::soBeginning);
        if (stream_->Read(b, 8) != 8 || getI32(b) != 1) {
            return false;
        }
        const std::int64_t end = getI32(b + 4);
        if (end < at + 16 || end > size) {
            return false;
        }
        stream_->Seek(end - 4, TSeekOrigin::soBeginning);
        return stream_->Read(b, 4) == 4 && getI32(b) == at;
    };
    // The first record decides: the page data of a compressed page may hold anything, so the
    // metafile signature only settles bytes that would do as a record either way.
    const bool current = recordAt(kHeaderSize);
    const bool old = recordAt(kOldHeaderSize);
    std::int32_t result = kHeaderSize;
    if (current && old) {
        result = probe(173) ? kOldHeaderSize : kHeaderSize;
    } else if (old || (!current && size == kOldHeaderSize)) {
        result = kOldHeaderSize; // an old file, of no pages too
    }
    stream_->Seek(position, TSeekOrigin::soBeginning);
    return result;
}

std::int32_t TRptPageList::HeaderSize() {
    std::lock_guard guard(lock_);
    if (headerSize_ == 0) {
        headerSize_ = detectHeaderSize();
    }
    return headerSize_;
}

void TRptPageList::ReadFileHeader() {
    std::lock_guard guard(lock_);
    headerSize_ = detectHeaderSize();
    std::uint8_t raw[kHeaderSize] = {};
    stream_->Seek(0, TSeekOrigin::soBeginning);
    if (stream_->Read(raw, std::size_t(headerSize_)) != std::size_t(headerSize_)) {
        invalidFile();
    }
    std::uint8_t h[kHeaderSize] = {};
    if (headerSize_ == kOldHeaderSize) {
        std::memcpy(h + 0, raw + 0, 4);
        h[4] = raw[4];
        std::memcpy(h + 8, raw + 8, 4);
        std::memcpy(h + 16, raw + 12, 8);
        std::memcpy(h + 24, raw + 20, 2);
        std::memcpy(h + 26, raw + 22, 101);
    } else {
        std::memcpy(h, raw, kHeaderSize);
    }
    if (h[0] != 3 || h[1] != 0 || h[2] != 40 || h[3] != 0) {
        invalidFile();
    }
    PageCount = getI32(h + 8);
    std::memcpy(&fileDate_, h + 16, 8);
    Compression = h[25] != 0;
}

// Walks every record from the header on and refuses the file unless each one is where the
// previous one says, carries the next page number, ends inside the file and links back to its
// own start, and its data has the length its metafile (or the coder's count) needs.
void TRptPageList::checkRecords() {
    const std::int64_t size = stream_->Size();
    const std::int64_t minRecord = minRecordSize(Compression);
    if (PageCount < 0 || PageCount > (size - headerSize_) / minRecord) {
        invalidFile();
    }
    std::int64_t at = headerSize_;
    starts_.clear();
    for (std::int32_t n = 1; n <= PageCount; ++n) {
        starts_.push_back(at);
        stream_->Seek(at, TSeekOrigin::soBeginning);
        if (readI32() != n) {
            invalidFile();
        }
        const std::int64_t end = readI32();
        if (end < at + minRecord || end > size) {
            invalidFile();
        }
        const std::int64_t dataLength = end - at - 12;
        if (Compression) {
            const std::int64_t length = readI32();
            if (length < kMinPageSize || length > (dataLength - 4) * kMaxExpansion) {
                invalidFile();
            }
        } else {
            std::uint8_t head[platform::emf::kMinHeaderSize];
            if (stream_->Read(head, sizeof head) != sizeof head) {
                invalidFile();
            }
            try {
                if (platform::emf::metafileLength(head) != dataLength) {
                    invalidFile();
                }
            } catch (const platform::emf::EmfError&) {
                invalidFile();
            }
        }
        stream_->Seek(end - 4, TSeekOrigin::soBeginning);
        if (readI32() != at) {
            invalidFile();
        }
        at = end;
    }
    if (at != size) {
        invalidFile(); // more records than the header counts
    }
}

void TRptPageList::SeekToFirst() {
    stream_->Seek(HeaderSize(), TSeekOrigin::soBeginning);
}

void TRptPageList::SeekToLast() {
    stream_->Seek(-4, TSeekOrigin::soEnd);
    const std::int32_t start = readI32();
    stream_->Seek(start, TSeekOrigin::soBeginning);
}

std::int64_t TRptPageList::pageStart(std::int32_t n) {
    if (starts_.empty()) {
        starts_.push_back(HeaderSize());
    }
    const std::int64_t size = stream_->Size();
    const std::int64_t minRecord = minRecordSize(Compression);
    while (starts_.size() < std::size_t(n)) {
        const std::int64_t at = starts_.back();
        stream_->Seek(at, TSeekOrigin::soBeginning);
        if (readI32() != std::int32_t(starts_.size())) {
            invalidFile();
        }
        const std::int64_t end = readI32();
        if (end < at + minRecord || end > size) {
            invalidFile();
        }
        starts_.push_back(end);
    }
    return starts_[std::size_t(n - 1)];
}

void TRptPageList::SeekToPage(std::int32_t n) {
    std::lock_guard guard(lock_);
    stream_->Seek(pageStart(n), TSeekOrigin::soBeginning);
}

// The whole record is read first and the page made from its bytes alone: neither a page that
// fails halfway nor the bits the coder still wants may reach into the record after it.
std::unique_ptr<Metafile> TRptPageList::GetPage(std::int32_t pageNumber) {
    std::lock_guard guard(lock_);
    if (!stream_ || pageNumber < 1 || pageNumber > PageCount) {
        return nullptr;
    }
    const std::int64_t start = pageStart(pageNumber);
    stream_->Seek(start, TSeekOrigin::soBeginning);
    if (readI32() != pageNumber) {
        invalidFile();
    }
    const std::int64_t end = readI32();
    const std::int64_t dataLength = end - start - 12;
    if (dataLength < 0 || end > stream_->Size()) {
        invalidFile();
    }
    std::vector<std::uint8_t> record(std::size_t(dataLength + 4));
    if (stream_->Read(record.data(), record.size()) != record.size()) {
        invalidFile();
    }
    if (getI32(record.data() + dataLength) != start) {
        invalidFile();
    }
    record.resize(std::size_t(dataLength));
    std::vector<std::uint8_t> bytes;
    if (!Compression) {
        bytes = std::move(record);
    } else {
        if (dataLength < 4) {
            invalidFile();
        }
        const std::int64_t length = getI32(record.data());
        if (length < 0 || length > (dataLength - 4) * kMaxExpansion) {
            invalidFile();
        }
        TMemoryStream coded(std::vector<std::uint8_t>(record.begin() + 4, record.end()));
        TRptCompress coder(coded, false);
        bytes.resize(std::size_t(length));
        for (auto& b : bytes) {
            b = coder.Expand();
        }
    }
    try {
        return std::make_unique<Metafile>(std::move(bytes));
    } catch (const platform::emf::EmfError&) {
        invalidFile();
    }
}

void TRptPageList::LoadFromFile(const std::filesystem::path& fileName) {
    std::lock_guard guard(lock_);
    TRptPageList loaded;
    loaded.SetStream(TRptStream::CreateFromFile(fileName));
    loaded.ReadFileHeader();
    loaded.checkRecords();
    if (loaded.PageCount > 0) {
        loaded.GetPage(loaded.PageCount);
    }
    stream_ = loaded.TakeStream();
    headerSize_ = 0;
    PageCount = loaded.PageCount;
    Compression = loaded.Compression;
    fileDate_ = loaded.fileDate_;
}

void TRptPageList::SaveToFile(const std::filesystem::path& fileName) {
    std::lock_guard guard(lock_);
    if (!stream_) {
        throw std::logic_error("page list without a stream");
    }
    stream_->SaveToFile(fileName);
}

void TRptPageList::Clear() {
    std::lock_guard guard(lock_);
    PageCount = 0;
}
