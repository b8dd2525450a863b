// What registration reads of one source, made once from its working image and lent to both pairs the
// source belongs to.
#pragma once

#include "imaging/image_buffer.h"
#include "imaging/matrix.h"
#include "registration/overlap_score.h"
#include "registration/pyramid.h"

namespace tp {

struct SourceLevels {
    Pyramid pyramid;
    DetailBands detail;            // of the working image: the verdict is measured on it
    DetailBands screening_detail;  // of the level below the coarsest: candidates are screened and searched on it
    int screening_level = 0;
};

SourceLevels BuildSourceLevels(const ColorImage& working_image, int levels);

// How well A and B agree over their overlap at working resolution when `h` carries A onto B.
OverlapScore ScorePair(const SourceLevels& a, const SourceLevels& b, const Matrix& h, double samples = kScoreSamples);

}  // namespace tp
