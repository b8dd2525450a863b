// First estimates for automatic registration: translations between two images of equal size at a coarse
// pyramid level, strongest first. Phase correlation alone peaks next to the origin when the images overlap by
// less than about half (the zero-padded edges agree best unshifted); these searches look at every shift.
#pragma once

#include <vector>

#include "imaging/image_buffer.h"

namespace tp {

struct ShiftCandidate {
    // B shows A's content moved by (x, y): point (u, v) of A is found at (u + x, v + y) in B.
    int x = 0;
    int y = 0;
    float strength = 0.0f;
};

// The zero-mean normalised correlation of A and B (grey levels or detail) over their overlap, for every shift whose overlap covers
// at least `minimum_overlap` of the image area; its `count` strongest local maxima, at least 3 pixels apart.
std::vector<ShiftCandidate> CorrelationPeaks(const FloatImage& a, const FloatImage& b, double minimum_overlap, int count);

// Peaks of the phase correlation of A and B after removing each image's mean and tapering its edges
// towards the padding, the origin and its neighbours left out; the `count` strongest, at least 3 pixels
// apart.
std::vector<ShiftCandidate> TaperedPhasePeaks(const GrayImage& a, const GrayImage& b, int count);

// Peaks of the phase correlation exactly as PhaseCorrelate computes it, the origin and its neighbours left
// out: the next strongest after the artefact it so often picks; the `count` strongest, at least 3 pixels
// apart.
std::vector<ShiftCandidate> PhaseCorrelationPeaks(const GrayImage& a, const GrayImage& b, int count);

}  // namespace tp
