// Whole-image operations on the image family: luminance, Gaussian smoothing, pyramid reduction, area
// reduction, cropping, plane conversions and loading a file reduced to fit a bound.
#pragma once

#include <string>
#include <vector>

#include "imaging/image_buffer.h"
#include "imaging/memory_budget.h"

namespace tp {

// The bound every caller passes to LoadFitted; the result is the source's working image.
inline constexpr int kWorkingBound = 1024;

// grey = trunc(0.299 red + 0.587 green + 0.114 blue + 0.5), single-precision weights.
std::uint8_t GrayOf(const std::uint8_t* bgr);
// Fills `gray` (already the size of `color`) with the luminance of every pixel.
void ToGray(const ColorImage& color, GrayImage& gray);
GrayImage ToGray(const ColorImage& color);

// Normalised Gaussian taps at offsets -(n/2) .. n/2 with n = 1 + 2 * (trunc(4 sigma) / 2); empty for sigma 0.
std::vector<float> GaussianKernel(float sigma);

// Separable smoothing with zero padding (pixels near the border darken); sigma 0 copies. The byte version
// truncates its results.
void GaussianSmooth(const GrayImage& image, float sigma, GrayImage& destination);
void GaussianSmooth(const FloatImage& image, float sigma, FloatImage& destination);

// The two passes of that smoothing for code that needs only some of its samples; the same sums in the same
// order, so the values are the whole-plane ones. Row pass: out[x] = sum over taps t of kernel[t] *
// in[x + t - half], samples outside the row counting as zero; at even columns only, out[x / 2] for the
// width / 2 even x. Column pass: row y of the smoothed plane from the row-pass plane `rows`, rows outside
// counting as zero, into out (rows.width() values).
void SmoothRow(const float* in, int width, const std::vector<float>& kernel, float* out);
void SmoothRowAtEvenColumns(const float* in, int width, const std::vector<float>& kernel, float* out);
void SmoothColumn(const FloatImage& rows, const std::vector<float>& kernel, int y, float* out);

// Smooths with sigma 1 and keeps every second pixel of every second row; `destination` gets half the size.
void ReduceByTwo(const GrayImage& source, GrayImage& destination);

// Box-filter reduction of `source` into `destination`, which is already allocated at the (smaller) target size.
void AreaResample(const ColorImage& source, ColorImage& destination);

// The image without its last column and/or row where they make a side odd (the image itself otherwise).
GrayImage CutToEvenSize(const GrayImage& image);

// The pixels of a rectangle; parts of the rectangle outside the image stay empty.
ColorImage Crop(const ColorImage& image, int left, int top, int width, int height);
// The same rectangle, limited to the image, kept in the image's own block: rows are moved up and left in
// place, so that cutting a very large image needs no second copy of it.
void CropInPlace(ColorImage& image, int left, int top, int width, int height);

// Exact byte-to-float conversion, and back with clamping to 0..255 and truncation.
void ToFloat(const GrayImage& plane, FloatImage& destination);
void ToBytes(const FloatImage& plane, GrayImage& destination);

// Target size of an image reduced to fit within a bound with its aspect ratio kept (never enlarged).
struct FittedSize {
    int width;
    int height;
};
FittedSize FitWithin(int width, int height, int bound_width, int bound_height);

// The image reduced to fit within the bound (itself when it already fits).
ColorImage FitImage(ColorImage image, int bound_width, int bound_height);

// Reads `path` and reduces it to fit within the bound (as FitImage of the whole picture, without ever
// holding it whole); on a read failure returns false and leaves `destination` untouched. With a budget, what
// the reading holds is reserved from it.
bool LoadFitted(ColorImage& destination, const std::string& path, int bound_width, int bound_height,
                MemoryBudget* budget = nullptr);

}  // namespace tp
