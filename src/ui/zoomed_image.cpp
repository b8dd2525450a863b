#include "ui/zoomed_image.h"

#include <QPainter>

#include "ui/image_reduction.h"
#include "ui/view_geometry.h"

namespace tp {

void ZoomedImage::SetImage(const ColorImage& image)
{
    Clear();
    full_ = ToRgb32(image);
    for (QImage level = HalveByBoxFilter(full_); !level.isNull(); level = HalveByBoxFilter(levels_.back()))
        levels_.push_back(level);
    SetZoom(zoom_);
}

void ZoomedImage::Clear()
{
    full_ = QImage();
    levels_.clear();
    scaled_ = QImage();
    scaled_memory_.reset();
    tiles_from_ = -1;
    tile_made_.clear();
}

void ZoomedImage::SetZoom(double zoom)
{
    zoom_ = zoom;
    scaled_ = QImage();
    tiles_from_ = -1;
    tile_made_.clear();
    const QSize wanted = ZoomedSize(full_.size(), zoom_);
    if (zoom_ >= 1.0 || wanted.isEmpty()) return;
    // The smallest level that still holds the wanted size.
    int from = 0;
    while (from < static_cast<int>(levels_.size()) && level(from + 1).width() >= wanted.width() &&
           level(from + 1).height() >= wanted.height())
        ++from;
    if (level(from).size() == wanted) {
        scaled_ = level(from);
        return;
    }
    if (!scaled_memory_) {
        // Room for the largest copy any zoom below 1 can need; the system only provides what gets touched.
        scaled_memory_ = AllocateZeroedBlock(static_cast<std::size_t>(full_.sizeInBytes()));
    }
    if (!scaled_memory_) return;
    scaled_ = QImage(reinterpret_cast<uchar*>(scaled_memory_.get()), wanted.width(), wanted.height(), wanted.width() * 4,
                     QImage::Format_RGB32);
    tiles_from_ = from;
    tile_columns_ = (wanted.width() + kTileSize - 1) / kTileSize;
    tile_made_.assign(static_cast<std::size_t>(tile_columns_) * ((wanted.height() + kTileSize - 1) / kTileSize), false);
}

void ZoomedImage::Prepare(const QRect& part)
{
    if (tiles_from_ < 0) return;
    const QRect wanted = part.intersected(scaled_.rect());
    if (wanted.isEmpty()) return;
    for (int row = wanted.top() / kTileSize; row <= wanted.bottom() / kTileSize; ++row)
        for (int column = wanted.left() / kTileSize; column <= wanted.right() / kTileSize; ++column) {
            const auto index = static_cast<std::size_t>(row) * static_cast<std::size_t>(tile_columns_) + static_cast<std::size_t>(column);
            if (tile_made_[index]) continue;
            ReduceByArea(level(tiles_from_), scaled_, QRect(column * kTileSize, row * kTileSize, kTileSize, kTileSize));
            tile_made_[index] = true;
        }
}

void ZoomedImage::Paint(QPainter& painter, const QRect& clip, QPoint origin) const
{
    const QImage& from = source();
    if (from.isNull()) return;
    if (zoom_ <= 1.0) {
        const QRect target = clip.intersected(QRect(origin, from.size()));
        if (!target.isEmpty()) painter.drawImage(target.topLeft(), from, target.translated(-origin));
        return;
    }
    // Enlarged: the clip maps back to a fractional source rectangle, drawn with nearest-pixel sampling.
    const QRect target = clip.intersected(QRect(origin, ZoomedSize(full_.size(), zoom_)));
    if (target.isEmpty()) return;
    const QPoint offset = target.topLeft() - origin;
    const QRectF source(offset.x() / zoom_, offset.y() / zoom_, target.width() / zoom_, target.height() / zoom_);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(QRectF(target), full_, source);
}

}  // namespace tp
