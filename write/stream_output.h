// A writer's output: text gathered in a buffer and written to a C stream in
// large pieces, with a failed write remembered rather than ignored.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace zentoro {

class StreamOutput {
public:
    explicit StreamOutput(std::FILE* file) : file_(file) {}
    StreamOutput(const StreamOutput&) = delete;
    StreamOutput& operator=(const StreamOutput&) = delete;

    void put(std::string_view text) {
        buffer_ += text;
        if (buffer_.size() >= FlushSize) flush();
    }
    void put(char c) {
        buffer_ += c;
        if (buffer_.size() >= FlushSize) flush();
    }

    // Writes out what is buffered and flushes the stream; false when
    // anything written so far was lost.
    bool finish();

private:
    static constexpr size_t FlushSize = 64 * 1024;
    void flush();

    std::FILE* file_;
    std::string buffer_;
    bool failed_ = false;
};

}  // namespace zentoro
