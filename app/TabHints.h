// The hints of the main window's tabs. A tab bar keeps one tool tip per tab and shows it itself;
// here each tab's hint goes to the program's hint window like every other hint, and moving to
// another tab while a hint shows brings that tab's hint at once.
#pragma once

#include <QObject>
#include <QString>

class QTabBar;
class TMarkupHint;

namespace app {

class TTabHints : public QObject {
public:
    // The hints are the tabs' tool tips; `hintOwner` holds the program's hint component once it
    // is installed (without one the tab bar shows its tool tips itself).
    TTabHints(QTabBar* tabs, QObject* hintOwner);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TMarkupHint* markupHint() const;
    // Shows the hint of the tab at `pos` (tab bar coordinates) at `globalPos`; false without a
    // hint component.
    bool showHintAt(QPoint pos, QPoint globalPos);

    QTabBar* tabs_;
    QObject* hintOwner_;
    // The tab whose hint shows; -1 for none.
    int hintTab_ = -1;
};

} // namespace app
