// The main window's keyboard: every key reaches the window first, whatever control has the focus;
// a key of the page's tables runs its command there and goes no further.
#include "app/MainFormUnit.h"

#include "app/AppWindows.h"
#include "app/Keys.h"
#include "app/ReportDialogs.h"
#include "app/pages/ConfigurationsPage.h"
#include "ui_MainForm.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QWindow>

namespace app {

bool TGarnetwickMainForm::AppMessageHook(QKeyEvent* event, bool pressed, const QObject* target) {
    const int key = event->key();
    if (key == Qt::Key_Shift) {
        ShiftHeld = pressed;
        return false;
    }
    if (key == Qt::Key_Control) {
        CtrlHeld = pressed;
        SetParamButtonsFlat(CtrlHeld);
        return false;
    }
    if (!pressed) {
        return false;
    }
    // Without a window manager the window is not given its activation back when a dialog
    // closes, yet the keys typed at it still arrive here.
    keyAtThisWindow_ = target != nullptr && target == windowHandle();
    const Qt::KeyboardModifiers mods = event->modifiers();
    if (mods & Qt::ShiftModifier) {
        return ShiftKeyDown(key);
    }
    if (mods & Qt::ControlModifier) {
        return CtrlKeyDown(key);
    }
    return PlainKeyDown(key);
}

namespace {

int functionKeyNumber(int key) {
    return key >= Qt::Key_F1 && key <= Qt::Key_F12 ? key - Qt::Key_F1 + 1 : 0;
}

} // namespace

bool TGarnetwickMainForm::PageCommandsAllowed(bool keyAtThisWindow) const {
    return !TransferRunning() && QApplication::activeModalWidget() == nullptr &&
           (isActiveWindow() || keyAtThisWindow) && !startUpFailed_;
}

// A key of the tables is the window's whether or not its command can run now: the same key must
// not open a drop-down list or start a cell editor only because its command is disabled. A
// drop-down list of the window that is open (it holds the keyboard) closes and lets the key
// through to the window.

bool TGarnetwickMainForm::CloseOwnPopup() {
    QWidget* popup = QApplication::activePopupWidget();
    if (popup == nullptr || popup->parentWidget() == nullptr ||
        popup->parentWidget()->window() != this) {
        return false;
    }
    if (auto* list = qobject_cast<QComboBox*>(popup->parentWidget())) {
        list->hidePopup();
    } else {
        popup->close();
    }
    return true;
}

bool TGarnetwickMainForm::ShiftKeyDown(int key) {
    const int page = ShiftKeyPage(functionKeyNumber(key));
    if (page < 0) {
        return false;
    }
    // The window may get its activation back from the list only later.
    if (!PageCommandsAllowed(CloseOwnPopup() || keyAtThisWindow_)) {
        return false;
    }
    if (page != ActivePage() && ui_->MainPageControl->isTabVisible(page)) {
        SetActivePage(page);
    }
    return true;
}

bool TGarnetwickMainForm::CtrlKeyDown(int key) {
    const auto page = static_cast<MainPage>(ActivePage());
    if (page == MainPage::AScans || page == MainPage::Bands || page == MainPage::Maps) {
        const ReportKind kind = page == MainPage::AScans  ? ReportKind::AScan
                                : page == MainPage::Bands ? ReportKind::Band
                                                          : ReportKind::Map;
        // A report never built is not showing.
        TReportFillPaperDialog* dialog = Windows.BuiltReport(kind);
        const int fn = functionKeyNumber(key);
        if (dialog != nullptr && dialog->IsShowing() && !dialog->IsPreviewing() && fn >= 1 &&
            fn <= 3) {
            dialog->HandleReportKey(111 + fn); // VK_F1 = 112
            return true;
        }
        return false;
    }
    if (page == MainPage::Setup && PageCommandsAllowed(keyAtThisWindow_)) {
        const int button =
            key >= Qt::Key_1 && key <= Qt::Key_9 ? CtrlDigitButton(key - Qt::Key_0) : -1;
        if (button >= 0) {
            configPage_->ClickParamButton(button);
            return true;
        }
    }
    return false;
}

bool TGarnetwickMainForm::PlainKeyDown(int key) {
    const std::string_view name = PlainKeyCommand(ActivePage(), functionKeyNumber(key));
    if (name.empty()) {
        return false;
    }
    // The window may get its activation back from the list only later.
    if (!PageCommandsAllowed(CloseOwnPopup() || keyAtThisWindow_)) {
        return false;
    }
    // A disabled command does not run from its key either.
    if (QAction* a = Action(name)) {
        a->trigger();
    }
    return true;
}

bool TGarnetwickMainForm::event(QEvent* e) {
    if (e->type() == QEvent::WindowDeactivate) {
        // A modifier released in another window must not leave the buttons raised.
        ShiftHeld = false;
        if (CtrlHeld) {
            CtrlHeld = false;
            SetParamButtonsFlat(false);
        }
    }
    return QWidget::event(e);
}

} // namespace app
