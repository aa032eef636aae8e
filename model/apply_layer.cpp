#include "model/apply_layer.h"

#include <algorithm>

#include "model/code_page.h"
#include "reader/attribute_record.h"
#include "reader/uid_header.h"

namespace zentoro {

namespace {

constexpr std::string_view DefaultFontName = "Times New Roman";

constexpr int LastAlignment = 3;
constexpr int ExactLineSpacing = 1;
constexpr int LastBorderStyle = 6;
constexpr int LastVerticalPosition = 2;
constexpr int LeftTab = 1;
constexpr int CentreTab = 2;
constexpr int RightTab = 3;

Colour colourOf(const RecordColour& c) {
    return Colour{static_cast<uint8_t>(c.red), static_cast<uint8_t>(c.green), static_cast<uint8_t>(c.blue)};
}

FontFamily familyOf(int screenFont) {
    switch (screenFont) {
        case 0: return FontFamily::Swiss;
        case 1: return FontFamily::SansSerif;
        case 2: return FontFamily::Monospaced;
        default: return FontFamily::Serif;
    }
}

int fontOf(Document& document, const RecordFont& font) {
    std::string_view raw(font.name, font.length);
    // A name in ASCII, as nearly every one is, is its own UTF-8.
    if (std::all_of(raw.begin(), raw.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        return fontIndex(document, raw, familyOf(font.screenFont));
    }
    std::string name;
    for (char c : raw) appendUtf8(name, codePagePoint(document.codePage, static_cast<unsigned char>(c)));
    return fontIndex(document, name, familyOf(font.screenFont));
}

// A later stop at the same position replaces the earlier one.
void addTabStop(std::vector<TabStop>& stops, const RecordTabStop& record) {
    TabKind kind = record.kind == CentreTab ? TabKind::Centre : record.kind == RightTab ? TabKind::Right : TabKind::Left;
    if (record.kind != LeftTab && record.kind != CentreTab && record.kind != RightTab) return;
    TabStop stop{static_cast<int32_t>(record.position), kind};
    auto at = std::lower_bound(stops.begin(), stops.end(), stop,
                               [](const TabStop& a, const TabStop& b) { return a.position < b.position; });
    if (at != stops.end() && at->position == stop.position) {
        *at = stop;
    } else if (stops.size() < MaxTabStops) {
        stops.insert(at, stop);
    }
}

void applyBullet(Document& document, Bullet& bullet, const RecordBullet& record) {
    bullet.on = true;
    bullet.size = static_cast<int32_t>(record.size);
    bullet.character = codePagePoint(document.codePage, static_cast<unsigned char>(record.character));
    bullet.indent = record.indent == 1;
    bullet.colour = colourOf(record.colour);
    bullet.font = fontOf(document, record.font);
}

// Applies one record; the character fields it sets are added to `touched`.
void applyRecord(Document& document, const AttributeRecord& r, ParagraphFormat& p, CharacterFormat& c,
                 uint8_t& touched) {
    int32_t value = static_cast<int32_t>(r.longValue);
    bool on = r.byteValue != 0;
    switch (r.id) {
        case BackgroundColourId: p.hasBackground = true; p.background = colourOf(r.colour); break;
        case LeftIndentId: p.leftIndent = value; break;
        case RightIndentId: p.rightIndent = value; break;
        case FirstLineIndentId: p.firstLineIndent = value; break;
        case AlignmentId:
            if (r.byteValue >= 0 && r.byteValue <= LastAlignment) p.alignment = static_cast<Alignment>(r.byteValue);
            break;
        case LineSpacingId: p.lineSpacing = value; break;
        case LineSpacingModeId:
            p.lineSpacingMode = r.byteValue == ExactLineSpacing ? LineSpacingMode::Exactly : LineSpacingMode::AtLeast;
            break;
        case SpaceBeforeParagraphId: p.spaceBefore = value; break;
        case SpaceAfterParagraphId: p.spaceAfter = value; break;
        case KeepTogetherId: p.keepTogether = on; break;
        case KeepWithNextId: p.keepWithNext = on; break;
        case PageBreakBeforeId: p.pageBreakBefore = on; break;
        case WidowControlId: p.widowControl = on; break;
        case BorderDistanceId: p.borderDistance = value; break;
        case TopBorderId:
        case BottomBorderId:
        case LeftBorderId:
        case RightBorderId: {
            Border& border = p.borders[static_cast<size_t>(r.id - TopBorderId)];
            int type = r.border.type;
            border.style = type >= 0 && type <= LastBorderStyle ? static_cast<BorderStyle>(type) : BorderStyle::Solid;
            border.thickness = static_cast<int32_t>(r.border.thickness);
            border.colour = colourOf(r.border.colour);
            break;
        }
        case BulletId: applyBullet(document, p.bullet, r.bullet); break;
        case DefaultTabIntervalId: p.defaultTabInterval = value; break;
        case TabStopId: addTabStop(p.tabStops, r.tabStop); break;
        case TextColourId: c.colour = colourOf(r.colour); touched |= ColourField; break;
        case FontSizeId: c.size = value; touched |= SizeField; break;
        case ItalicId: c.italic = on; touched |= ItalicField; break;
        case BoldId: c.bold = on; touched |= BoldField; break;
        case VerticalPositionId:
            if (r.byteValue >= 0 && r.byteValue <= LastVerticalPosition) {
                c.position = static_cast<VerticalPosition>(r.byteValue);
                touched |= PositionField;
            }
            break;
        case UnderlineId: c.underline = on; touched |= UnderlineField; break;
        case StrikethroughId: c.strikethrough = on; touched |= StrikethroughField; break;
        case FontId: c.font = fontOf(document, r.font); touched |= FontField; break;
        default: break;  // ids without a visible effect in a document
    }
}

// Reads the layer at the input position and applies its records.
void applyLayer(LoadState& s, ParagraphFormat& paragraph, CharacterFormat& character, uint8_t& touched) {
    uint32_t length = loadU32(s);
    if (!need(s, length)) return;
    uint32_t end = position(s) + length;
    ReaderState& reader = s.reader;
    reader.layerBytesRead = 0;
    LayerStringBuffer name;
    while (reader.layerBytesRead < length) {
        AttributeRecord record = readAttributeRecord(reader, name);
        // An unknown id has no known size: the rest of the layer is passed.
        if (record.kind == ValueKind::Unknown || record.kind == ValueKind::None) break;
        // A record that runs past its layer is not the layer's.
        if (reader.layerBytesRead > length) break;
        applyRecord(*s.document, record, paragraph, character, touched);
    }
    seekTo(s, end);
}

}  // namespace

Formats builtInFormats(Document& document) {
    Formats formats;
    int font = fontIndex(document, DefaultFontName, FontFamily::Serif);
    formats.character.font = font;
    formats.paragraph.bullet.font = font;
    return formats;
}

int fontIndex(Document& document, std::string_view name, FontFamily family) {
    std::vector<Font>& fonts = document.fonts;
    for (size_t i = 0; i < fonts.size(); ++i) {
        if (fonts[i].name == name && fonts[i].family == family) return static_cast<int>(i);
    }
    fonts.push_back(Font{std::string(name), family});
    return static_cast<int>(fonts.size() - 1);
}

void applyLayer(LoadState& s, Formats& formats) { applyLayer(s, formats.paragraph, formats.character); }

void applyLayer(LoadState& s, ParagraphFormat& paragraph, CharacterFormat& character) {
    uint8_t touched = 0;
    applyLayer(s, paragraph, character, touched);
}

void applyCharacterLayer(LoadState& s, CharacterFormat& character) {
    const InputStream& in = input(s);
    uint32_t length = headerLong(in.data, in.size, in.pos);
    // A layer cut by the end of the input is read as far as it goes, uncached.
    size_t left = bytesLeft(s);
    if (left < 4 || length > left - 4) {
        applyLayer(s, s.phraseParagraphScratch, character);
        return;
    }
    std::span<const unsigned char> layer(in.data + in.pos + 4, length);
    if (const CharacterLayerEffect* cached = findCached(s.phraseLayers, layer)) {
        applyEffect(*cached, character);
        seekTo(s, position(s) + 4 + length);
        return;
    }
    CharacterLayerEffect effect;
    applyLayer(s, s.phraseParagraphScratch, effect.values, effect.fields);
    applyEffect(effect, character);
    if (!s.damaged) remember(s.phraseLayers, layer, effect);
}

void skipLayer(LoadState& s) {
    uint32_t length = loadU32(s);
    if (need(s, length)) seekTo(s, position(s) + length);
}

}  // namespace zentoro
