#include "convert/input_file.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#ifdef _WIN32
#include "convert/native_path.h"
#else
#include <unistd.h>
#endif

namespace zentoro {

ConversionResult openInputFile(const char* path, bool followLinks, std::FILE*& file, size_t& size) {
    file = nullptr;
    size = 0;
#ifndef _WIN32
    int flags = O_RDONLY | O_NONBLOCK | O_CLOEXEC | (followLinks ? 0 : O_NOFOLLOW);
    int fd = ::open(path, flags);
    if (fd < 0) return {Failure::InputUnopenable, errno, false};
    struct stat status;
    if (::fstat(fd, &status) != 0) {
        int error = errno;
        ::close(fd);
        return {Failure::InputUnopenable, error, false};
    }
    if (!S_ISREG(status.st_mode)) {
        ::close(fd);
        return {Failure::InputNotRegularFile, 0, false};
    }
    // O_NONBLOCK, there so that a FIFO is not waited on, changes nothing
    // for the reads of a regular file, and stays.
    file = ::fdopen(fd, "rb");
    if (file == nullptr) {
        int error = errno;
        ::close(fd);
        return {Failure::InputUnopenable, error, false};
    }
#else
    (void)followLinks;
    // The wide call on the extended-length path opens documents past 260
    // characters, where the narrow one fails.
    file = ::_wfopen(extendedLengthPath(path).c_str(), L"rb");
    if (file == nullptr) return {Failure::InputUnopenable, errno, false};
    struct _stat64 status;
    if (::_fstat64(::_fileno(file), &status) != 0 || (status.st_mode & _S_IFMT) != _S_IFREG) {
        std::fclose(file);
        file = nullptr;
        return {Failure::InputNotRegularFile, 0, false};
    }
#endif
    size = static_cast<size_t>(status.st_size);
    return {};
}

}  // namespace zentoro
