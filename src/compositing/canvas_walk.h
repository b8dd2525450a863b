// Walking canvas pixels and mapping each back into a source's working image (inverse mapping).
#pragma once

#include "imaging/matrix.h"
#include "registration/geometry_types.h"

namespace tp {

// Inclusive pixel rectangle on the canvas; empty when min > max.
struct CanvasBox {
    int min_x = 0;
    int min_y = 0;
    int max_x = -1;
    int max_y = -1;
    bool empty() const { return min_x > max_x || min_y > max_y; }
};

// The source's corners (-W/2, -H/2) .. (W - W/2, H - H/2), exact halves, mapped to the canvas and clipped to
// it. Empty when a corner maps to no position.
CanvasBox SourceBoxOnCanvas(const Matrix& to_reference, int width, int height, PointI canvas_offset, int canvas_width,
                            int canvas_height);

// Maps canvas pixels of one row to working-image positions: (x - offset x, y - offset y) through the
// from-reference homography, plus (W / 2, H / 2) as exact halves. The homogeneous components advance by the
// homography's first column from pixel to pixel.
class CanvasWalk {
public:
    CanvasWalk(const Matrix& from_reference, PointI canvas_offset, int width, int height);

    // Calls visit(x, sx, sy) for x = first .. last; points that map to no position are skipped.
    template <typename Visit>
    void ForRow(int y, int first, int last, Visit visit) const
    {
        const double mx = static_cast<double>(first) - offset_.x;
        const double my = static_cast<double>(y) - offset_.y;
        double u = h_[0] * mx + h_[1] * my + h_[2];
        double v = h_[3] * mx + h_[4] * my + h_[5];
        double d = h_[6] * mx + h_[7] * my + h_[8];
        for (int x = first; x <= last; ++x) {
            if (d != 0.0) {
                const double sx = u / d + half_w_;
                const double sy = v / d + half_h_;
                visit(x, sx, sy);
            }
            u += h_[0];
            v += h_[3];
            d += h_[6];
        }
    }

private:
    double h_[9];
    PointI offset_;
    double half_w_;
    double half_h_;
};

}  // namespace tp
