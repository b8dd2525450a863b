// The main frame's command table and the handlers behind it.
#include <QApplication>
#include <QDesktopServices>
#include <QDockWidget>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QPrinter>
#include <QProgressBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

#include "imaging/string_table.h"
#include "project/output_resolution.h"
#include "project/project_document.h"
#include "project/workflow.h"
#include "ui/about_dialog.h"
#include "ui/choice_dialogs.h"
#include "ui/command_ids.h"
#include "ui/cropped_image_window.h"
#include "ui/main_frame.h"
#include "ui/main_view.h"
#include "ui/modification_state.h"
#include "ui/printing.h"
#include "ui/step_button_bar.h"
#include "ui/ui_strings.h"
#include "ui/xbar.h"

namespace tp {

void CMainFrame::CreateCommands()
{
    CommandTable& t = *commands_;
    const auto main_view_and = [this](int id) { return [this, id] { return main_view_active() && !host_.busy() && doc_.CommandAllowed(id); }; };
    const auto has_image = [this] { return main_view_active() && main_view() && main_view()->has_image(); };
    const auto always = CommandTable::Predicate{};

    // Projects.
    t.Add(kCmdNewProject, QStringLiteral("&New Project"), QKeySequence(Qt::CTRL | Qt::Key_N), [this] { NewProject(); });
    t.Add(kCmdOpenProject, QStringLiteral("&Open Project..."), QKeySequence(Qt::CTRL | Qt::Key_O), [this] {
        const QString path = dialogs_.open_project();
        if (!path.isEmpty()) OpenProject(path);
    });
    t.Add(kCmdSaveProject, QStringLiteral("&Save Project"), QKeySequence(Qt::CTRL | Qt::Key_S), [this] { SaveProject(); });
    t.Add(kCmdSaveProjectAs, QStringLiteral("Save Project &As..."), QKeySequence(), [this] { SaveProjectAs(); });
    for (int i = 0; i < RecentFiles::kCount; ++i)
        t.Add(kCmdRecentFile1 + i, QString(), QKeySequence(), [this, i] { OnOpenRecent(i); });
    t.Add(kCmdExit, QStringLiteral("E&xit"), QKeySequence(), [this] { close(); });

    // The workflow: only while the main view shows, and as the document's gate allows.
    t.Add(kCmdLoad, QStringLiteral("L&oad Source Images..."), QKeySequence(Qt::ALT | Qt::Key_L), [this] { OnLoad(); },
          main_view_and(kCmdLoad));
    t.Add(kCmdStitch, QStringLiteral("&Stitch Source Images..."), QKeySequence(Qt::ALT | Qt::Key_S), [this] { OnStitch(); },
          main_view_and(kCmdStitch));
    t.Add(kCmdFinalize, QStringLiteral("&Finalize Wide-View Image..."), QKeySequence(Qt::ALT | Qt::Key_F),
          [this] { OnFinalize(); }, main_view_and(kCmdFinalize));
    t.Add(kCmdCrop, QStringLiteral("&Crop Non-image Area..."), QKeySequence(Qt::ALT | Qt::Key_C), [this] { OnCrop(); },
          [this, has_image] { return has_image() && doc_.HasWideView(); });
    t.Add(kCmdExport, QStringLiteral("&Export Wide-View Image..."), QKeySequence(Qt::ALT | Qt::Key_E), [this] { OnExport(); },
          [this, has_image] { return has_image() && doc_.CommandAllowed(kCmdExport); });
    t.Add(kCmdPrintStep, QStringLiteral("Print"), QKeySequence(), [this] { OnPrint(); }, has_image);
    t.Add(kCmdShowCroppedImage, QStringLiteral("Show Cropped &Image"), QKeySequence(), [this] { OnShowCroppedImage(); },
          has_image);
    t.Add(kCmdPlanarProjection, QStringLiteral("&Planar Projection"), QKeySequence(),
          [this] { OnSwitchProjection(kCmdPlanarProjection); }, [this] { return main_view_active(); },
          [this] { return doc_.projection_command() == kCmdPlanarProjection; });
    t.Add(kCmdCylindricalProjection, QStringLiteral("C&ylindrical Projection"), QKeySequence(),
          [this] { OnSwitchProjection(kCmdCylindricalProjection); }, [this] { return main_view_active(); },
          [this] { return doc_.projection_command() == kCmdCylindricalProjection; });

    t.Add(kCmdExposureCompensation, QStringLiteral("E&xposure Compensation"), QKeySequence(),
          [this] { doc_.set_exposure_compensation(!doc_.exposure_compensation()); }, [this] { return !host_.busy(); },
          [this] { return doc_.exposure_compensation(); });

    // Printing.
    t.Add(kCmdPrint, QStringLiteral("&Print..."), QKeySequence(Qt::CTRL | Qt::Key_P), [this] { OnPrint(); }, has_image);
    t.Add(kCmdPrintPreview, QStringLiteral("Print Pre&view"), QKeySequence(), [this] { OnPrintPreview(); }, has_image);
    t.Add(kCmdPrintSetup, QStringLiteral("P&rint Setup..."), QKeySequence(), [this] { OnPrintSetup(); }, always);
    t.Add(kCmdPageSetup, QStringLiteral("Print Pa&ge Setup..."), QKeySequence(), [this] { OnPageSetup(); },
          [this] { return main_view_active(); });

    // Bars and views.
    t.Add(kCmdViewToolbar, QStringLiteral("&Toolbar"), QKeySequence(), [this] { tool_bar_->setVisible(tool_bar_->isHidden()); },
          always, [this] { return !tool_bar_->isHidden(); });
    t.Add(kCmdViewStatusBar, QStringLiteral("&Status Bar"), QKeySequence(),
          [this] { statusBar()->setVisible(statusBar()->isHidden()); }, always, [this] { return !statusBar()->isHidden(); });
    t.Add(kCmdMainMenuBar, QStringLiteral("&Main Menu Bar"), QKeySequence(),
          [this] { main_menu_bar_->setVisible(main_menu_bar_->isHidden()); }, always,
          [this] { return !main_menu_bar_->isHidden(); });
    t.Add(kCmdSourceImageView, QStringLiteral("Source Image &View Window"), QKeySequence(),
          [this] { source_images_bar_->setVisible(source_images_bar_->isHidden()); }, always,
          [this] { return !source_images_bar_->isHidden(); });
    for (int id = kCmdEditWindowOnly; id <= kCmdHorizontalAlignment; ++id)
        t.Add(id, CommandTooltip(id), QKeySequence(), [this, id] { ChooseView(id); }, always,
              [this, id] { return layout_ == id; });

    // Help.
    t.Add(kCmdUsersGuide, QStringLiteral("User's &Guide..."), QKeySequence(Qt::Key_F1), [this] { OnUsersGuide(); },
          [] { return !UsersGuidePath().isEmpty(); });
    t.Add(kCmdAbout, QStringLiteral("&About Tarnel Plexaro..."), QKeySequence(), [this] { OnAbout(); });

    // Shortcuts work wherever the focus is, also while a menu is swapped out.
    for (const int id : t.ids()) {
        t.action(id)->setShortcutContext(Qt::WindowShortcut);
        addAction(t.action(id));
    }
}

void CMainFrame::CreateMenus()
{
    CommandTable& t = *commands_;
    // Menu titles avoid the letters of the Alt accelerators (L, S, F, C, E), which would otherwise clash.
    auto* project = new QMenu(QStringLiteral("&Project"), this);
    for (const int id : {kCmdNewProject, kCmdOpenProject, kCmdSaveProject, kCmdSaveProjectAs}) project->addAction(t.action(id));
    project->addSeparator();
    for (const int id : {kCmdPrint, kCmdPrintPreview, kCmdPrintSetup, kCmdPageSetup}) project->addAction(t.action(id));
    project->addSeparator();
    for (int i = 0; i < RecentFiles::kCount; ++i) project->addAction(t.action(kCmdRecentFile1 + i));
    project->addSeparator();
    project->addAction(t.action(kCmdExit));
    project_menu_ = project;

    auto* image = new QMenu(QStringLiteral("&Image"), this);
    for (const int id : {kCmdLoad, kCmdStitch, kCmdFinalize, kCmdCrop, kCmdExport}) image->addAction(t.action(id));
    image->addSeparator();
    image->addAction(t.action(kCmdShowCroppedImage));
    image->addSeparator();
    image->addAction(t.action(kCmdPlanarProjection));
    image->addAction(t.action(kCmdCylindricalProjection));
    image->addSeparator();
    image->addAction(t.action(kCmdExposureCompensation));

    auto* view = new QMenu(QStringLiteral("&View"), this);
    for (const int id : {kCmdViewToolbar, kCmdViewStatusBar, kCmdMainMenuBar, kCmdSourceImageView}) view->addAction(t.action(id));

    auto* help = new QMenu(QStringLiteral("&Help"), this);
    help->addAction(t.action(kCmdUsersGuide));
    help->addSeparator();
    help->addAction(t.action(kCmdAbout));
    main_menus_ = {project, image, view, help};

    // The modification mode's menu: the two bars of the window and the guide.
    auto* alternate_view = new QMenu(QStringLiteral("&View"), this);
    alternate_view->addAction(t.action(kCmdViewToolbar));
    alternate_view->addAction(t.action(kCmdViewStatusBar));
    auto* alternate_help = new QMenu(QStringLiteral("&Help"), this);
    alternate_help->addAction(t.action(kCmdUsersGuide));
    alternate_menus_ = {alternate_view, alternate_help};

    for (QMenu* menu : main_menus_ + alternate_menus_) connect(menu, &QMenu::aboutToShow, this, &CMainFrame::Refresh);
    RebuildRecentFilesMenu();
}

void CMainFrame::RebuildRecentFilesMenu()
{
    for (int i = 0; i < RecentFiles::kCount; ++i) {
        QAction* action = commands_->action(kCmdRecentFile1 + i);
        const bool present = i < recent_.paths().size();
        action->setVisible(present);
        if (present) {
            action->setText(recent_.MenuText(i));
            action->setStatusTip(recent_.paths()[i]);
        }
    }
}

void CMainFrame::RunProcessingCommand(int command_id)
{
    // Processing commands act only while the main view shows.
    if (main_view_active()) commands_->Dispatch(command_id);
    step_bar_->Reset();
    if (close_pending_) QTimer::singleShot(0, this, &QWidget::close);
}

// --- the workflow ---

void CMainFrame::OnLoad()
{
    const std::optional<QStringList> paths = dialogs_.pick_images();
    if (!paths || paths->isEmpty()) return;
    std::vector<std::string> list;
    for (const QString& path : *paths) list.push_back(path.toStdString());
    LoadSourceImages(doc_, host_, list);
    Refresh();
}

void CMainFrame::OnStitch()
{
    const std::optional<int> choice = dialogs_.choose(kStitchingChoice);
    if (!choice) return;
    const StitchMethod method = *choice == 1 ? StitchMethod::Automatic : StitchMethod::Manual;
    const StitchOutcome outcome = StitchSourceImages(doc_, host_, method);
    if (!outcome.ran) return;
    if (method == StitchMethod::Automatic) {
        ShowResultOrClear(outcome.show_result);
        return;
    }
    // Manual: into the modification mode, in the two-window layout that suits the image's shape.
    const Mosaic* mosaic = doc_.mosaic();
    const bool wide = mosaic && mosaic->planar().width() >= mosaic->planar().height();
    ChooseView(wide ? kCmdHorizontalAlignment : kCmdVerticalAlignment);
    // Straight to the first pair the registration could not confirm, in the mode that pair was recorded in.
    const int k = FirstFrameToCheck(doc_);
    if (k > 1 && k - 1 < static_cast<int>(doc_.pair_edits().size())) {
        const int mode = doc_.pair_edits()[static_cast<std::size_t>(k - 1)].mode;
        if (mode == 1 || mode == 2) doc_.set_translation_mode(mode == 1);
    }
    doc_.SelectFrame(k);
}

void CMainFrame::ShowResultOrClear(bool show)
{
    if (CMainView* view = main_view()) {
        if (show)
            view->ShowWideView();
        else
            view->ClearView();
    }
    Refresh();
}

void CMainFrame::OnFinalize()
{
    const std::optional<int> choice = dialogs_.choose(kFinalizationChoice);
    if (!choice) return;
    const FinalizeMethod method = *choice == 1 ? FinalizeMethod::RealignmentAndAdvancedBlending : FinalizeMethod::AdvancedBlending;
    if (FinalizeWideView(doc_, host_, method)) ShowResultOrClear(true);
}

void CMainFrame::OnCrop()
{
    const std::optional<int> choice = dialogs_.choose(kCroppingChoice);
    if (!choice) return;
    main_view()->Crop(*choice == 1 ? CropChoice::Circumscribed : CropChoice::Inscribed);
}

void CMainFrame::OnExport()
{
    const WideView& view = main_view()->wide_view();
    const ExportTarget target = dialogs_.export_image(MakeExportOffer(doc_, view, LoadExportResolution(settings_)));
    if (target.path.isEmpty()) return;
    SaveExportResolution(settings_, target.resolution);
    ExportWideView(doc_, host_, view, target.path.toStdString(), target.resolution);
}

void CMainFrame::OnShowCroppedImage()
{
    ShowCroppedImage(main_view()->CroppedImage(), this);
}

void CMainFrame::OnSwitchProjection(int command_id)
{
    if (CMainView* view = main_view()) view->SwitchProjection(command_id);
    Refresh();
}

QPrinter& CMainFrame::printer()
{
    if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *printer_;
}

std::optional<ColorImage> CMainFrame::ImageToPrint()
{
    const WideView& view = main_view()->wide_view();
    const double printed = PrintedScale(print_settings_, view.crop_width(), view.crop_height(), printer());
    ColorImage image;
    if (ComposeForOutput(doc_, host_, view, PrintCompositionScale(printed, FullScale(doc_)), strings::kPrintCaption, image) != 0)
        return std::nullopt;
    return image;
}

void CMainFrame::OnPrint()
{
    if (!dialogs_.print(printer(), PageCount(print_settings_, main_view()->CroppedImage(), printer()))) return;
    // Composed after the dialog, for the printer and resolution chosen there.
    if (const std::optional<ColorImage> image = ImageToPrint())
        PrintPages(*image, print_settings_, QString::fromStdString(doc_.title()), printer(), this);
}

void CMainFrame::OnPrintPreview()
{
    if (const std::optional<ColorImage> image = ImageToPrint()) PreviewPrint(*image, print_settings_, printer(), settings_, this);
}

void CMainFrame::OnPrintSetup() { SetUpPrinter(printer(), this); }
void CMainFrame::OnPageSetup() { SetUpPages(print_settings_, main_view()->CroppedImage(), printer(), this); }

// --- projects ---

bool CMainFrame::SaveModified()
{
    if (!doc_.modified()) return true;
    const QString name = doc_.title().empty() ? UiText(57346) : QString::fromStdString(doc_.title());
    switch (dialogs_.ask_save(name)) {
        case SaveAnswer::Yes: return SaveProject();
        case SaveAnswer::No: return true;
        case SaveAnswer::Cancel: return false;
    }
    return false;
}

bool CMainFrame::NewProject()
{
    if (!SaveModified()) return false;
    if (!main_view_active()) ChooseView(kMainViewLayout);
    doc_.DeleteContents();
    doc_.NewProject();
    doc_.set_path_name(std::string());
    doc_.set_modified(false);
    Refresh();
    return true;
}

bool CMainFrame::OpenProject(const QString& path)
{
    if (!SaveModified()) return false;
    if (!main_view_active()) ChooseView(kMainViewLayout);
    const bool opened = OpenProjectDocument(doc_, host_, path.toStdString());
    if (opened) {
        recent_.Add(path);
        RebuildRecentFilesMenu();
        ShowResultOrClear(doc_.HasWideView());
    }
    Refresh();
    return opened;
}

bool CMainFrame::SaveProject()
{
    if (doc_.path_name().empty()) return SaveProjectAs();
    if (!SaveProjectDocument(doc_, doc_.path_name())) return false;
    Refresh();
    return true;
}

bool CMainFrame::SaveProjectAs()
{
    const QString suggested = doc_.path_name().empty()
                                  ? (doc_.title().empty() ? UiText(57346) : QString::fromStdString(doc_.title())) + QStringLiteral(".tnp")
                                  : QString::fromStdString(doc_.path_name());
    const QString path = dialogs_.save_project(suggested);
    if (path.isEmpty()) return false;
    if (!SaveProjectDocument(doc_, path.toStdString())) return false;
    recent_.Add(path);
    RebuildRecentFilesMenu();
    Refresh();
    return true;
}

void CMainFrame::OnOpenRecent(int index)
{
    if (index < recent_.paths().size()) OpenProject(recent_.paths()[index]);
}

// --- help ---

QString CMainFrame::UsersGuidePath()
{
    const QString name = QStringLiteral("Tarnel_Plexaro_Manual.pdf");
    const QString folder = QCoreApplication::applicationDirPath();
    for (const QString& candidate : {folder + QLatin1Char('/') + name, folder + QStringLiteral("/../share/doc/tarnel-plexaro/") + name})
        if (QFileInfo(candidate).isFile()) return QFileInfo(candidate).absoluteFilePath();
    return QString();
}

void CMainFrame::OnUsersGuide()
{
    // No message when there is no guide or no viewer: the command simply does nothing.
    const QString path = UsersGuidePath();
    if (!path.isEmpty()) QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void CMainFrame::OnAbout() { ShowAboutBox(this); }

}  // namespace tp
