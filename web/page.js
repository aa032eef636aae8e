// The page: takes files and folders, has the workers convert them, lists
// each file's outcome, previews and downloads the outputs.
'use strict';

// How a file went, as the worker tells it (web_entry.h).
const Converted = 0;
const PartlyRecovered = 1;
const NotADocument = 2;
const NotConverted = 3;

const formatSelect = document.getElementById('format');
const drop = document.getElementById('drop');
const statusLine = document.getElementById('status');
const resultsList = document.getElementById('results');
const downloadAll = document.getElementById('download-all');
const previewSection = document.getElementById('preview-section');
const preview = document.getElementById('preview');

// Every file given, in order: {id, path, file, item, outcome}.
const entries = [];
let pending = 0;
let urls = [];

// Workers started from engine.js's source as blobs, which browsers allow
// from file:// too; as many as leave a core for the page.
const workerSource = URL.createObjectURL(
  new Blob(['(' + zentoroWorker.toString() + ')();'], { type: 'text/javascript' }));
const workerCount = Math.max(1, Math.min(3, (navigator.hardwareConcurrency || 2) - 1));
const workers = [];
const waiting = [];

function startWorker() {
  const worker = new Worker(workerSource);
  const slot = { worker, busy: null };
  worker.onmessage = (event) => {
    const entry = slot.busy;
    slot.busy = null;
    if (entry && entry.id === event.data.id) finished(entry, event.data);
    next(slot);
  };
  worker.onerror = (event) => {
    event.preventDefault();
    const entry = slot.busy;
    slot.busy = null;
    worker.terminate();
    workers.splice(workers.indexOf(slot), 1, startWorker());
    if (entry) finished(entry, { status: NotConverted, failure: -2, reason: 'the converter stopped', summary: 'nothing', files: [] });
    next(workers[workers.length - 1]);
  };
  return slot;
}

async function next(slot) {
  if (slot.busy || waiting.length === 0) return;
  const entry = waiting.shift();
  slot.busy = entry;
  entry.format = formatSelect.value;
  try {
    const bytes = await entry.file.arrayBuffer();
    slot.worker.postMessage({ id: entry.id, name: entry.file.name, format: entry.format, bytes }, [bytes]);
  } catch (error) {
    slot.busy = null;
    finished(entry, { status: NotConverted, failure: 1, reason: 'cannot read the file', summary: 'nothing', files: [] });
    next(slot);
  }
}

function schedule(entry) {
  entry.format = formatSelect.value;
  entry.outcome = null;
  entry.started = performance.now();
  pending++;
  showEntry(entry);
  waiting.push(entry);
  for (const slot of workers) next(slot);
  updateStatus();
}

function outcomeWords(outcome) {
  if (outcome.status === Converted) return { words: 'Converted', kind: 'converted' };
  if (outcome.status === PartlyRecovered) {
    return { words: 'Damaged and partly recovered: ' + outcome.reason, kind: 'recovered' };
  }
  if (outcome.status === NotADocument) return { words: 'Not a document', kind: 'failed' };
  return { words: 'Not converted: ' + outcome.reason, kind: 'failed' };
}

function finished(entry, outcome) {
  outcome.elapsed = performance.now() - entry.started;
  entry.outcome = outcome;
  pending--;
  // Converted while another format was chosen: converted again.
  if (entry.format !== formatSelect.value) {
    schedule(entry);
    return;
  }
  showEntry(entry);
  updateStatus();
}

function updateStatus() {
  const done = entries.filter((entry) => entry.outcome);
  const converted = done.filter((entry) => entry.outcome.files.length > 0).length;
  if (entries.length === 0) {
    statusLine.textContent = 'No files yet.';
  } else if (pending > 0) {
    statusLine.textContent = `Converting: ${done.length} of ${entries.length} done.`;
  } else {
    statusLine.textContent = `Done: ${converted} of ${entries.length} files gave outputs.`;
  }
  downloadAll.disabled = pending > 0 || converted === 0;
}

function outputName(entry, file) { return entry.path + file.suffix; }
function baseName(path) { return path.slice(path.lastIndexOf('/') + 1); }

function mimeOf(suffix) {
  if (suffix.endsWith('.png')) return 'image/png';
  if (suffix.endsWith('.html')) return 'text/html';
  if (suffix.endsWith('.rtf')) return 'application/rtf';
  if (suffix.endsWith('.md')) return 'text/markdown';
  return 'text/plain';
}

function showEntry(entry) {
  const item = entry.item;
  item.replaceChildren();
  item.dataset.state = entry.outcome ? 'done' : 'converting';
  const path = document.createElement('span');
  path.className = 'path';
  path.textContent = entry.path;
  const outcome = document.createElement('span');
  outcome.className = 'outcome';
  item.append(path, outcome);
  if (!entry.outcome) {
    outcome.textContent = 'converting…';
    return;
  }
  // How long the file took, in milliseconds: all told, and the conversion alone.
  item.dataset.elapsed = entry.outcome.elapsed.toFixed(1);
  item.dataset.converting = (entry.outcome.milliseconds || 0).toFixed(1);
  const { words, kind } = outcomeWords(entry.outcome);
  outcome.classList.add(kind);
  outcome.textContent = entry.outcome.files.length > 0 ? `${words} (${entry.outcome.summary})` : words;
  if (entry.outcome.files.length === 0) return;
  const actions = document.createElement('div');
  actions.className = 'actions';
  const show = document.createElement('button');
  show.type = 'button';
  show.textContent = 'Preview';
  show.setAttribute('aria-label', 'Preview ' + entry.path);
  show.addEventListener('click', () => showPreview(entry));
  actions.append(show);
  for (const file of entry.outcome.files) {
    const link = document.createElement('a');
    const url = URL.createObjectURL(new Blob([file.bytes], { type: mimeOf(file.suffix) }));
    urls.push(url);
    link.href = url;
    link.download = baseName(outputName(entry, file));
    link.textContent = 'Download ' + baseName(outputName(entry, file));
    actions.append(link);
  }
  item.append(actions);
}

function showPreview(entry) {
  preview.replaceChildren();
  previewSection.hidden = false;
  document.getElementById('preview-heading').textContent = 'Preview of ' + entry.path;
  for (const file of entry.outcome.files) {
    if (file.suffix.endsWith('.html')) {
      // The converted page shown with nothing it may run or reach.
      const frame = document.createElement('iframe');
      frame.setAttribute('sandbox', '');
      frame.title = 'The HTML output of ' + entry.path;
      frame.srcdoc = new TextDecoder().decode(file.bytes);
      preview.append(frame);
    } else if (file.suffix.endsWith('.png')) {
      const image = document.createElement('img');
      image.src = URL.createObjectURL(new Blob([file.bytes], { type: 'image/png' }));
      urls.push(image.src);
      image.alt = 'Picture ' + baseName(outputName(entry, file));
      preview.append(image);
    } else {
      const text = document.createElement('pre');
      const shown = file.bytes.subarray(0, 200000);
      const encoding = file.suffix.endsWith('.rtf') ? 'windows-1252' : 'utf-8';
      text.textContent = new TextDecoder(encoding).decode(shown) + (shown.length < file.bytes.length ? '\n…' : '');
      text.tabIndex = 0;
      text.setAttribute('aria-label', 'The output ' + baseName(outputName(entry, file)));
      preview.append(text);
    }
  }
  document.getElementById('preview-heading').focus();
}

function addFiles(files) {
  for (const { file, path } of files) {
    const item = document.createElement('li');
    resultsList.append(item);
    const entry = { id: entries.length + 1, path, file, item, outcome: null };
    entries.push(entry);
    schedule(entry);
  }
}

function pickedFiles(input) {
  return Array.from(input.files, (file) => ({ file, path: file.webkitRelativePath || file.name }));
}

// A dropped folder is walked whole; its files keep their paths inside it.
async function droppedFiles(dataTransfer) {
  const roots = Array.from(dataTransfer.items || [], (item) => item.webkitGetAsEntry && item.webkitGetAsEntry())
    .filter(Boolean);
  if (roots.length === 0) return Array.from(dataTransfer.files, (file) => ({ file, path: file.name }));
  const found = [];
  async function walk(node, prefix) {
    if (node.isFile) {
      const file = await new Promise((resolve, reject) => node.file(resolve, reject));
      found.push({ file, path: prefix + node.name });
    } else if (node.isDirectory) {
      const reader = node.createReader();
      for (;;) {
        const batch = await new Promise((resolve, reject) => reader.readEntries(resolve, reject));
        if (batch.length === 0) break;
        for (const child of batch) await walk(child, prefix + node.name + '/');
      }
    }
  }
  for (const root of roots) await walk(root, '');
  return found;
}

async function downloadZip() {
  const files = [];
  for (const entry of entries) {
    if (!entry.outcome) continue;
    for (const file of entry.outcome.files) files.push({ name: outputName(entry, file), bytes: file.bytes });
  }
  try {
    const link = document.createElement('a');
    link.href = URL.createObjectURL(makeZip(files));
    urls.push(link.href);
    link.download = 'zentoro-outputs.zip';
    document.body.append(link);
    link.click();
    link.remove();
    statusLine.textContent = `The ZIP holds ${files.length} files.`;
  } catch (error) {
    statusLine.textContent = 'No ZIP: ' + error.message + '. Download the files one by one.';
  }
}

for (let i = 0; i < workerCount; i++) workers.push(startWorker());

for (const input of [document.getElementById('pick-files'), document.getElementById('pick-folder')]) {
  input.addEventListener('change', () => {
    addFiles(pickedFiles(input));
    input.value = '';
  });
}
drop.addEventListener('dragover', (event) => {
  event.preventDefault();
  drop.classList.add('over');
});
drop.addEventListener('dragleave', () => drop.classList.remove('over'));
drop.addEventListener('drop', async (event) => {
  event.preventDefault();
  drop.classList.remove('over');
  addFiles(await droppedFiles(event.dataTransfer));
});
// A format chosen after the files converts them all again.
formatSelect.addEventListener('change', () => {
  for (const url of urls) URL.revokeObjectURL(url);
  urls = [];
  preview.replaceChildren();
  previewSection.hidden = true;
  for (const entry of entries) if (entry.outcome) schedule(entry);
});
downloadAll.addEventListener('click', downloadZip);
