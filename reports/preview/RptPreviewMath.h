// The arithmetic and the rules of the preview, apart from its widgets: zoom choices, where the
// page image sits, thumbnail sizes, the texts of the status bar and the go-to-page box, the file
// filters, which key does what, link hit tests and the text search of a page. The widgets only
// paint and route what these answer.
#pragma once

#include "platform/emf/Metafile.h"
#include "platform/gfx/Geometry.h"
#include "reports/pages/RptPreviewOptions.h"

#include <QString>

#include <optional>
#include <string>
#include <vector>

// Zoom limits in percent; anything outside is ignored.
constexpr int kMinPreviewZoom = 2;
constexpr int kMaxPreviewZoom = 2000;

bool PreviewZoomAccepted(int zoom);

// The largest zoom that shows the whole page with a margin: the smaller of the two ratios
// client / page x 95, rounded. `page` is the page's size in pixels at 100 %. A page without
// size gives 100.
int ZoomToFitValue(platform::gfx::TSize client, platform::gfx::TSize page);
// The page's width across the client: client width / page width x 90 (x 95 without a printer
// object), rounded.
int ZoomToWidthValue(int clientWidth, int pageWidth, bool withPrinter);

// The image's rectangle in the scroll box: centred on each axis where it is smaller than the
// client, else at 0.
platform::gfx::TRect PreviewImagePlacement(platform::gfx::TSize client, platform::gfx::TSize image);
// What is left of a scroll box's `client` area (the inside without scroll bars) once the bars
// that `content` needs have taken their room: `bars` is the vertical bar's width and the
// horizontal bar's height. Either bar may bring the other.
platform::gfx::TSize AreaBesideScrollBars(platform::gfx::TSize client, platform::gfx::TSize content,
                                          platform::gfx::TSize bars);

// Rectangles of the drawn sheet inside an image of `size`: the sheet leaves 3 pixels at the
// right and bottom; a 2-pixel shadow runs along its right and bottom edges, 2 pixels in.
struct TPreviewSheet {
    platform::gfx::TRect sheet;
    platform::gfx::TRect rightShadow;
    platform::gfx::TRect bottomShadow;
};
TPreviewSheet PreviewSheetOf(platform::gfx::TSize size);

// The thumbnail column and its rows for a grid `gridWidth` wide, a page of paperWidth x
// paperLength (any unit, as it lies) and a caption `captionHeight` high.
struct TThumbMetrics {
    int columnWidth = 0;
    int thumbWidth = 0;
    int rowHeight = 0;
    int margin = 0; // from the cell's left edge to the thumbnail
};
TThumbMetrics ThumbnailMetrics(int gridWidth, double paperWidth, double paperLength,
                               int captionHeight);
// Where a cell draws its page.
platform::gfx::TRect ThumbnailPageRect(const platform::gfx::TRect& cell,
                                       const TThumbMetrics& metrics);

// "Page 2 of 3" with the window's two words.
std::string PageStatusText(const std::string& pageWord, const std::string& ofWord, int page,
                           int pageCount);

// The go-to-page title: the format's "%d" replaced by the page count, by plain substitution
// (the format comes from a language file and is never handed to a formatting routine).
std::string GotoPageTitle(const std::string& format, int pageCount);
// The page the go-to-page answer leads to: its number when 1..pageCount, else page 1.
int GotoPageTarget(const std::string& answer, int pageCount);

// The progress read-out: a new text every 5 %, cleared at 0 and 100 %.
class TProgressReadout {
public:
    // The panel's new text, or nothing when it stays as it is ("" clears it).
    std::optional<std::string> Update(int percent);
    int LastShown() const { return lastShown_; }

private:
    int lastShown_ = 0;
};

// The file types of the save and open dialogs.
std::string PageFileSaveFilter();
std::string PageFileLoadFilter();
constexpr const char* kPageFileExtension = "FPR";

enum class TPreviewCommand {
    None,
    FirstPage,
    PreviousPage,
    NextPage,
    LastPage,
    ScrollUp,
    ScrollDown,
    Close,
};
// The command of a key (Qt::Key) with or without Ctrl.
TPreviewCommand PreviewKeyCommand(int key, bool ctrl);

// A link area of a page: a rectangle in page pixels at 100 % and its link text.
struct TRptLinkArea {
    platform::gfx::TRect rect;
    std::string link;
};
// The index of the first area holding the mouse position (image pixels at `zoom` %, edges
// included), or -1.
int LinkAreaAt(const std::vector<TRptLinkArea>& areas, int x, int y, int zoom);

// Whether one text record of the page holds the text (texts of separate records are never
// joined). Without match case, both sides are compared in upper case, Cyrillic included.
bool PageContainsText(const platform::emf::Metafile& page, const QString& text, bool matchCase);
