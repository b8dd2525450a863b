// Re-projection of the planar wide-view image onto a cylinder around the reference camera.
#pragma once

#include "imaging/image_buffer.h"
#include "imaging/matrix.h"
#include "registration/geometry_types.h"

namespace tp {

// Focal lengths of the two images of a pair, estimated from its homography. `valid` is false when either
// estimate is not a finite positive number (a pure translation, for example, carries no focal information).
struct PairFocal {
    double first = 0.0;
    double second = 0.0;
    bool valid = false;
};
PairFocal EstimatePairFocal(const Matrix& h);

// Sends every planar pixel (j, k) forward to column ox + trunc(atan((j - ox) / f) / atan(1 / f) + 0.5) and row
// oy + trunc(f (k - oy) / sqrt((j - ox)^2 + f^2) + 0.5), rows top to bottom and columns left to right; a target
// hit again takes the integer mean of what it holds and the new pixel. An infinite f gives the planar image.
ColorImage ProjectToCylinder(const ColorImage& planar, PointI centre, double focal);

}  // namespace tp
