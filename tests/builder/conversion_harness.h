// Runs conversions and single translators on built documents and captures
// what they write.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "reader/failure.h"
#include "rtf/conversion_state.h"

namespace zentoro::testing {

struct Conversion {
    int result = -1;
    std::string rtf;     // what was written to the output
    std::string stdOut;  // diagnostics written to standard output
};

// Converts a document held in memory, as convertDocument would a file.
Conversion convertBytes(const std::vector<uint8_t>& document);

// Converts one open stream to another, as standard input to standard output.
ConversionResult convertStream(std::FILE* input, std::FILE* output);

// A ConversionState reading `bytes`, whose output can be read back.
class StateOver {
public:
    explicit StateOver(std::vector<uint8_t> bytes);
    ~StateOver();
    StateOver(const StateOver&) = delete;
    StateOver& operator=(const StateOver&) = delete;

    ConversionState& state() { return *state_; }
    ConversionState* operator->() { return state_.get(); }
    // Everything written to the output so far.
    std::string output();

private:
    std::vector<uint8_t> bytes_;
    std::unique_ptr<ConversionState> state_;
    std::FILE* file_;
};

// Reads a whole file; empty when it cannot be read.
std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::vector<uint8_t>& bytes);

// Captures what the process writes to standard output in the meantime.
class StdoutCapture {
public:
    StdoutCapture();
    ~StdoutCapture();
    std::string finish();

private:
    int saved_ = -1;
    std::FILE* file_ = nullptr;
};

}  // namespace zentoro::testing
