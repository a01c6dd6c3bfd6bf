#include "app/pages/MeasurementPages.h"

#include "surfaces/SurfaceViews.h"

namespace app {

namespace {

// The window initialises the surfaces itself, in its own order, once the texts and lists are in
// place; a surface must not come up on its own when its page is first shown.
void holdInitialisation(const std::vector<TSurfaceView*>& views) {
    for (TSurfaceView* v : views) {
        v->AutoInitialize = false;
    }
}

} // namespace

TAScansPage::TAScansPage(QWidget* parent) : QWidget(parent) {
    ui.setupUi(this);
    holdInitialisation(Surfaces());
}

std::vector<TSurfaceView*> TAScansPage::Surfaces() const {
    return {ui.AScanDimensionSurfaceView, ui.AScanSignalImage, ui.AScanZoomSignalSurfaceView,
            ui.AScanZoomDimensionSurfaceView};
}

TBandsPage::TBandsPage(QWidget* parent) : QWidget(parent) {
    ui.setupUi(this);
    holdInitialisation(Surfaces());
}

std::vector<TSurfaceView*> TBandsPage::Surfaces() const {
    return {ui.BandUpperMarkupSurfaceView,   ui.UpperDummySurfaceView,
            ui.BandColorGradatorSurfaceView, ui.BandBScanSurfaceView,
            ui.BandInDepthMarkupSurfaceView, ui.BandCurrentAScanSurfaceView,
            ui.BandLowerMarkupSurfaceView,   ui.LowerDummySurfaceView,
            ui.BandColorGradator2SurfaceView};
}

TMapsPage::TMapsPage(QWidget* parent) : QWidget(parent) {
    ui.setupUi(this);
    holdInitialisation(Surfaces());
}

std::vector<TSurfaceView*> TMapsPage::Surfaces() const {
    return {ui.MapsCScanSurfaceView, ui.MapsCDVerticMarkupSurfaceView,
            ui.MapsDScanSurfaceView, ui.MapsCBHorizMarkupSurfaceView,
            ui.DummySurfaceView,     ui.MapsColorGradatorSurfaceView,
            ui.MapsBScanSurfaceView, ui.MapsBAVerticMarkupSurfaceView,
            ui.MapsAScanSurfaceView};
}

} // namespace app
