// Placeholder pictures of the right sizes until the painted artwork lands.
#include "ui/artwork.h"

#include <QPainter>

#include "ui/command_ids.h"

namespace tp {

namespace {

QPixmap Plain(int width, int height, qreal ratio, QColor colour)
{
    QPixmap pixmap(qRound(width * ratio), qRound(height * ratio));
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(colour);
    return pixmap;
}

}  // namespace

QPixmap ToolbarPicture(int, qreal ratio) { return Plain(32, 27, ratio, Qt::lightGray); }
QPixmap StepPicture(int, bool highlighted, qreal ratio)
{
    return Plain(kStepPictureSize, kStepPictureSize, ratio, highlighted ? Qt::yellow : Qt::gray);
}
QPixmap SplashPicture(qreal ratio) { return Plain(kSplashWidth, kSplashHeight, ratio, Qt::darkBlue); }
QPixmap AboutPicture(qreal ratio) { return Plain(kAboutPictureWidth, kAboutPictureHeight, ratio, Qt::darkBlue); }
QPixmap BackgroundPattern() { return Plain(12, 12, 1.0, QColor(60, 60, 60)); }
QPixmap ApplicationIconPicture(int size) { return Plain(size, size, 1.0, Qt::darkBlue); }
QIcon ApplicationIcon() { return QIcon(ApplicationIconPicture(64)); }
QCursor OpenHandCursor() { return QCursor(Qt::OpenHandCursor); }
QCursor ClosedHandCursor() { return QCursor(Qt::ClosedHandCursor); }
QCursor LinkCursor() { return QCursor(Qt::PointingHandCursor); }

}  // namespace tp
