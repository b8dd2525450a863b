// The magnifying loupe shown while a point is placed: which part of the display copy it shows, where, and how
// large. Small zooms get a stronger loupe so that single working pixels stay visible.
#pragma once

#include "project/document_types.h"
#include "ui/edit_canvas.h"

namespace tp {

struct LoupeGeometry {
    double magnification = 0.0;  // loupe pixels per canvas pixel
    IntRect source;              // working pixels of the display copy
    IntRect destination;         // canvas pixels where the source part is drawn
    IntRect window;              // canvas pixels: the visible loupe (the destination clipped to 300 x 300)
};

// For a point at `position` (canvas pixels relative to the image's origin) in an image of `image` working
// pixels whose rectangle starts at `image_origin` (canvas pixels) on a canvas shown at `zoom`.
LoupeGeometry ComputeLoupe(double zoom, PointD position, SizeI image, PointI image_origin);

}  // namespace tp
