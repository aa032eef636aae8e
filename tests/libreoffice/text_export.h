// LibreOffice as the reader of our RTF: one headless run turns many files
// into plain text, and what it writes is read back as the text it saw.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zentoro::testing {

// The full path of `program` on the PATH, if it is there.
std::optional<std::filesystem::path> findOnPath(std::string_view program);

struct TextExport {
    std::filesystem::path soffice;
    std::filesystem::path profileDir;  // a fresh user profile, never the user's own
    std::filesystem::path outputDir;   // NAME.EXTENSION for each NAME.rtf
    std::filesystem::path logFile;     // what soffice printed
    int timeoutSeconds = 300;
    // Plain text by default; "fodt" writes flat ODT, which keeps the page
    // style's header and footer that plain text leaves out.
    std::string format = "txt:Text";
    std::string extension = ".txt";
};

// Runs soffice once over all `files`; returns its exit status (124 when the
// timeout stopped it). soffice exits 0 even for files it could not read, so
// callers look for each output file.
int exportAsText(const TextExport& run, const std::vector<std::filesystem::path>& files);

// Where the text of `rtfFile` lands.
std::filesystem::path exportedTextPath(const TextExport& run, const std::filesystem::path& rtfFile);

// The exported UTF-8 text without its byte order mark, and with every U+0095
// removed: a bullet written as a SYMBOL 149 field comes out as that
// character, and it is formatting, not text.
std::string textOfExport(std::string_view exported);

// The text of the header and footer of the first page style in a flat ODT
// export: paragraphs end in a line feed, tabs and spaces are kept, tags
// are dropped and character references decoded. Empty where there is none.
struct HeaderFooterRead {
    std::string header;
    std::string footer;
};
HeaderFooterRead headerAndFooterOfFlatOdt(std::string_view fodt);

}  // namespace zentoro::testing
