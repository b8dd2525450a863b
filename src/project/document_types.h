// The small records of the project document: the stitch state, a source entry, a pending manual edit.
#pragma once

#include <string>
#include <vector>

#include "project/display_copy.h"
#include "registration/geometry_types.h"

namespace tp {

enum class StitchState : int { Stitched = 0, Finalized = 1, Unstitched = 2 };

// Left, top, right, bottom.
struct IntRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const IntRect&) const = default;
};

// A point as the edit window keeps it.
struct PointD {
    double x = 0.0;
    double y = 0.0;
};

// One source image of the project.
struct CImageObj {
    DisplayCopy thumbnail;  // longest side 320
    std::string path;       // absolute file name
    IntRect strip_rect;     // where the source-image strip draws it
};

// A manual alignment of pair (i, i + 1) not yet applied, in working-image pixels.
struct PairEdit {
    int mode = -1;  // -1 unset, 0 automatic, 1 translation, 2 four points
    int modified = 0;
    float translation_x = 0.0f;
    float translation_y = 0.0f;
    std::vector<PointF> first_points = std::vector<PointF>(4);
    std::vector<PointF> second_points = std::vector<PointF>(4);
};

// Command ids of the workflow and the projections.
namespace command {
inline constexpr int kLoad = 32771;
inline constexpr int kStitch = 32772;
inline constexpr int kFinalize = 32773;
inline constexpr int kCrop = 32774;
inline constexpr int kExport = 32775;
inline constexpr int kPrint = 32776;
inline constexpr int kPlanarProjection = 32812;
inline constexpr int kCylindricalProjection = 32813;
}  // namespace command

}  // namespace tp
