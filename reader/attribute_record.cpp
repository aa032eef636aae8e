#include "reader/attribute_record.h"

#include <algorithm>
#include <cstring>
#include <span>

namespace zentoro {

namespace {

// Font names are mostly shorter than this: they are copied as one block of
// this size, whatever their length, when the input holds as many bytes.
constexpr size_t ShortName = 16;

}  // namespace

// The characters are taken as one run; past the end of the input each one
// reads as EndOfFile (stored as the char -1) and is counted, as a byte read
// would be.
RecordFont readLayerString(ReaderState& s, LayerStringBuffer& buffer) {
    static_assert(ShortName < LayerStringCapacity);
    int length = readCountedByte(s);
    size_t characters = length > 1 ? static_cast<size_t>(length - 1) : 0;
    InputStream& in = s.input;
    if (characters <= ShortName && !atEnd(in) && in.size - in.pos >= ShortName) {
        std::memcpy(buffer.data(), in.data + in.pos, ShortName);
        in.pos += characters;
    } else {
        std::span<const unsigned char> run = readBytes(in, characters);
        std::copy(run.begin(), run.end(), buffer.begin());
        std::fill(buffer.begin() + static_cast<long>(run.size()), buffer.begin() + static_cast<long>(characters),
                  static_cast<char>(EndOfFile));
    }
    buffer[characters] = '\0';
    s.layerBytesRead += static_cast<uint32_t>(characters);
    RecordFont font;
    font.name = buffer.data();
    font.length = characters;
    font.screenFont = readCountedByte(s);
    return font;
}

}  // namespace zentoro
