// The expression builder, the environment editor and the preview's search dialog: validation
// texts from the real evaluator, line breaks removed and nothing else, insertion of operators,
// fields, functions with their argument prompts and variables, OK and Cancel of GetExpression,
// and the environment's entries renamed, changed, added and removed through the grid.
#include "platform/ui/MessageBox.h"
#include "reports/preview/RptExpressionBuilder.h"
#include "reports/preview/RptSearchDlg.h"
#include "ui_RptEnvironmentEditor.h"
#include "ui_RptExpressionBuilder.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

TEST(ExpressionBuilder, ValidationTextsAndLineBreaks) {
    TRptEvEnvironment env;
    env.Add("tax", "2*3");
    struct Case {
        const char* expression;
        std::string shown;
    };
    const Case cases[] = {
        {"1+2", "There are no errors. The result is : 3"},
        {"1/0", "ERROR: Cannot divide by 0"},
        {"1=1", "There are no errors. The result is : True"},
        {"1>2", "There are no errors. The result is : False"},
        {"1+\r\n2", "There are no errors. The result is : 3"},
        {"TAX+1", "There are no errors. The result is : 7"},
        {"UPPER('a')", "There are no errors. The result is : A"},
        {"1+", "ERROR: "},
    };
    for (const Case& c : cases) {
        const std::string shown = ValidateExpression(c.expression, &env, {});
        EXPECT_EQ(shown.substr(0, c.shown.size()), c.shown) << c.expression;
    }
    EXPECT_EQ(RemoveLineBreaks("1+\r\n2\r3\n4"), "1+234");
    EXPECT_EQ(RemoveLineBreaks("'a\tb'\r2"), "'a\tb'2"); // the character after a CR stays
    EXPECT_EQ(FunctionCallText("DIV", {"7", "2"}), "DIV(7,2)");
    EXPECT_EQ(ArgumentHintText('N', 1), "Argument 1 - numeric value");
    EXPECT_EQ(ArgumentHintText('B', 2), "Argument 2 - logical value");
    EXPECT_EQ(ArgumentHintText('S', 3), "Argument 3 - text Value");
    EXPECT_EQ(ArgumentHintText('V', 4), "Argument 4 - value");
}

TEST(ExpressionBuilder, InsertsOperatorsFieldsFunctionsAndVariables) {
    TRptEvEnvironment env;
    env.Add("tax", "2*3");
    TRptMemoryDataSet probes("Probes", {{"Gain", TRptFieldType::Float}, {"Name"}});
    TRptExpressionBuilder b(&env, {&probes});
    Ui::TRptExpressionBuilder& f = b.Form();
    b.SetExpression("1");
    f.OpPlus->click();
    b.InsertAtCursor("2 ");
    f.OpAnd->click();
    EXPECT_EQ(b.EditText(), "1+2 And");
    b.ClearClick();
    EXPECT_EQ(b.EditText(), "");

    // A field: data set, field, OK.
    f.DataFieldButton->click();
    EXPECT_EQ(f.Pages->currentWidget(), f.FieldPage);
    ASSERT_EQ(f.FieldList->count(), 2);
    f.FieldList->setCurrentRow(0);
    f.FieldOk->click();
    EXPECT_EQ(f.Pages->currentWidget(), f.MainPage);
    f.OpMul->click();

    // A function with one text argument, asked for with its prompt and hint.
    f.FunctionButton->click();
    const auto rows = f.FunctionList->findItems("UPPER", Qt::MatchExactly);
    ASSERT_EQ(rows.size(), 1);
    f.FunctionList->setCurrentItem(rows[0]);
    EXPECT_EQ(f.FunctionDescription->text(), "Converts a string to upper case letters");
    f.FunctionOk->click();
    EXPECT_EQ(f.Pages->currentWidget(), f.ArgumentPage);
    EXPECT_EQ(f.ArgumentPrompt->text(), "Enter 1. parameter for UPPER");
    EXPECT_EQ(f.ArgumentHint->text(), "Argument 1 - text Value");
    f.ArgumentEdit->setText("'a'");
    f.ArgumentOk->click();
    EXPECT_EQ(b.EditText(), "Probes.Gain*UPPER('a')");

    // Two numeric arguments; a cancelled argument inserts nothing.
    f.OpPlus->click();
    f.FunctionButton->click();
    f.FunctionList->setCurrentItem(f.FunctionList->findItems("DIV", Qt::MatchExactly)[0]);
    f.FunctionOk->click();
    f.ArgumentEdit->setText("7");
    f.ArgumentOk->click();
    EXPECT_EQ(f.ArgumentPrompt->text(), "Enter 2. parameter for DIV");
    f.ArgumentEdit->setText("2");
    f.ArgumentOk->click();
    f.FunctionButton->click();
    f.FunctionList->setCurrentItem(f.FunctionList->findItems("SQRT", Qt::MatchExactly)[0]);
    f.FunctionOk->click();
    f.ArgumentCancel->click();
    EXPECT_EQ(b.EditText(), "Probes.Gain*UPPER('a')+DIV(7,2)");

    // A variable with its value.
    b.ClearClick();
    f.VariableButton->click();
    ASSERT_EQ(f.VariableList->count(), 1);
    EXPECT_EQ(f.VariableValue->text(), "6");
    f.VariableOk->click();
    f.OpMinus->click();
    b.InsertAtCursor("1");
    EXPECT_EQ(b.EditText(), "TAX-1");

    platform::ui::ScriptedMessageBoxes boxes;
    platform::ui::ScopedMessageBoxService scoped(&boxes);
    f.ValidateButton->click();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "There are no errors. The result is : 5");
}

TEST(ExpressionBuilder, GetExpressionOkRemovesLineBreaksCancelEmpties) {
    struct Case {
        bool ok;
        bool embedded;
        std::string expected;
    };
    for (const Case& c : {Case{true, false, "1+2"}, Case{false, false, ""}, Case{true, true, "1+2"},
                          Case{false, true, ""}}) {
        QWidget host;
        std::string expression = "1+\r\n2";
        TRptExpressionBuilder* seen = nullptr;
        QTimer::singleShot(0, [&] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (auto* b = dynamic_cast<TRptExpressionBuilder*>(w)) {
                    seen = b;
                }
            }
            for (auto* b : host.findChildren<TRptExpressionBuilder*>()) {
                seen = b;
            }
            if (seen != nullptr) {
                EXPECT_EQ(seen->Form().HeadingLabel->text(), "Heading");
                (c.ok ? seen->Form().OkButton : seen->Form().CancelButton)->click();
            }
        });
        const bool result =
            GetExpression("Heading", expression, c.embedded ? &host : nullptr, nullptr);
        ASSERT_NE(seen, nullptr);
        EXPECT_EQ(result, c.ok);
        EXPECT_EQ(expression, c.expected);
    }
}

TEST(EnvironmentEditor, GridRenamesChangesAddsAndDeletes) {
    TRptEvEnvironment env;
    env.Add("rate", "2");
    env.Add("tax", "RATE*3");
    TRptEnvironmentEditor e(&env);
    Ui::TRptEnvironmentEditor& f = e.Form();
    EXPECT_EQ(e.windowTitle(), "User Defined Functions Edtor");
    EXPECT_FALSE(f.LocalRadio->isHidden());
    ASSERT_EQ(f.Grid->rowCount(), 2);
    EXPECT_EQ(f.Grid->horizontalHeaderItem(0)->text(), "Name");
    EXPECT_EQ(f.Grid->horizontalHeaderItem(1)->text(), "Expression");
    f.Grid->item(0, 0)->setText("percent"); // stored upper-cased
    f.Grid->item(1, 1)->setText("PERCENT*4");
    ASSERT_EQ(env.Count(), 2);
    EXPECT_EQ(env.Name(0), "PERCENT");
    EXPECT_EQ(env.Expression(1), "PERCENT*4");
    EXPECT_EQ(ValidateExpression("TAX", &env, {}), "There are no errors. The result is : 8");
    // While the environment is in use the grid shows what is stored.
    env.Prepare();
    f.Grid->item(1, 1)->setText("0");
    EXPECT_EQ(env.Expression(1), "PERCENT*4");
    EXPECT_EQ(f.Grid->item(1, 1)->text(), "PERCENT*4");
    env.Unprepare();
    // Add shows only the new-entry group until OK.
    f.AddButton->click();
    EXPECT_FALSE(f.NewEntryGroup->isHidden());
    EXPECT_TRUE(f.Grid->isHidden());
    f.NameEdit->setText("vat");
    f.ExpressionEdit->setText("20");
    f.NewOk->click();
    EXPECT_TRUE(f.NewEntryGroup->isHidden());
    ASSERT_EQ(env.Count(), 3);
    EXPECT_EQ(env.Name(2), "VAT");
    f.Grid->setCurrentCell(0, 0);
    f.DeleteButton->click();
    ASSERT_EQ(env.Count(), 2);
    EXPECT_EQ(env.Name(0), "TAX");
    EXPECT_EQ(f.Grid->rowCount(), 2);
    // Only the global environment: no choice to make.
    TRptEnvironmentEditor global(nullptr);
    EXPECT_TRUE(global.Form().LocalRadio->isHidden());
    EXPECT_EQ(&global.Current(), &RptGlobalEnvironment());
}

TEST(SearchDialog, YieldsTheTextOnlyWhenSearched) {
    TSearchDlg d;
    EXPECT_EQ(d.windowTitle(), "Search for Text");
    EXPECT_EQ(d.CheckBox1->text(), "Match case");
    EXPECT_FALSE(d.Result().has_value()); // closed without a choice
    d.Edit1->setText(QString::fromUtf8("Отчёт"));
    d.CheckBox1->setChecked(true);
    d.SpeedButton2->click();
    ASSERT_TRUE(d.Result().has_value());
    EXPECT_EQ(d.Result()->text, QString::fromUtf8("Отчёт"));
    EXPECT_TRUE(d.Result()->matchCase);
    d.SpeedButton1->click();
    EXPECT_FALSE(d.Result().has_value());
}

} // namespace
