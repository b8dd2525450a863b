#include "registration/overlap_geometry.h"

#include <algorithm>
#include <cmath>

#include "registration/correspondences.h"
#include "registration/homography.h"

namespace tp {

namespace {

constexpr double kFar = 1e9;

PointF Centred(const GrayImage& a, int x, int y)
{
    return {static_cast<float>(x - a.width() / 2), static_cast<float>(y - a.height() / 2)};
}

double Distance(const Matrix& h, const Matrix& other, PointF p)
{
    const MappedPoint m = ApplyHomography(h, p.x, p.y), n = ApplyHomography(other, p.x, p.y);
    if (!m.valid || !n.valid) return kFar;
    return std::hypot(static_cast<double>(m.x - n.x), static_cast<double>(m.y - n.y));
}

}  // namespace

double CentreDistance(const GrayImage& a, const Matrix& h, const Matrix& other)
{
    BoxI box;
    if (!OverlapBox(a, h, box)) return kFar;
    return Distance(h, other, Centred(a, (box.min_x + box.max_x) / 2, (box.min_y + box.max_y) / 2));
}

double CornerDistance(const GrayImage& a, const Matrix& h, const Matrix& other)
{
    BoxI box;
    if (!OverlapBox(a, h, box)) return kFar;
    double worst = 0;
    for (const int x : {box.min_x, box.max_x})
        for (const int y : {box.min_y, box.max_y}) worst = std::max(worst, Distance(h, other, Centred(a, x, y)));
    return worst;
}

Shift CentreShift(const GrayImage& a, const Matrix& h, int level)
{
    BoxI box;
    if (!OverlapBox(a, h, box)) return {};
    const PointF c = Centred(a, (box.min_x + box.max_x) / 2, (box.min_y + box.max_y) / 2);
    const MappedPoint m = ApplyHomography(h, c.x, c.y);
    if (!m.valid) return {};
    const double scale = std::ldexp(1.0, -level);
    return {(m.x - c.x) * scale, (m.y - c.y) * scale};
}

}  // namespace tp
