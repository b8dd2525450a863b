// The main view: the wide-view image of the chosen projection on the patterned background, the crop box
// editor over it, and the outputs taken from it (crop, export, the cropped image).
#pragma once

#include "project/wide_view.h"
#include "ui/crop_tracker.h"
#include "ui/xview.h"

namespace tp {

class CMainDoc;

class CMainView : public CXView {
    Q_OBJECT
public:
    CMainView(CMainDoc& doc, QWidget* parent);

    // Takes the mosaic's image of the document's projection (nothing when the mosaic holds none) at zoom 1.
    void ShowWideView();
    // Shows a given image at zoom 1 as if it were the wide-view image (no mosaic behind it).
    void ShowImage(ColorImage image);
    void ClearView();
    // Switches the projection, keeping the zoom; false when it was already shown.
    bool SwitchProjection(int command_id);
    void Crop(CropChoice choice);
    ColorImage CroppedImage() const { return wide_view_.CroppedImage(); }

    const WideView& wide_view() const { return wide_view_; }
    bool has_image() const { return wide_view_.has_image(); }

signals:
    // The crop rectangle or the image changed (the frame's size indicator follows).
    void cropChanged();

protected:
    void FillBackground(QPainter& painter, const QRegion& region) override;
    void DrawOverlay(QPainter& painter, const QRect& clip) override;
    void ViewMoved() override;
    QCursor CursorAt(QPoint view) const override;

    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // The displayed image changed: hand it to the view and put the tracker on the crop rectangle.
    void TakeShownImage(double zoom);
    void RepaintLines();

    CMainDoc& doc_;
    WideView wide_view_;
    CXTracker tracker_;
    QBrush line_brush_;
};

}  // namespace tp
