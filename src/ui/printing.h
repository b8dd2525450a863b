// Printing the cropped wide-view image: one, two, four or eight to a page, or enlarged across several pages,
// with a preview, the printer's set-up and the page organization. The page arithmetic lives in the core
// (print_layout); this draws it with a QPainter on a printer or a preview.
#pragma once

#include <QRect>
#include <QString>

#include "imaging/image_buffer.h"
#include "project/page_setup_geometry.h"
#include "project/print_layout.h"

class QPainter;
class QPrinter;
class QSettings;
class QWidget;

namespace tp {

// What the user chose for printing, for as long as the program runs (not stored in the project).
struct PrintSettings {
    PageOrganization organization = PageOrganization::kOneImagePerPage;
    PrintSize poster;  // printer pixels, for printing across pages
};

// The printable area of `printer` and its resolution, as page set-up needs them.
PrinterPage PrinterPageOf(const QPrinter& printer);

// Pages the job needs for `image` on `printer`.
int PageCount(const PrintSettings& settings, const ColorImage& image, const QPrinter& printer);

// Draws page `page` (1-based) into `page_rect` (printer pixels, the printable area) with `dpi_x`, `dpi_y`
// resolution; nothing for an empty image.
void PaintPage(QPainter& painter, const QRect& page_rect, int page, const PrintSettings& settings,
               const ColorImage& image, int dpi_x, int dpi_y);

// Every page of the job, on a preview's printer (no dialog, no Printing window).
void PaintAllPages(QPrinter& target, const PrintSettings& settings, const ColorImage& image);

// The print dialog for pages 1 to `page_count`: true when the user chose to print.
bool AskToPrint(QPrinter& printer, int page_count, QWidget* parent);
// The job under `title`, the pages the print dialog chose, with a "Printing" window whose Cancel aborts it;
// `window` is disabled meanwhile. False when nothing was printed.
bool PrintPages(const ColorImage& image, const PrintSettings& settings, const QString& title, QPrinter& printer,
                QWidget* window);

// How many printer pixels an image of `image_width` x `image_height` is printed on per image pixel, in the
// larger of its two directions, on a printable area of `page_width` x `page_height` at `dpi`: the image
// fitted in a cell of the organization, or the poster's size across pages (0 without a poster).
double PrintedScale(const PrintSettings& settings, int image_width, int image_height, int page_width,
                    int page_height, int dpi);
// The same on `printer`'s printable area.
double PrintedScale(const PrintSettings& settings, int image_width, int image_height, const QPrinter& printer);
// The scale to compose the working image at for printing: as many pixels as the printer shows of it, but no
// more than the photographs have; 1 (the working image itself) when that would gain 5% or less.
double PrintCompositionScale(double printed_scale, double full_scale);

// The preview, showing one or two pages side by side as last time ("Settings" / "PreviewPages").
void PreviewPrint(const ColorImage& image, const PrintSettings& settings, QPrinter& printer, QSettings& store,
                  QWidget* parent);
void SetUpPrinter(QPrinter& printer, QWidget* parent);
// Page Setup, and for printing across pages the Panoramic Image Size that follows it; updates `settings`.
void SetUpPages(PrintSettings& settings, const ColorImage& image, QPrinter& printer, QWidget* parent);

}  // namespace tp
