// A file written in full under a temporary name next to its target and then renamed over it: whoever reads the
// target sees the old file or the new one, never a part of either, and a failed write leaves the old file as
// it was. A target that is a symbolic link stays a link: the file it points to is the one replaced.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tp {

class ReplacementFile {
public:
    explicit ReplacementFile(const std::string& target);
    ~ReplacementFile();  // removes the temporary file unless it was committed
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    bool is_open() const { return descriptor_ >= 0; }
    // Where to write: the temporary file, created empty (writers may also open it by this name).
    const std::string& temporary_path() const { return temporary_; }
    // The file that will be replaced (the target, or the file a link named as the target points to).
    const std::string& replaced_path() const { return replaced_; }

    bool write_all(const std::vector<std::uint8_t>& bytes);
    // Gives the new file the replaced one's permissions, flushes it to the disk, renames it over the replaced
    // file and flushes the folder. False (nothing replaced) on any failure.
    bool commit();

private:
    std::string replaced_;
    std::string temporary_;
    int descriptor_ = -1;
    bool committed_ = false;
};

}  // namespace tp
