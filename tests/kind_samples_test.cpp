// The sample recordings, program sources, spreadsheet and databases: each
// converts, and each output is the one that was checked by ear (a
// spectrogram), by reading the program, and by opening the CSV.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "database/database_file.h"
#include "sheet/sheet_file.h"
#include "sound/record_file.h"
#include "tests/builder/temporary_folder.h"
#include "tests/libreoffice/text_export.h"
#include "texted/texted_file.h"

namespace zentoro {
namespace {

namespace fs = std::filesystem;

const fs::path KindsDir = fs::path(ZENTORO_SOURCE_DIR) / ".." / "shared" / "corpus" / "kinds";

uint64_t fnv1a(std::string_view bytes) {
    uint64_t hash = 0xcbf29ce484222325ULL;
    for (unsigned char byte : bytes) hash = (hash ^ byte) * 0x100000001b3ULL;
    return hash;
}

std::optional<std::string> sample(const std::string& name) {
    std::ifstream in(KindsDir / name, std::ios::binary);
    if (!in) return std::nullopt;
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

using Converter = KindConversion (*)(const unsigned char*, size_t, const KindOptions&);

KindConversion convertSample(const std::string& bytes, Converter convert, KindOptions options = {}) {
    return convert(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), options);
}

#define LOAD_SAMPLE(variable, name)                                              \
    std::optional<std::string> variable = sample(name);                          \
    if (!variable) GTEST_SKIP() << "no sample " << name << " in " << KindsDir

struct RecordingCase {
    const char* file;
    bool asPlayed;
    uint32_t samples;
    uint64_t hash;
};

// Listened to as spectrograms: the example's 440 Hz then 880 Hz tone (once,
// and twice with the half-second pause), and the scream's voiced harmonics.
TEST(RecordingSamples, ConvertToTheWavThatWasChecked) {
    const RecordingCase cases[] = {
        {"record/record-example.rec", false, 8000, 7972425694442196269ULL},
        {"record/record-example.rec", true, 20000, 6353696849985103593ULL},
        {"record/fbc7446de0_Scream", false, 46908, 6940847096470665333ULL},
    };
    for (const RecordingCase& c : cases) {
        SCOPED_TRACE(std::string(c.file) + (c.asPlayed ? " as played" : ""));
        LOAD_SAMPLE(bytes, c.file);
        KindConversion conversion = convertSample(*bytes, convertRecordFile, {.soundAsPlayed = c.asPlayed});
        ASSERT_TRUE(conversion.result.succeeded()) << conversion.detail;
        ASSERT_EQ(conversion.files.size(), 1u);
        EXPECT_EQ(conversion.files[0].suffix, ".wav");
        EXPECT_EQ(conversion.files[0].bytes.size(), 44 + 2 * c.samples);
        EXPECT_EQ(fnv1a(conversion.files[0].bytes), c.hash);
    }
}

// sox hears the example's tones: 440 Hz in the first half second, 880 Hz
// in the second.
TEST(RecordingSamples, SoxHearsTheExampleTones) {
    LOAD_SAMPLE(bytes, "record/record-example.rec");
    if (system("command -v sox >/dev/null 2>&1") != 0) GTEST_SKIP() << "sox is not on the PATH";
    testing::TemporaryFolder folder("kind-samples");
    std::string wav = folder.path("example.wav");
    std::ofstream(wav, std::ios::binary) << convertSample(*bytes, convertRecordFile).files.at(0).bytes;
    for (auto [start, frequency] : {std::pair{0.0, 440.0}, std::pair{0.5, 880.0}}) {
        std::string command = "sox '" + wav + "' -n trim " + std::to_string(start) + " 0.5 stat 2>&1";
        FILE* pipe = popen(command.c_str(), "r");
        ASSERT_NE(pipe, nullptr);
        std::string report;
        char buffer[256];
        while (fgets(buffer, sizeof buffer, pipe)) report += buffer;
        pclose(pipe);
        size_t at = report.find("Rough   frequency:");
        ASSERT_NE(at, std::string::npos) << report;
        double heard = std::stod(report.substr(at + 18));
        EXPECT_NEAR(heard, frequency, frequency * 0.03) << "from " << start << " s";
    }
}

struct SourceCase {
    const char* file;
    uint64_t hash;
};

// Each read as a program: OPL as written, hard spaces as plain ones.
TEST(ProgramSamples, ConvertToTheProgramsThatWereRead) {
    const SourceCase cases[] = {
        {"texted/1aea936a0d_dialog-tests", 15734717170685036293ULL}, {"texted/3233ec512a_Music", 14067831729468403480ULL},
        {"texted/32bf98f4da_Welcome.opl", 10525403448702566634ULL},  {"texted/3e898106eb_dialog", 13334038155771478514ULL},
        {"texted/5b5d2f4403_VScroll.oph", 2092655363582607411ULL},  {"texted/74072a3b79_VScroll", 4674518328204003715ULL},
        {"texted/7f9270d8a7_dialog-tests", 15123365857005135585ULL}, {"texted/82746ef40a_Welcome.opl", 14860447388283228392ULL},
        {"texted/8e22c6f7e6_dialog-tests", 6524611695535867239ULL}, {"texted/92e491fa1b_Welcome.opl", 13487701293489392473ULL},
        {"texted/9e388c8efa_Welcome.opl", 11462797485189854405ULL},  {"texted/d7b7b7afd7_dialog-tests", 17511424166330855249ULL},
        {"texted/e9ab4415de_Welcome.opl", 5190414756063242030ULL},  {"texted/f176f2d2d0_VScrollTest", 679115630737680227ULL},
        {"texted/fec796faee_Welcome.opl", 7300764035610858432ULL},
    };
    for (const SourceCase& c : cases) {
        SCOPED_TRACE(c.file);
        LOAD_SAMPLE(bytes, c.file);
        KindConversion conversion = convertSample(*bytes, convertTextEdFile);
        ASSERT_TRUE(conversion.result.succeeded()) << conversion.detail;
        ASSERT_EQ(conversion.files.size(), 1u);
        EXPECT_EQ(conversion.files[0].suffix, ".opl");
        EXPECT_EQ(fnv1a(conversion.files[0].bytes), c.hash);
    }
}

TEST(ProgramSamples, KeepTheProgramsLinesAndSpaces) {
    LOAD_SAMPLE(bytes, "texted/82746ef40a_Welcome.opl");
    std::string text = convertSample(*bytes, convertTextEdFile).files.at(0).bytes;
    EXPECT_EQ(text.substr(0, 20), "INCLUDE \"const.oph\"\n");
    EXPECT_EQ(text.find_first_of(std::string("\r\x06\x10\xA0", 4)), std::string::npos);
    std::string windows = convertSample(*bytes, convertTextEdFile, {.crlfLineEnds = true}).files.at(0).bytes;
    EXPECT_EQ(windows.substr(0, 21), "INCLUDE \"const.oph\"\r\n");
}

// Opened in LibreOffice: five columns, the blank row kept, the comma inside
// quotes, "é" and "€", the date as a date.
const char* const ExampleCsv =
    "Item,Price,Count,Total,Paid\n"
    "Pens,1.25,4,5,TRUE\n"
    "\"Paper, A4\",4.99,2,9.98,FALSE\n"
    "Caf\u00e9 \u20ac,2,1,2,TRUE\n"
    ",,,,\n"
    "Date,2000-01-02,,#DIV/0!,\n";

TEST(SheetSample, ConvertsToTheCsvThatWasOpened) {
    LOAD_SAMPLE(bytes, "sheet/sheet-example.sheet");
    KindConversion conversion = convertSample(*bytes, convertSheetFile);
    ASSERT_TRUE(conversion.result.succeeded()) << conversion.detail;
    ASSERT_EQ(conversion.files.size(), 1u);
    EXPECT_EQ(conversion.files[0].suffix, ".csv");
    EXPECT_EQ(conversion.files[0].bytes, ExampleCsv);
    EXPECT_EQ(conversion.summary, "1 worksheet");
}

struct DatabaseCase {
    const char* file;
    std::vector<std::pair<std::string, std::string>> tables;  // suffix, CSV
};

TEST(DatabaseSamples, ConvertToOneCsvPerTable) {
    std::vector<DatabaseCase> cases = {
        {"opl-database/06240e84df_threeint.db", {{"-Table1.csv", "INTAi\n42\n420\n24000\n"}}},
        {"opl-database/2bfcd0acab_missingmid.db", {{"-Table1.csv", "STRAs,LONGBOYl,FLOATYB\nfourty-two,,3.141592\n"}}},
        {"opl-database/78d3d0f5d4_twostring.db",
         {{"-Table1.csv", "STRAs,LONGBOYl,FLOATYB\nfourty-two,-889275714,3.141592\nwoop,-559038737,9\n"}}},
        {"opl-database/85e86dbabb_twotables-compacted.db",
         {{"-Table1.csv", "inta,intb\n42,420\n105,2992\n"},
          {"-AnotherTbl.csv", "txt\nWoop\nWooooooop\nWooooooooooooop\n"}}},
        {"opl-database/aaf28c5c4b_emptyint.db", {{"-Table1.csv", "INTAi\n"}}},
    };
    std::vector<std::pair<std::string, std::string>> many;
    for (int i = 1; i <= 19; ++i) {
        std::string n = std::to_string(i);
        many.push_back({"-Table" + n + ".csv", "txt\nFieldForTable" + n + "\n"});
    }
    cases.push_back({"opl-database/6b5f2858a2_manytables-compacted.db", many});
    for (const DatabaseCase& c : cases) {
        SCOPED_TRACE(c.file);
        LOAD_SAMPLE(bytes, c.file);
        KindConversion conversion = convertSample(*bytes, convertOplDatabaseFile);
        ASSERT_TRUE(conversion.result.succeeded()) << conversion.detail;
        ASSERT_EQ(conversion.files.size(), c.tables.size());
        for (size_t i = 0; i < c.tables.size(); ++i) {
            EXPECT_EQ(conversion.files[i].suffix, c.tables[i].first);
            EXPECT_EQ(conversion.files[i].bytes, c.tables[i].second);
        }
    }
}

// A database cut anywhere is never reported whole, though it may still be
// read through an earlier save's table of contents (which lacks what was
// saved after it).
TEST(DatabaseSamples, CutOnesAreNeverReportedWhole) {
    if (!fs::is_directory(KindsDir)) GTEST_SKIP() << "no samples in " << KindsDir;
    for (const fs::directory_entry& entry : fs::directory_iterator(KindsDir / "opl-database")) {
        std::string bytes = *sample("opl-database/" + entry.path().filename().string());
        for (size_t size = 0; size < bytes.size(); ++size) {
            KindConversion conversion = convertSample(bytes.substr(0, size), convertOplDatabaseFile);
            EXPECT_FALSE(conversion.result.succeeded()) << entry.path().filename() << " cut to " << size;
        }
    }
}

// Every sample is recognised as its own kind and as no other.
TEST(KindSamples, EachIsRecognisedAsItsKindOnly) {
    using Recogniser = bool (*)(const unsigned char*, size_t);
    const std::pair<const char*, Recogniser> kinds[] = {
        {"record", isRecordFile}, {"texted", isTextEdFile}, {"sheet", isSheetFile}, {"opl-database", isOplDatabaseFile}};
    if (!fs::is_directory(KindsDir)) GTEST_SKIP() << "no samples in " << KindsDir;
    for (auto [folder, own] : kinds) {
        for (const fs::directory_entry& entry : fs::directory_iterator(KindsDir / folder)) {
            SCOPED_TRACE(entry.path().string());
            std::string bytes = *sample(std::string(folder) + "/" + entry.path().filename().string());
            auto data = reinterpret_cast<const unsigned char*>(bytes.data());
            for (auto [other, recognises] : kinds) EXPECT_EQ(recognises(data, bytes.size()), own == recognises) << other;
            EXPECT_FALSE(isDataFile(data, bytes.size()));
        }
    }
}

}  // namespace
}  // namespace zentoro
