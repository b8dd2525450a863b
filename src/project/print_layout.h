// Where the cropped wide-view image goes on printed pages: the cells of each page organization, the image
// fitted into a cell, and the tiles of a poster printed across several pages. Sizes are in printer pixels
// unless a name says otherwise; rectangles are in the coordinates of the page (or poster) they lie on.
#pragma once

#include <optional>
#include <vector>

namespace tp {

// Kept by the view for its lifetime; the numbers are what the Page Setup buttons stand for.
enum class PageOrganization : int {
    kOneImagePerPage = 0,
    kTwoImagesPerPage = 1,
    kFourImagesPerPage = 2,
    kEightImagesPerPage = 3,
    kAcrossPages = 4,
};
inline constexpr int kPageOrganizationCount = 5;

// String id of the line describing an organization (35201 .. 35205).
int OrganizationDescriptionId(PageOrganization organization);

// Left, top, right, bottom; right and bottom are exclusive, so width = right - left.
struct PageRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const PageRect&) const = default;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool empty() const { return width() <= 0 || height() <= 0; }
};

// ceil(size / page_size): how many pages a length needs. 0 when either is 0 or less.
int PagesNeeded(int size, int page_size);

// trunc(pixels_per_inch * 0.25): the gap left between cells on paper.
int QuarterInch(int pixels_per_inch);

// The cells of one printable area of width x height in drawing order, separated by gap_x and gap_y:
//   one image:    the whole area;
//   two images:   top (0, 0, width, height/2 - gap_y) and the same moved down by height/2 + gap_y;
//   four images:  (width - gap_x)/2 x (height - gap_y)/2 cells: top-left, top-right, bottom-right,
//                 bottom-left;
//   eight images: two columns of (width - gap_x)/2, four rows of (height - 3*gap_y)/4, row by row, left first.
// Across pages has no cells (each page shows a tile instead) and gives none. An area too small for its gaps
// gives empty cells, in which nothing is drawn.
std::vector<PageRect> OrganizationCells(PageOrganization organization, int width, int height, int gap_x,
                                        int gap_y);

// Where an image of cw x ch goes in a cell: as wide as the cell when the cell is relatively taller than the
// image (height = width * ch / cw, centred vertically), else as tall as the cell (width = height * cw / ch,
// centred horizontally). Enlarges as well as reduces. Empty for an empty cell or image.
PageRect FitImageInCell(const PageRect& cell, int cw, int ch);

// A poster of pw x ph printer pixels cut into pages of PW x PH.
struct TileGrid {
    int columns = 0;  // ceil(pw / PW)
    int rows = 0;     // ceil(ph / PH)
    bool operator==(const TileGrid&) const = default;
};
TileGrid PosterTileGrid(int pw, int ph, int PW, int PH);

// Pages of a print job: 1, except across pages with an image: columns x rows of the poster. Never less than
// 1 (a poster of no size, or a printer without a page, still prints its one empty page) and at most INT_MAX.
int PrintPageCount(PageOrganization organization, bool has_image, int pw, int ph, int PW, int PH);

// What page `page` (1-based, left to right, then down) of the poster shows.
struct PosterTile {
    // The part of the poster, in poster pixels: x from PW*c up to PW*(c + 1), or to pw in the last column;
    // y likewise (ends exclusive, so neighbouring pages meet). It is drawn at the page's top left, (0, 0) to
    // (print.width(), print.height()).
    PageRect print;
    // The part of the cw x ch image stretched onto it: print scaled by cw / pw, truncated, within the image.
    PageRect image;
    bool operator==(const PosterTile&) const = default;
};
// Nothing for a page outside the poster or when any size is 0 or less.
std::optional<PosterTile> PosterTileOfPage(int page, int pw, int ph, int PW, int PH, int cw, int ch);

// The panoramic print size: pw x ph printer pixels.
struct PrintSize {
    int pw = 0;
    int ph = 0;
    bool operator==(const PrintSize&) const = default;
};
// The size offered when printing across pages is chosen for a cw x ch crop box (0 x 0 without an image):
// the current one when it is set and its whole multiples agree (ph / ch == pw / cw), otherwise 2cw x 2ch.
PrintSize ProposedPrintSize(int cw, int ch, PrintSize current);

}  // namespace tp
