#include "rtf/rtf_output.h"

#include <cerrno>
#include <charconv>

namespace zentoro {

void flushOutput(RtfOutput& out) {
    if (out.used == 0) return;
    out.bytesWritten += out.used;
    if (out.sizeLimit != 0 && out.bytesWritten > out.sizeLimit) out.failed = true;
    if (out.file != nullptr && !out.failed &&
        std::fwrite(out.buffer.data(), 1, out.used, out.file) != out.used) {
        out.failed = true;
        out.systemError = errno;
    }
    out.used = 0;
}

void writeNumber(RtfOutput& out, int64_t value) {
    constexpr size_t LongestNumber = 20;  // a sign and 19 digits
    char* end = out.buffer.data() + out.buffer.size();
    if (static_cast<size_t>(end - (out.buffer.data() + out.used)) >= LongestNumber) {
        out.used = static_cast<size_t>(std::to_chars(out.buffer.data() + out.used, end, value).ptr - out.buffer.data());
        return;
    }
    char digits[24];
    auto result = std::to_chars(digits, digits + sizeof digits, value);
    writeLiteral(out, std::string_view(digits, static_cast<size_t>(result.ptr - digits)));
}

bool finishOutput(RtfOutput& out) {
    flushOutput(out);
    if (out.file != nullptr && !out.failed && std::fflush(out.file) != 0) {
        out.failed = true;
        out.systemError = errno;
    }
    return !out.failed;
}

}  // namespace zentoro
