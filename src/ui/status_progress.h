// Progress shown in the main frame's status bar while the modification mode applies edits: it never cancels
// and ignores labels.
#pragma once

#include <QPointer>
#include <QProgressBar>

#include "imaging/progress.h"

namespace tp {

class StatusProgress final : public Progress {
public:
    explicit StatusProgress(QProgressBar* bar) : bar_(bar) {}
    bool Step() override;
    void SetRange(int steps) override;
    void SetText(int) override {}

private:
    QPointer<QProgressBar> bar_;
};

}  // namespace tp
