// Stores a large output on a second thread while the conversion goes on, so
// that the system's copying of the bytes into the file overlaps the
// translation instead of adding to it. The conversion writes to a stream in
// front of the file; the stream hands whole blocks to the thread. Where no
// such stream or thread can be had (the C library offers no custom streams,
// or the thread does not start), the conversion writes to the file itself.
#pragma once

#include <cstdio>
#include <memory>

namespace zentoro {

struct BackgroundWriterState;

class BackgroundWriter {
public:
    BackgroundWriter();
    ~BackgroundWriter();  // finishes, if finish() was not called
    BackgroundWriter(const BackgroundWriter&) = delete;
    BackgroundWriter& operator=(const BackgroundWriter&) = delete;

    // The stream to write to: one in front of `file`, or `file` itself.
    std::FILE* begin(std::FILE* file);

    // Stores what is still queued and stops the thread. Returns the errno of
    // the first write to the file that failed, or 0. Once a write has
    // failed, writes to the stream fail too.
    int finish();

private:
    std::unique_ptr<BackgroundWriterState> state_;
};

// Outputs from documents this large are written in the background; for
// smaller ones a thread costs more than it saves.
inline constexpr size_t BackgroundWritingFrom = 1024 * 1024;

}  // namespace zentoro
