// Mosaics over images held in memory, for geometry and blending tests.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "compositing/mosaic.h"
#include "synthetic_views.h"

namespace tp::test {

struct MemoryMosaic {
    std::shared_ptr<MemoryWorkingImages> images = std::make_shared<MemoryWorkingImages>();
    std::unique_ptr<Mosaic> mosaic;
};

// A mosaic of the given images (named "0", "1", ...), parameters from the first image's size.
inline MemoryMosaic MakeMemoryMosaic(const std::vector<ColorImage>& sources)
{
    MemoryMosaic m;
    std::vector<std::string> paths;
    for (std::size_t i = 0; i < sources.size(); ++i) {
        paths.push_back(std::to_string(i));
        m.images->Put(paths.back(), sources[i]);
    }
    const MosaicParameters parameters =
        MakeMosaicParameters(sources.front().width(), sources.front().height(), static_cast<int>(sources.size()));
    m.mosaic = std::make_unique<Mosaic>(parameters, paths, m.images);
    return m;
}

// Records what a progress sink is told and cancels at a chosen step (never when the step is <= 0).
class RecordingProgress final : public Progress {
public:
    explicit RecordingProgress(int cancel_at_step = 0) : cancel_at_(cancel_at_step) {}
    bool Step() override { return ++steps == cancel_at_; }
    void SetRange(int n) override { ranges.push_back(n); }
    void SetText(int id) override { texts.push_back(id); }
    int steps = 0;
    std::vector<int> ranges;
    std::vector<int> texts;

private:
    int cancel_at_;
};

}  // namespace tp::test
