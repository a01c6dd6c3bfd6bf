#include "app/ReportDialogs.h"

#include "reports/measurement/ReportFillPaperForm.h"

namespace app {

namespace {

// The main window's view of a measurement report's fill-in dialog.
class TMeasurementReportDialog : public TReportFillPaperDialog {
public:
    explicit TMeasurementReportDialog(std::unique_ptr<TReportFillPaperForm> form)
        : form_(std::move(form)) {}

    bool SetDataObject(QObject* sender, TBaseAScanCell* record) override {
        return form_->SetDataObject(sender, record);
    }
    int ShowModal() override { return form_->exec(); }
    bool IsShowing() const override { return form_->isVisible(); }
    bool IsPreviewing() const override { return form_->Previewing(); }
    void HandleReportKey(int virtualKey) override { form_->HandleReportKey(virtualKey); }
    TReportFillPaperForm* Form() const override { return form_.get(); }

private:
    std::unique_ptr<TReportFillPaperForm> form_;
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
