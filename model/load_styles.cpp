#include "model/loaders.h"

#include "model/code_page.h"

namespace zentoro {

namespace {

constexpr size_t HotKeyBytes = 4;
constexpr size_t StyleKindBytes = 8;  // the style's kind and outline level
constexpr size_t StyleRecordBytes = 1 + StyleKindBytes + 4 + 4;

// A style name: a count whose low bit marks 8-bit characters, then the name.
std::string loadStyleName(LoadState& s) {
    uint32_t length = loadCardinality(s) >> 1;
    std::string name;
    if (!need(s, length)) return name;
    for (uint32_t i = 0; i < length; ++i) appendUtf8(name, codePagePoint(s.document->codePage, static_cast<unsigned char>(loadByte(s))));
    return name;
}

int loadHotKey(LoadState& s) {
    int key = loadByte(s);
    loadByte(s);
    loadByte(s);
    loadByte(s);
    return key == 0 ? -1 : static_cast<int>(codePagePoint(s.document->codePage, static_cast<unsigned char>(key)));
}

Style styleOf(std::string name, int hotKey, const Formats& formats) {
    return Style{std::move(name), hotKey, formats.paragraph, formats.character};
}

}  // namespace

std::vector<Formats> loadStyles(LoadState& s) {
    Document& document = *s.document;
    Formats normal = builtInFormats(document);
    applyLayer(s, normal);
    applyLayer(s, normal);
    int normalKey = loadHotKey(s);
    int keyCount = loadByte(s);
    std::vector<int> keys;
    if (need(s, static_cast<size_t>(keyCount) * HotKeyBytes)) {
        for (int i = 0; i < keyCount; ++i) keys.push_back(loadHotKey(s));
    }
    int styleCount = loadByte(s);
    std::vector<Formats> formats{normal};
    document.styles.assign(1, styleOf("Normal", normalKey, normal));
    if (!need(s, static_cast<size_t>(styleCount) * StyleRecordBytes)) return formats;
    for (int i = 0; i < styleCount && !s.damaged; ++i) {
        std::string name = loadStyleName(s);
        for (size_t b = 0; b < StyleKindBytes; ++b) loadByte(s);
        Formats style = normal;
        applyLayer(s, style);  // the character layer
        applyLayer(s, style);  // the paragraph layer
        int key = static_cast<size_t>(i) < keys.size() ? keys[static_cast<size_t>(i)] : -1;
        document.styles.push_back(styleOf(std::move(name), key, style));
        formats.push_back(std::move(style));
    }
    return formats;
}

}  // namespace zentoro
