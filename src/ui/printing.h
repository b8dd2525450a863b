// Printing the cropped wide-view image: one image fitted to the page, with a preview and the printer's
// set-up.
#pragma once

#include <QString>

#include "imaging/image_buffer.h"

class QPrinter;
class QWidget;

namespace tp {

// Each uses the frame's printer, so that the set-up chosen is the one printed with.
void PrintImage(const ColorImage& image, const QString& title, QPrinter& printer, QWidget* parent);
void PreviewPrint(const ColorImage& image, QPrinter& printer, QWidget* parent);
void SetUpPrinter(QPrinter& printer, QWidget* parent);
// Draws the image fitted and centred on each page of `printer` (one page).
void PaintOnPrinter(const ColorImage& image, QPrinter& printer);

}  // namespace tp
