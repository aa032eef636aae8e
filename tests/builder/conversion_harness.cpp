#include "tests/builder/conversion_harness.h"

#include <unistd.h>

#include <fstream>
#include <iterator>
#include <stdexcept>

#include "convert/zentoro.h"

namespace zentoro::testing {

namespace {

std::string readAll(std::FILE* file) {
    std::fflush(file);
    std::rewind(file);
    std::string text;
    char chunk[4096];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) text.append(chunk, got);
    return text;
}

}  // namespace

ConversionResult convertStream(std::FILE* input, std::FILE* output) {
    ConversionRequest request;
    request.inputStream = input;
    request.outputStream = output;
    return runConversion(request);
}

Conversion convertBytes(const std::vector<uint8_t>& document) {
    Conversion conversion;
    std::FILE* file = std::tmpfile();
    if (file == nullptr) throw std::runtime_error("no temporary file");
    StdoutCapture capture;
    conversion.result = convertDocumentBytes(document.data(), document.size(), file);
    conversion.stdOut = capture.finish();
    conversion.rtf = readAll(file);
    std::fclose(file);
    return conversion;
}

StateOver::StateOver(std::vector<uint8_t> bytes)
    : bytes_(std::move(bytes)), state_(std::make_unique<ConversionState>()), file_(std::tmpfile()) {
    if (file_ == nullptr) throw std::runtime_error("no temporary file");
    state_->input = InputStream{bytes_.data(), bytes_.size(), 0};
    state_->output.file = file_;
}

StateOver::~StateOver() { std::fclose(file_); }

std::string StateOver::output() {
    flushOutput(state_->output);
    std::string text = readAll(file_);
    std::fseek(file_, 0, SEEK_END);
    return text;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

StdoutCapture::StdoutCapture() {
    std::fflush(stdout);
    file_ = std::tmpfile();
    saved_ = dup(fileno(stdout));
    dup2(fileno(file_), fileno(stdout));
}

StdoutCapture::~StdoutCapture() { finish(); }

std::string StdoutCapture::finish() {
    if (file_ == nullptr) return {};
    std::fflush(stdout);
    dup2(saved_, fileno(stdout));
    close(saved_);
    std::string text = readAll(file_);
    std::fclose(file_);
    file_ = nullptr;
    return text;
}

}  // namespace zentoro::testing
