// Assembles the page from its sources and the converter module: the site
// (index.html beside its scripts and style) and one self-contained
// qvmtsfrs.html that works opened from disk. Nothing is fetched at run time:
// the module's bytes travel inside the worker's script.
//   node build_page.mjs SOURCE_DIR MODULE_DIR OUTPUT_DIR
import crypto from 'node:crypto';
import fs from 'node:fs';
import path from 'node:path';

const [sourceDir, moduleDir, outputDir] = process.argv.slice(2);
const read = (...parts) => fs.readFileSync(path.join(...parts), 'utf8');
const pageDir = path.join(sourceDir, 'page');

// The page's modules, in the order the single file joins them.
const PAGE_MODULES = ['charts.js', 'zip.js', 'page.js'];

const workerScript = [
  read(moduleDir, 'qvmtsfrs_core.js'),
  read(sourceDir, 'converter.js'),
  `const WASM_BASE64 = '${fs.readFileSync(path.join(moduleDir, 'qvmtsfrs_core.wasm')).toString('base64')}';`,
  read(pageDir, 'worker.js'),
].join('\n');
const style = read(pageDir, 'style.css');
const template = read(pageDir, 'index.html');

const NO_CONNECTION = "default-src 'none'; connect-src 'none'; base-uri 'none'; form-action 'none'; img-src blob: data:";

function fill(values) {
  return template.replace(/@([A-Z]+)@/g, (whole, key) => {
    if (!(key in values)) throw new Error(`no value for ${whole}`);
    return values[key];
  });
}

// The single file's modules become one: the imports between them go, and
// so do their export keywords.
function joinedModules() {
  return PAGE_MODULES.map((name) => read(pageDir, name)
    .replace(/^import .* from '\.\/[a-z_]+\.js';\n/gm, '')
    .replace(/^export /gm, '')).join('\n');
}

// Inline text must not close its element early.
function inline(text) {
  if (/<\/(script|style)/i.test(text)) throw new Error('inline text holds a closing tag');
  return text;
}
const hash = (text) => `'sha256-${crypto.createHash('sha256').update(text).digest('base64')}'`;

function writeSite() {
  const site = path.join(outputDir, 'site');
  fs.mkdirSync(site, { recursive: true });
  const html = fill({
    CSP: `${NO_CONNECTION}; script-src 'self' 'wasm-unsafe-eval'; worker-src 'self'; style-src 'self'`,
    STYLE: '<link rel="stylesheet" href="style.css">',
    WORKER: '',
    SCRIPT: '<script type="module" src="page.js"></script>',
  });
  fs.writeFileSync(path.join(site, 'index.html'), html);
  fs.writeFileSync(path.join(site, 'style.css'), style);
  fs.writeFileSync(path.join(site, 'worker.js'), workerScript);
  for (const name of PAGE_MODULES) fs.copyFileSync(path.join(pageDir, name), path.join(site, name));
}

function writeSingleFile() {
  const script = inline(joinedModules());
  const html = fill({
    // The worker's script is allowed on the page too, for a browser that
    // refuses the worker.
    CSP: `${NO_CONNECTION}; script-src ${hash(script)} ${hash(workerScript)} 'wasm-unsafe-eval'; worker-src blob:; style-src ${hash(style)}`,
    STYLE: `<style>${inline(style)}</style>`,
    WORKER: `<script id="worker-source" type="text/plain">${inline(workerScript)}</script>`,
    SCRIPT: `<script type="module">${script}</script>`,
  });
  fs.writeFileSync(path.join(outputDir, 'qvmtsfrs.html'), html);
}

writeSite();
writeSingleFile();
