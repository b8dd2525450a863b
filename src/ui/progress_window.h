// The modal progress dialog of a long command: a label, a bar and a Cancel button. Workers report to it from
// their own thread; every call is carried over to the interface thread and waits there, so the worker's
// step learns about a cancel made at any time before it.
#pragma once

#include <atomic>

#include <QDialog>

#include "project/progress_dialog.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace tp {

class ProgressWindow final : public QDialog, public ProgressDialog {
    Q_OBJECT
public:
    // Without `cancellable` the Cancel button is hidden and the dialog ends 3 pixels below where it would be.
    ProgressWindow(bool cancellable, QWidget* parent);

    // Progress (from any thread).
    bool Step() override;
    void SetRange(int steps) override;
    void SetText(int string_id) override;
    // ProgressDialog (from any thread).
    void SetCaption(int string_id) override;
    void SetLabel(const std::string& text) override;
    void Close() override;
    bool cancel_requested() const override { return cancel_requested_; }

    // The user's cancel: only while the Cancel button shows. The dialog stays until the worker closes it.
    void RequestCancel();
    bool cancellable() const { return cancellable_; }
    QString label_text() const;
    int position() const;
    int maximum() const;

protected:
    void reject() override;  // Escape
    void closeEvent(QCloseEvent* event) override;

private:
    const bool cancellable_;
    std::atomic<bool> cancel_requested_{false};
    QLabel* label_;
    QProgressBar* bar_;
    QPushButton* cancel_;
};

}  // namespace tp
