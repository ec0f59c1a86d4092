// The README's picture of the page: the single file, opened from disk in
// headless Chromium, with the sample detail converted.
//   node screenshot.mjs WASM_BUILD SAMPLE OUTPUT.png
import fs from 'node:fs';
import path from 'node:path';
import { Browser } from './tests/devtools.mjs';

const [wasmBuild, sample, output] = process.argv.slice(2).map((arg) => path.resolve(arg));
const browser = await Browser.launch();
try {
  const page = await browser.newPage();
  await page.send('Network.setUserAgentOverride', { userAgent: 'Mozilla/5.0', acceptLanguage: 'ru-RU' });
  await page.send('Emulation.setDeviceMetricsOverride', { width: 1000, height: 900, deviceScaleFactor: 1, mobile: false });
  await page.send('Page.navigate', { url: `file://${path.join(wasmBuild, 'qvmtsfrs.html')}` });
  await page.waitFor("document.readyState === 'complete'");
  const { root } = await page.send('DOM.getDocument');
  const { nodeId } = await page.send('DOM.querySelector', { nodeId: root.nodeId, selector: '#files' });
  await page.send('DOM.setFileInputFiles', { nodeId, files: [sample] });
  await page.waitFor("document.querySelectorAll('#pictures svg').length > 1");
  const { data } = await page.send('Page.captureScreenshot', { format: 'png', captureBeyondViewport: true,
    clip: { x: 0, y: 0, width: 1000, height: await page.evaluate('document.body.scrollHeight'), scale: 1 } });
  fs.writeFileSync(output, Buffer.from(data, 'base64'));
} finally {
  await browser.close();
}
