// The page in headless Chromium: files picked, reports downloaded and
// compared byte for byte, a failure's message shown, and no request that
// leaves the page, from the single file on disk and from the site.
import { test, after } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync, spawnSync } from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';
import { Browser } from './devtools.mjs';

const pageDir = process.env.QV_PAGE_DIR;
const nativeBuild = process.env.QV_NATIVE_BUILD;
const sourceDir = process.env.QV_SOURCE_DIR;
const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'qvmtsfrs-page-'));
const downloads = path.join(scratch, 'downloads');
fs.mkdirSync(downloads);

// The details picked, with the reports the native tool makes of them.
const sample = path.join(scratch, 'sample.html');
fs.copyFileSync(path.join(sourceDir, 'examples/sample.html'), sample);
// The sample's report names the file as picked.
const expected = fs.readFileSync(path.join(sourceDir, 'examples/sample.report.xml')).toString()
  .replace('<filename>examples/sample.html<', '<filename>sample.html<');
const NOT_A_DETAIL = 'List index (1) out of bounds: not an MTS FORIS call-detail page (no completed-calls section)';
const notes = path.join(scratch, 'notes.txt');
fs.writeFileSync(notes, 'not a detail\r\n'.repeat(40));
const generated = path.join(scratch, 'generated.html');
execFileSync(path.join(nativeBuild, 'bench/generate_detail'), [generated, '2', '5']);
const nativeTool = (locale, ...args) => spawnSync(path.join(nativeBuild, 'qvmtsfrs'), args,
  { cwd: scratch, env: { ...process.env, LC_ALL: locale }, maxBuffer: 1 << 30 }).stdout;
function nativeReport(file, locale) {
  const output = path.join(scratch, 'native.xml');
  nativeTool(locale, 'convert', path.basename(file), output);
  return fs.readFileSync(output);
}

const browser = await Browser.launch();
after(async () => {
  await browser.close();
  fs.rmSync(scratch, { recursive: true, force: true });
});
await browser.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads, eventsEnabled: true });
const requests = [];
const downloaded = new Map();
browser.on(({ method, params, sessionId }) => {
  if (method === 'Network.requestWillBeSent') requests.push(params.request.url);
  if (method === 'Browser.downloadWillBegin') downloaded.set(params.guid, { name: params.suggestedFilename });
  if (method === 'Browser.downloadProgress' && params.state === 'completed') downloaded.get(params.guid).done = true;
  // The workers' requests are recorded too.
  if (method === 'Target.attachedToTarget') {
    browser.send('Network.enable', {}, params.sessionId);
    browser.send('Runtime.runIfWaitingForDebugger', {}, params.sessionId);
  }
});

async function openPage(url, language, beforeLoad = null) {
  const page = await browser.newPage();
  if (beforeLoad) await page.send('Page.addScriptToEvaluateOnNewDocument', { source: beforeLoad });
  await page.send('Target.setAutoAttach', { autoAttach: true, waitForDebuggerOnStart: true, flatten: true });
  await page.send('Network.enable');
  await page.send('Network.setUserAgentOverride', { userAgent: 'Mozilla/5.0', acceptLanguage: language });
  await page.send('Page.enable');
  await page.send('Page.navigate', { url });
  await page.waitFor("document.readyState === 'complete' && document.getElementById('files') !== null");
  return page;
}

// Picks files and waits until the table has rows in all, each done.
async function pick(page, files, rows = files.length) {
  const { root } = await page.send('DOM.getDocument');
  const { nodeId } = await page.send('DOM.querySelector', { nodeId: root.nodeId, selector: '#files' });
  await page.send('DOM.setFileInputFiles', { nodeId, files });
  await page.waitFor(`document.querySelectorAll('#details tbody tr').length === ${rows} &&
    [...document.querySelectorAll('#details td.status')].every((td) => td.matches('.done, .failed'))`);
  return page.evaluate(`[...document.querySelectorAll('#details tbody tr')].map((row) => ({
    file: row.cells[0].textContent, name: row.cells[1].textContent, status: row.cells[2].textContent,
    download: row.querySelector('a')?.download ?? null }))`);
}

// Clicks the elements that selector finds, runs the script then, and gives
// the bytes of the files they download, by name.
async function download(page, selector, count, then = '') {
  downloaded.clear();
  await page.evaluate(`document.querySelectorAll('${selector}').forEach((element) => element.click()); ${then}`);
  const deadline = Date.now() + 20000;
  while (downloaded.size < count || [...downloaded.values()].some((d) => !d.done)) {
    assert.ok(Date.now() < deadline, 'the downloads did not complete');
    await new Promise((done) => setTimeout(done, 100));
  }
  return new Map([...downloaded.values()].map(({ name }) => [name, fs.readFileSync(path.join(downloads, name))]));
}

test('the single file, opened from disk: Russian formats from the language, the sample and a failure', async () => {
  const page = await openPage(`file://${path.join(pageDir, 'qvmtsfrs.html')}`, 'ru-RU');
  assert.equal(await page.evaluate("document.getElementById('locale').value"), 'ru');
  const rows = await pick(page, [sample, notes]);
  assert.deepEqual(rows, [
    { file: 'sample.html', name: '2011-02 MTS FORIS sample.html', status: 'Converted', download: 'sample.html.xml' },
    { file: 'notes.txt', name: '', status: NOT_A_DETAIL, download: null },
  ]);
  const reports = await download(page, '#details a[download]', 1);
  assert.equal(reports.get('sample.html.xml').toString(), expected);

  // The same report again, twice, and all of them in one zip.
  await pick(page, [sample, sample], 4);
  const zip = (await download(page, '#all-reports', 1)).get('reports.zip');
  fs.writeFileSync(path.join(scratch, 'reports.zip'), zip);
  const listed = execFileSync('python3', ['-c', `import json, sys, zipfile
with zipfile.ZipFile(sys.argv[1]) as z:
    assert z.testzip() is None
    print(json.dumps({i.filename: z.read(i).decode() for i in z.infolist() if i.compress_type == zipfile.ZIP_STORED}))`,
  path.join(scratch, 'reports.zip')]).toString();
  assert.deepEqual(JSON.parse(listed), { 'sample.html.xml': expected, 'sample.html (2).xml': expected, 'sample.html (3).xml': expected });
});

test('cancelling a conversion: the file says so, the next one still converts, and the listings of the others come', async () => {
  const big = path.join(scratch, 'big.html');
  execFileSync(path.join(nativeBuild, 'bench/generate_detail'), [big, '40', '3']);
  const page = await openPage(`file://${path.join(pageDir, 'qvmtsfrs.html')}`, 'ru-RU');
  // The reports go first, so the first file's listings still wait while the big one converts.
  const picked = pick(page, [sample, big, sample]);
  await page.waitFor("document.querySelector('#details tr[data-id=\"2\"] button.cancel') !== null", 30000, 10);
  await page.evaluate("document.querySelector('#details tr[data-id=\"2\"] button.cancel').click()");
  const rows = await picked;
  assert.deepEqual(rows.map(({ status, download }) => [status, download]),
    [['Converted', 'sample.html.xml'], ['Cancelled', null], ['Converted', 'sample.html.xml']]);
  await page.waitFor("document.getElementById('listing-state').hidden && !document.getElementById('calls-csv').hidden");
  const calls = (await download(page, '#calls-csv', 1)).get('calls.csv');
  assert.ok(calls.equals(nativeTool('ru_RU.UTF-8', 'calls', 'sample.html', 'sample.html')), 'the calls differ');
  fs.rmSync(big);
});

test('a report link clicked before its Blob is made: the download waits for it and is whole', async () => {
  const bigger = path.join(scratch, 'bigger.html');
  execFileSync(path.join(nativeBuild, 'bench/generate_detail'), [bigger, '8', '5']);
  // The page's turns between pieces wait until the link has been clicked.
  const holdTurns = `window.heldTurns = []; window.realTimeout = window.setTimeout;
    window.setTimeout = (work, ms, ...rest) => (ms === undefined ? window.heldTurns.push(work) : window.realTimeout(work, ms, ...rest));`;
  const page = await openPage(`file://${path.join(pageDir, 'qvmtsfrs.html')}`, 'ru-RU', holdTurns);
  assert.equal((await pick(page, [bigger]))[0].status, 'Converted');
  assert.equal(await page.evaluate("document.querySelector('#details a[download]').hasAttribute('href')"), false);
  const reports = await download(page, '#details a[download]', 1,
    'window.setTimeout = window.realTimeout; window.heldTurns.splice(0).forEach((work) => work());');
  assert.ok(reports.get('bigger.html.xml').equals(nativeReport(bigger, 'ru_RU.UTF-8')), 'the reports differ');
  fs.rmSync(bigger);
});

test('a browser that refuses the worker: the single file converts on the page and says so', async () => {
  const refuse = "window.Worker = function () { throw new DOMException('refused', 'SecurityError'); };";
  const page = await openPage(`file://${path.join(pageDir, 'qvmtsfrs.html')}`, 'ru-RU', refuse);
  const rows = await pick(page, [sample]);
  assert.equal(rows[0].status, 'Converted');
  assert.match(await page.evaluate("document.getElementById('mode').hidden ? '' : document.getElementById('mode').textContent"),
    /converted on the page itself/);
  assert.equal((await download(page, '#details a[download]', 1)).get('sample.html.xml').toString(), expected);
});

test('the site from a web server: English formats, a generated detail as the native tool converts it', async () => {
  const site = path.join(pageDir, 'site');
  const server = http.createServer((request, response) => {
    const file = path.join(site, path.normalize(new URL(request.url, 'http://x').pathname.replace(/\/$/, '/index.html')));
    if (!file.startsWith(site) || !fs.existsSync(file)) { response.writeHead(404).end(); return; }
    const type = file.endsWith('.js') ? 'text/javascript' : file.endsWith('.css') ? 'text/css' : 'text/html';
    response.writeHead(200, { 'Content-Type': type }).end(fs.readFileSync(file));
  });
  await new Promise((done) => server.listen(0, '127.0.0.1', done));
  try {
    const origin = `http://127.0.0.1:${server.address().port}`;
    const page = await openPage(`${origin}/`, 'en-US');
    assert.equal(await page.evaluate("document.getElementById('locale').value"), 'en');
    const rows = await pick(page, [generated]);
    assert.equal(rows[0].status, 'Converted');
    const reports = await download(page, '#details a[download]', 1);
    assert.ok(reports.get('generated.html.xml').equals(nativeReport(generated, 'en_US.UTF-8')), 'the reports differ');
    // The listings of all files, from a second walk after the report, and
    // the pictures drawn from them.
    await page.waitFor("document.getElementById('listing-state').hidden && !document.getElementById('calls-csv').hidden");
    const listings = await download(page, '#calls-csv, #summary-csv', 2);
    assert.ok(listings.get('calls.csv').equals(nativeTool('en_US.UTF-8', 'calls', 'generated.html')), 'the calls differ');
    const summary = nativeTool('en_US.UTF-8', 'summary', '--format', 'csv', 'generated.html');
    assert.ok(listings.get('summary.csv').equals(summary), 'the summaries differ');
    await page.waitFor("document.querySelectorAll('#pictures svg').length > 1");
    assert.equal(await page.evaluate("document.querySelectorAll('#summary tbody tr').length"),
      summary.toString().trim().split('\n').length - 1);
    // The page's policy refuses a connection before it is made.
    assert.equal(await page.evaluate("fetch('https://example.com/').then(() => 'sent', () => 'refused')"), 'refused');
    const elsewhere = requests.filter((url) => !/^(file|blob|data):/.test(url) && !url.startsWith(`${origin}/`));
    assert.deepEqual(elsewhere, []);
  } finally {
    server.close();
  }
});
