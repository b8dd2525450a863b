// The lattice laid over the planar canvas for re-alignment: every grid point collects small grey patches
// (candidates) from the sources that cover it.
#pragma once

#include <array>
#include <vector>

#include "imaging/image_buffer.h"

namespace tp {

// One patch a grid point holds, with where it came from and how well it matched.
struct GridCandidate {
    int source = 0;
    // Position of the patch centre relative to the grid point, in mosaic pixels.
    int offset_x = 0;
    int offset_y = 0;
    // Candidate slot it was matched against, or -1 for a patch taken for its texture alone.
    int matched = -1;
    int reserved[2] = {0, 0};
    // 0 for reference and texture candidates, the match cost otherwise.
    float score = 0.0f;
    // Row-major 2 x 2 shape matrix from the patch's gradient structure.
    std::array<double, 4> shape{};
};

struct RealignmentGrid {
    int has_feature = 0;
    int x = 0;  // canvas position
    int y = 0;
    int patch_size = 0;
    int search_size = 0;
    int capacity = 0;
    int count = 0;
    std::vector<GrayImage> patches;       // capacity patches of patch_size x patch_size
    std::vector<GridCandidate> candidates;  // capacity records
    std::vector<int> rank;                // candidate slots by ascending score
};

struct RealignmentState {
    int grids_created = 0;
    float texture_threshold = 6.0f;
    int grid_spacing = 0;
    int num_grid = 0;  // m_num_grid
    int candidates_per_grid = 0;
    int patch_size = 0;
    int search_size = 0;
    std::vector<RealignmentGrid> grids;
};

}  // namespace tp
