#include "ui/progress_window.h"

#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include "imaging/string_table.h"
#include "ui/gui_thread.h"
#include "ui/ui_strings.h"

namespace tp {

namespace {

constexpr int kWidth = 300;
constexpr int kHeight = 104;
constexpr int kLabelId = 32801;

}  // namespace

ProgressWindow::ProgressWindow(bool cancellable, QWidget* parent)
    : QDialog(parent), cancellable_(cancellable), label_(new QLabel(this)), bar_(new QProgressBar(this)),
      cancel_(new QPushButton(QStringLiteral("&Cancel"), this))
{
    setModal(true);
    // A dialog that cannot be cancelled has no system menu (and so no close box) either.
    setWindowFlags(cancellable ? Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                               : Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    label_->setObjectName(QStringLiteral("label%1").arg(kLabelId));
    label_->setGeometry(10, 10, kWidth - 20, 25);
    label_->setTextFormat(Qt::PlainText);
    bar_->setGeometry(10, 38, kWidth - 20, 22);
    bar_->setRange(0, 1);
    bar_->setValue(0);
    bar_->setTextVisible(false);
    cancel_->setGeometry((kWidth - 88) / 2, 68, 88, 26);
    cancel_->setDefault(true);
    connect(cancel_, &QPushButton::clicked, this, &ProgressWindow::RequestCancel);
    if (cancellable_) {
        setFixedSize(kWidth, kHeight);
    } else {
        cancel_->hide();
        setFixedSize(kWidth, cancel_->geometry().top() + 3);
    }
}

bool ProgressWindow::Step()
{
    RunOnGuiThread(this, [this] {
        if (bar_->value() < bar_->maximum()) bar_->setValue(bar_->value() + 1);
    });
    return cancel_requested_;
}

void ProgressWindow::SetRange(int steps)
{
    RunOnGuiThread(this, [this, steps] {
        bar_->setRange(0, std::max(steps, 0));
        bar_->setValue(0);
    });
}

void ProgressWindow::SetText(int string_id) { SetLabel(UiText(string_id).toStdString()); }

void ProgressWindow::SetCaption(int string_id)
{
    const QString caption = UiText(string_id);
    RunOnGuiThread(this, [this, caption] { setWindowTitle(caption); });
}

void ProgressWindow::SetLabel(const std::string& text)
{
    const QString label = QString::fromStdString(text);
    RunOnGuiThread(this, [this, label] {
        // A cancel in progress keeps saying so until the worker stops.
        if (!cancel_requested_) label_->setText(label);
    });
}

void ProgressWindow::Close()
{
    RunOnGuiThread(this, [this] { hide(); });
}

void ProgressWindow::RequestCancel()
{
    if (!cancellable_ || cancel_->isHidden() || cancel_requested_) return;
    cancel_requested_ = true;
    label_->setText(UiText(strings::kCanceling));
    cancel_->setEnabled(false);
}

QString ProgressWindow::label_text() const { return label_->text(); }
int ProgressWindow::position() const { return bar_->value(); }
int ProgressWindow::maximum() const { return bar_->maximum(); }

void ProgressWindow::reject() { RequestCancel(); }

void ProgressWindow::closeEvent(QCloseEvent* event)
{
    // Only the worker closes the dialog; the close box asks for a cancel like the button.
    RequestCancel();
    event->ignore();
}

}  // namespace tp
