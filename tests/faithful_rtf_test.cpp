// The faithful RTF writer: what each part of the model becomes, the date
// pictures of fields, and the faithful conversion's entry points.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "convert/zentoro.h"
#include "model/read_document.h"
#include "tests/builder/conversion_harness.h"
#include "tests/builder/document_builder.h"
#include "tests/builder/stress_documents.h"
#include "tests/builder/temporary_folder.h"
#include "tests/support/rtf_completeness.h"
#include "write/date_picture.h"
#include "write/faithful_rtf.h"

namespace zentoro {
namespace {

Run textRun(std::string text, CharacterFormat format = {}) {
    Run run;
    run.text = std::move(text);
    run.format = format;
    return run;
}

Run fieldRun(FieldKind kind, std::string text, std::string pattern = "") {
    Run run = textRun(std::move(text));
    run.kind = RunKind::Field;
    run.field = kind;
    run.pattern = std::move(pattern);
    return run;
}

Paragraph paragraphOf(std::vector<Run> runs, ParagraphFormat format = {}) {
    Paragraph paragraph;
    paragraph.format = std::move(format);
    paragraph.runs = std::move(runs);
    return paragraph;
}

Document baseDocument() {
    Document d;
    d.fonts = {{"Times New Roman", FontFamily::Serif},
               {"Arial", FontFamily::SansSerif},
               {"Courier", FontFamily::Monospaced},
               {"Swiss", FontFamily::Swiss}};
    d.styles = {Style{"Normal", 'N', {}, {}}};
    d.body = {paragraphOf({textRun("Hi")})};
    return d;
}

std::string write(const Document& document) {
    std::string rtf;
    ByteSink sink;
    sink.memory = &rtf;
    EXPECT_TRUE(writeFaithfulRtf(document, sink));
    return rtf;
}

struct WriterCase {
    const char* name;
    std::function<void(Document&)> change;
    std::vector<std::string> present;
    std::vector<std::string> absent = {};
};

ParagraphFormat bulleted(int32_t left, int32_t firstLine, bool indent) {
    ParagraphFormat f;
    f.leftIndent = left;
    f.firstLineIndent = firstLine;
    f.bullet = Bullet{true, 180, U'\u2022', indent, Colour{85, 85, 85}, 3};
    return f;
}

const std::vector<WriterCase>& writerCases() {
    static const std::vector<WriterCase> cases = {
        {"FontTableWithFamilies", [](Document&) {},
         {"{\\f0\\froman\\fprq2\\fcharset0 Times New Roman;}", "{\\f1\\fswiss\\fprq2\\fcharset0 Arial;}",
          "{\\f2\\fmodern\\fprq1\\fcharset0 Courier;}", "{\\f3\\fswiss\\fprq2\\fcharset0 Swiss;}",
          "{\\rtf1\\ansi\\ansicpg1252\\deff0"}},
        {"SizesInHalfPointsRoundedAwayFromZero",
         [](Document& d) {
             d.body[0].runs = {textRun("a", {0, 205}), textRun("b", {1, 204}), textRun("c", {2, 195}), textRun("d", {3, -15})};
         },
         {"\\f0\\fs21\\cf1 a}", "\\f1\\fs20\\cf1 b}", "\\f2\\fs20\\cf1 c}", "\\f3\\fs-2\\cf1 d}"}},
        {"CharacterAttributesAndColour",
         [](Document& d) {
             d.body[0].runs = {textRun("x", {0, 200, true, true, true, true, VerticalPosition::Superscript, {1, 2, 3}}),
                               textRun("y", {0, 200, false, false, false, false, VerticalPosition::Subscript})};
         },
         {"\\b\\i\\ul\\strike\\super\\cf2 x}", "\\sub\\cf1 y}", "\\red1\\green2\\blue3;"}},
        {"CodePageEscapesAndUnicode", [](Document& d) { d.body[0].runs = {textRun("Caf\u00e9 \u00a33 \u20ac \u201cq\u201d \u03a9")}; },
         {"Caf\\'e9 \\'a33 \\'80 \\'93q\\'94 \\u937?"}},
        {"SpecialCharacters",
         [](Document& d) { d.body[0].runs = {textRun("a\tb\u2028c\fd\u00a0e\u2011f\u00adg{h}i\\j")}; },
         {"a\\tab b\\line c\\page d\\~e\\_f\\-g\\{h\\}i\\\\j"}},
        {"ParagraphFormatOnceInOnePard",
         [](Document& d) {
             ParagraphFormat& f = d.body[0].format;
             f.alignment = Alignment::Centre;
             f.leftIndent = 100;
             f.rightIndent = 200;
             f.firstLineIndent = -50;
             f.spaceBefore = 120;
             f.spaceAfter = 60;
             f.keepTogether = f.keepWithNext = f.pageBreakBefore = f.widowControl = true;
         },
         {"\\pard\\plain \\s0\\qc\\li100\\ri200\\fi-50\\sb120\\sa60\\keep\\keepn\\pagebb\\widctlpar\\f0"}},
        {"ExactLineSpacingIsNegative",
         [](Document& d) {
             d.body[0].format.lineSpacing = 240;
             d.body[0].format.lineSpacingMode = LineSpacingMode::Exactly;
         },
         {"\\sl-240\\slmult0"}},
        {"AtLeastLineSpacing", [](Document& d) { d.body[0].format.lineSpacing = 300; }, {"\\sl300\\slmult0"}},
        {"APlainParagraphWritesNoIndentSpacingKeepOrBreak", [](Document&) {}, {"\\nowidctlpar", "\\li0\\ri0\\fi0\\sb0\\sa0"},
         {"\\sl", "\\keep", "\\pagebb"}},
        {"BordersAndBackground",
         [](Document& d) {
             ParagraphFormat& f = d.body[0].format;
             f.borders[TopBorder] = Border{BorderStyle::Double, 30, Colour{9, 9, 9}};
             f.borders[RightBorder] = Border{BorderStyle::Dotted, 10, Black};
             f.borderDistance = 85;
             f.hasBackground = true;
             f.background = Colour{255, 255, 0};
         },
         {"\\brdrt\\brdrdb\\brdrw30\\brdrcf2\\brsp85\\brdrr\\brdrdot\\brdrw10\\brdrcf1\\brsp85\\cbpat3"}},
        {"EveryDashedBorderStyle",
         [](Document& d) {
             ParagraphFormat& f = d.body[0].format;
             f.borders = {Border{BorderStyle::Dashed, 0, Black}, Border{BorderStyle::DotDash, 20, Black},
                          Border{BorderStyle::DotDotDash, 20, Black}, Border{BorderStyle::Solid, 20, Black}};
         },
         {"\\brdrt\\brdrdash\\brdrw1\\", "\\brdrb\\brdrdashd\\brdrw20", "\\brdrl\\brdrdashdd\\brdrw20",
          "\\brdrr\\brdrs\\brdrw20"}},
        {"TabStopsWithKinds",
         [](Document& d) {
             d.body[0].format.tabStops = {{500, TabKind::Centre}, {1000, TabKind::Left}, {2000, TabKind::Right}};
         },
         {"\\tqc\\tx500\\tx1000\\tqr\\tx2000"}, {"\\qc"}},
        {"BulletWithIndentStandsAtTheSmallerIndent",
         [](Document& d) { d.body[0].format = bulleted(360, -360, true); },
         {"\\li360\\ri0\\fi-360", "\\ls1\\ilvl0", "\\levelfollow0", "{\\leveltext\\'01\\'95;}{\\levelnumbers;}\\f3\\fs18\\cf2}",
          "{\\listoverride\\listid1\\listoverridecount0\\ls1}", "{\\listtext\\pard\\plain \\f3\\fs18\\cf2 \\'95\\tab}"}},
        {"TheSameBulletTwiceIsOneList",
         [](Document& d) {
             d.body[0].format = bulleted(360, -360, true);
             d.body.push_back(d.body[0]);
         },
         {"\\ls1\\ilvl0"}, {"\\listid2", "\\ls2"}},
        {"BulletWithIndentAndAPositiveFirstLine",
         [](Document& d) { d.body[0].format = bulleted(0, 283, true); },
         {"\\li283\\ri0\\fi-283"}},
        {"BulletWithoutIndentStandsAtTheFirstLine",
         [](Document& d) { d.body[0].format = bulleted(0, 283, false); },
         {"\\li0\\ri0\\fi283", "\\levelfollow1"}},
        {"StyleSheetWithBasedOnAndHotKeys",
         [](Document& d) {
             Style heading{"Heading", 'H', {}, {}};
             heading.character.bold = true;
             d.styles.push_back(heading);
             d.body[0].style = 1;
         },
         {"{\\s0\\ql", "{\\*\\keycode \\shift\\ctrl N} Normal;}", "{\\s1\\sbasedon0\\ql",
          "\\b\\cf1 {\\*\\keycode \\shift\\ctrl H} Heading;}", "\\pard\\plain \\s1\\ql"}},
        {"DefaultPageWhereTheDocumentGivesNone",
         [](Document&) {},
         {"\\paperw11906\\paperh16838\\margl1440\\margr1440\\margt1440\\margb1440\n",
          "\\sectd\\headery720\\footery720\\pgnstarts1\\pgnrestart\n"}},
        {"PageSetup",
         [](Document& d) {
             d.page = PageSetup{12240, 15840, 1000, 1100, 1200, 1300, 400, 500, 3};
         },
         {"\\paperw12240\\paperh15840\\margl1000\\margr1100\\margt1200\\margb1300\n",
          "\\sectd\\headery400\\footery500\\pgnstarts3\\pgnrestart\n"},
         {"\\landscape", "\\titlepg"}},
        {"HeaderFieldsWithTheirLatestExpansion",
         [](Document& d) {
             d.header.present = true;
             d.header.paragraphs = {paragraphOf({textRun("Page "), fieldRun(FieldKind::PageNumber, "2"), textRun(" of "),
                                                 fieldRun(FieldKind::PageCount, "9"),
                                                 fieldRun(FieldKind::Date, "03-02-2004", "%D%M%Y%/0%1%/1%2%/2%3%/3"),
                                                 fieldRun(FieldKind::Date, "1:21am", "%*J%:1%T%B"),
                                                 fieldRun(FieldKind::FileName, "memo")})};
         },
         {"{\\header\n\\pard\\plain", "{\\field{\\*\\fldinst PAGE}{\\fldrslt {\\plain \\f0\\fs20\\cf1 2}}}",
          "{\\field{\\*\\fldinst NUMPAGES}{\\fldrslt {\\plain \\f0\\fs20\\cf1 9}}}",
          "{\\*\\fldinst DATE \\\\@ \"dd-MM-yyyy\"}{\\fldrslt {\\plain \\f0\\fs20\\cf1 03-02-2004}}}",
          "{\\*\\fldinst TIME \\\\@ \"h:mmam/pm\"}", "{\\*\\fldinst FILENAME}"}},
        {"HeaderHiddenOnTheFirstPage",
         [](Document& d) {
             d.header = HeaderFooter{true, false, {paragraphOf({textRun("head")})}};
             d.footer = HeaderFooter{true, true, {paragraphOf({textRun("foot")})}};
         },
         {"\\titlepg", "{\\headerf\\pard\\plain }", "{\\footerf\n\\pard\\plain"}},
        {"ObjectPlaceholders",
         [](Document& d) {
             d.objects = {EmbeddedObject{ObjectKind::Sketch}, EmbeddedObject{ObjectKind::Spreadsheet}};
             Run sketch = textRun("");
             sketch.kind = RunKind::Object;
             sketch.object = 0;
             Run sheet = sketch;
             sheet.object = 1;
             Run missing = sketch;
             missing.object = 2;
             d.body[0].runs = {sketch, sheet, missing};
         },
         {"[Sketch]}", "[Spreadsheet]}", "[Object]}"}},
        {"EveryParagraphEndsAnEmptyLastOneToo",
         [](Document& d) { d.body = {paragraphOf({textRun("one")}), paragraphOf({textRun("two")}), paragraphOf({})}; },
         {"one}\\par\n", "two}\\par\n", "\\cf1 \\par\n}\n"}},
    };
    return cases;
}

TEST(FaithfulRtfWriter, EachPartOfTheModel) {
    for (const WriterCase& c : writerCases()) {
        SCOPED_TRACE(c.name);
        Document d = baseDocument();
        c.change(d);
        std::string rtf = write(d);
        for (const std::string& piece : c.present) EXPECT_NE(rtf.find(piece), std::string::npos) << piece << "\n" << rtf;
        for (const std::string& piece : c.absent) EXPECT_EQ(rtf.find(piece), std::string::npos) << piece << "\n" << rtf;
        EXPECT_EQ(testing::rtfCompletenessProblem(rtf), "");
        for (char byte : rtf) EXPECT_TRUE(static_cast<unsigned char>(byte) >= 0x20 || byte == '\n') << int(byte);
    }
}

TEST(DatePictures, DevicePatternsBecomeFieldPictures) {
    struct Case {
        const char* pattern;
        const char* expansion;
        const char* picture;
        bool hasDate;
    } cases[] = {
        {"%D%M%Y%/0%1%/1%2%/2%3%/3", "03-02-2004", "dd-MM-yyyy", true},
        {"%M%D%Y%/0%1%/1%2%/2%3%/3", "02/03/2004", "MM/dd/yyyy", true},
        {"%Y%M%D%/0%1%/1%*2%/2%*3%/3", "2004.2.3", "yyyy.M.d", true},
        {"%*J%:1%T%B", "1:21am", "h:mmam/pm", false},
        {"%H%:1%T%:2%S", "13:21:05", "HH:mm:ss", false},
        {"%I%:1%T%A 100%%", "01:21pm 100%", "hh:mmam/pm 100%", false},
        {"%D%M%Y%/0%1%/1%2%/2%3%/3", "", "dd/MM/yyyy", true},
        {"%D%M%Y%/0%1%/1%2%/2%3%/3", " 03.02.2004", "dd.MM.yyyy", true},
        {"%Q%D", "", "dd", true},
        {"at %H", "", "'a''t' HH", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pattern);
        DatePicture picture = datePicture(c.pattern, c.expansion);
        EXPECT_EQ(picture.picture, c.picture);
        EXPECT_EQ(picture.hasDate, c.hasDate);
    }
}

TEST(FaithfulConversion, TheSampleConvertsToCompleteRtf) {
    std::vector<uint8_t> sample = testing::sampleDocument();
    std::string rtf;
    ConversionResult result = convertDocumentFaithfulToString(sample.data(), sample.size(), rtf);
    ASSERT_TRUE(result.succeeded()) << describeFailure(result.failure);
    EXPECT_EQ(testing::rtfCompletenessProblem(rtf), "");
    EXPECT_NE(rtf.find("Zentoro sample document"), std::string::npos);
    // The same RTF to a stream.
    std::FILE* stream = std::tmpfile();
    ASSERT_NE(stream, nullptr);
    EXPECT_TRUE(convertDocumentFaithfulBytes(sample.data(), sample.size(), stream).succeeded());
    std::string streamed(rtf.size() + 1, '\0');
    std::rewind(stream);
    streamed.resize(std::fread(streamed.data(), 1, streamed.size(), stream));
    std::fclose(stream);
    EXPECT_EQ(streamed, rtf);
}

// The conversion streams the body, reusing one paragraph and its runs; it
// must write what the writer writes from a whole model.
TEST(FaithfulConversion, StreamingWritesWhatTheWholeModelWrites) {
    std::vector<std::vector<uint8_t>> documents = {testing::sampleDocument(), testing::deviceDocument()};
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(ZENTORO_SOURCE_DIR "/../shared/corpus", error)) {
        if (entry.path().extension() != ".wrd") continue;
        std::string bytes = testing::readFile(entry.path().string());
        documents.emplace_back(bytes.begin(), bytes.end());
    }
    for (const std::vector<uint8_t>& bytes : documents) {
        std::string streamed;
        ASSERT_TRUE(convertDocumentFaithfulToString(bytes.data(), bytes.size(), streamed).succeeded());
        Document whole;
        ASSERT_TRUE(readDocument(std::span<const unsigned char>(bytes.data(), bytes.size()), whole).succeeded());
        EXPECT_EQ(write(whole), streamed);
    }
}

// Two thousand paragraphs, each in a character format of its own.
Document manyFormatsDocument() {
    Document document;
    document.fonts.push_back(Font{"Arial", FontFamily::Swiss});
    for (int i = 0; i < 2000; ++i) {
        Run run;
        run.text = "x";
        run.format.size = 20 + 2 * i;
        document.body.push_back(Paragraph{});
        document.body.back().runs.push_back(run);
    }
    return document;
}

// Writes the document's body `times` times into a stream begun for
// `expectedBody` bytes; each writing must equal the first. Returns the
// copies of kept formats the last writing made.
uint64_t hitsOnTheLastWriting(const Document& document, size_t expectedBody, int times) {
    auto stream = std::make_unique<FaithfulRtfStream>();
    beginFaithfulRtf(*stream, 0, expectedBody);
    auto writeBody = [&] {
        for (const Paragraph& paragraph : document.body) writeFaithfulBodyParagraph(*stream, document, paragraph);
        flushSink(stream->bodySink);
    };
    writeBody();
    size_t firstSize = stream->body.size();
    uint64_t hitsBefore = 0;
    for (int i = 1; i < times; ++i) {
        hitsBefore = stream->tables.formatTextHits;
        writeBody();
    }
    std::string_view body(reinterpret_cast<const char*>(stream->body.data()), stream->body.size());
    EXPECT_EQ(body.size(), static_cast<size_t>(times) * firstSize);
    EXPECT_EQ(body.substr(body.size() - firstSize), body.substr(0, firstSize));
    return stream->tables.formatTextHits - hitsBefore;
}

// A character format written before is copied from its kept text: the
// copies must be what writing its keywords gives, and they must be made. A
// long body that uses thousands of formats gets room to keep them.
TEST(FaithfulRtfWriter, RepeatedCharacterFormatsAreCopiedAsWritten) {
    std::vector<uint8_t> bytes = testing::sampleDocument();
    Document sample;
    ASSERT_TRUE(readDocument(std::span<const unsigned char>(bytes.data(), bytes.size()), sample).succeeded());
    size_t runs = 0;
    for (const Paragraph& paragraph : sample.body) runs += paragraph.runs.size();
    EXPECT_GT(hitsOnTheLastWriting(sample, 0, 2), runs / 2) << "of " << runs << " runs";

    Document many = manyFormatsDocument();
    uint64_t shortBody = hitsOnTheLastWriting(many, 0, 8);
    uint64_t longBody = hitsOnTheLastWriting(many, size_t{16} << 20, 8);
    EXPECT_GE(longBody, shortBody + 1600) << "of " << many.body.size() << " formats";
}

// Two formats that differ in one field alone are kept in slots of their
// own, so that a body alternating between them copies both every time.
TEST(FaithfulRtfWriter, FormatsDifferingInOneFieldAreKeptApart) {
    const std::pair<const char*, void (*)(CharacterFormat&)> fields[] = {
        {"font", [](CharacterFormat& f) { f.font = 1; }},
        {"size", [](CharacterFormat& f) { f.size = 240; }},
        {"bold", [](CharacterFormat& f) { f.bold = true; }},
        {"italic", [](CharacterFormat& f) { f.italic = true; }},
        {"underline", [](CharacterFormat& f) { f.underline = true; }},
        {"strikethrough", [](CharacterFormat& f) { f.strikethrough = true; }},
        {"position", [](CharacterFormat& f) { f.position = VerticalPosition::Superscript; }},
        {"red", [](CharacterFormat& f) { f.colour.red = 200; }},
        {"green", [](CharacterFormat& f) { f.colour.green = 200; }},
        {"blue", [](CharacterFormat& f) { f.colour.blue = 200; }},
    };
    for (const auto& [name, change] : fields) {
        Document document;
        document.fonts = {Font{"Arial", FontFamily::Swiss}, Font{"Courier", FontFamily::Monospaced}};
        for (bool changed : {false, true}) {
            zentoro::Run run;
            run.text = "x";
            if (changed) change(run.format);
            document.body.push_back(Paragraph{});
            document.body.back().runs.push_back(run);
        }
        // Each paragraph's mark and its run.
        EXPECT_EQ(hitsOnTheLastWriting(document, 0, 2), 4u) << name;
    }
}

TEST(FaithfulConversion, FailuresCarryTheirReasonAndLeaveNoOutput) {
    testing::TemporaryFolder folder("faithful");
    std::vector<uint8_t> sample = testing::sampleDocument();
    std::string good = folder.path("good.wrd");
    testing::writeFile(good, sample);
    std::string truncated = folder.path("truncated.wrd");
    testing::writeFile(truncated, std::vector<uint8_t>(sample.begin(), sample.begin() + 200));
    std::string notWord = folder.path("notes.txt");
    testing::writeFile(notWord, std::vector<uint8_t>(40, 'x'));
    struct Case {
        const char* name;
        std::string input;
        std::string output;
        Failure failure;
    } cases[] = {
        {"Converted", good, folder.path("good.rtf"), Failure::None},
        {"Damaged", truncated, folder.path("truncated.rtf"), Failure::DocumentDamaged},
        {"NotWord", notWord, folder.path("notes.rtf"), Failure::NotWordDocument},
        {"Missing", folder.path("missing.wrd"), folder.path("missing.rtf"), Failure::InputUnopenable},
        {"SameFile", good, good, Failure::SameFile},
        {"OutputFolderMissing", good, folder.path("none/good.rtf"), Failure::OutputUnwritable},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(convertDocumentFaithful(c.input.c_str(), c.output.c_str()).failure, c.failure);
        // 200 bytes of the sample hold none of its text: nothing is written.
        if (c.failure != Failure::SameFile) {
            EXPECT_EQ(std::filesystem::exists(c.output), c.failure == Failure::None);
        }
    }
    EXPECT_EQ(testing::readFile(good), std::string(sample.begin(), sample.end()));
}

}  // namespace
}  // namespace zentoro
