// Hint markup: laid out, measured and drawn on a small bitmap, with a point tested against its
// links and images. Malformed markup is never an error.
#include "FuzzSupport.h"

#include "platform/gfx/Bitmap.h"
#include "surfaces/MarkupHint.h"

#include <QGuiApplication>

#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static int argc = 1;
    static char name[] = "fuzz_hint_markup";
    static char* argv[] = {name, nullptr};
    // Kept to the end of the process: Qt's own statics are gone before ours would be destroyed.
    static QGuiApplication* const app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QGuiApplication(argc, argv);
    }();
    (void)app;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    (void)HTMLColor(text);
    platform::gfx::TBitmap bitmap(160, 60);
    THTMLDrawParams params;
    params.Rect = {0, 0, 160, 60};
    params.Point = {20, 10};
    params.MeasureOnly = true;
    const THTMLDrawResult measured = HTMLDrawEx(bitmap.Canvas(), text, params);
    fuzz::check(measured.Width >= 0 && measured.Height >= 0, "a measured hint has a size");
    params.MeasureOnly = false;
    params.Ellipsis = size % 2 == 1;
    (void)HTMLDrawEx(bitmap.Canvas(), text, params);
    return 0;
}
