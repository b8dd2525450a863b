// The lattice of grid points laid over the planar canvas for re-alignment.
#include <algorithm>
#include <numeric>

#include "compositing/realignment.h"
#include "imaging/string_table.h"

namespace tp {

int LatticeLines(int canvas_side, int spacing)
{
    if (canvas_side <= 0 || spacing <= 0) return 0;
    return (canvas_side - 1) / spacing + 1;
}

RealignmentGrid MakeGrid(int x, int y, const RealignmentState& sizes)
{
    RealignmentGrid grid;
    grid.x = x;
    grid.y = y;
    grid.patch_size = sizes.patch_size;
    grid.search_size = sizes.search_size;
    grid.capacity = std::max(sizes.candidates_per_grid, 0);
    const auto slots = static_cast<std::size_t>(grid.capacity);
    // Patch pixels are allocated when a candidate arrives: most grid points of a wide canvas stay empty.
    grid.patches.resize(slots);
    grid.candidates.resize(slots);
    grid.rank.resize(slots);
    std::iota(grid.rank.begin(), grid.rank.end(), 0);
    return grid;
}

bool CreateGrids(RealignmentState& state, int canvas_width, int canvas_height, Progress& progress)
{
    const int spacing = state.grid_spacing;
    const int columns = LatticeLines(canvas_width, spacing);
    const int rows = LatticeLines(canvas_height, spacing);
    progress.SetText(strings::kCreatingGrids);
    progress.SetRange(columns);
    // A second re-alignment starts from an empty lattice.
    state.grids.clear();
    state.num_grid = 0;
    state.grids_created = 0;
    if (spacing <= 0) return false;

    state.grids.reserve(static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows));
    for (int column = 0; column < columns; ++column) {
        for (int row = 0; row < rows; ++row) state.grids.push_back(MakeGrid(column * spacing, row * spacing, state));
        state.num_grid = static_cast<int>(state.grids.size());
        if (progress.Step()) return false;
    }
    state.grids_created = 1;
    return true;
}

}  // namespace tp
