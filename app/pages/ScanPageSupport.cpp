#include "app/pages/ScanPageSupport.h"

#include "app/MainFormUnit.h"
#include "app/Texts.h"

#include "config/BaseConfigObjectUnit.h"
#include "platform/gfx/Color.h"
#include "surfaces/SegLcd.h"

#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QTableWidget>

#include <algorithm>

namespace app {

void StyleReadout(TSegLCD& lcd, int digits) {
    lcd.SetDigitNum(digits);
    lcd.SetDotDisplay(false);
    lcd.SetSegmentSize(2);
    lcd.SetDigitSpacing(5);
    lcd.SetGapX(1);
    lcd.SetGapY(1);
    lcd.SetDotSpacing(0);
    lcd.SetOnColor(platform::gfx::clRed);
    lcd.SetOffColor(0x1F1F1F);
    lcd.SetColor(platform::gfx::clBlack);
}

namespace {

void setCell(QTableWidget* grid, int row, int column, const QString& text) {
    if (QTableWidgetItem* item = grid->item(row, column)) {
        item->setText(text);
        return;
    }
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled);
    grid->setItem(row, column, item);
}

} // namespace

void FillParamNames(QTableWidget* grid, const TBaseConfigCell& names, std::span<const int> params) {
    // The panel's own header control names the list; the grid shows rows only.
    grid->horizontalHeader()->hide();
    grid->verticalHeader()->hide();
    grid->setRowCount(static_cast<int>(params.size()));
    if (grid->columnCount() < 2) {
        grid->setColumnCount(2);
    }
    for (std::size_t r = 0; r < params.size(); ++r) {
        grid->setRowHeight(static_cast<int>(r), 25);
        setCell(grid, static_cast<int>(r), 0, toQt(names.GetParamCaption(params[r])));
    }
}

void ClearParamValues(QTableWidget* grid, std::size_t rows) {
    for (std::size_t r = 0; r < rows && static_cast<int>(r) < grid->rowCount(); ++r) {
        if (QTableWidgetItem* item = grid->item(static_cast<int>(r), 1)) {
            item->setText({});
        }
    }
}

void FillParamValues(QTableWidget* grid, const TBaseConfigCell& config,
                     std::span<const int> params) {
    if (grid->rowCount() < static_cast<int>(params.size())) {
        // The panel's own header control names the list; the grid shows rows only.
    grid->horizontalHeader()->hide();
    grid->verticalHeader()->hide();
    grid->setRowCount(static_cast<int>(params.size()));
    }
    if (grid->columnCount() < 2) {
        grid->setColumnCount(2);
    }
    for (std::size_t r = 0; r < params.size(); ++r) {
        setCell(grid, static_cast<int>(r), 1, toQt(config.GetParamDisplayString(params[r])));
    }
}

TCursorMove MoveCursorPoint(int& lastX, int& lastY, int x, int y, int width, int height) {
    x = std::clamp(x, 0, std::max(width - 1, 0));
    y = std::clamp(y, 0, std::max(height - 1, 0));
    TCursorMove move{x != lastX, y != lastY};
    if (move.x) {
        lastX = x;
    }
    if (move.y) {
        lastY = y;
    }
    return move;
}

void BindScanPageActions(TGarnetwickMainForm& form, QObject* page, const TScanPageActions& names,
                         const std::function<int()>& current, const std::function<int()>& count,
                         const std::function<void(const char* action, int target)>& navigate,
                         const std::function<void()>& switchParams, QComboBox* selector) {
    const std::pair<const char*, std::function<int()>> moves[] = {
        {names.first, [] { return 0; }},
        {names.prev, [current] { return current() - 1; }},
        {names.next, [current] { return current() + 1; }},
        {names.last, [count] { return count() - 1; }},
    };
    for (const auto& [name, target] : moves) {
        QObject::connect(form.Action(name), &QAction::triggered, page,
                         [name = name, target = target, navigate] { navigate(name, target()); });
    }
    QAction* switchAction = form.Action(names.switchParams);
    switchAction->setCheckable(true);
    QObject::connect(switchAction, &QAction::triggered, page,
                     [switchParams] { runCommand(switchParams); });
    selector->setContextMenuPolicy(Qt::ActionsContextMenu);
    selector->addAction(form.Action(names.saveSelected));
    selector->addAction(form.Action(names.eraseSelected));
}

} // namespace app
