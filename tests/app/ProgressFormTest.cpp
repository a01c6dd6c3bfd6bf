// The progress dialog: the batch runs from the dialog's timer only once the dialog is up modally,
// centred on the main window; its result decides the modal result and is kept, the dialog cannot
// be closed while it is up, and its captions follow the mode.
#include "DialogTestSupport.h"

#include "app/dialogs/GaugeWidget.h"
#include "app/dialogs/ProgressFormUnit.h"

#include <QApplication>
#include <QTest>

#include <stdexcept>

using app::TProgressForm;

class ProgressForm : public DialogTest {};

TEST_F(ProgressForm, TheBatchRunsOnlyModallyAndDecidesTheResult) {
    QWidget mainWindow;
    mainWindow.setFixedSize(996, 716);
    mainWindow.move(20, 10);
    mainWindow.show();
    TProgressForm form(&mainWindow);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Data transfer"));
    EXPECT_FALSE(form.Timer()->isActive());
    EXPECT_EQ(form.Timer()->interval(), 100);

    struct Seen {
        int calls = 0, mode = -1;
        bool modal = false, centred = false, sameGauge = false, openAfterEscAndClose = false;
        QString caption;
    } seen;
    std::uint8_t answer = 0;
    bool throwIt = false;
    form.SetTransfer([&](int mode, platform::ui::Gauge* gauge) -> std::uint8_t {
        seen.calls++;
        seen.mode = mode;
        seen.modal = form.isVisible() && QApplication::activeModalWidget() == &form &&
                     !form.Timer()->isActive();
        seen.centred =
            (form.geometry().center() - mainWindow.geometry().center()).manhattanLength() <= 2;
        seen.sameGauge = gauge == form.Gauge();
        seen.caption = form.windowTitle();
        gauge->setProgress(40);
        // The user presses Esc and the window manager asks the window to close, mid-batch.
        QTest::keyClick(&form, Qt::Key_Escape);
        form.close();
        QApplication::processEvents();
        seen.openAfterEscAndClose = form.isVisible() && form.TransferRunning();
        if (throwIt) {
            throw std::runtime_error("link lost");
        }
        return answer;
    });

    // Shown without being modal, the timer fires and nothing runs.
    form.TransferMode = 3;
    form.show();
    QTest::qWait(250);
    EXPECT_EQ(seen.calls, 0);
    form.hide();

    const struct {
        std::uint8_t mode, answer;
        int result, calls;
        const char* caption;
    } cases[] = {
        {3, 0, QDialog::Accepted, 1, "Receiving records"},
        {2, 1, QDialog::Rejected, 1, "Sending configurations"},
        {2, 2, QDialog::Rejected, 1, "Sending configurations"},
        {5, 0, QDialog::Accepted, 1, "Receiving records"},
        {0, 0, QDialog::Rejected, 0, "Receiving records"}, // mode 0 keeps the caption it had
    };
    for (const auto& c : cases) {
        seen = {};
        answer = c.answer;
        form.TransferMode = c.mode;
        form.ResetProgress();
        EXPECT_EQ(form.Gauge()->progress(), 0);
        whenModal([&] { QTest::keyClick(&form, Qt::Key_Escape); }); // before the first tick
        EXPECT_EQ(form.exec(), c.result) << int(c.mode);
        EXPECT_EQ(seen.calls, c.calls) << int(c.mode);
        EXPECT_EQ(form.windowTitle(), QString::fromLatin1(c.caption));
        EXPECT_EQ(form.LastBatchResult().has_value(), c.calls == 1);
        if (c.calls == 1) {
            EXPECT_EQ(seen.mode, c.mode);
            EXPECT_TRUE(seen.modal && seen.centred && seen.sameGauge && seen.openAfterEscAndClose)
                << int(c.mode);
            EXPECT_EQ(seen.caption, QString::fromLatin1(c.caption));
            EXPECT_EQ(form.Gauge()->progress(), 40);
            EXPECT_EQ(form.LastBatchResult().value_or(99), c.answer);
        }
    }

    // A batch that throws ends the showing; the exception reaches the caller of exec.
    throwIt = true;
    form.TransferMode = 4;
    EXPECT_THROW(form.exec(), std::runtime_error);
    EXPECT_FALSE(form.isVisible());
    EXPECT_FALSE(form.TransferRunning());
}
