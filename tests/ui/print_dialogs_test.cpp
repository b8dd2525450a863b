#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "ui/page_miniatures.h"
#include "ui/page_setup_dialog.h"
#include "ui/panoramic_size_dialog.h"

namespace tp {
namespace {

using Field = PanoramicField;
using Org = PageOrganization;

// A 1000 x 500 crop box printed 2000 x 1000 on 4800 x 6600 printable pixels at 600 per inch.
constexpr PanoramicSizeInputs kPoster{1000, 500, 2000, 1000, 4800, 6600, 600};
// Letter paper at 600 dpi; its miniature is 68 x 89 with the printable area (2, 1, 66, 87) and g = 2.
constexpr PrinterPage kLetter{150, 120, 5100, 6600, 4800, 6360, 600};

// Texts of the six fields in the order width mm, height mm, width px, height px, across, down.
using FieldTexts = std::array<QString, 6>;
const FieldTexts kOpenedTexts = {"84.66", "42.33", "2000", "1000", "1", "1"};

QLineEdit* FieldEdit(const QDialog& dialog, Field field)
{
    return dialog.findChild<QLineEdit*>(QStringLiteral("field%1").arg(int(field)));
}

FieldTexts Texts(const QDialog& dialog)
{
    FieldTexts texts;
    for (size_t i = 0; i < kPanoramicFields.size(); ++i) texts[i] = FieldEdit(dialog, kPanoramicFields[i])->text();
    return texts;
}

void Type(QLineEdit* edit, const QString& text)
{
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

TEST(PanoramicSizeDialogTest, OpensWithTheSizeAndThePrintableArea)
{
    PanoramicSizeDialog dialog(kPoster, nullptr);
    EXPECT_EQ(Texts(dialog), kOpenedTexts);
    const std::pair<const char*, const char*> shown[] = {
        {"printableWidth", "4800"}, {"printableHeight", "6600"}, {"printableWidthMm", "203.20"},
        {"printableHeightMm", "279.40"}, {"resolution", "236.22"}};  // 4800*25.4/600, 6600*25.4/600, 600/2.54
    for (const auto& [name, text] : shown) EXPECT_EQ(dialog.findChild<QLabel*>(name)->text(), text) << name;
}

TEST(PanoramicSizeDialogTest, TypingInOneFieldRewritesTheOtherFive)
{
    struct Case {
        Field field;
        QString typed;
        FieldTexts expected;  // the typed field keeps its text
        PrintSize returned;
    };
    const Case cases[] = {
        // 127 = trunc(500*254*100/1000)/100; 6000 = 254*600/25.4; 3000 = 500*6000/1000; ceil(6000/4800) = 2.
        {Field::kWidthMm, "254", {"254", "127.00", "6000", "3000", "2", "1"}, {6000, 3000}},
        {Field::kHeightMm, "127", {"254.00", "127", "6000", "3000", "2", "1"}, {6000, 3000}},
        // 4800 = 9601*500/1000; 406.44 = 9601*25.4/600; 203.20 = 4800*25.4/600.
        {Field::kWidthPixels, "9601", {"406.44", "203.20", "9601", "4800", "3", "1"}, {9601, 4800}},
        // 14000 = 7000*1000/500 -> 592.67 mm; 7000 -> 296.33 mm; ceil(7000/6600) = 2.
        {Field::kHeightPixels, "7000", {"592.67", "296.33", "14000", "7000", "3", "2"}, {14000, 7000}},
        // 3 pages of 4800 = 14400; 7200 = 500*14400/1000.
        {Field::kPagesAcross, "3", {"609.60", "304.80", "14400", "7200", "3", "2"}, {14400, 7200}},
        // 2 pages of 6600 = 13200; 26400 = 1000*13200/500; ceil(26400/4800) = 6.
        {Field::kPagesDown, "2", {"1117.60", "558.80", "26400", "13200", "6", "2"}, {26400, 13200}},
    };
    for (const Case& c : cases) {
        PanoramicSizeDialog dialog(kPoster, nullptr);
        dialog.show();
        Type(FieldEdit(dialog, c.field), c.typed);
        EXPECT_EQ(Texts(dialog), c.expected) << int(c.field);
        dialog.accept();
        EXPECT_EQ(dialog.print_size(), c.returned) << int(c.field);
    }
}

TEST(PanoramicSizeDialogTest, ZeroNegativeOrNonNumericInputChangesNothing)
{
    for (const Field field : kPanoramicFields) {
        for (const QString& typed : {QString("0"), QString("-5"), QString("abc"), QString("0.0")}) {
            PanoramicSizeDialog dialog(kPoster, nullptr);
            dialog.show();
            QLineEdit* edit = FieldEdit(dialog, field);
            Type(edit, typed);
            FieldTexts expected = kOpenedTexts;
            expected[size_t(std::find(kPanoramicFields.begin(), kPanoramicFields.end(), field) -
                            kPanoramicFields.begin())] = typed;
            EXPECT_EQ(Texts(dialog), expected) << int(field) << " " << typed.toStdString();
            // Return ends the edit (the field shows the kept value again) and presses OK.
            QTest::keyClick(edit, Qt::Key_Return);
            EXPECT_EQ(Texts(dialog), kOpenedTexts) << int(field) << " " << typed.toStdString();
            EXPECT_EQ(dialog.print_size(), (PrintSize{2000, 1000})) << int(field) << " " << typed.toStdString();
        }
    }
}

TEST(PanoramicSizeDialogTest, ReadOnlyWithoutACropBox)
{
    PanoramicSizeDialog dialog({0, 0, 0, 0, 4800, 6600, 600}, nullptr);
    dialog.show();
    for (const Field field : kPanoramicFields) EXPECT_TRUE(FieldEdit(dialog, field)->isReadOnly()) << int(field);
    Type(FieldEdit(dialog, Field::kPagesAcross), "3");
    EXPECT_EQ(Texts(dialog), (FieldTexts{"0.00", "0.00", "0", "0", "1", "1"}));
    EXPECT_EQ(dialog.print_size(), (PrintSize{0, 0}));
}

// --- Page Setup --------------------------------------------------------------------------------------------

QAbstractButton* OrganizationButton(const QDialog& dialog, int organization)
{
    return dialog.findChild<QAbstractButton*>(
        QStringLiteral("organization%1").arg(PageSetupDialog::kFirstButtonId + organization));
}

QString Description(const QDialog& dialog)
{
    return dialog.findChild<QLabel*>(QStringLiteral("description%1").arg(PageSetupDialog::kDescriptionId))->text();
}

TEST(PageSetupDialogTest, OpensOnTheCurrentOrganizationAndReturnsTheOneClicked)
{
    const QString descriptions[] = {"Prints one image per page.", "Prints two images per page.",
                                    "Prints four images per page.", "Prints eight images per page.",
                                    "Prints one image across multiple pages."};
    const PageSetupGeometry geometry = ComputePageSetupGeometry(kLetter);
    for (int current = 0; current < kPageOrganizationCount; ++current) {
        PageSetupDialog dialog(Org(current), geometry, nullptr);
        EXPECT_TRUE(OrganizationButton(dialog, current)->isChecked()) << current;
        EXPECT_EQ(Description(dialog), descriptions[current]);
        const int chosen = (current + 2) % kPageOrganizationCount;
        OrganizationButton(dialog, chosen)->click();
        EXPECT_EQ(dialog.organization(), Org(chosen)) << current;
        EXPECT_EQ(Description(dialog), descriptions[chosen]);
        EXPECT_FALSE(OrganizationButton(dialog, current)->isChecked()) << current;
        dialog.accept();
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_EQ(dialog.organization(), Org(chosen));
    }
}

TEST(PageSetupDialogTest, MiniaturesAreLaidOutByThePageArithmetic)
{
    const PageSetupGeometry geometry = ComputePageSetupGeometry(kLetter);
    const QColor background(200, 100, 50);
    const QRgb white = qRgb(255, 255, 255);
    struct Case {
        Org org;
        QSize size;
        QPoint picture;  // inside the fitted picture
        QPoint blank;    // paper (or background) that no picture covers
        QRgb blank_colour;
    };
    const Case cases[] = {
        // One 64 x 86 cell at (2, 1): the 240 x 96 picture fills 64 x 25 centred, rows 31 .. 55.
        {Org::kOneImagePerPage, {68, 89}, {34, 44}, {34, 20}, white},
        // Four 31 x 42 cells, 2 apart: the gap between left and right cells is columns 33 and 34.
        {Org::kFourImagesPerPage, {68, 89}, {17, 22}, {34, 22}, white},
        {Org::kFourImagesPerPage, {68, 89}, {50, 66}, {1, 44}, white},  // left margin: printable starts at 2
        // Four 34 x 44 pages, 35 apart: column 34 is the background between them. The picture spreads over
        // the printable areas' union (1, 0)-(68, 88): 67 wide, 26 high, rows 31 .. 56.
        {Org::kAcrossPages, {69, 89}, {20, 40}, {34, 10}, background.rgb()},
    };
    for (const Case& c : cases) {
        const QImage image =
            PaintOrganizationMiniature(c.org, geometry, SamplePicture(), background).toImage().convertToFormat(
                QImage::Format_RGB32);
        EXPECT_EQ(image.size(), c.size) << int(c.org);
        EXPECT_EQ(image.pixel(c.blank), c.blank_colour) << int(c.org);
        EXPECT_NE(image.pixel(c.picture), white) << int(c.org);
        EXPECT_NE(image.pixel(c.picture), background.rgb()) << int(c.org);
    }
    EXPECT_TRUE(PaintOrganizationMiniature(Org::kOneImagePerPage, ComputePageSetupGeometry({}), SamplePicture(),
                                           background).isNull());
}

}  // namespace
}  // namespace tp
