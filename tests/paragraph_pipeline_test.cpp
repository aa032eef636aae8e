// Reading and writing a large document on two threads: the same RTF as on
// one, paragraphs written in order, an object's paragraph written before
// reading goes on, and a writer's failure brought back to the reader.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <new>
#include <string>
#include <vector>

#include "convert/model_conversion.h"
#include "convert/paragraph_pipeline.h"
#include "tests/builder/document_builder.h"
#include "tests/builder/model_document.h"
#include "tests/builder/scaled_document.h"
#include "tests/builder/sketch_sample.h"

namespace zentoro {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

constexpr const char* CorpusDir = ZENTORO_SOURCE_DIR "/../shared/corpus";

struct Faithful {
    Failure failure = Failure::None;
    std::string rtf;
};

Faithful faithfulRtf(const Bytes& document, size_t pipelinedFrom) {
    ModelConversion conversion;
    conversion.pipelinedFrom = pipelinedFrom;
    Faithful written{readModel(document, conversion).failure};
    if (written.failure == Failure::None || written.failure == Failure::DocumentDamaged) {
        Failure wrote = writeModel(conversion, nullptr, &written.rtf).failure;
        if (wrote != Failure::None) written.failure = wrote;
    }
    return written;
}

Bytes readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool pipelinesHere() {
    ParagraphPipeline pipeline;
    return pipeline.begin([](const Paragraph&) {});
}

TEST(PipelinedFaithfulRtf, IsTheSameAsWrittenOnOneThread) {
    if (!pipelinesHere()) GTEST_SKIP() << "no second thread on this system: conversions write on one";
    struct Named {
        std::string name;
        Bytes bytes;
    };
    Bytes sample = testing::sampleDocument();
    std::vector<Named> documents = {
        {"sample", sample},
        {"sketches", testing::sketchSampleDocument().bytes},
        {"many phrases", testing::manyPhrasesDocument(300 * 1024)},
        {"scaled", testing::scaledDocument(300 * 1024)},
    };
    for (size_t tenths : {3, 5, 7, 9}) {
        documents.push_back({"sample cut at " + std::to_string(tenths) + "/10",
                             Bytes(sample.begin(), sample.begin() + static_cast<std::ptrdiff_t>(sample.size() * tenths / 10))});
    }
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(CorpusDir, error)) {
        if (entry.path().extension() == ".wrd") documents.push_back({entry.path().filename().string(), readAll(entry)});
    }
    for (const Named& document : documents) {
        SCOPED_TRACE(document.name);
        Faithful alone = faithfulRtf(document.bytes, std::numeric_limits<size_t>::max());
        Faithful pipelined = faithfulRtf(document.bytes, 0);
        EXPECT_EQ(pipelined.failure, alone.failure);
        EXPECT_FALSE(alone.rtf.empty());
        EXPECT_TRUE(pipelined.rtf == alone.rtf);
    }
}

Paragraph numbered(int n, bool withObject) {
    Paragraph p;
    p.runs.push_back(testing::textRun("paragraph " + std::to_string(n)));
    if (withObject) p.runs.push_back(testing::objectRun(0));
    return p;
}

// Every paragraph is written once, in order; one that shows an object is
// written before hand() returns, for the reader goes on to add objects.
TEST(ParagraphPipeline, WritesInOrderAndAnObjectsParagraphBeforeReadingGoesOn) {
    std::vector<std::string> written;
    std::atomic<int> count = 0;
    ParagraphPipeline pipeline;
    if (!pipeline.begin([&](const Paragraph& p) {
            written.push_back(p.runs.front().text);
            ++count;
        })) {
        GTEST_SKIP() << "no second thread on this system";
    }
    constexpr int Paragraphs = 3000;
    for (int n = 0; n < Paragraphs; ++n) {
        bool withObject = n % 700 == 699;
        Paragraph paragraph = numbered(n, withObject);
        pipeline.hand(paragraph);
        if (withObject) {
            EXPECT_EQ(count.load(), n + 1) << "paragraph " << n;
        }
    }
    pipeline.finish();
    ASSERT_EQ(written.size(), size_t{Paragraphs});
    for (int n = 0; n < Paragraphs; ++n) EXPECT_EQ(written[static_cast<size_t>(n)], "paragraph " + std::to_string(n));
}

// A writer that runs out of memory stops writing; the reading thread learns
// of it once, from hand() or, for the last paragraphs, from finish().
TEST(ParagraphPipeline, AWritersFailureReachesTheReaderOnceAndLaterParagraphsAreNotWritten) {
    struct Case {
        int failAt;
        int paragraphs;
    };
    for (Case c : {Case{0, 2000}, Case{300, 2000}, Case{1999, 2000}, Case{5, 10}}) {
        SCOPED_TRACE("failing at " + std::to_string(c.failAt) + " of " + std::to_string(c.paragraphs));
        int written = 0;
        ParagraphPipeline pipeline;
        if (!pipeline.begin([&](const Paragraph&) {
                if (written == c.failAt) throw std::bad_alloc();
                ++written;
            })) {
            GTEST_SKIP() << "no second thread on this system";
        }
        int thrown = 0;
        for (int n = 0; n < c.paragraphs; ++n) {
            try {
                Paragraph paragraph = numbered(n, false);
                pipeline.hand(paragraph);
            } catch (const std::bad_alloc&) {
                ++thrown;
            }
        }
        try {
            pipeline.finish();
        } catch (const std::bad_alloc&) {
            ++thrown;
        }
        EXPECT_EQ(thrown, 1);
        EXPECT_EQ(written, c.failAt);
    }
}

}  // namespace
}  // namespace zentoro
