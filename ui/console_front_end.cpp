#include "ui/console_front_end.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "reader/zentoro.h"
#include "ui/dialog_messages.h"

#ifndef ZENTORO_VERSION
#define ZENTORO_VERSION "unknown"
#endif

namespace zentoro {

namespace {

constexpr const char* UsageText =
    "Usage: zentoro [OPTION]... FILE...\n"
    "Convert Psion Series 5 Word documents to RTF.\n"
    "\n"
    "Each FILE is converted to FILE.rtf (the input path with \".rtf\" appended).\n"
    "\n"
    "Options:\n"
    "  -o, --output OUT  write the RTF to OUT (one FILE only)\n"
    "      --check       only check that each FILE is a Word document\n"
    "  -h, --help        show this help and exit\n"
    "      --version     show the version and exit\n"
    "\n"
    "Exit status: 0 when every file succeeded, 1 when any failed, 2 for a usage error.\n";

struct Options {
    std::vector<std::string> files;
    std::string outputPath;
    bool hasOutputPath = false;
    bool checkOnly = false;
};

int usageError(const char* problem) {
    std::fprintf(stderr, "zentoro: %s\n\n%s", problem, UsageText);
    return ExitUsage;
}

void report(const std::string& file, const char* message) {
    std::printf("%s: %s\n", file.c_str(), message);
    std::fflush(stdout);
}

bool namesSameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    return std::filesystem::equivalent(a, b, error);
}

// Checks one file and converts it as the dialog would; true on success.
bool processFile(const std::string& input, const std::string& output, bool checkOnly) {
    std::fflush(stdout);
    if (checkWordFile(input.c_str()) != 0) {
        report(input, NotWordFileMessage);
        return false;
    }
    if (checkOnly) {
        report(input, "Psion 5 Word file");
        return true;
    }
    if (namesSameFile(input, output)) {
        report(input, "refusing to write the output over the input file");
        return false;
    }
    bool converted = convertDocument(input.c_str(), output.c_str()) == 0;
    std::fflush(stdout);
    report(input + " -> " + output, converted ? ConvertedMessage : ConversionFailedMessage);
    return converted;
}

}  // namespace

int runConsole(int argc, char** argv) {
    Options options;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
            options.files.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "-h" || arg == "--help") {
            std::fputs(UsageText, stdout);
            return ExitSuccess;
        } else if (arg == "--version") {
            std::printf("zentoro %s\n", ZENTORO_VERSION);
            return ExitSuccess;
        } else if (arg == "--check") {
            options.checkOnly = true;
        } else if (arg == "-o" || arg == "--output") {
            if (i + 1 >= argc) return usageError("option -o needs an output path");
            options.outputPath = argv[++i];
            options.hasOutputPath = true;
        } else {
            return usageError(("unknown option '" + arg + "'").c_str());
        }
    }
    if (options.files.empty()) return usageError("no input file given");
    if (options.hasOutputPath && options.files.size() != 1) {
        return usageError("option -o takes exactly one input file");
    }
    if (options.hasOutputPath && options.checkOnly) {
        return usageError("option -o cannot be used with --check");
    }

    bool allSucceeded = true;
    for (const std::string& input : options.files) {
        std::string output = options.hasOutputPath ? options.outputPath : input + OutputSuffix;
        if (!processFile(input, output, options.checkOnly)) allSucceeded = false;
    }
    return allSucceeded ? ExitSuccess : ExitSomeFailed;
}

}  // namespace zentoro
