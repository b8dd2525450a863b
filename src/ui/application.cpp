#include "ui/application.h"

#include <QApplication>
#include <QPointer>
#include <QTimer>

#include "ui/main_frame.h"
#include "ui/message_boxes.h"
#include "ui/splash_window.h"

namespace tp {

StartOptions ParseStartOptions(const QStringList& arguments)
{
    StartOptions options;
    for (const QString& argument : arguments) {
        if (argument == QStringLiteral("--nosplash"))
            options.splash = false;
        else if (!argument.startsWith(QStringLiteral("--")) && options.project.isEmpty())
            options.project = argument;
    }
    return options;
}

Application::Application(std::unique_ptr<QSettings> settings)
    : settings_(settings ? std::move(settings) : std::make_unique<QSettings>(QStringLiteral("Quorvel"), QStringLiteral("Tarnel Plexaro")))
{
}

Application::~Application()
{
    RemoveMessageBoxes();
    frame_.reset();
}

void Application::Start(const StartOptions& options)
{
    doc_.NewProject();
    frame_ = std::make_unique<CMainFrame>(doc_, *settings_);
    InstallMessageBoxes(frame_.get());
    QPointer<SplashWindow> splash;
    if (options.splash) {
        splash = new SplashWindow;  // deletes itself when dismissed
        splash->show();
        QObject::connect(splash, &SplashWindow::dismissed, frame_.get(), [frame = frame_.get()] { frame->update(); });
    }
    if (options.maximized)
        frame_->showMaximized();
    else
        frame_->show();
    // On top of the window that has just come up, also where no window manager keeps it there.
    if (splash) splash->raise();
    if (!options.project.isEmpty())
        QTimer::singleShot(0, frame_.get(), [frame = frame_.get(), path = options.project] { frame->OpenProject(path); });
}

}  // namespace tp
