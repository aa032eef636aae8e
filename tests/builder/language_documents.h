// Documents as devices sold with ROMs for other languages wrote them: style
// names in that language, text in its Windows code page.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zentoro::testing {

// A short report written from the German template: a title in
// "Überschrift 1", sections in "Überschrift 2" and "Überschrift 3", a list
// in "Aufzählung" whose items start with the tab the device puts after the
// bullet, a price table set with tabs, a raised and a lowered character,
// and a word bold in part.
std::vector<uint8_t> germanTemplateDocument();

// A document whose bytes are all in one code page: a style named
// `styleName` with a bullet of `bulletByte` in the font `fontName`, a
// paragraph of `text` in that style and one in Normal.
std::vector<uint8_t> codePageDocument(const std::string& styleName, const std::string& fontName, int bulletByte,
                                      const std::string& text);

}  // namespace zentoro::testing
