// Where the source-image strip puts its thumbnails and where a dragged thumbnail lands, apart from any
// widget so that the arithmetic can be checked directly.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include <vector>

namespace tp {

struct StripLayout {
    bool horizontal = true;
    std::vector<QRect> rects;  // one per thumbnail, content coordinates
    QSize extent;              // (length, 0) in a row, (0, length) in a column
};

// Thumbnails of the given display sizes in a client of `client` pixels: a row when the client is wider than
// tall, a column otherwise; each fitted into the client less a 5-pixel inset, the first at offset 0 along the
// strip and each next 10 pixels after the one before.
StripLayout LayoutStrip(QSize client, const std::vector<QSize>& thumbnails);

// The position (0..count) before which a thumbnail dragged so that its centre lies at `centre` is dropped:
// before the first whose midpoint along the strip lies beyond the centre, else at the end.
int DropPosition(const StripLayout& layout, QPoint centre);

// Whether dropping entry `index` before position `before` changes the order (its own place and the one
// after it do not).
inline bool DropMoves(int index, int before) { return before != index && before != index + 1; }

}  // namespace tp
