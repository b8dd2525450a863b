// Mapping points through a homography and fitting one to point pairs. A homography is a 3 x 3 Matrix
// [[h0, h1, h2], [h3, h4, h5], [h6, h7, h8]] acting on (x, y, 1); every fitted one has h8 = 1.
#pragma once

#include <cmath>
#include <span>

#include "imaging/matrix.h"
#include "registration/geometry_types.h"

namespace tp {

// Largest coordinate a mapped point may have and still count as a position: anything beyond lies outside
// every image and canvas, and stays far from the limits of a 32-bit integer.
inline constexpr float kMaxMappedCoordinate = 1.0e9f;

struct MappedPoint {
    float x = 0.0f;
    float y = 0.0f;
    // False when the denominator is zero or the result is not a finite position within kMaxMappedCoordinate;
    // such a point lies outside every image and must not be converted to pixel indices.
    bool valid = false;
};

// (h0 x + h1 y + h2, h3 x + h4 y + h5) / (h6 x + h7 y + h8), computed in double and stored as floats.
// Inline: the warps call it for every canvas pixel.
inline MappedPoint ApplyHomography(const Matrix& h, float x, float y)
{
    const double denominator = h[2][0] * x + h[2][1] * y + h[2][2];
    MappedPoint p;
    if (denominator == 0.0) return p;
    const double mx = (h[0][0] * x + h[0][1] * y + h[0][2]) / denominator;
    const double my = (h[1][0] * x + h[1][1] * y + h[1][2]) / denominator;
    p.x = static_cast<float>(mx);
    p.y = static_cast<float>(my);
    p.valid = std::isfinite(mx) && std::isfinite(my) && std::fabs(p.x) <= kMaxMappedCoordinate &&
              std::fabs(p.y) <= kMaxMappedCoordinate;
    return p;
}

// Iteratively reweighted least squares for h0 .. h7 with h8 = 1 (ten rounds, weights 1 / (h6 x + h7 y + 1)).
// Needs at least four pairs. Returns false (h untouched) when the system is singular or the result not finite.
bool FitHomography(std::span<const PointF> source, std::span<const PointF> target, Matrix& h);

// The identity moved by (tx, ty).
Matrix TranslationHomography(double tx, double ty);

}  // namespace tp
