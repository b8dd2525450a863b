#include "project/page_setup_geometry.h"

#include <algorithm>
#include <cstdint>

namespace tp {

namespace {

int LongSide(const PrinterPage& printer)
{
    return std::max(printer.HR, printer.VR);
}

// v / s with s = long_side / 86, without the rounding of s itself: 4800 / (4800 / 86.0) may give 85.999...
int ToMiniature(int v, int long_side)
{
    return int(int64_t(v) * kMiniatureLongSide / long_side);
}

PageRect Halved(const PageRect& r)
{
    return {r.left / 2, r.top / 2, r.right / 2, r.bottom / 2};
}

PageRect Moved(const PageRect& r, int dx, int dy)
{
    return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

}  // namespace

PageSetupGeometry ComputePageSetupGeometry(const PrinterPage& printer)
{
    PageSetupGeometry geometry;
    geometry.printer = printer;
    geometry.margins = {std::max(0, printer.ox), std::max(0, printer.oy),
                        std::max(0, printer.px - printer.HR - printer.ox),
                        std::max(0, printer.py - printer.VR - printer.oy)};
    const int long_side = LongSide(printer);
    if (long_side <= 0) return geometry;
    geometry.s = double(long_side) / kMiniatureLongSide;
    // 0.25 / s * ppi = ppi * 86 / (4 * long side).
    geometry.g = int(int64_t(printer.ppi) * kMiniatureLongSide / (4 * int64_t(long_side)));
    return geometry;
}

MiniatureSheet MiniaturePage(const PageSetupGeometry& geometry)
{
    const PrinterPage& p = geometry.printer;
    const int long_side = LongSide(p);
    if (long_side <= 0) return {};
    const int left = ToMiniature(geometry.margins.left, long_side);
    const int top = ToMiniature(geometry.margins.top, long_side);
    return {{0, 0, ToMiniature(p.px, long_side), ToMiniature(p.py, long_side)},
            {left, top, left + ToMiniature(p.HR, long_side), top + ToMiniature(p.VR, long_side)}};
}

std::vector<PageRect> MiniatureCells(PageOrganization organization, const PageSetupGeometry& geometry)
{
    const PageRect printable = MiniaturePage(geometry).printable;
    if (printable.empty()) return {};
    std::vector<PageRect> cells =
        OrganizationCells(organization, printable.width(), printable.height(), geometry.g, geometry.g);
    for (PageRect& cell : cells) cell = Moved(cell, printable.left, printable.top);
    return cells;
}

std::array<MiniatureSheet, 4> MiniaturePagesAcross(const PageSetupGeometry& geometry)
{
    const MiniatureSheet whole = MiniaturePage(geometry);
    if (whole.page.empty()) return {};
    const MiniatureSheet half{Halved(whole.page), Halved(whole.printable)};
    const int dx = half.page.width() + 1;
    const int dy = half.page.height() + 1;
    std::array<MiniatureSheet, 4> sheets;
    for (int i = 0; i < 4; ++i) {
        const int x = (i % 2) * dx;
        const int y = (i / 2) * dy;
        sheets[i] = {Moved(half.page, x, y), Moved(half.printable, x, y)};
    }
    return sheets;
}

}  // namespace tp
