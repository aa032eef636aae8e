// Sketches written as PNG files: by the library for one document, and by
// `zentoro --extract-pictures` next to the conversion.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "convert/extract_pictures.h"
#include "convert/failure_description.h"
#include "picture/png_encoder.h"
#include "tests/builder/conversion_harness.h"
#include "tests/builder/sketch_builder.h"
#include "tests/builder/temporary_folder.h"

namespace zentoro {
namespace {

using namespace testing;
namespace fs = std::filesystem;

// Objects 1 and 4 are sketches that draw; 2 is a spreadsheet; 3 a sketch
// whose data end early.
std::vector<uint8_t> mixedDocument() {
    Sketch dot{3, 3, 2, false, Uncompressed, {3, 3, 3, 3, 0, 3, 3, 3, 3}};
    Sketch bar{7, 2, 24, true, TwentyFourBitRuns, std::vector<uint32_t>(14, 0xFF0000)};
    Sketch broken = dot;
    broken.pixelData = Bytes().fill(5, 0);
    return documentWithObjects({sketchBlock(dot), {otherObject(SpreadsheetUid), "Sheet", 3810, 1429},
                                sketchBlock(broken), sketchBlock(bar)})
        .bytes;
}

TEST(PictureExtraction, WritesEachDrawableSketchUnderTheDocumentsNameAndItsPlace) {
    TemporaryFolder folder("extract");
    writeFile(folder.path("letter.wrd"), mixedDocument());
    fs::create_directory(folder.path("pictures"));
    PictureExtraction extraction = extractPictures(folder.path("letter.wrd").c_str(), folder.path("pictures").c_str());
    ASSERT_TRUE(extraction.result.succeeded()) << describeFailure(extraction.result.failure);
    EXPECT_EQ(extraction.written, 2);
    ASSERT_EQ(extraction.warnings.size(), 1u);
    EXPECT_EQ(extraction.warnings[0], "object 3: the sketch's pixel data end early");
    std::string dot = readFile(folder.path("pictures/letter.wrd-object1.png"));
    Picture expected{3, 3, {}};
    for (int i = 0; i < 9; ++i) expected.rgb.insert(expected.rgb.end(), 3, i == 4 ? 0 : 255);
    std::vector<uint8_t> png = encodePng(expected);
    EXPECT_EQ(dot, std::string(png.begin(), png.end()));
    EXPECT_TRUE(fs::exists(folder.path("pictures/letter.wrd-object4.png")));
    EXPECT_FALSE(fs::exists(folder.path("pictures/letter.wrd-object2.png")));
    EXPECT_FALSE(fs::exists(folder.path("pictures/letter.wrd-object3.png")));
}

TEST(PictureExtraction, FailsWithTheReasonWhenTheFolderCannotBeWritten) {
    TemporaryFolder folder("extract");
    writeFile(folder.path("letter.wrd"), mixedDocument());
    PictureExtraction extraction = extractPictures(folder.path("letter.wrd").c_str(), folder.path("absent").c_str());
    EXPECT_EQ(extraction.result.failure, Failure::OutputUnwritable);
    EXPECT_NE(extraction.result.systemError, 0);
    EXPECT_EQ(extraction.written, 0);
}

// A picture's name that is another name of the document itself (a hard
// link) is refused, and the document left whole.
TEST(PictureExtraction, NeverWritesOverTheDocument) {
    TemporaryFolder folder("extract");
    std::vector<uint8_t> document = mixedDocument();
    writeFile(folder.path("letter.wrd"), document);
    fs::create_directory(folder.path("pictures"));
    fs::create_hard_link(folder.path("letter.wrd"), folder.path("pictures/letter.wrd-object1.png"));
    PictureExtraction extraction = extractPictures(folder.path("letter.wrd").c_str(), folder.path("pictures").c_str());
    EXPECT_EQ(extraction.result.failure, Failure::SameFile);
    EXPECT_EQ(readFile(folder.path("letter.wrd")), std::string(document.begin(), document.end()));
}

TEST(PictureExtraction, CommandLineWritesThePicturesAndReportsTheRest) {
    TemporaryFolder folder("extract");
    writeFile(folder.path("letter.wrd"), mixedDocument());
    CommandRun run = runIn(folder, "'" ZENTORO_CLI_PATH "' --faithful --extract-pictures=pictures letter.wrd");
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_EQ(run.out,
              "letter.wrd -> letter.wrd.rtf: Psion 5 Word file converted to RTF successfully\n"
              "letter.wrd: 2 pictures written to pictures\n");
    EXPECT_EQ(run.err, "letter.wrd: warning: object 3: the sketch's pixel data end early\n");
    EXPECT_TRUE(fs::exists(folder.path("pictures/letter.wrd-object1.png")));
    EXPECT_TRUE(fs::exists(folder.path("pictures/letter.wrd-object4.png")));
    if (std::system("command -v pngcheck >/dev/null 2>&1") != 0) return;
    CommandRun check = runIn(folder, "pngcheck pictures/letter.wrd-object1.png pictures/letter.wrd-object4.png");
    EXPECT_EQ(check.status, 0) << check.out;
}

// Standard input is read once, by the conversion: the file fails before
// anything is written.
TEST(PictureExtraction, CommandLineRefusesStandardInput) {
    TemporaryFolder folder("extract");
    writeFile(folder.path("letter.wrd"), mixedDocument());
    CommandRun run = runIn(folder, "'" ZENTORO_CLI_PATH "' --extract-pictures=pictures - <letter.wrd");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("pictures are extracted from files only, not from standard input"), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(folder.path("pictures")));
}

// Every picture file a conversion writes is covered by -n and --dry-run,
// and a picture that cannot be written is told beside the document's own
// report, which stands.
TEST(PictureExtraction, CommandLineTellsAndKeepsPicturesBesideTheDocument) {
    struct Case {
        const char* what;
        const char* existing;  // a file there before the run, holding "mine"; or null
        const char* arguments;
        int status;
        std::vector<std::string> outLines;  // lines the reports must hold, in order
        const char* errHas;
        std::vector<std::string> written;  // files there afterwards, besides `existing`
        std::vector<std::string> absent;
    };
    const std::string converted = "letter.wrd -> letter.wrd.rtf: Psion 5 Word file converted to RTF successfully";
    const Case cases[] = {
        {"-n keeps an extracted picture", "pictures/letter.wrd-object1.png",
         "-n --extract-pictures=pictures letter.wrd", 0,
         {converted, "letter.wrd: 1 picture written to pictures, 1 kept (the file exists)"}, "",
         {"letter.wrd.rtf", "pictures/letter.wrd-object4.png"}, {}},
        {"-n keeps a picture beside Markdown", "letter.wrd-object1.png", "-n -t md letter.wrd", 0,
         {"letter.wrd -> letter.wrd.md: Psion 5 Word file converted to Markdown successfully"}, "",
         {"letter.wrd.md", "letter.wrd-object4.png"}, {}},
        {"--dry-run -n tells which Markdown picture it keeps", "out/letter.wrd-object1.png",
         "-n --dry-run -t md --output-dir out letter.wrd", 0,
         {"letter.wrd -> out/letter.wrd-object1.png: skipped, it exists",
          "letter.wrd -> out/letter.wrd-object4.png: would be written"},
         "", {}, {"out/letter.wrd.md", "out/letter.wrd-object4.png"}},
        {"a picture failure beside the conversion", "afile", "--extract-pictures=afile letter.wrd", 1,
         {converted}, "letter.wrd: pictures not written to afile: ", {"letter.wrd.rtf"}, {}},
        {"--dry-run lists the pictures", nullptr, "--dry-run --extract-pictures=pictures letter.wrd", 0,
         {"letter.wrd -> letter.wrd.rtf: would be converted",
          "letter.wrd -> pictures/letter.wrd-object1.png: would be written",
          "letter.wrd -> pictures/letter.wrd-object4.png: would be written"},
         "", {}, {"letter.wrd.rtf", "pictures"}},
        {"--dry-run -n tells which it keeps", "pictures/letter.wrd-object4.png",
         "-n --dry-run --extract-pictures=pictures letter.wrd", 0,
         {"letter.wrd -> pictures/letter.wrd-object1.png: would be written",
          "letter.wrd -> pictures/letter.wrd-object4.png: skipped, it exists"},
         "", {}, {"letter.wrd.rtf", "pictures/letter.wrd-object1.png"}},
    };
    for (const Case& c : cases) {
        TemporaryFolder folder("pictures");
        writeFile(folder.path("letter.wrd"), mixedDocument());
        if (c.existing != nullptr) {
            fs::create_directories(fs::path(folder.path(c.existing)).parent_path());
            writeFile(folder.path(c.existing), std::vector<uint8_t>{'m', 'i', 'n', 'e'});
        }
        CommandRun run = runIn(folder, "'" ZENTORO_CLI_PATH "' " + std::string(c.arguments));
        EXPECT_EQ(run.status, c.status) << c.what << "\n" << run.out << run.err;
        size_t from = 0;
        for (const std::string& line : c.outLines) {
            size_t at = run.out.find(line + "\n", from);
            EXPECT_NE(at, std::string::npos) << c.what << ": " << line << "\n" << run.out;
            if (at != std::string::npos) from = at + line.size();
        }
        EXPECT_NE(run.err.find(c.errHas), std::string::npos) << c.what << "\n" << run.err;
        if (c.existing != nullptr) {
            EXPECT_EQ(readFile(folder.path(c.existing)), "mine") << c.what;
        }
        for (const std::string& file : c.written) EXPECT_TRUE(fs::exists(folder.path(file))) << c.what << ": " << file;
        for (const std::string& file : c.absent) EXPECT_FALSE(fs::exists(folder.path(file))) << c.what << ": " << file;
    }
}

// The picture files a dry run lists are, by name, those the run then writes.
TEST(PictureExtraction, DryRunListsThePicturesTheRunWrites) {
    struct Case {
        const char* arguments;
        size_t pictures;
    };
    const Case cases[] = {
        {"-t md letter.wrd", 2},
        {"-t markdown --output-dir out letter.wrd", 2},
        {"--extract-pictures=pictures letter.wrd", 2},
        {"-t md --extract-pictures=pictures letter.wrd", 4},
    };
    const std::string cli = "'" ZENTORO_CLI_PATH "' ";
    for (const Case& c : cases) {
        TemporaryFolder folder("dry-run-pictures");
        writeFile(folder.path("letter.wrd"), mixedDocument());
        CommandRun dry = runIn(folder, cli + "--dry-run " + c.arguments);
        EXPECT_EQ(dry.status, 0) << c.arguments << "\n" << dry.out << dry.err;
        std::vector<std::string> listed;
        const std::string prefix = "letter.wrd -> ", suffix = ": would be written";
        for (size_t at = 0, end; (end = dry.out.find('\n', at)) != std::string::npos; at = end + 1) {
            std::string line = dry.out.substr(at, end - at);
            if (line.starts_with(prefix) && line.ends_with(suffix)) {
                listed.push_back(line.substr(prefix.size(), line.size() - prefix.size() - suffix.size()));
            }
        }
        CommandRun run = runIn(folder, cli + c.arguments);
        EXPECT_EQ(run.status, 0) << c.arguments << "\n" << run.out << run.err;
        std::vector<std::string> written;
        for (const auto& entry : fs::recursive_directory_iterator(folder.root())) {
            if (entry.path().extension() == ".png") written.push_back(entry.path().lexically_relative(folder.root()).string());
        }
        std::sort(listed.begin(), listed.end());
        std::sort(written.begin(), written.end());
        EXPECT_EQ(listed, written) << c.arguments << "\n" << dry.out;
        EXPECT_EQ(written.size(), c.pictures) << c.arguments;
    }
}

}  // namespace
}  // namespace zentoro
