// The converter dialog's behaviour, on a stand-in window: what each command
// does to the fields, the files and the message boxes.
#include <gtest/gtest.h>
#include <unistd.h>

#include <deque>
#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "tests/builder/conversion_harness.h"
#include "tests/builder/temporary_folder.h"
#include "tests/builder/document_builder.h"
#include "ui/converter_dialog.h"
#include "ui/dialog_messages.h"

namespace zentoro {
namespace {

using namespace testing;
namespace fs = std::filesystem;

struct Message {
    std::string text;
    std::string caption;
    bool operator==(const Message&) const = default;
};

// A window that records what the dialog does to it and answers the
// open-file dialog from a queue of choices.
class FakeWindow : public WindowOperations {
public:
    std::string readField(DialogField field) override { return fields[field]; }
    void setField(DialogField field, const std::string& text) override { fields[field] = text; }
    void showMessage(const char* text, const char* caption) override { messages.push_back({text, caption}); }
    std::optional<std::string> pickFile() override {
        ++pickCount;
        if (choices.empty()) return std::nullopt;
        std::optional<std::string> choice = choices.front();
        choices.pop_front();
        return choice;
    }
    void endDialog() override { ++endCount; }
    void showRestored() override { ++restoreCount; }

    std::string input() { return fields[DialogField::InputPath]; }
    std::string output() { return fields[DialogField::OutputPath]; }

    std::map<DialogField, std::string> fields;
    std::vector<Message> messages;
    std::deque<std::optional<std::string>> choices;
    int pickCount = 0;
    int endCount = 0;
    int restoreCount = 0;
};

const Message Converted{ConvertedMessage, SuccessCaption};
const Message Failed{ConversionFailedMessage, FailedCaption};
const Message NotWord{NotWordFileMessage, FailedCaption};

class ConverterDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        writeFile(path("letter.wrd"), sampleDocument());
        writeFile(path("notes.txt"), Bytes().text("just some notes\n").data);
    }

    std::string path(const std::string& name) const { return folder_.path(name); }

    void browseTo(const std::optional<std::string>& choice) {
        window.choices.push_back(choice);
        dialog.command(BrowseButton);
    }

    static std::string expectedRtf() { return convertBytes(sampleDocument()).rtf; }

    TemporaryFolder folder_{"dialog"};
    const fs::path& dir_ = folder_.root();
    FakeWindow window;
    ConverterDialog dialog{window};
};

TEST_F(ConverterDialogTest, OpensRestoredAndEndsByCancelOrCloseBox) {
    dialog.initialise();
    EXPECT_EQ(window.restoreCount, 1);
    EXPECT_FALSE(dialog.command(CancelButton));
    EXPECT_EQ(window.endCount, 1);
    dialog.close();
    EXPECT_EQ(window.endCount, 2);
    EXPECT_TRUE(window.messages.empty());
}

TEST_F(ConverterDialogTest, OnlyProcessAndBrowseAreHandledAsItsOwnCommands) {
    EXPECT_TRUE(dialog.command(ProcessFileButton));
    EXPECT_TRUE(dialog.command(BrowseButton));
    window.messages.clear();
    for (int other : {0, 3, 1001, 1004, 0xFFFF}) {
        EXPECT_FALSE(dialog.command(other)) << other;
    }
    EXPECT_TRUE(window.messages.empty());
    EXPECT_EQ(window.pickCount, 1);
    EXPECT_EQ(window.endCount, 0);
}

TEST_F(ConverterDialogTest, ProcessBeforeAnyBrowseReportsFailure) {
    dialog.command(ProcessFileButton);
    EXPECT_EQ(window.messages, std::vector<Message>{Failed});
}

TEST_F(ConverterDialogTest, BrowsingToWordDocumentShowsItsPathsAndProcessWritesItsRtf) {
    browseTo(path("letter.wrd"));
    EXPECT_EQ(window.input(), path("letter.wrd"));
    EXPECT_EQ(window.output(), path("letter.wrd.rtf"));
    EXPECT_TRUE(window.messages.empty());

    dialog.command(ProcessFileButton);
    EXPECT_EQ(window.messages, std::vector<Message>{Converted});
    EXPECT_EQ(readFile(path("letter.wrd.rtf")), expectedRtf());
    EXPECT_EQ(window.input(), path("letter.wrd"));
    EXPECT_EQ(window.output(), path("letter.wrd.rtf"));
}

TEST_F(ConverterDialogTest, ProcessingTwiceReplacesTheOutput) {
    browseTo(path("letter.wrd"));
    dialog.command(ProcessFileButton);
    writeFile(path("letter.wrd.rtf"), Bytes().text("stale output, longer than it should be").data);
    dialog.command(ProcessFileButton);
    EXPECT_EQ(window.messages, (std::vector<Message>{Converted, Converted}));
    EXPECT_EQ(readFile(path("letter.wrd.rtf")), expectedRtf());
}

TEST_F(ConverterDialogTest, RejectedFileKeepsTheEarlierDocumentWhichProcessStillConverts) {
    browseTo(path("letter.wrd"));
    browseTo(path("notes.txt"));
    EXPECT_EQ(window.messages, std::vector<Message>{NotWord});
    EXPECT_EQ(window.input(), path("letter.wrd"));
    EXPECT_EQ(window.output(), path("letter.wrd.rtf"));

    dialog.command(ProcessFileButton);
    EXPECT_EQ(window.messages.back(), Converted);
    EXPECT_FALSE(fs::exists(path("notes.txt.rtf")));
}

TEST_F(ConverterDialogTest, FileThatCannotBeOpenedIsRejected) {
    browseTo(path("vanished.wrd"));
    EXPECT_EQ(window.messages, std::vector<Message>{NotWord});
    EXPECT_EQ(window.input(), "");
    EXPECT_EQ(window.output(), "");
}

TEST_F(ConverterDialogTest, CancelledBrowseChangesNothingAndShowsNothing) {
    browseTo(path("letter.wrd"));
    browseTo(std::nullopt);
    EXPECT_TRUE(window.messages.empty());
    EXPECT_EQ(window.input(), path("letter.wrd"));
    EXPECT_EQ(window.output(), path("letter.wrd.rtf"));
}

TEST_F(ConverterDialogTest, PathEndingInRtfGetsASecondRtf) {
    fs::copy_file(path("letter.wrd"), path("letter.rtf"));
    browseTo(path("letter.rtf"));
    EXPECT_EQ(window.output(), path("letter.rtf.rtf"));
    dialog.command(ProcessFileButton);
    EXPECT_EQ(readFile(path("letter.rtf.rtf")), expectedRtf());
}

TEST_F(ConverterDialogTest, DocumentRemovedAfterBrowsingFailsToConvert) {
    browseTo(path("letter.wrd"));
    fs::remove(path("letter.wrd"));
    dialog.command(ProcessFileButton);
    EXPECT_EQ(window.messages, std::vector<Message>{Failed});
}

TEST_F(ConverterDialogTest, FailedConversionLeavesTheEarlierOutputAsItWas) {
    browseTo(path("letter.wrd"));
    dialog.command(ProcessFileButton);
    // The same path now holds a copy of the document cut short.
    std::vector<uint8_t> cut = sampleDocument();
    cut.resize(cut.size() / 2);
    writeFile(path("letter.wrd"), cut);
    dialog.command(ProcessFileButton);
    EXPECT_EQ(window.messages, (std::vector<Message>{Converted, Failed}));
    EXPECT_TRUE(readFile(path("letter.wrd.rtf")) == expectedRtf());
}

// The open-file dialog may return paths far longer than 259 characters; they
// reach the conversion whole, not cut short.
TEST_F(ConverterDialogTest, LongPathReachesTheConversionWhole) {
    fs::path folder = dir_;
    for (char letter = 'a'; letter <= 'f'; ++letter) folder /= std::string(200, letter);
    fs::create_directories(folder);
    std::string document = (folder / "letter.wrd").string();
    ASSERT_GT(document.size(), 1200u);
    fs::copy_file(path("letter.wrd"), document);

    browseTo(document);
    EXPECT_EQ(window.input(), document);
    EXPECT_EQ(window.output(), document + ".rtf");
    dialog.command(ProcessFileButton);
    EXPECT_EQ(window.messages, std::vector<Message>{Converted});
    EXPECT_EQ(readFile(document + ".rtf"), expectedRtf());
}

}  // namespace
}  // namespace zentoro
