// Writes the sketches embedded in a Word document as PNG files.
#pragma once

#include <string>
#include <vector>

#include "reader/failure.h"

namespace zentoro {

// What becomes of a picture file that stands where a picture is to go.
enum class ExistingPictures {
    Replace,  // written over (a regular file only)
    Keep,     // left as it is, and counted as kept
    ListOnly, // nothing is written: the pictures' paths are only listed
};

struct PictureExtraction {
    ConversionResult result;            // reading the document, or writing a picture
    int written = 0;                    // PNG files written
    int kept = 0;                       // pictures not written because a file stood there (Keep)
    std::vector<std::string> paths;     // each picture written, or to be written with ListOnly
    std::vector<std::string> warnings;  // one per sketch that could not be drawn
};

// The file name of a document's Nth object (from 1, in text order, counting
// every object): "letter.wrd" and 2 give "letter.wrd-object2.png".
std::string pictureFileName(const std::string& documentPath, int objectNumber);

// Reads the document at `inputPath` and writes each sketch it embeds into
// the folder `outputDir`, which must exist, under pictureFileName(); a file
// of that name is replaced or kept as `existing` says. A sketch that cannot be drawn is left out with a
// warning ("object 2: the sketch's pixel data end early"); spreadsheets and
// other objects are passed over.
PictureExtraction extractPictures(const char* inputPath, const char* outputDir,
                                  ExistingPictures existing = ExistingPictures::Replace);

}  // namespace zentoro
