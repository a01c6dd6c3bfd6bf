// The preview's page text search: the first byte gives the length of the search text (UTF-8)
// that follows, the rest is the page. Whatever a case-sensitive search finds, a search that
// ignores case finds too, and every text the page holds is found on it both ways.
#include "FuzzSupport.h"

#include "platform/emf/Metafile.h"
#include "reports/preview/RptPreviewMath.h"

#include <QString>

#include <algorithm>
#include <memory>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::size_t length = std::min<std::size_t>(data[0], size - 1);
    const QString wanted =
        QString::fromUtf8(reinterpret_cast<const char*>(data + 1), qsizetype(length));
    std::unique_ptr<platform::emf::Metafile> page;
    try {
        page = std::make_unique<platform::emf::Metafile>(
            std::vector<std::uint8_t>(data + 1 + length, data + size));
    } catch (const platform::emf::EmfError&) {
        return 0;
    }
    const bool exact = PageContainsText(*page, wanted, true);
    const bool anyCase = PageContainsText(*page, wanted, false);
    fuzz::check(!exact || anyCase, "what is found matching case is found ignoring it");
    fuzz::check(PageContainsText(*page, wanted, true) == exact, "searching twice finds the same");
    const std::vector<std::string> texts = platform::emf::metafileTexts(*page);
    for (std::size_t i = 0; i < std::min<std::size_t>(texts.size(), 16); ++i) {
        const QString text = QString::fromStdString(texts[i]);
        if (!text.isEmpty()) {
            fuzz::check(PageContainsText(*page, text, true), "a page's own text is found on it");
            fuzz::check(PageContainsText(*page, text, false),
                        "a page's own text is found on it ignoring case");
        }
    }
    return 0;
}
