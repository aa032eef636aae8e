// The attribute record decoder: every id's value size and typed value, the
// ids it cannot size, and records that the input's end cuts short.
#include <gtest/gtest.h>

#include <string>

#include "reader/attribute_record.h"
#include "reader/input_readers.h"
#include "tests/builder/document_builder.h"

namespace zentoro {
namespace {

using namespace testing;

struct Decoded {
    AttributeRecord record;
    std::string name;
    int32_t consumed;
    uint32_t counted;
};

Decoded decode(const Bytes& bytes) {
    static LayerStringBuffer buffer;
    ReaderState s;
    s.input = InputStream{bytes.data.data(), bytes.data.size(), 0};
    AttributeRecord record = readAttributeRecord(s, buffer);
    std::string name = record.kind == ValueKind::Font     ? record.font.name
                       : record.kind == ValueKind::Bullet ? record.bullet.font.name
                                                          : "";
    return {record, name, tell(s), s.layerBytesRead};
}

struct SizeCase {
    int id;
    ValueKind kind;
    int valueSize;
};

// Each id followed by enough bytes for any value: the id decides how many
// are taken, and all of them are counted.
TEST(AttributeRecord, EveryIdTakesItsValueSize) {
    const SizeCase cases[] = {
        {0, ValueKind::Colour, 3},  {1, ValueKind::Colour, 3},  {2, ValueKind::Long, 4},
        {3, ValueKind::Long, 4},    {4, ValueKind::Long, 4},    {5, ValueKind::Byte, 1},
        {6, ValueKind::Byte, 1},    {7, ValueKind::Long, 4},    {8, ValueKind::Byte, 1},
        {9, ValueKind::Long, 4},    {10, ValueKind::Long, 4},   {11, ValueKind::Byte, 1},
        {12, ValueKind::Byte, 1},   {13, ValueKind::Byte, 1},   {14, ValueKind::Byte, 1},
        {15, ValueKind::Byte, 1},   {16, ValueKind::Long, 4},   {17, ValueKind::Border, 9},
        {18, ValueKind::Border, 9}, {19, ValueKind::Border, 9}, {20, ValueKind::Border, 9},
        {22, ValueKind::Long, 4},   {23, ValueKind::TabStop, 5}, {24, ValueKind::Byte, 1},
        {25, ValueKind::Colour, 3}, {26, ValueKind::Colour, 3}, {27, ValueKind::Byte, 1},
        {28, ValueKind::Long, 4},   {29, ValueKind::Byte, 1},   {30, ValueKind::Byte, 1},
        {31, ValueKind::Byte, 1},   {32, ValueKind::Byte, 1},   {33, ValueKind::Byte, 1},
        {35, ValueKind::Byte, 1},   {36, ValueKind::Byte, 1},   {37, ValueKind::Unknown, 0},
        {99, ValueKind::Unknown, 0}, {255, ValueKind::Unknown, 0},
    };
    for (const SizeCase& c : cases) {
        Decoded d = decode(Bytes().u8(c.id).fill(12, 0x11));
        EXPECT_EQ(d.record.id, c.id);
        EXPECT_EQ(d.record.kind, c.kind) << c.id;
        EXPECT_EQ(d.consumed, 1 + c.valueSize) << c.id;
        EXPECT_EQ(d.counted, static_cast<uint32_t>(1 + c.valueSize)) << c.id;
    }
}

TEST(AttributeRecord, ValuesAreTyped) {
    Decoded longValue = decode(Bytes().u8(4).u32(0xFFFFFEE8));
    EXPECT_EQ(static_cast<int32_t>(longValue.record.longValue), -280);

    Decoded colour = decode(Bytes().u8(25).u8(85).u8(170).u8(255));
    EXPECT_EQ(colour.record.colour.red, 85);
    EXPECT_EQ(colour.record.colour.green, 170);
    EXPECT_EQ(colour.record.colour.blue, 255);

    Decoded border = decode(Bytes().u8(18).u8(2).u32(30).u8(1).u8(2).u8(3).u8(9));
    EXPECT_EQ(border.record.border.type, 2);
    EXPECT_EQ(border.record.border.thickness, 30u);
    EXPECT_EQ(border.record.border.colour.blue, 3);
    EXPECT_EQ(border.record.border.unknown, 9);

    Decoded tab = decode(Bytes().u8(23).u32(720).u8(3));
    EXPECT_EQ(tab.record.tabStop.position, 720u);
    EXPECT_EQ(tab.record.tabStop.kind, 3);

    Decoded font = decode(Bytes().u8(34).layerString("CG Times", 3));
    EXPECT_EQ(font.name, "CG Times");
    EXPECT_EQ(font.record.font.length, 8u);
    EXPECT_EQ(font.record.font.screenFont, 3);
    EXPECT_EQ(font.consumed, 1 + 1 + 8 + 1);

    // The device's "Euro-sign bullet in dark grey, 10 pts, without indentation".
    Decoded bullet = decode(Bytes().u8(21).u8(18).u32(200).u8(0x80).u8(0).u8(55).u8(55).u8(55).layerString("Arial", 1));
    EXPECT_EQ(bullet.record.bullet.size, 200u);
    EXPECT_EQ(bullet.record.bullet.character, 0x80);
    EXPECT_EQ(bullet.record.bullet.indent, 0);
    EXPECT_EQ(bullet.record.bullet.colour.red, 55);
    EXPECT_EQ(bullet.name, "Arial");
    EXPECT_EQ(bullet.record.bullet.font.screenFont, 1);
    EXPECT_EQ(bullet.consumed, 1 + 10 + 7);
}

// Past the end every byte reads as EndOfFile and still counts, so a layer
// walk over a cut record stays in step with its length.
TEST(AttributeRecord, TheInputsEndReadsAsEndOfFileAndIsCounted) {
    Decoded noId = decode(Bytes());
    EXPECT_EQ(noId.record.id, EndOfFile);
    EXPECT_EQ(noId.record.kind, ValueKind::None);
    EXPECT_EQ(noId.counted, 1u);

    Decoded cutLong = decode(Bytes().u8(2).u8(0x37).u8(0));
    EXPECT_EQ(cutLong.record.longValue, 0xFEFF0037u);
    EXPECT_EQ(cutLong.counted, 5u);

    Decoded cutByte = decode(Bytes().u8(29));
    EXPECT_EQ(cutByte.record.byteValue, EndOfFile);

    Decoded cutName = decode(Bytes().u8(34).u8(6).text("Ar"));
    EXPECT_EQ(cutName.name, std::string("Ar") + std::string(3, '\xFF'));
    EXPECT_EQ(cutName.record.font.screenFont, EndOfFile);
    EXPECT_EQ(cutName.counted, 1u + 1u + 5u + 1u);
}

}  // namespace
}  // namespace zentoro
