// What the fuzz targets check in the RTF that a conversion wrote.
#pragma once

#include <string>
#include <string_view>

namespace zentoro::fuzzing {

// Empty when the RTF is well formed: its braces balance (escaped ones are
// text), it holds no raw byte below 32 other than line feeds, and every \'
// is followed by two hex digits. Otherwise what is wrong, and where.
std::string rtfWellFormednessProblem(std::string_view rtf);

// The text a reader of the RTF shows, as document text bytes: control words
// and destination groups (font table, style sheet, colour table, fields and
// every \* group) are dropped, line feeds and carriage returns are not text,
// \par \line \page \tab become 6 7 8 9, \_ \- \~ become 11 12 16, \'hh its
// byte, and escaped braces and backslashes themselves; raw control bytes
// show nothing.
std::string visibleRtfText(std::string_view rtf);

// The text bytes of a document as a reader of its RTF should see them: an
// unbreakable tab (10) as a tab, a visible space (15) as a space, and the
// other control bytes that show nothing (0, 13, the object placeholder 14,
// ...) left out.
std::string expectedVisibleText(std::string_view documentText);

}  // namespace zentoro::fuzzing
