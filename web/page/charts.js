// Pictures of the calls, drawn as SVG from the rows of the calls listing:
// per subscriber the calls of each day, out and in, and the ten other
// numbers with the most calls.

// One CSV record per line; a quoted field may hold a line break, so a line
// with an open quote takes the next one.
export function parseCsv(text) {
  const records = [];
  let pending = '';
  for (const line of text.split('\n')) {
    const whole = pending ? `${pending}\n${line}` : line;
    if ((whole.match(/"/g) || []).length % 2 === 1) {
      pending = whole;
      continue;
    }
    pending = '';
    if (whole !== '') records.push(splitRecord(whole));
  }
  return records;
}

function splitRecord(line) {
  const fields = [];
  let at = 0;
  for (;;) {
    if (line[at] === '"') {
      let value = '';
      let i = at + 1;
      for (;;) {
        const quote = line.indexOf('"', i);
        value += line.slice(i, quote);
        if (line[quote + 1] === '"') {
          value += '"';
          i = quote + 2;
          continue;
        }
        at = quote + 1;
        break;
      }
      fields.push(value);
    } else {
      const comma = line.indexOf(',', at);
      fields.push(line.slice(at, comma < 0 ? line.length : comma));
      at = comma < 0 ? line.length : comma;
    }
    if (at >= line.length) return fields;
    at += 1;  // the comma
  }
}

// The sums the pictures show, added up from the calls listing's rows.
export class CallTally {
  constructor() {
    this.days = new Map();     // "file phone" -> Map(day -> { out, in })
    this.numbers = new Map();  // number -> { count, seconds, charge }
    this.rest = '';
  }

  // Rows of the calls listing, in pieces cut anywhere.
  add(text, last = false) {
    const joined = this.rest + text;
    const end = last ? joined.length : joined.lastIndexOf('\n') + 1;
    this.rest = joined.slice(end);
    for (const [file, phone, time, direction, number, , , , , seconds, , charge] of parseCsv(joined.slice(0, end))) {
      if (file === 'file' && phone === 'phone') continue;  // the header row
      const key = `${file} ${phone}`;
      if (!this.days.has(key)) this.days.set(key, new Map());
      const days = this.days.get(key);
      const day = time.slice(0, 10);
      if (!days.has(day)) days.set(day, { out: 0, in: 0 });
      days.get(day)[direction === 'in' ? 'in' : 'out'] += 1;
      const other = number.trim();
      if (other === '') continue;
      const sums = this.numbers.get(other) || { count: 0, seconds: 0, charge: 0 };
      sums.count += 1;
      sums.seconds += Number(seconds) || 0;
      sums.charge += Number(charge) || 0;
      this.numbers.set(other, sums);
    }
  }

  // The listing's text read in slices, so that a big one is never one string.
  async addBlob(blob) {
    const decoder = new TextDecoder();
    const slice = 4 << 20;
    for (let start = 0; start < blob.size; start += slice) {
      this.add(decoder.decode(await blob.slice(start, start + slice).arrayBuffer(), { stream: true }));
    }
    this.add(decoder.decode(), true);
  }
}

const SVG = 'http://www.w3.org/2000/svg';
function svgElement(name, attributes, text) {
  const element = document.createElementNS(SVG, name);
  for (const [key, value] of Object.entries(attributes)) element.setAttribute(key, String(value));
  if (text !== undefined) element.textContent = text;
  return element;
}

const OUT_COLOUR = '#2b6cb0';
const IN_COLOUR = '#dd6b20';

// Every day from the first to the last that has calls, at most a year and
// a bit; days that are no dates are left out.
const MAX_DAYS = 400;
const DAY_MS = 86400000;
function calendar(days) {
  const times = [...days.keys()].map((day) => [day, Date.parse(`${day}T00:00:00Z`)]).filter(([, t]) => !Number.isNaN(t));
  if (times.length === 0) return [];
  const first = Math.min(...times.map(([, t]) => t));
  const last = Math.min(Math.max(...times.map(([, t]) => t)), first + (MAX_DAYS - 1) * DAY_MS);
  const span = [];
  for (let t = first; t <= last; t += DAY_MS) {
    const day = new Date(t).toISOString().slice(0, 10);
    span.push([day, days.get(day) || { out: 0, in: 0 }]);
  }
  return span;
}

// Calls per day of one subscriber: a pair of bars a day, out and in.
function dayChart(title, days) {
  const ordered = calendar(days);
  const most = Math.max(1, ...ordered.map(([, { out, in: incoming }]) => Math.max(out, incoming)));
  const barWidth = 6;
  const height = 120;
  const width = Math.max(240, 40 + ordered.length * (2 * barWidth + 4));
  const svg = svgElement('svg', { width, height: height + 40, viewBox: `0 0 ${width} ${height + 40}`, role: 'img' });
  svg.append(svgElement('title', {}, `${title}: calls per day, out and in`));
  svg.append(svgElement('text', { x: 0, y: 12, 'font-size': 12, fill: '#1d1d1f' }, title));
  svg.append(svgElement('text', { x: 0, y: 30, 'font-size': 10, fill: '#555' }, `${most} a day at most`));
  ordered.forEach(([day, { out, in: incoming }], i) => {
    const x = 40 + i * (2 * barWidth + 4);
    for (const [count, offset, colour] of [[out, 0, OUT_COLOUR], [incoming, barWidth, IN_COLOUR]]) {
      const barHeight = (count / most) * (height - 40);
      const bar = svgElement('rect', { x: x + offset, y: height - barHeight, width: barWidth, height: barHeight, fill: colour });
      bar.append(svgElement('title', {}, `${day}: ${count} ${colour === OUT_COLOUR ? 'out' : 'in'}`));
      svg.append(bar);
    }
  });
  if (ordered.length > 0) {
    svg.append(svgElement('text', { x: 40, y: height + 14, 'font-size': 10, fill: '#555' }, ordered[0][0]));
    svg.append(svgElement('text', { x: width, y: height + 14, 'font-size': 10, fill: '#555', 'text-anchor': 'end' },
      ordered[ordered.length - 1][0]));
  }
  return svg;
}

// The ten other numbers with the most calls: a bar each, with its seconds and charge.
function topNumbersChart(numbers) {
  const top = [...numbers.entries()].sort(([a, x], [b, y]) => y.count - x.count || (a < b ? -1 : 1)).slice(0, 10);
  const most = Math.max(1, ...top.map(([, { count }]) => count));
  const row = 22;
  const width = 640;
  const svg = svgElement('svg', { width, height: top.length * row + 10, viewBox: `0 0 ${width} ${top.length * row + 10}`, role: 'img' });
  svg.append(svgElement('title', {}, 'The ten other numbers with the most calls'));
  top.forEach(([number, { count, seconds, charge }], i) => {
    const y = i * row + 4;
    svg.append(svgElement('text', { x: 0, y: y + 13, 'font-size': 12, fill: '#1d1d1f' }, number));
    svg.append(svgElement('rect', { x: 110, y, width: (count / most) * 260, height: row - 6, fill: OUT_COLOUR }));
    svg.append(svgElement('text', { x: 380, y: y + 13, 'font-size': 12, fill: '#1d1d1f' },
      `${count} ${count === 1 ? 'call' : 'calls'}, ${seconds} s, charge ${charge.toFixed(2)}`));
  });
  return svg;
}

// Draws at most maxSubscribers day charts, and the top numbers.
export function drawPictures(tally, container, maxSubscribers = 12) {
  container.replaceChildren();
  const daysHeading = document.createElement('h3');
  daysHeading.textContent = `Calls per day (out: blue, in: orange)${tally.days.size > maxSubscribers
    ? `, the first ${maxSubscribers} of ${tally.days.size} subscribers` : ''}`;
  container.append(daysHeading);
  for (const [key, days] of [...tally.days.entries()].slice(0, maxSubscribers)) container.append(dayChart(key, days));
  const topHeading = document.createElement('h3');
  topHeading.textContent = 'The ten other numbers with the most calls';
  container.append(topHeading, topNumbersChart(tally.numbers));
}
