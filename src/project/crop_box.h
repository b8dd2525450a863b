// Crop boxes that cut the empty border (pixels whose three bytes are all 0) off a wide-view image.
#pragma once

#include <array>
#include <vector>

#include "imaging/image_buffer.h"
#include "registration/geometry_types.h"

namespace tp {

// Left, top, right, bottom in pixels of the image the box was computed on. Right and bottom are exclusive
// (one past the last column and row), so a box used as a rectangle covers exactly what was found and a box
// grown to the image border ends at right = width, bottom = height.
struct CropRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const CropRect&) const = default;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
};

// The corners of one source's working image (top-left, top-right, bottom-right, bottom-left) in pixels of
// the image being cropped.
using SourceCorners = std::array<PointF, 4>;

// Both computations end alike: left becomes 1 when it is 0 (else at most width - 1), top likewise; right and
// bottom stay as found. An image without any non-empty pixel gives exactly the whole image (0, 0, width,
// height), the same rectangle the view shows before any crop.

// The smallest box holding every non-empty pixel, scanning inward from the box around all source corners.
// The starting box is limited to the image; with no sources, or corners around no image at all, the scans
// start from the whole image.
CropRect CircumscribedCropBox(const ColorImage& image, const std::vector<SourceCorners>& sources);

// A box inside the covered area: the well-covered columns and rows, shrunk by 15 pixels (a span too short
// for that keeps its middle line), then grown line by line while the next line holds no empty pixel.
CropRect InscribedCropBox(const ColorImage& image);

}  // namespace tp
