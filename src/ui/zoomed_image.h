// The shown image prepared for painting at any zoom, so that a repaint only copies pixels: a 32-bit copy and
// its box-filtered half-size levels (made once per image), and below zoom 1 a copy at the zoom. At a zoom
// that is a level's, that level is the copy; between levels the copy is reduced by area averaging from the
// next larger level (never more than about four times its own size to read), in tiles, each made the
// first time it is shown at that zoom. At zoom 1 and above the 32-bit copy is drawn directly, enlarged
// without smoothing.
#pragma once

#include <vector>

#include <QImage>

#include "imaging/image_buffer.h"

class QPainter;

namespace tp {

class ZoomedImage {
public:
    void SetImage(const ColorImage& image);
    void Clear();
    void SetZoom(double zoom);
    // Makes the part of the copy at the zoom that `part` (zoomed pixels) covers, where not made yet.
    void Prepare(const QRect& part);
    // Paints the image's part inside `clip` (view pixels), with the image's top-left at `origin`. Only what
    // Prepare made is drawn from the copy at the zoom.
    void Paint(QPainter& painter, const QRect& clip, QPoint origin) const;

    bool empty() const { return full_.isNull(); }
    QSize size() const { return full_.size(); }
    // What a repaint copies from: the copy at the zoom below zoom 1, else the full image.
    const QImage& source() const { return zoom_ < 1.0 ? scaled_ : full_; }

    static constexpr int kTileSize = 256;

private:
    // Level 0 is the full image, each further level half the size of the one before.
    const QImage& level(int k) const { return k == 0 ? full_ : levels_[static_cast<std::size_t>(k - 1)]; }

    QImage full_;
    std::vector<QImage> levels_;  // levels 1, 2, ...
    // Memory of the reduced copies, kept across zoom changes: fresh memory costs more to touch than to fill.
    PixelBlock scaled_memory_;
    QImage scaled_;  // a level, or a view of scaled_memory_
    int tiles_from_ = -1;         // the level the tiles are reduced from; -1 when scaled_ is complete
    std::vector<bool> tile_made_;           // row by row over scaled_
    int tile_columns_ = 0;
    double zoom_ = 1.0;
};

}  // namespace tp
