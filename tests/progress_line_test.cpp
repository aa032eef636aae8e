// The progress line: what it shows in how many columns, and that it leaves
// nothing behind.
#include "ui/progress_line.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace zentoro {
namespace {

std::string readBack(std::FILE* file) {
    std::rewind(file);
    std::string text;
    for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file)) text.push_back(static_cast<char>(c));
    return text;
}

TEST(ProgressText, ShowsTheCountDoneOfTheTotalAndTheCurrentFile) {
    EXPECT_EQ(progressText(12, 340, "backup/letter", 80), "[12/340] backup/letter");
}

TEST(ProgressText, KeepsTheEndOfALongPathWithinTheWidthLessOneColumn) {
    std::string text = progressText(1, 2, "backup/Documents/Archive/2001/letter-to-bank", 30);
    EXPECT_EQ(text, "[1/2] .../2001/letter-to-bank");
    EXPECT_EQ(text.size(), 29u);
}

TEST(ProgressText, NeverCutsAMultiByteCharacterOrShowsControlCharacters) {
    // "é" is two bytes; a cut through it would leave half a character.
    EXPECT_EQ(progressText(1, 2, "aaaaé/b", 14), "[1/2] ...é/b");
    EXPECT_EQ(progressText(1, 2, "aaaaé/b", 13), "[1/2] .../b");
    EXPECT_EQ(progressText(1, 2, "odd\nname\r", 80), "[1/2] odd?name?");
}

TEST(ProgressText, FitsTerminalsTooNarrowForAPath) {
    EXPECT_EQ(progressText(1, 2, "backup/letter", 9), "[1/2] ");
    EXPECT_EQ(progressText(100, 200, "backup/letter", 5), "[100");
    EXPECT_EQ(progressText(1, 2, "backup/letter", 0), "");
}

TEST(ProgressLine, RedrawsInPlaceAndErasesItselfCompletely) {
    std::FILE* terminal = std::tmpfile();
    ASSERT_NE(terminal, nullptr);
    ProgressLine line(terminal, true, 80);
    line.show(0, 2, "a/long-name");
    line.show(1, 2, "a/b");
    line.clear();
    line.clear();
    EXPECT_EQ(readBack(terminal),
              "[0/2] a/long-name"
              "\r                 \r"
              "[1/2] a/b"
              "\r         \r");
    std::fclose(terminal);
}

TEST(ProgressLine, WritesNothingWhenNotOnATerminal) {
    std::FILE* terminal = std::tmpfile();
    ASSERT_NE(terminal, nullptr);
    ProgressLine line(terminal, false, 80);
    line.show(0, 1, "a");
    line.clear();
    EXPECT_EQ(readBack(terminal), "");
    std::fclose(terminal);
}

}  // namespace
}  // namespace zentoro
