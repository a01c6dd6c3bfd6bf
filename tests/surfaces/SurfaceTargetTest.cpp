#include "surfaces/SurfaceTarget.h"

#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

using namespace platform;
using gfx::TBitmap;
using gfx::TCanvas;

namespace {

// A window holding one initialised surface view of w x h.
struct Shown {
    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
    TSurfaceView* view;

    Shown(int w, int h) {
        window->resize(200, 150);
        view = new TSurfaceView(window.get());
        view->AutoInitialize = false;
        view->setGeometry(10, 10, w, h);
        view->Initialize();
    }
};

// A whole picture made with the canvas as it comes: background, text in the default font at the
// default alignment, a line from the default pen position in the default pen.
void render(TBitmap& b, int w, int h) {
    b.SetSize(w, h);
    TCanvas& c = b.Canvas();
    c.Brush.Color = gfx::clYellow;
    c.FillRect({0, 0, w, h});
    c.TextOut(3, 2, "Ag");
    c.LineTo(w - 1, h - 1);
}

// Leaves the canvas of the picture in a state no picture starts from.
void disturb(TBitmap& b) {
    TCanvas& c = b.Canvas();
    c.Pen.Color = gfx::clRed;
    c.Pen.Width = 5;
    c.Brush.Style = gfx::TBrushStyle::bsClear;
    c.Font.Height = -30;
    c.MoveTo(30, 2);
    c.TextAlign = gfx::TA_RIGHT | gfx::TA_BOTTOM;
    c.SetClipRect({0, 0, 4, 4});
}

} // namespace

// A picture made straight on the back surface shows exactly what the same picture made apart and
// presented shows, whatever an earlier picture left on the canvas.
TEST(SurfaceViewTargetTest, APictureMadeOnTheBackSurfaceShowsAsOneMadeApart) {
    Shown s(48, 36);
    TSurfaceViewTarget target(*s.view);
    TBitmap apart;
    render(apart, 48, 36);
    gfx::Present(target, apart);
    const TBitmap expected = s.view->PresentedImage();
    for (int round = 0; round < 2; ++round) {
        gfx::Present(target, TBitmap(48, 36)); // something else shown in between
        ASSERT_TRUE(target.CanDraw());
        TBitmap* back = target.BackPicture();
        ASSERT_NE(back, nullptr);
        ASSERT_EQ(back->Width(), 48);
        ASSERT_EQ(back->Height(), 36);
        render(*back, target.Width(), target.Height());
        target.Flip();
        EXPECT_EQ(s.view->PresentedImage().Pixels(), expected.Pixels()) << round;
        disturb(*back);
    }
}

// Where the back surface cannot take a whole picture of the view's size as it stands, none is
// offered and the picture is made apart.
TEST(SurfaceViewTargetTest, NoBackPictureWhereItWouldNotTakeThePictureWhole) {
    struct Case {
        const char* name;
        std::function<void(TSurfaceView&)> setUp;
    };
    const Case cases[] = {
        {"clipped canvas",
         [](TSurfaceView& v) {
             v.Surface()->Canvas().SetClipRect({0, 0, 10, 10});
         }},
        {"lost surface", [](TSurfaceView& v) { v.Surface()->IDDSurface().Lose(); }},
        {"surface of another size", [](TSurfaceView& v) { v.SetSize(30, 20); }},
        {"not initialised", [](TSurfaceView& v) { v.Finalize(); }},
    };
    for (const Case& k : cases) {
        Shown s(48, 36);
        TSurfaceViewTarget target(*s.view);
        ASSERT_NE(target.BackPicture(), nullptr) << k.name;
        k.setUp(*s.view);
        EXPECT_EQ(target.BackPicture(), nullptr) << k.name;
    }
    // A drawing context held on the surface is given back first, as a cover does.
    Shown s(48, 36);
    TSurfaceViewTarget target(*s.view);
    s.view->Surface()->Canvas().Pen.Color = gfx::clRed;
    s.view->Surface()->Canvas().LineTo(5, 5);
    ASSERT_TRUE(s.view->Surface()->Canvas().HandleAllocated());
    EXPECT_NE(target.BackPicture(), nullptr);
    EXPECT_FALSE(s.view->Surface()->Canvas().HandleAllocated());
}
