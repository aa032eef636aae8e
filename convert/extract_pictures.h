// Writes the sketches embedded in a Word document as PNG files.
#pragma once

#include <string>
#include <vector>

#include "reader/failure.h"

namespace zentoro {

struct PictureExtraction {
    ConversionResult result;            // reading the document, or writing a picture
    int written = 0;                    // PNG files written
    std::vector<std::string> warnings;  // one per sketch that could not be drawn
};

// The file name of a document's Nth object (from 1, in text order, counting
// every object): "letter.wrd" and 2 give "letter.wrd-object2.png".
std::string pictureFileName(const std::string& documentPath, int objectNumber);

// Reads the document at `inputPath` and writes each sketch it embeds into
// the folder `outputDir`, which must exist, under pictureFileName(); a file
// of that name is replaced. A sketch that cannot be drawn is left out with a
// warning ("object 2: the sketch's pixel data end early"); spreadsheets and
// other objects are passed over.
PictureExtraction extractPictures(const char* inputPath, const char* outputDir);

}  // namespace zentoro
