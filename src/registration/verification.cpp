#include "registration/verification.h"

#include <algorithm>
#include <cmath>

#include "registration/homography.h"

namespace tp {

namespace {

// Measured on the twelve real photo sets (33 pairs, against an independent feature-based estimate):
// correctly aligned pairs have a fine-detail correlation of 0.49 (strong parallax) to 0.96; the wrong
// alignments the routes find 0.14 or less (smooth skies among them, whose plain grey correlation reaches
// 0.89), but for near misses a few pixels off, which the right alignment outranks. The threshold sits
// between, nearer the wrong side, because parallax only lowers the right ones.
constexpr float kMinimumDetailCorrelation = 0.3f;
// Too little overlap, or too little texture in it to tell anything: 5 % of A; a fine-band spread of one grey
// level (noise alone gives about that and correlates with nothing), a coarse-band spread of 2.5.
constexpr float kMinimumOverlapShare = 0.05f;
constexpr float kMinimumFineSpread = 1.0f;
constexpr float kMinimumCoarseSpread = 2.5f;
// A weak agreement needs more texture behind it: the deciding band's correlation times its spread (the
// agreeing part of the texture, in grey levels) must reach 0.6. Correct alignments of the views cut from
// photographs measure 0.78 or more, the real sets' 8 or more; a smooth water surface matched 33 pixels off
// 0.49.
constexpr float kMinimumAgreeingTexture = 0.6f;

// Localisation: moved by the probe distance (working pixels: 3 for the fine band, 10 for the coarse one)
// along any axis, the deciding band's agreement must fall by at least a tenth of itself and by 0.06. On views
// cut from photographs, correct alignments fall by 0.12 of themselves or more in their weakest direction,
// streaked skies and leaf veins by 0.11 or less, from weak agreements.
constexpr double kFineProbe = 3.0;
constexpr double kCoarseProbe = 10.0;
constexpr float kLeastFall = 0.1f;
constexpr float kLeastAbsoluteFall = 0.06f;
constexpr double kProbeSamples = 12000;

bool FineBandDecides(const OverlapScore& score)
{
    return score.fine.spread >= kMinimumFineSpread && score.fine.correlation >= kMinimumDetailCorrelation;
}

}  // namespace

float Evidence(const OverlapScore& score)
{
    if (FineBandDecides(score)) return score.fine.correlation;
    if (score.coarse.spread >= kMinimumCoarseSpread) return score.coarse.correlation;
    return -1.0f;
}

bool IsVerified(const OverlapScore& score)
{
    const float evidence = Evidence(score);
    const float spread = FineBandDecides(score) ? score.fine.spread : score.coarse.spread;
    return score.overlap_share >= kMinimumOverlapShare && evidence >= kMinimumDetailCorrelation &&
           evidence * spread >= kMinimumAgreeingTexture;
}

float Rank(const OverlapScore& score) { return score.fine.correlation + score.coarse.correlation; }

bool IsLocalised(const SourceLevels& a, const SourceLevels& b, const Matrix& h, const OverlapScore& score)
{
    // Four axes, each probed both ways: the mean fall of the two is the same whether or not the alignment
    // sits exactly on its peak.
    static constexpr int kAxes[4][2] = {{1, 0}, {1, 1}, {0, 1}, {-1, 1}};
    const bool fine = FineBandDecides(score);
    const float evidence = Evidence(score);
    const double distance = fine ? kFineProbe : kCoarseProbe;
    float least = 2.0f;
    for (const auto& axis : kAxes) {
        const double step = distance / std::hypot(axis[0], axis[1]);
        float fall = 0.0f;
        for (const int sign : {1, -1}) {
            const Matrix moved = TranslationHomography(sign * axis[0] * step, sign * axis[1] * step) * h;
            const OverlapScore probe = ScorePair(a, b, moved, kProbeSamples);
            fall += 0.5f * (1.0f - (fine ? probe.fine.correlation : probe.coarse.correlation) / evidence);
        }
        least = std::min(least, fall);
    }
    return least >= kLeastFall && least * evidence >= kLeastAbsoluteFall;
}

}  // namespace tp
