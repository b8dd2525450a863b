// Exposure compensation: a gain per source (per channel when asked) that makes the sources agree in
// brightness where they overlap, by least squares over what the overlaps show. The overlaps are measured,
// and the gains applied with the block gains on top, in block_gains.h.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace tp {

// Gains of one source for its blue, green and red channels (all three equal with one gain per source).
using ChannelGains = std::array<double, 3>;

// What two sources show over the canvas pixels they both cover: pixel count and the sums of each one's
// samples, blue, green, red. Empty samples never count, nor clipped ones (a clipped sample does not follow
// the exposure).
struct PairOverlap {
    int first = 0;
    int second = 0;
    std::int64_t pixels = 0;
    std::array<std::int64_t, 3> first_sums{};
    std::array<std::int64_t, 3> second_sums{};
};

// The least-squares model: sum over overlapping pairs (i, j) of N_ij ((g_i I_ij - g_j I_ji)^2 / sigma_difference^2
// + (1 - g_i)^2 / sigma_gain^2), intensities 0..255. The second term is there to keep the gains near 1 as a
// whole; with the customary sigma_gain of 0.1 it also pulls every gain toward 1 hard enough to leave a quarter
// of a 20 % difference at mid grey (more in darker overlaps), so it is weaker here. One gain per source by
// default: gains per channel also shift colours (a white snowfield turned pink beside a grey photo).
struct GainModel {
    double sigma_difference = 10.0;
    double sigma_gain = 1.0;
    bool per_channel = false;
};

// The gains minimising the model for `source_count` sources. A source without overlaps keeps gain 1.
std::vector<ChannelGains> SolveGains(int source_count, const std::vector<PairOverlap>& overlaps, const GainModel& model = {});

}  // namespace tp
