// Report page files: loaded, every page read and played onto a bitmap, saved and loaded back.
#include "FuzzSupport.h"

#include "platform/emf/MetafilePlayer.h"
#include "platform/gfx/Bitmap.h"
#include "reports/pages/RptError.h"
#include "reports/pages/RptPageStore.h"

#include <QGuiApplication>

#include <algorithm>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static int argc = 1;
    static char name[] = "fuzz_page_files";
    static char* argv[] = {name, nullptr};
    // Kept to the end of the process: Qt's own statics are gone before ours would be destroyed.
    static QGuiApplication* const app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QGuiApplication(argc, argv);
    }();
    (void)app;
    static fuzz::InputFile input("pages.fpr");
    const auto& path = input.write(data, size);
    TRptPageList pages;
    try {
        pages.LoadFromFile(path);
    } catch (const ERptError&) {
        fuzz::check(pages.PageCount == 0, "a refused file leaves the list as it was");
        return 0;
    }
    platform::gfx::TBitmap bitmap(32, 32);
    for (std::int32_t n = 1; n <= std::min(pages.PageCount, 16); ++n) {
        std::unique_ptr<platform::emf::Metafile> page;
        try {
            page = pages.GetPage(n);
        } catch (const ERptError&) {
            // The loader checks the page records, not each page's own bytes: a page that cannot
            // be read is reported when it is shown, as documented.
            return 0;
        }
        fuzz::check(page != nullptr, "every counted page is there");
        platform::emf::playMetafile(*page, bitmap.Canvas(), {0, 0, 32, 32});
    }
    const auto copy = input.folder() / "copy.fpr";
    pages.SaveToFile(copy);
    TRptPageList back;
    back.LoadFromFile(copy);
    fuzz::check(back.PageCount == pages.PageCount, "a saved page file loads back whole");
    return 0;
}
