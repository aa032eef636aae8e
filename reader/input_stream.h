// The document being read, held whole in memory, and the reading state that
// every reader of it shares.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zentoro {

// The document's bytes, read from `pos`. A position at or beyond `size` is
// the end of the input.
struct InputStream {
    const unsigned char* data = nullptr;
    size_t size = 0;
    size_t pos = 0;
    // Bytes read, counted at each seek from where reading last resumed, so
    // that counting costs nothing per byte. Once more than `readLimit` have
    // been read, the rest of the input reads as its end. 0: no limit.
    uint64_t bytesRead = 0;
    uint64_t readLimit = 0;
    size_t readingFrom = 0;
    bool readLimitExceeded = false;
    // The document is cut short or points outside itself: a read fell at or
    // past the end, or a count read from the file ran past it.
    bool endedEarly = false;
};

// What the counted and variable-length readers keep between calls.
struct ReaderState {
    InputStream input;
    uint32_t layerBytesRead = 0;  // bytes read by the counted readers in this layer
    int32_t lastCardinality = 0;  // the value the last readCardinality produced
};

}  // namespace zentoro
