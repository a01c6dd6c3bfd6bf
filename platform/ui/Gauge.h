// A progress gauge a transfer moves, in percent. The progress dialog provides the real one.
#pragma once

namespace platform::ui {

class Gauge {
public:
    virtual ~Gauge() = default;
    virtual void setProgress(int percent) = 0;
};

} // namespace platform::ui
