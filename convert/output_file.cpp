#include "convert/output_file.h"
#include "convert/native_path.h"

#include <cerrno>
#include <chrono>
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
    for (int i = 0; i < SignalSlots; ++i) {
        int expected = SlotFree;
        if (!signalSlots[i].state.compare_exchange_strong(expected, SlotFilling)) continue;
        std::memcpy(signalSlots[i].path, path.c_str(), (path.size() + 1) * sizeof(SystemPath::value_type));
        signalSlots[i].state.store(SlotRegistered);
        return i;
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
int createUnnamed(const std::string& output) {
    if (!openFilesHaveNames()) return -1;
    std::filesystem::path folder = pathFromNative(output).parent_path();
    std::string where = folder.empty() ? std::string(".") : nativeFromPath(folder);
    return ::open(where.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
}

// Gives the unnamed file `fd` the name `path`, which must be free; returns 0
// or the errno value of the failure.
int linkUnnamed(int fd, const std::string& path) {
    char name[40];
    std::snprintf(name, sizeof name, "/proc/self/fd/%d", fd);
    return ::linkat(AT_FDCWD, name, AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0 ? 0 : errno;
}

#endif

bool headerIsWordDocument(std::FILE* file) {
    unsigned char header[WordHeaderCheckSize];
    InputStream in{header, std::fread(header, 1, sizeof header, file), 0};
    return hasWordHeaderUids(in);
}

#ifndef _WIN32

bool isWordDocument(const char* path) {
    int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return false;
    std::FILE* file = ::fdopen(fd, "rb");
    if (file == nullptr) {
        ::close(fd);
        return false;
    }
    bool word = headerIsWordDocument(file);
    std::fclose(file);
    return word;
}

// Opens a device or FIFO for writing without waiting for a reader.
ConversionResult openInPlace(const char* path, PendingOutput& output) {
    int fd = ::open(path, O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return unwritable(errno);
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    output.file = ::fdopen(fd, "wb");
    if (output.file == nullptr) {
        int error = errno;
        ::close(fd);
        return unwritable(error);
    }
    output.inPlace = true;
    return {};
}

int createExclusively(const std::string& path) {
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
}

#else

bool isWordDocument(const char* path) {
    std::FILE* file = ::_wfopen(extendedLengthPath(path).c_str(), L"rb");
    if (file == nullptr) return false;
    bool word = headerIsWordDocument(file);
    std::fclose(file);
    return word;
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
// there, which the new output takes over.
ConversionResult checkExisting(const char* path, ExistingOutput existing, PendingOutput& output, int& mode) {
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
    bool device = S_ISCHR(own.st_mode) || S_ISFIFO(own.st_mode) || S_ISSOCK(own.st_mode) || S_ISBLK(own.st_mode);
    if (S_ISLNK(own.st_mode) && ::stat(path, &target) == 0) {
        device = S_ISCHR(target.st_mode) || S_ISFIFO(target.st_mode) || S_ISSOCK(target.st_mode);
    }
    // A link to a file or folder, or a dangling one, is replaced by the rename.
    return device ? openInPlace(path, output) : ConversionResult{};
#else
    (void)output;
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
    if (int fd = createUnnamed(output.path); fd >= 0) {
        if (mode >= 0) (void)::fchmod(fd, static_cast<mode_t>(mode));
        output.file = ::fdopen(fd, "wb");
        if (output.file == nullptr) {
            int error = errno;
            ::close(fd);
            return unwritable(error);
        }
        output.unnamed = true;
        return {};
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

// The file is closed first, through a duplicate of its descriptor, so that a
// failure to write it out is known before it is put in place.
ConversionResult commitUnnamed(PendingOutput& output, std::FILE* file, bool replace) {
    output.unnamed = false;
    int fd = ::dup(::fileno(file));
    int error = fd < 0 ? errno : 0;
    if (std::fclose(file) != 0 && error == 0) error = errno;
    if (error == 0) error = interrupted.load() ? EINTR : putUnnamedInPlace(fd, output.path, replace);
    bool stopped = interrupted.load();
    if (fd >= 0) ::close(fd);
    if (error == 0) return {};
    if (stopped) return {Failure::Interrupted, 0, false};
    if (error == EEXIST && !replace) return {Failure::OutputExists, 0, false};
    return unwritable(error);
}

#endif

}  // namespace

ConversionResult beginOutput(const char* path, ExistingOutput existing, PendingOutput& output) {
    output = PendingOutput{};
    output.path = path;
    if (interrupted.load()) return {Failure::Interrupted, 0, false};
    if (output.path.empty()) return unwritable(ENOENT);
    int mode = -1;
    ConversionResult checked = checkExisting(path, existing, output, mode);
    if (!checked.succeeded() || output.inPlace) return checked;
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
    int error = interrupted.load() ? EINTR : putInPlace(output.temporaryPath, output.path, replace);
    bool stopped = interrupted.load();
    if (error != 0) discardOutput(output);
    unregisterTemporary(output.signalSlot);
    output.signalSlot = -1;
    output.temporaryPath.clear();
    if (error == 0) return {};
    if (stopped) return {Failure::Interrupted, 0, false};
    if (error == EEXIST && !replace) return {Failure::OutputExists, 0, false};
    return unwritable(error);
}

void discardOutput(PendingOutput& output) {
    if (output.file != nullptr) std::fclose(output.file);
    output.file = nullptr;
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
