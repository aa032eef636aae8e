// Damaged documents read as far as they go: cut short anywhere, or with
// bytes overwritten outside their text, every faithful output keeps the
// words whose bytes remain, in order, and never shows a word the document
// does not hold.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <span>
#include <string>
#include <tuple>
#include <vector>

#include "convert/convert_to_format.h"
#include "convert/output_format.h"
#include "model/read_document.h"
#include "reader/word_uids.h"
#include "tests/builder/conversion_harness.h"
#include "tests/builder/document_builder.h"
#include "tests/builder/stress_documents.h"
#include "tests/builder/temporary_folder.h"
#include "tests/support/document_text.h"
#include "tests/support/rtf_completeness.h"
#include "tests/support/word_comparison.h"

namespace zentoro {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

constexpr const char* CorpusDir = ZENTORO_SOURCE_DIR "/../shared/corpus";
constexpr const char* SamplePath = ZENTORO_SOURCE_DIR "/examples/sample.wrd";
constexpr int CutPercents[] = {10, 25, 50, 75, 90, 99};
constexpr size_t OverwrittenBytes = 30;
constexpr unsigned OverwriteSeed = 23;
constexpr std::string_view SoftHyphen = "\u00AD";
constexpr char NotDisplayed = 0x0D;
constexpr char ObjectPlace = 0x0E;

struct Named {
    std::string name;
    Bytes bytes;
};

Bytes readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<Named> realDocuments() {
    std::vector<Named> documents;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(CorpusDir, error)) {
        if (entry.path().extension() == ".wrd") documents.push_back({entry.path().filename().string(), readAll(entry)});
    }
    std::sort(documents.begin(), documents.end(), [](const Named& a, const Named& b) { return a.name < b.name; });
    documents.push_back({"sample.wrd", readAll(SamplePath)});
    return documents;
}

// Where the document's text lies: [start, end) of its bytes.
struct TextPlace {
    size_t start = 0;
    size_t end = 0;
};

TextPlace textPlace(const Bytes& document) {
    std::string_view bytes(reinterpret_cast<const char*>(document.data()), document.size());
    std::string text = testing::textSectionBytes(bytes).value_or("");
    size_t start = bytes.find(text);
    return start == std::string_view::npos || text.empty() ? TextPlace{} : TextPlace{start, start + text.size()};
}

std::string textOf(const Bytes& document, ConversionResult& result, bool withHeaderFooter = false) {
    std::string written;
    WriteOptions options;
    options.withHeaderFooter = withHeaderFooter;
    result = convertDocumentBytesToString(OutputFormat::Text, document.data(), document.size(), written, options);
    return written;
}

size_t commonSubsequence(const std::vector<std::string>& a, const std::vector<std::string>& b) {
    std::vector<size_t> row(b.size() + 1, 0);
    for (const std::string& word : a) {
        size_t diagonal = 0;
        for (size_t j = 1; j <= b.size(); ++j) {
            size_t above = row[j];
            row[j] = word == b[j - 1] ? diagonal + 1 : std::max(row[j], row[j - 1]);
            diagonal = above;
        }
    }
    return row[b.size()];
}

// What all damaged copies gave back, over all documents.
struct Tally {
    size_t copies = 0;
    size_t expectedWords = 0;
    size_t recoveredInOrder = 0;
    size_t foreignWords = 0;
};

// The words of the text bytes [start, end) of the document that the cut
// file shows whole: a word at the cut is left out, since nothing tells that
// it ended there.
std::vector<std::string> remainingWords(const Bytes& whole, TextPlace text, size_t end) {
    end = std::min(end, text.end);
    if (end <= text.start) return {};
    while (end < text.end && end > text.start && whole[end - 1] > ' ') --end;
    std::string bytes(reinterpret_cast<const char*>(whole.data()) + text.start, end - text.start);
    // An object's place and a character not displayed are no words.
    std::replace_if(bytes.begin(), bytes.end(), [](char c) { return c == NotDisplayed || c == ObjectPlace; }, ' ');
    // The text output leaves out potential hyphens, which only say where a word may break.
    std::string readable = testing::readableText(bytes);
    for (size_t at; (at = readable.find(SoftHyphen)) != std::string::npos;) readable.erase(at, SoftHyphen.size());
    return testing::splitWords(readable);
}

// The first place from `from` on inside a word of the text, with five
// letters from there on, whose first two read as a two-byte count claiming
// more characters than the text holds; 0 where there is none.
size_t wordMiddleReadAsALongCount(const Bytes& whole, TextPlace text, size_t from) {
    auto letter = [&](size_t at) { return std::isalpha(whole[at]) != 0; };
    auto claimsPastTheText = [&](size_t at) {
        return (whole[at] & 3) == 1 && static_cast<size_t>((whole[at] | whole[at + 1] << 8) >> 2) > text.end - at;
    };
    for (size_t at = from; at + 5 < text.end; ++at) {
        bool fiveLetters = letter(at) && letter(at + 1) && letter(at + 2) && letter(at + 3) && letter(at + 4);
        if (letter(at - 1) && fiveLetters && claimsPastTheText(at)) return at;
    }
    return 0;
}

void checkDamaged(const std::string& trace, const Bytes& damaged, const std::vector<std::string>& expected,
                  const std::set<std::string>& documentWords, bool mustBeDamaged, Tally& tally,
                  std::optional<size_t> paragraphs = std::nullopt) {
    SCOPED_TRACE(trace);
    ConversionResult result;
    std::vector<std::string> recovered = testing::splitWords(textOf(damaged, result));
    if (mustBeDamaged) {
        EXPECT_EQ(result.failure, Failure::DocumentDamaged);
    }
    EXPECT_TRUE(result.failure == Failure::None || result.failure == Failure::DocumentDamaged);
    size_t inOrder = commonSubsequence(expected, recovered);
    EXPECT_GE(inOrder * 100, expected.size() * 99) << inOrder << " of " << expected.size() << " words";
    size_t foreign = 0;
    for (const std::string& word : recovered) {
        if (documentWords.count(word) == 0) {
            ++foreign;
            ADD_FAILURE() << "a word the document does not hold: " << word;
        }
    }
    if (result.failure == Failure::DocumentDamaged) {
        EXPECT_EQ(result.recovered.words > 0, !recovered.empty());
    }
    if (paragraphs) {
        EXPECT_EQ(result.recovered.paragraphs, *paragraphs);
    }
    // Every other output of the model gives back the same, or nothing alike.
    for (OutputFormat format : {OutputFormat::RtfFaithful, OutputFormat::Html, OutputFormat::Markdown}) {
        std::string written;
        ConversionResult other = convertDocumentBytesToString(format, damaged.data(), damaged.size(), written);
        EXPECT_EQ(other.failure, result.failure) << outputFormatName(format);
        EXPECT_EQ(other.recovered.words, result.recovered.words) << outputFormatName(format);
        EXPECT_EQ(written.empty(), !result.succeeded() && !result.salvaged()) << outputFormatName(format);
        if (format == OutputFormat::RtfFaithful && !written.empty()) {
            EXPECT_EQ(testing::rtfCompletenessProblem(written), "");
        }
    }
    ++tally.copies;
    tally.expectedWords += expected.size();
    tally.recoveredInOrder += inOrder;
    tally.foreignWords += foreign;
}

// Cut at each share of its length and by its last byte; 30 bytes outside
// its text overwritten; a byte of its text lost, or eight doubled, so that
// its count no longer matches it; three bytes lost just before it, eight
// doubled, or its count lost (each loss or gain moves every later section);
// its start overwritten. A text whose count alone no longer fits it keeps
// every paragraph, and gains none.
void checkSalvage(const Named& document, Tally& cuts, Tally& overwrites, Tally& shifts) {
    const Bytes& whole = document.bytes;
    TextPlace text = textPlace(whole);
    ASSERT_LT(text.start, text.end) << document.name;
    ConversionResult result;
    std::vector<std::string> all = testing::splitWords(textOf(whole, result));
    ASSERT_TRUE(result.succeeded()) << document.name;
    std::set<std::string> documentWords(all.begin(), all.end());
    std::vector<size_t> sizes;
    for (int percent : CutPercents) sizes.push_back(whole.size() * static_cast<size_t>(percent) / 100);
    sizes.push_back(whole.size() - 1);
    for (size_t size : sizes) {
        Bytes cut(whole.begin(), whole.begin() + static_cast<long>(size));
        checkDamaged(document.name + " cut to " + std::to_string(size) + " bytes", cut,
                     remainingWords(whole, text, size), documentWords, true, cuts);
    }
    // Cut halfway through its text, with zeros over all before it from
    // anywhere in the last two thirds of its styles on (as a bad block
    // leaves them), its page layout included: the styles that remain tell
    // where the text may start.
    size_t styles = testing::listedSectionPosition(whole, StyleSectionUid);
    size_t pageLayout = testing::listedSectionPosition(whole, PageLayoutSectionUid);
    size_t listedText = testing::listedSectionPosition(whole, TextSectionUid);
    bool listed = styles != 0 && styles < pageLayout && pageLayout < listedText && listedText < text.start;
    for (size_t lostFrom = styles + (pageLayout - styles) / 3; listed && lostFrom <= pageLayout; lostFrom += 16) {
        size_t size = (text.start + text.end) / 2;
        Bytes cut(whole.begin(), whole.begin() + static_cast<long>(size));
        std::fill(cut.begin() + static_cast<long>(lostFrom), cut.begin() + static_cast<long>(listedText), 0);
        checkDamaged(document.name + " cut halfway through its text, lost from " + std::to_string(lostFrom), cut,
                     remainingWords(whole, text, size), documentWords, true, cuts);
    }
    // Cut, with zeros over the text's count and its first 200 characters or
    // more, up to the middle of a word: the text read after them starts with
    // the next whole word, never with the rest of that one. (The word's next
    // two letters, read as a count, must claim more than the text holds; a
    // count within it ends no text, and none is found. A section table before
    // the text survives the cut and lists the text, empty.)
    size_t inWord = wordMiddleReadAsALongCount(whole, text, text.start + 200);
    if (inWord != 0 && testing::sectionTablePosition(whole) > text.end) {
        size_t nextWord = inWord;
        while (nextWord < text.end && !std::isspace(whole[nextWord])) ++nextWord;
        size_t size = (nextWord + text.end) / 2;
        Bytes cut(whole.begin(), whole.begin() + static_cast<long>(size));
        std::fill(cut.begin() + static_cast<long>(text.start) - 2, cut.begin() + static_cast<long>(inWord), 0);
        checkDamaged(document.name + " cut, its text's start zeroed up to the middle of a word", cut,
                     remainingWords(whole, TextPlace{nextWord, text.end}, size), documentWords, true, cuts);
    }
    std::mt19937 random(OverwriteSeed);
    Bytes overwritten = whole;
    for (size_t done = 0; done < OverwrittenBytes;) {
        size_t at = std::uniform_int_distribution<size_t>(20, whole.size() - 1)(random);
        if (at >= text.start - 4 && at < text.end) continue;  // the text and its count
        overwritten[at] = static_cast<uint8_t>(random());
        ++done;
    }
    checkDamaged(document.name + " with bytes overwritten", overwritten, remainingWords(whole, text, text.end),
                 documentWords, false, overwrites);
    // Places counted from the text's first character.
    auto textIn = [&](auto& bytes, long offset) { return bytes.begin() + static_cast<long>(text.start) + offset; };
    long middle = static_cast<long>(text.end - text.start) / 2;
    Bytes lost = whole;
    lost.erase(textIn(lost, middle));
    Bytes doubled = whole;
    doubled.insert(textIn(doubled, middle), textIn(whole, middle), textIn(whole, middle + 8));
    Bytes lostBefore = whole;
    lostBefore.erase(textIn(lostBefore, -10), textIn(lostBefore, -7));
    // Doubled in the page layout's last block, the bytes around a tag may
    // make another tag of other bytes.
    Bytes doubledBefore = whole;
    doubledBefore.insert(textIn(doubledBefore, -27), textIn(whole, -27), textIn(whole, -19));
    // Without its count the text is told by the layout after it.
    Bytes countLost = whole;
    countLost.erase(textIn(countLost, -2), textIn(countLost, 0));
    // A bad block over the start of the text and its count: the paragraphs
    // after the one it ends in remain.
    Bytes startLost = whole;
    std::fill(textIn(startLost, -2), textIn(startLost, 64), 0);
    size_t afterBlock = text.start + 64;
    while (afterBlock < text.end && whole[afterBlock - 1] != 0x06) ++afterBlock;
    Document wholeBody;
    readDocument(std::span<const unsigned char>(whole.data(), whole.size()), wholeBody);
    for (const auto& [name, shifted, textStart, textEnd, allParagraphs] :
         {std::tuple{" with a byte of its text lost", lost, text.start, text.end - 1, true},
          std::tuple{" with 8 bytes of its text doubled", doubled, text.start, text.end + 8, true},
          std::tuple{" with 3 bytes lost just before its text", lostBefore, text.start - 3, text.end - 3, false},
          std::tuple{" with 8 bytes doubled before its text", doubledBefore, text.start + 8, text.end + 8, false},
          std::tuple{" with its text's count lost", countLost, text.start - 2, text.end - 2, false},
          std::tuple{" with the start of its text overwritten", startLost, afterBlock, text.end, false}}) {
        std::vector<std::string> expected = remainingWords(shifted, TextPlace{textStart, textEnd}, textEnd);
        std::set<std::string> shown = documentWords;
        shown.insert(expected.begin(), expected.end());
        std::optional<size_t> paragraphs;
        if (allParagraphs) {
            auto ends = [](const Bytes& bytes, size_t start, size_t end) {
                return static_cast<size_t>(std::count(bytes.begin() + static_cast<long>(start),
                                                      bytes.begin() + static_cast<long>(end), 0x06));
            };
            paragraphs = wholeBody.body.size() + ends(shifted, textStart, textEnd) - ends(whole, text.start, text.end);
        }
        checkDamaged(document.name + name, shifted, expected, shown, true, shifts, paragraphs);
    }
}

void report(const char* what, const Tally& tally) {
    std::printf("%s: %zu copies, %zu of %zu words recovered in order (%.2f%%), %zu words not in the document\n", what,
                tally.copies, tally.recoveredInOrder, tally.expectedWords,
                tally.expectedWords == 0 ? 100.0 : 100.0 * static_cast<double>(tally.recoveredInOrder) /
                                                       static_cast<double>(tally.expectedWords),
                tally.foreignWords);
}

TEST(Salvage, RealDocumentsCutOrOverwrittenGiveBackTheirWords) {
    if (!fs::is_directory(CorpusDir)) GTEST_SKIP() << "no folder " << CorpusDir << ": no real documents to damage";
    Tally cuts;
    Tally overwrites;
    Tally shifts;
    for (const Named& document : realDocuments()) checkSalvage(document, cuts, overwrites, shifts);
    report("cut", cuts);
    report("overwritten", overwrites);
    report("bytes lost, doubled or overwritten at the text", shifts);
}

// A character format told apart by its font's name: a cut document may
// list its fonts in another order.
struct FormatKey {
    std::string font;
    CharacterFormat format;
    bool operator==(const FormatKey&) const = default;
};

FormatKey keyOf(const Document& document, CharacterFormat format) {
    size_t font = static_cast<size_t>(format.font);
    FormatKey key{font < document.fonts.size() ? document.fonts[font].name : "?", format};
    key.format.font = 0;
    return key;
}

// Where a cut document keeps its styles, its text keeps the formats the
// whole document gives it, or falls back to a style's: it never shows a
// format read from the wrong bytes. (Where the styles are lost too, layers
// over the device's default style make formats of their own.)
TEST(Salvage, ACutDocumentShowsNoFormatTheWholeDocumentLacks) {
    std::vector<Named> documents = realDocuments();
    documents.push_back({"device document", testing::deviceDocument()});
    for (const Named& document : documents) {
        Document whole;
        readDocument(document.bytes, whole);
        std::vector<FormatKey> known;
        auto note = [&](const CharacterFormat& format) { known.push_back(keyOf(whole, format)); };
        for (const Style& style : whole.styles) note(style.character);
        for (const Paragraph& paragraph : whole.body) {
            note(paragraph.markFormat);
            for (const zentoro::Run& run : paragraph.runs) note(run.format);
        }
        // Cut by its last byte, it keeps every style: a few bytes after the
        // header read as a short style section too.
        Document lastByteLost;
        readDocument(std::span<const unsigned char>(document.bytes.data(), document.bytes.size() - 1), lastByteLost);
        auto names = [](const Document& d) {
            std::vector<std::string> all;
            for (const Style& style : d.styles) all.push_back(style.name);
            return all;
        };
        EXPECT_EQ(names(lastByteLost), names(whole)) << document.name;
        int unknown = 0;
        for (size_t size = 12; size < document.bytes.size() && unknown == 0; size += 3) {
            Document cut;
            readDocument(std::span<const unsigned char>(document.bytes.data(), size), cut);
            if (cut.styles.size() != whole.styles.size()) continue;
            for (const Paragraph& paragraph : cut.body) {
                for (const zentoro::Run& run : paragraph.runs) {
                    if (std::find(known.begin(), known.end(), keyOf(cut, run.format)) != known.end()) continue;
                    ADD_FAILURE() << document.name << " cut to " << size << " bytes: a format it does not hold, on \""
                                  << run.text << "\"";
                    ++unknown;
                }
            }
        }
    }
}

TEST(Salvage, BuiltDocumentsCutOrOverwrittenGiveBackTheirWords) {
    Tally cuts;
    Tally overwrites;
    Tally shifts;
    for (const Named& document : {Named{"built sample", testing::sampleDocument()},
                                  Named{"device document", testing::deviceDocument()}}) {
        checkSalvage(document, cuts, overwrites, shifts);
    }
    report("cut", cuts);
    report("overwritten", overwrites);
    report("bytes lost, doubled or overwritten at the text", shifts);
}

}  // namespace
}  // namespace zentoro

namespace zentoro {
namespace {

// A header and a style's name longer than the shortest text searched for
// without a page layout. The header's 192 characters take a count of two
// bytes whose first, 01, cannot be text: the second, after it, reads as the
// count of a text that begins inside the header's.
Bytes longNamesDocument() {
    std::string text = "A header long enough to pass for the text of the body when found,";
    while (text.size() < 191) text += " and more of it";
    text.resize(191);
    text += '\x06';
    const uint32_t characters = static_cast<uint32_t>(text.size());
    testing::PageLayoutSection page;
    page.header.present = true;
    page.header.text = text;
    page.header.paragraphs.push_back({characters, 0, testing::Layer(), {{characters, testing::Layer()}}});
    testing::StyleSection styles;
    styles.styles.push_back({"Heading for the quarterly report of the northern region", testing::Layer(), testing::Layer()});
    return testing::WordDocument().styles(styles).pageLayout(page).text("Body words\x06").build();
}

// Cut anywhere, a built document shows only its own words, header and footer
// included: a style's name or a font's, or a header's text, read as the
// body's would be new.
TEST(Salvage, NoPrefixOfABuiltDocumentShowsAWordItDoesNotHold) {
    for (const Bytes& whole : {testing::sampleDocument(), testing::deviceDocument(), longNamesDocument()}) {
        // The body alone, and the body with its header and footer.
        for (bool withHeaderFooter : {false, true}) {
            ConversionResult result;
            std::vector<std::string> all = testing::splitWords(textOf(whole, result, withHeaderFooter));
            std::set<std::string> documentWords(all.begin(), all.end());
            for (size_t size = 12; size < whole.size(); ++size) {
                Bytes cut(whole.begin(), whole.begin() + static_cast<long>(size));
                std::vector<std::string> recovered = testing::splitWords(textOf(cut, result, withHeaderFooter));
                ASSERT_EQ(result.failure, Failure::DocumentDamaged) << size;
                for (const std::string& word : recovered) {
                    EXPECT_EQ(documentWords.count(word), 1u) << "cut to " << size << ": " << word;
                }
            }
        }
    }
}

// How often each word of two or more ASCII letters is shown.
std::map<std::string, size_t> wordCounts(const std::string& text) {
    std::map<std::string, size_t> counts;
    for (const std::string& word : testing::splitWords(text)) {
        auto letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
        if (word.size() >= 2 && std::all_of(word.begin(), word.end(), letter)) ++counts[word];
    }
    return counts;
}

// Four bytes anywhere outside the text overwritten with large values, as a
// count's damage gives: no word of the document is shown more often than it
// holds it (phrase counts adding up past 2^32 once wrapped round to text
// already shown). A damaged bullet or header may show words of its own.
TEST(Salvage, NoOverwrittenCountShowsTextTwice) {
    for (const Bytes& whole : {testing::sampleDocument(), testing::deviceDocument()}) {
        ConversionResult result;
        std::map<std::string, size_t> held = wordCounts(textOf(whole, result, true));
        TextPlace text = textPlace(whole);
        for (size_t at = 0; at + 4 <= whole.size(); ++at) {
            if (at + 4 > text.start && at < text.end) continue;
            for (uint8_t fill : {0xFF, 0x80}) {
                Bytes damaged = whole;
                std::fill_n(damaged.begin() + static_cast<long>(at), 4, fill);
                for (const auto& [word, count] : wordCounts(textOf(damaged, result, true))) {
                    auto kept = held.find(word);
                    if (kept == held.end()) continue;
                    EXPECT_LE(count, kept->second) << "at " << at << ", " << int{fill} << ": " << word;
                }
            }
        }
    }
}

}  // namespace
}  // namespace zentoro

namespace zentoro {
namespace {

// What the command line says of a damaged document, and what it leaves.
TEST(Salvage, TheCommandLineSaysWhatWasRecoveredAndWhere) {
    testing::TemporaryFolder folder("salvage");
    Bytes sample = testing::sampleDocument();
    testing::writeFile(folder.path("cut.wrd"), Bytes(sample.begin(), sample.end() - 1));
    testing::writeFile(folder.path("stub.wrd"), Bytes(sample.begin(), sample.begin() + 100));
    const std::string text = "first words\x06second words\x06";
    testing::TextLayoutSection twoParagraphs;
    twoParagraphs.paragraphs = {{12, 0, testing::Layer(), 0, {}}, {13, 0, testing::Layer(), 0, {}}};
    testing::TextLayoutSection pastTheText = twoParagraphs;
    pastTheText.paragraphs[1].characters = 4000;
    testing::writeFile(folder.path("table.wrd"), testing::WordDocument()
                                                      .styles(testing::StyleSection())
                                                      .text(text)
                                                      .textLayout(twoParagraphs)
                                                      .dictionaryCountByte(0)
                                                      .build());
    testing::writeFile(folder.path("parts.wrd"), testing::WordDocument().styles(testing::StyleSection()).text(text).textLayout(pastTheText).build());
    ConversionResult cut;
    Bytes cutBytes(sample.begin(), sample.end() - 1);
    std::string cutText = textOf(cutBytes, cut);
    ASSERT_TRUE(cut.salvaged());
    std::string recovered = "recovered " + std::to_string(cut.recovered.words) + " words in " +
                            std::to_string(cut.recovered.paragraphs) + " paragraphs";
    struct Case {
        const char* arguments;
        std::string message;  // on standard error
        const char* output;   // what must stand afterwards, or null for nothing
    } cases[] = {
        {"-t text cut.wrd", "cut.wrd: damaged (the file ends early): " + recovered + " into cut.wrd.txt\n", "cut.wrd.txt"},
        // A second run finds its own output there and leaves it.
        {"-t text cut.wrd", "cut.wrd: damaged (the file ends early): " + recovered +
                                ", not written: cut.wrd.txt was there already\n", "cut.wrd.txt"},
        {"--faithful stub.wrd", "stub.wrd: damaged (the file ends early): nothing could be recovered\n", nullptr},
        {"--check stub.wrd", "stub.wrd: Psion 5 Word file, damaged (the file ends early): nothing can be recovered\n",
         nullptr},
        {"-t text table.wrd",
         "table.wrd: damaged (its section table is damaged): recovered 4 words in 2 paragraphs into table.wrd.txt\n",
         nullptr},
        {"-t text parts.wrd",
         "parts.wrd: damaged (parts of it cannot be read): recovered 4 words in 2 paragraphs into parts.wrd.txt\n",
         nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        testing::CommandRun run = testing::runIn(folder, std::string("'" ZENTORO_CLI_PATH "' ") + c.arguments);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, c.message);
        if (c.output != nullptr) {
            EXPECT_EQ(testing::readFile(folder.path(c.output)), cutText);
        }
    }
    EXPECT_FALSE(fs::exists(folder.path("stub.wrd.rtf")));
    fs::create_directory(folder.path("backup"));
    fs::rename(folder.path("cut.wrd"), folder.path("backup/cut.wrd"));
    testing::CommandRun walk = testing::runIn(folder, "'" ZENTORO_CLI_PATH "' --faithful backup");
    EXPECT_NE(walk.out.find("1 damaged, partly recovered; 0 failed"), std::string::npos) << walk.out;
    EXPECT_TRUE(fs::exists(folder.path("backup/cut.wrd.rtf")));
}

}  // namespace
}  // namespace zentoro

namespace zentoro {
namespace {

using testing::Layer;
using testing::Phrase;
using testing::StyleSection;
using testing::TextLayoutSection;
using testing::WordDocument;

// Each kind of damage is told as what it is, with the words that remain.
// Bytes of another kind in place of a document's text, as a compressed
// file's or a picture's written over it, hold no text: nothing is shown,
// whether they follow the header or lie a little after the page layout.
TEST(Salvage, BytesOfAnotherKindShowNoWords) {
    Bytes sample = testing::sampleDocument();
    Bytes afterHeader(sample.begin(), sample.begin() + 20);
    // Up to the text's two-byte count, then zeros.
    Bytes afterPageLayout(sample.begin(), sample.begin() + static_cast<ptrdiff_t>(textPlace(sample).start) - 2);
    afterPageLayout.resize(afterPageLayout.size() + 8192, 0);
    for (const Bytes& start : {afterHeader, afterPageLayout}) {
        for (uint64_t seed = 1; seed <= 40; ++seed) {
            Bytes bytes = start;
            uint64_t x = seed;
            for (int i = 0; i < 65536; ++i) {
                x = x * 6364136223846793005ull + 1442695040888963407ull;
                bytes.push_back(static_cast<uint8_t>(x >> 56));
            }
            ConversionResult result;
            std::string shown = textOf(bytes, result);
            EXPECT_EQ(result.recovered.words, 0u) << start.size() << ", " << seed << ": " << shown;
        }
    }
}

// A file cut right after its text, where neither styles nor page layout
// are found, still holds that text whole.
TEST(Salvage, ATextThatEndsTheFileIsWhole) {
    const std::string text = "first words of a text long enough\x06second words\x06";
    Bytes whole = WordDocument().text(text).build();
    Bytes cut(whole.begin(), whole.begin() + static_cast<ptrdiff_t>(textPlace(whole).end));
    ConversionResult result;
    EXPECT_EQ(testing::splitWords(textOf(cut, result)).size(), 9u);
    EXPECT_EQ(result.recovered.damage, Damage::EndsEarly);
}

TEST(Salvage, EachDamageIsToldWithWhatRemains) {
    auto bold = [](uint32_t characters) {
        return testing::Paragraph{characters, 0, Layer(), 0, {Phrase{characters, Layer().bold()}}};
    };
    TextLayoutSection twoParagraphs;
    twoParagraphs.paragraphs = {bold(12), bold(13)};
    TextLayoutSection countPastTheText = twoParagraphs;
    countPastTheText.paragraphs[1].characters = 4000;
    TextLayoutSection countInsideAWord = twoParagraphs;
    countInsideAWord.paragraphs[0].characters = 5;
    TextLayoutSection phrasePastItsParagraph = twoParagraphs;
    phrasePastItsParagraph.paragraphs[0].phrases[0].characters = 0xFFFFFFFF;
    const std::string text = "first words\x06second words\x06";
    auto document = [&](const TextLayoutSection& layout) {
        return WordDocument().styles(StyleSection()).text(text).textLayout(layout);
    };
    Bytes whole = document(twoParagraphs).build();
    // The text's count, one byte here, overwritten: the layout tells its length.
    auto withTextCount = [&](uint8_t count) {
        Bytes bytes = whole;
        bytes[textPlace(whole).start - 1] = count;
        return bytes;
    };
    // The section table's entry for a section, by its UID's first byte.
    auto entryOf = [](Bytes& bytes, uint8_t uidByte) {
        const uint8_t uid[] = {uidByte, 0x01, 0x00, 0x10};
        return std::find_end(bytes.begin(), bytes.end(), std::begin(uid), std::end(uid));
    };
    // The section table's entry for the text pointing elsewhere.
    auto withTextListedAt = [&](uint32_t position) {
        Bytes bytes = whole;
        auto entry = entryOf(bytes, 0x06);
        for (int i = 0; i < 4; ++i) entry[4 + i] = static_cast<uint8_t>(position >> (8 * i));
        return bytes;
    };
    // The text's count lost: the layout after the text tells it.
    Bytes countLost = whole;
    countLost.erase(countLost.begin() + static_cast<ptrdiff_t>(textPlace(whole).start) - 1);
    // A byte added inside the styles' entry: it names a place past the end
    // of the file, and every later entry is shifted.
    Bytes tableShifted = whole;
    tableShifted.insert(entryOf(tableShifted, 0x04) + 5, 0xFF);
    struct Case {
        const char* name;
        Bytes bytes;
        Damage damage;
        uint64_t words;
        uint64_t paragraphs;
        bool formatted = false;  // read with its layout, each phrase bold
    } cases[] = {
        {"whole", whole, Damage::None, 0, 0},
        {"section table outside the file", document(twoParagraphs).dictionaryOffset(0x7FFFFFF0).build(),
         Damage::EndsEarly, 4, 2},
        {"section table naming nothing", document(twoParagraphs).dictionaryCountByte(0).build(),
         Damage::SectionTableDamaged, 4, 2},
        {"paragraph running past the text", document(countPastTheText).build(), Damage::PartsUnreadable, 4, 2},
        // A count that would split a word: that paragraph and the rest are plain.
        {"paragraph ending inside a word", document(countInsideAWord).build(), Damage::PartsUnreadable, 4, 2},
        // The phrase is laid out as far as its paragraph goes.
        {"phrase running past its paragraph", document(phrasePastItsParagraph).build(), Damage::PartsUnreadable, 4, 2},
        {"text count past the text", withTextCount(2 * 127), Damage::PartsUnreadable, 4, 2},
        {"text count inside the text", withTextCount(2 * 10), Damage::PartsUnreadable, 4, 2},
        {"text count unreadable", withTextCount(0xFF), Damage::PartsUnreadable, 4, 2},
        {"text count read two bytes wide", withTextCount(0x05), Damage::PartsUnreadable, 4, 2},
        {"text count lost", countLost, Damage::SectionTableDamaged, 4, 2, true},
        {"text listed among the styles", withTextListedAt(24), Damage::SectionTableDamaged, 4, 2},
        // There a style's bytes read as a text; the text after them is the one.
        {"text listed inside a style", withTextListedAt(30), Damage::SectionTableDamaged, 4, 2},
        {"section table shifted by a byte", tableShifted, Damage::SectionTableDamaged, 4, 2},
        {"text listed inside itself", withTextListedAt(static_cast<uint32_t>(textPlace(whole).start) + 2),
         Damage::SectionTableDamaged, 4, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ConversionResult result;
        std::string shown = textOf(c.bytes, result);
        EXPECT_EQ(result.recovered.damage, c.damage);
        EXPECT_EQ(result.failure, c.damage == Damage::None ? Failure::None : Failure::DocumentDamaged);
        EXPECT_EQ(result.recovered.words, c.words);
        EXPECT_EQ(result.recovered.paragraphs, c.paragraphs);
        if (c.words != 0) {
            EXPECT_EQ(testing::splitWords(shown), (std::vector<std::string>{"first", "words", "second", "words"}));
        }
        // Paragraphs read without their layout are Normal's, as those read with it are here.
        Document model;
        readDocument(std::span<const unsigned char>(c.bytes.data(), c.bytes.size()), model);
        for (const zentoro::Paragraph& paragraph : model.body) EXPECT_EQ(paragraph.style, 0);
        // Where the layout was read, every word keeps its bold phrase.
        if (c.formatted) {
            for (const zentoro::Paragraph& paragraph : model.body) {
                for (const zentoro::Run& run : paragraph.runs) EXPECT_TRUE(run.format.bold) << run.text;
            }
        }
    }
}

}  // namespace
}  // namespace zentoro
