// The stitching engine: the alignment of every source, the geometry that places them on one canvas, and
// the planar and cylindrical wide-view images blended from them.
//
// Frames: a source's centred coordinates (origin at the centre of its working image); mosaic coordinates
// (the reference source's centred coordinates); the virtual canvas (mosaic + virtual centre, used only to
// accumulate bounds); the canvas (mosaic + canvas offset, the planar wide-view image's pixels).
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "compositing/block_gains.h"
#include "compositing/exposure_gains.h"
#include "compositing/join_record.h"
#include "compositing/mosaic_parameters.h"
#include "compositing/realignment_grid.h"
#include "imaging/image_buffer.h"
#include "imaging/progress.h"
#include "imaging/working_images.h"
#include "registration/source_alignment.h"

namespace tp {

enum class BlendType : int { Basic = 2, Advanced = 5 };

// Order in which sources are composited after the reference.
enum class OrderMode : int { OutwardFromReference = 0, NearestCentreFirst = 1 };

class Mosaic {
public:
    // Builds the alignment table (identity homographies, no flags, method -1) for `paths`, which must hold
    // `parameters.source_count` entries. Working images come from `images` (read from disk when null).
    Mosaic(const MosaicParameters& parameters, const std::vector<std::string>& paths,
           std::shared_ptr<WorkingImageSource> images = nullptr);

    // --- registration ---
    // Registers every neighbouring pair automatically, then runs the geometry without resetting the union
    // minima. False when cancelled (before the geometry) or when the canvas cannot be made (after showing the
    // memory message).
    bool RegisterAll(Progress& progress);
    // Registers pair (i, i + 1) by `method`; returns and records the status word (0 success).
    int RegisterPair(int i, RegistrationMethod method);
    int status() const { return status_; }

    // --- geometry ---
    // Reference, chains, stitching order, bounding boxes and canvas. False (geometry invalid) when the canvas
    // would be too large; the caller shows the memory message.
    bool UpdateGeometry();
    // The parts of the geometry sequence, in the order UpdateGeometry runs them.
    void ChooseReference();
    void ChainToReference();
    void ComputeStitchingOrder();
    void ComputeBoundingBoxes(bool reset_union_minima);
    bool AllocateCanvas();

    // --- blending ---
    // Paints the planar wide-view image (basic or advanced) and then re-projects it onto the cylinder. False
    // when the geometry is invalid, on cancellation or failure.
    bool Blend(BlendType type, Progress& progress);
    // Empties the planar canvas (nothing to do when it has not been painted since it was allocated).
    void ClearCanvas();
    bool BasicBlend(Progress& progress);
    // Paints every source over the canvas, keeping each pixel's running weight sum in `accumulated`.
    template <typename Counter>
    bool BlendSources(Counter* accumulated, Progress& progress);
    // Seams and multi-band blending, sources joined one at a time in stitching order.
    bool AdvancedBlend(Progress& progress);
    // Exposure compensation (off by default): when on, every blend first estimates a gain per source over
    // the overlaps and paints the sources with their gains applied.
    bool exposure_compensation() const { return exposure_compensation_; }
    void set_exposure_compensation(bool on) { exposure_compensation_ = on; }
    // The gains of the last blend, by source, and the block gains over each source on top of them; both
    // empty when it ran without compensation.
    const std::vector<ChannelGains>& exposure_gains() const { return exposure_gains_; }
    const std::vector<GainGrid>& block_gains() const { return block_gains_; }
    // The working image of source i as blending paints it: with its gains applied when the last blend
    // estimated them, otherwise the shared working image itself. Null when its file cannot be read.
    std::shared_ptr<const ColorImage> BlendingImage(int i) const;
    // The blend that painted the canvas as it stands (none before the first and after a failed or cancelled
    // one), and how the advanced blend joined each source after the reference, in stitching order.
    std::optional<BlendType> last_blend() const { return last_blend_; }
    const std::vector<JoinRecord>& joins() const { return joins_; }
    // Fills the cylindrical image from the planar one, estimating the focal length first when it is 0.
    void ProjectCylindrical();
    // Estimates the focal length from the in-chain pairs (infinite when no pair gives a usable estimate).
    void EstimateFocalLength();

    // --- re-alignment ---
    // Corrects every chained source's placement by matching patches on a lattice over the canvas, then
    // recomputes the boxes and the canvas. False on cancellation, too few features for a source (after the
    // "too small number of features" message) or a canvas too large (after the memory message).
    bool Realign(Progress& progress);

    // --- state ---
    int source_count() const { return static_cast<int>(alignments_.size()); }
    int pyramid_levels() const { return parameters_.pyramid_levels; }
    const MosaicParameters& parameters() const { return parameters_; }
    int working_width() const { return parameters_.working_width; }
    int working_height() const { return parameters_.working_height; }
    int reference() const { return reference_; }
    void set_reference(int index) { reference_ = index; }
    AlignmentTable& alignments() { return alignments_; }
    const AlignmentTable& alignments() const { return alignments_; }
    SourceAlignment& alignment(int i) { return alignments_[static_cast<std::size_t>(i)]; }
    const SourceAlignment& alignment(int i) const { return alignments_[static_cast<std::size_t>(i)]; }

    PointI virtual_centre() const { return virtual_centre_; }
    PointI canvas_offset() const { return canvas_offset_; }
    // Union of the source boxes on the virtual canvas (inclusive).
    BoxI union_bounds() const { return union_; }
    static constexpr int kMargin = 50;

    const std::vector<int>& stitching_order() const { return order_; }
    OrderMode order_mode() const { return order_mode_; }
    void set_order_mode(OrderMode mode) { order_mode_ = mode; }
    const std::vector<PointF>& centre_points() const { return centre_points_; }

    bool geometry_valid() const { return geometry_valid_; }
    bool canvas_allocated() const { return canvas_allocated_; }
    ColorImage& planar() { return planar_; }
    const ColorImage& planar() const { return planar_; }
    ColorImage& cylindrical() { return cylindrical_; }
    const ColorImage& cylindrical() const { return cylindrical_; }
    // True when the mosaic holds a wide-view image of non-zero size.
    bool has_wide_view() const { return canvas_allocated_ && !planar_.empty(); }

    // 0 until estimated; infinite when no pair gives an estimate (the cylinder is then the plane).
    double focal_length() const { return focal_length_; }
    void set_focal_length(double f) { focal_length_ = f; }

    RealignmentState& realignment() { return realignment_; }
    const RealignmentState& realignment() const { return realignment_; }

    WorkingImageSource& images() { return *images_; }
    std::shared_ptr<WorkingImageSource> shared_images() const { return images_; }
    // The working image of source i; false (image empty) when its file cannot be read.
    bool LoadWorkingImage(int i, ColorImage& image);
    // The same image read-only, without a copy; null when its file cannot be read.
    std::shared_ptr<const ColorImage> ShareWorkingImage(int i) const;

    // Sources after the reference in the stitching order, up to the first whose chain is broken.
    int ChainedSourcesAfterReference() const;

private:
    // Estimates the gains when compensation is on, forgets them when it is off; every blend starts here.
    void PrepareExposureGains();

    MosaicParameters parameters_;
    int reference_ = 0;
    PointI virtual_centre_;
    PointI canvas_offset_;
    BoxI union_;
    AlignmentTable alignments_;
    ColorImage planar_;
    std::vector<PointF> centre_points_;
    std::vector<int> order_;
    OrderMode order_mode_ = OrderMode::OutwardFromReference;
    bool geometry_valid_ = true;
    bool canvas_allocated_ = false;
    bool canvas_painted_ = false;
    ColorImage cylindrical_;
    double focal_length_ = 0.0;
    bool exposure_compensation_ = false;
    std::vector<ChannelGains> exposure_gains_;
    std::vector<GainGrid> block_gains_;
    std::optional<BlendType> last_blend_;
    std::vector<JoinRecord> joins_;
    RealignmentState realignment_;
    int status_ = 0;
    std::shared_ptr<WorkingImageSource> images_;
};

}  // namespace tp
