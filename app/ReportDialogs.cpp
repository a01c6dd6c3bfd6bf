#include "app/ReportDialogs.h"

#include "platform/ui/MessageBox.h"

namespace app {

namespace {

class TUnavailableReportDialog : public TReportFillPaperDialog {
public:
    bool SetDataObject(QObject*, TBaseAScanCell* record) override { return record != nullptr; }
    int ShowModal() override {
        platform::ui::messageBoxes().show("Printing reports is not available in this version.",
                                          "Reports", platform::ui::MessageIcon::Information,
                                          platform::ui::MessageButtons::Ok);
        return 0;
    }
    bool IsShowing() const override { return false; }
    bool IsPreviewing() const override { return false; }
    void HandleReportKey(int) override {}
};

} // namespace

std::unique_ptr<TReportFillPaperDialog> CreateReportFillPaperDialog(ReportKind, QWidget*) {
    return std::make_unique<TUnavailableReportDialog>();
}

} // namespace app
