#include "ui/main_frame.h"

#include <QCloseEvent>

#include "project/workflow.h"
#include <QDockWidget>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

#include "ui/artwork.h"
#include "ui/command_ids.h"
#include "ui/main_view.h"
#include "ui/modification_state.h"
#include "ui/progress_window.h"
#include "ui/source_strip.h"
#include "ui/step_button_bar.h"
#include "ui/xbar.h"
#include "ui/splitter_view.h"
#include "ui/status_progress.h"
#include "ui/ui_strings.h"
#include "ui/window_placement.h"

namespace tp {

namespace {

const QString kBarStateName = QStringLiteral("BarState");
const QString kBarStateKey = QStringLiteral("BarState-Summary/State");
const QString kBarIdsKey = QStringLiteral("BarState-Summary/Bars");
constexpr int kToolBarId = 59392;

}  // namespace

CMainFrame::CMainFrame(CMainDoc& doc, QSettings& settings, QWidget* parent)
    : QMainWindow(parent), doc_(doc), settings_(settings), host_(this), dialogs_(StandardFrameDialogs(this)),
      commands_(std::make_unique<CommandTable>())
{
    setWindowIcon(ApplicationIcon());
    doc_.set_observer(this);
    recent_.Load(settings_);
    CreateCommands();
    CreateToolBar();
    CreateStatusBar();
    setDockNestingEnabled(true);
    CreateBars();
    CreateMenus();
    setCentralWidget(new CMainView(doc_, this));
    connect(main_view(), &CMainView::cropChanged, this, &CMainFrame::Refresh);
    ApplyToolBarAndMenuState();
    resize(1024, 720);
    RestoreLayout();
    main_menu_was_visible_ = !main_menu_bar_->isHidden();
    source_images_was_visible_ = !source_images_bar_->isHidden();
    Refresh();
}

CMainFrame::~CMainFrame()
{
    if (doc_.observer() == this) doc_.set_observer(nullptr);
    // The windows inside report to the frame as they go (visibility, status text): let them go while the
    // frame's own members, which those reports reach, are still alive.
    delete takeCentralWidget();
    delete main_menu_bar_;
    delete source_images_bar_;
    statusBar()->disconnect(this);
    for (QMenu* menu : main_menus_ + alternate_menus_) menu->disconnect(this);
}

void CMainFrame::CreateToolBar()
{
    tool_bar_ = new QToolBar(QStringLiteral("Standard"), this);
    tool_bar_->setObjectName(QStringLiteral("ToolBar-%1").arg(kToolBarId));
    tool_bar_->setIconSize(QSize(32, 27));
    tool_bar_->setMovable(true);
    for (const int id : {kCmdNewProject, kCmdOpenProject, kCmdSaveProject, kCmdEditWindowOnly, kCmdPreviewWindowOnly,
                         kCmdVerticalAlignment, kCmdHorizontalAlignment})
        tool_bar_->addAction(commands_->action(id));
    // The separators belong to the main view's buttons and hide with them.
    main_view_separators_ << tool_bar_->addSeparator();
    tool_bar_->addAction(commands_->action(kCmdShowCroppedImage));
    main_view_separators_ << tool_bar_->addSeparator();
    tool_bar_->addAction(commands_->action(kCmdPlanarProjection));
    tool_bar_->addAction(commands_->action(kCmdCylindricalProjection));
    addToolBar(Qt::TopToolBarArea, tool_bar_);
}

void CMainFrame::CreateStatusBar()
{
    QStatusBar* bar = statusBar();
    indicator_ = new QLabel(bar);
    indicator_->setMinimumWidth(indicator_->fontMetrics().horizontalAdvance(UiText(ui_strings::kIndicatorWidthText)));
    indicator_->setFrameShape(QFrame::StyledPanel);
    bar->addPermanentWidget(indicator_);
    progress_bar_ = new QProgressBar(bar);
    progress_bar_->setFixedWidth(200);
    progress_bar_->setTextVisible(false);
    progress_bar_->hide();
    bar->insertWidget(0, progress_bar_);
    // The message pane rests on "Ready..." whenever no prompt is shown.
    connect(bar, &QStatusBar::messageChanged, this, [bar](const QString& text) {
        if (text.isEmpty()) bar->showMessage(UiText(ui_strings::kReady));
    });
    bar->showMessage(UiText(ui_strings::kReady));
}

void CMainFrame::CreateBars()
{
    main_menu_bar_ = new CXBar(UiText(ui_strings::kMainMenu), kMainMenuBarId, this);
    step_bar_ = new StepButtonBar(*this, main_menu_bar_);
    main_menu_bar_->SetContent(step_bar_);
    addDockWidget(Qt::LeftDockWidgetArea, main_menu_bar_);
    main_menu_bar_->SetDockedThickness(150);

    source_images_bar_ = new CXBar(UiText(ui_strings::kSourceImages), kSourceImagesBarId, this);
    strip_ = new SourceStrip(*this, source_images_bar_);
    source_images_bar_->SetContent(strip_);
    addDockWidget(Qt::BottomDockWidgetArea, source_images_bar_);
    source_images_bar_->SetDockedThickness(149);

    for (CXBar* bar : {main_menu_bar_, source_images_bar_})
        connect(bar, &QDockWidget::visibilityChanged, this, [this] { commands_->UpdateAll(); });
}

CMainView* CMainFrame::main_view() const { return qobject_cast<CMainView*>(centralWidget()); }
CSplitterView* CMainFrame::splitter_view() const { return qobject_cast<CSplitterView*>(centralWidget()); }

void CMainFrame::ChooseView(int layout_id)
{
    if (layout_id == layout_) return;
    const bool modification = layout_id >= kCmdEditWindowOnly && layout_id <= kCmdHorizontalAlignment;
    if (!modification && layout_id != kMainViewLayout) return;
    layout_ = layout_id;
    if (layout_id == kCmdVerticalAlignment) alignment_flag_ = 0;
    if (layout_id == kCmdHorizontalAlignment) alignment_flag_ = 1;
    if (modification) {
        auto* view = new CSplitterView(doc_, layout_id, [this] { return alignment_flag_ != 0; }, this);
        connect(view, &CSplitterView::endModificationRequested, this, &CMainFrame::EndModification);
        connect(view, &CSplitterView::applyRequested, this, &CMainFrame::ApplyEditsAndPreview);
        setCentralWidget(view);  // the old view goes
    } else {
        auto* view = new CMainView(doc_, this);
        connect(view, &CMainView::cropChanged, this, &CMainFrame::Refresh);
        setCentralWidget(view);
    }
    ApplyToolBarAndMenuState();
    Refresh();
}

void CMainFrame::ToggleMode()
{
    if (!main_view_active()) {
        ChooseView(kMainViewLayout);
        return;
    }
    ChooseView(kCmdVerticalAlignment + (alignment_flag_ != 0 ? 1 : 0));
    // Entered without a frame chosen: the first pair that wants a look.
    if (doc_.current_frame() < 1) doc_.SelectFrame(FirstFrameToCheck(doc_));
}

void CMainFrame::ApplyToolBarAndMenuState()
{
    const int main_active = main_view_active() ? 1 : 0;
    if (main_active == applied_main_state_) return;
    const bool first = applied_main_state_ < 0;
    applied_main_state_ = main_active;
    for (const int id : {kCmdNewProject, kCmdOpenProject, kCmdSaveProject, kCmdShowCroppedImage, kCmdPlanarProjection,
                         kCmdCylindricalProjection})
        commands_->action(id)->setVisible(main_active);
    for (int id = kCmdEditWindowOnly; id <= kCmdHorizontalAlignment; ++id) commands_->action(id)->setVisible(!main_active);
    for (QAction* separator : main_view_separators_) separator->setVisible(main_active);
    menuBar()->clear();
    for (QMenu* menu : main_active ? main_menus_ : alternate_menus_) menuBar()->addMenu(menu);
    if (first) return;
    if (!main_active) {
        main_menu_was_visible_ = !main_menu_bar_->isHidden();
        source_images_was_visible_ = !source_images_bar_->isHidden();
        main_menu_bar_->hide();
        source_images_bar_->hide();
    } else {
        main_menu_bar_->setVisible(main_menu_was_visible_);
        source_images_bar_->setVisible(source_images_was_visible_);
    }
}

void CMainFrame::ShowStatusMessage(const QString& text) { statusBar()->showMessage(text); }

void CMainFrame::SourceListEdited() { SourceListChanged(); }

void CMainFrame::ContentsDeleted()
{
    if (CMainView* view = main_view()) view->ClearView();
    strip_->Relayout();
    Refresh();
}

void CMainFrame::SourceListChanged()
{
    strip_->Relayout();
    Refresh();
}

void CMainFrame::FrameSelected()
{
    if (CSplitterView* view = splitter_view()) view->FrameSelected();
    Refresh();
}

void CMainFrame::ApplyEditsAndPreview()
{
    if (main_view_active()) return;
    progress_bar_->setValue(0);
    progress_bar_->show();
    setEnabled(false);
    StatusProgress progress(progress_bar_);
    ApplyEdits(doc_, host_, progress);
    setEnabled(true);
    progress_bar_->hide();
    if (CSplitterView* view = splitter_view()) view->EditsApplied();
    Refresh();
    if (close_pending_) QTimer::singleShot(0, this, &QWidget::close);
}

void CMainFrame::EndModification()
{
    if (main_view_active()) return;
    bool pending = false;
    for (const PairEdit& edit : doc_.pair_edits()) pending = pending || edit.modified;
    if (pending) {
        if (!dialogs_.confirm_exit()) return;
        RevertEdits(doc_);
    }
    doc_.FreePairCopies();
    ChooseView(kMainViewLayout);
}

QString CMainFrame::IndicatorText() const
{
    if (!main_view_active()) {
        const int k = doc_.current_frame();
        return QString::asprintf(" Current Frame : %5d - %5d", k, k + 1);
    }
    const CMainView* view = main_view();
    if (!doc_.mosaic() || !view) return QString();
    const CropRect& crop = view->wide_view().crop();
    if (crop.width() <= 0 || crop.height() <= 0) return QString();
    return QString::asprintf(" Width: %5d x Height: %5d", crop.width(), crop.height());
}

void CMainFrame::Refresh()
{
    commands_->UpdateAll();
    indicator_->setText(IndicatorText());
    step_bar_->update();
    UpdateTitle();
}

void CMainFrame::UpdateTitle()
{
    const QString name = doc_.title().empty() ? UiText(57346) : QString::fromStdString(doc_.title());
    setWindowTitle(QStringLiteral("%1 - %2").arg(name, UiText(57344)));
}

QStringList CMainFrame::BarNames() const
{
    return {main_menu_bar_->objectName(), source_images_bar_->objectName(), tool_bar_->objectName()};
}

void CMainFrame::RestoreLayout()
{
    RestorePlacement(settings_, *this);
    // A saved layout naming a bar this frame lacks (another version) is ignored whole.
    const QStringList saved_bars = settings_.value(kBarIdsKey).toStringList();
    const QStringList own_bars = BarNames();
    for (const QString& bar : saved_bars)
        if (!own_bars.contains(bar)) return;
    if (saved_bars.isEmpty()) return;
    CXBar::LoadAll(*this, settings_, kBarStateName);
    restoreState(settings_.value(kBarStateKey).toByteArray());
}

void CMainFrame::SaveLayout()
{
    SavePlacement(settings_, *this);
    CXBar::SaveAll(*this, settings_, kBarStateName);
    settings_.setValue(kBarStateKey, saveState());
    settings_.setValue(kBarIdsKey, BarNames());
    recent_.Save(settings_);
    settings_.sync();
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (host_.busy()) {
        // Closing during a command cancels it; the window closes once the worker has stopped.
        if (ProgressWindow* dialog = host_.current_dialog()) dialog->RequestCancel();
        close_pending_ = true;
        event->ignore();
        return;
    }
    close_pending_ = false;
    if (!SaveModified()) {
        event->ignore();
        return;
    }
    if (!main_view_active()) ChooseView(kMainViewLayout);  // bars and menus as they were
    SaveLayout();
    event->accept();
}

}  // namespace tp
