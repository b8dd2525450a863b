// Running a piece of code on the interface thread from anywhere, waiting for it, as the workers' blocking
// progress messages do. Widgets are touched only on the interface thread.
#pragma once

#include <functional>

#include <QMetaObject>
#include <QObject>
#include <QThread>

namespace tp {

// Runs `work` on `context`'s thread and returns when it has run (at once when already on that thread).
inline void RunOnGuiThread(QObject* context, const std::function<void()>& work)
{
    if (QThread::currentThread() == context->thread())
        work();
    else
        QMetaObject::invokeMethod(context, work, Qt::BlockingQueuedConnection);
}

}  // namespace tp
