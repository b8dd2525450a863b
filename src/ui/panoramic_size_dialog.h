// "Panoramic Image Size": the size of a wide-view image printed across pages, typed in millimetres, printer
// pixels or pages; each field keeps the others and the crop box's proportions in step.
#pragma once

#include <array>

#include <QDialog>

#include "project/panoramic_image_size.h"

class QLineEdit;

namespace tp {

class PanoramicSizeDialog : public QDialog {
    Q_OBJECT
public:
    // The six fields carry the object names "field<id>" (field1055 .. field1074), the read-only values
    // "printableWidth", "printableHeight", "printableWidthMm", "printableHeightMm" and "resolution".
    PanoramicSizeDialog(const PanoramicSizeInputs& inputs, QWidget* parent);

    // pw x ph: what OK returns. Input that was refused never reaches it.
    PrintSize print_size() const { return size_.print_size(); }
    const PanoramicImageSize& size() const { return size_; }

private:
    void FieldEdited(int index, const QString& text);
    // Shows the state in every field but the one at `skipped` (-1: all).
    void Refresh(int skipped);

    PanoramicImageSize size_;
    std::array<QLineEdit*, kPanoramicFields.size()> fields_{};
};

}  // namespace tp
