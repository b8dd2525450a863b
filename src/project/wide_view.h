// What the main view shows of the wide-view image, without the drawing: the image of the chosen projection
// cut to its circumscribed box plus a margin, the crop rectangle over it, and the outputs taken from it.
#pragma once

#include <string>

#include "project/crop_box.h"
#include "imaging/progress.h"
#include "project/main_doc.h"

namespace tp {

enum class CropChoice : int { Inscribed = 0, Circumscribed = 1 };

class WideView {
public:
    // Takes the mosaic's image of the document's projection; the crop rectangle becomes the whole image.
    // Clears the view when the mosaic holds no image.
    void Show(const CMainDoc& doc);
    // Shows a given image as it is, with no mosaic behind it (tests and benchmarks of the views).
    void ShowImage(ColorImage image);
    void Clear();
    // Nothing when `id` is the projection already shown; otherwise stores it and shows that projection.
    // Returns whether anything changed.
    bool SwitchProjection(CMainDoc& doc, int id);
    // Computes the crop box on the displayed image.
    void Crop(const CMainDoc& doc, CropChoice choice);

    // The crop rectangle's pixels (the rectangle clamped to the image).
    ColorImage CroppedImage() const;
    // Writes the cropped image; returns the writer's code (0, negative for an unknown extension, positive for
    // a write failure) and shows "Unsupported file format." or "Write failure" when it is not 0.
    int Export(const std::string& path) const;
    // The crop rectangle's pixels at `scale` times the working resolution (CroppedImage at 1): the image of
    // the document's projection composed again at that scale and cut in place to the rectangle, scaled. False
    // (image empty) on cancellation or when the composition cannot be made.
    bool ScaledCroppedImage(const CMainDoc& doc, double scale, Progress& progress, ColorImage& image) const;
    // The crop rectangle's size in working pixels.
    int crop_width() const;
    int crop_height() const;
    // Writes `image` with Export's messages; returns the writer's code.
    static int WriteOutput(const ColorImage& image, const std::string& path);

    bool has_image() const { return !image_.empty(); }
    const ColorImage& image() const { return image_; }
    const CropRect& crop() const { return crop_; }
    void set_crop(const CropRect& crop) { crop_ = crop; }
    // Where the displayed image's top-left lies in the wide-view image.
    PointI cut_origin() const { return cut_origin_; }

    static constexpr int kDisplayMargin = 10;

private:
    ColorImage image_;
    PointI cut_origin_;
    CropRect crop_;
};

// Every source's working-image corners placed on the wide-view image of the given projection.
std::vector<SourceCorners> SourceCornersOnWideView(const Mosaic& mosaic, int projection_command);

}  // namespace tp
