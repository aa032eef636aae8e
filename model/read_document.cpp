#include "model/read_document.h"

#include <memory>
#include <new>

#include "model/device_text.h"
#include "model/find_sections.h"
#include "model/loaders.h"
#include "model/text_layout.h"
#include "reader/conversion_limits.h"
#include "reader/header_check.h"
#include "reader/word_uids.h"

namespace zentoro {

namespace {

constexpr size_t DictionaryEntryBytes = 8;

void note(uint32_t& slot, uint32_t position) {
    if (slot == 0) slot = position;
}

// The section table, at the end of the file: false when it is lost, as it
// is in a file cut short anywhere.
bool loadDictionary(LoadState& s, SectionPositions& sections) {
    seekTo(s, DictionaryOffsetPosition);
    uint32_t at = loadU32(s);
    if (s.damaged || at >= input(s).size) {
        noteDamage(s, Damage::EndsEarly);
        return false;
    }
    seekTo(s, at);
    uint32_t count = loadCardinality(s);
    if (!need(s, static_cast<size_t>(count) * DictionaryEntryBytes)) {
        noteDamage(s, Damage::EndsEarly);
        return false;
    }
    bool outside = false;
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t uid = loadU32(s);
        uint32_t position = loadU32(s);
        uint32_t* slot = nullptr;
        switch (uid) {
            case StyleSectionUid: slot = &sections.styles; break;
            case PageLayoutSectionUid: slot = &sections.pageLayout; break;
            case TextSectionUid: slot = &sections.text; break;
            case TextLayoutSectionUid: slot = &sections.textLayout; break;
            default: continue;
        }
        note(*slot, position);
        outside = outside || position >= input(s).size;
    }
    // A table that names none of them, or a place past the end of the file
    // (as one whose entries a lost or added byte shifted does), cannot be
    // the document's.
    bool none = sections.styles == 0 && sections.pageLayout == 0 && sections.text == 0 && sections.textLayout == 0;
    if (none || outside) {
        noteDamage(s, Damage::SectionTableDamaged);
        return false;
    }
    return true;
}

// The loaders, top-down in the order each needs the one before: fonts and
// styles, page set-up, then the text and its layout. Each reads as far as
// its section goes; damage in one leaves the others to be read.
void loadDocument(LoadState& s) {
    SectionPositions listed;
    bool tableLost = !loadDictionary(s, listed);
    s.damaged = false;
    FoundSections found = checkedSections(s, listed, tableLost);
    const SectionPositions& sections = found.at;
    std::vector<Formats> styles;
    if (sections.styles != 0 && seekTo(s, sections.styles)) {
        styles = loadStyles(s);
        if (!goOnAfterDamage(s)) return;
    } else {
        Formats normal = builtInFormats(*s.document);
        s.document->styles.assign(1, Style{"Normal", -1, normal.paragraph, normal.character});
        styles.push_back(normal);
    }
    if (sections.pageLayout != 0 && seekTo(s, sections.pageLayout)) {
        loadPageLayout(s);
        if (!goOnAfterDamage(s)) return;
    }
    if (sections.text == 0) return;
    loadText(s, found.text);
    if (sections.textLayout != 0 && seekTo(s, sections.textLayout)) {
        loadBody(s, styles);
    } else {
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

void loadText(LoadState& s, const TextSectionFound& text) {
    // Characters past the end of the file are lost.
    if (!text.whole) noteDamage(s, Damage::PartsUnreadable);
    s.text = std::span<const unsigned char>(input(s).data + text.start, text.length);
    s.textFound = true;
}

// A document whose text carries no formatting may have no text layout
// section: its text is still the body, one paragraph per paragraph end.
void loadUnformattedBody(LoadState& s, const Formats& normal) {
    TextLayoutSource source;
    source.text = s.text;
    source.sink = s.bodySink;
    source.body = true;
    loadPlainParagraphs(s, source, normal, s.document->body);
}

void loadBody(LoadState& s, const std::vector<Formats>& styleFormats) {
    TextLayoutSource source;
    source.text = s.text;
    source.withStyles = true;
    source.styleFormats = &styleFormats;
    source.sink = s.bodySink;
    source.body = true;
    loadTextLayout(s, source, s.document->body);
}

namespace {

// The words of the body's text that the paragraphs read hold.
uint64_t wordsRecovered(const LoadState& s) {
    uint64_t words = 0;
    for (auto [from, to] : s.bodyText) {
        bool inWord = false;
        for (uint32_t at = from; at < to && at < s.text.size(); ++at) {
            bool separator = separatesWords(s.text[at]);
            if (!separator && !inWord) ++words;
            inWord = !separator;
        }
    }
    return words;
}

ConversionResult loadAll(LoadState& s) {
    loadDocument(s);
    countBytesRead(s.reader.input);
    if (s.reader.input.readLimitExceeded || s.modelLimitReached) return {Failure::LimitReached};
    if (s.damaged) noteDamage(s, Damage::PartsUnreadable);
    if (s.damage == Damage::None) return {};
    ConversionResult damaged{Failure::DocumentDamaged};
    damaged.recovered = Recovery{s.damage, wordsRecovered(s), s.bodyParagraphs};
    return damaged;
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
        sizeForDocument(s.phraseLayers, bytes.size());
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
