#include "app/ReportDialogs.h"

#include "reports/measurement/ReportFillPaperForm.h"

#include <QPointer>

namespace app {

namespace {

// The main window's view of a measurement report's fill-in dialog. A dialog with a parent
// window belongs to that window and goes with it; one without is owned here.
class TMeasurementReportDialog : public TReportFillPaperDialog {
public:
    explicit TMeasurementReportDialog(std::unique_ptr<TReportFillPaperForm> form)
        : form_(form.get()) {
        if (form->parent() != nullptr) {
            static_cast<void>(form.release()); // the parent window deletes it
        } else {
            owned_ = std::move(form);
        }
    }

    bool SetDataObject(QObject* sender, TBaseAScanCell* record) override {
        return form_ && form_->SetDataObject(sender, record);
    }
    int ShowModal() override { return form_ ? form_->exec() : 0; }
    bool IsShowing() const override { return form_ && form_->isVisible(); }
    bool IsPreviewing() const override { return form_ && form_->Previewing(); }
    void HandleReportKey(int virtualKey) override {
        if (form_) {
            form_->HandleReportKey(virtualKey);
        }
    }
    TReportFillPaperForm* Form() const override { return form_.data(); }

private:
    QPointer<TReportFillPaperForm> form_;
    std::unique_ptr<TReportFillPaperForm> owned_;
};

} // namespace

std::unique_ptr<TReportFillPaperDialog> CreateReportFillPaperDialog(ReportKind kind,
                                                                    QWidget* parent) {
    switch (kind) {
    case ReportKind::AScan:
        return std::make_unique<TMeasurementReportDialog>(MakeAScanReport(parent));
    case ReportKind::Band:
        return std::make_unique<TMeasurementReportDialog>(MakeBScanReport(parent));
    case ReportKind::Map:
        return std::make_unique<TMeasurementReportDialog>(MakeMapReport(parent));
    }
    return nullptr;
}

} // namespace app
