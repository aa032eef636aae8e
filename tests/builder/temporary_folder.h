// A folder of its own for each test, and running commands in it.
#pragma once

#include <filesystem>
#include <string>

namespace zentoro::testing {

// Created empty for the running test (named after it) and removed with
// everything in it when the object goes.
class TemporaryFolder {
public:
    explicit TemporaryFolder(const std::string& purpose);
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::filesystem::path& root() const { return root_; }
    std::string path(const std::string& name) const { return (root_ / name).string(); }

private:
    std::filesystem::path root_;
};

struct CommandRun {
    int status = -1;  // exit status, -1 when the command did not exit normally
    std::string out;
    std::string err;
};

// Runs a shell command line with `folder` as its working folder and
// captures its standard output and standard error.
CommandRun runIn(const TemporaryFolder& folder, const std::string& commandLine);

}  // namespace zentoro::testing
