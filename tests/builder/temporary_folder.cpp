#include "tests/builder/temporary_folder.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <system_error>

#include "tests/builder/conversion_harness.h"

namespace zentoro::testing {

namespace fs = std::filesystem;

TemporaryFolder::TemporaryFolder(const std::string& purpose) {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = "zentoro-" + purpose + "-" + std::to_string(::getpid());
    if (test != nullptr) name += std::string("-") + test->test_suite_name() + "." + test->name();
    for (char& c : name) {
        if (c == '/') c = '_';  // parameterised test names
    }
    root_ = fs::temp_directory_path() / name;
    fs::remove_all(root_);
    fs::create_directories(root_);
}

TemporaryFolder::~TemporaryFolder() {
    std::error_code error;
    fs::remove_all(root_, error);
}

CommandRun runIn(const TemporaryFolder& folder, const std::string& commandLine) {
    std::string out = folder.path(".out");
    std::string err = folder.path(".err");
    std::string command = "cd '" + folder.root().string() + "' && " + commandLine + " >'" + out + "' 2>'" + err + "'";
    int raw = std::system(command.c_str());
    CommandRun run{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readFile(out), readFile(err)};
    fs::remove(out);
    fs::remove(err);
    return run;
}

}  // namespace zentoro::testing
