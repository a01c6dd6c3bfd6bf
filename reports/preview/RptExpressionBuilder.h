// The engine's expression tools: the builder, in which an expression for the evaluator is put
// together from data fields, functions, variables and operators and checked, and the editor of
// the named expressions (user-defined functions) of a report's environment or the global one.
// The program's own windows open neither; they belong to the engine's design-time support.
#pragma once

#include "reports/engine/RptEval.h"

#include <QDialog>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

class QEventLoop;
namespace Ui {
class TRptExpressionBuilder;
class TRptEnvironmentEditor;
} // namespace Ui

// The text with its line breaks (CR LF, CR or LF) taken out and nothing else.
std::string RemoveLineBreaks(std::string_view text);
// What Validate shows for a result: the value after "There are no errors. The result is : ",
// or "ERROR: " and the evaluator's message.
std::string ValidationMessage(const TRptEvResult& result);
// Evaluates the expression (line breaks removed) with a fresh evaluator bound to the
// environment (the global one behind it) and the data sets, and answers ValidationMessage.
std::string ValidateExpression(std::string_view expression, TRptEvEnvironment* environment,
                               const std::vector<const TRptDataSet*>& dataSets);
// "NAME(a,b)".
std::string FunctionCallText(const std::string& name, const std::vector<std::string>& arguments);
// The hint for argument n of a kind letter of a signature (N, B, S, anything else).
std::string ArgumentHintText(char kind, int n);

class TRptExpressionBuilder : public QDialog {
public:
    enum { Open = 0, Accepted = 1, Cancelled = 2 };

    // The environment and data sets are not owned; a null environment is the global one.
    TRptExpressionBuilder(TRptEvEnvironment* environment, std::vector<const TRptDataSet*> dataSets,
                          QWidget* parent = nullptr);
    ~TRptExpressionBuilder() override;

    Ui::TRptExpressionBuilder& Form() { return *ui_; }
    int Result = Open;

    void SetHeading(const std::string& cp1251);
    // Puts the text into the edit with the cursor at its end.
    void SetExpression(const std::string& cp1251);
    // The edit's text as Windows-1251, line breaks kept.
    std::string EditText() const;
    // Shows the builder (modal, or inside its parent when embedded) until OK or Cancel.
    void Run(bool embedded);

    void InsertAtCursor(const QString& text);
    void ValidateClick();
    void ClearClick();
    void OkClick();
    void CancelClick();
    void DataFieldClick();
    void DataSetSelected(int row);
    void FieldOkClick();
    void FunctionClick();
    void FunctionSelected(int row);
    void FunctionOkClick();
    void ArgumentOkClick();
    void ArgumentBuilderClick();
    void VariableClick();
    void VariableSelected(int row);
    void VariableOkClick();
    void ModifyVariablesClick();

private:
    void finish(int result);
    void showMain();
    void askArgument();
    TRptEvEnvironment& environment() const;

    std::unique_ptr<Ui::TRptExpressionBuilder> ui_;
    TRptEvEnvironment* environment_;
    std::vector<const TRptDataSet*> dataSets_;
    QEventLoop* loop_ = nullptr;
    // The function being inserted and the arguments given so far.
    const TRptLibraryEntry* function_ = nullptr;
    std::vector<std::string> arguments_;
};

// Lets the user build an expression, starting from `expression`. OK puts the built text
// without line breaks into `expression` and answers true; Cancel empties it and answers false.
// With a parent the builder is shown inside it instead of as a dialog.
bool GetExpression(const std::string& heading, std::string& expression, QWidget* parent,
                   TRptEvEnvironment* environment,
                   const std::vector<const TRptDataSet*>& dataSets = {});

class TRptEnvironmentEditor : public QDialog {
public:
    // `local` is the report's environment; without one (or when it is the global one) only the
    // global environment is edited and the choice is hidden.
    explicit TRptEnvironmentEditor(TRptEvEnvironment* local, QWidget* parent = nullptr);
    ~TRptEnvironmentEditor() override;

    Ui::TRptEnvironmentEditor& Form() { return *ui_; }
    TRptEvEnvironment& Current() const;

    void FillGrid();
    void GridCellChanged(int row, int column);
    void AddClick();
    void EditClick();
    void DeleteClick();
    void NewOkClick();
    void NewCancelClick();

private:
    void showNewEntry(bool show);
    // Renames or removes entries by building the environment again in order.
    void rebuild(const std::vector<std::pair<std::string, std::string>>& entries);

    std::unique_ptr<Ui::TRptEnvironmentEditor> ui_;
    TRptEvEnvironment* local_;
    bool filling_ = false;
};

// Shows the environment editor modally until Close.
void EditEnvironment(TRptEvEnvironment* environment, QWidget* parent);
