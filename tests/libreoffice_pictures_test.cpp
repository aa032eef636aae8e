// LibreOffice reads the pictures of the faithful conversion: one image frame
// per sketch, at the size the document shows it, holding a PNG of the
// sketch's own pixel size.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "convert/zentoro.h"
#include "tests/builder/conversion_harness.h"
#include "tests/builder/sketch_sample.h"
#include "tests/builder/temporary_folder.h"
#include "tests/libreoffice/text_export.h"

namespace zentoro {
namespace {

using namespace testing;

constexpr double TwipsPerInch = 1440.0;
constexpr double CentimetresPerInch = 2.54;
// LibreOffice writes lengths to four decimals.
constexpr double InchTolerance = 0.0002;

// A length attribute of a frame, such as svg:width="1.298in", in inches;
// -1 when absent.
double frameInches(const std::string& frame, const std::string& attribute) {
    size_t at = frame.find(attribute + "=\"");
    if (at == std::string::npos) return -1;
    size_t unit = 0;
    double value = std::stod(frame.substr(at + attribute.size() + 2), &unit);
    bool centimetres = frame.compare(at + attribute.size() + 2 + unit, 2, "cm") == 0;
    return centimetres ? value / CentimetresPerInch : value;
}

// The first bytes of base64 text, enough for a PNG's signature and header.
std::vector<uint8_t> base64Prefix(const std::string& text, size_t bytes) {
    static const std::string Alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::vector<uint8_t> out;
    uint32_t bits = 0;
    int count = 0;
    for (char c : text) {
        size_t value = Alphabet.find(c);
        if (value == std::string::npos) continue;
        bits = bits << 6 | static_cast<uint32_t>(value);
        count += 6;
        if (count >= 8) {
            count -= 8;
            out.push_back(static_cast<uint8_t>(bits >> count));
            if (out.size() == bytes) break;
        }
    }
    return out;
}

uint32_t bigEndian(const std::vector<uint8_t>& bytes, size_t at) {
    return uint32_t{bytes[at]} << 24 | uint32_t{bytes[at + 1]} << 16 | uint32_t{bytes[at + 2]} << 8 | bytes[at + 3];
}

TEST(LibreOfficePictures, EverySketchIsAnImageFrameAtTheDocumentsSize) {
    if (!findOnPath("soffice")) GTEST_SKIP() << "soffice is not on the PATH";
    TemporaryFolder folder("pictures");
    std::vector<uint8_t> document = sketchSampleDocument().bytes;
    std::string rtf;
    ASSERT_TRUE(convertDocumentFaithfulToString(document.data(), document.size(), rtf).succeeded());
    writeFile(folder.path("sketches.rtf"), std::vector<uint8_t>(rtf.begin(), rtf.end()));
    CommandRun run = runIn(folder, "timeout 300 soffice -env:UserInstallation=file://" + folder.path("profile") +
                                       " --headless --convert-to fodt --outdir . sketches.rtf");
    std::string fodt = readFile(folder.path("sketches.fodt"));
    ASSERT_FALSE(fodt.empty()) << run.out << run.err;

    std::vector<Sketch> sketches = sampleSketches();
    const uint32_t pixelSizes[][2] = {{157, 61}, {128, 24}, {96, 96}, {72, 56}};
    size_t frames = 0;
    for (size_t at = fodt.find("<draw:frame "); at != std::string::npos; at = fodt.find("<draw:frame ", at + 1)) {
        std::string frame = fodt.substr(at, fodt.find('>', at) - at);
        size_t data = fodt.find("<office:binary-data>", at);
        if (frame.find("Image") == std::string::npos || data == std::string::npos) continue;
        ASSERT_LT(frames, sketches.size());
        ObjectReference display = sketchDisplaySize(sketches[frames]);
        EXPECT_NEAR(frameInches(frame, "svg:width"), display.displayWidth / TwipsPerInch, InchTolerance) << frames;
        EXPECT_NEAR(frameInches(frame, "svg:height"), display.displayHeight / TwipsPerInch, InchTolerance) << frames;
        std::vector<uint8_t> png = base64Prefix(fodt.substr(data + 20, 64), 24);
        ASSERT_EQ(png.size(), 24u) << frames;
        EXPECT_EQ(bigEndian(png, 0), 0x89504E47u) << frames;
        EXPECT_EQ(bigEndian(png, 16), pixelSizes[frames][0]) << frames;
        EXPECT_EQ(bigEndian(png, 20), pixelSizes[frames][1]) << frames;
        ++frames;
    }
    EXPECT_EQ(frames, sketches.size());
    EXPECT_NE(fodt.find("[Spreadsheet]"), std::string::npos);
}

}  // namespace
}  // namespace zentoro
