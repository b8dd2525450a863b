// A picture button drawn inside a modification-mode band: a black outline, a raised or sunken 3-D edge and the
// picture on its face.
#pragma once

#include <QPixmap>
#include <QPoint>
#include <QRect>

class QPainter;

namespace tp {

class CXButton {
public:
    CXButton() = default;
    // Without a pressed picture the released one serves for both.
    CXButton(QPixmap released, QPixmap pressed);

    void set_position(QPoint position) { position_ = position; }
    // The picture's size (from the pressed picture).
    QSize picture_size() const;
    // (x, y) to (x + width + 6, y + height + 6).
    QRect bounds() const;
    // The bounds less 1 pixel on every side.
    QRect hit_area() const;
    void Draw(QPainter& painter, bool pressed) const;

private:
    QPoint position_;
    QPixmap released_;
    QPixmap pressed_;
};

}  // namespace tp
