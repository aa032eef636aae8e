#include "write/byte_sink.h"

#include <charconv>

namespace zentoro {

void flushSink(ByteSink& sink) {
    if (sink.used == 0) return;
    sink.bytesWritten += sink.used;
    if (sink.sizeLimit != 0 && sink.bytesWritten > sink.sizeLimit) {
        sink.failed = true;
        sink.limitReached = true;
    }
    if (!sink.failed) {
        if (sink.memory != nullptr) {
            sink.memory->append(sink.buffer.data(), sink.used);
        } else if (sink.block != nullptr) {
            sink.block->append(sink.buffer.data(), sink.used);
        } else if (sink.file != nullptr && std::fwrite(sink.buffer.data(), 1, sink.used, sink.file) != sink.used) {
            sink.failed = true;
        }
    }
    sink.used = 0;
}

void putBlock(ByteSink& sink, std::string_view block) {
    if (block.size() <= sink.buffer.size() - sink.used) {
        put(sink, block);
        return;
    }
    flushSink(sink);
    sink.bytesWritten += block.size();
    if (sink.sizeLimit != 0 && sink.bytesWritten > sink.sizeLimit) {
        sink.failed = true;
        sink.limitReached = true;
    }
    if (sink.failed) return;
    if (sink.memory != nullptr) {
        sink.memory->append(block);
    } else if (sink.block != nullptr) {
        sink.block->append(block.data(), block.size());
    } else if (sink.file != nullptr && std::fwrite(block.data(), 1, block.size(), sink.file) != block.size()) {
        sink.failed = true;
    }
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
