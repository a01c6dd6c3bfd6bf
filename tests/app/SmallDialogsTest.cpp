// What the four small dialogs share: client sizes and title bars, with a picture of each written
// to the build folder (the progress gauge checked on its pixels), and the choose-records list.
#include "DialogTestSupport.h"

#include "app/dialogs/CheckSavedRecordsFormUnit.h"
#include "app/dialogs/CommentsInputFormUnit.h"
#include "app/dialogs/EditStrParFormUnit.h"
#include "app/dialogs/GaugeWidget.h"
#include "app/dialogs/ProgressFormUnit.h"

#include <QApplication>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QTest>

#include <memory>

using namespace app;

class DialogScreenshots : public DialogTest {};

TEST_F(DialogScreenshots, SizesTitleBarsAndPictures) {
    auto name = std::make_unique<TEditStrParForm>();
    name->SetLabelText(GetCaptionString(50) + " 1");
    name->SetEditText("COPPER ASCAN 1");
    auto comments = std::make_unique<TCommentsInputForm>();
    comments->SetLines({"Weld seam 4, north side", "\xCA\xEE\xEC\xEC."});
    auto records = std::make_unique<TCheckSavedRecordsForm>();
    records->AddItem("No. 1: COPPER ASCAN 1", true);
    records->AddItem("No. 2: COPPER ASCAN 2", false);
    auto progress = std::make_unique<TProgressForm>();
    progress->Gauge()->setProgress(40);

    const struct {
        const char* name;
        QDialog* dialog;
        QSize client;
        bool tool, closeButton;
    } cases[] = {
        {"name", name.get(), {286, 113}, false, false},
        {"comments", comments.get(), {261, 269}, true, false},
        {"records", records.get(), {279, 453}, false, true},
        {"progress", progress.get(), {258, 43}, true, false},
    };
    const auto dir = std::filesystem::path(TB_OUTPUT_DIR) / "screenshots";
    std::filesystem::create_directories(dir);
    for (const auto& c : cases) {
        c.dialog->show();
        EXPECT_EQ(c.dialog->size(), c.client) << c.name;
        const Qt::WindowFlags flags = c.dialog->windowFlags();
        EXPECT_EQ((flags & Qt::WindowType_Mask) == Qt::Tool, c.tool) << c.name;
        EXPECT_EQ(!flags.testFlag(Qt::CustomizeWindowHint), c.closeButton) << c.name;
        for (const QWidget* child : c.dialog->findChildren<QWidget*>()) {
            EXPECT_TRUE(
                c.dialog->rect().contains(child->mapTo(c.dialog, child->rect().bottomRight())))
                << c.name << " " << child->objectName().toStdString();
        }
        QApplication::processEvents(); // the editor lays its text out after the show
        const QImage shot = c.dialog->grab().toImage();
        const auto file = dir / ("dialog-" + std::string(c.name) + "-" +
                                 QApplication::platformName().toStdString() + ".png");
        EXPECT_TRUE(shot.save(QString::fromStdString(file.string()))) << file;
        if (c.dialog == progress.get()) {
            const QRect g = progress->Gauge()->geometry();
            const qreal dpr = shot.devicePixelRatio();
            for (const auto& [fraction, colour] : {std::pair{0.05, QColor(0, 0, 128)},
                                                   {0.35, QColor(0, 0, 128)},
                                                   {0.45, QColor(255, 255, 255)},
                                                   {0.95, QColor(255, 255, 255)}}) {
                const QPoint p(g.left() + 1 + int(fraction * (g.width() - 2)), g.top() + 3);
                EXPECT_EQ(QColor(shot.pixel(p * dpr)), colour) << fraction;
            }
        }
        c.dialog->hide();
    }
}

class SmallDialogs : public DialogTest {};

TEST_F(SmallDialogs, ChooseRecordsListCentredAndReadBack) {
    QWidget mainWindow;
    mainWindow.setFixedSize(996, 716);
    mainWindow.move(40, 30);
    mainWindow.show();
    TCheckSavedRecordsForm form(&mainWindow);
    form.SetCaption(GetCaptionString(353));
    form.SetListHint(GetCaptionString(356));
    form.AddItem("No. 1: COPPER ASCAN 1", true);
    form.AddItem("No. 2: \xD1\xD2\xC0\xCB\xDC", true);
    form.AddItem("No. 3: WELD", false);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Save A-scans"));
    EXPECT_EQ(form.List()->toolTip(), QString::fromStdString(GetCaptionString(356)));
    EXPECT_EQ(form.List()->item(1)->text(),
              QStringLiteral("No. 2: \u0421\u0422\u0410\u041B\u042C"));

    whenModal([&] {
        EXPECT_LE((form.geometry().center() - mainWindow.geometry().center()).manhattanLength(), 2);
        EXPECT_EQ(form.List()->visualItemRect(form.List()->item(2)).height(), 20);
        form.List()->setCurrentRow(1);
        QTest::keyClick(form.List(), Qt::Key_Space);
        QTest::keyClick(form.List(), Qt::Key_Return);
    });
    EXPECT_EQ(form.exec(), QDialog::Accepted);
    const bool expected[] = {true, false, false, false};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(form.IsTicked(i), expected[i]) << i;
    }
    whenModal([&] { QTest::keyClick(form.List(), Qt::Key_Escape); });
    EXPECT_EQ(form.exec(), QDialog::Rejected);
    form.ClearItems();
    EXPECT_EQ(form.ItemCount(), 0);
}
