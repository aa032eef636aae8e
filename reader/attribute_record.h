// One attribute record of a layer, read and typed; every reader of the
// document's formatting decodes records here.
//
// Contract:
// - readAttributeRecord reads exactly one record at the input position: its
//   id byte and the value whose size the id decides, every byte through the
//   counted readers, so layerBytesRead grows by the record's size and the end
//   of the input behaves as in every other read (each byte there reads as
//   EndOfFile and is counted).
// - The value is returned typed: a long as read (32 bits), a byte, a colour,
//   a border, a tab stop, a font or a bullet. A byte read at the end of the
//   input is EndOfFile (-1), a long there takes the readers' arithmetic.
// - An id whose value size is not known comes back as ValueKind::Unknown
//   with only its own byte consumed: records carry no length, so the caller
//   must end the layer there and move to the layer's declared end.
// - An id of EndOfFile (the input ended) comes back as ValueKind::None,
//   having consumed only itself.
// - A font name is stored in the caller's buffer, zero-terminated; a
//   character past the end of the input is stored as the char EndOfFile.
//   Nothing is allocated.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "reader/input_readers.h"
#include "reader/input_stream.h"

namespace zentoro {

// A layer string holds at most 254 characters (its length byte is n + 1).
inline constexpr size_t LayerStringCapacity = 256;
using LayerStringBuffer = std::array<char, LayerStringCapacity>;

// Attribute ids, each followed by a value whose size the id alone decides.
enum AttributeId : int {
    ColourZeroId = 0,  // a colour; not described, never seen
    BackgroundColourId = 1,
    LeftIndentId = 2,
    RightIndentId = 3,
    FirstLineIndentId = 4,
    AlignmentId = 5,
    VerticalAlignmentId = 6,
    LineSpacingId = 7,
    LineSpacingModeId = 8,
    SpaceBeforeParagraphId = 9,  // named for its meaning on the device
    SpaceAfterParagraphId = 10,
    KeepTogetherId = 11,
    KeepWithNextId = 12,
    PageBreakBeforeId = 13,
    WidowControlId = 14,
    WrapToCellId = 15,
    BorderDistanceId = 16,
    TopBorderId = 17,
    BottomBorderId = 18,
    LeftBorderId = 19,
    RightBorderId = 20,
    BulletId = 21,
    DefaultTabIntervalId = 22,
    TabStopId = 23,
    UnknownFlag24Id = 24,
    TextColourId = 25,
    UnknownColour26Id = 26,
    UnknownFlag27Id = 27,
    FontSizeId = 28,
    ItalicId = 29,
    BoldId = 30,
    VerticalPositionId = 31,
    UnderlineId = 32,
    StrikethroughId = 33,
    FontId = 34,
    UnknownByte35Id = 35,
    LineFeedId = 36,
};

enum class ValueKind { None, Unknown, Long, Byte, Colour, Border, TabStop, Font, Bullet };

// Byte fields hold 0..255, or EndOfFile where the input ended.
struct RecordColour {
    int red = 0;
    int green = 0;
    int blue = 0;
};

struct RecordBorder {
    int type = 0;  // 0 none, 1 solid, 2 double, 3 dotted, 4 dashed, 5 dot-dash, 6 dot-dot-dash
    uint32_t thickness = 0;
    RecordColour colour;
    int unknown = 0;
};

struct RecordTabStop {
    uint32_t position = 0;
    int kind = 0;
};

// A layer string: `length` characters in the caller's buffer, then the
// trailing byte (for a font, its screen-font class).
struct RecordFont {
    const char* name = nullptr;  // zero-terminated, in the caller's buffer
    size_t length = 0;
    int screenFont = 0;
};

struct RecordBullet {
    int restLength = 0;
    uint32_t size = 0;  // twips
    int character = 0;
    int indent = 0;
    RecordColour colour;
    RecordFont font;
};

struct AttributeRecord {
    int id = 0;  // 0..255, or EndOfFile
    ValueKind kind = ValueKind::None;
    uint32_t longValue = 0;
    int byteValue = 0;
    RecordColour colour;
    RecordBorder border;
    RecordTabStop tabStop;
    RecordFont font;
    RecordBullet bullet;
};

// Reads a layer string (length byte n, n - 1 characters, one trailing byte)
// with counted reads into `buffer`, zero-terminated.
RecordFont readLayerString(ReaderState& s, LayerStringBuffer& buffer);

// The value that follows `id`: Unknown for an id whose size is not known,
// None for EndOfFile.
constexpr ValueKind valueKindOf(int id) {
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

// The value readers. Inline, like the byte readers under them: a record is
// read for every attribute of every phrase, and the translator's loop over
// a layer is the conversion's hottest after the text.
inline RecordColour readRecordColour(ReaderState& s) {
    RecordColour colour;
    colour.red = readCountedByte(s);
    colour.green = readCountedByte(s);
    colour.blue = readCountedByte(s);
    return colour;
}

inline RecordBorder readRecordBorder(ReaderState& s) {
    RecordBorder border;
    border.type = readCountedByte(s);
    border.thickness = readU32(s);
    border.colour = readRecordColour(s);
    border.unknown = readCountedByte(s);
    return border;
}

inline RecordTabStop readRecordTabStop(ReaderState& s) {
    RecordTabStop stop;
    stop.position = readU32(s);
    stop.kind = readCountedByte(s);
    return stop;
}

inline RecordBullet readRecordBullet(ReaderState& s, LayerStringBuffer& nameBuffer) {
    RecordBullet bullet;
    bullet.restLength = readCountedByte(s);
    bullet.size = readU32(s);
    bullet.character = readCountedByte(s);
    bullet.indent = readCountedByte(s);
    bullet.colour = readRecordColour(s);
    bullet.font = readLayerString(s, nameBuffer);
    return bullet;
}

// Reads one record; a font name, also a bullet's, goes into `nameBuffer`.
inline AttributeRecord readAttributeRecord(ReaderState& s, LayerStringBuffer& nameBuffer) {
    AttributeRecord record;
    record.id = readCountedByte(s);
    record.kind = valueKindOf(record.id);
    switch (record.kind) {
        case ValueKind::None:
        case ValueKind::Unknown: break;
        case ValueKind::Long: record.longValue = readU32(s); break;
        case ValueKind::Byte: record.byteValue = readCountedByte(s); break;
        case ValueKind::Colour: record.colour = readRecordColour(s); break;
        case ValueKind::Border: record.border = readRecordBorder(s); break;
        case ValueKind::TabStop: record.tabStop = readRecordTabStop(s); break;
        case ValueKind::Font: record.font = readLayerString(s, nameBuffer); break;
        case ValueKind::Bullet: record.bullet = readRecordBullet(s, nameBuffer); break;
    }
    return record;
}

}  // namespace zentoro
