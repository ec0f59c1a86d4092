// The converter module as a script uses it: the display name of a detail in
// the module's file system, and the report and listings of a detail whose
// blocks the script reads, under the date and number formats of a locale. A classic script, so that the worker can be one file; node
// takes it with require.
'use strict';

// What the user's locale gives the plug-in on the host.
const LOCALE_FORMATS = {
  ru: {
    dateSeparator: '.', shortDatePattern: 'dd.mm.yyyy', timeSeparator: ':',
    amDesignator: '', pmDesignator: '', decimalSeparator: ',',
  },
  en: {
    dateSeparator: '/', shortDatePattern: 'mm/dd/yyyy', timeSeparator: ':',
    amDesignator: 'AM', pmDesignator: 'PM', decimalSeparator: '.',
  },
};

// The channels of the module's output: the report, and the tool's "calls"
// and "summary" listings as CSV.
const REPORT_CHANNEL = 0;
const CALLS_CHANNEL = 1;
const SUMMARY_CHANNEL = 2;

function openConverter(module) {
  const shortText = module._malloc(256);
  const decoder = new TextDecoder();

  function withStrings(texts, work) {
    const pointers = texts.map((text) => {
      const size = module.lengthBytesUTF8(text) + 1;
      const pointer = module._malloc(size);
      module.stringToUTF8(text, pointer, size);
      return pointer;
    });
    try {
      return work(...pointers);
    } finally {
      pointers.forEach((pointer) => module._free(pointer));
    }
  }
  function readShortText() {
    const length = module.HEAPU8[shortText];
    return decoder.decode(module.HEAPU8.slice(shortText + 1, shortText + 1 + length));
  }
  const MESSAGE_CAPACITY = 1024;
  const message = module._malloc(MESSAGE_CAPACITY);
  function lastError() {
    const length = Math.min(module._QvPageLastError(message, MESSAGE_CAPACITY), MESSAGE_CAPACITY);
    return decoder.decode(module.HEAPU8.slice(message, message + length));
  }
  const byte = (text) => text.charCodeAt(0);
  function writingTo(write, work) {
    module.onPageWrite = write;
    try {
      const ok = work();
      return { ok: ok === 1, error: ok === 1 ? '' : lastError() };
    } finally {
      module.onPageWrite = null;
    }
  }

  // A walk over bytes the script reads itself: read(position) gives a
  // promise of the next block (empty at the end), and the block after it is
  // read while this one is walked.
  const sizeOut = module._malloc(4);
  async function feedWalk(walk, detailPath, read, progress) {
    let position = 0;
    let next = read(position);
    for (;;) {
      let block;
      try {
        block = await next;
      } catch {
        withStrings([detailPath], (pathText) => module._QvPageWalkReadFailed(walk, pathText));
        return 0;
      }
      if (block.length === 0) return module._QvPageFinishWalk(walk);
      position += block.length;
      next = read(position);
      next.catch(() => {});
      for (let from = 0; from < block.length;) {
        const space = module._QvPageWalkSpace(walk, sizeOut);
        if (space === 0) return 0;
        const size = Math.min(module.HEAPU32[sizeOut >> 2], block.length - from);
        module.HEAPU8.set(block.subarray(from, from + size), space);
        from += size;
        if (!module._QvPageWalkAdded(walk, size)) return 0;
      }
      if (progress) progress(position);
    }
  }
  async function fedWalk(kind, filename, decimalSeparator, detailPath, read, { write, progress }) {
    module.onPageWrite = write;
    try {
      const walk = withStrings([filename], (filenameText) => module._QvPageStartWalk(kind, filenameText, decimalSeparator));
      if (walk === 0) return { ok: false, error: lastError() };
      try {
        const ok = await feedWalk(walk, detailPath, read, progress);
        return { ok: ok === 1, error: ok === 1 ? '' : lastError() };
      } finally {
        module._QvPageEndWalk(walk);
      }
    } finally {
      module.onPageWrite = null;
    }
  }

  return {
    // { name, error }: the name is empty for a file that is no detail.
    name(path, formats) {
      withStrings(
        [path, formats.shortDatePattern, formats.amDesignator, formats.pmDesignator],
        (pathText, pattern, am, pm) => module._QvPageNameDetail(
          shortText, pathText, byte(formats.dateSeparator), pattern,
          byte(formats.timeSeparator), am, pm));
      const name = readShortText();
      return { name, error: lastError() };
    },
    // The report of a detail that read(position) gives in blocks, as
    // promises of its bytes (empty at the end); detailPath is what a failed
    // read's message names. A promise of { ok, error }. write(channel,
    // bytes) gets the report's bytes as a view into the module's memory,
    // valid only during the call; progress(bytesRead) after each block.
    convert(read, detailPath, filename, formats, { write, progress }) {
      return fedWalk(0, filename, byte(formats.decimalSeparator), detailPath, read, { write, progress });
    },
    // The rows of the listings, as convert hands out the report: a walk of
    // its own, so that the report need not wait for them. They come without
    // their header rows, and do not depend on the formats.
    list(read, detailPath, filename, { write, progress }) {
      return fedWalk(1, filename, 0, detailPath, read, { write, progress });
    },
    // The listings' header rows, to write(channel, bytes).
    listingHeads(write) {
      return writingTo(write, () => module._QvPageListingHeads());
    },
  };
}

if (typeof module === 'object' && module.exports) {
  module.exports = { LOCALE_FORMATS, REPORT_CHANNEL, CALLS_CHANNEL, SUMMARY_CHANNEL, openConverter };
}
