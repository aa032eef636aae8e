#include "sound/wav_writer.h"

namespace zentoro {

namespace {

constexpr uint32_t HeaderSize = 44;
constexpr uint16_t BytesPerSample = 2;

void appendU32(std::string& out, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>(value >> shift));
}

void appendU16(std::string& out, uint16_t value) {
    out.push_back(static_cast<char>(value));
    out.push_back(static_cast<char>(value >> 8));
}

}  // namespace

std::string wavHeader(uint32_t sampleCount, uint32_t rate) {
    uint32_t dataBytes = sampleCount * BytesPerSample;
    std::string out = "RIFF";
    appendU32(out, HeaderSize - 8 + dataBytes);
    out += "WAVEfmt ";
    appendU32(out, 16);  // size of the format chunk
    appendU16(out, 1);   // PCM
    appendU16(out, 1);   // mono
    appendU32(out, rate);
    appendU32(out, rate * BytesPerSample);
    appendU16(out, BytesPerSample);
    appendU16(out, 16);  // bits per sample
    out += "data";
    appendU32(out, dataBytes);
    return out;
}

void appendSample(std::string& wav, int16_t sample) { appendU16(wav, static_cast<uint16_t>(sample)); }

}  // namespace zentoro
