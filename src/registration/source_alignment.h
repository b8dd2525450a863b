// What the engine keeps per source image: its pairwise homographies, its placement in the mosaic and the
// manual hints for the pair it forms with the next source.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "imaging/matrix.h"
#include "registration/geometry_types.h"

namespace tp {

enum class RegistrationMethod : int { Never = -1, Automatic = 0, Translation = 1, FourPoints = 2 };

// What the last registration of a pair concluded.
enum class PairVerdict : int {
    NotRegistered = 0,  // never registered, or restored from a project (nothing measured)
    Verified = 1,       // registered, and the images agree over their overlap
    Unverified = 2,     // registered from the user's hint, but the images do not agree well: worth a look
    Declined = 3,       // the automatic method found no alignment it could verify; align it by hand
    Failed = 4,         // not registered: a file could not be read or the hint gave no alignment
};

struct SourceAlignment {
    // Centred coordinates of this image -> those of image i + 1 (valid when has_next).
    Matrix to_next = Matrix::Identity(3);
    // Centred coordinates of this image -> those of image i - 1 (valid when has_previous).
    Matrix to_previous = Matrix::Identity(3);
    // This image -> the reference image (mosaic coordinates), and back (valid when in_chain).
    Matrix to_reference = Matrix::Identity(3);
    Matrix from_reference = Matrix::Identity(3);
    double pair_weight = 0.0;
    double focal_estimate = 0.0;
    int has_next = 0;
    int has_previous = 0;
    int in_chain = 0;
    // Box on the virtual canvas, the same relative to the virtual centre, and the box centre (canvas pixels
    // once the canvas is allocated).
    BoxI box;
    BoxI relative_box;
    PointI centre;
    // Pair (i, i + 1): the method last used, and the manual hints in working-image pixels.
    int method = static_cast<int>(RegistrationMethod::Never);
    int reserved = 0;
    std::array<PointF, 4> first_points{};
    std::array<PointF, 4> second_points{};
    PointF translation_hint;
    // Pair (i, i + 1): how well the two images agree over their overlap after the last registration (-1
    // when not measured), and what that registration concluded. Not stored in project files.
    float pair_score = -1.0f;
    PairVerdict verdict = PairVerdict::NotRegistered;
    std::string path;
};

using AlignmentTable = std::vector<SourceAlignment>;

// Records the homography of pair (i, i + 1): h into record i, its inverse into record i + 1, both flags set
// and the weight written to both records.
void StorePairResult(AlignmentTable& table, int i, const Matrix& h, const Matrix& h_inverse, double weight);

// A pair whose registration failed: its flags are cleared, its homographies stay as they were.
void ClearPairResult(AlignmentTable& table, int i);

}  // namespace tp
