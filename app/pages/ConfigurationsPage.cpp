#include "app/pages/ConfigurationsPage.h"

#include "app/GridLayout.h"
#include "app/Texts.h"
#include "platform/ui/QtMemo.h"
#include "app/pages/ParamGrid.h"
#include "ui_ConfigDetails.h"
#include "ui_ConfigurationsPage.h"

#include "config/LocalStringsUnit.h"
#include "link/DOR4471IZOZudivarudaZira.h"
#include "platform/text/Numbers.h"
#include "platform/ui/Memo.h"
#include "platform/ui/MessageBox.h"
#include "surfaces/ButtonImages.h"

#include <QAction>
#include <QComboBox>
#include <QCursor>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QToolBar>
#include <QToolButton>
#include <QValidator>

namespace app {

namespace {

namespace text = platform::text;

constexpr int VkBack = 8;
constexpr int VkReturn = 13;
constexpr int VkEscape = 27;
constexpr int VkLeft = 37;
constexpr int VkRight = 39;

int virtualKey(const QKeyEvent* e) {
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return VkReturn;
    case Qt::Key_Escape:
        return VkEscape;
    case Qt::Key_Left:
        return VkLeft;
    case Qt::Key_Right:
        return VkRight;
    case Qt::Key_Backspace:
        return VkBack;
    default:
        return e->key();
    }
}

// A key that types a character (as opposed to moving, confirming or cancelling).
bool typesCharacter(const QKeyEvent* e) {
    const QString t = e->text();
    if (t.isEmpty()) {
        return false;
    }
    const QChar c = t.at(0);
    return c == QChar('\b') || c.isPrint();
}

// Keeps a mask edit within what its parameter can hold, for typed and pasted text alike.
class ParamTextValidator : public QValidator {
public:
    ParamTextValidator(TParamEditSpec rule, QObject* parent) : QValidator(parent), spec_(rule) {}
    State validate(QString& input, int&) const override {
        return ParamEditTextAcceptable(fromQt(input), spec_, text::formatSettings()) ? Acceptable
                                                                                     : Invalid;
    }

private:
    TParamEditSpec spec_;
};

} // namespace

TConfigurationsPage::TConfigurationsPage(std::unique_ptr<TConfigPageHost> host, QWidget* parent)
    : QWidget(parent), host_(std::move(host)), ui_(std::make_unique<Ui::TConfigurationsPage>()) {
    ui_->setupUi(this);
    for (const char* name : {"ReceiveConfigsAction", "SendConfigsAction", "OpenConfigsAction",
                             "SaveConfigsAction", "FirstConfigAction", "PrevConfigAction",
                             "NextConfigAction", "LastConfigAction", "DisconnectDeviceAction"}) {
        if (QAction* a = host_->Action(name)) {
            ui_->ConfigsToolBar->addAction(a);
        }
    }
    measureRows_ = MeasureConditionRows(0);
    commentsMemo_ = std::make_unique<QtMemo>(ui_->CommentsConfigDetailsMemo);
    commentsMemo_->OnChange = [this] { CommentsConfigDetailsMemoChange(); };

    QTableWidget* selector = ui_->ConfigSelectorStringGrid;
    selector->setColumnCount(3);
    selector->setRowCount(1);
    selector->setEditTriggers(QAbstractItemView::NoEditTriggers);
    selector->setSelectionBehavior(QAbstractItemView::SelectRows);
    selector->setSelectionMode(QAbstractItemView::SingleSelection);
    selector->verticalHeader()->hide();
    selector->verticalHeader()->setDefaultSectionSize(24);
    selector->horizontalHeader()->setSectionsClickable(false);
    selector->horizontalHeader()->setHighlightSections(false);
    selector->setTabKeyNavigation(false);

    connectSignals();
}

TConfigurationsPage::~TConfigurationsPage() = default;

void TConfigurationsPage::connectSignals() {
    QTableWidget* selector = ui_->ConfigSelectorStringGrid;
    connect(selector, &QTableWidget::currentCellChanged, this,
            [this](int row, int column, int previousRow, int) {
                if (row >= 0 && row != previousRow) {
                    ConfigSelectorStringGridSelectCell(column, row);
                }
            });
    connect(selector, &QTableWidget::cellDoubleClicked, this,
            [this](int row, int column) { ConfigSelectorStringGridDblClick(column, row); });
    connect(selector->horizontalHeader(), &QHeaderView::sectionDoubleClicked, this,
            [this](int column) { ConfigSelectorHeaderDblClick(column); });
    selector->installEventFilter(this);

    const std::array<std::pair<const char*, void (TConfigurationsPage::*)()>, 4> moves = {{
        {"FirstConfigAction", &TConfigurationsPage::FirstConfigActionExecute},
        {"PrevConfigAction", &TConfigurationsPage::PrevConfigActionExecute},
        {"NextConfigAction", &TConfigurationsPage::NextConfigActionExecute},
        {"LastConfigAction", &TConfigurationsPage::LastConfigActionExecute},
    }};
    for (const auto& [name, handler] : moves) {
        if (QAction* a = host_->Action(name)) {
            connect(a, &QAction::triggered, this, [this, h = handler] { (this->*h)(); });
        }
    }
}

// ---- the list -------------------------------------------------------------------------------

TConfigList& TConfigurationsPage::configs() const {
    return host_->Configs();
}

TBaseConfigCell* TConfigurationsPage::currentConfig() const {
    return configs().current();
}

void TConfigurationsPage::markUnsaved() {
    configs().Unsaved = true;
}

void TConfigurationsPage::RefreshConfigList() {
    QTableWidget* selector = ui_->ConfigSelectorStringGrid;
    const QSignalBlocker block(selector);
    const TConfigList& list = configs();
    if (list.empty()) {
        ui_->SetupBckGrndPanel->show();
        ui_->SetupBckGrndPanel->raise();
        ui_->SetupBckGrndImage->show();
        selector->clearContents();
        selector->setRowCount(1);
    } else {
        selector->setRowCount(list.Count);
        for (int r = 0; r < list.Count; ++r) {
            auto* number = new QTableWidgetItem(QString::number(r + 1));
            selector->setItem(r, 0, number);
        }
        FillConfigSelector(false);
        ui_->SetupBckGrndImage->hide();
        ui_->SetupBckGrndPanel->lower();
        ui_->SetupBckGrndPanel->hide();
    }
    ShowConfig(0);
}

void TConfigurationsPage::fillSelectorRow(int row) {
    QTableWidget* selector = ui_->ConfigSelectorStringGrid;
    const TConfigList& list = configs();
    if (row < 0 || row >= list.Count || row >= selector->rowCount()) {
        return;
    }
    const TBaseConfigCell* c = list.Records[static_cast<std::size_t>(row)].get();
    selector->setItem(row, 1, new QTableWidgetItem(c ? toQt(c->ConfigName) : QString()));
    selector->setItem(
        row, 2, new QTableWidgetItem(c && c->Modified != 0 ? QStringLiteral("*") : QString()));
}

void TConfigurationsPage::FillConfigSelector(bool currentOnly) {
    if (currentOnly) {
        fillSelectorRow(configs().Current);
        return;
    }
    for (int r = 0; r < configs().Count; ++r) {
        fillSelectorRow(r);
    }
}

void TConfigurationsPage::ShowConfig(int index) {
    TConfigList& list = configs();
    if (list.empty()) {
        ui_->SetupPageCaptionLabel->setText(caption(101));
        ui_->ConfigDetailsCaptionPanel->setText(caption(101));
        if (details_) {
            clearParamValues();
        } else {
            pending_.valuesCleared = true;
        }
        commentsIgnore_ = true;
        commentsMemo_->loadText({});
        commentsIgnore_ = false;
        host_->SetStatusPanel1(QString());
        return;
    }
    if (index < 0 || index >= list.Count || !list.Records[static_cast<std::size_t>(index)]) {
        host_->SetStatusPanel1(QString());
        return;
    }
    ensureDetails();
    const TBaseConfigCell& c = *list.Records[static_cast<std::size_t>(index)];
    QTableWidget* selector = ui_->ConfigSelectorStringGrid;
    if (selector->currentRow() != index ||
        !selector->selectionModel()->isRowSelected(index, QModelIndex())) {
        const QSignalBlocker block(selector);
        selector->setCurrentCell(index, 0);
        selector->selectRow(index);
    }
    list.Current = static_cast<std::uint16_t>(index);
    measureRows_ = MeasureConditionRows(c.ScaleDimension);
    FillMeasureConditionCaptions(c);
    FillMeasureConditions(index);
    writeGroupValues(&c);
    if (list.Origin == OriginKind::Instrument) {
        ui_->SetupPageCaptionLabel->setText(caption(8));
    } else if (list.Origin == OriginKind::File) {
        ui_->SetupPageCaptionLabel->setText(caption(57) + QStringLiteral(":  ") + list.OriginLabel);
    }
    UpdateParamButtonImages(index);
    setComments(c);
    ui_->ConfigDetailsCaptionPanel->setText(caption(25) + QStringLiteral(" ") +
                                            QString::number(index + 1) + QStringLiteral(":  ") +
                                            toQt(c.ConfigName));
    host_->SetStatusPanel1(QString());
}

void TConfigurationsPage::setComments(const TBaseConfigCell& c) {
    commentsIgnore_ = true;
    std::vector<std::string> lines;
    if (c.ConfigStringsCount != 0) {
        const std::size_t n = std::min<std::size_t>(c.ConfigStringsCount, c.ConfigStrings.size());
        lines.assign(c.ConfigStrings.begin(), c.ConfigStrings.begin() + static_cast<long>(n));
    }
    commentsMemo_->loadText(platform::ui::TextMemo::joinLines(lines));
    ui_->CommentsConfigDetailsMemo->document()->setModified(false);
    commentsIgnore_ = false;
}

void TConfigurationsPage::clearEditors() {
    for (int g = 0; g < ParamGridCount; ++g) {
        maskEdits_[g]->clear();
        combos_[g]->setCurrentIndex(-1);
    }
}

void TConfigurationsPage::setCell(ParamGrid grid, int row, int column, const QString& text) {
    ensureDetails();
    TParamGrid* g = grids_[static_cast<int>(grid)];
    if (row < 0 || row >= g->rowCount()) {
        return;
    }
    if (QTableWidgetItem* item = g->item(row, column)) {
        item->setText(text);
    } else {
        g->setItem(row, column, new QTableWidgetItem(text));
    }
}

QString TConfigurationsPage::CellText(ParamGrid grid, int row) const {
    ensureDetails();
    const QTableWidgetItem* item = grids_[static_cast<int>(grid)]->item(row, 1);
    return item ? item->text() : QString();
}

std::uint16_t TConfigurationsPage::RowParam(ParamGrid grid, int row) const {
    if (grid == ParamGrid::MeasureConditions) {
        return row >= 0 && row < 4 ? measureRows_[static_cast<std::size_t>(row)] : NoParam;
    }
    const auto rows = GroupGridRows(grid);
    return row >= 0 && row < static_cast<int>(rows.size()) ? rows[static_cast<std::size_t>(row)]
                                                           : NoParam;
}

void TConfigurationsPage::writeGroupValues(const TBaseConfigCell* c) {
    for (int g = 1; g < ParamGridCount; ++g) {
        const auto grid = static_cast<ParamGrid>(g);
        for (int r = 0; r < ParamGridRowCount(grid); ++r) {
            const std::uint16_t p = RowParam(grid, r);
            setCell(grid, r, 0, toQt(host_->ScratchConfig().GetParamCaption(p)));
            setCell(grid, r, 1, c ? toQt(c->GetParamDisplayString(p)) : QString());
        }
    }
}

void TConfigurationsPage::FillMeasureConditions(int index) {
    const TConfigList& list = configs();
    const TBaseConfigCell* c = index >= 0 && index < list.Count
                                   ? list.Records[static_cast<std::size_t>(index)].get()
                                   : nullptr;
    for (int r = 0; r < 4; ++r) {
        setCell(ParamGrid::MeasureConditions, r, 1,
                c ? toQt(c->GetParamDisplayString(measureRows_[static_cast<std::size_t>(r)]))
                  : QString());
    }
}

void TConfigurationsPage::FillMeasureConditionCaptions(const TBaseConfigCell& c) {
    for (int r = 0; r < 4; ++r) {
        setCell(ParamGrid::MeasureConditions, r, 0,
                toQt(c.GetParamCaption(measureRows_[static_cast<std::size_t>(r)])));
    }
}

void TConfigurationsPage::UpdateParamButtonImages(int index) {
    const TConfigList& list = configs();
    if (index < 0 || index >= list.Count || !list.Records[static_cast<std::size_t>(index)]) {
        return;
    }
    ensureDetails();
    const TBaseConfigCell& c = *list.Records[static_cast<std::size_t>(index)];
    for (std::size_t i = 0; i < buttons_.size(); ++i) {
        const int p = buttons_[i]->property("Tag").toInt();
        const int image = ParamButtonImageIndex(p, c.GetParamValue(p));
        if (image != buttonImages_[i] || buttons_[i]->icon().isNull()) {
            buttonImages_[i] = image;
            buttons_[i]->setIcon(QIcon(surfaces::ControlButtonImage(image)));
        }
    }
}

int TConfigurationsPage::ParamButtonImage(int index) const {
    return index >= 0 && index < static_cast<int>(buttonImages_.size())
               ? buttonImages_[static_cast<std::size_t>(index)]
               : 0;
}

// ---- commands -------------------------------------------------------------------------------

void TConfigurationsPage::ClickParamButton(int index) {
    ensureDetails();
    if (index >= 0 && index < static_cast<int>(buttons_.size()) &&
        buttons_[static_cast<std::size_t>(index)]->isEnabled()) {
        buttons_[static_cast<std::size_t>(index)]->click();
    }
}

void TConfigurationsPage::ScreenTypeParamButtonClick(int button) {
    ensureDetails();
    TBaseConfigCell* c = currentConfig();
    if (configs().empty() || !c || button < 0 || button >= static_cast<int>(buttons_.size())) {
        return;
    }
    c->CycleParam(buttons_[static_cast<std::size_t>(button)]->property("Tag").toInt());
    markUnsaved();
    UpdateParamButtonImages(configs().Current);
    FillConfigSelector(true);
}

void TConfigurationsPage::FirstConfigActionExecute() {
    host_->RunHeld(host_->Action("FirstConfigAction"), [this] {
        ShowConfig(0);
        host_->UpdateActionStates();
    });
}

void TConfigurationsPage::PrevConfigActionExecute() {
    host_->RunHeld(host_->Action("PrevConfigAction"), [this] {
        ShowConfig(configs().Current - 1);
        host_->UpdateActionStates();
    });
}

void TConfigurationsPage::NextConfigActionExecute() {
    host_->RunHeld(host_->Action("NextConfigAction"), [this] {
        ShowConfig(configs().Current + 1);
        host_->UpdateActionStates();
    });
}

void TConfigurationsPage::LastConfigActionExecute() {
    host_->RunHeld(host_->Action("LastConfigAction"), [this] {
        ShowConfig(configs().Count - 1);
        host_->UpdateActionStates();
    });
}

void TConfigurationsPage::ConfigSelectorStringGridSelectCell(int, int row) {
    if (!configs().empty()) {
        ShowConfig(row);
        host_->UpdateActionStates();
    }
}

bool TConfigurationsPage::ConfigSelectorStringGridKeyDown(int key) {
    // The selector moves by rows only; a sideways key must not show another configuration.
    return key == VkLeft || key == VkRight;
}

void TConfigurationsPage::ConfigSelectorStringGridDblClick(int column, int) {
    TConfigList& list = configs();
    TBaseConfigCell* c = currentConfig();
    if (list.empty() || !c) {
        return;
    }
    if (column == 1) {
        std::string edited = c->ConfigName;
        if (EditConfigName(edited) && NameChanged(c->ConfigName, edited)) {
            c->ConfigName = ConfirmedName(edited);
            c->Modified = 1;
            markUnsaved();
            FillConfigSelector(true);
            ShowConfig(list.Current);
        }
    } else if (column == 2) {
        c->Modified = c->Modified != 0 ? 0 : 1;
        markUnsaved();
        FillConfigSelector(true);
    }
}

void TConfigurationsPage::ConfigSelectorHeaderDblClick(int column) {
    TConfigList& list = configs();
    if (column != 2 || list.empty() || !list.Records[0]) {
        return;
    }
    const std::uint8_t mark = list.Records[0]->Modified != 0 ? 0 : 1;
    for (int i = 0; i < list.Count; ++i) {
        if (TBaseConfigCell* c = list.Records[static_cast<std::size_t>(i)].get()) {
            c->Modified = mark;
        }
    }
    markUnsaved();
    FillConfigSelector(false);
}

bool TConfigurationsPage::EditConfigName(std::string& name) {
    const TBaseConfigCell* c = currentConfig();
    if (configs().empty() || !c) {
        return false;
    }
    TNameEditSetup setup = NameEditSetup(*c);
    setup.text = name;
    std::string edited;
    if (!host_->EditString(setup, QCursor::pos(), edited)) {
        return false;
    }
    name = edited;
    return true;
}

void TConfigurationsPage::CommentsConfigDetailsMemoChange() {
    if (fittingComments_) {
        // The fitting routine's own change: it only takes back its mark.
        FitMemoText(commentsMemo_.get(), 0, 0, MaxConfigStrings);
        return;
    }
    if (commentsIgnore_ || !ui_->CommentsConfigDetailsMemo->document()->isModified()) {
        return;
    }
    // A configuration keeps at most 20 comment lines; a longer list would not load back whole.
    fittingComments_ = true;
    FitMemoText(commentsMemo_.get(), 0, 0, MaxConfigStrings);
    fittingComments_ = false;
    TBaseConfigCell* c = currentConfig();
    if (configs().empty() || !c) {
        return;
    }
    std::vector<std::string> lines = platform::ui::TextMemo::splitLines(commentsMemo_->text());
    if (lines.size() > static_cast<std::size_t>(MaxConfigStrings)) {
        lines.resize(static_cast<std::size_t>(MaxConfigStrings));
    }
    c->ConfigStrings = std::move(lines);
    c->ConfigStringsCount = static_cast<std::uint16_t>(c->ConfigStrings.size());
    markUnsaved();
}

// ---- grid editing ---------------------------------------------------------------------------

bool TConfigurationsPage::ApplyConfigParamText(const std::string& typed, int param) {
    TConfigList& list = configs();
    TBaseConfigCell* c = currentConfig();
    if (list.empty() || !c) {
        FillConfigSelector(true);
        return true;
    }
    if (param < 0 || param >= ParamCount) {
        return false;
    }
    // Quantised displays (strobe times, millimetres) would drift if an unchanged text were
    // stored again.
    if (typed == c->GetParamDisplayString(param)) {
        return true;
    }
    const std::string prepared = StripThousandSeparators(typed, text::formatSettings());
    std::string message;
    bool accepted = true;
    try {
        c->SetParamDisplayString(param, prepared);
    } catch (const std::exception& e) {
        // A value too wide for its field: refused like a value out of range.
        message = e.what();
        accepted = false;
    }
    markUnsaved();
    std::string validation;
    try {
        if (!c->ValidateParam(param, validation) && accepted) {
            message = validation;
            accepted = false;
        }
    } catch (const std::exception& e) {
        message = accepted ? e.what() : message;
        accepted = false;
    }
    if (!accepted) {
        platform::ui::messageBoxes().show(message, GetErrMsgString(10),
                                          platform::ui::MessageIcon::Error,
                                          platform::ui::MessageButtons::Ok);
        FillConfigSelector(true);
        return false;
    }
    if (param == ASCAN_SCALE_DIMENSION) {
        FillMeasureConditionCaptions(*c);
        FillMeasureConditions(list.Current);
    }
    FillConfigSelector(true);
    return true;
}

void TConfigurationsPage::rewriteCell(ParamGrid grid, int row) {
    const TBaseConfigCell* c = currentConfig();
    if (configs().empty() || !c) {
        setCell(grid, row, 1, QString());
        return;
    }
    if (grid == ParamGrid::MeasureConditions) {
        // The four values depend on each other.
        FillMeasureConditions(configs().Current);
        return;
    }
    setCell(grid, row, 1, toQt(c->GetParamDisplayString(RowParam(grid, row))));
}

void TConfigurationsPage::ParamGridValidate(ParamGrid grid, int row) {
    ensureDetails();
    if (!configs().empty() && row >= 0 && row < ParamGridRowCount(grid) &&
        RowParam(grid, row) != NoParam) {
        ApplyConfigParamText(fromQt(CellText(grid, row)), RowParam(grid, row));
        rewriteCell(grid, row);
    } else {
        setCell(grid, row, 1, QString());
    }
    host_->ClearGridSelection(grids_[static_cast<int>(grid)]);
}

bool TConfigurationsPage::ParamGridKeyDown(ParamGrid grid, int key) {
    ensureDetails();
    if (grid == ParamGrid::MeasureConditions || configs().empty()) {
        return true;
    }
    if (key == VkReturn) {
        ParamGridValidate(grid, grids_[static_cast<int>(grid)]->currentRow());
        return true;
    }
    return false;
}

bool TConfigurationsPage::ParamGridSelectCell(ParamGrid grid, int column, int row) {
    return USBBusy == 0 && column == 1 && RowParam(grid, row) != NoParam;
}

void TConfigurationsPage::ParamGridCellSelected(ParamGrid grid, int column, int row) {
    ensureDetails();
    const int g = static_cast<int>(grid);
    const std::uint16_t p = RowParam(grid, row);
    const auto found = editorItems_.find(p);
    if (column != 1 || found == editorItems_.end()) {
        return;
    }
    const TEditorItem& item = found->second;
    TParamGrid* view = grids_[g];
    const QRect cell = view->CellRect(column, row);
    const QRect place(cell.left() + view->x() + 1, cell.top() + view->y() + 1,
                      cell.right() + 1 - cell.left(), cell.bottom() + 1 - cell.top());
    EditSession& s = sessions_[g];
    if (item.PickList.empty()) {
        if (grid == ParamGrid::MeasureConditions && item.ReadOnly) {
            return;
        }
        QLineEdit* edit = maskEdits_[g];
        delete edit->validator();
        edit->setValidator(new ParamTextValidator(editSpecs_[p], edit));
        edit->setGeometry(place);
        edit->setText(CellText(grid, row));
        s = {true, false, row, p, 0};
        edit->show();
        edit->raise();
        edit->setFocus();
        edit->selectAll();
    } else {
        QComboBox* combo = combos_[g];
        const QSignalBlocker block(combo);
        combo->setGeometry(place);
        combo->clear();
        QStringList items;
        for (const std::string& choice : item.PickList) {
            items << toQt(choice);
        }
        combo->addItems(items);
        combo->setCurrentIndex(static_cast<int>(items.indexOf(CellText(grid, row))));
        s = {true, true, row, p, 0};
        combo->show();
        combo->raise();
        combo->setFocus();
    }
}

void TConfigurationsPage::ParamEditorExit(ParamGrid grid) {
    const int g = static_cast<int>(grid);
    EditSession& s = sessions_[g];
    if (!s.active) {
        return;
    }
    s.active = false;
    QWidget* editor = s.combo ? static_cast<QWidget*>(combos_[g]) : maskEdits_[g];
    if (s.cancelMark == 0) {
        // A drop-down list left without a choice keeps the value.
        const QString typed = !s.combo                          ? maskEdits_[g]->text()
                              : combos_[g]->currentIndex() >= 0 ? combos_[g]->currentText()
                                                                : CellText(grid, s.row);
        setCell(grid, s.row, 1, typed);
        editor->hide();
        grids_[g]->setFocus();
        ApplyConfigParamText(fromQt(typed), s.param);
        rewriteCell(grid, s.row);
    }
    editor->hide();
    host_->ClearGridSelection(grids_[g]);
    if (!s.combo && grid != ParamGrid::MeasureConditions && grid != ParamGrid::Third) {
        FillMeasureConditions(configs().Current);
    }
    s.cancelMark = 0;
}

void TConfigurationsPage::LeaveParamEditors() {
    for (int g = 0; g < ParamGridCount; ++g) {
        if (sessions_[g].active) {
            ParamEditorExit(static_cast<ParamGrid>(g));
        }
    }
}

bool TConfigurationsPage::ParamEditorKeyDown(ParamGrid grid, int key) {
    ensureDetails();
    const int g = static_cast<int>(grid);
    EditSession& s = sessions_[g];
    if (key == VkReturn) {
        ParamEditorExit(grid);
        return true;
    }
    if (key == VkEscape) {
        s.cancelMark = 1;
        (s.combo ? static_cast<QWidget*>(combos_[g]) : maskEdits_[g])->hide();
        grids_[g]->setFocus();
        // Hiding a focused editor may already have left it; otherwise leave it now.
        ParamEditorExit(grid);
        return true;
    }
    return false;
}

// ---- event routing ----------------------------------------------------------------------------

int TConfigurationsPage::gridIndexOf(QObject* object, bool& isEditor, bool& isCombo) const {
    for (int g = 0; g < ParamGridCount; ++g) {
        if (object == grids_[g]) {
            isEditor = false;
            return g;
        }
        if (object == maskEdits_[g] || object == combos_[g]) {
            isEditor = true;
            isCombo = object == combos_[g];
            return g;
        }
    }
    return -1;
}

bool TConfigurationsPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui_->ConfigSelectorStringGrid) {
        if (event->type() == QEvent::KeyPress) {
            return ConfigSelectorStringGridKeyDown(virtualKey(static_cast<QKeyEvent*>(event)));
        }
        return QWidget::eventFilter(watched, event);
    }
    bool isEditor = false;
    bool isCombo = false;
    const int g = gridIndexOf(watched, isEditor, isCombo);
    if (g < 0) {
        return QWidget::eventFilter(watched, event);
    }
    const auto grid = static_cast<ParamGrid>(g);
    if (event->type() == QEvent::FocusOut && isEditor) {
        // The drop-down list taking the focus is not leaving the editor.
        if (static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason &&
            sessions_[g].combo == isCombo) {
            ParamEditorExit(grid);
        }
        return false;
    }
    if (event->type() != QEvent::KeyPress) {
        return QWidget::eventFilter(watched, event);
    }
    auto* key = static_cast<QKeyEvent*>(event);
    const int vk = virtualKey(key);
    if (isEditor) {
        if (sessions_[g].combo == isCombo && ParamEditorKeyDown(grid, vk)) {
            return true;
        }
        if (!isCombo && typesCharacter(key)) {
            return !ParamKeyPasses(key->text().at(0).unicode(), true, text::formatSettings());
        }
        return false;
    }
    if (ParamGridKeyDown(grid, vk)) {
        return true;
    }
    return typesCharacter(key) &&
           !ParamKeyPasses(key->text().at(0).unicode(), false, text::formatSettings());
}

} // namespace app

// Compiled here rather than with the window's other meta-objects, so the page links on its own.
#include "moc_ConfigurationsPage.cpp"
