#include "write/byte_sink.h"

#include <charconv>

namespace zentoro {

namespace {

// Counts `size` bytes against the limit and stores them in the destination,
// unless the sink has failed.
void store(ByteSink& sink, const char* bytes, size_t size) {
    sink.bytesWritten += size;
    if (sink.sizeLimit != 0 && sink.bytesWritten > sink.sizeLimit) {
        sink.failed = true;
        sink.limitReached = true;
    }
    if (sink.failed) return;
    if (sink.memory != nullptr) {
        sink.memory->append(bytes, size);
    } else if (sink.block != nullptr) {
        sink.block->append(bytes, size);
    } else if (sink.file != nullptr && std::fwrite(bytes, 1, size, sink.file) != size) {
        sink.failed = true;
    }
}

}  // namespace

void flushSink(ByteSink& sink) {
    if (sink.used == 0) return;
    store(sink, sink.buffer.data(), sink.used);
    sink.used = 0;
}

void putBlock(ByteSink& sink, std::string_view block) {
    if (block.size() <= sink.buffer.size() - sink.used) {
        put(sink, block);
        return;
    }
    flushSink(sink);
    store(sink, block.data(), block.size());
}

void putNumber(ByteSink& sink, int64_t value) {
    // Straight into the buffer where it has room for any number.
    if (sink.buffer.size() - sink.used >= 20) {
        char* at = sink.buffer.data() + sink.used;
        sink.used += static_cast<size_t>(std::to_chars(at, at + 20, value).ptr - at);
        return;
    }
    char digits[24];
    auto result = std::to_chars(digits, digits + sizeof digits, value);
    put(sink, std::string_view(digits, static_cast<size_t>(result.ptr - digits)));
}

bool finishSink(ByteSink& sink) {
    flushSink(sink);
    if (sink.file != nullptr && std::fflush(sink.file) != 0) sink.failed = true;
    return !sink.failed;
}

}  // namespace zentoro
