// Exporting and printing through the frame from photographs larger than their working images: two 1600 x 1200
// views (working images 1024 x 768, a full scale of 1.5625) panning 500 pixels across one scene.
#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QRegularExpression>

#include "frame_test_support.h"
#include "imaging/image_file.h"
#include "ui/main_view.h"
#include "ui/progress_window.h"

namespace tp {
namespace {

using test::FrameFixture;

class FullResolutionTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        frame_ = std::make_unique<FrameFixture>();
        frame_->LoadViews(2, 1600, 1200, 500);
        frame_->frame->RunProcessingCommand(kCmdStitch);
    }
    static void TearDownTestSuite() { frame_.reset(); }

    void SetUp() override { ASSERT_TRUE(frame_->frame->main_view()->has_image()) << "the views were stitched"; }

    // The crop at `scale`, as the export offers it.
    static QSize CropAt(double scale)
    {
        const WideView& view = frame_->frame->main_view()->wide_view();
        return QSize(static_cast<int>(std::lround(view.crop_width() * scale)), static_cast<int>(std::lround(view.crop_height() * scale)));
    }

    static std::unique_ptr<FrameFixture> frame_;
};

std::unique_ptr<FrameFixture> FullResolutionTest::frame_;

constexpr double kFullScale = 1600.0 / 1024.0;

TEST_F(FullResolutionTest, ExportWritesTheSizeTheDialogOfferedAndRemembersTheChoice)
{
    FrameFixture& f = *frame_;
    struct Case {
        const char* file;
        OutputResolution resolution;
        QSize size;
    };
    const Case cases[] = {
        {"working.png", OutputResolution::Working(), CropAt(1.0)},
        {"full.png", OutputResolution::Full(), CropAt(kFullScale)},
    };
    for (const Case& c : cases) {
        f.export_path = QString::fromStdString(f.dir.file(c.file));
        f.export_resolution = c.resolution;
        f.frame->RunProcessingCommand(kCmdExport);
        const ExportOffer& offer = f.export_offers.back();
        EXPECT_TRUE(offer.full_offered());
        EXPECT_EQ(offer.SizeAt(c.resolution), c.size) << c.file;
        ColorImage written;
        ASSERT_EQ(ReadImage(written, f.export_path.toStdString()), 0) << c.file;
        // The composition cuts the crop's scaled edges, which may round a pixel apart from its scaled size.
        EXPECT_NEAR(written.width(), c.size.width(), 1) << c.file;
        EXPECT_NEAR(written.height(), c.size.height(), 1) << c.file;
    }
    f.frame->RunProcessingCommand(kCmdExport);
    EXPECT_EQ(f.export_offers.back().last, OutputResolution::Full()) << "offered as chosen last time";
}

// The widest image placed in a PDF (images are named in its plain dictionaries); 0 for none.
int WidestPdfImage(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return 0;
    const QString text = QString::fromLatin1(file.readAll());
    int widest = 0;
    for (const QRegularExpressionMatch& m :
         QRegularExpression(QStringLiteral("/Subtype\\s*/Image\\s*/Width\\s+(\\d+)")).globalMatch(text))
        widest = std::max(widest, m.captured(1).toInt());
    return widest;
}

TEST_F(FullResolutionTest, PrintingComposesAtThePrintersResolutionUpToTheFullSize)
{
    FrameFixture& f = *frame_;
    struct Case {
        const char* what;
        int dpi;
        bool cancel;
        int dialogs;     // composing dialogs shown
        int pdf_width;   // 0: nothing printed
    };
    const Case cases[] = {
        {"1200 dpi shows more than the photographs have", 1200, false, 1, CropAt(kFullScale).width()},
        {"72 dpi shows fewer than the working pixels", 72, false, 0, CropAt(1.0).width()},
        {"cancelling the composition cancels the print", 1200, true, 1, 0},
    };
    for (const Case& c : cases) {
        const QString pdf = QString::fromStdString(f.dir.file(std::to_string(c.dpi) + (c.cancel ? "c" : "") + ".pdf"));
        f.print = [&](QPrinter& printer, int) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            printer.setResolution(c.dpi);
            return true;
        };
        int dialogs = 0;
        f.frame->host().set_dialog_shown_hook([&](ProgressWindow& dialog) {
            ++dialogs;
            if (c.cancel) dialog.RequestCancel();
        });
        f.frame->commands().Dispatch(kCmdPrint);
        f.frame->host().set_dialog_shown_hook({});
        EXPECT_EQ(dialogs, c.dialogs) << c.what;
        if (c.pdf_width == 0)
            EXPECT_FALSE(QFileInfo::exists(pdf)) << c.what;
        else
            EXPECT_NEAR(WidestPdfImage(pdf), c.pdf_width, 1) << c.what;
    }
}

}  // namespace
}  // namespace tp
