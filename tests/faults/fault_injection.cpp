// Preloaded into a test program (LD_PRELOAD), makes the system look like one
// the tests cannot otherwise reach. ZENTORO_FAULTS lists, comma-separated:
//   no-tmpfile     files without a name cannot be created (EOPNOTSUPP), as
//                  on file systems that lack them;
//   no-links       hard links cannot be made (EPERM), as on FAT;
//   no-empty-path  linkat refuses AT_EMPTY_PATH (ENOENT), as for a process
//                  without the privilege it takes;
//   no-empty-path-eperm  the same with EPERM, as other kernels refuse it;
//   no-fdopen      no stream can be made for writing to a descriptor
//                  (ENOMEM), as when memory runs out;
//   close-fails    closing a stream open for writing closes it but reports
//                  EIO, as NFS or FUSE may report a write only at close;
//   nfs            every file system reports itself as NFS, one that may
//                  fail at close;
//   rename-fails   renaming a file fails (EIO), as on a medium that fails;
//   no-read-fdopen no stream can be made for reading a descriptor (ENOMEM);
//   no-threads     no thread can be started (EAGAIN), as under a limit on
//                  a user's processes;
//   temporaries-taken  every temporary name the converter tries (".zentoro-...")
//                  exists already (EEXIST), as if another program took them.
// At exit it writes how often each fault struck to standard error, as
// "faults: no-tmpfile=N no-links=N no-empty-path=N no-fdopen=N
// close-fails=N nfs=N rename-fails=N no-read-fdopen=N no-threads=N
// temporaries-taken=N", so that a test knows the road it meant to take was
// taken, followed by how often calls that the library means to make
// seldom were made, struck or not: "unnamed=N" files opened without a
// name, "statfs=N" file systems asked for their type.
#include <dlfcn.h>
#include <fcntl.h>
#include <pthread.h>
#include <stdio_ext.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool faultOn(const char* name) {
    const char* list = std::getenv("ZENTORO_FAULTS");
    if (list == nullptr) return false;
    size_t length = std::strlen(name);
    for (const char* at = std::strstr(list, name); at != nullptr; at = std::strstr(at + 1, name)) {
        bool starts = at == list || at[-1] == ',';
        bool ends = at[length] == '\0' || at[length] == ',';
        if (starts && ends) return true;
    }
    return false;
}

std::atomic<int> tmpfileRefused{0};
std::atomic<int> linksRefused{0};
std::atomic<int> emptyPathRefused{0};
std::atomic<int> fdopenRefused{0};
std::atomic<int> closesFailed{0};
std::atomic<int> nfsReported{0};
std::atomic<int> renamesFailed{0};
std::atomic<int> readFdopenRefused{0};
std::atomic<int> threadsRefused{0};
std::atomic<int> temporariesTaken{0};
std::atomic<int> unnamedOpens{0};
std::atomic<int> statfsCalls{0};

struct Report {
    ~Report() {
        std::fprintf(stderr,
                     "faults: no-tmpfile=%d no-links=%d no-empty-path=%d no-fdopen=%d close-fails=%d nfs=%d "
                     "rename-fails=%d no-read-fdopen=%d no-threads=%d temporaries-taken=%d unnamed=%d statfs=%d\n",
                     tmpfileRefused.load(), linksRefused.load(), emptyPathRefused.load(), fdopenRefused.load(),
                     closesFailed.load(), nfsReported.load(), renamesFailed.load(), readFdopenRefused.load(),
                     threadsRefused.load(), temporariesTaken.load(), unnamedOpens.load(), statfsCalls.load());
    }
} report;

template <typename Function>
Function next(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

bool refuseTmpfile(int flags) {
    if ((flags & O_TMPFILE) != O_TMPFILE) return false;
    ++unnamedOpens;
    if (!faultOn("no-tmpfile")) return false;
    ++tmpfileRefused;
    errno = EOPNOTSUPP;
    return true;
}

bool refuseLink() {
    if (!faultOn("no-links")) return false;
    ++linksRefused;
    errno = EPERM;
    return true;
}

// Whether creating `path` must fail as taken: a temporary name of the
// converter's, with "temporaries-taken" on.
bool refuseTemporary(const char* path) {
    const char* name = std::strrchr(path, '/');
    name = name == nullptr ? path : name + 1;
    if (std::strncmp(name, ".zentoro-", 9) != 0 || !faultOn("temporaries-taken")) return false;
    ++temporariesTaken;
    errno = EEXIST;
    return true;
}

bool refuseExclusive(const char* path, int flags) {
    return (flags & (O_CREAT | O_EXCL)) == (O_CREAT | O_EXCL) && refuseTemporary(path);
}

mode_t modeOf(int flags, va_list arguments) {
    return (flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE ? static_cast<mode_t>(va_arg(arguments, int)) : 0;
}

}  // namespace

extern "C" {

int open(const char* path, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    mode_t mode = modeOf(flags, arguments);
    va_end(arguments);
    if (refuseTmpfile(flags) || refuseExclusive(path, flags)) return -1;
    return next<int (*)(const char*, int, ...)>("open")(path, flags, mode);
}

int open64(const char* path, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    mode_t mode = modeOf(flags, arguments);
    va_end(arguments);
    if (refuseTmpfile(flags) || refuseExclusive(path, flags)) return -1;
    return next<int (*)(const char*, int, ...)>("open64")(path, flags, mode);
}

int openat(int folder, const char* path, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    mode_t mode = modeOf(flags, arguments);
    va_end(arguments);
    if (refuseTmpfile(flags) || refuseExclusive(path, flags)) return -1;
    return next<int (*)(int, const char*, int, ...)>("openat")(folder, path, flags, mode);
}

int link(const char* from, const char* to) noexcept {
    if (refuseLink() || refuseTemporary(to)) return -1;
    return next<int (*)(const char*, const char*)>("link")(from, to);
}

int linkat(int fromFolder, const char* from, int toFolder, const char* to, int flags) noexcept {
    if (refuseLink() || refuseTemporary(to)) return -1;
    bool eperm = faultOn("no-empty-path-eperm");
    if ((flags & AT_EMPTY_PATH) != 0 && (eperm || faultOn("no-empty-path"))) {
        ++emptyPathRefused;
        errno = eperm ? EPERM : ENOENT;
        return -1;
    }
    return next<int (*)(int, const char*, int, const char*, int)>("linkat")(fromFolder, from, toFolder, to, flags);
}

std::FILE* fdopen(int fd, const char* mode) noexcept {
    if (mode[0] == 'w' && faultOn("no-fdopen")) {
        ++fdopenRefused;
        errno = ENOMEM;
        return nullptr;
    }
    if (mode[0] == 'r' && faultOn("no-read-fdopen")) {
        ++readFdopenRefused;
        errno = ENOMEM;
        return nullptr;
    }
    return next<std::FILE* (*)(int, const char*)>("fdopen")(fd, mode);
}

int fclose(std::FILE* stream) {
    bool fail = __fwritable(stream) != 0 && faultOn("close-fails");
    int closed = next<int (*)(std::FILE*)>("fclose")(stream);
    if (!fail) return closed;
    ++closesFailed;
    errno = EIO;
    return EOF;
}

int rename(const char* from, const char* to) noexcept {
    if (faultOn("rename-fails")) {
        ++renamesFailed;
        errno = EIO;
        return -1;
    }
    return next<int (*)(const char*, const char*)>("rename")(from, to);
}

int pthread_create(pthread_t* thread, const pthread_attr_t* attributes, void* (*start)(void*), void* argument) {
    if (faultOn("no-threads")) {
        ++threadsRefused;
        return EAGAIN;
    }
    using Create = int (*)(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*);
    return next<Create>("pthread_create")(thread, attributes, start, argument);
}

int statfs(const char* path, struct statfs* system) noexcept {
    ++statfsCalls;
    int result = next<int (*)(const char*, struct statfs*)>("statfs")(path, system);
    if (result == 0 && faultOn("nfs")) {
        ++nfsReported;
        system->f_type = 0x6969;
    }
    return result;
}

}  // extern "C"
