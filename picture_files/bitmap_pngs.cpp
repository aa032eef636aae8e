#include "picture_files/bitmap_pngs.h"

#include <algorithm>

#include "picture/displayed_area.h"
#include "picture/paint_data.h"
#include "picture/png_encoder.h"
#include "picture_files/picture_file_limits.h"
#include "reader/uid_header.h"

namespace zentoro {

namespace {

std::string suffixFor(size_t index, size_t count) {
    if (count == 1) return ".png";
    std::string suffix = "-";
    suffix += std::to_string(index + 1);
    suffix += ".png";
    return suffix;
}

std::string bitmapProblem(size_t index, const char* what) {
    std::string problem = "bitmap ";
    problem += std::to_string(index + 1);
    problem += ": ";
    problem += what;
    return problem;
}

// Why a bitmap gave no picture, in words of bitmaps.
const char* bitmapFailure(PictureFailure failure) {
    switch (failure) {
        case PictureFailure::OutsideDocument: return "it lies outside the file";
        case PictureFailure::UnknownDepth: return "it has an unknown number of bits per pixel";
        case PictureFailure::UnknownCompression: return "it has an unknown compression";
        case PictureFailure::Empty: return "it has no pixels";
        case PictureFailure::PixelDataShort: return "its pixel data end early";
        default: return describePictureFailure(failure);
    }
}

// "bitmap 2: its pixel data end early; its top 120 of 240 rows are kept".
std::string cutBitmapProblem(size_t index, const Picture& kept, uint32_t lostRows) {
    std::string problem = bitmapProblem(index, bitmapFailure(PictureFailure::PixelDataShort));
    problem += "; its top ";
    problem += std::to_string(kept.height);
    problem += " of ";
    problem += std::to_string(uint64_t(kept.height) + lostRows);
    problem += " rows are kept";
    return problem;
}

struct DrawnBitmap {
    PictureFailure failure = PictureFailure::None;
    uint32_t lostRows = 0;  // below the picture drawn, when its data end early
};

// Draws one bitmap at its own size, every bitmap its own opaque picture;
// one whose data end early as far as they go.
DrawnBitmap drawBitmap(ObjectBytes& in, uint64_t start, uint32_t gap, uint64_t maxPixels, Picture& out) {
    PaintData paint;
    PictureFailure loaded = loadPaintData(in, start, maxPixels, paint, gap);
    in.overrun = false;  // one bitmap's bad offsets say nothing of the next
    return {renderLoaded(DisplayedArea{}, paint, loaded, maxPixels, out), paint.lostRows};
}

// The bytes a bitmap's section takes, as far as the file holds them.
struct Extent {
    uint64_t start = 0;
    uint64_t end = 0;
    size_t bitmap = 0;
};

Extent extentOf(ObjectBytes& in, uint64_t start, uint32_t gap, size_t bitmap) {
    PaintHeader header = loadPaintHeader(in, start);
    in.overrun = false;
    return {start, std::min<uint64_t>(start + gap + header.sectionLength, in.bytes.size()), bitmap};
}

// The bitmap drawn already whose bytes `extent` shares, if any. Real files
// never share them; a damaged list that names one large bitmap many times,
// or sections that claim the rest of the file, would have the same bytes
// drawn over and over.
const Extent* sharedWith(const std::vector<Extent>& drawn, const Extent& extent) {
    for (const Extent& other : drawn) {
        if (extent.start < other.end && other.start < extent.end) return &other;
    }
    return nullptr;
}

}  // namespace

std::string pictureCount(size_t count) {
    std::string text = std::to_string(count);
    text += count == 1 ? " picture" : " pictures";
    return text;
}

void warnOfChecksum(const unsigned char* bytes, size_t size, KindConversion& conversion) {
    if (!uidChecksumHolds(bytes, size)) conversion.warnings.push_back("its header's checksum does not match its UIDs");
}

KindConversion refusedPictureFile(Failure failure, std::string detail) {
    KindConversion conversion;
    conversion.result.failure = failure;
    conversion.detail = std::move(detail);
    return conversion;
}

KindConversion bitmapsAsPngs(ObjectBytes& in, const BitmapPlaces& places) {
    if (places.starts.size() > MaxBitmapsPerFile) {
        return refusedPictureFile(Failure::LimitReached, "more bitmaps than any picture file holds");
    }
    KindConversion conversion;
    std::string problems = places.damaged ? places.damage : "";
    auto note = [&problems](const std::string& problem) {
        if (!problems.empty()) problems += "; ";
        problems += problem;
    };
    uint64_t pixelsLeft = MaxFilePicturePixels;
    std::vector<Extent> drawnExtents;
    for (size_t i = 0; i < places.starts.size(); ++i) {
        Extent extent = extentOf(in, places.starts[i], places.uncountedGap, i);
        if (const Extent* other = sharedWith(drawnExtents, extent)) {
            note(bitmapProblem(i, "it shares its bytes with bitmap ") + std::to_string(other->bitmap + 1));
            continue;
        }
        Picture picture;
        DrawnBitmap drawn =
            drawBitmap(in, places.starts[i], places.uncountedGap, std::min(pixelsLeft, MaxPicturePixels), picture);
        if (drawn.failure == PictureFailure::TooLarge) {
            return refusedPictureFile(Failure::LimitReached, bitmapProblem(i, "larger than any picture file holds"));
        }
        if (drawn.failure != PictureFailure::None && picture.width == 0) {
            note(bitmapProblem(i, bitmapFailure(drawn.failure)));
            continue;
        }
        if (drawn.failure != PictureFailure::None) note(cutBitmapProblem(i, picture, drawn.lostRows));
        drawnExtents.push_back(extent);
        pixelsLeft -= uint64_t(picture.width) * uint64_t(picture.height);
        std::vector<uint8_t> png = encodeSmallestPng(picture);
        if (png.empty()) return refusedPictureFile(Failure::OutOfMemory, bitmapProblem(i, "cannot be compressed"));
        conversion.files.push_back({suffixFor(i, places.starts.size()), std::string(png.begin(), png.end())});
    }
    if (!problems.empty()) conversion.result.failure = Failure::DocumentDamaged;
    conversion.detail = std::move(problems);
    conversion.summary = pictureCount(conversion.files.size());
    return conversion;
}

}  // namespace zentoro
