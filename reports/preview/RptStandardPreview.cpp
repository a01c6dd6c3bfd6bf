#include "reports/preview/RptStandardPreview.h"

#include "platform/gfx/PainterCanvas.h"
#include "platform/text/Cp1251.h"
#include "platform/ui/FileDialogs.h"
#include "platform/ui/InputDialogs.h"
#include "platform/ui/MessageBox.h"
#include "reports/pages/RptError.h"
#include "reports/pages/RptPrintDialog.h"
#include "reports/pages/RptPrntr.h"
#include "reports/pages/RptTexts.h"
#include "ui_RptStandardPreview.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QHeaderView>
#include <QKeyEvent>
#include <QListWidget>
#include <QPainter>
#include <QPointer>
#include <QProgressBar>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QToolButton>

#include <algorithm>
#include <filesystem>
#include <map>

namespace {

QString engineText(int id) {
    return QString::fromLatin1(RptText(id));
}

std::map<const TRptPrinter*, QPointer<TRptStandardPreview>>& openPreviews() {
    static std::map<const TRptPrinter*, QPointer<TRptStandardPreview>> windows;
    return windows;
}

// Draws each thumbnail row through the window.
class ThumbDelegate : public QStyledItemDelegate {
public:
    using Painter = std::function<void(QPainter&, const QRect&, int)>;
    ThumbDelegate(QObject* parent, Painter paint)
        : QStyledItemDelegate(parent), paint_(std::move(paint)) {}
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        if (option.state & QStyle::State_Selected) {
            painter->fillRect(option.rect, option.palette.highlight());
        }
        paint_(*painter, option.rect, index.row());
    }

private:
    Painter paint_;
};

} // namespace

TRptStandardPreview::TRptStandardPreview(TRptPrinter* printer, QWidget* parent)
    : QWidget(parent), ui_(std::make_unique<Ui::TRptStandardPreview>()), printer_(printer) {
    ui_->setupUi(this);
    ToolBar1 = ui_->ToolBar1;
    ZoomFit = ui_->ZoomFit;
    ZoomToWidth = ui_->ZoomToWidth;
    Zoom100 = ui_->Zoom100;
    FirstPage = ui_->FirstPage;
    PreviousPage = ui_->PreviousPage;
    nextPage = ui_->nextPage;
    LastPage = ui_->LastPage;
    GotoPageButton = ui_->GotoPageButton;
    FindButton = ui_->FindButton;
    PrintSetup = ui_->PrintSetup;
    Print = ui_->Print;
    SaveReport = ui_->SaveReport;
    LoadReport = ui_->LoadReport;
    ExitButton = ui_->ExitButton;
    Tabs = ui_->Tabs;
    TabThumbs = ui_->TabThumbs;
    ThumbGrid = ui_->ThumbGrid;
    TabSearchResult = ui_->TabSearchResult;
    GroupBox1 = ui_->GroupBox1;
    SearchTextLabel = ui_->SearchTextLabel;
    SearchResultBox = ui_->SearchResultBox;
    RptPreview = ui_->RptPreview;
    Splitter1 = ui_->Splitter1;
    StatusBar = ui_->StatusBar;

    RptPreview->setFrameShape(QFrame::NoFrame);
    Splitter1->setSizes({193, 600});
    Splitter1->setStretchFactor(1, 1);

    // Status bar: progress, page, file or link; the progress bar lies over its left corner.
    const int widths[3] = {40, 120, 50};
    const char* initial[3] = {"0%", "Page", " "};
    for (int i = 0; i < 3; ++i) {
        StatusPanels[i] = new QLabel(QString::fromLatin1(initial[i]), StatusBar);
        StatusPanels[i]->setMinimumWidth(widths[i]);
        StatusBar->addWidget(StatusPanels[i], i == 2 ? 1 : 0);
    }
    StatusPanels[0]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    ProgressBar = new QProgressBar(StatusBar);
    ProgressBar->setGeometry(2, 2, 100, 10);
    ProgressBar->setTextVisible(false);
    ProgressBar->hide();

    // Texts of the engine.
    Tabs->setTabText(Tabs->indexOf(TabThumbs), engineText(64955));
    Tabs->setTabText(Tabs->indexOf(TabSearchResult), engineText(64954));
    GroupBox1->setTitle(engineText(64956));
    const std::pair<QToolButton*, int> hints[] = {
        {ZoomFit, 65035},      {ZoomToWidth, 65037}, {Zoom100, 65036},  {FirstPage, 65038},
        {PreviousPage, 65039}, {nextPage, 65008},    {LastPage, 65009}, {GotoPageButton, 64959},
        {FindButton, 64957},   {PrintSetup, 65010},  {Print, 65017},    {SaveReport, 65011},
        {LoadReport, 65012},   {ExitButton, 64958},
    };
    for (const auto& [button, id] : hints) {
        button->setToolTip(engineText(id));
    }
    ExitButton->setText(engineText(64933));
    setWindowTitle(engineText(64932));
    GotoPageTitleFormat = RptText(64953);
    GotoPagePrompt = RptText(64928);
    PageWord = RptText(65013);
    OfWord = RptText(65014);
    SaveDialogTitle = RptText(65011);
    OpenDialogTitle = RptText(65012);

    const std::pair<QToolButton*, QStyle::StandardPixmap> icons[] = {
        {ZoomFit, QStyle::SP_TitleBarNormalButton},
        {ZoomToWidth, QStyle::SP_ToolBarHorizontalExtensionButton},
        {Zoom100, QStyle::SP_TitleBarMaxButton},
        {FirstPage, QStyle::SP_MediaSkipBackward},
        {PreviousPage, QStyle::SP_MediaSeekBackward},
        {nextPage, QStyle::SP_MediaSeekForward},
        {LastPage, QStyle::SP_MediaSkipForward},
        {GotoPageButton, QStyle::SP_ArrowRight},
        {FindButton, QStyle::SP_FileDialogContentsView},
        {PrintSetup, QStyle::SP_FileDialogDetailedView},
        {Print, QStyle::SP_DriveFDIcon},
        {SaveReport, QStyle::SP_DialogSaveButton},
        {LoadReport, QStyle::SP_DialogOpenButton},
    };
    for (const auto& [button, pixmap] : icons) {
        button->setIcon(style()->standardIcon(pixmap));
    }

    connect(ZoomFit, &QToolButton::clicked, this, [this] { guarded([this] { ZoomFitClick(); }); });
    connect(ZoomToWidth, &QToolButton::clicked, this,
            [this] { guarded([this] { ZoomToWidthClick(); }); });
    connect(Zoom100, &QToolButton::clicked, this, [this] { guarded([this] { Zoom100Click(); }); });
    connect(FirstPage, &QToolButton::clicked, this,
            [this] { guarded([this] { FirstPageClick(); }); });
    connect(PreviousPage, &QToolButton::clicked, this,
            [this] { guarded([this] { PreviousPageClick(); }); });
    connect(nextPage, &QToolButton::clicked, this,
            [this] { guarded([this] { NextPageClick(); }); });
    connect(LastPage, &QToolButton::clicked, this,
            [this] { guarded([this] { LastPageClick(); }); });
    connect(GotoPageButton, &QToolButton::clicked, this,
            [this] { guarded([this] { GotoPageButtonClick(); }); });
    connect(FindButton, &QToolButton::clicked, this,
            [this] { guarded([this] { FindButtonClick(); }); });
    connect(PrintSetup, &QToolButton::clicked, this,
            [this] { guarded([this] { PrintSetupClick(); }); });
    connect(Print, &QToolButton::clicked, this, [this] { guarded([this] { PrintClick(); }); });
    connect(SaveReport, &QToolButton::clicked, this,
            [this] { guarded([this] { SaveReportClick(); }); });
    connect(LoadReport, &QToolButton::clicked, this,
            [this] { guarded([this] { LoadReportClick(); }); });
    connect(ExitButton, &QToolButton::clicked, this, [this] { ExitButtonClick(); });
    connect(SearchResultBox, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        guarded([this, item] { SearchResultBoxClick(item); });
    });
    connect(ThumbGrid, &QTableWidget::currentCellChanged, this,
            [this](int row, int, int, int) { guarded([this, row] { ThumbGridSelectCell(row); }); });
    ThumbGrid->setItemDelegate(
        new ThumbDelegate(ThumbGrid, [this](QPainter& p, const QRect& cell, int row) {
            paintThumbnail(p, cell, row);
        }));
    ThumbGrid->installEventFilter(this);

    // Keys reach the window first, whichever control has the focus.
    installEventFilter(this);
    for (QWidget* child : findChildren<QWidget*>()) {
        child->installEventFilter(this);
    }

    // Only a finished run can be printed or kept; until then these wait.
    for (QToolButton* b : {PrintSetup, Print, SaveReport, LoadReport}) {
        b->setEnabled(false);
    }

    RptPreview->OnPageAvailable = [this](TRptPreview&, int page) {
        guarded([this, page] { PageAvailable(page); });
    };
    RptPreview->OnProgressUpdate = [this](TRptPreview&, int percent) {
        guarded([this, percent] { ProgressUpdate(percent); });
    };
    RptPreview->Image()->OnHyperlink = [this](QObject*, TRptPrinter*, TRptHyperlinkEventType, bool&,
                                              const std::string& link) {
        StatusPanels[2]->setText(text(link));
    };
    applyOptions();
}

TRptStandardPreview::~TRptStandardPreview() {
    if (printer_ != nullptr) {
        openPreviews().erase(printer_);
    }
    RptPreview->ReleaseRptPrinter();
}

QString TRptStandardPreview::text(const std::string& cp1251) const {
    return QString::fromStdString(platform::text::cp1251ToUtf8(cp1251));
}

template <typename F> void TRptStandardPreview::guarded(F&& f) {
    // An error of a command is shown as the program shows every unexpected error; it never
    // leaves the event handler.
    try {
        f();
    } catch (const std::exception& e) {
        platform::ui::messageBoxes().show(e.what(), printer_ ? printer_->Title : std::string(),
                                          platform::ui::MessageIcon::Error,
                                          platform::ui::MessageButtons::Ok);
    }
}

QToolButton* TRptStandardPreview::ToolBarControl(int index) const {
    QLayout* layout = ToolBar1->layout();
    if (index < 0 || index >= kToolBarPositions || index >= layout->count()) {
        return nullptr;
    }
    return qobject_cast<QToolButton*>(layout->itemAt(index)->widget());
}

void TRptStandardPreview::applyOptions() {
    const TRptPreviewOptions* options = nullptr;
    if (printer_ != nullptr && printer_->ParentReport != nullptr) {
        options = printer_->ParentReport->PreviewOptions();
    }
    if (options != nullptr) {
        if (options->StayOnTop) {
            setWindowFlag(Qt::WindowStaysOnTopHint, true);
        }
        resize(options->Width, options->Height);
        switch (options->WindowState) {
        case TRptPreviewWindowState::wsNormal:
            break;
        case TRptPreviewWindowState::wsMinimized:
            setWindowState(Qt::WindowMinimized);
            break;
        case TRptPreviewWindowState::wsMaximized:
            setWindowState(Qt::WindowMaximized);
            break;
        }
        showThumbs_ = options->ShowThumbs;
        showSearch_ = options->ShowSearch;
        initialZoom_ = options->InitialZoom;
        initialZoomValue_ = options->Zoom;
        StatusPanels[2]->setText(text(options->Title));
        printer_->Title = options->Title;
    } else {
        setWindowState(Qt::WindowMaximized);
    }
    RptPreview->SetRptPrinter(printer_);
    if (printer_ != nullptr && !printer_->Title.empty()) {
        setWindowTitle(engineText(64932) + text(printer_->Title));
    }
    Tabs->setVisible(showThumbs_ || showSearch_);
    Tabs->setTabVisible(Tabs->indexOf(TabThumbs), showThumbs_);
    Tabs->setTabVisible(Tabs->indexOf(TabSearchResult), showSearch_);
    FindButton->setVisible(showSearch_);
    if (showThumbs_) {
        UpdateThumbnails();
        setThumbRows();
    }
    switch (initialZoom_) {
    case TRptZoomState::rpZoomToFit:
        RptPreview->ZoomToFit();
        ZoomFit->setChecked(true);
        break;
    case TRptZoomState::rpZoomToWidth:
        RptPreview->ZoomToWidth();
        ZoomToWidth->setChecked(true);
        break;
    case TRptZoomState::rpZoomOther:
        RptPreview->SetZoom(initialZoomValue_);
        Zoom100->setChecked(true);
        break;
    }
    if (printer_ != nullptr && printer_->Status == TRptPrinter::Finished) {
        enableStoredPageCommands();
    }
    UpdateStatus();
}

void TRptStandardPreview::setThumbRows() {
    ThumbGrid->setRowCount(RptPreview->PageCount());
    // A grid always has a current row once it has rows.
    if (ThumbGrid->rowCount() > 0 && ThumbGrid->currentRow() < 0) {
        selectingThumb_ = true;
        ThumbGrid->setCurrentCell(
            std::clamp(RptPreview->PageNumber() - 1, 0, ThumbGrid->rowCount() - 1), 0);
        selectingThumb_ = false;
    }
}

void TRptStandardPreview::enableStoredPageCommands() {
    for (QToolButton* b : {PrintSetup, Print, SaveReport, LoadReport}) {
        b->setEnabled(true);
    }
}

// ---- toolbar
// --------------------------------------------------------------------------------------

namespace {
void checkOnly(QToolButton* on, std::initializer_list<QToolButton*> all) {
    for (QToolButton* b : all) {
        b->setChecked(b == on);
    }
}
} // namespace

void TRptStandardPreview::ZoomFitClick() {
    platform::ui::ProcessMessages();
    checkOnly(ZoomFit, {ZoomFit, ZoomToWidth, Zoom100});
    RptPreview->ZoomToFit();
}

void TRptStandardPreview::ZoomToWidthClick() {
    platform::ui::ProcessMessages();
    checkOnly(ZoomToWidth, {ZoomFit, ZoomToWidth, Zoom100});
    RptPreview->ZoomToWidth();
}

void TRptStandardPreview::Zoom100Click() {
    platform::ui::ProcessMessages();
    checkOnly(Zoom100, {ZoomFit, ZoomToWidth, Zoom100});
    RptPreview->SetZoom(100);
}

void TRptStandardPreview::FirstPageClick() {
    GoToPage(1);
}

void TRptStandardPreview::PreviousPageClick() {
    GoToPage(RptPreview->PageNumber() - 1);
}

void TRptStandardPreview::NextPageClick() {
    GoToPage(RptPreview->PageNumber() + 1);
}

void TRptStandardPreview::LastPageClick() {
    GoToPage(RptPreview->PageCount());
}

void TRptStandardPreview::GoToPage(int n) {
    RptPreview->SetPageNumber(n);
    UpdateStatus();
    if (n >= 1 && n <= RptPreview->PageCount() && showThumbs_) {
        selectingThumb_ = true;
        ThumbGrid->setCurrentCell(n - 1, 0);
        selectingThumb_ = false;
    }
}

void TRptStandardPreview::ThumbGridSelectCell(int row) {
    if (selectingThumb_ || row < 0) {
        return;
    }
    RptPreview->SetPageNumber(row + 1);
    UpdateStatus();
}

void TRptStandardPreview::GotoPageButtonClick() {
    const int count = RptPreview->PageCount();
    const std::string answer =
        platform::ui::InputBox(GotoPageTitle(GotoPageTitleFormat, count), GotoPagePrompt,
                               std::to_string(RptPreview->PageNumber()));
    GoToPage(GotoPageTarget(answer, count));
}

void TRptStandardPreview::ExitButtonClick() {
    close();
}

void TRptStandardPreview::UpdateStatus() {
    StatusPanels[1]->setText(
        text(PageStatusText(PageWord, OfWord, RptPreview->PageNumber(), RptPreview->PageCount())));
}

void TRptStandardPreview::ProgressUpdate(int percent) {
    if (const auto shown = progress_.Update(percent)) {
        StatusPanels[0]->setText(QString::fromStdString(*shown));
        ProgressBar->setValue(percent);
    }
}

void TRptStandardPreview::PageAvailable(int) {
    UpdateStatus();
    thumbCache_.clear();
    if (showThumbs_) {
        setThumbRows();
        UpdateThumbnails();
        ThumbGrid->viewport()->update();
    }
    if (printer_ != nullptr && printer_->Status == TRptPrinter::Finished) {
        enableStoredPageCommands();
    }
}

// ---- thumbnails ---------------------------------------------------------------------------------

// Worked out from the grid's own size, which is current from its first resize on (its viewport
// follows only later): the column is the width beside the scroll bar when the rows at the full
// width would need one.
void TRptStandardPreview::UpdateThumbnails() {
    const double w = printer_ != nullptr ? printer_->PaperWidth() : 2159;
    const double l = printer_ != nullptr ? printer_->PaperLength() : 2794;
    const int caption = ThumbGrid->fontMetrics().height();
    const QSize room = ThumbGrid->maximumViewportSize();
    thumbs_ = ThumbnailMetrics(room.width(), w, l, caption);
    if (std::int64_t(thumbs_.rowHeight) * RptPreview->PageCount() > room.height()) {
        thumbs_ = ThumbnailMetrics(
            room.width() - ThumbGrid->verticalScrollBar()->sizeHint().width(), w, l, caption);
    }
    thumbCache_.clear();
    ThumbGrid->setColumnWidth(0, thumbs_.columnWidth);
    ThumbGrid->verticalHeader()->setDefaultSectionSize(thumbs_.rowHeight);
    ThumbGrid->verticalHeader()->setMinimumSectionSize(1);
}

void TRptStandardPreview::paintThumbnail(QPainter& painter, const QRect& cell, int row) {
    const platform::gfx::TRect c{cell.left(), cell.top(), cell.right() + 1, cell.bottom() + 1};
    const platform::gfx::TRect pageRect = ThumbnailPageRect(c, thumbs_);
    if (!pageRect.IsEmpty()) {
        QImage& drawn = thumbCache_[row];
        const QSize size(pageRect.Width(), pageRect.Height());
        if (drawn.size() != size) {
            std::unique_ptr<platform::emf::Metafile> page;
            if (printer_ != nullptr) {
                try {
                    page = printer_->GetPage(row + 1);
                } catch (const std::exception&) {
                    page.reset(); // an empty sheet; the page itself reports the fault when shown
                }
            }
            drawn = QImage(size, QImage::Format_ARGB32_Premultiplied);
            drawn.fill(Qt::transparent);
            platform::gfx::PainterCanvas canvas(drawn);
            DrawPreviewPage(canvas, {0, 0, size.width(), size.height()}, page.get());
        }
        painter.drawImage(pageRect.Left, pageRect.Top, drawn);
    }
    const QString number = QString::number(row + 1);
    const QRect label(cell.topLeft(), painter.fontMetrics().size(0, number));
    painter.fillRect(label, palette().button());
    painter.setPen(palette().buttonText().color());
    painter.drawText(label, Qt::AlignLeft | Qt::AlignTop, number);
}

// ---- search -------------------------------------------------------------------------------------

void TRptStandardPreview::FindButtonClick() {
    const auto request = SearchDialog ? SearchDialog(this) : std::nullopt;
    if (!request || printer_ == nullptr) {
        return;
    }
    // One search at a time: a second waits for the first.
    while (searching_) {
        platform::ui::ProcessMessages();
    }
    searching_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{searching_};
    SearchResultBox->setEnabled(true);
    SearchTextLabel->setText(request->text);
    SearchResultBox->clear();
    const int count = printer_->PageCount;
    // A page that cannot be read is passed over, so the pages after it are still searched; the
    // fault is reported once the list is complete.
    std::optional<std::string> fault;
    for (int n = 1; n <= count; ++n) {
        std::unique_ptr<platform::emf::Metafile> page;
        try {
            page = printer_->GetPage(n);
        } catch (const ERptError& e) {
            if (!fault) {
                fault = e.what();
            }
            continue;
        }
        if (page && PageContainsText(*page, request->text, request->matchCase)) {
            auto* item = new QListWidgetItem(text(PageWord) + " " + QString::number(n));
            item->setData(Qt::UserRole, n);
            SearchResultBox->addItem(item);
        }
    }
    if (SearchResultBox->count() == 0) {
        SearchResultBox->addItem(engineText(64934));
        SearchResultBox->setEnabled(false);
    }
    if (fault) {
        platform::ui::messageBoxes().show(*fault, printer_->Title, platform::ui::MessageIcon::Error,
                                          platform::ui::MessageButtons::Ok);
    }
}

void TRptStandardPreview::SearchResultBoxClick(QListWidgetItem* item) {
    int page = item != nullptr ? item->data(Qt::UserRole).toInt() : 0;
    if (page < 1 || page > RptPreview->PageCount()) {
        page = 1;
    }
    GoToPage(page);
}

// ---- printing and files -------------------------------------------------------------------------

void TRptStandardPreview::PrintSetupClick() {
    if (printer_ == nullptr) {
        return;
    }
    if (!fileLoaded_ && printer_->OnPrintSetup) {
        printer_->OnPrintSetup(*printer_); // the report's own set-up
        return;
    }
    // A loaded file has no report behind it: the dialog changes the printer object only.
    TRptPrintDialog dialog;
    dialog.Printer = printer_;
    dialog.Options = {TPrintDialogOption::poPageNums, TPrintDialogOption::poWarning};
    const bool finished = printer_->Status == TRptPrinter::Finished;
    dialog.MinPage = finished ? 1 : 0;
    dialog.MaxPage = finished ? printer_->PageCount : 9999;
    dialog.FromPage = dialog.MinPage;
    dialog.ToPage = dialog.MaxPage;
    dialog.PrintRange = TPrintRange::prAllPages;
    dialog.SetCopies(printer_->Settings.Copies);
    if (!dialog.Execute()) {
        return;
    }
    TPrinterSettings& s = printer_->Settings;
    s.Copies = dialog.Copies();
    s.Orientation = dialog.Orientation == platform::print::DMORIENT_LANDSCAPE
                        ? TRptOrientation::poLandscape
                        : TRptOrientation::poPortrait;
    s.OutputBin = BinOfCode(dialog.OutputBin > 255 ? dialog.OutputBin - 256 : dialog.OutputBin);
    s.Duplex = dialog.Duplex;
    s.Collate = dialog.Collate;
    s.PrintQuality = dialog.PrintQuality;
    s.ColorOption = dialog.ColorOption;
    const bool range = dialog.PrintRange == TPrintRange::prPageNums;
    s.FirstPage = printer_->FirstPage = range ? dialog.FromPage : 0;
    s.LastPage = printer_->LastPage = range ? dialog.ToPage : 0;
}

void TRptStandardPreview::PrintClick() {
    if (printer_ == nullptr) {
        return;
    }
    if (!fileLoaded_ && printer_->ParentReport != nullptr) {
        // The report prints itself again, straight to the printer.
        platform::ui::PostMessage(printer_->ParentReport->ReportWindow(), RPT_MSG_PRINT, 0, 0);
        return;
    }
    printer_->Print();
}

void TRptStandardPreview::SaveReportClick() {
    if (printer_ == nullptr || printer_->Status != TRptPrinter::Finished) {
        return;
    }
    platform::ui::FileDialogRequest request;
    request.save = true;
    request.title = SaveDialogTitle;
    request.filter = PageFileSaveFilter();
    request.filterIndex = 1;
    const platform::ui::FileDialogAnswer answer = platform::ui::fileDialogs().run(request);
    if (!answer.accepted) {
        return;
    }
    if (answer.filterIndex != 1) {
        if (printer_->OnExport) {
            printer_->OnExport(*printer_);
        }
        return;
    }
    std::filesystem::path file = answer.file;
    if (!file.has_extension()) {
        file += std::string(".") + kPageFileExtension;
    }
    printer_->Save(file);
}

void TRptStandardPreview::LoadReportClick() {
    if (printer_ == nullptr) {
        return;
    }
    platform::ui::FileDialogRequest request;
    request.title = OpenDialogTitle;
    request.filter = PageFileLoadFilter();
    request.filterIndex = 1;
    const platform::ui::FileDialogAnswer answer = platform::ui::fileDialogs().run(request);
    std::error_code ec;
    if (!answer.accepted || !std::filesystem::is_regular_file(answer.file, ec)) {
        return;
    }
    // A refused file raises before anything changed: the pages shown and the file name stay.
    printer_->Load(answer.file);
    StatusPanels[2]->setText(QString::fromStdString(answer.file.string()));
    RptPreview->ReloadPage(1);
    switch (RptPreview->ZoomState()) {
    case TRptZoomState::rpZoomToFit:
        RptPreview->ZoomToFit();
        break;
    case TRptZoomState::rpZoomToWidth:
        RptPreview->ZoomToWidth();
        break;
    case TRptZoomState::rpZoomOther:
        RptPreview->UpdateImageSize();
        break;
    }
    PageAvailable(1);
    if (showThumbs_) {
        selectingThumb_ = true;
        ThumbGrid->setCurrentCell(0, 0);
        selectingThumb_ = false;
    }
    fileLoaded_ = true;
}

// ---- keys and closing ---------------------------------------------------------------------------

void TRptStandardPreview::scrollUp() {
    QScrollBar* bar = RptPreview->verticalScrollBar();
    if (bar->value() > bar->minimum()) {
        bar->setValue(bar->value() - bar->singleStep());
        return;
    }
    if (RptPreview->PageNumber() > 1) {
        GoToPage(RptPreview->PageNumber() - 1);
        bar->setValue(bar->maximum());
    }
}

void TRptStandardPreview::scrollDown() {
    QScrollBar* bar = RptPreview->verticalScrollBar();
    if (bar->value() < bar->maximum()) {
        bar->setValue(bar->value() + bar->singleStep());
        return;
    }
    GoToPage(RptPreview->PageNumber() + 1);
}

bool TRptStandardPreview::runCommand(int key, Qt::KeyboardModifiers modifiers) {
    switch (PreviewKeyCommand(key, (modifiers & Qt::ControlModifier) != 0)) {
    case TPreviewCommand::None:
        return false;
    case TPreviewCommand::FirstPage:
        FirstPageClick();
        break;
    case TPreviewCommand::PreviousPage:
        PreviousPageClick();
        break;
    case TPreviewCommand::NextPage:
        NextPageClick();
        break;
    case TPreviewCommand::LastPage:
        LastPageClick();
        break;
    case TPreviewCommand::ScrollUp:
        scrollUp();
        break;
    case TPreviewCommand::ScrollDown:
        scrollDown();
        break;
    case TPreviewCommand::Close:
        close();
        break;
    }
    return true;
}

bool TRptStandardPreview::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        bool handled = false;
        guarded([&] { handled = runCommand(key->key(), key->modifiers()); });
        if (handled) {
            return true;
        }
    } else if (watched == ThumbGrid && event->type() == QEvent::Resize) {
        UpdateThumbnails();
    }
    return QWidget::eventFilter(watched, event);
}

void TRptStandardPreview::closeEvent(QCloseEvent* event) {
    if (!closed_ && printer_ != nullptr) {
        closed_ = true;
        TRptPrinter* printer = printer_;
        // The report may free the printer object when it hears of the close: forget it first.
        openPreviews().erase(printer);
        RptPreview->ReleaseRptPrinter();
        printer_ = nullptr;
        printer->ClosePreview();
        platform::ui::ProcessMessages();
    }
    event->accept();
}

void TRptStandardPreview::PrinterGone() {
    if (printer_ != nullptr) {
        openPreviews().erase(printer_);
        RptPreview->ReleaseRptPrinter();
        printer_ = nullptr;
    }
    closed_ = true;
    close();
}

// ---- interfaces ---------------------------------------------------------------------------------

namespace {

TRptStandardPreview* createPreview(TRptPrinter& printer) {
    // Opened from a modal dialog the window must be that dialog's, or the dialog blocks its input.
    QWidget* owner = QApplication::activeModalWidget();
    auto* window = new TRptStandardPreview(&printer, owner);
    window->setWindowFlag(Qt::Window, true);
    window->setAttribute(Qt::WA_DeleteOnClose, true);
    openPreviews()[&printer] = window;
    return window;
}

} // namespace

void TRptStandardPreviewInterface::Show(TRptPrinter& printer) {
    TRptStandardPreview* window = createPreview(printer);
    window->show();
    window->UpdateStatus();
}

void TRptStandardPreviewInterface::ShowModal(TRptPrinter& printer) {
    TRptStandardPreview* window = createPreview(printer);
    window->setWindowModality(Qt::ApplicationModal);
    window->show();
    window->UpdateStatus();
    WaitForPreviewClosed(printer);
}

void RegisterStandardPreview() {
    RegisterPreview([](TRptPrinter& printer) { TRptStandardPreviewInterface().Show(printer); });
    RegisterPreviewCloser([](TRptPrinter& printer) {
        if (TRptStandardPreview* window = StandardPreviewOf(printer)) {
            window->PrinterGone();
        }
    });
}

TRptStandardPreview* StandardPreviewOf(const TRptPrinter& printer) {
    const auto it = openPreviews().find(&printer);
    return it != openPreviews().end() ? it->second.data() : nullptr;
}

void WaitForPreviewClosed(const TRptPrinter& printer) {
    QPointer<TRptStandardPreview> window = StandardPreviewOf(printer);
    if (!window) {
        return;
    }
    QEventLoop loop;
    QObject::connect(window.data(), &QObject::destroyed, &loop, &QEventLoop::quit);
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, &loop, &QEventLoop::quit);
    if (window) {
        loop.exec();
    }
}
