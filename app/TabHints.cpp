#include "app/TabHints.h"

#include "surfaces/MarkupHint.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QTabBar>

namespace app {

TTabHints::TTabHints(QTabBar* tabs, QObject* hintOwner)
    : QObject(tabs), tabs_(tabs), hintOwner_(hintOwner) {
    tabs_->setMouseTracking(true);
    tabs_->installEventFilter(this);
}

TMarkupHint* TTabHints::markupHint() const {
    for (QObject* child : hintOwner_->children()) {
        if (auto* hint = dynamic_cast<TMarkupHint*>(child)) {
            return hint;
        }
    }
    return nullptr;
}

bool TTabHints::showHintAt(QPoint pos, QPoint globalPos) {
    TMarkupHint* hint = markupHint();
    if (hint == nullptr) {
        return false;
    }
    hintTab_ = tabs_->tabAt(pos);
    const QString text = hintTab_ >= 0 ? tabs_->tabToolTip(hintTab_) : QString();
    if (text.isEmpty() || !hint->ShowHintFor(tabs_, text, globalPos)) {
        hintTab_ = -1;
        hint->HideHint();
    }
    return true;
}

bool TTabHints::eventFilter(QObject* watched, QEvent* event) {
    if (watched != tabs_) {
        return false;
    }
    switch (event->type()) {
    case QEvent::ToolTip: {
        const auto* help = static_cast<QHelpEvent*>(event);
        return showHintAt(help->pos(), help->globalPos());
    }
    case QEvent::MouseMove: {
        const auto* move = static_cast<QMouseEvent*>(event);
        const QPoint pos = move->position().toPoint();
        TMarkupHint* hint = markupHint();
        const bool showing = hint != nullptr && hint->HintWindow() != nullptr &&
                             hint->HintWindow()->isVisible() &&
                             hint->HintInfo().HintControl == tabs_;
        if (showing && tabs_->tabAt(pos) != hintTab_) {
            showHintAt(pos, move->globalPosition().toPoint());
        }
        break;
    }
    default:
        break;
    }
    return false;
}

} // namespace app
