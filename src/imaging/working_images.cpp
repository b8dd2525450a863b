#include "imaging/working_images.h"

#include "imaging/image_ops.h"

namespace tp {

bool FileWorkingImages::Load(const std::string& path, ColorImage& image)
{
    return LoadFitted(image, path, kWorkingBound, kWorkingBound);
}

}  // namespace tp
