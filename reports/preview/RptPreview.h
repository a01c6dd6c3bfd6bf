// The preview control: TRptPreviewImage draws one page of a printer object's store at a zoom;
// TRptPreview is the scroll box that holds it, picks the zoom (fit, width or a percentage),
// keeps the page shown and receives the printer object's posted messages (pages done, progress).
#pragma once

#include "platform/emf/Metafile.h"
#include "platform/gfx/Canvas.h"
#include "platform/ui/Messages.h"
#include "reports/preview/RptPreviewMath.h"

#include <QImage>
#include <QScrollArea>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TRptPrinter;
class TRptOutlineView;

enum class TRptHyperlinkEventType { heCursorMoveOver, heCursorMoveAway, heGoto };

using TRptPreviewHyperlinkEvent =
    std::function<void(QObject* sender, TRptPrinter* printer, TRptHyperlinkEventType type,
                       bool& handled, const std::string& link)>;

// A page as the preview shows it: a white sheet less 3 pixels at the right and bottom, the page
// stretched over it, a black outline and a 2-pixel black shadow. Without a page only the sheet.
void DrawPreviewPage(platform::gfx::TCanvas& canvas, const platform::gfx::TRect& rect,
                     const platform::emf::Metafile* page);

class TRptPreviewImage : public QWidget {
public:
    explicit TRptPreviewImage(QWidget* parent = nullptr);
    ~TRptPreviewImage() override;

    TRptPrinter* RptPrinter = nullptr;
    int Zoom = 100;
    std::vector<TRptLinkArea> Links;
    TRptPreviewHyperlinkEvent OnHyperlink;

    int PageNumber() const { return pageNumber_; }
    // Frees the page shown, fetches page n from the printer object and repaints.
    void SetPageNumber(int n);
    const platform::emf::Metafile* Page() const { return page_.get(); }
    bool HasPage() const { return page_ != nullptr; }
    const std::string& LinkUnderMouse() const { return link_; }

protected:
    // Paints the page from a picture drawn once per page and size: playing a page decodes all its
    // pictures, so repaints while scrolling or uncovering the window reuse the drawing.
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void fire(TRptHyperlinkEventType type, const std::string& link);

    int pageNumber_ = 1;
    std::unique_ptr<platform::emf::Metafile> page_;
    QImage drawn_; // the page as painted; null when it must be drawn again
    std::string link_;
    bool overLink_ = false;
};

class TRptPreview : public QScrollArea, public platform::ui::MessageTarget {
public:
    explicit TRptPreview(QWidget* parent = nullptr);
    ~TRptPreview() override;

    std::function<void(TRptPreview& sender, int page)> OnPageAvailable;
    std::function<void(TRptPreview& sender, int percent)> OnProgressUpdate;
    // The tree the printer object's outline is shown in (not owned).
    TRptOutlineView* Outline = nullptr;

    TRptPreviewImage* Image() const { return image_; }
    TRptPrinter* RptPrinter() const { return printer_; }
    // Detaches from the previous printer object and attaches to this one: it marks the printer
    // object as showing a preview, receives its messages and shows page 1.
    void SetRptPrinter(TRptPrinter* printer);
    // Forgets the printer object without touching it (it is about to go).
    void ReleaseRptPrinter();

    int PageNumber() const { return pageNumber_; }
    // Taken for 1..page count when it is not the page shown; both scroll positions go to 0.
    void SetPageNumber(int n);
    // Shows page n again even when it is the page shown (after a load).
    void ReloadPage(int n);
    int Zoom() const { return zoom_; }
    // Taken for 2..2000; the state becomes rpZoomOther.
    void SetZoom(int zoom);
    TRptZoomState ZoomState() const { return zoomState_; }
    void ZoomToFit();
    void ZoomToWidth();
    void UpdateImageSize();
    // The page's size in pixels at 100 %.
    platform::gfx::TSize PagePixels() const;
    // The area the page is laid out in: the inside of the box without its scroll bars.
    platform::gfx::TSize ClientSize() const;
    int PageCount() const;

    void HandleMessage(const platform::ui::Message& message) override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void applyZoom(int zoom);

    QWidget* sheet_; // the scrolled area: the image at its place, centred where it is smaller
    TRptPreviewImage* image_;
    TRptPrinter* printer_ = nullptr;
    int pageNumber_ = 1;
    int zoom_ = 100;
    TRptZoomState zoomState_ = TRptZoomState::rpZoomOther;
};
