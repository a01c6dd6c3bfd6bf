// A window made of the display controls as the main window uses them: a drawing surface with a
// picture, a read-out in its raised frame and a shadow label; and a hint window shown for a tool
// tip. The pictures are written to the build folder for a look and checked pixel by pixel.
#include "surfaces/ExCtrls.h"
#include "surfaces/MarkupHint.h"
#include "surfaces/SegLcd.h"
#include "surfaces/SurfaceViews.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHelpEvent>
#include <QImage>
#include <QPalette>
#include <QScreen>
#include <QWidget>

#include <gtest/gtest.h>

#include <filesystem>

using namespace platform::gfx;

namespace {

QRgb rgbOf(TColor c) {
    const TColor v = ColorToRGB(c);
    return qRgb(GetRValue(v), GetGValue(v), GetBValue(v));
}

TBitmap signalPicture(int w, int h) {
    TBitmap b(w, h);
    TCanvas& c = b.Canvas();
    c.Brush.Color = clBlack;
    c.FillRect({0, 0, w, h});
    c.Pen.Color = RGB(0, 96, 0);
    c.Pen.Style = TPenStyle::psDot;
    c.Brush.Style = TBrushStyle::bsClear;
    for (int x = w / 4; x < w; x += w / 4) {
        c.MoveTo(x, 0);
        c.LineTo(x, h);
    }
    c.Pen.Style = TPenStyle::psSolid;
    c.Pen.Color = clLime;
    for (int x = 0; x < w; ++x) {
        const int a = (x * 37 % 23) * (x % 40 < 8 ? 3 : 1);
        c.MoveTo(x, h);
        c.LineTo(x, h - 1 - std::min(a, h - 2));
    }
    c.Pen.Color = clYellow;
    c.MoveTo(10, h / 2);
    c.LineTo(w - 10, h / 2);
    c.Font.Name = "Arial";
    c.Font.Height = -12;
    c.Font.Color = clWhite;
    c.TextOut(4, 2, "100");
    return b;
}

} // namespace

TEST(Screenshot, WindowWithTheDisplayControls) {
    QWidget window;
    window.resize(330, 170);
    QPalette pal = window.palette();
    pal.setColor(QPalette::Window, QColor::fromRgb(rgbOf(clBtnFace)));
    window.setPalette(pal);
    window.setAutoFillBackground(true);

    auto* frame = new TExSpeedButton(&window);
    frame->setGeometry(10, 10, 105, 34);
    frame->setEnabled(false);
    auto* lcd = new TSegLCD(&window);
    lcd->setGeometry(15, 15, 95, 24);
    lcd->SetDigitNum(4);
    lcd->SetSegmentSize(2);
    lcd->SetDigitSpacing(5);
    lcd->SetGapX(1);
    lcd->SetGapY(1);
    lcd->SetDotSpacing(0);
    lcd->SetOnColor(clRed);
    lcd->SetOffColor(0x1F1F1F);
    lcd->SetColor(clBlack);
    lcd->SetValue("12.5");

    auto* label = new TExLabel(&window);
    label->move(130, 14);
    TFont font;
    font.Name = "Arial";
    font.Height = -21;
    font.Color = clWindowText;
    label->SetFont(font);
    label->SetCaption("Gain, dB");

    auto* view = new TSurfaceView(&window);
    view->AutoInitialize = false;
    view->setGeometry(10, 56, 310, 104);
    window.show();
    view->Initialize();
    ASSERT_TRUE(view->CanDraw());
    const TBitmap picture = signalPicture(view->width(), view->height());
    view->Surface()->Fill(0);
    view->Surface()->Canvas().Draw(0, 0, picture);
    view->Surface()->Canvas().Release();
    view->Flip();

    const QImage shot = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const auto dir = std::filesystem::path(TB_OUTPUT_DIR) / "screenshots";
    std::filesystem::create_directories(dir);
    const auto file =
        dir / ("display-controls-" +
               qEnvironmentVariable("QT_QPA_PLATFORM", "default").toStdString() + ".png");
    ASSERT_TRUE(shot.save(QString::fromStdString(file.string())));
    ASSERT_EQ(shot.width(), 330);

    // The window background and the raised bevel around the read-out.
    EXPECT_EQ(shot.pixel(200, 5), rgbOf(clBtnFace));
    EXPECT_EQ(shot.pixel(10, 10), rgbOf(clBtnHighlight));
    EXPECT_EQ(shot.pixel(114, 43), rgbOf(clWindowFrame));
    EXPECT_EQ(shot.pixel(113, 12), rgbOf(clBtnShadow));
    EXPECT_EQ(shot.pixel(11, 11), rgbOf(clBtnFace));
    // The read-out: black face, the top bar of the 5 (last cell) lit, the dot before it lit.
    EXPECT_EQ(shot.pixel(15 + 2, 15 + 2), qRgb(0, 0, 0));
    EXPECT_EQ(shot.pixel(15 + 80, 15 + 1), qRgb(255, 0, 0));
    EXPECT_EQ(shot.pixel(15 + 68, 15 + 21), qRgb(255, 0, 0));
    EXPECT_EQ(shot.pixel(15 + 14, 15 + 1), qRgb(0x1F, 0x1F, 0x1F));
    // The label: dark text with white shadow pixels on the button face.
    int dark = 0;
    int white = 0;
    for (int y = label->y(); y < label->y() + label->height(); ++y) {
        for (int x = label->x(); x < label->x() + label->width(); ++x) {
            dark += shot.pixel(x, y) == qRgb(0, 0, 0) ? 1 : 0;
            white += shot.pixel(x, y) == qRgb(255, 255, 255) ? 1 : 0;
        }
    }
    EXPECT_GT(dark, 40);
    EXPECT_GT(white, 20);
    // The drawing surface shows the picture exactly.
    for (int y = 0; y < picture.Height(); y += 7) {
        for (int x = 0; x < picture.Width(); x += 5) {
            const TColor c = picture.GetPixel(x, y);
            ASSERT_EQ(shot.pixel(10 + x, 56 + y), qRgb(GetRValue(c), GetGValue(c), GetBValue(c)))
                << x << "," << y;
        }
    }
}

TEST(Screenshot, HintWindowShownForAToolTip) {
    QWidget form;
    form.resize(200, 80);
    auto* control = new QWidget(&form);
    control->setGeometry(10, 10, 60, 24);
    control->setToolTip(QStringLiteral("<B> F1</B>  Receive the configurations\r"
                                       "<FONT COLOR=\"clRed\">Red</FONT> and <I>italic</I>"));
    form.show();
    TMarkupHint& hint = InstallMarkupHint(*qApp, form);
    hint.HintStyle = THintStyle::hsRounded;
    QHelpEvent request(QEvent::ToolTip, QPoint(5, 5), control->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(control, &request);
    ASSERT_NE(hint.HintWindow(), nullptr);
    TMarkupHintWindow& window = *hint.HintWindow();
    ASSERT_TRUE(window.isVisible());

    const QImage shot = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const auto dir = std::filesystem::path(TB_OUTPUT_DIR) / "screenshots";
    std::filesystem::create_directories(dir);
    const auto file =
        dir / ("hint-window-" + qEnvironmentVariable("QT_QPA_PLATFORM", "default").toStdString() +
               ".png");
    ASSERT_TRUE(shot.save(QString::fromStdString(file.string())));
    // The window shows exactly the picture the hint draws.
    const TBitmap picture = window.Picture();
    ASSERT_EQ(shot.width(), picture.Width());
    ASSERT_EQ(shot.height(), picture.Height());
    int red = 0;
    for (int y = 0; y < picture.Height(); ++y) {
        for (int x = 0; x < picture.Width(); ++x) {
            const TColor c = picture.GetPixel(x, y);
            ASSERT_EQ(shot.pixel(x, y), qRgb(GetRValue(c), GetGValue(c), GetBValue(c)))
                << x << "," << y;
            red += c == clRed ? 1 : 0;
        }
    }
    EXPECT_GT(red, 10);
    EXPECT_EQ(shot.pixel(shot.width() / 2, 0), rgbOf(clGray));

    // On a real X server, the screen itself: the window where it was placed, corners cut off.
    if (QGuiApplication::platformName() != QStringLiteral("xcb")) {
        return;
    }
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 500) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    const QRect g = window.geometry();
    const QImage screen = window.screen()
                              ->grabWindow(0, g.x(), g.y(), g.width(), g.height())
                              .toImage()
                              .convertToFormat(QImage::Format_RGB32);
    ASSERT_TRUE(screen.save(QString::fromStdString((dir / "hint-window-screen-xcb.png").string())));
    ASSERT_EQ(screen.size(), shot.size());
    EXPECT_EQ(screen.pixel(shot.width() / 2, 0), rgbOf(clGray));
    EXPECT_EQ(screen.pixel(shot.width() - 3, shot.height() / 2), rgbOf(clInfoBk));
    EXPECT_NE(screen.pixel(0, 0), rgbOf(clInfoBk));
}
