#include "compositing/mosaic.h"

#include "imaging/fatal_error.h"
#include "imaging/string_table.h"
#include "registration/pair_registration.h"

namespace tp {

Mosaic::Mosaic(const MosaicParameters& parameters, const std::vector<std::string>& paths,
               std::shared_ptr<WorkingImageSource> images)
    : parameters_(parameters),
      images_(images ? std::move(images) : std::make_shared<FileWorkingImages>())
{
    const int n = static_cast<int>(paths.size());
    parameters_.source_count = n;
    reference_ = (n - 1) / 2;
    virtual_centre_ = {parameters_.virtual_width / 2, parameters_.virtual_height / 2};
    const int far = parameters_.virtual_width + parameters_.virtual_height;
    union_ = {far, far, 0, 0};
    alignments_.resize(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) alignments_[static_cast<std::size_t>(i)].path = paths[static_cast<std::size_t>(i)];
    centre_points_.resize(static_cast<std::size_t>(n));
    order_.resize(static_cast<std::size_t>(n));
    realignment_.texture_threshold = parameters_.texture_threshold;
    realignment_.grid_spacing = parameters_.grid_spacing;
    realignment_.candidates_per_grid = parameters_.candidates_per_grid;
    realignment_.patch_size = parameters_.grid_patch_size;
    realignment_.search_size = parameters_.grid_search_size;
}

bool Mosaic::LoadWorkingImage(int i, ColorImage& image)
{
    if (images_->Load(alignment(i).path, image)) return true;
    image.release();
    return false;
}

std::shared_ptr<const ColorImage> Mosaic::ShareWorkingImage(int i) const { return images_->Share(alignment(i).path); }

int Mosaic::RegisterPair(int i, RegistrationMethod method)
{
    status_ = tp::RegisterPair(alignments_, i, method, parameters_.pyramid_levels, *images_);
    return status_;
}

bool Mosaic::RegisterAll(Progress& progress)
{
    if (!RegisterNeighbours(alignments_, parameters_.pyramid_levels, *images_, progress)) return false;
    ChooseReference();
    ChainToReference();
    ComputeStitchingOrder();
    ComputeBoundingBoxes(false);
    const bool canvas_made = AllocateCanvas();
    progress.Step();
    if (canvas_made) return true;
    ShowMessage(LoadString(strings::kSystemMemoryNotSufficient));
    return false;
}

bool Mosaic::UpdateGeometry()
{
    ChooseReference();
    ChainToReference();
    ComputeStitchingOrder();
    ComputeBoundingBoxes(true);
    return AllocateCanvas();
}

bool Mosaic::Blend(BlendType type, Progress& progress)
{
    last_blend_.reset();
    if (!geometry_valid_) return false;
    switch (type) {
    case BlendType::Basic:
        progress.SetText(strings::kBasicBlending);
        progress.SetRange(source_count());
        if (!BasicBlend(progress)) return false;
        break;
    case BlendType::Advanced:
        progress.SetText(strings::kAdvancedBlending);
        progress.SetRange(1 + 16 * ChainedSourcesAfterReference());
        if (!AdvancedBlend(progress)) return false;
        break;
    default:
        return false;
    }
    ProjectCylindrical();
    last_blend_ = type;
    return true;
}

void Mosaic::PrepareExposureGains()
{
    exposure_gains_.clear();
    block_gains_.clear();
    if (!exposure_compensation_) return;
    ExposureEstimate estimate = EstimateExposure(*this);
    exposure_gains_ = std::move(estimate.gains);
    block_gains_ = std::move(estimate.grids);
}

std::shared_ptr<const ColorImage> Mosaic::BlendingImage(int i) const
{
    std::shared_ptr<const ColorImage> image = ShareWorkingImage(i);
    if (!image || exposure_gains_.empty()) return image;
    const std::size_t k = static_cast<std::size_t>(i);
    return std::make_shared<const ColorImage>(ApplyGainField(*image, exposure_gains_[k], block_gains_[k], working_width(), working_height()));
}

void Mosaic::ClearCanvas()
{
    if (canvas_painted_) planar_.clear();
    canvas_painted_ = true;
}

int Mosaic::ChainedSourcesAfterReference() const
{
    int count = 0;
    for (std::size_t k = 1; k < order_.size(); ++k) {
        if (!alignment(order_[k]).in_chain) break;
        ++count;
    }
    return count;
}

}  // namespace tp
