// What the display controls share with the windows that hold them: event handler types in the
// shape the windows' handlers are written in, mouse buttons and shift states, and the colour and
// font conversions between the drawing layer and Qt widgets.
#pragma once

#include "platform/gfx/Canvas.h"
#include "platform/gfx/Color.h"

#include <QColor>
#include <QMouseEvent>
#include <QObject>

#include <cstdint>
#include <functional>

using TObject = QObject;
using platform::gfx::TColor;

using TNotifyEvent = std::function<void(TObject* Sender)>;

enum class TMouseButton { mbLeft, mbRight, mbMiddle };

enum TShiftFlag : std::uint8_t {
    ssShift = 1,
    ssAlt = 2,
    ssCtrl = 4,
    ssLeft = 8,
    ssRight = 16,
    ssMiddle = 32,
    ssDouble = 64
};
using TShiftState = std::uint8_t;

using TMouseEvent =
    std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;

enum class TAlignment { taLeftJustify, taRightJustify, taCenter };

// Shift state and button of a Qt mouse event.
TShiftState shiftStateOf(const QMouseEvent& event);
TMouseButton mouseButtonOf(const QMouseEvent& event);

QColor toQColor(TColor color);
