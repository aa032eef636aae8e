// Picture files of their own (Sketch, multi-bitmap, ROM multi-bitmap) as
// PNG: the real files of ../shared/corpus/images against pixels that were
// looked at, every depth and compression, trailers followed as written,
// damaged files recovered, limits, and the table that tells the kinds.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "convert/file_kinds.h"
#include "picture/png_encoder.h"
#include "tests/builder/picture_file_builder.h"
#include "tests/builder/temporary_folder.h"
#include "tests/support/png_pixels.h"

namespace zentoro {
namespace {

using namespace testing;
namespace fs = std::filesystem;

const fs::path ImageCorpus = fs::path(ZENTORO_SOURCE_DIR) / ".." / "shared" / "corpus" / "images";

std::string fileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

KindConversion convertAsItsKind(const std::string& bytes, const FileKindEntry** found = nullptr) {
    auto data = reinterpret_cast<const unsigned char*>(bytes.data());
    const FileKindEntry* kind = kindOf(data, bytes.size());
    if (found != nullptr) *found = kind;
    if (kind == nullptr || kind->convert == nullptr) return {};
    return kind->convert(data, bytes.size(), KindOptions{});
}

KindConversion convertBuilt(const std::vector<uint8_t>& bytes) {
    return convertAsItsKind(std::string(bytes.begin(), bytes.end()));
}

std::vector<PngPixels> picturesOf(const KindConversion& conversion) {
    std::vector<PngPixels> pictures;
    for (const ConvertedFile& file : conversion.files) pictures.push_back(readPng(file.bytes));
    return pictures;
}

struct CorpusPicture {
    const char* file;
    size_t pictures;
    uint32_t width, height;  // of the first
    uint64_t pixels;         // pixelHash of all, checked by eye when pinned
};

// Looked at one by one: the rocket and "Upperleft" in the sketch's 532 x 236
// area, the colour icons' yellow notepad and red OPL letters, each mask after
// its picture, the 200 small black squares of the damaged file.
constexpr CorpusPicture CorpusPictures[] = {
    {"0db8324a2d_Wrinkly", 1, 640, 240, 0x2B306A9459D11809ull},
    {"42fc4a8ac8_stereovu.mbm", 1, 100, 40, 0x36E70A78B2C2E13Full},
    {"4bc0b6e813_Stylus", 1, 640, 240, 0x9A7CB4EBF4B9DC21ull},
    {"513ef5c519__system_apps_Client_L_clmbms.mbm_", 1, 957, 27, 0x438B1AB13283CD41ull},
    {"5ceaa7f865_boxes.mbm", 1, 100, 40, 0x98CE291EB431664Aull},
    {"6859b896d1_bg_test.mbm", 1, 100, 100, 0x37649BBC703CDA77ull},
    {"88e9817cdf_Sketch", 1, 532, 236, 0xAF99E543D706D767ull},
    {"91784e6454_pface.mbm", 1, 192, 192, 0x208C9B3E36A6CF16ull},
    {"92455a942f__system_apps_Client_L_clsplash_R.mbm_", 1, 480, 160, 0x18DE0A71D548F6E6ull},
    {"a42d5c4981_Editor.mbm", 12, 24, 24, 0xD47948F0CD2415A1ull},
    {"b07411e6ac_DemoIcon.mbm", 4, 64, 50, 0xDFEC5287CF374E3Bull},
    {"b3ed514a89_border-grey.mbm", 1, 640, 240, 0x1BEEA1608C603792ull},
    {"beabedf17a_t_mime.mbm", 1, 48, 48, 0xFCA2752A9F22176Bull},
    {"c56ab52f95_icons_grayscale.mbm", 4, 48, 48, 0x815A056E6AB83FFCull},
    {"ca1bcf8c3b_car.mbm", 1, 100, 40, 0x7A434E85627C2773ull},
    {"cc965e4740_a.mbm", 1, 100, 40, 0x248276951BE042BBull},
    {"e1e79cd414_PsionStyle", 1, 325, 100, 0x7B706EF9A34ED496ull},
    {"e7313390da_bg_shane.mbm", 1, 112, 188, 0xF1AB9C887BFB6D77ull},
    {"ec2401bb4a_target.mbm", 1, 100, 40, 0xA48B7D884BA0DEB2ull},
    {"ec46ae6998_TDEMO.MCL", 2, 41, 43, 0x5E5E843822D523D8ull},
    {"ecb690d410_lots.mbm", 200, 5, 5, 0xA7AEB629C50E3105ull},
    {"fdabfa81e4_icons_color.mbm", 4, 48, 48, 0xDCCC550A51EA372Cull},
};
constexpr const char* DamagedCorpusFile = "ecb690d410_lots.mbm";

TEST(PictureFiles, RealFilesGiveThePicturesSeen) {
    if (!fs::is_directory(ImageCorpus)) GTEST_SKIP() << "no picture corpus at " << ImageCorpus;
    for (const CorpusPicture& expected : CorpusPictures) {
        SCOPED_TRACE(expected.file);
        KindConversion conversion = convertAsItsKind(fileBytes(ImageCorpus / expected.file));
        bool damaged = std::string(expected.file) == DamagedCorpusFile;
        EXPECT_EQ(conversion.result.failure, damaged ? Failure::DocumentDamaged : Failure::None) << conversion.detail;
        ASSERT_EQ(conversion.files.size(), expected.pictures);
        EXPECT_EQ(conversion.files.front().suffix, expected.pictures == 1 ? ".png" : "-1.png");
        std::string last = expected.pictures == 1 ? "" : "-";
        if (expected.pictures > 1) last += std::to_string(expected.pictures);
        EXPECT_EQ(conversion.files.back().suffix, last + ".png");
        std::vector<PngPixels> pictures = picturesOf(conversion);
        EXPECT_EQ(pictures.front().width, expected.width);
        EXPECT_EQ(pictures.front().height, expected.height);
        EXPECT_EQ(pixelHash(pictures), expected.pixels);
    }
}

// pngcheck finds nothing wrong with any output, and ImageMagick reads the
// same pixels from each as the project's own reader.
TEST(PictureFiles, RealFilesOutputsPassPngcheckAndImageMagick) {
    if (!fs::is_directory(ImageCorpus)) GTEST_SKIP() << "no picture corpus at " << ImageCorpus;
    if (std::system("command -v pngcheck >/dev/null") != 0) GTEST_SKIP() << "pngcheck is not installed";
    if (std::system("command -v convert >/dev/null") != 0) GTEST_SKIP() << "ImageMagick's convert is not installed";
    TemporaryFolder folder("picture-files");
    std::vector<std::pair<std::string, PngPixels>> written;
    for (const CorpusPicture& expected : CorpusPictures) {
        KindConversion conversion = convertAsItsKind(fileBytes(ImageCorpus / expected.file));
        for (const ConvertedFile& file : conversion.files) {
            std::string name = std::string(expected.file) + file.suffix;
            std::ofstream(folder.path(name), std::ios::binary) << file.bytes;
            if (written.size() < 30) written.emplace_back(name, readPng(file.bytes));
        }
    }
    CommandRun check = runIn(folder, "pngcheck -q *.png");
    EXPECT_EQ(check.status, 0) << check.out << check.err;
    for (const auto& [name, pixels] : written) {
        CommandRun magick = runIn(folder, "convert '" + name + "' -depth 8 rgb:-");
        ASSERT_EQ(magick.status, 0) << name << magick.err;
        EXPECT_EQ(magick.out, std::string(pixels.rgb.begin(), pixels.rgb.end())) << name;
    }
}

struct DepthCase {
    const char* name;
    uint32_t bitsPerPixel;
    bool colour;
    std::vector<uint32_t> values;   // stored pixel values, one row
    std::vector<uint32_t> colours;  // the 0xRRGGBB each shows
    std::vector<uint32_t> compressions;
};

// Colours as documented: grey levels spread evenly, the 16- and 256-colour
// palettes (red fastest in the cube, then the ramps), direct colour.
const DepthCase DepthCases[] = {
    {"1-bit grey", 1, false, {0, 1, 1, 0, 1, 0, 0}, {0x000000, 0xFFFFFF, 0xFFFFFF, 0x000000, 0xFFFFFF, 0, 0}, {0, 1}},
    {"2-bit grey", 2, false, {0, 1, 2, 3, 3, 3, 1}, {0x000000, 0x555555, 0xAAAAAA, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0x555555}, {0, 1}},
    {"4-bit grey", 4, false, {0, 1, 7, 15, 15, 8, 2}, {0x000000, 0x111111, 0x777777, 0xFFFFFF, 0xFFFFFF, 0x888888, 0x222222}, {0, 1}},
    {"4-bit colour", 4, true, {7, 12, 14, 9, 5, 5, 0}, {0xFFFF00, 0x000080, 0xAAAAAA, 0x0000FF, 0xFF0000, 0xFF0000, 0}, {0, 1}},
    {"8-bit colour", 8, true, {0, 5, 30, 108, 147, 255, 148}, {0x000000, 0xFF0000, 0x00FF00, 0x111111, 0xEEEEEE, 0xFFFFFF, 0x000099}, {0, 1}},
    {"12-bit colour", 12, true, {0xF80, 0x0F0, 0x00F, 0xFFF, 0xFFF, 0xFFF, 0}, {0xFF8800, 0x00FF00, 0x0000FF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0}, {0, 1, 2}},
    {"16-bit colour", 16, true, {0xF800, 0x07E0, 0x001F, 0xFFFF, 0xFFFF, 0, 0}, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0xFFFFFF, 0, 0}, {0, 1, 3}},
    {"24-bit colour", 24, true, {0x123456, 0xFEDCBA, 0, 0x808080, 0x808080, 0x808080, 1}, {0x123456, 0xFEDCBA, 0, 0x808080, 0x808080, 0x808080, 1}, {0, 1, 4}},
    {"32-bit colour", 32, true, {0xFF123456, 0x00FEDCBA, 0, 0, 0, 7, 7}, {0x123456, 0xFEDCBA, 0, 0, 0, 7, 7}, {0, 1}},
};

// Three rows of seven pixels, the row repeated: runs and copies cross the
// ends of rows, and rows carry padding.
TEST(PictureFiles, EveryDepthAndCompressionShowsItsColours) {
    for (const DepthCase& depth : DepthCases) {
        for (uint32_t compression : depth.compressions) {
            SCOPED_TRACE(std::string(depth.name) + ", compression " + std::to_string(compression));
            Sketch bitmap{7, 3, depth.bitsPerPixel, depth.colour, compression};
            for (int row = 0; row < 3; ++row) bitmap.pixels.insert(bitmap.pixels.end(), depth.values.begin(), depth.values.end());
            KindConversion conversion = convertBuilt(multiBitmapFile({{bitmap}}));
            ASSERT_EQ(conversion.result.failure, Failure::None) << conversion.detail;
            ASSERT_EQ(conversion.files.size(), 1u);
            PngPixels png = readPng(conversion.files[0].bytes);
            ASSERT_EQ(png.rgb.size(), 7u * 3 * 3);
            for (size_t i = 0; i < 21; ++i) {
                uint32_t shown = uint32_t{png.rgb[3 * i]} << 16 | uint32_t{png.rgb[3 * i + 1]} << 8 | png.rgb[3 * i + 2];
                EXPECT_EQ(shown, depth.colours[i % 7]) << "pixel " << i;
            }
        }
    }
}

// Bitmaps are where the trailer says, in its order, whatever lies between
// them or after it; the exported variant reads the same.
TEST(PictureFiles, TrailerIsFollowedAsWritten) {
    Sketch black{5, 2, 1, false, 0, std::vector<uint32_t>(10, 0)};
    Sketch white{3, 4, 2, false, 1, std::vector<uint32_t>(12, 3)};
    for (uint32_t uid2 : {MultiBitmapUid, ExportedMultiBitmapUid}) {
        MultiBitmapFile file{{black, white, black}, uid2, 24, 22};
        KindConversion conversion = convertBuilt(multiBitmapFile(file));
        ASSERT_EQ(conversion.result.failure, Failure::None) << conversion.detail;
        std::vector<PngPixels> pictures = picturesOf(conversion);
        ASSERT_EQ(pictures.size(), 3u);
        EXPECT_EQ(conversion.summary, "3 pictures");
        EXPECT_EQ(pictures[0].rgb, std::vector<uint8_t>(30, 0x00));
        EXPECT_EQ(pictures[1].rgb, std::vector<uint8_t>(36, 0xFF));
        EXPECT_EQ(pictures[2].width, 5u);
    }
}

struct DamageCase {
    const char* name;
    MultiBitmapFile file;
    Failure failure;
    size_t recovered;
    const char* detail;
    size_t cut = 0;  // bytes taken off the file's end
};

TEST(PictureFiles, DamagedFilesKeepWhatTheyStillHold) {
    Sketch grey{4, 4, 2, false, 1, std::vector<uint32_t>(16, 2)};
    Sketch cutShort = grey;
    cutShort.pixelData = Bytes().u8(0x07).u8(0xAA);  // eight bytes of sixteen: two rows
    Sketch noWholeRow = grey;
    noWholeRow.pixelData = Bytes().u8(0x02).u8(0xAA);  // three bytes of a four-byte row
    Sketch plain{4, 4, 2, false, 0, std::vector<uint32_t>(16, 2)};  // four rows of four bytes
    Sketch huge = grey;
    huge.declaredWidth = 65535;
    huge.declaredHeight = 65535;
    const DamageCase cases[] = {
        {"trailer past the end", {{grey, grey, grey}, MultiBitmapUid, 0, 0, 0x7FFFFFF0}, Failure::DocumentDamaged, 3,
         "the list of bitmaps at its end is cut off"},
        {"trailer past the end, earlier saves' lists between the bitmaps",
         {{grey, grey, grey}, MultiBitmapUid, 0, 0, 0x7FFFFFF0, {}, true}, Failure::DocumentDamaged, 3,
         "the list of bitmaps at its end is cut off"},
        {"trailer's list past the end", {{grey, grey}, MultiBitmapUid, 0, 0, {}, 1000}, Failure::DocumentDamaged, 2,
         "the list of bitmaps at its end is cut off"},
        {"one bitmap's data cut short", {{grey, cutShort, grey}}, Failure::DocumentDamaged, 3,
         "bitmap 2: its pixel data end early; its top 2 of 4 rows are kept"},
        {"one bitmap's data end inside its first row", {{grey, noWholeRow, grey}}, Failure::DocumentDamaged, 2,
         "bitmap 2: its pixel data end early"},
        {"the file cut inside the last bitmap's data, its trailer lost", {{plain, plain}}, Failure::DocumentDamaged, 2,
         "the list of bitmaps at its end is cut off; bitmap 2: its pixel data end early; its top 1 of 4 rows are kept",
         12 + 12},
        {"a bitmap larger than any", {{grey, huge}}, Failure::LimitReached, 0,
         "bitmap 2: larger than any picture file holds"},
        {"more bitmaps than any file", {{grey}, MultiBitmapUid, 0, 0, {}, 5000}, Failure::DocumentDamaged, 1,
         "the list of bitmaps at its end is cut off"},
        {"no bitmaps", {{}}, Failure::None, 0, ""},
    };
    for (const DamageCase& damage : cases) {
        SCOPED_TRACE(damage.name);
        std::vector<uint8_t> bytes = multiBitmapFile(damage.file);
        KindConversion conversion = convertBuilt({bytes.begin(), bytes.end() - static_cast<std::ptrdiff_t>(damage.cut)});
        EXPECT_EQ(conversion.result.failure, damage.failure) << conversion.detail;
        EXPECT_EQ(conversion.files.size(), damage.recovered);
        EXPECT_EQ(conversion.detail, damage.detail);
        for (const PngPixels& picture : picturesOf(conversion)) {
            EXPECT_EQ(picture.width, 4u);
            EXPECT_EQ(picture.rgb, std::vector<uint8_t>(12 * picture.height, 0xAA));
        }
        if (damage.recovered > 0) {
            EXPECT_EQ(picturesOf(conversion)[0].height, 4u);
        }
    }
}

// A trailer that names more bitmaps than any file holds, all of them there,
// is refused rather than drawn.
TEST(PictureFiles, BitmapCountBeyondTheLimitIsRefused) {
    Sketch dot{1, 1, 1, false, 0, {1}};
    KindConversion conversion = convertBuilt(multiBitmapFile({std::vector<Sketch>(5000, dot)}));
    EXPECT_EQ(conversion.result.failure, Failure::LimitReached);
    EXPECT_TRUE(conversion.files.empty());
}

TEST(PictureFiles, RomFileItemsSkipTheirUncountedLongs) {
    Sketch left{6, 2, 2, false, 0, {0, 1, 2, 3, 0, 1, 3, 3, 3, 3, 3, 3}};
    Sketch right{3, 1, 8, true, 0, {5, 30, 0}};
    KindConversion conversion = convertBuilt(romBitmapFile({left, right}));
    ASSERT_EQ(conversion.result.failure, Failure::None) << conversion.detail;
    std::vector<PngPixels> pictures = picturesOf(conversion);
    ASSERT_EQ(pictures.size(), 2u);
    EXPECT_EQ(conversion.files[1].suffix, "-2.png");
    EXPECT_EQ(std::vector<uint8_t>(pictures[0].rgb.begin(), pictures[0].rgb.begin() + 12),
              (std::vector<uint8_t>{0, 0, 0, 0x55, 0x55, 0x55, 0xAA, 0xAA, 0xAA, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(pictures[1].rgb, (std::vector<uint8_t>{0xFF, 0, 0, 0, 0xFF, 0, 0, 0, 0}));
}

// A damaged list may name one bitmap many times, or sections may claim the
// rest of the file: bytes already drawn are not drawn again, so the work
// stays in proportion to the file.
TEST(PictureFiles, BytesOfOneBitmapAreDrawnOnce) {
    Sketch grey{4, 4, 2, false, 1, std::vector<uint32_t>(16, 2)};
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        size_t pictures;
        const char* detail;
    };
    std::vector<uint8_t> namedTwice = romBitmapFile({grey, grey, grey});
    std::copy_n(namedTwice.begin() + 8, 4, namedTwice.begin() + 16);  // the third offset is the first's
    Sketch claimsTheRest = grey;
    claimsTheRest.paintLength = 0x7FFFFFF0;
    const Case cases[] = {
        {"a ROM list naming the first bitmap again", namedTwice, 2, "bitmap 3: it shares its bytes with bitmap 1"},
        {"a section claiming the rest of the file", romBitmapFile({claimsTheRest, grey, grey}), 1,
         "bitmap 2: it shares its bytes with bitmap 1; bitmap 3: it shares its bytes with bitmap 1"},
        {"the walk of a cut library", multiBitmapFile({{grey, grey}, MultiBitmapUid, 0, 0, 0x7FFFFFF0}), 2,
         "the list of bitmaps at its end is cut off"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        KindConversion conversion = convertBuilt(c.bytes);
        EXPECT_EQ(conversion.files.size(), c.pictures);
        EXPECT_EQ(conversion.detail, c.detail);
    }
}

// The whole displayed area, white where the bitmap is not, the bitmap at
// its place in it.
TEST(PictureFiles, SketchFileShowsItsDisplayedArea) {
    Sketch sketch{2, 1, 2, false, 1, {0, 0}};
    sketch.areaWidth = 5;
    sketch.areaHeight = 3;
    sketch.bitmapX = 2;
    sketch.bitmapY = 1;
    KindConversion conversion = convertBuilt(sketchFile(sketch));
    ASSERT_EQ(conversion.result.failure, Failure::None) << conversion.detail;
    ASSERT_EQ(conversion.files.size(), 1u);
    EXPECT_EQ(conversion.files[0].suffix, ".png");
    PngPixels png = readPng(conversion.files[0].bytes);
    ASSERT_EQ(png.width, 5u);
    ASSERT_EQ(png.height, 3u);
    std::vector<uint8_t> expected(45, 0xFF);
    std::fill_n(expected.begin() + 3 * (5 + 2), 6, 0);
    EXPECT_EQ(png.rgb, expected);
}

// A Sketch file cut anywhere gives what it still holds: its section table,
// at the end, is lost first and the sketch is found where the device puts
// it; then its cuts; then its rows from the bottom up, shown as blank paper.
TEST(PictureFiles, CutSketchFileGivesTheRowsItStillHolds) {
    Sketch sketch{3, 3, 2, false, 0, {0, 1, 2, 1, 2, 0, 2, 0, 1}};  // no white pixel
    std::vector<uint8_t> whole = sketchFile(sketch);
    PngPixels picture = readPng(convertBuilt(whole).files.at(0).bytes);
    const size_t rowBytes = 3 * 3;
    std::vector<size_t> cutsKeeping(4);  // cut files by the rows they keep
    for (size_t cut = 1; cut < whole.size(); ++cut) {
        KindConversion conversion = convertBuilt(std::vector<uint8_t>(whole.begin(), whole.end() - cut));
        if (conversion.files.empty()) continue;
        EXPECT_EQ(conversion.result.failure, Failure::DocumentDamaged) << cut;
        PngPixels png = readPng(conversion.files[0].bytes);
        ASSERT_EQ(png.rgb.size(), picture.rgb.size()) << cut;
        size_t kept = 0;
        while (kept < 3 && std::equal(png.rgb.begin() + kept * rowBytes, png.rgb.begin() + (kept + 1) * rowBytes,
                                      picture.rgb.begin() + kept * rowBytes)) {
            ++kept;
        }
        EXPECT_TRUE(std::all_of(png.rgb.begin() + kept * rowBytes, png.rgb.end(), [](uint8_t v) { return v == 0xFF; }))
            << cut;
        ++cutsKeeping[kept];
    }
    EXPECT_GT(cutsKeeping[3], 0u);
    EXPECT_GT(cutsKeeping[2], 0u);
    EXPECT_GT(cutsKeeping[1], 0u);
}

struct RecognitionCase {
    const char* name;
    std::vector<uint8_t> header;
    const char* kind;  // null: none
};

TEST(FileKinds, LeadingBytesTellTheKind) {
    auto uids = [](uint32_t a, uint32_t b, uint32_t c) { return uidHeader(a, b, c).data; };
    const RecognitionCase cases[] = {
        {"Word document", uids(0x10000037, 0x1000006D, 0x1000007F), "Word document"},
        {"Sketch file", uids(0x10000037, 0x1000006D, 0x1000007D), "Sketch file"},
        {"multi-bitmap", uids(0x10000037, 0x10000042, 0), "picture library"},
        {"exported multi-bitmap", uids(0x10000037, 0x1000008A, 0), "picture library"},
        {"ROM multi-bitmap", {0x41, 0, 0, 0x10, 3, 0, 0, 0}, "ROM picture library"},
        {"Sheet", uids(0x10000037, 0x1000006D, 0x10000088), "Sheet file"},
        {"OPL database", uids(0x10000050, 0x1000008A, 0), "OPL database"},
        {"another application's document", uids(0x10000037, 0x1000006D, 0x10000999), nullptr},
        {"multi-bitmap UIDs with UID3 set", uids(0x10000037, 0x10000042, 5), nullptr},
        {"cut short", {0x37, 0, 0, 0x10, 0x42, 0, 0}, nullptr},
        {"empty", {}, nullptr},
        {"text", {'h', 'e', 'l', 'l', 'o', '\n'}, nullptr},
    };
    for (const RecognitionCase& recognition : cases) {
        SCOPED_TRACE(recognition.name);
        const FileKindEntry* kind = kindOf(recognition.header.data(), recognition.header.size());
        if (recognition.kind == nullptr) {
            EXPECT_EQ(kind, nullptr) << kind->name;
        } else {
            ASSERT_NE(kind, nullptr);
            EXPECT_STREQ(kind->name, recognition.kind);
        }
    }
    EXPECT_EQ(familyNamed("picture"), KindFamily::Picture);
    EXPECT_EQ(familyNamed("database"), KindFamily::Database);
    EXPECT_EQ(familyNamed("other"), std::nullopt);
    EXPECT_TRUE(isWordDocumentKind(wordDocumentKind()));
}

struct PngFormCase {
    const char* name;
    std::vector<uint32_t> colours;  // 0xRRGGBB, one a pixel
    uint8_t colourType, bitDepth;
};

// Grey of the fewest bits that hold every level, a palette up to 256
// colours, RGB beyond; the pixels come back as they went in.
TEST(PngEncoder, SmallestFormForThePicture) {
    std::vector<uint32_t> many;
    for (uint32_t i = 0; i < 300; ++i) many.push_back(i * 0x010203);
    std::vector<uint32_t> sixteen;
    for (uint32_t i = 0; i < 16; ++i) sixteen.push_back(0xFF0000 + i);
    std::vector<uint32_t> seventeen = sixteen;
    seventeen.push_back(0x00FF00);
    std::vector<uint32_t> palette256;
    for (uint32_t i = 0; i < 256; ++i) palette256.push_back(i * 0x000101);
    const PngFormCase cases[] = {
        {"black and white", {0, 0xFFFFFF, 0}, 0, 1},
        {"four greys", {0, 0x555555, 0xAAAAAA, 0xFFFFFF}, 0, 2},
        {"sixteen greys", {0, 0x111111, 0xEEEEEE}, 0, 4},
        {"odd grey", {0, 0x121212}, 0, 8},
        {"two colours", {0xFF0000, 0x00FF00, 0xFF0000}, 3, 1},
        {"four colours", {1, 2, 3, 0xFF0000}, 3, 2},
        {"five colours", {1, 2, 3, 4, 0xFF0000}, 3, 4},
        {"sixteen colours", sixteen, 3, 4},
        {"seventeen colours", seventeen, 3, 8},
        {"256 colours", palette256, 3, 8},
        {"300 colours", many, 2, 8},
    };
    for (const PngFormCase& form : cases) {
        SCOPED_TRACE(form.name);
        Picture picture;
        picture.width = static_cast<int>(form.colours.size());
        picture.height = 2;
        for (int row = 0; row < 2; ++row) {
            for (uint32_t colour : form.colours) {
                picture.rgb.insert(picture.rgb.end(), {static_cast<uint8_t>(colour >> 16), static_cast<uint8_t>(colour >> 8),
                                                       static_cast<uint8_t>(colour)});
            }
        }
        std::vector<uint8_t> png = encodeSmallestPng(picture);
        PngPixels back = readPng(std::string(png.begin(), png.end()));
        EXPECT_EQ(back.colourType, form.colourType);
        EXPECT_EQ(back.bitDepth, form.bitDepth);
        EXPECT_EQ(back.rgb, picture.rgb);
    }
}

}  // namespace
}  // namespace zentoro

namespace zentoro {
namespace {

// A header whose checksum is wrong is still the kind its UIDs say, and
// converts, with a warning; the real files' headers all hold.
TEST(PictureFiles, WrongChecksumConvertsWithAWarning) {
    testing::Sketch dot{1, 1, 1, false, 0, {1}};
    for (std::vector<uint8_t> file : {testing::multiBitmapFile({{dot}}), testing::sketchFile(dot)}) {
        EXPECT_TRUE(convertBuilt(file).warnings.empty());
        file[12] ^= 0xFF;
        KindConversion conversion = convertBuilt(file);
        EXPECT_EQ(conversion.result.failure, Failure::None);
        EXPECT_EQ(conversion.files.size(), 1u);
        EXPECT_EQ(conversion.warnings, std::vector<std::string>{"its header's checksum does not match its UIDs"});
    }
    if (!fs::is_directory(ImageCorpus)) GTEST_SKIP() << "no picture corpus at " << ImageCorpus;
    for (const CorpusPicture& real : CorpusPictures) {
        EXPECT_TRUE(convertAsItsKind(fileBytes(ImageCorpus / real.file)).warnings.empty()) << real.file;
    }
}

}  // namespace
}  // namespace zentoro
