// Where the engine gets working images: every source reduced to fit within 1024 x 1024.
#pragma once

#include <string>

#include "imaging/image_buffer.h"

namespace tp {

class WorkingImageSource {
public:
    virtual ~WorkingImageSource() = default;
    // The working image of the file at `path`; false (image untouched) when the file cannot be read.
    virtual bool Load(const std::string& path, ColorImage& image) = 0;
};

// Reads and reduces the file on every request.
class FileWorkingImages final : public WorkingImageSource {
public:
    bool Load(const std::string& path, ColorImage& image) override;
};

}  // namespace tp
