#include <gtest/gtest.h>

#include <QLabel>
#include <QRadioButton>
#include <QSettings>
#include <QSpinBox>
#include <QTest>

#include "test_support.h"
#include "ui/export_dialog.h"

namespace tp {
namespace {

QRadioButton* Choice(const ExportDialog& dialog, const QString& start)
{
    for (QRadioButton* button : dialog.findChildren<QRadioButton*>())
        if (button->text().startsWith(start)) return button;
    return nullptr;
}

// The text beside the megapixel box.
QString LimitText(const ExportDialog& dialog)
{
    for (const QLabel* label : dialog.findChildren<QLabel*>())
        if (label->text().startsWith(QStringLiteral("megapixels"))) return label->text();
    return QString();
}

// A crop of 1000 x 500 working pixels from photographs 1.6 times as large.
constexpr ExportOffer kOffer{1000, 500, 1.6, {}};

TEST(ExportDialogTest, EachChoiceShowsTheCropsSizeAndGivesItsResolution)
{
    struct Case {
        const char* click;  // the choice clicked ("" none), then the megapixels typed (0 none)
        int megapixels;
        OutputResolution resolution;
        const char* limit_text;
    };
    const Case cases[] = {
        {"", 0, OutputResolution::Working(), "megapixels (1600 x 800)"},  // 20 MP by default, capped at full
        {"Full", 0, OutputResolution::Full(), "megapixels (1600 x 800)"},
        {"At most", 0, OutputResolution::Limit(20), "megapixels (1600 x 800)"},
        {"Working", 0, OutputResolution::Working(), "megapixels (1600 x 800)"},
        // sqrt(1e6 / 500000) = 1.414: 1414 x 707; typing a number chooses the limit.
        {"", 1, OutputResolution::Limit(1), "megapixels (1414 x 707)"},
    };
    for (const Case& c : cases) {
        ExportDialog dialog(kOffer, nullptr);
        ASSERT_NE(Choice(dialog, "Working"), nullptr);
        EXPECT_EQ(Choice(dialog, "Working")->text(), "Working size (1000 x 500)");
        EXPECT_EQ(Choice(dialog, "Full")->text(), "Full size (1600 x 800)");
        EXPECT_TRUE(Choice(dialog, "Full")->isEnabled());
        if (*c.click) QTest::mouseClick(Choice(dialog, c.click), Qt::LeftButton);
        if (c.megapixels) dialog.findChild<QSpinBox*>()->setValue(c.megapixels);
        EXPECT_EQ(dialog.resolution(), c.resolution) << c.click << " " << c.megapixels;
        EXPECT_EQ(LimitText(dialog), c.limit_text) << c.click << " " << c.megapixels;
    }
}

TEST(ExportDialogTest, OpensOnTheLastChoiceAndOffersFullSizeOnlyWhenItIsLarger)
{
    struct Case {
        double full_scale;
        OutputResolution last, opened;
        bool full_enabled;
    };
    const Case cases[] = {
        {1.6, OutputResolution::Full(), OutputResolution::Full(), true},
        {1.6, OutputResolution::Limit(5), OutputResolution::Limit(5), true},
        {1.0, OutputResolution::Full(), OutputResolution::Working(), false},
        {1.0, OutputResolution::Limit(2), OutputResolution::Limit(2), false},
    };
    for (const Case& c : cases) {
        ExportDialog dialog(ExportOffer{1000, 500, c.full_scale, c.last}, nullptr);
        EXPECT_EQ(dialog.resolution(), c.opened) << FormatOutputResolution(c.last) << " at " << c.full_scale;
        EXPECT_EQ(Choice(dialog, "Full")->isEnabled(), c.full_enabled) << c.full_scale;
    }
}

TEST(ExportDialogTest, TheLastChoiceIsKeptAsItsWordsAndAnythingElseReadsAsWorking)
{
    test::ScratchDir dir;
    QSettings settings(QString::fromStdString(dir.file("settings.ini")), QSettings::IniFormat);
    EXPECT_EQ(LoadExportResolution(settings), OutputResolution::Working()) << "nothing stored";
    for (const OutputResolution& resolution : {OutputResolution::Full(), OutputResolution::Limit(12), OutputResolution::Working()}) {
        SaveExportResolution(settings, resolution);
        EXPECT_EQ(LoadExportResolution(settings), resolution);
    }
    SaveExportResolution(settings, OutputResolution::Limit(12));
    EXPECT_EQ(settings.value("Settings/ExportResolution").toString(), "12MP");
    settings.setValue("Settings/ExportResolution", "huge");
    EXPECT_EQ(LoadExportResolution(settings), OutputResolution::Working());
}

}  // namespace
}  // namespace tp
