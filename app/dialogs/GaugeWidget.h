// The progress gauge a transfer moves: a navy bar growing from the left over a white field in a
// thin frame, with the percentage written in its middle.
#pragma once

#include "platform/ui/Gauge.h"

#include <QWidget>

namespace app {

class GaugeWidget : public QWidget, public platform::ui::Gauge {
public:
    explicit GaugeWidget(QWidget* parent = nullptr);

    // Values outside 0..100 are held at the nearer end.
    void setProgress(int percent) override;
    int progress() const { return progress_; }

    QSize sizeHint() const override { return {150, 20}; }

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    int progress_ = 0;
};

} // namespace app
