// The worker that owns the converter module: it converts the files it is
// sent one after another, reading each where it lies (the naming through a
// WORKERFS mount, the walks in blocks the page reads), and hands back the
// name, the outcome and the report's bytes, then, from a second walk, the
// listings' bytes. Follows the module's script, converter.js and the
// module's bytes (WASM_BASE64) in one file. A page whose browser
// refuses the worker runs this script itself (see the end).
'use strict';

const IN_WORKER = typeof WorkerGlobalScope !== 'undefined' && self instanceof WorkerGlobalScope;

function decodeBase64(text) {
  const binary = atob(text);
  const bytes = new Uint8Array(binary.length);
  for (let i = 0; i < binary.length; ++i) bytes[i] = binary.charCodeAt(i);
  return bytes;
}

// Progress is posted at most this often, so that a fast walk is not slowed
// by messages.
const PROGRESS_INTERVAL_MS = 100;

// WORKERFS reads each request from the File on its own, and each read is a
// trip to the browser's file store: costly for the naming's 256-byte reads.
// Reads are served from a cached block instead, which grows while the
// reading goes on where the last block ended: 1 MiB for a name found near
// the top, up to 16 MiB for a detail whose every line is read for its date.
const FIRST_BLOCK = 1 << 20;
const LARGEST_BLOCK = 16 << 20;
function cacheReads(workerfs) {
  const reader = new FileReaderSync();
  let cache = { contents: null, start: 0, bytes: new Uint8Array(0) };
  workerfs.stream_ops.read = (stream, buffer, offset, length, position) => {
    const { contents, size } = stream.node;
    if (position >= size) return 0;
    const cachedEnd = cache.start + cache.bytes.length;
    if (cache.contents !== contents || position < cache.start || position >= cachedEnd) {
      const onward = cache.contents === contents && position === cachedEnd;
      const blockSize = onward ? Math.min(cache.bytes.length * 2, LARGEST_BLOCK) : FIRST_BLOCK;
      const block = contents.slice(position, position + Math.max(blockSize, length));
      cache = { contents, start: position, bytes: new Uint8Array(reader.readAsArrayBuffer(block)) };
    }
    const from = position - cache.start;
    const count = Math.min(length, cache.bytes.length - from);
    buffer.set(cache.bytes.subarray(from, from + count), offset);
    return count;
  };
}

function loadConverter(post) {
  return createConverterModule({ wasmBinary: decodeBase64(WASM_BASE64) }).then((module) => {
    module.FS.mkdir('/in');
    if (IN_WORKER) cacheReads(module.WORKERFS);
    const converter = openConverter(module);
    const heads = { [CALLS_CHANNEL]: [], [SUMMARY_CHANNEL]: [] };
    converter.listingHeads((channel, bytes) => heads[channel].push(bytes.slice()));
    post({ type: 'heads', calls: new Blob(heads[CALLS_CHANNEL]), summary: new Blob(heads[SUMMARY_CHANNEL]) });
    return { module, converter };
  });
}

// Outside a worker there is no synchronous file reader: the file is copied
// into the module's memory.
async function placeFile(module, folder, file) {
  module.FS.mkdir(folder);
  if (IN_WORKER) {
    module.FS.mount(module.WORKERFS, { files: [file] }, folder);
  } else {
    module.FS.writeFile(`${folder}/${file.name}`, new Uint8Array(await file.arrayBuffer()));
  }
}

function removeFile(module, folder, file) {
  if (IN_WORKER) module.FS.unmount(folder);
  else module.FS.unlink(`${folder}/${file.name}`);
  module.FS.rmdir(folder);
}

// Progress is posted as a message of the given type, at most every
// PROGRESS_INTERVAL_MS.
function progressPoster(post, type, id) {
  let lastPost = 0;
  return (bytesRead) => {
    const now = performance.now();
    if (now - lastPost < PROGRESS_INTERVAL_MS) return;
    lastPost = now;
    post({ type, id, bytesRead });
  };
}

// The walks read the picked file in blocks, ahead of the one walked, so
// that the browser reads while the module walks. A worker busy walking
// would take in the bytes of its own reads only between blocks, so there
// the page reads them and sends them over; on the page itself it reads them
// directly.
const READ_BLOCK = 16 << 20;
const READ_AHEAD = 2;
const blockReader = (file) => (position) =>
  file.slice(position, position + READ_BLOCK).arrayBuffer().then((bytes) => new Uint8Array(bytes));

// "id position" -> the functions that settle the promise of that block.
const awaitedBlocks = new Map();
function pageReader(post, id, size) {
  const asked = new Map();
  const ask = (position) => {
    if (!asked.has(position)) {
      asked.set(position, new Promise((resolve, reject) => {
        awaitedBlocks.set(`${id} ${position}`, { resolve, reject });
        post({ type: 'read', id, position, size: READ_BLOCK });
      }));
    }
    return asked.get(position);
  };
  return (position) => {
    for (let ahead = 1; ahead <= READ_AHEAD && position + ahead * READ_BLOCK < size; ++ahead) {
      ask(position + ahead * READ_BLOCK);
    }
    const block = ask(position);
    asked.delete(position);
    return block;
  };
}
function takeBlock({ id, position, bytes, error }) {
  const awaited = awaitedBlocks.get(`${id} ${position}`);
  if (!awaited) return;
  awaitedBlocks.delete(`${id} ${position}`);
  if (error === undefined) awaited.resolve(new Uint8Array(bytes));
  else awaited.reject(new Error(error));
}

const readerOf = (post, id, file) => (IN_WORKER ? pageReader(post, id, file.size) : blockReader(file));
const detailPath = (id, file) => `/in/${id}/${file.name}`;

// The name and the report; the listings come from a walk of their own
// later, so that the report's link need not wait for them.
async function convertFile({ module, converter }, { id, file, locale }, post) {
  const folder = `/in/${id}`;
  await placeFile(module, folder, file);
  const formats = LOCALE_FORMATS[locale];
  const detail = detailPath(id, file);
  try {
    const { name, error: nameError } = converter.name(detail, formats);
    // Making Blobs of the outputs' pieces costs about as much as the walk:
    // the page does that, after it has shown the report's link.
    const pieces = [];
    const outcome = await converter.convert(readerOf(post, id, file), detail, file.name, formats,
      { write: (channel, bytes) => pieces.push(bytes.slice()), progress: progressPoster(post, 'progress', id) });
    const report = outcome.ok ? pieces : null;
    post({ type: 'done', id, name, ok: outcome.ok, error: outcome.error || nameError, report },
      outcome.ok ? pieces.map((piece) => piece.buffer) : []);
  } finally {
    removeFile(module, folder, file);
  }
}

// The listings' rows of a file, also of one whose report failed, as the
// tool lists what was found before a failure.
async function listFile({ converter }, { id, file }, post) {
  const rows = { [CALLS_CHANNEL]: [], [SUMMARY_CHANNEL]: [] };
  await converter.list(readerOf(post, id, file), detailPath(id, file), file.name,
    { write: (channel, bytes) => rows[channel].push(bytes.slice()), progress: progressPoster(post, 'listing', id) });
  const [calls, summary] = [rows[CALLS_CHANNEL], rows[SUMMARY_CHANNEL]];
  post({ type: 'listings', id, calls, summary }, [...calls, ...summary].map((piece) => piece.buffer));
}

// Takes requests { id, file, locale } and converts them in turn, then lists
// them; a request with listOnly set is only listed. Reports go first: a
// file's listings wait while a report waits. post gets what the page hears.
function startConverter(post) {
  const ready = loadConverter(post);
  const waitingReports = [];
  const waitingListings = [];
  let working = false;
  async function take(work, request) {
    try {
      await work(await ready, request, post);
      return true;
    } catch (failure) {
      post({ type: 'done', id: request.id, ok: false, error: String(failure) });
      post({ type: 'listings', id: request.id, calls: null, summary: null });
      return false;
    }
  }
  async function workThrough() {
    working = true;
    while (waitingReports.length > 0 || waitingListings.length > 0) {
      if (waitingReports.length > 0) {
        const request = waitingReports.shift();
        if (await take(convertFile, request)) waitingListings.push(request);
      } else {
        await take(listFile, waitingListings.shift());
      }
    }
    working = false;
  }
  return (request) => {
    (request.listOnly ? waitingListings : waitingReports).push(request);
    if (!working) workThrough();
  };
}

if (IN_WORKER) {
  const receive = startConverter((message, transfer) => self.postMessage(message, transfer));
  self.onmessage = (event) => (event.data.type === 'block' ? takeBlock(event.data) : receive(event.data));
} else {
  self.startConverterOnPage = startConverter;
}
