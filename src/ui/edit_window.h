// The edit window of the modification mode: the two images of the current frame on a grey canvas. In
// Translation Mode the user drags the second image, shown half transparent, over the first; in Four Points
// Mode the two images lie end to end and the user places points 1..4 in each with a magnifying loupe. Each
// finished gesture is recorded in the document's edit of the current frame.
#pragma once

#include <QAbstractScrollArea>
#include <QImage>

#include <array>
#include <functional>
#include <memory>

#include "project/document_types.h"
#include "ui/edit_canvas.h"
#include "ui/loupe.h"

class QMenu;

namespace tp {

class CMainDoc;

class CWndModification : public QAbstractScrollArea {
    Q_OBJECT
public:
    // Context-menu commands.
    enum Command : int {
        kCmdPreview = 47000,
        kCmdFitOnScreen = 47001,
        kCmdActualPixels = 47002,
        kCmdZoomIn = 47003,
        kCmdZoomOut = 47004,
        kCmdChangeEditMode = 47005,
    };

    // How the pointer is held still while a point is placed: the screen's centre and a move of the pointer
    // (both in global coordinates). The move answers whether the pointer really went there; where it cannot
    // (some platforms forbid it) placing follows the pointer's own movement instead.
    struct PointerControl {
        std::function<QPoint()> screen_centre;
        std::function<bool(QPoint)> move_pointer;
    };

    // `horizontal_alignment` tells whether the pair's images are laid side by side (else one above the other).
    CWndModification(CMainDoc& doc, std::function<bool()> horizontal_alignment, QWidget* parent = nullptr);
    ~CWndModification() override;

    // Shows the document's current frame as last applied to the mosaic, in the document's edit mode.
    void ReloadPair();

    double zoom() const { return zoom_; }
    void SetZoom(double zoom);
    void FitOnScreen();
    void ActualPixels();
    void ZoomIn();
    void ZoomOut();
    // Flips between Translation Mode and Four Points Mode and shows the pair again.
    void ChangeEditMode();

    // The context menu (each action's data is its command id) and its commands.
    std::unique_ptr<QMenu> CreateContextMenu();
    void RunCommand(int command_id);

    void SetPointerControl(PointerControl control);

    // Canvas size in working pixels and the centring offset in canvas pixels.
    SizeI canvas_size() const { return canvas_; }
    PointI centring_offset() const { return offset_; }
    // The window's points 1..4 of the first (image 0) and second (image 1) image, in working pixels.
    const std::array<PointD, 4>& points(int image) const { return points_[image]; }
    // The second image's rectangle as shown now (moved while it is dragged), in canvas pixels.
    IntRect shown_second_rect() const;
    // The loupe while a point is placed (canvas pixels); empty otherwise.
    const IntRect& loupe_rect() const { return loupe_rect_; }
    // The position of the point being placed, relative to its image (canvas pixels).
    PointD placing_position() const { return placing_; }

signals:
    void previewRequested();
    void editRecorded();
    void modeChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    enum class Gesture { Idle, Dragging, Placing };

    bool horizontal() const { return horizontal_alignment_(); }
    bool translation_mode() const;
    bool pair_loaded() const;
    SizeI image_size(int image) const;
    SizeI zoomed_canvas() const;
    QPoint scroll() const;
    PointI CanvasPosition(QPoint viewport_position) const;
    int selected_index() const;

    void RenderCaches();
    void Layout();
    void PlaceRects();
    void RecordEdit();
    void UpdateCursor(PointI canvas_position);

    void StartDrag(PointI at);
    void Drag(PointI at);
    void FinishDrag();
    void StartPlacing(PointI at, int image);
    void MovePlacing(PointI at);
    void FinishPlacing();
    // Holds the pointer at the screen's centre; gives the canvas position the next move is measured from.
    PointI RecentrePointer(PointI at);
    void ShowLoupe();

    void PaintSurroundings(QPainter& painter, const QRegion& exposed) const;
    void PaintMarkers(QPainter& painter) const;
    void PaintMarker(QPainter& painter, PointI at, int number, const IntRect& containing, bool selected) const;
    void PaintLoupe(QPainter& painter) const;

    CMainDoc& doc_;
    std::function<bool()> horizontal_alignment_;
    PointerControl pointer_;

    double zoom_ = 1.0;
    SizeI canvas_;             // working pixels
    PointI offset_;            // canvas pixels
    PointD origins_[2];        // where each image starts, in working pixels
    std::array<PointD, 4> points_[2];
    QImage originals_[2];      // each display copy at its own size, for the loupe
    QImage cached_[2];         // each display copy at the zoomed size

    Gesture gesture_ = Gesture::Idle;
    PointI press_;             // canvas pixels
    PointI last_;              // canvas pixels
    IntRect drag_rect_;        // canvas pixels
    int edited_image_ = 0;
    PointD placing_;           // canvas pixels relative to the edited image's origin
    IntRect loupe_rect_;       // canvas pixels
    LoupeGeometry loupe_;
};

}  // namespace tp
