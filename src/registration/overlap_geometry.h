// Where two alignments of the same pair differ, measured over A's part of the overlap, in working pixels.
#pragma once

#include "imaging/image_buffer.h"
#include "imaging/matrix.h"

namespace tp {

// How far apart `h` and `other` put the centre of A's part of the overlap under `h`. Two alignments of one
// scene that differ only in how well they fit agree there; a pattern matched one repetition off does not.
double CentreDistance(const GrayImage& a, const Matrix& h, const Matrix& other);

// The largest distance between where `h` and `other` put the corners of A's part of the overlap under `h`.
double CornerDistance(const GrayImage& a, const Matrix& h, const Matrix& other);

// How far `h` moves the centre of A's part of the overlap, scaled by 2^-level.
struct Shift {
    double x = 0.0;
    double y = 0.0;
};
Shift CentreShift(const GrayImage& a, const Matrix& h, int level);

}  // namespace tp
