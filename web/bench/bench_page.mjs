// How long a generated detail takes from pick to report: natively (the
// tool names and converts it, as the host does), in node (the page's module
// names and converts it), and in headless Chromium (the single-file page,
// from the file picked to its report link). Prints the times and the ratios
// to native; the best of a few runs each.
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

// work may time itself and give milliseconds; otherwise the whole call counts.
async function best(work) {
  let fastest = Infinity;
  for (let run = 0; run < RUNS; ++run) {
    const started = performance.now();
    const timed = await work();
    fastest = Math.min(fastest, typeof timed === 'number' ? timed : performance.now() - started);
  }
  return fastest / 1000;
}

function native(detail) {
  const tool = path.join(nativeBuild, 'qvmtsfrs');
  const options = { env: { ...process.env, LC_ALL: 'ru_RU.UTF-8' }, stdio: 'ignore' };
  return best(() => {
    execFileSync(tool, ['name', detail], options);
    execFileSync(tool, ['convert', detail, path.join(scratch, 'native.xml')], options);
  });
}

async function inNode(detail) {
  const module = await createConverterModule({ wasmBinary: fs.readFileSync(path.join(wasmBuild, 'web/qvmtsfrs_core.wasm')) });
  module.FS.mkdirTree(scratch);
  module.FS.mount(module.NODEFS, { root: scratch }, scratch);
  const converter = openConverter(module);
  return best(() => {
    converter.name(detail, LOCALE_FORMATS.ru);
    const parts = [];
    const outcome = converter.convert(detail, path.basename(detail), LOCALE_FORMATS.ru,
      { write: (channel, bytes) => parts.push(bytes.slice()), progress: () => {} });
    if (!outcome.ok) throw new Error(outcome.error);
  });
}

async function inChromium(browser, detail) {
  return best(async () => {
    const page = await browser.newPage();
    await page.send('Network.setUserAgentOverride', { userAgent: 'Mozilla/5.0', acceptLanguage: 'ru-RU' });
    await page.send('Page.navigate', { url: `file://${path.join(wasmBuild, 'qvmtsfrs.html')}` });
    await page.waitFor("document.readyState === 'complete'");
    const { root } = await page.send('DOM.getDocument');
    const { nodeId } = await page.send('DOM.querySelector', { nodeId: root.nodeId, selector: '#files' });
    const started = performance.now();
    await page.send('DOM.setFileInputFiles', { nodeId, files: [detail] });
    await page.waitFor("document.querySelector('#details td.status.done, #details td.status.failed') !== null", 600000, 20);
    const elapsed = performance.now() - started;
    await page.send('Page.close');
    return elapsed;
  });
}

const browser = await Browser.launch();
try {
  console.log('size      native     node (ratio)       Chromium (ratio)');
  for (const size of sizes) {
    const detail = path.join(scratch, `detail-${size}.html`);
    execFileSync(path.join(nativeBuild, 'bench/generate_detail'), [detail, size], { stdio: 'ignore' });
    const nativeTime = await native(detail);
    const nodeTime = await inNode(detail);
    const chromiumTime = await inChromium(browser, detail);
    const ratio = (time) => `${time.toFixed(2)} s (${(time / nativeTime).toFixed(1)}x)`;
    console.log(`${`${size} MB`.padEnd(10)}${`${nativeTime.toFixed(2)} s`.padEnd(11)}${ratio(nodeTime).padEnd(19)}${ratio(chromiumTime)}`);
    fs.rmSync(detail);
  }
} finally {
  await browser.close();
}
