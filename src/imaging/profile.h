// One-dimensional helpers on float profiles (column or row sums and the like).
#pragma once

#include <vector>

namespace tp {

// Gaussian smoothing of a profile with zero padding; same kernel rule as GaussianSmooth. Sigma 0 copies.
std::vector<float> SmoothProfile(const std::vector<float>& profile, float sigma);

// A run of consecutive samples at or above a threshold.
struct ProfileSegment {
    int length = 0;
    int first = 0;
    int last = 0;
    float excess = 0.0f;  // sum over the run of (value - threshold)
};

// Splits a profile into its runs at or above `threshold`, in order of position. Returns 0, or 1 when there
// is no run.
int SegmentProfile(const std::vector<float>& profile, float threshold, std::vector<ProfileSegment>& segments);

}  // namespace tp
