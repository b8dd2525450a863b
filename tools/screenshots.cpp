// Writes a picture of every window and dialog of the desktop program, for looking at them and for the user's
// guide: screenshots PROJECT.tnp OUTPUT_FOLDER [jpg] (run with QT_QPA_PLATFORM=offscreen). PNG at full size by
// default; "jpg" writes them at most 960 pixels wide, as the guide holds them.
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>

#include <QApplication>
#include <QDir>
#include <QDockWidget>
#include <QFileInfo>
#include <QSettings>
#include <QScrollBar>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>

#include "ui/about_box.h"
#include "ui/choice_dialogs.h"
#include "ui/command_ids.h"
#include "ui/cropped_image_window.h"
#include "ui/frame_dialogs.h"
#include "ui/edit_window.h"
#include "ui/export_dialog.h"
#include "ui/load_image_dialog.h"
#include "ui/main_frame.h"
#include "ui/main_view.h"
#include "ui/page_setup_dialog.h"
#include "ui/panoramic_size_dialog.h"
#include "ui/printing.h"
#include "ui/printing_window.h"
#include "ui/progress_window.h"
#include "ui/splitter_view.h"
#include "ui/properties_dialog.h"
#include "ui/source_strip.h"
#include "ui/xbar.h"

namespace {

class ScreenshotWriter {
public:
    ScreenshotWriter(QString folder, bool for_guide) : folder_(std::move(folder)), for_guide_(for_guide) {}

    // Shows the widget, lets it lay itself out and paint, and saves it as NAME.png.
    void Take(QWidget& widget, const QString& name)
    {
        widget.show();
        for (int i = 0; i < 5; ++i) QApplication::processEvents();
        const QString path = folder_ + QLatin1Char('/') + name + (for_guide_ ? QStringLiteral(".jpg") : QStringLiteral(".png"));
        QImage picture = widget.grab().toImage();
        if (for_guide_ && picture.width() > 960) picture = picture.scaledToWidth(960, Qt::SmoothTransformation);
        if (picture.save(path, nullptr, for_guide_ ? 85 : -1))
            std::printf("%s\n", qPrintable(path));
        else
            std::fprintf(stderr, "could not write %s\n", qPrintable(path));
    }

private:
    QString folder_;
    bool for_guide_;
};

// The modification mode: its four layouts, a drag in progress, the loupe with points 1-3 placed in both
// images, and the preview after the edits are applied.
void TakeModificationMode(tp::CMainFrame& frame, tp::CMainDoc& doc, ScreenshotWriter& shots)
{
    for (const auto& [layout, name] : {std::pair{tp::kCmdEditWindowOnly, "layout-edit-window-only"},
                                       std::pair{tp::kCmdPreviewWindowOnly, "layout-preview-window-only"},
                                       std::pair{tp::kCmdVerticalAlignment, "layout-vertical-alignment"},
                                       std::pair{tp::kCmdHorizontalAlignment, "layout-horizontal-alignment"}}) {
        frame.ChooseView(layout);
        shots.Take(frame, QString::fromLatin1(name));
    }
    tp::CWndModification& editor = *frame.splitter_view()->edit_window();
    editor.SetZoom(0.5);
    QApplication::processEvents();

    // A drag of the second image, caught before the button comes up.
    const tp::IntRect second = doc.second_image_rect();
    const QPoint scroll(editor.horizontalScrollBar()->value(), editor.verticalScrollBar()->value());
    const QPoint grip = QPoint(second.left + 60, second.top + 60) - scroll;
    QTest::mousePress(editor.viewport(), Qt::LeftButton, {}, grip);
    for (int i = 1; i <= 8; ++i) QTest::mouseMove(editor.viewport(), grip + QPoint(-8 * i, 3 * i));
    shots.Take(frame, QStringLiteral("modification-drag"));
    QTest::mouseRelease(editor.viewport(), Qt::LeftButton, {}, grip + QPoint(-64, 24));

    // Four points: 1 to 3 placed in both images, 4 being placed with the loupe.
    tp::SourceAlignment& record = doc.mosaic()->alignment(doc.current_frame() - 1);
    const int w = doc.first_pair_copy().display_width(), h = doc.first_pair_copy().display_height();
    record.first_points = {tp::PointF{w * 0.55f, h * 0.2f}, tp::PointF{w * 0.7f, h * 0.6f}, tp::PointF{w * 0.6f, h * 0.85f}, tp::PointF{}};
    record.second_points = {tp::PointF{w * 0.1f, h * 0.2f}, tp::PointF{w * 0.25f, h * 0.6f}, tp::PointF{w * 0.15f, h * 0.85f}, tp::PointF{}};
    editor.RunCommand(tp::CWndModification::kCmdChangeEditMode);
    editor.SetZoom(0.5);
    doc.set_selected_point(4);
    QApplication::processEvents();
    const QPoint centre = editor.viewport()->mapToGlobal(editor.viewport()->rect().center());
    editor.SetPointerControl({[centre] { return centre; }, [](QPoint) { return true; }});
    const tp::IntRect first = doc.first_image_rect();
    const QPoint at = QPoint(first.left + int(w * 0.4), first.top + int(h * 0.4)) -
                      QPoint(editor.horizontalScrollBar()->value(), editor.verticalScrollBar()->value());
    QTest::mousePress(editor.viewport(), Qt::LeftButton, {}, at);
    for (int i = 0; i < 4; ++i) QTest::mouseMove(editor.viewport(), editor.viewport()->mapFromGlobal(centre) + QPoint(6, 3));
    shots.Take(frame, QStringLiteral("modification-loupe"));
    QTest::mouseRelease(editor.viewport(), Qt::LeftButton, {}, editor.viewport()->mapFromGlobal(centre));
    editor.RunCommand(tp::CWndModification::kCmdChangeEditMode);

    // The preview after applying: every pair set, the first one moved.
    for (tp::PairEdit& edit : doc.pair_edits())
        if (edit.mode < 0) edit.mode = 0;
    frame.ApplyEditsAndPreview();
    shots.Take(frame, QStringLiteral("modification-preview-applied"));
}

// The wide-view image: cylindrical, the crop box being dragged, the cropped-image window, the export dialog.
void TakeWideView(tp::CMainFrame& frame, ScreenshotWriter& shots)
{
    frame.commands().Dispatch(tp::kCmdCylindricalProjection);
    shots.Take(frame, QStringLiteral("wide-view-cylindrical"));
    frame.commands().Dispatch(tp::kCmdPlanarProjection);
    tp::CMainView& view = *frame.main_view();
    view.Crop(tp::CropChoice::Inscribed);
    QApplication::processEvents();
    // Drag the box's left edge inwards, caught before the button comes up.
    const QRect image = view.image_on_screen();
    const tp::CropRect crop = view.wide_view().crop();
    const double zoom = view.zoom();
    const QPoint edge(image.left() + int(crop.left * zoom) + 1, image.top() + int((crop.top + crop.bottom) / 2 * zoom));
    QTest::mousePress(view.viewport(), Qt::LeftButton, {}, edge);
    for (int i = 1; i <= 6; ++i) QTest::mouseMove(view.viewport(), edge + QPoint(20 * i, 0));
    shots.Take(frame, QStringLiteral("wide-view-crop-drag"));
    QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, edge + QPoint(120, 0));

    tp::CroppedImageWindow cropped(view.CroppedImage(), &frame);
    shots.Take(cropped, QStringLiteral("cropped-image-window"));
    cropped.hide();
    // Offered as at first, at the working size, in the project's folder.
    tp::ExportDialog export_dialog(tp::MakeExportOffer(frame.document(), view.wide_view(), tp::OutputResolution::Working()), &frame);
    export_dialog.setDirectory(QString::fromStdString(std::filesystem::path(frame.document().path_name()).parent_path().string()));
    shots.Take(export_dialog, QStringLiteral("export-dialog"));
    export_dialog.hide();
    view.ShowWideView();
}

// Printing: Page Setup, Panoramic Image Size, the preview of every page organization and the window shown
// while a job prints (printing to PDF, so no printer is needed).
void TakePrinting(tp::CMainFrame& frame, const tp::ColorImage& image, ScreenshotWriter& shots)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QDir::temp().filePath(QStringLiteral("tarnel-plexaro-screenshot.pdf")));
    const tp::PrinterPage page = tp::PrinterPageOf(printer);
    tp::PageSetupDialog setup(tp::PageOrganization::kFourImagesPerPage, tp::ComputePageSetupGeometry(page), &frame);
    shots.Take(setup, QStringLiteral("print-page-setup"));
    setup.hide();

    tp::PanoramicSizeInputs inputs;
    inputs.W = image.width();
    inputs.H = image.height();
    inputs.pw = 2 * page.HR;
    inputs.ph = 2 * page.HR * image.height() / std::max(1, image.width());
    inputs.PW = page.HR;
    inputs.PH = page.VR;
    inputs.R = page.ppi;
    tp::PanoramicSizeDialog size(inputs, &frame);
    shots.Take(size, QStringLiteral("print-panoramic-image-size"));
    size.hide();

    for (int organization = 0; organization < tp::kPageOrganizationCount; ++organization) {
        tp::PrintSettings settings;
        settings.organization = static_cast<tp::PageOrganization>(organization);
        settings.poster = {inputs.pw, inputs.ph};
        QPrintPreviewDialog preview(&printer, &frame);
        QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                         [&](QPrinter* target) { tp::PaintAllPages(*target, settings, image); });
        preview.resize(900, 700);
        if (auto* pages = preview.findChild<QPrintPreviewWidget*>()) pages->setViewMode(QPrintPreviewWidget::FacingPagesView);
        shots.Take(preview, QStringLiteral("print-preview-organization-%1").arg(organization));
        preview.hide();
    }

    tp::PrintingWindow printing(QStringLiteral("sample.tnp"), printer, &frame);
    printing.ShowPage(2);
    shots.Take(printing, QStringLiteral("printing"));
    printing.hide();
}

}  // namespace

int main(int argc, char* argv[])
{
    QApplication qt(argc, argv);
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: screenshots PROJECT.tnp OUTPUT_FOLDER [jpg]\n");
        return 2;
    }
    const QString project = QString::fromLocal8Bit(argv[1]);
    const QString folder = QString::fromLocal8Bit(argv[2]);
    QDir().mkpath(folder);
    ScreenshotWriter shots(folder, argc == 4 && QString::fromLatin1(argv[3]) == QStringLiteral("jpg"));

    // The user's own settings stay untouched.
    QTemporaryDir scratch;
    QSettings settings(scratch.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
    tp::CMainDoc doc;
    doc.NewProject();
    tp::CMainFrame frame(doc, settings);
    frame.resize(1280, 800);
    if (!frame.OpenProject(project)) {
        std::fprintf(stderr, "could not open %s\n", argv[1]);
        return 1;
    }
    shots.Take(frame, QStringLiteral("main-window"));
    TakeWideView(frame, shots);
    TakePrinting(frame, frame.main_view()->CroppedImage(), shots);
    doc.SelectFrame(1);
    frame.ToggleMode();
    shots.Take(frame, QStringLiteral("modification-mode"));
    TakeModificationMode(frame, doc, shots);
    frame.ChooseView(tp::CMainFrame::kMainViewLayout);

    for (tp::CXBar* bar : {frame.main_menu_bar(), frame.source_images_bar()}) {
        bar->setFloating(true);
        shots.Take(*bar, QStringLiteral("bar-floating-") + bar->objectName());
        bar->setFloating(false);
    }

    const tp::CImageObj& first = doc.image(0);
    tp::PropertiesDialog properties(
        tp::CollectImageProperties(first.path, first.thumbnail.full_width(), first.thumbnail.full_height()), &frame);
    shots.Take(properties, QStringLiteral("properties"));
    properties.hide();

    tp::LoadImageDialog picker(&frame, QFileInfo(project).absolutePath());
    picker.AddNames(QStringLiteral("\"view0.jpg\" \"view1.jpg\" \"view2.jpg\""));
    shots.Take(picker, QStringLiteral("picker"));
    picker.hide();

    tp::ProgressWindow progress(true, &frame);
    progress.SetCaption(35083);
    progress.SetRange(10);
    for (int i = 0; i < 4; ++i) progress.Step();
    progress.SetText(35305);
    shots.Take(progress, QStringLiteral("progress"));
    progress.hide();

    for (const auto& [question, name] : {std::pair{&tp::kStitchingChoice, "choice-stitching"},
                                     std::pair{&tp::kFinalizationChoice, "choice-finalization"},
                                     std::pair{&tp::kCroppingChoice, "choice-cropping"}}) {
        tp::ChoiceDialog dialog(*question, &frame);
        shots.Take(dialog, QString::fromLatin1(name));
        dialog.hide();
    }

    tp::AboutBox about(&frame);
    shots.Take(about, QStringLiteral("about"));
    about.hide();
    frame.hide();
    return 0;
}
