// The text layout of the body, a header or a footer: shared paragraph
// formats, paragraph records and phrases over a stretch of text.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "model/apply_layer.h"
#include "model/load_state.h"

namespace zentoro {

// A field of a header or footer: characters [start, end) of its text hold
// the field's latest expansion.
struct FieldSpan {
    uint32_t start = 0;
    uint32_t end = 0;
    FieldKind kind = FieldKind::PageNumber;
    std::string pattern;  // date and time fields: the device's pattern
};

// What a text layout is read against.
struct TextLayoutSource {
    std::span<const unsigned char> text;
    // The body's paragraph records carry a style byte; those of headers and
    // footers do not.
    bool withStyles = false;
    // The formatting beneath each style: entry 0 is Normal's (for a header
    // or footer, its block's base layers); entry i the i-th style's.
    const std::vector<Formats>* styleFormats = nullptr;
    std::vector<FieldSpan> fields;  // in order of their start
    // Where each paragraph goes once read: null keeps it in the caller's
    // vector; otherwise it is handed over and its storage reused.
    const std::function<void(Paragraph&)>* sink = nullptr;
    // The document's body: its paragraphs count as what was recovered.
    bool body = false;
};

// Reads the text layout at the input position into `paragraphs`. Where the
// layout turns out damaged, or ends before the text does, the paragraphs
// read whole stay, and the text after them follows as plain paragraphs in
// the formatting beneath the layout; the damage is noted.
void loadTextLayout(LoadState& s, const TextLayoutSource& source, std::vector<Paragraph>& paragraphs);

// Paragraphs of `text` from character `from` on, without a layout: one per
// paragraph end, each in the formatting of `formats`.
void loadPlainParagraphs(LoadState& s, const TextLayoutSource& source, const Formats& formats,
                         std::vector<Paragraph>& paragraphs, uint32_t from = 0);

}  // namespace zentoro
