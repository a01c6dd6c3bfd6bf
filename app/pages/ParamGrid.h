// A two-column value grid of the configurations page: column 0 names a parameter, column 1 shows
// its value. The grid is never edited in place; the page lays its own editors over a cell, so the
// grid only asks the page whether a cell may be selected and tells it when one was.
#pragma once

#include <QTableWidget>

#include <functional>

class TParamGrid : public QTableWidget {
    Q_OBJECT
public:
    explicit TParamGrid(QWidget* parent = nullptr);

    // Asked before a cell becomes current, by the mouse or the keyboard; false refuses it.
    std::function<bool(int column, int row)> CanSelectCell;
    // Told after a cell was selected.
    std::function<void(int column, int row)> CellSelected;

    // The cell's rectangle in the grid's own coordinates (the viewport's offset included).
    QRect CellRect(int column, int row) const;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    // Turning the wheel down does nothing here.
    void wheelEvent(QWheelEvent* event) override;

public:
    // Typed characters never move the selection: cells are chosen by the page's rules only.
    void keyboardSearch(const QString&) override {}
};
