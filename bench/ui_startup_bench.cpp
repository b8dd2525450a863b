// Start-up of the desktop program: the time from the process's start to the main window's first paint, with
// the sample project named on the command line or none. Prints milliseconds; run by run_ui_startup_bench.sh.
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QTemporaryDir>
#include <QTimer>

#include "ui/application.h"
#include "ui/main_frame.h"

namespace {

// Milliseconds since this process started (its start time from /proc, against the boot clock).
double MillisecondsSinceProcessStart()
{
    std::ifstream stat("/proc/self/stat");
    std::string line;
    std::getline(stat, line);
    std::istringstream fields(line.substr(line.rfind(')') + 2));
    std::string field;
    for (int i = 3; i < 22; ++i) fields >> field;  // field 22 is the start time in clock ticks since boot
    unsigned long long start_ticks = 0;
    fields >> start_ticks;
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    const double now_ms = now.tv_sec * 1000.0 + now.tv_nsec / 1e6;
    return now_ms - start_ticks * 1000.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
}

class FirstPaint : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && elapsed_ < 0) {
            elapsed_ = MillisecondsSinceProcessStart();
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
        return false;
    }
    double elapsed_ = -1;
};

}  // namespace

int main(int argc, char* argv[])
{
    QApplication qt(argc, argv);
    QTemporaryDir scratch;
    tp::Application application(
        std::make_unique<QSettings>(scratch.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat));
    tp::StartOptions options;
    options.splash = false;
    FirstPaint probe;
    qt.installEventFilter(&probe);
    application.Start(options);
    QApplication::exec();
    std::printf("%.1f\n", probe.elapsed_);
    return 0;
}
