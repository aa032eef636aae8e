// Tells Word documents from other files by their header, without the
// diagnostics that checkWordFile prints, and says why a file is not one or
// could not be read.
#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>
#include <string>

namespace zentoro {

enum class FileKind { WordDocument, OtherFile, Unreadable };

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using OpenFile = std::unique_ptr<std::FILE, FileCloser>;

struct ProbedFile {
    FileKind kind = FileKind::OtherFile;
    // Unreadable: why ("cannot open: Permission denied", "not a regular file").
    // OtherFile: what the file is ("it is a spreadsheet file").
    std::string problem;
    // OtherFile: the header check's own message for the first UID that does
    // not match ("This isn't an EPOC file - exiting program.\n").
    const char* headerMessage = nullptr;
    // WordDocument, when asked to keep it: the file itself, open at its
    // start, `size` bytes long, so that its conversion reads the very file
    // that was checked without opening it again.
    OpenFile file;
    size_t size = 0;
};

// Opens the file without blocking and reads only its header. A symbolic
// link is followed only when `followLinks`.
ProbedFile probeWordFile(const std::string& path, bool followLinks = true, bool keepOpen = false);

// The same for a stream already open, such as standard input: reads its
// first twelve bytes.
ProbedFile probeWordStream(std::FILE* stream);

}  // namespace zentoro
