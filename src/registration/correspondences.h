// The building blocks of the pyramid refinement: where two images overlap, where the textured points of A
// are, and where each of them is found in B. Positions are centred coordinates of the pyramid level worked on.
#pragma once

#include <cstddef>
#include <vector>

#include "imaging/image_buffer.h"
#include "imaging/matrix.h"
#include "registration/geometry_types.h"

namespace tp {

// A point list with a fixed room; adding to a full list does nothing.
class PointList {
public:
    explicit PointList(std::size_t capacity = 0) : capacity_(capacity) { points_.reserve(std::min<std::size_t>(capacity, 4096)); }

    bool full() const { return points_.size() >= capacity_; }
    bool add(PointF p)
    {
        if (full()) return false;
        points_.push_back(p);
        return true;
    }
    std::size_t size() const { return points_.size(); }
    std::size_t capacity() const { return capacity_; }
    PointF& operator[](std::size_t i) { return points_[i]; }
    const PointF& operator[](std::size_t i) const { return points_[i]; }
    std::vector<PointF>& points() { return points_; }
    const std::vector<PointF>& points() const { return points_; }
    void clear() { points_.clear(); }

private:
    std::size_t capacity_;
    std::vector<PointF> points_;
};

// Pixel rectangle of A (inclusive) that B's footprint covers, mapping B's corners (inset by one pixel) back
// through H^-1. False when H cannot be inverted or a corner maps to no position.
bool OverlapBox(const GrayImage& a_level, const Matrix& h, BoxI& box);

// Half-size s of the detection windows laid over an overlap box: one step per 9000 pixels of overlap.
int DetectionWindowHalfSize(const BoxI& overlap);

// Points of A's second-coarsest level: the strongest gradient of every window laid over the overlap, kept when
// its energy exceeds 100. `h` is valid at the coarsest level. False when the overlap box cannot be computed.
bool DetectPoints(const GrayImage& a_level, const Matrix& h, PointList& points);

// Moves centred integer point `p` to the most textured position within +-c/2 pixels (mean absolute gradient
// over a (c+1) x (c+1) window). Succeeds when that texture exceeds `threshold`; fails near the border.
bool RefinePoint(const GrayImage& image, PointI p, int c, float threshold, PointI& refined);

// Adds refined grid points of the rectangle (pixel coordinates, inclusive-exclusive as walked) that are not
// already taken by a point of the list. `level` chooses the grid spacing.
void FillQuadrant(const GrayImage& a_level, const BoxI& rectangle, PointList& points, int level, float threshold);

struct Match {
    PointI position;  // centred coordinates in B
    float score = 0.0f;
};

// Normalised cross-correlation of raw grey levels (no mean removed) over a (2r+1)^2 window, searched within
// +-4 pixels of where H predicts p in B. A point H maps to no position gets score 0.
Match MatchPoint(const GrayImage& a_level, const GrayImage& b_level, const Matrix& h, PointF p, int r);

}  // namespace tp
