// A small client of the DevTools protocol over --remote-debugging-pipe:
// headless Chromium, offline, driven from node without any package.
import { spawn } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';

const FLAGS = [
  '--headless', '--no-sandbox', '--disable-gpu', '--disable-background-networking',
  '--disable-component-update', '--disable-sync', '--no-first-run', '--disable-extensions',
  '--no-default-browser-check', '--mute-audio', '--remote-debugging-pipe',
  // Every name resolves to nothing, so no request could leave the machine.
  '--host-resolver-rules=MAP * ~NOTFOUND, EXCLUDE 127.0.0.1',
];

export class Browser {
  static async launch() {
    const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'qvmtsfrs-chromium-'));
    const child = spawn(process.env.QV_CHROMIUM || 'chromium', [...FLAGS, `--user-data-dir=${profile}`, 'about:blank'],
      { stdio: ['ignore', 'ignore', 'pipe', 'pipe', 'pipe'] });
    child.stderr.on('data', () => {});
    return new Browser(child, profile);
  }

  constructor(child, profile) {
    this.child = child;
    this.profile = profile;
    this.nextId = 1;
    this.waiting = new Map();
    this.listeners = [];
    let buffered = '';
    child.stdio[4].on('data', (chunk) => {
      buffered += chunk.toString();
      let end;
      while ((end = buffered.indexOf('\0')) >= 0) {
        this.receive(JSON.parse(buffered.slice(0, end)));
        buffered = buffered.slice(end + 1);
      }
    });
  }

  receive(message) {
    if (message.id !== undefined) {
      const { resolve, reject } = this.waiting.get(message.id);
      this.waiting.delete(message.id);
      if (message.error) reject(new Error(`${message.error.message} ${message.error.data || ''}`));
      else resolve(message.result);
      return;
    }
    for (const listener of this.listeners) listener(message);
  }

  send(method, params = {}, sessionId = undefined) {
    const id = this.nextId++;
    this.child.stdio[3].write(`${JSON.stringify({ id, method, params, sessionId })}\0`);
    return new Promise((resolve, reject) => this.waiting.set(id, { resolve, reject }));
  }

  on(listener) {
    this.listeners.push(listener);
  }

  // A new tab, its own session, with its workers attached too.
  async newPage() {
    const { targetId } = await this.send('Target.createTarget', { url: 'about:blank' });
    const { sessionId } = await this.send('Target.attachToTarget', { targetId, flatten: true });
    return new Page(this, sessionId);
  }

  // The profile goes once the browser has gone: it writes there to the end.
  async close() {
    const exited = new Promise((done) => this.child.once('exit', done));
    if (this.child.exitCode === null) {
      this.send('Browser.close').catch(() => {});
      const timer = setTimeout(() => this.child.kill('SIGKILL'), 5000);
      await exited;
      clearTimeout(timer);
    }
    fs.rmSync(this.profile, { recursive: true, force: true, maxRetries: 3 });
  }
}

export class Page {
  constructor(browser, sessionId) {
    this.browser = browser;
    this.sessionId = sessionId;
  }

  send(method, params = {}) {
    return this.browser.send(method, params, this.sessionId);
  }

  async evaluate(expression) {
    const { result, exceptionDetails } = await this.send('Runtime.evaluate',
      { expression, awaitPromise: true, returnByValue: true });
    if (exceptionDetails) throw new Error(exceptionDetails.exception?.description || exceptionDetails.text);
    return result.value;
  }

  // Polls until the expression gives a true value, or fails after timeoutMs.
  async waitFor(expression, timeoutMs = 30000, pollMs = 100) {
    const deadline = Date.now() + timeoutMs;
    for (;;) {
      const value = await this.evaluate(expression);
      if (value) return value;
      if (Date.now() > deadline) throw new Error(`timed out waiting for ${expression}`);
      await new Promise((done) => setTimeout(done, pollMs));
    }
  }
}
