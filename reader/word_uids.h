// UIDs that identify a Word document and the sections of its dictionary.
#pragma once

#include <cstdint>

namespace zentoro {

// The three UIDs at the start of every Word document, in file order.
inline constexpr uint32_t EpocFileUid = 0x10000037;
inline constexpr uint32_t StandardDocumentUid = 0x1000006D;
inline constexpr uint32_t WordDocumentUid = 0x1000007F;

// Section UIDs, as listed in the section dictionary.
inline constexpr uint32_t ApplicationIdSectionUid = 0x10000089;
inline constexpr uint32_t IgnoredSectionUid = 0x10000243;
inline constexpr uint32_t StyleSectionUid = 0x10000104;
inline constexpr uint32_t PageLayoutSectionUid = 0x10000105;
inline constexpr uint32_t TextSectionUid = 0x10000106;
inline constexpr uint32_t TextLayoutSectionUid = 0x10000143;

// Tagged entries of a header or footer block in the page layout section.
inline constexpr uint32_t HeaderFooterBlockUid = 0x1000005C;
inline constexpr uint32_t HeaderFooterFirstUnusedEntryUid = 0x10000063;
inline constexpr uint32_t HeaderFooterTextUid = 0x10000064;
inline constexpr uint32_t HeaderFooterSecondUnusedEntryUid = 0x10000065;
inline constexpr uint32_t HeaderFooterLayoutEntryUid = 0x10000066;
// The first of them is the position of the block's field list.
inline constexpr uint32_t HeaderFooterFieldsUid = HeaderFooterFirstUnusedEntryUid;

// Where the header keeps the absolute position of the section dictionary.
inline constexpr int32_t DictionaryOffsetPosition = 16;

}  // namespace zentoro
