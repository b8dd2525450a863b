// The arithmetic of the pair editor's canvas: its size, where the two images of a frame lie on it, how a
// dragged image is kept touching the other, the centring and the first scroll position, where a point's
// number goes, and how a point being placed moves. No drawing here, so tests call it directly.
//
// Units: "working pixels" are pixels of the display copies (the working images); "canvas pixels" are
// working pixels times the zoom, plus the centring offset when a name says so.
#pragma once

#include <optional>

#include "project/document_types.h"
#include "registration/geometry_types.h"

namespace tp {

struct SizeI {
    int width = 0;
    int height = 0;
    bool operator==(const SizeI&) const = default;
};

// The canvas in working pixels: three times the larger image each way while dragging (room to slide the
// second image all round the first), the two images end to end while placing points.
SizeI EditCanvasSize(bool translation_mode, bool horizontal, SizeI first, SizeI second);

// Top-left corners of the two images on the canvas, in working pixels.
struct PairPlacement {
    PointI first;
    PointI second;
    bool operator==(const PairPlacement&) const = default;
};

// Translation: the first image in the middle third, the second moved from it by the hint (truncated); a hint
// of (0, 0) means "never placed", so the second goes beside the first along the alignment.
PairPlacement TranslationPlacement(SizeI canvas, SizeI first, PointF hint, bool horizontal);
// Four points: the two images end to end, the second right of the first or below it.
PairPlacement FourPointsPlacement(SizeI first, bool horizontal);

// An image's rectangle in canvas pixels (offset included) from its origin in working pixels.
IntRect ZoomedImageRect(PointD origin, SizeI image, double zoom, PointI offset);
// A length in working pixels at the zoom, truncated.
int Zoomed(double length, double zoom);

// A dragged second image may overlap the first or touch it, never leave it: each edge that went past the far
// edge of the first image is brought back onto it.
IntRect PushBack(IntRect moved, const IntRect& first);

// Added to everything on the canvas so that a canvas narrower (lower) than the window sits in its middle.
PointI CentringOffset(SizeI client, SizeI zoomed_canvas);

// The scroll position after a reload, zoom or resize: the top-left corner while placing points; while
// dragging, the first image's third of the canvas starts at the window edge along the alignment and is
// centred across it.
PointI InitialScroll(bool translation_mode, bool horizontal, SizeI client, SizeI zoomed_canvas);

// The 10 x 10 box of a point marker's number (canvas pixels): right of the point, or left of it when it
// would pass the right edge of the image holding the point; nudged up or down near the first image's bottom
// or top.
IntRect MarkerLabelBox(PointI point, const IntRect& containing_image, const IntRect& first_image);

// A point being placed moves by a fifth of the pointer's movement (sub-pixel precision at any zoom); an axis
// that would leave [0, size] stays where it was. Position and size in canvas pixels, relative to the image.
PointD MovePlacingPoint(PointD position, PointI pointer_delta, SizeI image);

// Where a placed point is stored, in working pixels: the truncated position divided by the zoom, or nothing
// when it lies on or beyond the image's right or bottom edge.
std::optional<PointD> PlacedPoint(PointD position, SizeI zoomed_image, double zoom);

// A point counts as set unless both its coordinates are 0.
inline bool PointIsSet(const PointD& p) { return p.x != 0.0 || p.y != 0.0; }

inline bool RectContains(const IntRect& r, PointI p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }
inline int RectWidth(const IntRect& r) { return r.right - r.left; }
inline int RectHeight(const IntRect& r) { return r.bottom - r.top; }

}  // namespace tp
