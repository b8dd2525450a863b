#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <ostream>
#include <string>
#include <vector>

#include "imaging/string_table.h"
#include "project/page_setup_geometry.h"
#include "project/panoramic_image_size.h"
#include "project/print_layout.h"

namespace tp {

void PrintTo(const PageRect& r, std::ostream* os)
{
    *os << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

namespace {

using Org = PageOrganization;

// A letter page at 600 dpi: 8.5 x 11 in of paper, 4800 x 6360 printable, a quarter inch = 150.
constexpr int kPW = 4800;
constexpr int kPH = 6600;
constexpr PrinterPage kLetter{150, 120, 5100, 6600, 4800, 6360, 600};

// --- page counts and gaps ----------------------------------------------------------------------------------

TEST(PrintLayoutTest, PagesNeededRoundsUpAndNeverDividesByZero)
{
    struct Case {
        int size, page, expected;
    };
    const Case cases[] = {
        {4800, 4800, 1},        // exactly one page wide: one page, not two
        {4801, 4800, 2},        // one pixel more spills onto a second page
        {14400, 4800, 3},       // 14400 / 4800 = 3
        {1, 4800, 1},
        {0, 4800, 0},
        {-5, 4800, 0},
        {100, 0, 0},            // no printer page
        {100, -1, 0},
        {INT_MAX, 1, INT_MAX},
        {INT_MAX, 2, 1073741824},  // 2147483647 / 2 = 1073741823 rest 1: no overflow from size + page - 1
    };
    for (const Case& c : cases)
        EXPECT_EQ(PagesNeeded(c.size, c.page), c.expected) << c.size << " / " << c.page;
}

TEST(PrintLayoutTest, QuarterInchIsTruncated)
{
    EXPECT_EQ(QuarterInch(600), 150);  // 600 * 0.25
    EXPECT_EQ(QuarterInch(97), 24);    // 24.25
    EXPECT_EQ(QuarterInch(0), 0);
}

TEST(PrintLayoutTest, PageCountIsOneExceptForAPosterWithAnImage)
{
    struct Case {
        Org org;
        bool has_image;
        int pw, ph, PW, PH, expected;
    };
    const Case cases[] = {
        {Org::kAcrossPages, true, 14400, 7200, kPW, kPH, 6},   // ceil(14400/4800)=3 x ceil(7200/6600)=2
        {Org::kAcrossPages, true, 4800, 6600, kPW, kPH, 1},    // exactly one page both ways
        {Org::kAcrossPages, true, 4801, 6601, kPW, kPH, 4},    // 2 x 2
        {Org::kAcrossPages, false, 14400, 7200, kPW, kPH, 1},  // no image: one (empty) page
        {Org::kEightImagesPerPage, true, 14400, 7200, kPW, kPH, 1},
        {Org::kOneImagePerPage, true, 14400, 7200, kPW, kPH, 1},
        {Org::kAcrossPages, true, 0, 0, kPW, kPH, 1},          // no size yet: 0 x 0 tiles, still one page
        {Org::kAcrossPages, true, 14400, 7200, 0, 0, 1},       // no printer page
        {Org::kAcrossPages, true, 100000, 100000, 2, 2, INT_MAX},  // 50000 x 50000 = 2.5e9 > INT_MAX
        {Org::kAcrossPages, true, INT_MAX, INT_MAX, 1, 1, INT_MAX},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PrintPageCount(c.org, c.has_image, c.pw, c.ph, c.PW, c.PH), c.expected)
            << int(c.org) << ": " << c.pw << " x " << c.ph << " on " << c.PW << " x " << c.PH;
}

// --- cells -------------------------------------------------------------------------------------------------

TEST(PrintLayoutTest, CellsOfEachOrganizationOnALetterPage)
{
    struct Case {
        Org org;
        int width, height, gap_x, gap_y;
        std::vector<PageRect> expected;
    };
    const Case cases[] = {
        {Org::kOneImagePerPage, kPW, kPH, 150, 150, {{0, 0, 4800, 6600}}},
        // 6600/2 - 150 = 3150; the second moved down by 6600/2 + 150 = 3450.
        {Org::kTwoImagesPerPage, kPW, kPH, 150, 150, {{0, 0, 4800, 3150}, {0, 3450, 4800, 6600}}},
        // Odd height: 101/2 = 50, 50 - 10 = 40, moved by 60.
        {Org::kTwoImagesPerPage, 300, 101, 10, 10, {{0, 0, 300, 40}, {0, 60, 300, 100}}},
        // (4800-150)/2 = 2325 wide, (6600-150)/2 = 3225 high; top-left, top-right, bottom-right, bottom-left.
        {Org::kFourImagesPerPage, kPW, kPH, 150, 150,
         {{0, 0, 2325, 3225}, {2475, 0, 4800, 3225}, {2475, 3375, 4800, 6600}, {0, 3375, 2325, 6600}}},
        // Different gaps: (100-10)/2 = 45, (80-20)/2 = 30.
        {Org::kFourImagesPerPage, 100, 80, 10, 20,
         {{0, 0, 45, 30}, {55, 0, 100, 30}, {55, 50, 100, 80}, {0, 50, 45, 80}}},
        // 2325 wide, (6600 - 3*150)/4 = 1537 high (1537.5); rows at 0, 1687, 3374, 5061.
        {Org::kEightImagesPerPage, kPW, kPH, 150, 150,
         {{0, 0, 2325, 1537}, {2475, 0, 4800, 1537}, {0, 1687, 2325, 3224}, {2475, 1687, 4800, 3224},
          {0, 3374, 2325, 4911}, {2475, 3374, 4800, 4911}, {0, 5061, 2325, 6598}, {2475, 5061, 4800, 6598}}},
        {Org::kAcrossPages, kPW, kPH, 150, 150, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(OrganizationCells(c.org, c.width, c.height, c.gap_x, c.gap_y), c.expected) << int(c.org);
}

TEST(PrintLayoutTest, APageTooSmallForItsGapsGivesOnlyEmptyCells)
{
    for (const Org org : {Org::kTwoImagesPerPage, Org::kFourImagesPerPage, Org::kEightImagesPerPage}) {
        // 10/2 - 25 < 0; (10-25)/2 < 0; (10-75)/4 < 0.
        const std::vector<PageRect> cells = OrganizationCells(org, 100, 10, 25, 25);
        ASSERT_FALSE(cells.empty()) << int(org);
        for (const PageRect& cell : cells) {
            EXPECT_TRUE(cell.empty()) << int(org);
            EXPECT_TRUE(FitImageInCell(cell, 1000, 500).empty()) << int(org);
        }
    }
    for (const PageRect& cell : OrganizationCells(Org::kFourImagesPerPage, 0, 0, 0, 0)) EXPECT_TRUE(cell.empty());
}

TEST(PrintLayoutTest, ImageFitsItsCellWithAspectKeptAndCentred)
{
    struct Case {
        PageRect cell;
        int cw, ch;
        PageRect expected;
    };
    const Case cases[] = {
        // 6600*1000 >= 4800*500: full width, 4800*500/1000 = 2400 high, top (6600-2400)/2 = 2100.
        {{0, 0, 4800, 6600}, 1000, 500, {0, 2100, 4800, 4500}},
        // Cell 2325 x 1537: 2325*500/1000 = 1162, top (1537-1162)/2 = 187.
        {{2475, 0, 4800, 1537}, 1000, 500, {2475, 187, 4800, 1349}},
        // 800*500 < 1000*500: full height 800, 800*500/500 = 800 wide, left (1000-800)/2 = 100.
        {{0, 0, 1000, 800}, 500, 500, {100, 0, 900, 800}},
        // Ratios compared exactly: 1500/1000 and 1000/600 are both 1 in whole numbers, but 1500*600 <
        // 1000*1000, so the height limits: 1500*600/1000 = 900 wide, left 50 (not 1666 high, out of the cell).
        {{0, 0, 1000, 1500}, 600, 1000, {50, 0, 950, 1500}},
        // Same proportions: fills the cell.
        {{10, 20, 210, 120}, 400, 200, {10, 20, 210, 120}},
        // Enlarged: 300 wide, 300*1/3 = 100 high, top 100.
        {{0, 0, 300, 300}, 3, 1, {0, 100, 300, 200}},
        // 2e9 * 1e9 overflows 32 bits: 2e9*1e9/2e9 = 1e9 high, top (2e9-1e9)/2 = 5e8.
        {{0, 0, 2000000000, 2000000000}, 2000000000, 1000000000, {0, 500000000, 2000000000, 1500000000}},
        {{0, 0, 0, 100}, 1000, 500, {}},     // empty cell
        {{0, 0, 100, 100}, 0, 500, {}},      // empty image
        {{0, 0, 100, 100}, 1000, -1, {}},
    };
    for (const Case& c : cases) EXPECT_EQ(FitImageInCell(c.cell, c.cw, c.ch), c.expected);
}

// --- the poster across pages -------------------------------------------------------------------------------

TEST(PrintLayoutTest, PosterPagesShowTheirTilesLeftToRightThenDown)
{
    struct Case {
        int page, pw, ph, PW, PH, cw, ch;
        PageRect print, image;
    };
    // 10000 x 7000 on 4800 x 6600 pages: ceil = 3 columns (9600 < 10000), 2 rows; image 1000 x 700, u = 0.1.
    const Case cases[] = {
        // Not last: x up to 0 + 4800 (the next page's first column), y up to 6600; 4800*0.1 = 480, 6600*0.1 = 660.
        {1, 10000, 7000, kPW, kPH, 1000, 700, {0, 0, 4800, 6600}, {0, 0, 480, 660}},
        {2, 10000, 7000, kPW, kPH, 1000, 700, {4800, 0, 9600, 6600}, {480, 0, 960, 660}},
        // Last column: x from 2*4800 = 9600 to pw = 10000.
        {3, 10000, 7000, kPW, kPH, 1000, 700, {9600, 0, 10000, 6600}, {960, 0, 1000, 660}},
        // Last row: y from 6600 to ph = 7000.
        {4, 10000, 7000, kPW, kPH, 1000, 700, {0, 6600, 4800, 7000}, {0, 660, 480, 700}},
        {6, 10000, 7000, kPW, kPH, 1000, 700, {9600, 6600, 10000, 7000}, {960, 660, 1000, 700}},
        // u = 1000/3000 = 1/3 is not exact in floating point; 2400/3 = 800 and 1200/3 = 400 are.
        {3, 3000, 3000, 1200, 1200, 1000, 1000, {2400, 0, 3000, 1200}, {800, 0, 1000, 400}},
        // A print higher than the image's proportions: 600 * 1000/1000 = 600 is kept within ch = 500.
        {1, 1000, 600, 1000, 1000, 1000, 500, {0, 0, 1000, 600}, {0, 0, 1000, 500}},
    };
    for (const Case& c : cases) {
        const std::optional<PosterTile> tile = PosterTileOfPage(c.page, c.pw, c.ph, c.PW, c.PH, c.cw, c.ch);
        ASSERT_TRUE(tile.has_value()) << "page " << c.page;
        EXPECT_EQ(tile->print, c.print) << "page " << c.page;
        EXPECT_EQ(tile->image, c.image) << "page " << c.page;
    }
    EXPECT_EQ(PosterTileGrid(10000, 7000, kPW, kPH), (TileGrid{3, 2}));
}

TEST(PrintLayoutTest, NoTileOutsideThePosterOrWithoutSizes)
{
    struct Case {
        int page, pw, ph, PW, PH, cw, ch;
    };
    const Case cases[] = {
        {0, 10000, 7000, kPW, kPH, 1000, 700},  // pages are 1-based
        {7, 10000, 7000, kPW, kPH, 1000, 700},  // 3 x 2 = 6 pages
        {1, 0, 7000, kPW, kPH, 1000, 700},      // no print size
        {1, 10000, 0, kPW, kPH, 1000, 700},
        {1, 10000, 7000, 0, kPH, 1000, 700},    // no printer page
        {1, 10000, 7000, kPW, 0, 1000, 700},
        {1, 10000, 7000, kPW, kPH, 0, 700},     // no image
        {1, 10000, 7000, kPW, kPH, 1000, 0},
    };
    for (const Case& c : cases)
        EXPECT_FALSE(PosterTileOfPage(c.page, c.pw, c.ph, c.PW, c.PH, c.cw, c.ch).has_value())
            << c.page << ": " << c.pw << " x " << c.ph << " on " << c.PW << " x " << c.PH;
}

TEST(PrintLayoutTest, PosterSizeIsResetToTwiceTheCropBoxUnlessItsMultiplesAgree)
{
    struct Case {
        int cw, ch;
        PrintSize current, expected;
    };
    const Case cases[] = {
        {1000, 500, {0, 0}, {2000, 1000}},        // nothing earlier: 2 x 1000, 2 x 500
        {1000, 500, {3000, 1500}, {3000, 1500}},  // 1500/500 = 3 == 3000/1000
        {1000, 500, {3000, 1000}, {2000, 1000}},  // 1000/500 = 2 != 3
        {1000, 400, {2000, 1000}, {2000, 1000}},  // 1000/400 = 2 == 2000/1000: whole multiples only
        {1000, 500, {500, 250}, {500, 250}},      // 250/500 = 0 == 500/1000
        {0, 0, {3000, 1500}, {0, 0}},             // no image
        {1000, 0, {3000, 1500}, {0, 0}},          // an empty crop box divides nothing
        {1500000000, 10, {0, 0}, {INT_MAX, 20}},  // 3e9 does not fit: held at INT_MAX
    };
    for (const Case& c : cases) {
        const PrintSize proposed = ProposedPrintSize(c.cw, c.ch, c.current);
        EXPECT_EQ(proposed.pw, c.expected.pw) << c.cw << " x " << c.ch;
        EXPECT_EQ(proposed.ph, c.expected.ph) << c.cw << " x " << c.ch;
    }
}

TEST(PrintLayoutTest, DescriptionsAndTheFailedJobMessage)
{
    struct Case {
        int id;
        std::string text;
    };
    const Case cases[] = {
        {OrganizationDescriptionId(Org::kOneImagePerPage), "Prints one image per page."},
        {OrganizationDescriptionId(Org::kTwoImagesPerPage), "Prints two images per page."},
        {OrganizationDescriptionId(Org::kFourImagesPerPage), "Prints four images per page."},
        {OrganizationDescriptionId(Org::kEightImagesPerPage), "Prints eight images per page."},
        {OrganizationDescriptionId(Org::kAcrossPages), "Prints one image across multiple pages."},
        {61702, "Could not start print job."},
    };
    for (const Case& c : cases) EXPECT_EQ(LoadString(c.id), c.text) << c.id;
    EXPECT_EQ(OrganizationDescriptionId(Org::kOneImagePerPage), 35201);
    EXPECT_EQ(OrganizationDescriptionId(Org::kAcrossPages), 35205);
}

// --- Page Setup --------------------------------------------------------------------------------------------

TEST(PageSetupGeometryTest, ScaleGapMarginsAndTheMiniaturePage)
{
    const PageSetupGeometry geometry = ComputePageSetupGeometry(kLetter);
    EXPECT_NEAR(geometry.s, 73.953488372, 1e-8);  // 6360 / 86
    EXPECT_EQ(geometry.g, 2);                     // 0.25 / 73.95 * 600 = 2.03
    // 150, 120, 5100 - 4800 - 150 = 150, 6600 - 6360 - 120 = 120.
    EXPECT_EQ(geometry.margins, (PageMargins{150, 120, 150, 120}));
    // Paper 5100*86/6360 = 68 (68.96) x 6600*86/6360 = 89 (89.2); printable from 150*86/6360 = 2 (2.03),
    // 120*86/6360 = 1 (1.6), 4800*86/6360 = 64 (64.9) x 86 wide and high.
    EXPECT_EQ(MiniaturePage(geometry), (MiniatureSheet{{0, 0, 68, 89}, {2, 1, 66, 87}}));
    // Four cells on 64 x 86 with g = 2: (64-2)/2 = 31 x (86-2)/2 = 42, shifted to (2, 1).
    EXPECT_EQ(MiniatureCells(Org::kFourImagesPerPage, geometry),
              (std::vector<PageRect>{{2, 1, 33, 43}, {35, 1, 66, 43}, {35, 45, 66, 87}, {2, 45, 33, 87}}));
    EXPECT_TRUE(MiniatureCells(Org::kAcrossPages, geometry).empty());
}

TEST(PageSetupGeometryTest, PagesAcrossAreFourHalfPagesOnePixelApart)
{
    // Halves of paper 68 x 89 -> 34 x 44 and printable (2, 1, 66, 87) -> (1, 0, 33, 43); 35 and 45 apart.
    const std::array<MiniatureSheet, 4> expected = {
        MiniatureSheet{{0, 0, 34, 44}, {1, 0, 33, 43}},
        MiniatureSheet{{35, 0, 69, 44}, {36, 0, 68, 43}},
        MiniatureSheet{{0, 45, 34, 89}, {1, 45, 33, 88}},
        MiniatureSheet{{35, 45, 69, 89}, {36, 45, 68, 88}},
    };
    EXPECT_EQ(MiniaturePagesAcross(ComputePageSetupGeometry(kLetter)), expected);
}

TEST(PageSetupGeometryTest, TheLongerPrintableSideIsExactly86)
{
    // 5507 / (5507 / 86.0) is 85.99999... in floating point; the miniature divides exactly.
    struct Case {
        PrinterPage printer;
        PageRect printable;
    };
    const Case cases[] = {
        {{0, 0, 5507, 6000, 5507, 4000, 600}, {0, 0, 86, 62}},      // 4000*86/5507 = 62.4
        {{0, 0, 4000, 5507, 4000, 5507, 600}, {0, 0, 62, 86}},
        {{100, 0, 9000, 4400, 8600, 4300, 600}, {1, 0, 87, 43}},    // s = 100: 100/100 = 1, 8600/100 = 86
    };
    for (const Case& c : cases)
        EXPECT_EQ(MiniaturePage(ComputePageSetupGeometry(c.printer)).printable, c.printable);
}

TEST(PageSetupGeometryTest, WithoutAPrinterEverythingIsEmptyAndNothingDivides)
{
    const PageSetupGeometry geometry = ComputePageSetupGeometry(PrinterPage{});
    EXPECT_EQ(geometry.s, 0.0);
    EXPECT_EQ(geometry.g, 0);
    EXPECT_EQ(MiniaturePage(geometry), MiniatureSheet{});
    for (int org = 0; org < kPageOrganizationCount; ++org)
        EXPECT_TRUE(MiniatureCells(Org(org), geometry).empty()) << org;
    for (const MiniatureSheet& sheet : MiniaturePagesAcross(geometry)) EXPECT_EQ(sheet, MiniatureSheet{});
    // Paper narrower than offset plus printable area: no negative margin (4800 - 4800 - 150 < 0).
    EXPECT_EQ(ComputePageSetupGeometry({150, 120, 4800, 6600, 4800, 6360, 600}).margins,
              (PageMargins{150, 120, 0, 120}));
}

// --- Panoramic Image Size ----------------------------------------------------------------------------------

using Field = PanoramicField;

// A 1000 x 500 crop box printed 2000 x 1000 on 4800 x 6600 pages at 600 pixels per inch.
constexpr PanoramicSizeInputs kPoster{1000, 500, 2000, 1000, kPW, kPH, 600};

struct SizeState {
    float wmm, hmm;
    int pw, ph, nh, nv;
};

void ExpectState(const PanoramicImageSize& size, const SizeState& e, const std::string& what)
{
    EXPECT_FLOAT_EQ(size.wmm(), e.wmm) << what;
    EXPECT_FLOAT_EQ(size.hmm(), e.hmm) << what;
    EXPECT_EQ(size.pw(), e.pw) << what;
    EXPECT_EQ(size.ph(), e.ph) << what;
    EXPECT_EQ(size.nh(), e.nh) << what;
    EXPECT_EQ(size.nv(), e.nv) << what;
}

// trunc(2000*2540/600) = 8466 -> 84.66 mm; trunc(1000*2540/600) = 4233 -> 42.33 mm; one page each way.
constexpr SizeState kOpened{84.66f, 42.33f, 2000, 1000, 1, 1};

TEST(PanoramicImageSizeTest, OpeningShowsMillimetresInHundredthsAndPageCounts)
{
    const PanoramicImageSize size(kPoster);
    EXPECT_FALSE(size.read_only());
    ExpectState(size, kOpened, "opened");
    EXPECT_NEAR(size.printable_width_mm(), 203.2, 1e-9);   // 4800 * 25.4 / 600
    EXPECT_NEAR(size.printable_height_mm(), 279.4, 1e-9);  // 6600 * 25.4 / 600
    EXPECT_NEAR(size.pixels_per_cm(), 236.22047244, 1e-8);  // 600 / 2.54
}

TEST(PanoramicImageSizeTest, EachFieldRecomputesTheOtherFive)
{
    struct Case {
        Field field;
        double value;
        SizeState expected;
    };
    const Case cases[] = {
        // hmm = trunc(500*254*100/1000) * 0.01 = 127; pw = trunc(254*600/25.4) = 6000; ph = 500*6000/1000.
        {Field::kWidthMm, 254, {254.0f, 127.0f, 6000, 3000, 2, 1}},
        // hmm = trunc(5025) * 0.01; pw = trunc(2374.02) = 2374; ph = 500*2374/1000 = 1187.
        {Field::kWidthMm, 100.5, {100.5f, 50.25f, 2374, 1187, 1, 1}},
        // wmm = trunc(1000*127*100/500) * 0.01 = 254; ph = trunc(127*600/25.4) = 3000; pw = 1000*3000/500.
        {Field::kHeightMm, 127, {254.0f, 127.0f, 6000, 3000, 2, 1}},
        // ph = 9601*500/1000 = 4800; wmm = 9601*25.4/600 = 406.4423 (not truncated), hmm = 203.2; 3 across.
        {Field::kWidthPixels, 9601, {406.44233f, 203.2f, 9601, 4800, 3, 1}},
        {Field::kWidthPixels, 4800, {203.2f, 101.6f, 4800, 2400, 1, 1}},  // exactly one page wide
        // pw = 7000*1000/500 = 14000 -> 592.67 mm, 296.33 mm; ceil(14000/4800) = 3, ceil(7000/6600) = 2.
        {Field::kHeightPixels, 7000, {592.66667f, 296.33333f, 14000, 7000, 3, 2}},
        // pw = 3*4800 = 14400; ph = 500*14400/1000 = 7200 -> 609.6 mm, 304.8 mm; ceil(7200/6600) = 2.
        {Field::kPagesAcross, 3, {609.6f, 304.8f, 14400, 7200, 3, 2}},
        {Field::kPagesAcross, 3.9, {609.6f, 304.8f, 14400, 7200, 3, 2}},  // whole pages: 3
        // ph = 2*6600 = 13200; pw = 1000*13200/500 = 26400 -> 1117.6 mm, 558.8 mm; ceil(26400/4800) = 6.
        {Field::kPagesDown, 2, {1117.6f, 558.8f, 26400, 13200, 6, 2}},
    };
    for (const Case& c : cases) {
        PanoramicImageSize size(kPoster);
        EXPECT_TRUE(size.Edit(c.field, c.value)) << int(c.field) << " = " << c.value;
        ExpectState(size, c.expected, std::to_string(int(c.field)) + " = " + std::to_string(c.value));
    }
}

TEST(PanoramicImageSizeTest, HeightsFollowTheCropBoxByIntegerDivision)
{
    // 1000 x 333: ph = 3001*333/1000 = 999 (999.3); pw = 1000*999/333 = 3000.
    PanoramicImageSize size({1000, 333, 2000, 666, kPW, kPH, 600});
    ASSERT_TRUE(size.Edit(Field::kWidthPixels, 3001));
    EXPECT_EQ(size.ph(), 999);
    ASSERT_TRUE(size.Edit(Field::kHeightPixels, 999));
    EXPECT_EQ(size.pw(), 3000);
}

TEST(PanoramicImageSizeTest, ZeroNegativeAndUnprintableValuesAreRefusedWithNothingChanged)
{
    struct Case {
        Field field;
        double value;
    };
    const Case cases[] = {
        {Field::kWidthMm, 0}, {Field::kHeightMm, -5}, {Field::kWidthPixels, 0}, {Field::kHeightPixels, -1},
        {Field::kPagesAcross, 0}, {Field::kPagesDown, -2}, {Field::kWidthMm, std::nan("")},
        {Field::kWidthPixels, 0.5},      // not a whole pixel
        {Field::kWidthMm, 0.01},         // trunc(0.01*600/25.4) = 0 pixels wide
        {Field::kWidthPixels, 1},        // 1*500/1000 = 0 pixels high
        {Field::kWidthPixels, 3e9},      // beyond INT_MAX
        {Field::kPagesAcross, 500000},   // 500000*4800 = 2.4e9 pixels
        {Field::kHeightMm, 1e12},
        {Field::kPagesDown, INFINITY},
    };
    for (const Case& c : cases) {
        PanoramicImageSize size(kPoster);
        EXPECT_FALSE(size.Edit(c.field, c.value)) << int(c.field) << " = " << c.value;
        ExpectState(size, kOpened, std::to_string(int(c.field)) + " = " + std::to_string(c.value));
    }
}

TEST(PanoramicImageSizeTest, ReadOnlyWithoutACropBoxOrAPrinterAndNeverDividingByZero)
{
    struct Case {
        PanoramicSizeInputs inputs;
        SizeState expected;
    };
    const Case cases[] = {
        {{0, 0, 0, 0, kPW, kPH, 600}, {0, 0, 0, 0, 1, 1}},       // no image: 0 x 0, at least one page
        {{1000, 0, 2000, 0, kPW, kPH, 600}, {84.66f, 0, 2000, 0, 1, 1}},
        {{1000, 500, 2000, 1000, 0, 0, 600}, {84.66f, 42.33f, 2000, 1000, 1, 1}},  // no printer page
        {{1000, 500, 2000, 1000, kPW, kPH, 0}, {0, 0, 2000, 1000, 1, 1}},          // no resolution
    };
    for (const Case& c : cases) {
        PanoramicImageSize size(c.inputs);
        EXPECT_TRUE(size.read_only());
        for (const Field field : kPanoramicFields) EXPECT_FALSE(size.Edit(field, 3)) << int(field);
        ExpectState(size, c.expected, "read-only");
    }
    const PanoramicImageSize no_resolution({1000, 500, 2000, 1000, kPW, kPH, 0});
    EXPECT_EQ(no_resolution.printable_width_mm(), 0.0);
    EXPECT_EQ(no_resolution.pixels_per_cm(), 0.0);
}

}  // namespace
}  // namespace tp
