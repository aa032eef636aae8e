#include "ui/console_front_end.h"

#include <getopt.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "convert/native_path.h"
#include "ui/batch_conversion.h"
#include "ui/console_option_table.h"
#include "ui/console_options.h"

namespace zentoro {

namespace {

// One line and the way to the help, as GNU tools do.
int usageError(const std::string& problem) {
    std::fprintf(stderr, "zentoro: %s\nTry 'zentoro --help'.\n", problem.c_str());
    return ExitUsage;
}

bool isDirectory(const std::string& path) {
    std::error_code error;
    return path != StandardStreamName && std::filesystem::is_directory(pathFromNative(path), error);
}

// The combinations that make no sense; an empty string when there is none.
std::string conflictIn(const ConsoleOptions& options) {
    if (options.inputs.empty()) return "no input file given";
    bool checkOnly = options.action == ConsoleAction::CheckOnly;
    size_t standardInputs = 0;
    for (const std::string& input : options.inputs) standardInputs += input == StandardStreamName;
    if (standardInputs > 1) return "standard input ('-') can be read only once";
    if (options.outputPath) {
        if (options.inputs.size() != 1 || isDirectory(options.inputs.front())) {
            return "option -o takes exactly one input file";
        }
        if (options.outputPath->empty()) return "option -o needs an output path";
        if (checkOnly) return "option -o cannot be used with --check";
        if (options.outputDir) return "option -o cannot be used with --output-dir";
    }
    if (options.outputDir && options.outputDir->empty()) return "option --output-dir needs an output folder";
    if (options.outputDir && checkOnly) return "option --output-dir cannot be used with --check";
    if (options.outputDir && standardInputs > 0) return "standard input ('-') has no name to write under --output-dir";
    if (options.quiet && options.verbose) return "options --quiet and --verbose exclude each other";
    if (options.quiet && options.action == ConsoleAction::DryRun) {
        return "options --quiet and --dry-run exclude each other";
    }
    return {};
}

// getopt_long's codes: a short option's letter, else 256 + its row.
constexpr int LongOnlyCodes = 256;

int codeOf(const ConsoleOption& option, size_t row) {
    return option.shortName != 0 ? option.shortName : LongOnlyCodes + static_cast<int>(row);
}

const ConsoleOption* optionWithCode(int code) {
    std::span<const ConsoleOption> options = consoleOptions();
    for (size_t row = 0; row < options.size(); ++row) {
        if (codeOf(options[row], row) == code) return &options[row];
    }
    return nullptr;
}

struct GetoptTables {
    std::string shortOptions = ":";
    std::vector<struct option> longOptions;
};

GetoptTables getoptTables() {
    GetoptTables tables;
    std::span<const ConsoleOption> options = consoleOptions();
    for (size_t row = 0; row < options.size(); ++row) {
        const ConsoleOption& option = options[row];
        int argument = option.value == OptionValue::None       ? no_argument
                       : option.value == OptionValue::Required ? required_argument
                                                                : optional_argument;
        if (option.shortName != 0) {
            tables.shortOptions += option.shortName;
            if (argument == required_argument) tables.shortOptions += ':';
        }
        tables.longOptions.push_back({option.longName, argument, nullptr, codeOf(option, row)});
    }
    tables.longOptions.push_back({nullptr, 0, nullptr, 0});
    return tables;
}

// The long options that `argument` ("--na" or "--na=value") abbreviates.
std::string longOptionsStartingWith(const std::string& argument) {
    std::string typed = argument.substr(2, argument.find('=') - 2);  // to the end when there is no '='
    std::string matches;
    for (const ConsoleOption& option : consoleOptions()) {
        if (std::string(option.longName).rfind(typed, 0) != 0) continue;
        if (!matches.empty()) matches += ", ";
        matches += optionName(option);
    }
    return matches;
}

// What went wrong with the argument getopt_long could not take.
int parseError(int code, char** argv) {
    const char* argument = argv[optind - 1];
    bool isLong = std::string(argument).rfind("--", 0) == 0;
    if (code == '?' && isLong) {
        std::string candidates = longOptionsStartingWith(argument);
        if (candidates.find(',') != std::string::npos) {
            return usageError("option '" + std::string(argument) + "' is ambiguous: " + candidates);
        }
    }
    std::string typed = isLong ? std::string(argument).substr(0, std::string(argument).find('='))
                               : std::string("-") + static_cast<char>(optopt);
    if (code == ':') return usageError("option " + typed + " needs a value");
    if (optopt != 0 && !isLong) return usageError("unknown option " + typed);
    if (optopt != 0) return usageError("option " + typed + " takes no value");
    return usageError("unknown option '" + std::string(argument) + "'");
}

// Fills `parse` from the arguments, GNU style: options and inputs in any
// order, "--name=value" or "--name value", unambiguous abbreviations of long
// names, bundled short options ("-qv", "-oOUT"), and "--" ending the options.
std::optional<int> parseArguments(int argc, char** argv, OptionParse& parse) {
    GetoptTables tables = getoptTables();
    opterr = 0;
    optind = 1;
    int code;
    while ((code = getopt_long(argc, argv, tables.shortOptions.c_str(), tables.longOptions.data(), nullptr)) != -1) {
        if (code == '?' || code == ':') return parseError(code, argv);
        const ConsoleOption* option = optionWithCode(code);
        if (option == nullptr) return usageError("unknown option");
        std::string problem = option->apply(parse, optarg);
        if (!problem.empty()) return usageError(problem);
        if (parse.finished) return parse.finished;
    }
    for (int i = optind; i < argc; ++i) parse.options.inputs.push_back(argv[i]);
    chooseFormatByOutputName(parse);
    std::string conflict = conflictIn(parse.options);
    if (!conflict.empty()) return usageError(conflict);
    return std::nullopt;
}

// --help and --version write to standard output, which may be full or closed.
int finishStandardOutput(int status, int writeError) {
    errno = 0;
    if (std::fflush(stdout) == 0 && std::ferror(stdout) == 0) return status;
    int error = writeError != 0 ? writeError : errno != 0 ? errno : EIO;
    std::fprintf(stderr, "zentoro: cannot write to standard output: %s\n", std::strerror(error));
    return ExitSomeFailed;
}

}  // namespace

int runConsole(int argc, char** argv) {
    OptionParse parse;
    if (std::optional<int> status = parseArguments(argc, argv, parse)) {
        return *status == ExitSuccess ? finishStandardOutput(*status, parse.writeError) : *status;
    }
    return runConversions(parse.options);
}

}  // namespace zentoro
