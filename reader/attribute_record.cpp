#include "reader/attribute_record.h"

#include <algorithm>
#include <span>

#include "reader/input_readers.h"

namespace zentoro {

namespace {

RecordColour readColour(ReaderState& s) {
    RecordColour colour;
    colour.red = readCountedByte(s);
    colour.green = readCountedByte(s);
    colour.blue = readCountedByte(s);
    return colour;
}

RecordBorder readBorder(ReaderState& s) {
    RecordBorder border;
    border.type = readCountedByte(s);
    border.thickness = readU32(s);
    border.colour = readColour(s);
    border.unknown = readCountedByte(s);
    return border;
}

RecordTabStop readTabStop(ReaderState& s) {
    RecordTabStop stop;
    stop.position = readU32(s);
    stop.kind = readCountedByte(s);
    return stop;
}

RecordBullet readBullet(ReaderState& s, LayerStringBuffer& nameBuffer) {
    RecordBullet bullet;
    bullet.restLength = readCountedByte(s);
    bullet.size = readU32(s);
    bullet.character = readCountedByte(s);
    bullet.indent = readCountedByte(s);
    bullet.colour = readColour(s);
    bullet.font = readLayerString(s, nameBuffer);
    return bullet;
}

}  // namespace

ValueKind valueKindOf(int id) {
    switch (id) {
        case ColourZeroId:
        case BackgroundColourId:
        case TextColourId:
        case UnknownColour26Id: return ValueKind::Colour;
        case LeftIndentId:
        case RightIndentId:
        case FirstLineIndentId:
        case LineSpacingId:
        case SpaceBeforeParagraphId:
        case SpaceAfterParagraphId:
        case BorderDistanceId:
        case DefaultTabIntervalId:
        case FontSizeId: return ValueKind::Long;
        case AlignmentId:
        case VerticalAlignmentId:
        case LineSpacingModeId:
        case KeepTogetherId:
        case KeepWithNextId:
        case PageBreakBeforeId:
        case WidowControlId:
        case WrapToCellId:
        case UnknownFlag24Id:
        case UnknownFlag27Id:
        case ItalicId:
        case BoldId:
        case VerticalPositionId:
        case UnderlineId:
        case StrikethroughId:
        case UnknownByte35Id:
        case LineFeedId: return ValueKind::Byte;
        case TopBorderId:
        case BottomBorderId:
        case LeftBorderId:
        case RightBorderId: return ValueKind::Border;
        case BulletId: return ValueKind::Bullet;
        case TabStopId: return ValueKind::TabStop;
        case FontId: return ValueKind::Font;
        case EndOfFile: return ValueKind::None;
        default: return ValueKind::Unknown;
    }
}

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

AttributeRecord readAttributeRecord(ReaderState& s, LayerStringBuffer& nameBuffer) {
    AttributeRecord record;
    record.id = readCountedByte(s);
    record.kind = valueKindOf(record.id);
    switch (record.kind) {
        case ValueKind::None:
        case ValueKind::Unknown: break;
        case ValueKind::Long: record.longValue = readU32(s); break;
        case ValueKind::Byte: record.byteValue = readCountedByte(s); break;
        case ValueKind::Colour: record.colour = readColour(s); break;
        case ValueKind::Border: record.border = readBorder(s); break;
        case ValueKind::TabStop: record.tabStop = readTabStop(s); break;
        case ValueKind::Font: record.font = readLayerString(s, nameBuffer); break;
        case ValueKind::Bullet: record.bullet = readBullet(s, nameBuffer); break;
    }
    return record;
}

}  // namespace zentoro
