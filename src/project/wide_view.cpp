#include "project/wide_view.h"

#include <algorithm>
#include <cmath>

#include "compositing/scaled_composition.h"
#include "imaging/fatal_error.h"
#include "imaging/image_file.h"
#include "imaging/image_ops.h"
#include "imaging/string_table.h"
#include "registration/homography.h"

namespace tp {

namespace {

const ColorImage& ProjectionImage(const Mosaic& mosaic, int projection_command)
{
    return projection_command == command::kCylindricalProjection ? mosaic.cylindrical() : mosaic.planar();
}

// Where the cylindrical re-projection sends a planar position.
PointF OntoCylinder(PointF p, PointI centre, double focal)
{
    if (!std::isfinite(focal) || focal <= 0.0) return p;
    const double dx = p.x - centre.x, dy = p.y - centre.y;
    return {static_cast<float>(centre.x + std::atan(dx / focal) / std::atan(1.0 / focal)),
            static_cast<float>(centre.y + focal * dy / std::sqrt(dx * dx + focal * focal))};
}

}  // namespace

std::vector<SourceCorners> SourceCornersOnWideView(const Mosaic& mosaic, int projection_command)
{
    std::vector<SourceCorners> all;
    const float hw = static_cast<float>(mosaic.working_width() / 2);
    const float hh = static_cast<float>(mosaic.working_height() / 2);
    const PointF corners[4] = {{-hw, -hh}, {hw, -hh}, {hw, hh}, {-hw, hh}};
    const PointI offset = mosaic.canvas_offset();
    for (int i = 0; i < mosaic.source_count(); ++i) {
        SourceCorners placed{};
        bool valid = true;
        for (std::size_t k = 0; k < 4; ++k) {
            const MappedPoint m = ApplyHomography(mosaic.alignment(i).to_reference, corners[k].x, corners[k].y);
            valid = valid && m.valid;
            placed[k] = {m.x + static_cast<float>(offset.x), m.y + static_cast<float>(offset.y)};
            if (projection_command == command::kCylindricalProjection)
                placed[k] = OntoCylinder(placed[k], offset, mosaic.focal_length());
        }
        if (valid) all.push_back(placed);
    }
    return all;
}

void WideView::Clear()
{
    image_.release();
    cut_origin_ = {};
    crop_ = {};
}

void WideView::ShowImage(ColorImage image)
{
    image_ = std::move(image);
    cut_origin_ = {};
    crop_ = {0, 0, image_.width(), image_.height()};
}

void WideView::Show(const CMainDoc& doc)
{
    const Mosaic* mosaic = doc.mosaic();
    if (!mosaic || !mosaic->has_wide_view()) {
        Clear();
        return;
    }
    const ColorImage& wide = ProjectionImage(*mosaic, doc.projection_command());
    const CropRect box = CircumscribedCropBox(wide, SourceCornersOnWideView(*mosaic, doc.projection_command()));
    cut_origin_ = {box.left - kDisplayMargin, box.top - kDisplayMargin};
    image_ = tp::Crop(wide, cut_origin_.x, cut_origin_.y, box.width() + 2 * kDisplayMargin, box.height() + 2 * kDisplayMargin);
    crop_ = {0, 0, image_.width(), image_.height()};
}

bool WideView::SwitchProjection(CMainDoc& doc, int id)
{
    if (id == doc.projection_command()) return false;
    doc.set_projection_command(id);
    if (doc.HasWideView()) Show(doc);
    return true;
}

void WideView::Crop(const CMainDoc& doc, CropChoice choice)
{
    if (!has_image() || !doc.mosaic()) return;
    if (choice == CropChoice::Inscribed) {
        crop_ = InscribedCropBox(image_);
        return;
    }
    // The source corners, moved from the wide-view image onto the displayed cut.
    std::vector<SourceCorners> corners = SourceCornersOnWideView(*doc.mosaic(), doc.projection_command());
    for (SourceCorners& source : corners)
        for (PointF& p : source) {
            p.x -= static_cast<float>(cut_origin_.x);
            p.y -= static_cast<float>(cut_origin_.y);
        }
    crop_ = CircumscribedCropBox(image_, corners);
}

int WideView::crop_width() const { return std::max(0, std::min(crop_.right, image_.width()) - std::max(crop_.left, 0)); }
int WideView::crop_height() const { return std::max(0, std::min(crop_.bottom, image_.height()) - std::max(crop_.top, 0)); }

bool WideView::ScaledCroppedImage(const CMainDoc& doc, double scale, Progress& progress, ColorImage& image,
                                  CompositionReport* report) const
{
    image.release();
    if (!has_image() || !doc.mosaic()) return false;
    const Projection projection =
        doc.projection_command() == command::kCylindricalProjection ? Projection::Cylindrical : Projection::Planar;
    if (!ComposeAtScale(*doc.mosaic(), scale, projection, progress, image, &doc.memory_budget(), report)) return false;
    // The rectangle on the whole wide-view image, its edges scaled.
    const double left = cut_origin_.x + std::max(crop_.left, 0), top = cut_origin_.y + std::max(crop_.top, 0);
    const int x0 = static_cast<int>(std::lround(left * scale)), y0 = static_cast<int>(std::lround(top * scale));
    const int x1 = static_cast<int>(std::lround((left + crop_width()) * scale));
    const int y1 = static_cast<int>(std::lround((top + crop_height()) * scale));
    CropInPlace(image, x0, y0, x1 - x0, y1 - y0);
    if (report) {
        report->width = image.width();
        report->height = image.height();
    }
    return !image.empty();
}

ColorImage WideView::CroppedImage() const
{
    return tp::Crop(image_, std::max(crop_.left, 0), std::max(crop_.top, 0), crop_width(), crop_height());
}

int WideView::Export(const std::string& path) const
{
    // The whole shown image needs no copy.
    const bool whole = crop_.left <= 0 && crop_.top <= 0 && crop_.right >= image_.width() && crop_.bottom >= image_.height();
    return whole ? WriteOutput(image_, path) : WriteOutput(CroppedImage(), path);
}

int WideView::WriteOutput(const ColorImage& image, const std::string& path)
{
    const int code = WriteImage(image, path);
    if (code < 0) ShowMessage(LoadString(strings::kUnsupportedFileFormat), path);
    if (code > 0) ShowMessage(LoadString(strings::kWriteFailure), path + ": " + DescribeWriteResult(FormatForFileName(path), code));
    return code;
}

}  // namespace tp
