#include "reports/preview/RptExpressionBuilder.h"

#include "platform/text/Cp1251.h"
#include "platform/ui/MessageBox.h"
#include "reports/pages/RptTexts.h"
#include "ui_RptEnvironmentEditor.h"
#include "ui_RptExpressionBuilder.h"

#include <QEventLoop>
#include <QHeaderView>

namespace {

QString fromCp1251(std::string_view s) {
    return QString::fromStdString(platform::text::cp1251ToUtf8(s));
}

std::string toCp1251(const QString& s) {
    return platform::text::utf8ToCp1251(s.toStdString());
}

// The value of an environment entry as the variable page shows it.
std::string entryValueText(TRptEvEmbeddedFunction& entry) {
    const TRptEvResult value = entry.Evaluate();
    return value.IsError() ? std::string(RptText(64945)) + value.ErrorMessage()
                           : RptResultToText(value);
}

} // namespace

std::string RemoveLineBreaks(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c != '\r' && c != '\n') {
            out.push_back(c);
        }
    }
    return out;
}

std::string ValidationMessage(const TRptEvResult& result) {
    if (result.IsError()) {
        return std::string(RptText(64945)) + result.ErrorMessage();
    }
    return std::string(RptText(64946)) + RptResultToText(result);
}

std::string ValidateExpression(std::string_view expression, TRptEvEnvironment* environment,
                               const std::vector<const TRptDataSet*>& dataSets) {
    TRptEvaluator evaluator;
    evaluator.SetEnvironment(environment);
    evaluator.DataSets = dataSets;
    return ValidationMessage(evaluator.Calculate(RemoveLineBreaks(expression)));
}

std::string FunctionCallText(const std::string& name, const std::vector<std::string>& arguments) {
    std::string out = name + "(";
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        out += (i > 0 ? "," : "") + arguments[i];
    }
    return out + ")";
}

std::string ArgumentHintText(char kind, int n) {
    const int id = kind == 'N' ? 64972 : kind == 'B' ? 64973 : kind == 'S' ? 64974 : 64975;
    return RptFormatText(id, {std::to_string(n)});
}

// ---- builder ------------------------------------------------------------------------------------

TRptExpressionBuilder::TRptExpressionBuilder(TRptEvEnvironment* environment,
                                             std::vector<const TRptDataSet*> dataSets,
                                             QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::TRptExpressionBuilder>()),
      environment_(environment), dataSets_(std::move(dataSets)) {
    ui_->setupUi(this);
    ui_->Pages->setCurrentWidget(ui_->MainPage);
    for (QPushButton* op : {ui_->OpPlus, ui_->OpMinus, ui_->OpMul, ui_->OpDiv, ui_->OpEqual,
                            ui_->OpLess, ui_->OpGreater, ui_->OpUnequal, ui_->OpLessOrEqual,
                            ui_->OpGreaterOrEqual, ui_->OpNot, ui_->OpAnd, ui_->OpOr}) {
        connect(op, &QPushButton::clicked, this, [this, op] { InsertAtCursor(op->text()); });
    }
    const auto on = [this](QPushButton* b, void (TRptExpressionBuilder::*handler)()) {
        connect(b, &QPushButton::clicked, this, [this, handler] { (this->*handler)(); });
    };
    on(ui_->ValidateButton, &TRptExpressionBuilder::ValidateClick);
    on(ui_->ClearButton, &TRptExpressionBuilder::ClearClick);
    on(ui_->OkButton, &TRptExpressionBuilder::OkClick);
    on(ui_->CancelButton, &TRptExpressionBuilder::CancelClick);
    on(ui_->DataFieldButton, &TRptExpressionBuilder::DataFieldClick);
    on(ui_->FieldOk, &TRptExpressionBuilder::FieldOkClick);
    on(ui_->FieldCancel, &TRptExpressionBuilder::showMain);
    on(ui_->FunctionButton, &TRptExpressionBuilder::FunctionClick);
    on(ui_->FunctionOk, &TRptExpressionBuilder::FunctionOkClick);
    on(ui_->FunctionCancel, &TRptExpressionBuilder::showMain);
    on(ui_->ArgumentOk, &TRptExpressionBuilder::ArgumentOkClick);
    on(ui_->ArgumentCancel, &TRptExpressionBuilder::showMain);
    on(ui_->ArgumentBuilderButton, &TRptExpressionBuilder::ArgumentBuilderClick);
    on(ui_->VariableButton, &TRptExpressionBuilder::VariableClick);
    on(ui_->VariableOk, &TRptExpressionBuilder::VariableOkClick);
    on(ui_->VariableCancel, &TRptExpressionBuilder::showMain);
    on(ui_->ModifyVariablesButton, &TRptExpressionBuilder::ModifyVariablesClick);
    connect(ui_->DataSetList, &QListWidget::currentRowChanged, this,
            [this](int row) { DataSetSelected(row); });
    connect(ui_->FunctionList, &QListWidget::currentRowChanged, this,
            [this](int row) { FunctionSelected(row); });
    connect(ui_->VariableList, &QListWidget::currentRowChanged, this,
            [this](int row) { VariableSelected(row); });
}

TRptExpressionBuilder::~TRptExpressionBuilder() = default;

TRptEvEnvironment& TRptExpressionBuilder::environment() const {
    return environment_ != nullptr ? *environment_ : RptGlobalEnvironment();
}

void TRptExpressionBuilder::SetHeading(const std::string& cp1251) {
    ui_->HeadingLabel->setText(fromCp1251(cp1251));
}

void TRptExpressionBuilder::SetExpression(const std::string& cp1251) {
    ui_->ExprEdit->setPlainText(fromCp1251(cp1251));
    ui_->ExprEdit->moveCursor(QTextCursor::End);
}

std::string TRptExpressionBuilder::EditText() const {
    // The edit gives LF between lines; the original text had CR LF.
    return toCp1251(ui_->ExprEdit->toPlainText().replace('\n', QStringLiteral("\r\n")));
}

void TRptExpressionBuilder::InsertAtCursor(const QString& text) {
    ui_->ExprEdit->insertPlainText(text);
    ui_->ExprEdit->setFocus();
}

void TRptExpressionBuilder::ValidateClick() {
    const std::string message = ValidateExpression(EditText(), environment_, dataSets_);
    platform::ui::messageBoxes().show(message, toCp1251(windowTitle()),
                                      platform::ui::MessageIcon::Information,
                                      platform::ui::MessageButtons::Ok);
}

void TRptExpressionBuilder::ClearClick() {
    ui_->ExprEdit->clear();
}

void TRptExpressionBuilder::finish(int result) {
    Result = result;
    if (loop_ != nullptr) {
        loop_->quit();
    }
    if (isModal()) {
        done(result == Accepted ? QDialog::Accepted : QDialog::Rejected);
    }
}

void TRptExpressionBuilder::OkClick() {
    finish(Accepted);
}

void TRptExpressionBuilder::CancelClick() {
    finish(Cancelled);
}

void TRptExpressionBuilder::showMain() {
    function_ = nullptr;
    arguments_.clear();
    ui_->Pages->setCurrentWidget(ui_->MainPage);
}

void TRptExpressionBuilder::Run(bool embedded) {
    Result = Open;
    if (!embedded) {
        exec();
        if (Result == Open) {
            Result = Cancelled; // closed by the window manager
        }
        return;
    }
    setWindowFlags(Qt::Widget);
    move(0, 0);
    show();
    QEventLoop loop;
    loop_ = &loop;
    loop.exec();
    loop_ = nullptr;
    hide();
}

// Data fields: the data sets, then the fields of the one chosen.
void TRptExpressionBuilder::DataFieldClick() {
    ui_->DataSetList->clear();
    for (const TRptDataSet* d : dataSets_) {
        ui_->DataSetList->addItem(fromCp1251(d->Name()));
    }
    ui_->FieldList->clear();
    ui_->Pages->setCurrentWidget(ui_->FieldPage);
    if (!dataSets_.empty()) {
        ui_->DataSetList->setCurrentRow(0);
    }
}

void TRptExpressionBuilder::DataSetSelected(int row) {
    ui_->FieldList->clear();
    if (row < 0 || std::size_t(row) >= dataSets_.size()) {
        return;
    }
    const TRptDataSet& d = *dataSets_[std::size_t(row)];
    for (int i = 0; i < d.FieldCount(); ++i) {
        ui_->FieldList->addItem(fromCp1251(d.Field(i).Name));
    }
}

void TRptExpressionBuilder::FieldOkClick() {
    const int set = ui_->DataSetList->currentRow();
    const QListWidgetItem* field = ui_->FieldList->currentItem();
    if (set >= 0 && field != nullptr) {
        const QString text = ui_->DataSetList->item(set)->text() + "." + field->text();
        showMain();
        InsertAtCursor(text);
        return;
    }
    showMain();
}

// Functions: the library's entries with their descriptions, then one page per argument.
void TRptExpressionBuilder::FunctionClick() {
    ui_->FunctionList->clear();
    for (const auto& [name, entry] : RptFunctionLibrary().Entries()) {
        ui_->FunctionList->addItem(fromCp1251(name));
    }
    ui_->Pages->setCurrentWidget(ui_->FunctionPage);
    ui_->FunctionList->setCurrentRow(0);
}

void TRptExpressionBuilder::FunctionSelected(int row) {
    const QListWidgetItem* item = row >= 0 ? ui_->FunctionList->item(row) : nullptr;
    const TRptLibraryEntry* entry =
        item != nullptr ? RptFunctionLibrary().Find(toCp1251(item->text())) : nullptr;
    if (entry == nullptr) {
        ui_->FunctionHeading->clear();
        ui_->FunctionDescription->clear();
        return;
    }
    const auto bar = entry->Description.find('|');
    ui_->FunctionHeading->setText(fromCp1251(entry->Description.substr(0, bar)));
    ui_->FunctionDescription->setText(
        bar == std::string::npos ? QString() : fromCp1251(entry->Description.substr(bar + 1)));
}

void TRptExpressionBuilder::FunctionOkClick() {
    const QListWidgetItem* item = ui_->FunctionList->currentItem();
    function_ = item != nullptr ? RptFunctionLibrary().Find(toCp1251(item->text())) : nullptr;
    arguments_.clear();
    if (function_ == nullptr) {
        showMain();
        return;
    }
    askArgument();
}

void TRptExpressionBuilder::askArgument() {
    const std::string& signature = function_->Signature;
    const std::size_t n = arguments_.size() + 1; // the signature's first letter is its category
    if (n >= signature.size()) {
        const std::string call = FunctionCallText(function_->Name, arguments_);
        showMain();
        InsertAtCursor(fromCp1251(call));
        return;
    }
    ui_->ArgumentPrompt->setText(
        fromCp1251(RptFormatText(64944, {std::to_string(n), function_->Name})));
    ui_->ArgumentHint->setText(fromCp1251(ArgumentHintText(signature[n], int(n))));
    ui_->ArgumentEdit->clear();
    ui_->Pages->setCurrentWidget(ui_->ArgumentPage);
    ui_->ArgumentEdit->setFocus();
}

void TRptExpressionBuilder::ArgumentOkClick() {
    if (function_ == nullptr) {
        showMain();
        return;
    }
    arguments_.push_back(toCp1251(ui_->ArgumentEdit->text()));
    askArgument();
}

void TRptExpressionBuilder::ArgumentBuilderClick() {
    std::string argument = toCp1251(ui_->ArgumentEdit->text());
    if (GetExpression(std::string(), argument, nullptr, environment_, dataSets_)) {
        ui_->ArgumentEdit->setText(fromCp1251(argument));
    }
}

// Variables: the environment's entries with their values.
void TRptExpressionBuilder::VariableClick() {
    ui_->VariableList->clear();
    TRptEvEnvironment& env = environment();
    for (int i = 0; i < env.Count(); ++i) {
        ui_->VariableList->addItem(fromCp1251(env.Name(i)));
    }
    ui_->VariableValue->clear();
    ui_->Pages->setCurrentWidget(ui_->VariablePage);
    if (env.Count() > 0) {
        ui_->VariableList->setCurrentRow(0);
    }
}

void TRptExpressionBuilder::VariableSelected(int row) {
    TRptEvEnvironment& env = environment();
    if (row < 0 || row >= env.Count()) {
        ui_->VariableValue->clear();
        return;
    }
    TRptEvEmbeddedFunction* entry = env.Element(env.Name(row));
    ui_->VariableValue->setText(entry ? fromCp1251(entryValueText(*entry)) : QString());
}

void TRptExpressionBuilder::VariableOkClick() {
    const QListWidgetItem* item = ui_->VariableList->currentItem();
    const QString name = item != nullptr ? item->text() : QString();
    showMain();
    if (!name.isEmpty()) {
        InsertAtCursor(name);
    }
}

void TRptExpressionBuilder::ModifyVariablesClick() {
    EditEnvironment(environment_, this);
    VariableClick();
}

bool GetExpression(const std::string& heading, std::string& expression, QWidget* parent,
                   TRptEvEnvironment* environment,
                   const std::vector<const TRptDataSet*>& dataSets) {
    TRptExpressionBuilder builder(environment, dataSets, parent);
    if (!heading.empty()) {
        builder.SetHeading(heading);
    }
    builder.SetExpression(expression);
    builder.Run(parent != nullptr);
    if (builder.Result == TRptExpressionBuilder::Accepted) {
        expression = RemoveLineBreaks(builder.EditText());
        return true;
    }
    expression.clear();
    return false;
}

// ---- environment editor
// ---------------------------------------------------------------------------

TRptEnvironmentEditor::TRptEnvironmentEditor(TRptEvEnvironment* local, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::TRptEnvironmentEditor>()),
      local_(local == &RptGlobalEnvironment() ? nullptr : local) {
    ui_->setupUi(this);
    ui_->Grid->setHorizontalHeaderLabels(
        {QString::fromLatin1(RptText(64971)), QString::fromLatin1(RptText(65018))});
    ui_->Grid->horizontalHeader()->setStretchLastSection(true);
    ui_->Grid->verticalHeader()->hide();
    ui_->LocalRadio->setVisible(local_ != nullptr);
    ui_->GlobalRadio->setVisible(local_ != nullptr);
    ui_->LocalRadio->setChecked(local_ != nullptr);
    ui_->GlobalRadio->setChecked(local_ == nullptr);
    connect(ui_->LocalRadio, &QRadioButton::toggled, this, [this] { FillGrid(); });
    connect(ui_->Grid, &QTableWidget::cellChanged, this,
            [this](int row, int column) { GridCellChanged(row, column); });
    const auto on = [this](QPushButton* b, void (TRptEnvironmentEditor::*handler)()) {
        connect(b, &QPushButton::clicked, this, [this, handler] { (this->*handler)(); });
    };
    on(ui_->AddButton, &TRptEnvironmentEditor::AddClick);
    on(ui_->EditButton, &TRptEnvironmentEditor::EditClick);
    on(ui_->DeleteButton, &TRptEnvironmentEditor::DeleteClick);
    on(ui_->NewOk, &TRptEnvironmentEditor::NewOkClick);
    on(ui_->NewCancel, &TRptEnvironmentEditor::NewCancelClick);
    connect(ui_->CloseButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui_->BuilderButton, &QPushButton::clicked, this, [this] {
        std::string e = toCp1251(ui_->ExpressionEdit->text());
        if (GetExpression(std::string(), e, nullptr, &Current())) {
            ui_->ExpressionEdit->setText(fromCp1251(e));
        }
    });
    showNewEntry(false);
    FillGrid();
}

TRptEnvironmentEditor::~TRptEnvironmentEditor() = default;

TRptEvEnvironment& TRptEnvironmentEditor::Current() const {
    return local_ != nullptr && ui_->LocalRadio->isChecked() ? *local_ : RptGlobalEnvironment();
}

void TRptEnvironmentEditor::FillGrid() {
    filling_ = true;
    TRptEvEnvironment& env = Current();
    ui_->Grid->setRowCount(env.Count());
    for (int i = 0; i < env.Count(); ++i) {
        ui_->Grid->setItem(i, 0, new QTableWidgetItem(fromCp1251(env.Name(i))));
        ui_->Grid->setItem(i, 1, new QTableWidgetItem(fromCp1251(env.Expression(i))));
    }
    filling_ = false;
}

void TRptEnvironmentEditor::rebuild(
    const std::vector<std::pair<std::string, std::string>>& entries) {
    TRptEvEnvironment& env = Current();
    env.Clear();
    for (const auto& [name, expression] : entries) {
        env.Add(name, expression);
    }
}

void TRptEnvironmentEditor::GridCellChanged(int row, int column) {
    TRptEvEnvironment& env = Current();
    if (filling_ || row < 0 || row >= env.Count()) {
        return;
    }
    const std::string text = toCp1251(ui_->Grid->item(row, column)->text());
    // Entries of a prepared environment are in use by evaluators: they stay as they are.
    if (!env.Prepared()) {
        if (column == 1) {
            env.SetExpression(env.Name(row), text);
        } else if (!text.empty() && env.Element(text) == nullptr) {
            std::vector<std::pair<std::string, std::string>> entries;
            for (int i = 0; i < env.Count(); ++i) {
                entries.emplace_back(i == row ? text : env.Name(i), env.Expression(i));
            }
            rebuild(entries);
        }
    }
    FillGrid();
}

void TRptEnvironmentEditor::EditClick() {
    TRptEvEnvironment& env = Current();
    const int row = ui_->Grid->currentRow();
    if (row < 0 || row >= env.Count() || env.Prepared()) {
        return;
    }
    std::string expression = env.Expression(row);
    if (GetExpression(std::string(), expression, nullptr, &env)) {
        env.SetExpression(env.Name(row), expression);
        FillGrid();
    }
}

void TRptEnvironmentEditor::DeleteClick() {
    TRptEvEnvironment& env = Current();
    const int row = ui_->Grid->currentRow();
    if (row < 0 || row >= env.Count() || env.Prepared()) {
        return;
    }
    std::vector<std::pair<std::string, std::string>> entries;
    for (int i = 0; i < env.Count(); ++i) {
        if (i != row) {
            entries.emplace_back(env.Name(i), env.Expression(i));
        }
    }
    rebuild(entries);
    FillGrid();
}

void TRptEnvironmentEditor::showNewEntry(bool show) {
    ui_->NewEntryGroup->setVisible(show);
    for (QWidget* w : std::initializer_list<QWidget*>{ui_->Grid, ui_->AddButton, ui_->EditButton,
                                                      ui_->DeleteButton, ui_->CloseButton}) {
        w->setVisible(!show);
    }
    ui_->LocalRadio->setVisible(!show && local_ != nullptr);
    ui_->GlobalRadio->setVisible(!show && local_ != nullptr);
}

void TRptEnvironmentEditor::AddClick() {
    ui_->NameEdit->clear();
    ui_->ExpressionEdit->clear();
    showNewEntry(true);
}

void TRptEnvironmentEditor::NewOkClick() {
    const std::string name = toCp1251(ui_->NameEdit->text().trimmed());
    if (!name.empty()) {
        Current().Add(name, toCp1251(ui_->ExpressionEdit->text()));
    }
    showNewEntry(false);
    FillGrid();
}

void TRptEnvironmentEditor::NewCancelClick() {
    showNewEntry(false);
}

void EditEnvironment(TRptEvEnvironment* environment, QWidget* parent) {
    TRptEnvironmentEditor editor(environment, parent);
    editor.exec();
}
