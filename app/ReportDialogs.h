// What the main window needs of the report fill-in dialogs: hand a record over, show the dialog,
// and pass it the report keys while it is up.
#pragma once

#include <QObject>

#include <memory>

class TBaseAScanCell;
class TReportFillPaperForm;
class QWidget;

namespace app {

enum class ReportKind { AScan, Band, Map };

class TReportFillPaperDialog {
public:
    virtual ~TReportFillPaperDialog() = default;
    // False when the dialog cannot take the record (the dialog is then not shown).
    virtual bool SetDataObject(QObject* sender, TBaseAScanCell* record) = 0;
    virtual int ShowModal() = 0;
    virtual bool IsShowing() const = 0;
    // True while the dialog's own preview is open (report keys are not routed then).
    virtual bool IsPreviewing() const = 0;
    // Ctrl+F1 print, Ctrl+F2 preview, Ctrl+F3 cancel (virtual key codes 112..114).
    virtual void HandleReportKey(int virtualKey) = 0;
    // The dialog itself.
    virtual TReportFillPaperForm* Form() const = 0;
};

// The measurement report's fill-in dialog with its layout, parented to the main window.
std::unique_ptr<TReportFillPaperDialog> CreateReportFillPaperDialog(ReportKind kind,
                                                                    QWidget* parent);

} // namespace app
