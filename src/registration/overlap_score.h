// How well two registered images agree where they overlap: the evidence that decides whether an automatic
// registration is believed.
#pragma once

#include "imaging/image_buffer.h"
#include "imaging/matrix.h"

namespace tp {

// Grey levels with their slow variations taken out (each pixel less the mean of its 9 x 9 neighbourhood,
// after a 3 x 3 mean): what is left is texture. A smooth sky or a vignetting ramp agrees with itself at
// almost any shift; its detail does not.
FloatImage DetailImage(const GrayImage& image);

struct OverlapScore {
    // Zero-mean normalised correlation over the overlap (-1 to 1; -1 when not measured): insensitive to
    // exposure differences between the images.
    float correlation = -1.0f;
    // The same for the detail images.
    float detail_correlation = -1.0f;
    // Standard deviation of A's detail over the overlap, in grey levels: how much texture there is to go by.
    float detail_spread = 0.0f;
    // Share of A's area that B covers.
    float overlap_share = 0.0f;
};

// Samples A on a two-pixel grid, B bilinearly where `a_to_b` (centred coordinates) carries each sample.
OverlapScore ScoreOverlap(const GrayImage& a, const GrayImage& b, const FloatImage& a_detail,
                          const FloatImage& b_detail, const Matrix& a_to_b);

}  // namespace tp
