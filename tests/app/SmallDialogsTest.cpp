// What the four small dialogs share: their client sizes and title-bar buttons, centring on the
// main window, and the choose-records list.
#include "DialogTestSupport.h"

#include "app/dialogs/CheckSavedRecordsFormUnit.h"
#include "app/dialogs/CommentsInputFormUnit.h"
#include "app/dialogs/EditStrParFormUnit.h"
#include "app/dialogs/ProgressFormUnit.h"

#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <memory>

using namespace app;

class SmallDialogs : public DialogTest {};

TEST_F(SmallDialogs, ClientSizesAndTitleBars) {
    struct Case {
        const char* name;
        std::unique_ptr<QDialog> dialog;
        QSize client;
        bool tool;
        bool closeButton;
    };
    Case cases[] = {
        {"name editor", std::make_unique<TEditStrParForm>(), {286, 113}, false, false},
        {"comments", std::make_unique<TCommentsInputForm>(), {261, 269}, true, false},
        {"choose records", std::make_unique<TCheckSavedRecordsForm>(), {279, 453}, false, true},
        {"progress", std::make_unique<TProgressForm>(), {258, 43}, true, false},
    };
    for (Case& c : cases) {
        QDialog& d = *c.dialog;
        const char* name = c.name;
        d.show();
        EXPECT_EQ(d.size(), c.client) << name;
        const Qt::WindowFlags flags = d.windowFlags();
        EXPECT_EQ((flags & Qt::WindowType_Mask) == Qt::Tool, c.tool) << name;
        EXPECT_EQ(flags.testFlag(Qt::WindowCloseButtonHint) ||
                      !flags.testFlag(Qt::CustomizeWindowHint),
                  c.closeButton)
            << name;
        EXPECT_FALSE(flags.testFlag(Qt::WindowMinMaxButtonsHint)) << name;
        // Every child lies inside the client area.
        for (const QWidget* child : d.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            EXPECT_TRUE(d.rect().contains(child->geometry()))
                << name << " " << child->objectName().toStdString();
        }
        d.hide();
    }
}

TEST_F(SmallDialogs, CentredOnTheMainWindow) {
    QWidget mainWindow;
    mainWindow.setFixedSize(996, 716);
    mainWindow.move(40, 30);
    mainWindow.show();
    TCheckSavedRecordsForm records(&mainWindow);
    TProgressForm progress(&mainWindow);
    for (QDialog* d : {static_cast<QDialog*>(&records), static_cast<QDialog*>(&progress)}) {
        const bool isProgress = d == &progress;
        QPoint centre;
        whenModal([&] {
            centre = d->geometry().center();
            d->done(QDialog::Accepted);
        });
        d->exec();
        const QPoint expected = mainWindow.geometry().center();
        EXPECT_LE((centre - expected).manhattanLength(), 2) << isProgress;
    }
}

TEST_F(SmallDialogs, ChooseRecordsListReadsTicksBack) {
    TCheckSavedRecordsForm form;
    form.SetCaption(GetCaptionString(353));
    form.SetListHint(GetCaptionString(356));
    form.AddItem("No. 1: COPPER ASCAN 1", true);
    form.AddItem("No. 2: \xD1\xD2\xC0\xCB\xDC", true); // Cyrillic in Windows-1251
    form.AddItem("No. 3: WELD", false);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Save A-scans"));
    EXPECT_EQ(form.List()->toolTip(), QString::fromStdString(GetCaptionString(356)));
    ASSERT_EQ(form.ItemCount(), 3);
    EXPECT_EQ(form.List()->item(1)->text(),
              QStringLiteral("No. 2: \u0421\u0422\u0410\u041B\u042C"));

    // Space on the current item unticks it, OK confirms.
    whenModal([&] {
        EXPECT_EQ(form.List()->visualItemRect(form.List()->item(0)).height(), 20);
        EXPECT_EQ(form.List()->visualItemRect(form.List()->item(2)).height(), 20);
        form.List()->setFocus();
        form.List()->setCurrentRow(1);
        QTest::keyClick(form.List(), Qt::Key_Space);
        QTest::mouseClick(form.findChild<QPushButton*>("BitBtn1"), Qt::LeftButton);
    });
    EXPECT_EQ(form.exec(), QDialog::Accepted);
    EXPECT_TRUE(form.IsTicked(0));
    EXPECT_FALSE(form.IsTicked(1));
    EXPECT_FALSE(form.IsTicked(2));
    EXPECT_FALSE(form.IsTicked(3));
    EXPECT_FALSE(form.IsTicked(-1));

    whenModal([&] { QTest::keyClick(form.List(), Qt::Key_Escape); });
    EXPECT_EQ(form.exec(), QDialog::Rejected);

    form.ClearItems();
    EXPECT_EQ(form.ItemCount(), 0);
}
