#include "app/dialogs/GaugeWidget.h"

#include <QPainter>

#include <algorithm>

namespace app {

namespace {

const QColor kBarColor(0, 0, 128);
const QColor kFieldColor(255, 255, 255);

} // namespace

GaugeWidget::GaugeWidget(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void GaugeWidget::setProgress(int percent) {
    const int value = std::clamp(percent, 0, 100);
    if (value != progress_) {
        progress_ = value;
        update();
    }
}

void GaugeWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect outer = rect();
    p.setPen(QColor(0, 0, 0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(outer.adjusted(0, 0, -1, -1));

    const QRect field = outer.adjusted(1, 1, -1, -1);
    const int barWidth = field.width() * progress_ / 100;
    const QRect bar(field.left(), field.top(), barWidth, field.height());
    const QRect rest(field.left() + barWidth, field.top(), field.width() - barWidth,
                     field.height());
    p.fillRect(bar, kBarColor);
    p.fillRect(rest, kFieldColor);

    // The figure is written twice, each time clipped to one part, so it stays readable where the
    // bar passes under it.
    const QString figure = QStringLiteral("%1%").arg(progress_);
    p.setClipRect(bar);
    p.setPen(kFieldColor);
    p.drawText(field, Qt::AlignCenter, figure);
    p.setClipRect(rest);
    p.setPen(kBarColor);
    p.drawText(field, Qt::AlignCenter, figure);
}

} // namespace app
