#include "convert/paragraph_pipeline.h"

#if defined(__GLIBC__)
#define ZENTORO_PIPELINED_WRITING 1
#include <algorithm>
#include <array>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>
#include <vector>
#endif

namespace zentoro {

#if ZENTORO_PIPELINED_WRITING

namespace {

constexpr size_t Batches = 4;
// A batch is handed over at this many paragraphs or bytes of runs and text,
// whichever comes first: large enough that the threads seldom wait on each
// other, small enough to stay in the processor's cache between them.
constexpr size_t BatchParagraphs = 256;
constexpr size_t BatchBytes = 256 * 1024;

struct Batch {
    std::vector<Paragraph> paragraphs;  // the first `count`; the rest keep their storage for reuse
    size_t count = 0;
    size_t bytes = 0;
};

size_t bytesOf(const Paragraph& paragraph) {
    size_t bytes = sizeof(Paragraph);
    for (const Run& run : paragraph.runs) bytes += sizeof(Run) + run.text.size();
    return bytes;
}

bool showsObject(const Paragraph& paragraph) {
    return std::any_of(paragraph.runs.begin(), paragraph.runs.end(),
                       [](const Run& run) { return run.kind == RunKind::Object; });
}

}  // namespace

// The batches go round a ring: the reading thread fills the batch at
// `filling`, and the writing thread writes the `queued` full ones before it,
// oldest first.
struct ParagraphPipelineState {
    ParagraphPipeline::Write write;
    std::array<Batch, Batches> batches;
    size_t filling = 0;
    size_t queued = 0;
    bool stopping = false;
    std::exception_ptr failure;  // the first thing `write` threw; later batches are not written
    bool failureThrown = false;  // on the reading thread already
    std::mutex mutex;
    std::condition_variable batchQueued;
    std::condition_variable batchWritten;
    std::thread thread;
};

namespace {

using State = ParagraphPipelineState;

void writeBatches(State& s) {
    std::unique_lock lock(s.mutex);
    size_t writing = 0;
    for (;;) {
        s.batchQueued.wait(lock, [&] { return s.queued > 0 || s.stopping; });
        if (s.queued == 0) return;
        const Batch& batch = s.batches[writing];
        bool failedBefore = s.failure != nullptr;
        lock.unlock();
        std::exception_ptr failure;
        if (!failedBefore) {
            try {
                for (size_t i = 0; i < batch.count; ++i) s.write(batch.paragraphs[i]);
            } catch (...) {
                failure = std::current_exception();
            }
        }
        lock.lock();
        if (!s.failure) s.failure = failure;
        writing = (writing + 1) % Batches;
        --s.queued;
        s.batchWritten.notify_one();
    }
}

void throwFailureOnce(State& s) {
    if (!s.failure || s.failureThrown) return;
    s.failureThrown = true;
    std::rethrow_exception(s.failure);
}

// Queues the batch being filled and takes the next, once it is written; with
// `drain`, once every queued batch is.
void queueFilling(State& s, bool drain) {
    std::unique_lock lock(s.mutex);
    ++s.queued;
    s.batchQueued.notify_one();
    s.batchWritten.wait(lock, [&] { return drain ? s.queued == 0 : s.queued < Batches; });
    s.filling = (s.filling + 1) % Batches;
    s.batches[s.filling].count = 0;
    s.batches[s.filling].bytes = 0;
    throwFailureOnce(s);
}

void stop(State& s) {
    {
        std::lock_guard lock(s.mutex);
        if (s.batches[s.filling].count > 0) ++s.queued;
        s.stopping = true;
    }
    s.batchQueued.notify_one();
    s.thread.join();
}

}  // namespace

ParagraphPipeline::ParagraphPipeline() = default;

ParagraphPipeline::~ParagraphPipeline() {
    if (state_) stop(*state_);
}

bool ParagraphPipeline::begin(Write write) {
    try {
        auto s = std::make_unique<State>();
        s->write = std::move(write);
        s->thread = std::thread(writeBatches, std::ref(*s));
        state_ = std::move(s);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::system_error&) {
        return false;
    }
}

void ParagraphPipeline::hand(Paragraph& paragraph) {
    State& s = *state_;
    Batch& batch = s.batches[s.filling];
    if (batch.count == batch.paragraphs.size()) batch.paragraphs.emplace_back();
    Paragraph& queued = batch.paragraphs[batch.count++];
    queued.style = paragraph.style;
    queued.format = paragraph.format;
    queued.markFormat = paragraph.markFormat;
    queued.runs.swap(paragraph.runs);  // the reader reuses the storage of the runs written before
    batch.bytes += bytesOf(queued);
    bool object = showsObject(queued);
    if (object || batch.count == BatchParagraphs || batch.bytes >= BatchBytes) queueFilling(s, object);
}

void ParagraphPipeline::finish() {
    if (!state_) return;
    stop(*state_);
    std::unique_ptr<State> s = std::move(state_);
    throwFailureOnce(*s);
}

#else

struct ParagraphPipelineState {};

ParagraphPipeline::ParagraphPipeline() = default;
ParagraphPipeline::~ParagraphPipeline() = default;
bool ParagraphPipeline::begin(Write) { return false; }
void ParagraphPipeline::hand(Paragraph&) {}
void ParagraphPipeline::finish() {}

#endif

}  // namespace zentoro
