#include "tests/builder/document_builder.h"

namespace zentoro::testing {

std::vector<uint8_t> sampleDocument() {
    StyleSection styles;
    const std::string text = "Zentoro sample\x06";
    TextLayoutSection layout;
    layout.formats.push_back(SharedFormat{});
    layout.paragraphs.push_back(Paragraph{static_cast<uint32_t>(text.size()), 1});
    return WordDocument()
        .applicationId()
        .styles(styles)
        .pageLayout(PageLayoutSection{})
        .text(text)
        .textLayout(layout)
        .build();
}

}  // namespace zentoro::testing
