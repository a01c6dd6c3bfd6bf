// The configurations page on the offscreen platform with the instrument's 20 example
// configurations: showing, moving, marking, renaming, the in-place editors with their filters and
// limits, refused values, the parameter buttons and the comments.
#include "app/pages/ConfigurationsPage.h"
#include "app/pages/ParamGrid.h"

#include "config/AuxilaryFunctionsUnit.h"
#include "config/ConfigSetUnit.h"
#include "config/LocalStringsUnit.h"
#include "link/DOR4471IZOZudivarudaZira.h"
#include "platform/ui/MessageBox.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QToolButton>

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <map>
#include <optional>

namespace {

using app::ParamGrid;
using platform::ui::MessageIcon;

class FakeHost : public app::TConfigPageHost {
public:
    FakeHost() {
        scratch.ResetAll(1);
        for (const char* name :
             {"ReceiveConfigsAction", "SendConfigsAction", "OpenConfigsAction", "SaveConfigsAction",
              "FirstConfigAction", "PrevConfigAction", "NextConfigAction", "LastConfigAction",
              "DisconnectDeviceAction"}) {
            auto* a = new QAction(&owner);
            a->setObjectName(name);
            actions[name] = a;
        }
    }

    app::TConfigList& Configs() override { return list; }
    const TBaseConfigCell& ScratchConfig() override { return scratch; }
    QAction* Action(std::string_view name) override {
        const auto it = actions.find(std::string(name));
        return it == actions.end() ? nullptr : it->second;
    }
    void UpdateActionStates() override { ++stateUpdates; }
    void SetStatusPanel1(const QString& text) override { status = text; }
    void ClearGridSelection(QWidget* grid) override {
        auto* table = static_cast<QTableWidget*>(grid);
        table->clearSelection();
        table->setCurrentCell(-1, -1);
        cleared.push_back(grid);
    }
    void RunHeld(QAction* action, const std::function<void()>& command) override {
        held.push_back(action);
        command();
    }
    bool EditString(const app::TNameEditSetup& setup, QPoint, std::string& text) override {
        setups.push_back(setup);
        if (answers.empty() || !answers.front()) {
            if (!answers.empty()) {
                answers.pop_front();
            }
            return false;
        }
        text = *answers.front();
        answers.pop_front();
        return true;
    }

    QObject owner;
    app::TConfigList list;
    TBaseConfigCell scratch{1, 1, 0};
    std::map<std::string, QAction*> actions;
    int stateUpdates = 0;
    QString status = QStringLiteral("not emptied");
    std::vector<QWidget*> cleared;
    std::vector<QAction*> held;
    std::deque<std::optional<std::string>> answers;
    std::vector<app::TNameEditSetup> setups;
};

void sendKey(QWidget* w, int key, const QString& text = {}) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(w, &press);
}

void typeText(QWidget* w, const QString& text) {
    for (QChar c : text) {
        sendKey(w, c.isDigit() ? Qt::Key_0 + c.digitValue() : Qt::Key_A, QString(c));
    }
}

class ConfigurationsPageTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(LoadLanguageFiles(std::filesystem::path(TB_OUTPUT_DIR) / "tb_tests_app"));
    }
    static void TearDownTestSuite() { UnloadLanguageFiles(); }

    void SetUp() override {
        platform::text::setFormatSettings({'.', ','});
        USBBusy = 0;
        auto owned = std::make_unique<FakeHost>();
        host = owned.get();
        page = std::make_unique<app::TConfigurationsPage>(std::move(owned));
        page->ApplyTexts();
        page->LayoutGrids();
        page->SetupParamControls();
        page->show();
    }
    void TearDown() override { platform::text::setFormatSettings({'.', ','}); }

    void loadExamples(app::OriginKind origin = app::OriginKind::Instrument) {
        PConfigsSet set;
        std::uint16_t count = 0;
        ASSERT_EQ(
            LoadConfigSet(std::filesystem::path(TB_OUTPUT_DIR) / "examples" / "Configurations.ctf",
                          set, count),
            0);
        host->list.replaceRecords(std::move(set), count);
        host->list.Origin = origin;
        host->list.OriginLabel = QStringLiteral("/tmp/Weld.ctf");
        host->list.Unsaved = false;
        page->RefreshConfigList();
    }

    TBaseConfigCell& config(int i) { return *host->list.Records[static_cast<std::size_t>(i)]; }
    QString selectorText(int row, int column) {
        const QTableWidgetItem* item = page->SelectorGrid()->item(row, column);
        return item ? item->text() : QString();
    }
    QString label(const char* name) { return page->findChild<QLabel*>(name)->text(); }

    // A click on a value cell, as the mouse gives it.
    void clickCell(ParamGrid grid, int column, int row) {
        TParamGrid* g = page->Grid(grid);
        const QPoint at = g->visualRect(g->model()->index(row, column)).center();
        QMouseEvent press(QEvent::MouseButtonPress, at, g->viewport()->mapToGlobal(at),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(g->viewport(), &press);
        QMouseEvent release(QEvent::MouseButtonRelease, at, g->viewport()->mapToGlobal(at),
                            Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(g->viewport(), &release);
    }

    // Selects the cell, types into its mask edit (replacing the shown text) and presses Enter.
    void typeIntoCell(ParamGrid grid, int row, const QString& text) {
        clickCell(grid, 1, row);
        QLineEdit* edit = page->MaskEdit(grid);
        ASSERT_TRUE(edit->isVisible());
        edit->selectAll();
        typeText(edit, text);
        sendKey(edit, Qt::Key_Return);
    }

    FakeHost* host = nullptr;
    std::unique_ptr<app::TConfigurationsPage> page;
    platform::ui::ScriptedMessageBoxes boxes;
    platform::ui::ScopedMessageBoxService boxGuard{&boxes};
};

TEST_F(ConfigurationsPageTest, ShowsTheReceivedListAndTheFirstConfiguration) {
    loadExamples();
    ASSERT_EQ(page->SelectorGrid()->rowCount(), 20);
    EXPECT_EQ(selectorText(0, 0), "1");
    EXPECT_EQ(selectorText(0, 1), "COPPER 1");
    EXPECT_EQ(selectorText(0, 2), "");
    EXPECT_EQ(selectorText(1, 1), "TITANIUM 2");
    EXPECT_EQ(selectorText(2, 1), "STEEL 3");
    EXPECT_EQ(page->SelectorGrid()->currentRow(), 0);
    EXPECT_EQ(label("ConfigDetailsCaptionPanel"), "Configuration 1:  COPPER 1");
    EXPECT_EQ(label("SetupPageCaptionLabel"), "Configurations received from the instrument");
    EXPECT_TRUE(host->status.isEmpty());

    struct Cell {
        ParamGrid grid;
        int row;
        const char* name;
        const char* value;
    };
    const Cell cells[] = {
        {ParamGrid::MeasureConditions, 0, "Strobe 1 begin, µs", "505"},
        {ParamGrid::MeasureConditions, 1, "Strobe 1 length, µs", "32"},
        {ParamGrid::MeasureConditions, 2, "Strobe 1 level, dB", "104"},
        {ParamGrid::MeasureConditions, 3, "Gain, dB", "70"},
        {ParamGrid::First, 0, nullptr, "Single"},
        {ParamGrid::First, 1, nullptr, "20.0"},
        {ParamGrid::First, 2, nullptr, "30"},
        {ParamGrid::First, 3, nullptr, "4660"},
        {ParamGrid::Second, 0, nullptr, "µs"},
        {ParamGrid::Second, 1, nullptr, "20"},
        {ParamGrid::Second, 2, nullptr, "0.5"},
        {ParamGrid::Second, 3, nullptr, "10"},
        {ParamGrid::Second, 4, nullptr, "1"},
        {ParamGrid::Third, 0, nullptr, "Off"},
        {ParamGrid::Fourth, 0, nullptr, "10"},
        {ParamGrid::Fourth, 1, nullptr, "10"},
        {ParamGrid::Fourth, 2, nullptr, ""},
        {ParamGrid::Fourth, 3, nullptr, ""},
    };
    for (const Cell& c : cells) {
        EXPECT_EQ(page->CellText(c.grid, c.row), QString::fromUtf8(c.value))
            << int(c.grid) << "/" << c.row;
        if (c.name) {
            EXPECT_EQ(page->Grid(c.grid)->item(c.row, 0)->text(), QString::fromUtf8(c.name));
        }
    }
    // The background picture is gone while there are configurations.
    EXPECT_FALSE(page->findChild<QWidget*>("SetupBckGrndPanel")->isVisible());
}

TEST_F(ConfigurationsPageTest, EmptyListShowsNothingAndIgnoresCommands) {
    page->RefreshConfigList();
    EXPECT_EQ(page->SelectorGrid()->rowCount(), 1);
    EXPECT_EQ(label("SetupPageCaptionLabel"), "No configurations");
    EXPECT_EQ(label("ConfigDetailsCaptionPanel"), "No configurations");
    EXPECT_TRUE(page->findChild<QWidget*>("SetupBckGrndPanel")->isVisible());
    for (int g = 0; g < app::ParamGridCount; ++g) {
        for (int r = 0; r < page->Grid(static_cast<ParamGrid>(g))->rowCount(); ++r) {
            EXPECT_TRUE(page->CellText(static_cast<ParamGrid>(g), r).isEmpty());
        }
    }
    page->ScreenTypeParamButtonClick(0);
    page->ConfigSelectorHeaderDblClick(2);
    std::string name = "X";
    EXPECT_FALSE(page->EditConfigName(name));
    EXPECT_TRUE(host->setups.empty());
    EXPECT_TRUE(page->ApplyConfigParamText("5000", OBJ_USONIC_VELOCITY));
    // Keys in the group grids are swallowed while there is nothing to edit.
    EXPECT_TRUE(page->ParamGridKeyDown(ParamGrid::First, 13));
    EXPECT_FALSE(host->list.Unsaved);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(ConfigurationsPageTest, FileOriginCaptionNamesTheFile) {
    loadExamples(app::OriginKind::File);
    EXPECT_EQ(label("SetupPageCaptionLabel"), "Configurations from file:  /tmp/Weld.ctf");
}

TEST_F(ConfigurationsPageTest, MovingWithActionsSelectorAndKeys) {
    loadExamples();
    host->actions["LastConfigAction"]->trigger();
    EXPECT_EQ(host->list.Current, 19);
    EXPECT_EQ(page->SelectorGrid()->currentRow(), 19);
    host->actions["PrevConfigAction"]->trigger();
    EXPECT_EQ(host->list.Current, 18);
    host->actions["FirstConfigAction"]->trigger();
    host->actions["PrevConfigAction"]->trigger(); // nothing before the first
    EXPECT_EQ(host->list.Current, 0);
    host->actions["NextConfigAction"]->trigger();
    EXPECT_EQ(host->list.Current, 1);
    EXPECT_EQ(host->held.size(), 5u);
    EXPECT_EQ(host->held.front(), host->actions["LastConfigAction"]);
    EXPECT_EQ(host->stateUpdates, 5);

    page->SelectorGrid()->setCurrentCell(5, 1);
    EXPECT_EQ(host->list.Current, 5);
    EXPECT_EQ(label("ConfigDetailsCaptionPanel").left(16), "Configuration 6:");
    // Sideways keys never show another configuration; Down moves on.
    sendKey(page->SelectorGrid(), Qt::Key_Right);
    sendKey(page->SelectorGrid(), Qt::Key_Left);
    EXPECT_EQ(host->list.Current, 5);
    sendKey(page->SelectorGrid(), Qt::Key_Down);
    EXPECT_EQ(host->list.Current, 6);
}

TEST_F(ConfigurationsPageTest, MarksForSending) {
    loadExamples();
    page->ConfigSelectorHeaderDblClick(2);
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(config(i).Modified, 1);
        EXPECT_EQ(selectorText(i, 2), "*");
    }
    EXPECT_TRUE(host->list.Unsaved);
    page->ConfigSelectorHeaderDblClick(2);
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(config(i).Modified, 0);
        EXPECT_EQ(selectorText(i, 2), "");
    }
    page->SelectorGrid()->setCurrentCell(3, 2);
    page->ConfigSelectorStringGridDblClick(2, 3);
    EXPECT_EQ(config(3).Modified, 1);
    EXPECT_EQ(selectorText(3, 2), "*");
    page->ConfigSelectorStringGridDblClick(0, 3); // the number column does nothing
    EXPECT_EQ(config(3).Modified, 1);
    page->ConfigSelectorStringGridDblClick(2, 3);
    EXPECT_EQ(selectorText(3, 2), "");
}

TEST_F(ConfigurationsPageTest, RenameChangesOnlyOnAnotherText) {
    loadExamples();
    host->answers = {std::string("COPPER 1"), std::nullopt, std::string("WELD")};
    page->ConfigSelectorStringGridDblClick(1, 0);
    ASSERT_EQ(host->setups.size(), 1u);
    EXPECT_EQ(host->setups[0].label, "Name of configuration 1");
    EXPECT_EQ(host->setups[0].text, "COPPER 1");
    EXPECT_EQ(host->setups[0].maxLength, 22);
    EXPECT_EQ(config(0).Modified, 0);
    EXPECT_FALSE(host->list.Unsaved);

    page->ConfigSelectorStringGridDblClick(1, 0); // cancelled
    EXPECT_EQ(config(0).ConfigName, "COPPER 1");

    page->ConfigSelectorStringGridDblClick(1, 0);
    EXPECT_EQ(config(0).ConfigName, "WELD");
    EXPECT_EQ(config(0).Modified, 1);
    EXPECT_TRUE(host->list.Unsaved);
    EXPECT_EQ(selectorText(0, 1), "WELD");
    EXPECT_EQ(selectorText(0, 2), "*");
    EXPECT_EQ(label("ConfigDetailsCaptionPanel"), "Configuration 1:  WELD");
}

TEST_F(ConfigurationsPageTest, ParameterButtonsStepAndShowTheirPictures) {
    loadExamples();
    app::TActionStates states;
    page->ApplyStates(states); // no configurations: the buttons are off
    page->ClickParamButton(0);
    EXPECT_EQ(config(0).ScreenType, 0);
    EXPECT_EQ(page->ParamButtonImage(0), 6);

    states.configs = true;
    states.configCommentsReadOnly = false;
    page->ApplyStates(states);
    EXPECT_FALSE(page->CommentsMemo()->isReadOnly());
    const int steps[][2] = {{1, 7}, {2, 8}, {1, 7}};
    for (const auto& step : steps) {
        page->ClickParamButton(0);
        EXPECT_EQ(config(0).ScreenType, step[0]);
        EXPECT_EQ(page->ParamButtonImage(0), step[1]);
    }
    EXPECT_EQ(page->ParamButtonImage(4), 3);
    page->ClickParamButton(4);
    EXPECT_EQ(config(0).SignalType, 1);
    EXPECT_EQ(page->ParamButtonImage(4), 4);
    EXPECT_EQ(page->ParamButton(4)->property("Tag").toInt(), 39);
    EXPECT_EQ(selectorText(0, 2), "*");
    EXPECT_TRUE(host->list.Unsaved);
    EXPECT_EQ(config(1).ScreenType, 0);
}

TEST_F(ConfigurationsPageTest, EditorTypesAppliesOnceAndMarks) {
    loadExamples();
    clickCell(ParamGrid::First, 1, 3);
    QLineEdit* edit = page->MaskEdit(ParamGrid::First);
    ASSERT_TRUE(edit->isVisible());
    EXPECT_EQ(edit->text(), "4660");
    // Laid exactly over the cell: grid position plus the cell rectangle, one pixel in.
    TParamGrid* grid = page->Grid(ParamGrid::First);
    const QRect cell = grid->CellRect(1, 3);
    EXPECT_EQ(edit->geometry(), QRect(grid->x() + cell.left() + 1, grid->y() + cell.top() + 1,
                                      cell.width(), cell.height()));
    edit->selectAll();
    typeText(edit, "-x59y20");
    EXPECT_EQ(edit->text(), "5920");
    sendKey(edit, Qt::Key_Return);
    EXPECT_EQ(config(0).Velocity, 5920);
    EXPECT_FALSE(edit->isVisible());
    EXPECT_EQ(page->CellText(ParamGrid::First, 3), "5920");
    EXPECT_EQ(selectorText(0, 2), "*");
    EXPECT_TRUE(host->list.Unsaved);
    ASSERT_FALSE(host->cleared.empty());
    EXPECT_EQ(host->cleared.back(), grid);

    // The focus leaving afterwards applies nothing more.
    config(0).Velocity = 4000;
    QFocusEvent out(QEvent::FocusOut, Qt::OtherFocusReason);
    QApplication::sendEvent(edit, &out);
    EXPECT_EQ(config(0).Velocity, 4000);
}

TEST_F(ConfigurationsPageTest, RefusedValueShowsOneMessageAndTheKeptValue) {
    loadExamples();
    typeIntoCell(ParamGrid::First, 3, "999");
    QFocusEvent out(QEvent::FocusOut, Qt::OtherFocusReason);
    QApplication::sendEvent(page->MaskEdit(ParamGrid::First), &out);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].title, "Wrong parameter value");
    EXPECT_EQ(boxes.shown[0].text, "Ultrasonic velocity should be in range of 1000..9999!");
    EXPECT_EQ(boxes.shown[0].icon, MessageIcon::Error);
    EXPECT_EQ(page->CellText(ParamGrid::First, 3),
              QString::fromStdString(config(0).GetParamDisplayString(63)));
    EXPECT_GE(config(0).Velocity, 1000);

    // A value too wide for its field is refused the same way, never thrown through the page.
    boxes.shown.clear();
    EXPECT_FALSE(page->ApplyConfigParamText("99999", OBJ_USONIC_VELOCITY));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].title, "Wrong parameter value");
    EXPECT_GE(config(0).Velocity, 1000);
    EXPECT_LE(config(0).Velocity, 9999);
}

// Values the edit masks alone could not take, grouping marks, and a decimal typed with the wrong
// mark.
TEST_F(ConfigurationsPageTest, TypedValuesReachTheModel) {
    loadExamples();
    struct Row {
        ParamGrid grid;
        int row;
        const char* typed;
        int param;
        double stored;
        std::size_t boxes;
    };
    const Row rows[] = {
        {ParamGrid::First, 2, "120", PRB_DELAY, 120, 0},
        {ParamGrid::Fourth, 0, "100", BAND_STEP, 100, 0},
        {ParamGrid::First, 3, "2,700", OBJ_USONIC_VELOCITY, 2700, 0},
        {ParamGrid::Second, 2, "2.5", ANL_ZONDER_PERIODS_QUANT, 2.5, 0},
        {ParamGrid::Second, 2, "0,5", ANL_ZONDER_PERIODS_QUANT, 0.5, 1},
    };
    for (const Row& r : rows) {
        boxes.shown.clear();
        typeIntoCell(r.grid, r.row, r.typed);
        EXPECT_DOUBLE_EQ(config(0).GetParamValue(r.param), r.stored) << r.typed;
        EXPECT_EQ(boxes.shown.size(), r.boxes) << r.typed;
    }
}

TEST_F(ConfigurationsPageTest, EscapeKeepsTheValueAndTheNextEditApplies) {
    loadExamples();
    clickCell(ParamGrid::First, 1, 2);
    QLineEdit* edit = page->MaskEdit(ParamGrid::First);
    edit->selectAll();
    typeText(edit, "77");
    sendKey(edit, Qt::Key_Escape);
    EXPECT_FALSE(edit->isVisible());
    EXPECT_EQ(config(0).ProbeDelay, 30);
    EXPECT_EQ(page->CellText(ParamGrid::First, 2), "30");
    EXPECT_EQ(config(0).Modified, 0);
    typeIntoCell(ParamGrid::First, 2, "45");
    EXPECT_EQ(config(0).ProbeDelay, 45);
}

// Confirming a shown value stores nothing: the strobe times are shown truncated, and storing the
// shown text again would move them on every visit.
TEST_F(ConfigurationsPageTest, UnchangedTextIsNoEdit) {
    loadExamples();
    config(0).StrobeBeginTime[0] = 505.75;
    page->ShowConfig(0);
    ASSERT_EQ(page->CellText(ParamGrid::MeasureConditions, 0), "505");
    clickCell(ParamGrid::MeasureConditions, 1, 0);
    sendKey(page->MaskEdit(ParamGrid::MeasureConditions), Qt::Key_Return);
    page->ParamGridValidate(ParamGrid::First, 3);
    EXPECT_DOUBLE_EQ(config(0).StrobeBeginTime[0], 505.75);
    EXPECT_EQ(config(0).Velocity, 4660);
    EXPECT_EQ(config(0).Modified, 0);
    EXPECT_FALSE(host->list.Unsaved);
}

TEST_F(ConfigurationsPageTest, CellsThatCannotBeSelected) {
    loadExamples();
    struct Row {
        ParamGrid grid;
        int column, row;
        bool busy;
        bool selectable;
    };
    const Row rows[] = {
        {ParamGrid::First, 0, 3, false, false},
        {ParamGrid::First, 1, 3, false, true},
        {ParamGrid::Fourth, 1, 2, false, false},
        {ParamGrid::Fourth, 1, 3, false, false},
        {ParamGrid::Fourth, 1, 1, false, true},
        {ParamGrid::First, 1, 3, true, false},
        {ParamGrid::MeasureConditions, 1, 0, true, false},
    };
    for (const Row& r : rows) {
        USBBusy = r.busy ? 1 : 0;
        EXPECT_EQ(page->ParamGridSelectCell(r.grid, r.column, r.row), r.selectable)
            << int(r.grid) << "/" << r.column << "/" << r.row;
    }
    USBBusy = 0;
    clickCell(ParamGrid::First, 0, 3);
    EXPECT_FALSE(page->MaskEdit(ParamGrid::First)->isVisible());
    EXPECT_FALSE(page->ComboBox(ParamGrid::First)->isVisible());
    // The measure grid takes no keys at all; group grids let other keys pass.
    EXPECT_TRUE(page->ParamGridKeyDown(ParamGrid::MeasureConditions, 40));
    EXPECT_FALSE(page->ParamGridKeyDown(ParamGrid::First, 40));
}

TEST_F(ConfigurationsPageTest, PickListEditorAndWhichEditsRefreshTheMeasureConditions) {
    loadExamples();
    clickCell(ParamGrid::First, 1, 0);
    QComboBox* combo = page->ComboBox(ParamGrid::First);
    ASSERT_TRUE(combo->isVisible());
    ASSERT_EQ(combo->count(), 2);
    EXPECT_EQ(combo->itemText(0), "Single");
    EXPECT_EQ(combo->itemText(1), "Dual");
    EXPECT_EQ(combo->currentIndex(), 0);
    combo->setCurrentIndex(1);
    sendKey(combo, Qt::Key_Return);
    EXPECT_EQ(config(0).ProbeType, 1);
    EXPECT_EQ(page->CellText(ParamGrid::First, 0), "Dual");

    // The filter band (third group, a list) leaves the measure conditions as they are ...
    page->Grid(ParamGrid::MeasureConditions)->item(3, 1)->setText("sentinel");
    clickCell(ParamGrid::Third, 1, 0);
    page->ComboBox(ParamGrid::Third)->setCurrentIndex(1);
    sendKey(page->ComboBox(ParamGrid::Third), Qt::Key_Return);
    EXPECT_EQ(config(0).FilterBandIndex, 1);
    EXPECT_EQ(page->CellText(ParamGrid::MeasureConditions, 3), "sentinel");
    // ... a typed value of the first group rewrites them.
    typeIntoCell(ParamGrid::First, 3, "5000");
    EXPECT_EQ(page->CellText(ParamGrid::MeasureConditions, 3), "70");
}

// The rows follow the configuration shown, whatever another reader left in the model's table.
TEST_F(ConfigurationsPageTest, MeasureRowsFollowTheShownConfiguration) {
    loadExamples();
    SetMeasureConditionUnits(1);
    page->ShowConfig(0);
    EXPECT_EQ(page->RowParam(ParamGrid::MeasureConditions, 0), ASCAN_STROB1_BEGIN_TIME);
    typeIntoCell(ParamGrid::MeasureConditions, 0, "300");
    EXPECT_DOUBLE_EQ(config(0).StrobeBeginTime[0], 300.0);
    EXPECT_EQ(page->CellText(ParamGrid::MeasureConditions, 0), "300");

    // Switching the scale to millimetres renames nothing until the configuration is shown again.
    ASSERT_TRUE(page->ApplyConfigParamText(GetTxtVarValueString(11), ASCAN_SCALE_DIMENSION));
    EXPECT_EQ(config(0).ScaleDimension, 1);
    EXPECT_EQ(page->RowParam(ParamGrid::MeasureConditions, 0), ASCAN_STROB1_BEGIN_TIME);
    EXPECT_EQ(page->Grid(ParamGrid::MeasureConditions)->item(0, 0)->text(), "Strobe 1 begin, µs");
    page->ShowConfig(0);
    EXPECT_EQ(page->RowParam(ParamGrid::MeasureConditions, 0), ASCAN_STROB1_BEGIN_MM);
    EXPECT_EQ(page->RowParam(ParamGrid::MeasureConditions, 1), ASCAN_STROB1_LENGTH_MM);
    EXPECT_EQ(page->Grid(ParamGrid::MeasureConditions)->item(0, 0)->text().toStdString(),
              config(0).GetParamCaption(ASCAN_STROB1_BEGIN_MM));
    SetMeasureConditionUnits(0);
}

TEST_F(ConfigurationsPageTest, CommentsFollowTheMemoUpToTwentyLines) {
    loadExamples();
    QPlainTextEdit* memo = page->CommentsMemo();
    page->ShowConfig(1);
    page->ShowConfig(0);
    EXPECT_FALSE(host->list.Unsaved); // showing is no edit

    QStringList lines;
    for (int i = 1; i <= 21; ++i) {
        lines << QStringLiteral("line %1").arg(i);
    }
    memo->moveCursor(QTextCursor::End);
    memo->insertPlainText(lines.join('\n'));
    ASSERT_EQ(config(0).ConfigStrings.size(), 20u);
    EXPECT_EQ(config(0).ConfigStringsCount, 20);
    EXPECT_EQ(config(0).ConfigStrings.back(), "line 20");
    EXPECT_EQ(memo->document()->blockCount(), 20);
    ASSERT_FALSE(boxes.shown.empty());
    EXPECT_EQ(boxes.shown[0].title, GetErrMsgString(82));
    EXPECT_TRUE(host->list.Unsaved);

    page->ShowConfig(1);
    page->ShowConfig(0);
    EXPECT_EQ(memo->toPlainText().split('\n').size(), 20);
}

TEST_F(ConfigurationsPageTest, GridsAreLaidOutFromTheirClientSizes) {
    TParamGrid* second = page->Grid(ParamGrid::Second);
    EXPECT_EQ(second->contentsRect().width(), 418);
    EXPECT_EQ(second->columnWidth(0), 291);
    EXPECT_EQ(second->columnWidth(1), 125);
    EXPECT_EQ(second->rowHeight(4), 25);
    EXPECT_EQ(page->Grid(ParamGrid::Third)->rowHeight(0), 25);
    EXPECT_EQ(page->SelectorGrid()->columnWidth(1), 172);
}

// The page filled with the instrument's configurations, kept beside the test programs to look at.
TEST_F(ConfigurationsPageTest, Screenshot) {
    loadExamples();
    page->resize(988, 667);
    QApplication::processEvents();
    const QImage shot = page->grab().toImage();
    ASSERT_EQ(shot.size(), QSize(988, 667));
    EXPECT_TRUE(shot.save(QString::fromUtf8(TB_OUTPUT_DIR) + "/ConfigurationsPage.png"));
    // The selector's rows are drawn: its area holds more than one colour.
    const QImage selector = page->SelectorGrid()->grab().toImage();
    bool varied = false;
    for (int y = 30; y < selector.height() && !varied; y += 3) {
        for (int x = 0; x < selector.width() && !varied; ++x) {
            varied = selector.pixel(x, y) != selector.pixel(0, 30);
        }
    }
    EXPECT_TRUE(varied);
}

} // namespace
