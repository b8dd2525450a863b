// Where a zoomed image lies in a scrolling view: zoom commands, scroll sizes, centring, pan clamping and the
// mapping between view and image pixels. Three frames appear here: image pixels; canvas pixels (the zoomed
// image plus its centring offset, what the scroll bars move over); view pixels (the viewport, canvas minus
// the scroll position).
#pragma once

#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QSize>

namespace tp {

// The zoom a zoom command gives: Fit on Screen the smaller of the two client/image ratios, Actual Pixels 1,
// Zoom In twice, Zoom Out half the current zoom. No bound either way. Other ids keep the current zoom.
double ZoomAfterCommand(int command_id, double zoom, QSize client, QSize image);

// The image's size at `zoom`, truncated; held within int range however far the zoom goes.
QSize ZoomedSize(QSize image, double zoom);

struct ViewGeometry {
    QSize image;  // image pixels
    double zoom = 1.0;
    QSize client;  // view pixels

    QSize zoomed() const { return ZoomedSize(image, zoom); }
    // Canvas position of the image's top-left: centred along an axis where the zoomed image is smaller than
    // the client, else 0.
    QPoint origin() const;
    // The largest scroll position per axis: zoomed size minus client size, never negative.
    QPoint max_scroll() const;
    QPoint ClampScroll(QPoint scroll) const;
    // One scroll line: 20 x zoom, truncated (at least 1 so that a line always moves).
    int line_step() const;
    // Whether the zoomed image is wider or taller than the client, so that dragging pans it.
    bool pannable() const;
    // The zoomed image in view pixels at a scroll position.
    QRect ImageOnScreen(QPoint scroll) const;
    // The image pixel position (fractional) under a view point.
    QPointF ImagePointAt(QPoint view, QPoint scroll) const;
    // The scroll position while panning: the canvas point pressed minus the pointer's view position, clamped.
    QPoint PanScroll(QPoint pressed_canvas, QPoint pointer_view) const { return ClampScroll(pressed_canvas - pointer_view); }
};

}  // namespace tp
