// Why an embedded object gave no picture. The object still takes its place
// in the document (as a placeholder); the reason is reported as a warning.
#pragma once

namespace zentoro {

enum class PictureFailure {
    None,
    NotASketch,          // a spreadsheet or another application's object: nothing to draw
    OutsideDocument,     // a position or length points outside the document
    MissingSection,      // a section the object needs is not in its section table
    UnknownDepth,        // bits per pixel other than 1, 2, 4, 8, 12, 16, 24 or 32
    UnknownCompression,  // compression other than 0 to 4
    TooLarge,            // more pixels than any sketch can hold
    Empty,               // no pixels to show: zero size, or cut away entirely
    PixelDataShort,      // the pixel data end before the picture does
};

constexpr const char* describePictureFailure(PictureFailure failure) {
    switch (failure) {
        case PictureFailure::None: return "";
        case PictureFailure::NotASketch: return "the object is not a sketch";
        case PictureFailure::OutsideDocument: return "the sketch points outside the document";
        case PictureFailure::MissingSection: return "the object lacks a section it needs";
        case PictureFailure::UnknownDepth: return "the sketch has an unknown number of bits per pixel";
        case PictureFailure::UnknownCompression: return "the sketch has an unknown compression";
        case PictureFailure::TooLarge: return "the sketch is larger than any sketch can be";
        case PictureFailure::Empty: return "the sketch has no pixels to show";
        case PictureFailure::PixelDataShort: return "the sketch's pixel data end early";
    }
    return "";
}

}  // namespace zentoro
