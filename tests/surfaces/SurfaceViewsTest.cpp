#include "surfaces/SurfaceViews.h"
#include "surfaces/DIB.h"
#include "surfaces/SurfaceTarget.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace platform;
using gfx::TBitmap;
using gfx::TRect;

namespace {

// A window holding one surface view, with every lifecycle event recorded.
struct Form {
    std::vector<std::string> events; // outlives the window: finalising reports into it
    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
    TSurfaceView* view;

    explicit Form(int w = 40, int h = 30, bool autoInitialize = false) {
        window->resize(200, 150);
        view = new TSurfaceView(window.get());
        view->AutoInitialize = autoInitialize;
        view->setGeometry(10, 10, w, h);
        view->OnInitializing = [this](TObject*) { events.push_back("Initializing"); };
        view->OnInitialize = [this](TObject*) { events.push_back("Initialize"); };
        view->OnInitializeSurface = [this](TObject*) { events.push_back("InitializeSurface"); };
        view->OnFinalize = [this](TObject*) { events.push_back("Finalize"); };
        view->OnFinalizeSurface = [this](TObject*) { events.push_back("FinalizeSurface"); };
        view->OnRestoreSurface = [this](TObject*) { events.push_back("RestoreSurface"); };
    }
};

TBitmap picture(int w, int h) {
    TBitmap b(w, h);
    b.Canvas().Brush.Color = gfx::clRed;
    b.Canvas().FillRect({0, 0, w, h});
    b.Canvas().Brush.Color = gfx::clBlue;
    b.Canvas().FillRect({0, 0, w / 2, h / 2});
    return b;
}

// The draw sequence of every picture of the program.
bool present(TSurfaceView& view, const TBitmap& b) {
    if (!view.CanDraw()) {
        return false;
    }
    view.Surface()->Fill(0);
    view.Surface()->Canvas().Draw(0, 0, b);
    view.Surface()->Canvas().Release();
    view.Flip();
    return true;
}

using V = std::vector<std::string>;

} // namespace

TEST(SurfaceViewOptions, EffectiveOptionsOfTheWindowsSets) {
    // The default set: a windowed control waits for the blank and centres.
    const TSurfaceViewOptions defaults = {doAllowReboot,  doWaitVBlank, doCenter,
                                          doDirectX7Mode, doHardware,   doSelectDriver};
    EXPECT_EQ(ComputeEffectiveOptions(defaults, false, {}),
              (TSurfaceViewOptions{doWaitVBlank, doCenter}));
    // The main window's four large views run with nothing.
    const TSurfaceViewOptions large = {doNoWindowChange, doAllowReboot, doAllowPalette256, doFlip,
                                       doDirectX7Mode,   doHardware,    doSelectDriver};
    EXPECT_EQ(ComputeEffectiveOptions(large, false, {}).Bits(), 0);
    // Full screen keeps its companions; system memory rules out flipping.
    EXPECT_EQ(ComputeEffectiveOptions({doFullScreen, doFlip, doAllowReboot}, false, {}),
              (TSurfaceViewOptions{doFullScreen, doFlip, doAllowReboot}));
    EXPECT_EQ(ComputeEffectiveOptions({doFullScreen, doFlip, doSystemMemory}, false, {}),
              (TSurfaceViewOptions{doFullScreen, doSystemMemory}));
    EXPECT_EQ(
        ComputeEffectiveOptions({do3D, doDirectX7Mode, doRetainedMode, doHardware}, false, {}),
        (TSurfaceViewOptions{do3D, doDirectX7Mode}));
    // Initialised: only the three presentation options follow at once.
    const TSurfaceViewOptions current = {doWaitVBlank, doCenter, doSystemMemory};
    EXPECT_EQ(ComputeEffectiveOptions({doStretch, doFullScreen, doZBuffer}, true, current),
              (TSurfaceViewOptions{doStretch, doSystemMemory}));
}

TEST(SurfaceViewLifecycle, BeforeInitializeNothingIsDrawn) {
    Form f;
    EXPECT_FALSE(f.view->CanDraw());
    f.view->Flip(); // does nothing, raises nothing
    EXPECT_FALSE(present(*f.view, picture(40, 30)));
    EXPECT_EQ(f.view->Surface(), nullptr);
    EXPECT_EQ(f.view->PresentedImage().GetPixel(0, 0), gfx::ColorToRGB(gfx::clBtnFace));
}

TEST(SurfaceViewLifecycle, EventsComeInOrder) {
    Form f;
    f.window->show();
    f.view->Initialize();
    EXPECT_EQ(f.events, (V{"Initializing", "Initialize", "InitializeSurface", "RestoreSurface"}));
    EXPECT_TRUE(f.view->Initialized());
    f.events.clear();
    f.view->Initialize(); // a second one finalises first
    EXPECT_EQ(f.events, (V{"FinalizeSurface", "Finalize", "Initializing", "Initialize",
                           "InitializeSurface", "RestoreSurface"}));
    f.events.clear();
    f.view->resize(50, 20);
    EXPECT_EQ(f.events, (V{"FinalizeSurface", "InitializeSurface"}));
    f.events.clear();
    f.view->Finalize();
    EXPECT_EQ(f.events, (V{"FinalizeSurface", "Finalize"}));
    EXPECT_FALSE(f.view->Initialized());
    EXPECT_FALSE(f.view->CanDraw());
    f.events.clear();
    f.view->Finalize(); // nothing more to finalise
    EXPECT_TRUE(f.events.empty());
}

TEST(SurfaceViewLifecycle, TheDrawSequencePresentsThePicture) {
    Form f;
    f.view->Initialize();
    const TBitmap b = picture(40, 30);
    ASSERT_TRUE(present(*f.view, b));
    const TBitmap& shown = f.view->PresentedImage();
    EXPECT_EQ(shown.Width(), 40);
    EXPECT_EQ(shown.Pixels(), b.Pixels());
    // Blanking: fill and flip.
    ASSERT_TRUE(f.view->CanDraw());
    f.view->Surface()->Fill(0);
    f.view->Flip();
    EXPECT_EQ(f.view->PresentedImage().GetPixel(5, 5), gfx::clBlack);
}

TEST(SurfaceViewLifecycle, AResizeTakesEffectBeforeTheNextDraw) {
    Form f(40, 30);
    f.view->Initialize();
    f.view->resize(64, 20); // hidden window: Qt would deliver the resize event only when shown
    ASSERT_TRUE(f.view->CanDraw());
    EXPECT_EQ(f.view->Surface()->Width(), 64);
    EXPECT_EQ(f.view->Surface()->Height(), 20);
    const TBitmap b = picture(64, 20);
    ASSERT_TRUE(present(*f.view, b));
    EXPECT_EQ(f.view->PresentedImage().Pixels(), b.Pixels());
}

TEST(SurfaceViewLifecycle, ResizedSurfaceStartsBlack) {
    Form f(40, 30);
    f.window->show();
    f.view->Initialize();
    ASSERT_TRUE(present(*f.view, picture(40, 30)));
    f.view->resize(30, 30);
    EXPECT_EQ(f.view->SurfaceWidth(), 30);
    EXPECT_EQ(f.view->Surface()->IDDSurface().Pixels().GetPixel(3, 3), gfx::clBlack);
}

TEST(SurfaceViewLifecycle, AnUninitialisedControlKeepsItsSizeForTheSurface) {
    Form f(40, 30);
    f.window->show();
    f.view->resize(70, 25);
    EXPECT_FALSE(f.view->Initialized());
    EXPECT_EQ(f.view->SurfaceWidth(), 70);
    EXPECT_EQ(f.view->SurfaceHeight(), 25);
    f.view->SetAutoSize(false);
    f.view->resize(20, 20);
    EXPECT_EQ(f.view->SurfaceWidth(), 70); // without AutoSize the surface keeps its own size
}

TEST(SurfaceViewLifecycle, AnEmptyControlGetsAOnePixelSurface) {
    Form f(0, 0);
    f.view->Initialize();
    EXPECT_EQ(f.view->Surface()->Width(), 1);
    EXPECT_EQ(f.view->Surface()->Height(), 1);
}

TEST(SurfaceViewLifecycle, AnEmptyControlKeepsItsSurfaceFromDrawToDraw) {
    Form f(0, 0);
    f.view->Initialize();
    f.events.clear();
    ASSERT_TRUE(f.view->CanDraw());
    f.view->Surface()->Canvas().SetPixel(0, 0, gfx::clWhite);
    f.view->Surface()->Canvas().Release();
    ASSERT_TRUE(f.view->CanDraw());
    EXPECT_TRUE(f.events.empty()); // no size change, so the surface is not made again
    EXPECT_EQ(f.view->Surface()->IDDSurface().Pixels().GetPixel(0, 0), gfx::clWhite);
    f.view->resize(3, 0);
    ASSERT_TRUE(f.view->CanDraw());
    EXPECT_EQ(f.view->Surface()->Width(), 3);
    EXPECT_EQ(f.view->Surface()->Height(), 1);
}

TEST(SurfaceViewLifecycle, WithoutAWindowInitializeRaises) {
    TSurfaceView lone;
    try {
        lone.Initialize();
        FAIL();
    } catch (const ESurfaceViewError& e) {
        EXPECT_STREQ(e.what(), "Form not found");
    }
    EXPECT_FALSE(lone.Initialized());
    lone.Loaded(); // automatic initialisation without a window is skipped
    EXPECT_FALSE(lone.Initialized());
}

TEST(SurfaceViewLifecycle, ShowingTheWindowInitialisesAnAutomaticControl) {
    Form f(40, 30, true);
    EXPECT_FALSE(f.view->Initialized());
    f.window->show();
    EXPECT_TRUE(f.view->Initialized());
    EXPECT_EQ(f.events.front(), "Initializing");
    f.events.clear();
    f.window->hide();
    f.window->show(); // only the first showing
    EXPECT_TRUE(f.events.empty());
}

namespace {

// A window whose own handling of being shown runs a given action.
class ShowingWindow : public QWidget {
public:
    std::function<void()> onShow;

protected:
    void showEvent(QShowEvent* e) override {
        QWidget::showEvent(e);
        if (onShow) {
            onShow();
        }
    }
};

} // namespace

TEST(SurfaceViewLifecycle, TheWindowHandlesItsShowingBeforeTheAutomaticInitialisation) {
    std::vector<std::string> events;
    auto window = std::make_unique<ShowingWindow>();
    auto* view = new TSurfaceView(window.get());
    view->OnInitializing = [&](TObject*) { events.push_back("Initializing"); };
    view->OnFinalize = [&](TObject*) { events.push_back("Finalize"); };
    // The window initialises its views itself when shown; the automatic one then has nothing
    // left to do.
    window->onShow = [&] {
        events.push_back("shown");
        view->Initialize();
    };
    window->show();
    EXPECT_TRUE(view->Initialized());
    EXPECT_EQ(events, (V{"shown", "Initializing"}));
    window.reset();
}

TEST(SurfaceViewLifecycle, AFailedInitializeIsNotRetriedAutomatically) {
    QWidget window;
    auto* view = new TSurfaceView;
    EXPECT_THROW(view->Initialize(), ESurfaceViewError); // no window yet
    view->setParent(&window);
    window.show();
    EXPECT_FALSE(view->Initialized());
    view->Initialize(); // asked for, it works
    EXPECT_TRUE(view->Initialized());
}

TEST(SurfaceViewLifecycle, FinalizeKeepsTheSurfaceSizeForTheNextInitialize) {
    Form f(41, 31);
    f.view->SetAutoSize(false);
    f.view->Initialize();
    f.view->SetSize(20, 10);
    f.view->Finalize();
    EXPECT_EQ(f.view->SurfaceWidth(), 20);
    EXPECT_EQ(f.view->SurfaceHeight(), 10);
    f.view->Initialize();
    EXPECT_EQ(f.view->Surface()->Width(), 20);
    EXPECT_EQ(f.view->Surface()->Height(), 10);
}

TEST(SurfaceViewLifecycle, FullScreenAndThreeDimensionalOptionsCannotInitialise) {
    Form f;
    f.view->SetOptions({doFullScreen, doFlip});
    try {
        f.view->Initialize();
        FAIL();
    } catch (const ESurfaceViewError& e) {
        EXPECT_STREQ(e.what(), "Display mode cannot be changed (640x480 8bit)");
    }
    EXPECT_FALSE(f.view->Initialized());
    EXPECT_FALSE(f.view->CanDraw());
    EXPECT_EQ(f.events, (V{"Initializing"})); // no finalize events: nothing was initialised

    Form g;
    g.view->SetOptions({do3D});
    EXPECT_THROW(g.view->Initialize(), EDirectDrawError);
    EXPECT_FALSE(g.view->Initialized());
}

TEST(SurfaceViewLifecycle, AFailingHandlerLeavesTheControlUninitialised) {
    Form f;
    f.view->OnInitializing = [](TObject*) { throw std::runtime_error("no"); };
    EXPECT_THROW(f.view->Initialize(), std::runtime_error);
    EXPECT_FALSE(f.view->Initialized());
    EXPECT_EQ(f.view->DDraw(), nullptr);
}

TEST(SurfaceViewLifecycle, AFailingFinalizeHandlerStillReleasesEverything) {
    Form f;
    f.view->Initialize();
    f.view->OnFinalizeSurface = [](TObject*) { throw std::runtime_error("no"); };
    EXPECT_THROW(f.view->Finalize(), std::runtime_error);
    EXPECT_FALSE(f.view->Initialized());
    EXPECT_EQ(f.view->DDraw(), nullptr);
    EXPECT_EQ(f.events.back(), "Finalize");
}

TEST(SurfaceViewPresent, CentringPutsTheOddPixelRightAndBelow) {
    Form f(41, 31);
    f.view->Initialize();
    f.view->SetAutoSize(false);
    f.view->SetSize(20, 10);
    ASSERT_EQ(f.view->Surface()->Width(), 20);
    const TBitmap b = picture(20, 10);
    ASSERT_TRUE(present(*f.view, b));
    const TBitmap& shown = f.view->PresentedImage();
    const TColor face = gfx::ColorToRGB(gfx::clBtnFace);
    // (41 - 20) / 2 = 10 on the left, 11 on the right; (31 - 10) / 2 = 10 above, 11 below.
    EXPECT_EQ(shown.GetPixel(9, 15), face);
    EXPECT_EQ(shown.GetPixel(10, 10), gfx::clBlue);
    EXPECT_EQ(shown.GetPixel(29, 19), gfx::clRed);
    EXPECT_EQ(shown.GetPixel(30, 19), face);
    EXPECT_EQ(shown.GetPixel(29, 20), face);

    f.view->SetOptions({doStretch});
    EXPECT_TRUE(f.view->EffectiveOptions().Contains(doStretch));
    ASSERT_TRUE(present(*f.view, b));
    EXPECT_EQ(f.view->PresentedImage().GetPixel(0, 0), gfx::clBlue);
    EXPECT_EQ(f.view->PresentedImage().GetPixel(40, 30), gfx::clRed);
}

TEST(SurfaceViewPresent, CentringALargerSurfaceTruncatesTowardZero) {
    Form f(40, 30);
    f.view->Initialize();
    f.view->SetAutoSize(false);
    f.view->SetSize(43, 33); // (40 - 43) / 2 = -1, not -2
    const TBitmap b = picture(43, 33);
    ASSERT_TRUE(present(*f.view, b));
    const TBitmap& shown = f.view->PresentedImage();
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 40; ++x) {
            ASSERT_EQ(shown.GetPixel(x, y), b.GetPixel(x + 1, y + 1)) << x << "," << y;
        }
    }
}

TEST(SurfaceViewPresent, OnlyPresentationOptionsChangeWhileInitialised) {
    Form f;
    f.view->Initialize();
    f.view->SetOptions({doFullScreen, doFlip});
    EXPECT_FALSE(f.view->EffectiveOptions().Contains(doFullScreen));
    EXPECT_FALSE(f.view->EffectiveOptions().Contains(doWaitVBlank));
    f.view->Finalize();
    EXPECT_TRUE(f.view->EffectiveOptions().Contains(doFullScreen));
}

TEST(SurfaceViewPresent, WaitingForTheBlankOnlyWhenAsked) {
    Form f;
    f.view->Initialize();
    ASSERT_TRUE(present(*f.view, picture(40, 30)));
    EXPECT_EQ(f.view->DDraw()->IDraw().VerticalBlankWaits(), 1);
    f.view->SetOptions({doCenter});
    ASSERT_TRUE(present(*f.view, picture(40, 30)));
    EXPECT_EQ(f.view->DDraw()->IDraw().VerticalBlankWaits(), 1);
}

TEST(SurfaceViewPresent, AHeldCanvasIsReleasedByFlipAndFill) {
    Form f;
    f.view->Initialize();
    ASSERT_TRUE(f.view->CanDraw());
    TDirectDrawSurface& s = *f.view->Surface();
    s.Canvas().Draw(0, 0, picture(40, 30));
    EXPECT_TRUE(s.Canvas().HandleAllocated());
    f.view->Flip(); // Release forgotten: presented anyway
    EXPECT_FALSE(s.Canvas().HandleAllocated());
    EXPECT_EQ(f.view->PresentedImage().GetPixel(1, 1), gfx::clBlue);
    s.Canvas().SetPixel(0, 0, gfx::clWhite);
    s.Fill(0);
    EXPECT_FALSE(s.Canvas().HandleAllocated());
    EXPECT_EQ(s.IDDSurface().Pixels().GetPixel(0, 0), gfx::clBlack);
}

TEST(SurfaceViewPresent, LostSurfacesAreRestoredBlank) {
    Form f;
    f.view->Initialize();
    ASSERT_TRUE(present(*f.view, picture(40, 30)));
    f.events.clear();
    f.view->DDraw()->IDraw().LoseSurfaces();
    EXPECT_EQ(f.view->Surface()->IsLost(), ddraw::DDERR_SURFACELOST);
    EXPECT_TRUE(f.view->CanDraw());
    EXPECT_EQ(f.events, (V{"RestoreSurface"}));
    EXPECT_EQ(f.view->Surface()->IDDSurface().Pixels().GetPixel(5, 5), gfx::clBlack);
}

TEST(SurfaceViewPresent, PaintingPresentsTheBackSurface) {
    Form f(40, 30);
    f.window->show();
    f.view->Initialize();
    f.view->Surface()->Canvas().Draw(0, 0, picture(40, 30));
    f.view->Surface()->Canvas().Release();
    const QImage grabbed = f.view->grab().toImage();
    EXPECT_EQ(grabbed.pixel(2, 2), qRgb(0, 0, 255));
    EXPECT_EQ(grabbed.pixel(30, 25), qRgb(255, 0, 0));
}

TEST(SurfaceViewMouse, EventsCarryButtonsShiftAndPosition) {
    Form f;
    f.window->show();
    std::vector<std::string> seen;
    f.view->OnMouseDown = [&](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
        EXPECT_EQ(s, f.view);
        seen.push_back("down " + std::to_string(int(b)) + " " + std::to_string(sh) + " " +
                       std::to_string(x) + "," + std::to_string(y));
    };
    f.view->OnMouseMove = [&](TObject*, TShiftState sh, int x, int y) {
        seen.push_back("move " + std::to_string(sh) + " " + std::to_string(x) + "," +
                       std::to_string(y));
    };
    f.view->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int x, int y) {
        seen.push_back("up " + std::to_string(x) + "," + std::to_string(y));
    };
    f.view->OnClick = [&](TObject*) { seen.push_back("click"); };
    const QPointF p(5, 6);
    QMouseEvent press(QEvent::MouseButtonPress, p, f.view->mapToGlobal(p), Qt::LeftButton,
                      Qt::LeftButton, Qt::ShiftModifier);
    QApplication::sendEvent(f.view, &press);
    const QPointF outside(60, 70); // captured: still reported, outside the control
    QMouseEvent move(QEvent::MouseMove, outside, f.view->mapToGlobal(outside), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(f.view, &move);
    QMouseEvent release(QEvent::MouseButtonRelease, p, f.view->mapToGlobal(p), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(f.view, &release);
    EXPECT_EQ(seen, (V{"down 0 9 5,6", "move 8 60,70", "click", "up 5,6"}));
}

TEST(SurfaceViewHint, HintShowsOnlyWithShowHint) {
    Form f;
    f.view->SetHint("Signal");
    EXPECT_TRUE(f.view->toolTip().isEmpty());
    f.view->SetShowHint(true);
    EXPECT_EQ(f.view->toolTip(), "Signal");
}

TEST(SurfaceViewDisplayTest, BitCountAndModes) {
    Form f;
    TSurfaceViewDisplay& d = f.view->Display();
    EXPECT_EQ(d.Width(), 640);
    EXPECT_EQ(d.Height(), 480);
    EXPECT_EQ(d.BitCount(), 8);
    try {
        d.SetBitCount(15);
        FAIL();
    } catch (const EDirectDrawError& e) {
        EXPECT_STREQ(e.what(), "It should be either of 8 or 16 or 24 or 32");
    }
    EXPECT_EQ(d.BitCount(), 8);
    d.SetWidth(-5);
    EXPECT_EQ(d.Width(), 0);
    const auto& modes = d.Modes();
    ASSERT_FALSE(modes.empty());
    for (std::size_t i = 1; i < modes.size(); ++i) {
        const auto& a = modes[i - 1];
        const auto& b = modes[i];
        EXPECT_TRUE(
            a.Width() < b.Width() || (a.Width() == b.Width() && a.Height() < b.Height()) ||
            (a.Width() == b.Width() && a.Height() == b.Height() && a.BitCount() < b.BitCount()));
    }
    EXPECT_EQ(d.IndexOf(640, 480, 8), 0);
    EXPECT_EQ(d.IndexOf(641, 480, 8), -1);
    EXPECT_FALSE(d.DynSetSize(0, 480, 8));
    EXPECT_FALSE(d.DynSetSize(640, 480, 15));
    EXPECT_FALSE(d.DynSetSize(640, 480, 8)); // no mode switching on this platform
    EXPECT_EQ(BitCountToFlags(8), 0x800u);
    EXPECT_EQ(BitCountToFlags(32), 0x100u);
    EXPECT_EQ(BitCountToFlags(15), 0u);
}

TEST(DirectDrawObjects, FillAndCanvasOnAnEmptySurface) {
    TDirectDraw dd;
    TDirectDrawSurface* s = dd.NewSurface();
    s->Fill(0); // nothing, no error
    EXPECT_FALSE(s->Restore());
    try {
        s->Canvas().SetPixel(0, 0, gfx::clRed);
        FAIL();
    } catch (const EDirectDrawSurfaceError& e) {
        EXPECT_STREQ(e.what(), "IDirectDrawSurface not made");
    }
    s->Canvas().Release();
    s->Canvas().Release();
    s->SetSize(0, 10);
    EXPECT_FALSE(s->HasSurface());
    s->SetSize(8, 4);
    ASSERT_TRUE(s->HasSurface());
    EXPECT_EQ(s->ClientRect(), (TRect{0, 0, 8, 4}));
    EXPECT_EQ(s->IDDSurface().GetColorKey().low, 0u);
    s->SetSize(0, 10);
    EXPECT_FALSE(s->HasSurface());
}

TEST(DirectDrawObjects, AHeldCanvasLocksTheSurface) {
    TDirectDraw dd;
    TDirectDrawSurface* a = dd.NewSurface();
    TDirectDrawSurface* b = dd.NewSurface();
    a->SetSize(4, 4);
    b->SetSize(4, 4);
    a->Canvas().SetPixel(1, 1, gfx::clRed);
    const TRect r{0, 0, 4, 4};
    EXPECT_FALSE(b->Blt(&r, &r, ddraw::DDBLT_WAIT, {}, a));
    EXPECT_EQ(b->DXResult(), ddraw::DDERR_SURFACEBUSY);
    a->Canvas().Release();
    EXPECT_TRUE(b->Blt(&r, &r, ddraw::DDBLT_WAIT, {}, a));
    EXPECT_EQ(b->DXResult(), ddraw::DD_OK);
    EXPECT_EQ(b->IDDSurface().Pixels().GetPixel(1, 1), gfx::clRed);
}

TEST(DirectDrawObjects, DestroyingDirectDrawFreesWhatIsStillRegistered) {
    std::weak_ptr<ddraw::Surface> surface;
    std::weak_ptr<ddraw::Palette> palette;
    {
        TDirectDraw dd;
        TDirectDrawSurface* s = dd.NewSurface();
        s->SetSize(2, 2);
        surface = s->SurfacePtr();
        TDirectDrawPalette* p = dd.NewPalette();
        std::vector<ddraw::PaletteEntry> entries(256);
        ASSERT_TRUE(p->CreatePalette(ddraw::DDPCAPS_8BIT, entries.data()));
        palette = p->PalettePtr();
        dd.NewClipper();
        EXPECT_EQ(dd.SurfaceCount(), 1);
        EXPECT_EQ(dd.ClipperCount(), 1);
        TDirectDrawSurface* extra = dd.NewSurface();
        dd.Free(extra);
        EXPECT_EQ(extra, nullptr);
        EXPECT_EQ(dd.SurfaceCount(), 1);
        EXPECT_FALSE(surface.expired());
    }
    EXPECT_TRUE(surface.expired());
    EXPECT_TRUE(palette.expired());
}

TEST(DirectDrawObjects, PaletteAndClipperWithoutTheirObjects) {
    TDirectDraw dd;
    TDirectDrawPalette* p = dd.NewPalette();
    EXPECT_FALSE(p->SetEntries(0, 1, nullptr));
    EXPECT_THROW(p->IDDPalette(), EDirectDrawPaletteError);
    std::vector<ddraw::PaletteEntry> entries(256, {1, 2, 3, 0});
    ASSERT_TRUE(p->CreatePalette(ddraw::DDPCAPS_8BIT | ddraw::DDPCAPS_INITIALIZE, entries.data()));
    EXPECT_FALSE(p->SetEntries(250, 10, entries.data()));
    EXPECT_EQ(p->DXResult(), ddraw::DDERR_INVALIDPARAMS);
    EXPECT_TRUE(p->SetEntries(0, 256, entries.data()));
}

TEST(DirectDrawObjects, SurfacesLoadPicturesAndCopyIntoDIBs) {
    TDirectDraw dd;
    TDirectDrawSurface* s = dd.NewSurface();
    const TBitmap b = picture(10, 6);
    s->Assign(b);
    EXPECT_EQ(s->Width(), 10);
    EXPECT_EQ(s->IDDSurface().Pixels().GetPixel(0, 0), gfx::clBlue);
    EXPECT_FALSE(s->Canvas().HandleAllocated());

    s->LoadFromGraphicRect(b, {5, 3, 10, 6}); // the red quarter, at its own size
    EXPECT_EQ(s->Width(), 5);
    EXPECT_EQ(s->IDDSurface().Pixels().GetPixel(0, 0), gfx::clRed);

    TDIB dib;
    s->Assign(b);
    s->AssignTo(dib);
    EXPECT_EQ(dib.BitCount(), 24);
    EXPECT_EQ(dib.Width(), 10);
    EXPECT_EQ(dib.ToBitmap().Pixels(), b.Pixels());

    TDirectDrawSurface* t = dd.NewSurface();
    t->Assign(dib);
    EXPECT_EQ(t->IDDSurface().Pixels().Pixels(), b.Pixels());
    TDirectDrawSurface* u = dd.NewSurface();
    u->Assign(*t);
    EXPECT_NE(u->SurfacePtr(), t->SurfacePtr());
    EXPECT_EQ(u->IDDSurface().Pixels().Pixels(), b.Pixels());
    u->Assign(nullptr);
    EXPECT_FALSE(u->HasSurface());
}

TEST(SurfaceViewPalette, StaticEntriesComeFromTheSystemAndRestoreLoadsDefaultsFirst) {
    Form f;
    f.view->ColorTable[100] = {1, 2, 3, 0}; // blue, green, red
    f.view->DefaultColorTable[100] = {7, 8, 9, 0};
    f.view->ColorTable[0] = {255, 255, 255, 0};
    f.view->DefaultColorTable[0] = {255, 255, 255, 0};
    f.view->DefaultColorTable[250] = {1, 1, 1, 0};
    ddraw::PaletteEntry during{};
    f.view->OnRestoreSurface = [&](TObject*) {
        f.view->Palette()->IDDPalette().GetEntries(100, 1, &during);
    };
    f.view->Initialize();
    const auto nc = ddraw::PC_NOCOLLAPSE;
    EXPECT_EQ(during, (ddraw::PaletteEntry{9, 8, 7, nc}));
    std::array<ddraw::PaletteEntry, 256> e{};
    ASSERT_EQ(f.view->Palette()->IDDPalette().GetEntries(0, 256, e.data()), ddraw::DD_OK);
    EXPECT_EQ(e[100], (ddraw::PaletteEntry{3, 2, 1, nc}));
    // The twenty static colours are the system's, whatever either table says.
    EXPECT_EQ(e[0], (ddraw::PaletteEntry{0, 0, 0, nc}));
    EXPECT_EQ(e[250], (ddraw::PaletteEntry{0, 255, 0, nc}));

    std::array<TRGBQuad, 256> table = f.view->ColorTable;
    table[5] = {10, 20, 30, 0};
    table[50] = {10, 20, 30, 0};
    f.view->UpdatePalette(table);
    ASSERT_EQ(f.view->Palette()->IDDPalette().GetEntries(0, 256, e.data()), ddraw::DD_OK);
    EXPECT_EQ(e[5], (ddraw::PaletteEntry{128, 0, 128, nc}));
    EXPECT_EQ(e[50], (ddraw::PaletteEntry{30, 20, 10, nc}));
}

TEST(SurfaceViewTargetTest, ThePresentSequenceReachesTheScreen) {
    Form f(40, 30);
    TSurfaceViewTarget target(*f.view);
    EXPECT_EQ(target.Width(), 40);
    EXPECT_EQ(target.Height(), 30);
    gfx::Present(target, picture(40, 30)); // not initialised: nothing, no error
    EXPECT_EQ(f.view->PresentedImage().GetPixel(1, 1), gfx::ColorToRGB(gfx::clBtnFace));

    f.view->Initialize();
    const TBitmap b = picture(40, 30);
    gfx::Present(target, b);
    EXPECT_EQ(f.view->PresentedImage().Pixels(), b.Pixels());
    EXPECT_FALSE(f.view->Surface()->Canvas().HandleAllocated());

    ASSERT_TRUE(target.CanDraw());
    target.Fill(0);
    target.DrawAndRelease(30, 20, picture(4, 4));
    EXPECT_FALSE(f.view->Surface()->Canvas().HandleAllocated());
    target.Flip();
    EXPECT_EQ(f.view->PresentedImage().GetPixel(29, 19), gfx::clBlack);
    EXPECT_EQ(f.view->PresentedImage().GetPixel(30, 20), gfx::clBlue);
    EXPECT_EQ(f.view->PresentedImage().GetPixel(33, 23), gfx::clRed);
}

TEST(SurfaceViewPresent, PaintingNeverWaitsForTheBlank) {
    Form f(40, 30);
    f.window->show();
    f.view->Initialize();
    ASSERT_TRUE(f.view->EffectiveOptions().Contains(doWaitVBlank));
    const int before = f.view->DDraw()->IDraw().VerticalBlankWaits();
    f.view->Surface()->Canvas().Draw(0, 0, picture(40, 30));
    f.view->Surface()->Canvas().Release();
    const QImage grabbed = f.view->grab().toImage();
    EXPECT_EQ(grabbed.pixel(2, 2), qRgb(0, 0, 255));
    EXPECT_EQ(f.view->DDraw()->IDraw().VerticalBlankWaits(), before);
    EXPECT_TRUE(f.view->EffectiveOptions().Contains(doWaitVBlank)); // only for that one call
    f.view->Flip();
    EXPECT_EQ(f.view->DDraw()->IDraw().VerticalBlankWaits(), before + 1);
}

namespace {

// A picture whose every pixel differs, with a few of them in the colour key.
TBitmap numbered(int w, int h, std::uint32_t key) {
    TBitmap b(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const std::uint32_t v = (x + y) % 5 == 0 ? key : std::uint32_t(y * 1000 + x + 1);
            b.ScanLine(y)[x] = 0xFF000000u | v;
        }
    }
    return b;
}

// What a blit must leave: every destination pixel of `dr` inside the surface takes the source
// pixel nearest to its centre, when that lies inside the source picture and is not keyed out.
TBitmap blitByDefinition(TBitmap dst, const TBitmap& src, const TRect& sr, const TRect& dr,
                         bool keyed, std::uint32_t key) {
    for (int y = std::max(dr.Top, 0); y < std::min(dr.Bottom, dst.Height()); ++y) {
        const long long sy =
            sr.Top + ((2LL * (y - dr.Top) + 1) * sr.Height()) / (2LL * dr.Height());
        for (int x = std::max(dr.Left, 0); x < std::min(dr.Right, dst.Width()); ++x) {
            const long long sx =
                sr.Left + ((2LL * (x - dr.Left) + 1) * sr.Width()) / (2LL * dr.Width());
            if (sx < 0 || sy < 0 || sx >= src.Width() || sy >= src.Height()) {
                continue;
            }
            const std::uint32_t p = src.ScanLine(int(sy))[sx];
            if (!keyed || (p & 0xFFFFFFu) != key) {
                dst.ScanLine(y)[x] = p | 0xFF000000u;
            }
        }
    }
    return dst;
}

} // namespace

TEST(DirectDrawObjects, BlitsCopyStretchKeyAndCutAsDefined) {
    constexpr std::uint32_t key = 0x123456;
    struct Case {
        TRect source;
        TRect dest;
        bool keyed;
        bool sameSurface;
    };
    const Case cases[] = {
        {{0, 0, 12, 9}, {0, 0, 12, 9}, false, false},   // one to one
        {{2, 1, 10, 7}, {5, 3, 13, 9}, false, false},   // shifted, cut at the right
        {{-3, -2, 9, 7}, {-1, 0, 11, 9}, false, false}, // reaching out of both pictures
        {{0, 0, 12, 9}, {0, 0, 12, 9}, true, false},    // keyed
        {{0, 0, 12, 9}, {1, 2, 29, 23}, false, false},  // enlarged
        {{0, 0, 12, 9}, {3, 1, 8, 5}, true, false},     // reduced and keyed
        {{-4, 0, 20, 9}, {0, -3, 15, 12}, true, false}, // stretched beyond the source
        {{0, 0, 8, 6}, {4, 3, 12, 9}, false, true},     // overlapping within one surface
        {{0, 0, 12, 9}, {2, 2, 20, 15}, true, true},    // stretched within one surface
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "dest " << c.dest.Left << "," << c.dest.Top << " "
                                        << c.dest.Right << "," << c.dest.Bottom);
        TDirectDraw dd;
        TDirectDrawSurface* from = dd.NewSurface();
        TDirectDrawSurface* to = dd.NewSurface();
        from->SetSize(12, 9);
        to->SetSize(16, 11);
        from->IDDSurface().Pixels() = numbered(12, 9, key);
        to->IDDSurface().Pixels() = numbered(16, 11, 0x654321);
        from->SetColorKey(ddraw::DDCKEY_SRCBLT, {key, key});
        to->SetColorKey(ddraw::DDCKEY_SRCBLT, {key, key});
        TDirectDrawSurface* source = c.sameSurface ? to : from;
        const TBitmap before = to->IDDSurface().Pixels();
        const TBitmap expected =
            blitByDefinition(before, c.sameSurface ? before : from->IDDSurface().Pixels(), c.source,
                             c.dest, c.keyed, key);
        const std::uint32_t flags = ddraw::DDBLT_WAIT | (c.keyed ? ddraw::DDBLT_KEYSRC : 0u);
        ASSERT_TRUE(to->Blt(&c.dest, &c.source, flags, {}, source));
        EXPECT_EQ(to->IDDSurface().Pixels().Pixels(), expected.Pixels());
    }
}

TEST(SurfaceViewTargetTest, CoveringAPictureShowsWhatFillAndDrawShow) {
    Form f(40, 30);
    f.view->Initialize();
    TSurfaceViewTarget target(*f.view);
    TBitmap keyedPicture = picture(40, 30);
    keyedPicture.Transparent = true;
    keyedPicture.SetTransparentColor(gfx::clBlue);
    const TBitmap pictures[] = {picture(40, 30), picture(25, 30), picture(40, 12),
                                picture(17, 9),  picture(60, 50), keyedPicture};
    for (const TBitmap& p : pictures) {
        SCOPED_TRACE(testing::Message() << p.Width() << " x " << p.Height());
        for (const std::uint32_t fill : {0u, 0x00FF00u}) {
            // Something else on the surface first: whatever the picture does not cover is filled.
            present(*f.view, picture(40, 30));
            ASSERT_TRUE(target.CanDraw());
            target.Fill(fill);
            target.DrawAndRelease(0, 0, p);
            target.Flip();
            const TBitmap byFillAndDraw = f.view->PresentedImage();
            present(*f.view, picture(40, 30));
            target.CoverAndRelease(p, fill);
            EXPECT_FALSE(f.view->Surface()->Canvas().HandleAllocated());
            target.Flip();
            EXPECT_EQ(f.view->PresentedImage().Pixels(), byFillAndDraw.Pixels());
        }
    }
}

TEST(SurfaceViewTargetTest, DrawingOverTheSurfaceIsCutAndLeavesTheCanvasAsItWas) {
    Form f(40, 30);
    f.view->Initialize();
    TSurfaceViewTarget target(*f.view);
    ASSERT_TRUE(target.CanDraw());
    TDirectDrawSurfaceCanvas& canvas = f.view->Surface()->Canvas();
    canvas.Pen.Color = gfx::clLime;
    canvas.Brush.Color = gfx::clYellow;
    canvas.SetClipRect({0, 0, 15, 30}); // cuts the drawing over it too
    target.Fill(0);
    target.DrawOverAndRelease({5, 5, 20, 15}, [](gfx::TCanvas& c) {
        c.Brush.Color = gfx::clRed;
        c.FillRect({0, 0, 40, 30});
    });
    EXPECT_FALSE(canvas.HandleAllocated());
    EXPECT_EQ(canvas.Pen.Color, gfx::clLime);
    EXPECT_EQ(canvas.Brush.Color, gfx::clYellow);
    ASSERT_TRUE(canvas.ClipSetting().has_value());
    EXPECT_EQ(*canvas.ClipSetting(), (TRect{0, 0, 15, 30}));
    target.Flip();
    const TBitmap& shown = f.view->PresentedImage();
    EXPECT_EQ(shown.GetPixel(5, 5), gfx::clRed);
    EXPECT_EQ(shown.GetPixel(14, 14), gfx::clRed);
    EXPECT_EQ(shown.GetPixel(4, 5), gfx::clBlack);
    EXPECT_EQ(shown.GetPixel(15, 14), gfx::clBlack);
    EXPECT_EQ(shown.GetPixel(14, 15), gfx::clBlack);
    EXPECT_EQ(shown.GetPixel(5, 4), gfx::clBlack);
}
