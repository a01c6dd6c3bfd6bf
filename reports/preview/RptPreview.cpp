#include "reports/preview/RptPreview.h"

#include "platform/emf/MetafilePlayer.h"
#include "platform/gfx/PainterCanvas.h"
#include "platform/ui/MessageBox.h"
#include "reports/pages/RptPapers.h"
#include "reports/pages/RptPrntr.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <cmath>

using platform::gfx::TRect;
using platform::gfx::TSize;

void DrawPreviewPage(platform::gfx::TCanvas& canvas, const TRect& rect,
                     const platform::emf::Metafile* page) {
    TPreviewSheet s = PreviewSheetOf({rect.Width(), rect.Height()});
    s.sheet = platform::gfx::OffsetRect(s.sheet, rect.Left, rect.Top);
    s.rightShadow = platform::gfx::OffsetRect(s.rightShadow, rect.Left, rect.Top);
    s.bottomShadow = platform::gfx::OffsetRect(s.bottomShadow, rect.Left, rect.Top);
    const platform::gfx::TBrush brush = canvas.Brush;
    canvas.Brush = {platform::gfx::clWhite, platform::gfx::TBrushStyle::bsSolid};
    canvas.FillRect(s.sheet);
    if (page != nullptr && !page->Empty() && !s.sheet.IsEmpty()) {
        platform::emf::playMetafile(*page, canvas, s.sheet);
    }
    canvas.Brush = {platform::gfx::clBlack, platform::gfx::TBrushStyle::bsSolid};
    canvas.FrameRect(s.sheet);
    canvas.FillRect(s.rightShadow);
    canvas.FillRect(s.bottomShadow);
    canvas.Brush = brush;
}

// ---- page image ---------------------------------------------------------------------------------

TRptPreviewImage::TRptPreviewImage(QWidget* parent) : QWidget(parent) {
    resize(100, 50);
    setMouseTracking(true);
}

TRptPreviewImage::~TRptPreviewImage() = default;

void TRptPreviewImage::SetPageNumber(int n) {
    page_.reset();
    drawn_ = QImage();
    pageNumber_ = n;
    if (RptPrinter != nullptr) {
        try {
            page_ = RptPrinter->GetPage(n);
        } catch (const std::exception& e) {
            // A page the store cannot read shows as an empty sheet.
            platform::ui::messageBoxes().show(e.what(), RptPrinter->Title,
                                              platform::ui::MessageIcon::Error,
                                              platform::ui::MessageButtons::Ok);
        }
    }
    update();
}

void TRptPreviewImage::paintEvent(QPaintEvent*) {
    if (drawn_.isNull() || drawn_.size() != size()) {
        drawn_ = QImage(size(), QImage::Format_RGB32);
        drawn_.fill(palette().color(QPalette::Dark));
        platform::gfx::PainterCanvas canvas(drawn_);
        DrawPreviewPage(canvas, {0, 0, width(), height()}, page_.get());
    }
    QPainter painter(this);
    painter.drawImage(0, 0, drawn_);
}

void TRptPreviewImage::resizeEvent(QResizeEvent*) {
    drawn_ = QImage();
}

void TRptPreviewImage::fire(TRptHyperlinkEventType type, const std::string& link) {
    bool handled = false;
    if (OnHyperlink) {
        OnHyperlink(this, RptPrinter, type, handled, link);
    }
}

void TRptPreviewImage::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    const int at = LinkAreaAt(Links, p.x(), p.y(), Zoom);
    if (at < 0) {
        if (overLink_) {
            overLink_ = false;
            unsetCursor();
            fire(TRptHyperlinkEventType::heCursorMoveAway, link_);
            link_.clear();
        }
        return;
    }
    if (!overLink_ || link_ != Links[std::size_t(at)].link) {
        overLink_ = true;
        link_ = Links[std::size_t(at)].link;
        setCursor(Qt::PointingHandCursor);
        fire(TRptHyperlinkEventType::heCursorMoveOver, link_);
    }
}

void TRptPreviewImage::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    const int at = LinkAreaAt(Links, p.x(), p.y(), Zoom);
    if (at >= 0) {
        // No link handler is registered in this program, and a link is never handed to the
        // system's shell: a page file from elsewhere could name any program.
        fire(TRptHyperlinkEventType::heGoto, Links[std::size_t(at)].link);
    }
}

// ---- scroll box ---------------------------------------------------------------------------------

TRptPreview::TRptPreview(QWidget* parent)
    : QScrollArea(parent), sheet_(new QWidget), image_(new TRptPreviewImage(sheet_)) {
    resize(250, 250);
    setWidgetResizable(false);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setWidget(sheet_);
    image_->move(0, 0);
    setBackgroundRole(QPalette::Dark);
}

TRptPreview::~TRptPreview() {
    ReleaseRptPrinter();
}

void TRptPreview::ReleaseRptPrinter() {
    if (printer_ != nullptr && printer_->MessageReceiver == this) {
        printer_->MessageReceiver = nullptr;
    }
    printer_ = nullptr;
    image_->RptPrinter = nullptr;
}

void TRptPreview::SetRptPrinter(TRptPrinter* printer) {
    ReleaseRptPrinter();
    printer_ = printer;
    image_->RptPrinter = printer;
    if (printer_ != nullptr) {
        printer_->ShowingPreview = true;
        printer_->MessageReceiver = this;
        printer_->PageList().Outline().SetTreeView(Outline);
    }
    pageNumber_ = 1;
    image_->SetPageNumber(1);
    UpdateImageSize();
}

int TRptPreview::PageCount() const {
    return printer_ != nullptr ? printer_->PageCount : 0;
}

void TRptPreview::SetPageNumber(int n) {
    if (n == pageNumber_ || n < 1 || n > PageCount()) {
        return;
    }
    ReloadPage(n);
}

void TRptPreview::ReloadPage(int n) {
    pageNumber_ = n;
    image_->SetPageNumber(n);
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
}

void TRptPreview::applyZoom(int zoom) {
    zoom_ = zoom;
    UpdateImageSize();
}

void TRptPreview::SetZoom(int zoom) {
    if (!PreviewZoomAccepted(zoom)) {
        return;
    }
    zoomState_ = TRptZoomState::rpZoomOther;
    applyZoom(zoom);
}

TSize TRptPreview::PagePixels() const {
    if (printer_ == nullptr) {
        const TPaperDimensions letter = PaperDimensions(TRptPaperSize::Letter);
        return {int(std::lround(letter.Width)), int(std::lround(letter.Length))};
    }
    return {printer_->XSize(printer_->PaperWidth()), printer_->YSize(printer_->PaperLength())};
}

TSize TRptPreview::ClientSize() const {
    const QSize s = maximumViewportSize();
    return {s.width(), s.height()};
}

void TRptPreview::ZoomToFit() {
    const int zoom = ZoomToFitValue(ClientSize(), PagePixels());
    zoomState_ = TRptZoomState::rpZoomToFit;
    if (PreviewZoomAccepted(zoom)) {
        applyZoom(zoom);
    }
}

void TRptPreview::ZoomToWidth() {
    const int zoom = ZoomToWidthValue(ClientSize().cx, PagePixels().cx, printer_ != nullptr);
    zoomState_ = TRptZoomState::rpZoomToWidth;
    if (PreviewZoomAccepted(zoom)) {
        applyZoom(zoom);
    }
}

void TRptPreview::UpdateImageSize() {
    int w = 0;
    int h = 0;
    if (printer_ != nullptr) {
        w = printer_->XSize(printer_->PaperWidth() * zoom_ / 100.0) + 4;
        h = printer_->YSize(printer_->PaperLength() * zoom_ / 100.0) + 4;
    } else {
        const TPaperDimensions letter = PaperDimensions(TRptPaperSize::Letter);
        w = int(std::lround(letter.Width * zoom_ / 100.0)) + 4;
        h = int(std::lround(letter.Length * zoom_ / 100.0)) + 4;
    }
    image_->Zoom = zoom_;
    // Placed in the room the scroll bars leave: a page wider than that starts at 0.
    const TSize bars{verticalScrollBar()->sizeHint().width(),
                     horizontalScrollBar()->sizeHint().height()};
    const TRect at =
        PreviewImagePlacement(AreaBesideScrollBars(ClientSize(), {w, h}, bars), {w, h});
    sheet_->resize(at.Right, at.Bottom);
    image_->setGeometry(at.Left, at.Top, w, h);
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
    image_->update();
}

void TRptPreview::resizeEvent(QResizeEvent* event) {
    QScrollArea::resizeEvent(event);
    switch (zoomState_) {
    case TRptZoomState::rpZoomToFit:
        ZoomToFit();
        break;
    case TRptZoomState::rpZoomToWidth:
        ZoomToWidth();
        break;
    case TRptZoomState::rpZoomOther:
        UpdateImageSize();
        break;
    }
}

void TRptPreview::HandleMessage(const platform::ui::Message& message) {
    if (message.msg == RPT_MSG_PAGES_DONE) {
        const int n = int(message.wParam);
        if (n == pageNumber_ && !image_->HasPage()) {
            image_->SetPageNumber(n);
        }
        if (OnPageAvailable) {
            OnPageAvailable(*this, n);
        }
    } else if (message.msg == RPT_MSG_PROGRESS) {
        if (OnProgressUpdate) {
            OnProgressUpdate(*this, int(message.wParam));
        }
    }
}
