#include "rtf/shared_format_list.h"

#include "reader/input_readers.h"
#include "rtf/attribute_layer.h"

namespace zentoro {

namespace {

// Walks on from where the index ends until it holds `wanted` entries or the
// input ends. An entry whose start lies at the end of the input is missing.
void extendIndex(ConversionState& s, int wanted) {
    SharedFormatIndex& index = s.sharedFormats;
    seek(s, index.walkEnd);
    while (index.indexed < wanted && moreToRead(s)) {
        index.entryStart[static_cast<size_t>(++index.indexed)] = tell(s);
        skipSharedFormat(s);
        index.walkEnd = tell(s);
    }
}

}  // namespace

void skipSharedFormat(ConversionState& s) {
    readU32(s);
    translateAttributeLayer(s, SkipLayer);
    readByte(s);
    translateAttributeLayer(s, SkipLayer);
}

void indexSharedFormats(ConversionState& s) {
    SharedFormatIndex& index = s.sharedFormats;
    seek(s, s.formatListPos);
    int count = readByte(s);
    index.built = true;
    index.listPos = s.formatListPos;
    index.indexed = 0;
    index.walkEnd = tell(s);
    extendIndex(s, count);
}

std::optional<int32_t> sharedFormatStart(ConversionState& s, int ref) {
    if (ref < 1 || ref > MaxSharedFormats) return std::nullopt;
    SharedFormatIndex& index = s.sharedFormats;
    if (!index.built || index.listPos != s.formatListPos) indexSharedFormats(s);
    if (ref > index.indexed) extendIndex(s, ref);
    if (ref > index.indexed) return std::nullopt;
    return index.entryStart[static_cast<size_t>(ref)];
}

}  // namespace zentoro
