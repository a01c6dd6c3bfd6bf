#include "platform/gfx/Fonts.h"

#include "platform/text/Cp1251.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <map>
#include <mutex>
#include <string>

namespace platform::gfx {

namespace {

constexpr const char* kLiberation = "/usr/share/fonts/truetype/liberation2/";
constexpr const char* kWine = "/usr/share/wine/fonts/";
constexpr const char* kDejaVu = "/usr/share/fonts/truetype/dejavu/";

struct Faces {
    bool anyLoaded = false;
    bool tahoma = false;
};

Faces& faces() {
    static Faces f;
    return f;
}

bool addFont(const std::string& file) {
    return QFontDatabase::addApplicationFont(QString::fromStdString(file)) >= 0;
}

std::string lower(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

} // namespace

bool ensureFontsLoaded() {
    static std::once_flag once;
    std::call_once(once, [] {
        Faces& f = faces();
        const std::array<const char*, 12> liberation = {
            "LiberationSans-Regular.ttf",  "LiberationSans-Bold.ttf",
            "LiberationSans-Italic.ttf",   "LiberationSans-BoldItalic.ttf",
            "LiberationSerif-Regular.ttf", "LiberationSerif-Bold.ttf",
            "LiberationSerif-Italic.ttf",  "LiberationSerif-BoldItalic.ttf",
            "LiberationMono-Regular.ttf",  "LiberationMono-Bold.ttf",
            "LiberationMono-Italic.ttf",   "LiberationMono-BoldItalic.ttf"};
        for (const char* file : liberation) {
            f.anyLoaded |= addFont(std::string(kLiberation) + file);
        }
        f.tahoma = addFont(std::string(kWine) + "tahoma.ttf");
        addFont(std::string(kWine) + "tahomabd.ttf");
        f.anyLoaded |= f.tahoma;
        for (const char* file : {"DejaVuSans.ttf", "DejaVuSans-Bold.ttf"}) {
            f.anyLoaded |= addFont(std::string(kDejaVu) + file);
        }
    });
    return faces().anyLoaded;
}

QString substituteFamily(std::string_view faceName) {
    ensureFontsLoaded();
    const std::string name = lower(faceName);
    if (name == "times new roman") {
        return QStringLiteral("Liberation Serif");
    }
    if (name == "courier new" || name == "courier") {
        return QStringLiteral("Liberation Mono");
    }
    if (name == "tahoma") {
        return faces().tahoma ? QStringLiteral("Tahoma") : QStringLiteral("DejaVu Sans");
    }
    if (name == "symbol") {
        return QStringLiteral("DejaVu Sans");
    }
    return QStringLiteral("Liberation Sans");
}

QFont resolveFont(const TFont& font, int devicePpi) {
    QFont q(substituteFamily(font.Name));
    q.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::NoFontMerging));
    q.setHintingPreference(QFont::PreferFullHinting);
    q.setBold(font.Bold);
    q.setItalic(font.Italic);
    q.setUnderline(font.Underline);
    q.setStrikeOut(font.StrikeOut);
    q.setKerning(false);

    const int fontPpi = font.PixelsPerInch > 0 ? font.PixelsPerInch : 96;
    int height = font.Height == 0 ? -MulDiv(8, fontPpi, 72) : font.Height;
    height = MulDiv(height, devicePpi, fontPpi);
    int em;
    if (height < 0) {
        em = -height;
    } else {
        // A positive height is the cell (ascent + descent): find the character height that
        // gives it, from the face's own proportions.
        static std::map<QString, double> cellPerEm;
        const QString key = q.family() + (font.Bold ? "b" : "") + (font.Italic ? "i" : "");
        auto it = cellPerEm.find(key);
        if (it == cellPerEm.end()) {
            QFont probe = q;
            probe.setPixelSize(1000);
            const QFontMetricsF m(probe);
            it = cellPerEm.emplace(key, (m.ascent() + m.descent()) / 1000.0).first;
        }
        em = static_cast<int>(
            std::clamp(std::nearbyint(height / std::max(0.1, it->second)), 1.0, 4096.0));
    }
    q.setPixelSize(std::clamp(em, 1, 4096));
    return q;
}

QString fromCp1251(std::string_view text) {
    const std::string utf8 = platform::text::cp1251ToUtf8(text);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

} // namespace platform::gfx
