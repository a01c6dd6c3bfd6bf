// The page store: every page a report run makes for the preview is kept as a metafile in one
// stream, each page a record with links forwards and backwards, behind a fixed file header. The
// stream starts in memory and moves to a temporary file once it passes its memory limit (report
// pictures make that the normal case). The same stream is the report page file ("*.FPR"): saving
// copies it unchanged, loading reads it back, 124-byte headers of old files included. Pages may
// be stored compressed with an adaptive splay-tree prefix coder.
//
// Layout (little-endian): a 128-byte header (u16 3, u16 40, i32 page count at 8, f64 local
// date at 16 in days since 1899-12-30, u8 compressed flag at 25, the rest zero), then per page:
// i32 page number, i32 absolute offset just past the record, the page data (the metafile's
// bytes, or i32 uncompressed length and the coder's bits), i32 absolute offset of the record.
#pragma once

#include "platform/emf/Metafile.h"
#include "platform/gfx/Geometry.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

// A stream of bytes. Reads answer how many bytes came; writes throw platform::text::IoError
// when they cannot be completed.
class TStream {
public:
    virtual ~TStream() = default;
    virtual std::size_t Read(void* buffer, std::size_t count) = 0;
    virtual void Write(const void* buffer, std::size_t count) = 0;
    virtual std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) = 0;
    std::int64_t Position() { return Seek(0, TSeekOrigin::soCurrent); }
    std::int64_t Size();
};

class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;
    // A stream over these bytes, positioned at their start.
    explicit TMemoryStream(std::vector<std::uint8_t> data) : data_(std::move(data)) {}
    std::size_t Read(void* buffer, std::size_t count) override;
    void Write(const void* buffer, std::size_t count) override;
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
    const std::vector<std::uint8_t>& Data() const { return data_; }
    std::vector<std::uint8_t> TakeData();

private:
    std::vector<std::uint8_t> data_;
    std::size_t position_ = 0;
};

// The locked stream of a report run: in memory until it grows past MemoryLimit, then in a
// temporary file "FPR..." of the temporary folder that only the user can read and that is
// removed with the stream. A stream over a saved file reads it and never moves.
class TRptStream : public TStream {
public:
    explicit TRptStream(std::int32_t memoryLimit);
    // Opens a page file for reading; throws platform::text::IoError when it cannot be opened.
    static std::unique_ptr<TRptStream> CreateFromFile(const std::filesystem::path& fileName);
    ~TRptStream() override;
    TRptStream(const TRptStream&) = delete;
    TRptStream& operator=(const TRptStream&) = delete;

    std::size_t Read(void* buffer, std::size_t count) override;
    // Moving to the temporary file can fail (no temporary folder, disk full): IoError.
    void Write(const void* buffer, std::size_t count) override;
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
    // Copies the whole stream from its start in blocks of 10240 bytes.
    void SaveToStream(TStream& dest);
    void SaveToFile(const std::filesystem::path& fileName);

    bool InMemory() const { return inMemory_; }
    const std::filesystem::path& TempFileName() const { return tempFileName_; }
    std::int32_t MemoryLimit() const { return memoryLimit_; }

private:
    TRptStream() = default;
    void moveToFile();

    std::recursive_mutex lock_;
    bool inMemory_ = true;
    TMemoryStream memory_;
    std::FILE* file_ = nullptr;
    std::filesystem::path tempFileName_;
    std::int32_t memoryLimit_ = 0;
};

// The adaptive prefix coder: a complete binary tree of 256 internal nodes and 257 leaves (byte b
// is leaf b + 256; leaf 512 is never used) that splays the leaf of every coded byte towards the
// root. One coder works on one stream in one direction; the expanding side is driven by a count.
class TRptCompress {
public:
    TRptCompress(TStream& stream, bool compressMode);
    // Writes the last partly filled byte when compressing.
    ~TRptCompress();
    TRptCompress(const TRptCompress&) = delete;
    TRptCompress& operator=(const TRptCompress&) = delete;

    void Compress(std::uint8_t byte);
    // Throws ERptError when the stream ends or the bits lead to the unused leaf.
    std::uint8_t Expand();

private:
    void Splay(int b);

    std::uint8_t BitPos;
    bool CompressMode;
    std::uint16_t InByte = 0;
    std::uint16_t OutByte = 0;
    std::uint16_t Left[256];
    std::uint16_t Right[256];
    std::uint8_t Up[513];
    TStream& stream_;
};

// What shows the outline: a tree view gives every entry a node under the node of its parent.
class TRptOutlineView {
public:
    virtual ~TRptOutlineView() = default;
    virtual void Clear() = 0;
    // Adds a node under `parent` (-1: at the top); answers the new node's number.
    virtual int AddNode(int parent, const std::string& caption) = 0;
};

struct TRptOutlineEntry {
    std::string Caption; // at most 51 characters
    std::int32_t Level = 0;
    platform::gfx::TRect Rect;
    std::int32_t Page = 0;
    std::int32_t Id = 0;
};

class TRptOutline {
public:
    void Clear();
    void Add(TRptOutlineEntry entry);
    const std::vector<TRptOutlineEntry>& Entries() const { return entries_; }
    // Assigning a view rebuilds it; nullptr detaches it.
    void SetTreeView(TRptOutlineView* view);
    void Rebuild();
    // The rectangle and page of the entry with the identifier; empty and 0 when none has it.
    void Find(std::int32_t id, platform::gfx::TRect& rect, std::int32_t& page) const;

private:
    std::vector<TRptOutlineEntry> entries_;
    TRptOutlineView* view_ = nullptr;
};

// The current local date and time as days since 1899-12-30 (the page file's date).
double NowAsFileDate();

class TRptPageList {
public:
    static constexpr std::int32_t kHeaderSize = 128;
    static constexpr std::int32_t kOldHeaderSize = 124;

    TRptPageList();
    ~TRptPageList();

    bool Compression = false;
    std::int32_t PageCount = 0;
    // The time written into the header; tests inject a fixed one.
    std::function<double()> Now = NowAsFileDate;

    TRptStream* Stream() const { return stream_.get(); }
    void SetStream(std::unique_ptr<TRptStream> stream);
    std::unique_ptr<TRptStream> TakeStream();
    TRptOutline& Outline() { return outline_; }

    void AddPage(const platform::emf::Metafile& page);
    // The page (a new metafile the caller owns), or nothing for a number outside 1..PageCount.
    // A page that cannot be read raises ERptError with the engine's text for invalid files; it
    // is read from its own record alone, so the pages around it stay readable.
    std::unique_ptr<platform::emf::Metafile> GetPage(std::int32_t pageNumber);
    // Positions the stream at the start of the page's record.
    void SeekToPage(std::int32_t pageNumber);
    void SeekToFirst();
    void SeekToLast();
    void WriteFileHeader();
    void ReadFileHeader();
    // Reads a page file into a new stream and takes it only when every record checks out; a
    // refused file raises ERptError and leaves this list as it was.
    void LoadFromFile(const std::filesystem::path& fileName);
    // Writes beside the target and renames, so the previous file survives a failure; works on the
    // very file this list has loaded.
    void SaveToFile(const std::filesystem::path& fileName);
    void Clear();

    // The header size of the stream (124 for old files, else 128).
    std::int32_t HeaderSize();
    // The date of the header read last.
    double FileDate() const { return fileDate_; }

private:
    std::int32_t detectHeaderSize();
    void checkRecords();
    // Where page n's record starts: learnt as pages are added, else found by following the
    // records' forward links from the last start known.
    std::int64_t pageStart(std::int32_t n);
    std::int32_t readI32();
    void writeI32(std::int32_t v);

    std::recursive_mutex lock_;
    std::unique_ptr<TRptStream> stream_;
    TRptOutline outline_;
    std::int32_t headerSize_ = 0;      // 0: not yet detected
    std::vector<std::int64_t> starts_; // record starts of pages 1..starts_.size()
    double fileDate_ = 0;
};
