// Where each input's output goes, and the guards against two inputs sharing
// one output (the second would silently replace the first's).
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace zentoro {

// The input path with `extension` appended, or, with an output folder, the
// input's path below its walked folder (or its file name) under that folder
// with `extension` appended.
std::string outputPathFor(const std::string& input, const std::filesystem::path& relative,
                          const std::optional<std::string>& outputDir, const char* extension);

class OutputClaims {
public:
    // Records that `input` writes `output`; returns the other input that
    // already claimed it, if any. The same input may claim it again. Names
    // that differ only in case are one name on Windows and macOS.
    std::optional<std::string> claim(const std::string& output, const std::string& input);

private:
    std::filesystem::path normalised(const std::string& path);

    std::map<std::string, std::string> claims_;  // normalised output -> input
    std::filesystem::path workingFolder_;                  // once asked for
};

// The files this run has written, by identity: on a file system that folds
// case (or through links) two different output names can be one file.
class WrittenOutputs {
public:
    using Identity = std::pair<std::uintmax_t, std::uintmax_t>;  // device and file number
    // The identity of the file at `path` itself (a link is not followed),
    // where the system gives one.
    static std::optional<Identity> identityOf(const std::string& path);

    // Records the file now at `output` as written by `input`. Its identity
    // is taken when a file is first found standing where an output is to
    // go: in most runs none ever is, and no output is looked at again.
    void record(const std::string& output, const std::string& input);
    // The input whose output already is the file at `output`, if any.
    std::optional<std::string> writerOf(const std::string& output);

private:
    void identifyRecorded();

    std::vector<std::pair<std::string, std::string>> unidentified_;  // output, input, in the order written
    std::map<Identity, std::string> writers_;
};

}  // namespace zentoro
