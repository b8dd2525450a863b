// Registering neighbouring sources: the homography that carries image i onto image i + 1, found
// automatically, or from a translation or four-point hint the user gave.
#pragma once

#include "imaging/progress.h"
#include "imaging/working_images.h"
#include "registration/source_alignment.h"

namespace tp {

// Registers image i with image i + 1 (working images, centred coordinates) using `levels` pyramid levels.
// On success stores the pair with weight 1 and returns 0; otherwise clears the pair's flags (its
// homographies stay) and returns nonzero. The method is recorded in record i either way. The automatic
// method retries with fewer levels; its one-level attempt (a phase-correlation translation) always succeeds
// unless a file cannot be read or the images cannot be compared.
int RegisterPair(AlignmentTable& table, int i, RegistrationMethod method, int levels, WorkingImageSource& images);

// Registers every neighbouring pair automatically, one progress step per pair. Returns false as soon as the
// user cancels (the pairs before stay registered).
bool RegisterNeighbours(AlignmentTable& table, int levels, WorkingImageSource& images, Progress& progress);

}  // namespace tp
