// The configurations page as the main window holds it: the page's view of the window answered by
// the window's public members.
#include "app/AppWindows.h"
#include "app/MainFormUnit.h"
#include "app/dialogs/EditStrParFormUnit.h"
#include "app/pages/ConfigurationsPage.h"

#include <QGuiApplication>
#include <QScreen>

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

    bool EditString(const TNameEditSetup& setup, QPoint pointer, std::string& text) override {
        TEditStrParForm& dialog = editor();
        dialog.ClearAllowedChars();
        dialog.AddAllowedChars(setup.allowedChars);
        dialog.ClearCharMappings();
        for (std::size_t i = 0; i < setup.mapFromChars.size() && i < setup.mapToChars.size(); ++i) {
            dialog.AddCharMapping(setup.mapFromChars[i], setup.mapToChars[i]);
        }
        const QScreen* screen = QGuiApplication::screenAt(pointer);
        const QPoint at = NameDialogPosition(pointer, dialog.EditFieldRect(), dialog.size(),
                                             screen ? screen->availableGeometry() : QRect());
        const TEditStrParResult result =
            TEditStrParForm::Run(dialog, setup.label, setup.text, setup.maxLength, at);
        if (!result.accepted) {
            return false;
        }
        text = result.text;
        return true;
    }

private:
    // The program's string-parameter window, made at start-up after the main window.
    TEditStrParForm& editor() { return *form_.Windows.EditStrParForm(); }

    TGarnetwickMainForm& form_;
};

} // namespace

TConfigurationsPage::TConfigurationsPage(TGarnetwickMainForm& form, QWidget* parent)
    : TConfigurationsPage(std::make_unique<MainFormConfigHost>(form), parent) {}

} // namespace app
