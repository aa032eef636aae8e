// The building blocks that the files of the handheld's own applications
// share: the UID header with its checksum, the table that lists a file's
// sections, and the counted strings inside them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "reader/input_stream.h"

namespace zentoro {

// UID1 of the files that keep their sections in a table (Record, TextEd,
// Sheet) and UID2 of the documents among them.
inline constexpr uint32_t SectionedFileUid = 0x10000037;
inline constexpr uint32_t ApplicationDocumentUid = 0x1000006D;

// Whether `data` begins with these three UIDs and the checksum that belongs
// to them.
bool startsWithUids(const unsigned char* data, size_t size, uint32_t uid1, uint32_t uid2, uint32_t uid3);

// Where a file stores the offset of its section table; an object embedded
// in a document, which has no UID header, stores it first.
inline constexpr size_t FileSectionTableAt = 0x10;
inline constexpr size_t ObjectSectionTableAt = 0;

// Where the device writes a file's first section: right after the UID
// header and the section table's offset. A file cut short loses its table,
// at its end, first; its sections are then looked for from here.
inline constexpr uint32_t FirstSectionAt = 0x14;

// Where the section `id` lies, as the section table lists it; nothing when
// the table is absent, cut short or does not list it.
std::optional<uint32_t> findSection(const unsigned char* data, size_t size, uint32_t id,
                                    size_t tableAt = FileSectionTableAt);

// A counted string's bytes, as stored (one-byte or two-byte length prefix).
// Cut short by the end of the input, it holds what is there and the input
// records that it ended early. An unknown prefix gives an empty string.
std::span<const unsigned char> readCountedString(ReaderState& s);

}  // namespace zentoro
