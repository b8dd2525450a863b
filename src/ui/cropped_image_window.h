// The cropped wide-view image in a window of its own: as large as the image up to 760 x 560, scrolling when
// the image is larger, with its size shown beside the OK button.
#pragma once

#include <QDialog>

#include "imaging/image_buffer.h"

namespace tp {

class CroppedImageWindow : public QDialog {
    Q_OBJECT
public:
    CroppedImageWindow(const ColorImage& image, QWidget* parent);
    static constexpr int kMaxPanelWidth = 760;
    static constexpr int kMaxPanelHeight = 560;
};

// Shows the window modally; nothing for an empty image.
void ShowCroppedImage(const ColorImage& image, QWidget* parent);

}  // namespace tp
