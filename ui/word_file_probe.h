// Tells Word documents from other files by their header, without the
// diagnostics that checkWordFile prints, and says why a file could not be read.
#pragma once

#include <string>

namespace zentoro {

enum class FileKind { WordDocument, OtherFile, Unreadable };

struct ProbedFile {
    FileKind kind = FileKind::OtherFile;
    std::string problem;  // why an Unreadable file could not be read
};

ProbedFile probeWordFile(const std::string& path);

}  // namespace zentoro
