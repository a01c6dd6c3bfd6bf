// The configurations page: the selector of the configuration list, the parameter grids with their
// in-place editors, the six parameter buttons and the comments of the shown configuration. The
// parameter area (buttons, grids, editors) lies under the page's background panel until a list
// is shown, so it is made the first time it is needed (a list arriving, a command or a view
// asking for it); what start-up did to it by then is done to it as it is made.
#pragma once

#include "app/ActionStates.h"
#include "app/RecordLists.h"
#include "app/pages/ParamEditing.h"

#include <QPoint>
#include <QString>
#include <QWidget>

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

class QAction;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QTableWidget;
class QToolButton;
class TParamGrid;

namespace Ui {
class TConfigurationsPage;
class TConfigDetails;
} // namespace Ui

namespace platform::ui {
class QtMemo;
}

namespace app {

class TGarnetwickMainForm;
using platform::ui::QtMemo;

// What the page needs of the window around it. The main window answers through its public
// members; tests answer with a small fixture.
class TConfigPageHost {
public:
    virtual ~TConfigPageHost() = default;
    virtual TConfigList& Configs() = 0;
    // The neutral configuration the editors are prepared from.
    virtual const TBaseConfigCell& ScratchConfig() = 0;
    virtual QAction* Action(std::string_view name) = 0;
    virtual void UpdateActionStates() = 0;
    virtual void SetStatusPanel1(const QString& text) = 0;
    // Empties a grid's selection; null when the grids are not made yet (nothing to empty).
    virtual void ClearGridSelection(QWidget* grid) = 0;
    // Runs a command with the action's tool button held down.
    virtual void RunHeld(QAction* action, const std::function<void()>& command) = 0;
    // Shows the string-parameter dialog prepared by `setup` at the pointer; true and the edited
    // text after OK.
    virtual bool EditString(const TNameEditSetup& setup, QPoint pointer, std::string& text) = 0;
};

class TConfigurationsPage : public QWidget {
    Q_OBJECT
public:
    TConfigurationsPage(TGarnetwickMainForm& form, QWidget* parent = nullptr);
    TConfigurationsPage(std::unique_ptr<TConfigPageHost> host, QWidget* parent = nullptr);
    ~TConfigurationsPage() override;

    // Start-up: texts, grid sizes, the parameter buttons' tags and the grids' editor items.
    void ApplyTexts();
    void LayoutGrids();
    void SetupParamControls();
    // Empties the selection of the measure-conditions grid and the four group grids.
    void ClearGridSelections();

    void RefreshConfigList();
    void ShowConfig(int index);
    // Column 1 and 2 of every selector row, or of the current row only.
    void FillConfigSelector(bool currentOnly);
    void FillMeasureConditions(int index);
    void FillMeasureConditionCaptions(const TBaseConfigCell& config);
    void UpdateParamButtonImages(int index);

    void ApplyStates(const TActionStates& states);
    void SetParamButtonsFlat(bool flat);
    // Ctrl+1..6: a click on parameter button 0..5 when it is enabled.
    void ClickParamButton(int index);

    // The common commit path of every grid edit (text as typed, Windows-1251).
    bool ApplyConfigParamText(const std::string& text, int param);
    // The rename dialog; `name` in and out (Windows-1251).
    bool EditConfigName(std::string& name);

    // ---- handlers (also driven by tests)
    // Rows and columns are the grid's own (selector row 0 is configuration 1).
    void ConfigSelectorStringGridSelectCell(int column, int row);
    // True when the key is used up.
    bool ConfigSelectorStringGridKeyDown(int key);
    void ConfigSelectorStringGridDblClick(int column, int row);
    void ConfigSelectorHeaderDblClick(int column);
    void FirstConfigActionExecute();
    void PrevConfigActionExecute();
    void NextConfigActionExecute();
    void LastConfigActionExecute();
    void ScreenTypeParamButtonClick(int button);
    void CommentsConfigDetailsMemoChange();
    void ParamGridValidate(ParamGrid grid, int row);
    // True when the key is swallowed.
    bool ParamGridKeyDown(ParamGrid grid, int key);
    bool ParamGridSelectCell(ParamGrid grid, int column, int row);
    void ParamGridCellSelected(ParamGrid grid, int column, int row);
    // The leave routine of a grid's editors (runs once per edit).
    void ParamEditorExit(ParamGrid grid);
    // Enter and Esc in an editor; true when the key was handled.
    bool ParamEditorKeyDown(ParamGrid grid, int key);
    // Leaves an open editor as the focus leaving it would, while its configuration is still the
    // shown one: a command must not carry a typed value over to another configuration.
    void LeaveParamEditors();

    // ---- views for the window and the tests
    QTableWidget* SelectorGrid() const;
    TParamGrid* Grid(ParamGrid grid) const;
    QLineEdit* MaskEdit(ParamGrid grid) const;
    QComboBox* ComboBox(ParamGrid grid) const;
    QToolButton* ParamButton(int index) const;
    QPlainTextEdit* CommentsMemo() const;
    // The parameter a grid row edits (NoParam for none).
    std::uint16_t RowParam(ParamGrid grid, int row) const;
    int ParamButtonImage(int index) const;
    QString CellText(ParamGrid grid, int row) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct EditSession {
        bool active = false;
        bool combo = false;
        int row = -1;
        std::uint16_t param = NoParam;
        int cancelMark = 0;
    };

    // What start-up has done to the parameter area while it was not made yet.
    struct PendingDetails {
        bool texts = false;
        bool layout = false;
        bool captions = false;
        bool valuesCleared = false;
        std::optional<bool> buttonsEnabled;
        std::optional<bool> buttonsFlat;
    };

    // Makes the parameter area when it is not made yet.
    void ensureDetails();
    void ensureDetails() const;
    void applyButtonHints();
    void layoutParamGrids();
    void writeParamCaptions();
    void clearParamValues();

    TConfigList& configs() const;
    TBaseConfigCell* currentConfig() const;
    void markUnsaved();
    void connectSignals();
    void writeGroupValues(const TBaseConfigCell* config);
    void setCell(ParamGrid grid, int row, int column, const QString& text);
    void rewriteCell(ParamGrid grid, int row);
    void fillSelectorRow(int row);
    void setComments(const TBaseConfigCell& config);
    void clearEditors();
    int gridIndexOf(QObject* object, bool& isEditor, bool& isCombo) const;

    std::unique_ptr<TConfigPageHost> host_;
    std::unique_ptr<Ui::TConfigurationsPage> ui_;
    std::unique_ptr<Ui::TConfigDetails> details_;
    PendingDetails pending_;
    std::array<TParamGrid*, ParamGridCount> grids_{};
    std::array<QLineEdit*, ParamGridCount> maskEdits_{};
    std::array<QComboBox*, ParamGridCount> combos_{};
    std::array<QToolButton*, 6> buttons_{};
    std::array<int, 6> buttonImages_{};
    std::array<EditSession, ParamGridCount> sessions_{};
    // The measure-conditions rows of the configuration shown; switched only when one is shown.
    std::array<std::uint16_t, 4> measureRows_{};
    std::map<int, TEditorItem> editorItems_;
    std::map<int, TParamEditSpec> editSpecs_;
    std::unique_ptr<QtMemo> commentsMemo_;
    bool commentsIgnore_ = false;
    bool fittingComments_ = false;
};

} // namespace app
