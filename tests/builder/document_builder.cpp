#include "tests/builder/document_builder.h"

#include <algorithm>
#include <cstddef>

namespace zentoro::testing {

Bytes& Bytes::u8(int value) {
    data.push_back(static_cast<uint8_t>(value));
    return *this;
}

Bytes& Bytes::u32(uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) u8(static_cast<int>((value >> shift) & 0xFF));
    return *this;
}

Bytes& Bytes::text(std::string_view characters) {
    for (char c : characters) u8(static_cast<unsigned char>(c));
    return *this;
}

Bytes& Bytes::append(const Bytes& other) {
    data.insert(data.end(), other.data.begin(), other.data.end());
    return *this;
}

Bytes& Bytes::fill(size_t count, int value) {
    data.insert(data.end(), count, static_cast<uint8_t>(value));
    return *this;
}

Bytes& Bytes::cardinality(uint32_t value) {
    if (value < 128) return cardinality1(value);
    if (value < 16384) return cardinality2(value);
    return cardinality4(value);
}

Bytes& Bytes::cardinality1(uint32_t value) { return u8(static_cast<int>(value << 1)); }

Bytes& Bytes::cardinality2(uint32_t value) {
    uint32_t word = (value << 2) | 1;
    return u8(static_cast<int>(word & 0xFF)).u8(static_cast<int>(word >> 8));
}

Bytes& Bytes::cardinality4(uint32_t value) { return u32((value << 3) | 3); }

Bytes& Bytes::layerString(std::string_view characters, int trailing) {
    u8(static_cast<int>(characters.size() + 1));
    return text(characters).u8(trailing);
}

Layer& Layer::record(int id, const Bytes& value) {
    records_.u8(id).append(value);
    return *this;
}

Layer& Layer::byteRecord(int id, int value) { return record(id, Bytes().u8(value)); }

Layer& Layer::longRecord(int id, int32_t value) {
    return record(id, Bytes().u32(static_cast<uint32_t>(value)));
}

Layer& Layer::colour(int red, int green, int blue, int id) {
    return record(id, Bytes().u8(red).u8(green).u8(blue));
}

Layer& Layer::border(int id) { return record(id, Bytes().fill(9, 0)); }

Layer& Layer::bullet(int character, uint32_t size, std::string_view font) {
    return record(21, Bytes().u8(0).u32(size).u8(character).u8(0).fill(3, 0).layerString(font));
}

Layer& Layer::tabStop(int32_t position, int alignment) {
    return record(23, Bytes().u32(static_cast<uint32_t>(position)).u8(alignment));
}

Layer& Layer::font(std::string_view name, int screenFont) { return record(34, Bytes().layerString(name, screenFont)); }

Layer& Layer::declaredLength(uint32_t length) {
    declaredLength_ = length;
    return *this;
}

Bytes Layer::bytes() const {
    return Bytes().u32(declaredLength_.value_or(static_cast<uint32_t>(records_.size()))).append(records_);
}

Bytes StyleSection::bytes() const {
    Bytes out;
    out.append(normalParagraph.bytes()).append(normalCharacter.bytes());
    out.u8(normalHotKey).fill(3, 0);
    out.u8(static_cast<int>(hotKeys.size()));
    for (int key : hotKeys) out.u8(key).fill(3, 0);
    out.u8(static_cast<int>(styles.size()));
    for (const Style& style : styles) {
        out.u8(style.nameLengthByte.value_or(static_cast<int>(4 * style.name.size() + 2)));
        out.text(style.name);
        out.u8(0).u32(0).fill(3, 0);
        out.append(style.paragraph.bytes()).append(style.character.bytes());
    }
    return out;
}

Bytes TextLayoutSection::bytes() const {
    Bytes out;
    out.u8(0).u8(0);
    out.u8(formatCount.value_or(static_cast<int>(formats.size())));
    for (const SharedFormat& format : formats) {
        out.u32(0).append(format.paragraph.bytes()).u8(format.styleRef).append(format.character.bytes());
    }
    out.u32(paragraphCount.value_or(static_cast<uint32_t>(paragraphs.size())));
    for (const Paragraph& paragraph : paragraphs) {
        out.u32(paragraph.characters).u8(paragraph.formatRef);
        if (paragraph.formatRef != 0) continue;
        out.append(paragraph.paragraph.bytes()).u8(paragraph.styleRef);
        out.u32(paragraph.phraseCount.value_or(static_cast<uint32_t>(paragraph.phrases.size())));
    }
    out.u32(0);
    for (const Paragraph& paragraph : paragraphs) {
        for (const Phrase& phrase : paragraph.phrases) {
            if (phrase.object) {
                constexpr uint32_t ObjectTag = 0x10000051;
                out.u8(1).u32(phrase.characters).append(phrase.character.bytes()).u32(ObjectTag);
                out.u32(phrase.object->sectionPosition);
                out.u32(static_cast<uint32_t>(phrase.object->displayWidth));
                out.u32(static_cast<uint32_t>(phrase.object->displayHeight));
                continue;
            }
            out.u8(phrase.trailingRecords).u32(phrase.characters).append(phrase.character.bytes());
            for (int i = 0; i < phrase.trailingRecords; ++i) out.u32(1).u32(2).u32(3).u32(4);
        }
    }
    return out;
}

Bytes textSection(std::string_view text) {
    return Bytes().cardinality(static_cast<uint32_t>(text.size())).text(text);
}

namespace {

Bytes headerFooterLayout(const HeaderFooter& block) {
    Bytes out;
    out.u8(0).u8(0).u8(static_cast<int>(block.sharedFormats.size()));
    for (const auto& [paragraph, character] : block.sharedFormats) {
        out.u32(0).append(paragraph.bytes()).append(character.bytes());
    }
    out.u32(static_cast<uint32_t>(block.paragraphs.size()));
    for (const HeaderFooterParagraph& paragraph : block.paragraphs) {
        out.u32(paragraph.characters).u8(paragraph.formatRef);
        if (paragraph.formatRef != 0) continue;
        out.append(paragraph.paragraph.bytes()).u32(static_cast<uint32_t>(paragraph.phrases.size()));
    }
    out.u32(0);
    for (const HeaderFooterParagraph& paragraph : block.paragraphs) {
        for (const HeaderFooterPhrase& phrase : paragraph.phrases) {
            out.u8(0).u32(phrase.characters).append(phrase.character.bytes());
        }
    }
    return out;
}

Bytes fieldList(const HeaderFooter& block, uint32_t at) {
    Bytes out;
    if (block.fields.empty()) return out;
    out.u32(static_cast<uint32_t>(block.fields.size() + 1));
    uint32_t patternAt = at + 4 + 16 * static_cast<uint32_t>(block.fields.size()) + 4;
    for (const HeaderFooterField& field : block.fields) {
        out.u32(field.gap).u32(field.length).u32(field.kind).u32(patternAt);
        patternAt += 4 + static_cast<uint32_t>(field.pattern.size());
    }
    out.u32(block.charactersAfterFields);
    for (const HeaderFooterField& field : block.fields) out.u32(static_cast<uint32_t>(field.pattern.size())).text(field.pattern);
    return out;
}

Bytes headerFooterBlock(const HeaderFooter& block, uint32_t layoutPosition, uint32_t fieldsPosition) {
    Bytes out;
    if (!block.present) {
        out.u8(0);
        if (block.contentByteOnlyWhenAbsent) return out;
        return out.u32(0).u32(0).u32(0).u32(0);
    }
    out.u8(1).u8(block.shownOnFirstPage ? 0 : 1).fill(3, 0);
    out.append(block.baseParagraph.bytes()).append(block.baseCharacter.bytes());
    out.u32(block.blockUid);
    if (block.blockUid != 0x1000005C) return out;
    // Each of the three tagged places holds a UID; a value follows only the expected one.
    constexpr uint32_t OtherUid = 0x10000001;
    if (block.withUnusedEntries) {
        out.u32(0x10000063).u32(block.fields.empty() ? 0 : fieldsPosition).u32(0x10000065).u32(0);
    } else {
        out.u32(OtherUid).u32(OtherUid);
    }
    if (block.withLayoutEntry) {
        out.u32(0x10000066).u32(block.layoutPosition.value_or(layoutPosition));
    } else {
        out.u32(OtherUid);
    }
    out.u32(block.textUid);
    if (block.textUid != 0x10000064) return out;
    return out.cardinality(static_cast<uint32_t>(block.text.size())).text(block.text);
}

}  // namespace

Bytes PageLayoutSection::bytes(uint32_t sectionStart) const {
    // The layouts and field lists follow the section's own fields, so the
    // block entries need the section's start to give absolute positions.
    auto fields = [&](uint32_t headerLayoutPos, uint32_t footerLayoutPos, uint32_t headerFieldsPos,
                      uint32_t footerFieldsPos) {
        Bytes out;
        out.u32(static_cast<uint32_t>(firstPageNumber));
        for (int32_t value : {headerDistance, footerDistance, leftMargin, rightMargin, topMargin, bottomMargin}) {
            out.u32(static_cast<uint32_t>(value));
        }
        out.append(headerFooterBlock(header, headerLayoutPos, headerFieldsPos));
        out.append(headerFooterBlock(footer, footerLayoutPos, footerFieldsPos));
        out.u32(0).u32(static_cast<uint32_t>(paperWidth)).u32(static_cast<uint32_t>(paperHeight));
        return out.u8(orientation);
    };
    Bytes headerLayout = headerFooterLayout(header);
    Bytes footerLayout = headerFooterLayout(footer);
    uint32_t headerLayoutPos = sectionStart + static_cast<uint32_t>(fields(0, 0, 0, 0).size());
    uint32_t footerLayoutPos = headerLayoutPos + static_cast<uint32_t>(headerLayout.size());
    uint32_t headerFieldsPos = footerLayoutPos + static_cast<uint32_t>(footerLayout.size());
    Bytes headerFields = fieldList(header, headerFieldsPos);
    uint32_t footerFieldsPos = headerFieldsPos + static_cast<uint32_t>(headerFields.size());
    return fields(headerLayoutPos, footerLayoutPos, headerFieldsPos, footerFieldsPos)
        .append(headerLayout)
        .append(footerLayout)
        .append(headerFields)
        .append(fieldList(footer, footerFieldsPos));
}

WordDocument& WordDocument::section(uint32_t uid, const Bytes& content) {
    return section(uid, [content](uint32_t) { return content; });
}

WordDocument& WordDocument::section(uint32_t uid, SectionContent content) {
    entries_.push_back({uid, std::move(content)});
    return *this;
}

WordDocument& WordDocument::entry(uint32_t uid, uint32_t position) {
    entries_.push_back({uid, std::nullopt, position});
    return *this;
}

WordDocument& WordDocument::headerUids(uint32_t epoc, uint32_t standard, uint32_t word) {
    uids_[0] = epoc;
    uids_[1] = standard;
    uids_[2] = word;
    return *this;
}

WordDocument& WordDocument::dictionaryCountByte(int value) {
    countByte_ = value;
    return *this;
}

WordDocument& WordDocument::dictionaryOffset(uint32_t position) {
    dictionaryOffset_ = position;
    return *this;
}

WordDocument& WordDocument::applicationId(uint32_t uid) {
    return section(0x10000089, Bytes().u32(uid));
}

WordDocument& WordDocument::ignoredSection() {
    return section(0x10000243, Bytes().fill(5, 0).u32(0).u32(0));
}

WordDocument& WordDocument::styles(const StyleSection& styles) { return section(0x10000104, styles.bytes()); }

WordDocument& WordDocument::pageLayout(const PageLayoutSection& layout) {
    return section(0x10000105, [layout](uint32_t start) { return layout.bytes(start); });
}

WordDocument& WordDocument::text(std::string_view text) { return section(0x10000106, textSection(text)); }

WordDocument& WordDocument::textLayout(const TextLayoutSection& layout) {
    return section(0x10000143, layout.bytes());
}

WordDocument& WordDocument::unlisted(SectionContent content) {
    entries_.push_back({0, std::move(content), 0, false});
    return *this;
}

WordDocument& WordDocument::dictionaryAtStart() {
    dictionaryAtStart_ = true;
    return *this;
}

std::vector<uint8_t> WordDocument::build() const {
    Bytes out;
    out.u32(uids_[0]).u32(uids_[1]).u32(uids_[2]).u32(0).u32(0);  // dictionary offset patched below
    size_t dictionaryPos = out.size();
    size_t listedEntries = static_cast<size_t>(std::count_if(
        entries_.begin(), entries_.end(), [](const Entry& entry) { return entry.listed; }));
    size_t dictionarySize = 1 + 8 * listedEntries;
    if (dictionaryAtStart_) out.fill(dictionarySize, 0);  // filled in below
    std::vector<std::pair<uint32_t, uint32_t>> dictionary;
    for (const Entry& entry : entries_) {
        uint32_t position = entry.position;
        if (entry.content) {
            position = static_cast<uint32_t>(out.size());
            out.append((*entry.content)(position));
        }
        if (entry.listed) dictionary.emplace_back(entry.uid, position);
    }
    if (!dictionaryAtStart_) {
        dictionaryPos = out.size();
        out.fill(dictionarySize, 0);
    }
    Bytes listing;
    listing.u8(countByte_.value_or(static_cast<int>(2 * dictionary.size())));
    for (const auto& [uid, position] : dictionary) listing.u32(uid).u32(position);
    std::copy(listing.data.begin(), listing.data.end(), out.data.begin() + static_cast<std::ptrdiff_t>(dictionaryPos));
    uint32_t offset = dictionaryOffset_.value_or(static_cast<uint32_t>(dictionaryPos));
    for (int i = 0; i < 4; ++i) out.data[16 + static_cast<size_t>(i)] = static_cast<uint8_t>(offset >> (8 * i));
    return out.data;
}

namespace {

uint32_t u32At(const std::vector<uint8_t>& bytes, size_t at) {
    if (at + 4 > bytes.size()) return 0;
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | static_cast<uint32_t>(bytes[at + 3]) << 24;
}

}  // namespace

size_t sectionTablePosition(const std::vector<uint8_t>& document) { return u32At(document, 16); }

uint32_t listedSectionPosition(const std::vector<uint8_t>& document, uint32_t uid) {
    size_t table = sectionTablePosition(document);
    if (table >= document.size()) return 0;
    for (size_t i = 0, entries = document[table] >> 1; i < entries; ++i) {
        if (u32At(document, table + 1 + 8 * i) == uid) return u32At(document, table + 5 + 8 * i);
    }
    return 0;
}

}  // namespace zentoro::testing
