#include "convert/background_writer.h"

#if defined(__GLIBC__)
#define ZENTORO_BACKGROUND_WRITING 1
#include <sys/types.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>
#endif

namespace zentoro {

#if ZENTORO_BACKGROUND_WRITING

namespace {

constexpr size_t BlockBytes = 256 * 1024;
constexpr size_t Blocks = 4;

}  // namespace

// The blocks go round a ring: the stream fills the block at `filling`, and
// the thread stores the `queued` full blocks before it, oldest first.
struct BackgroundWriterState {
    std::FILE* file = nullptr;   // where the bytes are stored
    std::FILE* front = nullptr;  // the stream the conversion writes to
    // Left as it comes: every byte is written before it is stored.
    std::unique_ptr<char[]> storage = std::make_unique_for_overwrite<char[]>(Blocks * BlockBytes);
    std::array<size_t, Blocks> sizes{};
    size_t filling = 0;
    size_t queued = 0;
    bool stopping = false;
    int error = 0;  // errno of the first write to the file that failed
    std::mutex mutex;
    std::condition_variable blockQueued;
    std::condition_variable blockStored;
    std::thread thread;

    char* block(size_t index) { return storage.get() + index * BlockBytes; }
};

namespace {

void storeBlocks(BackgroundWriterState& s) {
    std::unique_lock lock(s.mutex);
    size_t storing = 0;
    for (;;) {
        s.blockQueued.wait(lock, [&] { return s.queued > 0 || s.stopping; });
        if (s.queued == 0) return;
        size_t size = s.sizes[storing];
        bool failedBefore = s.error != 0;
        lock.unlock();
        int error = 0;
        if (!failedBefore && std::fwrite(s.block(storing), 1, size, s.file) != size) error = errno != 0 ? errno : EIO;
        lock.lock();
        if (s.error == 0) s.error = error;
        storing = (storing + 1) % Blocks;
        --s.queued;
        s.blockStored.notify_one();
    }
}

// Queues the full block and waits for a free one. Returns the errno of a
// write to the file that failed so far, or 0.
int handOver(BackgroundWriterState& s) {
    std::unique_lock lock(s.mutex);
    ++s.queued;
    s.blockQueued.notify_one();
    s.blockStored.wait(lock, [&] { return s.queued < Blocks; });
    s.filling = (s.filling + 1) % Blocks;
    s.sizes[s.filling] = 0;
    return s.error;
}

ssize_t writeToQueue(void* cookie, const char* data, size_t size) {
    auto& s = *static_cast<BackgroundWriterState*>(cookie);
    size_t done = 0;
    while (done < size) {
        size_t& used = s.sizes[s.filling];
        size_t part = std::min(size - done, BlockBytes - used);
        std::memcpy(s.block(s.filling) + used, data + done, part);
        used += part;
        done += part;
        if (used < BlockBytes) continue;
        if (int error = handOver(s); error != 0) {
            errno = error;
            return 0;  // a custom stream's failed write returns 0, never a negative count
        }
    }
    return static_cast<ssize_t>(size);
}

int closeFront(void*) { return 0; }  // the file itself is closed by its owner

}  // namespace

BackgroundWriter::BackgroundWriter() = default;

BackgroundWriter::~BackgroundWriter() { finish(); }

std::FILE* BackgroundWriter::begin(std::FILE* file) {
    std::unique_ptr<BackgroundWriterState> s;
    try {
        s = std::make_unique<BackgroundWriterState>();
    } catch (const std::bad_alloc&) {
        return file;
    }
    s->file = file;
    cookie_io_functions_t io{nullptr, writeToQueue, nullptr, closeFront};
    s->front = fopencookie(s.get(), "w", io);
    if (s->front == nullptr) return file;
    std::setvbuf(s->front, nullptr, _IONBF, 0);  // whole buffers from the conversion go straight to the blocks
    try {
        s->thread = std::thread(storeBlocks, std::ref(*s));
    } catch (const std::system_error&) {
        std::fclose(s->front);
        return file;
    }
    state_ = std::move(s);
    return state_->front;
}

int BackgroundWriter::finish() {
    if (!state_) return 0;
    BackgroundWriterState& s = *state_;
    {
        std::lock_guard lock(s.mutex);
        if (s.sizes[s.filling] > 0) ++s.queued;
        s.stopping = true;
    }
    s.blockQueued.notify_one();
    s.thread.join();
    std::fclose(s.front);
    int error = s.error;
    state_.reset();
    return error;
}

#else

struct BackgroundWriterState {};

BackgroundWriter::BackgroundWriter() = default;
BackgroundWriter::~BackgroundWriter() = default;
std::FILE* BackgroundWriter::begin(std::FILE* file) { return file; }
int BackgroundWriter::finish() { return 0; }

#endif

}  // namespace zentoro
