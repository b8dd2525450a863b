// Translation between two grey images from the phase of their cross-power spectrum.
#pragma once

#include "imaging/image_buffer.h"

namespace tp {

struct PhaseCorrelation {
    // B shows A's content moved by (x, y): point (u, v) of A is found at (u + x, v + y) in B.
    float x = 0.0f;
    float y = 0.0f;
    float peak = 0.0f;
};

// Both images are placed in the top-left corner of N x N zero planes, N the smallest power of two above
// A's larger side. Without a correlation value above 0.0005 (other than at the origin) the shift is (0, 0).
PhaseCorrelation PhaseCorrelate(const GrayImage& a, const GrayImage& b);

}  // namespace tp
