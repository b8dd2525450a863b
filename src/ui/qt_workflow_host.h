// Runs the workflow's workers for the desktop program: the worker gets its own thread while the interface
// thread keeps its event loop turning behind the modal progress dialog, so the window repaints and the
// Cancel button answers throughout.
#pragma once

#include <functional>

#include <QPointer>
#include <QWidget>

#include "project/workflow.h"

namespace tp {

class ProgressWindow;

class QtWorkflowHost final : public WorkflowHost {
public:
    explicit QtWorkflowHost(QWidget* window) : window_(window) {}

    std::unique_ptr<ProgressDialog> MakeProgressDialog(bool cancellable) override;
    void RunWorker(ProgressDialog* dialog, const std::function<void()>& worker) override;

    bool busy() const { return running_ > 0; }
    // The dialog of the run in progress (null when none or when the run shows none).
    ProgressWindow* current_dialog() const { return current_; }
    // Called with each new dialog just after it shows (tests use it to act on a running command).
    void set_dialog_shown_hook(std::function<void(ProgressWindow&)> hook) { dialog_shown_ = std::move(hook); }

private:
    QPointer<QWidget> window_;
    int running_ = 0;
    ProgressWindow* current_ = nullptr;
    std::function<void(ProgressWindow&)> dialog_shown_;
};

}  // namespace tp
