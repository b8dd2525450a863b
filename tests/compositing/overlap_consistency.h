// How well two registered working images agree where they overlap: the zero-mean normalised correlation of
// their grey levels (insensitive to exposure differences), sampled on a two-pixel grid of image A.
#pragma once

#include <cmath>

#include "imaging/image_ops.h"
#include "registration/homography.h"

namespace tp::test {

struct OverlapAgreement {
    double correlation = -1.0;
    int samples = 0;
};

inline OverlapAgreement MeasureOverlap(const GrayImage& a, const GrayImage& b, const Matrix& a_to_b)
{
    double sa = 0, sb = 0, saa = 0, sbb = 0, sab = 0;
    int n = 0;
    for (int y = 2; y < a.height() - 2; y += 2)
        for (int x = 2; x < a.width() - 2; x += 2) {
            const MappedPoint m = ApplyHomography(a_to_b, static_cast<float>(x - a.width() / 2), static_cast<float>(y - a.height() / 2));
            if (!m.valid) continue;
            const long bx = std::lround(m.x + b.width() / 2), by = std::lround(m.y + b.height() / 2);
            if (bx < 2 || by < 2 || bx >= b.width() - 2 || by >= b.height() - 2) continue;
            const double va = a.at(x, y), vb = b.at(static_cast<int>(bx), static_cast<int>(by));
            sa += va;
            sb += vb;
            saa += va * va;
            sbb += vb * vb;
            sab += va * vb;
            ++n;
        }
    OverlapAgreement agreement;
    agreement.samples = n;
    if (n < 100) return agreement;
    const double ca = saa - sa * sa / n, cb = sbb - sb * sb / n, cab = sab - sa * sb / n;
    if (ca > 0 && cb > 0) agreement.correlation = cab / std::sqrt(ca * cb);
    return agreement;
}

}  // namespace tp::test
