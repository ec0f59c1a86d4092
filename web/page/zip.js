// A zip archive that stores its files as they are (no compression): every
// unzip tool reads it, and the reports need no more. Names are UTF-8.

const CRC_TABLE = (() => {
  const table = new Uint32Array(256);
  for (let n = 0; n < 256; ++n) {
    let c = n;
    for (let k = 0; k < 8; ++k) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
    table[n] = c >>> 0;
  }
  return table;
})();

// Read in slices, so that a big report is never held whole a second time.
const SLICE = 8 << 20;
async function crc32(blob) {
  let crc = 0xffffffff;
  for (let start = 0; start < blob.size; start += SLICE) {
    const bytes = new Uint8Array(await blob.slice(start, start + SLICE).arrayBuffer());
    for (let i = 0; i < bytes.length; ++i) crc = CRC_TABLE[(crc ^ bytes[i]) & 0xff] ^ (crc >>> 8);
  }
  return (crc ^ 0xffffffff) >>> 0;
}

function dosTime(date) {
  return {
    time: (date.getHours() << 11) | (date.getMinutes() << 5) | (date.getSeconds() >> 1),
    day: ((date.getFullYear() - 1980) << 9) | ((date.getMonth() + 1) << 5) | date.getDate(),
  };
}

// A header of little-endian fields: [bytes, value] pairs.
function header(fields, name) {
  const size = fields.reduce((sum, [bytes]) => sum + bytes, 0);
  const view = new DataView(new ArrayBuffer(size + name.length));
  let at = 0;
  for (const [bytes, value] of fields) {
    if (bytes === 2) view.setUint16(at, value, true);
    else view.setUint32(at, value, true);
    at += bytes;
  }
  new Uint8Array(view.buffer).set(name, size);
  return new Uint8Array(view.buffer);
}

const UTF8_NAMES = 0x0800;
const LIMIT = 0xffffffff;

// entries: [{ name, blob }]; a Blob of the archive, the files' bytes read
// once each for their checksums.
export async function storedZip(entries, date = new Date()) {
  const { time, day } = dosTime(date);
  const encoder = new TextEncoder();
  const parts = [];
  const directory = [];
  let offset = 0;
  for (const { name, blob } of entries) {
    const nameBytes = encoder.encode(name);
    const crc = await crc32(blob);
    if (blob.size >= LIMIT || offset >= LIMIT) throw new Error('The reports are too big for one zip file');
    const common = [[2, 20], [2, UTF8_NAMES], [2, 0], [2, time], [2, day], [4, crc], [4, blob.size], [4, blob.size],
      [2, nameBytes.length], [2, 0]];
    const local = header([[4, 0x04034b50], ...common], nameBytes);
    directory.push(header([[4, 0x02014b50], [2, 20], ...common, [2, 0], [2, 0], [2, 0], [4, 0], [4, offset]], nameBytes));
    parts.push(local, blob);
    offset += local.length + blob.size;
  }
  const directorySize = directory.reduce((sum, entry) => sum + entry.length, 0);
  const end = header([[4, 0x06054b50], [2, 0], [2, 0], [2, entries.length], [2, entries.length],
    [4, directorySize], [4, offset], [2, 0]], new Uint8Array(0));
  return new Blob([...parts, ...directory, end], { type: 'application/zip' });
}
