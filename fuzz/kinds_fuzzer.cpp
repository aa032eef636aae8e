// libFuzzer target for the readers of recordings, program editor texts,
// spreadsheets and databases. The first byte chooses the kind (and, in its
// high bits, the options); the converter sees the kind's own UID header
// followed by the rest, so that mutations reach past the checksum. Whatever
// the bytes, each conversion must end quickly; outputs come only with a
// result that allows them, text and CSV are valid UTF-8, and a WAV's header
// tells its true size.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "database/database_file.h"
#include "fuzz/utf8_check.h"
#include "reader/uid_checksum.h"
#include "sheet/read_workbook.h"
#include "sheet/sheet_file.h"
#include "sound/record_file.h"
#include "texted/texted_file.h"

namespace {

using namespace zentoro;

using Converter = KindConversion (*)(const unsigned char*, size_t, const KindOptions&);

// Outputs up to this size are checked as UTF-8; a far cell makes a CSV of
// megabytes of commas, which would spend the fuzzer's time in the check.
constexpr size_t MaxCheckedOutput = 64 * 1024;

struct Kind {
    uint32_t uids[3];
    Converter convert;
};

const Kind Kinds[] = {
    {{0x10000037, 0x1000006D, 0x1000007E}, convertRecordFile},
    {{0x10000037, 0x1000006D, 0x10000085}, convertTextEdFile},
    {{0x10000037, 0x1000006D, 0x10000088}, convertSheetFile},
    {{0x10000050, 0x1000008A, 0}, convertOplDatabaseFile},
    {{0x10000050, 0x1000006D, 0x10000086}, convertDataFile},
};

std::vector<unsigned char> withHeader(const Kind& kind, const uint8_t* body, size_t size) {
    std::vector<unsigned char> file;
    for (uint32_t uid : kind.uids) {
        for (int shift = 0; shift < 32; shift += 8) file.push_back(static_cast<unsigned char>(uid >> shift));
    }
    uint32_t checksum = uidChecksum(file.data());
    for (int shift = 0; shift < 32; shift += 8) file.push_back(static_cast<unsigned char>(checksum >> shift));
    file.insert(file.end(), body, body + size);
    return file;
}

void checkConversion(const KindConversion& conversion, bool sound) {
    Failure failure = conversion.result.failure;
    bool mayHaveFiles = failure == Failure::None || failure == Failure::DocumentDamaged;
    if (!mayHaveFiles && !conversion.files.empty()) std::abort();
    for (const ConvertedFile& file : conversion.files) {
        if (sound) {
            uint32_t dataBytes = static_cast<unsigned char>(file.bytes[40]) | static_cast<unsigned char>(file.bytes[41]) << 8 |
                                 static_cast<unsigned char>(file.bytes[42]) << 16 |
                                 static_cast<uint32_t>(static_cast<unsigned char>(file.bytes[43])) << 24;
            if (file.bytes.size() != 44 + size_t{dataBytes}) std::abort();
        } else if (!fuzzing::utf8Problem(file.suffix).empty() ||
                   (file.bytes.size() <= MaxCheckedOutput && !fuzzing::utf8Problem(file.bytes).empty())) {
            std::abort();
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const Kind& kind = Kinds[(data[0] & 7) % std::size(Kinds)];
    KindOptions options{.soundAsPlayed = (data[0] & 0x40) != 0, .crlfLineEnds = (data[0] & 0x80) != 0};
    std::vector<unsigned char> file = withHeader(kind, data + 1, size - 1);
    checkConversion(kind.convert(file.data(), file.size(), options), kind.convert == convertRecordFile);
    // The same bytes as a spreadsheet embedded in a document, which has no
    // header and keeps its section table's offset first.
    if (kind.convert == convertSheetFile) readWorkbook(data + 1, size - 1, ObjectSectionTableAt);
    return 0;
}
