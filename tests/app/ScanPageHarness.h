// The bands and maps pages in the real window: mouse events sent straight to a view (QTest's
// mouse functions add moves of their own), and what a view shows.
#pragma once

#include "MainWindowHarness.h"

#include "surfaces/SurfaceViews.h"

#include <QMouseEvent>

#include <set>
#include <vector>

class ScanPageTest : public MainWindowTest {
protected:
    static void mouse(TSurfaceView* view, QEvent::Type type, int x, int y,
                      Qt::MouseButton button = Qt::LeftButton) {
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton
                                      : type == QEvent::MouseMove        ? Qt::MouseButtons(button)
                                                                         : button;
        QMouseEvent e(type, QPointF(x, y), view->mapToGlobal(QPointF(x, y)),
                      type == QEvent::MouseMove ? Qt::NoButton : button, held, Qt::NoModifier);
        QApplication::sendEvent(view, &e);
    }
    static void press(TSurfaceView* v, int x, int y, Qt::MouseButton b = Qt::LeftButton) {
        mouse(v, QEvent::MouseButtonPress, x, y, b);
    }
    static void move(TSurfaceView* v, int x, int y, Qt::MouseButton held = Qt::LeftButton) {
        mouse(v, QEvent::MouseMove, x, y, held);
    }
    static void release(TSurfaceView* v, int x, int y, Qt::MouseButton b = Qt::LeftButton) {
        mouse(v, QEvent::MouseButtonRelease, x, y, b);
    }
    // What the view shows now.
    static std::vector<std::uint32_t> picture(const TSurfaceView* v) {
        return v->PresentedImage().Pixels();
    }
    static std::size_t colours(const TSurfaceView* v) {
        const auto& p = v->PresentedImage().Pixels();
        return std::set<std::uint32_t>(p.begin(), p.end()).size();
    }
};
