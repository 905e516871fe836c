#include "k1lib/base/FileBytes.h"

#include <cstdio>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace k1lib {

FileBytesResult readFileBytes(const std::string& path, std::vector<unsigned char>& out) {
    // Opening without blocking: a FIFO with no writer would otherwise hang the open itself; it is
    // then refused as not regular like any other special file.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return FileBytesResult::OpenFailed;
    FILE* file = ::fdopen(fd, "rb");
    if (!file) {
        ::close(fd);
        return FileBytesResult::OpenFailed;
    }
    struct stat info {};
    FileBytesResult result = FileBytesResult::Ok;
    if (fstat(fileno(file), &info) != 0 || !S_ISREG(info.st_mode))
        result = FileBytesResult::NotRegularFile;
    else if (static_cast<unsigned long long>(info.st_size) > kMaxImportFileSize)
        result = FileBytesResult::TooLarge;
    if (result == FileBytesResult::Ok) {
        std::vector<unsigned char> bytes;
        try {
            bytes.resize(static_cast<size_t>(info.st_size));
        } catch (const std::bad_alloc&) {
            result = FileBytesResult::TooLarge;
        }
        if (result == FileBytesResult::Ok) {
            // A file that shrank or fails while being read is refused, never half-used.
            const size_t read = bytes.empty() ? 0 : std::fread(bytes.data(), 1, bytes.size(), file);
            if (read != bytes.size() || std::ferror(file))
                result = FileBytesResult::ReadFailed;
            else
                out.swap(bytes);
        }
    }
    std::fclose(file);
    return result;
}

} // namespace k1lib
