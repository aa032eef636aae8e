// Every kind of file the converter recognises, in one table: how a file is
// told by its leading bytes, what it is called in reports and summaries,
// the family that --kinds names, and the reader that converts it. convert/
// and the front ends ask this table; none of them names a kind itself.
// A new kind is one entry in fileKinds() (convert/file_kinds.cpp).
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "reader/converted_files.h"

namespace zentoro {

// What --kinds= selects: word, picture, sound, text, sheet, database.
enum class KindFamily { Word, Picture, Sound, Text, Sheet, Database, Other };

// The leading bytes a recogniser is shown: the whole file when it is shorter.
inline constexpr size_t KindHeaderBytes = 16;

using KindRecogniser = bool (*)(const unsigned char* header, size_t size);
using KindConverter = KindConversion (*)(const unsigned char* file, size_t size, const KindOptions& options);

struct FileKindEntry {
    const char* name;  // for a report line: "Sketch file"
    const char* one;   // for the summary: "1 sketch", "20 sketches"
    const char* many;
    KindFamily family;
    KindRecogniser recognises;
    // Null for a kind recognised but passed over, and for the Word document,
    // whose conversion keeps its own road (convert/zentoro.h).
    KindConverter convert;
};

// The table, in the order the summary counts kinds; the first entry that
// recognises a file says its kind, so a kind whose test would also accept
// another's files comes before it.
std::span<const FileKindEntry> fileKinds();

// The kind of a file from its first min(size, KindHeaderBytes) bytes (more
// may be given); null when no entry recognises it.
const FileKindEntry* kindOf(const unsigned char* header, size_t size);

// The kind's name after its article, for a message: "a Sketch file", "an
// OPL database".
std::string kindWithArticle(const FileKindEntry& kind);

bool isWordDocumentKind(const FileKindEntry& kind);
const FileKindEntry& wordDocumentKind();

// "word", "picture", ... and back; nullopt for an unknown name.
std::optional<KindFamily> familyNamed(std::string_view name);
const char* familyName(KindFamily family);

}  // namespace zentoro
