#include "rtf/section_dispatch.h"

#include "rtf/basic_sections.h"
#include "reader/input_readers.h"
#include "reader/word_uids.h"
#include "rtf/body_paragraphs.h"
#include "rtf/page_layout.h"
#include "rtf/style_sheet.h"

namespace zentoro {

void handleSection(ConversionState& s, uint32_t sectionUid) {
    switch (sectionUid) {
        case ApplicationIdSectionUid: readApplicationIdSection(s); break;
        case IgnoredSectionUid: readIgnoredSection(s); break;
        case StyleSectionUid:
            s.styleSectionSeen = true;
            writeStyleSheet(s);
            break;
        case PageLayoutSectionUid: writePageLayout(s); break;
        case TextSectionUid:
            s.textSectionSeen = true;
            readTextSection(s);
            break;
        case TextLayoutSectionUid:
            s.textLayoutSectionSeen = true;
            writeTextLayout(s);
            break;
        default: break;
    }
}

void translateSections(ConversionState& s) {
    seek(s, DictionaryOffsetPosition);
    seek(s, static_cast<int32_t>(readU32(s)));
    int entryCount = readByte(s) / 2;
    int32_t entryPos = tell(s);
    for (int i = 0; i < entryCount; ++i) {
        seek(s, entryPos);
        if (!moreToRead(s)) break;
        uint32_t sectionUid = readU32(s);
        int32_t sectionPos = static_cast<int32_t>(readU32(s));
        entryPos = tell(s);
        seek(s, sectionPos);
        handleSection(s, sectionUid);
    }
    // Documents whose text carries no formatting may have no text layout
    // section; without this their text would be lost and the RTF left open.
    if (s.styleSectionSeen && s.textSectionSeen && !s.textLayoutSectionSeen) {
        writeUnformattedBody(s);
    }
}

}  // namespace zentoro
