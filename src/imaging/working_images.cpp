#include "imaging/working_images.h"

#include <sys/stat.h>

#include <filesystem>
#include <list>
#include <mutex>

#include "imaging/image_ops.h"

namespace tp {

bool WorkingImageSource::Load(const std::string& path, ColorImage& image)
{
    const std::shared_ptr<const ColorImage> shared = Share(path);
    if (!shared) return false;
    image = *shared;
    return true;
}

namespace {

std::shared_ptr<const ColorImage> ReadWorkingImage(const std::string& path, MemoryBudget* memory = nullptr)
{
    ColorImage image;
    if (!LoadFitted(image, path, kWorkingBound, kWorkingBound, memory)) return nullptr;
    return std::make_shared<const ColorImage>(std::move(image));
}

// What identifies the file an entry was read from: the file itself (device and inode), so that another name
// for it (a link, "./a.jpg" beside "a.jpg") finds the same entry, and its size and modification time, so that
// a changed file is read again.
struct FileStamp {
    std::uintmax_t device = 0;
    std::uintmax_t inode = 0;
    std::uintmax_t size = 0;
    std::int64_t modified_seconds = 0;
    std::int64_t modified_nanoseconds = 0;
    bool operator==(const FileStamp&) const = default;
};

bool StampOf(const std::string& path, FileStamp& stamp)
{
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) return false;
    stamp.device = static_cast<std::uintmax_t>(status.st_dev);
    stamp.inode = static_cast<std::uintmax_t>(status.st_ino);
    stamp.size = static_cast<std::uintmax_t>(status.st_size);
    stamp.modified_seconds = static_cast<std::int64_t>(status.st_mtim.tv_sec);
    stamp.modified_nanoseconds = static_cast<std::int64_t>(status.st_mtim.tv_nsec);
    return true;
}

std::size_t BytesOf(const ColorImage& image) { return image.block_size(); }

}  // namespace

std::shared_ptr<const ColorImage> FileWorkingImages::Share(const std::string& path) { return ReadWorkingImage(path); }

struct WorkingImageCache::State {
    struct Entry {
        std::string path;
        FileStamp stamp;
        std::shared_ptr<const ColorImage> image;
    };
    std::mutex mutex;
    std::list<Entry> entries;  // most recently used first
    std::size_t budget = 0;
    std::size_t used = 0;
    std::shared_ptr<MemoryBudget> memory;
    std::size_t loads_from_disk = 0;

    void Remove(std::list<Entry>::iterator it)
    {
        used -= BytesOf(*it->image);
        entries.erase(it);
    }
    void Put(const std::string& path, const FileStamp& stamp, std::shared_ptr<const ColorImage> image)
    {
        for (auto it = entries.begin(); it != entries.end(); ++it)
            if (it->path == path || it->stamp == stamp) {
                Remove(it);
                break;
            }
        const std::size_t bytes = BytesOf(*image);
        if (bytes > budget) return;
        while (used + bytes > budget && !entries.empty()) Remove(std::prev(entries.end()));
        entries.push_front(Entry{path, stamp, std::move(image)});
        used += bytes;
    }
};

WorkingImageCache::WorkingImageCache(std::size_t budget_bytes, std::shared_ptr<MemoryBudget> memory)
    : state_(std::make_unique<State>())
{
    state_->budget = budget_bytes;
    state_->memory = std::move(memory);
}

WorkingImageCache::~WorkingImageCache() = default;

std::shared_ptr<const ColorImage> WorkingImageCache::Share(const std::string& path)
{
    FileStamp stamp;
    if (!StampOf(path, stamp)) return nullptr;
    {
        std::lock_guard lock(state_->mutex);
        for (auto it = state_->entries.begin(); it != state_->entries.end(); ++it)
            if (it->stamp == stamp) {
                state_->entries.splice(state_->entries.begin(), state_->entries, it);
                return it->image;
            }
    }
    std::shared_ptr<const ColorImage> loaded = ReadWorkingImage(path, state_->memory.get());
    if (!loaded) return nullptr;
    std::lock_guard lock(state_->mutex);
    ++state_->loads_from_disk;
    state_->Put(path, stamp, loaded);
    return loaded;
}

void WorkingImageCache::Insert(const std::string& path, ColorImage image)
{
    FileStamp stamp;
    if (!StampOf(path, stamp)) return;
    auto shared = std::make_shared<const ColorImage>(std::move(image));
    std::lock_guard lock(state_->mutex);
    state_->Put(path, stamp, std::move(shared));
}

std::size_t WorkingImageCache::loads_from_disk() const
{
    std::lock_guard lock(state_->mutex);
    return state_->loads_from_disk;
}

}  // namespace tp
