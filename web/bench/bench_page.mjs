// How long a generated detail takes from pick to report: natively (the
// tool names and converts it, as the host does), in node (the page's module
// names and converts it), and in headless Chromium (the single-file page,
// from the file picked to its report link). Then how long until the
// listings are there too (node: the module's listing walk added; Chromium:
// the page's calls and summary). In node the script reads the detail and
// feeds the walks, as the page does. Prints the best time of a few runs with
// the slowest in brackets, and the best's ratio to native.
//   node bench_page.mjs NATIVE_BUILD WASM_BUILD [MEGABYTES...]   (default 30 300)
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { createRequire } from 'node:module';
import { fileURLToPath } from 'node:url';
import { Browser } from '../tests/devtools.mjs';

const require = createRequire(import.meta.url);
const [nativeBuild, wasmBuild, ...sizeArgs] = process.argv.slice(2).map((arg, i) => (i < 2 ? path.resolve(arg) : arg));
const sizes = sizeArgs.length > 0 ? sizeArgs : ['30', '300'];
const webDir = path.dirname(path.dirname(fileURLToPath(import.meta.url)));
const { LOCALE_FORMATS, openConverter } = require(path.join(webDir, 'converter.js'));
const createConverterModule = require(path.join(wasmBuild, 'web/qvmtsfrs_core.js'));
const RUNS = 3;

const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'qvmtsfrs-bench-page-'));
process.on('exit', () => fs.rmSync(scratch, { recursive: true, force: true }));

// work gives the milliseconds of each of its stages; the best and the
// worst of each over the runs, in seconds.
async function timed(work) {
  const times = [];
  for (let run = 0; run < RUNS; ++run) times.push(await work());
  return times[0].map((_, stage) => {
    const stageTimes = times.map((stages) => stages[stage] / 1000);
    return { best: Math.min(...stageTimes), worst: Math.max(...stageTimes) };
  });
}
const since = (started) => performance.now() - started;

function native(detail) {
  const tool = path.join(nativeBuild, 'qvmtsfrs');
  const options = { env: { ...process.env, LC_ALL: 'ru_RU.UTF-8' }, stdio: 'ignore' };
  return timed(() => {
    const started = performance.now();
    execFileSync(tool, ['name', detail], options);
    execFileSync(tool, ['convert', detail, path.join(scratch, 'native.xml')], options);
    return [since(started)];
  });
}

async function inNode(detail) {
  const module = await createConverterModule({ wasmBinary: fs.readFileSync(path.join(wasmBuild, 'web/qvmtsfrs_core.wasm')) });
  module.FS.mkdirTree(scratch);
  module.FS.mount(module.NODEFS, { root: scratch }, scratch);
  const converter = openConverter(module);
  const output = { write: (channel, bytes) => bytes.slice(), progress: () => {} };
  // As the page feeds the walks: blocks the script reads.
  const BLOCK = 16 << 20;
  const read = (descriptor) => async (position) => {
    const block = Buffer.allocUnsafe(BLOCK);
    return block.subarray(0, fs.readSync(descriptor, block, 0, BLOCK, position));
  };
  const descriptor = fs.openSync(detail, 'r');
  try {
    return await timed(async () => {
      const started = performance.now();
      converter.name(detail, LOCALE_FORMATS.ru);
      const file = path.basename(detail);
      const outcome = await converter.convert(read(descriptor), detail, file, LOCALE_FORMATS.ru, output);
      if (!outcome.ok) throw new Error(outcome.error);
      const converted = since(started);
      await converter.list(read(descriptor), detail, file, output);
      return [converted, since(started)];
    });
  } finally {
    fs.closeSync(descriptor);
  }
}

async function inChromium(browser, detail) {
  return timed(async () => {
    const page = await browser.newPage();
    await page.send('Network.setUserAgentOverride', { userAgent: 'Mozilla/5.0', acceptLanguage: 'ru-RU' });
    await page.send('Page.navigate', { url: `file://${path.join(wasmBuild, 'qvmtsfrs.html')}` });
    await page.waitFor("document.readyState === 'complete'");
    const { root } = await page.send('DOM.getDocument');
    const { nodeId } = await page.send('DOM.querySelector', { nodeId: root.nodeId, selector: '#files' });
    const started = performance.now();
    await page.send('DOM.setFileInputFiles', { nodeId, files: [detail] });
    await page.waitFor("document.querySelector('#details td.status.done, #details td.status.failed') !== null", 600000, 20);
    const converted = since(started);
    await page.waitFor("document.getElementById('listing-state').hidden", 600000, 20);
    const listed = since(started);
    await page.send('Page.close');
    return [converted, listed];
  });
}

const seconds = ({ best, worst }) => `${best.toFixed(2)} (${worst.toFixed(2)}) s`;
const browser = await Browser.launch();
try {
  console.log(`best (slowest) of ${RUNS} runs; ratio of the best to native`);
  console.log('size     native            stage     node                     Chromium');
  for (const size of sizes) {
    const detail = path.join(scratch, `detail-${size}.html`);
    execFileSync(path.join(nativeBuild, 'bench/generate_detail'), [detail, size], { stdio: 'ignore' });
    const [nativeTime] = await native(detail);
    const nodeTimes = await inNode(detail);
    const chromiumTimes = await inChromium(browser, detail);
    const withRatio = (time) => `${seconds(time)} ${(time.best / nativeTime.best).toFixed(1)}x`.padEnd(25);
    ['report', 'listings'].forEach((stage, i) => {
      const first = i === 0 ? `${size} MB`.padEnd(9) + seconds(nativeTime).padEnd(18) : ' '.repeat(27);
      console.log(`${first}${stage.padEnd(10)}${withRatio(nodeTimes[i])}${withRatio(chromiumTimes[i])}`);
    });
    fs.rmSync(detail);
  }
} finally {
  await browser.close();
}
