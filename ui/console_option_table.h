// The command line's options, one row each: their names, what value they
// take, their line of help and what they set. Parsing, the help text and
// the checks for options that exclude each other all read this table.
#pragma once

#include <optional>
#include <span>
#include <string>

#include "ui/console_options.h"

namespace zentoro {

// What the options seen so far have set, and how the output was chosen.
struct OptionParse {
    ConsoleOptions options;
    std::string formatChosenBy;  // the first option that chose the output, as "--to=text"
    std::optional<int> finished;  // --help and --version end the run with this status
    int writeError = 0;           // why --help or --version could not be written, if it failed as written
};

enum class OptionValue {
    None,      // --quiet
    Required,  // --output=OUT or --output OUT
    Attached,  // only --extract-pictures=DIR: a separate word would be an input
};

// Applies the option with its value (null for none); returns why the value
// is refused, or an empty string.
using ApplyOption = std::string (*)(OptionParse& parse, const char* value);

struct ConsoleOption {
    const char* longName;
    char shortName;         // 0 for a long option only
    OptionValue value;
    const char* valueName;  // "OUT" in --output=OUT; null without a value
    const char* help;       // lines after the first begin with '\n'
    ApplyOption apply;
};

std::span<const ConsoleOption> consoleOptions();

// The option whose long name is `name`, or null.
const ConsoleOption* consoleOptionNamed(const std::string& name);

// The option as help and messages name it: "-o, --output=OUT" and "--output".
std::string optionSynopsis(const ConsoleOption& option);
std::string optionName(const ConsoleOption& option);

// Where no option chose the output, -o OUT.html chooses HTML, and .txt,
// .htm, .md and .markdown theirs likewise.
void chooseFormatByOutputName(OptionParse& parse);

// The whole of --help.
std::string consoleHelp();

}  // namespace zentoro
