// Devices of a test's own, made in its scratch folder, so that code under
// test which wrongly replaced its output could replace only these.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <string>

namespace zentoro::testing {

// The kernel's always-full device (/dev/full's numbers) under `path`.
// False where the test may not make devices, or the folder's file system
// does not open them; nothing is left at `path` then.
inline bool makeFullDevice(const std::string& path) {
    if (::mknod(path.c_str(), S_IFCHR | 0666, makedev(1, 7)) != 0) return false;
    int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) {
        ::unlink(path.c_str());
        return false;
    }
    ::close(fd);
    return true;
}

// Whether `path` is still a character device (not followed if a link).
inline bool isCharacterDevice(const std::string& path) {
    struct stat status;
    return ::lstat(path.c_str(), &status) == 0 && S_ISCHR(status.st_mode);
}

}  // namespace zentoro::testing
