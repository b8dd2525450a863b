// Where the engine gets working images: every source reduced to fit within 1024 x 1024.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "imaging/image_buffer.h"
#include "imaging/memory_budget.h"

namespace tp {

class WorkingImageSource {
public:
    virtual ~WorkingImageSource() = default;
    // The working image of the file at `path`, read-only and possibly shared with other users; null when the
    // file cannot be read.
    virtual std::shared_ptr<const ColorImage> Share(const std::string& path) = 0;
    // A copy of it for a caller that changes it; false (image untouched) when the file cannot be read.
    bool Load(const std::string& path, ColorImage& image);
};

// Reads and reduces the file on every request.
class FileWorkingImages final : public WorkingImageSource {
public:
    std::shared_ptr<const ColorImage> Share(const std::string& path) override;
};

// Working images kept in memory between the stages of a run (registration, geometry and every blend use
// them), up to a byte budget; the least recently used go first. An entry serves only while its file keeps
// the size and modification time it had when it was read: a changed file is read again. Safe to use from
// several threads. Files are read within `memory`, when given: however many threads ask at once, what
// their reading holds stays within it.
class WorkingImageCache final : public WorkingImageSource {
public:
    static constexpr std::size_t kDefaultBytes = std::size_t{256} << 20;
    explicit WorkingImageCache(std::size_t budget_bytes = kDefaultBytes,
                               std::shared_ptr<MemoryBudget> memory = nullptr);
    ~WorkingImageCache() override;

    std::shared_ptr<const ColorImage> Share(const std::string& path) override;
    // Keeps a working image the caller made from the file as it is now (read for another purpose).
    void Insert(const std::string& path, ColorImage image);

    std::size_t loads_from_disk() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace tp
