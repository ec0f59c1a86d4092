// The worker that owns the converter module: it converts the files it is
// sent one after another, reading each where it lies (a WORKERFS mount reads
// the picked file in blocks), and hands back the name, the outcome and the
// report as a Blob. Follows the module's script, converter.js and the
// module's bytes (WASM_BASE64) in one file.
'use strict';

function decodeBase64(text) {
  const binary = atob(text);
  const bytes = new Uint8Array(binary.length);
  for (let i = 0; i < binary.length; ++i) bytes[i] = binary.charCodeAt(i);
  return bytes;
}

// Progress is posted at most this often, so that a fast walk is not slowed
// by messages.
const PROGRESS_INTERVAL_MS = 100;

// The naming reads lines through a 256-byte buffer, and a WORKERFS read is a
// trip to the file each time; small reads are served from a cached block.
const CACHED_BLOCK = 1 << 20;
const DIRECT_READ = 64 << 10;
function cacheSmallReads(workerfs) {
  const readDirectly = workerfs.stream_ops.read;
  const reader = new FileReaderSync();
  let cache = { contents: null, start: 0, bytes: new Uint8Array(0) };
  workerfs.stream_ops.read = (stream, buffer, offset, length, position) => {
    const { contents, size } = stream.node;
    if (length >= DIRECT_READ || position >= size) {
      return readDirectly(stream, buffer, offset, length, position);
    }
    const cachedEnd = cache.start + cache.bytes.length;
    if (cache.contents !== contents || position < cache.start || position >= cachedEnd) {
      const block = contents.slice(position, position + CACHED_BLOCK);
      cache = { contents, start: position, bytes: new Uint8Array(reader.readAsArrayBuffer(block)) };
    }
    const from = position - cache.start;
    const count = Math.min(length, cache.bytes.length - from);
    buffer.set(cache.bytes.subarray(from, from + count), offset);
    return count;
  };
}

const ready = createConverterModule({ wasmBinary: decodeBase64(WASM_BASE64) }).then((module) => {
  module.FS.mkdir('/in');
  cacheSmallReads(module.WORKERFS);
  const converter = openConverter(module);
  const heads = collect();
  converter.listingHeads(heads.write);
  self.postMessage({ type: 'heads', calls: heads.blob(CALLS_CHANNEL), summary: heads.blob(SUMMARY_CHANNEL) });
  return { module, converter };
});

// The bytes of each output channel, as Blobs. Each piece becomes a Blob at
// once, copied straight from the module's memory, so that the browser takes
// the bytes over while the conversion goes on.
function collect() {
  const parts = [[], [], []];
  return {
    write: (channel, bytes) => parts[channel].push(new Blob([bytes])),
    blob: (channel) => new Blob(parts[channel], { type: channel === REPORT_CHANNEL ? 'application/xml' : 'text/csv' }),
  };
}

function convertFile({ module, converter }, { id, file, locale }) {
  const folder = `/in/${id}`;
  module.FS.mkdir(folder);
  module.FS.mount(module.WORKERFS, { files: [file] }, folder);
  const formats = LOCALE_FORMATS[locale];
  const detail = `${folder}/${file.name}`;
  try {
    const { name, error: nameError } = converter.name(detail, formats);
    const output = collect();
    let lastPost = 0;
    const outcome = converter.convert(detail, file.name, formats, {
      write: output.write,
      progress: (bytesRead) => {
        const now = performance.now();
        if (now - lastPost < PROGRESS_INTERVAL_MS) return;
        lastPost = now;
        self.postMessage({ type: 'progress', id, bytesRead });
      },
    });
    self.postMessage({
      type: 'done', id, name, ok: outcome.ok, error: outcome.error || nameError,
      report: outcome.ok ? output.blob(REPORT_CHANNEL) : null,
      calls: output.blob(CALLS_CHANNEL), summary: output.blob(SUMMARY_CHANNEL),
    });
  } finally {
    module.FS.unmount(folder);
    module.FS.rmdir(folder);
  }
}

self.onmessage = (event) => {
  ready.then((state) => convertFile(state, event.data)).catch((failure) => {
    self.postMessage({ type: 'done', id: event.data.id, ok: false, error: String(failure) });
  });
};
