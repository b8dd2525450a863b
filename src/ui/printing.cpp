#include "ui/printing.h"

#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include "project/display_copy.h"
#include "ui/qt_image.h"

namespace tp {

void PaintOnPrinter(const ColorImage& image, QPrinter& printer)
{
    QPainter painter(&printer);
    if (!painter.isActive() || image.empty()) return;
    const QRect page = painter.viewport();
    const FittedRect fitted = FitForDrawing(page.width(), page.height(), image.width(), image.height());
    // Fitting never enlarges; on paper the image should fill the page, so scale up as well.
    const double scale = std::min(double(page.width()) / image.width(), double(page.height()) / image.height());
    const int w = int(image.width() * scale), h = int(image.height() * scale);
    const QRect target = fitted.width == image.width() && fitted.height == image.height()
                             ? QRect((page.width() - w) / 2, (page.height() - h) / 2, w, h)
                             : QRect(fitted.left, fitted.top, fitted.width, fitted.height);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, ToQImage(image));
}

void PrintImage(const ColorImage& image, const QString& title, QPrinter& printer, QWidget* parent)
{
    printer.setDocName(title);
    QPrintDialog dialog(&printer, parent);
    dialog.setMinMax(1, 1);
    if (dialog.exec() != QDialog::Accepted) return;
    PaintOnPrinter(image, printer);
}

void PreviewPrint(const ColorImage& image, QPrinter& printer, QWidget* parent)
{
    QPrintPreviewDialog preview(&printer, parent);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [&image](QPrinter* printer) { PaintOnPrinter(image, *printer); });
    preview.exec();
}

void SetUpPrinter(QPrinter& printer, QWidget* parent)
{
    QPageSetupDialog dialog(&printer, parent);
    dialog.exec();
}

}  // namespace tp
