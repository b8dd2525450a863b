// Registering neighbouring sources: the homography that carries image i onto image i + 1, found
// automatically, or from a translation or four-point hint the user gave.
#pragma once

#include "imaging/progress.h"
#include "imaging/working_images.h"
#include "registration/source_alignment.h"

namespace tp {

// Registers image i with image i + 1 (working images, centred coordinates) using `levels` pyramid levels.
// On success stores the pair with weight 1 and returns 0; otherwise clears the pair's flags (its
// homographies stay) and returns nonzero. The method, the verdict and the score are recorded in record i
// either way. The automatic method registers a pair only when the images verify the alignment over their
// overlap, and declines it otherwise; the user's hints (translation, four points) register as specified and
// are scored so that a poor result can be pointed out.
int RegisterPair(AlignmentTable& table, int i, RegistrationMethod method, int levels, WorkingImageSource& images);

// Registers every neighbouring pair automatically, one progress step per pair. Returns false as soon as the
// user cancels (the pairs before stay registered).
bool RegisterNeighbours(AlignmentTable& table, int levels, WorkingImageSource& images, Progress& progress);

}  // namespace tp
