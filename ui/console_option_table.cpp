#include "ui/console_option_table.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "convert/file_kinds.h"
#include "convert/output_format.h"
#include "model/code_page.h"

#ifndef ZENTORO_VERSION
#define ZENTORO_VERSION "unknown"
#endif

namespace zentoro {

namespace {

constexpr const char* HelpBefore =
    "Usage: zentoro [OPTION]... [--] FILE|DIR...\n"
    "Convert the files of a Psion Series 5 backup: Word documents to RTF, plain\n"
    "text, HTML or Markdown; sketches and picture libraries to PNG, recordings\n"
    "to WAV, program editor files to text, spreadsheets and databases to CSV.\n"
    "\n"
    "A Word document FILE is converted to FILE.rtf (the input path with \".rtf\"\n"
    "appended; \".txt\", \".html\" or \".md\" for the other outputs), a file of\n"
    "another kind to FILE.png, FILE.wav, FILE.opl, FILE.txt or FILE.csv (numbered\n"
    "or named per picture, worksheet or table where it holds several); FILE '-'\n"
    "is a Word document on standard input, converted to standard output. Each\n"
    "DIR is searched recursively for files of these kinds, recognised by their\n"
    "header whatever their name; other files are passed over quietly, symbolic\n"
    "links to folders are not followed, and a summary closes the run. An output\n"
    "appears only once it is complete, and never replaces a Word document.\n"
    "\n"
    "Options:\n";

constexpr const char* HelpAfter =
    "Long options may be shortened to any unambiguous prefix; short options may\n"
    "be bundled, as in -nv or -oOUT.\n"
    "\n"
    "Outputs (names in any case; txt, htm and md are short forms):\n"
    "  rtf           the document as its author saw it: fonts, colours, bullets,\n"
    "                alignment, header and footer fields, pictures (the default;\n"
    "                also called rtf-faithful)\n"
    "  rtf-original  the original design's translation, byte for byte what the\n"
    "                Windows dialog writes: plainer, and some formatting is lost\n"
    "  text          the words alone, one line per paragraph (UTF-8)\n"
    "  html          a web page with the formatting and the pictures\n"
    "  markdown      headings, lists and emphasis; pictures as PNG files beside it\n"
    "\n"
    "Reports of files converted go to standard output (to standard error when\n"
    "the document itself goes there); failures go to standard error.\n"
    "\n"
    "Exit status: 0 when every file succeeded, 1 when any failed or standard\n"
    "output was closed before the run ended (as by 'zentoro DIR | head'), 2 for\n"
    "a usage error, 128 + N when signal N interrupted the run (130 for Ctrl-C).\n";

constexpr size_t HelpColumn = 27;

std::string chooseFormat(OptionParse& parse, OutputFormat format, const std::string& chosenBy) {
    if (!parse.formatChosenBy.empty() && parse.options.format != format) {
        return "options " + parse.formatChosenBy + " and " + chosenBy + " choose different outputs";
    }
    if (parse.formatChosenBy.empty()) parse.formatChosenBy = chosenBy;
    parse.options.format = format;
    return {};
}

std::string setAction(OptionParse& parse, ConsoleAction action) {
    if (parse.options.action != ConsoleAction::Convert && parse.options.action != action) {
        return "options --check and --dry-run exclude each other";
    }
    parse.options.action = action;
    return {};
}

std::string setOutput(OptionParse& parse, const char* value) {
    parse.options.outputPath = value;
    return {};
}

std::string setOutputDir(OptionParse& parse, const char* value) {
    parse.options.outputDir = value;
    return {};
}

std::string setFormat(OptionParse& parse, const char* value) {
    std::optional<OutputFormat> format = outputFormatNamed(value);
    if (!format) {
        return "unknown output format '" + std::string(value) + "' (the formats: " + outputFormatNames() + ")";
    }
    return chooseFormat(parse, *format, "--to=" + std::string(value));
}

std::string setFaithful(OptionParse& parse, const char*) {
    return chooseFormat(parse, OutputFormat::RtfFaithful, "--faithful");
}

std::string setOriginal(OptionParse& parse, const char*) {
    return chooseFormat(parse, OutputFormat::Rtf, "--original");
}

std::string setWithHeaderFooter(OptionParse& parse, const char*) {
    parse.options.withHeaderFooter = true;
    return {};
}

std::string setExtractPictures(OptionParse& parse, const char* value) {
    if (value == nullptr || *value == '\0') return "option --extract-pictures needs a folder: --extract-pictures=DIR";
    parse.options.extractPicturesDir = value;
    return {};
}

// "word,picture": the families named, each once.
std::string setKinds(OptionParse& parse, const char* value) {
    std::string list = value;
    parse.options.kinds.clear();
    size_t start = 0;
    while (start <= list.size()) {
        size_t comma = std::min(list.find(',', start), list.size());
        std::string name = list.substr(start, comma - start);
        std::optional<KindFamily> family = familyNamed(name);
        if (!family) return "unknown kind '" + name + "' in --kinds (word, picture, sound, text, sheet, database)";
        parse.options.kinds.push_back(*family);
        start = comma + 1;
    }
    return {};
}

std::string setCodePage(OptionParse& parse, const char* value) {
    std::string text = value;
    int number = 0;
    for (char digit : text) {
        if (digit < '0' || digit > '9' || number > 9999) return "unknown code page '" + text + "'";
        number = number * 10 + (digit - '0');
    }
    if (text.empty() || !isSupportedCodePage(number)) {
        return "unknown code page '" + text + "' (1250, 1251, 1252, 1253, 1254 or 1257)";
    }
    parse.options.codePage = number;
    return {};
}

std::string setSound(OptionParse& parse, const char* value) {
    std::string how = value;
    if (how != "once" && how != "as-played") return "option --sound takes once or as-played, not '" + how + "'";
    parse.options.kindOptions.soundAsPlayed = how == "as-played";
    return {};
}

std::string setCrlf(OptionParse& parse, const char*) {
    parse.options.kindOptions.crlfLineEnds = true;
    return {};
}

std::string setNoClobber(OptionParse& parse, const char*) {
    parse.options.noClobber = true;
    return {};
}

std::string setDryRun(OptionParse& parse, const char*) { return setAction(parse, ConsoleAction::DryRun); }

std::string setCheck(OptionParse& parse, const char*) { return setAction(parse, ConsoleAction::CheckOnly); }

std::string setQuiet(OptionParse& parse, const char*) {
    parse.options.quiet = true;
    return {};
}

std::string setVerbose(OptionParse& parse, const char*) {
    parse.options.verbose = true;
    return {};
}

// A write that fails as the buffer fills says why only then: the flush at
// the end finds the buffer already given up.
void writeStandardOutput(OptionParse& parse, const std::string& text) {
    errno = 0;
    if (std::fputs(text.c_str(), stdout) == EOF) parse.writeError = errno;
}

std::string showHelp(OptionParse& parse, const char*) {
    writeStandardOutput(parse, consoleHelp());
    parse.finished = 0;
    return {};
}

std::string showVersion(OptionParse& parse, const char*) {
    writeStandardOutput(parse, std::string("zentoro ") + ZENTORO_VERSION + "\n");
    parse.finished = 0;
    return {};
}

constexpr ConsoleOption Options[] = {
    {"output", 'o', OptionValue::Required, "OUT", "write to OUT (one FILE only; '-' is standard output);\nOUT.txt, .html or .md, without --to, chooses\nthat output", setOutput},
    {"output-dir", 0, OptionValue::Required, "OUTDIR",
     "write the outputs under OUTDIR, mirroring the\ntree of each DIR; a FILE goes into OUTDIR itself", setOutputDir},
    {"to", 't', OptionValue::Required, "FORMAT",
     "rtf (the default), rtf-original, text, html or\nmarkdown (see Outputs below)", setFormat},
    {"faithful", 0, OptionValue::None, nullptr, "the same as --to=rtf, the default", setFaithful},
    {"original", 0, OptionValue::None, nullptr, "the same as --to=rtf-original: what the Windows\ndialog writes",
     setOriginal},
    {"with-header-footer", 0, OptionValue::None, nullptr,
     "include the header and footer in text and\nMarkdown outputs", setWithHeaderFooter},
    {"extract-pictures", 0, OptionValue::Attached, "DIR",
     "also write each sketch of a document to DIR as\nPNG, named DOCUMENT-objectN.png (the '=' is needed)",
     setExtractPictures},
    {"sound", 0, OptionValue::Required, "HOW",
     "recordings: once (the default) or as-played,\nwith their repeats and the pauses between them", setSound},
    {"crlf", 0, OptionValue::None, nullptr, "end the lines of text and CSV outputs of other\nkinds of files in CR LF", setCrlf},
    {"kinds", 0, OptionValue::Required, "LIST",
     "convert only these kinds of files found in a DIR:\nword, picture, sound, text, sheet, database\n(comma-separated; every kind by default)",
     setKinds},
    {"code-page", 0, OptionValue::Required, "N",
     "the Windows code page of the documents' text for\nevery output but rtf-original: 1250, 1251, 1252\n(the default), 1253, 1254 or 1257",
     setCodePage},
    {"no-clobber", 'n', OptionValue::None, nullptr,
     "keep every existing output, pictures included;\nits input is skipped", setNoClobber},
    {"dry-run", 0, OptionValue::None, nullptr, "list what would be converted and where; write nothing", setDryRun},
    {"check", 0, OptionValue::None, nullptr, "only check which inputs are Word documents", setCheck},
    {"quiet", 'q', OptionValue::None, nullptr, "report only failures and the summary", setQuiet},
    {"verbose", 'v', OptionValue::None, nullptr, "also report the files passed over in a folder", setVerbose},
    {"help", 'h', OptionValue::None, nullptr, "show this help and exit", showHelp},
    {"version", 0, OptionValue::None, nullptr, "show the version and exit", showVersion},
};

void appendHelpLines(std::string& help, const ConsoleOption& option) {
    std::string synopsis = "  " + optionSynopsis(option);
    help += synopsis;
    if (synopsis.size() + 1 > HelpColumn) {
        help += '\n';
        help.append(HelpColumn, ' ');
    } else {
        help.append(HelpColumn - synopsis.size(), ' ');
    }
    for (const char* c = option.help; *c != '\0'; ++c) {
        help += *c;
        if (*c == '\n') help.append(HelpColumn, ' ');
    }
    help += '\n';
}

}  // namespace

std::span<const ConsoleOption> consoleOptions() { return Options; }

void chooseFormatByOutputName(OptionParse& parse) {
    if (!parse.formatChosenBy.empty() || !parse.options.outputPath) return;
    if (std::optional<OutputFormat> format = outputFormatOfFileName(*parse.options.outputPath)) {
        parse.options.format = *format;
    }
}

const ConsoleOption* consoleOptionNamed(const std::string& name) {
    for (const ConsoleOption& option : Options) {
        if (name == option.longName) return &option;
    }
    return nullptr;
}

std::string optionName(const ConsoleOption& option) { return std::string("--") + option.longName; }

std::string optionSynopsis(const ConsoleOption& option) {
    std::string synopsis = option.shortName != 0 ? std::string("-") + option.shortName + ", " : "    ";
    synopsis += optionName(option);
    if (option.valueName != nullptr) synopsis.append("=").append(option.valueName);
    return synopsis;
}

std::string consoleHelp() {
    std::string help = HelpBefore;
    for (const ConsoleOption& option : Options) appendHelpLines(help, option);
    help += "      --                   end the options; every later argument is an input\n";
    return help + HelpAfter;
}

}  // namespace zentoro
