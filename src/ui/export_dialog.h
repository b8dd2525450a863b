// The export dialog: a save dialog with the image formats as filters, "jpg" by default and no overwrite prompt,
// with a "Resolution:" row below the file type: the working size, the photographs' full size, or at most a
// number of megapixels, each with the pixel size it gives the current crop.
#pragma once

#include <QFileDialog>

#include "ui/export_choice.h"

class QLabel;
class QRadioButton;
class QSpinBox;

namespace tp {

class ExportDialog final : public QFileDialog {
    Q_OBJECT
public:
    // Opens on `offer.last` (the working size when that is full and full is not offered).
    ExportDialog(const ExportOffer& offer, QWidget* parent);

    OutputResolution resolution() const;
    // The chosen file and resolution (the path empty until a file is chosen).
    ExportTarget target() const;

    static constexpr int kDefaultMegapixels = 20;

private:
    void ShowLimitSize();

    ExportOffer offer_;
    QRadioButton* working_ = nullptr;
    QRadioButton* full_ = nullptr;
    QRadioButton* limit_ = nullptr;
    QSpinBox* megapixels_ = nullptr;
    QLabel* limit_size_ = nullptr;
};

}  // namespace tp
