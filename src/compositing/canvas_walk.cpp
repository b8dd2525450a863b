#include "compositing/canvas_walk.h"

#include <algorithm>

#include "registration/homography.h"

namespace tp {

CanvasBox SourceBoxOnCanvas(const Matrix& to_reference, int width, int height, PointI canvas_offset, int canvas_width,
                            int canvas_height)
{
    const float hw = static_cast<float>(width) * 0.5f;
    const float hh = static_cast<float>(height) * 0.5f;
    const float right = static_cast<float>(width) - hw;
    const float bottom = static_cast<float>(height) - hh;
    const PointF corners[4] = {{-hw, -hh}, {right, -hh}, {right, bottom}, {-hw, bottom}};
    float min_x = 0, max_x = 0, min_y = 0, max_y = 0;
    for (int k = 0; k < 4; ++k) {
        const MappedPoint m = ApplyHomography(to_reference, corners[k].x, corners[k].y);
        if (!m.valid) return {};
        const float x = m.x + static_cast<float>(canvas_offset.x);
        const float y = m.y + static_cast<float>(canvas_offset.y);
        min_x = k == 0 ? x : std::min(min_x, x);
        max_x = k == 0 ? x : std::max(max_x, x);
        min_y = k == 0 ? y : std::min(min_y, y);
        max_y = k == 0 ? y : std::max(max_y, y);
    }
    CanvasBox box;
    box.min_x = static_cast<int>(std::max(min_x, 0.0f));
    box.min_y = static_cast<int>(std::max(min_y, 0.0f));
    box.max_x = static_cast<int>(std::min(max_x, static_cast<float>(canvas_width - 1)));
    box.max_y = static_cast<int>(std::min(max_y, static_cast<float>(canvas_height - 1)));
    return box;
}

CanvasWalk::CanvasWalk(const Matrix& from_reference, PointI canvas_offset, int width, int height)
    : offset_(canvas_offset), half_w_(width * 0.5), half_h_(height * 0.5)
{
    std::copy(from_reference.data(), from_reference.data() + 9, h_);
}

}  // namespace tp
