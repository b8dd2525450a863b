// Every command of the desktop program by its number. Menus, tool bar, accelerators, the step buttons and
// context menus all dispatch through these ids (see CommandTable).
#pragma once

namespace tp {

enum CommandId : int {
    // The workflow, in the order of the step buttons.
    kCmdLoad = 32771,
    kCmdStitch = 32772,
    kCmdFinalize = 32773,
    kCmdCrop = 32774,
    kCmdExport = 32775,
    kCmdPrintStep = 32776,
    // Docking bars.
    kCmdMainMenuBar = 32777,
    kCmdSourceImageView = 32778,
    // Modification-mode layouts and the main view.
    kCmdEditWindowOnly = 32790,
    kCmdPreviewWindowOnly = 32791,
    kCmdVerticalAlignment = 32792,
    kCmdHorizontalAlignment = 32793,
    kCmdShowCroppedImage = 32794,
    kCmdPageSetup = 32795,
    kCmdMainView = 32800,
    kCmdUsersGuide = 32807,
    kCmdPlanarProjection = 32812,
    kCmdExposureCompensation = 32820,  // a setting of this program's own: gains per source before blending
    kCmdCylindricalProjection = 32813,
    // The framework's standard commands.
    kCmdNewProject = 57600,
    kCmdOpenProject = 57601,
    kCmdSaveProject = 57603,
    kCmdSaveProjectAs = 57604,
    kCmdPrintSetup = 57606,
    kCmdPrint = 57607,
    kCmdPrintPreview = 57609,
    kCmdRecentFile1 = 57616,  // up to kCmdRecentFile1 + 3
    kCmdEditCopy = 57634,
    kCmdEditCut = 57635,
    kCmdEditPaste = 57637,
    kCmdAbout = 57664,
    kCmdExit = 57665,
    kCmdViewToolbar = 59392,
    kCmdViewStatusBar = 59393,
    // The source-image strip's context menu.
    kCmdStripDocking = 45000,
    kCmdStripProperties = 45001,
    kCmdStripDelete = 45002,
    kCmdStripHide = 45003,
    // The zoomable views' context menu (the edit window's menu uses the same four).
    kCmdFitOnScreen = 47001,
    kCmdActualPixels = 47002,
    kCmdZoomIn = 47003,
    kCmdZoomOut = 47004,
};

// Control ids of the two docking bars (they name the bars' sections in the settings).
inline constexpr int kMainMenuBarId = 32798;
inline constexpr int kSourceImagesBarId = 32799;

}  // namespace tp
