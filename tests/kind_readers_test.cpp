// The readers of recordings, program editor texts, spreadsheets and
// databases on files built for each case: the values as the device means
// them, the variants other tools write, and damaged files giving what they
// still hold and nothing invented.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "database/database_file.h"
#include "database/read_database.h"
#include "sheet/csv_writer.h"
#include "sheet/read_workbook.h"
#include "sheet/sheet_file.h"
#include "sound/alaw.h"
#include "sound/record_file.h"
#include "tests/builder/kind_builder.h"
#include "texted/texted_file.h"

namespace zentoro {
namespace {

using namespace testing;

using Converter = KindConversion (*)(const unsigned char*, size_t, const KindOptions&);

KindConversion convertBytes(const Bytes& bytes, Converter convert, KindOptions options = {}) {
    return convert(bytes.data.data(), bytes.size(), options);
}

TEST(AlawSamples, DecodeByTheG711Table) {
    const std::pair<unsigned char, int16_t> cases[] = {
        {0xD5, 8}, {0x55, -8}, {0xAA, 32256}, {0x2A, -32256}, {0x80, 5504}, {0xD4, 24}, {0xC5, 264}};
    for (auto [byte, linear] : cases) EXPECT_EQ(alawSample(byte), linear) << int(byte);
}

struct RecordingCase {
    const char* name;
    Recording recording;
    KindOptions options;
    Failure failure;
    size_t samples;  // in the WAV; none when refused
};

TEST(RecordFiles, GiveTheirSamplesOrSayWhyNot) {
    std::vector<uint8_t> tone(100, 0xAA);
    const RecordingCase cases[] = {
        {"plain", {tone}, {}, Failure::None, 100},
        {"lengths big-endian", {.samples = tone, .bigEndianLengths = true}, {}, Failure::None, 100},
        {"empty", {}, {}, Failure::None, 0},
        {"ADPCM", {.samples = tone, .compression = 0x100001A1}, {}, Failure::NotSupported, 0},
        {"unknown coding", {.samples = tone, .compression = 7}, {}, Failure::NotSupported, 0},
        {"data cut short", {.samples = tone, .dataLength = 150}, {}, Failure::DocumentDamaged, 100},
        {"repeats ignored by default", {.samples = tone, .repeats = 2, .pauseMicroseconds = 1000}, {}, Failure::None, 100},
        {"as played", {.samples = tone, .repeats = 2, .pauseMicroseconds = 1000}, {.soundAsPlayed = true}, Failure::None, 316},
        {"pauses beyond the output limit", {.samples = tone, .repeats = 0xFFFF, .pauseMicroseconds = 0xFFFFFFFF},
         {.soundAsPlayed = true}, Failure::LimitReached, 0},
    };
    for (const RecordingCase& c : cases) {
        SCOPED_TRACE(c.name);
        KindConversion conversion = convertBytes(recordFile(c.recording), convertRecordFile, c.options);
        EXPECT_EQ(conversion.result.failure, c.failure) << conversion.detail;
        bool refused = c.failure == Failure::NotSupported || c.failure == Failure::LimitReached;
        ASSERT_EQ(conversion.files.size(), refused ? 0u : 1u);
        if (refused) {
            EXPECT_FALSE(conversion.detail.empty());
            continue;
        }
        const std::string& wav = conversion.files[0].bytes;
        ASSERT_EQ(wav.size(), 44 + 2 * c.samples);
        EXPECT_EQ(wav.substr(0, 4), "RIFF");
        EXPECT_EQ(wav.substr(36, 4), "data");
        if (c.samples > 0) {
            EXPECT_EQ(static_cast<uint8_t>(wav[44]) | static_cast<uint8_t>(wav[45]) << 8, 32256);
        }
    }
}

TEST(RecordFiles, PlayedTwiceHoldTheSilentPauseBetweenThePasses) {
    Recording recording{.samples = {0xAA, 0x2A}, .repeats = 1, .pauseMicroseconds = 500};  // 4 samples of pause
    std::string wav = convertBytes(recordFile(recording), convertRecordFile, {.soundAsPlayed = true}).files.at(0).bytes;
    std::vector<int16_t> samples;
    for (size_t at = 44; at + 1 < wav.size(); at += 2) {
        samples.push_back(static_cast<int16_t>(static_cast<uint8_t>(wav[at]) | static_cast<uint8_t>(wav[at + 1]) << 8));
    }
    EXPECT_EQ(samples, (std::vector<int16_t>{32256, -32256, 0, 0, 0, 0, 32256, -32256}));
}

TEST(TextEdFiles, WriteTheDeviceCodesAsPlainText) {
    const struct {
        std::string_view text;
        bool crlf;
        std::string expected;
    } cases[] = {
        {"a\x06" "b\x07" "c\x06", false, "a\nb\nc\n"},
        {"a\x06" "b\x06", true, "a\r\nb\r\n"},
        {"\x09" "x\x0A" "y", false, "\tx\ty"},
        {"CONST\x10" "a%\x0F" "=\x0B" "1", false, "CONST a% =-1"},
        {"page\x08" "two", false, "page\ftwo"},
        {"soft\x0C" "hy\x01\x0E" "phen", false, "softhyphen"},
        {"Caf\xE9 \x80 \x93q\x94", false, "Caf\u00e9 \u20ac \u201cq\u201d"},
    };
    for (const auto& c : cases) {
        KindConversion conversion = convertBytes(textEdFile(c.text), convertTextEdFile, {.crlfLineEnds = c.crlf});
        ASSERT_TRUE(conversion.result.succeeded());
        EXPECT_EQ(conversion.files.at(0).bytes, c.expected);
    }
}

TEST(TextEdFiles, AreNamedAsProgramsWhenTheyDeclareOne) {
    const std::pair<std::string_view, const char*> cases[] = {
        {"PROC main:\x06\x09PRINT 1\x06" "ENDP\x06", ".opl"},
        {"rem header\x06\x06" "EXTERNAL Init:\x06", ".opl"},
        {"\x09include \"x.oph\"\x06", ".opl"},
        {"APP Welcome, &10286F9C\x06", ".opl"},
        {"Shopping list\x06" "procure eggs\x06", ".txt"},
        {"PROCESSION\x06", ".txt"},
        {"", ".txt"},
    };
    for (auto [text, suffix] : cases) {
        EXPECT_EQ(convertBytes(textEdFile(text), convertTextEdFile).files.at(0).suffix, suffix) << text;
    }
}

std::string onlyCsv(const BuiltWorkbook& workbook) {
    KindConversion conversion = convertBytes(sheetFile(workbook), convertSheetFile);
    EXPECT_TRUE(conversion.result.succeeded()) << conversion.detail;
    return conversion.files.empty() ? std::string() : conversion.files[0].bytes;
}

BuiltWorkbook oneRow(std::vector<BuiltCell> cells) { return {"Sheet1", {{0, std::move(cells)}}}; }

BuiltCell valueCell(int type, double number, std::optional<int> format = std::nullopt) {
    BuiltCell cell;
    cell.type = type;
    cell.number = number;
    cell.numberFormat = format;
    return cell;
}

BuiltCell textCell(std::string text) {
    BuiltCell cell;
    cell.text = std::move(text);
    return cell;
}

BuiltCell farCell() {
    BuiltCell cell = valueCell(1, 7);
    cell.row = 2;
    cell.column = 3;
    return cell;
}

TEST(SheetFiles, WriteEachCellAsTheDeviceShowsIt) {
    constexpr int Date = 0x14, Currency = 6;
    const struct {
        const char* name;
        BuiltCell cell;
        std::string csv;
    } cases[] = {
        {"negative integer", valueCell(1, -42), "-42\n"},
        {"real at full precision", valueCell(4, 0.1 + 0.2), "0.30000000000000004\n"},
        {"currency real as its value", valueCell(4, 1234.5, Currency), "1234.5\n"},
        {"large real", valueCell(4, 1e300), "1e+300\n"},
        {"TRUE", valueCell(2, 1), "TRUE\n"},
        {"FALSE", valueCell(2, 0), "FALSE\n"},
        {"#NULL!", valueCell(3, 1), "#NULL!\n"},
        {"#NAME?", valueCell(3, 5), "#NAME?\n"},
        {"#N/A", valueCell(3, 7), "#N/A\n"},
        {"date", valueCell(1, 1, Date), "1900-01-01\n"},
        {"date past a leap day", valueCell(1, 60, Date), "1900-03-01\n"},
        {"date and time", valueCell(4, 36526.75, Date), "2000-01-02T18:00:00\n"},
        {"time alone", valueCell(4, 0.5, Date), "12:00:00\n"},
        {"text with quotes", textCell("say \"hi\""), "\"say \"\"hi\"\"\"\n"},
        {"text with a line end", textCell("two\nlines"), "\"two\nlines\"\n"},
        {"long text", textCell(std::string(100, 'x')), std::string(100, 'x') + "\n"},
        {"far cell", farCell(), ",,,\n,,,\n,,,7\n"},
    };
    for (const auto& c : cases) EXPECT_EQ(onlyCsv(oneRow({c.cell})), c.csv) << c.name;
}

TEST(SheetFiles, TheBuiltExampleGivesTheSamplesCsv) {
    EXPECT_EQ(onlyCsv(exampleWorkbook()),
              "Item,Price,Count,Total,Paid\nPens,1.25,4,5,TRUE\n\"Paper, A4\",4.99,2,9.98,FALSE\n"
              "Caf\u00e9 \u20ac,2,1,2,TRUE\n,,,,\nDate,2000-01-02,,#DIV/0!,\n");
}

TEST(SheetFiles, SeveralWorksheetsGiveOneFileEach) {
    BuiltWorkbook workbook{"Sheet1", {{0, {valueCell(1, 1)}}, {1, {valueCell(1, 2)}}, {2, {}}, {1, {}}}};
    KindConversion conversion = convertBytes(sheetFile(workbook), convertSheetFile);
    ASSERT_EQ(conversion.files.size(), 4u);
    EXPECT_EQ(conversion.files[0].suffix, "-Sheet1.csv");
    EXPECT_EQ(conversion.files[1].suffix, "-Sheet2.csv");
    EXPECT_EQ(conversion.files[1].bytes, "2\n");
    EXPECT_EQ(conversion.files[2].bytes, "");
    EXPECT_EQ(conversion.files[3].suffix, "-Sheet2-2.csv");  // a second worksheet numbered 1
    EXPECT_EQ(conversion.summary, "4 worksheets");
}

TEST(SheetFiles, APasswordProtectedOneIsRefused) {
    BuiltWorkbook workbook = exampleWorkbook();
    workbook.protectedByPassword = true;
    KindConversion conversion = convertBytes(sheetFile(workbook), convertSheetFile);
    EXPECT_EQ(conversion.result.failure, Failure::NotSupported);
    EXPECT_TRUE(conversion.files.empty());
}

TEST(CsvSuffixes, KeepTheNameButNoSeparators) {
    EXPECT_EQ(csvSuffixFor("Costs 2024"), "-Costs 2024.csv");
    EXPECT_EQ(csvSuffixFor("a/b\\c:d\x01"), "-a_b_c_d_.csv");
    CsvSuffixes suffixes;
    const std::pair<const char*, const char*> chosen[] = {
        {"-Sheet1.csv", "-Sheet1.csv"}, {"-sheet1.csv", "-sheet1-2.csv"}, {"-Sheet1-2.csv", "-Sheet1-2-2.csv"},
        {"-Sheet1.csv", "-Sheet1-3.csv"}, {"-Other.csv", "-Other.csv"}};
    for (auto [asked, given] : chosen) EXPECT_EQ(suffixes.unused(asked), given) << asked;
}

// Cut anywhere, a file gives at most what it holds: every cell it still
// gives is a cell of the whole file, and a cut file is never reported whole
// unless all its cells came out. It gives every cell whose bytes are left:
// more as the cut moves on, all once only the sections after them are lost.
TEST(DamagedFiles, CutSpreadsheetsGiveTheirOwnCellsAndEveryOneLeft) {
    Bytes whole = sheetFile(exampleWorkbook());
    Workbook full = readWorkbook(whole.data.data(), whole.size());
    ASSERT_EQ(full.sheets.size(), 1u);
    const std::vector<SheetCell>& cells = full.sheets[0].cells;
    size_t previous = 0;
    for (size_t size = 0; size < whole.size(); ++size) {
        Workbook cut = readWorkbook(whole.data.data(), size);
        EXPECT_LE(cut.sheets.size(), 1u);
        size_t given = cut.sheets.empty() ? 0 : cut.sheets[0].cells.size();
        for (const Worksheet& sheet : cut.sheets) {
            for (const SheetCell& cell : sheet.cells) {
                bool found = false;
                for (const SheetCell& real : cells) {
                    found = found || (real.row == cell.row && real.column == cell.column && real.text == cell.text);
                }
                EXPECT_TRUE(found) << size << ": " << cell.text;
            }
        }
        EXPECT_TRUE(cut.damaged || given == cells.size()) << size;
        EXPECT_GE(given, previous) << size;
        previous = given;
    }
    EXPECT_EQ(previous, cells.size());
    EXPECT_GT(readWorkbook(whole.data.data(), whole.size() / 2).sheets.at(0).cells.size(), 0u);
}

// A worksheet whose cell list's offset is damaged shows no cells made of
// other bytes: it is damaged, and its own list is found near the start.
TEST(DamagedFiles, AWorksheetPointingElsewhereKeepsItsOwnCells) {
    Bytes whole = sheetFile(exampleWorkbook());
    std::vector<SheetCell> cells = readWorkbook(whole.data.data(), whole.size()).sheets.at(0).cells;
    const uint8_t worksheet[] = {4, 1, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    auto offset = std::search(whole.data.begin(), whole.data.end(), std::begin(worksheet), std::end(worksheet)) + 12;
    ASSERT_LT(offset, whole.data.end());
    uint32_t real = static_cast<uint32_t>(offset[0] | offset[1] << 8 | offset[2] << 16 | offset[3] << 24);
    for (uint32_t elsewhere : {real + 1, 0x30u, 0xFFFFu}) {
        Bytes damaged = whole;
        for (int i = 0; i < 4; ++i) damaged.data[offset - whole.data.begin() + i] = static_cast<uint8_t>(elsewhere >> (8 * i));
        Workbook book = readWorkbook(damaged.data.data(), damaged.size());
        EXPECT_TRUE(book.damaged) << elsewhere;
        ASSERT_EQ(book.sheets.size(), 1u) << elsewhere;
        EXPECT_EQ(book.sheets[0].cells.size(), cells.size()) << elsewhere;
        for (size_t i = 0; i < std::min(cells.size(), book.sheets[0].cells.size()); ++i) {
            EXPECT_EQ(book.sheets[0].cells[i].text, cells[i].text) << elsewhere;
        }
    }
}

// A cut recording keeps the samples left; a cut text, found without its
// section table, every word whose bytes are left, and no part of a word.
TEST(DamagedFiles, CutRecordingsAndTextsKeepWhatTheyHold) {
    Recording recording{.samples = std::vector<uint8_t>(50, 0xD5)};
    Bytes wholeRecording = recordFile(recording);
    Bytes wholeText = textEdFile("PROC main:\x06\x09PRINT \"hello\"\x06" "ENDP\x06");
    const std::string whole = "PROC main:\n\tPRINT \"hello\"\nENDP\n";
    size_t textStart = std::string_view(reinterpret_cast<const char*>(wholeText.data.data()), wholeText.size()).find("PROC");
    for (size_t cut = 1; cut < 60; ++cut) {
        Bytes recordingCut = wholeRecording;
        recordingCut.data.resize(wholeRecording.size() - cut);
        KindConversion sound = convertBytes(recordingCut, convertRecordFile);
        EXPECT_NE(sound.result.failure, Failure::None) << cut;
        for (const ConvertedFile& file : sound.files) EXPECT_LE(file.bytes.size(), 44 + 2 * (50 - std::min<size_t>(cut, 50)));
        if (cut >= wholeText.size()) continue;
        Bytes textCut = wholeText;
        textCut.data.resize(wholeText.size() - cut);
        KindConversion text = convertBytes(textCut, convertTextEdFile);
        size_t held = std::min(whole.size(), textCut.size() > textStart ? textCut.size() - textStart : 0);
        EXPECT_TRUE(held == whole.size() || text.result.failure == Failure::DocumentDamaged) << cut;
        size_t wordsEnd = held == whole.size() ? held : whole.find_last_of(" \t\n", held == 0 ? 0 : held - 1);
        std::string recovered = held == 0 || wordsEnd == std::string::npos ? "" : whole.substr(0, std::min(held, wordsEnd + 1));
        EXPECT_EQ(text.files.empty() ? "" : text.files.at(0).bytes, recovered) << cut;
    }
}

TEST(DatabasePages, LoseTheTwoBytesAfterEachPage) {
    std::vector<unsigned char> file(0x4020 + 0x4002 + 0x4002 + 10);
    for (size_t i = 0; i < file.size(); ++i) file[i] = static_cast<unsigned char>(i % 251);
    std::string store = withoutPageMarkers(file.data(), file.size());
    ASSERT_EQ(store.size(), file.size() - 6);
    EXPECT_EQ(static_cast<unsigned char>(store[0x401F]), file[0x401F]);
    EXPECT_EQ(static_cast<unsigned char>(store[0x4020]), file[0x4022]);
    EXPECT_EQ(static_cast<unsigned char>(store[0x8020]), file[0x8024]);
    EXPECT_EQ(static_cast<unsigned char>(store.back()), file.back());
    std::vector<unsigned char> small(0x4021, 1);
    EXPECT_EQ(withoutPageMarkers(small.data(), small.size()).size(), 0x4020u);
}

}  // namespace
}  // namespace zentoro
