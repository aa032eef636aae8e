#include "model/loaders.h"

#include "model/text_layout.h"
#include "reader/word_uids.h"

namespace zentoro {

namespace {

constexpr int BlockEmpty = 0;
constexpr int HiddenOnFirstPage = 1;
constexpr size_t BlockUnknownBytes = 3;
constexpr size_t FieldEntryBytes = 16;

constexpr uint32_t DateTimeFieldUid = 0x1000005F;
constexpr uint32_t PageNumberFieldUid = 0x10000060;
constexpr uint32_t PageCountFieldUid = 0x10000061;
constexpr uint32_t FileNameFieldUid = 0x10000062;

bool fieldKindOf(uint32_t uid, FieldKind& kind) {
    switch (uid) {
        case DateTimeFieldUid: kind = FieldKind::Date; return true;
        case PageNumberFieldUid: kind = FieldKind::PageNumber; return true;
        case PageCountFieldUid: kind = FieldKind::PageCount; return true;
        case FileNameFieldUid: kind = FieldKind::FileName; return true;
        default: return false;
    }
}

// A date or time pattern: a 32-bit length and its characters.
std::string loadPattern(LoadState& s, uint32_t at) {
    uint32_t back = position(s);
    std::string pattern;
    if (seekTo(s, at)) {
        uint32_t length = loadU32(s);
        if (need(s, length)) {
            for (uint32_t i = 0; i < length; ++i) pattern.push_back(static_cast<char>(loadByte(s)));
        }
    }
    seekTo(s, back);
    return pattern;
}

// The field list: a count n, n - 1 entries (characters since the previous
// field, the field's length, its kind, its pattern's position) and the
// characters after the last field. Fields of unknown kind stay text.
std::vector<FieldSpan> loadFields(LoadState& s, uint32_t at) {
    std::vector<FieldSpan> fields;
    if (!seekTo(s, at)) return fields;
    uint32_t count = loadU32(s);
    uint32_t entries = count == 0 ? 0 : count - 1;
    if (!need(s, static_cast<size_t>(entries) * FieldEntryBytes)) return fields;
    uint32_t end = 0;
    for (uint32_t i = 0; i < entries && !s.damaged; ++i) {
        uint32_t gap = loadU32(s);
        uint32_t length = loadU32(s);
        uint32_t kindUid = loadU32(s);
        uint32_t patternAt = loadU32(s);
        FieldSpan field;
        field.start = end + gap;
        field.end = field.start + length;
        if (field.start < end || field.end < field.start) {
            s.damaged = true;
            break;
        }
        end = field.end;
        if (!fieldKindOf(kindUid, field.kind)) continue;
        if (field.kind == FieldKind::Date) field.pattern = loadPattern(s, patternAt);
        fields.push_back(std::move(field));
    }
    return fields;
}

// A header or footer block: content and first-page flags, base layers,
// then its tagged entries and text; its layout and fields lie elsewhere.
void loadHeaderFooter(LoadState& s, HeaderFooter& block) {
    int content = loadByte(s);
    if (content == BlockEmpty) return;
    block.present = true;
    block.shownOnFirstPage = loadByte(s) != HiddenOnFirstPage;
    for (size_t i = 0; i < BlockUnknownBytes; ++i) loadByte(s);
    Formats base = builtInFormats(*s.document);
    applyLayer(s, base);
    applyLayer(s, base);
    if (loadU32(s) != HeaderFooterBlockUid) s.damaged = true;
    uint32_t fieldsAt = 0;
    uint32_t layoutAt = 0;
    for (;;) {
        if (s.damaged) return;
        uint32_t uid = loadU32(s);
        if (uid == HeaderFooterTextUid) break;
        uint32_t value = loadU32(s);
        if (uid == HeaderFooterFieldsUid) {
            fieldsAt = value;
        } else if (uid == HeaderFooterLayoutEntryUid) {
            layoutAt = value;
        } else if (uid != HeaderFooterSecondUnusedEntryUid) {
            s.damaged = true;
        }
    }
    uint32_t length = loadCardinality(s);
    if (!need(s, length)) return;
    TextLayoutSource source;
    source.text = std::span<const unsigned char>(input(s).data + position(s), length);
    uint32_t after = position(s) + length;
    std::vector<Formats> baseFormats{base};
    source.styleFormats = &baseFormats;
    if (fieldsAt != 0) source.fields = loadFields(s, fieldsAt);
    if (layoutAt != 0 && seekTo(s, layoutAt)) {
        loadTextLayout(s, source, block.paragraphs);
    } else {
        loadPlainParagraphs(s, source, base, block.paragraphs);
    }
    seekTo(s, after);
}

}  // namespace

void loadPageLayout(LoadState& s) {
    PageSetup& page = s.document->page;
    page.firstPageNumber = loadI32(s);
    page.headerDistance = loadI32(s);
    page.footerDistance = loadI32(s);
    page.leftMargin = loadI32(s);
    page.rightMargin = loadI32(s);
    page.topMargin = loadI32(s);
    page.bottomMargin = loadI32(s);
    loadHeaderFooter(s, s.document->header);
    if (s.damaged) return;
    loadHeaderFooter(s, s.document->footer);
    loadU32(s);  // an id of unknown meaning
    page.width = loadI32(s);
    page.height = loadI32(s);
}

}  // namespace zentoro
