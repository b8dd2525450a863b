#include "ui/printing.h"

#include <algorithm>

#include <QApplication>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QSettings>

#include "imaging/fatal_error.h"
#include "imaging/string_table.h"
#include "project/panoramic_image_size.h"
#include "ui/page_setup_dialog.h"
#include "ui/panoramic_size_dialog.h"
#include "ui/printing_window.h"
#include "ui/qt_image.h"

namespace tp {

namespace {

QRect ToQRect(const PageRect& r) { return QRect(r.left, r.top, r.width(), r.height()); }

QRect PrintableRect(const QPrinter& printer)
{
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    return QRect(0, 0, page.width(), page.height());
}

}  // namespace

PrinterPage PrinterPageOf(const QPrinter& printer)
{
    const int dpi = printer.resolution();
    const QPageLayout layout = printer.pageLayout();
    const QRect paper = layout.fullRectPixels(dpi);
    const QRect printable = layout.paintRectPixels(dpi);
    PrinterPage page;
    page.ox = printable.left() - paper.left();
    page.oy = printable.top() - paper.top();
    page.px = paper.width();
    page.py = paper.height();
    page.HR = printable.width();
    page.VR = printable.height();
    page.ppi = dpi;
    return page;
}

int PageCount(const PrintSettings& settings, const ColorImage& image, const QPrinter& printer)
{
    const QRect page = PrintableRect(printer);
    return PrintPageCount(settings.organization, !image.empty(), settings.poster.pw, settings.poster.ph, page.width(),
                          page.height());
}

void PaintPage(QPainter& painter, const QRect& page_rect, int page, const PrintSettings& settings,
               const ColorImage& image, int dpi_x, int dpi_y)
{
    if (image.empty()) return;
    const QImage picture = ToQImage(image);
    painter.save();
    painter.translate(page_rect.topLeft());
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (settings.organization == PageOrganization::kAcrossPages) {
        const std::optional<PosterTile> tile = PosterTileOfPage(page, settings.poster.pw, settings.poster.ph,
                                                                page_rect.width(), page_rect.height(), image.width(),
                                                                image.height());
        // The image part is taken at the exact scale, not at whole image pixels, so that each page is a window
        // into one poster and the picture runs on across page edges to the printer pixel.
        if (tile) {
            const double u = static_cast<double>(image.width()) / settings.poster.pw;
            const double v = static_cast<double>(image.height()) / settings.poster.ph;
            const QRectF source = QRectF(tile->print.left * u, tile->print.top * v, tile->print.width() * u,
                                         tile->print.height() * v)
                                      .intersected(QRectF(0, 0, image.width(), image.height()));
            // A poster out of the image's proportions prints the image undistorted and leaves the rest blank.
            painter.drawImage(QRectF(0, 0, source.width() / u, source.height() / v), picture, source);
        }
    } else {
        for (const PageRect& cell : OrganizationCells(settings.organization, page_rect.width(), page_rect.height(),
                                                      QuarterInch(dpi_x), QuarterInch(dpi_y))) {
            const PageRect target = FitImageInCell(cell, image.width(), image.height());
            if (!target.empty()) painter.drawImage(ToQRect(target), picture);
        }
    }
    painter.restore();
}

bool PrintPages(const ColorImage& image, const PrintSettings& settings, const QString& title, QPrinter& printer,
                QWidget* window)
{
    printer.setDocName(title);
    const int count = PageCount(settings, image, printer);
    const int first = printer.fromPage() > 0 ? std::clamp(printer.fromPage(), 1, count) : 1;
    const int last = printer.toPage() > 0 ? std::clamp(printer.toPage(), first, count) : count;
    QPainter painter;
    if (!painter.begin(&printer)) {
        ShowMessage(LoadString(strings::kCouldNotStartPrintJob));
        return false;
    }
    PrintingWindow status(title, printer, window);
    status.show();
    if (window) window->setEnabled(false);
    status.setEnabled(true);
    const QRect page_rect = PrintableRect(printer);
    bool aborted = false;
    for (int page = first; page <= last; ++page) {
        status.ShowPage(page);
        QApplication::processEvents();
        if (status.cancelled()) {
            aborted = true;
            break;
        }
        if (page > first) printer.newPage();
        PaintPage(painter, page_rect, page, settings, image, printer.resolution(), printer.resolution());
    }
    if (aborted)
        printer.abort();
    painter.end();
    if (window) window->setEnabled(true);
    return !aborted;
}

bool AskToPrint(QPrinter& printer, int page_count, QWidget* parent)
{
    QPrintDialog dialog(&printer, parent);
    dialog.setMinMax(1, page_count);
    printer.setFromTo(1, page_count);
    return dialog.exec() == QDialog::Accepted;
}

double PrintedScale(const PrintSettings& settings, int image_width, int image_height, int page_width,
                    int page_height, int dpi)
{
    if (image_width <= 0 || image_height <= 0) return 0.0;
    const auto larger_ratio = [&](int printed_width, int printed_height) {
        return std::max(static_cast<double>(printed_width) / image_width, static_cast<double>(printed_height) / image_height);
    };
    if (settings.organization == PageOrganization::kAcrossPages) return larger_ratio(settings.poster.pw, settings.poster.ph);
    double scale = 0.0;
    const int gap = QuarterInch(dpi);
    for (const PageRect& cell : OrganizationCells(settings.organization, page_width, page_height, gap, gap)) {
        const PageRect target = FitImageInCell(cell, image_width, image_height);
        scale = std::max(scale, larger_ratio(target.width(), target.height()));
    }
    return scale;
}

double PrintedScale(const PrintSettings& settings, int image_width, int image_height, const QPrinter& printer)
{
    const QRect page = PrintableRect(printer);
    return PrintedScale(settings, image_width, image_height, page.width(), page.height(), printer.resolution());
}

double PrintCompositionScale(double printed_scale, double full_scale)
{
    // Composing again costs a pass over every photograph; a few per cent more pixels are not worth it.
    constexpr double kWorthComposing = 1.05;
    const double scale = std::min(printed_scale, full_scale);
    return scale > kWorthComposing ? scale : 1.0;
}

void PaintAllPages(QPrinter& target, const PrintSettings& settings, const ColorImage& image)
{
    QPainter painter(&target);
    const int count = PageCount(settings, image, target);
    const QRect page_rect = PrintableRect(target);
    for (int page = 1; page <= count; ++page) {
        if (page > 1) target.newPage();
        PaintPage(painter, page_rect, page, settings, image, target.resolution(), target.resolution());
    }
}

void PreviewPrint(const ColorImage& image, const PrintSettings& settings, QPrinter& printer, QSettings& store,
                  QWidget* parent)
{
    QPrintPreviewDialog preview(&printer, parent);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [&](QPrinter* target) { PaintAllPages(*target, settings, image); });
    const QString key = QStringLiteral("Settings/PreviewPages");
    auto* pages = preview.findChild<QPrintPreviewWidget*>();
    if (pages && store.value(key, 1).toInt() == 2) pages->setViewMode(QPrintPreviewWidget::FacingPagesView);
    preview.exec();
    if (pages) store.setValue(key, pages->viewMode() == QPrintPreviewWidget::FacingPagesView ? 2 : 1);
}

void SetUpPrinter(QPrinter& printer, QWidget* parent)
{
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(QStringLiteral("Print Setup"));
    dialog.exec();
}

void SetUpPages(PrintSettings& settings, const ColorImage& image, QPrinter& printer, QWidget* parent)
{
    const PrinterPage page = PrinterPageOf(printer);
    PageSetupDialog setup(settings.organization, ComputePageSetupGeometry(page), parent);
    if (setup.exec() != QDialog::Accepted) return;
    settings.organization = setup.organization();
    if (settings.organization != PageOrganization::kAcrossPages) return;
    settings.poster = ProposedPrintSize(image.width(), image.height(), settings.poster);
    PanoramicSizeInputs inputs;
    inputs.W = image.width();
    inputs.H = image.height();
    inputs.pw = settings.poster.pw;
    inputs.ph = settings.poster.ph;
    inputs.PW = page.HR;
    inputs.PH = page.VR;
    inputs.R = page.ppi;
    PanoramicSizeDialog size(inputs, parent);
    if (size.exec() == QDialog::Accepted) settings.poster = size.print_size();
}

}  // namespace tp
