#include "imaging/image_buffer.h"

#include <sys/mman.h>

#include <cstdint>

namespace tp {

namespace {

// Blocks from this size on are mapped in 2 MiB pages.
constexpr std::size_t kHugePage = std::size_t{2} << 20;
constexpr std::size_t kMapThreshold = kHugePage;

}  // namespace

void ReleaseBlock::operator()(std::byte* block) const
{
    if (mapped_bytes == 0)
        std::free(block);
    else
        munmap(block, mapped_bytes);
}

PixelBlock AllocateZeroedBlock(std::size_t bytes)
{
    if (bytes < kMapThreshold) return PixelBlock(static_cast<std::byte*>(std::calloc(bytes, 1)), ReleaseBlock{});
    // Map a huge page more than needed, then give back the parts before and after an aligned run.
    const std::size_t mapped = (bytes + kHugePage - 1) / kHugePage * kHugePage;
    void* area = mmap(nullptr, mapped + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (area == MAP_FAILED) return PixelBlock(nullptr, ReleaseBlock{});
    const auto start = reinterpret_cast<std::uintptr_t>(area);
    const std::uintptr_t aligned = (start + kHugePage - 1) / kHugePage * kHugePage;
    if (aligned > start) munmap(area, aligned - start);
    const std::uintptr_t end = start + mapped + kHugePage;
    if (end > aligned + mapped) munmap(reinterpret_cast<void*>(aligned + mapped), end - (aligned + mapped));
    auto* block = reinterpret_cast<std::byte*>(aligned);
    madvise(block, mapped, MADV_HUGEPAGE);
    return PixelBlock(block, ReleaseBlock{mapped});
}

bool ComplexImage::allocate(int width, int height)
{
    if (real.allocate(width, height) && imag.allocate(width, height)) return true;
    release();
    return false;
}

void ComplexImage::release()
{
    real.release();
    imag.release();
}

}  // namespace tp
