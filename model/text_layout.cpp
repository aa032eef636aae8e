#include "model/text_layout.h"

#include <algorithm>

#include "model/device_text.h"
#include "model/draw_objects.h"

namespace zentoro {

namespace {

constexpr int TextPhrase = 0;
constexpr int ObjectPhrase = 1;
constexpr int OwnFormat = 0;
constexpr int NoStyle = 0;
// A style byte r (1 to 255) names the (255 - r)-th style record, which is
// entry 256 - r of the styles, Normal being entry 0.
constexpr int StyleReferenceBase = 256;

// The fewest bytes each kind of record takes, to check counts against the input.
constexpr size_t SharedFormatBytes = 4 + 4 + 4;
constexpr size_t ParagraphRecordBytes = 5;
constexpr size_t PhraseBytes = 1 + 4 + 4;
constexpr size_t ObjectTrailerBytes = 16;

int styleIndex(const TextLayoutSource& source, int reference) {
    if (reference == NoStyle) return 0;
    int index = StyleReferenceBase - reference;
    return index < static_cast<int>(source.styleFormats->size()) ? index : 0;
}

struct SharedFormat {
    Formats formats;
    int style = 0;
};

// The shared paragraph formats, each resolved over its style.
std::vector<SharedFormat> loadSharedFormats(LoadState& s, const TextLayoutSource& source) {
    int count = loadByte(s);
    std::vector<SharedFormat> formats;
    if (!need(s, static_cast<size_t>(count) * SharedFormatBytes)) return formats;
    formats.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count && !s.damaged; ++i) {
        loadU32(s);  // the entry's own 1-based number
        uint32_t paragraphLayer = position(s);
        skipLayer(s);
        int style = source.withStyles ? styleIndex(source, loadByte(s)) : 0;
        Formats resolved = (*source.styleFormats)[static_cast<size_t>(style)];
        uint32_t characterLayer = position(s);
        seekTo(s, paragraphLayer);
        applyLayer(s, resolved);
        seekTo(s, characterLayer);
        applyLayer(s, resolved);
        formats.push_back(SharedFormat{std::move(resolved), style});
    }
    return formats;
}

// A fresh run, made from a spare one when there is one, so that its text
// buffer is reused.
Run runOf(LoadState& s, RunKind kind, const CharacterFormat& format) {
    Run run;
    if (!s.spareRuns.empty()) {
        run = std::move(s.spareRuns.back());
        s.spareRuns.pop_back();
        run.text.clear();
        run.pattern.clear();
        run.field = FieldKind::PageNumber;
        run.object = -1;
    }
    run.kind = kind;
    run.format = format;
    return run;
}

// Builds a paragraph's runs from stretches of its text.
struct RunBuilder {
    LoadState& s;
    const TextLayoutSource& source;
    Paragraph& paragraph;
    size_t nextField = 0;

    void appendText(uint32_t from, uint32_t to, const CharacterFormat& format) {
        if (from >= to) return;
        std::vector<Run>& runs = paragraph.runs;
        bool fresh = runs.empty() || runs.back().kind != RunKind::Text || !(runs.back().format == format);
        if (fresh) runs.push_back(runOf(s, RunKind::Text, format));
        appendDeviceText(runs.back().text, source.text.subspan(from, to - from), s.document->codePage);
        if (fresh && runs.back().text.empty()) runs.pop_back();
    }

    void appendField(const FieldSpan& field, const CharacterFormat& format) {
        Run run = runOf(s, RunKind::Field, format);
        uint32_t end = std::min<uint32_t>(field.end, static_cast<uint32_t>(source.text.size()));
        appendDeviceText(run.text, source.text.subspan(field.start, end - field.start), s.document->codePage);
        run.field = field.kind;
        run.pattern = field.pattern;
        paragraph.runs.push_back(std::move(run));
    }

    // Characters [from, to) in one format; a field starting among them
    // becomes one field run, and the rest of a field begun earlier is passed.
    void append(uint32_t from, uint32_t to, const CharacterFormat& format) {
        const std::vector<FieldSpan>& fields = source.fields;
        uint32_t at = from;
        while (at < to) {
            while (nextField < fields.size() && fields[nextField].end <= at) ++nextField;
            if (nextField < fields.size() && fields[nextField].start <= at) {
                const FieldSpan& field = fields[nextField];
                if (field.start == at) appendField(field, format);
                at = std::min(field.end, to);
                continue;
            }
            uint32_t stop = nextField < fields.size() ? std::min(to, fields[nextField].start) : to;
            appendText(at, stop, format);
            at = stop;
        }
    }

    void appendObject(int object, const CharacterFormat& format) {
        Run run = runOf(s, RunKind::Object, format);
        run.object = object;
        paragraph.runs.push_back(std::move(run));
    }
};

// Where the text still to be laid out begins.
struct TextCursor {
    uint32_t at = 0;

    // The next `count` characters, clipped to the text; a count that runs
    // past it marks the input damaged.
    std::pair<uint32_t, uint32_t> take(LoadState& s, const TextLayoutSource& source, uint32_t count) {
        uint32_t size = static_cast<uint32_t>(source.text.size());
        uint32_t from = at;
        if (count > size - at) {
            s.damaged = true;
            count = size - at;
        }
        at += count;
        return {from, at};
    }
};

// One phrase of an own-format paragraph: its type, characters and layer.
// `used` counts the characters of the phrases so far, wider than a count
// so that a damaged count never wraps it round to text already laid out.
void loadPhrase(LoadState& s, const CharacterFormat& base, RunBuilder& runs, uint32_t from, uint32_t to,
                uint64_t& used, CharacterFormat& last) {
    int type = loadByte(s);
    uint32_t count = loadU32(s);
    CharacterFormat character = base;
    applyCharacterLayer(s, character);
    if (type != TextPhrase && type != ObjectPhrase) s.damaged = true;
    if (s.damaged) return;
    uint32_t start = from + static_cast<uint32_t>(std::min<uint64_t>(used, to - from));
    uint32_t end = start + std::min(count, to - start);
    used += count;
    last = character;
    if (type == TextPhrase) {
        runs.append(start, end, character);
        return;
    }
    if (!need(s, ObjectTrailerBytes)) return;
    loadU32(s);  // the embedded object's tag
    EmbeddedObject object;
    object.sectionPosition = loadU32(s);
    object.displayWidth = loadI32(s);
    object.displayHeight = loadI32(s);
    // Drawn now, so that a writer handed this paragraph at once has the picture.
    const InputStream& in = input(s);
    drawObject(std::span<const unsigned char>(in.data, in.size), object, s.picturePixelsLeft);
    std::vector<EmbeddedObject>& objects = s.document->objects;
    objects.push_back(std::move(object));
    for (uint32_t at = start; at < end; ++at) {
        if (runs.source.text[at] == ObjectByte) {
            runs.appendObject(static_cast<int>(objects.size() - 1), character);
        } else {
            runs.append(at, at + 1, character);
        }
    }
}

// Walks the paragraph records without reading their phrases, to find where
// the phrase list starts.
uint32_t phraseListStart(LoadState& s, const TextLayoutSource& source, uint32_t count) {
    for (uint32_t i = 0; i < count && !s.damaged; ++i) {
        loadU32(s);
        if (loadByte(s) != OwnFormat) continue;
        skipLayer(s);
        if (source.withStyles) loadByte(s);
        loadU32(s);
    }
    loadU32(s);  // a value of unknown use between the records and the phrases
    return position(s);
}

// A paragraph read whole, characters [from, to) of the text: counted into
// the model kept whole, or handed to the sink and its runs kept for the
// next paragraph to reuse.
void deliverParagraph(LoadState& s, const TextLayoutSource& source, Paragraph& paragraph, uint32_t from, uint32_t to) {
    if (source.body) {
        ++s.bodyParagraphs;
        if (!s.bodyText.empty() && s.bodyText.back().second == from) {
            s.bodyText.back().second = to;
        } else if (from < to) {
            s.bodyText.emplace_back(from, to);
        }
    }
    if (source.sink == nullptr) {
        countParagraph(s, paragraph);
        return;
    }
    (*source.sink)(paragraph);
    for (Run& run : paragraph.runs) s.spareRuns.push_back(std::move(run));
    paragraph.runs.clear();
}

// A paragraph left unfinished by damage is dropped: its text follows as a
// plain paragraph.
void dropParagraph(LoadState& s, const TextLayoutSource& source, Paragraph& paragraph,
                   std::vector<Paragraph>& paragraphs) {
    if (source.sink == nullptr) {
        paragraphs.pop_back();
        return;
    }
    for (Run& run : paragraph.runs) s.spareRuns.push_back(std::move(run));
    paragraph.runs.clear();
}

// Every paragraph but one cut off by the end of the text ends with a
// paragraph end; one that does not was given a damaged character count.
bool endsWhereAParagraphEnds(const TextLayoutSource& source, uint32_t from, uint32_t to) {
    return from == to || to == source.text.size() || source.text[to - 1] == ParagraphEndByte;
}

// Reads the paragraphs of the layout until its end or the first damage;
// returns where the text that they hold ends.
uint32_t loadLaidOutParagraphs(LoadState& s, const TextLayoutSource& source, std::vector<Paragraph>& paragraphs) {
    loadByte(s);  // two bytes telling whether the records carry a style byte;
    loadByte(s);  // the layout's role (body, header or footer) tells it too
    std::vector<SharedFormat> shared = loadSharedFormats(s, source);
    uint32_t count = loadU32(s);
    if (s.damaged) return 0;
    // Records that cannot all be there are read as far as they go, and the
    // phrase list after them is lost.
    bool recordsCut = count > bytesLeft(s) / ParagraphRecordBytes;
    if (recordsCut) count = static_cast<uint32_t>(bytesLeft(s) / ParagraphRecordBytes);
    uint32_t records = position(s);
    uint32_t phrases = phraseListStart(s, source, count);
    // Without the phrase list, paragraphs of their own format cannot be read.
    bool phrasesLost = s.damaged || recordsCut;
    s.damaged = false;
    seekTo(s, records);
    // Every paragraph holds at least its paragraph end, so the text bounds their number.
    if (source.sink == nullptr) paragraphs.reserve(paragraphs.size() + std::min<size_t>(count, source.text.size()));
    TextCursor text;
    size_t nextField = 0;
    for (uint32_t i = 0; i < count && !s.damaged; ++i) {
        uint32_t characters = loadU32(s);
        int reference = loadByte(s);
        Paragraph& paragraph = source.sink != nullptr ? s.streamed : paragraphs.emplace_back();
        RunBuilder builder{s, source, paragraph, nextField};
        uint32_t start = text.at;
        auto [from, to] = text.take(s, source, characters);
        if (!endsWhereAParagraphEnds(source, from, to)) s.damaged = true;
        if (s.damaged) {
            dropParagraph(s, source, paragraph, paragraphs);
            return start;
        }
        if (reference != OwnFormat) {
            size_t index = static_cast<size_t>(reference - 1);
            // A reference past the list takes Normal's formatting.
            const Formats& formats = index < shared.size() ? shared[index].formats : (*source.styleFormats)[0];
            paragraph.style = index < shared.size() ? shared[index].style : 0;
            paragraph.format = formats.paragraph;
            paragraph.markFormat = formats.character;
            builder.append(from, to, formats.character);
        } else {
            uint32_t layer = position(s);
            skipLayer(s);
            int style = source.withStyles ? styleIndex(source, loadByte(s)) : 0;
            uint32_t phraseCount = loadU32(s);
            uint32_t next = position(s);
            const Formats& styleFormats = (*source.styleFormats)[static_cast<size_t>(style)];
            paragraph.style = style;
            paragraph.format = styleFormats.paragraph;
            CharacterFormat base = styleFormats.character;
            seekTo(s, layer);
            applyLayer(s, paragraph.format, base);
            paragraph.markFormat = base;
            if (phrasesLost) s.damaged = true;
            seekTo(s, phrases);
            if (s.damaged || !need(s, static_cast<size_t>(phraseCount) * PhraseBytes)) {
                dropParagraph(s, source, paragraph, paragraphs);
                return start;
            }
            paragraph.runs.reserve(phraseCount);
            uint64_t used = 0;
            for (uint32_t p = 0; p < phraseCount && !s.damaged; ++p) {
                loadPhrase(s, base, builder, from, to, used, paragraph.markFormat);
            }
            // Characters no phrase covers keep the paragraph's formatting;
            // phrases that run past the paragraph were given damaged counts.
            if (used < to - from) builder.append(from + static_cast<uint32_t>(used), to, base);
            if (used > to - from) noteDamage(s, Damage::PartsUnreadable);
            phrases = position(s);
            seekTo(s, next);
        }
        if (s.damaged) {
            dropParagraph(s, source, paragraph, paragraphs);
            return start;
        }
        nextField = builder.nextField;
        deliverParagraph(s, source, paragraph, from, to);
    }
    if (recordsCut) s.damaged = true;
    return text.at;
}

bool showsCharacter(std::span<const unsigned char> text) {
    return std::any_of(text.begin(), text.end(),
                       [](unsigned char c) { return c > ' ' || c == ObjectByte || c == HardHyphenByte; });
}

}  // namespace

void loadTextLayout(LoadState& s, const TextLayoutSource& source, std::vector<Paragraph>& paragraphs) {
    uint32_t placed = loadLaidOutParagraphs(s, source, paragraphs);
    // Text that no paragraph of the layout holds was cut off from it.
    if (placed < source.text.size()) s.damaged = true;
    if (!s.damaged || !goOnAfterDamage(s)) return;
    loadPlainParagraphs(s, source, (*source.styleFormats)[0], paragraphs, placed);
}

void loadPlainParagraphs(LoadState& s, const TextLayoutSource& source, const Formats& formats,
                         std::vector<Paragraph>& paragraphs, uint32_t from) {
    uint32_t size = static_cast<uint32_t>(source.text.size());
    size_t nextField = 0;
    while (from < size && !s.damaged) {
        uint32_t end = from;
        while (end < size && source.text[end] != ParagraphEndByte) ++end;
        // A tail after the last paragraph end that shows nothing is no
        // paragraph: bytes after the text, taken in by a count too large.
        if (end == size && !showsCharacter(source.text.subspan(from))) break;
        if (end < size) ++end;
        // With a sink, the paragraph goes to it, as a text layout's do.
        Paragraph& paragraph = source.sink != nullptr ? s.streamed : paragraphs.emplace_back();
        paragraph.style = 0;
        paragraph.format = formats.paragraph;
        paragraph.markFormat = formats.character;
        RunBuilder builder{s, source, paragraph, nextField};
        builder.append(from, end, formats.character);
        nextField = builder.nextField;
        deliverParagraph(s, source, paragraph, from, end);
        from = end;
    }
}

}  // namespace zentoro
