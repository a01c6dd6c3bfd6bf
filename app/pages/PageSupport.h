// Small pieces the pages share.
#pragma once

#include "app/RecordLists.h"

#include <QString>

#include <vector>

class QTableWidget;
class TSurfaceView;

namespace app {

void SetGridColumns(QTableWidget* grid, const std::vector<int>& widths);

// The page caption for a list's origin: received, from a file (with its name), or nothing for
// no origin (the caption stays).
QString OriginCaption(OriginKind origin, const QString& label, int receivedCaption,
                      int fileCaption);

// A surface's hint, shown as every control's hint is (a surface keeps its hint to itself
// unless told to show it).
void SetSurfaceHint(TSurfaceView* view, const QString& hint);

// Shows the neutral picture on each surface.
void BlankSurfaces(const std::vector<TSurfaceView*>& views);

} // namespace app
