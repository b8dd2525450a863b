// The grey composite re-alignment paints as it goes: the reference first, then every re-aligned source
// where nothing lies yet.
#include <algorithm>
#include <cstdint>

#include "compositing/bilinear.h"
#include "compositing/canvas_walk.h"
#include "compositing/realignment.h"
#include "imaging/parallel.h"
#include "registration/homography.h"

namespace tp {

namespace {

constexpr float kThird = 0.33333334f;

}  // namespace

void RenderGreyWhereEmpty(GrayImage& composite, const ColorImage& image, const Matrix& to_reference,
                          const Matrix& from_reference, PointI canvas_offset)
{
    if (image.empty() || composite.empty()) return;
    const int w = image.width();
    const int h = image.height();
    const CanvasBox box = SourceBoxOnCanvas(to_reference, w, h, canvas_offset, composite.width(), composite.height());
    const float half_w = static_cast<float>(w / 2);
    const float half_h = static_cast<float>(h / 2);
    if (box.empty()) return;
    // Each pixel depends on itself and the source only: rows are spread over the cores.
    ParallelFor(box.min_y, box.max_y + 1, [&](int y) {
        std::uint8_t* out = composite.row(y);
        for (int x = box.min_x; x <= box.max_x; ++x) {
            if (out[x] != 0) continue;
            // Canvas -> mosaic -> the source's pixels.
            const MappedPoint m = ApplyHomography(from_reference, static_cast<float>(x - canvas_offset.x),
                                                  static_cast<float>(y - canvas_offset.y));
            if (!m.valid) continue;
            const float sx = m.x + half_w;
            const float sy = m.y + half_h;
            if (!(sx >= 2.0f && sx < static_cast<float>(w - 2) && sy >= 2.0f && sy < static_cast<float>(h - 2))) continue;
            const float sum = BilinearSample(image, sx, sy, 0) + BilinearSample(image, sx, sy, 1) + BilinearSample(image, sx, sy, 2);
            const int grey = static_cast<int>(sum * kThird);
            out[x] = static_cast<std::uint8_t>(grey == 0 ? 1 : std::min(grey, 255));
        }
    });
}

}  // namespace tp
