// Feeds arbitrary bytes to ReadImage and to ReadReduced: every reader must answer with a code, never crash,
// hang or allocate without bound, and reading reduced must give the code of reading whole. The bytes go
// through a file because the readers take a path.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "imaging/image_file.h"
#include "imaging/reduced_read.h"

namespace {

const std::string& ScratchFile()
{
    static const std::string path = "/tmp/tp-read-image-fuzz-" + std::to_string(getpid());
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::FILE* file = std::fopen(ScratchFile().c_str(), "wb");
    if (!file) return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    tp::ColorImage image;
    const int code = tp::ReadImage(image, ScratchFile());
    // A reader that fails leaves nothing behind; one that succeeds hands over a whole image.
    if (code != 0 && !image.empty()) __builtin_trap();
    if (code == 0 && image.empty()) __builtin_trap();
    tp::ReducedPicture picture;
    if (tp::ReadReduced(ScratchFile(), tp::ReductionRequest{32, 32, 16}, picture) != code) __builtin_trap();
    return 0;
}
