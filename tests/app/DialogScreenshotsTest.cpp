// Pictures of the four small dialogs filled as the main window fills them, written to the build
// folder for a look; the gauge and the layout are checked on the pixels.
#include "DialogTestSupport.h"

#include "app/Texts.h"
#include "app/dialogs/CheckSavedRecordsFormUnit.h"
#include "app/dialogs/CommentsInputFormUnit.h"
#include "app/dialogs/EditStrParFormUnit.h"
#include "app/dialogs/GaugeWidget.h"
#include "app/dialogs/ProgressFormUnit.h"

#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QPixmap>

#include <filesystem>

using namespace app;

namespace {

QImage shoot(QDialog& dialog, const char* name) {
    dialog.show();
    QApplication::processEvents();
    const QImage shot = dialog.grab().toImage();
    const auto dir = std::filesystem::path(TB_OUTPUT_DIR) / "screenshots";
    std::filesystem::create_directories(dir);
    const auto file = dir / (std::string("dialog-") + name + ".png");
    EXPECT_TRUE(shot.save(QString::fromStdString(file.string()))) << file;
    dialog.hide();
    return shot;
}

// How many different colours a rectangle of the picture holds.
int colours(const QImage& image, const QRect& r) {
    QList<QRgb> seen;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            const QRgb c = image.pixel(x, y);
            if (!seen.contains(c)) {
                seen.append(c);
            }
        }
    }
    return static_cast<int>(seen.size());
}

} // namespace

class DialogScreenshots : public DialogTest {};

TEST_F(DialogScreenshots, EachDialogFilled) {
    TEditStrParForm name;
    name.SetCaption(GetCaptionString(49));
    name.SetLabelText(GetCaptionString(50) + " 1");
    name.SetMaxLength(19);
    name.SetEditText("COPPER ASCAN 1");
    QImage shot = shoot(name, "name");
    EXPECT_EQ(shot.size() / shot.devicePixelRatio(), QSize(286, 113));
    EXPECT_GT(colours(shot, name.EditFieldRect().adjusted(2, 2, -2, -2)), 1); // the name is drawn

    TCommentsInputForm comments;
    comments.SetCaption(GetCaptionString(319));
    comments.SetLines({"Weld seam 4, north side", "Probe 2.5 MHz, 45 deg", "\xCA\xEE\xEC\xEC."});
    shot = shoot(comments, "comments");
    EXPECT_GT(colours(shot, QRect(4, 4, 120, 40)), 1);

    TCheckSavedRecordsForm records;
    records.SetCaption(GetCaptionString(353));
    records.SetListHint(GetCaptionString(356));
    for (int i = 1; i <= 5; ++i) {
        records.AddItem(GetTxtVarValueString(28) + " " + std::to_string(i) + ": COPPER ASCAN " +
                            std::to_string(i),
                        i != 2);
    }
    shoot(records, "records");

    QWidget mainWindow;
    mainWindow.setFixedSize(996, 716);
    TProgressForm progress(&mainWindow);
    progress.TransferMode = 3;
    progress.Gauge()->setProgress(40);
    shot = shoot(progress, "progress");
    const QRect gauge = progress.Gauge()->geometry();
    const qreal ratio = shot.devicePixelRatio();
    const auto at = [&](double fx) {
        const int x = gauge.left() + 1 + static_cast<int>(fx * (gauge.width() - 2));
        return QColor(
            shot.pixel(static_cast<int>(x * ratio), static_cast<int>((gauge.top() + 3) * ratio)));
    };
    EXPECT_EQ(at(0.05), QColor(0, 0, 128));
    EXPECT_EQ(at(0.35), QColor(0, 0, 128));
    EXPECT_EQ(at(0.45), QColor(255, 255, 255));
    EXPECT_EQ(at(0.95), QColor(255, 255, 255));
}
