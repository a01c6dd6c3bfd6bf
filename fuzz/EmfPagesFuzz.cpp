// Enhanced-metafile pages: read, every record checked, their texts, and played onto a bitmap.
#include "FuzzSupport.h"

#include "platform/emf/Metafile.h"
#include "platform/emf/MetafilePlayer.h"
#include "platform/gfx/Bitmap.h"

#include <QGuiApplication>

#include <memory>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static int argc = 1;
    static char name[] = "fuzz_emf_pages";
    static char* argv[] = {name, nullptr};
    // Kept to the end of the process: Qt's own statics are gone before ours would be destroyed.
    static QGuiApplication* const app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QGuiApplication(argc, argv);
    }();
    (void)app;
    std::unique_ptr<platform::emf::Metafile> page;
    try {
        page =
            std::make_unique<platform::emf::Metafile>(std::vector<std::uint8_t>(data, data + size));
    } catch (const platform::emf::EmfError&) {
        return 0;
    }
    // A metafile that was accepted was checked record by record.
    page->ForEachRecord([](const platform::emf::EmfRecord& record) {
        platform::emf::validateRecord(record);
        return true;
    });
    (void)platform::emf::metafileTexts(*page);
    platform::gfx::TBitmap bitmap(64, 48);
    platform::emf::playMetafile(*page, bitmap.Canvas(), {0, 0, 64, 48});
    return 0;
}
