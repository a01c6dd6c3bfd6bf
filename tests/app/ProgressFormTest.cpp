// The progress dialog: the batch runs from the dialog's timer only once the dialog is up
// modally, its result decides the modal result and is kept, the dialog cannot be closed while the
// batch runs, and its captions follow the mode.
#include "DialogTestSupport.h"

#include "app/Texts.h"
#include "app/dialogs/GaugeWidget.h"
#include "app/dialogs/ProgressFormUnit.h"

#include <QApplication>
#include <QTest>
#include <QTimer>

#include <stdexcept>

using app::TProgressForm;

class ProgressForm : public DialogTest {};

TEST_F(ProgressForm, CreatedIdleWithItsCaption) {
    TProgressForm form;
    EXPECT_EQ(form.TransferMode, 0);
    EXPECT_EQ(form.windowTitle(), app::caption(310));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Data transfer"));
    EXPECT_FALSE(form.Timer()->isActive());
    EXPECT_EQ(form.Timer()->interval(), 100);
    EXPECT_TRUE(form.Timer()->isSingleShot());
    form.Gauge()->setProgress(70);
    form.ResetProgress();
    EXPECT_EQ(form.Gauge()->progress(), 0);
    form.Gauge()->setProgress(130);
    EXPECT_EQ(form.Gauge()->progress(), 100);
    form.Gauge()->setProgress(-5);
    EXPECT_EQ(form.Gauge()->progress(), 0);
    EXPECT_FALSE(form.RunTransfer(3)); // no batch given
    EXPECT_FALSE(form.LastBatchResult().has_value());
}

TEST_F(ProgressForm, TheBatchRunsOnlyModallyAndDecidesTheResult) {
    QWidget mainWindow;
    mainWindow.setFixedSize(996, 716);
    mainWindow.move(20, 10);
    mainWindow.show();
    TProgressForm form(&mainWindow);

    struct Seen {
        int calls = 0;
        int mode = -1;
        bool visible = false, modal = false, timerStopped = false, sameGauge = false;
        bool openAfterEsc = false, openAfterClose = false;
        QString caption;
    } seen;
    std::uint8_t answer = 0;
    bool throwIt = false;
    form.SetTransfer([&](int mode, platform::ui::Gauge* gauge) -> std::uint8_t {
        ++seen.calls;
        seen.mode = mode;
        seen.visible = form.isVisible();
        seen.modal = QApplication::activeModalWidget() == &form;
        seen.timerStopped = !form.Timer()->isActive();
        seen.sameGauge = gauge == form.Gauge();
        seen.caption = form.windowTitle();
        gauge->setProgress(40);
        // The user presses Esc and asks the window manager to close the window mid-batch.
        QTest::keyClick(&form, Qt::Key_Escape);
        QApplication::processEvents();
        seen.openAfterEsc = form.isVisible() && form.TransferRunning();
        form.close();
        QApplication::processEvents();
        seen.openAfterClose = form.isVisible();
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

    struct Case {
        std::uint8_t mode, answer;
        int result, calls;
        const char* caption;
    };
    const Case cases[] = {
        {3, 0, QDialog::Accepted, 1, "Receiving records"},
        {2, 1, QDialog::Rejected, 1, "Sending configurations"},
        {2, 2, QDialog::Rejected, 1, "Sending configurations"},
        {5, 0, QDialog::Accepted, 1, "Receiving records"},
        {0, 0, QDialog::Rejected, 0, "Receiving records"}, // mode 0 keeps the caption it had
    };
    for (const Case& c : cases) {
        seen = {};
        answer = c.answer;
        form.TransferMode = c.mode;
        form.ResetProgress();
        EXPECT_EQ(form.exec(), c.result) << int(c.mode);
        EXPECT_EQ(seen.calls, c.calls) << int(c.mode);
        EXPECT_EQ(form.windowTitle(), QString::fromLatin1(c.caption)) << int(c.mode);
        EXPECT_FALSE(form.isVisible());
        if (c.calls == 0) {
            EXPECT_FALSE(form.LastBatchResult().has_value());
            continue;
        }
        EXPECT_EQ(seen.mode, c.mode);
        EXPECT_TRUE(seen.visible);
        EXPECT_TRUE(seen.modal);
        EXPECT_TRUE(seen.timerStopped);
        EXPECT_TRUE(seen.sameGauge);
        EXPECT_EQ(seen.caption, QString::fromLatin1(c.caption));
        EXPECT_TRUE(seen.openAfterEsc) << int(c.mode);
        EXPECT_TRUE(seen.openAfterClose) << int(c.mode);
        EXPECT_EQ(form.Gauge()->progress(), 40);
        ASSERT_TRUE(form.LastBatchResult().has_value());
        EXPECT_EQ(*form.LastBatchResult(), c.answer);
    }

    // A batch that throws ends the showing; the exception reaches the caller of exec.
    seen = {};
    throwIt = true;
    form.TransferMode = 4;
    EXPECT_THROW(form.exec(), std::runtime_error);
    EXPECT_EQ(seen.calls, 1);
    EXPECT_FALSE(form.isVisible());

    // Outside a modal showing the dialog closes as any other.
    form.show();
    form.reject();
    EXPECT_FALSE(form.isVisible());
}

TEST_F(ProgressForm, EscBeforeTheFirstTickDoesNotCancelTheTransfer) {
    TProgressForm form;
    int calls = 0;
    form.SetTransfer([&](int, platform::ui::Gauge*) -> std::uint8_t {
        ++calls;
        return 0;
    });
    form.TransferMode = 3;
    whenModal([&] { QTest::keyClick(&form, Qt::Key_Escape); });
    EXPECT_EQ(form.exec(), QDialog::Accepted);
    EXPECT_EQ(calls, 1);
}
