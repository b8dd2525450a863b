// How long the desktop program's event loop stalls while it loads, stitches and finalizes a photo set through
// the main window: a 10 ms timer runs throughout and the longest gap between its ticks is reported per step.
// Usage: ui_responsiveness_bench IMAGE...   (run with QT_QPA_PLATFORM=offscreen or on a display)
#include <cstdio>

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include "ui/choice_dialogs.h"
#include "ui/command_ids.h"
#include "ui/main_frame.h"

namespace {

class StallMeter {
public:
    StallMeter()
    {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            const qint64 now = clock_.elapsed();
            longest_ = std::max(longest_, now - last_);
            last_ = now;
        });
        clock_.start();
        timer_.start(10);
    }
    // The longest gap since the last call, in milliseconds.
    qint64 TakeLongest()
    {
        const qint64 longest = std::max(longest_, clock_.elapsed() - last_);
        longest_ = 0;
        last_ = clock_.elapsed();
        return longest;
    }

private:
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 last_ = 0;
    qint64 longest_ = 0;
};

}  // namespace

int main(int argc, char* argv[])
{
    QApplication qt(argc, argv);
    QStringList images;
    for (int i = 1; i < argc; ++i) images << QString::fromLocal8Bit(argv[i]);
    if (images.size() < 2) {
        std::fprintf(stderr, "usage: ui_responsiveness_bench IMAGE IMAGE...\n");
        return 2;
    }
    QTemporaryDir scratch;
    QSettings settings(scratch.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
    tp::CMainDoc doc;
    doc.NewProject();
    tp::CMainFrame frame(doc, settings);
    tp::FrameDialogs dialogs;
    dialogs.pick_images = [&images]() -> std::optional<QStringList> { return images; };
    dialogs.choose = [](const tp::ChoiceQuestion& question) -> std::optional<int> { return question.first_value; };
    frame.set_dialogs(dialogs);
    frame.show();
    QApplication::processEvents();

    StallMeter meter;
    qint64 worst = 0;
    for (const auto& [id, name] : {std::pair{tp::kCmdLoad, "load"}, std::pair{tp::kCmdStitch, "stitch"},
                                   std::pair{tp::kCmdFinalize, "finalize"}}) {
        meter.TakeLongest();
        QElapsedTimer step;
        step.start();
        frame.RunProcessingCommand(id);
        const qint64 stall = meter.TakeLongest();
        worst = std::max(worst, stall);
        std::printf("%-8s %6lld ms in all, longest stall of the event loop %4lld ms\n", name,
                    static_cast<long long>(step.elapsed()), static_cast<long long>(stall));
    }
    std::printf("longest stall: %lld ms (target <= 100 ms, ratio %.2f)\n", static_cast<long long>(worst), worst / 100.0);
    return 0;
}
