// Progress on the terminal: a bar with the stage caption on stderr when it is a terminal, one line per
// stage otherwise, nothing when quiet. Ctrl+C asks the running command to cancel at its next step.
#pragma once

#include <atomic>
#include <mutex>
#include <string>

#include "project/progress_dialog.h"

namespace tp::cli {

// Installs the Ctrl+C handler (a second Ctrl+C ends the program at once).
void InstallInterruptHandler();
bool InterruptRequested();

class TerminalProgress final : public ProgressDialog {
public:
    TerminalProgress(bool cancellable, bool quiet);
    ~TerminalProgress() override;

    bool Step() override;
    void SetRange(int steps) override;
    void SetText(int string_id) override;
    void SetCaption(int string_id) override;
    void SetLabel(const std::string& text) override;
    void Close() override;
    bool cancel_requested() const override { return cancelled_; }

private:
    void Redraw();
    void FinishLine();

    bool cancellable_;
    bool quiet_;
    bool interactive_;
    std::mutex mutex_;
    std::string caption_;
    std::string label_;
    std::string last_line_;
    int range_ = 1;
    int position_ = 0;
    bool line_open_ = false;
    std::atomic<bool> cancelled_{false};
};

}  // namespace tp::cli
