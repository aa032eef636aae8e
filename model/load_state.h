// The state that every loader of the model builder shares: the input, the
// document being filled and whether the input has turned out damaged.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "model/character_layer_cache.h"
#include "model/document.h"
#include "picture/picture_limits.h"
#include "reader/failure.h"
#include "reader/input_readers.h"

namespace zentoro {

// How much memory the model of a document may take for the size of its
// input. Every paragraph holds its whole formatting, so a damaged document
// of empty paragraphs that share a format with many tab stops would take
// hundreds of times its size; real documents take under twenty.
inline constexpr uint64_t ModelBytesPerInputByte = 64;
inline constexpr uint64_t ModelFloor = 64 * 1024 * 1024;

struct LoadState {
    ReaderState reader;
    Document* document = nullptr;
    bool damaged = false;  // a read ran past the end, or a position lay outside the input
    uint64_t modelBytes = 0;   // what the paragraphs read so far take, roughly
    uint64_t modelLimit = 0;   // 0: no limit
    bool modelLimitReached = false;
    // What the document's pictures may still take (see MaxDocumentPicturePixels).
    uint64_t picturePixelsLeft = MaxDocumentPicturePixels;
    // Takes the paragraph records a phrase's character layer may hold, which
    // apply to no paragraph, so that a phrase copies no paragraph format.
    ParagraphFormat phraseParagraphScratch;
    CharacterLayerCache phraseLayers;
    // With a sink, body paragraphs go to it one at a time: one paragraph is
    // filled again and again, its runs kept aside so that their text
    // buffers are reused.
    const std::function<void(Paragraph&)>* bodySink = nullptr;
    Paragraph streamed;
    std::vector<Run> spareRuns;
    // The text section's characters, once found.
    std::span<const unsigned char> text;
    bool textFound = false;
    // The first damage found. A loader stops where it finds damage
    // (`damaged`); the reading notes it here and goes on where it can, so
    // that a damaged document gives back everything it still holds.
    Damage damage = Damage::None;
    // The body paragraphs read, and the stretches of the text they hold.
    uint64_t bodyParagraphs = 0;
    std::vector<std::pair<uint32_t, uint32_t>> bodyText;
};

inline InputStream& input(LoadState& s) { return s.reader.input; }

inline size_t bytesLeft(const LoadState& s) {
    const InputStream& in = s.reader.input;
    return in.pos < in.size ? in.size - in.pos : 0;
}

// True when `count` more bytes lie ahead; otherwise marks the input damaged.
inline bool need(LoadState& s, size_t count) {
    if (bytesLeft(s) >= count) return true;
    s.damaged = true;
    return false;
}

// The checked readers: past the end they mark the input damaged and yield 0.
inline int loadByte(LoadState& s) { return need(s, 1) ? readByte(input(s)) : 0; }
inline uint32_t loadU32(LoadState& s) { return need(s, 4) ? readU32(input(s)) : 0; }
inline int32_t loadI32(LoadState& s) { return static_cast<int32_t>(loadU32(s)); }

// Moves to an absolute position; one outside the input marks it damaged.
inline bool seekTo(LoadState& s, uint32_t position) {
    if (position > input(s).size) {
        s.damaged = true;
        return false;
    }
    seek(s.reader, static_cast<int32_t>(position));
    return true;
}

inline uint32_t position(const LoadState& s) { return static_cast<uint32_t>(s.reader.input.pos); }

// Notes damage as the document's first, if it is.
inline void noteDamage(LoadState& s, Damage damage) {
    if (s.damage == Damage::None) s.damage = damage;
}

// After a loader stopped at damage: notes it and clears the stop, and says
// whether reading may go on (not once a limit has been reached).
inline bool goOnAfterDamage(LoadState& s) {
    if (s.modelLimitReached || s.reader.input.readLimitExceeded) return false;
    if (s.damaged) noteDamage(s, Damage::PartsUnreadable);
    s.damaged = false;
    return true;
}

// Adds what a paragraph takes to the model's size; false, and the reading
// stops as though the input were damaged, once the limit is passed.
bool countParagraph(LoadState& s, const Paragraph& paragraph);

// The variable-length count, checked against the end of the input.
uint32_t loadCardinality(LoadState& s);

}  // namespace zentoro
