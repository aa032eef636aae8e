#include "convert/document_bytes.h"

#include <algorithm>
#include <utility>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <cerrno>
#include <csetjmp>
#include <csignal>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace zentoro {

namespace {

constexpr size_t ReadChunkSize = 64 * 1024;

#ifdef _WIN32

// A disk file's size, or nothing for pipes, consoles and unknown handles.
bool diskFileSize(HANDLE file, size_t& size) {
    LARGE_INTEGER length;
    if (file == INVALID_HANDLE_VALUE || GetFileType(file) != FILE_TYPE_DISK) return false;
    if (!GetFileSizeEx(file, &length) || length.QuadPart < 0) return false;
    size = static_cast<size_t>(std::min<unsigned long long>(static_cast<unsigned long long>(length.QuadPart), MaxDocumentBytes));
    return true;
}

// Windows refuses to shorten a file while a view of it is mapped, so the
// view's pages stay valid for as long as it exists.
const unsigned char* mapView(std::FILE* stream, size_t& size) {
    auto file = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    if (!diskFileSize(file, size) || size < SmallestMappedFile) return nullptr;
    HANDLE mapping = CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    if (mapping == nullptr) return nullptr;
    void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, size);
    CloseHandle(mapping);  // the view keeps the mapping object alive
    return static_cast<const unsigned char*>(view);
}

void unmapView(const unsigned char* view, size_t) { UnmapViewOfFile(view); }

#else

const unsigned char* mapView(int fd, size_t& size) {
    struct stat status;
    if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) return nullptr;
    size = static_cast<size_t>(std::min<unsigned long long>(static_cast<unsigned long long>(status.st_size), MaxDocumentBytes));
    if (size < SmallestMappedFile) return nullptr;
    int flags = MAP_PRIVATE;
#ifdef MAP_POPULATE
    // The conversion reads nearly every page, and faulting them in one call
    // costs a fraction of faulting them one by one.
    flags |= MAP_POPULATE;
#endif
    void* view = mmap(nullptr, size, PROT_READ, flags, fd, 0);
    return view == MAP_FAILED ? nullptr : static_cast<const unsigned char*>(view);
}

const unsigned char* mapView(std::FILE* stream, size_t& size) { return mapView(fileno(stream), size); }

void unmapView(const unsigned char* view, size_t size) { munmap(const_cast<unsigned char*>(view), size); }

// A read from a mapping faults with SIGBUS when it touches a page that lies
// past the file's end because the file was shortened after it was mapped,
// or whose medium failed. The handler turns such a fault into a jump back to
// the guarded call that is reading that mapping on this thread; a fault
// anywhere else goes to whatever handled SIGBUS before.
struct FaultGuard {
    const unsigned char* begin;
    const unsigned char* end;
    sigjmp_buf resume;
};

thread_local FaultGuard* activeGuard = nullptr;

// Puts back the guard that was active before, however the guarded work
// ends: returning, throwing, or jumped out of by the handler.
struct GuardScope {
    FaultGuard* outer = activeGuard;
    GuardScope() = default;
    GuardScope(const GuardScope&) = delete;
    GuardScope& operator=(const GuardScope&) = delete;
    ~GuardScope() { activeGuard = outer; }
};

// Set once, when the handler is installed, and only read after that.
struct sigaction previousBusAction;

void passOnBusError(int signal, siginfo_t* info, void* context) {
    if ((previousBusAction.sa_flags & SA_SIGINFO) != 0 && previousBusAction.sa_sigaction != nullptr) {
        previousBusAction.sa_sigaction(signal, info, context);
        return;
    }
    if (previousBusAction.sa_handler != SIG_DFL && previousBusAction.sa_handler != SIG_IGN) {
        previousBusAction.sa_handler(signal);
        return;
    }
    // Back to the default action: a faulting read runs again and ends the
    // process, as it would have without us; a signal that another process
    // sent is raised again.
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    sigaction(SIGBUS, &fallback, nullptr);
    if (info->si_code <= 0) raise(signal);
}

void onBusError(int signal, siginfo_t* info, void* context) {
    FaultGuard* guard = activeGuard;
    auto* address = static_cast<const unsigned char*>(info->si_addr);
    if (guard != nullptr && address >= guard->begin && address < guard->end) siglongjmp(guard->resume, 1);
    passOnBusError(signal, info, context);
}

bool installBusHandler() {
    struct sigaction action {};
    action.sa_sigaction = onBusError;
    action.sa_flags = SA_SIGINFO;
    sigemptyset(&action.sa_mask);
    return sigaction(SIGBUS, &action, &previousBusAction) == 0;
}

#endif

}  // namespace

DocumentBytes::~DocumentBytes() { unmap(); }

DocumentBytes::DocumentBytes(DocumentBytes&& other) noexcept
    : mapping_(std::exchange(other.mapping_, nullptr)),
      mappedSize_(std::exchange(other.mappedSize_, 0)),
      buffer_(std::move(other.buffer_)),
      readWhole_(other.readWhole_) {}

DocumentBytes& DocumentBytes::operator=(DocumentBytes&& other) noexcept {
    if (this != &other) {
        unmap();
        mapping_ = std::exchange(other.mapping_, nullptr);
        mappedSize_ = std::exchange(other.mappedSize_, 0);
        buffer_ = std::move(other.buffer_);
        readWhole_ = other.readWhole_;
    }
    return *this;
}

void DocumentBytes::unmap() {
    if (mapping_ != nullptr) unmapView(mapping_, mappedSize_);
    mapping_ = nullptr;
    mappedSize_ = 0;
}

bool DocumentBytes::hold(const unsigned char* view, size_t size) {
    if (view == nullptr) return false;
    unmap();
    buffer_.clear();
    mapping_ = view;
    mappedSize_ = size;
    return true;
}

bool DocumentBytes::map(std::FILE* stream) {
    size_t size = 0;
    const unsigned char* view = mapView(stream, size);
    return hold(view, size);
}

#ifndef _WIN32

bool DocumentBytes::map(int fd) {
    size_t size = 0;
    const unsigned char* view = mapView(fd, size);
    return hold(view, size);
}

int DocumentBytes::read(int fd, size_t size) {
    size_t expected = std::min(size, MaxDocumentBytes);
    buffer_.reserve(std::min(MaxDocumentBytes, buffer_.size() + expected + 1));
    size_t end = buffer_.size() + expected;  // where the file is expected to end
    while (buffer_.size() < MaxDocumentBytes) {
        size_t had = buffer_.size();
        size_t want = std::min(had <= end ? end + 1 - had : ReadChunkSize, MaxDocumentBytes - had);
        buffer_.resize(had + want);
        ssize_t got = ::read(fd, buffer_.data() + had, want);
        if (got < 0) {
            int error = errno;
            buffer_.resize(had);
            if (error == EINTR) continue;
            readWhole_ = false;
            return error;
        }
        buffer_.resize(had + static_cast<size_t>(got));
        if (got == 0 || buffer_.size() == end) break;
    }
    return 0;
}

#endif

void DocumentBytes::read(std::FILE* stream, size_t count, size_t sizeHint) {
    size_t limit = std::min(MaxDocumentBytes, buffer_.size() + std::min(count, MaxDocumentBytes));
    // Room for the read that finds the end too: growing the buffer there
    // would copy the whole document and double the peak memory.
    buffer_.reserve(std::min(limit, std::max(sizeHint, buffer_.size()) + ReadChunkSize));
    while (buffer_.size() < limit) {
        size_t had = buffer_.size();
        // What the file is said to hold and a byte more, which finds its end
        // in the same read; past that, or without a size, a chunk at a time.
        size_t chunk = sizeHint > had ? sizeHint - had + 1 : ReadChunkSize;
        size_t want = std::min(chunk, limit - had);
        buffer_.resize(had + want);
        size_t got = std::fread(buffer_.data() + had, 1, want, stream);
        buffer_.resize(had + got);
        if (got < want) {
            if (std::ferror(stream) != 0) readWhole_ = false;
            break;
        }
    }
}

std::span<const unsigned char> DocumentBytes::bytes() const {
    if (mapping_ != nullptr) return {mapping_, mappedSize_};
    return {buffer_.data(), buffer_.size()};
}

bool readGuarded(const DocumentBytes& file, void (*work)(void* context), void* context) {
#ifdef _WIN32
    (void)file;
    work(context);
    return true;
#else
    if (!file.mapped()) {
        work(context);
        return true;
    }
    static const bool handlerInstalled = installBusHandler();
    if (!handlerInstalled) {
        work(context);
        return true;
    }
    std::span<const unsigned char> bytes = file.bytes();
    FaultGuard guard{bytes.data(), bytes.data() + bytes.size(), {}};
    GuardScope scope;
    // sigsetjmp saves the signal mask, so that the jump out of the handler
    // unblocks SIGBUS again.
    if (sigsetjmp(guard.resume, 1) != 0) return false;
    activeGuard = &guard;
    work(context);
    return true;
#endif
}

}  // namespace zentoro
