#include "ui/loupe.h"

#include <algorithm>

namespace tp {

namespace {

constexpr double kLoupeHalfSide = 150.0;

}  // namespace

LoupeGeometry ComputeLoupe(double zoom, PointD position, SizeI image, PointI image_origin)
{
    LoupeGeometry loupe;
    const double z = zoom;
    const double j = z < 1.0 ? 5.0 / z : 5.0;
    const double b = kLoupeHalfSide / j;  // canvas pixels either side of the point that fill the loupe
    const double px = position.x;
    const double py = position.y;
    loupe.magnification = j;

    // One working pixel more on every side, so the loupe's edges are never left unpainted.
    IntRect& s = loupe.source;
    s.left = std::max(static_cast<int>((px - b) / z) - 1, 0);
    s.top = std::max(static_cast<int>((py - b) / z) - 1, 0);
    s.right = std::min(static_cast<int>((px + b) / z) + 1, image.width);
    s.bottom = std::min(static_cast<int>((py + b) / z) + 1, image.height);

    IntRect& d = loupe.destination;
    d.left = static_cast<int>(px - j * (px - s.left * z)) + image_origin.x;
    d.top = static_cast<int>(py - j * (py - s.top * z)) + image_origin.y;
    d.right = static_cast<int>(px + j * (s.right * z - px)) + image_origin.x;
    d.bottom = static_cast<int>(py + j * (s.bottom * z - py)) + image_origin.y;

    IntRect& w = loupe.window;
    w.left = std::max(static_cast<int>(px - kLoupeHalfSide) + image_origin.x, d.left);
    w.top = std::max(static_cast<int>(py - kLoupeHalfSide) + image_origin.y, d.top);
    w.right = std::min(static_cast<int>(px + kLoupeHalfSide) + image_origin.x, d.right);
    w.bottom = std::min(static_cast<int>(py + kLoupeHalfSide) + image_origin.y, d.bottom);
    return loupe;
}

}  // namespace tp
