// Where each input's RTF goes, and the guard against two inputs sharing one
// output (the second would silently replace the first's).
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "ui/dialog_messages.h"

namespace zentoro {

// The input path with the extension (".rtf") appended, or, with an output
// folder, the input's path below its walked folder (or its file name) under
// that folder with the extension appended.
std::string outputPathFor(const std::string& input, const std::filesystem::path& relative,
                          const std::optional<std::string>& outputDir, std::string_view extension = OutputSuffix);

class OutputClaims {
public:
    // Records that `input` writes `output`; returns the other input that
    // already claimed it, if any. The same input may claim it again.
    std::optional<std::string> claim(const std::string& output, const std::string& input);

private:
    std::map<std::filesystem::path, std::string> claims_;  // normalised output -> input
};

}  // namespace zentoro
