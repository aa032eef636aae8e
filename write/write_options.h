// What every writer of the document model may be asked for, beside the
// model itself. Each writer is one function over the model and an open
// output stream, `bool writeX(const Document&, const WriteOptions&,
// std::FILE*)`, which returns false when the output could not be written.
#pragma once

#include <string>

namespace zentoro {

struct WriteOptions {
    std::string documentName;        // the input's file name: titles and FILENAME fields
    bool withHeaderFooter = false;   // text: also write the header and the footer
    std::string pictureFolder;       // where pictures are written as PNG files; empty: none
    std::string pictureNamePrefix;   // file names of pictures: PREFIX-objectN.png
    bool picturesAsDataUris = false; // Markdown: embed pictures instead of linking files
    // The Windows code page the document's text is read in (the device's
    // ROM language decides it); a number that is not supported reads as 1252.
    int codePage = 1252;
    bool keepExistingPictures = false; // a picture file that stands there is kept, not replaced
};

}  // namespace zentoro
