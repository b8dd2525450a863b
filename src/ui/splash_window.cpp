#include "ui/splash_window.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

#include "ui/artwork.h"

namespace tp {

SplashWindow::SplashWindow() : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(kSplashWidth, kSplashHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &SplashWindow::Dismiss);
    timer_.start(kShowMilliseconds);
    qApp->installEventFilter(this);
}

SplashWindow::~SplashWindow() { qApp->removeEventFilter(this); }

void SplashWindow::Dismiss()
{
    if (dismissed_) return;
    dismissed_ = true;
    qApp->removeEventFilter(this);
    timer_.stop();
    emit dismissed();
    close();  // deletes the window
}

void SplashWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawPixmap(0, 0, SplashPicture(devicePixelRatioF()));
}

bool SplashWindow::eventFilter(QObject*, QEvent* event)
{
    switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::Shortcut:  // a key bound to a command arrives as this instead of a key press
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::NonClientAreaMouseButtonPress:
            Dismiss();
            return true;  // the press only dismisses the splash
        default:
            return false;
    }
}

}  // namespace tp
