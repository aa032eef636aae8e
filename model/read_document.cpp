#include "model/read_document.h"

#include <memory>
#include <new>

#include "model/loaders.h"
#include "model/text_layout.h"
#include "reader/conversion_limits.h"
#include "reader/header_check.h"
#include "reader/word_uids.h"

namespace zentoro {

namespace {

// Where the sections the model is built from lie; 0 where the dictionary
// lists none. The first entry of each kind counts.
struct SectionPositions {
    uint32_t styles = 0;
    uint32_t pageLayout = 0;
    uint32_t text = 0;
    uint32_t textLayout = 0;
};

constexpr size_t DictionaryEntryBytes = 8;

void note(uint32_t& slot, uint32_t position) {
    if (slot == 0) slot = position;
}

SectionPositions loadDictionary(LoadState& s) {
    SectionPositions sections;
    seekTo(s, DictionaryOffsetPosition);
    if (!seekTo(s, loadU32(s))) return sections;
    uint32_t count = loadCardinality(s);
    if (!need(s, static_cast<size_t>(count) * DictionaryEntryBytes)) return sections;
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t uid = loadU32(s);
        uint32_t at = loadU32(s);
        switch (uid) {
            case StyleSectionUid: note(sections.styles, at); break;
            case PageLayoutSectionUid: note(sections.pageLayout, at); break;
            case TextSectionUid: note(sections.text, at); break;
            case TextLayoutSectionUid: note(sections.textLayout, at); break;
            default: break;
        }
    }
    return sections;
}

// The loaders, top-down in the order each needs the one before: fonts and
// styles, page set-up, then the text and its layout.
void loadDocument(LoadState& s) {
    SectionPositions sections = loadDictionary(s);
    if (s.damaged) return;
    std::vector<Formats> styles;
    if (sections.styles != 0 && seekTo(s, sections.styles)) {
        styles = loadStyles(s);
    } else {
        Formats normal = builtInFormats(*s.document);
        s.document->styles.assign(1, Style{"Normal", -1, normal.paragraph, normal.character});
        styles.push_back(normal);
    }
    if (sections.pageLayout != 0 && !s.damaged && seekTo(s, sections.pageLayout)) loadPageLayout(s);
    if (sections.text != 0 && !s.damaged && seekTo(s, sections.text)) loadText(s);
    if (sections.textLayout != 0) {
        if (!s.damaged && seekTo(s, sections.textLayout)) loadBody(s, styles);
    } else if (s.textFound && !s.damaged) {
        loadUnformattedBody(s, styles.front());
    }
}

}  // namespace

uint32_t loadCardinality(LoadState& s) {
    if (!need(s, 1)) return 0;
    int first = input(s).data[input(s).pos];
    size_t width = (first & 1) == 0 ? 1 : (first & 3) == 1 ? 2 : (first & 7) == 3 ? 4 : 0;
    if (width == 0) {
        s.damaged = true;
        return 0;
    }
    if (!need(s, width)) return 0;
    return static_cast<uint32_t>(readCardinality(s.reader));
}

bool countParagraph(LoadState& s, const Paragraph& paragraph) {
    uint64_t bytes = sizeof(Paragraph) + paragraph.format.tabStops.size() * sizeof(TabStop);
    for (const Run& run : paragraph.runs) bytes += sizeof(Run) + run.text.size() + run.pattern.size();
    s.modelBytes += bytes;
    if (s.modelLimit == 0 || s.modelBytes <= s.modelLimit) return true;
    s.modelLimitReached = true;
    s.damaged = true;
    return false;
}

void loadText(LoadState& s) {
    uint32_t length = loadCardinality(s);
    if (!need(s, length)) return;
    s.text = std::span<const unsigned char>(input(s).data + position(s), length);
    s.textFound = true;
}

// A document whose text carries no formatting may have no text layout
// section: its text is still the body, one paragraph per paragraph end.
void loadUnformattedBody(LoadState& s, const Formats& normal) {
    TextLayoutSource source;
    source.text = s.text;
    source.sink = s.bodySink;
    loadPlainParagraphs(s, source, normal, s.document->body);
}

void loadBody(LoadState& s, const std::vector<Formats>& styleFormats) {
    TextLayoutSource source;
    source.text = s.text;
    source.withStyles = true;
    source.styleFormats = &styleFormats;
    source.sink = s.bodySink;
    loadTextLayout(s, source, s.document->body);
}

namespace {

ConversionResult loadAll(LoadState& s) {
    loadDocument(s);
    countBytesRead(s.reader.input);
    if (s.reader.input.readLimitExceeded || s.modelLimitReached) return {Failure::LimitReached};
    if (s.damaged) return {Failure::DocumentDamaged};
    return {};
}

// The sink may throw, as a writer running out of memory does: the reading
// ends there with that failure.
ConversionResult read(std::span<const unsigned char> bytes, Document& document, const BodyParagraphSink* sink,
                      const ConversionLimits& limits) {
    InputStream header{bytes.data(), bytes.size(), 0};
    if (!hasWordHeaderUids(header)) return {Failure::NotWordDocument};
    try {
        auto state = std::make_unique<LoadState>();
        LoadState& s = *state;
        s.bodySink = sink;
        s.document = &document;
        s.reader.input = InputStream{bytes.data(), bytes.size(), 0};
        s.reader.input.readLimit = readLimitFor(bytes.size(), limits);
        s.modelLimit = ModelBytesPerInputByte * bytes.size() + ModelFloor;
        return loadAll(s);
    } catch (const std::bad_alloc&) {
        return {Failure::OutOfMemory};
    }
}

}  // namespace

ConversionResult readDocument(std::span<const unsigned char> bytes, Document& document,
                              const ConversionLimits& limits) {
    return read(bytes, document, nullptr, limits);
}

ConversionResult readDocumentStreaming(std::span<const unsigned char> bytes, Document& document,
                                       const BodyParagraphSink& bodyParagraph, const ConversionLimits& limits) {
    return read(bytes, document, &bodyParagraph, limits);
}

}  // namespace zentoro
