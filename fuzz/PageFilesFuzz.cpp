// Report page files: loaded, every page read (one that cannot be read leaves the others
// readable) and played onto a bitmap, saved and loaded back.
#include "PageFileChecks.h"

#include "platform/emf/MetafilePlayer.h"
#include "platform/gfx/Bitmap.h"

#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::guiApplication("fuzz_page_files");
    static fuzz::InputFile input("pages.fpr");
    const auto& path = input.write(data, size);
    TRptPageList pages;
    const fuzz::LoadedPages loaded = fuzz::loadAndReadEveryPage(pages, path, 64);
    if (!loaded.accepted) {
        return 0;
    }
    platform::gfx::TBitmap bitmap(32, 32);
    for (std::size_t i = 0; i < std::min<std::size_t>(loaded.pages.size(), 16); ++i) {
        if (loaded.pages[i]) {
            const platform::emf::Metafile page(*loaded.pages[i]);
            platform::emf::playMetafile(page, bitmap.Canvas(), {0, 0, 32, 32});
        }
    }
    const auto copy = input.folder() / "copy.fpr";
    pages.SaveToFile(copy);
    TRptPageList back;
    const fuzz::LoadedPages again = fuzz::loadAndReadEveryPage(back, copy, 64);
    fuzz::check(again.accepted && again.count == loaded.count && again.pages == loaded.pages,
                "a saved page file loads back whole");
    return 0;
}
