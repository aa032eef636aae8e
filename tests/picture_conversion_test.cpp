// Sketches through the faithful conversion: each becomes an RTF picture at
// the size the document shows it, other objects and damaged sketches a
// visible placeholder, and the rest of the document converts.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "convert/zentoro.h"
#include "model/read_document.h"
#include "picture/picture_limits.h"
#include "tests/builder/sketch_sample.h"

namespace zentoro {
namespace {

using namespace testing;

struct PictureGroup {
    int width, height, goalWidth, goalHeight;
    std::string hex;
    std::vector<size_t> lineLengths;  // of the hex, line by line
};

// The number after `keyword` at `at`, moving past both; -1 when absent.
int numberAfter(const std::string& rtf, size_t& at, const std::string& keyword) {
    if (rtf.compare(at, keyword.size(), keyword) != 0) return -1;
    at += keyword.size();
    size_t end = rtf.find_first_not_of("0123456789", at);
    if (end == at || end == std::string::npos) return -1;
    int value = std::stoi(rtf.substr(at, end - at));
    at = end;
    return value;
}

std::vector<PictureGroup> pictureGroups(const std::string& rtf) {
    std::vector<PictureGroup> groups;
    const std::string start = "{\\pict\\pngblip";
    for (size_t at = rtf.find(start); at != std::string::npos; at = rtf.find(start, at)) {
        at += start.size();
        PictureGroup group;
        group.width = numberAfter(rtf, at, "\\picw");
        group.height = numberAfter(rtf, at, "\\pich");
        group.goalWidth = numberAfter(rtf, at, "\\picwgoal");
        group.goalHeight = numberAfter(rtf, at, "\\pichgoal");
        size_t end = rtf.find('}', at);
        if (end == std::string::npos) break;
        size_t line = 0;
        for (char c : rtf.substr(at, end - at)) {
            if (c != '\n') {
                group.hex += c;
                ++line;
            } else if (line != 0) {
                group.lineLengths.push_back(line);
                line = 0;
            }
        }
        if (line != 0) group.lineLengths.push_back(line);
        groups.push_back(group);
    }
    return groups;
}

std::string convertFaithfully(const std::vector<uint8_t>& bytes, ConversionResult& result) {
    std::string rtf;
    result = convertDocumentFaithfulToString(bytes.data(), bytes.size(), rtf);
    return rtf;
}

TEST(PictureConversion, EverySketchIsAPictureAtTheDocumentsSize) {
    ConversionResult result;
    std::string rtf = convertFaithfully(sketchSampleDocument().bytes, result);
    ASSERT_TRUE(result.succeeded()) << describeFailure(result.failure);
    std::vector<Sketch> sketches = sampleSketches();
    std::vector<PictureGroup> groups = pictureGroups(rtf);
    ASSERT_EQ(groups.size(), sketches.size());
    // Pixels: the displayed area less the cuts; goal: the document's twips.
    const int pixelSizes[][2] = {{157, 61}, {128, 24}, {96, 96}, {72, 56}};
    for (size_t i = 0; i < groups.size(); ++i) {
        ObjectReference display = sketchDisplaySize(sketches[i]);
        EXPECT_EQ(groups[i].width, pixelSizes[i][0]) << i;
        EXPECT_EQ(groups[i].height, pixelSizes[i][1]) << i;
        EXPECT_EQ(groups[i].goalWidth, display.displayWidth) << i;
        EXPECT_EQ(groups[i].goalHeight, display.displayHeight) << i;
        EXPECT_EQ(groups[i].hex.substr(0, 16), "89504e470d0a1a0a") << i;
        // Lines of 64 bytes, the last holding what is left.
        const std::vector<size_t>& lines = groups[i].lineLengths;
        ASSERT_FALSE(lines.empty()) << i;
        EXPECT_EQ(std::count(lines.begin(), lines.end() - 1, size_t{128}), static_cast<long>(lines.size() - 1)) << i;
        EXPECT_LE(lines.back(), 128u) << i;
    }
    EXPECT_NE(rtf.find("[Spreadsheet]"), std::string::npos);
    EXPECT_NE(rtf.find("The end."), std::string::npos);
}

TEST(PictureConversion, DamagedSketchIsAPlaceholderWithItsReasonAndTheRestConverts) {
    Sketch good{5, 3, 2, false, ByteRuns, std::vector<uint32_t>(15, 1)};
    Sketch huge = good;
    huge.declaredWidth = 70000;
    huge.declaredHeight = 70000;
    Sketch truncated = good;
    truncated.pixelData = Bytes().u8(2).u8(0);
    DocumentWithObjects document = documentWithObjects(
        {sketchBlock(good), sketchBlock(huge), sketchBlock(truncated), {otherObject(0x10000999), "Thing", 500, 500}, sketchBlock(good)});
    ConversionResult result;
    std::string rtf = convertFaithfully(document.bytes, result);
    ASSERT_TRUE(result.succeeded()) << describeFailure(result.failure);
    EXPECT_EQ(pictureGroups(rtf).size(), 2u);
    // Each placeholder stands in its own paragraph, in document order.
    size_t at = 0;
    for (const char* text : {"Object 2: ", "[Sketch: the sketch is larger than any sketch can be]", "Object 3: ",
                             "[Sketch: the sketch's pixel data end early]", "Object 4: ", "[Object]", "Object 5: "}) {
        at = rtf.find(text, at);
        ASSERT_NE(at, std::string::npos) << text << " in\n" << rtf;
    }
}

// The document shows the application's icon: the writer does not put the
// picture in its place, though the model has it for those who want it.
TEST(PictureConversion, SketchShownAsAnIconIsAPlaceholder) {
    EmbeddedObjectBlock icon = sketchBlock(Sketch{5, 3, 2, false, ByteRuns, std::vector<uint32_t>(15, 1)});
    icon.shownAsIcon = true;
    icon.displayWidth = icon.displayHeight = 500;
    std::vector<uint8_t> bytes = documentWithObjects({icon}).bytes;
    Document document;
    ASSERT_TRUE(readDocument(bytes, document).succeeded());
    ASSERT_EQ(document.objects.size(), 1u);
    EXPECT_TRUE(document.objects[0].shownAsIcon);
    EXPECT_EQ(document.objects[0].picture.width, 5);
    ConversionResult result;
    std::string rtf = convertFaithfully(bytes, result);
    ASSERT_TRUE(result.succeeded());
    EXPECT_TRUE(pictureGroups(rtf).empty());
    EXPECT_NE(rtf.find("Object 1: }{\\plain"), std::string::npos);
    EXPECT_NE(rtf.find("[Sketch]}"), std::string::npos);
}

// Many objects may each claim the largest picture; together they stay
// within the document's pixel budget, and the ones past it are not drawn.
TEST(PictureConversion, PicturesOfOneDocumentShareOnePixelBudget) {
    Sketch large{1024, 2048, 1, false, ByteRuns, std::vector<uint32_t>(1024u * 2048u, 1)};
    constexpr size_t Fitting = MaxDocumentPicturePixels / (1024u * 2048u);
    std::vector<EmbeddedObjectBlock> blocks(Fitting + 2, sketchBlock(large));
    Document document;
    std::vector<uint8_t> bytes = documentWithObjects(blocks).bytes;
    ASSERT_TRUE(readDocument(bytes, document).succeeded());
    ASSERT_EQ(document.objects.size(), Fitting + 2);
    for (size_t i = 0; i < document.objects.size(); ++i) {
        const EmbeddedObject& object = document.objects[i];
        EXPECT_EQ(object.kind, ObjectKind::Sketch);
        EXPECT_EQ(object.picture.width, i < Fitting ? 1024 : 0) << i;
        EXPECT_EQ(object.problem.empty(), i < Fitting) << i << ": " << object.problem;
    }
}

}  // namespace
}  // namespace zentoro
