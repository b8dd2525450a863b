// The record a Mosaic is built from: sizes derived from the first source's working image and the number of
// sources.
#pragma once

namespace tp {

struct MosaicParameters {
    int working_width = 0;
    int working_height = 0;
    int virtual_width = 0;   // W (n + 100) / 2
    int virtual_height = 0;  // 40 H
    int source_count = 0;
    int pyramid_levels = 3;  // registration levels: 3 up to 307200 pixels, else 4
    // Re-alignment lattice and patch sizes.
    int grid_spacing = 17;
    int grid_patch_size = 15;
    int grid_search_size = 17;
    int candidates_per_grid = 3;
    float texture_threshold = 6.0f;
};

MosaicParameters MakeMosaicParameters(int working_width, int working_height, int source_count);

}  // namespace tp
