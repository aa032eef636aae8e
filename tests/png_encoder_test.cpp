// PNG files as real decoders read them: pngcheck checks every chunk and CRC,
// ImageMagick decodes the pixels, which must be the picture's own.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "picture/png_encoder.h"
#include "tests/builder/conversion_harness.h"
#include "tests/builder/temporary_folder.h"

namespace zentoro {
namespace {

using namespace testing;

constexpr size_t ColourTypeByte = 25;  // signature 8, IHDR length and type 8, width and height 8, depth 1

bool onPath(const char* program) { return std::system((std::string("command -v ") + program + " >/dev/null 2>&1").c_str()) == 0; }

Picture picture(int width, int height, bool grey) {
    Picture p{width, height};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint8_t v = static_cast<uint8_t>((x * 37 + y * 91) % 256);
            p.rgb.insert(p.rgb.end(), {v, grey ? v : static_cast<uint8_t>(255 - v), grey ? v : static_cast<uint8_t>(x * y)});
        }
    }
    return p;
}

struct PngCase {
    const char* name;
    Picture picture;
    int colourType;  // 0 grey, 2 RGB
};

std::vector<PngCase> pngCases() {
    return {
        {"one grey pixel", picture(1, 1, true), 0},
        {"grey, odd size", picture(287, 130, true), 0},
        {"colour, odd size", picture(43, 39, false), 2},
        {"one colour pixel", picture(1, 1, false), 2},
        {"one tall colour column", picture(1, 300, false), 2},
    };
}

TEST(PngEncoder, WritesTheColourTypeThePicturesPixelsNeed) {
    for (const PngCase& c : pngCases()) {
        std::vector<uint8_t> png = encodePng(c.picture);
        ASSERT_GT(png.size(), ColourTypeByte) << c.name;
        EXPECT_EQ(png[ColourTypeByte], c.colourType) << c.name;
    }
}

TEST(PngEncoder, PngcheckAcceptsEveryFile) {
    if (!onPath("pngcheck")) GTEST_SKIP() << "pngcheck is not on the PATH";
    TemporaryFolder folder("png");
    for (const PngCase& c : pngCases()) {
        writeFile(folder.path("p.png"), encodePng(c.picture));
        CommandRun run = runIn(folder, "pngcheck p.png");
        EXPECT_EQ(run.status, 0) << c.name << ": " << run.out << run.err;
    }
}

TEST(PngEncoder, ImageMagickDecodesThePicturesPixels) {
    if (!onPath("convert")) GTEST_SKIP() << "ImageMagick's convert is not on the PATH";
    TemporaryFolder folder("png");
    for (const PngCase& c : pngCases()) {
        writeFile(folder.path("p.png"), encodePng(c.picture));
        CommandRun run = runIn(folder, "convert p.png -depth 8 rgb:p.rgb");
        ASSERT_EQ(run.status, 0) << c.name << ": " << run.err;
        std::string rgb = readFile(folder.path("p.rgb"));
        EXPECT_EQ(rgb, std::string(c.picture.rgb.begin(), c.picture.rgb.end())) << c.name;
    }
}

TEST(PngEncoder, WritesNothingForAnEmptyOrInconsistentPicture) {
    EXPECT_TRUE(encodePng(Picture{}).empty());
    EXPECT_TRUE(encodePng(Picture{0, 5}).empty());
    EXPECT_TRUE(encodePng(Picture{2, 2, std::vector<uint8_t>(11, 0)}).empty());
}

}  // namespace
}  // namespace zentoro
