// Writes the German template document that the tests of the HTML and
// Markdown outlines build.
#include <cstdio>

#include "tests/builder/conversion_harness.h"
#include "tests/builder/language_documents.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_german_sample OUTPUT\n");
        return 2;
    }
    zentoro::testing::writeFile(argv[1], zentoro::testing::germanTemplateDocument());
    return 0;
}
