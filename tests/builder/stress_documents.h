// Documents that exercise the converter as a whole: one valid document that
// uses every feature, and hostile ones whose counts and positions make a
// converter that trusts them write or read without end.
#pragma once

#include <cstdint>
#include <vector>

namespace zentoro::testing {

// Styles with layers and hot keys, shared formats, own-format paragraphs
// with several phrases and trailing records, bullets, fonts, colours, tabs,
// every special text byte, and a header and footer with layouts of their own.
std::vector<uint8_t> richDocument();
// The same with its dictionary right after the header, so that every
// truncated copy still lists its sections.
std::vector<uint8_t> richDocumentDictionaryFirst();

// A document as the device writes it, using what the faithful conversion
// shows: styles over Normal, bullets with and without their indent rule, tab
// stops of each kind, spacing, borders, background, colours, raised and
// lowered text, special characters, an object, and a header with fields
// hidden on the first page. Its dictionary comes first and its text layout
// last, so that every truncated copy cuts bytes the reader needs.
std::vector<uint8_t> deviceDocument();

// Shared-format paragraphs that each claim 0xFFFFFFFF characters, after
// `leadingBytes` of filler before the text: a text cursor that wrapped would
// move back one byte per paragraph and write the rest of the file each time.
std::vector<uint8_t> rewindingTextDocument(uint32_t paragraphs, uint32_t leadingBytes);

// `paragraphs` shared-format paragraphs whose format names a style with a
// paragraph layer of `records` two-byte records, translated again for each.
// Writing records (widow control, "\\widowctrl ") amplify the output; silent
// ones (id 24, an on/off flag without meaning in RTF) cost reading time and
// write nothing.
enum class StyleRecords { Writing, Silent };
std::vector<uint8_t> heavyStyleDocument(uint32_t records, uint32_t paragraphs, StyleRecords kind);

// The rich document with its dictionary filled up to `entries` entries (at
// most 127), the added ones all pointing at its text layout section.
std::vector<uint8_t> repeatedTextLayoutDocument(int entries);

}  // namespace zentoro::testing
