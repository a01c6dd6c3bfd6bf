// The standard preview window: a toolbar of exactly 20 positions (the measurement reports address
// them by index), thumbnails and search results at the side, the page in the middle, progress,
// page and file in the status bar. It pages, zooms, searches the page texts, prints, sets up the
// printer and saves and loads page files; closing it tells the printer object.
//
// The preview interface creates the window for a printer object (parented to a modal dialog that
// is up, so the window takes input while the dialog waits), remembers it, and lets the report wait
// for its close in a nested event loop.
#pragma once

#include "reports/preview/RptPreview.h"
#include "reports/preview/RptSearchDlg.h"

#include <QImage>
#include <QWidget>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

class QGroupBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QProgressBar;
class QSplitter;
class QStatusBar;
class QTabWidget;
class QTableWidget;
class QToolButton;
namespace Ui {
class TRptStandardPreview;
}

class TRptStandardPreview : public QWidget {
public:
    static constexpr int kToolBarPositions = 20;

    explicit TRptStandardPreview(TRptPrinter* printer, QWidget* parent = nullptr);
    ~TRptStandardPreview() override;

    QWidget* ToolBar1;
    QToolButton *ZoomFit, *ZoomToWidth, *Zoom100;
    QToolButton *FirstPage, *PreviousPage, *nextPage, *LastPage;
    QToolButton *GotoPageButton, *FindButton, *PrintSetup, *Print, *SaveReport, *LoadReport;
    QToolButton* ExitButton;
    QTabWidget* Tabs;
    QWidget* TabThumbs;
    QTableWidget* ThumbGrid;
    QWidget* TabSearchResult;
    QGroupBox* GroupBox1;
    QLabel* SearchTextLabel;
    QListWidget* SearchResultBox;
    TRptPreview* RptPreview;
    QSplitter* Splitter1;
    QStatusBar* StatusBar;
    QLabel* StatusPanels[3];
    QProgressBar* ProgressBar;

    // The toolbar's control at a position 0..19 (nullptr outside).
    QToolButton* ToolBarControl(int index) const;

    // Texts the reports may replace (Windows-1251): the go-to-page title with its "%d", the
    // go-to-page prompt, the words around the page number, the titles of the file dialogs.
    std::string GotoPageTitleFormat;
    std::string GotoPagePrompt;
    std::string PageWord;
    std::string OfWord;
    std::string SaveDialogTitle;
    std::string OpenDialogTitle;

    // The search dialog; tests answer it from a script.
    std::function<std::optional<TRptSearchRequest>(QWidget* parent)> SearchDialog = RunSearchDialog;

    TRptPrinter* RptPrinter() const { return printer_; }
    // A page file was loaded into this window: Print prints the stored pages, print setup leaves
    // the report's settings alone.
    bool FileLoaded() const { return fileLoaded_; }
    bool ShowThumbs() const { return showThumbs_; }
    bool ShowSearch() const { return showSearch_; }

    void ZoomFitClick();
    void ZoomToWidthClick();
    void Zoom100Click();
    void FirstPageClick();
    void PreviousPageClick();
    void NextPageClick();
    void LastPageClick();
    void GotoPageButtonClick();
    void FindButtonClick();
    void PrintSetupClick();
    void PrintClick();
    void SaveReportClick();
    void LoadReportClick();
    void ExitButtonClick();

    void GoToPage(int n);
    void UpdateStatus();
    void PageAvailable(int page);
    void ProgressUpdate(int percent);
    void SearchResultBoxClick(QListWidgetItem* item);
    void ThumbGridSelectCell(int row);
    // Recomputes the thumbnail column and rows for the grid's width.
    void UpdateThumbnails();
    // The printer object is going: the window lets go of it and closes.
    void PrinterGone();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void applyOptions();
    void enableStoredPageCommands();
    void setThumbRows();
    bool runCommand(int key, Qt::KeyboardModifiers modifiers);
    void scrollUp();
    void scrollDown();
    template <typename F> void guarded(F&& f);
    void paintThumbnail(QPainter& painter, const QRect& cell, int row);
    QString text(const std::string& cp1251) const;

    std::unique_ptr<Ui::TRptStandardPreview> ui_;
    TRptPrinter* printer_;
    bool showThumbs_ = true;
    bool showSearch_ = true;
    TRptZoomState initialZoom_ = TRptZoomState::rpZoomOther;
    int initialZoomValue_ = 100;
    bool fileLoaded_ = false;
    bool searching_ = false;
    bool selectingThumb_ = false;
    bool closed_ = false;
    TProgressReadout progress_;
    TThumbMetrics thumbs_;
    // Thumbnails as drawn, by row: each one plays its whole page.
    std::map<int, QImage> thumbCache_;
};

// ---- preview interfaces
// ---------------------------------------------------------------------------

class TRptPreviewInterface {
public:
    virtual ~TRptPreviewInterface() = default;
    virtual void Show(TRptPrinter& printer) = 0;
    virtual void ShowModal(TRptPrinter& printer) = 0;
};

class TRptStandardPreviewInterface : public TRptPreviewInterface {
public:
    // Creates the window (freed when it closes), shows it and fills its status bar.
    void Show(TRptPrinter& printer) override;
    // The same, application-modal, and returns when the window has closed.
    void ShowModal(TRptPrinter& printer) override;
};

// Makes the standard preview the printer objects' preview.
void RegisterStandardPreview();
// The standard preview window showing the printer object's pages, if one is open.
TRptStandardPreview* StandardPreviewOf(const TRptPrinter& printer);
// Runs a nested event loop until the printer object's preview window has closed or the
// application quits; returns at once without a window.
void WaitForPreviewClosed(const TRptPrinter& printer);
