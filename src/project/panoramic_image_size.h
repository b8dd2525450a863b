// The Panoramic Image Size dialog without its window: six linked fields giving the size of a poster printed
// across pages (width and height in millimetres, in printer pixels, and in pages), each recomputing the other
// five when edited, with the proportions of the crop box kept.
#pragma once

#include <array>

#include "project/print_layout.h"

namespace tp {

// The fields by control id.
enum class PanoramicField : int {
    kWidthMm = 1055,
    kHeightMm = 1065,
    kWidthPixels = 1064,
    kHeightPixels = 1066,
    kPagesAcross = 1074,
    kPagesDown = 1068,
};
inline constexpr std::array<PanoramicField, 6> kPanoramicFields = {
    PanoramicField::kWidthMm,     PanoramicField::kHeightMm,     PanoramicField::kWidthPixels,
    PanoramicField::kHeightPixels, PanoramicField::kPagesAcross, PanoramicField::kPagesDown};

struct PanoramicSizeInputs {
    int W = 0;   // crop box in image pixels
    int H = 0;
    int pw = 0;  // print size in printer pixels
    int ph = 0;
    int PW = 0;  // printable area in printer pixels
    int PH = 0;
    int R = 0;   // printer pixels per inch, horizontally
};

class PanoramicImageSize {
public:
    // Opening: wmm = trunc(pw * 2540 / R) * 0.01, hmm likewise; nh = ceil(pw / PW), nv = ceil(ph / PH), 1 when
    // the size is 0. Read-only without a crop box (W or H is 0), and also without a printer's page or
    // resolution (PW, PH or R is 0), from which no millimetre or page could be computed.
    explicit PanoramicImageSize(const PanoramicSizeInputs& inputs);

    // The user typed `value` into `field`; the other five follow from it (integer division unless noted):
    //   width mm:     hmm = trunc(H * wmm * 100 / W) * 0.01; pw = trunc(wmm * R / 25.4); ph = H * pw / W
    //   height mm:    wmm = trunc(W * hmm * 100 / H) * 0.01; ph = trunc(hmm * R / 25.4); pw = W * ph / H
    //   width pixels: ph = pw * H / W;        wmm = pw * 25.4 / R; hmm = ph * 25.4 / R (not truncated)
    //   height px:    pw = ph * W / H;        then wmm and hmm as for width pixels
    //   pages across: pw = nh * PW; ph = H * pw / W; then wmm and hmm as for pixels
    //   pages down:   ph = nv * PH; pw = W * ph / H; then wmm and hmm as for pixels
    // and the page counts not typed become ceil(pw / PW) and ceil(ph / PH). Pixel and page values are
    // truncated to whole numbers first. Refused, with nothing changed, when the dialog is read-only, the value
    // is not a positive number, or the print would be 0 or more than INT_MAX pixels wide or high.
    bool Edit(PanoramicField field, double value);

    bool read_only() const { return read_only_; }
    float wmm() const { return wmm_; }
    float hmm() const { return hmm_; }
    int pw() const { return pw_; }
    int ph() const { return ph_; }
    int nh() const { return nh_; }
    int nv() const { return nv_; }
    // What OK returns.
    PrintSize print_size() const { return {pw_, ph_}; }

    // Shown beside the fields: the printable area (PW, PH as given, and PW * 25.4 / R, PH * 25.4 / R in
    // millimetres) and the resolution in pixels per centimetre. 0 without a resolution.
    const PanoramicSizeInputs& inputs() const { return inputs_; }
    double printable_width_mm() const;
    double printable_height_mm() const;
    double pixels_per_cm() const;

private:
    PanoramicSizeInputs inputs_;
    bool read_only_ = true;
    float wmm_ = 0;
    float hmm_ = 0;
    int pw_ = 0;
    int ph_ = 0;
    int nh_ = 1;
    int nv_ = 1;
};

}  // namespace tp
