// What the bands and maps pages share: the look of their read-outs, their parameter lists, and
// the rule by which a press or drag on a view moves the cursors.
#pragma once

#include <cstddef>
#include <functional>
#include <span>

class QComboBox;
class QObject;
class QTableWidget;
class TBaseConfigCell;
class TSegLCD;

namespace app {

class TGarnetwickMainForm;

// The actions a record page binds to itself, by name.
struct TScanPageActions {
    const char* first;
    const char* prev;
    const char* next;
    const char* last;
    const char* switchParams;
    const char* saveSelected;
    const char* eraseSelected;
};

// Binds the navigation actions (each handed the index it goes to: first, current - 1,
// current + 1, last, of a list `current` and `count` tell), the switch-params action (checkable)
// and the selector's context menu (save and erase the selected record).
void BindScanPageActions(TGarnetwickMainForm& form, QObject* page, const TScanPageActions& names,
                         const std::function<int()>& current, const std::function<int()>& count,
                         const std::function<void(const char* action, int target)>& navigate,
                         const std::function<void()>& switchParams, QComboBox* selector);

// Red digits on black, as every read-out of the two pages shows them.
void StyleReadout(TSegLCD& lcd, int digits);

// The parameter list: column 0 names the parameters, column 1 shows one record's values.
void FillParamNames(QTableWidget* grid, const TBaseConfigCell& names, std::span<const int> params);
void ClearParamValues(QTableWidget* grid, std::size_t rows);
void FillParamValues(QTableWidget* grid, const TBaseConfigCell& config,
                     std::span<const int> params);

// Which coordinates of a mouse position moved a cursor. The position is first brought inside
// the view (a drag may leave it); a coordinate that repeats the last one moves nothing, one that
// differs becomes the last one.
struct TCursorMove {
    bool x = false;
    bool y = false;
};
TCursorMove MoveCursorPoint(int& lastX, int& lastY, int x, int y, int width, int height);

} // namespace app
