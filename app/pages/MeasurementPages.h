// The A-scans, bands and maps pages as the main window holds them: their tool bars, selectors,
// read-outs and drawing surfaces. The pictures, the mouse and the record commands of each page
// are wired by the page itself; until then a page shows its list's origin and blank views.
#pragma once

#include "ui_AScansPage.h"
#include "ui_BandsPage.h"
#include "ui_MapsPage.h"

#include <QWidget>

#include <vector>

class TSurfaceView;

namespace app {

class TAScansPage : public QWidget {
    Q_OBJECT
public:
    explicit TAScansPage(QWidget* parent = nullptr);
    Ui::TAScansPage ui;
    // In the order the window initialises them.
    std::vector<TSurfaceView*> Surfaces() const;
};

class TBandsPage : public QWidget {
    Q_OBJECT
public:
    explicit TBandsPage(QWidget* parent = nullptr);
    Ui::TBandsPage ui;
    std::vector<TSurfaceView*> Surfaces() const;
};

class TMapsPage : public QWidget {
    Q_OBJECT
public:
    explicit TMapsPage(QWidget* parent = nullptr);
    Ui::TMapsPage ui;
    std::vector<TSurfaceView*> Surfaces() const;
};

} // namespace app
