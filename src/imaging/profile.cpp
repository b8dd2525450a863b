#include "imaging/profile.h"

#include "imaging/image_ops.h"

namespace tp {

std::vector<float> SmoothProfile(const std::vector<float>& profile, float sigma)
{
    if (sigma == 0.0f) return profile;
    const std::vector<float> kernel = GaussianKernel(sigma);
    const int taps = static_cast<int>(kernel.size());
    const int half = taps / 2;
    const int length = static_cast<int>(profile.size());
    std::vector<float> widened(profile.size() + 2 * static_cast<std::size_t>(half), 0.0f);
    std::copy(profile.begin(), profile.end(), widened.begin() + half);
    std::vector<float> smoothed(profile.size());
    for (int i = 0; i < length; ++i) {
        float acc = 0.0f;
        for (int t = 0; t < taps; ++t) acc += kernel[static_cast<std::size_t>(t)] * widened[static_cast<std::size_t>(i + t)];
        smoothed[static_cast<std::size_t>(i)] = acc;
    }
    return smoothed;
}

int SegmentProfile(const std::vector<float>& profile, float threshold, std::vector<ProfileSegment>& segments)
{
    segments.clear();
    bool inside = false;
    ProfileSegment current;
    for (std::size_t i = 0; i < profile.size(); ++i) {
        const float v = profile[i];
        if (v >= threshold) {
            if (!inside) {
                inside = true;
                current = ProfileSegment{0, static_cast<int>(i), static_cast<int>(i), 0.0f};
            }
            current.last = static_cast<int>(i);
            current.excess += v - threshold;
        } else if (inside) {
            inside = false;
            current.length = current.last - current.first + 1;
            segments.push_back(current);
        }
    }
    if (inside) {
        current.length = current.last - current.first + 1;
        segments.push_back(current);
    }
    return segments.empty() ? 1 : 0;
}

}  // namespace tp
