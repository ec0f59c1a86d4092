// The page's main thread: takes the files, hands them to the worker that
// owns the converter, and shows each file's name, status and report.
import { CallTally, drawPictures, parseCsv } from './charts.js';
import { storedZip } from './zip.js';

const filesInput = document.getElementById('files');
const localeSelect = document.getElementById('locale');
const dropZone = document.getElementById('input');
const detailsTable = document.getElementById('details');
const allReports = document.getElementById('all-reports');
const listingsSection = document.getElementById('listings');
const callsLink = document.getElementById('calls-csv');
const summaryLink = document.getElementById('summary-csv');
const summaryTable = document.getElementById('summary');
const picturesBox = document.getElementById('pictures');
const listingState = document.getElementById('listing-state');

// The user's language picks the formats the host would have used.
localeSelect.value = (navigator.language || '').toLowerCase().startsWith('ru') ? 'ru' : 'en';

// id -> { file, row cells, start time }, for files sent and not yet done.
const pending = new Map();
// id -> the same, for files done whose listings have not come yet.
const awaitingListings = new Map();
// The reports made so far, in the order of their rows.
const reports = [];
// The listings' header rows, and each file's rows by id: the tool's "calls"
// and "summary" of all files are these joined in the order of the rows.
let listingHeads = null;
const listings = new Map();
const tally = new CallTally();
let tallied = Promise.resolve();
let nextId = 1;
const modeNote = document.getElementById('mode');
let converter = startConverter();

// The single-file page carries the worker's script in itself; the site has
// it beside the page. A browser that refuses the worker (some do for a page
// opened from disk) gets the same script run on the page itself.
function startConverter() {
  const embedded = document.getElementById('worker-source');
  const url = embedded
    ? URL.createObjectURL(new Blob([embedded.textContent], { type: 'text/javascript' }))
    : 'worker.js';
  let worker;
  try {
    worker = new Worker(url);
  } catch {
    return startOnPage(embedded);
  }
  const started = { send: (message, transfer) => worker.postMessage(message, transfer), stop: () => worker.terminate(), stops: true };
  let heardFrom = false;
  worker.onmessage = (event) => {
    heardFrom = true;
    heard(event.data);
  };
  // Refused later rather than at once: the files waiting go to the page.
  worker.onerror = () => {
    if (heardFrom || converter !== started) return;
    converter = startOnPage(embedded);
    for (const [id, waiting] of pending) send(id, waiting);
  };
  return started;
}

function startOnPage(embedded) {
  modeNote.textContent = 'This browser refused this page a worker, so the files are converted on the page '
    + 'itself: it pauses while a file converts, and each file is read into memory first.';
  modeNote.hidden = false;
  const loaded = new Promise((resolve, reject) => {
    const script = document.createElement('script');
    if (embedded) {
      script.textContent = embedded.textContent;
      document.head.append(script);
      resolve();
    } else {
      script.src = 'worker.js';
      script.onload = resolve;
      script.onerror = reject;
      document.head.append(script);
    }
  }).then(() => window.startConverterOnPage((message) => heard(message)));
  return { send: (request) => loaded.then((receive) => receive(request)), stop: () => {}, stops: false };
}

function cell(row, className = '') {
  const td = row.insertCell();
  td.className = className;
  return td;
}

function addFile(file) {
  const id = nextId++;
  const row = detailsTable.tBodies[0].insertRow();
  row.dataset.id = String(id);
  cell(row, 'file').textContent = file.name;
  const entry = { id, file, name: cell(row, 'name'), status: cell(row, 'status'), report: cell(row, 'report') };
  entry.status.textContent = 'Waiting';
  pending.set(id, entry);
  detailsTable.hidden = false;
  send(id, entry);
}

function send(id, entry) {
  entry.locale = entry.locale || localeSelect.value;
  converter.send({ id, file: entry.file, locale: entry.locale });
}

function showProgress(entry, bytesRead) {
  if (!entry.bar) {
    entry.started = performance.now();
    entry.status.textContent = '';
    entry.bar = document.createElement('progress');
    entry.bar.max = 1;
    entry.rate = document.createElement('span');
    entry.rate.className = 'rate';
    entry.status.append(entry.bar, entry.rate);
    // A conversion on the page itself cannot be stopped halfway.
    if (converter.stops) {
      const cancel = document.createElement('button');
      cancel.type = 'button';
      cancel.textContent = 'Cancel';
      cancel.className = 'cancel';
      cancel.onclick = () => cancelFile(entry);
      entry.status.append(' ', cancel);
    }
  }
  const share = entry.file.size > 0 ? bytesRead / entry.file.size : 1;
  const seconds = (performance.now() - entry.started) / 1000;
  entry.bar.value = share;
  entry.rate.textContent = `${Math.round(share * 100)} %, ${(bytesRead / 1e6 / Math.max(seconds, 0.001)).toFixed(1)} MB/s`;
}

// An output's pieces become one Blob a few at a time, so that the page stays
// responsive; a click on a report's link before then waits for it.
const PIECES_PER_TURN = 16;
async function blobInTurns(pieces, type) {
  const parts = [];
  for (const [i, piece] of pieces.entries()) {
    parts.push(new Blob([piece]));
    pieces[i] = null;
    if (i % PIECES_PER_TURN === PIECES_PER_TURN - 1) await new Promise((resume) => setTimeout(resume));
  }
  return new Blob(parts, { type });
}

function finish(entry, { name, ok, error, report: pieces }) {
  entry.name.textContent = name || '';
  entry.status.textContent = ok ? 'Converted' : error;
  entry.status.className = `status ${ok ? 'done' : 'failed'}`;
  if (ok) {
    const report = blobInTurns(pieces, 'application/xml');
    const link = document.createElement('a');
    report.then((blob) => { link.href = URL.createObjectURL(blob); });
    link.addEventListener('click', (event) => {
      if (link.href) return;
      event.preventDefault();
      report.then(() => link.click());
    });
    link.download = `${entry.file.name}.xml`;
    link.textContent = link.download;
    entry.report.append(link);
    reports.push({ id: entry.id, name: link.download, blob: report });
    allReports.hidden = false;
    listingsSection.hidden = false;
  }
}

// The listings come from a second walk over each file, after its report.
function showListingState(entry = awaitingListings.values().next().value, bytesRead = 0) {
  listingState.hidden = awaitingListings.size === 0;
  if (listingState.hidden) return;
  listingsSection.hidden = false;
  const share = entry.file.size > 0 ? bytesRead / entry.file.size : 0;
  listingState.textContent = `Listing the calls of ${entry.file.name}: ${Math.round(share * 100)} %`
    + (awaitingListings.size > 1 ? ` (${awaitingListings.size} files to go)` : '');
}

// Names inside one archive must differ: a second "a.html.xml" becomes "a.html (2).xml".
function uniqueNames(entries) {
  const seen = new Map();
  return entries.map(({ name, blob }) => {
    const count = (seen.get(name) || 0) + 1;
    seen.set(name, count);
    return { name: count === 1 ? name : name.replace(/\.xml$/, ` (${count}).xml`), blob };
  });
}

allReports.addEventListener('click', async () => {
  allReports.disabled = true;
  try {
    const ordered = await Promise.all([...reports].sort((a, b) => a.id - b.id)
      .map(async ({ name, blob }) => ({ name, blob: await blob })));
    const link = document.createElement('a');
    link.href = URL.createObjectURL(await storedZip(uniqueNames(ordered)));
    link.download = 'reports.zip';
    link.click();
    setTimeout(() => URL.revokeObjectURL(link.href), 60000);
  } finally {
    allReports.disabled = false;
  }
});

function replaceLink(link, blob) {
  if (link.href) URL.revokeObjectURL(link.href);
  link.href = URL.createObjectURL(blob);
}

function showSummary(texts) {
  const [head, ...rows] = parseCsv(texts.join(''));
  summaryTable.tHead.replaceChildren();
  summaryTable.tBodies[0].replaceChildren();
  const headRow = summaryTable.tHead.insertRow();
  for (const name of head) headRow.append(Object.assign(document.createElement('th'), { textContent: name }));
  for (const row of rows) {
    const tr = summaryTable.tBodies[0].insertRow();
    row.forEach((value, i) => Object.assign(tr.insertCell(), { textContent: value, className: i >= 4 ? 'number' : '' }));
  }
}

async function showListings() {
  if (!listingHeads || listings.size === 0) return;
  callsLink.hidden = false;
  summaryLink.hidden = false;
  const ordered = [...listings.entries()].sort(([a], [b]) => a - b).map(([, listing]) => listing);
  replaceLink(callsLink, new Blob([listingHeads.calls, ...ordered.map((l) => l.calls)], { type: 'text/csv' }));
  const summaries = [listingHeads.summary, ...ordered.map((l) => l.summary)];
  replaceLink(summaryLink, new Blob(summaries, { type: 'text/csv' }));
  showSummary(await Promise.all(summaries.map((blob) => blob.text())));
  listingsSection.hidden = false;
}

async function addListing(id, callsPieces, summaryPieces) {
  if (callsPieces) {
    const [calls, summary] = await Promise.all([blobInTurns(callsPieces, 'text/csv'), blobInTurns(summaryPieces, 'text/csv')]);
    listings.set(id, { calls, summary });
    showListings();
    tallied = tallied.then(() => tally.addBlob(calls)).then(() => drawPictures(tally, picturesBox));
  }
  awaitingListings.delete(id);
  showListingState();
}

// A walk in the worker asks for a block of its file.
function readBlock(entry, { id, position, size }) {
  entry.file.slice(position, position + size).arrayBuffer().then(
    (bytes) => converter.send({ type: 'block', id, position, bytes }, [bytes]),
    (error) => converter.send({ type: 'block', id, position, error: String(error) }));
}

function heard(message) {
  if (message.type === 'heads') {
    listingHeads = message;
    showListings();
    return;
  }
  const entry = pending.get(message.id) || awaitingListings.get(message.id);
  if (!entry) return;
  if (message.type === 'read') {
    readBlock(entry, message);
  } else if (message.type === 'listing') {
    showListingState(entry, message.bytesRead);
  } else if (message.type === 'listings') {
    addListing(message.id, message.calls, message.summary);
  } else if (message.type === 'progress') {
    showProgress(entry, message.bytesRead);
  } else if (pending.delete(message.id)) {
    awaitingListings.set(message.id, entry);
    finish(entry, message);
    showListingState();
  }
}

// The worker is busy inside the conversion, so it is stopped and a new one
// takes the files still waiting, and the listings still to make.
function cancelFile(entry) {
  converter.stop();
  for (const [id, waiting] of pending) {
    if (waiting === entry) pending.delete(id);
  }
  finish(entry, { ok: false, error: 'Cancelled' });
  converter = startConverter();
  for (const [id, waiting] of awaitingListings) converter.send({ id, file: waiting.file, listOnly: true });
  for (const [id, waiting] of pending) send(id, waiting);
}

filesInput.addEventListener('change', () => {
  for (const file of filesInput.files) addFile(file);
  filesInput.value = '';
});
dropZone.addEventListener('dragover', (event) => {
  event.preventDefault();
  dropZone.classList.add('over');
});
dropZone.addEventListener('dragleave', () => dropZone.classList.remove('over'));
dropZone.addEventListener('drop', (event) => {
  event.preventDefault();
  dropZone.classList.remove('over');
  for (const file of event.dataTransfer.files) addFile(file);
});
