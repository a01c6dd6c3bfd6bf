#include "app/pages/ParamGrid.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QWheelEvent>

TParamGrid::TParamGrid(QWidget* parent) : QTableWidget(parent) {
    setColumnCount(2);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    setTabKeyNavigation(false);
}

QRect TParamGrid::CellRect(int column, int row) const {
    return visualRect(model()->index(row, column)).translated(viewport()->pos());
}

void TParamGrid::mousePressEvent(QMouseEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid() && CanSelectCell && !CanSelectCell(index.column(), index.row())) {
        event->accept();
        return;
    }
    QTableWidget::mousePressEvent(event);
    if (index.isValid() && CellSelected) {
        CellSelected(index.column(), index.row());
    }
}

QModelIndex TParamGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    const QModelIndex target = QTableWidget::moveCursor(action, modifiers);
    if (!target.isValid() || target == currentIndex()) {
        return target;
    }
    if (CanSelectCell && !CanSelectCell(target.column(), target.row())) {
        return currentIndex();
    }
    if (CellSelected) {
        CellSelected(target.column(), target.row());
    }
    return target;
}

void TParamGrid::wheelEvent(QWheelEvent* event) {
    if (event->angleDelta().y() < 0) {
        event->accept();
        return;
    }
    QTableWidget::wheelEvent(event);
}

#include "moc_ParamGrid.cpp"
