#include <gtest/gtest.h>

#include <QFile>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>

#include "test_support.h"
#include "ui/printing.h"

namespace tp {
namespace {

ColorImage RedImage(int width, int height)
{
    ColorImage image(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) image.pixel(x, y)[2] = 255;  // blue, green, red bytes
    return image;
}

bool IsRed(const QImage& page, QPoint p) { return page.pixelColor(p) == QColor(255, 0, 0); }

TEST(PrintingTest, EachOrganizationPutsTheImageInItsCellsAndLeavesTheGapsWhite)
{
    // An 850 x 1100 page at 100 dpi (gaps of 25) and a 300 x 100 image.
    const ColorImage image = RedImage(300, 100);
    struct Case {
        PageOrganization organization;
        std::vector<QPoint> red;    // centres of the fitted images
        std::vector<QPoint> white;  // in the gaps and margins
    };
    const Case cases[] = {
        // One cell, the page: 850 x 283, centred vertically (top 408).
        {PageOrganization::kOneImagePerPage, {{425, 550}}, {{425, 400}, {425, 700}}},
        // Cells (0, 0)-(850, 525) and (0, 575)-(850, 1100): the image 850 x 283 in each.
        {PageOrganization::kTwoImagesPerPage, {{425, 262}, {425, 837}}, {{425, 550}}},
        // Cells 412 x 537 with gaps of 25: images 412 x 137 at the cells' middles.
        {PageOrganization::kFourImagesPerPage, {{206, 268}, {643, 268}, {643, 830}, {206, 830}}, {{425, 268}, {206, 100}}},
        // Two columns of 412, four rows of (1100 - 75) / 4 = 256.
        {PageOrganization::kEightImagesPerPage, {{206, 128}, {643, 128}, {206, 409}, {643, 971}}, {{425, 128}, {206, 268}}},
    };
    for (const Case& c : cases) {
        QImage page(850, 1100, QImage::Format_RGB32);
        page.fill(Qt::white);
        QPainter painter(&page);
        PrintSettings settings;
        settings.organization = c.organization;
        PaintPage(painter, page.rect(), 1, settings, image, 100, 100);
        painter.end();
        for (const QPoint& p : c.red) EXPECT_TRUE(IsRed(page, p)) << static_cast<int>(c.organization) << " at " << p.x() << "," << p.y();
        for (const QPoint& p : c.white) EXPECT_EQ(page.pixelColor(p), QColor(Qt::white)) << static_cast<int>(c.organization) << " at " << p.x() << "," << p.y();
    }
}

TEST(PrintingTest, APosterPageShowsItsTileFromTheTopLeft)
{
    // A 300 x 100 image printed 1200 x 400 on 850 x 1100 pages: two pages across, one down.
    const ColorImage image = RedImage(300, 100);
    PrintSettings settings;
    settings.organization = PageOrganization::kAcrossPages;
    settings.poster = {1200, 400};
    QImage page(850, 1100, QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter painter(&page);
    PaintPage(painter, page.rect(), 2, settings, image, 100, 100);
    painter.end();
    EXPECT_TRUE(IsRed(page, {10, 10}));
    EXPECT_TRUE(IsRed(page, {340, 390})) << "the second tile is 1200 - 850 = 350 wide";
    EXPECT_EQ(page.pixelColor(360, 200), QColor(Qt::white));
    EXPECT_EQ(page.pixelColor(100, 420), QColor(Qt::white));
}

TEST(PrintingTest, APostersPagesMeetWithoutLosingOrRepeatingAColumn)
{
    // Image column x has red x; the poster is twice the image, cut into pages 250 wide.
    ColorImage ramp(200, 10);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 200; ++x) ramp.pixel(x, y)[2] = static_cast<std::uint8_t>(x);
    PrintSettings settings{PageOrganization::kAcrossPages, {400, 20}};
    const auto page_image = [&](int page) {
        QImage paper(250, 100, QImage::Format_RGB32);
        paper.fill(Qt::white);
        QPainter painter(&paper);
        PaintPage(painter, paper.rect(), page, settings, ramp, 100, 100);
        return paper;
    };
    const QImage first = page_image(1), second = page_image(2);
    // Poster column 249 shows image column 124.5, poster column 250 image column 125.
    EXPECT_NEAR(first.pixelColor(249, 5).red(), 124.5, 1.0);
    EXPECT_NEAR(second.pixelColor(0, 5).red(), 125.0, 1.0);
    EXPECT_NEAR(second.pixelColor(149, 5).red(), 199.0, 1.0) << "the last page ends with the image";
    EXPECT_EQ(second.pixelColor(151, 5), QColor(Qt::white));
}

TEST(PrintingTest, ThePrintedScaleIsThePrinterPixelsPerImagePixel)
{
    // An 850 x 1100 page at 100 dpi (gaps of 25) and a 300 x 100 image, as above.
    struct Case {
        PrintSettings settings;
        int image_width;
        double scale;
    };
    const Case cases[] = {
        {{PageOrganization::kOneImagePerPage, {}}, 300, 850.0 / 300},
        {{PageOrganization::kFourImagesPerPage, {}}, 300, 412.0 / 300},
        {{PageOrganization::kAcrossPages, {1200, 400}}, 300, 4.0},
        {{PageOrganization::kAcrossPages, {1200, 600}}, 300, 6.0},  // stretched: the sharper direction counts
        {{PageOrganization::kAcrossPages, {0, 0}}, 300, 0.0},
        {{PageOrganization::kOneImagePerPage, {}}, 0, 0.0},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(PrintedScale(c.settings, c.image_width, 100, 850, 1100, 100), c.scale, 0.01)
            << static_cast<int>(c.settings.organization) << " " << c.settings.poster.pw << "x" << c.settings.poster.ph;
}

TEST(PrintingTest, TheImageIsComposedForPrintingOnlyWhenThatGainsMoreThanFivePerCent)
{
    struct Case {
        double printed, full, composed;
    };
    for (const Case c : {Case{3.0, 1.5625, 1.5625}, Case{1.2, 2.0, 1.2}, Case{1.05, 2.0, 1.0}, Case{0.5, 2.0, 1.0},
                         Case{3.0, 1.0, 1.0}})
        EXPECT_EQ(PrintCompositionScale(c.printed, c.full), c.composed) << c.printed << " " << c.full;
}

int PdfPages(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return -1;
    // Page objects are named in the file's plain dictionaries, whatever the content streams' compression.
    const QString text = QString::fromLatin1(file.readAll());
    return static_cast<int>(text.count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?!s)"))));
}

TEST(PrintingTest, PrintingToPdfGivesThePageCountOfEachOrganization)
{
    test::ScratchDir dir;
    const ColorImage image = RedImage(300, 100);
    struct Case {
        PageOrganization organization;
        PrintSize poster;
        int pages;
    };
    for (const Case c : {Case{PageOrganization::kOneImagePerPage, {}, 1}, Case{PageOrganization::kEightImagesPerPage, {}, 1},
                         Case{PageOrganization::kAcrossPages, {0, 0}, 1}}) {
        QPrinter printer(QPrinter::ScreenResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        const QString path = QString::fromStdString(dir.file("print" + std::to_string(static_cast<int>(c.organization)) + ".pdf"));
        printer.setOutputFileName(path);
        PrintSettings settings{c.organization, c.poster};
        EXPECT_EQ(PageCount(settings, image, printer), c.pages);
        ASSERT_TRUE(PrintPages(image, settings, "test", printer, nullptr));
        EXPECT_EQ(PdfPages(path), c.pages) << static_cast<int>(c.organization);
    }
    // A poster two printable widths wide and one high: two pages.
    QPrinter printer(QPrinter::ScreenResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QString path = QString::fromStdString(dir.file("poster.pdf"));
    printer.setOutputFileName(path);
    const PrinterPage page = PrinterPageOf(printer);
    PrintSettings poster{PageOrganization::kAcrossPages, {2 * page.HR, page.VR / 2}};
    EXPECT_EQ(PageCount(poster, image, printer), 2);
    ASSERT_TRUE(PrintPages(image, poster, "poster", printer, nullptr));
    EXPECT_EQ(PdfPages(path), 2);
}

TEST(PrintingTest, ThePrintedPdfHoldsTheImagesWhereTheLayoutPutsThem)
{
    test::ScratchDir dir;
    const ColorImage image = RedImage(300, 100);
    for (const PageOrganization organization : {PageOrganization::kTwoImagesPerPage, PageOrganization::kEightImagesPerPage}) {
        QPrinter printer(QPrinter::ScreenResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        const QString pdf = QString::fromStdString(dir.file("layout.pdf"));
        printer.setOutputFileName(pdf);
        const PrinterPage page = PrinterPageOf(printer);
        ASSERT_TRUE(PrintPages(image, PrintSettings{organization, {}}, "layout", printer, nullptr));
        // Rendered back at the printer's own resolution, one rendered pixel is one printer pixel.
        QProcess render;
        render.start("pdftoppm", {"-r", QString::number(page.ppi), "-png", "-singlefile", pdf,
                                  QString::fromStdString(dir.file("layout"))});
        ASSERT_TRUE(render.waitForFinished(30000) && render.exitCode() == 0) << "pdftoppm (poppler-utils) renders it";
        const QImage rendered(QString::fromStdString(dir.file("layout.png")));
        ASSERT_FALSE(rendered.isNull());
        const int gap = QuarterInch(page.ppi);
        for (const PageRect& cell : OrganizationCells(organization, page.HR, page.VR, gap, gap)) {
            const PageRect fitted = FitImageInCell(cell, image.width(), image.height());
            const QPoint centre(page.ox + (fitted.left + fitted.right) / 2, page.oy + (fitted.top + fitted.bottom) / 2);
            const QColor seen = rendered.pixelColor(centre);
            EXPECT_TRUE(seen.red() > 200 && seen.green() < 60 && seen.blue() < 60)
                << static_cast<int>(organization) << ": no image at " << centre.x() << "," << centre.y();
            const QPoint above(centre.x(), page.oy + fitted.top - 3);
            EXPECT_GT(rendered.pixelColor(above).green(), 200) << "white just above the image";
        }
    }
}

}  // namespace
}  // namespace tp
