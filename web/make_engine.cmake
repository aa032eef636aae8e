# engine.js: the WebAssembly's glue script and the worker's script inside one
# function, zentoroWorker, which the page turns back into source text and
# starts as a worker from a blob, so that nothing is fetched from file://.
file(READ "${GLUE}" glue)
file(READ "${WORKER}" worker)
file(WRITE "${OUTPUT}" "// Built from web/worker.js and the WebAssembly glue; do not edit.\n"
                       "function zentoroWorker() {\n${glue}\n${worker}\n}\n")
