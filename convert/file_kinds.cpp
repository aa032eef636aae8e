#include "convert/file_kinds.h"

#include <algorithm>
#include <cstdint>

#include "picture_files/multi_bitmap_file.h"
#include "picture_files/rom_bitmap_file.h"
#include "picture_files/sketch_file.h"
#include "database/database_file.h"
#include "sheet/sheet_file.h"
#include "sound/record_file.h"
#include "texted/texted_file.h"
#include "reader/uid_header.h"
#include "reader/word_uids.h"

namespace zentoro {

namespace {

// Documents of the device's applications: the file UID, the document UID,
// then the application's UID.
bool isApplicationDocument(const unsigned char* bytes, size_t size, uint32_t application) {
    return hasUids(bytes, size, EpocFileUid, StandardDocumentUid, application);
}

bool isWordFile(const unsigned char* bytes, size_t size) {
    return isApplicationDocument(bytes, size, WordDocumentUid);
}

constexpr FileKindEntry Kinds[] = {
    {"Word document", "Word document", "Word documents", KindFamily::Word, isWordFile, nullptr},
    {"Sketch file", "sketch", "sketches", KindFamily::Picture, isSketchFile, convertSketchFile},
    {"ROM picture library", "ROM picture library", "ROM picture libraries", KindFamily::Picture, isRomBitmapFile, convertRomBitmapFile},
    {"picture library", "picture library", "picture libraries", KindFamily::Picture, isMultiBitmapFile, convertMultiBitmapFile},
    {"Record file", "recording", "recordings", KindFamily::Sound, isRecordFile, convertRecordFile},
    {"TextEd file", "TextEd file", "TextEd files", KindFamily::Text, isTextEdFile, convertTextEdFile},
    {"Sheet file", "spreadsheet", "spreadsheets", KindFamily::Sheet, isSheetFile, convertSheetFile},
    {"OPL database", "OPL database", "OPL databases", KindFamily::Database, isOplDatabaseFile, convertOplDatabaseFile},
    {"Data file", "Data file", "Data files", KindFamily::Database, isDataFile, convertDataFile},
};

// In the order of KindFamily; "other" names what no --kinds selects.
constexpr const char* FamilyNames[] = {"word", "picture", "sound", "text", "sheet", "database", "other"};
constexpr size_t SelectableFamilies = 6;

}  // namespace

std::span<const FileKindEntry> fileKinds() { return Kinds; }

const FileKindEntry* kindOf(const unsigned char* header, size_t size) {
    auto found = std::find_if(std::begin(Kinds), std::end(Kinds),
                              [&](const FileKindEntry& kind) { return kind.recognises(header, size); });
    return found == std::end(Kinds) ? nullptr : found;
}

std::string kindWithArticle(const FileKindEntry& kind) {
    std::string_view vowels = "AEIOUaeiou";
    bool vowel = vowels.find(kind.name[0]) != std::string_view::npos;
    return (vowel ? "an " : "a ") + std::string(kind.name);
}

bool isWordDocumentKind(const FileKindEntry& kind) { return kind.family == KindFamily::Word; }

const FileKindEntry& wordDocumentKind() { return *std::find_if(std::begin(Kinds), std::end(Kinds), isWordDocumentKind); }

std::optional<KindFamily> familyNamed(std::string_view name) {
    for (size_t i = 0; i < SelectableFamilies; ++i) {
        if (name == FamilyNames[i]) return static_cast<KindFamily>(i);
    }
    return std::nullopt;
}

const char* familyName(KindFamily family) { return FamilyNames[static_cast<size_t>(family)]; }

}  // namespace zentoro
