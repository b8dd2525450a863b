// How well two registered images agree where they overlap: the evidence that decides whether an automatic
// registration is believed.
#pragma once

#include <array>

#include "imaging/image_buffer.h"
#include "imaging/matrix.h"

namespace tp {

// Grey levels with their slow variations taken out, in two bands: fine (the 3 x 3 mean less the 9 x 9 mean)
// and coarse (the 9 x 9 mean less the 33 x 33 mean). What is left is texture: a smooth sky or a vignetting
// ramp agrees with itself at almost any shift, its detail does not. The coarse band serves soft pictures
// (mist, out-of-focus backgrounds) whose fine band holds only noise.
struct DetailBands {
    FloatImage fine;
    FloatImage coarse;
};
DetailBands MakeDetailBands(const GrayImage& image);

struct BandAgreement {
    float correlation = -1.0f;  // zero-mean normalised correlation of the band over the overlap
    float spread = 0.0f;        // standard deviation of A's band over the overlap, in grey levels
};

struct OverlapScore {
    // Zero-mean normalised correlation of the grey levels over the overlap (-1 to 1; -1 when not measured):
    // insensitive to exposure differences between the images.
    float correlation = -1.0f;
    BandAgreement fine;
    BandAgreement coarse;
    // Share of A's area that B covers.
    float overlap_share = 0.0f;
};

// The spacing of a grid of about `samples` points over a width x height image (at least 1).
int SampleGridStep(int width, int height, double samples);

// Samples A on a grid of about `samples` points, B bilinearly where `a_to_b` (centred coordinates) carries
// each sample.
inline constexpr double kScoreSamples = 40000;
OverlapScore ScoreOverlap(const GrayImage& a, const GrayImage& b, const DetailBands& a_detail,
                          const DetailBands& b_detail, const Matrix& a_to_b, double samples = kScoreSamples);

}  // namespace tp
