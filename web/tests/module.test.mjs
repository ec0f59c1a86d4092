// The WebAssembly module at its API under node: the same names, reports and
// failure messages as the native tool, under Russian and English formats.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync, spawnSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { createRequire } from 'node:module';

const require = createRequire(import.meta.url);
const moduleDir = process.env.QV_MODULE_DIR;
const nativeBuild = process.env.QV_NATIVE_BUILD;
const sourceDir = process.env.QV_SOURCE_DIR;
if (!fs.existsSync(path.join(nativeBuild, 'qvmtsfrs'))) {
  throw new Error(`no native tool in ${nativeBuild}: build the linux preset first`);
}
const createConverterModule = require(path.join(moduleDir, 'qvmtsfrs_core.js'));
const { LOCALE_FORMATS, REPORT_CHANNEL, CALLS_CHANNEL, SUMMARY_CHANNEL, openConverter } = require(path.join(sourceDir, 'web/converter.js'));
const LOCALES = { ru: 'ru_RU.UTF-8', en: 'en_US.UTF-8' };

const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'qvmtsfrs-module-'));
process.on('exit', () => fs.rmSync(scratch, { recursive: true, force: true }));

// The scratch folder appears in the module's file system under its own
// path, so that messages naming a path read the same on both sides.
async function loadConverter() {
  const module = await createConverterModule({
    wasmBinary: fs.readFileSync(path.join(moduleDir, 'qvmtsfrs_core.wasm')),
  });
  module.FS.mkdirTree(scratch);
  module.FS.mount(module.NODEFS, { root: scratch }, scratch);
  return openConverter(module);
}
const converter = await loadConverter();

// The bytes of each channel.
function collector() {
  const parts = [[], [], []];
  return {
    write: (channel, bytes) => parts[channel].push(Buffer.from(bytes)),
    bytes: (channel) => Buffer.concat(parts[channel]),
  };
}
// The page reads a picked file itself and feeds the walks its blocks: here
// in blocks of an odd size, so that they straddle the module's room.
const blocksOf = (bytes) => async (position) => bytes.subarray(position, position + 1000003);
async function convertInModule(file, formats) {
  const output = collector();
  const read = blocksOf(fs.readFileSync(file));
  const feeding = { write: output.write, progress: () => {} };
  const outcome = await converter.convert(read, file, path.basename(file), formats, feeding);
  const listed = await converter.list(read, file, path.basename(file), feeding);
  assert.equal(listed.error, outcome.error, 'the listings fail as the report does');
  return { ...outcome, report: output.bytes(REPORT_CHANNEL), calls: output.bytes(CALLS_CHANNEL),
    summary: output.bytes(SUMMARY_CHANNEL) };
}

// The native tool, run in the file's folder so that the report names the
// file as the page does.
function nativeTool(locale, ...args) {
  return spawnSync(path.join(nativeBuild, 'qvmtsfrs'), args, {
    cwd: scratch, env: { ...process.env, LC_ALL: LOCALES[locale] }, encoding: 'buffer', maxBuffer: 1 << 30,
  });
}
function convertNatively(file, locale, input = path.basename(file)) {
  const output = path.join(scratch, 'native.xml');
  fs.rmSync(output, { force: true });
  const run = nativeTool(locale, 'convert', input, output);
  const error = run.stderr.toString().trim().replace(/^qvmtsfrs: /, '');
  return { ok: run.status === 0, error, report: fs.existsSync(output) ? fs.readFileSync(output) : null };
}
const nameNatively = (file, locale) =>
  nativeTool(locale, 'name', path.basename(file)).stdout.toString().replace(/\n$/, '');

test('the sample: its name and its report byte for byte, under Russian formats', async () => {
  const sample = path.join(scratch, 'sample.html');
  fs.copyFileSync(path.join(sourceDir, 'examples/sample.html'), sample);
  const expected = fs.readFileSync(path.join(sourceDir, 'examples/sample.report.xml'))
    .toString().replace('<filename>examples/sample.html<', '<filename>sample.html<');
  assert.deepEqual(converter.name(sample, LOCALE_FORMATS.ru), { name: '2011-02 MTS FORIS sample.html', error: '' });
  const outcome = await convertInModule(sample, LOCALE_FORMATS.ru);
  assert.equal(outcome.error, '');
  assert.equal(outcome.report.toString(), expected);
});

test('failures: the messages the native tool prints', async (t) => {
  const cases = [
    { file: 'empty.html', content: '' },
    { file: 'notes.txt', content: 'not a detail\r\n'.repeat(40) },
  ];
  for (const { file, content } of cases) {
    await t.test(file, async () => {
      const where = path.join(scratch, file);
      fs.writeFileSync(where, content);
      const native = convertNatively(where, 'ru', where);
      assert.equal(native.ok, false);
      assert.deepEqual((await convertInModule(where, LOCALE_FORMATS.ru)).error, native.error);
      assert.equal(converter.name(where, LOCALE_FORMATS.ru).name, '');
    });
  }
});

test('a read of the page that fails: the message of a failed read, and the report of what came before', async () => {
  const sample = fs.readFileSync(path.join(sourceDir, 'examples/sample.html'));
  const output = collector();
  const read = async (position) => {
    if (position > 0) throw new Error('the file changed');
    return sample.subarray(0, sample.length - 100);
  };
  const outcome = await converter.convert(read, '/in/1/sample.html', 'sample.html', LOCALE_FORMATS.ru,
    { write: output.write, progress: () => {} });
  assert.equal(outcome.ok, false);
  assert.match(outcome.error, /^Unable to read file "\/in\/1\/sample\.html"/);
  assert.match(output.bytes(REPORT_CHANNEL).toString(), /<\/report>\s*$/);
});

test('generated details: the names, reports, calls and summary of the native tool', async (t) => {
  const generator = path.join(nativeBuild, 'bench/generate_detail');
  const details = [['mixed.html', '3', '7'], ['one-block.html', '1', '11', 'one-block']];
  for (const [file, ...args] of details) execFileSync(generator, [path.join(scratch, file), ...args]);
  const files = details.map(([file]) => file);
  const heads = collector();
  assert.equal(converter.listingHeads(heads.write).ok, true);
  for (const locale of Object.keys(LOCALES)) {
    await t.test(locale, async () => {
      const calls = [heads.bytes(CALLS_CHANNEL)];
      const summary = [heads.bytes(SUMMARY_CHANNEL)];
      for (const file of files) {
        const where = path.join(scratch, file);
        assert.equal(converter.name(where, LOCALE_FORMATS[locale]).name, nameNatively(where, locale));
        const native = convertNatively(where, locale);
        assert.equal(native.ok, true, native.error);
        const outcome = await convertInModule(where, LOCALE_FORMATS[locale]);
        assert.equal(outcome.error, '');
        assert.ok(outcome.report.equals(native.report), `the reports of ${file} differ`);
        calls.push(outcome.calls);
        summary.push(outcome.summary);
      }
      // The listings do not depend on the formats.
      assert.equal(Buffer.concat(calls).toString(), nativeTool(locale, 'calls', ...files).stdout.toString());
      assert.equal(Buffer.concat(summary).toString(),
        nativeTool(locale, 'summary', '--format', 'csv', ...files).stdout.toString());
    });
  }
});
