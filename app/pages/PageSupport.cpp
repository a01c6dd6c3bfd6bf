#include "app/pages/PageSupport.h"

#include "app/Texts.h"

#include "records/AScanViews.h"
#include "surfaces/SurfaceTarget.h"
#include "surfaces/SurfaceViews.h"

#include <QTableWidget>

namespace app {

void SetGridColumns(QTableWidget* grid, const std::vector<int>& widths) {
    if (grid == nullptr) {
        return;
    }
    grid->setColumnCount(static_cast<int>(widths.size()));
    for (std::size_t i = 0; i < widths.size(); ++i) {
        grid->setColumnWidth(static_cast<int>(i), widths[i]);
    }
}

QString OriginCaption(OriginKind origin, const QString& label, int receivedCaption,
                      int fileCaption) {
    switch (origin) {
    case OriginKind::Instrument: return caption(receivedCaption);
    case OriginKind::File: return caption(fileCaption) + ":  " + label;
    case OriginKind::None: break;
    }
    return {};
}

void SetSurfaceHint(TSurfaceView* view, const QString& hint) {
    view->SetHint(hint);
    view->SetShowHint(true);
}

void BlankSurfaces(const std::vector<TSurfaceView*>& views) {
    for (TSurfaceView* v : views) {
        TSurfaceViewTarget target(*v);
        BlankSurfaceView(target);
    }
}

} // namespace app
