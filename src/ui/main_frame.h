// The main window: tool bar, status bar (with a progress bar for the modification mode), the "Main Menu" and
// "Source Images" docking bars, and the one view that fills it: the wide-view image or the modification
// mode's container in one of its four layouts. It runs every command through one table and keeps menus,
// tool bar and bars in step with the view shown.
#pragma once

#include <memory>

#include <QMainWindow>
#include <QPointer>

#include "project/main_doc.h"
#include "ui/command_table.h"
#include "ui/frame_dialogs.h"
#include "ui/frame_services.h"
#include "ui/printing.h"
#include "ui/qt_workflow_host.h"
#include "ui/recent_files.h"

#include <QPrinter>

class QDockWidget;
class QLabel;
class QMenu;
class QPrinter;
class QProgressBar;
class QSettings;
class QToolBar;

namespace tp {

class CMainView;
class CSplitterView;
class CXBar;
class SourceStrip;
class StepButtonBar;

class CMainFrame final : public QMainWindow, public FrameServices, public DocumentObserver {
    Q_OBJECT
public:
    // `settings` keeps the placement, the bar layout and the recent files; it must outlive the frame.
    CMainFrame(CMainDoc& doc, QSettings& settings, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // FrameServices
    CMainDoc& document() override { return doc_; }
    void ShowStatusMessage(const QString& text) override;
    void RunProcessingCommand(int command_id) override;
    void SourceListEdited() override;
    // DocumentObserver
    void ContentsDeleted() override;
    void SourceListChanged() override;
    void FrameSelected() override;

    CommandTable& commands() { return *commands_; }
    void set_dialogs(FrameDialogs dialogs) { dialogs_ = std::move(dialogs); }
    QtWorkflowHost& host() { return host_; }

    // Views.
    int current_layout() const { return layout_; }
    bool main_view_active() const { return layout_ == kMainViewLayout; }
    void ChooseView(int layout_id);
    void ToggleMode();
    CMainView* main_view() const;
    CSplitterView* splitter_view() const;
    // Modification mode: apply every pending edit and show the result in the preview window (the frame is
    // disabled meanwhile, its status bar shows the progress); leave, asking first when edits are pending.
    void ApplyEditsAndPreview();
    void EndModification();

    // Projects. Each returns whether it went through.
    bool NewProject();
    bool OpenProject(const QString& path);
    bool SaveProject();
    bool SaveProjectAs();
    // Asks whether to save a modified project: true when the caller may go on.
    bool SaveModified();
    const RecentFiles& recent_files() const { return recent_; }

    CXBar* main_menu_bar() const { return main_menu_bar_; }
    CXBar* source_images_bar() const { return source_images_bar_; }
    SourceStrip* source_strip() const { return strip_; }
    StepButtonBar* step_bar() const { return step_bar_; }
    QToolBar* tool_bar() const { return tool_bar_; }
    QProgressBar* status_progress_bar() const { return progress_bar_; }
    // The status bar's indicator pane.
    QString IndicatorText() const;
    // Brings titles, commands, indicator and step buttons up to date with the document.
    void Refresh();

    // The user's guide beside the program or where it was installed; empty when there is none.
    static QString UsersGuidePath();

    static constexpr int kMainViewLayout = 32800;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateCommands();
    void CreateMenus();
    void CreateToolBar();
    void CreateStatusBar();
    void CreateBars();
    void ApplyToolBarAndMenuState();
    void RebuildRecentFilesMenu();
    // The names the saved bar layout knows the bars by.
    QStringList BarNames() const;
    void RestoreLayout();
    void SaveLayout();
    void UpdateTitle();

    // Command handlers.
    void OnLoad();
    void OnStitch();
    void OnFinalize();
    void OnCrop();
    void OnExport();
    void OnPrint();
    void OnPrintPreview();
    void OnPrintSetup();
    void OnPageSetup();
    void OnShowCroppedImage();
    void OnSwitchProjection(int command_id);
    void OnOpenRecent(int index);
    void OnAbout();
    void OnUsersGuide();
    void ShowResultOrClear(bool show);
    QPrinter& printer();
    // The cropped image to print on the printer as set up: composed again at the printer's resolution when
    // that shows more than the working pixels (nothing when that was cancelled or could not be made).
    std::optional<ColorImage> ImageToPrint();

    CMainDoc& doc_;
    QSettings& settings_;
    QtWorkflowHost host_;
    FrameDialogs dialogs_;
    RecentFiles recent_;
    std::unique_ptr<CommandTable> commands_;
    std::unique_ptr<QPrinter> printer_;
    PrintSettings print_settings_;

    int layout_ = kMainViewLayout;
    int alignment_flag_ = 1;
    int applied_main_state_ = -1;  // the view kind the tool bar and menus were last set for
    bool main_menu_was_visible_ = true;
    bool source_images_was_visible_ = true;
    bool close_pending_ = false;

    QMenu* project_menu_ = nullptr;
    QList<QMenu*> main_menus_;
    QList<QMenu*> alternate_menus_;
    QToolBar* tool_bar_ = nullptr;
    QList<QAction*> main_view_separators_;
    QLabel* indicator_ = nullptr;
    QProgressBar* progress_bar_ = nullptr;
    CXBar* main_menu_bar_ = nullptr;
    CXBar* source_images_bar_ = nullptr;
    SourceStrip* strip_ = nullptr;
    StepButtonBar* step_bar_ = nullptr;
};

}  // namespace tp
