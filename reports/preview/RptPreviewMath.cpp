#include "reports/preview/RptPreviewMath.h"

#include "platform/text/Numbers.h"
#include "reports/pages/RptTexts.h"

#include <Qt>

#include <algorithm>
#include <climits>
#include <cmath>

using platform::gfx::TRect;
using platform::gfx::TSize;

namespace {

int roundToInt(double v) {
    if (!std::isfinite(v)) {
        return 0;
    }
    return int(std::nearbyint(std::clamp(v, double(INT_MIN / 2), double(INT_MAX / 2))));
}

int centred(int client, int image) {
    return image < client ? (client - image) / 2 : 0;
}

} // namespace

bool PreviewZoomAccepted(int zoom) {
    return zoom >= kMinPreviewZoom && zoom <= kMaxPreviewZoom;
}

int ZoomToFitValue(TSize client, TSize page) {
    if (page.cx <= 0 || page.cy <= 0) {
        return 100;
    }
    const int byWidth = roundToInt(double(client.cx) / page.cx * 95.0);
    const int byHeight = roundToInt(double(client.cy) / page.cy * 95.0);
    return std::min(byWidth, byHeight);
}

int ZoomToWidthValue(int clientWidth, int pageWidth, bool withPrinter) {
    if (pageWidth <= 0) {
        return 100;
    }
    return roundToInt(double(clientWidth) / pageWidth * (withPrinter ? 90.0 : 95.0));
}

TRect PreviewImagePlacement(TSize client, TSize image) {
    return platform::gfx::Bounds(centred(client.cx, image.cx), centred(client.cy, image.cy),
                                 image.cx, image.cy);
}

TSize AreaBesideScrollBars(TSize client, TSize content, TSize bars) {
    bool vertical = content.cy > client.cy;
    const bool horizontal = content.cx > client.cx - (vertical ? bars.cx : 0);
    vertical = vertical || (horizontal && content.cy > client.cy - bars.cy);
    return {client.cx - (vertical ? bars.cx : 0), client.cy - (horizontal ? bars.cy : 0)};
}

TPreviewSheet PreviewSheetOf(TSize size) {
    TPreviewSheet s;
    s.sheet = {0, 0, std::max(0, size.cx - 3), std::max(0, size.cy - 3)};
    s.rightShadow = {s.sheet.Right, 2, s.sheet.Right + 2, s.sheet.Bottom + 2};
    s.bottomShadow = {2, s.sheet.Bottom, s.sheet.Right + 2, s.sheet.Bottom + 2};
    return s;
}

TThumbMetrics ThumbnailMetrics(int gridWidth, double paperWidth, double paperLength,
                               int captionHeight) {
    TThumbMetrics m;
    m.columnWidth = std::max(0, gridWidth - 4);
    m.thumbWidth = std::max(0, m.columnWidth - 20);
    const double ratio = paperWidth > 0 ? paperLength / paperWidth : 0.0;
    m.rowHeight = std::max(1, roundToInt(m.thumbWidth * ratio) - captionHeight);
    m.margin = (m.columnWidth - m.thumbWidth) / 2;
    return m;
}

TRect ThumbnailPageRect(const TRect& cell, const TThumbMetrics& metrics) {
    return {cell.Left + metrics.margin, cell.Top + 10, cell.Right - 30, cell.Bottom - 10};
}

std::string PageStatusText(const std::string& pageWord, const std::string& ofWord, int page,
                           int pageCount) {
    return pageWord + " " + std::to_string(page) + " " + ofWord + " " + std::to_string(pageCount);
}

std::string GotoPageTitle(const std::string& format, int pageCount) {
    std::string out = format;
    const auto at = out.find("%d");
    if (at != std::string::npos) {
        out.replace(at, 2, std::to_string(pageCount));
    }
    return out;
}

int GotoPageTarget(const std::string& answer, int pageCount) {
    const auto n = platform::text::parseInteger(answer);
    if (n && *n >= 1 && *n <= pageCount) {
        return int(*n);
    }
    return 1;
}

std::optional<std::string> TProgressReadout::Update(int percent) {
    if (percent == 0 || percent == 100) {
        lastShown_ = 0;
        return std::string();
    }
    if (percent >= lastShown_ + 5) {
        lastShown_ = percent;
        return std::to_string(percent) + "%";
    }
    return std::nullopt;
}

std::string PageFileSaveFilter() {
    // No blank before the parenthesis here, one in the open dialog's: both as they always were.
    const std::string type = RptText(rtxtReportFileType);
    return type + "(*." + kPageFileExtension + ")|*." + kPageFileExtension;
}

std::string PageFileLoadFilter() {
    const std::string type = RptText(rtxtReportFileType);
    return type + " (*." + kPageFileExtension + ")|*." + kPageFileExtension;
}

TPreviewCommand PreviewKeyCommand(int key, bool ctrl) {
    switch (key) {
    case Qt::Key_Home:
        return TPreviewCommand::FirstPage;
    case Qt::Key_End:
        return TPreviewCommand::LastPage;
    case Qt::Key_PageUp:
        return ctrl ? TPreviewCommand::FirstPage : TPreviewCommand::PreviousPage;
    case Qt::Key_PageDown:
        return ctrl ? TPreviewCommand::LastPage : TPreviewCommand::NextPage;
    case Qt::Key_Up:
        return TPreviewCommand::ScrollUp;
    case Qt::Key_Down:
        return TPreviewCommand::ScrollDown;
    case Qt::Key_Escape:
        return TPreviewCommand::Close;
    default:
        return TPreviewCommand::None;
    }
}

int LinkAreaAt(const std::vector<TRptLinkArea>& areas, int x, int y, int zoom) {
    if (zoom <= 0) {
        return -1;
    }
    const int px = roundToInt(double(x) * 100.0 / zoom);
    const int py = roundToInt(double(y) * 100.0 / zoom);
    for (std::size_t i = 0; i < areas.size(); ++i) {
        const TRect& r = areas[i].rect;
        if (px >= r.Left && px <= r.Right && py >= r.Top && py <= r.Bottom) {
            return int(i);
        }
    }
    return -1;
}

bool PageContainsText(const platform::emf::Metafile& page, const QString& text, bool matchCase) {
    if (text.isEmpty()) {
        return false;
    }
    const QString wanted = matchCase ? text : text.toUpper();
    bool found = false;
    std::string utf8;
    page.ForEachRecord([&](const platform::emf::EmfRecord& record) {
        if (!platform::emf::recordText(record, utf8)) {
            return true;
        }
        const QString s = QString::fromStdString(utf8);
        found = (matchCase ? s : s.toUpper()).contains(wanted);
        return !found;
    });
    return found;
}
