#include "bench/copy_floor.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>

namespace zentoro::bench {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// Writes up to `size` bytes of `chunk`, no more than the output still needs.
bool writeUpTo(std::FILE* output, const char* chunk, size_t size, uint64_t outputSize, uint64_t& written) {
    size_t want = static_cast<size_t>(std::min<uint64_t>(size, outputSize - written));
    written += want;
    return std::fwrite(chunk, 1, want, output) == want;
}

}  // namespace

bool copyToSize(const char* inputPath, const char* outputPath, uint64_t outputSize) {
    File input(std::fopen(inputPath, "rb"));
    File output(std::fopen(outputPath, "wb"));
    if (!input || !output) return false;
    static std::array<char, CopyChunkSize> chunk;
    uint64_t written = 0;
    size_t filled = CopyChunkSize;
    while (size_t got = std::fread(chunk.data(), 1, chunk.size(), input.get())) {
        filled = got;
        if (!writeUpTo(output.get(), chunk.data(), got, outputSize, written)) return false;
    }
    while (written < outputSize) {
        if (!writeUpTo(output.get(), chunk.data(), filled, outputSize, written)) return false;
    }
    return std::fclose(output.release()) == 0;
}

}  // namespace zentoro::bench
