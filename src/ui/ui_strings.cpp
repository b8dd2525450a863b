#include "ui/ui_strings.h"

#include <unordered_map>

#include "imaging/string_table.h"
#include "ui/command_ids.h"

namespace tp {

namespace {

const std::unordered_map<int, const char*>& Texts()
{
    static const std::unordered_map<int, const char*> kTexts = {
        {ui_strings::kCredits,
         "Registration, blending and re-alignment: the Tarnel Plexaro engine team.\n"
         "Desktop program: the Tarnel Plexaro interface team.\n"
         "Photographs for testing: the contributors named in the sample sets."},
        {ui_strings::kMainMenu, "Main Menu"},
        {ui_strings::kSourceImages, "Source Images"},
        {ui_strings::kTooManyImages, "You have selected too many images."},
        {ui_strings::kViewSwitchNoDocument, "A problem occurred. Try closing the application and run it again."},
        {ui_strings::kViewSwitchNoViews, "Problem: CMainFrame::OnChooseView can not find any views!"},
        {ui_strings::kSaveChanges, "Save changes to %1?"},
        {ui_strings::kNoDisplay, "No display is available: the desktop program cannot start."},
        {ui_strings::kPropertyUnavailable, "unavailable"},
        {ui_strings::kReady, "Ready..."},
        {ui_strings::kDocumentType,
         "Tarnel Plexaro\n\nTP\nTarnel Plexaro Project(*.tnp)\n.tnp\nTarnelProject\nTarnel Project"},
        {ui_strings::kWidthHeightIndicator, " Width: %5d x Height: %5d"},
        {ui_strings::kIndicatorWidthText, "xxxxxxxxxxxxxxxxxxxxxxxxxxxx"},
        // Command prompts: status-bar text, line feed, tooltip.
        {kCmdLoad, "Adds source images to the project.\nLoad Source Images"},
        {kCmdStitch, "Registers every neighbouring pair and blends the wide-view image.\nStitch Source Images"},
        {kCmdFinalize, "Joins the sources along searched seams with a multi-band blend.\nFinalize Wide-View Image"},
        {kCmdCrop, "Cuts away the area that no source image covers.\nCrop Non-image Area"},
        {kCmdExport, "Writes the cropped wide-view image to an image file.\nExport Wide-View Image"},
        {kCmdPrintStep, "Prints the cropped wide-view image.\nPrint"},
        {kCmdMainMenuBar, "Shows or hides the Main Menu bar.\nMain Menu Bar"},
        {kCmdSourceImageView, "Shows or hides the Source Images bar.\nSource Images"},
        {kCmdEditWindowOnly, "Shows the edit window only.\nEdit Window Only"},
        {kCmdPreviewWindowOnly, "Shows the preview window only.\nPreview Window Only"},
        {kCmdVerticalAlignment, "Shows the edit and preview windows side by side.\nVertical Alignment"},
        {kCmdHorizontalAlignment, "Shows the edit window above the preview window.\nHorizontal Alignment"},
        {kCmdShowCroppedImage, "Shows the cropped wide-view image.\nShow Cropped Image"},
        {kCmdPageSetup, "Chooses how the wide-view image is laid out on the page.\nPrint Page Setup"},
        {kCmdExposureCompensation,
         "Evens out the photos' brightness before they are blended (applies from the next stitch or finalize)."
         "\nExposure Compensation"},
        {kCmdUsersGuide, "Opens the user's guide.\nUser's Guide"},
        {kCmdPlanarProjection, "Shows the wide-view image in planar projection.\nPlanar Projection"},
        {kCmdCylindricalProjection, "Shows the wide-view image in cylindrical projection.\nCylindrical Projection"},
        {kCmdNewProject, "Starts a new project.\nNew Project"},
        {kCmdOpenProject, "Opens an existing project.\nOpen Project"},
        {kCmdSaveProject, "Saves the project.\nSave Project"},
        {kCmdSaveProjectAs, "Saves the project under a new name.\nSave Project As"},
        {kCmdPrintSetup, "Changes the printer and printing options.\nPrint Setup"},
        {kCmdPrint, "Prints the cropped wide-view image.\nPrint"},
        {kCmdPrintPreview, "Shows the pages as they will be printed.\nPrint Preview"},
        {kCmdRecentFile1, "Opens this project.\nRecent Project"},
        {kCmdRecentFile1 + 1, "Opens this project.\nRecent Project"},
        {kCmdRecentFile1 + 2, "Opens this project.\nRecent Project"},
        {kCmdRecentFile1 + 3, "Opens this project.\nRecent Project"},
        {kCmdAbout, "Shows the program's version and its makers.\nAbout"},
        {kCmdExit, "Quits the program; asks to save the project first.\nExit"},
        {kCmdViewToolbar, "Shows or hides the tool bar.\nToggle Tool Bar"},
        {kCmdViewStatusBar, "Shows or hides the status bar.\nToggle Status Bar"},
    };
    return kTexts;
}

}  // namespace

QString UiText(int id)
{
    const auto it = Texts().find(id);
    if (it != Texts().end()) return QString::fromUtf8(it->second);
    return QString::fromStdString(LoadString(id));
}

QString CommandStatusText(int command_id)
{
    return UiText(command_id).section(QLatin1Char('\n'), 0, 0);
}

QString CommandTooltip(int command_id)
{
    return UiText(command_id).section(QLatin1Char('\n'), 1, 1);
}

}  // namespace tp
