#include "sound/record_file.h"

#include <span>
#include <string>

#include "reader/conversion_limits.h"
#include "reader/input_readers.h"
#include "reader/store_file.h"
#include "sound/alaw.h"
#include "sound/wav_writer.h"

namespace zentoro {

namespace {

constexpr uint32_t RecordUid = 0x1000007E;
constexpr uint32_t RecordSectionId = 0x10000052;
constexpr uint32_t PlainSamples = 0;
constexpr uint32_t AdpcmSamples = 0x100001A1;
constexpr uint64_t MicrosecondsPerSecond = 1000000;

struct RecordSection {
    uint32_t compression = 0;
    uint32_t passes = 1;
    uint64_t pauseSamples = 0;
    std::span<const unsigned char> samples;
    bool cutShort = false;
};

uint32_t byteSwapped(uint32_t v) {
    return (v >> 24) | ((v >> 8) & 0xFF00) | ((v << 8) & 0xFF0000) | (v << 24);
}

// Tools other than the device store the data length big-endian: where the
// little-endian reading runs past the end and the big-endian one fits, the
// big-endian one is meant.
uint32_t dataLength(uint32_t stored, size_t left) {
    if (stored > left && byteSwapped(stored) <= left) return byteSwapped(stored);
    return stored;
}

RecordSection loadRecordSection(const unsigned char* data, size_t size, uint32_t offset) {
    ReaderState s{{data, size, offset}};
    RecordSection section;
    readU32(s.input);  // uncompressed length
    section.compression = readU32(s.input);
    int timesLow = readByte(s);
    int timesHigh = readByte(s);
    section.passes = static_cast<uint32_t>(timesLow | timesHigh << 8) + 1;
    readByte(s);  // volume: the samples are the same at any volume
    readByte(s);
    section.pauseSamples = uint64_t{readU32(s.input)} * RecordSampleRate / MicrosecondsPerSecond;
    uint32_t stored = readU32(s.input);
    if (s.input.endedEarly) {
        section.cutShort = true;
        return section;
    }
    size_t left = size - s.input.pos;
    section.samples = readBytes(s.input, dataLength(stored, left));
    section.cutShort = s.input.endedEarly;
    return section;
}

void appendSamples(std::string& wav, std::span<const unsigned char> bytes) {
    for (unsigned char byte : bytes) appendSample(wav, alawSample(byte));
}

uint64_t samplesAsPlayed(const RecordSection& section) {
    return uint64_t{section.passes} * section.samples.size() + uint64_t{section.passes - 1} * section.pauseSamples;
}

// Each pass is the same sound: decoded once and copied for the others.
std::string wavAsPlayed(const RecordSection& section, uint32_t sampleCount) {
    std::string wav = wavHeader(sampleCount, RecordSampleRate);
    wav.reserve(wav.size() + uint64_t{sampleCount} * 2);
    std::string sound;
    appendSamples(sound, section.samples);
    for (uint32_t pass = 0; pass < section.passes; ++pass) {
        if (pass > 0) wav.append(section.pauseSamples * 2, '\0');
        wav += sound;
    }
    return wav;
}

std::string durationSummary(uint64_t sampleCount) {
    uint64_t tenths = (sampleCount * 10 + RecordSampleRate / 2) / RecordSampleRate;
    return "1 recording, " + std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " s";
}

KindConversion refused(Failure failure, std::string detail) {
    KindConversion conversion;
    conversion.result.failure = failure;
    conversion.detail = std::move(detail);
    return conversion;
}

}  // namespace

bool isRecordFile(const unsigned char* data, size_t size) {
    return startsWithUids(data, size, SectionedFileUid, ApplicationDocumentUid, RecordUid);
}

KindConversion convertRecordFile(const unsigned char* data, size_t size, const KindOptions& options) {
    if (!isRecordFile(data, size)) return refused(Failure::NotWordDocument, "not a recording");
    std::optional<uint32_t> offset = findSection(data, size, RecordSectionId);
    if (!offset) return refused(Failure::DocumentDamaged, "no record section");
    RecordSection section = loadRecordSection(data, size, *offset);
    if (section.compression == AdpcmSamples) return refused(Failure::NotSupported, "ADPCM recording");
    if (section.compression != PlainSamples) return refused(Failure::NotSupported, "unknown sound compression");
    if (!options.soundAsPlayed) section.passes = 1;
    uint64_t sampleCount = samplesAsPlayed(section);
    constexpr uint64_t MostSamples = 0x7FFF0000;  // a WAV's sizes are 32-bit
    if (sampleCount * 2 + 44 > outputLimitFor(size) || sampleCount > MostSamples) {
        return refused(Failure::LimitReached, "repeats too long");
    }
    KindConversion conversion;
    conversion.files.push_back({".wav", wavAsPlayed(section, static_cast<uint32_t>(sampleCount))});
    conversion.summary = durationSummary(sampleCount);
    if (section.cutShort) {
        conversion.result.failure = Failure::DocumentDamaged;
        conversion.detail = "recording cut short";
    }
    return conversion;
}

}  // namespace zentoro
