// Starting the desktop program: the settings, the one document, the main window (shown maximised after the
// splash), and a project named on the command line, opened once the window is on screen.
#pragma once

#include <memory>

#include <QSettings>
#include <QString>
#include <QStringList>

#include "project/main_doc.h"

namespace tp {

class CMainFrame;

struct StartOptions {
    QString project;      // opened after the window shows; empty for a new project
    bool splash = true;
    bool maximized = true;
};

// Reads the program's arguments (without the program name): an optional project file; "--nosplash" leaves
// the splash out. Unknown options are ignored, as the shell's would be.
StartOptions ParseStartOptions(const QStringList& arguments);

class Application {
public:
    // `settings` null: the user's settings (organisation "Quorvel", application "Tarnel Plexaro").
    explicit Application(std::unique_ptr<QSettings> settings = nullptr);
    ~Application();

    // Creates and shows the main window; the project, if any, opens from the event loop.
    void Start(const StartOptions& options);
    CMainFrame& frame() { return *frame_; }
    CMainDoc& document() { return doc_; }

private:
    std::unique_ptr<QSettings> settings_;
    CMainDoc doc_;
    std::unique_ptr<CMainFrame> frame_;
};

}  // namespace tp
