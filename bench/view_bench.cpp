// Painting the wide-view image: a 12000 x 3000 synthetic panorama in the main view at 1600 x 1000. Prints
// the median time of repainting the whole viewport at each zoom from the smallest to the largest, and the
// median time of a zoom step (the command and the repaint that shows it), against their targets.
// Run by run_view_bench.sh (offscreen).
#include <algorithm>
#include <cstdio>
#include <vector>

#include <QApplication>
#include <QElapsedTimer>

#include "project/main_doc.h"
#include "ui/command_ids.h"
#include "ui/main_view.h"

namespace {

constexpr double kRepaintTargetMs = 8.0;
constexpr double kZoomStepTargetMs = 30.0;
constexpr int kRepaints = 15;

// Sky, hills and a fine texture, so that no drawing path can skip flat areas.
tp::ColorImage SyntheticPanorama(int width, int height)
{
    tp::ColorImage image(width, height);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = image.row(y);
        for (int x = 0; x < width; ++x) {
            const bool sky = y < height / 2 + (x % 2000 < 1000 ? x % 1000 : 1000 - x % 1000) / 4;
            const int texture = (x * 7 + y * 13) % 23;
            row[3 * x] = static_cast<std::uint8_t>(sky ? 200 + texture : 40 + texture);
            row[3 * x + 1] = static_cast<std::uint8_t>(sky ? 150 + texture : 120 + (x / 50) % 60);
            row[3 * x + 2] = static_cast<std::uint8_t>(sky ? 90 : 60 + (y / 30) % 80);
        }
    }
    return image;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

template <typename Work>
double Milliseconds(Work&& work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

}  // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qt(argc, argv);
    tp::CMainDoc doc;
    tp::CMainView view(doc, nullptr);
    view.resize(1600, 1000);
    view.show();
    QApplication::processEvents();

    tp::ColorImage panorama = SyntheticPanorama(12000, 3000);
    const double show_ms = Milliseconds([&] { view.ShowImage(std::move(panorama)); });
    QApplication::processEvents();
    std::printf("Showing the 12000 x 3000 image (copy and zoom levels, once per image): %.1f ms\n", show_ms);

    const auto repaint_median = [&] {
        std::vector<double> times;
        for (int i = 0; i < kRepaints; ++i) times.push_back(Milliseconds([&] { view.viewport()->repaint(); }));
        return Median(times);
    };
    view.ExecuteZoomCommand(tp::kCmdFitOnScreen);
    std::vector<double> zooms = {view.zoom()};
    for (double z = 0.25; z <= 8.0; z *= 2) zooms.push_back(z);
    double worst_repaint = 0.0;
    for (const double zoom : zooms) {
        view.SetZoom(zoom);
        const QPoint most = view.view_geometry().max_scroll();
        view.ScrollTo(most / 2);
        QApplication::processEvents();
        const double ms = repaint_median();
        worst_repaint = std::max(worst_repaint, ms);
        std::printf("Repaint at zoom %6.3f: %6.2f ms median of %d (target %.0f ms, ratio %.2f)\n", zoom, ms, kRepaints,
                    kRepaintTargetMs, ms / kRepaintTargetMs);
    }

    // Every kind of step: fitting, halving and doubling across the whole range, back to actual pixels.
    const int kSteps[] = {tp::kCmdFitOnScreen, tp::kCmdZoomIn, tp::kCmdZoomIn, tp::kCmdZoomIn, tp::kCmdZoomIn,
                          tp::kCmdZoomIn,      tp::kCmdZoomIn, tp::kCmdActualPixels, tp::kCmdZoomOut, tp::kCmdZoomOut,
                          tp::kCmdZoomOut,     tp::kCmdZoomOut, tp::kCmdZoomIn, tp::kCmdZoomIn, tp::kCmdZoomIn,
                          tp::kCmdZoomIn,      tp::kCmdZoomIn, tp::kCmdZoomIn, tp::kCmdZoomIn};
    std::vector<double> steps;
    for (int round = 0; round < 3; ++round)
        for (const int command : kSteps)
            steps.push_back(Milliseconds([&] {
                view.ExecuteZoomCommand(command);
                view.viewport()->repaint();
            }));
    const double step_ms = Median(steps);
    std::printf("Zoom step with its repaint: %6.2f ms median of %zu, worst %.2f ms (target %.0f ms, ratio %.2f)\n", step_ms,
                steps.size(), *std::max_element(steps.begin(), steps.end()), kZoomStepTargetMs, step_ms / kZoomStepTargetMs);
    std::printf("Worst repaint median: ratio %.2f; zoom step: ratio %.2f\n", worst_repaint / kRepaintTargetMs,
                step_ms / kZoomStepTargetMs);
    return 0;
}
