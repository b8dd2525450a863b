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

// The print command: the print dialog (pages 1..count), then the job under `title` with a "Printing" window
// whose Cancel aborts it; `window` is disabled meanwhile. False when nothing was printed.
bool PrintImage(const ColorImage& image, const PrintSettings& settings, const QString& title, QPrinter& printer,
                QWidget* window);
// Prints every page without asking (the print dialog's work done by the caller, or tests).
bool PrintPages(const ColorImage& image, const PrintSettings& settings, const QString& title, QPrinter& printer,
                QWidget* window);

// The preview, showing one or two pages side by side as last time ("Settings" / "PreviewPages").
void PreviewPrint(const ColorImage& image, const PrintSettings& settings, QPrinter& printer, QSettings& store,
                  QWidget* parent);
void SetUpPrinter(QPrinter& printer, QWidget* parent);
// Page Setup, and for printing across pages the Panoramic Image Size that follows it; updates `settings`.
void SetUpPages(PrintSettings& settings, const ColorImage& image, QPrinter& printer, QWidget* parent);

}  // namespace tp
