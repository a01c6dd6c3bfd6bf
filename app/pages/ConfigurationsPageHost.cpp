// The configurations page as the main window holds it: the page's view of the window answered by
// the window's public members.
#include "app/MainFormUnit.h"
#include "app/pages/ConfigurationsPage.h"

namespace app {

namespace {

class MainFormConfigHost : public TConfigPageHost {
public:
    explicit MainFormConfigHost(TGarnetwickMainForm& form) : form_(form) {}

    TConfigList& Configs() override { return form_.Configs; }

    const TBaseConfigCell& ScratchConfig() override {
        if (form_.ScratchAScan && form_.ScratchAScan->Config) {
            return *form_.ScratchAScan->Config;
        }
        // Before start-up made the scratch record: a configuration at its defaults.
        static const TBaseConfigCell defaults = [] {
            TBaseConfigCell c(1, 1, 0);
            c.ResetAll(1);
            return c;
        }();
        return defaults;
    }

    QAction* Action(std::string_view name) override { return form_.Action(name); }
    void UpdateActionStates() override { form_.UpdateActionStates(); }
    void SetStatusPanel1(const QString& text) override { form_.SetStatusPanel1(text); }
    void ClearGridSelection(QWidget* grid) override { form_.ClearGridSelection(grid); }

    void RunHeld(QAction* action, const std::function<void()>& command) override {
        const TPressedButton held(action);
        command();
    }

    bool EditString(const TNameEditSetup&, QPoint, std::string&) override {
        // CONNECT: the string-parameter dialog (TEditStrParForm) is not on this branch yet. Give
        // it the label, allowed characters, case pairs, edit mask and text of the setup, place it
        // with NameDialogPosition at the pointer, show it modally and answer its text after OK.
        return false;
    }

private:
    TGarnetwickMainForm& form_;
};

} // namespace

TConfigurationsPage::TConfigurationsPage(TGarnetwickMainForm& form, QWidget* parent)
    : TConfigurationsPage(std::make_unique<MainFormConfigHost>(form), parent) {}

} // namespace app
