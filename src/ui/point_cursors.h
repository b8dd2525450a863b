// The cursors of Four Points Mode: a cross-hair carrying the number of the point the next click places.
#pragma once

#include <QCursor>
#include <QPixmap>

namespace tp {

// The 32 x 32 picture of point `number`'s cursor (1..4); the cross is centred on kPointCursorHotSpot.
QPixmap PointCursorPicture(int number);
inline constexpr int kPointCursorHotSpot = 9;
QCursor PointCursor(int number);

}  // namespace tp
