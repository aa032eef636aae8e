// The worker: converts one file at a time with the WebAssembly library and
// posts back what it made. It runs inside engine.js's zentoroWorker function,
// beside the glue that defines createZentoro.
let engine = null;

function cString(module, text, allocated) {
  const size = module.lengthBytesUTF8(text) + 1;
  const pointer = module._malloc(size);
  if (!pointer) throw new Error('not enough memory');
  module.stringToUTF8(text, pointer, size);
  allocated.push(pointer);
  return pointer;
}

function convert(module, request) {
  const bytes = new Uint8Array(request.bytes);
  const allocated = [];
  try {
    const data = module._malloc(Math.max(bytes.length, 1));
    if (!data) throw new Error('not enough memory');
    allocated.push(data);
    module.HEAPU8.set(bytes, data);
    const name = cString(module, request.name, allocated);
    const format = cString(module, request.format, allocated);
    const started = performance.now();
    const outcome = module._zentoro_convert(data, bytes.length, name, format);
    const milliseconds = performance.now() - started;
    if (!outcome) throw new Error('not enough memory');
    const files = [];
    const count = module._zentoro_file_count(outcome);
    for (let i = 0; i < count; i++) {
      const start = module._zentoro_file_bytes(outcome, i) >>> 0;
      const size = module._zentoro_file_size(outcome, i) >>> 0;
      files.push({
        suffix: module.UTF8ToString(module._zentoro_file_suffix(outcome, i)),
        bytes: module.HEAPU8.slice(start, start + size),
      });
    }
    const reply = {
      id: request.id,
      status: module._zentoro_status(outcome),
      failure: module._zentoro_failure(outcome),
      reason: module.UTF8ToString(module._zentoro_reason(outcome)),
      summary: module.UTF8ToString(module._zentoro_summary(outcome)),
      files,
      milliseconds,
    };
    module._zentoro_free(outcome);
    return reply;
  } finally {
    for (const pointer of allocated) module._free(pointer);
  }
}

self.onmessage = async (event) => {
  const request = event.data;
  let reply;
  try {
    if (!engine) engine = createZentoro();
    reply = convert(await engine, request);
  } catch (error) {
    // An aborted instance (memory exhausted) is not used again; status 3:
    // not converted.
    engine = null;
    reply = { id: request.id, status: 3, failure: -2, reason: 'not enough memory', summary: 'nothing', files: [],
              milliseconds: 0 };
  }
  self.postMessage(reply, reply.files.map((file) => file.bytes.buffer));
};
