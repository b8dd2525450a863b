// The printer's page as Page Setup shows it: margins in printer pixels, and the miniature pages painted on
// the organization buttons, scaled so that the longer printable side is kMiniatureLongSide pixels.
#pragma once

#include <array>
#include <vector>

#include "project/print_layout.h"

namespace tp {

// What the current printer reports, in printer pixels. All 0 without a printer.
struct PrinterPage {
    int ox = 0;   // printing offset: where the printable area begins on the paper
    int oy = 0;
    int px = 0;   // physical page size
    int py = 0;
    int HR = 0;   // printable width and height (the horizontal and vertical resolution)
    int VR = 0;
    int ppi = 0;  // horizontal pixels per inch
};

inline constexpr int kMiniatureLongSide = 86;

struct PageMargins {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const PageMargins&) const = default;
};

struct PageSetupGeometry {
    PrinterPage printer;
    // s = max(HR, VR) / 86: printer pixels per miniature pixel. 0 when the printer has no page, and then
    // every miniature is empty.
    double s = 0;
    // g = trunc(0.25 / s * ppi): the quarter-inch gap between cells, in miniature pixels.
    int g = 0;
    // Left ox, top oy, right px - HR - ox, bottom py - VR - oy (0 where a printer reports less).
    PageMargins margins;
};
PageSetupGeometry ComputePageSetupGeometry(const PrinterPage& printer);

// One miniature page in miniature pixels: the paper, and the printable area inside the scaled margins.
struct MiniatureSheet {
    PageRect page;
    PageRect printable;
    bool operator==(const MiniatureSheet&) const = default;
};

// The paper at (0, 0): its physical size divided by s; the printable area at the printing offset divided by
// s, of the printable size divided by s, so that its longer side is exactly kMiniatureLongSide. Divisions by
// s are done exactly (v * 86 / max(HR, VR)) and truncated.
MiniatureSheet MiniaturePage(const PageSetupGeometry& geometry);
// The cells of an organization on MiniaturePage(), with the gap g; none across pages.
std::vector<PageRect> MiniatureCells(PageOrganization organization, const PageSetupGeometry& geometry);
// Across pages: four pages at half the miniature's size, 2 x 2 and one pixel apart, in the order top-left,
// top-right, bottom-left, bottom-right.
std::array<MiniatureSheet, 4> MiniaturePagesAcross(const PageSetupGeometry& geometry);

}  // namespace tp
