// A thin owner of a buffered C file stream: the codecs open files "rb" or "wb" through it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace tp {

class FileStream {
public:
    FileStream() = default;
    // Opens `path` with a C mode string ("rb", "wb", ...); check is_open() afterwards. For reading, only a
    // regular file opens (a FIFO or a device would block or never end).
    FileStream(const std::string& path, const char* mode);

    bool is_open() const { return file_ != nullptr; }
    std::FILE* get() const { return file_.get(); }

    // Exactly `size` bytes or false.
    bool read(void* data, std::size_t size);
    bool write(const void* data, std::size_t size);
    // One byte, or -1 at the end of the file or on an error.
    int get_byte();
    bool put_byte(int value);
    bool seek(long offset, int origin);
    long tell() const;
    // Total length of the file in bytes, or -1 when it cannot be told; the position is kept.
    long long size() const;
    // Flushes and closes; false when anything written did not reach the file.
    bool close();

private:
    struct Closer {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    std::unique_ptr<std::FILE, Closer> file_;
};

// Little-endian and big-endian field access for the codecs' headers.
inline std::uint16_t LoadLe16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
inline std::uint32_t LoadLe32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
inline std::uint32_t LoadBe32(const std::uint8_t* p)
{
    return (static_cast<std::uint32_t>(p[0]) << 24) | (static_cast<std::uint32_t>(p[1]) << 16) |
           (static_cast<std::uint32_t>(p[2]) << 8) | static_cast<std::uint32_t>(p[3]);
}
inline void StoreLe16(std::uint8_t* p, std::uint32_t v)
{
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
inline void StoreLe32(std::uint8_t* p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
inline void StoreBe32(std::uint8_t* p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (24 - 8 * i));
}

}  // namespace tp
