// A real word processor reads what we write: the bundled sample, the real
// documents beside the project and a built document with every text byte
// that stands for visible text are converted; LibreOffice turns every RTF
// into plain text in one headless run and into flat ODT in a second, and
// the words it read must be the words of each document's own text section,
// header and footer.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "convert/zentoro.h"
#include "tests/builder/conversion_harness.h"
#include "tests/builder/document_builder.h"
#include "tests/libreoffice/text_export.h"
#include "tests/support/document_text.h"
#include "tests/support/rtf_completeness.h"
#include "tests/support/word_comparison.h"

namespace zentoro {
namespace {

namespace fs = std::filesystem;
using namespace testing;

constexpr const char* SampleDocument = ZENTORO_SOURCE_DIR "/examples/sample.wrd";
constexpr const char* CorpusDir = ZENTORO_SOURCE_DIR "/../shared/corpus";
constexpr size_t CorpusDocumentCount = 25;
constexpr int SofficeTimeoutSeconds = 300;
// Set to keep the converted files and LibreOffice's text after the run.
constexpr const char* KeepFilesVariable = "ZENTORO_KEEP_READBACK";

// An RTF file written here, whose text is known, read in the same run as
// the documents: it shows that the run and the reading of its output work,
// whatever state the converter is in.
constexpr std::string_view KnownRtfName = "known_text.rtf";
constexpr std::string_view KnownRtf =
    "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Times New Roman;}}\n"
    "{\\pard Hello \xAB" "world\xBB 3\xD7" "2\\tab x\n\\par\n}\n"
    "{\\pard {\\field{\\*\\fldinst SYMBOL 149 \\\\f \"Symbol\"}{\\fldrslt }}\\tab Bullet \\{a\\} b\\\\c"
    "\n\\line\nnext\n\\page\nlast\n\\par\n}\n}\n";
constexpr std::string_view KnownText = "Hello \xC2\xAB" "world\xC2\xBB 3\xC3\x97" "2 x Bullet {a} b\\c next last";

// A document whose body, header and footer hold the unbreakable tab, the
// hard and potential hyphens and the visible and hard spaces.
constexpr std::string_view VisibleBytesName = "visible_text_bytes.wrd";

std::vector<uint8_t> visibleBytesDocument() {
    const std::string text = std::string("CG") + HardSpace + "Times E" + HardHyphen + "mail hy" + PotentialHyphen +
                             "phen a" + UnbreakableTab + "b c" + VisibleSpace + "d" + ParagraphEnd;
    const uint32_t length = static_cast<uint32_t>(text.size());
    PageLayoutSection page;
    page.header = HeaderFooter{true, "Head " + text, {}, {{0, 0, Layer(), {{length + 5, Layer()}}}}};
    page.footer = HeaderFooter{true, "Foot " + text, {}, {{length + 5, 1}}};
    TextLayoutSection layout;
    layout.formats = {SharedFormat{}};
    layout.paragraphs = {Paragraph{length, 1}, Paragraph{length, 0, Layer(), 0, {Phrase{length, Layer().bold()}}}};
    return WordDocument().styles(StyleSection{}).pageLayout(page).text(text + text).textLayout(layout).build();
}

std::vector<fs::path> corpusDocuments() {
    std::vector<fs::path> documents;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(CorpusDir, error)) {
        if (entry.path().extension() == ".wrd") documents.push_back(entry.path());
    }
    std::sort(documents.begin(), documents.end());
    return documents;
}

std::vector<fs::path> documentsToRead() {
    std::vector<fs::path> documents{SampleDocument};
    auto corpus = corpusDocuments();
    documents.insert(documents.end(), corpus.begin(), corpus.end());
    return documents;
}

fs::path makeWorkDir() {
    std::string pattern = (fs::temp_directory_path() / "zentoro-readback-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) return {};
    return pattern;
}

// The one LibreOffice run of this process, made when a test first asks.
class Readback {
public:
    static const Readback& get() {
        static const Readback run;
        return run;
    }
    ~Readback() {
        std::error_code error;
        if (std::getenv(KeepFilesVariable) == nullptr) fs::remove_all(workDir_, error);
    }

    const std::optional<std::string>& skipReason() const { return skipReason_; }
    fs::path rtfPath(const fs::path& document) const { return workDir_ / "rtf" / document.stem().concat(".rtf"); }
    fs::path visibleBytesDocument() const { return workDir_ / VisibleBytesName; }
    int conversionResult(const fs::path& document) const { return conversions_.at(document); }
    // What LibreOffice read from `rtf` (BOM and bullet characters removed);
    // none when it wrote nothing for it, and runReport() tells why.
    std::optional<std::string> textRead(const fs::path& rtf) const;
    // The header and footer LibreOffice read from `rtf`; none when it wrote
    // no flat ODT for it.
    std::optional<HeaderFooterRead> headerAndFooterRead(const fs::path& rtf) const;
    std::string runReport() const;

private:
    Readback();
    void convertDocuments();
    fs::path workDir_;
    TextExport export_;
    TextExport flatOdtExport_;
    std::map<fs::path, int> conversions_;
    std::optional<std::string> skipReason_;
    int exitStatus_ = 0;
};

Readback::Readback() {
    auto soffice = findOnPath("soffice");
    if (!soffice) {
        skipReason_ = "soffice is not on the PATH, so no word processor reads our RTF back "
                      "(apt-get install -y --no-install-recommends libreoffice-writer)";
        return;
    }
    workDir_ = makeWorkDir();
    if (workDir_.empty()) {
        skipReason_ = "no temporary folder for the read-back";
        return;
    }
    fs::create_directories(workDir_ / "rtf");
    fs::create_directories(workDir_ / "txt");
    export_ = TextExport{*soffice, workDir_ / "profile", workDir_ / "txt", workDir_ / "soffice.log",
                         SofficeTimeoutSeconds};
    fs::create_directories(workDir_ / "fodt");
    flatOdtExport_ = export_;
    flatOdtExport_.outputDir = workDir_ / "fodt";
    flatOdtExport_.logFile = workDir_ / "soffice-fodt.log";
    flatOdtExport_.format = "fodt";
    flatOdtExport_.extension = ".fodt";
    convertDocuments();
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(workDir_ / "rtf")) files.push_back(entry.path());
    exitStatus_ = exportAsText(export_, files);
    int flatOdtStatus = exportAsText(flatOdtExport_, files);
    if (exitStatus_ == 0) exitStatus_ = flatOdtStatus;
}

void Readback::convertDocuments() {
    writeFile((workDir_ / "rtf" / KnownRtfName).string(), std::vector<uint8_t>(KnownRtf.begin(), KnownRtf.end()));
    writeFile(visibleBytesDocument().string(), zentoro::visibleBytesDocument());
    std::vector<fs::path> documents = documentsToRead();
    documents.push_back(visibleBytesDocument());
    for (const auto& document : documents) {
        conversions_[document] = convertDocument(document.c_str(), rtfPath(document).c_str());
    }
}

std::optional<std::string> Readback::textRead(const fs::path& rtf) const {
    fs::path text = exportedTextPath(export_, rtf);
    if (!fs::exists(text)) return std::nullopt;
    return textOfExport(readFile(text.string()));
}

std::optional<HeaderFooterRead> Readback::headerAndFooterRead(const fs::path& rtf) const {
    fs::path flatOdt = exportedTextPath(flatOdtExport_, rtf);
    if (!fs::exists(flatOdt)) return std::nullopt;
    return headerAndFooterOfFlatOdt(readFile(flatOdt.string()));
}

std::string Readback::runReport() const {
    return "soffice exited with " + std::to_string(exitStatus_) + " (124: stopped after " +
           std::to_string(SofficeTimeoutSeconds) + " s); files in " + workDir_.string() + " (set " +
           KeepFilesVariable + " to keep them); its logs:\n" + readFile(export_.logFile.string()) +
           readFile(flatOdtExport_.logFile.string());
}

TEST(LibreOfficeReadback, ReadsAnRtfWhoseTextIsKnown) {
    const Readback& run = Readback::get();
    if (run.skipReason()) GTEST_SKIP() << *run.skipReason();
    auto text = run.textRead(KnownRtfName);
    ASSERT_TRUE(text) << "LibreOffice wrote no text for " << KnownRtfName << "; " << run.runReport();
    std::string difference = describeWordDifference(splitWords(KnownText), splitWords(*text));
    EXPECT_TRUE(difference.empty()) << difference;
}

TEST(LibreOfficeReadback, FindsTheRealDocuments) {
    if (!fs::is_directory(CorpusDir)) {
        GTEST_SKIP() << "no folder " << CorpusDir << ": only the bundled sample is read back";
    }
    EXPECT_EQ(corpusDocuments().size(), CorpusDocumentCount) << "in " << CorpusDir;
}

// The document converts to complete RTF, and LibreOffice reads from it the
// words of the document's text, of its header and of its footer.
void expectReadBack(const Readback& run, const fs::path& document) {
    std::string bytes = readFile(document.string());
    auto textBytes = textSectionBytes(bytes);
    ASSERT_TRUE(textBytes) << document << " has no whole text section";
    auto headerFooterBytes = headerFooterTextBytes(bytes);
    ASSERT_TRUE(headerFooterBytes) << document << " has no whole page layout section";

    EXPECT_EQ(run.conversionResult(document), 0);
    fs::path rtf = run.rtfPath(document);
    std::string problem = rtfCompletenessProblem(readFile(rtf.string()));
    EXPECT_TRUE(problem.empty()) << rtf << " is not complete: " << problem;

    auto textRead = run.textRead(rtf);
    ASSERT_TRUE(textRead) << "LibreOffice could not read " << rtf << "; " << run.runReport();
    std::string difference = describeWordDifference(splitWords(readableText(*textBytes)), splitWords(*textRead));
    EXPECT_TRUE(difference.empty()) << "LibreOffice read other words from " << rtf << " than "
                                    << document.filename() << " holds: " << difference;

    auto headerFooterRead = run.headerAndFooterRead(rtf);
    ASSERT_TRUE(headerFooterRead) << "LibreOffice wrote no flat ODT for " << rtf << "; " << run.runReport();
    std::string headerDifference = describeWordDifference(splitWords(readableText(headerFooterBytes->header)),
                                                          splitWords(textOfExport(headerFooterRead->header)));
    EXPECT_TRUE(headerDifference.empty()) << "LibreOffice read another header from " << rtf << ": " << headerDifference;
    std::string footerDifference = describeWordDifference(splitWords(readableText(headerFooterBytes->footer)),
                                                          splitWords(textOfExport(headerFooterRead->footer)));
    EXPECT_TRUE(footerDifference.empty()) << "LibreOffice read another footer from " << rtf << ": " << footerDifference;
}

class DocumentReadback : public ::testing::TestWithParam<fs::path> {};

TEST_P(DocumentReadback, ConvertsToCompleteRtfWhoseWordsLibreOfficeReads) {
    const Readback& run = Readback::get();
    if (run.skipReason()) GTEST_SKIP() << *run.skipReason();
    expectReadBack(run, GetParam());
}

TEST(LibreOfficeReadback, ReadsTheTextBytesThatStandForVisibleText) {
    const Readback& run = Readback::get();
    if (run.skipReason()) GTEST_SKIP() << *run.skipReason();
    expectReadBack(run, run.visibleBytesDocument());
}

std::string documentName(const ::testing::TestParamInfo<fs::path>& info) {
    std::string name = info.param.stem().string();
    std::replace_if(name.begin(), name.end(), [](unsigned char c) { return !std::isalnum(c); }, '_');
    return name;
}

INSTANTIATE_TEST_SUITE_P(Documents, DocumentReadback, ::testing::ValuesIn(documentsToRead()), documentName);

}  // namespace
}  // namespace zentoro
