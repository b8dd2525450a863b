#include "project/print_layout.h"

#include <algorithm>
#include <climits>
#include <cstdint>

#include "imaging/string_table.h"

namespace tp {

namespace {

int ClampToInt(int64_t value)
{
    return int(std::clamp<int64_t>(value, INT_MIN, INT_MAX));
}

PageRect Moved(const PageRect& r, int dx, int dy)
{
    return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

}  // namespace

int OrganizationDescriptionId(PageOrganization organization)
{
    switch (organization) {
    case PageOrganization::kOneImagePerPage: return strings::kPrintsOneImagePerPage;
    case PageOrganization::kTwoImagesPerPage: return strings::kPrintsTwoImagesPerPage;
    case PageOrganization::kFourImagesPerPage: return strings::kPrintsFourImagesPerPage;
    case PageOrganization::kEightImagesPerPage: return strings::kPrintsEightImagesPerPage;
    case PageOrganization::kAcrossPages: return strings::kPrintsAcrossPages;
    }
    return 0;
}

int PagesNeeded(int size, int page_size)
{
    if (size <= 0 || page_size <= 0) return 0;
    // Not (size + page_size - 1) / page_size: that overflows near INT_MAX.
    return size / page_size + (size % page_size != 0 ? 1 : 0);
}

int QuarterInch(int pixels_per_inch)
{
    return int(pixels_per_inch * 0.25);
}

std::vector<PageRect> OrganizationCells(PageOrganization organization, int width, int height, int gap_x,
                                        int gap_y)
{
    switch (organization) {
    case PageOrganization::kOneImagePerPage: return {{0, 0, width, height}};
    case PageOrganization::kTwoImagesPerPage: {
        const PageRect top{0, 0, width, height / 2 - gap_y};
        return {top, Moved(top, 0, height / 2 + gap_y)};
    }
    case PageOrganization::kFourImagesPerPage: {
        const PageRect top_left{0, 0, (width - gap_x) / 2, (height - gap_y) / 2};
        const int dx = top_left.width() + gap_x;
        const int dy = top_left.height() + gap_y;
        return {top_left, Moved(top_left, dx, 0), Moved(top_left, dx, dy), Moved(top_left, 0, dy)};
    }
    case PageOrganization::kEightImagesPerPage: {
        const PageRect first{0, 0, (width - gap_x) / 2, (height - 3 * gap_y) / 4};
        std::vector<PageRect> cells;
        for (int row = 0; row < 4; ++row)
            for (int column = 0; column < 2; ++column)
                cells.push_back(Moved(first, column * (first.width() + gap_x), row * (first.height() + gap_y)));
        return cells;
    }
    case PageOrganization::kAcrossPages: break;
    }
    return {};
}

PageRect FitImageInCell(const PageRect& cell, int cw, int ch)
{
    if (cell.empty() || cw <= 0 || ch <= 0) return {};
    const int64_t w = cell.width();
    const int64_t h = cell.height();
    // h / ch >= w / cw without rounding either ratio.
    if (h * cw >= w * ch) {
        const int fitted = int(w * ch / cw);
        const int top = cell.top + int((h - fitted) / 2);
        return {cell.left, top, cell.right, top + fitted};
    }
    const int fitted = int(h * cw / ch);
    const int left = cell.left + int((w - fitted) / 2);
    return {left, cell.top, left + fitted, cell.bottom};
}

TileGrid PosterTileGrid(int pw, int ph, int PW, int PH)
{
    return {PagesNeeded(pw, PW), PagesNeeded(ph, PH)};
}

int PrintPageCount(PageOrganization organization, bool has_image, int pw, int ph, int PW, int PH)
{
    if (organization != PageOrganization::kAcrossPages || !has_image) return 1;
    const TileGrid grid = PosterTileGrid(pw, ph, PW, PH);
    return std::max(1, ClampToInt(int64_t(grid.columns) * grid.rows));
}

std::optional<PosterTile> PosterTileOfPage(int page, int pw, int ph, int PW, int PH, int cw, int ch)
{
    if (cw <= 0 || ch <= 0) return std::nullopt;
    const TileGrid grid = PosterTileGrid(pw, ph, PW, PH);
    if (grid.columns == 0 || grid.rows == 0) return std::nullopt;
    if (page < 1 || int64_t(page) > int64_t(grid.columns) * grid.rows) return std::nullopt;
    const int column = (page - 1) % grid.columns;
    const int row = (page - 1) / grid.columns;
    // Each page ends where the next begins (exclusive ends), so the poster's pixels meet across the page
    // edges; ending a page one pixel short of the next would leave a line of the poster on no page.
    const int left = PW * column;
    const int top = PH * row;
    const int right = column == grid.columns - 1 ? pw : left + PW;
    const int bottom = row == grid.rows - 1 ? ph : top + PH;
    // x * (cw / pw), truncated, in exact integers: no ratio rounded below a whole pixel.
    const auto to_image = [pw, cw](int x) { return int(int64_t(x) * cw / pw); };
    const auto clamp = [](int v, int limit) { return std::min(v, limit); };
    PosterTile tile;
    tile.print = {left, top, right, bottom};
    tile.image = {clamp(to_image(left), cw), clamp(to_image(top), ch), clamp(to_image(right), cw),
                  clamp(to_image(bottom), ch)};
    return tile;
}

PrintSize ProposedPrintSize(int cw, int ch, PrintSize current)
{
    if (cw <= 0 || ch <= 0) return {};
    if (current.pw > 0 && current.ph >= 0 && current.ph / ch == current.pw / cw) return current;
    return {ClampToInt(2 * int64_t(cw)), ClampToInt(2 * int64_t(ch))};
}

}  // namespace tp
