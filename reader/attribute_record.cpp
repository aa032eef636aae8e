#include "reader/attribute_record.h"

#include <algorithm>
#include <span>

namespace zentoro {

// The characters are taken as one run; past the end of the input each one
// reads as EndOfFile (stored as the char -1) and is counted, as a byte read
// would be.
RecordFont readLayerString(ReaderState& s, LayerStringBuffer& buffer) {
    int length = readCountedByte(s);
    size_t characters = length > 1 ? static_cast<size_t>(length - 1) : 0;
    std::span<const unsigned char> run = readBytes(s.input, characters);
    std::copy(run.begin(), run.end(), buffer.begin());
    std::fill(buffer.begin() + static_cast<long>(run.size()), buffer.begin() + static_cast<long>(characters),
              static_cast<char>(EndOfFile));
    buffer[characters] = '\0';
    s.layerBytesRead += static_cast<uint32_t>(characters);
    RecordFont font;
    font.name = buffer.data();
    font.length = characters;
    font.screenFont = readCountedByte(s);
    return font;
}

}  // namespace zentoro
