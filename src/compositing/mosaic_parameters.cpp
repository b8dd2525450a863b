#include "compositing/mosaic_parameters.h"

#include <cstdint>

namespace tp {

MosaicParameters MakeMosaicParameters(int working_width, int working_height, int source_count)
{
    MosaicParameters p;
    p.working_width = working_width;
    p.working_height = working_height;
    p.virtual_width = working_width * (source_count + 100) / 2;
    p.virtual_height = working_height * 40;
    p.source_count = source_count;
    const std::int64_t area = static_cast<std::int64_t>(working_width) * working_height;
    p.pyramid_levels = area <= 307200 ? 3 : 4;
    p.grid_spacing = area <= 76800 ? 17 : area <= 307200 ? 25 : area <= 1228800 ? 33 : 41;
    p.grid_patch_size = 15;
    p.grid_search_size = area <= 76800 ? 17 : area <= 307200 ? 31 : area <= 1228800 ? 41 : 51;
    p.candidates_per_grid = 3;
    p.texture_threshold = 6.0f;
    return p;
}

}  // namespace tp
