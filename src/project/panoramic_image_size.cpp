#include "project/panoramic_image_size.h"

#include <climits>
#include <cmath>
#include <cstdint>
#include <optional>

namespace tp {

namespace {

constexpr double kMmPerInch = 25.4;

// trunc(v) when it is a whole number a print size could hold; nothing for 0, negatives, huge or NaN values.
std::optional<int64_t> PositiveWhole(double v)
{
    if (!(v >= 1.0 && v < double(INT_MAX) + 1.0)) return std::nullopt;
    return int64_t(v);
}

bool FitsPrint(int64_t pixels)
{
    return pixels > 0 && pixels <= INT_MAX;
}

// trunc(v) * 0.01, for the millimetre fields: hundredths kept, the rest cut off.
float Hundredths(double v)
{
    return float(std::trunc(v) * 0.01);
}

int PagesOrOne(int size, int page_size)
{
    return size <= 0 ? 1 : PagesNeeded(size, page_size);
}

}  // namespace

PanoramicImageSize::PanoramicImageSize(const PanoramicSizeInputs& inputs) : inputs_(inputs)
{
    const PanoramicSizeInputs& in = inputs;
    read_only_ = in.W <= 0 || in.H <= 0 || in.PW <= 0 || in.PH <= 0 || in.R <= 0;
    pw_ = in.pw;
    ph_ = in.ph;
    if (in.R > 0) {
        wmm_ = float(int64_t(in.pw) * 2540 / in.R * 0.01);
        hmm_ = float(int64_t(in.ph) * 2540 / in.R * 0.01);
    }
    nh_ = in.PW > 0 ? PagesOrOne(in.pw, in.PW) : 1;
    nv_ = in.PH > 0 ? PagesOrOne(in.ph, in.PH) : 1;
}

bool PanoramicImageSize::Edit(PanoramicField field, double value)
{
    if (read_only_ || !std::isfinite(value) || value <= 0) return false;
    const int64_t W = inputs_.W, H = inputs_.H, R = inputs_.R;
    int64_t pw = 0, ph = 0;
    float wmm = 0, hmm = 0;
    bool millimetres_typed = false;
    switch (field) {
    case PanoramicField::kWidthMm: {
        wmm = float(value);
        const std::optional<int64_t> width = PositiveWhole(double(wmm) * R / kMmPerInch);
        if (!width) return false;
        pw = *width;
        ph = H * pw / W;
        hmm = Hundredths(H * double(wmm) * 100 / W);
        millimetres_typed = true;
        break;
    }
    case PanoramicField::kHeightMm: {
        hmm = float(value);
        const std::optional<int64_t> height = PositiveWhole(double(hmm) * R / kMmPerInch);
        if (!height) return false;
        ph = *height;
        pw = W * ph / H;
        wmm = Hundredths(W * double(hmm) * 100 / H);
        millimetres_typed = true;
        break;
    }
    case PanoramicField::kWidthPixels:
    case PanoramicField::kPagesAcross: {
        const std::optional<int64_t> typed = PositiveWhole(value);
        if (!typed) return false;
        pw = field == PanoramicField::kWidthPixels ? *typed : *typed * inputs_.PW;
        if (!FitsPrint(pw)) return false;
        ph = H * pw / W;
        break;
    }
    case PanoramicField::kHeightPixels:
    case PanoramicField::kPagesDown: {
        const std::optional<int64_t> typed = PositiveWhole(value);
        if (!typed) return false;
        ph = field == PanoramicField::kHeightPixels ? *typed : *typed * inputs_.PH;
        if (!FitsPrint(ph)) return false;
        pw = W * ph / H;
        break;
    }
    }
    if (!FitsPrint(pw) || !FitsPrint(ph)) return false;
    if (!millimetres_typed) {
        wmm = float(pw * kMmPerInch / R);
        hmm = float(ph * kMmPerInch / R);
    }
    wmm_ = wmm;
    hmm_ = hmm;
    pw_ = int(pw);
    ph_ = int(ph);
    // A typed page count stays as typed; it is what ceil(pw / PW) gives anyway.
    nh_ = field == PanoramicField::kPagesAcross ? int(value) : PagesNeeded(pw_, inputs_.PW);
    nv_ = field == PanoramicField::kPagesDown ? int(value) : PagesNeeded(ph_, inputs_.PH);
    return true;
}

double PanoramicImageSize::printable_width_mm() const
{
    return inputs_.R > 0 ? inputs_.PW * kMmPerInch / inputs_.R : 0.0;
}

double PanoramicImageSize::printable_height_mm() const
{
    return inputs_.R > 0 ? inputs_.PH * kMmPerInch / inputs_.R : 0.0;
}

double PanoramicImageSize::pixels_per_cm() const
{
    return inputs_.R * 0.39370078740157477;
}

}  // namespace tp
