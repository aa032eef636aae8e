#include "write/stream_output.h"

namespace zentoro {

void StreamOutput::flush() {
    if (!buffer_.empty() && !failed_) {
        failed_ = file_ == nullptr || std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size();
    }
    buffer_.clear();
}

bool StreamOutput::finish() {
    flush();
    if (file_ == nullptr) return false;
    if (!failed_ && (std::fflush(file_) != 0 || std::ferror(file_))) failed_ = true;
    return !failed_;
}

}  // namespace zentoro
