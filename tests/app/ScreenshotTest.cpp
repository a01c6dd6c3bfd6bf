// A picture of every page of the main window, empty and with records received from the simulated
// instrument, kept in the build folder (screenshots/), and probes that the surfaces sit at their
// sizes and show their pictures.
#include "MainWindowHarness.h"

#include "app/Keys.h"
#include "app/pages/AScansPage.h"
#include "app/pages/FlashMarkupPage.h"
#include "platform/gfx/QtImage.h"
#include "surfaces/SurfaceViews.h"

#include <QScreen>
#include <QTabWidget>

#include <set>

namespace {

QImage shotOf(QWidget& window) {
    // On a real display the screen's own pixels, elsewhere the window's rendering.
    if (QGuiApplication::platformName() == "xcb" && window.screen() != nullptr) {
        QApplication::processEvents();
        QTest::qWait(200);
        return window.screen()
            ->grabWindow(window.winId())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    }
    return window.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

using MainWindowScreenshot = MainWindowTest;

TEST_F(MainWindowScreenshot, EveryPage) {
    start();
    const auto dir = std::filesystem::path(TB_OUTPUT_DIR) / "screenshots";
    std::filesystem::create_directories(dir);
    const std::string platform = QGuiApplication::platformName().toStdString();
    // The pages before anything is received.
    for (int page = 0; page < app::MainPageCount; ++page) {
        form().SetActivePage(page);
        QApplication::processEvents();
        const auto file =
            dir / ("main-window-page" + std::to_string(page) + "-empty-" + platform + ".png");
        ASSERT_TRUE(shotOf(form()).save(QString::fromStdString(file.string())));
    }
    for (int page = 0; page < 4; ++page) {
        form().SetActivePage(page);
        key(Qt::Key_F1);
    }
    EXPECT_EQ(form().Configs.Count, 20);
    EXPECT_EQ(form().AScans.Count, 5);
    EXPECT_EQ(form().Bands.Count, 3);
    EXPECT_EQ(form().Maps.Count, 2);
    for (int page = 0; page < app::MainPageCount; ++page) {
        form().SetActivePage(page);
        QApplication::processEvents();
        const QImage shot = shotOf(form());
        ASSERT_EQ(shot.size(), QSize(996, 716));
        const auto file =
            dir / ("main-window-page" + std::to_string(page) + "-" + platform + ".png");
        ASSERT_TRUE(shot.save(QString::fromStdString(file.string())));
        if (page == 2 || page == 3) {
            // The band picture and the C-scan are drawn, and the screen shows what was presented.
            TSurfaceView* view = form().findChild<TSurfaceView*>(
                page == 2 ? "BandBScanSurfaceView" : "MapsCScanSurfaceView");
            ASSERT_NE(view, nullptr);
            const QImage presented = platform::gfx::imageFromBitmap(view->PresentedImage());
            const QRect area(view->mapTo(&form(), QPoint(0, 0)), view->size());
            const QImage onScreen = shot.copy(area);
            std::set<QRgb> seen;
            int differing = 0;
            for (int y = 0; y < onScreen.height(); ++y) {
                for (int x = 0; x < onScreen.width(); ++x) {
                    seen.insert(onScreen.pixel(x, y));
                    differing += onScreen.pixel(x, y) != presented.pixel(x, y);
                }
            }
            EXPECT_GE(seen.size(), 3u) << "page " << page;
            EXPECT_EQ(differing, 0) << "page " << page;
        }
    }
    // Surfaces keep the sizes of their places, whichever page is in front.
    const std::map<std::string, QSize> sizes = {
        {"FlashMarkupSurfaceImage", {545, 545}},     {"BandBScanSurfaceView", {592, 440}},
        {"BandUpperMarkupSurfaceView", {592, 34}},   {"BandInDepthMarkupSurfaceView", {51, 440}},
        {"BandCurrentAScanSurfaceView", {340, 440}}, {"BandColorGradatorSurfaceView", {340, 33}},
        {"MapsCScanSurfaceView", {590, 229}},        {"MapsCDVerticMarkupSurfaceView", {56, 229}},
        {"MapsDScanSurfaceView", {337, 229}},        {"MapsCBHorizMarkupSurfaceView", {590, 45}},
        {"MapsBScanSurfaceView", {590, 245}},        {"MapsAScanSurfaceView", {337, 245}},
    };
    for (TSurfaceView* v : form().AllSurfaces()) {
        const auto it = sizes.find(v->objectName().toStdString());
        if (it != sizes.end()) {
            EXPECT_EQ(v->size(), it->second) << it->first;
            EXPECT_EQ(QSize(v->SurfaceWidth(), v->SurfaceHeight()), it->second) << it->first;
        }
    }
    // The pie chart is on the memory page: the centre is an area's colour, not the background.
    form().SetActivePage(4);
    QApplication::processEvents();
    const QImage shot = shotOf(form());
    TSurfaceView* pie = form().FlashPage()->Surface();
    const QPoint centre = pie->mapTo(&form(), QPoint(272, 272));
    const QPoint corner = pie->mapTo(&form(), QPoint(2, 2));
    EXPECT_NE(shot.pixel(centre), shot.pixel(corner));
    const QImage presented = platform::gfx::imageFromBitmap(pie->PresentedImage());
    EXPECT_EQ(presented.pixel(272, 272), shot.pixel(centre));
}

// The A-scans page with records: the screen shows the presented picture of the first record,
// mostly background, with its trace across the whole width.
TEST_F(MainWindowScreenshot, AScanTraceIsOnScreen) {
    start();
    form().SetActivePage(1);
    key(Qt::Key_F1);
    ASSERT_EQ(form().AScans.Count, 5);
    const QImage shot = shotOf(form());
    TSurfaceView* view = form().AScansPage()->ui.AScanSignalImage;
    const QImage presented = platform::gfx::imageFromBitmap(view->PresentedImage());
    ASSERT_EQ(presented.size(), view->size());
    EXPECT_TRUE(shot.copy(QRect(view->mapTo(&form(), QPoint(0, 0)), view->size())) == presented);
    const TBaseAScanCell& record = *form().AScans.Records[0];
    const QRgb trace = toQColor(record.Color(6)).rgb();
    const QRgb background = toQColor(record.Color(5)).rgb();
    std::array<int, 4> tracePerQuarter{};
    int backgroundPixels = 0;
    for (int y = 0; y < presented.height(); ++y) {
        for (int x = 0; x < presented.width(); ++x) {
            const QRgb c = presented.pixel(x, y);
            tracePerQuarter[static_cast<std::size_t>(4 * x / presented.width())] += c == trace;
            backgroundPixels += c == background;
        }
    }
    for (int q = 0; q < 4; ++q) {
        EXPECT_GT(tracePerQuarter[q], 20) << "quarter " << q;
    }
    EXPECT_GT(backgroundPixels, presented.width() * presented.height() / 2);
}

} // namespace
