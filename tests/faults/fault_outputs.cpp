// Puts outputs in place the way the converter does, for a test that runs it
// with faults injected (fault_injection.cpp). Prints each result as
// "<failure> <errno>" on a line, and how many more descriptors are open at
// the end than at the start on standard error ("descriptors left: N").
//   fault_outputs convert keep|replace|absent INPUT OUTPUT [FORMAT]
//       converts INPUT to RTF (the original translation, or FORMAT) at
//       OUTPUT, the output found there kept or replaced, or found absent
//       beforehand;
//   fault_outputs convert keep-word INPUT OUTPUT
//       the same, keeping a Word document that stands at OUTPUT;
//   fault_outputs appear keep|replace OUTPUT [fifo]
//       begins OUTPUT found absent, writes "new", makes a file holding
//       "appeared" there meanwhile (or a FIFO), and puts the output in place;
//   fault_outputs many COUNT FOLDER
//       begins COUNT outputs FOLDER/N.txt at once, then puts them all in place;
//   fault_outputs markdown INPUT FOLDER
//       converts INPUT to Markdown in memory, its pictures written into FOLDER;
//   fault_outputs pictures INPUT FOLDER
//       extracts INPUT's pictures into FOLDER;
//   fault_outputs discard OUTPUT
//       begins OUTPUT, writes "new" and discards it, as a failed conversion does;
//   fault_outputs commit FIRST SECOND
//       puts FIRST in place, begins SECOND, discards FIRST (which must do
//       nothing now) and puts SECOND in place;
//   fault_outputs interrupt FOLDER
//       begins FOLDER/begun-N.txt, as many as the signal handler holds at
//       once, discards an output never begun, then does what a signal does
//       and ends without putting the outputs in place; prints the last
//       one's result.
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "convert/convert_to_format.h"
#include "convert/extract_pictures.h"
#include "convert/output_file.h"
#include "convert/output_format.h"
#include "convert/zentoro.h"

namespace {

using namespace zentoro;

// "<failure> <errno>", and " kept" where the result says what it converted
// was left at the output path.
void print(const ConversionResult& result) {
    std::printf("%d %d%s\n", static_cast<int>(result.failure), result.systemError,
                result.partialOutputKept ? " kept" : "");
}

int openDescriptors() {
    int count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) ++count;
    return count;
}

struct DescriptorCount {
    int before = openDescriptors();
    ~DescriptorCount() { std::fprintf(stderr, "descriptors left: %d\n", openDescriptors() - before); }
};

ExistingOutput existingFrom(const std::string& mode) {
    if (mode == "keep-word") return ExistingOutput::KeepWordDocument;
    return mode == "keep" ? ExistingOutput::Keep : ExistingOutput::Replace;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    DescriptorCount descriptors;
    if ((args.size() == 4 || args.size() == 5) && args[0] == "convert") {
        std::optional<OutputFormat> format = args.size() == 5 ? outputFormatNamed(args[4]) : OutputFormat::Rtf;
        if (!format) return 2;
        ConversionRequest request;
        request.inputPath = args[2].c_str();
        request.outputPath = args[3].c_str();
        request.existingOutput = existingFrom(args[1]);
        request.outputAbsent = args[1] == "absent";
        request.diagnostics = nullptr;
        print(convertRequestTo(*format, request));
        return 0;
    }
    if ((args.size() == 3 || (args.size() == 4 && args[3] == "fifo")) && args[0] == "appear") {
        PendingOutput output;
        ConversionResult begun = beginOutput(args[2].c_str(), existingFrom(args[1]), output, true);
        if (!begun.succeeded()) {
            print(begun);
            return 0;
        }
        std::fputs("new", output.file);
        if (args.size() == 4) {
            if (::mkfifo(args[2].c_str(), 0666) != 0) return 2;
        } else {
            std::FILE* appeared = std::fopen(args[2].c_str(), "wb");
            if (appeared == nullptr) return 2;
            std::fputs("appeared", appeared);
            std::fclose(appeared);
        }
        print(commitOutput(output, args[1] == "replace"));
        return 0;
    }
    if (args.size() == 3 && args[0] == "many") {
        std::vector<PendingOutput> outputs(static_cast<size_t>(std::atoi(args[1].c_str())));
        for (size_t i = 0; i < outputs.size(); ++i) {
            std::string path = args[2] + "/" + std::to_string(i) + ".txt";
            ConversionResult begun = beginOutput(path.c_str(), ExistingOutput::Replace, outputs[i]);
            if (!begun.succeeded()) {
                print(begun);
                outputs.resize(i);
                break;
            }
            std::fputs(std::to_string(i).c_str(), outputs[i].file);
        }
        for (PendingOutput& output : outputs) print(commitOutput(output, true));
        return 0;
    }
    if (args.size() == 3 && args[0] == "markdown") {
        std::ifstream in(args[1], std::ios::binary);
        std::string input((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        WriteOptions options;
        options.pictureFolder = args[2];
        std::string written;
        print(convertDocumentBytesToString(OutputFormat::Markdown, reinterpret_cast<const unsigned char*>(input.data()),
                                           input.size(), written, options));
        return 0;
    }
    if (args.size() == 3 && args[0] == "pictures") {
        print(extractPictures(args[1].c_str(), args[2].c_str(), ExistingPictures::Replace).result);
        return 0;
    }
    if (args.size() == 2 && args[0] == "discard") {
        PendingOutput output;
        ConversionResult begun = beginOutput(args[1].c_str(), ExistingOutput::Replace, output);
        print(begun);
        if (begun.succeeded()) std::fputs("new", output.file);
        discardOutput(output);
        return 0;
    }
    if (args.size() == 3 && args[0] == "commit") {
        // The first output is discarded after it was committed, as a
        // caller's clean-up may: that must not touch the second's descriptor.
        auto begin = [](const std::string& path, PendingOutput& output, const char* text) {
            ConversionResult begun = beginOutput(path.c_str(), ExistingOutput::Replace, output);
            print(begun);
            if (begun.succeeded()) std::fputs(text, output.file);
            return begun.succeeded();
        };
        PendingOutput first, second;
        if (!begin(args[1], first, "first")) return 0;
        print(commitOutput(first, true));
        if (!begin(args[2], second, "second")) return 0;
        discardOutput(first);
        print(commitOutput(second, true));
        return 0;
    }
    if (args.size() == 2 && args[0] == "interrupt") {
        // More outputs committed first than the signal handler holds names of:
        // each gives its name back, and the one begun after is still named.
        for (int i = 0; i < 70; ++i) {
            PendingOutput done;
            std::string path = args[1] + "/done-" + std::to_string(i) + ".txt";
            if (!beginOutput(path.c_str(), ExistingOutput::Replace, done).succeeded()) return 2;
            if (!commitOutput(done, true).succeeded()) return 2;
        }
        constexpr int HeldBySignalHandler = 64;
        std::vector<PendingOutput> begun(HeldBySignalHandler);
        ConversionResult last;
        for (int i = 0; i < HeldBySignalHandler; ++i) {
            std::string path = args[1] + "/begun-" + std::to_string(i) + ".txt";
            last = beginOutput(path.c_str(), ExistingOutput::Replace, begun[static_cast<size_t>(i)]);
        }
        print(last);
        PendingOutput never;
        discardOutput(never);
        discardOutputFromSignal();
        std::exit(0);
    }
    std::fputs("usage: fault_outputs convert|appear|many|markdown|pictures|discard|commit|interrupt ...\n", stderr);
    return 2;
}
