// The fill-in dialogs of the measurement reports: the operator reads and edits the page header,
// types notes, and prints the report, previews it or closes. One dialog per report, each holding
// its layout; F1, F2 and F3 (with Ctrl, forwarded by the main window) act as the three buttons.
#pragma once

#include "reports/measurement/AScanReportUnit.h"
#include "reports/measurement/BScanReportFormUnit.h"
#include "reports/measurement/MapReportFormUnit.h"

#include <QDialog>

#include <cstdint>
#include <memory>

namespace Ui {
class ReportFillPaperForm;
}

namespace platform::ui {
class QtMemo;
}

class QObject;

class TReportFillPaperForm : public QDialog {
public:
    ~TReportFillPaperForm() override;

    // Fills the dialog and the layout from the record (the sender is the command that asked);
    // false, with both left as they were, when the record cannot be reported.
    bool SetDataObject(QObject* sender, TBaseAScanCell* record);
    // 112 print, 113 preview, 114 cancel; other keys do nothing.
    void HandleReportKey(int key);
    // True from the start of the dialog's preview until the preview window closes.
    bool Previewing() const { return previewing_; }

    // 1 once a preview has been started since the dialog was shown.
    std::uint8_t Previewed = 0;

    void FormShow();
    void ApplyLocalizedStrings();
    void PrintImmediateReportBitBtnClick();
    void PrintPreviewReportBitBtnClick();
    void CancelBitBtnClick();
    void ReportHeaderMemoChange();
    void ReportNotesMemoChange();

    TMeasurementReportForm& Layout() const { return *layout_; }
    Ui::ReportFillPaperForm& Controls() const { return *ui_; }
    platform::ui::QtMemo& HeaderMemo() const { return *headerMemo_; }
    platform::ui::QtMemo& NotesMemo() const { return *notesMemo_; }

protected:
    // The dialog reaches its report through the layout, which is made by the caller in the
    // program's order of windows and handed over.
    explicit TReportFillPaperForm(QWidget* parent);
    void SetLayout(std::unique_ptr<TMeasurementReportForm> layout) { layout_ = std::move(layout); }

    void showEvent(QShowEvent* event) override;

private:
    void copyTexts();

    std::unique_ptr<Ui::ReportFillPaperForm> ui_;
    std::unique_ptr<platform::ui::QtMemo> headerMemo_;
    std::unique_ptr<platform::ui::QtMemo> notesMemo_;
    std::unique_ptr<TMeasurementReportForm> layout_;
    bool previewing_ = false;
};

class TAScanReportFillPaperForm : public TReportFillPaperForm {
public:
    explicit TAScanReportFillPaperForm(QWidget* parent = nullptr);
    void SetReportForm(std::unique_ptr<TAScanReportForm> form) { SetLayout(std::move(form)); }
    TAScanReportForm& AScanReportForm() const;
};

class TBScanReportFillPaperForm : public TReportFillPaperForm {
public:
    explicit TBScanReportFillPaperForm(QWidget* parent = nullptr);
    void SetReportForm(std::unique_ptr<TBScanReportForm> form) { SetLayout(std::move(form)); }
    TBScanReportForm& BScanReportForm() const;
};

class TMapReportFillPaperForm : public TReportFillPaperForm {
public:
    explicit TMapReportFillPaperForm(QWidget* parent = nullptr);
    void SetReportForm(std::unique_ptr<TMapReportForm> form) { SetLayout(std::move(form)); }
    TMapReportForm& MapReportForm() const;
};

// A dialog with its layout, made in the program's order (the A-scan dialog before its layout,
// the band and map layouts before their dialogs).
std::unique_ptr<TAScanReportFillPaperForm> MakeAScanReport(QWidget* parent);
std::unique_ptr<TBScanReportFillPaperForm> MakeBScanReport(QWidget* parent);
std::unique_ptr<TMapReportFillPaperForm> MakeMapReport(QWidget* parent);
