// The zoomable image view: one colour image at a chosen zoom, centred when smaller than the window, framed
// by an outline and a drop shadow that fades into the background, panned by dragging with the hand, scrolled
// by keys and wheel, zoomed from its context menu. Derived views add drawing through the hooks below.
#pragma once

#include <QAbstractScrollArea>

#include "imaging/image_buffer.h"
#include "ui/command_ids.h"
#include "ui/view_geometry.h"
#include "ui/zoomed_image.h"

class QMenu;

namespace tp {

// The context menu's zoom commands, in menu order, with their texts.
struct ZoomCommand {
    int id;
    const char* text;
};
inline constexpr ZoomCommand kZoomCommands[] = {
    {kCmdFitOnScreen, "Fit on Screen"}, {kCmdActualPixels, "Actual Pixels"}, {kCmdZoomIn, "Zoom In"}, {kCmdZoomOut, "Zoom Out"}};

class CXView : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit CXView(QWidget* parent = nullptr);

    // Copies the image into the view (keeps the zoom; the scroll position stays where the new sizes allow).
    void SetImage(const ColorImage& image);
    void ClearImage();
    bool has_image() const { return !image_.empty(); }
    QSize image_size() const { return image_.size(); }

    double zoom() const { return zoom_; }
    // Stores the zoom, recomputes the scroll sizes and repaints; the scroll position only moves as far as
    // the new sizes force it.
    void SetZoom(double zoom);
    // One of kZoomCommands; other ids leave the zoom as it is.
    void ExecuteZoomCommand(int command_id);

    void set_background_colour(const QColor& colour);
    QColor background_colour() const { return background_; }
    void set_shadow_width(int width);
    int shadow_width() const { return shadow_width_; }

    QPoint scroll_position() const;
    void ScrollTo(QPoint scroll);
    ViewGeometry view_geometry() const;
    // The zoomed image's rectangle in viewport pixels.
    QRect image_on_screen() const { return view_geometry().ImageOnScreen(scroll_position()); }
    bool panning() const { return panning_; }
    // The right-button menu (made on first use, so derived views can add to it).
    QMenu* context_menu();

protected:
    // Hooks for derived views.
    virtual void BuildContextMenu(QMenu& menu);
    // Everything outside the image: the outline, the shadow and the background.
    virtual void DrawSurroundings(QPainter& painter, const QRect& clip);
    virtual void FillBackground(QPainter& painter, const QRegion& region);
    // Drawn over the image, after it.
    virtual void DrawOverlay(QPainter& painter, const QRect& clip);
    virtual void ZoomChanged(double old_zoom, double new_zoom);
    virtual void PanningStarted();
    // The image moved on screen: after a zoom, scroll, resize or new image.
    virtual void ViewMoved();
    // The pointer's shape over a viewport point when nothing is being dragged.
    virtual QCursor CursorAt(QPoint view) const;
    void UpdateCursor(QPoint view);

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void UpdateScrollSizes();

    double zoom_ = 1.0;
    int shadow_width_ = 0;
    QColor background_{0, 0, 0};
    bool panning_ = false;
    QPoint pressed_canvas_;
    ZoomedImage image_;
    QMenu* context_menu_ = nullptr;  // owned by this view
};

}  // namespace tp
