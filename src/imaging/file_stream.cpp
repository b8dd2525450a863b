#include "imaging/file_stream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tp {

namespace {

// Opens a file for reading only when it is a regular file: a FIFO, a device or a folder named as an image
// or a project would block the reader or feed it without end. The open itself does not wait for a writer.
std::FILE* OpenRegularForReading(const std::string& path, const char* mode)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || ::fcntl(fd, F_SETFL, 0) != 0) {
        ::close(fd);
        return nullptr;
    }
    std::FILE* file = ::fdopen(fd, mode);
    if (!file) ::close(fd);
    return file;
}

}  // namespace

FileStream::FileStream(const std::string& path, const char* mode)
    : file_(mode[0] == 'r' && std::string(mode).find('+') == std::string::npos ? OpenRegularForReading(path, mode)
                                                                                : std::fopen(path.c_str(), mode))
{
}

bool FileStream::read(void* data, std::size_t size)
{
    return file_ && (size == 0 || std::fread(data, 1, size, file_.get()) == size);
}

bool FileStream::write(const void* data, std::size_t size)
{
    return file_ && (size == 0 || std::fwrite(data, 1, size, file_.get()) == size);
}

int FileStream::get_byte() { return file_ ? std::fgetc(file_.get()) : -1; }

bool FileStream::put_byte(int value) { return file_ && std::fputc(value, file_.get()) != EOF; }

bool FileStream::seek(long offset, int origin) { return file_ && std::fseek(file_.get(), offset, origin) == 0; }

long FileStream::tell() const { return file_ ? std::ftell(file_.get()) : -1; }

long long FileStream::size() const
{
    if (!file_) return -1;
    const long here = std::ftell(file_.get());
    if (here < 0 || std::fseek(file_.get(), 0, SEEK_END) != 0) return -1;
    const long end = std::ftell(file_.get());
    std::fseek(file_.get(), here, SEEK_SET);
    return end;
}

bool FileStream::close()
{
    if (!file_) return false;
    const bool flushed = std::fflush(file_.get()) == 0 && !std::ferror(file_.get());
    const bool closed = std::fclose(file_.release()) == 0;
    return flushed && closed;
}

}  // namespace tp
