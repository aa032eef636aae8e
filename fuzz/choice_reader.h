// Reads a fuzz input as a series of small choices, front to back, so that a
// mutation of one byte changes one decision and the rest stay as they were.
// Once the input is used up every choice is 0, the first option.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace zentoro::fuzzing {

class ChoiceReader {
public:
    explicit ChoiceReader(std::span<const uint8_t> input) : input_(input) {}

    uint8_t byte() { return pos_ < input_.size() ? input_[pos_++] : 0; }

    uint32_t u32() {
        uint32_t value = 0;
        for (int shift = 0; shift < 32; shift += 8) value |= static_cast<uint32_t>(byte()) << shift;
        return value;
    }

    // 0 to count - 1 (count > 0); one byte for up to 256 options.
    uint32_t below(uint32_t count) {
        if (count <= 1) return 0;
        return (count <= 256 ? byte() : u32()) % count;
    }

    // True for one value in `oneIn`; never for the used-up input.
    bool chance(uint32_t oneIn) { return oneIn <= 1 || below(oneIn) == oneIn - 1; }
    // False once the input is used up.
    bool flag() { return (byte() & 1) != 0; }

    bool exhausted() const { return pos_ >= input_.size(); }

private:
    std::span<const uint8_t> input_;
    size_t pos_ = 0;
};

}  // namespace zentoro::fuzzing
