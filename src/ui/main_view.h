// The main view: the wide-view image of the chosen projection on the patterned background, with the crop
// rectangle over it, and the outputs taken from it (crop, export, the cropped image).
#pragma once

#include <QAbstractScrollArea>
#include <QImage>

#include "project/wide_view.h"

namespace tp {

class CMainDoc;

class CMainView : public QAbstractScrollArea {
    Q_OBJECT
public:
    CMainView(CMainDoc& doc, QWidget* parent);

    // Takes the mosaic's image of the document's projection (nothing when the mosaic holds none) at zoom 1.
    void ShowWideView();
    void ClearView();
    // Switches the projection; false when it was already shown.
    bool SwitchProjection(int command_id);
    void Crop(CropChoice choice);
    // The writer's code: 0 written, negative for an unknown extension, positive for a write failure.
    int Export(const QString& path);
    ColorImage CroppedImage() const { return wide_view_.CroppedImage(); }

    const WideView& wide_view() const { return wide_view_; }
    bool has_image() const { return wide_view_.has_image(); }

signals:
    // The crop rectangle or the image changed (the frame's size indicator follows).
    void cropChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void UpdateScrollRanges();
    QPoint ImageOrigin() const;

    CMainDoc& doc_;
    WideView wide_view_;
    QImage shown_;  // a deep copy of the displayed image for drawing
};

}  // namespace tp
