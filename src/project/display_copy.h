// Reduced copies of source images for display: thumbnails (longest side 320), the pair copies of the
// modification mode (1024, in working-image pixels) and full-size previews (0).
#pragma once

#include <memory>
#include <string>

#include "imaging/image_buffer.h"

namespace tp {

class DisplayCopy {
public:
    // Reads the file and reduces it by nearest neighbour so that its longer side is at most `longest_side`
    // (0 or less = full size; never enlarged). The factor f = larger side / longest_side is applied as an
    // exact ratio: display side = full side * longest_side / larger side, display pixel (x, y) = full pixel
    // (x * f, y * f), both rounded down. False for an empty path or an unreadable file; any earlier copy is
    // freed first, so a failed load leaves nothing loaded.
    bool Load(const std::string& path, int longest_side);
    // The same from a file already read at full size.
    bool LoadFrom(const ColorImage& full, int longest_side);
    // Takes a copy already reduced that way from a picture of full_width x full_height; false (nothing
    // loaded) for an empty one.
    bool SetReduced(ColorImage reduced, int full_width, int full_height);
    void Free();

    bool loaded() const { return loaded_; }
    int display_width() const { return image().width(); }
    int display_height() const { return image().height(); }
    int full_width() const { return full_width_; }
    int full_height() const { return full_height_; }
    const ColorImage& image() const;

private:
    bool loaded_ = false;
    int full_width_ = 0;
    int full_height_ = 0;
    // Never changed once made, so copies share it: a source listed many times costs one thumbnail.
    std::shared_ptr<const ColorImage> image_;
};

struct FittedRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const FittedRect&) const = default;
};

// Where an image of iw x ih is drawn in a target of w x h: kept at its size and centred when it fits,
// otherwise scaled (aspect kept, the scaled side rounded to the nearest pixel) to fill the limiting dimension
// and centred along the other. A size of zero or less on either side gives an empty rectangle.
FittedRect FitForDrawing(int target_width, int target_height, int image_width, int image_height);

}  // namespace tp
