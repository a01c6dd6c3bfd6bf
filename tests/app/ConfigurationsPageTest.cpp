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
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <array>
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
        if (auto* table = static_cast<QTableWidget*>(grid)) {
            table->clearSelection();
            table->setCurrentCell(-1, -1);
            cleared.push_back(grid);
        }
    }
    void RunHeld(QAction* action, const std::function<void()>& command) override {
        held.push_back(action);
        command();
    }
    bool EditString(const app::TNameEditSetup& setup, QPoint, std::string& text) override {
        setups.push_back(setup);
        const auto answer = answers.empty() ? std::nullopt : answers.front();
        if (!answers.empty()) {
            answers.pop_front();
        }
        text = answer.value_or(text);
        return answer.has_value();
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
        loadExamples(*host, *page, origin);
    }
    static void loadExamples(FakeHost& into, app::TConfigurationsPage& shown,
                             app::OriginKind origin = app::OriginKind::Instrument) {
        PConfigsSet set;
        std::uint16_t count = 0;
        ASSERT_EQ(
            LoadConfigSet(std::filesystem::path(TB_OUTPUT_DIR) / "examples" / "Configurations.ctf",
                          set, count),
            0);
        into.list.replaceRecords(std::move(set), count);
        into.list.Origin = origin;
        into.list.OriginLabel = QStringLiteral("/tmp/Weld.ctf");
        into.list.Unsaved = false;
        shown.RefreshConfigList();
    }

    TBaseConfigCell& config(int i) { return *host->list.Records[static_cast<std::size_t>(i)]; }
    QString selectorText(int row, int column) {
        const QTableWidgetItem* item = page->SelectorGrid()->item(row, column);
        return item ? item->text() : QString();
    }
    QString label(const char* name) { return page->findChild<QLabel*>(name)->text(); }

    void clickCell(ParamGrid grid, int column, int row) {
        TParamGrid* g = page->Grid(grid);
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {},
                          g->visualRect(g->model()->index(row, column)).center());
    }
    // Selects the cell, types into its mask edit (replacing the shown text) and presses a key.
    void typeIntoCell(ParamGrid grid, int row, const char* text, Qt::Key end = Qt::Key_Return) {
        clickCell(grid, 1, row);
        QLineEdit* edit = page->MaskEdit(grid);
        ASSERT_TRUE(edit->isVisible()) << text;
        edit->selectAll();
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, end);
    }

    FakeHost* host = nullptr;
    std::unique_ptr<app::TConfigurationsPage> page;
    platform::ui::ScriptedMessageBoxes boxes;
    platform::ui::ScopedMessageBoxService boxGuard{&boxes};
};

TEST_F(ConfigurationsPageTest, ShowsTheListAndTheCurrentConfiguration) {
    loadExamples();
    ASSERT_EQ(page->SelectorGrid()->rowCount(), 20);
    const char* selector[][3] = {{"1", "COPPER 1", ""}, {"2", "TITANIUM 2", ""}};
    for (int r = 0; r < 2; ++r) {
        for (int c = 0; c < 3; ++c) {
            EXPECT_EQ(selectorText(r, c), selector[r][c]);
        }
    }
    EXPECT_EQ(label("ConfigDetailsCaptionPanel"), "Configuration 1:  COPPER 1");
    EXPECT_TRUE(page->SelectorGrid()->selectionModel()->isRowSelected(0, {}));
    EXPECT_EQ(label("SetupPageCaptionLabel"), "Configurations received from the instrument");
    EXPECT_TRUE(host->status.isEmpty());
    EXPECT_FALSE(page->findChild<QWidget*>("SetupBckGrndPanel")->isVisible());
    // Measure conditions with their names, then the four groups (rows 3-4 of the last name no
    // parameter).
    const char* names[] = {"Strobe 1 begin, µs", "Strobe 1 length, µs", "Strobe 1 level, dB",
                           "Gain, dB"};
    const std::vector<std::vector<const char*>> values = {{"505", "32", "104", "70"},
                                                          {"Single", "20.0", "30", "4660"},
                                                          {"µs", "20", "0.5", "10", "1"},
                                                          {"Off"},
                                                          {"10", "10", "", ""}};
    for (int g = 0; g < app::ParamGridCount; ++g) {
        for (std::size_t r = 0; r < values[g].size(); ++r) {
            EXPECT_EQ(page->CellText(ParamGrid(g), int(r)), QString::fromUtf8(values[g][r]));
        }
    }
    for (int r = 0; r < 4; ++r) {
        EXPECT_EQ(page->Grid(ParamGrid::MeasureConditions)->item(r, 0)->text(),
                  QString::fromUtf8(names[r]));
    }
    loadExamples(app::OriginKind::File);
    EXPECT_EQ(label("SetupPageCaptionLabel"), "Configurations from file:  /tmp/Weld.ctf");
    EXPECT_EQ(page->ParamButton(4)->toolTip(), "<B> Ctrl + 5</B>  Change the signal type");
    EXPECT_EQ(page->ParamButton(1)->toolTip(),
              "<B> Ctrl + 2</B>  Change the strobe signalling algorithm");
}

TEST_F(ConfigurationsPageTest, EmptyListShowsNothingAndIgnoresCommands) {
    page->RefreshConfigList();
    EXPECT_EQ(page->SelectorGrid()->rowCount(), 1);
    EXPECT_EQ(label("SetupPageCaptionLabel"), "No configurations");
    EXPECT_EQ(label("ConfigDetailsCaptionPanel"), "No configurations");
    EXPECT_TRUE(page->findChild<QWidget*>("SetupBckGrndPanel")->isVisible());
    EXPECT_TRUE(page->CellText(ParamGrid::First, 3).isEmpty());
    page->ScreenTypeParamButtonClick(0);
    page->ConfigSelectorHeaderDblClick(2);
    std::string name = "X";
    EXPECT_FALSE(page->EditConfigName(name));
    EXPECT_TRUE(host->setups.empty());
    EXPECT_TRUE(page->ApplyConfigParamText("5000", OBJ_USONIC_VELOCITY));
    EXPECT_TRUE(page->ParamGridKeyDown(ParamGrid::First, 13)); // swallowed
    EXPECT_FALSE(host->list.Unsaved);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(ConfigurationsPageTest, MovingAndMarking) {
    loadExamples();
    const std::pair<const char*, int> moves[] = {{"LastConfigAction", 19},
                                                 {"PrevConfigAction", 18},
                                                 {"FirstConfigAction", 0},
                                                 {"PrevConfigAction", 0},
                                                 {"NextConfigAction", 1}};
    for (const auto& [name, current] : moves) {
        host->actions[name]->trigger();
        EXPECT_EQ(host->list.Current, current) << name;
        EXPECT_EQ(page->SelectorGrid()->currentRow(), current) << name;
        EXPECT_EQ(host->held.back(), host->actions[name]);
    }
    EXPECT_EQ(host->stateUpdates, 5);
    // Sideways keys never show another configuration; Down moves on.
    page->SelectorGrid()->setCurrentCell(5, 1);
    for (Qt::Key k : {Qt::Key_Right, Qt::Key_Left, Qt::Key_Down}) {
        QTest::keyClick(page->SelectorGrid(), k);
    }
    EXPECT_EQ(host->list.Current, 6);
    EXPECT_EQ(label("ConfigDetailsCaptionPanel").left(16), "Configuration 7:");

    // The mark column's header marks all when the first is unmarked, then clears all; a data
    // row's mark toggles the current configuration; the number column does nothing.
    for (int mark : {1, 0}) {
        page->ConfigSelectorHeaderDblClick(2);
        for (int i = 0; i < 20; ++i) {
            ASSERT_EQ(config(i).Modified, mark);
            ASSERT_EQ(selectorText(i, 2), mark ? "*" : "");
        }
    }
    page->ConfigSelectorStringGridDblClick(0, 6);
    EXPECT_EQ(config(6).Modified, 0);
    page->ConfigSelectorStringGridDblClick(2, 6);
    EXPECT_EQ(selectorText(6, 2), "*");
    EXPECT_TRUE(host->list.Unsaved);
}

TEST_F(ConfigurationsPageTest, RenameChangesOnlyOnAnotherText) {
    loadExamples();
    host->answers = {std::string("COPPER 1  "), std::nullopt, std::string("WELD")};
    const std::tuple<const char*, int, bool> steps[] = {
        {"COPPER 1", 0, false}, {"COPPER 1", 0, false}, {"WELD", 1, true}};
    for (const auto& [name, mark, unsaved] : steps) {
        page->ConfigSelectorStringGridDblClick(1, 0);
        EXPECT_EQ(config(0).ConfigName, name);
        EXPECT_EQ(config(0).Modified, mark);
        EXPECT_EQ(host->list.Unsaved, unsaved);
    }
    EXPECT_EQ(host->setups.at(0).label, "Name of configuration 1");
    EXPECT_EQ(host->setups.at(0).maxLength, 22);
    EXPECT_EQ(selectorText(0, 1), "WELD");
    EXPECT_EQ(label("ConfigDetailsCaptionPanel"), "Configuration 1:  WELD");
}

TEST_F(ConfigurationsPageTest, ParameterButtonsStepAndShowTheirPictures) {
    loadExamples();
    app::TActionStates states;
    page->ApplyStates(states); // no configurations: the buttons are off
    page->ClickParamButton(0);
    EXPECT_EQ(config(0).ScreenType, 0);
    states.configs = true;
    states.configCommentsReadOnly = false;
    page->ApplyStates(states);
    EXPECT_FALSE(page->CommentsMemo()->isReadOnly());
    const int steps[][3] = {{0, 1, 7}, {0, 2, 8}, {0, 1, 7}, {4, 1, 4}};
    for (const auto& [button, value, image] : steps) {
        page->ClickParamButton(button);
        const int p = page->ParamButton(button)->property("Tag").toInt();
        EXPECT_EQ(config(0).GetParamValue(p), value);
        EXPECT_EQ(page->ParamButtonImage(button), image);
    }
    EXPECT_EQ(selectorText(0, 2), "*");
    EXPECT_TRUE(host->list.Unsaved);
}

// Typed values through the mask edits: keys outside the filter vanish, values the masks alone
// could not take, grouping marks, a decimal typed with the wrong mark, values out of range or too
// wide for their field, and Esc.
TEST_F(ConfigurationsPageTest, TypedValuesReachTheModel) {
    loadExamples();
    struct Row {
        ParamGrid grid;
        int row;
        const char* typed;
        Qt::Key key;
        int param;
        double stored;
        const char* message; // nullptr: none
    };
    const Row rows[] = {
        {ParamGrid::First, 2, "-x1a20", Qt::Key_Return, PRB_DELAY, 120, nullptr},
        {ParamGrid::First, 2, "77", Qt::Key_Escape, PRB_DELAY, 120, nullptr},
        {ParamGrid::Fourth, 0, "100", Qt::Key_Return, BAND_STEP, 100, nullptr},
        {ParamGrid::First, 3, "2,700", Qt::Key_Return, OBJ_USONIC_VELOCITY, 2700, nullptr},
        {ParamGrid::Second, 2, "2.5", Qt::Key_Return, ANL_ZONDER_PERIODS_QUANT, 2.5, nullptr},
        {ParamGrid::Second, 2, "0,5", Qt::Key_Return, ANL_ZONDER_PERIODS_QUANT, 0.5,
         "Pulse periods"},
        {ParamGrid::First, 3, "999", Qt::Key_Return, OBJ_USONIC_VELOCITY, 2700,
         "Ultrasonic velocity should be in range of 1000..9999!"},
    };
    for (const Row& r : rows) {
        boxes.shown.clear();
        typeIntoCell(r.grid, r.row, r.typed, r.key);
        EXPECT_FALSE(page->MaskEdit(r.grid)->isVisible());
        EXPECT_DOUBLE_EQ(config(0).GetParamValue(r.param), r.stored) << r.typed;
        EXPECT_EQ(page->CellText(r.grid, r.row).toStdString(),
                  config(0).GetParamDisplayString(r.param));
        ASSERT_EQ(boxes.shown.size(), r.message ? 1u : 0u) << r.typed;
        if (r.message) {
            EXPECT_EQ(boxes.shown[0].title, "Wrong parameter value");
            EXPECT_EQ(boxes.shown[0].icon, MessageIcon::Error);
            EXPECT_NE(boxes.shown[0].text.find(r.message), std::string::npos)
                << boxes.shown[0].text;
        }
    }
    boxes.shown.clear();
    EXPECT_FALSE(page->ApplyConfigParamText("99999", OBJ_USONIC_VELOCITY));
    EXPECT_EQ(boxes.shown.size(), 1u);
}

TEST_F(ConfigurationsPageTest, EditorLiesOverTheCellAndAppliesOnce) {
    loadExamples();
    clickCell(ParamGrid::First, 1, 3);
    QLineEdit* edit = page->MaskEdit(ParamGrid::First);
    EXPECT_EQ(edit->text(), "4660");
    TParamGrid* grid = page->Grid(ParamGrid::First);
    const QRect cell = grid->CellRect(1, 3);
    EXPECT_EQ(edit->geometry(), QRect(grid->x() + cell.left() + 1, grid->y() + cell.top() + 1,
                                      cell.width(), cell.height()));
    edit->selectAll();
    QTest::keyClicks(edit, "5920");
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(config(0).Velocity, 5920);
    EXPECT_EQ(selectorText(0, 2), "*");
    EXPECT_TRUE(host->list.Unsaved);
    EXPECT_EQ(host->cleared.back(), grid);
    // The focus leaving afterwards applies nothing more.
    config(0).Velocity = 4000;
    QFocusEvent out(QEvent::FocusOut, Qt::OtherFocusReason);
    QApplication::sendEvent(edit, &out);
    EXPECT_EQ(config(0).Velocity, 4000);
}

// Confirming a shown value stores nothing: the strobe times are shown truncated, and storing the
// shown text again would move them on every visit.
TEST_F(ConfigurationsPageTest, UnchangedTextIsNoEdit) {
    loadExamples();
    config(0).StrobeBeginTime[0] = 505.75;
    page->ShowConfig(0);
    clickCell(ParamGrid::MeasureConditions, 1, 0);
    QTest::keyClick(page->MaskEdit(ParamGrid::MeasureConditions), Qt::Key_Return);
    page->ParamGridValidate(ParamGrid::First, 3);
    EXPECT_DOUBLE_EQ(config(0).StrobeBeginTime[0], 505.75);
    EXPECT_EQ(config(0).Modified, 0);
    EXPECT_FALSE(host->list.Unsaved);
}

TEST_F(ConfigurationsPageTest, CellsThatCannotBeSelected) {
    loadExamples();
    const std::tuple<ParamGrid, int, int, bool, bool> rows[] = {
        {ParamGrid::First, 0, 3, false, false},  {ParamGrid::First, 1, 3, false, true},
        {ParamGrid::Fourth, 1, 2, false, false}, {ParamGrid::Fourth, 1, 3, false, false},
        {ParamGrid::Fourth, 1, 1, false, true},  {ParamGrid::First, 1, 3, true, false},
    };
    for (const auto& [grid, column, row, busy, selectable] : rows) {
        USBBusy = busy ? 1 : 0;
        EXPECT_EQ(page->ParamGridSelectCell(grid, column, row), selectable) << column << row;
    }
    USBBusy = 0;
    clickCell(ParamGrid::First, 0, 3);
    EXPECT_FALSE(page->MaskEdit(ParamGrid::First)->isVisible());
    // The measure grid takes no keys at all; group grids let other keys pass.
    EXPECT_TRUE(page->ParamGridKeyDown(ParamGrid::MeasureConditions, 40));
    EXPECT_FALSE(page->ParamGridKeyDown(ParamGrid::First, 40));
}

TEST_F(ConfigurationsPageTest, PickListEditorAndWhichEditsRefreshTheMeasureConditions) {
    loadExamples();
    clickCell(ParamGrid::First, 1, 0);
    QComboBox* combo = page->ComboBox(ParamGrid::First);
    ASSERT_EQ(combo->count(), 2);
    EXPECT_EQ(combo->itemText(1), "Dual");
    EXPECT_EQ(combo->currentIndex(), 0);
    combo->setCurrentIndex(1);
    QTest::keyClick(combo, Qt::Key_Return);
    EXPECT_EQ(config(0).ProbeType, 1);
    EXPECT_EQ(page->CellText(ParamGrid::First, 0), "Dual");

    // The filter band (third group, a list) leaves the measure conditions as they are; a typed
    // value of the first group rewrites them.
    page->Grid(ParamGrid::MeasureConditions)->item(3, 1)->setText("sentinel");
    clickCell(ParamGrid::Third, 1, 0);
    page->ComboBox(ParamGrid::Third)->setCurrentIndex(1);
    QTest::keyClick(page->ComboBox(ParamGrid::Third), Qt::Key_Return);
    EXPECT_EQ(config(0).FilterBandIndex, 1);
    EXPECT_EQ(page->CellText(ParamGrid::MeasureConditions, 3), "sentinel");
    typeIntoCell(ParamGrid::First, 3, "5000");
    EXPECT_EQ(page->CellText(ParamGrid::MeasureConditions, 3), "70");
}

// The rows follow the configuration shown, whatever another reader left in the model's table.
TEST_F(ConfigurationsPageTest, MeasureRowsFollowTheShownConfiguration) {
    loadExamples();
    SetMeasureConditionUnits(1);
    page->ShowConfig(0);
    typeIntoCell(ParamGrid::MeasureConditions, 0, "300");
    EXPECT_DOUBLE_EQ(config(0).StrobeBeginTime[0], 300.0);
    // Millimetres rename nothing until the configuration is shown again.
    ASSERT_TRUE(page->ApplyConfigParamText(GetTxtVarValueString(11), ASCAN_SCALE_DIMENSION));
    EXPECT_EQ(page->RowParam(ParamGrid::MeasureConditions, 0), ASCAN_STROB1_BEGIN_TIME);
    EXPECT_EQ(page->Grid(ParamGrid::MeasureConditions)->item(0, 0)->text(), "Strobe 1 begin, µs");
    page->ShowConfig(0);
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
    memo->insertPlainText(lines.join('\n'));
    ASSERT_EQ(config(0).ConfigStrings.size(), 20u);
    EXPECT_EQ(config(0).ConfigStringsCount, 20);
    EXPECT_EQ(config(0).ConfigStrings.back(), "line 20");
    ASSERT_FALSE(boxes.shown.empty());
    EXPECT_EQ(boxes.shown[0].title, GetErrMsgString(82));
    EXPECT_TRUE(host->list.Unsaved);
    page->ShowConfig(1);
    page->ShowConfig(0);
    EXPECT_EQ(memo->toPlainText().split('\n').size(), 20);
}

TEST_F(ConfigurationsPageTest, GridsAreLaidOutFromTheirClientSizes) {
    TParamGrid* second = page->Grid(ParamGrid::Second);
    EXPECT_EQ(second->columnWidth(0), 291); // (418 - 2) / 10 * 7
    EXPECT_EQ(second->columnWidth(1), 125);
    EXPECT_EQ(second->rowHeight(4), 25);
    EXPECT_EQ(page->Grid(ParamGrid::Third)->rowHeight(0), 25);
    EXPECT_EQ(page->SelectorGrid()->columnWidth(1), 172);
}

// The parameter area is made when first needed; a page that made it before its start-up steps
// and one that made it when the list arrived show the same, whatever those steps were.
TEST_F(ConfigurationsPageTest, ParameterAreaMadeLateShowsAsOneMadeFirst) {
    struct Steps {
        bool buttons;
        bool flat;
    };
    for (const Steps steps : {Steps{false, true}, Steps{true, false}}) {
        std::array<std::unique_ptr<app::TConfigurationsPage>, 2> pages;
        std::array<FakeHost*, 2> hosts{};
        for (int late = 0; late < 2; ++late) {
            auto owned = std::make_unique<FakeHost>();
            hosts[late] = owned.get();
            pages[late] = std::make_unique<app::TConfigurationsPage>(std::move(owned));
            app::TConfigurationsPage& p = *pages[late];
            if (late == 0) {
                p.Grid(ParamGrid::First);
            }
            p.ApplyTexts();
            p.LayoutGrids();
            p.SetupParamControls();
            p.show();
            app::TActionStates states;
            states.configs = steps.buttons;
            p.ApplyStates(states);
            p.SetParamButtonsFlat(steps.flat);
            p.RefreshConfigList();
            p.ClearGridSelections();
            if (late == 1) {
                EXPECT_EQ(p.findChild<TParamGrid*>(), nullptr) << "made before it was needed";
            }
            loadExamples(*hosts[late], p);
        }
        EXPECT_EQ(pages[0]->grab().toImage(), pages[1]->grab().toImage()) << steps.buttons;
        for (int b = 0; b < 6; ++b) {
            EXPECT_EQ(pages[1]->ParamButton(b)->isEnabled(), steps.buttons) << b;
            EXPECT_EQ(pages[1]->ParamButton(b)->autoRaise(), steps.flat) << b;
            EXPECT_EQ(pages[1]->ParamButton(b)->toolTip(), pages[0]->ParamButton(b)->toolTip());
        }
        for (int g = 0; g < app::ParamGridCount; ++g) {
            TParamGrid* early = pages[0]->Grid(ParamGrid(g));
            TParamGrid* late = pages[1]->Grid(ParamGrid(g));
            EXPECT_EQ(late->columnWidth(0), early->columnWidth(0)) << g;
            EXPECT_EQ(late->rowHeight(0), early->rowHeight(0)) << g;
            for (int r = 0; r < late->rowCount(); ++r) {
                for (int c = 0; c < 2; ++c) {
                    const QTableWidgetItem* e = early->item(r, c);
                    const QTableWidgetItem* l = late->item(r, c);
                    EXPECT_EQ(l ? l->text() : "-", e ? e->text() : "-") << g << r << c;
                }
            }
        }
        // The keyboard passes through the grids between the selector and the comments.
        QWidget* next = pages[1]->SelectorGrid();
        std::vector<QWidget*> order;
        while ((next = next->nextInFocusChain()) != pages[1]->CommentsMemo()) {
            if ((next->focusPolicy() & Qt::TabFocus) != 0 && next->isVisible()) {
                order.push_back(next);
            }
        }
        ASSERT_EQ(order.size(), std::size_t(app::ParamGridCount));
        for (int g = 0; g < app::ParamGridCount; ++g) {
            EXPECT_EQ(order[std::size_t(g)], pages[1]->Grid(ParamGrid(g))) << g;
        }
    }
}

} // namespace
