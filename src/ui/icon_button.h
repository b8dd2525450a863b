// A large picture button with a caption underneath, drawn by the window that owns it (the step-button bar):
// normal, pressed (the highlighted picture and the caption shifted one pixel down and right) or hot (the
// highlighted picture).
#pragma once

#include <QColor>
#include <QPixmap>
#include <QRect>
#include <QString>

class QPainter;

namespace tp {

class CXIconButton {
public:
    enum class State { Normal = 0, Pressed = 1, Hot = 2 };

    CXIconButton(QPixmap normal, QPixmap highlighted, QString caption, QColor background);

    // The bounds are the picture with room for the caption below it and a margin all round.
    static QSize BoundsSizeFor(QSize picture);
    void MoveBoundsTo(QPoint top_left);
    QRect bounds() const;
    QRect picture_rect() const { return picture_rect_; }
    const QString& caption() const { return caption_; }
    bool Contains(QPoint point) const { return bounds().contains(point); }

    void Paint(QPainter& painter, State state) const;

private:
    QPixmap normal_;
    QPixmap highlighted_;
    QString caption_;
    QColor background_;
    QRect picture_rect_;
};

}  // namespace tp
