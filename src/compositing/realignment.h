// The pieces of re-alignment: the lattice of grid points over the canvas, the grey patches (candidates) they
// collect, the search that matches a source against them, and the weighted fit that turns the matches into a
// correction of the source's homographies. Mosaic::Realign (realignment.cpp) runs them in order.
#pragma once

#include <array>
#include <optional>
#include <vector>

#include "compositing/realignment_grid.h"
#include "imaging/image_buffer.h"
#include "imaging/matrix.h"
#include "imaging/progress.h"
#include "registration/geometry_types.h"

namespace tp {

class Mosaic;

// Row-major 2 x 2 matrix: a candidate's shape matrix, or a feature's weight matrix.
using Matrix2 = std::array<double, 4>;

// --- the lattice (realignment_lattice.cpp) ---

// Number of lattice columns (or rows) over a canvas side: positions 0, spacing, 2 spacing, ... below it.
int LatticeLines(int canvas_side, int spacing);

// An empty grid point at canvas position (x, y) with the patch, search and list sizes of `sizes`.
RealignmentGrid MakeGrid(int x, int y, const RealignmentState& sizes);

// Replaces the grid table by a fresh lattice over a canvas of the given size, every grid point empty and
// sized from `state`. Sends one progress step per lattice column; false when cancelled (or when the spacing
// is not positive).
bool CreateGrids(RealignmentState& state, int canvas_width, int canvas_height, Progress& progress);

// --- candidates (realignment_candidates.cpp) ---

// Working-image pixels to the same pixels: (blue + green + red) / 3, in integers.
GrayImage GreyLevels(const ColorImage& image);

// Mean absolute central differences across and down a (2 half_size + 1)^2 window of working-image pixels.
struct TextureMeasure {
    float across = 0.0f;  // tx
    float down = 0.0f;    // ty
    int counted = 0;      // window pixels whose neighbours lie at least 2 pixels inside the image
};
TextureMeasure MeasureTexture(const GrayImage& grey, int x, int y, int half_size);
// Textured when either mean exceeds the threshold; a window with no counted pixel is not textured.
bool IsTextured(const GrayImage& grey, int x, int y, int half_size, float threshold);

// [[c sqrt(l1), -s sqrt(l2)], [s sqrt(l1), c sqrt(l2)]] from the gradient structure of the patch interior:
// l1 >= l2 its eigenvalues, (c, s) the principal direction. Zero for patches without an interior, and for
// patches without cross terms whose gradient runs across only, where (c, s) comes out as (0, 0).
Matrix2 ShapeMatrix(const GrayImage& patch);

// Stores the grey patch centred on working-image pixel `centre` of `grey` (pixels outside the image read 0)
// with `record` and its shape matrix: in the next free slot, or over the worst-ranked slot when the list is
// full. Then re-ranks the slots by ascending score, equal scores keeping their order.
void AddCandidate(RealignmentGrid& grid, const GrayImage& grey, PointI centre, const GridCandidate& record);

// --- matching (realignment_matching.cpp) ---

// Correlation sum(I P) / sqrt(sum(I^2) sum(P^2)) of the patch centred on working-image pixel (x, y), over
// the pixels where the patch overlaps the image; 0 unless the energies are positive and more than
// (half-size / 2)^2 pixels overlap.
double PatchCorrelation(const GrayImage& grey, const GrayImage& patch, int x, int y);

struct StrongestCorrelation {
    double correlation = 0.0;  // 0 when the patch correlates positively nowhere
    PointI position;           // the first centre in row-major order with that correlation
};

// PatchCorrelation at every centre of [first_x, last_x] x [first_y, last_y], keeping the first maximum above
// 0. For centres whose placement lies wholly inside the image the sums come from an integral image of the
// squares and zero-padded 16-bit rows: the same integers, so the same values.
StrongestCorrelation StrongestPatchCorrelation(const GrayImage& grey, const GrayImage& patch, int first_x, int last_x,
                                               int first_y, int last_y);

struct CandidateMatch {
    PointI position;     // working-image pixel of the source where the patch was found
    int slot = -1;       // candidate slot that matched
    float cost = 0.0f;   // -ln(correlation) + the candidate's score
    int candidates_tried = 0;
};

// Canvas frame in (grid point, candidate offsets), the source's working-image pixels out. Matches the grid
// point's candidates, best score first, within the search size around where the source's from-reference
// homography predicts them. Stops early once the best cost so far cannot be beaten by the candidates still
// to come. Empty when no candidate correlates anywhere.
std::optional<CandidateMatch> FindBestCandidate(const RealignmentGrid& grid, const GrayImage& grey,
                                                const Matrix& from_reference, PointI canvas_offset);

// A grid point's match in one source, remembered for the candidate pass.
struct GridMatch {
    PointI position;  // working-image pixel
    int slot = -1;
    float cost = 0.0f;
};

// One predicted / found pair for the correction fit.
struct CorrectionFeature {
    PointF predicted;  // the grid point in the source's centred coordinates, by its current transform
    PointF found;      // where the matched patch lies, centred coordinates
    float weight = 0.0f;  // exp(-cost)
    Matrix2 matrix{};     // the grid point's first candidate's shape matrix
};

struct SourceMatches {
    std::vector<CorrectionFeature> features;
    std::vector<std::optional<GridMatch>> matches;  // one entry per grid point
    bool cancelled = false;
};

// The matching pass of one source over every grid point that holds a feature: canvas frame in, the
// source's centred coordinates out. One progress step per grid point; stops at a cancel.
SourceMatches MatchSource(const RealignmentState& state, const GrayImage& grey, const Matrix& from_reference,
                          PointI canvas_offset, Progress& progress);

// --- the correction fit (realignment_fit.cpp) ---

// Scales every weight matrix by 1 / ((w - 1)^2 / (sqrt(sum (w - mean w)^2) + 1e-6) + 1).
void ScaleByMatchQuality(std::vector<CorrectionFeature>& features);

// The source's centred coordinates in and out.
// Least squares for h00 .. h21 (h22 = 1) mapping predicted onto found points, every feature's two rows
// premultiplied by the transpose of its matrix. Empty when the normal equations are singular or the
// solution is not finite.
std::optional<Matrix> SolveWeightedHomography(const std::vector<CorrectionFeature>& features,
                                              const std::vector<Matrix2>& matrices);

// The features' matrices scaled down by how far each found point lies from where `h` puts its prediction.
std::vector<Matrix2> ReweightByResiduals(const std::vector<CorrectionFeature>& features, const Matrix& h);

// The base fit followed by five reweighted fits. Empty when any fit fails.
std::optional<Matrix> FitCorrection(const std::vector<CorrectionFeature>& features);

// --- the grey composite (realignment_composite.cpp) ---

// Canvas frame. Paints a source's grey levels into the canvas-sized composite wherever it is still 0: every
// canvas pixel of the source's box maps back through `from_reference` (plus the integer half size) and,
// inside [2, w - 2) x [2, h - 2), takes the mean of the bilinear channel samples, 0 stored as 1.
void RenderGreyWhereEmpty(GrayImage& composite, const ColorImage& image, const Matrix& to_reference,
                          const Matrix& from_reference, PointI canvas_offset);

// --- the run (realignment.cpp) ---

// Sources' centred coordinates to mosaic coordinates. After source b's transforms changed: rebuilds the
// to-reference chains of the sources beyond b, away from the reference, up to the first that is out of the
// chain, from b's new transform and the pairwise homographies.
void PropagateCorrection(Mosaic& mosaic, int b);

}  // namespace tp
