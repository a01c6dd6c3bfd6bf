// What the page file targets share: a page file loaded and every one of its pages read, in order
// and again from the last to the first. A page that cannot be read is one outcome among others:
// it never keeps the pages after it from being read, and each page reads the same every time.
#pragma once

#include "FuzzSupport.h"

#include "reports/pages/RptError.h"
#include "reports/pages/RptPageStore.h"

#include <QGuiApplication>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

namespace fuzz {

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

// A page's bytes, or nothing when it cannot be read.
using PageOutcome = std::optional<std::vector<std::uint8_t>>;

struct LoadedPages {
    bool accepted = false;
    std::int32_t count = 0;
    bool compressed = false;
    double date = 0;
    std::int32_t headerSize = 0;
    std::vector<PageOutcome> pages;
};

// Reads at most `limit` pages; the properties hold for each of them.
inline LoadedPages loadAndReadEveryPage(TRptPageList& list, const std::filesystem::path& file,
                                        std::int32_t limit) {
    LoadedPages out;
    try {
        list.LoadFromFile(file);
    } catch (const ERptError&) {
        check(list.PageCount == 0, "a refused file leaves the list as it was");
        return out;
    }
    out.accepted = true;
    out.count = list.PageCount;
    out.compressed = list.Compression;
    out.date = list.FileDate();
    out.headerSize = list.HeaderSize();
    auto read = [&](std::int32_t n) -> PageOutcome {
        try {
            const auto page = list.GetPage(n);
            check(page != nullptr, "every counted page is there");
            return page->Bytes();
        } catch (const ERptError&) {
            return std::nullopt;
        }
    };
    const std::int32_t last = std::min(list.PageCount, limit);
    for (std::int32_t n = 1; n <= last; ++n) {
        out.pages.push_back(read(n));
    }
    check(list.PageCount == 0 || read(list.PageCount).has_value(),
          "the loader has read the last page");
    for (std::int32_t n = last; n >= 1; --n) {
        check(read(n) == out.pages[std::size_t(n - 1)], "a page reads the same every time");
    }
    return out;
}

} // namespace fuzz
