// The cropped wide-view image in a window of its own: a zoomable panel as large as the image up to
// 760 x 560, black around the image, panned by the hand where it is larger; OK centred below it and the
// image's size at the bottom right. The window grows but never shrinks below its first size.
#pragma once

#include <QDialog>

#include "imaging/image_buffer.h"
#include "ui/xview.h"

class QLabel;
class QPushButton;

namespace tp {

// The image panel: the image on black, without outline or shadow.
class CroppedImagePanel : public CXView {
    Q_OBJECT
public:
    explicit CroppedImagePanel(QWidget* parent);

protected:
    void DrawSurroundings(QPainter& painter, const QRect& clip) override;
};

// The panel's first size for an image: the image's size, at most kMaxPanelWidth x kMaxPanelHeight; where
// only one direction needs a scroll bar the other grows by the bar's thickness (within the maximum), so
// that the image still fits across it.
QSize CroppedPanelSize(QSize image, int scroll_bar_extent);

class CroppedImageWindow : public QDialog {
    Q_OBJECT
public:
    CroppedImageWindow(const ColorImage& image, QWidget* parent);
    static constexpr int kMaxPanelWidth = 760;
    static constexpr int kMaxPanelHeight = 560;

    CroppedImagePanel* panel() const { return panel_; }
    QLabel* size_label() const { return size_label_; }
    QPushButton* ok_button() const { return ok_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // Places the controls by their anchors: OK centred at the bottom, the size label at the bottom right,
    // the panel filling the rest.
    void LayOut();

    CroppedImagePanel* panel_;
    QLabel* size_label_;
    QPushButton* ok_;
};

// Shows the window modally; nothing for an empty image.
void ShowCroppedImage(const ColorImage& image, QWidget* parent);

}  // namespace tp
