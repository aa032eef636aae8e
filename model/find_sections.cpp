#include "model/find_sections.h"

#include <algorithm>
#include <span>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "model/device_text.h"
#include "model/loaders.h"
#include "reader/word_uids.h"

namespace zentoro {

namespace {

// The first section follows the 20-byte header and a small section the
// model does not read; the style section starts a few bytes later.
constexpr uint32_t FirstSectionPosition = 20;
constexpr uint32_t StyleSearchBytes = 64;
constexpr uint32_t PageLayoutSearchBytes = 4096;
constexpr unsigned char LastSpecialTextByte = 0x10;
constexpr unsigned char BodyLayoutFlag = 0x01;
constexpr size_t ParagraphRecordBytes = 5;
constexpr int OwnFormat = 0;
// A text found without the section table and without a text layout that
// fits it (cut by the end of the file, or found where no page layout could
// be read before it) is taken only with this many characters: fewer could
// be a name in a style or a header's text. Where not even the styles could
// be read, a text cut by the end of the file is not taken at all: the file
// ends among the styles, and what looks like text is a style's name.
constexpr uint64_t ShortestUnplacedCutText = 32;
// Characters per word separator beyond which a text found with no layout
// is taken for bytes of another kind.
constexpr uint64_t WordLengthLimit = 10;
// Records and bytes a search for a text by the layout after it may read,
// per byte of the input.
constexpr uint64_t LayoutSearchWorkPerByte = 4;
// How far after the page layout's end a text's count may lie: the blocks a
// header's or footer's fields and layout take may come between them.
constexpr uint64_t PlacedTextSlack = 128;
// How far the characters of a text whose count no longer matches them may
// end from where the count says: a few lost or doubled bytes.
constexpr uint64_t LooseTextSlack = 16;

// A reading of the input on its own, into a document of its own, which
// leaves the real reading as it was.
struct Trial {
    LoadState s;
    Document document;

    Trial(const LoadState& real, uint32_t at) {
        s.reader.input = InputStream{real.reader.input.data, real.reader.input.size, 0};
        s.document = &document;
        s.picturePixelsLeft = 0;  // no picture is drawn on trial
        seekTo(s, at);
    }
};

// Where the section read by `load` from `at` ends, or 0 when it cannot be
// read there without damage; `read` then holds what it read.
uint32_t endOfCleanRead(const LoadState& s, uint32_t at, void (*load)(LoadState&), Document& read) {
    if (at == 0 || at >= s.reader.input.size) return 0;
    Trial trial(s, at);
    load(trial.s);
    if (trial.s.damaged || trial.s.damage != Damage::None) return 0;
    read = std::move(trial.document);
    return position(trial.s);
}

uint32_t endOfCleanRead(const LoadState& s, uint32_t at, void (*load)(LoadState&), bool (*looksRight)(const Document&)) {
    Document read;
    uint32_t end = endOfCleanRead(s, at, load, read);
    return end != 0 && looksRight(read) ? end : 0;
}

bool anything(const Document&) { return true; }

// A page layout found by searching must hold a header and a footer, each
// with its tags, as every real document's does: one of two empty blocks
// is a few zero bytes, found anywhere.
bool hasHeaderAndFooter(const Document& document) { return document.header.present && document.footer.present; }

// Styles found where no page layout vouches for them must name a style
// besides Normal, and no name may hold a control character: a few bytes of
// another section read as styles name none, or garble a name. Where zeros
// overwrote the last styles, a name may be empty or end in zeros.
bool namesItsStyles(const Document& document) {
    auto garbled = [](const Style& style) {
        std::string_view name = style.name;
        while (!name.empty() && name.back() == '\0') name.remove_suffix(1);
        return std::any_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < ' '; });
    };
    auto named = [](const Style& style) { return !style.name.empty(); };
    auto styles = std::span(document.styles).subspan(std::min<size_t>(1, document.styles.size()));
    return std::any_of(styles.begin(), styles.end(), named) && std::none_of(styles.begin(), styles.end(), garbled);
}

void readStyles(LoadState& s) { loadStyles(s); }

uint32_t endOfStyles(const LoadState& s, uint32_t at) { return endOfCleanRead(s, at, readStyles, anything); }
uint32_t endOfPageLayout(const LoadState& s, uint32_t at) { return endOfCleanRead(s, at, loadPageLayout, anything); }
uint32_t endOfFoundPageLayout(const LoadState& s, uint32_t at) {
    return endOfCleanRead(s, at, loadPageLayout, hasHeaderAndFooter);
}

// Whether a page layout reads at each place tried so far, for searches
// whose windows overlap.
using PageLayoutTrials = std::unordered_map<uint32_t, bool>;

bool pageLayoutReadsAt(const LoadState& s, uint32_t at, PageLayoutTrials& trials) {
    auto [trial, fresh] = trials.try_emplace(at, false);
    if (fresh) trial->second = endOfFoundPageLayout(s, at) != 0;
    return trial->second;
}

// The page layout section after the style section: the header's and
// footer's fields and layouts may lie between them.
uint32_t findPageLayout(const LoadState& s, uint32_t stylesEnd, PageLayoutTrials& trials) {
    if (stylesEnd == 0) return 0;
    uint32_t last = static_cast<uint32_t>(std::min<uint64_t>(s.reader.input.size, uint64_t{stylesEnd} + PageLayoutSearchBytes));
    for (uint32_t at = stylesEnd; at < last; ++at) {
        if (pageLayoutReadsAt(s, at, trials)) return at;
    }
    return 0;
}

uint32_t findPageLayout(const LoadState& s, uint32_t stylesEnd) {
    PageLayoutTrials trials;
    return findPageLayout(s, stylesEnd, trials);
}

// The style section that a page layout section follows: of those that
// read, the one that ends last, since a few bytes after the header may
// read as a short style section too. Their ends lie close together, so
// each place after them is tried as a page layout once. Where no page
// layout reads after any, as where it was overwritten, the one that ends
// last of those that name styles of their own.
uint32_t findStyles(const LoadState& s) {
    uint32_t found = 0;
    uint32_t foundEnd = 0;
    uint32_t named = 0;
    uint32_t namedEnd = 0;
    PageLayoutTrials trials;
    for (uint32_t at = FirstSectionPosition; at < FirstSectionPosition + StyleSearchBytes; ++at) {
        Document read;
        uint32_t end = endOfCleanRead(s, at, readStyles, read);
        if (end > namedEnd && namesItsStyles(read)) {
            named = at;
            namedEnd = end;
        }
        if (end > foundEnd && findPageLayout(s, end, trials) != 0) {
            found = at;
            foundEnd = end;
        }
    }
    return found != 0 ? found : named;
}

bool isTextByte(unsigned char byte) { return byte >= ' ' || (byte >= ParagraphEndByte && byte <= LastSpecialTextByte); }

// Where a paragraph's character count ends a paragraph, or the text.
bool endsParagraph(const unsigned char* text, uint64_t length, uint64_t at) {
    return at == length || (at < length && at > 0 && text[at - 1] == ParagraphEndByte);
}

// Reads a body text layout's head, its flag and shared formats: false where
// the flag is not a layout's.
bool loadLayoutHead(LoadState& t) {
    if (loadByte(t) > BodyLayoutFlag || loadByte(t) != 0) return false;
    int shared = loadByte(t);
    for (int i = 0; i < shared && !t.damaged; ++i) {
        loadU32(t);  // its 1-based number on the device, not from every writer
        skipLayer(t);
        loadByte(t);
        skipLayer(t);
    }
    return true;
}

// Passes the rest of an own-format paragraph record: its layer, its style
// and its count of phrases.
void skipOwnFormat(LoadState& t) {
    skipLayer(t);
    loadByte(t);
    loadU32(t);
}

// The body's text layout at `at` over a text of `length` characters: its
// flag (01 00 on the device, 00 00 from some writers), shared formats and paragraph records, each paragraph ending where
// the text has a paragraph end, all of them adding up to the text's length
// (or running into the end of the file first).
bool bodyLayoutFits(const LoadState& s, uint32_t at, const unsigned char* text, uint32_t length) {
    Trial trial(s, at);
    LoadState& t = trial.s;
    if (!loadLayoutHead(t)) return false;
    uint32_t count = loadU32(t);
    if (t.damaged) return true;  // cut short before its paragraphs
    if (count == 0 || count > length) return false;
    uint64_t covered = 0;
    for (uint32_t i = 0; i < count; ++i) {
        if (bytesLeft(t) < ParagraphRecordBytes) return true;
        covered += loadU32(t);
        int reference = loadByte(t);
        if (!endsParagraph(text, length, covered)) return false;
        if (reference == OwnFormat) {
            skipOwnFormat(t);
            if (t.damaged) return true;
        }
    }
    return covered == length;
}

// The characters a body text layout's paragraph records add up to, or 0
// where they cannot all be read.
uint64_t laidOutCharacters(const LoadState& s, uint32_t at) {
    Trial trial(s, at);
    LoadState& t = trial.s;
    if (!loadLayoutHead(t)) return 0;
    uint32_t count = loadU32(t);
    uint64_t covered = 0;
    for (uint32_t i = 0; i < count && !t.damaged; ++i) {
        covered += loadU32(t);
        if (loadByte(t) == OwnFormat) skipOwnFormat(t);
    }
    return t.damaged ? 0 : covered;
}

// The text of a header or footer block, which follows the block's tag.
bool isHeaderFooterText(const InputStream& in, uint32_t at) {
    if (at < 4) return false;
    const unsigned char* tag = in.data + at - 4;
    uint32_t uid = tag[0] | tag[1] << 8 | tag[2] << 16 | static_cast<uint32_t>(tag[3]) << 24;
    return uid == HeaderFooterTextUid;
}

// A section follows numbers and tags, not a character: a place right after
// a letter, a space or a paragraph end lies inside some text.
bool followsText(const InputStream& in, uint32_t at) { return at > 0 && isTextByte(in.data[at - 1]); }

// A text whose count no longer matches it, as where a few bytes inside it
// were lost or doubled: its characters up to `nonText`, the first byte that
// cannot be text, kept to the last paragraph end among them. The count must
// end inside the file within a few bytes of `nonText`, and hold more than a
// name's worth of characters. (A letter after a block of zeros, read as a
// count, gives a text that begins mid-word.)
bool looseTextAt(const InputStream& in, uint32_t start, uint32_t length, uint32_t nonText, TextSectionFound& found) {
    uint64_t end = uint64_t{start} + length;
    uint64_t distance = end > nonText ? end - nonText : nonText - end;
    if (end > in.size || length < ShortestUnplacedCutText || distance > LooseTextSlack) return false;
    uint32_t kept = nonText;
    while (kept > start && in.data[kept - 1] != ParagraphEndByte) --kept;
    if (kept == start) return false;
    found = TextSectionFound{start, kept - start, false, 0};
    return true;
}

// The rest of a word whose first letters were overwritten, or read as a
// count, is no word of the document: a text that may start inside a word is
// taken from the next word on.
void dropFirstWord(const InputStream& in, TextSectionFound& text) {
    uint32_t skipped = 0;
    while (skipped < text.length && !separatesWords(in.data[text.start + skipped])) ++skipped;
    if (skipped < text.length) ++skipped;
    text.start += skipped;
    text.length -= skipped;
}

struct TextSearch {
    bool checked = false;
    bool strict = false;
    bool loose = false;
    uint64_t shortestCut = 1;
    bool takesCutText = true;
    uint32_t nonText = 0;
    // A text found with no layout to vouch for it starts before this place.
    uint64_t unvouchedBefore = UINT64_MAX;
    // Where a text is looked for right after a page layout, it starts
    // before this place; elsewhere, 0.
    uint64_t placedBefore = 0;
};

// The text section at `at`. `checked` asks that its characters all be
// text and, `strict` besides, that a whole text be followed by a text
// layout that fits it; otherwise that it end with a paragraph end.
// `takesCutText` false refuses a text the end of the file cuts. `loose`
// takes a text whose count no longer matches it as far as it still reads,
// where a text that fits its count is found nowhere.
// `nonText` is the first byte from the text's start on that cannot be
// text, found once for every candidate that starts before it.
bool textSectionAt(const LoadState& s, uint32_t at, TextSectionFound& found, TextSearch& search) {
    bool checked = search.checked;
    uint32_t& nonText = search.nonText;
    const InputStream& in = s.reader.input;
    if (at == 0 || at >= in.size) return false;
    // A header's or footer's text follows its tag, whose last byte reads as text.
    if (search.checked && followsText(in, at)) return false;
    Trial trial(s, at);
    uint32_t length = loadCardinality(trial.s);
    if (trial.s.damaged || (checked && length == 0)) return false;
    uint32_t start = position(trial.s);
    uint64_t end = static_cast<uint64_t>(start) + length;
    uint64_t available = std::min<uint64_t>(end, in.size);
    if (length == 0) {
        found = TextSectionFound{start, 0, true, 0};
        return true;
    }
    if (available <= start) return false;
    bool layoutUnchecked = end > in.size || !search.strict;
    if (checked && layoutUnchecked && available - start < search.shortestCut) return false;
    if (checked && end > in.size && !search.takesCutText) return false;
    if (checked) {
        if (nonText < start) nonText = start;
        while (nonText < in.size && isTextByte(in.data[nonText])) ++nonText;
        if (nonText < available) return search.loose && looseTextAt(in, start, length, nonText, found);
    }
    found = TextSectionFound{start, length, end <= in.size, 0};
    if (!found.whole) {
        // A word cut by the end of the file is not the document's: only the
        // characters up to the last one that ends a word are kept.
        uint32_t kept = static_cast<uint32_t>(available - start);
        while (kept > 0 && !separatesWords(in.data[start + kept - 1])) --kept;
        found.length = kept;
        return kept != 0 || !checked;
    }
    const unsigned char* text = in.data + start;
    if (end < in.size && bodyLayoutFits(s, static_cast<uint32_t>(end), text, length)) {
        found.layout = static_cast<uint32_t>(end);
    }
    if (!checked) return true;
    if (in.data[end - 1] != ParagraphEndByte) return search.loose && looseTextAt(in, start, length, nonText, found);
    return !search.strict || end == in.size || found.layout != 0;
}

// Where the text of a header or footer block at `at` ends, clipped to the
// input: no body text starts inside it. Where what follows the tag is no
// text, as where a byte lost or doubled made a tag of other bytes, `at`.
uint32_t endOfHeaderFooterText(const LoadState& s, uint32_t at) {
    const InputStream& in = s.reader.input;
    Trial trial(s, at);
    uint32_t length = loadCardinality(trial.s);
    if (trial.s.damaged) return at;
    const unsigned char* start = in.data + position(trial.s);
    const unsigned char* end = in.data + std::min<uint64_t>(uint64_t{position(trial.s)} + length, in.size);
    return std::all_of(start, end, isTextByte) ? static_cast<uint32_t>(end - in.data) : at;
}

// Whether a text shows anything, a word or an object: one of paragraph ends
// and spaces alone, found by searching, is some other section's numbers.
bool showsSomething(const InputStream& in, const TextSectionFound& text) {
    const unsigned char* bytes = in.data + text.start;
    return std::any_of(bytes, bytes + text.length, [](unsigned char byte) { return byte > ' ' || byte == ObjectByte; });
}

// Whether a text found by searching, with no layout to vouch for it, reads
// as words: in any language the device writes, one character in five or six
// separates them, where in bytes of another kind (a compressed file's,
// say) hardly one in twenty-five reads as a space or a paragraph end. A
// short one, a title alone say, may be a single long word.
bool readsAsWords(const InputStream& in, const TextSectionFound& text) {
    if (text.length < ShortestUnplacedCutText) return true;
    const unsigned char* bytes = in.data + text.start;
    auto separators = static_cast<uint64_t>(std::count_if(bytes, bytes + text.length, separatesWords));
    return separators * WordLengthLimit >= text.length;
}

// Whether a text section found at `at` with no layout to vouch for it lies
// where the document's text could not start: further from the page layout
// than the blocks that may follow it, or after a byte other than the page
// layout's last one, which is 0 in every real document. Its count was then
// read from bytes after damage, inside the text.
bool startsAfterDamage(const InputStream& in, uint32_t at, const TextSearch& search) {
    return in.data[at - 1] != 0 || (search.placedBefore != 0 && at >= search.placedBefore);
}

// The first place from `from` on that holds a text section: one whose
// layout fits it if there is one, else any. A header's or footer's text,
// found by its tag, is passed whole: its words would be read as the body's.
uint32_t findText(const LoadState& s, uint32_t from, const TextSearch& searched, TextSectionFound& found,
                  bool strictOnly = false) {
    const InputStream& in = s.reader.input;
    for (bool strict : {true, false}) {
        if (strictOnly && !strict) break;
        TextSearch search = searched;
        search.strict = strict;
        search.loose = searched.loose && !strict;
        for (uint32_t at = from; at < in.size; ++at) {
            if (isHeaderFooterText(in, at)) {
                at = std::max(at, endOfHeaderFooterText(s, at));
                if (at >= in.size) break;
            }
            if (!textSectionAt(s, at, found, search) || !showsSomething(in, found)) continue;
            if (found.layout != 0) return at;
            // One that no layout vouches for must lie near where a text is
            // looked for, and read as words; where it starts after damage,
            // it may start inside a word.
            if (found.start >= search.unvouchedBefore || !readsAsWords(in, found)) continue;
            if (startsAfterDamage(in, at, search)) dropFirstWord(in, found);
            if (showsSomething(in, found)) return at;
        }
    }
    return 0;
}

// The characters a body text layout at `at` lays out, where each of its
// paragraphs holds one at least and all of them no more than `limit`; 0
// otherwise, or once `budget` (records read) is spent.
uint64_t laidOutWithin(const LoadState& s, uint32_t at, uint64_t limit, uint64_t& budget) {
    Trial trial(s, at);
    LoadState& t = trial.s;
    if (!loadLayoutHead(t)) return 0;
    uint32_t count = loadU32(t);
    if (t.damaged || count == 0 || count > limit) return 0;
    uint64_t covered = 0;
    for (uint32_t i = 0; i < count; ++i) {
        if (budget == 0) return 0;
        --budget;
        uint32_t characters = loadU32(t);
        covered += characters;
        if (characters == 0 || covered > limit) return 0;
        if (loadByte(t) == OwnFormat) skipOwnFormat(t);
        if (t.damaged) return 0;
    }
    return covered;
}

// The whole paragraphs right before a body text layout at `layout` that
// lays out `laidOut` characters, from the last back to the first one that
// does not read whole (one with a byte that cannot be text, or not ending
// at a paragraph end): where the start of a text was overwritten, as a bad
// block of a disk does, the paragraphs after the damage still read. Taken
// only where they hold more than a name's worth of characters. Each byte
// looked at is taken from `budget`.
bool textTailBeforeLayout(const LoadState& s, uint32_t layout, uint64_t laidOut, uint64_t& budget,
                          TextSectionFound& found) {
    const InputStream& in = s.reader.input;
    Trial trial(s, layout);
    LoadState& t = trial.s;
    loadLayoutHead(t);
    uint32_t count = loadU32(t);
    uint32_t at = layout - static_cast<uint32_t>(laidOut);
    uint32_t tail = at;  // where the run of whole paragraphs that ends at `at` starts
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t end = at + loadU32(t);
        if (loadByte(t) == OwnFormat) skipOwnFormat(t);
        if (end - at > budget) return false;
        budget -= end - at;
        const unsigned char* first = in.data + at;
        const unsigned char* last = in.data + end;
        bool whole = last[-1] == ParagraphEndByte && std::all_of(first, last, isTextByte);
        if (!whole) tail = end;
        at = end;
    }
    if (layout - tail < ShortestUnplacedCutText) return false;
    found = TextSectionFound{tail, layout - tail, false, 0};
    return true;
}

// A text whose count was lost, found by the layout that follows it: the
// first place from `from` on where a body text layout reads whose
// paragraphs add up to as many characters as lie right before it, all of
// them text, and fit them; or, failing that, whose last paragraphs lie
// whole before it. Where the text starts, or 0. The work is bounded by a
// few times the input's size, whatever the input holds.
uint32_t findTextBeforeLayout(const LoadState& s, uint32_t from, TextSectionFound& found) {
    const InputStream& in = s.reader.input;
    uint64_t budget = LayoutSearchWorkPerByte * uint64_t{in.size} + LayoutSearchWorkPerByte;
    uint32_t textRun = from;  // where the run of text bytes that ends before `at` starts
    for (uint32_t at = std::max(from, 1u); at + 1 < in.size && budget != 0; ++at) {
        if (!isTextByte(in.data[at - 1])) textRun = at;
        // A text ends with a paragraph end; a layout starts with its flag.
        if (in.data[at - 1] != ParagraphEndByte || in.data[at] > BodyLayoutFlag || in.data[at + 1] != 0) continue;
        uint64_t laidOut = laidOutWithin(s, at, at - from, budget);
        if (laidOut == 0) continue;
        auto length = static_cast<uint32_t>(laidOut);
        if (at - length >= textRun && bodyLayoutFits(s, at, in.data + at - length, length)) {
            found = TextSectionFound{at - length, length, true, at};
            return at - length;
        }
        if (textTailBeforeLayout(s, at, laidOut, budget, found)) return found.start;
    }
    return 0;
}

// A listed text whose listed layout does not fit it, or whose count cannot
// be read, where the layout's paragraphs add up to a text that is there
// after a count of some width, each ending at a paragraph end: the count
// was damaged, and the text is as long as the layout says. (A count that
// ran on past the text showed the layout's bytes and the section table as
// words.) The width read, if any, is tried first.
bool textByLayout(LoadState& s, uint32_t listedText, uint32_t layout, uint32_t widthRead, TextSectionFound& text) {
    const InputStream& in = s.reader.input;
    uint64_t laidOut = laidOutCharacters(s, layout);
    if (laidOut == 0) return false;
    auto length = static_cast<uint32_t>(laidOut);
    for (uint32_t width : {widthRead, 1u, 2u, 4u}) {
        uint64_t start = uint64_t{listedText} + width;
        if (width == 0 || laidOut > in.size - std::min<uint64_t>(start, in.size)) continue;
        const unsigned char* bytes = in.data + start;
        if (bytes[length - 1] != ParagraphEndByte || !bodyLayoutFits(s, layout, bytes, length)) continue;
        text = TextSectionFound{static_cast<uint32_t>(start), length, true, 0};
        noteDamage(s, Damage::PartsUnreadable);
        return true;
    }
    return false;
}

// Whether the listed layout fits the listed text, or can be made to.
bool fitTextToLayout(LoadState& s, uint32_t listedText, uint32_t layout, TextSectionFound& text) {
    if (bodyLayoutFits(s, layout, s.reader.input.data + text.start, text.length)) return true;
    return textByLayout(s, listedText, layout, text.start - listedText, text);
}

// Whether a whole text ends inside a paragraph, as no text does that its
// count and its layout agree on.
bool endsInsideAParagraph(const InputStream& in, const TextSectionFound& text) {
    return text.whole && text.length != 0 && in.data[text.start + text.length - 1] != ParagraphEndByte;
}

// A listed text read as far as its characters go, to their last paragraph
// end, as where bytes inside it were lost or doubled.
bool looseListedText(const LoadState& s, const TextSectionFound& text, TextSectionFound& loose) {
    const InputStream& in = s.reader.input;
    uint32_t nonText = text.start;
    while (nonText < in.size && isTextByte(in.data[nonText])) ++nonText;
    return looseTextAt(in, text.start, text.length, nonText, loose);
}

bool within(uint32_t place, uint32_t start, uint64_t end) { return place >= start && place < end; }

// The text the table lists, and whether the listed layout was checked
// against it and fits it.
struct ListedText {
    bool taken = false;
    bool layoutChecked = false;
    bool layoutFits = false;
};

// The text the table lists, as it reads; its length from its layout where
// its count was damaged; as far as its characters go where bytes inside it
// were lost or doubled. Not taken where it runs on into its own layout, or
// reads nowhere.
ListedText takeListedText(LoadState& s, const SectionPositions& listed, TextSectionFound& text) {
    ListedText asListed;
    if (listed.text == 0) return asListed;
    TextSearch unchecked;
    asListed.taken = textSectionAt(s, listed.text, text, unchecked);
    if (!asListed.taken && listed.textLayout != 0) {
        asListed.taken = textByLayout(s, listed.text, listed.textLayout, 0, text);
    }
    asListed.layoutChecked = asListed.taken && listed.textLayout != 0;
    if (!asListed.layoutChecked) return asListed;
    asListed.layoutFits = fitTextToLayout(s, listed.text, listed.textLayout, text);
    uint64_t end = uint64_t{text.start} + text.length;
    asListed.taken = !within(listed.textLayout, text.start + 1, end);
    if (!asListed.taken || asListed.layoutFits) return asListed;
    // An empty one its layout lays characters out for lost its count.
    if (text.length == 0 && laidOutCharacters(s, listed.textLayout) != 0) {
        asListed.taken = false;
    } else if (endsInsideAParagraph(s.reader.input, text)) {
        // One that ends inside a paragraph lost or gained bytes, and is read
        // as far as its characters go; unless it ends where its layout is
        // listed, as if it kept its count, and its characters go no further.
        TextSectionFound loose;
        bool loosened = looseListedText(s, text, loose);
        bool keptItsCount = end == listed.textLayout;
        if (loosened && (!keptItsCount || loose.length > text.length)) {
            text = loose;
        } else if (!keptItsCount) {
            asListed.taken = false;
        }
    }
    return asListed;
}

// The text searched for after the styles and the page layout: one its
// layout fits, else one as `search` allows; where that finds none with a
// layout, one its layout fits inside a page layout that read on into it,
// or one told by the layout after it.
uint32_t searchText(const LoadState& s, const TextSearch& search, uint32_t searchFrom, uint32_t pageLayout,
                    uint32_t pageLayoutEnd, TextSectionFound& text) {
    uint32_t at = findText(s, searchFrom, search, text);
    if (text.layout != 0) return at;
    // A page layout that lost bytes reads on into the text.
    if (pageLayoutEnd != 0) {
        TextSectionFound inside;
        uint32_t place = findText(s, pageLayout, search, inside, true);
        if (place != 0 && place < searchFrom && inside.layout != 0) {
            text = inside;
            return place;
        }
    }
    // A text whose count was lost is told by its layout; one whose start
    // was overwritten, by the paragraphs whole before its layout, where they
    // hold more than was found.
    TextSectionFound before;
    uint32_t place = findTextBeforeLayout(s, searchFrom, before);
    if (place != 0 && (before.whole || at == 0 || before.length > text.length)) {
        text = before;
        return place;
    }
    return at;
}

// The section named at `listed` when `reads` says it is one there; else
// the one `find` finds, if the table may be wrong; else the named one.
template <typename Reads, typename Find>
uint32_t sectionAt(uint32_t listed, bool tableLost, Reads reads, Find find) {
    if (listed != 0 && reads(listed)) return listed;
    if (listed == 0 && !tableLost) return 0;
    uint32_t found = find();
    return found != 0 ? found : listed;
}

}  // namespace

FoundSections checkedSections(LoadState& s, const SectionPositions& listed, bool tableLost) {
    FoundSections found;
    SectionPositions& at = found.at;
    at.styles = sectionAt(listed.styles, tableLost, [&](uint32_t p) { return endOfStyles(s, p) != 0; },
                          [&] { return findStyles(s); });
    uint32_t stylesEnd = endOfStyles(s, at.styles);
    at.pageLayout = sectionAt(listed.pageLayout, tableLost, [&](uint32_t p) { return endOfPageLayout(s, p) != 0; },
                              [&] { return findPageLayout(s, stylesEnd); });
    uint32_t pageLayoutEnd = endOfPageLayout(s, at.pageLayout);
    ListedText asListed = takeListedText(s, listed, found.text);
    TextSearch search;
    search.checked = true;
    search.shortestCut = pageLayoutEnd != 0 ? 1 : ShortestUnplacedCutText;
    search.takesCutText = pageLayoutEnd != 0 || stylesEnd != 0;
    // Only right after a page layout is a text likely enough to start where
    // one reads, to be taken though its count does not match it.
    search.loose = pageLayoutEnd != 0;
    uint32_t searchFrom = std::max({pageLayoutEnd, stylesEnd, FirstSectionPosition});
    // The text follows the page layout within a few dozen bytes; one that no
    // layout vouches for, found much further on, lies in bytes of another kind.
    if (pageLayoutEnd != 0) {
        search.unvouchedBefore = uint64_t{searchFrom} + PageLayoutSearchBytes;
        search.placedBefore = uint64_t{pageLayoutEnd} + PlacedTextSlack;
    }
    if (asListed.taken) {
        at.text = listed.text;
    } else if (listed.text != 0 || tableLost) {
        found.text = {};
        asListed.layoutChecked = false;
        at.text = searchText(s, search, searchFrom, at.pageLayout, pageLayoutEnd, found.text);
    }
    if (at.text != 0 && found.text.whole) {
        // The listed layout stands where it fits the text too, though
        // another that fits follows the text.
        const unsigned char* text = s.reader.input.data + found.text.start;
        bool listedFits = asListed.layoutChecked ? asListed.layoutFits
                                                 : listed.textLayout != 0 &&
                                                       bodyLayoutFits(s, listed.textLayout, text, found.text.length);
        bool fitsBetter = !listedFits && found.text.layout != 0 && (listed.textLayout != 0 || tableLost);
        at.textLayout = fitsBetter ? found.text.layout : listed.textLayout;
    }
    bool moved = at.styles != listed.styles || at.pageLayout != listed.pageLayout || at.text != listed.text ||
                 at.textLayout != listed.textLayout;
    if (moved) noteDamage(s, Damage::SectionTableDamaged);
    return found;
}

}  // namespace zentoro
