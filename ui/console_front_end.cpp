#include "ui/console_front_end.h"

#include <getopt.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

#include "convert/native_path.h"
#include "ui/batch_conversion.h"
#include "ui/console_options.h"
#include "ui/format_conversion.h"

#ifndef ZENTORO_VERSION
#define ZENTORO_VERSION "unknown"
#endif

namespace zentoro {

namespace {

constexpr const char* UsageText =
    "Usage: zentoro [OPTION]... [--] FILE|DIR...\n"
    "Convert Psion Series 5 Word documents to RTF.\n"
    "\n"
    "Each FILE is converted to FILE.rtf (the input path with \".rtf\" appended);\n"
    "FILE '-' is standard input, converted to standard output.\n"
    "A FILE of another known kind converts to its own output: a Sketch file to\n"
    "FILE.png, a picture library to FILE-1.png ... FILE-N.png.\n"
    "Each DIR is searched recursively for files of every known kind, recognised by their\n"
    "header whatever their name; other files are passed over quietly, symbolic\n"
    "links to folders are not followed, and a summary closes the run.\n"
    "An output appears only once it is complete, and never replaces a Word\n"
    "document.\n"
    "\n"
    "Options:\n"
    "  -o, --output=OUT         write to OUT (one FILE only; '-' is standard output)\n"
    "      --output-dir=OUTDIR  write the outputs under OUTDIR, mirroring the\n"
    "                           tree of each DIR; a FILE goes into OUTDIR itself\n"
    "  -t, --to=FORMAT          rtf (the default), rtf-faithful, text, html or\n"
    "                           markdown; outputs end in .rtf, .txt, .html or .md\n"
    "      --faithful           the same as --to=rtf-faithful\n"
    "      --with-header-footer include the header and footer in text outputs\n"
    "      --extract-pictures=DIR\n"
    "                           also write each sketch of a document to DIR as\n"
    "                           PNG, named DOCUMENT-objectN.png\n"
    "      --sound=HOW          recordings: once (the default) or as-played,\n"
    "                           with their repeats and the pauses between them\n"
    "      --crlf               end the lines of text and CSV outputs in CR LF\n"
    "      --kinds=LIST         convert only these kinds of files found in a DIR:\n"
    "                           word, picture, sound, text, sheet, database\n"
    "                           (comma-separated; every kind by default)\n"
    "  -n, --no-clobber         keep every existing output; its input is skipped\n"
    "      --dry-run            list what would be converted and where; write nothing\n"
    "      --check              only check which inputs are Word documents\n"
    "  -q, --quiet              report only failures and the summary\n"
    "  -v, --verbose            also report the files passed over in a folder\n"
    "  -h, --help               show this help and exit\n"
    "      --version            show the version and exit\n"
    "      --                   end the options; every later argument is an input\n"
    "Long options may be shortened to any unambiguous prefix; short options may\n"
    "be bundled, as in -qv or -oOUT.\n"
    "\n"
    "Reports of files converted go to standard output (to standard error when\n"
    "the document itself goes there); failures go to standard error.\n"
    "\n"
    "Exit status: 0 when every file succeeded, 1 when any failed, 2 for a usage\n"
    "error, 128 + N when signal N interrupted the run (130 for Ctrl-C).\n";

enum LongOnlyOption : int {
    OptionOutputDir = 256,
    OptionDryRun,
    OptionCheck,
    OptionFaithful,
    OptionWithHeaderFooter,
    OptionExtractPictures,
    OptionKinds,
    OptionVersion,
    OptionSound,
    OptionCrlf,
};

constexpr const char* ShortOptions = ":o:t:nqvh";

const struct option LongOptions[] = {
    {"output", required_argument, nullptr, 'o'},
    {"output-dir", required_argument, nullptr, OptionOutputDir},
    {"to", required_argument, nullptr, 't'},
    {"faithful", no_argument, nullptr, OptionFaithful},
    {"with-header-footer", no_argument, nullptr, OptionWithHeaderFooter},
    {"extract-pictures", required_argument, nullptr, OptionExtractPictures},
    {"sound", required_argument, nullptr, OptionSound},
    {"crlf", no_argument, nullptr, OptionCrlf},
    {"kinds", required_argument, nullptr, OptionKinds},
    {"no-clobber", no_argument, nullptr, 'n'},
    {"dry-run", no_argument, nullptr, OptionDryRun},
    {"check", no_argument, nullptr, OptionCheck},
    {"quiet", no_argument, nullptr, 'q'},
    {"verbose", no_argument, nullptr, 'v'},
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, OptionVersion},
    {nullptr, 0, nullptr, 0},
};

// One line and the way to the help, as GNU tools do.
int usageError(const std::string& problem) {
    std::fprintf(stderr, "zentoro: %s\nTry 'zentoro --help'.\n", problem.c_str());
    return ExitUsage;
}

bool isDirectory(const std::string& path) {
    std::error_code error;
    return path != StandardStreamName && std::filesystem::is_directory(pathFromNative(path), error);
}

// The option's name as the user would write it, for messages.
std::string optionName(int code) {
    std::string name = "-";
    if (code < OptionOutputDir) return name += static_cast<char>(code);
    for (const struct option* known = LongOptions; known->name != nullptr; ++known) {
        if (known->val == code) return name.append("-").append(known->name);
    }
    return name;
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
    return {};
}

std::optional<int> setAction(ConsoleOptions& options, ConsoleAction action) {
    if (options.action != ConsoleAction::Convert && options.action != action) {
        return usageError("options --check and --dry-run exclude each other");
    }
    options.action = action;
    return std::nullopt;
}

// "word,picture": the families named, each once.
std::optional<int> setKinds(ConsoleOptions& options, const std::string& list) {
    options.kinds.clear();
    size_t start = 0;
    while (start <= list.size()) {
        size_t comma = std::min(list.find(',', start), list.size());
        std::string name = list.substr(start, comma - start);
        std::optional<KindFamily> family = familyNamed(name);
        if (!family) {
            return usageError("unknown kind '" + name + "' in --kinds (word, picture, sound, text, sheet, database)");
        }
        options.kinds.push_back(*family);
        start = comma + 1;
    }
    return std::nullopt;
}

// Applies one parsed option; returns the exit status when the run ends
// here (help, version, usage error).
std::optional<int> applyOption(int code, const char* value, ConsoleOptions& options) {
    switch (code) {
        case 'o': options.outputPath = value; return std::nullopt;
        case OptionOutputDir: options.outputDir = value; return std::nullopt;
        case 't': {
            std::optional<OutputFormat> format = formatNamed(value);
            if (!format) return usageError("unknown output format '" + std::string(value) + "'");
            options.format = *format;
            return std::nullopt;
        }
        case OptionFaithful: options.format = OutputFormat::RtfFaithful; return std::nullopt;
        case OptionWithHeaderFooter: options.withHeaderFooter = true; return std::nullopt;
        case OptionExtractPictures: options.extractPicturesDir = value; return std::nullopt;
        case OptionSound:
            if (std::string(value) != "once" && std::string(value) != "as-played") {
                return usageError("option --sound takes once or as-played, not '" + std::string(value) + "'");
            }
            options.kindOptions.soundAsPlayed = std::string(value) == "as-played";
            return std::nullopt;
        case OptionCrlf: options.kindOptions.crlfLineEnds = true; return std::nullopt;
        case OptionKinds: return setKinds(options, value);
        case 'n': options.noClobber = true; return std::nullopt;
        case OptionDryRun: return setAction(options, ConsoleAction::DryRun);
        case OptionCheck: return setAction(options, ConsoleAction::CheckOnly);
        case 'q': options.quiet = true; return std::nullopt;
        case 'v': options.verbose = true; return std::nullopt;
        case 'h': std::fputs(UsageText, stdout); return ExitSuccess;
        case OptionVersion: std::printf("zentoro %s\n", ZENTORO_VERSION); return ExitSuccess;
        default: return usageError("unknown option");
    }
}

// The long options that `argument` ("--na" or "--na=value") abbreviates.
std::string longOptionsStartingWith(const std::string& argument) {
    std::string typed = argument.substr(2, argument.find('=') - 2);  // to the end when there is no '='
    std::string matches;
    for (const struct option* known = LongOptions; known->name != nullptr; ++known) {
        if (std::string(known->name).rfind(typed, 0) != 0) continue;
        if (!matches.empty()) matches += ", ";
        matches.append("--").append(known->name);
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
    std::string typed = isLong ? std::string(argument).substr(0, std::string(argument).find('=')) : optionName(optopt);
    if (code == ':') return usageError("option " + typed + " needs a value");
    if (optopt != 0 && !isLong) return usageError("unknown option " + typed);
    if (optopt != 0) return usageError("option " + typed + " takes no value");
    return usageError("unknown option '" + std::string(argument) + "'");
}

// Fills `options` from the arguments, GNU style: options and inputs in any
// order, "--name=value" or "--name value", unambiguous abbreviations of long
// names, bundled short options ("-qv", "-oOUT"), and "--" ending the options.
std::optional<int> parseArguments(int argc, char** argv, ConsoleOptions& options) {
    opterr = 0;
    optind = 1;
    int code;
    while ((code = getopt_long(argc, argv, ShortOptions, LongOptions, nullptr)) != -1) {
        if (code == '?' || code == ':') return parseError(code, argv);
        if (std::optional<int> status = applyOption(code, optarg, options)) return status;
    }
    for (int i = optind; i < argc; ++i) options.inputs.push_back(argv[i]);
    std::string conflict = conflictIn(options);
    if (!conflict.empty()) return usageError(conflict);
    return std::nullopt;
}

// --help and --version write to standard output, which may be full or closed.
int finishStandardOutput(int status) {
    errno = 0;
    if (std::fflush(stdout) == 0 && std::ferror(stdout) == 0) return status;
    std::fprintf(stderr, "zentoro: cannot write to standard output: %s\n", std::strerror(errno != 0 ? errno : EIO));
    return ExitSomeFailed;
}

}  // namespace

int runConsole(int argc, char** argv) {
    ConsoleOptions options;
    if (std::optional<int> status = parseArguments(argc, argv, options)) {
        return *status == ExitSuccess ? finishStandardOutput(*status) : *status;
    }
    return runConversions(options);
}

}  // namespace zentoro
