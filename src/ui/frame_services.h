// What the main frame offers the windows inside its bars: the document, the status bar's message pane and
// running a processing command as if it came from the menu.
#pragma once

#include <QString>

namespace tp {

class CMainDoc;

class FrameServices {
public:
    virtual ~FrameServices() = default;
    virtual CMainDoc& document() = 0;
    // Shows `text` in the status bar's message pane.
    virtual void ShowStatusMessage(const QString& text) = 0;
    // Runs a processing command (32771..32776) as the menu would; returns when it has finished.
    virtual void RunProcessingCommand(int command_id) = 0;
    // The source list changed through a window of the frame (reorder, delete): the frame updates its title,
    // its view and the step buttons.
    virtual void SourceListEdited() = 0;
};

}  // namespace tp
