#include "convert/output_file.h"
#include "convert/native_path.h"

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <atomic>
#include <cstring>
#include <filesystem>

#include "reader/header_check.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif
#if defined(__linux__)
#include <sys/vfs.h>
#endif

namespace zentoro {

namespace {

constexpr int TemporaryNameAttempts = 100;

// The one piece of process-wide state: a signal handler reaches the
// temporary files being written only through it. Conversions may run on
// several threads at once, each holding a slot; the slots' states are
// lock-free atomics, which a signal handler may use.
constexpr int SignalSlots = 64;
constexpr size_t MaxSignalVisiblePath = 4096;
enum SlotState : int { SlotFree, SlotFilling, SlotRegistered, SlotDiscarded };

// The path in the form the removal takes: on Windows the wide
// extended-length form, made before any signal arrives.
#ifdef _WIN32
using SystemPath = std::wstring;
#else
using SystemPath = std::string;
#endif

// Zero-initialised in full, so that the table is constant-initialised and
// its pages are not touched until a slot is used.
struct SignalSlot {
    std::atomic<int> state{SlotFree};
    SystemPath::value_type path[MaxSignalVisiblePath]{};
};

constinit SignalSlot signalSlots[SignalSlots];
// Once a signal has discarded the outputs, no later output is put in place:
// the process is on its way out.
constinit std::atomic<bool> interrupted{false};

// Makes the temporary file visible to discardOutputFromSignal; returns its
// slot, or -1 when every slot is taken or the path is too long.
int registerTemporary(const SystemPath& path) {
    if (path.size() >= MaxSignalVisiblePath) return -1;
    for (SignalSlot& slot : signalSlots) {
        int expected = SlotFree;
        if (!slot.state.compare_exchange_strong(expected, SlotFilling)) continue;
        std::memcpy(slot.path, path.c_str(), (path.size() + 1) * sizeof(SystemPath::value_type));
        slot.state.store(SlotRegistered);
        return static_cast<int>(&slot - signalSlots);
    }
    return -1;
}

// A slot that a signal handler has taken over stays taken: the process is
// ending, and the handler may still be reading its path.
void unregisterTemporary(int slot) {
    if (slot < 0) return;
    int expected = SlotRegistered;
    signalSlots[slot].state.compare_exchange_strong(expected, SlotFree);
}

void removeFile(const std::string& path) {
#ifdef _WIN32
    DeleteFileW(extendedLengthPath(path).c_str());
#else
    ::unlink(path.c_str());
#endif
}

ConversionResult unwritable(int error) { return {Failure::OutputUnwritable, error, false}; }

// ".zentoro-<pid>-<clock>-<attempt>.tmp" in the output's folder: hidden, and
// no longer than any name, so that a long output name still fits.
std::string temporaryPathFor(const std::string& output, int attempt) {
    std::filesystem::path folder = pathFromNative(output).parent_path();
    auto clock = static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
#ifdef _WIN32
    unsigned long process = GetCurrentProcessId();
#else
    unsigned long process = static_cast<unsigned long>(::getpid());
#endif
    char name[96];
    std::snprintf(name, sizeof name, ".zentoro-%lx-%llx-%d.tmp", process, clock & 0xFFFFFFFFFFull, attempt);
    return folder.empty() ? std::string(name) : nativeFromPath(folder / name);
}

#if defined(__linux__) && defined(O_TMPFILE)
#define ZENTORO_UNNAMED_TEMPORARY 1

// An open file is named only through /proc (linkat with AT_EMPTY_PATH needs
// a privilege).
bool openFilesHaveNames() {
    static const bool available = ::access("/proc/self/fd", X_OK) == 0;
    return available;
}

// Creating a file without a name takes no lock on its folder, where creating
// a named one holds the folder while the file system finds a free inode: a
// conversion on another thread into the same folder goes on meanwhile.
int createUnnamed(const std::string& folder) {
    if (!openFilesHaveNames()) return -1;
    return ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
}

#if defined(__GLIBC__)
#define ZENTORO_DESCRIPTOR_STREAM 1

// Whether closing a file in `folder` can report a failure to store it: true
// unless the file system is one that stores nothing at close (network and
// user-space file systems may hand over what they held only then). Asked
// once for each folder in turn, by each thread.
bool closeMayFail(const std::string& folder) {
    constexpr uint32_t SilentAtClose[] = {
        0x01021994,  // tmpfs
        0xEF53,      // ext2, ext3, ext4
        0x58465342,  // xfs
        0x9123683E,  // btrfs
    };
    thread_local std::string lastFolder;
    thread_local bool lastMayFail = true;
    if (folder == lastFolder && !folder.empty()) return lastMayFail;
    struct statfs system;
    bool mayFail = true;
    if (::statfs(folder.c_str(), &system) == 0) {
        for (uint32_t type : SilentAtClose) {
            if (static_cast<uint32_t>(system.f_type) == type) mayFail = false;
        }
    }
    lastFolder = folder;
    lastMayFail = mayFail;
    return mayFail;
}

ssize_t writeToDescriptor(void* cookie, const char* data, size_t size) {
    int fd = static_cast<int>(reinterpret_cast<intptr_t>(cookie));
    size_t written = 0;
    while (written < size) {
        ssize_t n = ::write(fd, data + written, size - written);
        if (n < 0 && errno == EINTR) continue;
        // A custom stream's failed write returns what it wrote, with errno
        // set: glibc takes a negative count for bytes written.
        if (n == 0) errno = EIO;
        if (n <= 0) break;
        written += static_cast<size_t>(n);
    }
    return static_cast<ssize_t>(written);
}

// A stream that writes to `fd` and leaves it open when closed, so that the
// descriptor serves the link that names the file afterwards. Opening it
// costs no call to the system, where fdopen asks for the descriptor's flags.
std::FILE* streamOnDescriptor(int fd) {
    cookie_io_functions_t io{nullptr, writeToDescriptor, nullptr, nullptr};
    return fopencookie(reinterpret_cast<void*>(static_cast<intptr_t>(fd)), "w", io);
}

#endif

// The folder where the unnamed file is created.
std::string unnamedFolderOf(const std::string& output) {
    std::filesystem::path folder = pathFromNative(output).parent_path();
    return folder.empty() ? std::string(".") : nativeFromPath(folder);
}

int linkThroughProc(int fd, const std::string& path) {
    char name[40];
    std::snprintf(name, sizeof name, "/proc/self/fd/%d", fd);
    return ::linkat(AT_FDCWD, name, AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0 ? 0 : errno;
}

// Set once linkat has refused AT_EMPTY_PATH where the link through /proc
// went on differently: the process lacks the privilege it takes there.
std::atomic<bool> emptyPathRefused{false};

// Gives the unnamed file `fd` the name `path`, which must be free; returns 0
// or the errno value of the failure. The descriptor itself names the file
// where the process may link it so (a privilege, or a kernel that allows it
// for a file without a name): a lookup through /proc costs more.
int linkUnnamed(int fd, const std::string& path) {
    if (emptyPathRefused.load(std::memory_order_relaxed)) return linkThroughProc(fd, path);
    if (::linkat(fd, "", AT_FDCWD, path.c_str(), AT_EMPTY_PATH) == 0) return 0;
    int error = errno;
    if (error != ENOENT && error != EPERM) return error;
    int throughProc = linkThroughProc(fd, path);
    if (throughProc != error) emptyPathRefused.store(true, std::memory_order_relaxed);
    return throughProc;
}

#endif

#ifndef _WIN32

// The header is read by the descriptor: a stream would only add a buffer,
// and a way to fail.
bool isWordDocument(const char* path) {
    int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return false;
    unsigned char header[WordHeaderCheckSize];
    ssize_t got;
    do {
        got = ::read(fd, header, sizeof header);
    } while (got < 0 && errno == EINTR);
    ::close(fd);
    InputStream in{header, got > 0 ? static_cast<size_t>(got) : 0, 0};
    return hasWordHeaderUids(in);
}

// The output's stream on `fd`; where none can be had, `fd` is closed.
ConversionResult openStream(int fd, PendingOutput& output) {
    output.file = ::fdopen(fd, "wb");
    if (output.file != nullptr) return {};
    int error = errno;
    ::close(fd);
    return unwritable(error);
}

// Opens a device or FIFO for writing without waiting for a reader.
ConversionResult openInPlace(const char* path, PendingOutput& output) {
    int fd = ::open(path, O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return unwritable(errno);
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    ConversionResult opened = openStream(fd, output);
    output.inPlace = opened.succeeded();
    return opened;
}

int createExclusively(const std::string& path) {
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
}

#else

bool isWordDocument(const char* path) {
    std::FILE* file = ::_wfopen(extendedLengthPath(path).c_str(), L"rb");
    if (file == nullptr) return false;
    unsigned char header[WordHeaderCheckSize];
    InputStream in{header, std::fread(header, 1, sizeof header, file), 0};
    std::fclose(file);
    return hasWordHeaderUids(in);
}

int createExclusively(const std::wstring& path) {
    return ::_wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
}

int errnoOf(DWORD error) {
    switch (error) {
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS: return EEXIST;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION: return EACCES;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL: return ENOSPC;
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND: return ENOENT;
        case ERROR_FILENAME_EXCED_RANGE: return ENAMETOOLONG;
        default: return EIO;
    }
}

#endif

// What stands at the output path decides whether the output may go there
// and how it is written. `mode` receives the permissions of a regular file
// there, which the new output takes over; `device` is set for a device or
// FIFO there (or a link to one), which is written in place.
ConversionResult checkExisting(const char* path, ExistingOutput existing, int& mode, bool& device) {
#ifndef _WIN32
    struct stat own;
    if (::lstat(path, &own) != 0) return errno == ENOENT ? ConversionResult{} : unwritable(errno);
    if (S_ISDIR(own.st_mode)) return unwritable(EISDIR);
    if (existing == ExistingOutput::Keep && !S_ISCHR(own.st_mode) && !S_ISFIFO(own.st_mode)) {
        return {Failure::OutputExists, 0, false};
    }
    if (S_ISREG(own.st_mode)) {
        if (existing == ExistingOutput::KeepWordDocument && isWordDocument(path)) {
            return {Failure::OutputIsWordDocument, 0, false};
        }
        mode = static_cast<int>(own.st_mode & 07777);
        return {};
    }
    struct stat target;
    device = S_ISCHR(own.st_mode) || S_ISFIFO(own.st_mode) || S_ISSOCK(own.st_mode) || S_ISBLK(own.st_mode);
    if (S_ISLNK(own.st_mode) && ::stat(path, &target) == 0) {
        device = S_ISCHR(target.st_mode) || S_ISFIFO(target.st_mode) || S_ISSOCK(target.st_mode);
    }
    // A link to a file or folder, or a dangling one, is replaced by the rename.
    return {};
#else
    (void)device;
    (void)mode;
    // Read through the extended-length path: past 260 characters the plain
    // calls fail, and an existing file would look absent and go unprotected.
    DWORD attributes = GetFileAttributesW(extendedLengthPath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return {};
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return unwritable(EISDIR);
    if (existing == ExistingOutput::Keep) return {Failure::OutputExists, 0, false};
    if (existing == ExistingOutput::KeepWordDocument && isWordDocument(path)) {
        return {Failure::OutputIsWordDocument, 0, false};
    }
    return {};
#endif
}

ConversionResult createTemporary(PendingOutput& output, int mode) {
#ifdef ZENTORO_UNNAMED_TEMPORARY
    std::string folder = unnamedFolderOf(output.path);
    if (int fd = createUnnamed(folder); fd >= 0) {
        if (mode >= 0) (void)::fchmod(fd, static_cast<mode_t>(mode));
#ifdef ZENTORO_DESCRIPTOR_STREAM
        if (!closeMayFail(folder)) {
            output.file = streamOnDescriptor(fd);
            if (output.file != nullptr) {
                output.descriptor = fd;
                output.unnamed = true;
                return {};
            }
        }
#endif
        ConversionResult opened = openStream(fd, output);
        output.unnamed = opened.succeeded();
        return opened;
    }
    // Not on this file system: a named temporary file, below.
#endif
    for (int attempt = 0; attempt < TemporaryNameAttempts; ++attempt) {
        std::string temporary = temporaryPathFor(output.path, attempt);
#ifdef _WIN32
        SystemPath systemPath = extendedLengthPath(temporary);
#else
        const SystemPath& systemPath = temporary;
#endif
        int fd = createExclusively(systemPath);
        if (fd < 0 && errno == EEXIST) continue;
        if (fd < 0) return unwritable(errno);
        output.signalSlot = registerTemporary(systemPath);
#ifndef _WIN32
        if (mode >= 0) (void)::fchmod(fd, static_cast<mode_t>(mode));
        output.file = ::fdopen(fd, "wb");
#else
        (void)mode;
        output.file = ::_fdopen(fd, "wb");
#endif
        output.temporaryPath = temporary;
        if (output.file == nullptr) {
            int error = errno;
#ifdef _WIN32
            ::_close(fd);
#else
            ::close(fd);
#endif
            discardOutput(output);
            return unwritable(error);
        }
        return {};
    }
    return unwritable(EEXIST);
}

// Renames the complete temporary file to the output path; returns 0 or the
// errno value of the failure (EEXIST: a file stands there and is kept).
int putInPlace(const std::string& temporary, const std::string& path, bool replace) {
#ifdef _WIN32
    DWORD flags = replace ? MOVEFILE_REPLACE_EXISTING : 0;
    std::wstring from = extendedLengthPath(temporary);
    std::wstring to = extendedLengthPath(path);
    return MoveFileExW(from.c_str(), to.c_str(), flags) ? 0 : errnoOf(GetLastError());
#else
    if (replace) return ::rename(temporary.c_str(), path.c_str()) == 0 ? 0 : errno;
    // A hard link is created only where no name exists, with no window
    // between the test and the creation.
    if (::link(temporary.c_str(), path.c_str()) == 0) {
        ::unlink(temporary.c_str());
        return 0;
    }
    if (errno == EEXIST || errno == ENOENT) return errno;
    // File systems without hard links: test, then rename.
    struct stat existing;
    if (::lstat(path.c_str(), &existing) == 0) return EEXIST;
    return ::rename(temporary.c_str(), path.c_str()) == 0 ? 0 : errno;
#endif
}

#ifdef ZENTORO_UNNAMED_TEMPORARY

// Links the complete unnamed file to the output path; returns 0 or the errno
// value of the failure (EEXIST: a file stands there and is kept). A file
// standing there is replaced through a temporary name and a rename.
int putUnnamedInPlace(int fd, const std::string& path, bool replace) {
    int error = linkUnnamed(fd, path);
    if (error != EEXIST || !replace) return error;
    for (int attempt = 0; attempt < TemporaryNameAttempts; ++attempt) {
        std::string temporary = temporaryPathFor(path, attempt);
        error = linkUnnamed(fd, temporary);
        if (error == EEXIST) continue;
        if (error != 0) return error;
        int slot = registerTemporary(temporary);
        error = ::rename(temporary.c_str(), path.c_str()) == 0 ? 0 : errno;
        if (error != 0) ::unlink(temporary.c_str());
        unregisterTemporary(slot);
        return error;
    }
    return EEXIST;
}

#endif

// Something appeared at the output path after the caller found nothing
// there: it is checked now as beginOutput would have checked it, and may
// be replaced only if it passes. A regular file's permissions go to the
// output (`fd`, or else `temporary`); a device that appeared is replaced,
// as anything that appears after the check always was.
ConversionResult checkAppeared(const PendingOutput& output, int fd, const std::string& temporary) {
    int mode = -1;
    bool device = false;
    ConversionResult checked = checkExisting(output.path.c_str(), output.existing, mode, device);
    if (!checked.succeeded() || mode < 0) return checked;
#ifndef _WIN32
    if (fd >= 0) {
        (void)::fchmod(fd, static_cast<mode_t>(mode));
    } else {
        (void)::chmod(temporary.c_str(), static_cast<mode_t>(mode));
    }
#else
    (void)fd;
    (void)temporary;
#endif
    return {};
}

// What became of putting the output in place, from the errno value `error`.
ConversionResult placed(int error, bool stopped, bool replace) {
    if (error == 0) return {};
    if (stopped) return {Failure::Interrupted, 0, false};
    if (error == EEXIST && !replace) return {Failure::OutputExists, 0, false};
    return unwritable(error);
}

#ifdef ZENTORO_UNNAMED_TEMPORARY

// Puts the complete unnamed file `fd` in place, checking first whatever
// appeared at an output path that was found free.
ConversionResult placeUnnamed(const PendingOutput& output, int fd, bool replace) {
    if (interrupted.load()) return {Failure::Interrupted, 0, false};
    bool lookedAt = !output.absentWhenBegun;
    int error = putUnnamedInPlace(fd, output.path, replace && lookedAt);
    if (error == EEXIST && replace && !lookedAt) {
        ConversionResult appeared = checkAppeared(output, fd, {});
        if (!appeared.succeeded()) return appeared;
        error = interrupted.load() ? EINTR : putUnnamedInPlace(fd, output.path, true);
    }
    return placed(error, interrupted.load(), replace);
}

// The file is closed first, so that a failure to write it out is known
// before it is put in place: through a duplicate of its descriptor, which
// names it for the link, where closing may report one; where it cannot,
// the stream is closed and the descriptor it wrote to serves the link.
ConversionResult commitUnnamed(PendingOutput& output, std::FILE* file, bool replace) {
    output.unnamed = false;
    int fd = output.descriptor >= 0 ? output.descriptor : ::dup(::fileno(file));
    output.descriptor = -1;
    int error = fd < 0 ? errno : 0;
    if (std::fclose(file) != 0 && error == 0) error = errno;
    ConversionResult result = error == 0 ? placeUnnamed(output, fd, replace) : unwritable(error);
    if (fd >= 0) ::close(fd);
    return result;
}

#endif

// Puts the complete named temporary file in place, checking first whatever
// appeared at an output path that was found free.
ConversionResult placeNamed(const PendingOutput& output, bool replace) {
    if (interrupted.load()) return {Failure::Interrupted, 0, false};
    bool lookedAt = !output.absentWhenBegun;
    int error = putInPlace(output.temporaryPath, output.path, replace && lookedAt);
    if (error == EEXIST && replace && !lookedAt) {
        ConversionResult appeared = checkAppeared(output, -1, output.temporaryPath);
        if (!appeared.succeeded()) return appeared;
        error = interrupted.load() ? EINTR : putInPlace(output.temporaryPath, output.path, true);
    }
    return placed(error, interrupted.load(), replace);
}

}  // namespace

ConversionResult beginOutput(const char* path, ExistingOutput existing, PendingOutput& output, bool absent) {
    output = PendingOutput{};
    output.path = path;
    output.existing = existing;
    output.absentWhenBegun = absent;
    if (interrupted.load()) return {Failure::Interrupted, 0, false};
    if (output.path.empty()) return unwritable(ENOENT);
    int mode = -1;
    bool device = false;
    ConversionResult checked = absent ? ConversionResult{} : checkExisting(path, existing, mode, device);
    if (!checked.succeeded()) return checked;
#ifndef _WIN32
    if (device) return openInPlace(path, output);
#endif
    return createTemporary(output, mode);
}

ConversionResult commitOutput(PendingOutput& output, bool replace) {
    std::FILE* file = output.file;
    output.file = nullptr;
#ifdef ZENTORO_UNNAMED_TEMPORARY
    if (output.unnamed) return commitUnnamed(output, file, replace);
#endif
    if (std::fclose(file) != 0) {
        int error = errno;
        discardOutput(output);
        return unwritable(error);
    }
    if (output.inPlace) return {};
    ConversionResult result = placeNamed(output, replace);
    if (!result.succeeded()) discardOutput(output);
    unregisterTemporary(output.signalSlot);
    output.signalSlot = -1;
    output.temporaryPath.clear();
    return result;
}

void discardOutput(PendingOutput& output) {
    if (output.file != nullptr) std::fclose(output.file);
    output.file = nullptr;
#ifndef _WIN32
    if (output.descriptor >= 0) ::close(output.descriptor);
#endif
    output.descriptor = -1;
    output.unnamed = false;
    if (!output.temporaryPath.empty()) removeFile(output.temporaryPath);
    output.temporaryPath.clear();
    unregisterTemporary(output.signalSlot);
    output.signalSlot = -1;
}

void discardOutputFromSignal() {
    interrupted.store(true);
    for (SignalSlot& slot : signalSlots) {
        int expected = SlotRegistered;
        if (!slot.state.compare_exchange_strong(expected, SlotDiscarded)) continue;
#ifdef _WIN32
        DeleteFileW(slot.path);
#else
        ::unlink(slot.path);
#endif
    }
}

}  // namespace zentoro
