// Overlaps reading a large document with writing it: the reading thread
// hands each body paragraph over as it is read, and a second thread writes
// them in order. Reading is about half of a long document's conversion, so
// on two cores most of the writing is done while the reading goes on.
// Where no thread can be had (the C library's threads are not known to be
// there, or one does not start), the caller writes each paragraph itself.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>

#include "model/document.h"

namespace zentoro {

struct ParagraphPipelineState;

class ParagraphPipeline {
public:
    using Write = std::function<void(const Paragraph&)>;

    ParagraphPipeline();
    ~ParagraphPipeline();  // stops the thread, if finish() was not called
    ParagraphPipeline(const ParagraphPipeline&) = delete;
    ParagraphPipeline& operator=(const ParagraphPipeline&) = delete;

    // Starts the thread that calls `write` for each paragraph handed over;
    // false where none could be started.
    bool begin(Write write);

    // Queues `paragraph`, taking its runs and leaving those of a paragraph
    // already written in their place, waiting while the queue is full. A
    // paragraph that shows an embedded object is written before this
    // returns: the reader adds to the document's objects as it meets them,
    // and the writer must not read them meanwhile. Throws, on this thread,
    // what `write` threw on the other, once.
    void hand(Paragraph& paragraph);

    // Writes what is queued and stops the thread; throws what `write` threw
    // and was not yet thrown by hand().
    void finish();

private:
    std::unique_ptr<ParagraphPipelineState> state_;
};

// Documents this large are read and written on two threads; for smaller
// ones a thread costs more than it saves.
inline constexpr size_t PipelinedFrom = 1024 * 1024;

}  // namespace zentoro
