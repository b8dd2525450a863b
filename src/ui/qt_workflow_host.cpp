#include "ui/qt_workflow_host.h"

#include <atomic>
#include <new>
#include <system_error>
#include <thread>

#include <QEventLoop>
#include <QTimer>

#include "imaging/fatal_error.h"
#include "imaging/string_table.h"
#include "ui/progress_window.h"

namespace tp {

std::unique_ptr<ProgressDialog> QtWorkflowHost::MakeProgressDialog(bool cancellable)
{
    return std::make_unique<ProgressWindow>(cancellable, window_);
}

void QtWorkflowHost::RunWorker(ProgressDialog* dialog, const std::function<void()>& worker)
{
    auto* window = dynamic_cast<ProgressWindow*>(dialog);
    ProgressWindow* const outer = current_;
    current_ = window;
    ++running_;
    if (window) {
        if (window_) window->move(window_->geometry().center() - window->rect().center());
        window->show();
        if (dialog_shown_) dialog_shown_(*window);
    }

    QEventLoop loop;
    std::atomic<bool> finished{false};
    const auto guarded = [&] {
        try {
            worker();
        } catch (const std::bad_alloc&) {
            ShowMessage(LoadString(strings::kMemoryAllocationFailed));
        }
        finished = true;
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    };
    try {
        std::thread thread(guarded);
        // Anything the worker asks of the interface (progress, messages) is served here meanwhile.
        while (!finished) loop.exec();
        thread.join();
    } catch (const std::system_error&) {
        guarded();  // no thread to be had: the work runs here, without repaints
    }
    if (window) window->hide();
    --running_;
    current_ = outer;
}

}  // namespace tp
