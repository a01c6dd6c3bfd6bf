// One enhanced metafile held as its bytes, accepted only after every record has been checked:
// sizes and offsets inside the record and the file, counts against the room they need. The
// player, the text search and the page store rely on that check, so a metafile from a file can
// never make them read outside it or allocate more than the file itself justifies.
#pragma once

#include "platform/emf/EmfFormat.h"
#include "platform/gfx/Geometry.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace platform::emf {

struct EmfRecord {
    std::uint32_t type = 0;
    std::span<const std::uint8_t> bytes; // the whole record, type and size included
};

class Metafile {
public:
    // An empty metafile (no bytes, no records).
    Metafile() = default;
    // Takes the bytes of a complete metafile; throws EmfError when they do not hold one.
    explicit Metafile(std::vector<std::uint8_t> bytes);

    bool Empty() const { return bytes_.empty(); }
    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }
    std::size_t Size() const { return bytes_.size(); }

    // The picture's frame in 0.01 mm, as its header gives it.
    const gfx::TRect& Frame() const { return frame_; }
    // The picture's size in pixels of the device it was made for (the frame converted with the
    // header's device resolution).
    int Width() const { return width_; }
    int Height() const { return height_; }
    // Pixels per millimetre of the reference device, horizontally and vertically.
    double DeviceDpmmX() const { return dpmmX_; }
    double DeviceDpmmY() const { return dpmmY_; }
    std::uint32_t RecordCount() const { return records_; }
    std::uint32_t HandleCount() const { return handles_; }

    // Calls `visit` for every record in order, header and end record included, until it
    // answers false.
    void ForEachRecord(const std::function<bool(const EmfRecord&)>& visit) const;

private:
    std::vector<std::uint8_t> bytes_;
    gfx::TRect frame_;
    int width_ = 0;
    int height_ = 0;
    double dpmmX_ = 96.0 / 25.4;
    double dpmmY_ = 96.0 / 25.4;
    std::uint32_t records_ = 0;
    std::uint32_t handles_ = 0;
};

// The number of bytes the metafile starting at `head` claims (its header's nBytes), after
// checking the header's type, size and signature; throws EmfError. Used by readers of streams
// that hold a metafile followed by other data.
std::uint32_t metafileLength(std::span<const std::uint8_t> head);

// Checks one record's inner sizes, offsets and counts; throws EmfError.
void validateRecord(const EmfRecord& record);

// The text of a text record (EXTTEXTOUTW as UTF-16, EXTTEXTOUTA as Windows-1251) as UTF-8;
// false for any other record.
bool recordText(const EmfRecord& record, std::string& utf8);

// Every text the page draws, one entry per text record, as UTF-8.
std::vector<std::string> metafileTexts(const Metafile& metafile);

} // namespace platform::emf
