// The edit window's repaint while the second image is dragged: two 1024 x 768 display copies at zoom 2 in a
// 1280 x 900 window, the second image dragged 5 pixels at a time across the first. Prints the median time of
// one move (handling plus repaint) against the 8 ms budget of a smooth drag.
#include <algorithm>
#include <cstdio>
#include <vector>

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTemporaryDir>

#include "imaging/image_file.h"
#include "project/main_doc.h"
#include "ui/edit_window.h"

namespace {

constexpr double kBudgetMs = 8.0;
constexpr int kMoves = 200;

// A photo-like picture: smooth gradients with fine texture, different per seed.
tp::ColorImage MakePicture(int width, int height, int seed)
{
    tp::ColorImage image(width, height);
    for (int y = 0; y < height; ++y) {
        unsigned char* row = image.row(y);
        for (int x = 0; x < width; ++x) {
            const int texture = ((x * 7 + y * 13 + seed * 31) ^ (x * y)) & 31;
            row[3 * x + 0] = static_cast<unsigned char>((x / 4 + texture + seed * 40) & 255);
            row[3 * x + 1] = static_cast<unsigned char>((y / 3 + texture) & 255);
            row[3 * x + 2] = static_cast<unsigned char>(((x + y) / 8 + seed * 90) & 255);
        }
    }
    return image;
}

// Counts the viewport's paints, so the timing is known to include them.
class PaintCounter : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
    int paints = 0;
};

void SendMouse(QWidget* target, QEvent::Type type, QPoint at, Qt::MouseButtons held)
{
    QMouseEvent event(type, at, target->mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                      held, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &event);
}

}  // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qt(argc, argv);
    QTemporaryDir scratch;
    tp::CMainDoc doc;
    for (int i = 0; i < 2; ++i) {
        const std::string path = scratch.filePath(QStringLiteral("view%1.bmp").arg(i)).toStdString();
        tp::WriteImage(MakePicture(1024, 768, i), path);
        doc.AddImage(path, tp::AddPosition::Tail);
    }
    doc.set_translation_mode(true);
    doc.SelectFrame(1);

    tp::CWndModification window(doc, [] { return true; });
    window.resize(1280, 900);
    window.show();
    QApplication::processEvents();
    window.ReloadPair();
    window.SetZoom(2.0);
    QApplication::processEvents();
    // Show the right end of the first image with the start of the second beside it.
    window.horizontalScrollBar()->setValue(doc.second_image_rect().left - window.viewport()->width() + 300);
    QApplication::processEvents();

    PaintCounter counter;
    window.viewport()->installEventFilter(&counter);
    QWidget* viewport = window.viewport();
    const QPoint press(viewport->width() - 150, viewport->height() / 2);
    SendMouse(viewport, QEvent::MouseButtonPress, press, Qt::LeftButton);
    std::vector<double> times;
    QElapsedTimer timer;
    for (int i = 1; i <= kMoves; ++i) {
        const QPoint at = press + QPoint(-5 * i, (i % 40) - 20);
        timer.start();
        SendMouse(viewport, QEvent::MouseMove, at, Qt::LeftButton);
        QApplication::processEvents();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    SendMouse(viewport, QEvent::MouseButtonRelease, press + QPoint(-5 * kMoves, 0), Qt::NoButton);

    std::sort(times.begin(), times.end());
    const double median = times[times.size() / 2];
    std::printf("Edit window drag repaint, 1024 x 768 copies at zoom 2 in a %d x %d window: median %.2f ms, "
                "90th percentile %.2f ms over %d moves (%d paints); target < %.0f ms, ratio %.2f\n",
                viewport->width(), viewport->height(), median, times[times.size() * 9 / 10], kMoves, counter.paints,
                kBudgetMs, median / kBudgetMs);
    return median < kBudgetMs ? 0 : 1;
}
