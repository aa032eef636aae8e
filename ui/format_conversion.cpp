#include "ui/format_conversion.h"

#include "convert/convert_to_format.h"
#include "convert/output_format.h"

namespace zentoro {

std::optional<OutputFormat> formatNamed(const std::string& name) { return outputFormatNamed(name); }

const char* extensionOf(OutputFormat format) { return outputExtension(format).data(); }

namespace {

WriteOptions writeOptionsFor(const ConsoleOptions& options) {
    WriteOptions writeOptions;
    writeOptions.withHeaderFooter = options.withHeaderFooter;
    writeOptions.codePage = options.codePage;
    writeOptions.keepExistingPictures = options.noClobber;
    return writeOptions;
}

}  // namespace

FormatConversion convertToFormat(const ConversionRequest& request, const ConsoleOptions& options) {
    return {convertRequestTo(options.format, request, writeOptionsFor(options)), nullptr};
}

std::vector<std::string> pictureFilesBeside(const ConversionRequest& request, const ConsoleOptions& options) {
    return pictureFilesOf(options.format, request, writeOptionsFor(options)).paths;
}

}  // namespace zentoro
