#include "surfaces/Controls.h"

TShiftState shiftStateOf(const QMouseEvent& event) {
    TShiftState s = 0;
    const Qt::KeyboardModifiers m = event.modifiers();
    if (m & Qt::ShiftModifier) {
        s |= ssShift;
    }
    if (m & Qt::AltModifier) {
        s |= ssAlt;
    }
    if (m & Qt::ControlModifier) {
        s |= ssCtrl;
    }
    const Qt::MouseButtons b = event.buttons();
    if (b & Qt::LeftButton) {
        s |= ssLeft;
    }
    if (b & Qt::RightButton) {
        s |= ssRight;
    }
    if (b & Qt::MiddleButton) {
        s |= ssMiddle;
    }
    if (event.type() == QEvent::MouseButtonDblClick) {
        s |= ssDouble;
    }
    return s;
}

TMouseButton mouseButtonOf(const QMouseEvent& event) {
    switch (event.button()) {
    case Qt::RightButton:
        return TMouseButton::mbRight;
    case Qt::MiddleButton:
        return TMouseButton::mbMiddle;
    default:
        return TMouseButton::mbLeft;
    }
}

QColor toQColor(TColor color) {
    const TColor c = platform::gfx::ColorToRGB(color);
    return QColor(platform::gfx::GetRValue(c), platform::gfx::GetGValue(c),
                  platform::gfx::GetBValue(c));
}
