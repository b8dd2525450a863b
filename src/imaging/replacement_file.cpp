#include "imaging/replacement_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <filesystem>
#include <random>

namespace tp {

namespace {

constexpr int kMostLinks = 40;       // as the system follows them
constexpr std::size_t kNameMax = 255;  // bytes in one file name

// The file a chain of symbolic links named `target` ends at (itself when it is no link).
std::string FollowLinks(const std::string& target)
{
    std::filesystem::path path = target;
    for (int hop = 0; hop < kMostLinks; ++hop) {
        std::error_code error;
        if (!std::filesystem::is_symlink(std::filesystem::symlink_status(path, error))) break;
        const std::filesystem::path next = std::filesystem::read_symlink(path, error);
        if (error) break;
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
    return path.string();
}

std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

void SyncFolder(const std::string& folder)
{
    const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) return;
    ::fsync(descriptor);
    ::close(descriptor);
}

}  // namespace

ReplacementFile::ReplacementFile(const std::string& target) : replaced_(FollowLinks(target))
{
    if (replaced_.empty()) return;
    std::random_device seed;
    std::mt19937 rng(seed());
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    const std::size_t slash = replaced_.rfind('/');
    const std::string name = slash == std::string::npos ? replaced_ : replaced_.substr(slash + 1);
    // Named after the file it replaces where that fits in a file name, else a short name in the same folder.
    const std::string stem = name.size() + 11 <= kNameMax ? replaced_ + ".tmp-" : FolderOf(replaced_) + "/.tp-";
    for (int attempt = 0; attempt < 100 && descriptor_ < 0; ++attempt) {
        std::string candidate = stem;
        for (int i = 0; i < 6; ++i) candidate += kLetters[rng() % (sizeof(kLetters) - 1)];
        // 0666 so the umask decides, as for any newly saved file.
        descriptor_ = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor_ >= 0) temporary_ = candidate;
        else if (errno != EEXIST) break;
    }
}

ReplacementFile::~ReplacementFile()
{
    if (descriptor_ >= 0) ::close(descriptor_);
    if (!committed_ && !temporary_.empty()) ::unlink(temporary_.c_str());
}

bool ReplacementFile::write_all(const std::vector<std::uint8_t>& bytes)
{
    const std::uint8_t* data = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(descriptor_, data, left);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    return true;
}

bool ReplacementFile::commit()
{
    if (descriptor_ < 0) return false;
    // A replaced file keeps the permissions its owner gave it.
    struct stat existing {};
    if (::stat(replaced_.c_str(), &existing) == 0) ::fchmod(descriptor_, existing.st_mode & 07777);
    // Whoever wrote the temporary file (through this descriptor or by its name), fsync flushes it all.
    const bool synced = ::fsync(descriptor_) == 0;
    const bool closed = ::close(descriptor_) == 0;
    descriptor_ = -1;
    if (!synced || !closed || ::rename(temporary_.c_str(), replaced_.c_str()) != 0) return false;
    committed_ = true;
    SyncFolder(FolderOf(replaced_));
    return true;
}

}  // namespace tp
