#include "ui/console_front_end.h"

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

#include "convert/native_path.h"
#include "ui/batch_conversion.h"
#include "ui/console_options.h"

#ifndef ZENTORO_VERSION
#define ZENTORO_VERSION "unknown"
#endif

namespace zentoro {

namespace {

constexpr const char* UsageText =
    "Usage: zentoro [OPTION]... FILE|DIR...\n"
    "Convert Psion Series 5 Word documents to RTF.\n"
    "\n"
    "Each FILE is converted to FILE.rtf (the input path with \".rtf\" appended).\n"
    "Each DIR is searched recursively for Word documents, recognised by their\n"
    "header whatever their name; other files are passed over quietly, symbolic\n"
    "links to folders are not followed, and a summary closes the run.\n"
    "\n"
    "Options:\n"
    "  -o, --output OUT         write the RTF to OUT (one FILE only)\n"
    "      --output-dir OUTDIR  write the RTF files under OUTDIR, mirroring the\n"
    "                           tree of each DIR; a FILE goes into OUTDIR itself\n"
    "      --dry-run            list what would be converted and where; write nothing\n"
    "      --check              only check which inputs are Word documents\n"
    "  -v, --verbose            also report the files passed over in a folder\n"
    "  -h, --help               show this help and exit\n"
    "      --version            show the version and exit\n"
    "\n"
    "Exit status: 0 when every file succeeded, 1 when any failed, 2 for a usage error.\n";

int usageError(const std::string& problem) {
    std::fprintf(stderr, "zentoro: %s\n\n%s", problem.c_str(), UsageText);
    return ExitUsage;
}

bool isDirectory(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_directory(pathFromNative(path), error);
}

// Reads the argument that an option takes; false when there is none.
bool takeValue(int argc, char** argv, int& i, std::optional<std::string>& value) {
    if (i + 1 >= argc) return false;
    value = argv[++i];
    return true;
}

// The combinations that make no sense; an empty string when there is none.
std::string conflictIn(const ConsoleOptions& options) {
    if (options.inputs.empty()) return "no input file given";
    bool checkOnly = options.action == ConsoleAction::CheckOnly;
    if (options.outputPath) {
        if (options.inputs.size() != 1 || isDirectory(options.inputs.front())) {
            return "option -o takes exactly one input file";
        }
        if (checkOnly) return "option -o cannot be used with --check";
        if (options.outputDir) return "option -o cannot be used with --output-dir";
    }
    if (options.outputDir && options.outputDir->empty()) return "option --output-dir needs an output folder";
    if (options.outputDir && checkOnly) return "option --output-dir cannot be used with --check";
    return {};
}

// Fills `options`; returns the exit status when the run ends here (help,
// version, usage error), nothing when there is work to do.
std::optional<int> parseArguments(int argc, char** argv, ConsoleOptions& options) {
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
            options.inputs.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "-h" || arg == "--help") {
            std::fputs(UsageText, stdout);
            return ExitSuccess;
        } else if (arg == "--version") {
            std::printf("zentoro %s\n", ZENTORO_VERSION);
            return ExitSuccess;
        } else if (arg == "--check" || arg == "--dry-run") {
            ConsoleAction action = arg == "--check" ? ConsoleAction::CheckOnly : ConsoleAction::DryRun;
            if (options.action != ConsoleAction::Convert && options.action != action) {
                return usageError("options --check and --dry-run exclude each other");
            }
            options.action = action;
        } else if (arg == "-v" || arg == "--verbose") {
            options.verbose = true;
        } else if (arg == "-o" || arg == "--output") {
            if (!takeValue(argc, argv, i, options.outputPath)) return usageError("option -o needs an output path");
        } else if (arg == "--output-dir") {
            if (!takeValue(argc, argv, i, options.outputDir)) {
                return usageError("option --output-dir needs an output folder");
            }
        } else {
            return usageError("unknown option '" + arg + "'");
        }
    }
    std::string conflict = conflictIn(options);
    if (!conflict.empty()) return usageError(conflict);
    return std::nullopt;
}

}  // namespace

int runConsole(int argc, char** argv) {
    ConsoleOptions options;
    if (std::optional<int> status = parseArguments(argc, argv, options)) return *status;
    return runConversions(options);
}

}  // namespace zentoro
