// The configurations page inside the real main window with the simulated instrument: received
// configurations edited through the page's editors, keys and buttons, then sent back to their
// slots.
#include "MainWindowHarness.h"

#include "app/pages/ConfigurationsPage.h"
#include "app/pages/ParamGrid.h"

#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

namespace {

using app::ParamGrid;
using platform::ui::MessageResult;

class ConfigurationsPageWindowTest : public MainWindowTest {
protected:
    app::TConfigurationsPage& page() { return *form().ConfigurationsPage(); }

    void editCell(ParamGrid grid, int row, const QString& typed) {
        TParamGrid* g = page().Grid(grid);
        const QPoint at = g->visualRect(g->model()->index(row, 1)).center();
        QTest::mouseClick(g->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        QLineEdit* edit = page().MaskEdit(grid);
        ASSERT_TRUE(edit->isVisible());
        edit->selectAll();
        QTest::keyClicks(edit, typed);
        QTest::keyClick(edit, Qt::Key_Return);
        QApplication::processEvents();
    }
};

TEST_F(ConfigurationsPageWindowTest, EditedAndSteppedConfigurationGoesBackToItsSlot) {
    start();
    form().SetActivePage(0);
    key(Qt::Key_F1);
    ASSERT_EQ(form().Configs.Count, 20);
    EXPECT_EQ(page().SelectorGrid()->rowCount(), 20);
    EXPECT_EQ(page().findChild<QLabel*>("ConfigDetailsCaptionPanel")->text(),
              "Configuration 1:  COPPER 1");
    for (int i = 0; i < 6; ++i) {
        EXPECT_TRUE(page().ParamButton(i)->isEnabled());
    }

    // F9 and F7 move through the list with the page's own handlers.
    key(Qt::Key_F9);
    EXPECT_EQ(form().Configs.Current, 19);
    EXPECT_FALSE(action("NextConfigAction")->isEnabled());
    page().SelectorGrid()->setCurrentCell(1, 1);
    ASSERT_EQ(form().Configs.Current, 1);

    form().Configs.Unsaved = false;
    editCell(ParamGrid::First, 3, "5920");
    EXPECT_TRUE(boxes.shown.empty());
    key(Qt::Key_1, Qt::ControlModifier);
    const TBaseConfigCell& edited = *form().Configs.Records[1];
    EXPECT_EQ(edited.Velocity, 5920);
    EXPECT_EQ(edited.ScreenType, 1);
    EXPECT_EQ(edited.Modified, 1);
    EXPECT_EQ(page().ParamButtonImage(0), 7);
    EXPECT_EQ(page().SelectorGrid()->item(1, 2)->text(), "*");
    EXPECT_TRUE(form().Configs.Unsaved);

    boxes.answers = {MessageResult::Yes};
    key(Qt::Key_F2);
    std::array<std::uint8_t, 256> slot{};
    sim.getSlot(2, slot.data());
    pByteArray built(256, 0);
    BuildInstrumentBlock(*form().Configs.Records[1], built, 2);
    EXPECT_TRUE(std::equal(slot.begin(), slot.end(), built.begin()));
    EXPECT_EQ(form().Configs.Records[1]->Modified, 0);
    EXPECT_EQ(page().SelectorGrid()->item(1, 2)->text(), "");

    // A double click on the mark column's header marks every configuration, a second clears them.
    QHeaderView* header = page().SelectorGrid()->horizontalHeader();
    const QPoint markHeader(header->sectionViewportPosition(2) + header->sectionSize(2) / 2,
                            header->height() / 2);
    for (int mark : {1, 0}) {
        QTest::mouseDClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, markHeader);
        for (int i = 0; i < 20; ++i) {
            EXPECT_EQ(form().Configs.Records[static_cast<std::size_t>(i)]->Modified, mark);
        }
    }
    EXPECT_EQ(form().Configs.Current, 1);
}

// Renaming through the string-parameter dialog: the instrument's characters, upper case, and a
// confirmation without an edit changes nothing.
TEST_F(ConfigurationsPageWindowTest, RenameThroughTheDialog) {
    start();
    form().SetActivePage(0);
    key(Qt::Key_F1);
    struct Step {
        const char* typed; // nullptr: confirmed unedited
        const char* name;
        int mark;
    };
    const Step steps[] = {{nullptr, "COPPER 1", 0}, {"w@eld", "WELD", 1}};
    for (const Step& step : steps) {
        QString label;
        QTimer::singleShot(0, [&] {
            QWidget* dialog = QApplication::activeModalWidget();
            ASSERT_NE(dialog, nullptr);
            label = dialog->findChild<QLabel*>("ParamNameLabel")->text();
            if (step.typed) {
                auto* edit = dialog->findChild<QLineEdit*>("ParamAdjStrEdit");
                edit->selectAll();
                QTest::keyClicks(edit, step.typed);
            }
            dialog->findChild<QPushButton*>("BitBtn1")->click();
        });
        page().ConfigSelectorStringGridDblClick(1, 0);
        EXPECT_EQ(label, "Name of configuration 1");
        EXPECT_EQ(form().Configs.Records[0]->ConfigName, step.name);
        EXPECT_EQ(form().Configs.Records[0]->Modified, step.mark);
        EXPECT_EQ(page().SelectorGrid()->item(0, 1)->text(), step.name);
    }
}

// The window with the instrument's configurations, kept beside the test programs to look at.
TEST_F(ConfigurationsPageWindowTest, ScreenshotAfterReceive) {
    start();
    form().SetActivePage(0);
    key(Qt::Key_F1);
    page().SelectorGrid()->setCurrentCell(2, 1);
    QApplication::processEvents();
    const QImage shot = form().grab().toImage();
    EXPECT_EQ(shot.size(), QSize(996, 716));
    EXPECT_TRUE(shot.save(QString::fromUtf8(TB_OUTPUT_DIR) + "/ConfigurationsWindow.png"));
    // The parameter buttons show their pictures: something is drawn on each.
    for (int i = 0; i < 6; ++i) {
        const QImage button = page().ParamButton(i)->grab().toImage();
        const QRgb corner = button.pixel(0, 0);
        bool drawn = false;
        for (int y = 8; y < 24 && !drawn; ++y) {
            for (int x = 8; x < 24 && !drawn; ++x) {
                drawn = button.pixel(x, y) != corner;
            }
        }
        EXPECT_TRUE(drawn) << "button " << i;
    }
}

} // namespace
