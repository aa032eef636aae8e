#include "picture_files/bitmap_pngs.h"

#include <algorithm>

#include "picture/displayed_area.h"
#include "picture/paint_data.h"
#include "picture/png_encoder.h"
#include "picture_files/picture_file_limits.h"

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

// Draws one bitmap at its own size, every bitmap its own opaque picture.
PictureFailure drawBitmap(ObjectBytes& in, uint64_t start, uint32_t gap, uint64_t maxPixels, Picture& out) {
    PaintData paint;
    PictureFailure failure = loadPaintData(in, start, maxPixels, paint, gap);
    in.overrun = false;  // one bitmap's bad offsets say nothing of the next
    if (failure != PictureFailure::None) return failure;
    return renderDisplayedArea(DisplayedArea{}, paint, maxPixels, out);
}

}  // namespace

std::string pictureCount(size_t count) {
    std::string text = std::to_string(count);
    text += count == 1 ? " picture" : " pictures";
    return text;
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
    uint64_t pixelsLeft = MaxFilePicturePixels;
    for (size_t i = 0; i < places.starts.size(); ++i) {
        Picture picture;
        PictureFailure failure =
            drawBitmap(in, places.starts[i], places.uncountedGap, std::min(pixelsLeft, MaxPicturePixels), picture);
        if (failure == PictureFailure::TooLarge) {
            return refusedPictureFile(Failure::LimitReached, bitmapProblem(i, "larger than any picture file holds"));
        }
        if (failure != PictureFailure::None) {
            if (!problems.empty()) problems += "; ";
            problems += bitmapProblem(i, describePictureFailure(failure));
            continue;
        }
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
