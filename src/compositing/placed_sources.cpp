#include "compositing/placed_sources.h"

#include "compositing/mosaic.h"

namespace tp {

std::vector<std::optional<PlacedSource>> PlaceSources(const Mosaic& mosaic)
{
    const int n = mosaic.source_count();
    const int width = mosaic.working_width(), height = mosaic.working_height();
    const ColorImage& canvas = mosaic.planar();
    std::vector<std::optional<PlacedSource>> placed(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        const SourceAlignment& record = mosaic.alignment(i);
        if (!record.in_chain) continue;
        std::shared_ptr<const ColorImage> image = mosaic.ShareWorkingImage(i);
        if (!image || image->width() != width || image->height() != height) continue;
        const CanvasBox box = SourceBoxOnCanvas(record.to_reference, width, height, mosaic.canvas_offset(), canvas.width(), canvas.height());
        if (box.empty()) continue;
        placed[static_cast<std::size_t>(i)].emplace(
            PlacedSource{std::move(image), box, CanvasWalk(record.from_reference, mosaic.canvas_offset(), width, height)});
    }
    return placed;
}

OverlapRows CommonRows(const PlacedSource& a, const PlacedSource& b)
{
    return {std::max(a.box.min_y, b.box.min_y), std::min(a.box.max_y, b.box.max_y)};
}

}  // namespace tp
