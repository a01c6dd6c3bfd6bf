// Page files behind the old 124-byte header. The input is taken as a page file of the current
// form and moved behind the old header as the old program wrote it: the date and the flag moved
// down 4 bytes, every record 4 bytes earlier with its links moved along. Whatever the current
// form gives, the old form gives too: the same pages, each read or refused alike.
#include "PageFileChecks.h"

#include <cstring>
#include <vector>

namespace {

std::int32_t getI32(const std::vector<std::uint8_t>& b, std::size_t at) {
    std::uint32_t v = 0;
    std::memcpy(&v, b.data() + at, 4);
    return std::int32_t(v);
}

void putI32(std::vector<std::uint8_t>& b, std::size_t at, std::int64_t v) {
    const std::uint32_t u = std::uint32_t(v);
    std::memcpy(b.data() + at, &u, 4);
}

// The old-header twin of a current-form file: nothing when the input cannot have one.
std::vector<std::uint8_t> oldForm(const std::vector<std::uint8_t>& current) {
    std::vector<std::uint8_t> old(current.begin(), current.begin() + 124);
    std::memcpy(old.data() + 12, current.data() + 16, 8);
    std::memcpy(old.data() + 20, current.data() + 24, 2);
    std::memcpy(old.data() + 22, current.data() + 26, 102);
    old.insert(old.end(), current.begin() + 128, current.end());
    // Follow the records as the reader does and move each link that is there to move.
    const std::int64_t size = std::int64_t(current.size());
    std::int64_t at = 128;
    while (at + 8 <= size) {
        const std::int64_t end = getI32(current, std::size_t(at + 4));
        putI32(old, std::size_t(at + 4 - 4), end - 4);
        if (end < at + 12 || end > size) {
            break;
        }
        putI32(old, std::size_t(end - 4 - 4),
               std::int64_t(getI32(current, std::size_t(end - 4))) - 4);
        at = end;
    }
    return old;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::guiApplication("fuzz_old_page_files");
    // The bytes after the current header's fields are zero in every file of the current form;
    // with them set the same bytes could be read as either form.
    if (size < 128 || data[124] != 0 || data[125] != 0 || data[126] != 0 || data[127] != 0) {
        return 0;
    }
    static fuzz::InputFile input("current.fpr");
    const std::vector<std::uint8_t> current(data, data + size);
    const auto& currentPath = input.write(data, size);
    TRptPageList currentList;
    const fuzz::LoadedPages a = fuzz::loadAndReadEveryPage(currentList, currentPath, 32);

    const std::vector<std::uint8_t> old = oldForm(current);
    const auto& oldPath = input.writeAt(input.folder() / "old.fpr", old.data(), old.size());
    TRptPageList oldList;
    const fuzz::LoadedPages b = fuzz::loadAndReadEveryPage(oldList, oldPath, 32);
    if (a.accepted) {
        fuzz::check(a.headerSize == 128, "the current form is read as the current form");
        fuzz::check(b.accepted, "behind the old header the file is accepted too");
        fuzz::check(b.headerSize == 124, "the old form is read as the old form");
        fuzz::check(b.count == a.count && b.compressed == a.compressed,
                    "behind the old header the count and the flag are the same");
        fuzz::check(std::memcmp(&a.date, &b.date, sizeof a.date) == 0,
                    "behind the old header the date is the same");
        fuzz::check(b.pages == a.pages, "behind the old header every page reads the same");
    }
    return 0;
}
