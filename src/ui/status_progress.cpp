#include "ui/status_progress.h"

#include "ui/gui_thread.h"

namespace tp {

bool StatusProgress::Step()
{
    if (bar_) RunOnGuiThread(bar_, [this] {
            if (bar_->value() < bar_->maximum()) bar_->setValue(bar_->value() + 1);
        });
    return false;
}

void StatusProgress::SetRange(int steps)
{
    // The bar's range was 16 bits wide.
    const int range = std::clamp(steps, 0, 65535);
    if (bar_) RunOnGuiThread(bar_, [this, range] {
            bar_->setRange(0, range);
            bar_->setValue(0);
        });
}

}  // namespace tp
